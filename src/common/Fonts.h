#pragma once

#include <QFont>
#include <QPixmap>

class QDateEdit;

namespace nerina {

// The family the windows are designed with; Debian's IPA P Gothic stands in for it.
QString designFontFamily();
void installFontSubstitutions();
QFont designFont(int pointSize = 9);

// The program's picture, a flower: beside the day's entry, as the windows' icon and in the
// about window. The desktop's icon (data/icons) is the same flower as SVG.
QPixmap flowerPicture(int size = 72);

// Japanese throughout, whatever the system's locale: the design's font, the toolkit's own
// texts (the buttons of message boxes, the file dialogs, the context menus of text boxes)
// from Qt's Japanese translations, and Japanese names of days and months.
// Returns false when Qt's translations could not be loaded (the package is missing).
bool useJapanese();

// A date picker that drops a calendar down, Japanese like the rest: the calendar's names of
// days and months, and its header reading year then month (2026年12月) where the toolkit
// puts the month first.
void useJapaneseCalendar(QDateEdit *picker);

} // namespace nerina
