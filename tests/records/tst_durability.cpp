// A save that the program has reported as done survives the process being killed at any
// moment: a helper saves in a loop through the real DiaryDb and is killed with SIGKILL
// again and again; after each kill the file is sound and holds every reported save.
#include "SaveLoopEntry.h"
#include "TestSupport.h"
#include "records/DiaryDb.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

#include <map>

using namespace nerina;

namespace {

QString integrityCheck(const QString &path)
{
    const QString name = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            return db.lastError().text();
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("PRAGMA integrity_check")))
            return q.lastError().text();
        while (q.next())
            out += q.value(0).toString() + QLatin1Char('\n');
    }
    QSqlDatabase::removeDatabase(name);
    return out.trimmed();
}

} // namespace

class TestDurability final : public QObject
{
    Q_OBJECT
private slots:
    void reportedSavesSurviveKills()
    {
        TestEnv env;
        const QString helper = QStringLiteral(SAVE_LOOP_PATH);
        constexpr int kKills = 60;
        constexpr int kMinimumKills = 50;
        QRandomGenerator rng(QRandomGenerator::global()->generate());

        std::map<int, long long> lastReported; // day index -> newest reported save
        long long maxReported = -1;
        long long next = 0;
        int kills = 0;
        int killsMidRun = 0;
        QElapsedTimer total;
        total.start();

        while (kills < kKills && total.elapsed() < 40000) {
            QProcess p;
            p.setProcessChannelMode(QProcess::SeparateChannels);
            p.start(helper, {env.dbPath(), QString::number(next)});
            QVERIFY2(p.waitForStarted(5000), qPrintable(p.errorString()));

            // Half the kills at any moment of the run, start-up included; the other half
            // once saves are under way, to land inside and between commits.
            if (kills % 2 == 0) {
                QTest::qWait(int(rng.bounded(0, 200)));
            } else {
                QVERIFY2(p.waitForReadyRead(10000), qPrintable(QString::fromUtf8(p.readAllStandardError())));
                QTest::qWait(int(rng.bounded(0, 40)));
            }
            if (p.state() != QProcess::Running)
                QFAIL(qPrintable(QStringLiteral("the save loop ended by itself: ")
                                 + QString::fromUtf8(p.readAllStandardError())));
            p.kill();
            QVERIFY(p.waitForFinished(5000));
            ++kills;

            const QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
            // The last piece is empty or a line cut off by the kill: not a report.
            long long reportedThisRun = 0;
            for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
                bool ok = false;
                const long long n = lines.at(i).toLongLong(&ok);
                QVERIFY2(ok, lines.at(i).constData());
                lastReported[int(n % kSaveLoopDays)] = n;
                maxReported = std::max(maxReported, n);
                ++reportedThisRun;
            }
            if (reportedThisRun > 0)
                ++killsMidRun;
            next = maxReported + 1;

            QCOMPARE(integrityCheck(env.dbPath()), QStringLiteral("ok"));
            DiaryDb db(env.dbPath());
            const std::vector<DayRecord> rows = db.daysFrom(QDate(2020, 1, 1));
            std::map<int, long long> stored;
            for (const DayRecord &row : rows) {
                QVERIFY(row.CONDITION && row.CONDITION->startsWith(QLatin1String("n=")));
                const long long n = row.CONDITION->mid(2).toLongLong();
                // At most the one save that was done but not yet reported lies beyond.
                QVERIFY2(n <= maxReported + 1, qPrintable(*row.CONDITION));
                const DayRecord want = saveLoopEntry(n);
                QCOMPARE(row.DAT_DATE, want.DAT_DATE);
                QCOMPARE(row.TEMP, want.TEMP);
                QCOMPARE(row.DIARY, want.DIARY);
                QCOMPARE(row.GUEST, want.GUEST);
                QCOMPARE(row.LOVE, want.LOVE);
                stored[int(n % kSaveLoopDays)] = n;
            }
            for (const auto &[day, n] : lastReported) {
                const auto it = stored.find(day);
                QVERIFY2(it != stored.end(), qPrintable(QStringLiteral("save %1 is lost").arg(n)));
                QVERIFY2(it->second >= n,
                         qPrintable(QStringLiteral("save %1 is lost, %2 is there").arg(n).arg(it->second)));
            }
        }

        QVERIFY2(kills >= kMinimumKills, qPrintable(QStringLiteral("only %1 kills in time").arg(kills)));
        QVERIFY2(killsMidRun >= kills / 2, qPrintable(QString::number(killsMidRun)));
        // The loop wrapped round its days, so changes of existing rows were killed too.
        QVERIFY2(maxReported > kSaveLoopDays, qPrintable(QString::number(maxReported)));
    }
};

QTEST_GUILESS_MAIN(TestDurability)
#include "tst_durability.moc"
