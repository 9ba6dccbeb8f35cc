#include "Backup.h"

#include "common/AppError.h"
#include "common/FileSafety.h"
#include "records/DiaryDb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace nerina {

namespace {

// The program's own tables: a restore takes their rows from a backup and nothing else, and
// the check of a new copy compares them. The later tables may be missing from a diary or a
// backup made by an earlier version: such a backup holds none of their rows.
const OwnTable *ownTable(const QString &name)
{
    for (const OwnTable &table : ownTables()) {
        if (name.compare(table.name, Qt::CaseInsensitive) == 0)
            return &table;
    }
    return nullptr;
}

// The diary table, which every diary and every backup has.
bool isDiaryTable(const OwnTable &table) { return &table == &ownTables().front(); }

// How many backups stay beside the diary, the newest copy included.
const int kKeep = 5;

// A backup's name tells when it was made.
const QString kStamp = QStringLiteral("yyyyMMdd-HHmmss-zzz");

// How a backup is opened to be read: read-only and immutable, so SQLite neither writes
// it (no rollback of a journal lying beside it) nor creates anything beside it.
const QString kFrozen = QStringLiteral("mode=ro&immutable=1");

QString backupPrefix(const QString &dbPath)
{
    return QFileInfo(dbPath).completeBaseName() + QStringLiteral("-backup-");
}

// Why SQLite failed, in Japanese: the system's reason where a file could not be written
// or opened (disk full, no permission), else the engine's code as the diary layer words
// it, else the engine's own message.
QString failure(sqlite3 *db, int rc)
{
    const int primary = rc & 0xff;
    const int systemError = db ? sqlite3_system_errno(db) : 0;
    if (systemError != 0 && (primary == SQLITE_IOERR || primary == SQLITE_FULL || primary == SQLITE_CANTOPEN))
        return fileErrorText(systemError);
    const QString text = engineErrorText(rc);
    if (!text.isEmpty())
        return text;
    if (db && sqlite3_errcode(db) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(db));
    return QStringLiteral("バックアップ中にエラーが発生しました（コード %1）。").arg(rc);
}

// A file's name as an SQLite URI with `query`.
QString uri(const QString &path, const QString &query)
{
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    url.setQuery(query);
    return url.toString(QUrl::FullyEncoded);
}

// Owns one SQLite handle for the length of a scope. With `query`, the file is opened by
// a URI carrying it ("mode=rw": never created).
class Handle final
{
public:
    Handle(const QString &path, int flags, const QString &query = QString())
    {
        const QByteArray name = query.isEmpty() ? QFile::encodeName(path) : uri(path, query).toUtf8();
        m_rc = sqlite3_open_v2(name.constData(), &m_db, flags | (query.isEmpty() ? 0 : SQLITE_OPEN_URI), nullptr);
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
            throw AppError(failure(m_db, m_rc));
    }

private:
    sqlite3 *m_db = nullptr;
    int m_rc = SQLITE_OK;
};

// One prepared statement, finalized however the scope is left.
class Statement final
{
public:
    Statement(sqlite3 *db, const QString &sql) : m_db(db)
    {
        const int rc = sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &m_statement, nullptr);
        if (rc != SQLITE_OK)
            throw AppError(failure(db, rc));
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    sqlite3_stmt *get() const { return m_statement; }
    void bind(int index, const QString &text)
    {
        sqlite3_bind_text(m_statement, index, text.toUtf8().constData(), -1, SQLITE_TRANSIENT);
    }
    // True while there is a row; a failure throws.
    bool step()
    {
        const int rc = sqlite3_step(m_statement);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw AppError(failure(m_db, rc));
        return rc == SQLITE_ROW;
    }
    QString text(int column) const
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column)));
    }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
};

void exec(sqlite3 *db, const QString &sql)
{
    Statement statement(db, sql);
    while (statement.step()) { }
}

