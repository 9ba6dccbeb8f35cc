#pragma once

#include "DayRecord.h"
#include "DaySigns.h"

#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <functional>
#include <map>
#include <optional>
#include <vector>

struct sqlite3;

namespace nerina {

// The only door to the diary's tables: DATA_FIL, one row per day, and DAY_SIGNS, the
// signs of the days that have any. A diary made by an earlier version has no DAY_SIGNS:
// it reads as a diary without signs, and the first save adds the table. Every statement
// binds its values; every failure throws AppError with the engine's message text.
class DiaryDb final
{
public:
    // How the file is opened. A ReadOnlyCopy is a file nothing else writes (a backup):
    // opened read-only and immutable, so that SQLite never writes it, not even to roll
    // back a journal lying beside it, and creates nothing beside it (no -journal, -wal
    // or -shm).
    enum class Access { Diary, ReadOnlyCopy };

    // Opens an existing diary file (never creates one) and checks that it holds the
    // diary table with its six columns, and DAY_SIGNS with its nine where it is there.
    explicit DiaryDb(const QString &path, Access access = Access::Diary);
    ~DiaryDb();
    DiaryDb(const DiaryDb &) = delete;
    DiaryDb &operator=(const DiaryDb &) = delete;

    const QString &path() const { return m_path; }

    // The entry of one day, if there is one, with the row it was read from: of two rows of
    // the day (another tool's table without the key), the first stored. SIGNS holds the
    // day's signs, empty when it has none. A day that has signs but no diary row (another
    // tool's) comes as an entry without a reading: TEMP 0, empty texts, no rowId.
    std::optional<DayRecord> findDay(const QDate &day) const;

    // Whether the day has an entry: a diary row or a signs row. Its values are not read,
    // so a row that cannot be loaded can still be found and saved over.
    bool hasDay(const QDate &day) const;

    // Every day that has an entry, each found as hasDay finds it, oldest first.
    std::vector<QDate> storedDays() const;

    // What a save does with a day that already has a row.
    enum class Existing { Replace, Keep };

    // Stores every entry in one transaction, all of them or none: adds each day's row, or
    // changes the one there (of two rows of the day, the entry's own row while it is there,
    // else the one findDay reads; never both). An entry with SIGNS stores them too: its
    // DAY_SIGNS row, every column, or no row at all when they are empty. With Keep, a day
    // that has a row of either table when the transaction looks is left exactly as it is;
    // those days are returned (always none with Replace). A diary without DAY_SIGNS gets
    // it in the same transaction.
    std::vector<QDate> saveDays(const std::vector<DayRecord> &records, Existing existing = Existing::Replace);

    // The entries that `next` hands out, each valid until it is called again, up to the
    // first null, stored as saveDays stores them, in one transaction; whatever `next`
    // throws rolls all of them back and is passed on.
    std::vector<QDate> saveDaysFrom(const std::function<const DayRecord *()> &next, Existing existing);

    // One entry, as saveDays; false when Keep found the day's row and wrote nothing.
    bool saveDay(const DayRecord &record, Existing existing = Existing::Replace);

    // Every diary row dated on or after `from`, newest first; of two rows of a day, the one
    // findDay reads comes first. Their SIGNS are left empty (none): signsBetween reads them.
    std::vector<DayRecord> daysFrom(const QDate &from) const;

    // Every diary row dated from `from` up to and including `upTo`, newest first; SIGNS
    // left empty, as daysFrom.
    std::vector<DayRecord> daysBetween(const QDate &from, const QDate &upTo) const;

    // The signs of the days from `from` up to and including `upTo` that have any; none in
    // a diary without DAY_SIGNS. A code out of its range (another tool's) reads as not
    // recorded.
    std::map<QDate, DaySigns> signsBetween(const QDate &from, const QDate &upTo) const;

    // Every row as it is stored, ordered by DAT_DATE: each value of the type SQLite holds
    // it in (NULL, integer, real, text or blob), never converted, in the order
    // DAT_DATE, TEMP, CONDITION, DIARY, GUEST, LOVE, then the day's signs row's EXCLUDED,
    // EXCLUDE_REASON, BLEEDING, SPOTTING, MUCUS, LH_TEST, PREGNANCY_TEST, MEDICATION (NULL
    // where it has none). A signs row without a diary row comes with NULL for the diary's
    // five. Rows whose day daysFrom cannot place (a day that is no day) are here too.
    std::vector<QVariantList> storedRows() const;

    // Every day, oldest first, with what the cycle record needs of it: the temperature
    // (none when it is 0, NULL or not a number; a text counts as the number it reads as),
    // the period mark and the signs it reads. Rows whose day cannot be read, and second
    // rows of a day, are left out; a day with signs but no diary row is a day without a
    // reading.
    struct CycleDay
    {
        QDate day;
        std::optional<double> temp;
        bool period = false;
        // Of the day's signs, what the cycle record reads.
        bool excluded = false; // the temperature rules skip the reading
        std::optional<Mucus> mucus = {};
        std::optional<TestResult> lhTest = {};
        std::optional<TestResult> pregnancyTest = {};
    };
    // With `upTo`, only the days up to and including it.
    std::vector<CycleDay> cycleDays(const std::optional<QDate> &upTo = std::nullopt) const;

    // The days marked as period days, newest first; a negative limit: all of them. With
    // `upTo`, only those up to and including it.
    std::vector<QDate> periodDays(int limit = -1, const std::optional<QDate> &upTo = std::nullopt) const;

    // The number of rows in the diary table.
    qint64 rowCount() const;

    // Deletes every entry dated on or before `upTo`, its signs with it. `beforeDelete`, when
    // given, runs first inside the same write transaction, given this connection's own
    // SQLite handle: what it reads or copies there is exactly what the delete starts
    // from, since no other connection can write until the delete is done.
    // Whatever it throws stops the delete before a row is gone.
    void deleteUpTo(const QDate &upTo, const std::function<void(sqlite3 *diary)> &beforeDelete = {});

    // A day as DAT_DATE stores it ("2026-03-05"), and back; a time of day after the
    // date is ignored.
    static QString storedDay(const QDate &day);
    static QDate parseDay(const QString &stored);

private:
    QSqlDatabase database() const;
    std::vector<DayRecord> daysIn(const QDate &from, const std::optional<QDate> &upTo) const;
    bool hasSigns() const;
    void addSignsTable();

    QString m_path;
    QString m_connection;
    bool m_rowIds = false; // the table has SQLite's rowid (every table but one made WITHOUT ROWID)
    // DAY_SIGNS was found. Once there it stays; until then each use looks again, since
    // another copy of the program may add it.
    mutable bool m_signs = false;
};

// The program's own tables, the diary table first, each with the columns it writes
// ("DAT_DATE, TEMP, ..."). Backups, their check and the restore carry exactly these, so a
// table the program adds goes here.
struct OwnTable
{
    QString name;
    QString columns;
};
const QList<OwnTable> &ownTables();

// The statements of a schema file, each from its first line to the first line that ends
// with ';'. Comment lines between statements are left out; those inside one stay, so that
// the diary keeps each statement as written, whoever makes the table.
QStringList schemaStatements(const QString &schema);

// The statement in data/schema.sql that makes `table`, exactly as schemaStatements gives
// it; empty when it has none.
QString schemaStatement(const QString &table);

// The Japanese text for an SQLite result code the user can act on (busy, read-only,
// disk full, damaged, ...); the empty text for any other code.
QString engineErrorText(int sqliteCode);

} // namespace nerina
