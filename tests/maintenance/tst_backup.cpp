// The copy of the diary made before a purge.
#include "TestSupport.h"
#include "common/AppError.h"
#include "maintenance/Backup.h"
#include "maintenance/FRM_DELETE.h"
#include "records/DiaryDb.h"
#include "shell/Form1.h"

#include <QAction>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace nerina;

namespace {

const QDateTime kNow(QDate(2026, 12, 6), QTime(9, 30, 15));
const QString kBackupName = QStringLiteral("nerina-backup-20261206-093015-000.mdb");

void fill(DiaryDb &db)
{
    db.saveDay(makeDay(QDate(2000, 4, 15), 36.4, QStringLiteral("古い"), QStringLiteral("a,b\n\"c\"")));
    db.saveDay(makeDay(QDate(2000, 4, 16), 36.5, {}, {}, true));
    db.saveDay(makeDay(QDate(2000, 4, 17), 36.9, {}, {}, false, true));
}

QPointer<FRM_DELETE> runPurge(Form1 &form, TestEnv &env)
{
    form.ui().mnuFileDataMente->trigger();
    QPointer<FRM_DELETE> w = form.purgeWindow();
    env.dialogs.answers << Dialogs::Answer::Yes;
    QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("cmdRun")), Qt::LeftButton);
    return w;
}

} // namespace

class TestBackup final : public QObject
{
    Q_OBJECT
private slots:
    void purgeLeavesAFullPrivateCopyFirst()
    {
        TestEnv env(kNow);
        fill(env.db());
        auto form = env.makeForm();
        QPointer<FRM_DELETE> w = runPurge(*form, env);
        QTRY_VERIFY(!w);
        // The purge's own texts are unchanged.
        QCOMPARE(env.dialogs.texts(), (QStringList {QStringLiteral("2000/04/16以前のﾃﾞｰﾀを削除します。続けますか？"),
                                                    QStringLiteral("削除されました")}));

        const QString copy = QDir(env.folder()).filePath(kBackupName);
        QVERIFY(QFile::exists(copy));
        struct stat st
        { };
        QCOMPARE(::stat(QFile::encodeName(copy).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 0777), 0600);

        DiaryDb backup(copy);
        QCOMPARE(backup.daysFrom(QDate(1900, 1, 1)).size(), std::size_t(3));
        QCOMPARE(*backup.findDay(QDate(2000, 4, 15))->DIARY, QStringLiteral("a,b\n\"c\""));
        // ... while the diary itself lost the purged days.
        QCOMPARE(env.db().daysFrom(QDate(1900, 1, 1)).size(), std::size_t(1));
    }