bool hasTable(sqlite3 *db, const QString &schema, const QString &name)
{
    Statement find(
        db,
        QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE").arg(schema));
    find.bind(1, name);
    return find.step();
}

// What in the database `schema` on `db` this program did not make, in Japanese; empty
// when it holds the program's tables with their columns and nothing else but what the
// engine keeps for itself (its own tables, the indexes of a table's keys).
QString schemaProblem(sqlite3 *db, const QString &schema)
{
    {
        Statement check(db, QStringLiteral("PRAGMA %1.quick_check(1)").arg(schema));
        if (!check.step() || check.text(0) != QLatin1String("ok"))
            return QStringLiteral("ファイルが壊れています。");
    }
    Statement objects(db, QStringLiteral("SELECT type, name, tbl_name, sql IS NULL FROM %1.sqlite_master").arg(schema));
    while (objects.step()) {
        const QString type = objects.text(0), name = objects.text(1);
        if (ownTable(name)) {
            if (type != QLatin1String("table"))
                return QStringLiteral("%1 が表ではありません。").arg(name);
            continue;
        }
        if (type == QLatin1String("table") && name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))
            continue;
        if (type == QLatin1String("index") && sqlite3_column_int(objects.get(), 3) && ownTable(objects.text(2)))
            continue;
        const QString kind = type == QLatin1String("trigger") ? QStringLiteral("トリガー")
                             : type == QLatin1String("view")  ? QStringLiteral("ビュー")
                             : type == QLatin1String("index") ? QStringLiteral("索引")
                                                              : QStringLiteral("表");
        return QStringLiteral("このプログラムが作らない%1「%2」があります。").arg(kind, name);
    }
    for (const OwnTable &table : ownTables()) {
        if (!hasTable(db, schema, table.name)) {
            if (isDiaryTable(table))
                return QStringLiteral("%1 表がありません。").arg(table.name);
            continue;
        }
        QStringList names;
        Statement columns(db, QStringLiteral("PRAGMA %1.table_info(%2)").arg(schema, table.name));
        while (columns.step())
            names << columns.text(1).toUpper();
        for (const QString &column : table.columns.split(QStringLiteral(", "))) {
            if (!names.contains(column))
                return QStringLiteral("%1 表に %2 列がありません。").arg(table.name, column);
        }
    }
    return QString();
}

// Whether the current rows of two statements hold the same value of the same type in
// `column`: numbers to the last bit, texts and blobs byte for byte.
bool sameValue(sqlite3_stmt *a, sqlite3_stmt *b, int column)
{
    const int type = sqlite3_column_type(a, column);
    if (type != sqlite3_column_type(b, column))
        return false;
    switch (type) {
    case SQLITE_NULL: return true;
    case SQLITE_INTEGER: return sqlite3_column_int64(a, column) == sqlite3_column_int64(b, column);
    case SQLITE_FLOAT: {
        const double x = sqlite3_column_double(a, column), y = sqlite3_column_double(b, column);
        return std::memcmp(&x, &y, sizeof x) == 0;
    }
    default: {
        const void *x = sqlite3_column_blob(a, column);
        const int size = sqlite3_column_bytes(a, column);
        const void *y = sqlite3_column_blob(b, column);
        return size == sqlite3_column_bytes(b, column) && (size == 0 || std::memcmp(x, y, size_t(size)) == 0);
    }
    }
}

// Whether `table` holds the same rows on both connections: read in the same order (by
// every column, so neither file's layout matters), row for row and value for value.
bool sameRows(sqlite3 *a, sqlite3 *b, const OwnTable &table)
{
    const QString sql = QStringLiteral("SELECT %1 FROM main.%2 ORDER BY %1")
                            .arg(table.columns, table.name);
    Statement x(a, sql), y(b, sql);
    const int columns = sqlite3_column_count(x.get());
    for (;;) {
        const bool row = x.step();
        if (row != y.step())
            return false;
        if (!row)
            return true;
        for (int c = 0; c < columns; ++c) {
            if (!sameValue(x.get(), y.get(), c))
                return false;
        }
    }
}

