#include "DiaryDb.h"

#include "common/AppError.h"
#include "common/Conversions.h"
#include "records/DiarySchemaText.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QUrl>
#include <QUuid>

#include <memory>
#include <utility>

#include <sqlite3.h>

namespace nerina {

namespace {

const QString kDamaged = QStringLiteral("データファイルが壊れています。");

[[noreturn]] void fail(const QSqlError &error)
{
    QString text = engineErrorText(error.nativeErrorCode().toInt());
    if (text.isEmpty())
        text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    throw AppError(text);
}

void exec(const QSqlDatabase &db, const QString &statement)
{
    QSqlQuery query(db);
    if (!query.exec(statement))
        fail(query.lastError());
}

QSqlQuery prepare(const QSqlDatabase &db, const QString &statement)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        fail(query.lastError());
    return query;
}

void run(QSqlQuery &query)
{
    if (!query.exec())
        fail(query.lastError());
}

// The SQLite handle under a connection, for the readers and the copy that go around the
// toolkit's layer.
sqlite3 *handleOf(const QSqlDatabase &db) { return *static_cast<sqlite3 *const *>(db.driver()->handle().data()); }

// A read straight from the engine. The driver reads every text as UTF-16, converted by
// SQLite, which gives U+FFFE and U+FFFF back as U+FFFD; in UTF-8 a text is read exactly as
// it is stored. Values come as the driver gives them: NULL, integer, real, text or blob.
class Reader final
{
public:
    Reader(const QSqlDatabase &db, const QString &sql, const QVariantList &values = {}) : m_db(handleOf(db))
    {
        sqlite3_stmt *prepared = nullptr;
        const int rc = sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &prepared, nullptr);
        m_statement.reset(prepared);
        if (rc != SQLITE_OK)
            fail();
        for (int i = 0; i < values.size(); ++i) {
            const QVariant &v = values.at(i);
            const QByteArray text = v.toString().toUtf8();
            const int bound = v.typeId() == QMetaType::QString ? sqlite3_bind_text(prepared, i + 1, text.constData(),
                                                                                   int(text.size()), SQLITE_TRANSIENT)
                                                               : sqlite3_bind_int64(prepared, i + 1, v.toLongLong());
            if (bound != SQLITE_OK)
                fail();
        }
    }

    // Steps to the next row; false after the last.
    bool next()
    {
        const int rc = sqlite3_step(statement());
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            fail();
        return rc == SQLITE_ROW;
    }

    sqlite3_stmt *statement() const { return m_statement.get(); }

