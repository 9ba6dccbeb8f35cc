#include "Backup.h"

#include "common/AppError.h"
#include "common/FileSafety.h"
#include "records/DiaryDb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace nerina {

namespace {

// A backup's name tells when it was made; in this form the names sort by it.
const QString kStamp = QStringLiteral("yyyyMMdd-HHmmss-zzz");

QString backupPrefix(const QString &dbPath)
{
    return QFileInfo(dbPath).completeBaseName() + QStringLiteral("-backup-");
}

// Why SQLite failed, in Japanese: the system's reason where there is one (disk full,
// no permission), else the engine's code as the diary layer words it.
QString copyFailure(sqlite3 *db, int rc)
{
    const int systemError = db ? sqlite3_system_errno(db) : 0;
    if (systemError != 0)
        return fileErrorText(systemError);
    const QString text = engineErrorText(rc);
    return text.isEmpty() ? QStringLiteral("バックアップ中にエラーが発生しました（コード %1）。").arg(rc) : text;
}

// Owns one SQLite handle for the length of a scope.
class Handle final
{
public:
    Handle(const QString &path, int flags)
    {
        m_rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr);
        if (m_rc == SQLITE_OK)
            sqlite3_busy_timeout(m_db, 2000);
    }
    ~Handle() { sqlite3_close(m_db); }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;

    sqlite3 *get() const { return m_db; }
    void check() const
    {
        if (m_rc != SQLITE_OK)
            throw AppError(copyFailure(m_db, m_rc));
    }

private:
    sqlite3 *m_db = nullptr;
    int m_rc = SQLITE_OK;
};

void copyInto(const QString &source, const QString &target)
{
    Handle from(source, SQLITE_OPEN_READONLY);
    from.check();
    Handle to(target, SQLITE_OPEN_READWRITE);
    to.check();
    // A restore writes into the diary itself, which nothing syncs afterwards: its commit
    // syncs in full, as the diary's own connection does, whatever the library's default.
    sqlite3_exec(to.get(), "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    sqlite3_backup *backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!backup)
        throw AppError(copyFailure(to.get(), sqlite3_errcode(to.get())));
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE)
        throw AppError(copyFailure(to.get(), stepped));
    if (finished != SQLITE_OK)
        throw AppError(copyFailure(to.get(), finished));
}

QStringList filesBeside(const QString &dbPath, const QString &pattern)
{
    const QDir dir = QFileInfo(dbPath).absoluteDir();
    QStringList paths;
    for (const QString &name : dir.entryList({pattern}, QDir::Files | QDir::Hidden, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

} // namespace

QStringList existingBackups(const QString &dbPath)
{
    // The dated names sort oldest first.
    return filesBeside(dbPath, backupPrefix(dbPath) + QStringLiteral("*.") + QFileInfo(dbPath).suffix());
}

QString backupDiary(const QString &dbPath, const QDateTime &now, int keep, const QString &spare)
{
    const QFileInfo db(dbPath);
    const QString stamp = now.toString(kStamp);
    const QString target = db.absoluteDir().filePath(backupPrefix(dbPath) + stamp + QLatin1Char('.') + db.suffix());
    const QString partial = partialPathFor(target);

    // Whatever an earlier copy that was cut off left behind (its journal included).
    for (const QString &leftover : filesBeside(
             dbPath, partialPathFor(backupPrefix(dbPath) + QStringLiteral("*.") + db.suffix()) + QLatin1Char('*')))
        QFile::remove(leftover);
    if (QFileInfo::exists(target))
        throw AppError(fileErrorText(EEXIST));

    // Made empty and private first: the copy holds the same intimate data as the diary.
    const int fd = ::open(QFile::encodeName(partial).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        throw AppError(fileErrorText(errno));
    ::close(fd);
    try {
        copyInto(db.absoluteFilePath(), partial);
        syncFile(partial);
        renameIntoPlace(partial, target);
    } catch (...) {
        QFile::remove(partial);
        throw;
    }

    QStringList others = existingBackups(dbPath);
    others.removeAll(target);
    others.removeAll(spare);
    while (others.size() > keep - 1)
        QFile::remove(others.takeFirst());
    return target;
}

void verifyBackup(const QString &backupPath, qint64 rows)
{
    const QFileInfo file(backupPath);
    if (!file.isFile())
        throw AppError(QStringLiteral("バックアップ %1 が見つかりません。").arg(file.fileName()));
    qint64 held = 0;
    try {
        held = DiaryDb(backupPath).rowCount();
    } catch (const AppError &e) {
        throw AppError(QStringLiteral("バックアップ %1 を開けません。\n%2").arg(file.fileName(), e.message()));
    }
    if (held != rows)
        throw AppError(QStringLiteral("バックアップ %1 の件数（%2 件）がデータファイルの件数（%3 件）と一致しません。")
                           .arg(file.fileName())
                           .arg(held)
                           .arg(rows));
}

QList<BackupInfo> listBackups(const QString &dbPath)
{
    QList<BackupInfo> out;
    const QString prefix = backupPrefix(dbPath);
    for (const QString &path : existingBackups(dbPath)) {
        BackupInfo info;
        info.path = path;
        const QString stamp = QFileInfo(path).completeBaseName().mid(prefix.size());
        info.made = QDateTime::fromString(stamp, kStamp);
        if (!info.made.isValid())
            info.made = QFileInfo(path).lastModified();
        try {
            const DiaryDb backup(path);
            info.days = backup.rowCount();
            // The days that read as days, oldest first, without their texts.
            const std::vector<DiaryDb::CycleDay> days = backup.cycleDays();
            if (!days.empty()) {
                info.first = days.front().day;
                info.last = days.back().day;
            }
            info.usable = true;
        } catch (const AppError &e) {
            info.problem = e.message();
        }
        out.append(info);
    }
    std::stable_sort(out.begin(), out.end(), [](const BackupInfo &a, const BackupInfo &b) { return a.made > b.made; });
    return out;
}

QString restoreBackup(const QString &dbPath, const QString &backupPath, const QDateTime &now)
{
    try {
        const DiaryDb check(backupPath);
    } catch (const AppError &e) {
        throw AppError(QStringLiteral("このバックアップは使用できません。\n") + e.message());
    }
    QString copy;
    try {
        copy = backupDiary(dbPath, now, 5, backupPath);
    } catch (const AppError &e) {
        throw AppError(QStringLiteral("今のデータのバックアップを作成できなかったため、復元しませんでした。\n")
                       + e.message());
    }
    try {
        copyInto(backupPath, dbPath);
    } catch (const AppError &e) {
        throw AppError(QStringLiteral("復元できませんでした。データは元のままです。\n") + e.message());
    }
    return copy;
}

} // namespace nerina
