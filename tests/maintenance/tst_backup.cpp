#include "TestDiary.h"
#include "common/AppError.h"
#include "maintenance/Backup.h"

#include <QDir>

using namespace nerina;

namespace {

const QDateTime kNow(QDate(2026, 12, 6), QTime(9, 30, 15));
const QString kMade = QStringLiteral("nerina-backup-20261206-093015-000.mdb");

// "250101" a backup of that day; ".partial" the new copy's name with that ending.
QStringList names(const QString &list)
{
    QStringList out;
    for (const QString &t : list.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        out << (t.startsWith(QLatin1Char('.')) ? kMade + t
                                               : QStringLiteral("nerina-backup-20%1-000000-000.mdb").arg(t));
    return out;
}

} // namespace

class TstBackup final : public QObject
{
    Q_OBJECT

private slots:
    // Besides the copy just made, which is private and holds every row, the newest four
    // backups stay, whatever dates the others carry; partial copies of a copy that was cut
    // off neither count nor stay, and a stale link where the copy goes is replaced, not
    // written through.
    void rotation_data()
    {
        QTest::addColumn<QString>("files"); // before > kept besides the new copy
        QTest::newRow("older") << "250101 250102 250103 250104 250105 > 250102 250103 250104 250105";
        QTest::newRow("clock set back") << "270101 270102 270103 270104 270105 > 270102 270103 270104 270105";
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
        verifyBackup(made, 2);
        QVERIFY_THROWS_EXCEPTION(AppError, verifyBackup(made, 3));
        QCOMPARE(QFile::permissions(made) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
        QStringList left = dir.entryList({QStringLiteral("*backup*")}, QDir::Files | QDir::System);
        QVERIFY(left.removeOne(kMade));
        QCOMPARE(left, names(files.section(QLatin1Char('>'), 1)));
    }

    // The backups are listed newest first with what they hold; a restore puts one back
    // after keeping the diary as it was, so restoring that copy undoes it. The backup
    // restored from is never rotated out by the copy made first, and one that is not a
    // diary is listed as unusable and cannot be restored.
    void listAndRestore()
    {
        test::TestDiary diary;
        diary.db().saveDays({test::day(QDate(2026, 1, 2), 36.4), test::day(QDate(2026, 1, 5), 36.5)});
        const QString old = backupDiary(diary.path(), kNow.addDays(-9));
        for (int i = 1; i <= 4; ++i)
            backupDiary(diary.path(), kNow.addDays(-9 + i));
        diary.db().saveDay(test::day(QDate(2026, 1, 9), 36.6));
        QFile junk(QDir(diary.folder()).filePath(QStringLiteral("nerina-backup-20261205-000000-000.mdb")));
        QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write(QByteArray(4096, 'x')) > 0);
        junk.close();

        const QList<BackupInfo> listed = listBackups(diary.path());
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
};

QTEST_GUILESS_MAIN(TstBackup)
#include "tst_backup.moc"
