#include "graph/TemperatureShift.h"
#include "cycle/Forecast.h"

#include <QTest>

using namespace nerina;

namespace {

// A day series written as text, oldest first, one token a day: "36.30" a reading, "-" no
// reading; a leading "P" makes it a period day ("P36.30", "P-").
struct Series
{
    QList<std::optional<int>> readings;
    QList<bool> period;
};

Series parse(const QString &text)
{
    Series s;
    for (QString token : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const bool period = token.startsWith(QLatin1Char('P'));
        if (period)
            token.remove(0, 1);
        s.period.append(period);
        s.readings.append(token == QLatin1String("-") ? std::nullopt : readingFromText(token));
    }
    return s;
}

// "firstLow,firstHigh,confirmed,lastDay,coverline" per shift, joined by ";".
QString describe(const QList<TemperatureShift> &shifts)
{
    QStringList out;
    for (const TemperatureShift &s : shifts)
        out << QStringLiteral("%1,%2,%3,%4,%5")
                   .arg(s.firstLow)
                   .arg(s.firstHigh)
                   .arg(s.confirmed)
                   .arg(s.lastDay)
                   .arg(s.coverline);
    return out.join(QLatin1Char(';'));
}

// Six low readings, day 0 to 5, the highest 36.40.
const QString kLow = QStringLiteral("36.30 36.35 36.25 36.40 36.30 36.35 ");

} // namespace

class TstTemperatureShift final : public QObject
{
    Q_OBJECT

private slots:
    void readings_data();
    void readings();
    void starts();
    void shifts_data();
    void shifts();
};

void TstTemperatureShift::readings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("hundredths"); // -1: no reading

    QTest::newRow("empty") << QString() << -1;
    QTest::newRow("zero") << "0" << -1;
    QTest::newRow("zero with decimals") << "0.00" << -1;
    QTest::newRow("not a number") << "abc" << -1;
    QTest::newRow("two decimals") << "36.45" << 3645;
    QTest::newRow("trailing zero") << "36.50" << 3650;
    QTest::newRow("whole degrees") << "37" << 3700;
    QTest::newRow("binary fraction rounds") << "36.29" << 3629;
}

void TstTemperatureShift::readings()
{
    QFETCH(QString, text);
    QFETCH(int, hundredths);
    const std::optional<int> r = readingFromText(text);
    QCOMPARE(r.value_or(-1), hundredths);
}

void TstTemperatureShift::starts()
{
    QCOMPARE(periodStarts({}), QList<int>());
    QCOMPARE(periodStarts({true, true, false, false, true, false, true, true}), (QList<int> {0, 4}));
    QCOMPARE(periodStarts({false, false, true, true, true}), QList<int> {2});
}

