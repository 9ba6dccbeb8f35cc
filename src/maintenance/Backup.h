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
QString backupDiary(const QString &dbPath, const QDateTime &now, int keep = 5);

// The backups lying beside dbPath, oldest date first; partial copies are not backups.
QStringList existingBackups(const QString &dbPath);

// Checks that the backup at `backupPath` exists, opens as a diary and holds `rows` rows.
// Throws AppError saying, in Japanese, what is wrong.
void verifyBackup(const QString &backupPath, qint64 rows);

} // namespace nerina