    QVariant value(int column) const
    {
        sqlite3_stmt *const s = statement();
        const auto bytes = [&] { return qsizetype(sqlite3_column_bytes(s, column)); };
        switch (sqlite3_column_type(s, column)) {
        case SQLITE_INTEGER: return qlonglong(sqlite3_column_int64(s, column));
        case SQLITE_FLOAT: return sqlite3_column_double(s, column);
        case SQLITE_TEXT: {
            const char *text = reinterpret_cast<const char *>(sqlite3_column_text(s, column));
            // A leading U+FEFF is part of the text, not a mark to skip.
            QStringDecoder utf8(QStringDecoder::Utf8,
                                QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
            return QString(utf8(QByteArrayView(text, bytes())));
        }
        case SQLITE_BLOB: return QByteArray(static_cast<const char *>(sqlite3_column_blob(s, column)), bytes());
        default: return QVariant();
        }
    }

private:
    [[noreturn]] void fail() const
    {
        const QString text = engineErrorText(sqlite3_extended_errcode(m_db));
        throw AppError(text.isEmpty() ? QString::fromUtf8(sqlite3_errmsg(m_db)) : text);
    }

    sqlite3 *m_db;
    std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> m_statement {nullptr, &sqlite3_finalize};
};

std::optional<QString> optionalText(const QVariant &v)
{
    if (v.isNull())
        return std::nullopt;
    return v.toString();
}

// The driver binds every text as UTF-16, and SQLite takes a leading U+FEFF (or U+FFFE,
// the same mark the other way round) for the mark of its byte order: it drops it, and
// reads the rest in that order. A mark put in front is the one dropped, so the text is
// stored as it is, in a file of either encoding.
QVariant boundText(const QString &text)
{
    if (text.startsWith(QChar(0xFEFF)) || text.startsWith(QChar(0xFFFE)))
        return QString(QChar(0xFEFF) + text);
    return text;
}

// An empty text is stored as '' and never as NULL, which a null QString would bind as.
QVariant textValue(const std::optional<QString> &text)
{
    if (!text)
        return QVariant();
    return text->isNull() ? QVariant(QString(QLatin1String(""))) : boundText(*text);
}

// TEMP as a save binds it: another tool's text or blob, left alone, goes back as it was.
QVariant tempValue(const DayRecord &r)
{
    if (r.storedTemp.typeId() == QMetaType::QString)
        return boundText(r.storedTemp.toString());
    if (r.storedTemp.isValid())
        return r.storedTemp;
    return r.TEMP ? QVariant(*r.TEMP) : QVariant();
}

bool flag(const QVariant &v) { return !v.isNull() && v.toLongLong() == 1; }

// The columns of kColumns, then the rowid when the query reads it.
DayRecord readRecord(const Reader &row, bool withRowId)
{
    DayRecord r;
    r.DAT_DATE = DiaryDb::parseDay(row.value(0).toString());
    const QVariant temp = row.value(1);
    if (temp.typeId() == QMetaType::QString || temp.typeId() == QMetaType::QByteArray) {
        r.storedTemp = temp;
        if (temp.typeId() == QMetaType::QString)
            r.TEMP = numberIn(temp.toString());
    } else if (!temp.isNull()) {
        r.TEMP = temp.toDouble();
    }
    r.CONDITION = optionalText(row.value(2));
    r.DIARY = optionalText(row.value(3));
    r.GUEST = flag(row.value(4));
    r.LOVE = flag(row.value(5));
    if (withRowId)
        r.rowId = row.value(6).toLongLong();
    return r;
}

const QString kColumns = QStringLiteral("DAT_DATE, TEMP, CONDITION, DIARY, GUEST, LOVE");

// The columns of DAY_SIGNS after its day, in the order readSigns and signValues take them.
const QString kSignColumns
    = QStringLiteral("EXCLUDED, EXCLUDE_REASON, BLEEDING, SPOTTING, MUCUS, LH_TEST, PREGNANCY_TEST, MEDICATION");
constexpr int kSignCount = 8;

} // namespace

const QList<OwnTable> &ownTables()
{
    static const QList<OwnTable> tables {{QStringLiteral("DATA_FIL"), kColumns},
                                         {QStringLiteral("DAY_SIGNS"), QStringLiteral("DAT_DATE, ") + kSignColumns}};
    return tables;
}

namespace {

// A stored code from `lowest` to `highest`; anything else another tool wrote there (a
// text, a fraction, a number out of range) is none, as if nothing were recorded.
std::optional<int> code(sqlite3_stmt *row, int column, int lowest, int highest)
{
    if (sqlite3_column_type(row, column) != SQLITE_INTEGER)
        return std::nullopt;
    const sqlite3_int64 value = sqlite3_column_int64(row, column);
    return value >= lowest && value <= highest ? std::optional<int>(int(value)) : std::nullopt;
}

template<typename Kind> std::optional<Kind> kind(std::optional<int> code)
{
    return code ? std::optional<Kind>(Kind(*code)) : std::nullopt;
}

// The signs in the kSignColumns of a row, from `first` on.
DaySigns readSigns(const Reader &row, int first)
{
    sqlite3_stmt *const s = row.statement();
    const auto text = [&row](int column) {
        const QVariant v = row.value(column);
        return v.isNull() ? QString() : v.toString();
    };
    DaySigns signs;
    signs.excluded = code(s, first, 1, 1).has_value();
    signs.excludeReason = text(first + 1);
    signs.bleeding = kind<Bleeding>(code(s, first + 2, 1, 3));
    signs.spotting = code(s, first + 3, 1, 1).has_value();
    signs.mucus = kind<Mucus>(code(s, first + 4, 0, 4));
    signs.lhTest = kind<TestResult>(code(s, first + 5, 0, 1));
    signs.pregnancyTest = kind<TestResult>(code(s, first + 6, 0, 1));
    signs.medication = text(first + 7);
    return signs;
}

// The values of kSignColumns that a save binds: a sign not recorded and an empty text as NULL.
QVariantList signValues(const DaySigns &s)
{
    const auto text = [](const QString &t) { return t.isEmpty() ? QVariant() : boundText(t); };
    const auto number = [](auto value) { return value ? QVariant(int(*value)) : QVariant(); };
    return {s.excluded ? 1 : 0, text(s.excludeReason), number(s.bleeding),      s.spotting ? 1 : 0,
            number(s.mucus),    number(s.lhTest),      number(s.pregnancyTest), text(s.medication)};
}

// The names of a table's columns, in capitals; none when there is no such table.
QSet<QString> columnsOf(const QSqlDatabase &db, const QString &table)
{
    QSqlQuery columns(db);
    if (!columns.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table)))
        fail(columns.lastError());
    QSet<QString> names;
    while (columns.next())
        names.insert(columns.value(1).toString().toUpper());
    return names;
}

} // namespace

