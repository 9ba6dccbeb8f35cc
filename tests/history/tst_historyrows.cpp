// The list's rows and marks as plain data, without widgets or a database.
#include "TestSupport.h"
#include "common/AppError.h"
#include "history/HistoryRows.h"

#include <QTest>

#include <algorithm>

using namespace nerina;

namespace {

const QDate kSelected(2026, 12, 6);

// Row number of the day `back` days before the selected day.
int rowOf(int back) { return back + 1; }

HistoryRow &row(std::vector<HistoryRow> &rows, int r) { return rows[std::size_t(r - 1)]; }

std::vector<DayRecord> periodEntries(const QList<int> &daysBack)
{
    QList<int> sorted = daysBack;
    std::sort(sorted.begin(), sorted.end()); // fewest days back = newest first
    std::vector<DayRecord> entries;
    for (int back : sorted)
        entries.push_back(makeDay(kSelected.addDays(-back), 36.5, QString(), QString(), true));
    return entries;
}

// Rows (as days back) whose mark column holds `mark`.
QList<int> daysWith(const std::vector<HistoryRow> &rows, const QString &mark)
{
    QList<int> out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i][ColMark] == mark)
            out << int(i);
    }
    return out;
}

QList<int> range(int from, int to)
{
    QList<int> out;
    for (int i = from; i <= to; ++i)
        out << i;
    return out;
}

} // namespace

class TstHistoryRows final : public QObject
{
    Q_OBJECT

private slots:
    void marksAreTheDesignedCharacters();

    void cutOff_data();
    void cutOff();

    void rowDays_data();
    void rowDays();

    void temperatureText_data();
    void temperatureText();

    void emptyDiaryShowsDatesOnly();
    void entryGoesToTheRowOfItsDay();
    void entriesAfterTheSelectedDayAreNeverShown();
    void selectedDayBeforeEveryEntryShowsNoEntry();
    void cutOffEntryIsShownByNoRow();
    void nullConditionIsEmpty();
    void flagsShowTheirMarks();
    void secondEntryForADayDoesNotStopTheRowsAfterIt();
    void entryWithoutAValidDayIsPassedOver();

    void fertileMarks_data();
    void fertileMarks();
    void cycleTextIsNotReadWithoutAPeriod();
    void cycleTextThatIsNotANumberFailsOnceAPeriodBegins();
    void failureKeepsTheMarksMadeBeforeIt();
};

void TstHistoryRows::marksAreTheDesignedCharacters()
{
    QCOMPARE(kPeriodMark, QString(QChar(0x25CF)));
    QCOMPARE(kLoveMark, QString(QChar(0x25CE)));
    QCOMPARE(kFertileMark, QString(QChar(0x2605)));
}

void TstHistoryRows::cutOff_data()
{
    QTest::addColumn<QDate>("selected");
    QTest::addColumn<QDate>("cutOff");
    QTest::newRow("2026/12/06") << QDate(2026, 12, 6) << QDate(2026, 6, 9);
    QTest::newRow("across the year end") << QDate(2026, 1, 5) << QDate(2025, 7, 9);
    QTest::newRow("1 March") << QDate(2026, 3, 1) << QDate(2025, 9, 2);
    QTest::newRow("1 March, leap year") << QDate(2024, 3, 1) << QDate(2023, 9, 3);
}

void TstHistoryRows::cutOff()
{
    QFETCH(QDate, selected);
    QFETCH(QDate, cutOff);
    QCOMPARE(historyCutOff(selected), cutOff);
}

void TstHistoryRows::rowDays_data()
{
    QTest::addColumn<QDate>("selected");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("2026/12/06 row 1") << QDate(2026, 12, 6) << 1 << QStringList {"2026", "12", "6", "日"};
    QTest::newRow("2026/12/06 row 180") << QDate(2026, 12, 6) << 180 << QStringList {"2026", "6", "10", "水"};
    QTest::newRow("2026/01/05 row 1") << QDate(2026, 1, 5) << 1 << QStringList {"2026", "1", "5", "月"};
    QTest::newRow("2026/01/05 row 5") << QDate(2026, 1, 5) << 5 << QStringList {"2026", "1", "1", "木"};
    QTest::newRow("2026/01/05 row 6") << QDate(2026, 1, 5) << 6 << QStringList {"2025", "12", "31", "水"};
    QTest::newRow("2026/01/05 row 180") << QDate(2026, 1, 5) << 180 << QStringList {"2025", "7", "10", "木"};
    QTest::newRow("leap day") << QDate(2024, 3, 1) << 2 << QStringList {"2024", "2", "29", "木"};
}

