// The list tab in the main window: the switch to it fills the grid and marks it.
#include "TestWindows.h"
#include "history/FlexGrid.h"
#include "history/HistoryRows.h"

#include <QTabWidget>
#include <QTest>

using namespace nerina;

namespace {

QStringList texts(const std::vector<HistoryRow> &rows)
{
    QStringList out;
    for (const HistoryRow &row : rows)
        out << QStringList(row.begin(), row.end()).join(u'|');
    return out;
}

QStringList gridTexts(const FlexGrid &grid)
{
    std::vector<HistoryRow> rows(kHistoryDays);
    for (int r = 1; r <= kHistoryDays; ++r) {
        for (int c = 0; c < kHistoryColumns; ++c)
            rows[std::size_t(r - 1)][std::size_t(c)] = grid.textMatrix(r, c);
    }
    return texts(rows);
}

} // namespace

class TestHistoryTab final : public QObject
{
    Q_OBJECT
private slots:
    void switchFillsAndMarks()
    {
        test::ShownForm f;
        f.diary.db().saveDay(test::day(QDate(2026, 11, 16), 36.3, QStringLiteral("始まり"), {}, true));
        f.diary.db().saveDay(test::day(QDate(2026, 12, 6), 36.6, QStringLiteral("今日"), {}, false, true));
        f.diary.setCycleSetting(QStringLiteral("30"));
        QVERIFY(f.start(false));
        const QDate today(2026, 12, 6);
        std::vector<HistoryRow> rows = historyRows(today, f.diary.db().daysBetween(historyCutOff(today), today));
        const QStringList unmarked = texts(rows);
        markFertileDays(rows, QStringLiteral("30"));
        QVERIFY(texts(rows) != unmarked);

        f.ui().SSTab1->setCurrentIndex(1);
        QCOMPARE(gridTexts(*f.ui().DATA_FLX), texts(rows));
        QVERIFY(f.dialogs.shown.isEmpty());

        // A cycle length that does not convert ends only the marking, in the usual box.
        f.form->state().G_CYCLE_DAYS = QStringLiteral("abc");
        f.ui().SSTab1->setCurrentIndex(0);
        f.ui().SSTab1->setCurrentIndex(1);
        QCOMPARE(gridTexts(*f.ui().DATA_FLX), unmarked);
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(f.dialogs.last().icon, Dialogs::Icon::Critical);
    }
};

QTEST_MAIN(TestHistoryTab)
#include "tst_history_tab.moc"
