// The cycle rules: the last period's start, the forecast (its fertile window is pinned down
// by the list's marks), the cycle record, the temperature shift and the double check.
#include "TestDiary.h"
#include "cycle/CycleStats.h"
#include "cycle/Forecast.h"
#include "cycle/SymptoThermal.h"
#include "cycle/TemperatureShift.h"

using namespace nerina;
using test::row;

using Days = QList<QDate>;

namespace {

const QString kNotice = QStringLiteral("前回月経日未登録　もしくは妊娠した可能性があります");
const QString kFertile = QStringLiteral("妊娠可能日です");
const QString kOrdinary = QStringLiteral("通常日です");

// A diary from 2026-01-01 on, a character a day: P a period day, l a low and h a high
// reading (36.30 and 36.70), f a fever (37.50) she left out, - a day recorded without a
// temperature, x one with a number no body temperature can be, . a day not recorded.
// `signs`, a character a day: 0-4 the mucus, L a positive ovulation and G a positive
// pregnancy test.
std::vector<DiaryDb::CycleDay> diary(const QString &days, const QString &signs = QString())
{
    std::vector<DiaryDb::CycleDay> out;
    for (int i = 0; i < days.size(); ++i) {
        const QChar c = days[i], s = signs.leftJustified(days.size())[i];
        const auto positive
            = [&](char16_t mark) { return s == mark ? std::optional(TestResult::Positive) : std::nullopt; };
        if (c != QLatin1Char('.'))
            out.push_back({QDate(2026, 1, 1).addDays(i),
                           c == u'h'   ? std::optional(36.7)
                           : c == u'x' ? std::optional(21474836.48)
                           : c == u'f' ? std::optional(37.5)
                           : c == u'-' ? std::nullopt
                                       : std::optional(36.3),
                           c == u'P', c == u'f', s.isDigit() ? std::optional(Mucus(s.digitValue())) : std::nullopt,
                           positive(u'L'), positive(u'G')});
    }
    return out;
}

QString cycle(int length, int period = 5) { return QString(period, u'P') + QString(length - period, u'l'); }

// A cycle as the window's list has it: "start length/period", "+" when still running, then
// where a shift was found: its first high day, the high phase and the means below and above
// it; the LH-positive days, the mucus peak and the day the double check closes (as indexes
// from 2026-01-01); each finding after "|".
QStringList described(const QList<CycleRecord> &cycles)
{
    QStringList out;
    const auto at = [](const QDate &day) { return QString::number(QDate(2026, 1, 1).daysTo(day)); };
    for (const CycleRecord &c : cycles) {
        out << c.start.toString(Qt::ISODate) + QString::asprintf(" %d/%d", c.length, c.periodLength);
        if (c.running)
            out.last() += u'+';
        if (c.shift)
            out.last() += u' ' + c.shiftDay()->toString(Qt::ISODate)
                          + QString::asprintf(" %d %.2f-%.2f", c.highPhase.value_or(0), *c.lowMean, *c.highMean);
        for (const QDate &day : c.lhPositive)
            out.last() += QStringLiteral(" lh ") + at(day);
        if (c.mucusPeak)
            out.last() += QStringLiteral(" peak ") + at(*c.mucusPeak) + QStringLiteral(" closes ")
                          + at(c.doubleCheckDay.value());
        for (const QString &finding : cycleFindings(c))
            out.last() += QStringLiteral(" | ") + finding;
    }
    return out;
}

QString nextOn(const char *longDate)
{
    return QStringLiteral("次回月経予定日は") + QString::fromUtf8(longDate) + QStringLiteral("です");
}

} // namespace

class TestForecast final : public QObject
{
    Q_OBJECT
private slots:
    // Period days newest first, as the diary gives them.
    void lastPeriodStart_data()
    {
        QTest::addColumn<Days>("days");
        QTest::addColumn<QDate>("start");
        row("none", Days {}, QDate());
        row("run over the leap day", Days {QDate(2024, 3, 2), QDate(2024, 3, 1), QDate(2024, 2, 29)},
            QDate(2024, 2, 29));
        row("one day between does not end it",
            Days {QDate(2024, 3, 5), QDate(2024, 3, 4), QDate(2024, 3, 2), QDate(2024, 3, 1)}, QDate(2024, 3, 1));
        row("two days between end it", Days {QDate(2024, 3, 5), QDate(2024, 3, 4), QDate(2024, 3, 1)},
            QDate(2024, 3, 4));
        row("a day twice does not end it", Days {QDate(2024, 3, 5), QDate(2024, 3, 5), QDate(2024, 3, 4)},
            QDate(2024, 3, 4));
    }
    void lastPeriodStart()
    {
        QFETCH(Days, days);
        QFETCH(QDate, start);
        QCOMPARE(nerina::lastPeriodStart(std::vector<QDate>(days.begin(), days.end())).value_or(QDate()), start);
    }

