// The copy of the diary made before a purge.
#include "TestSupport.h"

#include "maintenance/Backup.h"
#include "maintenance/FRM_DELETE.h"
#include "records/DiaryDb.h"
#include "shell/AppError.h"
#include "shell/Form1.h"

#include <QAction>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QTest>

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
        QCOMPARE(env.dialogs.texts(),
                 (QStringList{QStringLiteral("2000/04/16以前のﾃﾞｰﾀを削除します。続けますか？"), QStringLiteral("削除されました")}));

        const QString copy = QDir(env.folder()).filePath(kBackupName);
        QVERIFY(QFile::exists(copy));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(copy).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 0777), 0600);

        DiaryDb backup(copy);
        QCOMPARE(backup.daysFrom(QDate(1900, 1, 1)).size(), std::size_t(3));
        QCOMPARE(*backup.findDay(QDate(2000, 4, 15))->DIARY, QStringLiteral("a,b\n\"c\""));
        // ... while the diary itself lost the purged days.
        QCOMPARE(env.db().daysFrom(QDate(1900, 1, 1)).size(), std::size_t(1));
    }

    void onlyTheNewestFiveAreKept()
    {
        TestEnv env(kNow);
        fill(env.db());
        QDir dir(env.folder());
        // Six older backups from earlier purges, and a file that only looks alike.
        for (int i = 1; i <= 6; ++i) {
            QFile f(dir.filePath(QStringLiteral("nerina-backup-2025010%1-000000-000.mdb").arg(i)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QFile other(dir.filePath(QStringLiteral("notes-backup-20200101.mdb")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();

        const QString made = backupDiary(env.dbPath(), kNow);
        const QStringList kept = existingBackups(env.dbPath());
        QCOMPARE(kept.size(), 5);
        QCOMPARE(kept.last(), made);
        QCOMPARE(QFileInfo(kept.first()).fileName(), QStringLiteral("nerina-backup-20250103-000000-000.mdb"));
        QVERIFY(other.exists());
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
