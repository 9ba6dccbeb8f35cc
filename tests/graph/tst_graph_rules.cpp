#include "TestDiary.h"
#include "graph/GraphData.h"

using namespace nerina;
using test::row;

class TstGraphRules final : public QObject
{
    Q_OBJECT

private slots:
    // The list's 180 rows (row 1 the selected day) with one day "月", the given temperature,
    // "頭痛", the given mark and "◎", as the graph reads them: first day | that day's label |
    // value | tooltip | its row of the PDF's table | the PDF's name.
    void fromCells_data()
    {
        QTest::addColumn<QDate>("selected");
        QTest::addColumn<int>("daysBack");
        QTest::addColumn<QString>("temp");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<QString>("expected");
        row("reading", QDate(2024, 3, 5), 1, "36.45", "●",
            "2023/9/8|3/4|36.45|2024/3/4  36.45℃  ●◎|2024/3/4,月,36.45,頭痛,●◎|基礎体温_20230908-20240305.pdf");
        row("oldest day, year before", QDate(2024, 1, 10), 179, "36.50", "●",
            "2023/7/15|7/15|36.5|2023/7/15  36.50℃  ●◎|2023/7/15,月,36.50,頭痛,●◎|基礎体温_20230715-20240110.pdf");
        row("no reading, fertile", QDate(2024, 3, 5), 10, "", "★",
            "2023/9/8|2/24|36.5|2024/2/24  体温の記録なし  ★◎|2024/2/24,月,,頭痛,★◎|基礎体温_20230908-20240305.pdf");
        // To the hundredth, never cut short; the bounds of the entry's check are readings.
        const auto reading = [](const char *temp, const char *value, const char *shown) {
            row(temp, QDate(2024, 3, 5), 1, temp, "",
                QStringLiteral("2023/9/8|3/4|%1|2024/3/4  %2℃  ◎|2024/3/4,月,%2,頭痛,◎|基礎体温_20230908-20240305.pdf")
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
                "2023/9/8|3/4|36.5|2024/3/4  体温の記録なし  ◎|2024/3/4,月,,頭痛,◎|基礎体温_20230908-20240305.pdf");
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
        const ReportRow r = reportRows(data).value(at);
        const QString row = QStringList {r.date, r.weekday, r.temperature, r.condition, r.marks}.join(u',');
        const QStringList seen {data.firstDay(), data.labels[at], QString::number(data.values[at]),
                                dayToolTip(data, at)};
        QTEST(seen.join(u'|') + u'|' + row + u'|' + reportFileName(data), "expected");
    }
};

QTEST_GUILESS_MAIN(TstGraphRules)
#include "tst_graph_rules.moc"
