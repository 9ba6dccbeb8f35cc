#pragma once

class QWidget;

namespace nerina {

// Sizes of the design are in twips, 1/1440 inch; the screen's logical DPI turns them
// into pixels.
int logicalDpi(const QWidget *widget);
int twipsToPixels(double twips, int dpi);
int pixelsToTwips(int pixels, int dpi);

} // namespace nerina