// Copies the diary at `source` into the empty file `target` with SQLite's online backup.
// The copy reads through a connection of its own: the engine refuses to copy from a
// connection that is in a write transaction, and the caller's holds the write lock, so
// that nothing changes while this one reads.
void copyInto(const QString &source, const QString &target)
{
    Handle from(source, SQLITE_OPEN_READONLY);
    from.check();
    Handle to(target, SQLITE_OPEN_READWRITE);
    to.check();
    sqlite3_backup *backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!backup)
        throw AppError(failure(to.get(), sqlite3_errcode(to.get())));
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE)
        throw AppError(failure(to.get(), stepped));
    if (finished != SQLITE_OK)
        throw AppError(failure(to.get(), finished));
}

struct Found
{
    QString path;
    QDateTime made;
};

// The files beside the diary that carry exactly the names this program gives its
// backups (letter case included, the stamp a real moment), oldest first; with
// `leftovers`, those of copies cut off before they got that name instead.
std::vector<Found> backupsBeside(const QString &dbPath, bool leftovers = false)
{
    const QFileInfo db(dbPath);
    const QRegularExpression pattern(
        QStringLiteral("^%1(\\d{8}-\\d{6}-\\d{3})\\.%2%3$")
            .arg(QRegularExpression::escape(backupPrefix(dbPath)), QRegularExpression::escape(db.suffix()),
                 leftovers ? QRegularExpression::escape(partialPathFor(QString())) + QStringLiteral("(-journal)?")
                           : QString()));
    const QDir dir = db.absoluteDir();
    std::vector<Found> found;
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QRegularExpressionMatch match = pattern.match(name);
        const QDateTime made = match.hasMatch() ? QDateTime::fromString(match.captured(1), kStamp) : QDateTime();
        if (made.isValid())
            found.push_back({dir.filePath(name), made});
    }
    std::stable_sort(found.begin(), found.end(), [](const Found &a, const Found &b) { return a.made < b.made; });
    return found;
}

// Removes older backups until `kKeep` remain, `made` and `spare` always among them.
// Those dated after the present go first, the furthest ahead first: made while the clock
// was ahead, they would otherwise outlive every later copy. Then the oldest go.
void rotate(const QString &dbPath, const QString &made, const QString &spare, const QDateTime &now)
{
    std::vector<Found> others = backupsBeside(dbPath);
    std::erase_if(others, [&made](const Found &f) { return f.path == made; });
    std::stable_sort(others.begin(), others.end(), [&now](const Found &a, const Found &b) {
        const bool aheadA = a.made > now, aheadB = b.made > now;
        if (aheadA != aheadB)
            return aheadA;
        return aheadA ? a.made > b.made : a.made < b.made;
    });
    size_t left = others.size();
    for (const Found &backup : others) {
        if (left < size_t(kKeep))
            break;
        if (backup.path != spare && QFile::remove(backup.path))
            --left;
    }
}

} // namespace

QString backupDiary(sqlite3 *diary, const QString &dbPath, const QDateTime &now, const QString &spare)
{
    const QFileInfo db(dbPath);
    const QString target
        = db.absoluteDir().filePath(backupPrefix(dbPath) + now.toString(kStamp) + QLatin1Char('.') + db.suffix());
    const QString partial = partialPathFor(target);

    // Whatever an earlier copy that was cut off left behind (its journal included).
    for (const Found &leftover : backupsBeside(dbPath, true))
        QFile::remove(leftover.path);
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
    // Checked before any older backup goes: a copy that is not right costs none of them.
    try {
        verifyBackup(diary, target);
    } catch (...) {
        QFile::remove(target);
        throw;
    }
    rotate(dbPath, target, spare, now);
    return target;
}

QString backupDiary(const QString &dbPath, const QDateTime &now)
{
    Handle diary(dbPath, SQLITE_OPEN_READWRITE, QStringLiteral("mode=rw"));
    diary.check();
    // Under the write lock, as a purge takes it, so the copy and its check see one diary;
    // nothing is written, and closing the handle ends the transaction.
    exec(diary.get(), QStringLiteral("BEGIN IMMEDIATE"));
    return backupDiary(diary.get(), dbPath, now);
}