void TstTemperatureShift::shifts_data()
{
    QTest::addColumn<QString>("series");
    QTest::addColumn<QString>("expected");

    QTest::newRow("textbook") << kLow + "36.50 36.55 36.65 36.70"
                              << "0,6,8,9,3640";
    QTest::newRow("third exactly 0.20 above") << kLow + "36.45 36.50 36.60"
                                              << "0,6,8,8,3640";
    QTest::newRow("first high must beat all six") << kLow + "36.40 36.55 36.65 36.70"
                                                  << "1,7,9,9,3640";
    QTest::newRow("exception 1: third short, fourth above") << kLow + "36.50 36.55 36.55 36.45"
                                                            << "0,6,9,9,3640";
    QTest::newRow("exception 1: fourth on the line fails") << kLow + "36.50 36.55 36.55 36.40"
                                                           << "";
    QTest::newRow("exception 1: no fourth yet") << kLow + "36.50 36.55 36.55"
                                                << "";
    QTest::newRow("exception 2: second on the line") << kLow + "36.50 36.40 36.65 36.60"
                                                     << "0,6,9,9,3640";
    QTest::newRow("exception 2: third below, fourth on the sixth day") << kLow + "36.50 36.55 36.35 - - 36.65"
                                                                       << "0,6,11,11,3640";
    QTest::newRow("exception 2: fourth short of 0.20") << kLow + "36.50 36.40 36.65 36.55"
                                                       << "";
    QTest::newRow("exceptions do not add up: dip and short fourth") << kLow + "36.50 36.35 36.55 36.45"
                                                                    << "";
    QTest::newRow("dip of two breaks it") << kLow + "36.50 36.35 36.30 36.70"
                                          << "";
    QTest::newRow("broken rise, then a real one") << kLow + "36.50 36.35 36.30 36.30 36.35 36.30 36.60 36.65 36.80"
                                                  << "6,12,14,14,3650";
    // Were the missing days read as 36.50, the first high would not beat them.
    QTest::newRow("gaps are skipped") << "36.30 - 36.35 36.25 36.40 - 36.30 36.35 36.50 - 36.55 36.65"
                                      << "0,8,11,11,3640";
    QTest::newRow("highs within five days, gaps between") << kLow + "36.50 - 36.55 - 36.70"
                                                          << "0,6,10,10,3640";
    QTest::newRow("highs spread over six days") << kLow + "36.50 - - 36.55 - 36.70"
                                                << "";
    QTest::newRow("exception 1: fourth a day too late") << kLow + "36.50 36.55 36.55 - - - 36.45"
                                                        << "";
    QTest::newRow("lows within 12 days") << "36.30 - - - - - - 36.35 36.25 36.40 36.30 36.35 36.50 36.55 36.65"
                                         << "0,12,14,14,3640";
    QTest::newRow("lows spread over 13 days") << "36.30 - - - - - - - 36.35 36.25 36.40 36.30 36.35 36.50 36.55 36.65"
                                              << "";
    QTest::newRow("fewer than six readings before") << "36.30 36.35 - 36.25 36.40 36.30 36.60 36.70 36.80"
                                                    << "";
    QTest::newRow("no shift") << kLow + kLow + "36.35 36.30 36.40 36.35"
                              << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("nothing measured") << "- - - - - - - - - -"
                                      << "";
    QTest::newRow("one shift a cycle: a second rise waits for the period")
        << kLow + "36.50 36.55 36.65 36.70 36.70 36.70 36.70 36.95 37.00 37.10"
        << "0,6,8,15,3640";
    QTest::newRow("two cycles") << "P36.30 P36.35 P36.25 36.40 36.30 36.35 36.55 36.60 36.70 36.75 36.70 "
                                   "P36.35 P36.25 P36.20 36.20 36.25 36.30 36.25 36.20 36.45 36.50 36.60"
                                << "0,6,8,10,3640;13,19,21,21,3630";
    QTest::newRow("next cycle takes no low readings from the last")
        << kLow + "36.50 36.55 36.65 36.20 36.20 36.20 36.20 P36.20 36.20 36.60 36.65 36.80"
        << "0,6,8,12,3640";
    QTest::newRow("highs after the next period start") << kLow + "36.50 36.55 P36.65 36.70"
                                                       << "";
    QTest::newRow("lows spanning two cycles")
        << kLow + "36.50 36.35 36.30 P36.30 P36.25 36.20 36.25 36.30 36.55 36.60 36.75"
        << "";
    QTest::newRow("unconfirmed cycle, shift in the next")
        << kLow + "36.50 36.35 36.30 P36.30 P36.25 36.20 36.25 36.30 36.25 36.55 36.60 36.75"
        << "9,15,17,17,3630";
    // Compared to the nearest 0.05: 36.62 counts as 36.60, 36.63 as 36.65, 36.81 as 36.80.
    QTest::newRow("rounded coverline") << "36.30 36.35 36.25 36.62 36.30 36.35 36.63 36.70 36.81"
                                       << "0,6,8,8,3660";
    QTest::newRow("above the line only unrounded") << "36.30 36.35 36.25 36.60 36.30 36.35 36.62 36.70 36.85"
                                                   << "";
}

void TstTemperatureShift::shifts()
{
    QFETCH(QString, series);
    const Series s = parse(series);
    QTEST(describe(findTemperatureShifts(s.readings, s.period)), "expected");
}

QTEST_MAIN(TstTemperatureShift)
#include "tst_temperature_shift.moc"
