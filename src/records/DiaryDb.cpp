#include "DiaryDb.h"

#include "shell/AppError.h"

#include <QFileInfo>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <QUuid>

namespace nerina {

namespace {

[[noreturn]] void fail(const QSqlError &error)
{
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    throw AppError(text);
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

std::optional<double> optionalDouble(const QVariant &v)
{
    if (v.isNull())
        return std::nullopt;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok)
        throw AppError(QStringLiteral("型が一致しません。"));
    return d;
}

std::optional<QString> optionalText(const QVariant &v)
{
    if (v.isNull())
        return std::nullopt;
    return v.toString();
}

// An empty text is stored as '' and never as NULL, which a null QString would bind as.
QVariant textValue(const std::optional<QString> &text)
{
    if (!text)
        return QVariant();
    return text->isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(*text);
}

bool flag(const QVariant &v)
{
    return !v.isNull() && v.toLongLong() == 1;
}

DayRecord readRecord(const QSqlQuery &query)
{
    DayRecord r;
    r.DAT_DATE = DiaryDb::parseDay(query.value(0).toString());
    r.TEMP = optionalDouble(query.value(1));
    r.CONDITION = optionalText(query.value(2));
    r.DIARY = optionalText(query.value(3));
    r.GUEST = flag(query.value(4));
    r.LOVE = flag(query.value(5));
    return r;
}

const QString kColumns = QStringLiteral("DAT_DATE, TEMP, CONDITION, DIARY, GUEST, LOVE");

} // namespace

DiaryDb::DiaryDb(const QString &path)
    : m_path(path),
      m_connection(QStringLiteral("diary-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        // mode=rw: a missing file is an error, never a new empty database.
        QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
        url.setQuery(QStringLiteral("mode=rw"));
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
        // A rollback journal with full syncs: a save that returned is on the disk.
        QSqlQuery pragma(db);
        if (!pragma.exec(QStringLiteral("PRAGMA synchronous = FULL")))
            fail(pragma.lastError());
        QSqlQuery columns(db);
        if (!columns.exec(QStringLiteral("PRAGMA table_info(DATA_FIL)")))
            fail(columns.lastError());
        QSet<QString> names;
        while (columns.next())
            names.insert(columns.value(1).toString().toUpper());
        if (names.isEmpty())
            throw AppError(QStringLiteral("データファイルに DATA_FIL 表がありません。"));
        for (const QString &column : kColumns.split(QStringLiteral(", "))) {
            if (!names.contains(column))
                throw AppError(QStringLiteral("DATA_FIL 表に %1 列がありません。").arg(column));
        }
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

QSqlDatabase DiaryDb::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

QString DiaryDb::storedDay(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

QDate DiaryDb::parseDay(const QString &stored)
{
    return QDate::fromString(stored.left(10), QStringLiteral("yyyy-MM-dd"));
}

std::optional<DayRecord> DiaryDb::findDay(const QDate &day) const
{
    QSqlQuery query = prepare(database(), QStringLiteral("SELECT %1 FROM DATA_FIL WHERE DAT_DATE = ?").arg(kColumns));
    query.addBindValue(storedDay(day));
    run(query);
    if (!query.next()) {
        if (query.lastError().isValid())
            fail(query.lastError());
        return std::nullopt;
    }
    return readRecord(query);
}

void DiaryDb::saveDay(const DayRecord &record)
{
    if (!record.DAT_DATE.isValid())
        throw AppError(QStringLiteral("日付が正しくありません。"));
    QSqlQuery query = prepare(database(), QStringLiteral(
        "INSERT INTO DATA_FIL (%1) VALUES (?, ?, ?, ?, ?, ?) "
        "ON CONFLICT (DAT_DATE) DO UPDATE SET TEMP = excluded.TEMP, CONDITION = excluded.CONDITION, "
        "DIARY = excluded.DIARY, GUEST = excluded.GUEST, LOVE = excluded.LOVE").arg(kColumns));
    query.addBindValue(storedDay(record.DAT_DATE));
    query.addBindValue(record.TEMP ? QVariant(*record.TEMP) : QVariant());
    query.addBindValue(textValue(record.CONDITION));
    query.addBindValue(textValue(record.DIARY));
    query.addBindValue(record.GUEST ? 1 : 0);
    query.addBindValue(record.LOVE ? 1 : 0);
    run(query);
}

std::vector<DayRecord> DiaryDb::daysFrom(const QDate &from) const
{
    QSqlQuery query = prepare(database(), QStringLiteral(
        "SELECT %1 FROM DATA_FIL WHERE DAT_DATE >= ? ORDER BY DAT_DATE DESC").arg(kColumns));
    query.addBindValue(storedDay(from));
    run(query);
    std::vector<DayRecord> rows;
    while (query.next())
        rows.push_back(readRecord(query));
    if (query.lastError().isValid())
        fail(query.lastError());
    return rows;
}

std::vector<QDate> DiaryDb::periodDays() const
{
    QSqlQuery query = prepare(database(), QStringLiteral(
        "SELECT DAT_DATE FROM DATA_FIL WHERE GUEST = 1 ORDER BY DAT_DATE DESC"));
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

void DiaryDb::deleteUpTo(const QDate &upTo)
{
    // "< the next day" also takes rows of that day that carry a time of day.
    QSqlQuery query = prepare(database(), QStringLiteral("DELETE FROM DATA_FIL WHERE DAT_DATE < ?"));
    query.addBindValue(storedDay(upTo.addDays(1)));
    run(query);
}

void DiaryDb::saveDays(const std::vector<DayRecord> &records)
{
    for (const DayRecord &record : records) {
        if (!record.DAT_DATE.isValid())
            throw AppError(QStringLiteral("日付が正しくありません。"));
    }
    const QSqlDatabase db = database();
    // All rows or none: IMMEDIATE takes the write lock before the first row, and any
    // failure rolls every row of the batch back.
    QSqlQuery begin(db);
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE")))
        fail(begin.lastError());
    try {
        QSqlQuery update = prepare(db, QStringLiteral(
            "UPDATE DATA_FIL SET TEMP = ?, CONDITION = ?, DIARY = ?, GUEST = ?, LOVE = ? WHERE DAT_DATE = ?"));
        QSqlQuery insert = prepare(db, QStringLiteral(
            "INSERT INTO DATA_FIL (TEMP, CONDITION, DIARY, GUEST, LOVE, DAT_DATE) VALUES (?, ?, ?, ?, ?, ?)"));
        for (const DayRecord &record : records) {
            const QVariantList values = {record.TEMP ? QVariant(*record.TEMP) : QVariant(),
                                         textValue(record.CONDITION), textValue(record.DIARY),
                                         record.GUEST ? 1 : 0, record.LOVE ? 1 : 0,
                                         storedDay(record.DAT_DATE)};
            for (int i = 0; i < values.size(); ++i)
                update.bindValue(i, values.at(i));
            run(update);
            if (update.numRowsAffected() == 0) {
                for (int i = 0; i < values.size(); ++i)
                    insert.bindValue(i, values.at(i));
                run(insert);
            }
        }
        QSqlQuery commit(db);
        if (!commit.exec(QStringLiteral("COMMIT")))
            fail(commit.lastError());
    } catch (...) {
        // Also after a failed COMMIT, which leaves the transaction open.
        QSqlQuery rollback(db);
        rollback.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

} // namespace nerina