void TstHistoryRows::rowDays()
{
    QFETCH(QDate, selected);
    QFETCH(int, row);
    QFETCH(QStringList, texts);
    std::vector<HistoryRow> rows = historyRows(selected, {});
    QCOMPARE(int(rows.size()), 180);
    const HistoryRow &r = rows[std::size_t(row - 1)];
    QCOMPARE((QStringList {r[0], r[1], r[2], r[3]}), texts);
}

void TstHistoryRows::temperatureText_data()
{
    QTest::addColumn<std::optional<double>>("temp");
    QTest::addColumn<QString>("text");
    QTest::newRow("none stored") << std::optional<double>() << QString();
    QTest::newRow("0 means none") << std::optional<double>(0.0) << QString();
    QTest::newRow("whole") << std::optional<double>(37.0) << QStringLiteral("37.00");
    QTest::newRow("one decimal") << std::optional<double>(36.5) << QStringLiteral("36.50");
    QTest::newRow("two decimals") << std::optional<double>(36.47) << QStringLiteral("36.47");
    QTest::newRow("more decimals round") << std::optional<double>(36.456) << QStringLiteral("36.46");
    QTest::newRow("one digit before the point") << std::optional<double>(5.0) << QStringLiteral("5.00");
    QTest::newRow("below one") << std::optional<double>(0.5) << QStringLiteral("0.50");
}

void TstHistoryRows::temperatureText()
{
    QFETCH(std::optional<double>, temp);
    QFETCH(QString, text);
    QCOMPARE(nerina::temperatureText(temp), text);
}

void TstHistoryRows::emptyDiaryShowsDatesOnly()
{
    const std::vector<HistoryRow> rows = historyRows(kSelected, {});
    for (const HistoryRow &r : rows) {
        for (int c = 0; c < 4; ++c)
            QVERIFY(!r[std::size_t(c)].isEmpty());
        for (int c = 4; c < 8; ++c)
            QVERIFY(r[std::size_t(c)].isEmpty());
    }
}

void TstHistoryRows::entryGoesToTheRowOfItsDay()
{
    const std::vector<DayRecord> entries = {
        makeDay(kSelected, 36.4, QStringLiteral("今日")),
        makeDay(kSelected.addDays(-3), 36.7, QStringLiteral("三日前")),
        makeDay(kSelected.addDays(-179), 36.2, QStringLiteral("最後の行")),
    };
    std::vector<HistoryRow> rows = historyRows(kSelected, entries);
    QCOMPARE(row(rows, 1)[ColTemp], QStringLiteral("36.40"));
    QCOMPARE(row(rows, 1)[ColCondition], QStringLiteral("今日"));
    QCOMPARE(row(rows, 4)[ColTemp], QStringLiteral("36.70"));
    QCOMPARE(row(rows, 4)[ColCondition], QStringLiteral("三日前"));
    QCOMPARE(row(rows, 180)[ColCondition], QStringLiteral("最後の行"));
    for (int r : {2, 3, 5, 179}) {
        QVERIFY(row(rows, r)[ColTemp].isEmpty());
        QVERIFY(row(rows, r)[ColCondition].isEmpty());
    }
}

void TstHistoryRows::entriesAfterTheSelectedDayAreNeverShown()
{
    const std::vector<DayRecord> entries = {
        makeDay(kSelected.addDays(2), 37.2, QStringLiteral("明後日"), QString(), true, true),
        makeDay(kSelected.addDays(1), 37.1, QStringLiteral("明日")),
        makeDay(kSelected.addDays(-1), 36.9, QStringLiteral("昨日")),
    };
    std::vector<HistoryRow> rows = historyRows(kSelected, entries);
    QVERIFY(row(rows, 1)[ColTemp].isEmpty());
    QVERIFY(row(rows, 1)[ColCondition].isEmpty());
    QVERIFY(row(rows, 1)[ColMark].isEmpty());
    QVERIFY(row(rows, 1)[ColLove].isEmpty());
    QCOMPARE(row(rows, 2)[ColCondition], QStringLiteral("昨日"));
    for (const HistoryRow &r : rows) {
        QVERIFY(r[ColCondition] != QStringLiteral("明日"));
        QVERIFY(r[ColCondition] != QStringLiteral("明後日"));
    }
}

void TstHistoryRows::selectedDayBeforeEveryEntryShowsNoEntry()
{
    std::vector<DayRecord> entries;
    for (int i = 30; i >= 1; --i)
        entries.push_back(makeDay(kSelected.addDays(i), 36.5, QStringLiteral("後"), QString(), true, true));
    const std::vector<HistoryRow> rows = historyRows(kSelected, entries);
    QCOMPARE(int(rows.size()), 180);
    for (const HistoryRow &r : rows) {
        for (int c = 4; c < 8; ++c)
            QVERIFY(r[std::size_t(c)].isEmpty());
    }
}