QStringList schemaStatements(const QString &schema)
{
    QStringList out;
    QString current;
    for (const QString &line : schema.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (current.isEmpty() && (trimmed.isEmpty() || trimmed.startsWith(QLatin1String("--"))))
            continue;
        current += line + QLatin1Char('\n');
        if (trimmed.endsWith(QLatin1Char(';'))) {
            out << current.trimmed();
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        out << current.trimmed();
    return out;
}

QString schemaStatement(const QString &table)
{
    const QString head = QStringLiteral("CREATE TABLE %1 (").arg(table);
    for (const QString &statement : schemaStatements(QString::fromUtf8(kDiarySchemaText))) {
        if (statement.startsWith(head))
            return statement;
    }
    return QString();
}

QString engineErrorText(int sqliteCode)
{
    // SQLite's primary result codes that the user can do something about; the engine's
    // own English text would not tell her what is wrong with her diary.
    enum SqliteCode {
        Busy = 5,
        Locked = 6,
        ReadOnly = 8,
        IoError = 10,
        Corrupt = 11,
        Full = 13,
        CantOpen = 14,
        NotADatabase = 26
    };
    // Her folder, not the file, is what stops SQLite from making its journal beside it.
    if (sqliteCode == SQLITE_READONLY_DIRECTORY)
        return QStringLiteral("データファイルのフォルダが書き込み禁止のため、書き込めません。");
    switch (sqliteCode & 0xff) {
    case Busy:
    case Locked:
        return QStringLiteral("データファイルが他のプログラムで使用中です。しばらくしてからやり直して下さい。");
    case ReadOnly: return QStringLiteral("データファイルが読み取り専用のため、書き込めません。");
    case IoError: return QStringLiteral("データファイルの読み書きに失敗しました。");
    case Corrupt: return kDamaged;
    case Full: return QStringLiteral("ディスクに空きがないため、書き込めません。");
    case CantOpen: return QStringLiteral("データファイルを開けません。");
    case NotADatabase: return QStringLiteral("データファイルがデータベースの形式ではありません。");
    default: return QString();
    }
}

DiaryDb::DiaryDb(const QString &path, Access access)
    : m_path(path), m_connection(QStringLiteral("diary-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        // mode=rw: a missing file is an error, never a new empty database. A file its
        // owner has made read-only is opened read-only, so it is never written even by
        // an account (root) that the permission bits do not stop.
        const bool writable = access == Access::Diary && QFile::permissions(path).testFlag(QFileDevice::WriteOwner);
        QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
        url.setQuery(writable                  ? QStringLiteral("mode=rw")
                     : access == Access::Diary ? QStringLiteral("mode=ro")
                                               : QStringLiteral("mode=ro&immutable=1"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=2000"));
        if (!db.open()) {
            const QSqlError error = db.lastError();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connection);
            fail(error);
        }
    }
    try {
        QSqlDatabase db = database();
        // SQLite's rollback journal (the file's own mode is left alone, so opening never
        // writes) with full syncs: a save that returned is on the disk, and a save cut
        // off half way is rolled back by the next opening.
        exec(db, QStringLiteral("PRAGMA synchronous = FULL"));
        // A damaged file is refused here, before anything is read from it or written to it.
        {
            QSqlQuery check(db);
            if (!check.exec(QStringLiteral("PRAGMA quick_check(1)")))
                fail(check.lastError());
            if (!check.next() || check.value(0).toString() != QLatin1String("ok"))
                throw AppError(kDamaged);
        }
        const QSet<QString> names = columnsOf(db, QStringLiteral("DATA_FIL"));
        if (names.isEmpty())
            throw AppError(QStringLiteral("データファイルに DATA_FIL 表がありません。"));
        for (const QString &column : kColumns.split(QStringLiteral(", "))) {
            if (!names.contains(column))
                throw AppError(QStringLiteral("DATA_FIL 表に %1 列がありません。").arg(column));
        }
        // A diary made before the signs has no DAY_SIGNS; where it is, it has its columns.
        const QSet<QString> signColumns = columnsOf(db, QStringLiteral("DAY_SIGNS"));
        m_signs = !signColumns.isEmpty();
        for (const QString &column : ownTables().at(1).columns.split(QStringLiteral(", "))) {
            if (m_signs && !signColumns.contains(column))
                throw AppError(QStringLiteral("DAY_SIGNS 表に %1 列がありません。").arg(column));
        }
        // Only a table made WITHOUT ROWID has none, and that needs a primary key: its days
        // are told apart by the key, as the program's own table has it.
        m_rowIds = QSqlQuery(db).prepare(QStringLiteral("SELECT rowid FROM DATA_FIL"));
    } catch (...) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
        throw;
    }
}

DiaryDb::~DiaryDb()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QSqlDatabase DiaryDb::database() const { return QSqlDatabase::database(m_connection, false); }

bool DiaryDb::hasSigns() const
{
    if (!m_signs) {
        Reader table(database(), QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = "
                                                "'DAY_SIGNS' COLLATE NOCASE"));
        m_signs = table.next();
    }
    return m_signs;
}

void DiaryDb::addSignsTable()
{
    // Inside the caller's write transaction, which a failure rolls back with the table;
    // so m_signs is left to the next look.
    const QString create = schemaStatement(QStringLiteral("DAY_SIGNS"));
    if (create.isEmpty())
        throw AppError(QStringLiteral("DAY_SIGNS 表を作れません。"));
    exec(database(), create);
}

namespace {
const QString kDayFormat = QStringLiteral("yyyy-MM-dd");
} // namespace

QString DiaryDb::storedDay(const QDate &day) { return day.toString(kDayFormat); }

namespace {

// "yyyy-MM-dd" read by hand, as QDate::fromString would read it but many times faster:
// the cycle record reads a lifetime of days at once. Whatever follows (a time) is ignored.
template<typename Char> QDate dayFrom(const Char *text, qsizetype size)
{
    if (size < 10 || text[4] != '-' || text[7] != '-')
        return QDate();
    int parts[3] = {0, 0, 0};
    const int from[3] = {0, 5, 8}, digits[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (int i = from[p]; i < from[p] + digits[p]; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return QDate();
            parts[p] = parts[p] * 10 + int(text[i] - '0');
        }
    }
    return QDate(parts[0], parts[1], parts[2]);
}

} // namespace

QDate DiaryDb::parseDay(const QString &stored) { return dayFrom(stored.utf16(), stored.size()); }

std::optional<DayRecord> DiaryDb::findDay(const QDate &day) const
{
    // Of two rows of one day (a table without the key), the first stored.
    const QString sql = m_rowIds
                            ? QStringLiteral("SELECT %1, rowid FROM DATA_FIL WHERE DAT_DATE = ? ORDER BY rowid LIMIT 1")
                            : QStringLiteral("SELECT %1 FROM DATA_FIL WHERE DAT_DATE = ?");
    Reader row(database(), sql.arg(kColumns), {storedDay(day)});
    std::optional<DayRecord> record;
    if (row.next())
        record = readRecord(row, m_rowIds);
    DaySigns signs;
    if (hasSigns()) {
        Reader signsRow(database(),
                        QStringLiteral("SELECT %1 FROM DAY_SIGNS WHERE DAT_DATE = ? LIMIT 1").arg(kSignColumns),
                        {storedDay(day)});
        if (signsRow.next()) {
            signs = readSigns(signsRow, 0);
            if (!record) // signs another tool wrote without the day's row
                record = DayRecord {day, 0.0, QString(QLatin1String("")), QString(QLatin1String(""))};
        }
    }
    if (record)
        record->SIGNS = signs;
    return record;
}

namespace {

// Whether a day has a row, of the diary table or (`signs`) of DAY_SIGNS, by the match
// every write of a day uses: DAT_DATE exactly the stored day. No value is read, so a row
// that cannot be loaded is still found. Prepared once, for asking about many days.
class DayFinder
{
public:
    DayFinder(const QSqlDatabase &db, bool signs)
        : m_query(prepare(db, signs ? QStringLiteral("SELECT 1 FROM DATA_FIL WHERE DAT_DATE = ? UNION ALL "
                                                     "SELECT 1 FROM DAY_SIGNS WHERE DAT_DATE = ? LIMIT 1")
                                    : QStringLiteral("SELECT 1 FROM DATA_FIL WHERE DAT_DATE = ? LIMIT 1"))),
          m_signs(signs)
    { }

    bool has(const QDate &day)
    {
        const QString stored = DiaryDb::storedDay(day);
        m_query.bindValue(0, stored);
        if (m_signs)
            m_query.bindValue(1, stored);
        run(m_query);
        const bool there = m_query.next();
        if (!there && m_query.lastError().isValid())
            fail(m_query.lastError());
        m_query.finish();
        return there;
    }

private:
    QSqlQuery m_query;
    bool m_signs;
};

} // namespace

bool DiaryDb::hasDay(const QDate &day) const { return DayFinder(database(), hasSigns()).has(day); }

bool DiaryDb::saveDay(const DayRecord &record, Existing existing) { return saveDays({record}, existing).empty(); }

std::vector<DayRecord> DiaryDb::daysFrom(const QDate &from) const { return daysIn(from, std::nullopt); }

std::vector<DayRecord> DiaryDb::daysBetween(const QDate &from, const QDate &upTo) const { return daysIn(from, upTo); }

std::vector<DayRecord> DiaryDb::daysIn(const QDate &from, const std::optional<QDate> &upTo) const
{
    // Newest day first; within one day the whole-day row, the one the editor loads and
    // saves, comes before rows that another tool stored with a time of day, and of two
    // whole-day rows the one it loads comes first. The bounds keep the primary key's index
    // in use, so a day years back reads only its own range.
    QVariantList bounds {storedDay(from)};
    if (upTo)
        bounds << storedDay(upTo->addDays(1)); // "< the next day" keeps rows with a time of day
    Reader row(database(),
               QStringLiteral("SELECT %1%2 FROM DATA_FIL WHERE DAT_DATE >= ? %3 "
                              "ORDER BY substr(DAT_DATE, 1, 10) DESC, DAT_DATE%2")
                   .arg(kColumns, m_rowIds ? QStringLiteral(", rowid") : QString(),
                        upTo ? QStringLiteral("AND DAT_DATE < ?") : QString()),
               bounds);
    std::vector<DayRecord> rows;
    while (row.next())
        rows.push_back(readRecord(row, m_rowIds));
    return rows;
}

std::map<QDate, DaySigns> DiaryDb::signsBetween(const QDate &from, const QDate &upTo) const
{
    std::map<QDate, DaySigns> days;
    if (!hasSigns())
        return days;
    Reader row(
        database(),
        QStringLiteral("SELECT DAT_DATE, %1 FROM DAY_SIGNS WHERE DAT_DATE >= ? AND DAT_DATE < ? ORDER BY DAT_DATE")
            .arg(kSignColumns),
        {storedDay(from), storedDay(upTo.addDays(1))});
    while (row.next()) {
        const QDate day = parseDay(row.value(0).toString());
        const DaySigns signs = readSigns(row, 1);
        if (day.isValid() && !signs.isEmpty())
            days.emplace(day, signs); // of two rows of a day, the first
    }
    return days;
}

std::vector<QVariantList> DiaryDb::storedRows() const
{
    // Each diary row with its day's signs, then the signs rows of days without one.
    const QString sql
        = hasSigns()
              ? QStringLiteral("SELECT d.%1, s.%2 FROM DATA_FIL d LEFT JOIN DAY_SIGNS s ON s.DAT_DATE = d.DAT_DATE "
                               "UNION ALL SELECT s.DAT_DATE, NULL, NULL, NULL, NULL, NULL, s.%2 FROM DAY_SIGNS s "
                               "WHERE NOT EXISTS (SELECT 1 FROM DATA_FIL d WHERE d.DAT_DATE = s.DAT_DATE) "
                               "ORDER BY 1")
                    .arg(QString(kColumns).replace(QStringLiteral(", "), QStringLiteral(", d.")),
                         QString(kSignColumns).replace(QStringLiteral(", "), QStringLiteral(", s.")))
              : QStringLiteral("SELECT %1%2 FROM DATA_FIL ORDER BY DAT_DATE")
                    .arg(kColumns, QStringLiteral(", NULL").repeated(kSignCount));
    Reader row(database(), sql);
    std::vector<QVariantList> rows;
    while (row.next()) {
        QVariantList values;
        for (int i = 0; i < 6 + kSignCount; ++i)
            values << row.value(i);
        rows.push_back(std::move(values));
    }
    return rows;
}

namespace {

// The upper bound of the stored days up to `upTo`: "< the next day" keeps its rows with a time
// of day. Without one, every stored day: each starts with a digit, which sorts before ':', and
// text that is no day at all (from other tools) is kept out.
QString dayBound(const std::optional<QDate> &upTo)
{
    return upTo ? DiaryDb::storedDay(upTo->addDays(1)) : QStringLiteral(":");
}

} // namespace

std::vector<DiaryDb::CycleDay> DiaryDb::cycleDays(const std::optional<QDate> &upTo) const
{
    // Only the three columns, in key order (of two rows of a day, the first stored), straight
    // from the engine: a diary of a lifetime is read in one pass, without a variant for
    // each number.
    Reader row(database(),
               QStringLiteral("SELECT DAT_DATE, TEMP, GUEST FROM DATA_FIL WHERE DAT_DATE < ? ORDER BY DAT_DATE%1")
                   .arg(m_rowIds ? QStringLiteral(", rowid") : QString()),
               {dayBound(upTo)});
    sqlite3_stmt *const statement = row.statement();
    // A text where a number belongs counts when it reads as one, as elsewhere.
    const auto number = [&row, statement](int column, bool *ok) {
        *ok = true;
        switch (sqlite3_column_type(statement, column)) {
        case SQLITE_INTEGER:
        case SQLITE_FLOAT: return sqlite3_column_double(statement, column);
        case SQLITE_TEXT:
            if (const std::optional<double> n = numberIn(row.value(column).toString()))
                return *n;
            [[fallthrough]];
        default: *ok = false; return 0.0;
        }
    };
    const auto dayOf = [](sqlite3_stmt *s) {
        return dayFrom(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)), sqlite3_column_bytes(s, 0));
    };
    // The signs the cycle record reads, in the same order, each merged into its day as the
    // two walk along: a few numbers a day, read straight from the engine.
    std::vector<CycleDay> signs;
    if (hasSigns()) {
        Reader sign(database(),
                    QStringLiteral("SELECT DAT_DATE, EXCLUDED, MUCUS, LH_TEST, PREGNANCY_TEST FROM DAY_SIGNS "
                                   "WHERE DAT_DATE < ? ORDER BY DAT_DATE"),
                    {dayBound(upTo)});
        sqlite3_stmt *const s = sign.statement();
        while (sign.next()) {
            const QDate day = dayOf(s);
            if (day.isValid() && (signs.empty() || signs.back().day != day))
                signs.push_back({day, std::nullopt, false, code(s, 1, 1, 1).has_value(), kind<Mucus>(code(s, 2, 0, 4)),
                                 kind<TestResult>(code(s, 3, 0, 1)), kind<TestResult>(code(s, 4, 0, 1))});
        }
    }
    std::vector<CycleDay> days;
    auto sign = signs.cbegin();
    while (row.next()) {
        const QDate day = dayOf(statement);
        if (!day.isValid() || (!days.empty() && days.back().day == day))
            continue;
        for (; sign != signs.cend() && sign->day < day; ++sign)
            days.push_back(*sign); // signs without the day's row
        bool hasTemp = false, hasFlag = false;
        const double temp = number(1, &hasTemp);
        const bool period = number(2, &hasFlag) == 1 && hasFlag;
        CycleDay &d
            = days.emplace_back(sign != signs.cend() && sign->day == day ? *sign++ : CycleDay {day, std::nullopt});
        d.temp = hasTemp && temp > 0 ? std::optional<double>(temp) : std::nullopt;
        d.period = period;
    }
    days.insert(days.end(), sign, signs.cend());
    return days;
}

