// The diary's CSV file: records as RFC 4180 has them, the diary's rows out and back in.
#include "RecordsTest.h"
#include "TestDiary.h"
#include "records/CsvFormat.h"
#include "records/DiaryCsv.h"

using namespace nerina;
using test::row;

class TestCsv final : public QObject
{
    Q_OBJECT
private slots:
    void parseCsv_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("records"); // "line:field|field / ...", or the line of the error
        row("CR LF, LF, CR, no last break", QByteArray("a,b\r\nc\nd\re"), "1:a|b / 2:c / 3:d / 4:e");
        row("byte order mark", QByteArray("\xEF\xBB\xBFx,y\r\n"), "1:x|y");
        row("quoted", QByteArray("\"1\r\n2\",\"a\"\"b\",\"\"\r\nnext,"), "1:1\r\n2|a\"b| / 3:next|");
        row("open quote", QByteArray("a\r\nb,\"x\r\ny"), "error on 2");
        row("quote inside a field", QByteArray("ok\r\nab\"c"), "error on 2");
        row("text after a quote", QByteArray("\"a\nb\"x"), "error on 2");
        row("Shift_JIS", QByteArray("\x8a\xee,\x91\x62\r\n\xb7\x87\x40"), "1:基|礎 / 2:ｷ①");
        row("neither UTF-8 nor Shift_JIS", QByteArray("ok\r\na,\xFF\xFE"), "error on 2");
        row("a field's own U+FEFF",
            QByteArray("\xEF\xBB\xBF"
                       "a,\xEF\xBB\xBF"
                       "b"),
            "1:a|\uFEFFb");
    }
    void parseCsv()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, records);
        const CsvParse parsed = nerina::parseCsv(text);
        QStringList out;
        for (const CsvRow &r : parsed.rows)
            out << QString::number(r.line) + u':' + r.fields.join(u'|');
        QCOMPARE(parsed.ok() ? out.join(QStringLiteral(" / ")) : QStringLiteral("error on %1").arg(parsed.errorLine),
                 records);
    }

    // Every row leaves as it is stored, whatever another tool put there, and comes back in
    // as the editor would store it; the rows that the import refuses are counted.
    void exportedAndImported_data()
    {
        QTest::addColumn<QVariantList>("stored");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("imported");
        const QVariant null;
        row("texts to quote", QVariantList {"2026-03-05", 36.45, "体\n温", "a,\"q\"", 1, 0},
            QByteArray("2026-03-05,36.45,\"体\n温\",\"a,\"\"q\"\"\",1,0\r\n"), "2026-03-05|36.45|体\n温|a,\"q\"|1|0");
        row("float tail", QVariantList {"2026-03-05", 0.1 + 0.2, "", "", 0, 0},
            QByteArray("2026-03-05,0.30000000000000004,,,0,0\r\n"), "2026-03-05|0.30000000000000004|||0|0");
        row("NULLs", QVariantList {"2026-03-05", null, null, null, null, null}, QByteArray("2026-03-05,,,,0,0\r\n"),
            "2026-03-05|0|||0|0");
        row("text temperature", QVariantList {"2026-03-05", "abc", "c", "d", 1, 0},
            QByteArray("2026-03-05,abc,c,d,1,0\r\n"), "refused");
        row("time of day", QVariantList {"2026-03-05 08:15", 36.4, "", "", 0, 0},
            QByteArray("2026-03-05 08:15,36.4,,,0,0\r\n"), "refused");
        row("no such day", QVariantList {"2026-02-30", 36.4, "", "", 0, 0}, QByteArray("2026-02-30,36.4,,,0,0\r\n"),
            "refused");
        row("flag 2", QVariantList {"2026-03-05", 36.4, "", "", 2, 0}, QByteArray("2026-03-05,36.4,,,2,0\r\n"),
            "refused");
        row("a day as spreadsheets write it", QVariantList {"2026/3/5", 36.4, "", "", 0, 0},
            QByteArray("2026/3/5,36.4,,,0,0\r\n"), "2026-03-05|36.4|||0|0");
    }
    void exportedAndImported()
    {
        QFETCH(QVariantList, stored);
        QFETCH(QByteArray, line);
        QFETCH(QString, imported);
        test::TestDiary d;
        d.exec(QStringLiteral("DROP TABLE DATA_FIL")); // the table as another tool made it: no checks
        d.exec(QStringLiteral("CREATE TABLE DATA_FIL (DAT_DATE, TEMP, CONDITION, DIARY, GUEST, LOVE)"));
        d.insertRaw(stored);
        const DiaryExport csv = diaryToCsv(d.db().storedRows());
        QCOMPARE(csv.text, "\xEF\xBB\xBF" + csvRecord(diaryCsvHeader()) + line);
        QCOMPARE(csv.refused, int(imported == QLatin1String("refused")));
        const DiaryCsv back = diaryFromCsv(csv.text);
        QCOMPARE(back.ok() ? test::text(back.records) : QStringLiteral("refused"), imported);
    }
};

QTEST_GUILESS_MAIN(TestCsv)
#include "tst_csv.moc"
