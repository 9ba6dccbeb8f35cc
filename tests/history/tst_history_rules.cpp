// The list's rows from a real diary file, and its fertile-window marks.
#include "TestDiary.h"
#include "common/AppError.h"
#include "history/HistoryRows.h"

#include <numeric>

using namespace nerina;

namespace {

const QDate kSelected(2026, 12, 6); // a Sunday

// "row: year|month|day|weekday|temp|condition|mark|love" of each row that shows more
// than its day.
QStringList shown(const std::vector<HistoryRow> &rows)
{
    QStringList out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!(rows[i][ColTemp] + rows[i][ColCondition] + rows[i][ColMark] + rows[i][ColLove]).isEmpty())
            out << QStringLiteral("%1: ").arg(i + 1) + QStringList(rows[i].begin(), rows[i].end()).join(u'|');
    }
    return out;
}

QList<int> range(int from, int to)
{
    QList<int> out(to - from + 1);
    std::iota(out.begin(), out.end(), from);
    return out;
}

} // namespace

class TestHistoryRules final : public QObject
{
    Q_OBJECT
private slots:
    // Rows as stored (DAT_DATE, TEMP, CONDITION, DIARY, GUEST, LOVE) in a table without the
    // program's checks, as another tool may have made it: a day after the selected one,
    // a flag of 2 (not set), two rows of one day, a time of day, a day that is no day, the
    // cut-off day, another tool's text in TEMP (shown as stored, a number as the number it
    // reads as) and a number far beyond any temperature.
    void rows()
    {
        test::TestDiary diary;
        diary.exec(QStringLiteral("DROP TABLE DATA_FIL"));
        diary.exec(QStringLiteral("CREATE TABLE DATA_FIL (DAT_DATE TEXT, TEMP REAL, CONDITION TEXT, DIARY TEXT, "
                                  "GUEST INTEGER, LOVE INTEGER)"));
        const QVariant null;
        const QList<QVariantList> stored = {
            {"2026-12-07", 37.0, "明日", "", 1, 1},
            {"2026-12-06", 0, "計り忘れ", "", 1, 0},
            {"2026-12-05", 37, "", "", 2, 1},
            {"2026-12-04", 36.5, " ｶｾﾞぎみ　", "", 1, 1},
            {"2026-12-04 08:15:00", 36.2, "二つ目", "", 0, 0},
            {"2026-12-03", null, null, null, null, null},
            {"2026-12-02 08:15:00", 36.2, "朝", "", 0, 1},
            {"2026-12-01", "abc", "", "", 0, 0},
            {"2026-11-30", 21474836.48, "", "", 0, 0},
            {"2026-11-29", "３６．５", "", "", 0, 0},
            {"2026-12-00", 35.0, "日付なし", "", 1, 1},
            {"2026-06-10", 36.3, "最後", "", 0, 0},
            {"2026-06-09", 36.8, "切れ目", "", 1, 1},
        };
        for (const QVariantList &row : stored)
            diary.insertRaw(row);
        QCOMPARE(shown(historyRows(kSelected, diary.db().daysBetween(historyCutOff(kSelected), kSelected))),
                 QStringList({"1: 2026|12|6|日||計り忘れ|●|", "2: 2026|12|5|土|37.00|||◎",
                              "3: 2026|12|4|金|36.50| ｶｾﾞぎみ　|●|◎", "5: 2026|12|2|水|36.20|朝||◎",
                              "6: 2026|12|1|火|abc|||", "7: 2026|11|30|月|21474836.48|||", "8: 2026|11|29|日|36.50|||",
                              "180: 2026|6|10|水|36.30|最後||"}));
    }

    // Period days (newest first) and the fertile marks as days back from 2026-12-06; the
    // period days outside the windows keep their marks. `broken`: a row whose year does not
    // convert, which ends the marking but keeps the marks made before it.
    void marks_data()
    {
        QTest::addColumn<QString>("cycle");
        QTest::addColumn<QList<int>>("periodDays");
        QTest::addColumn<int>("broken");
        QTest::addColumn<QList<int>>("stars");
        QTest::addColumn<bool>("fails");
        const QList<int> none;
        QTest::newRow("no period day") << "30" << none << -1 << none << false;
        QTest::newRow("window after the selected day") << "30" << QList {5} << -1 << none << false;
        QTest::newRow("cycle 30, run of five: n = 13 to 18") << "30" << range(16, 20) << -1 << range(2, 7) << false;
        QTest::newRow("cycle 28, runs 28 days apart") << "28" << (range(40, 44) + range(68, 72) + range(96, 100)) << -1
                                                      << (range(27, 32) + range(55, 60) + range(83, 88)) << false;
        QTest::newRow("cycle 29: n = 13 to 17") << "29" << QList {30} << -1 << range(13, 17) << false;
        QTest::newRow("period days on first and later window days")
            << "30" << QList {25, 27, 40} << -1 << (QList {27, 26} + range(7, 12)) << false;
        QTest::newRow("begun before the oldest row") << "30" << range(176, 179) << -1 << range(161, 166) << false;
        QTest::newRow("window cut at row 1") << "30" << QList {15} << -1 << range(0, 2) << false;
        QTest::newRow("cycle unread without a period") << "abc" << none << -1 << none << false;
        QTest::newRow("cycle that does not convert") << "abc" << QList {40} << -1 << none << true;
        QTest::newRow("day that does not convert") << "30" << QList {40} << 3 << range(22, 27) << true;
    }
    void marks()
    {
        QFETCH(QString, cycle);
        QFETCH(QList<int>, periodDays);
        QFETCH(int, broken);
        QFETCH(QList<int>, stars);
        QFETCH(bool, fails);
        std::vector<DayRecord> newestFirst;
        for (int back : periodDays)
            newestFirst.push_back(test::day(kSelected.addDays(-back), 36.5, {}, {}, true));
        std::vector<HistoryRow> rows = historyRows(kSelected, newestFirst);
        if (broken >= 0)
            rows[std::size_t(broken)][ColYear] = QStringLiteral("x");

        bool failed = false;
        try {
            markFertileDays(rows, cycle);
        } catch (const AppError &) {
            failed = true;
        }
        QCOMPARE(failed, fails);
        for (int back = 0; back < kHistoryDays; ++back) {
            const QString want = stars.contains(back)        ? QStringLiteral("★")
                                 : periodDays.contains(back) ? QStringLiteral("●")
                                                             : QString();
            QVERIFY2(rows[std::size_t(back)][ColMark] == want, qPrintable(QStringLiteral("%1 days back").arg(back)));
        }
    }
};

QTEST_GUILESS_MAIN(TestHistoryRules)
#include "tst_history_rules.moc"
