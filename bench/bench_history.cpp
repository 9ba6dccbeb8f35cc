// How long the list tab takes to fill from a diary of 100 years of daily entries.
// Prints median times; run by hand, never as a test.
#include "BenchDiary.h"
#include "TestWindows.h"
#include "history/FlexGrid.h"
#include "history/HistoryRows.h"
#include "history/HistoryTab.h"
#include "records/DayEditor.h"
#include "records/DiaryDb.h"
#include "shell/Form1.h"

#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QTabWidget>

#include <cstdio>
#include <functional>
#include <vector>

using namespace nerina;
using namespace nerina::bench;

namespace {

constexpr int kRuns = 200;

// Median of kRuns timings of `timed`, each run prepared by `before` (not timed).
double medianMs(const std::function<void(int)> &before, const std::function<void()> &timed)
{
    return bench::medianMs(kRuns, before, timed);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // The main window on the diary, as the tests show it: a fixed day, scripted dialogs.
    test::ShownForm shown;
    QElapsedTimer setup;
    setup.start();
    if (!fillDiary(shown.diary.path()))
        return 1;
    std::printf("diary of %d daily entries written in %lld ms\n", kDays, setup.elapsed());
    if (!shown.start())
        return 1;
    Form1 &form = *shown.form;
    QTabWidget *tabs = form.ui().SSTab1;

    // A different day for every run, so that every fill rewrites the cells.
    const auto recentDay = [](int run) { return kNewest.addDays(-(run % 60)); };
    const auto fiveYearsBack = [](int run) { return kNewest.addYears(-5).addDays(-(run % 60)); };
    const auto oldestDay = [](int run) { return kNewest.addDays(-(kDays - 1) + run % 60); };

    const auto switchBackTo = [&](const QDate &day) {
        tabs->setCurrentIndex(0);
        form.ui().entry->DTPicker1->setDate(day);
        QApplication::processEvents();
    };

    const double widgetRecent
        = medianMs([&](int run) { switchBackTo(recentDay(run)); }, [&] { tabs->setCurrentIndex(1); });
    const double widgetPainted = medianMs([&](int run) { switchBackTo(recentDay(run)); },
                                          [&] {
                                              tabs->setCurrentIndex(1);
                                              form.ui().list->DATA_FLX->repaint();
                                          });
    const double widgetFiveYears
        = medianMs([&](int run) { switchBackTo(fiveYearsBack(run)); }, [&] { tabs->setCurrentIndex(1); });
    const double widgetOldest
        = medianMs([&](int run) { switchBackTo(oldestDay(run)); }, [&] { tabs->setCurrentIndex(1); });

    DiaryDb &db = *form.state().G_DB;
    const QString cycle = form.state().G_CYCLE_DAYS;
    std::size_t sink = 0;
    const auto pure = [&](const QDate &selected) {
        std::vector<HistoryRow> rows = historyRows(selected, db.daysBetween(historyCutOff(selected), selected));
        markFertileDays(rows, cycle);
        sink += rows.size();
    };
    QDate selected;
    const double pureRecent = medianMs([&](int run) { selected = recentDay(run); }, [&] { pure(selected); });
    const double pureOldest = medianMs([&](int run) { selected = oldestDay(run); }, [&] { pure(selected); });

    const std::vector<DayRecord> entries = db.daysBetween(historyCutOff(kNewest), kNewest);
    const double rowsOnly = medianMs([](int) {},
                                     [&] {
                                         std::vector<HistoryRow> rows = historyRows(kNewest, entries);
                                         markFertileDays(rows, cycle);
                                         sink += rows.size();
                                     });

    std::printf("median of %d runs, milliseconds\n", kRuns);
    std::printf("  list tab, selected day among the newest:        %8.3f\n", widgetRecent);
    std::printf("  list tab and its repaint, same days:            %8.3f\n", widgetPainted);
    std::printf("  list tab, selected day five years back:         %8.3f\n", widgetFiveYears);
    std::printf("  list tab, selected day among the oldest:        %8.3f\n", widgetOldest);
    std::printf("  rows and marks with their query, newest days:   %8.3f\n", pureRecent);
    std::printf("  rows and marks with their query, oldest days:   %8.3f\n", pureOldest);
    std::printf("  rows and marks alone (entries already read):    %8.3f\n", rowsOnly);
    std::fflush(stdout);
    if (!shown.dialogs.shown.isEmpty())
        std::printf("warning: %lld message boxes appeared\n", qint64(shown.dialogs.shown.size()));
    return sink == 0 || !shown.dialogs.shown.isEmpty() ? 1 : 0;
}