    // The copy just made is always kept; of the others the oldest dates go first, and
    // partial copies left by a copy that was cut off are neither counted nor kept.
    void rotation_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("kept"); // besides the new copy, oldest first
        const auto names = [](std::initializer_list<const char *> days) {
            QStringList out;
            for (const char *d : days)
                out << QStringLiteral("nerina-backup-%1-000000-000.mdb").arg(QLatin1String(d));
            return out;
        };
        QTest::newRow("older copies") << names({"20250101", "20250102", "20250103", "20250104", "20250105", "20250106"})
                                      << names({"20250103", "20250104", "20250105", "20250106"});
        // Copies dated after the new one (a clock set back) must not push it out.
        QTest::newRow("clock set back") << names({"20270101", "20270102", "20270103", "20270104", "20270105"})
                                        << names({"20270102", "20270103", "20270104", "20270105"});
        QTest::newRow("partial leftovers")
            << (names({"20250101"})
                + QStringList {QStringLiteral("nerina-backup-20250102-000000-000.mdb.partial"),
                               QStringLiteral("nerina-backup-20250102-000000-000.mdb.partial-journal")})
            << names({"20250101"});
    }
    void rotation()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, kept);
        TestEnv env(kNow);
        fill(env.db());
        QDir dir(env.folder());
        for (const QString &name : before) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QFile other(dir.filePath(QStringLiteral("notes-backup-20200101.mdb")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();

        const QString made = backupDiary(env.dbPath(), kNow);
        QCOMPARE(QFileInfo(made).fileName(), kBackupName);
        QStringList expected;
        for (const QString &name : kept)
            expected << dir.filePath(name);
        QStringList left = existingBackups(env.dbPath());
        QVERIFY(left.removeOne(made));
        QCOMPARE(left, expected);
        QCOMPARE(dir.entryList({QStringLiteral("*.partial*")}, QDir::Files), QStringList());
        QVERIFY(other.exists());
        QCOMPARE(DiaryDb(made).rowCount(), 3);
    }

    void verification_data()
    {
        QTest::addColumn<QString>("make"); // what stands at the backup's place
        QTest::addColumn<qint64>("rows");
        QTest::addColumn<QString>("error"); // the start of the message; empty: accepted
        QTest::newRow("same rows") << "copy" << qint64(3) << QString();
        QTest::newRow("fewer rows") << "copy" << qint64(4)
                                    << QStringLiteral("バックアップ nerina-backup-x.mdb の件数（3 件）");
        QTest::newRow("missing") << "" << qint64(3)
                                 << QStringLiteral("バックアップ nerina-backup-x.mdb が見つかりません。");
        QTest::newRow("not a diary") << "junk" << qint64(3)
                                     << QStringLiteral("バックアップ nerina-backup-x.mdb を開けません。");
    }
    void verification()
    {
        QFETCH(QString, make);
        QFETCH(qint64, rows);
        QFETCH(QString, error);
        TestEnv env(kNow);
        fill(env.db());
        const QString copy = QDir(env.folder()).filePath(QStringLiteral("nerina-backup-x.mdb"));
        if (make == QLatin1String("copy"))
            QVERIFY(QFile::rename(backupDiary(env.dbPath(), kNow), copy));
        if (make == QLatin1String("junk")) {
            QFile f(copy);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'x'));
        }
        try {
            verifyBackup(copy, rows);
            QVERIFY2(error.isEmpty(), "accepted a backup it should refuse");
        } catch (const AppError &e) {
            QVERIFY2(!error.isEmpty() && e.message().startsWith(error), qPrintable(e.message()));
        }
    }

    // A copy the disk cannot take (here: a file size limit) says why in Japanese, leaves
    // neither a backup nor a partial file, and the purge deletes nothing.
    void aCopyCutOffLeavesNothing()
    {
        TestEnv env(kNow);
        std::vector<DayRecord> many;
        for (int i = 0; i < 3000; ++i)
            many.push_back(makeDay(QDate(2000, 1, 1).addDays(i), 36.5, QStringLiteral("体調のメモ"),
                                   QString(200, QLatin1Char('x'))));
        env.db().saveDays(many);
        auto form = env.makeForm();
        QDir dir(env.folder());
        const qint64 diarySize = QFileInfo(env.dbPath()).size();

        struct rlimit old
        { };
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = rlim_t(diarySize / 4);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        QPointer<FRM_DELETE> w = runPurge(*form, env);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);

        QTRY_VERIFY(!w);
        const QString text = env.dialogs.last().text;
        QCOMPARE(text, QStringLiteral("バックアップを作成できなかったため、削除しませんでした。\n")
                           + QStringLiteral("ファイルの大きさの上限を超えるため、書き込めませんでした。"));
        QCOMPARE(env.db().rowCount(), 3000);
        QCOMPARE(dir.entryList({QStringLiteral("nerina-backup-*")}, QDir::Files), QStringList());
    }

    void aFailedBackupDeletesNothing()
    {
        TestEnv env(kNow);
        fill(env.db());
        // Something already stands where the copy would go.
        QVERIFY(QDir(env.folder()).mkdir(kBackupName));
        auto form = env.makeForm();
        QPointer<FRM_DELETE> w = runPurge(*form, env);
        QTRY_VERIFY(!w);
        QCOMPARE(env.dialogs.shown.size(), 2);
        const auto &m = env.dialogs.last();
        QVERIFY(m.text.startsWith(QStringLiteral("バックアップを作成できなかったため、削除しませんでした。")));
        QCOMPARE(m.icon, Dialogs::Icon::None);
        QCOMPARE(env.db().daysFrom(QDate(1900, 1, 1)).size(), std::size_t(3));
    }

    void aBackupOfANonDiaryLeavesNoPartialFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("nerina.mdb"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, '\x5a'));
        f.close();
        QVERIFY_THROWS_EXCEPTION(AppError, backupDiary(path, kNow));
        QVERIFY(existingBackups(path).isEmpty());
    }
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
