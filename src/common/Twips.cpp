#include "Twips.h"

#include <QWidget>

#include <cmath>

namespace nerina {

int logicalDpi(const QWidget *widget)
{
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return dpi > 0 ? dpi : 96;
}

int twipsToPixels(double twips, int dpi) { return int(std::lround(twips * dpi / 1440.0)); }

int pixelsToTwips(int pixels, int dpi) { return int(std::lround(pixels * 1440.0 / dpi)); }

} // namespace nerina
