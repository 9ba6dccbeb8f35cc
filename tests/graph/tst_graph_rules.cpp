#include "TestDiary.h"
#include "graph/GraphData.h"
#include "graph/ReportData.h"

using namespace nerina;
using test::row;

class TstGraphRules final : public QObject
{
    Q_OBJECT

private slots:
    // The list's 180 rows (row 1 the selected day) with one day "月", the given temperature,
    // "頭痛", the given mark and "◎", as the graph reads them: first day | that day's label |
    // value | tooltip | the PDF's name.
    void fromCells_data()
    {
        QTest::addColumn<QDate>("selected");
        QTest::addColumn<int>("daysBack");
        QTest::addColumn<QString>("temp");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<QString>("expected");
        row("reading", QDate(2024, 3, 5), 1, "36.45", "●",
            "2023/9/8|3/4|36.45|2024/3/4  36.45℃  ●◎|基礎体温_20230908-20240305.pdf");
        row("oldest day, year before", QDate(2024, 1, 10), 179, "36.50", "●",
            "2023/7/15|7/15|36.5|2023/7/15  36.50℃  ●◎|基礎体温_20230715-20240110.pdf");
        row("no reading, fertile", QDate(2024, 3, 5), 10, "", "★",
            "2023/9/8|2/24|36.5|2024/2/24  体温の記録なし  ★◎|基礎体温_20230908-20240305.pdf");
        // To the hundredth, never cut short; the bounds of the entry's check are readings.
        const auto reading = [](const char *temp, const char *value, const char *shown) {
            row(temp, QDate(2024, 3, 5), 1, temp, "",
                QStringLiteral("2023/9/8|3/4|%1|2024/3/4  %2℃  ◎|基礎体温_20230908-20240305.pdf")
                    .arg(QLatin1String(value), QLatin1String(shown)));
        };
        reading("36.55", "36.55", "36.55");
        reading("36.3", "36.3", "36.30");
        reading("34.00", "34", "34.00");
        reading("43", "43", "43.00");
        // Another tool's text, or nothing a body could measure: a day without a reading.
        for (const QString &t : {QStringLiteral("abc"), QStringLiteral("21474836.48"), QString::number(1e308, 'f', 2),
                                 QStringLiteral("-36.50"), QStringLiteral("29.99"), QStringLiteral("45.01")})
            row(qPrintable(t.left(12)), QDate(2024, 3, 5), 1, t, "",
                "2023/9/8|3/4|36.5|2024/3/4  体温の記録なし  ◎|基礎体温_20230908-20240305.pdf");
    }
    void fromCells()
    {
        QFETCH(QDate, selected);
        QFETCH(int, daysBack);
        QFETCH(QString, temp);
        QFETCH(QString, mark);
        const GraphData data = graphDataFromCells([&](int row, int col) {
            const QDate day = selected.addDays(1 - row);
            if (col <= 2)
                return QString::number(col == 0 ? day.year() : col == 1 ? day.month() : day.day());
            const QString cells[] = {QStringLiteral("月"), temp, QStringLiteral("頭痛"), mark, QStringLiteral("◎")};
            return row == daysBack + 1 ? cells[col - 3] : QString();
        });
        const int at = 179 - daysBack;
        const QStringList seen {data.firstDay(), data.labels[at], QString::number(data.values[at]),
                                dayToolTip(data, at), reportFileName(data)};
        QTEST(seen.join(u'|'), "expected");
    }