void TstHistoryRows::cutOffEntryIsShownByNoRow()
{
    const std::vector<DayRecord> entries = {
        makeDay(QDate(2026, 6, 10), 36.3, QStringLiteral("最後")),
        makeDay(QDate(2026, 6, 9), 36.8, QStringLiteral("切れ目"), QString(), true, true),
    };
    const std::vector<HistoryRow> rows = historyRows(kSelected, entries);
    QCOMPARE(rows.back()[ColCondition], QStringLiteral("最後"));
    for (const HistoryRow &r : rows) {
        QVERIFY(r[ColCondition] != QStringLiteral("切れ目"));
        QVERIFY(r[ColMark].isEmpty());
        QVERIFY(r[ColLove].isEmpty());
    }
}

void TstHistoryRows::nullConditionIsEmpty()
{
    DayRecord nulls; // TEMP, CONDITION and DIARY all NULL
    nulls.DAT_DATE = kSelected;
    std::vector<HistoryRow> rows = historyRows(kSelected, {nulls});
    QVERIFY(row(rows, 1)[ColCondition].isEmpty());
    QVERIFY(row(rows, 1)[ColTemp].isEmpty());

    // A stored text goes in unchanged, blanks and half-width katakana included.
    rows = historyRows(kSelected, {makeDay(kSelected, 36.5, QStringLiteral(" ｶｾﾞぎみ　"))});
    QCOMPARE(row(rows, 1)[ColCondition], QStringLiteral(" ｶｾﾞぎみ　"));
}

void TstHistoryRows::flagsShowTheirMarks()
{
    const std::vector<DayRecord> entries = {
        makeDay(kSelected, 36.5, QString(), QString(), true, false),
        makeDay(kSelected.addDays(-1), 36.5, QString(), QString(), false, true),
        makeDay(kSelected.addDays(-2), 36.5, QString(), QString(), true, true),
        makeDay(kSelected.addDays(-3), 36.5, QString(), QString(), false, false),
    };
    std::vector<HistoryRow> rows = historyRows(kSelected, entries);
    QCOMPARE(row(rows, 1)[ColMark], kPeriodMark);
    QVERIFY(row(rows, 1)[ColLove].isEmpty());
    QVERIFY(row(rows, 2)[ColMark].isEmpty());
    QCOMPARE(row(rows, 2)[ColLove], kLoveMark);
    QCOMPARE(row(rows, 3)[ColMark], kPeriodMark);
    QCOMPARE(row(rows, 3)[ColLove], kLoveMark);
    QVERIFY(row(rows, 4)[ColMark].isEmpty());
    QVERIFY(row(rows, 4)[ColLove].isEmpty());
}

void TstHistoryRows::secondEntryForADayDoesNotStopTheRowsAfterIt()
{
    const std::vector<DayRecord> entries = {
        makeDay(kSelected.addDays(-2), 36.1, QStringLiteral("一つ目")),
        makeDay(kSelected.addDays(-2), 36.2, QStringLiteral("二つ目")),
        makeDay(kSelected.addDays(-5), 36.3, QStringLiteral("その後")),
        makeDay(kSelected.addDays(-150), 36.4, QStringLiteral("ずっと後")),
    };
    std::vector<HistoryRow> rows = historyRows(kSelected, entries);
    QCOMPARE(row(rows, 3)[ColCondition], QStringLiteral("一つ目"));
    QVERIFY(row(rows, 4)[ColCondition].isEmpty());
    QCOMPARE(row(rows, 6)[ColCondition], QStringLiteral("その後"));
    QCOMPARE(row(rows, 151)[ColCondition], QStringLiteral("ずっと後"));
}

void TstHistoryRows::entryWithoutAValidDayIsPassedOver()
{
    const std::vector<DayRecord> entries = {
        makeDay(kSelected.addDays(-1), 36.1, QStringLiteral("前")),
        makeDay(QDate(), 36.2, QStringLiteral("日付なし")),
        makeDay(kSelected.addDays(-4), 36.3, QStringLiteral("後")),
    };
    std::vector<HistoryRow> rows = historyRows(kSelected, entries);
    QCOMPARE(row(rows, 2)[ColCondition], QStringLiteral("前"));
    QCOMPARE(row(rows, 5)[ColCondition], QStringLiteral("後"));
    for (const HistoryRow &r : rows)
        QVERIFY(r[ColCondition] != QStringLiteral("日付なし"));
}

