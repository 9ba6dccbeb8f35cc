#include "TestDiary.h"
#include "common/AppError.h"
#include "maintenance/Backup.h"

#include <QDir>

#include <sqlite3.h>

using namespace nerina;

namespace {

const QDateTime kNow(QDate(2026, 12, 6), QTime(9, 30, 15));
const QString kMade = QStringLiteral("nerina-backup-20261206-093015-000.mdb");

// "250101" a backup of that day; ".partial" the new copy's name with that ending; any
// other word a file of that name. Sorted, as a folder lists them.
QStringList names(const QString &list)
{
    QStringList out;
    for (const QString &t : list.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        out << (t.startsWith(QLatin1Char('.')) ? kMade + t
                : t.size() == 6 && t.toInt()   ? QStringLiteral("nerina-backup-20%1-000000-000.mdb").arg(t)
                                               : t);
    out.sort();
    return out;
}

// Statements run on a file the way another tool would run them.
void execOn(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    QCOMPARE(rc, SQLITE_OK);
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TstBackup final : public QObject
{
    Q_OBJECT

private slots:
    // Besides the copy just made, which is private and holds every row, four backups stay:
    // those dated after the present (a clock that was ahead) go first, then the oldest.
    // Only names this program writes count or go, letter case included; partial copies of
    // a copy that was cut off neither count nor stay, and a stale link where the copy goes
    // is replaced, not written through.
    void rotation_data()
    {
        QTest::addColumn<QString>("files"); // before > kept besides the new copy
        QTest::newRow("older") << "250101 250102 250103 250104 250105 > 250102 250103 250104 250105";
        QTest::newRow("clock was ahead") << "250101 250102 250103 270101 990101 > 250101 250102 250103 270101";
        QTest::newRow("not ours") << "250101 250102 250103 250104 NERINA-BACKUP-20240101-000000-000.MDB "
                                     "nerina-backup-20240000-000000-000.mdb > 250101 250102 250103 250104 "
                                     "NERINA-BACKUP-20240101-000000-000.MDB nerina-backup-20240000-000000-000.mdb";
        QTest::newRow("partial leftovers") << "250101 .partial .partial-journal > 250101";
        QTest::newRow("dangling link") << "link >";
    }
    void rotation()
    {
        QFETCH(QString, files);
        const QString before = files.section(QLatin1Char('>'), 0, 0).trimmed();
        test::TestDiary diary;
        diary.db().saveDay(test::day(QDate(2000, 4, 15), 36.4));
        diary.db().saveDay(test::day(QDate(2000, 4, 16), 36.5));
        QDir dir(diary.folder());
        for (const QString &name : names(before))
            QVERIFY(before == "link" ? QFile::link("/nonexistent/x", dir.filePath(kMade))
                                     : QFile(dir.filePath(name)).open(QIODevice::WriteOnly));
        const QString made = backupDiary(diary.path(), kNow);
        QCOMPARE(made, dir.filePath(kMade));
        QCOMPARE(DiaryDb(made, DiaryDb::Access::ReadOnlyCopy).rowCount(), 2);
        QCOMPARE(QFile::permissions(made) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
        QStringList left = dir.entryList({QStringLiteral("*backup*")}, QDir::Files | QDir::System);
        QVERIFY(left.removeOne(kMade));
        left.sort();
        QCOMPARE(left, names(files.section(QLatin1Char('>'), 1)));
    }

    // The backups are listed newest first with what they hold, and looking at them leaves
    // nothing beside them, not even for a read-only copy in WAL mode; a restore puts one
    // back after keeping the diary as it was, so restoring that copy undoes it. The backup
    // restored from is never rotated out by the copy made first, and one that is not a
    // diary is listed as unusable and cannot be restored.
    void listAndRestore()
    {
        test::TestDiary diary;
        diary.exec(QStringLiteral("PRAGMA journal_mode = WAL")); // its copies carry the mode
        diary.db().saveDays({test::day(QDate(2026, 1, 2), 36.4), test::day(QDate(2026, 1, 5), 36.5)});
        const QString old = backupDiary(diary.path(), kNow.addDays(-9));
        for (int i = 1; i <= 4; ++i)
            backupDiary(diary.path(), kNow.addDays(-9 + i));
        diary.db().saveDay(test::day(QDate(2026, 1, 9), 36.6));
        QFile junk(QDir(diary.folder()).filePath(QStringLiteral("nerina-backup-20261205-000000-000.mdb")));
        QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write(QByteArray(4096, 'x')) > 0);
        junk.close();
        const QDir dir(diary.folder());
        QFile::setPermissions(old, QFile::ReadOwner);
        const QStringList files = dir.entryList({QStringLiteral("*backup*")}, QDir::Files);

        const QList<BackupInfo> listed = listBackups(diary.path());
        QCOMPARE(dir.entryList({QStringLiteral("*backup*")}, QDir::Files), files);
        QCOMPARE(listed.size(), 6);
        QVERIFY(!listed.first().usable && !listed.first().problem.isEmpty());
        const BackupInfo &oldest = listed.last();
        QCOMPARE(oldest.path, old);
        QCOMPARE(oldest.made, kNow.addDays(-9).addMSecs(-kNow.time().msec()));
        QVERIFY(oldest.days == 2 && oldest.first == QDate(2026, 1, 2) && oldest.last == QDate(2026, 1, 5));

        QVERIFY_THROWS_EXCEPTION(AppError, restoreBackup(diary.path(), junk.fileName(), kNow));
        QCOMPARE(diary.db().rowCount(), 3);
        const QString undo = restoreBackup(diary.path(), old, kNow);
        QCOMPARE(diary.db().rowCount(), 2);
        QVERIFY(QFile::exists(old));
        QCOMPARE(QFile::permissions(diary.path()) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
        restoreBackup(diary.path(), undo, kNow.addSecs(1));
        QCOMPARE(diary.db().rowCount(), 3);
    }

    // Another tool's change to a backup. A copy passes its check only when it holds the
    // diary's rows, the signs' too: as many, each value the same and of the same type. A
    // restore takes the backup's rows and nothing else (of a previous version's, no signs):
    // the diary keeps its own tables, journal mode and page size. A backup that holds
    // anything this program does not make is refused before anything changes, and listed
    // as unusable; a copy that fails half way leaves the diary exactly as it was.
    void restore_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("checks");     // passes as a copy of the diary it was taken of
        QTest::addColumn<QString>("refused"); // what the reason says; empty: restored
        const auto add = [](const char *name, const char *change, bool checks, const char *refused) {
            QTest::newRow(name) << QString::fromUtf8(change) << checks << QString::fromUtf8(refused);
        };
        add("as made", "", true, "");
        add("a value", "UPDATE DATA_FIL SET TEMP = 36.41 WHERE TEMP = 36.4", false, "");
        add("a type", "UPDATE DATA_FIL SET CONDITION = CAST(CONDITION AS BLOB)", false, "");
        add("another row", "UPDATE DATA_FIL SET DAT_DATE = '2026-01-03' WHERE TEMP = 36.4", false, "");
        add("WAL, another page size", "PRAGMA page_size = 1024; VACUUM; PRAGMA journal_mode = WAL;", true, "");
        add("trigger", "CREATE TRIGGER wipe AFTER INSERT ON DATA_FIL BEGIN DELETE FROM DATA_FIL; END;", true,
            "このプログラムが作らないトリガー「wipe」があります。");
        add("view",
            "DROP TABLE DATA_FIL; CREATE VIEW DATA_FIL AS SELECT 1 DAT_DATE, 2 TEMP, 3 CONDITION, 4 DIARY, "
            "5 GUEST, 6 LOVE;",
            false, "DATA_FIL が表ではありません。");
        add("another table", "CREATE TABLE NOTES (A);", true, "このプログラムが作らない表「NOTES」があります。");
        add("index", "CREATE INDEX BY_TEMP ON DATA_FIL (TEMP);", true, "作らない索引「BY_TEMP」があります。");
        add("missing column", "ALTER TABLE DATA_FIL DROP COLUMN LOVE;", false, "DATA_FIL 表に LOVE 列がありません。");
        add("a sign", "UPDATE DAY_SIGNS SET MUCUS = 3", false, "");
        add("previous version's backup", "DROP TABLE DAY_SIGNS;", false, "");
        add("into a previous version's diary", "diary: DROP TABLE DAY_SIGNS;", true, "");
        // Without the diary's constraints: the third row breaks one after two are copied.
        add("fails half way",
            "CREATE TABLE T (DAT_DATE, TEMP, CONDITION, DIARY, GUEST, LOVE); INSERT INTO T SELECT * FROM DATA_FIL; "
            "INSERT INTO T VALUES ('2026-01-09', 36.5, '', '', 2, 0); DROP TABLE DATA_FIL; "
            "ALTER TABLE T RENAME TO DATA_FIL;",
            false, "復元できませんでした。データは元のままです。\n");
    }
    void restore()
    {
        QFETCH(QString, change);
        QFETCH(bool, checks);
        QFETCH(QString, refused);
        test::TestDiary diary;
        DayRecord signs = test::day(QDate(2026, 1, 5), 36.5);
        signs.SIGNS = DaySigns {.mucus = Mucus::Moist, .medication = QStringLiteral("葉酸")};
        diary.db().saveDays({test::day(QDate(2026, 1, 2), 36.4, "a"), signs});
        const QString backup = backupDiary(diary.path(), kNow.addDays(-1));
        if (change.startsWith(QLatin1String("diary: ")))
            execOn(diary.path(), change.mid(7));
        else if (!change.isEmpty())
            execOn(backup, change);
        sqlite3 *db = nullptr;
        sqlite3_open(QFile::encodeName(diary.path()).constData(), &db);
        bool passed = true;
        try {
            verifyBackup(db, backup);
        } catch (const AppError &) {
            passed = false;
        }
        sqlite3_close(db);
        QCOMPARE(passed, checks);

        diary.db().saveDay(test::day(QDate(2026, 1, 9), 36.6));
        const auto holds = [](const QString &path) {
            const DiaryDb db(path);
            return test::text(db.daysFrom(QDate(2000, 1, 1))) + u'+'
                   + test::text(db.signsBetween(QDate(2000, 1, 1), QDate(2030, 1, 1)));
        };
        const QString held = refused.isEmpty() ? holds(backup) : QString();
        const QByteArray before = bytesOf(diary.path());
        QString error;
        try {
            restoreBackup(diary.path(), backup, kNow);
        } catch (const AppError &e) {
            error = e.message();
        }
        QVERIFY2(refused.isEmpty() ? error.isEmpty() : error.contains(refused), qPrintable(error));
        QCOMPARE(bytesOf(diary.path()).mid(16, 4), before.mid(16, 4)); // page size, journal mode
        if (refused.isEmpty())
            QCOMPARE(holds(diary.path()), held);
        else
            QCOMPARE(bytesOf(diary.path()), before);
        // A refused backup changes nothing; the copy of the diary made first stays.
        const bool usable = !error.startsWith(QStringLiteral("このバックアップは使用できません。\n"));
        QCOMPARE(QFile::exists(QDir(diary.folder()).filePath(kMade)), usable);
        const QList<BackupInfo> listed = listBackups(diary.path());
        QCOMPARE(listed.last().usable, usable);
    }
};

QTEST_GUILESS_MAIN(TstBackup)
#include "tst_backup.moc"
