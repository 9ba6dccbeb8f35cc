// A save that was reported as done survives the process being killed at any moment: this
// program runs itself as a save loop and kills it with SIGKILL again and again; after each
// kill the file is sound and holds every reported save.
#include "TestDiary.h"

#include <QProcess>
#include <QRandomGenerator>

#include <cstdio>
#include <map>

using namespace nerina;

namespace {

constexpr int kDays = 50;

// Save n. Saves wrap round kDays days, so later ones change rows that earlier ones added;
// the diary text spreads a save over several pages.
DayRecord entry(long long n)
{
    return test::day(QDate(2020, 1, 1).addDays(n % kDays), 35 + double(n % 800) / 100, QStringLiteral("n=%1").arg(n),
                     QStringLiteral("%1;").arg(n).repeated(200 + n % 1000), n % 2 == 1);
}

} // namespace

class TestDurability final : public QObject
{
    Q_OBJECT
private slots:
    void reportedSavesSurviveKills()
    {
        test::TestDiary d;
        QRandomGenerator rng(20261206);
        long long next = 0;
        for (int kill = 0; kill < 40; ++kill) {
            QProcess loop;
            loop.start(QCoreApplication::applicationFilePath(), {"--save-loop", d.path(), QString::number(next)});
            QVERIFY(loop.waitForStarted());
            // Killed after a random number of reports, none in some runs, so the kill lands
            // anywhere: in the start, inside a commit, between commits.
            const int wanted = rng.bounded(12);
            QByteArray out;
            while (out.count('\n') < wanted && loop.waitForReadyRead(10000))
                out += loop.readAllStandardOutput();
            loop.kill();
            QVERIFY(loop.waitForFinished());
            const QList<QByteArray> lines = (out + loop.readAllStandardOutput()).split('\n');
            if (lines.size() > 1) // the last piece is empty or cut off
                next = lines[lines.size() - 2].toLongLong() + 1;

            // A statement that fails, and so fails the test, unless the check says ok.
            d.exec(QStringLiteral("SELECT CASE (SELECT * FROM pragma_integrity_check) WHEN 'ok' THEN 0 "
                                  "ELSE abs(-9223372036854775808) END"));
            std::map<long long, long long> stored; // day -> its save
            for (const DayRecord &row : DiaryDb(d.path()).daysFrom(QDate(2020, 1, 1))) {
                const long long n = row.CONDITION->mid(2).toLongLong();
                QVERIFY(n <= next); // at most the one save that was done but not yet reported
                QCOMPARE(test::text(row), test::text(entry(n)));
                stored[n % kDays] = n;
            }
            for (long long n = std::max(0LL, next - kDays); n < next; ++n) // the newest reported save of each day
                QVERIFY2(stored.count(n % kDays) && stored[n % kDays] >= n,
                         qPrintable(QStringLiteral("%1 lost").arg(n)));
        }
        QVERIFY2(next > 2 * kDays, qPrintable(QString::number(next))); // rows were changed, not only added
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--save-loop") == 0) {
        // Saves entry n, n + 1, ... and reports each once saveDay has returned, until killed.
        DiaryDb db(QString::fromLocal8Bit(argv[2]));
        for (long long n = QByteArray(argv[3]).toLongLong();; ++n) {
            db.saveDay(entry(n));
            std::printf("%lld\n", n);
            std::fflush(stdout);
        }
    }
    TestDurability test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_durability.moc"
