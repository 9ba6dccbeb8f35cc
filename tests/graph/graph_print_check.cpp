// Prints a graph window with made-up temperatures and marks on the system's default
// printer, the way the print button does (scripts/cups-print-check.sh). Exits non-zero
// when the print fails.

#include "TestWindows.h"
#include "graph/FRM_DISP.h"
#include "graph/SystemPrinter.h"
#include "history/FlexGrid.h"

#include <QApplication>
#include <QTextStream>

#include <cmath>

using namespace nerina;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    // 180 days of a 30-day cycle: five period days, the fertile days, now and then
    // intercourse or a morning without a reading, a rise after day 15.
    FlexGrid grid;
    grid.setCols(8);
    grid.setRows(181);
    const QDate selected(2024, 3, 5);
    for (int row = 1; row <= 180; ++row) {
        const QDate day = selected.addDays(1 - row);
        const int n = int(day.toJulianDay() % 30);
        const QString cells[] = {
            QString::number(day.year()),
            QString::number(day.month()),
            QString::number(day.day()),
            QString(),
            n % 11 == 7 ? QString()
                        : QString::number((n < 15 ? 36.3 : 36.85) + 0.08 * std::sin(day.toJulianDay() * 1.7), 'f', 2),
            QString(),
            n < 5                ? QStringLiteral("●")
            : n >= 13 && n <= 18 ? QStringLiteral("★")
                                 : QString(),
            n % 9 == 4 ? QStringLiteral("◎") : QString()};
        for (int col = 0; col < 8; ++col)
            grid.setTextMatrix(row, col, cells[col]);
    }

    test::ScriptedDialogs dialogs;
    SystemPrinter printer;
    FRM_DISP window(grid, dialogs, printer, nullptr);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    window.Form_Activate();
    QApplication::processEvents();
    window.CMD_PRINT_Click();
    if (!dialogs.shown.isEmpty()) {
        QTextStream(stderr) << "print failed: " << dialogs.last().text << '\n';
        return 1;
    }
    return 0;
}
