// Prints a graph window with made-up temperatures and marks on the system's default printer,
// the way the print button does; with --save FILE it also writes the window's image to FILE.
// --save-print FILE sends the print to FILE as an image instead of the printer. Exits
// non-zero when the print fails.

#include "TestSupport.h"
#include "graph/FRM_DISP.h"
#include "graph/SystemPrinter.h"
#include "history/FlexGrid.h"
#include "shell/AppContext.h"

#include <QApplication>
#include <QDate>
#include <QTextStream>

#include <cmath>

using namespace nerina;

namespace {

// A list of 180 days up to `selected` with a two-phase curve of a 30-day cycle, period runs
// of five days, the fertile days the list would mark, and now and then intercourse.
void fillGrid(FlexGrid &grid, const QDate &selected)
{
    grid.setCols(8);
    grid.setRows(181);
    for (int row = 1; row <= 180; ++row) {
        const QDate day = selected.addDays(-(row - 1));
        grid.setTextMatrix(row, 0, QString::number(day.year()));
        grid.setTextMatrix(row, 1, QString::number(day.month()));
        grid.setTextMatrix(row, 2, QString::number(day.day()));
        const int n = int(day.toJulianDay() % 30);
        if (n < 5)
            grid.setTextMatrix(row, 6, QStringLiteral("●"));
        else if (n >= 13 && n <= 18)
            grid.setTextMatrix(row, 6, QStringLiteral("★"));
        if (n % 9 == 4)
            grid.setTextMatrix(row, 7, QStringLiteral("◎"));
        if (n % 11 == 7)
            continue; // a morning without a measurement
        const double base = n < 15 ? 36.3 : 36.85;
        const double wobble = 0.08 * std::sin(day.toJulianDay() * 1.7);
        grid.setTextMatrix(row, 4, QString::number(base + wobble, 'f', 2));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTextStream err(stderr);

    QString savePath;
    QString printPath;
    bool print = true;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--save") && i + 1 < args.size())
            savePath = args[++i];
        else if (args[i] == QLatin1String("--save-print") && i + 1 < args.size())
            printPath = args[++i];
        else if (args[i] == QLatin1String("--no-print"))
            print = false;
    }

    ScriptedDialogs dialogs;
    FixedClock clock(QDateTime(QDate(2024, 3, 5), QTime(7, 0)));
    SystemPrinter systemPrinter;
    FakePrinter imagePrinter;
    PrintTarget &printer = printPath.isEmpty() ? static_cast<PrintTarget &>(systemPrinter) : imagePrinter;
    AppContext context {dialogs, clock, QString(), printer};

    FlexGrid grid;
    fillGrid(grid, QDate(2024, 3, 5));
    FRM_DISP window(grid, context.dialogs, context.printer, nullptr);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    window.Form_Activate();
    QApplication::processEvents();

    if (!savePath.isEmpty() && !window.grab().save(savePath)) {
        err << "could not write " << savePath << '\n';
        return 2;
    }
    if (!print)
        return 0;

    window.CMD_PRINT_Click();
    if (!dialogs.shown.isEmpty()) {
        err << "print failed: " << dialogs.last().text << '\n';
        return 1;
    }
    if (!printPath.isEmpty()) {
        if (imagePrinter.printed.isEmpty() || !imagePrinter.printed.first().save(printPath)) {
            err << "could not write " << printPath << '\n';
            return 2;
        }
        return 0;
    }
    err << "print job sent\n";
    return 0;
}
