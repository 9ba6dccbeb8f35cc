#include "TestWindows.h"
#include "maintenance/Backup.h"
#include "maintenance/FRM_DELETE.h"
#include "maintenance/FRM_RESTORE.h"

#include <QAction>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>

#include <csignal>

#include <sys/resource.h>

using namespace nerina;

class TstPurge final : public QObject
{
    Q_OBJECT

private slots:
    // Three days with their signs, purged up to the middle one: only after a Yes and a copy
    // of the diary that was made and read back; the signs go with their days. The case is
    // what stands in the way, then the days left.
    void run_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("told"); // the start of the last box
        QTest::newRow("declined") << "no 4 5 6" << QStringLiteral("2024/03/05以前のﾃﾞｰﾀを削除します。続けますか？");
        QTest::newRow("cut-off day goes, next stays") << "yes 6" << QStringLiteral("削除されました");
        QTest::newRow("copy cut off by a file size limit")
            << "limit 4 5 6"
            << QStringLiteral("バックアップを作成できなかったため、削除しませんでした。\n"
                              "ファイルの大きさの上限を超えるため、書き込めませんでした。");
        // Another program holds the write lock: no copy is taken before the purge holds it.
        QTest::newRow("diary in use") << "locked 4 5 6"
                                      << QStringLiteral("削除できませんでした。データは削除されていません。\n"
                                                        "データファイルが他のプログラムで使用中です。");
        // The copy is made, then the delete cannot write its journal: as on a full disk.
        QTest::newRow("delete cut off by a file size limit")
            << "full 4 5 6" << QStringLiteral("削除できませんでした。データは削除されていません。\n");
    }
    void run()
    {
        QFETCH(QString, what);
        QFETCH(QString, told);
        const QString obstacle = what.section(QLatin1Char(' '), 0, 0);
        test::ShownForm f;
        const QDir folder(f.diary.folder());
        const QString made = folder.filePath(QStringLiteral("nerina-backup-20261206-093000-000.mdb"));
        for (int d : {4, 5, 6}) {
            DayRecord r = test::day(QDate(2024, 3, d), 36.5);
            r.SIGNS = DaySigns {.mucus = Mucus(d - 3)};
            f.diary.db().saveDay(r);
        }
        QVERIFY(f.start());
        f.ui().mnuFileDataMente->trigger();
        QPointer<FRM_DELETE> w = f.form->purgeWindow();
        QCOMPARE(w->windowModality(), Qt::ApplicationModal);
        w->DTPicker1()->setDate(QDate(2024, 3, 5));
        f.dialogs.answers << (obstacle == "no" ? Dialogs::Answer::No : Dialogs::Answer::Yes);
        rlimit old {};
        getrlimit(RLIMIT_FSIZE, &old);
        // Room for a copy of the diary, not for the delete's journal besides.
        const rlimit small {obstacle == "full" ? rlim_t(QFileInfo(f.diary.path()).size() + 512) : 1024, old.rlim_max};
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, obstacle == "limit" || obstacle == "full" ? &small : &old);
        const auto click = [&](sqlite3 * = nullptr) { QTest::mouseClick(w->cmdRun(), Qt::LeftButton); };
        obstacle == "locked" ? f.diary.db().deleteUpTo(QDate(1, 1, 1), click) : click();
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);

        QStringList left, signs;
        for (const DayRecord &r : f.diary.db().daysFrom(QDate(2000, 1, 1)))
            left.prepend(QString::number(r.DAT_DATE.day()));
        for (const auto &[day, daySigns] : f.diary.db().signsBetween(QDate(2000, 1, 1), QDate(2030, 1, 1)))
            signs << QString::number(int(*daySigns.mucus) + 3);
        QCOMPARE(left.join(QLatin1Char(' ')), what.section(QLatin1Char(' '), 1));
        QCOMPARE(signs, left);
        QVERIFY2(f.dialogs.last().text.startsWith(told), qPrintable(f.dialogs.last().text));
        QCOMPARE(f.dialogs.shown.size(), obstacle == "no" ? 1 : 2);
        QTRY_COMPARE(w.isNull(), obstacle != "no");
        // The copy holds every row the diary held; one cut off leaves nothing behind.
        QCOMPARE(folder.entryList({"*backup*"}, QDir::Files).size(),
                 obstacle == "no" || obstacle == "limit" || obstacle == "locked" ? 0 : 1);
        QVERIFY(obstacle != "yes" || DiaryDb(made).rowCount() == 3);
    }

    // Unsaved edits are settled first; then the picked backup is restored after a question,
    // and the editor shows the restored day at once. An unusable backup cannot be picked.
    void restoreShowsTheBackupAtOnce()
    {
        test::ShownForm f;
        const QDate today = f.clock.now().date();
        f.diary.db().saveDay(test::day(today, 36.5, QStringLiteral("before")));
        backupDiary(f.diary.path(), f.clock.now().addDays(-1));
        f.diary.db().saveDay(test::day(today, 36.9, QStringLiteral("after")));
        QFile junk(QDir(f.diary.folder()).filePath(QStringLiteral("nerina-backup-20261206-000000-000.mdb")));
        QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write(QByteArray(4096, 'x')) > 0);
        junk.close();
        QVERIFY(f.start());
        f.ui().entry->CONDITION_TEXT->setText(QStringLiteral("edited"));

        f.dialogs.answer(QStringLiteral("NY")); // drop the edits; restore
        f.ui().mnuRestore->trigger();
        FRM_RESTORE *w = f.form->restoreWindow();
        QVERIFY(w);
        QCOMPARE(w->BACKUP_LIST->rowCount(), 2);
        QVERIFY(!(w->BACKUP_LIST->item(0, 0)->flags() & Qt::ItemIsEnabled));
        w->BACKUP_LIST->selectRow(1);
        w->cmdRestore->click();
        QCOMPARE(f.ui().entry->CONDITION_TEXT->text(), QStringLiteral("before"));
        QVERIFY(!f.form->state().G_DIRTY);
        QTRY_VERIFY(!f.form->restoreWindow());
        QCOMPARE(f.dialogs.unscriptedQuestions, 0);
        QCOMPARE(f.dialogs.shown.size(), 3); // the save question, the restore question, done
    }
};

QTEST_MAIN(TstPurge)
#include "tst_purge.moc"
