#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace nerina {

// Copies the diary with SQLite's online backup (a consistent copy even while another
// connection has the file open) to a dated file beside it, readable by its owner only,
// and keeps only the newest `keep` backups. Returns the new file's path; throws AppError
// when no complete copy could be made, leaving no partial file behind.
QString backupDiary(const QString &dbPath, const QDateTime &now, int keep = 5);

// The backups lying beside dbPath, oldest first.
QStringList existingBackups(const QString &dbPath);

} // namespace nerina
