#pragma once

#include <QDateTime>
#include <QString>

struct sqlite3;

namespace nerina {

// Copies the diary at dbPath with SQLite's online backup to a dated file beside it,
// readable by its owner only, and checks the copy against `diary`, the caller's open
// connection to it. When that connection holds the write lock (BEGIN IMMEDIATE), the
// copy holds exactly what its transaction starts from. The copy is written under a
// partial name, flushed and only then renamed to its dated name, so a copy cut off half
// way never passes for a backup; leftovers of such a copy are removed here. Then it is
// read back and must hold the diary's rows, value for value (verifyBackup); a copy that
// does not is removed again. Only then do older backups go until five remain: those
// dated after `now` first (made while the clock was ahead), then the oldest; the new
// copy and `spare` (another backup to leave in place) always stay, and only files named
// exactly as this program names its backups count. Returns the new file's path; throws
// AppError with a Japanese reason when no complete copy could be made.
QString backupDiary(sqlite3 *diary, const QString &dbPath, const QDateTime &now, const QString &spare = QString());

// The same, under the write lock of a connection of its own to the diary at dbPath.
QString backupDiary(const QString &dbPath, const QDateTime &now);

// Checks that the backup at `backupPath` holds the rows of the program's tables in the
// diary open on `diary`: the same number, each value the same and of the same type.
// Throws AppError saying, in Japanese, what is wrong.
void verifyBackup(sqlite3 *diary, const QString &backupPath);

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

// The backups beside the diary at dbPath, newest first, each looked at read-only, so
// that nothing is written to them or created beside them.
QList<BackupInfo> listBackups(const QString &dbPath);

// Puts the rows of the backup at `backupPath` into the diary at dbPath in place of its
// own: the rows of the program's own tables, and nothing else, so the diary keeps its
// schema, journal mode and page size. A backup that holds anything the program does not
// make (a trigger, a view, another table or index) is refused before anything changes.
// The diary as it is is first copied as a backup itself, so that the restore can be
// undone; the copy and the rows are taken in one transaction, all or nothing. Returns
// the path of the copy of the diary made first; throws AppError with a Japanese reason,
// leaving the diary as it was.
QString restoreBackup(const QString &dbPath, const QString &backupPath, const QDateTime &now);

} // namespace nerina
