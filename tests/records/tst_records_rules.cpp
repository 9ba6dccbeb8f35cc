// The diary table on a real SQLite file, and the diary's CSV file.
#include "DiaryFile.h"
#include "TestDiary.h"
#include "common/AppError.h"
#include "records/CsvFormat.h"
#include "records/DiaryCsv.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

using namespace nerina;
using test::day;
using test::row;

namespace {

// Written out here: users' saved files carry them, so a change must show as a failure.
const QByteArray kHeader("date,temperature,condition,diary,period,intercourse,excluded,exclude_reason,bleeding,"
                         "spotting,mucus,lh_test,pregnancy_test,medication\r\n");
const QByteArray kHeader6("date,temperature,condition,diary,period,intercourse\r\n"); // the previous version's

QDate march(int d) { return QDate(2026, 3, d); }

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestRecordsRules final : public QObject
{
    Q_OBJECT
private slots:
    // In the program's table or one made WITHOUT ROWID by another tool. Every text comes
    // back exactly as it was, also after an unedited save: the engine would take a leading
    // U+FEFF or U+FFFE in UTF-16 for a byte-order mark, and read U+FFFE and U+FFFF as U+FFFD.
    void saves_data()
    {
        QTest::addColumn<QString>("table"); // DATA_FIL as another tool made it; "" the program's own
        QTest::addColumn<QString>("diary");
        const QString noRowid = QStringLiteral("CREATE TABLE DATA_FIL (DAT_DATE TEXT PRIMARY KEY, TEMP REAL, CONDITION "
                                               "TEXT, DIARY TEXT, GUEST INTEGER, LOVE INTEGER) WITHOUT ROWID");
        row("line break", QString(), QStringLiteral("一\n二"));
        row("without rowid", noRowid, QStringLiteral("一\n二"));
        row("U+FEFF leading", QString(), QStringLiteral("\uFEFF体調"));
        row("U+FEFF inside", noRowid, QStringLiteral("a\uFEFFb"));
        row("U+FEFF alone", QString(), QStringLiteral("\uFEFF"));
        row("U+FFFE leading", QString(), QStringLiteral("\uFFFEab"));
        row("U+FFFF", QString(), QStringLiteral("a\uFFFF"));
        row("NUL, separators, emoji", QString(), QStringLiteral("a\0b\u2028\u2029\r\n\U0001F600"));
    }
    void saves()
    {
        QFETCH(QString, table);
        QFETCH(QString, diary);
        test::TestDiary d;
        if (!table.isEmpty()) {
            d.exec(QStringLiteral("DROP TABLE DATA_FIL"));
            d.exec(table);
        }
        DiaryDb &db = d.db();
        db.saveDays({day(march(5)), day(march(6), 36.55, QStringLiteral("x"))});
        db.saveDay(day(march(6), 36.125, QStringLiteral("'; DROP TABLE DATA_FIL; --"), diary, true));
        db.saveDay(*db.findDay(march(6)));
        QCOMPARE(test::text(db.daysBetween(march(1), march(9))),
                 QStringLiteral("2026-03-06|36.125|'; DROP TABLE DATA_FIL; --|%1|1|0 / 2026-03-05|0|||0|0").arg(diary));
        QCOMPARE(db.storedRows().back().at(3).toString(), diary);

        // Keep leaves a stored day as it is; a batch that fails leaves nothing behind.
        QCOMPARE(db.saveDays({day(march(5), 36.5), day(march(7))}, DiaryDb::Existing::Keep), std::vector {march(5)});
        QCOMPARE(test::text(db.findDay(march(5))), QStringLiteral("2026-03-05|0|||0|0"));
        QCOMPARE(db.cycleDays().size(), std::size_t(3));
        d.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON DATA_FIL WHEN NEW.DAT_DATE = '2026-03-09' "
                              "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        QVERIFY_THROWS_EXCEPTION(AppError, db.saveDays({day(march(8)), day(march(9))}));
        QCOMPARE(db.rowCount(), 3);
        db.saveDay(day(march(8)));
        QCOMPARE(db.rowCount(), 4);
    }

    // A day's signs beside its diary row, as the program saves them and as another tool may
    // have left them: either row makes the day, a code out of range reads as not recorded.
    // A diary of the previous version reads as one without signs and gets their table,
    // as the delivered diary has it, with its first save; a read-only one never does.
    void signs_data()
    {
        QTest::addColumn<QString>("diary"); // "previous", or its file "read-only"
        QTest::addColumn<QString>("other"); // what another tool wrote first
        QTest::addColumn<QString>("save");  // "replace" or "keep" 03-05 as `entry`, or nothing
        QTest::addColumn<QString>("entry"); // a CSV row: with signs, or without (signs untouched)
        QTest::addColumn<QString>("read");  // saved; hasDay, findDay; signsBetween; cycleDays; DAY_SIGNS rows
        const QString moist = QStringLiteral("INSERT INTO DAY_SIGNS (DAT_DATE, MUCUS) VALUES ('2026-03-05', 2)");
        const QString previous = QStringLiteral("INSERT INTO DATA_FIL VALUES ('2026-03-04', 36.4, '', '', 1, 0)");
        const QString all = QStringLiteral("2026-03-05,36.5,,,0,0,1,発熱,2,1,4,1,0,葉酸");
        const QString plain = QStringLiteral("2026-03-05,36.5,,,0,0");
        row("saved and read", "", "", "replace", all,
            "saved 1 2026-03-05|36.5|||0|0|1,発熱,2,1,4,1,0,葉酸 | 2026-03-05:1,発熱,2,1,4,1,0,葉酸 | 05:1410 | 1");
        row("empty signs keep no row", "", moist, "replace", plain + ",,,,,,,,",
            "saved 1 2026-03-05|36.5|||0|0 |  | 05:0--- | 0");
        row("a save without signs leaves them", "", moist, "replace", plain,
            "saved 1 2026-03-05|36.5|||0|0|0,,,0,2,,, | 2026-03-05:0,,,0,2,,, | 05:02-- | 1");
        row("signs alone make the day", "", moist, "keep", all,
            "kept 1 2026-03-05|0|||0|0|0,,,0,2,,, | 2026-03-05:0,,,0,2,,, | 05:02-- | 1");
        row("codes out of range", "",
            "INSERT INTO DAY_SIGNS VALUES ('2026-03-05', 2, X'E799BA', 0, 'x', 5, -1, 2.5, 7)", "", "",
            " 1 2026-03-05|0|||0|0|0,発,,0,,,,7 | 2026-03-05:0,発,,0,,,,7 | 05:0--- | 1");
        row("previous version, saved", "previous", previous, "replace", all,
            "saved 1 2026-03-05|36.5|||0|0|1,発熱,2,1,4,1,0,葉酸 | 2026-03-05:1,発熱,2,1,4,1,0,葉酸 | 04:0--- "
            "05:1410 | 1");
        row("previous version, read", "previous", previous, "", "", " 0 none |  | 04:0--- | none");
        row("previous version, read-only", "read-only", previous, "replace", all,
            "データファイルが読み取り専用のため、書き込めません。 0 none |  | 04:0--- | none");
    }
    void signs()
    {
        QFETCH(QString, diary);
        QFETCH(QString, other);
        QFETCH(QString, save);
        QFETCH(QString, entry);
        QFETCH(QString, read);
        test::TestDiary d(diary.isEmpty() ? QStringLiteral(NERINA_SCHEMA_PATH) : QStringLiteral(PREVIOUS_SCHEMA_PATH));
        if (!other.isEmpty())
            d.exec(other);
        if (diary == "read-only")
            QVERIFY(QFile(d.path()).setPermissions(QFileDevice::ReadOwner));
        const QByteArray before = contents(d.path());
        DiaryDb db(d.path());
        const QStringList fields = entry.split(u',');
        QString out;
        try {
            if (!save.isEmpty())
                out = db.saveDay(*DiaryRowCheck(fields.size() > kEntryColumns).read(fields, 2),
                                 save == "keep" ? DiaryDb::Existing::Keep : DiaryDb::Existing::Replace)
                          ? QStringLiteral("saved")
                          : QStringLiteral("kept");
        } catch (const AppError &e) {
            out = e.message();
        }
        QStringList cycle;
        for (const DiaryDb::CycleDay &c : db.cycleDays()) {
            const auto code = [](auto v) { return v ? QString::number(int(*v)) : QStringLiteral("-"); };
            cycle << c.day.toString(QStringLiteral("dd:")) + QString::number(c.excluded) + code(c.mucus)
                         + code(c.lhTest) + code(c.pregnancyTest);
        }
        const QString table = d.value(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = 'DAY_SIGNS'"));
        out += QStringLiteral(" %1 %2 | %3 | %4 | %5")
                   .arg(QString::number(db.hasDay(march(5))), test::text(db.findDay(march(5))),
                        test::text(db.signsBetween(march(1), march(9))), cycle.join(u' '),
                        table.isEmpty() ? QStringLiteral("none")
                                        : d.value(QStringLiteral("SELECT count(*) FROM DAY_SIGNS")));
        QCOMPARE(out, read);
        // Added as the delivered diary holds it, comments and all.
        QVERIFY(table.isEmpty()
                || table == test::TestDiary().value("SELECT sql FROM sqlite_master WHERE name = 'DAY_SIGNS'"));
        if (!out.startsWith(QLatin1String("saved")))
            QVERIFY(contents(d.path()) == before);
    }

    // An install makes the empty diary only where there is none: hers is kept byte for byte.
    void emptyDiaryKeepsHers()
    {
        test::TestDiary d;
        d.insertRaw({"2026-03-03", 36.5, "x", "y", 1, 0});
        const QByteArray before = contents(d.path());
        QCOMPARE(createDiaryFile(QStringLiteral(NERINA_SCHEMA_PATH), d.path(), nullptr), CreateResult::AlreadyThere);
        QCOMPARE(contents(d.path()), before);
    }

    void rowsOfOtherTools()
    {
        test::TestDiary d;
        d.exec(QStringLiteral("DROP TABLE DATA_FIL")); // the table as another tool made it: no key, no checks
        d.exec(QStringLiteral("CREATE TABLE DATA_FIL (DAT_DATE, TEMP, CONDITION, DIARY, GUEST, LOVE)"));
        const QVariant null;
        d.insertRaw({"2026-03-03", null, null, null, null, null});
        d.insertRaw({"2026-03-04", 36.5, "c", "d", 2, 1});
        d.insertRaw({"2026-03-04 08:00", 36.5, "c", "d", 1, 0});
        d.insertRaw({"2026-03-07", 36.5, "c", "d", 1, 0});
        d.insertRaw({"garbage", 36.5, "c", "d", 1, 0});
        d.insertRaw({"2026-04-01", "abc", "c", "d", 0, 0});
        DiaryDb &db = d.db(); // how the list reads such rows is the list's test
        // A text in TEMP is loaded as it is, and an unedited save writes it back.
        db.saveDay(*db.findDay(QDate(2026, 4, 1)));
        QCOMPARE(test::text(db.findDay(QDate(2026, 4, 1))), QStringLiteral("2026-04-01|'abc'|c|d|0|0"));
        QCOMPARE(db.periodDays(), (std::vector<QDate> {march(7), march(4)}));
        QCOMPARE(db.periodDays(1), std::vector<QDate> {march(7)});
        QStringList cycleDays; // the cycle record's own reader: one day once, a text that is no reading is none
        for (const DiaryDb::CycleDay &c : db.cycleDays())
            cycleDays << QStringLiteral("%1|%2|%3")
                             .arg(c.day.toString(Qt::ISODate), c.temp ? QString::number(*c.temp) : QStringLiteral("-"),
                                  QString::number(c.period));
        QCOMPARE(cycleDays.join(u" / "),
                 QStringLiteral("2026-03-03|-|0 / 2026-03-04|36.5|0 / 2026-03-07|36.5|1 / 2026-04-01|-|0"));

        // Both readers of the cycle end at a day when asked to, its rows with a time of day included.
        QCOMPARE(db.periodDays(-1, march(6)), std::vector<QDate> {march(4)});
        QCOMPARE(db.cycleDays(march(4)).back().day, march(4));

        // Nothing goes when the check before it says no; the cut-off day goes, its timed row too.
        qint64 counted = 0;
        QVERIFY_THROWS_EXCEPTION(AppError, db.deleteUpTo(march(9), [](sqlite3 *) { throw AppError(QString()); }));
        db.deleteUpTo(march(4), [&](sqlite3 *) { counted = db.rowCount(); });
        QCOMPARE(counted, 6);
        QCOMPARE(db.rowCount(), 3);

        // Two rows of one day: a save changes the row it loaded, or without one the first,
        // the one a load gives; never another.
        d.insertRaw({"2026-03-08", 36.1, "first", "", 0, 0});
        DayRecord loaded = *db.findDay(march(8));
        d.exec(
            QStringLiteral("INSERT INTO DATA_FIL (rowid, DAT_DATE, CONDITION) VALUES (-1, '2026-03-08', 'earlier')"));
        loaded.CONDITION = QStringLiteral("edited");
        db.saveDay(loaded);
        db.saveDay(day(march(8), 36.3, QStringLiteral("imported")));
        QCOMPARE(test::text(db.daysBetween(march(8), march(8))),
                 QStringLiteral("2026-03-08|36.3|imported||0|0 / 2026-03-08|36.1|edited||0|0"));
    }

    // A folder she cannot write to (SQLITE_READONLY_DIRECTORY, as the driver reports it) is
    // not the file being read-only.
    void folderNotWritable()
    {
        QCOMPARE(engineErrorText(1544),
                 QStringLiteral("データファイルのフォルダが書き込み禁止のため、書き込めません。"));
    }

    // A file that is no usable diary is refused; a read-only one is read and never
    // written, not even by root. Either way it is left exactly as it was.
    void badFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("error");
        const QString noTable = QStringLiteral("データファイルに DATA_FIL 表がありません。");
        const QString notADatabase = QStringLiteral("データファイルがデータベースの形式ではありません。");
        row("zero bytes", "zero", noTable);
        row("random bytes", "random", notADatabase);
        row("text", "text", notADatabase);
        row("truncated", "truncated", QStringLiteral("データファイルが壊れています。"));
        row("damaged in the middle", "damaged", QStringLiteral("データファイルが壊れています。"));
        row("no diary table", "CREATE TABLE SOMETHING (A)", noTable);
        row("missing column", "CREATE TABLE DATA_FIL (DAT_DATE, TEMP, CONDITION)",
            QStringLiteral("DATA_FIL 表に DIARY 列がありません。"));
        row("read-only", "read-only", QStringLiteral("データファイルが読み取り専用のため、書き込めません。"));
    }
    void badFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, error);
        test::TestDiary d;
        QFile file(d.path());
        QByteArray bytes = QByteArray("2026/12/06,36.5,元気\r\n").repeated(kind == "zero" ? 0 : 200);
        if (kind != "text")
            QRandomGenerator(1).fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
        if (kind == "truncated" || kind == "damaged") {
            std::vector<DayRecord> days;
            for (int i = 0; i < 300; ++i)
                days.push_back(day(QDate(2026, 1, 1).addDays(i), 36.5, QString(), QString(400, u'あ')));
            DiaryDb(d.path()).saveDays(days);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(file.size() / 2));
            QVERIFY(kind == "truncated" ? file.resize(file.pos()) : file.write(bytes) == bytes.size());
        } else if (kind == "read-only") {
            DiaryDb(d.path()).saveDay(day(march(5)));
            QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        } else if (kind.startsWith("CREATE")) {
            QVERIFY(file.remove());
            d.exec(kind);
        } else {
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
        }
        file.close();
        const QByteArray before = contents(d.path());
        const QStringList files = QDir(d.folder()).entryList(QDir::Files | QDir::Hidden);
        try {
            DiaryDb db(d.path());
            QCOMPARE(kind + u':' + QString::number(db.rowCount()), QStringLiteral("read-only:1"));
            db.saveDay(day(march(6)));
            QFAIL("wrote to a read-only diary");
        } catch (const AppError &e) {
            QCOMPARE(e.message(), error);
        }
        QVERIFY(contents(d.path()) == before);
        QCOMPARE(QDir(d.folder()).entryList(QDir::Files | QDir::Hidden), files);
    }

    // The encoding is the mark's, else that of the first line that leans to one (a line
    // valid in both leans by what its UTF-8 reading holds), else the one asked for.
    void readCsv_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("as");      // the encoding asked for, if any
        QTest::addColumn<QString>("records"); // "encoding line:field|field / ...", or the line of the error
        row("CR LF, LF, CR, no last break", QByteArray("a,b\r\nc\nd\re"), "", "UTF-8 1:a|b / 2:c / 3:d / 4:e");
        row("blank lines at the end", QByteArray("a\r\n\r\n\n\r"), "", "UTF-8 1:a");
        row("a blank line between", QByteArray("a\r\n\r\nb"), "", "UTF-8 1:a / 2: / 3:b");
        row("byte order mark", QByteArray("\xEF\xBB\xBFx,y\r\n"), "", "UTF-8 1:x|y");
        row("quoted", QByteArray("\"1\r\n2\",\"a\"\"b\",\"\"\r\nnext,"), "", "UTF-8 1:1\r\n2|a\"b| / 3:next|");
        row("open quote", QByteArray("a\r\nb,\"x\r\ny"), "", "error on 2");
        row("quote inside a field", QByteArray("ok\r\nab\"c"), "", "error on 2");
        row("text after a quote", QByteArray("\"a\nb\"x"), "", "error on 2");
        row("Shift_JIS", QByteArray("\x8a\xee,\x91\x62\r\n\xb7\x87\x40"), "", "Shift_JIS 1:基|礎 / 2:ｷ①");
        row("Shift_JIS half-width katakana, valid UTF-8 too", QByteArray("\xcc\xb8\xc2\xb3,\xc5\xbc"), "",
            "Shift_JIS 1:ﾌｸﾂｳ|ﾅｼ");
        row("UTF-8 valid in Shift_JIS too", QByteArray("a\r\n\"今日は\n雨\""), "", "UTF-8 1:a / 2:今日は\n雨");
        row("UTF-8 with one Shift_JIS line", QByteArray("ok\r\n今日は雨でした\r\n\x93\xaa\x92\xc9"), "", "error on 3");
        row("as Shift_JIS when asked", QByteArray("a\r\n今日は"), "Shift_JIS", "Shift_JIS 1:a / 2:莉頑律縺ｯ");
        row("a line that is not Shift_JIS", QByteArray("a\r\n頭痛"), "Shift_JIS", "error on 2");
        row("neither UTF-8 nor Shift_JIS", QByteArray("ok\r\na,\xFF\xFE"), "", "error on 2");
        row("a mark, then a byte that is no UTF-8", QByteArray("\xEF\xBB\xBFok\r\n\xB1"), "", "error on 2");
        row("a field's own U+FEFF", QByteArray("\xEF\xBB\xBFx,\xEF\xBB\xBFy"), "", "UTF-8 1:x|\uFEFFy");
    }
    void readCsv()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, as);
        QFETCH(QString, records);
        std::optional<CsvEncoding> encoding;
        if (!as.isEmpty())
            encoding = as == encodingName(CsvEncoding::Utf8) ? CsvEncoding::Utf8 : CsvEncoding::Cp932;
        CsvReader reader(text, encoding);
        QStringList out;
        for (CsvRow r; reader.next(&r);)
            out << QString::number(r.line) + u':' + r.fields.join(u'|');
        QCOMPARE(reader.errorLine() == 0 ? encodingName(reader.encoding()) + u' ' + out.join(QStringLiteral(" / "))
                                         : QStringLiteral("error on %1").arg(reader.errorLine()),
                 records);
    }

    // A file is taken whole or not at all; the first line that is not good is named. The
    // preview holds the first days and the first days after today.
    void checkImport_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("read"); // "days: the first / later: the first after today", or "line: error"
        row("wrong header", QByteArray("date,temp,condition,diary,period,intercourse\r\n2026-03-05,36.5,,,0,0"),
            "1: 見出し行が " + QString::fromLatin1(kHeader.trimmed()) + " ではありません。");
        row("a day twice", kHeader6 + "2026-03-05,36.5,,,0,0\r\n2026/3/5,36.6,,,0,0",
            "3: 同じ日付が 2 行目にもあります。");
        row("5 columns", kHeader6 + "2026-03-05,36.5,,,0", "2: 列の数が 6 ではなく 5 です。");
        row("7 columns", kHeader6 + "2026-03-05,36.5,,,0,0,", "2: 列の数が 6 ではなく 7 です。");
        row("6 columns under the signs' header", kHeader + "2026-03-05,36.5,,,0,0", "2: 列の数が 14 ではなく 6 です。");
        row("no number, after a diary of two lines",
            kHeader6 + "2026-03-05,36.5,,\"a\r\nb\",0,0\r\n2026-03-06,36.5℃,,,0,0", "4: 体温が数値ではありません。");
        row("a sign's code out of range", kHeader + "2026-03-05,36.5,,,0,0,1,発熱,,0,5,,,",
            "2: おりものの欄は空欄か 0～4 で書きます。");
        row("signs", kHeader + "2026-03-05,36.5,,,0,0,1,\"発熱, 寝不足\",3,1,0,0,1,",
            "1: 2026-03-05|36.5|||0|0|1,発熱, 寝不足,3,1,0,0,1, / later 0: ");
        QByteArray days = kHeader6;
        for (int d = 1; d <= 6; ++d)
            days += QStringLiteral("2026-12-0%1,,,,0,0\r\n").arg(d).toLatin1();
        row("days after today, a period day in 2062, signs untouched", days + "2062/11/26,,,,1,0\r\n\r\n",
            "7: 2026-12-01|0|||0|0 / 2026-12-02|0|||0|0 / 2026-12-03|0|||0|0 / 2026-12-04|0|||0|0 / "
            "2026-12-05|0|||0|0 / later 1: 2062-11-26|0|||1|0 / signs untouched");
    }
    void checkImport()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, read);
        const ImportCheck c = nerina::checkImport(text, std::nullopt, {}, QDate(2026, 12, 6));
        QCOMPARE(c.ok() ? QStringLiteral("%1: %2 / later %3: %4%5")
                              .arg(c.days)
                              .arg(test::text(c.first))
                              .arg(c.laterDays)
                              .arg(test::text(c.later),
                                   c.first.front().SIGNS ? QString() : QStringLiteral(" / signs untouched"))
                        : QStringLiteral("%1: %2").arg(c.errorLine).arg(c.error),
                 read);
    }

    // Every row leaves as it is stored, whatever another tool put there, with its day's
    // signs, and comes back in as the editor would store it; the rows that the import
    // refuses are counted. What the program stores comes back the same. A file's
    // 2026-03-05 meets the row only where the save would write over it, and never fails on it.
    void exportedAndImported_data()
    {
        QTest::addColumn<QVariantList>("stored"); // rows of DATA_FIL (six values) and DAY_SIGNS (nine)
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("imported");
        QTest::addColumn<bool>("same");   // imported into an empty diary, exported the same again
        QTest::addColumn<int>("clashes"); // of the stored days, those a file of 03-04 and 03-05 meets
        const QVariant null;
        const QVariantList moist {"2026-03-05", 0, null, null, 0, 2, null, null, null};
        row("texts to quote", QVariantList {"2026-03-05", 36.45, "体\n温", "a,\"q\"", 1, 0},
            QByteArray("2026-03-05,36.45,\"体\n温\",\"a,\"\"q\"\"\",1,0,,,,,,,,\r\n"),
            "2026-03-05|36.45|体\n温|a,\"q\"|1|0", true, 1);
        row("a quote and nothing else to quote", QVariantList {"2026-03-05", 36.45, "a\"b", "", 0, 0},
            QByteArray("2026-03-05,36.45,\"a\"\"b\",,0,0,,,,,,,,\r\n"), "2026-03-05|36.45|a\"b||0|0", true, 1);
        row("two rows of one day (no key)",
            QVariantList {QVariantList {"2026-03-05", 36.4, "", "", 0, 0},
                          QVariantList {"2026-03-05", 36.5, "", "", 0, 0}},
            QByteArray("2026-03-05,36.4,,,0,0,,,,,,,,\r\n2026-03-05,36.5,,,0,0,,,,,,,,\r\n"), "refused", false, 1);
        row("float tail", QVariantList {"2026-03-05", 0.1 + 0.2, "", "", 0, 0},
            QByteArray("2026-03-05,0.30000000000000004,,,0,0,,,,,,,,\r\n"), "2026-03-05|0.30000000000000004|||0|0",
            true, 1);
        row("NULLs", QVariantList {"2026-03-05", null, null, null, null, null},
            QByteArray("2026-03-05,,,,0,0,,,,,,,,\r\n"), "2026-03-05|0|||0|0", false, 1);
        row("text temperature", QVariantList {"2026-03-05", "abc", "c", "d", 1, 0},
            QByteArray("2026-03-05,abc,c,d,1,0,,,,,,,,\r\n"), "refused", false, 1);
        row("time of day", QVariantList {"2026-03-05 08:15", 36.4, "", "", 0, 0},
            QByteArray("2026-03-05 08:15,36.4,,,0,0,,,,,,,,\r\n"), "refused", false, 0);
        row("no such day", QVariantList {"2026-02-30", 36.4, "", "", 0, 0},
            QByteArray("2026-02-30,36.4,,,0,0,,,,,,,,\r\n"), "refused", false, 0);
        row("flag 2", QVariantList {"2026-03-05", 36.4, "", "", 2, 0}, QByteArray("2026-03-05,36.4,,,2,0,,,,,,,,\r\n"),
            "refused", false, 1);
        row("a day as spreadsheets write it", QVariantList {"2026/3/5", 36.4, "", "", 0, 0},
            QByteArray("2026/3/5,36.4,,,0,0,,,,,,,,\r\n"), "2026-03-05|36.4|||0|0", false, 0);
        row("signs",
            QVariantList {QVariantList {"2026-03-05", 36.45, "", "", 1, 0},
                          QVariantList {"2026-03-05", 1, "発熱", 3, 1, 4, 1, 0, "葉酸, 鉄"}},
            QByteArray("2026-03-05,36.45,,,1,0,1,発熱,3,1,4,1,0,\"葉酸, 鉄\"\r\n"),
            "2026-03-05|36.45|||1|0|1,発熱,3,1,4,1,0,葉酸, 鉄", true, 1);
        row("signs without the day's row", QVariantList {QVariantList {"2026-03-04", 36.45, "", "", 0, 0}, moist},
            QByteArray("2026-03-04,36.45,,,0,0,,,,,,,,\r\n2026-03-05,,,,0,0,0,,,0,2,,,\r\n"),
            "2026-03-04|36.45|||0|0 / 2026-03-05|0|||0|0|0,,,0,2,,,", false, 2);
    }
    void exportedAndImported()
    {
        QFETCH(QVariantList, stored);
        QFETCH(QByteArray, line);
        QFETCH(QString, imported);
        QFETCH(bool, same);
        QFETCH(int, clashes);
        test::TestDiary d;
        d.exec(QStringLiteral("DROP TABLE DATA_FIL")); // the table as another tool made it: no checks
        d.exec(QStringLiteral("CREATE TABLE DATA_FIL (DAT_DATE, TEMP, CONDITION, DIARY, GUEST, LOVE)"));
        for (const QVariant &r :
             stored.first().typeId() == QMetaType::QVariantList ? stored : QVariantList {QVariant(stored)})
            d.insertRaw(r.toList());
        const DiaryExport csv = diaryToCsv(d.db().storedRows());
        QCOMPARE(csv.text, "\xEF\xBB\xBF" + kHeader + line);
        QCOMPARE(csv.refused, int(imported == "refused"));
        const ImportCheck back = nerina::checkImport(csv.text, std::nullopt, {}, march(6));
        QCOMPARE(back.ok() ? test::text(back.first) : QStringLiteral("refused"), imported);
        test::TestDiary again;
        again.db().saveDays(back.first);
        QCOMPARE(diaryToCsv(again.db().storedRows()).text == csv.text, same);
        const std::vector<QDate> days = d.db().storedDays();
        QCOMPARE(nerina::checkImport(kHeader6 + "2026-03-04,,,,0,0\r\n2026-03-05,,,,0,0", std::nullopt, days, march(6))
                     .stored,
                 clashes);
    }
};

QTEST_GUILESS_MAIN(TestRecordsRules)
#include "tst_records_rules.moc"
