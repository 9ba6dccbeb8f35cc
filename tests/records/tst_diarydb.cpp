// The database layer against a real SQLite file.
#include "DiaryFile.h"
#include "TestSupport.h"
#include "common/AppError.h"
#include "records/DiaryDb.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

#include <sys/stat.h>

using namespace nerina;

namespace {

// Runs raw SQL on the file through a connection of its own, as another tool would.
void rawExec(const QString &path, const QStringList &statements)
{
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        for (const QString &s : statements) {
            QSqlQuery q(db);
            QVERIFY2(q.exec(s), qPrintable(s));
        }
    }
    QSqlDatabase::removeDatabase(name);
}

int rowCount(const QString &path)
{
    const QString name = QUuid::createUuid().toString();
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(QStringLiteral("SELECT COUNT(*) FROM DATA_FIL"), db);
        if (q.next())
            n = q.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(name);
    return n;
}

} // namespace

class TestDiaryDb final : public QObject
{
    Q_OBJECT
private slots:
    void deliveredFileIsPrivateAndVersioned()
    {
        TestEnv env;
        struct stat st
        { };
        QCOMPARE(::stat(QFile::encodeName(env.dbPath()).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 0777), 0600);
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(env.dbPath());
            QVERIFY(db.open());
            QSqlQuery q(QStringLiteral("PRAGMA user_version"), db);
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 1);
        }
        QSqlDatabase::removeDatabase(name);
    }

    void creatingNeverOverwritesAnExistingFile()
    {
        TestEnv env;
        env.db().saveDay(makeDay(QDate(2026, 1, 1), 36.5));
        QString error;
        QCOMPARE(createDiaryFile(QStringLiteral(NERINA_SCHEMA_PATH), env.dbPath(), &error), CreateResult::AlreadyThere);
        QCOMPARE(rowCount(env.dbPath()), 1);
    }

    void openingNeverCreatesAFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("nerina.mdb"));
        QVERIFY_THROWS_EXCEPTION(AppError, DiaryDb {path});
        QVERIFY(!QFile::exists(path));
    }

    void notADiaryIsRefused()
    {
        QTemporaryDir dir;
        const QString text = dir.filePath(QStringLiteral("text.mdb"));
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("this is not a database, just some text\n");
        f.close();
        QVERIFY_THROWS_EXCEPTION(AppError, DiaryDb {text});

        const QString other = dir.filePath(QStringLiteral("other.mdb"));
        rawExec(other, {QStringLiteral("CREATE TABLE SOMETHING (A TEXT)")});
        try {
            DiaryDb db(other);
            QFAIL("opened a file without the diary table");
        } catch (const AppError &e) {
            QVERIFY(e.message().contains(QStringLiteral("DATA_FIL")));
        }

        const QString partial = dir.filePath(QStringLiteral("partial.mdb"));
        rawExec(partial, {QStringLiteral("CREATE TABLE DATA_FIL (DAT_DATE TEXT, TEMP REAL)")});
        try {
            DiaryDb db(partial);
            QFAIL("opened a table with missing columns");
        } catch (const AppError &e) {
            QVERIFY(e.message().contains(QStringLiteral("CONDITION")));
        }
    }

    void savingTwiceKeepsOneRow()
    {
        TestEnv env;
        DiaryDb &db = env.db();
        const QDate day(2026, 3, 5);
        db.saveDay(makeDay(day, 36.5, QStringLiteral("眠い"), QStringLiteral("一行目\n二行目"), true, false));
        db.saveDay(makeDay(day, 36.7, QString(), QString(), false, true));
        QCOMPARE(rowCount(env.dbPath()), 1);
        const auto r = db.findDay(day);
        QVERIFY(r);
        QCOMPARE(*r->TEMP, 36.7);
        QCOMPARE(*r->CONDITION, QString());
        QCOMPARE(*r->DIARY, QString());
        QVERIFY(!r->GUEST);
        QVERIFY(r->LOVE);
        QVERIFY(!db.findDay(day.addDays(1)));
    }

    void textsAreStoredExactly()
    {
        TestEnv env;
        DiaryDb &db = env.db();
        const QString tricky = QStringLiteral("'\"\\%_#; DROP TABLE DATA_FIL; --\n😀");
        db.saveDay(makeDay(QDate(2026, 3, 5), 0, tricky, tricky));
        const auto r = db.findDay(QDate(2026, 3, 5));
        QVERIFY(r);
        QCOMPARE(*r->CONDITION, tricky);
        QCOMPARE(*r->DIARY, tricky);
        QCOMPARE(*r->TEMP, 0.0);
    }

    void dayKeepsItsLeadingZeros()
    {
        TestEnv env;
        env.db().saveDay(makeDay(QDate(2026, 3, 5), 36.5));
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            raw.setDatabaseName(env.dbPath());
            QVERIFY(raw.open());
            QSqlQuery q(QStringLiteral("SELECT DAT_DATE FROM DATA_FIL"), raw);
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toString(), QStringLiteral("2026-03-05"));
        }
        QSqlDatabase::removeDatabase(name);
    }

    void rangeIsNewestFirstAndIncludesTheCutOff()
    {
        TestEnv env;
        DiaryDb &db = env.db();
        for (const QDate &d : {QDate(2025, 9, 1), QDate(2025, 9, 2), QDate(2026, 3, 1), QDate(2026, 3, 2)})
            db.saveDay(makeDay(d, 36.5));
        const auto rows = db.daysFrom(QDate(2025, 9, 2));
        QCOMPARE(rows.size(), std::size_t(3));
        QCOMPARE(rows[0].DAT_DATE, QDate(2026, 3, 2));
        QCOMPARE(rows[1].DAT_DATE, QDate(2026, 3, 1));
        QCOMPARE(rows[2].DAT_DATE, QDate(2025, 9, 2));
    }

    void boundedRangeIncludesBothEnds()
    {
        TestEnv env;
        DiaryDb &db = env.db();
        for (int d = 1; d <= 9; ++d)
            db.saveDay(makeDay(QDate(2026, 3, d), 36.5));
        const auto rows = db.daysBetween(QDate(2026, 3, 3), QDate(2026, 3, 6));
        QCOMPARE(rows.size(), std::size_t(4));
        QCOMPARE(rows.front().DAT_DATE, QDate(2026, 3, 6));
        QCOMPARE(rows.back().DAT_DATE, QDate(2026, 3, 3));
    }

    void periodDaysNewestFirst()
    {
        TestEnv env;
        DiaryDb &db = env.db();
        db.saveDay(makeDay(QDate(2026, 1, 2), 0, {}, {}, true));
        db.saveDay(makeDay(QDate(2026, 2, 1), 0, {}, {}, true));
        db.saveDay(makeDay(QDate(2026, 2, 2), 0, {}, {}, false));
        const auto days = db.periodDays();
        QCOMPARE(days.size(), std::size_t(2));
        QCOMPARE(days[0], QDate(2026, 2, 1));
        QCOMPARE(days[1], QDate(2026, 1, 2));
        const auto newest = db.periodDays(1);
        QCOMPARE(newest.size(), std::size_t(1));
        QCOMPARE(newest[0], QDate(2026, 2, 1));
    }

    void deleteTakesTheDayItselfAndKeepsLaterOnes()
    {
        TestEnv env;
        DiaryDb &db = env.db();
        for (int i = 14; i <= 18; ++i)
            db.saveDay(makeDay(QDate(2000, 4, i), 36.5));
        db.deleteUpTo(QDate(2000, 4, 16));
        QVERIFY(!db.findDay(QDate(2000, 4, 16)));
        QVERIFY(!db.findDay(QDate(2000, 4, 14)));
        QVERIFY(db.findDay(QDate(2000, 4, 17)));
        QCOMPARE(rowCount(env.dbPath()), 2);
    }

    void rowsFromOtherToolsReadAsTheyAre()
    {
        TestEnv env;
        // Another tool may have built the table without our checks.
        rawExec(env.dbPath(),
                {
                    QStringLiteral("DROP TABLE DATA_FIL"),
                    QStringLiteral("CREATE TABLE DATA_FIL (DAT_DATE TEXT, TEMP REAL, CONDITION TEXT, DIARY TEXT, GUEST "
                                   "INTEGER, LOVE INTEGER)"),
                    QStringLiteral("INSERT INTO DATA_FIL VALUES ('2026-03-05', NULL, NULL, NULL, NULL, NULL)"),
                    QStringLiteral("INSERT INTO DATA_FIL VALUES ('2026-03-06 08:15:00', 36.4, 'x', 'y', 1, 0)"),
                    QStringLiteral("INSERT INTO DATA_FIL VALUES ('2000-04-16 10:00', 36.4, 'x', 'y', 1, 0)"),
                });
        DiaryDb db(env.dbPath());
        const auto nulls = db.findDay(QDate(2026, 3, 5));
        QVERIFY(nulls);
        QVERIFY(!nulls->TEMP && !nulls->CONDITION && !nulls->DIARY);
        QVERIFY(!nulls->GUEST && !nulls->LOVE);

        const auto rows = db.daysFrom(QDate(2026, 3, 1));
        QCOMPARE(rows.size(), std::size_t(2));
        QCOMPARE(rows[0].DAT_DATE, QDate(2026, 3, 6)); // the time of day is dropped

        // A time of day never keeps a row of the cut-off day from being purged.
        db.deleteUpTo(QDate(2000, 4, 16));
        QCOMPARE(rowCount(env.dbPath()), 2);
    }
};

QTEST_GUILESS_MAIN(TestDiaryDb)
#include "tst_diarydb.moc"
