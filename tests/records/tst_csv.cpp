// CSV export and import: the RFC 4180 reader and writer, the diary's columns, and the
// two commands of the file menu against a real diary file.
#include "TestSupport.h"
#include "common/FileSafety.h"
#include "records/CsvFormat.h"
#include "records/CsvTransfer.h"
#include "records/DiaryCsv.h"
#include "records/DiaryDb.h"
#include "records/TempEdit.h"
#include "shell/Form1.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <sys/stat.h>

using namespace nerina;

Q_DECLARE_METATYPE(std::vector<QStringList>)

namespace {

const QByteArray kHeader = "date,temperature,condition,diary,period,intercourse\r\n";

std::vector<QStringList> fieldsOf(const CsvParse &parsed)
{
    std::vector<QStringList> out;
    for (const CsvRow &row : parsed.rows)
        out.push_back(row.fields);
    return out;
}

QByteArray writeAll(const std::vector<QStringList> &records)
{
    QByteArray out;
    for (const QStringList &r : records)
        out += csvRecord(r);
    return out;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::vector<DayRecord> allDays(DiaryDb &db) { return db.daysFrom(QDate(1, 1, 1)); }

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

// Runs raw SQL on the diary file, as another tool would.
void rawExec(const QString &path, const QString &statement)
{
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY2(q.exec(statement), qPrintable(statement));
    }
    QSqlDatabase::removeDatabase(name);
}

// A text of `length` code points drawn mostly from the characters a CSV reader trips on.
QString trickyText(QRandomGenerator &rng, int length)
{
    static const QList<char32_t> pool = {
        U',',  U'"', U'\r', U'\n', U' ', U'a',  U'Z',  U'0',      U'\t',     U'\0', U'#', U';',
        U'あ', U'ｱ', U'体', U'温', U'℃', U'，', U'＂', U'\u2028', U'\uFEFF', U'😀',  U'👩', U'\U0001F3FD',
    };
    QString s;
    for (int i = 0; i < length; ++i) {
        char32_t c;
        if (rng.bounded(8) == 0) {
            // Any code point but a lone surrogate, which has no UTF-8 form.
            do
                c = char32_t(rng.bounded(0x110000));
            while (c >= 0xD800 && c <= 0xDFFF);
        } else {
            c = pool.at(rng.bounded(int(pool.size())));
        }
        s += QString::fromUcs4(&c, 1);
    }
    return s;
}

DayRecord stored(const QDate &day, std::optional<double> temp, std::optional<QString> condition,
                 std::optional<QString> diary, bool guest, bool love)
{
    DayRecord r;
    r.DAT_DATE = day;
    r.TEMP = temp;
    r.CONDITION = std::move(condition);
    r.DIARY = std::move(diary);
    r.GUEST = guest;
    r.LOVE = love;
    return r;
}

void compareRecords(const std::vector<DayRecord> &actual, const std::vector<DayRecord> &expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        const DayRecord &a = actual[i];
        const DayRecord &e = expected[i];
        QCOMPARE(a.DAT_DATE, e.DAT_DATE);
        QCOMPARE(a.TEMP.has_value(), e.TEMP.has_value());
        if (a.TEMP)
            QVERIFY2(sameBits(*a.TEMP, *e.TEMP), qPrintable(QString::number(*a.TEMP, 'g', 17)));
        QCOMPARE(a.CONDITION, e.CONDITION);
        QCOMPARE(a.DIARY, e.DIARY);
        QCOMPARE(a.GUEST, e.GUEST);
        QCOMPARE(a.LOVE, e.LOVE);
    }
}

} // namespace

class TestCsv final : public QObject
{
    Q_OBJECT

private slots:
    // ---- RFC 4180 writer and reader ----