    // The first day of the last period (none: no period day), the selected day, the
    // stored cycle length, and what panels 2 and 3 show ("" in panel 3: not reached).
    void forecast_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("selected");
        QTest::addColumn<QString>("cycle");
        QTest::addColumn<QString>("panel2");
        QTest::addColumn<QString>("panel3");
        QTest::addColumn<QString>("error");
        const QDate p(2024, 3, 1);
        const QString on0331 = nextOn("2024年03月31日 日曜日");
        row("d = 13", p, QDate(2024, 3, 14), "30", on0331, kFertile, QString());
        row("L is the leap day", p, QDate(2024, 3, 30), "30", on0331, kOrdinary, QString());
        row("the forecast day itself", p, QDate(2024, 3, 31), "30", kNotice, kOrdinary, QString());
        row("before P", p, QDate(2024, 2, 20), "30", on0331, kOrdinary, QString());
        row("no period day", QDate(), QDate(2024, 3, 14), "30", kNotice, kOrdinary, QString());
        row("28.5 counts 28", p, QDate(2024, 3, 19), "28.5", nextOn("2024年03月29日 金曜日"), kOrdinary, QString());
        row("leading zeros", QDate(2024, 2, 4), QDate(2024, 2, 10), "30", nextOn("2024年03月05日 火曜日"), kOrdinary,
            QString());
        const QString overflow = QStringLiteral("オーバーフローしました。");
        row("overflow", p, QDate(2024, 3, 10), "100000", QString(), QString(), overflow);
        row("overflow, no period day", QDate(), QDate(2024, 3, 10), "100000", kNotice, QString(), overflow);
    }
    void forecast()
    {
        QFETCH(QDate, start);
        QFETCH(QDate, selected);
        QFETCH(QString, cycle);
        QFETCH(QString, panel2);
        QFETCH(QString, panel3);
        QFETCH(QString, error);
        const ForecastResult r = forecastFor(start.isValid() ? std::optional(start) : std::nullopt, selected, cycle);
        QCOMPARE(r.nextPeriod, panel2);
        QCOMPARE(r.dayKind.value_or(QString()), panel3);
        QCOMPARE(r.error.value_or(QString()), error);
    }

    // The cycle setting as typed, and its warning ("" when it is taken); a fraction is
    // rounded first, to the even neighbour at a half.
    void cycleLength_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("problem");
        for (const char *taken : {"11", "59", "11.5", "３０"})
            row(taken, taken, "");
        for (const char *outside : {"10", "60", "10.5", "59.5"})
            row(outside, outside, "数値が不正です。");
        row("abc", "abc", "数値を入力して下さい。");
    }
    void cycleLength()
    {
        QFETCH(QString, typed);
        QTEST(cycleLengthProblem(typed).value_or(QString()), "problem");
    }

    // Today is the last day of the diary string: days not recorded at its end still count
    // for the running cycle.
    void cycles_data()
    {
        QTest::addColumn<QString>("days");
        QTest::addColumn<QString>("signs");
        QTest::addColumn<QStringList>("cycles"); // newest first
        row("21 and 45 days", cycle(21) + cycle(45) + "PPP", "",
            QStringList {"2026-03-08 3/3+", "2026-01-22 45/5", "2026-01-01 21/5"});
        row("a period split by a day not recorded", "PP.PPllllllll" + cycle(30), "",
            QStringList {"2026-01-14 30/5+", "2026-01-01 13/5"});
        row("days before the first period begin no cycle", "lll" + cycle(10), "", QStringList {"2026-01-04 10/5+"});
        row("one period only", "PPPPPllll", "", QStringList {"2026-01-01 9/5+"});
        row("no period", "lllll", "", QStringList {});
        // A shift found by the graph's rule splits the cycle: the high (luteal) phase runs
        // from the first high reading to the cycle's end; days without a temperature, or with no body
        // temperature, are left out of the means, never counted as 36.5.
        row("a shift", "PPPPP" + QString(9, u'l') + "hhh-xhhhhhhhhh" + "PP", "",
            QStringList {"2026-01-29 2/2+", "2026-01-01 28/5 2026-01-15 14 36.30-36.70"});
        // High phases of 9 and 10 days, 17 and 18 running; the shift starts on day 14.
        const QString lows = QStringLiteral("PPPPP") + QString(9, u'l'), shift = QStringLiteral(" 2026-01-15");
        const QString takeTest = QStringLiteral(" | 高温期が18日以上：妊娠検査薬で確かめましょう");
        row("9 high days", lows + QString(9, u'h') + "P", "",
            QStringList {"2026-01-24 1/1+",
                         "2026-01-01 23/5" + shift + " 9 36.30-36.70 | 高温期が短め：続くようなら婦人科で相談を"});
        row("10 high days", lows + QString(10, u'h') + "P", "",
            QStringList {"2026-01-25 1/1+", "2026-01-01 24/5" + shift + " 10 36.30-36.70"});
        row("18 high days, complete", lows + QString(18, u'h') + "P", "",
            QStringList {"2026-02-02 1/1+", "2026-01-01 32/5" + shift + " 18 36.30-36.70"});
        row("17 high days, running", lows + QString(17, u'h'), "",
            QStringList {"2026-01-01 31/5+" + shift + " 17 36.30-36.70"});
        row("18 high days, running to today", lows + QString(16, u'h') + "..", "",
            QStringList {"2026-01-01 32/5+" + shift + " 18 36.30-36.70" + takeTest});
        // Counted, the fever would be the coverline and no rise would clear it.
        row("a fever left out", "PPPPPlllflllll" + QString(10, u'h') + "P", "",
            QStringList {"2026-01-25 1/1+", "2026-01-01 24/5" + shift + " 10 36.30-36.70"});
        row("every sign", lows + QString(18, u'h'), "      LL12344321               G",
            QStringList {
                "2026-01-01 32/5+" + shift
                + " 18 36.30-36.70 lh 6 lh 7 peak 12 closes 16 | 高温期が18日以上 | 妊娠検査薬が陽性（02/01）"});
    }
    void cycles()
    {
        QFETCH(QString, days);
        QFETCH(QString, signs);
        QFETCH(QStringList, cycles);
        QCOMPARE(described(cycleRecords(diary(days, signs), QDate(2026, 1, 1).addDays(days.size() - 1))), cycles);
    }

    // More than 180 days of cycles: the summary takes the newest complete ones of the
    // whole diary, and says nothing from fewer than three; the length it suggests is the
    // mean rounded, not cut.
    void summary_data()
    {
        QTest::addColumn<QString>("days");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("summary"); // cycles shortest-longest mean >suggested
        QString year;
        for (int length : {40, 26, 27, 28, 29, 30, 31, 32})
            year += cycle(length);
        row("last 6 of 8", year + "P", 6, "6 27-32 29.5 >30");
        row("all 8 of 12", year + "P", 12, "8 26-40 30.4 >30");
        row("three are enough", cycle(28) + cycle(31) + cycle(30) + "P", 6, "3 28-31 29.7 >30");
        row("mean rounded up", cycle(28) + cycle(30) + cycle(30) + cycle(30) + cycle(31) + "P", 6, "5 28-31 29.8 >30");
        row("two are not enough", cycle(28) + cycle(30) + "P", 6, "2 - >0");
    }
    void summary()
    {
        QFETCH(QString, days);
        QFETCH(int, count);
        QFETCH(QString, summary);
        const CycleSummary s = summarizeCycles(cycleRecords(diary(days)), count);
        const QString got = s.enough ? QString::asprintf("%d %d-%d %.1f", s.cycles, s.shortest, s.longest, s.meanLength)
                                     : QString::asprintf("%d -", s.cycles);
        QCOMPARE(got + QStringLiteral(" >%1").arg(suggestedCycleLength(s)), summary);
    }

    // A cycle's mucus, a character a day from its first: 0-4 the kind (dry to clear and
    // stretchy), . no entry; the day the shift was confirmed (-1 none); and "peak,closes".
    void doubleChecks_data()
    {
        QTest::addColumn<QString>("mucus");
        QTest::addColumn<int>("confirmed");
        QTest::addColumn<QString>("check");
        row("no mucus recorded", "..........", 8, "");
        row("no shift", "0123443210000", -1, "");
        row("textbook", "0123443210000", 10, "5,10");
        row("third lower day after the confirming day", "0123443210", 7, "5,8");
        row("peak too late", "0000001234432100", 5, "");
        row("a second best day after the peak is the peak", "0123432141000", 11, "8,11");
        row("a second best day on the confirming day", "0123432104", 9, "");
        row("gaps in the record skipped", "01.23.4..3.2..1", 12, "6,14");
        row("best only dry or nothing felt", "0101110000", 8, "");
    }
    void doubleChecks()
    {
        QFETCH(QString, mucus);
        QFETCH(int, confirmed);
        QList<std::optional<Mucus>> kinds;
        for (const QChar c : mucus)
            kinds << (c.isDigit() ? std::optional(Mucus(c.digitValue())) : std::nullopt);
        const std::optional<DoubleCheck> check
            = doubleCheck(kinds, confirmed < 0 ? std::nullopt : std::optional(confirmed));
        QTEST(check ? QString::asprintf("%d,%d", check->peak, check->closes) : QString(), "check");
    }

    // A series, oldest first: a reading a day, "-" none, "P" before a reading a period start,
    // "x" before a reading she left out, "L" six low readings whose highest is 36.40; after
    // "=" each shift found, as firstLow,firstHigh,confirmed,lastDay,coverline.
    void shifts_data()
    {
        QTest::addColumn<QString>("row");
        row("textbook", "L 36.50 36.55 36.65 36.70 = 0,6,8,9,3640");
        row("third exactly 0.20 above", "L 36.45 36.50 36.60 = 0,6,8,8,3640");
        row("first high must beat all six", "L 36.40 36.55 36.65 36.70 = 1,7,9,9,3640");
        row("third short, fourth above", "L 36.50 36.55 36.55 36.45 = 0,6,9,9,3640");
        row("third short, no fourth yet", "L 36.50 36.55 36.55");
        row("second on the line, fourth clear", "L 36.50 36.40 36.65 36.60 = 0,6,9,9,3640");
        row("second on the line, fourth short", "L 36.50 36.40 36.65 36.55");
        row("dip of two breaks it", "L 36.50 36.35 36.30 36.70");
        // Were the missing days read as 36.50, the first high would not beat them.
        row("gaps are skipped", "36.30 - 36.35 36.25 36.40 - 36.30 36.35 36.50 - 36.55 36.65 = 0,8,11,11,3640");
        row("highs within five days", "L 36.50 - 36.55 - 36.70 = 0,6,10,10,3640");
        row("highs over six days", "L 36.50 - - 36.55 - 36.70");
        row("fourth a day too late", "L 36.50 36.55 36.55 - - - 36.45");
        // The six lows are the six readings before, however far back they lie in the cycle.
        row("lows over 13 days",
            "36.30 - - - - - - - 36.35 36.25 36.40 36.30 36.35 36.50 36.55 36.65 = 0,13,15,15,3640");
        row("a fever among the lows is skipped", "36.30 36.35 x37.50 36.25 36.40 36.30 36.35 36.50 36.55 36.65 "
                                                 "= 0,7,9,9,3640");
        row("a fever is no shift", "L x37.20 x37.30 x37.40 36.30");
        row("one shift a cycle", "L 36.50 36.55 36.65 36.70 36.70 36.95 37.00 37.10 = 0,6,8,13,3640");
        row("two cycles", "PL 36.55 36.60 36.70 36.75 36.70 P36.35 36.25 36.20 36.20 36.25 36.30 36.25 36.20 "
                          "36.45 36.50 36.60 = 0,6,8,10,3640;13,19,21,21,3630");
        row("no lows from the last cycle", "L 36.50 36.55 36.65 36.20 36.20 36.20 36.20 P36.20 36.20 36.60 "
                                           "36.65 36.80 = 0,6,8,12,3640");
        row("highs after the next period start", "L 36.50 36.55 P36.65 36.70");
        // Compared to the nearest 0.05: 36.62 counts as 36.60, 36.63 as 36.65.
        row("rounded", "36.30 36.35 36.25 36.62 36.30 36.35 36.63 36.70 36.81 = 0,6,8,8,3660");
        row("above only unrounded", "36.30 36.35 36.25 36.60 36.30 36.35 36.62 36.70 36.85");
    }
    void shifts()
    {
        QFETCH(QString, row);
        row.replace(QLatin1Char('L'), QStringLiteral("36.30 36.35 36.25 36.40 36.30 36.35"));
        QList<std::optional<int>> readings;
        QList<bool> period, excluded;
        for (QString token : row.section(QLatin1Char('='), 0, 0).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            period.append(token.startsWith(QLatin1Char('P')));
            excluded.append(token.contains(QLatin1Char('x')));
            token.remove(QLatin1Char('P')).remove(QLatin1Char('x'));
            const double t = token.toDouble(); // 0 for "-"
            readings.append(t > 0 ? std::optional(qRound(t * 100)) : std::nullopt);
        }
        QStringList found;
        for (const TemperatureShift &s : findTemperatureShifts(readings, period, excluded))
            found << QString::asprintf("%d,%d,%d,%d,%d", s.firstLow, s.firstHigh, s.confirmed, s.lastDay, s.coverline);
        QCOMPARE(found.join(QLatin1Char(';')), row.section(QStringLiteral("= "), 1));
    }
};

QTEST_GUILESS_MAIN(TestForecast)
#include "tst_cycle_rules.moc"