    // The cycles the PDF charts, when periods of five days began on the days given, today
    // being 2024/5/10: each cycle as start-end ("+" running) | the days to read.
    void plan_data()
    {
        QTest::addColumn<QString>("starts");
        QTest::addColumn<int>("scope");
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QDate>("last");
        QTest::addColumn<QString>("expected");
        const QString starts = QStringLiteral("1/1 1/29 2/26 3/25 4/22");
        const QDate feb10(2024, 2, 10), may10(2024, 5, 10);
        row("graph days, from the cycle begun before them", starts, 0, feb10, may10,
            "1/29-2/25 2/26-3/24 3/25-4/21 4/22-5/10+ | 1/29-5/10");
        row("graph days in the past, the last cycle to its end", starts, 0, QDate(2023, 11, 13), QDate(2024, 3, 1),
            "1/1-1/28 1/29-2/25 2/26-3/24 | 11/13-3/24");
        row("last 3; a period day ahead of today begins none", starts + " 5/12", 1, feb10, may10,
            "2/26-3/24 3/25-4/21 4/22-5/10+ | 2/10-5/10");
        row("last 6 of 5", starts, 2, feb10, QDate(2024, 6, 1),
            "1/1-1/28 1/29-2/25 2/26-3/24 3/25-4/21 4/22-5/10+ | 1/1-5/10");
        row("no period", QString(), 0, feb10, may10, " | 2/10-5/10");
    }
    void plan()
    {
        QFETCH(QString, starts);
        QFETCH(int, scope);
        QFETCH(QDate, first);
        QFETCH(QDate, last);
        std::vector<QDate> periodDays;
        for (const QString &start : starts.split(u' ', Qt::SkipEmptyParts)) {
            for (int i = 0; i < 5; ++i)
                periodDays.push_back(QDate::fromString(start + "/2024", "M/d/yyyy").addDays(i));
        }
        const ReportPlan p = reportPlan(periodDays, ReportScope(scope), first, last, QDate(2024, 5, 10));
        const auto md = [](const QDate &d) { return d.toString(QStringLiteral("M/d")); };
        QStringList cycles;
        for (const ReportPlan::Cycle &c : p.cycles)
            cycles << md(c.start) + u'-' + md(c.end) + (c.running ? "+" : "");
        QTEST(cycles.join(u' ') + " | " + md(p.from) + u'-' + md(p.upTo), "expected");
    }

    // A cycle of a day a reading from 2024/3/1, the first five period days ("x": left out
    // for a fever), as the chart gets it: its shift (first low, first high, coverline) |
    // its axis | the days with a reading | the first day's reading in hundredths | its line.
    void cycle_data()
    {
        QTest::addColumn<QString>("readings");
        QTest::addColumn<QString>("expected");
        const QString low = QStringLiteral("36.30 36.25 36.40 36.35 36.20 36.30 36.40 36.35 36.30 36.25 36.40 ");
        row("a shift past a fever left out", low + "38.10x 36.80 37.00 37.20 37.10 37.00 37.20 37.00 37.10",
            "5 12 3640 | 3550-3750 | 20 | 3630 | 周期 20日　月経 5日　高温期 13日目から 8日　低温期 平均 "
            "36.32℃　高温期 平均 "
            "37.05℃");
        row("typing slips are no readings; 38.20 stays", low + "365 3.65 38.20 - 36.30 0",
            "none | 3550-3750 | 13 | 3630 | 周期 17日　月経 5日　高温期 確認できず");
        row("most readings above the axis widen it", "37.60 37.70 37.80 37.60 36.90",
            "none | 3550-3800 | 5 | 3760 | 周期 5日　月経 5日　高温期 確認できず");
    }
    void cycle()
    {
        QFETCH(QString, readings);
        const QDate start(2024, 3, 1);
        const QStringList values = readings.split(u' ');
        const QDate end = start.addDays(values.size() - 1);
        std::vector<DayRecord> rows;
        std::map<QDate, DaySigns> signs;
        for (int i = 0; i < values.size(); ++i) {
            QString value = values[i];
            if (value.endsWith(u'x'))
                signs[start.addDays(i)] = DaySigns {true, QStringLiteral("発熱")};
            value.remove(u'x');
            rows.insert(rows.begin(), test::day(start.addDays(i), value.toDouble(), {}, {}, i < 5));
        }
        const ReportPlan plan {{{start, end, false}}, start, end};
        const ReportCycle c = reportData(plan, rows, signs, start, end).cycles.value(0);
        const QString shift
            = c.summary.shift
                  ? QStringLiteral("%1 %2 %3")
                        .arg(c.summary.shift->firstLow)
                        .arg(c.summary.shift->firstHigh)
                        .arg(c.summary.shift->coverline)
                  : QStringLiteral("none");
        const auto measured
            = std::count_if(c.days.begin(), c.days.end(), [](const ReportDay &d) { return d.reading.has_value(); });
        QCOMPARE(c.days.first().date, start);
        QTEST(QStringLiteral("%1 | %2-%3 | %4 | %5 | ")
                      .arg(shift)
                      .arg(c.axisLow)
                      .arg(c.axisHigh)
                      .arg(measured)
                      .arg(c.days[0].reading.value_or(-1))
                  + cycleLine(c.summary),
              "expected");
    }
};

QTEST_GUILESS_MAIN(TstGraphRules)
#include "tst_graph_rules.moc"