    void writerQuotesOnlyWhereNeeded_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("plain") << QStringList {"a", "b c", ""} << QByteArray("a,b c,\r\n");
        QTest::newRow("comma") << QStringList {"a,b"} << QByteArray("\"a,b\"\r\n");
        QTest::newRow("quote doubled") << QStringList {"say \"hi\""} << QByteArray("\"say \"\"hi\"\"\"\r\n");
        QTest::newRow("line breaks kept as they are")
            << QStringList {"1\n2", "3\r\n4", "5\r6"} << QByteArray("\"1\n2\",\"3\r\n4\",\"5\r6\"\r\n");
        QTest::newRow("utf-8") << QStringList {"体温℃", "😀"} << QByteArray("体温℃,😀\r\n");
        QTest::newRow("one empty field") << QStringList {""} << QByteArray("\r\n");
    }
    void writerQuotesOnlyWhereNeeded()
    {
        QFETCH(QStringList, fields);
        QFETCH(QByteArray, line);
        QCOMPARE(csvRecord(fields), line);
    }

    void readerReads_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<std::vector<QStringList>>("records");
        QTest::addColumn<std::vector<int>>("lines");
        QTest::newRow("empty") << QByteArray() << std::vector<QStringList> {} << std::vector<int> {};
        QTest::newRow("bom only") << QByteArray("\xEF\xBB\xBF") << std::vector<QStringList> {} << std::vector<int> {};
        QTest::newRow("crlf") << QByteArray("a,b\r\nc,d\r\n") << std::vector<QStringList> {{"a", "b"}, {"c", "d"}}
                              << std::vector<int> {1, 2};
        QTest::newRow("lf, cr, no final break")
            << QByteArray("a\nb\rc") << std::vector<QStringList> {{"a"}, {"b"}, {"c"}} << std::vector<int> {1, 2, 3};
        QTest::newRow("bom skipped") << QByteArray("\xEF\xBB\xBFx,y\r\n") << std::vector<QStringList> {{"x", "y"}}
                                     << std::vector<int> {1};
        QTest::newRow("quoted breaks count as lines")
            << QByteArray("\"1\r\n2\n3\",x\r\nnext\r\n") << std::vector<QStringList> {{"1\r\n2\n3", "x"}, {"next"}}
            << std::vector<int> {1, 4};
        QTest::newRow("doubled quotes, empty quoted")
            << QByteArray("\"a\"\"b\",\"\"\r\n") << std::vector<QStringList> {{"a\"b", ""}} << std::vector<int> {1};
        QTest::newRow("trailing comma") << QByteArray("a,\r\nb,") << std::vector<QStringList> {{"a", ""}, {"b", ""}}
                                        << std::vector<int> {1, 2};
        QTest::newRow("blank line is one empty field")
            << QByteArray("a\r\n\r\nb\r\n") << std::vector<QStringList> {{"a"}, {""}, {"b"}}
            << std::vector<int> {1, 2, 3};
        QTest::newRow("spaces are data") << QByteArray(" a , b ") << std::vector<QStringList> {{" a ", " b "}}
                                         << std::vector<int> {1};
        QTest::newRow("nul is data") << QByteArray("a\0b", 3)
                                     << std::vector<QStringList> {{QString(QStringLiteral("a")) + QChar(0) + "b"}}
                                     << std::vector<int> {1};
    }
    void readerReads()
    {
        QFETCH(QByteArray, text);
        QFETCH(std::vector<QStringList>, records);
        QFETCH(std::vector<int>, lines);
        const CsvParse parsed = parseCsv(text);
        QVERIFY2(parsed.ok(), qPrintable(parsed.error));
        QCOMPARE(fieldsOf(parsed), records);
        std::vector<int> got;
        for (const CsvRow &r : parsed.rows)
            got.push_back(r.line);
        QCOMPARE(got, lines);
    }

    void readerRejects_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");
        QTest::newRow("unterminated quote names the line it opened on") << QByteArray("a\r\nb,\"x\r\ny\r\n") << 2;
        QTest::newRow("unterminated at the very end") << QByteArray("a\r\n\"") << 2;
        QTest::newRow("quote inside an unquoted field") << QByteArray("ok\r\nab\"c\r\n") << 2;
        QTest::newRow("text after the closing quote") << QByteArray("ok\r\n\"ab\"c\r\n") << 2;
        QTest::newRow("after a quoted break") << QByteArray("\"a\nb\"x\r\n") << 2;
        QTest::newRow("not utf-8") << QByteArray("ok\r\nok\r\na,\xFF\xFE\r\n") << 3;
        QTest::newRow("overlong utf-8") << QByteArray("\xC0\xAF") << 1;
        QTest::newRow("truncated utf-8") << QByteArray("ok\n\xE4\xBD") << 2;
    }
    void readerRejects()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        const CsvParse parsed = parseCsv(text);
        QCOMPARE(parsed.errorLine, line);
        QVERIFY(!parsed.error.isEmpty());
        QVERIFY(parsed.rows.empty());
    }

    // Random records, written and read back, are the same records.
    void propertyWriteThenReadGivesTheRecords()
    {
        QRandomGenerator rng(20261206);
        for (int round = 0; round < 500; ++round) {
            std::vector<QStringList> records;
            const int count = rng.bounded(1, 8);
            for (int r = 0; r < count; ++r) {
                QStringList fields;
                const int n = rng.bounded(1, 7);
                for (int f = 0; f < n; ++f)
                    fields << trickyText(rng, rng.bounded(0, 12));
                records.push_back(fields);
            }
            const QByteArray text = writeAll(records);
            const CsvParse parsed = parseCsv(text);
            QVERIFY2(parsed.ok(), qPrintable(QStringLiteral("round %1: %2").arg(round).arg(parsed.error)));
            QCOMPARE(fieldsOf(parsed), records);
        }
    }

    // Random bytes never crash the reader: it either names a line within the text or
    // returns records that write and read back unchanged.
    void propertyRandomBytesFailWithALineOrRead()
    {
        QRandomGenerator rng(4180);
        static const char structural[] = {',', '"', '\r', '\n', 'a', '0', '-', '.'};
        for (int round = 0; round < 3000; ++round) {
            QByteArray text;
            const int n = rng.bounded(0, 64);
            for (int i = 0; i < n; ++i) {
                if (rng.bounded(3) == 0)
                    text += char(rng.bounded(256));
                else
                    text += structural[rng.bounded(int(sizeof structural))];
            }
            const CsvParse parsed = parseCsv(text);
            if (!parsed.ok()) {
                QVERIFY(parsed.rows.empty());
                QVERIFY(parsed.errorLine >= 1);
                QVERIFY(parsed.errorLine <= text.count('\n') + text.count('\r') + 1);
                continue;
            }
            const CsvParse again = parseCsv(writeAll(fieldsOf(parsed)));
            QVERIFY(again.ok());
            QCOMPARE(fieldsOf(again), fieldsOf(parsed));

            // The diary reader over the same bytes behind a good header: an error with a
            // line, or records.
            const DiaryCsv diary = diaryFromCsv(kHeader + text);
            if (!diary.ok()) {
                QVERIFY(diary.records.empty());
                QVERIFY(diary.errorLine >= 1);
            }
        }
    }

    // ---- The diary's columns ----

    void temperatureTexts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("36.5") << 36.5 << "36.5";
        QTest::newRow("36.45") << 36.45 << "36.45";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "-0";
        QTest::newRow("whole") << 37.0 << "37";
        QTest::newRow("sum with a tail") << 0.1 + 0.2 << "0.30000000000000004";
        QTest::newRow("no exponent") << 1e-7 << "0.0000001";
        QTest::newRow("large") << 1e21 << "1000000000000000000000";
    }
    void temperatureTexts()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(csvTemperature(value), text);
    }

    // Every finite double, written and read back, is the same double, bit for bit.
    void propertyTemperatureRoundTrips()
    {
        QRandomGenerator rng(36);
        for (int round = 0; round < 3000; ++round) {
            double value;
            if (round % 2) {
                const quint64 bits = rng.generate64();
                std::memcpy(&value, &bits, sizeof value);
                if (!std::isfinite(value))
                    continue;
            } else {
                value = 34.0 + rng.bounded(900) / 100.0; // the temperatures people type
            }
            const QByteArray text = kHeader + "2026-03-05," + csvTemperature(value).toLatin1() + ",,,0,0\r\n";
            const DiaryCsv csv = diaryFromCsv(text);
            QVERIFY2(csv.ok(), qPrintable(csv.error));
            QVERIFY2(sameBits(*csv.records.front().TEMP, value), qPrintable(csvTemperature(value)));
        }
    }

    void diaryReadsAFile()
    {
        const QByteArray text = "\xEF\xBB\xBF" + kHeader
                                + "2026-03-05,36.45,\"だるい, 眠い\",\"一行目\n\"\"二行目\"\"\",1,0\r\n"
                                  "2026-03-06,,,,0,1\n";
        const DiaryCsv csv = diaryFromCsv(text);
        QVERIFY2(csv.ok(), qPrintable(csv.error));
        compareRecords(csv.records, {
                                        stored(QDate(2026, 3, 5), 36.45, QStringLiteral("だるい, 眠い"),
                                               QStringLiteral("一行目\n\"二行目\""), true, false),
                                        // Empty fields read as the editor stores an empty entry: 0 and empty texts.
                                        stored(QDate(2026, 3, 6), 0.0, QString(), QString(), false, true),
                                    });
        QVERIFY(!csv.records.back().CONDITION->isNull());
        QVERIFY(!csv.records.back().DIARY->isNull());
    }

    void diaryRejectsBadLines_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("says");
        const QByteArray good = "2026-03-01,36.5,,,0,0\r\n";
        QTest::newRow("too few columns") << good + "2026-03-02,36.5,,0,0\r\n" << 3 << "列の数が 6 ではなく 5 です。";
        QTest::newRow("too many columns") << good + "2026-03-02,36.5,,,0,0,\r\n" << 3 << "列の数が 6 ではなく 7 です。";
        QTest::newRow("blank line") << good + "\r\n" + good << 3 << "列の数";
        QTest::newRow("no such day") << good + "2026-02-30,36.5,,,0,0\r\n" << 3 << "日付が正しくありません";
        QTest::newRow("slashes") << good + "2026/03/02,36.5,,,0,0\r\n" << 3 << "日付";
        QTest::newRow("short year") << good + "26-03-02,36.5,,,0,0\r\n" << 3 << "日付";
        QTest::newRow("full-width digits") << good + "２０２６-03-02,36.5,,,0,0\r\n" << 3 << "日付";
        QTest::newRow("time of day") << good + "2026-03-02 00:00,36.5,,,0,0\r\n" << 3 << "日付";
        QTest::newRow("decimal comma") << good + "2026-03-02,\"36,5\",,,0,0\r\n" << 3 << "体温が数値ではありません。";
        QTest::newRow("word") << good + "2026-03-02,abc,,,0,0\r\n" << 3 << "体温";
        QTest::newRow("exponent") << good + "2026-03-02,3.65e1,,,0,0\r\n" << 3 << "体温";
        QTest::newRow("space") << good + "2026-03-02, 36.5,,,0,0\r\n" << 3 << "体温";
        QTest::newRow("beyond double") << good + "2026-03-02,1" + QByteArray(400, '0') + ",,,0,0\r\n" << 3 << "体温";
        QTest::newRow("period flag 2") << good + "2026-03-02,36.5,,,2,0\r\n" << 3 << "月経の欄は 0 か 1 で書きます。";
        QTest::newRow("intercourse flag word") << good + "2026-03-02,36.5,,,0,true\r\n" << 3 << "SEXの欄";
        QTest::newRow("empty flag") << good + "2026-03-02,36.5,,,,0\r\n" << 3 << "月経の欄";
        QTest::newRow("unterminated quote") << good + good + "2026-03-03,36.5,\"open,,0,0\r\n"
                                            << 4 << "引用符が閉じられていません。";
        QTest::newRow("same day twice") << good + "2026-03-02,36.5,,,0,0\r\n" + good << 4
                                        << "同じ日付が 2 行目にもあります。";
        QTest::newRow("line after a multi-line diary")
            << QByteArray("2026-03-01,36.5,,\"a\nb\nc\",0,0\r\n2026-03-02,x,,,0,0\r\n") << 5 << "体温";
    }
    void diaryRejectsBadLines()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, line);
        QFETCH(QString, says);
        const DiaryCsv csv = diaryFromCsv(kHeader + body);
        QCOMPARE(csv.errorLine, line);
        QVERIFY2(csv.error.contains(says), qPrintable(csv.error));
        QVERIFY(csv.records.empty());
    }

    void diaryNeedsTheHeader_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("no header") << QByteArray("2026-03-01,36.5,,,0,0\r\n");
        QTest::newRow("other names") << QByteArray("日付,体温,体調,日記,月経,SEX\r\n");
        QTest::newRow("columns swapped") << QByteArray("date,condition,temperature,diary,period,intercourse\r\n");
    }
    void diaryNeedsTheHeader()
    {
        QFETCH(QByteArray, text);
        const DiaryCsv csv = diaryFromCsv(text);
        QCOMPARE(csv.errorLine, 1);
        QVERIFY(csv.error.contains(QStringLiteral("見出し行")));
    }

    // Rows another tool wrote leave as they are stored, and the rows the import would
    // refuse are counted. The table has no key and no checks, so anything can be in it.
    void exportWritesEveryRowAsStored_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("refused");
        QTest::newRow("nulls") << QStringList {"'2026-03-05', NULL, NULL, NULL, NULL, NULL"}
                               << QByteArray("2026-03-05,,,,0,0\r\n") << 0;
        QTest::newRow("numbers and a blob where texts go")
            << QStringList {"'2026-03-05', 36, 7, X'E697A5', 1, 1"} << QByteArray("2026-03-05,36,7,日,1,1\r\n") << 0;
        QTest::newRow("text temperature")
            << QStringList {"'2026-03-05', 'abc', 'c', 'd', 1, 0"} << QByteArray("2026-03-05,abc,c,d,1,0\r\n") << 1;
        QTest::newRow("infinite temperature")
            << QStringList {"'2026-03-05', 1e999, '', '', 0, 0"} << QByteArray("2026-03-05,inf,,,0,0\r\n") << 1;
        QTest::newRow("time of day") << QStringList {"'2026-03-06 08:15:00', 36.4, '', '', 0, 0"}
                                     << QByteArray("2026-03-06 08:15:00,36.4,,,0,0\r\n") << 1;
        QTest::newRow("no such day") << QStringList {"'2026-02-30', 36.4, '', '', 0, 0"}
                                     << QByteArray("2026-02-30,36.4,,,0,0\r\n") << 1;
        QTest::newRow("no date") << QStringList {"NULL, 36.4, '', '', 0, 0"} << QByteArray(",36.4,,,0,0\r\n") << 1;
        QTest::newRow("flags 2 and yes") << QStringList {"'2026-03-05', 36.4, '', '', 2, 'yes'"}
                                         << QByteArray("2026-03-05,36.4,,,2,yes\r\n") << 1;
        QTest::newRow("same day twice") << QStringList {"'2026-03-05', 36.4, '', '', 0, 0",
                                                        "'2026-03-05', 36.4, '', '', 0, 0"}
                                        << QByteArray("2026-03-05,36.4,,,0,0\r\n2026-03-05,36.4,,,0,0\r\n") << 1;
    }
    void exportWritesEveryRowAsStored()
    {
        QFETCH(QStringList, rows);
        QFETCH(QByteArray, body);
        QFETCH(int, refused);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("other.db"));
        rawExec(path, QStringLiteral("CREATE TABLE DATA_FIL (DAT_DATE, TEMP, CONDITION, DIARY, GUEST, LOVE)"));
        for (const QString &values : rows)
            rawExec(path, QStringLiteral("INSERT INTO DATA_FIL VALUES (%1)").arg(values));

        const DiaryExport csv = diaryToCsv(DiaryDb(path).storedRows());
        QCOMPARE(csv.text, kHeader + body);
        QCOMPARE(csv.rows, int(rows.size()));
        QCOMPARE(csv.refused, refused);
        QCOMPARE(diaryFromCsv(csv.text).ok(), refused == 0);
    }

    // Never more than the limit is read: a file one byte past it is refused.
    void readImportFileKeepsToItsLimit()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("in.csv"));
        writeFile(path, "12345678");
        const FileBytes whole = readImportFile(path, 8);
        QVERIFY(whole.error.isNull());
        QCOMPARE(whole.bytes, QByteArray("12345678"));
        const FileBytes over = readImportFile(path, 7);
        QCOMPARE(over.error, QStringLiteral("ﾌｧｲﾙが大きすぎます。"));
        QVERIFY(over.bytes.isEmpty());
    }

    // ---- The commands ----

    void menuHoldsBothCommandsBeforeTheGraphGroup()
    {
        TestEnv env;
        auto form = env.makeForm();
        const QList<QAction *> items = form->ui().mnuFile->actions();
        const int mente = int(items.indexOf(form->ui().mnuFileDataMente));
        QCOMPARE(items.at(mente + 1)->objectName(), QStringLiteral("mnuExport"));
        QCOMPARE(items.at(mente + 2)->objectName(), QStringLiteral("mnuImport"));
        QVERIFY(items.indexOf(form->ui().mnuPartition) > mente + 2);
        QCOMPARE(form->ui().mnuExport->text(), QStringLiteral("ｴｸｽﾎﾟｰﾄ(&E)..."));
        QCOMPARE(form->ui().mnuImport->text(), QStringLiteral("ｲﾝﾎﾟｰﾄ(&I)..."));
        QVERIFY(form->ui().mnuExport->shortcut().isEmpty());
        QVERIFY(form->ui().mnuImport->shortcut().isEmpty());
        // Both work from either tab.
        form->ui().SSTab1->setCurrentIndex(1);
        QVERIFY(form->ui().mnuExport->isEnabled());
        QVERIFY(form->ui().mnuImport->isEnabled());
        QVERIFY(env.dialogs.shown.isEmpty());
    }

    void exportWritesEveryEntryOldestFirst()
    {
        TestEnv env;
        env.db().saveDay(
            makeDay(QDate(2026, 3, 6), 36.45, QStringLiteral("頭痛"), QStringLiteral("a,b\n\"c\""), true, false));
        env.db().saveDay(makeDay(QDate(2026, 3, 5), 0, QString(), QString(), false, true));
        env.db().saveDay(stored(QDate(2025, 12, 31), std::nullopt, std::nullopt, std::nullopt, false, false));
        // Another tool's text in the temperature: a row the program itself cannot load.
        rawExec(env.dbPath(), QStringLiteral("INSERT INTO DATA_FIL VALUES ('2026-03-07', 'abc', NULL, NULL, NULL, 1)"));
        auto form = env.makeForm();
        env.dialogs.clear();

        const QString path = env.folder() + QStringLiteral("/out.csv");
        env.dialogs.saveFileNames << path;
        form->ui().mnuExport->trigger();

        QCOMPARE(env.dialogs.fileCalls.size(), 1);
        QVERIFY(env.dialogs.fileCalls.front().save);
        QCOMPARE(env.dialogs.fileCalls.front().title, QStringLiteral("ｴｸｽﾎﾟｰﾄ"));
        QVERIFY(env.dialogs.fileCalls.front().path.endsWith(QStringLiteral("nerina-20261206.csv")));
        QVERIFY(env.dialogs.fileCalls.front().filter.contains(QStringLiteral("*.csv")));

        QCOMPARE(readFile(path), kHeader
                                     + "2025-12-31,,,,0,0\r\n"
                                       "2026-03-05,0,,,0,1\r\n"
                                       "2026-03-06,36.45,頭痛,\"a,b\n\"\"c\"\"\",1,0\r\n"
                                       "2026-03-07,abc,,,0,1\r\n");
        // The diary is private: nobody but its owner may read the copy.
        QCOMPARE(QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(env.dialogs.texts(),
                 QStringList {QStringLiteral(
                     "4 日分のﾃﾞｰﾀを書き出しました。\n"
                     "うち 1 行は、取り込めない値を含んでいます（取り込む前に、その行を直すか消して下さい）。")});
        QCOMPARE(env.dialogs.last().icon, Dialogs::Icon::Information);
    }

    // A failed write says why in Japanese, never in the engine's English, and leaves
    // nothing behind.
    void exportFailureSaysWhy_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("systemError");
        QTest::newRow("folder not there") << "missing/out.csv" << ENOENT;
        QTest::newRow("a folder of that name") << "out.csv" << EISDIR;
    }
    void exportFailureSaysWhy()
    {
        QFETCH(QString, name);
        QFETCH(int, systemError);
        TestEnv env;
        env.db().saveDay(makeDay(QDate(2026, 3, 5), 36.5));
        QVERIFY(QDir(env.folder()).mkdir(QStringLiteral("out.csv")));
        auto form = env.makeForm();
        const QStringList before = QDir(env.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        env.dialogs.clear();
        env.dialogs.saveFileNames << env.folder() + QLatin1Char('/') + name;
        form->ui().mnuExport->trigger();

        QCOMPARE(env.dialogs.texts(),
                 QStringList {QStringLiteral("ﾌｧｲﾙに書き込めません。\n") + fileErrorText(systemError)});
        QCOMPARE(env.dialogs.last().icon, Dialogs::Icon::Warning);
        for (const char *english : {"Unknown", "denied", "No such"})
            QVERIFY(!env.dialogs.last().text.contains(QLatin1String(english)));
        QCOMPARE(QDir(env.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QVERIFY(QDir(env.folder() + QStringLiteral("/out.csv")).isEmpty());
    }

    void cancellingEitherDialogDoesNothing()
    {
        TestEnv env;
        env.db().saveDay(makeDay(QDate(2026, 3, 5), 36.5));
        auto form = env.makeForm();
        env.dialogs.clear();
        form->ui().mnuExport->trigger();
        form->ui().mnuImport->trigger();
        QCOMPARE(env.dialogs.fileCalls.size(), 2);
        QVERIFY(env.dialogs.shown.isEmpty());
        QCOMPARE(allDays(env.db()).size(), std::size_t(1));
    }

    // Everything the program can store comes back unchanged through a file into an
    // empty diary: texts with every kind of line break, quotes, commas, emoji, NUL, the
    // full 500 characters, and temperatures with long binary tails.
    void roundTripIntoAnEmptyDiary()
    {
        QString longDiary;
        for (int i = 0; i < 500; ++i)
            longDiary += QChar(u"日記,\"\n😀"[i % 5]);
        const std::vector<DayRecord> days = {
            makeDay(QDate(2026, 3, 1), 36.45, QStringLiteral("だるい"), QStringLiteral("普通の日"), true, false),
            makeDay(QDate(2026, 3, 2), 0, QString(), QString(), false, false),
            makeDay(QDate(2026, 3, 3), 36.499999999999996, QStringLiteral("a,b"), QStringLiteral("\"quoted\""), false,
                    true),
            makeDay(QDate(2026, 3, 4), 0.1 + 0.2, QStringLiteral(" 前後に空白 "), QStringLiteral("一\n二\r\n三\r四\n"),
                    true, true),
            makeDay(QDate(2026, 3, 5), 37, QStringLiteral("👩🏽‍⚕️"),
                    QStringLiteral("NUL:") + QChar(0) + QStringLiteral(":end"), false, false),
            makeDay(QDate(2026, 3, 6), 35.123456789, QStringLiteral("ｶﾀｶﾅ，＂"), longDiary, false, false),
            makeDay(QDate(1, 1, 1), 36.6, QStringLiteral("="), QStringLiteral("=1+1"), false, false),
            makeDay(QDate(9999, 12, 31), 36.6, QStringLiteral("\t"), QStringLiteral("\n"), true, false),
        };
        const QString path = QDir::temp().filePath(
            QStringLiteral("nerina-roundtrip-%1.csv").arg(QUuid::createUuid().toString(QUuid::Id128)));
        {
            TestEnv source;
            for (const DayRecord &d : days)
                source.db().saveDay(d);
            auto form = source.makeForm();
            source.dialogs.saveFileNames << path;
            form->ui().mnuExport->trigger();
            QVERIFY(QFile::exists(path));
        }
        TestEnv target;
        auto form = target.makeForm();
        target.dialogs.clear();
        target.dialogs.openFileNames << path;
        form->ui().mnuImport->trigger();
        QFile::remove(path);

        QCOMPARE(target.dialogs.texts(), QStringList {QStringLiteral("8 日分のﾃﾞｰﾀを取り込みました。")});
        QCOMPARE(target.dialogs.unscriptedQuestions, 0);
        std::vector<DayRecord> expected = days;
        std::sort(expected.begin(), expected.end(),
                  [](const DayRecord &a, const DayRecord &b) { return a.DAT_DATE > b.DAT_DATE; });
        compareRecords(allDays(target.db()), expected);
    }

    // NULL columns from another tool leave as empty fields and come back the way the
    // editor stores an empty entry.
    void nullColumnsComeBackAsAnEmptyEntry()
    {
        const QString path = QDir::temp().filePath(
            QStringLiteral("nerina-null-%1.csv").arg(QUuid::createUuid().toString(QUuid::Id128)));
        {
            TestEnv source;
            source.db().saveDay(stored(QDate(2026, 3, 5), std::nullopt, std::nullopt, std::nullopt, true, false));
            auto form = source.makeForm();
            source.dialogs.saveFileNames << path;
            form->ui().mnuExport->trigger();
        }
        TestEnv target;
        auto form = target.makeForm();
        target.dialogs.openFileNames << path;
        form->ui().mnuImport->trigger();
        QFile::remove(path);
        compareRecords(allDays(target.db()), {stored(QDate(2026, 3, 5), 0.0, QString(), QString(), true, false)});
    }

    void importAsksOnceAboutStoredDays_data()
    {
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::addColumn<QString>("march5");
        QTest::addColumn<QString>("done");
        QTest::newRow("yes overwrites them all") << Dialogs::Answer::Yes << "from file"
                                                 << "3 日分のﾃﾞｰﾀを取り込みました。";
        QTest::newRow("no keeps them all") << Dialogs::Answer::No << "stored"
                                           << "1 日分のﾃﾞｰﾀを取り込みました。\n登録済みの 2 日分はそのまま残しました。";
    }
    void importAsksOnceAboutStoredDays()
    {
        QFETCH(Dialogs::Answer, answer);
        QFETCH(QString, march5);
        QFETCH(QString, done);
        TestEnv env;
        env.db().saveDay(makeDay(QDate(2026, 3, 5), 36.1, QString(), QStringLiteral("stored")));
        env.db().saveDay(makeDay(QDate(2026, 3, 6), 36.2, QString(), QStringLiteral("stored")));
        const QString path = env.folder() + QStringLiteral("/in.csv");
        writeFile(path, kHeader
                            + "2026-03-05,36.5,,from file,0,0\r\n"
                              "2026-03-06,36.6,,from file,0,0\r\n"
                              "2026-03-07,36.7,,from file,0,0\r\n");
        auto form = env.makeForm();
        env.dialogs.clear();
        env.dialogs.openFileNames << path;
        env.dialogs.answers << answer;
        form->ui().mnuImport->trigger();

        QCOMPARE(env.dialogs.shown.size(), 2);
        const Dialogs::Message &question = env.dialogs.shown.front();
        QCOMPARE(question.buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(question.icon, Dialogs::Icon::Question);
        QCOMPARE(question.defaultButton, Dialogs::Answer::No);
        QCOMPARE(question.title, QStringLiteral("ｲﾝﾎﾟｰﾄ"));
        QVERIFY(question.text.contains(QStringLiteral("2 日分はすでに登録されています")));
        QCOMPARE(env.dialogs.last().text, done);

        QCOMPARE(env.db().findDay(QDate(2026, 3, 5))->DIARY, march5);
        QCOMPARE(env.db().findDay(QDate(2026, 3, 6))->DIARY, march5);
        QCOMPARE(env.db().findDay(QDate(2026, 3, 7))->DIARY, QStringLiteral("from file"));
    }

    void badLineStopsTheImportBeforeAnyWrite()
    {
        TestEnv env;
        env.db().saveDay(makeDay(QDate(2026, 3, 5), 36.1, QString(), QStringLiteral("stored")));
        const QString path = env.folder() + QStringLiteral("/in.csv");
        writeFile(path, kHeader
                            + "2026-03-04,36.5,,,0,0\r\n"
                              "2026-03-05,36.5,,\"two\nlines\",0,0\r\n"
                              "2026-03-06,36.5,,,0,yes\r\n");
        auto form = env.makeForm();
        env.dialogs.clear();
        env.dialogs.openFileNames << path;
        form->ui().mnuImport->trigger();

        QCOMPARE(env.dialogs.shown.size(), 1); // no question before the whole file was read
        QCOMPARE(
            env.dialogs.last().text,
            QStringLiteral("5 行目が正しくありません。\nSEXの欄は 0 か 1 で書きます。\nﾃﾞｰﾀは取り込んでいません。"));
        QCOMPARE(env.dialogs.last().icon, Dialogs::Icon::Warning);
        const std::vector<DayRecord> rows = allDays(env.db());
        QCOMPARE(rows.size(), std::size_t(1));
        QCOMPARE(rows.front().DIARY, QStringLiteral("stored"));
    }

    void importOfAHeaderOnlyFileSaysThereIsNothing()
    {
        TestEnv env;
        const QString path = env.folder() + QStringLiteral("/in.csv");
        writeFile(path, kHeader);
        auto form = env.makeForm();
        env.dialogs.clear();
        env.dialogs.openFileNames << path;
        form->ui().mnuImport->trigger();
        QCOMPARE(env.dialogs.texts(), QStringList {QStringLiteral("取り込むﾃﾞｰﾀがありません。")});
    }

    // What cannot be read is refused at once, before anything waits on it or fills the
    // memory, and the diary is left alone.
    void importOfWhatIsNoFileWarns_data()
    {
        QTest::addColumn<QString>("name"); // in the test's folder, or an absolute path
        QTest::addColumn<QString>("says");
        const QString notAFile = QStringLiteral("通常のﾌｧｲﾙではないため、読み込めません。");
        QTest::newRow("missing") << "nowhere.csv" << QStringLiteral("ﾌｧｲﾙを開けません。\nﾌｧｲﾙがありません。");
        QTest::newRow("pipe without a writer") << "pipe.csv" << notAFile;
        QTest::newRow("endless device") << "/dev/zero" << notAFile;
        QTest::newRow("folder") << "." << notAFile;
    }
    void importOfWhatIsNoFileWarns()
    {
        QFETCH(QString, name);
        QFETCH(QString, says);
        TestEnv env;
        QVERIFY(::mkfifo(QFile::encodeName(env.folder() + QStringLiteral("/pipe.csv")).constData(), 0600) == 0);
        auto form = env.makeForm();
        env.dialogs.clear();
        env.dialogs.openFileNames << QDir(env.folder()).filePath(name);
        form->ui().mnuImport->trigger();
        QCOMPARE(env.dialogs.texts(), QStringList {says});
        QCOMPARE(env.dialogs.last().icon, Dialogs::Icon::Warning);
        QVERIFY(allDays(env.db()).empty());
    }

    // A failure of the database in the middle of the batch leaves no row of it behind.
    void importIsAllOrNothing()
    {
        TestEnv env;
        rawExec(env.dbPath(),
                QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON DATA_FIL WHEN NEW.DAT_DATE = '2026-03-07' "
                               "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END"));
        const QString path = env.folder() + QStringLiteral("/in.csv");
        writeFile(path, kHeader
                            + "2026-03-05,36.5,,,0,0\r\n"
                              "2026-03-06,36.6,,,0,0\r\n"
                              "2026-03-07,36.7,,,0,0\r\n");
        auto form = env.makeForm();
        env.dialogs.clear();
        env.dialogs.openFileNames << path;
        form->ui().mnuImport->trigger();

        QCOMPARE(env.dialogs.shown.size(), 1);
        QCOMPARE(env.dialogs.last().title, QStringLiteral("PG-Error"));
        QVERIFY(allDays(env.db()).empty());
    }

    // The day on screen shows what was imported for it, unless it holds unsaved edits,
    // and the forecast follows an imported period day.
    void importRefreshesTheShownDayOnlyWithoutEdits_data()
    {
        QTest::addColumn<bool>("edited");
        QTest::newRow("no edits: reloaded") << false;
        QTest::newRow("unsaved edits: kept") << true;
    }
    void importRefreshesTheShownDayOnlyWithoutEdits()
    {
        QFETCH(bool, edited);
        TestEnv env; // today is 2026-12-06
        const QString path = env.folder() + QStringLiteral("/in.csv");
        writeFile(path, kHeader + "2026-12-01,36.4,,,1,0\r\n2026-12-06,36.7,ok,imported,0,0\r\n");
        auto form = env.makeForm();
        const QString forecastBefore = form->panelText(2);
        if (edited) {
            typeText(form->ui().CONDITION_TEXT, QStringLiteral("mine"));
            QVERIFY(form->state().G_DIRTY);
        }
        env.dialogs.clear();
        env.dialogs.openFileNames << path;
        form->ui().mnuImport->trigger();
        QCOMPARE(env.dialogs.shown.size(), 1);

        if (edited) {
            QCOMPARE(form->ui().CONDITION_TEXT->text(), QStringLiteral("mine"));
            QCOMPARE(form->ui().DIARY_TEXT->toPlainText(), QString());
            QVERIFY(form->state().G_DIRTY);
        } else {
            QCOMPARE(form->ui().TEMP_TEXT->rawText(), QStringLiteral("36.7"));
            QCOMPARE(form->ui().CONDITION_TEXT->text(), QStringLiteral("ok"));
            QCOMPARE(form->ui().DIARY_TEXT->toPlainText(), QStringLiteral("imported"));
            QVERIFY(!form->state().G_DIRTY);
        }
        QVERIFY(form->panelText(2) != forecastBefore);
        QVERIFY(form->panelText(2).contains(QStringLiteral("2026年12月31日")));
    }
};

QTEST_MAIN(TestCsv)
#include "tst_csv.moc"
