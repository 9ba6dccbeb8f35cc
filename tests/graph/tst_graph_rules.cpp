#include "graph/GraphData.h"

#include <QTest>

using namespace nerina;

class TstGraphRules final : public QObject
{
    Q_OBJECT

private slots:
    // A series, oldest first: a reading a day, "-" none, "P" before a reading a period start,
    // "L" six low readings whose highest is 36.40; after "=" each shift found, as
    // firstLow,firstHigh,confirmed,lastDay,coverline.
    void shifts_data()
    {
        QTest::addColumn<QString>("row");
        QTest::newRow("textbook") << "L 36.50 36.55 36.65 36.70 = 0,6,8,9,3640";
        QTest::newRow("third exactly 0.20 above") << "L 36.45 36.50 36.60 = 0,6,8,8,3640";
        QTest::newRow("first high must beat all six") << "L 36.40 36.55 36.65 36.70 = 1,7,9,9,3640";
        QTest::newRow("third short, fourth above") << "L 36.50 36.55 36.55 36.45 = 0,6,9,9,3640";
        QTest::newRow("third short, no fourth yet") << "L 36.50 36.55 36.55";
        QTest::newRow("second on the line, fourth clear") << "L 36.50 36.40 36.65 36.60 = 0,6,9,9,3640";
        QTest::newRow("second on the line, fourth short") << "L 36.50 36.40 36.65 36.55";
        QTest::newRow("dip of two breaks it") << "L 36.50 36.35 36.30 36.70";
        // Were the missing days read as 36.50, the first high would not beat them.
        QTest::newRow("gaps are skipped")
            << "36.30 - 36.35 36.25 36.40 - 36.30 36.35 36.50 - 36.55 36.65 = 0,8,11,11,3640";
        QTest::newRow("highs within five days") << "L 36.50 - 36.55 - 36.70 = 0,6,10,10,3640";
        QTest::newRow("highs over six days") << "L 36.50 - - 36.55 - 36.70";
        QTest::newRow("fourth a day too late") << "L 36.50 36.55 36.55 - - - 36.45";
        QTest::newRow("lows within 12 days")
            << "36.30 - - - - - - 36.35 36.25 36.40 36.30 36.35 36.50 36.55 36.65 = 0,12,14,14,3640";
        QTest::newRow("lows over 13 days") << "36.30 - - - - - - - 36.35 36.25 36.40 36.30 36.35 36.50 36.55 36.65";
        QTest::newRow("one shift a cycle") << "L 36.50 36.55 36.65 36.70 36.70 36.95 37.00 37.10 = 0,6,8,13,3640";
        QTest::newRow("two cycles")
            << "PL 36.55 36.60 36.70 36.75 36.70 P36.35 36.25 36.20 36.20 36.25 36.30 36.25 36.20 "
               "36.45 36.50 36.60 = 0,6,8,10,3640;13,19,21,21,3630";
        QTest::newRow("no lows from the last cycle")
            << "L 36.50 36.55 36.65 36.20 36.20 36.20 36.20 P36.20 36.20 36.60 "
               "36.65 36.80 = 0,6,8,12,3640";
        QTest::newRow("highs after the next period start") << "L 36.50 36.55 P36.65 36.70";
        // Compared to the nearest 0.05: 36.62 counts as 36.60, 36.63 as 36.65.
        QTest::newRow("rounded") << "36.30 36.35 36.25 36.62 36.30 36.35 36.63 36.70 36.81 = 0,6,8,8,3660";
        QTest::newRow("above only unrounded") << "36.30 36.35 36.25 36.60 36.30 36.35 36.62 36.70 36.85";
    }
    void shifts()
    {
        QFETCH(QString, row);
        row.replace(QLatin1Char('L'), QStringLiteral("36.30 36.35 36.25 36.40 36.30 36.35"));
        QList<std::optional<int>> readings;
        QList<bool> period;
        for (const QString &token : row.section(QLatin1Char('='), 0, 0).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            period.append(token.startsWith(QLatin1Char('P')));
            readings.append(readingFromText(token.mid(period.last() ? 1 : 0)));
        }
        QStringList found;
        for (const TemperatureShift &s : findTemperatureShifts(readings, period))
            found << QString::asprintf("%d,%d,%d,%d,%d", s.firstLow, s.firstHigh, s.confirmed, s.lastDay, s.coverline);
        QCOMPARE(found.join(QLatin1Char(';')), row.section(QStringLiteral("= "), 1));
    }

    // The list's 180 rows (row 1 the selected day) with one day "月", the given temperature,
    // "頭痛" and "●◎", as the graph reads them: first day | that day's label | value |
    // tooltip | its row of the PDF's table | the PDF's name.
    void fromCells_data()
    {
        QTest::addColumn<QDate>("selected");
        QTest::addColumn<int>("daysBack");
        QTest::addColumn<QString>("temp");
        QTest::addColumn<QString>("expected");
        QTest::newRow("reading") << QDate(2024, 3, 5) << 1 << "36.45"
                                 << "2023/9/8|3/4|36.45|2024/3/4  36.45℃  ●◎|2024/3/4,月,36.45,頭痛,●◎|"
                                    "基礎体温_20230908-20240305.pdf";
        QTest::newRow("oldest day, year before")
            << QDate(2024, 1, 10) << 179 << "36.50"
            << "2023/7/15|7/15|36.5|2023/7/15  36.50℃  ●◎|2023/7/15,月,36.50,頭痛,●◎|基礎体温_20230715-20240110.pdf";
        QTest::newRow("no reading") << QDate(2024, 3, 5) << 10 << ""
                                    << "2023/9/8|2/24|36.5|2024/2/24  体温の記録なし  ●◎|2024/2/24,月,,頭痛,●◎|"
                                       "基礎体温_20230908-20240305.pdf";
        QTest::newRow("reading 0") << QDate(2024, 3, 5) << 0 << "0"
                                   << "2023/9/8|3/5|36.5|2024/3/5  体温の記録なし  ●◎|2024/3/5,月,,頭痛,●◎|"
                                      "基礎体温_20230908-20240305.pdf";
    }
    void fromCells()
    {
        QFETCH(QDate, selected);
        QFETCH(int, daysBack);
        QFETCH(QString, temp);
        const GraphData data = graphDataFromCells([&](int row, int col) {
            const QDate day = selected.addDays(1 - row);
            if (col <= 2)
                return QString::number(col == 0 ? day.year() : col == 1 ? day.month() : day.day());
            const QString cells[]
                = {QStringLiteral("月"), temp, QStringLiteral("頭痛"), QStringLiteral("●"), QStringLiteral("◎")};
            return row == daysBack + 1 ? cells[col - 3] : QString();
        });
        const int at = 179 - daysBack;
        QCOMPARE(data.values.size(), 180);
        QCOMPARE(data.lastDay, selected.toString(QStringLiteral("yyyy/M/d")));
        const QList<ReportRow> rows = reportRows(data);
        QCOMPARE(rows.size(), 180);
        const ReportRow &r = rows[at];
        const QStringList row {r.date, r.weekday, r.temperature, r.condition, r.marks};
        const QStringList seen {data.firstDay,
                                data.labels[at],
                                QString::number(data.values[at]),
                                dayToolTip(data, at),
                                row.join(QLatin1Char(',')),
                                reportFileName(data)};
        QTEST(seen.join(QLatin1Char('|')), "expected");
    }
};

QTEST_GUILESS_MAIN(TstGraphRules)
#include "tst_graph_rules.moc"