void TstHistoryRows::fertileMarks_data()
{
    // Period days and the expected marks, each as days back from the selected day.
    QTest::addColumn<QString>("cycle");
    QTest::addColumn<QList<int>>("periodDays");
    QTest::addColumn<QList<int>>("stars");
    QTest::addColumn<QList<int>>("circles");

    QTest::newRow("no period day") << "30" << QList<int> {} << QList<int> {} << QList<int> {};
    QTest::newRow("window would lie after the selected day")
        << "30" << QList<int> {5} << QList<int> {} << QList<int> {5};
    QTest::newRow("cycle 30, five days from 20 back: n = 13 to 18")
        << "30" << range(16, 20) << range(2, 7) << range(16, 20);
    QTest::newRow("cycle 28, runs 28 days apart: n = 12 to 17 after each")
        << "28" << (range(96, 100) + range(68, 72) + range(40, 44)) << (range(83, 88) + range(55, 60) + range(27, 32))
        << (range(96, 100) + range(68, 72) + range(40, 44));
    QTest::newRow("cycle 29: n = 13 to 17, five days") << "29" << QList<int> {30} << range(13, 17) << QList<int> {30};
    QTest::newRow("cycle 31: n = 13.5 to 18.5 gives 14 to 18")
        << "31" << QList<int> {30} << range(12, 16) << QList<int> {30};
    QTest::newRow("cycle text 28.5 converts to 28 (half to even)")
        << "28.5" << QList<int> {30} << range(13, 18) << QList<int> {30};
    QTest::newRow("cycle text 29.5 converts to 30 (half to even)")
        << "29.5" << QList<int> {30} << range(12, 17) << QList<int> {30};
    // A period day on the first window day becomes a star; one later in the window
    // begins a new period, which ends the old window the day before it.
    QTest::newRow("period day on first and later window days")
        << "30" << QList<int> {40, 27, 25} << (QList<int> {27, 26} + range(7, 12)) << QList<int> {40, 25};
    QTest::newRow("period day before the window does not move the start")
        << "30" << QList<int> {40, 35, 30} << range(22, 27) << QList<int> {40, 35, 30};
    QTest::newRow("period begun before the oldest row")
        << "30" << range(176, 179) << range(161, 166) << range(176, 179);
    QTest::newRow("window reaching past the selected day is cut at row 1")
        << "30" << QList<int> {15} << range(0, 2) << QList<int> {15};
}

void TstHistoryRows::fertileMarks()
{
    QFETCH(QString, cycle);
    QFETCH(QList<int>, periodDays);
    QFETCH(QList<int>, stars);
    QFETCH(QList<int>, circles);

    std::vector<HistoryRow> rows = historyRows(kSelected, periodEntries(periodDays));
    const std::vector<HistoryRow> before = rows;
    markFertileDays(rows, cycle);

    std::sort(stars.begin(), stars.end());
    std::sort(circles.begin(), circles.end());
    QCOMPARE(daysWith(rows, kFertileMark), stars);
    QCOMPARE(daysWith(rows, kPeriodMark), circles);
    // Only the mark column changes.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (int c = 0; c < 8; ++c) {
            if (c != ColMark)
                QCOMPARE(rows[i][std::size_t(c)], before[i][std::size_t(c)]);
        }
    }
}

void TstHistoryRows::cycleTextIsNotReadWithoutAPeriod()
{
    std::vector<HistoryRow> rows
        = historyRows(kSelected, {makeDay(kSelected, 36.5, QString(), QString(), false, true)});
    markFertileDays(rows, QStringLiteral("abc"));
    QVERIFY(daysWith(rows, kFertileMark).isEmpty());
}

void TstHistoryRows::cycleTextThatIsNotANumberFailsOnceAPeriodBegins()
{
    std::vector<HistoryRow> rows = historyRows(kSelected, periodEntries({40}));
    QVERIFY_THROWS_EXCEPTION(AppError, markFertileDays(rows, QStringLiteral("abc")));
    QVERIFY(daysWith(rows, kFertileMark).isEmpty());
    QCOMPARE(daysWith(rows, kPeriodMark), QList<int> {40});
}

void TstHistoryRows::failureKeepsTheMarksMadeBeforeIt()
{
    std::vector<HistoryRow> rows = historyRows(kSelected, periodEntries({40}));
    row(rows, rowOf(3))[ColYear] = QStringLiteral("x"); // a day that does not convert
    QVERIFY_THROWS_EXCEPTION(AppError, markFertileDays(rows, QStringLiteral("30")));
    QCOMPARE(daysWith(rows, kFertileMark), range(22, 27));
}

QTEST_GUILESS_MAIN(TstHistoryRows)
#include "tst_historyrows.moc"
