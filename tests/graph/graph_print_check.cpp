// Prints the graph of a made-up diary on the system's default printer, the way the print
// button does (scripts/cups-print-check.sh). Exits non-zero when the print fails.
#include "TestWindows.h"
#include "graph/FRM_DISP.h"
#include "graph/SystemPrinter.h"

#include <QApplication>
#include <QTabWidget>
#include <QTextStream>

#include <cmath>

using namespace nerina;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    // 180 days of a 30-day cycle: five period days, now and then intercourse or a morning
    // without a reading, a rise after day 15; the list adds the fertile days.
    test::TestDiary diary;
    const QDate today(2024, 3, 5);
    std::vector<DayRecord> days;
    for (int back = 0; back < 180; ++back) {
        const QDate day = today.addDays(-back);
        const int n = int(day.toJulianDay() % 30);
        const double temp = n % 11 == 7 ? 0 : (n < 15 ? 36.3 : 36.85) + 0.08 * std::sin(day.toJulianDay() * 1.7);
        days.push_back(test::day(day, std::round(temp * 100) / 100, {}, {}, n < 5, n % 9 == 4));
    }
    diary.db().saveDays(days);

    test::ScriptedDialogs dialogs;
    test::FixedClock clock(QDateTime(today, QTime(9, 0)));
    SystemPrinter printer;
    Form1 form(AppContext {dialogs, clock, diary.folder(), printer});
    form.Form_Load();
    form.show();
    form.ui().SSTab1->setCurrentIndex(1);
    form.CMD_GRAPH_Click();
    form.graphWindow()->Form_Activate();
    QApplication::processEvents();
    form.graphWindow()->CMD_PRINT_Click();
    if (!dialogs.shown.isEmpty()) {
        QTextStream(stderr) << "print failed: " << dialogs.last().text << '\n';
        return 1;
    }
    return 0;
}