void verifyBackup(sqlite3 *diary, const QString &backupPath)
{
    const QString name = QFileInfo(backupPath).fileName();
    bool same = true;
    try {
        Handle copy(backupPath, SQLITE_OPEN_READONLY, kFrozen);
        copy.check();
        for (const OwnTable &table : ownTables()) {
            if (isDiaryTable(table) || hasTable(diary, QStringLiteral("main"), table.name))
                same = same && sameRows(diary, copy.get(), table);
        }
    } catch (const AppError &e) {
        throw AppError(QStringLiteral("バックアップ %1 を読めません。\n%2").arg(name, e.message()));
    }
    if (!same)
        throw AppError(QStringLiteral("バックアップ %1 の内容がデータファイルと一致しません。").arg(name));
}

QList<BackupInfo> listBackups(const QString &dbPath)
{
    QList<BackupInfo> out;
    for (const Found &found : backupsBeside(dbPath)) {
        BackupInfo info;
        info.path = found.path;
        info.made = found.made;
        try {
            {
                Handle backup(found.path, SQLITE_OPEN_READONLY, kFrozen);
                backup.check();
                info.problem = schemaProblem(backup.get(), QStringLiteral("main"));
            }
            if (info.problem.isEmpty()) {
                const DiaryDb backup(found.path, DiaryDb::Access::ReadOnlyCopy);
                info.days = backup.rowCount();
                // The days that read as days, oldest first, without their texts.
                const std::vector<DiaryDb::CycleDay> days = backup.cycleDays();
                if (!days.empty()) {
                    info.first = days.front().day;
                    info.last = days.back().day;
                }
                info.usable = true;
            }
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
    const QString untouched = QStringLiteral("復元できませんでした。データは元のままです。\n");
    // A handle of its own, which the backup is attached to for the length of the restore.
    Handle diary(dbPath, SQLITE_OPEN_READWRITE, QStringLiteral("mode=rw"));
    sqlite3 *const db = diary.get();
    try {
        diary.check();
        // The restore writes into the diary itself: its commit syncs in full, as the
        // diary's own connection does, whatever the library's default.
        exec(db, QStringLiteral("PRAGMA synchronous = FULL"));
    } catch (const AppError &e) {
        throw AppError(untouched + e.message());
    }
    try {
        Statement attach(db, QStringLiteral("ATTACH ? AS backup"));
        attach.bind(1, uri(backupPath, kFrozen));
        attach.step();
        const QString problem = schemaProblem(db, QStringLiteral("backup"));
        if (!problem.isEmpty())
            throw AppError(problem);
    } catch (const AppError &e) {
        throw AppError(QStringLiteral("このバックアップは使用できません。\n") + e.message());
    }

    // The copy of the diary and the rows put in its place in one transaction, under the
    // write lock: what the copy holds is exactly what the restore replaces, and a restore
    // that fails at any step is rolled back whole.
    bool copying = false;
    try {
        exec(db, QStringLiteral("BEGIN IMMEDIATE"));
        try {
            copying = true;
            const QString copy = backupDiary(db, dbPath, now, backupPath);
            copying = false;
            for (const OwnTable &table : ownTables()) {
                const QString &name = table.name, &columns = table.columns;
                const bool inBackup = hasTable(db, QStringLiteral("backup"), table.name);
                if (!hasTable(db, QStringLiteral("main"), table.name)) {
                    if (!inBackup)
                        continue;
                    // A diary from before the table gets it as the program's first save would.
                    exec(db, schemaStatement(name));
                }
                exec(db, QStringLiteral("DELETE FROM main.%1").arg(name));
                if (inBackup)
                    exec(db, QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM backup.%1").arg(name, columns));
            }
            exec(db, QStringLiteral("COMMIT"));
            return copy;
        } catch (...) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    } catch (const AppError &e) {
        if (copying)
            throw AppError(QStringLiteral("今のデータのバックアップを作成できなかったため、復元しませんでした。\n")
                           + e.message());
        throw AppError(untouched + e.message());
    }
}

} // namespace nerina
