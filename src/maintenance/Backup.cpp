#include "Backup.h"

#include "shell/AppError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

namespace nerina {

namespace {

QString backupPrefix(const QString &dbPath)
{
    return QFileInfo(dbPath).completeBaseName() + QStringLiteral("-backup-");
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
    bool ok() const { return m_rc == SQLITE_OK; }
    QString error() const { return QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(m_rc)); }

private:
    sqlite3 *m_db = nullptr;
    int m_rc = SQLITE_OK;
};

void copyInto(const QString &source, const QString &target)
{
    Handle from(source, SQLITE_OPEN_READONLY);
    if (!from.ok())
        throw AppError(from.error());
    Handle to(target, SQLITE_OPEN_READWRITE);
    if (!to.ok())
        throw AppError(to.error());
    sqlite3_backup *backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!backup)
        throw AppError(to.error());
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE)
        throw AppError(QString::fromUtf8(sqlite3_errstr(stepped)));
    if (finished != SQLITE_OK)
        throw AppError(to.error());
}

} // namespace

QStringList existingBackups(const QString &dbPath)
{
    const QFileInfo db(dbPath);
    QDir dir = db.absoluteDir();
    const QStringList names = dir.entryList({backupPrefix(dbPath) + QStringLiteral("*.") + db.suffix()},
                                            QDir::Files, QDir::Name);
    QStringList paths;
    for (const QString &name : names)
        paths << dir.filePath(name);
    return paths; // the dated names sort oldest first
}

QString backupDiary(const QString &dbPath, const QDateTime &now, int keep)
{
    const QFileInfo db(dbPath);
    const QString stamp = now.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    const QString target = db.absoluteDir().filePath(backupPrefix(dbPath) + stamp + QLatin1Char('.') + db.suffix());

    // Made empty and private first: the copy holds the same intimate data as the diary.
    const int fd = ::open(QFile::encodeName(target).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        throw AppError(QStringLiteral("%1 を作成できません。").arg(target));
    ::close(fd);
    try {
        copyInto(db.absoluteFilePath(), target);
    } catch (...) {
        QFile::remove(target);
        throw;
    }

    QStringList backups = existingBackups(dbPath);
    while (backups.size() > keep)
        QFile::remove(backups.takeFirst());
    return target;
}

} // namespace nerina