std::vector<QDate> DiaryDb::periodDays(int limit, const std::optional<QDate> &upTo) const
{
    // Walks the primary key from the bound down and stops after `limit` period days; the
    // bound keeps text that is no day at all from taking the places of real days.
    QSqlQuery query
        = prepare(database(),
                  QStringLiteral(
                      "SELECT DAT_DATE FROM DATA_FIL WHERE DAT_DATE < ? AND GUEST = 1 ORDER BY DAT_DATE DESC LIMIT ?"));
    query.addBindValue(dayBound(upTo));
    query.addBindValue(limit);
    run(query);
    std::vector<QDate> days;
    while (query.next()) {
        const QDate d = parseDay(query.value(0).toString());
        if (d.isValid())
            days.push_back(d);
    }
    if (query.lastError().isValid())
        fail(query.lastError());
    return days;
}

qint64 DiaryDb::rowCount() const
{
    QSqlQuery query = prepare(database(), QStringLiteral("SELECT count(*) FROM DATA_FIL"));
    run(query);
    if (!query.next())
        fail(query.lastError());
    return query.value(0).toLongLong();
}

namespace {

// Runs `work` in the transaction that `begin` opens; any failure, or an exception of
// `work`, rolls everything back.
template<typename Work> auto inTransaction(const QSqlDatabase &db, const QString &begin, Work &&work)
{
    exec(db, begin);
    try {
        auto result = work();
        exec(db, QStringLiteral("COMMIT"));
        return result;
    } catch (...) {
        // Also after a failed COMMIT, which leaves the transaction open.
        QSqlQuery rollback(db);
        rollback.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

// Runs `work` in one IMMEDIATE transaction: the write lock is taken before anything is
// read, so what `work` looks at cannot change before it writes. A second writer makes it
// wait, then fail, before anything is written.
template<typename Work> auto inWriteTransaction(const QSqlDatabase &db, Work &&work)
{
    return inTransaction(db, QStringLiteral("BEGIN IMMEDIATE"), std::forward<Work>(work));
}

} // namespace

std::vector<QDate> DiaryDb::storedDays() const
{
    // The save matches a day by DAT_DATE being exactly its text, so only such texts count:
    // not a day with a time of day, nor a number or a blob that looks like one. A day with
    // signs alone counts too.
    const QString where = QStringLiteral(" WHERE typeof(DAT_DATE) = 'text' AND length(DAT_DATE) = 10");
    QSqlQuery query = prepare(
        database(), QStringLiteral("SELECT DAT_DATE FROM DATA_FIL") + where
                        + (hasSigns() ? QStringLiteral(" UNION SELECT DAT_DATE FROM DAY_SIGNS") + where : QString())
                        + QStringLiteral(" ORDER BY 1"));
    run(query);
    std::vector<QDate> days;
    while (query.next()) {
        const QString text = query.value(0).toString();
        const QDate day = parseDay(text);
        if (day.isValid() && storedDay(day) == text && (days.empty() || days.back() != day))
            days.push_back(day);
    }
    if (query.lastError().isValid())
        fail(query.lastError());
    return days;
}

void DiaryDb::deleteUpTo(const QDate &upTo, const std::function<void(sqlite3 *diary)> &beforeDelete)
{
    const QSqlDatabase db = database();
    inWriteTransaction(db, [&] {
        if (beforeDelete)
            beforeDelete(handleOf(db));
        // "< the next day" also takes rows of that day that carry a time of day.
        QStringList tables {QStringLiteral("DATA_FIL")};
        if (hasSigns())
            tables << QStringLiteral("DAY_SIGNS");
        for (const QString &table : tables) {
            QSqlQuery query = prepare(db, QStringLiteral("DELETE FROM %1 WHERE DAT_DATE < ?").arg(table));
            query.addBindValue(storedDay(upTo.addDays(1)));
            run(query);
        }
        return true;
    });
}

std::vector<QDate> DiaryDb::saveDays(const std::vector<DayRecord> &records, Existing existing)
{
    std::size_t i = 0;
    return saveDaysFrom([&] { return i < records.size() ? &records[i++] : nullptr; }, existing);
}

std::vector<QDate> DiaryDb::saveDaysFrom(const std::function<const DayRecord *()> &next, Existing existing)
{
    const QSqlDatabase db = database();
    // Each day's row is changed, or added when there is none: a table made by another
    // tool may lack the key an upsert needs. Whether a day has a row is asked inside the
    // transaction, so a row that another program wrote since the caller last looked is
    // never replaced unless the caller said so. Where another tool stored two rows of one
    // day, only one changes: the row the entry was read from while it is there, else the
    // first, the one a load reads.
    const QString oneRow
        = QStringLiteral("rowid = coalesce((SELECT rowid FROM DATA_FIL WHERE rowid = ? AND DAT_DATE = ?), "
                         "(SELECT rowid FROM DATA_FIL WHERE DAT_DATE = ? ORDER BY rowid LIMIT 1))");
    return inWriteTransaction(db, [&] {
        // A diary from before the signs gets their table with its first save.
        if (!hasSigns())
            addSignsTable();
        DayFinder finder(db, true);
        QSqlQuery update = prepare(
            db, QStringLiteral("UPDATE DATA_FIL SET TEMP = ?, CONDITION = ?, DIARY = ?, GUEST = ?, LOVE = ? WHERE ")
                    + (m_rowIds ? oneRow : QStringLiteral("DAT_DATE = ?")));
        QSqlQuery insert = prepare(
            db, QStringLiteral(
                    "INSERT INTO DATA_FIL (TEMP, CONDITION, DIARY, GUEST, LOVE, DAT_DATE) VALUES (?, ?, ?, ?, ?, ?)"));
        // The signs row is changed or added as the diary row is: another tool's table may
        // lack the key too.
        QSqlQuery updateSigns = prepare(db, QStringLiteral("UPDATE DAY_SIGNS SET (%1) = (?, ?, ?, ?, ?, ?, ?, ?) "
                                                           "WHERE DAT_DATE = ?")
                                                .arg(kSignColumns));
        QSqlQuery insertSigns
            = prepare(db, QStringLiteral("INSERT INTO DAY_SIGNS (%1, DAT_DATE) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
                              .arg(kSignColumns));
        QSqlQuery deleteSigns = prepare(db, QStringLiteral("DELETE FROM DAY_SIGNS WHERE DAT_DATE = ?"));
        std::vector<QDate> kept;
        for (const DayRecord *each = next(); each; each = next()) {
            const DayRecord &record = *each;
            if (!record.DAT_DATE.isValid())
                throw AppError(QStringLiteral("日付が正しくありません。"));
            const QString day = storedDay(record.DAT_DATE);
            if (existing == Existing::Keep && finder.has(record.DAT_DATE)) {
                kept.push_back(record.DAT_DATE);
                continue;
            }
            const QVariantList values = {tempValue(record),    textValue(record.CONDITION), textValue(record.DIARY),
                                         record.GUEST ? 1 : 0, record.LOVE ? 1 : 0,         day};
            const QVariant rowId = record.rowId ? QVariant(*record.rowId) : QVariant();
            const QVariantList where = m_rowIds ? QVariantList {rowId, day, day} : QVariantList {day};
            for (int i = 0; i < 5; ++i)
                update.bindValue(i, values.at(i));
            for (int i = 0; i < where.size(); ++i)
                update.bindValue(5 + i, where.at(i));
            run(update);
            if (update.numRowsAffected() == 0) {
                for (int i = 0; i < values.size(); ++i)
                    insert.bindValue(i, values.at(i));
                run(insert);
            }
            if (!record.SIGNS)
                continue;
            if (record.SIGNS->isEmpty()) {
                deleteSigns.bindValue(0, day);
                run(deleteSigns);
                continue;
            }
            const QVariantList signs = signValues(*record.SIGNS) << day;
            for (int i = 0; i < signs.size(); ++i)
                updateSigns.bindValue(i, signs.at(i));
            run(updateSigns);
            if (updateSigns.numRowsAffected() == 0) {
                for (int i = 0; i < signs.size(); ++i)
                    insertSigns.bindValue(i, signs.at(i));
                run(insertSigns);
            }
        }
        return kept;
    });
}

} // namespace nerina
