#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace nerina {

// Copies the diary with SQLite's online backup (a consistent copy even while another
// connection has the file open) to a dated file beside it, readable by its owner only.
// The copy is written under a partial name, flushed and only then renamed to its dated
// name, so a copy cut off half way never passes for a backup; leftovers of such a copy
// are removed here. Of the other backups, those with the oldest dates in their names go
// until `keep` remain, the new one included: the copy just made is never removed, even
// when its date sorts before theirs (a clock set back). Returns the new file's path;
// throws AppError with a Japanese reason when no complete copy could be made.
// `spare`, when given, is another backup that the rotation must leave in place.
QString backupDiary(const QString &dbPath, const QDateTime &now, int keep = 5, const QString &spare = QString());

// The backups lying beside dbPath, oldest date first; partial copies are not backups.
QStringList existingBackups(const QString &dbPath);

// Checks that the backup at `backupPath` exists, opens as a diary and holds `rows` rows.
// Throws AppError saying, in Japanese, what is wrong.
void verifyBackup(const QString &backupPath, qint64 rows);

// One backup as the restore window lists it.
struct BackupInfo
{
    QString path;
    QDateTime made; // when it was made, from its name
    bool usable = false;
    QString problem; // why it is not usable
    qint64 days = 0; // its entries
    QDate first;     // its first and last day (invalid when it holds none)
    QDate last;
};

// The backups beside the diary at dbPath, newest first, each opened and looked at.
QList<BackupInfo> listBackups(const QString &dbPath);

// Puts the days of the backup at `backupPath` into the diary at dbPath in place of its
// own. The backup must open as a diary; the diary as it is is first copied as a backup
// itself, so that the restore can be undone. The copy is written into the diary file by
// SQLite's online backup, all of it or nothing, so the diary keeps its place and its
// permissions. Returns the path of the copy of the diary made first; throws AppError
// with a Japanese reason, leaving the diary as it was.
QString restoreBackup(const QString &dbPath, const QString &backupPath, const QDateTime &now);

} // namespace nerina
