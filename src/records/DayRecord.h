#pragma once

#include "DaySigns.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>

namespace nerina {

// One row of DATA_FIL. The program always writes every column; rows written by other
// tools may hold NULL, which the optionals keep visible. A NULL flag reads as not set.
struct DayRecord
{
    QDate DAT_DATE;             // the calendar day; invalid when the stored text is not a day
    std::optional<double> TEMP; // degrees Celsius; 0 means "no temperature"
    std::optional<QString> CONDITION;
    std::optional<QString> DIARY;
    bool GUEST = false; // period day
    bool LOVE = false;  // intercourse

    // TEMP as the file holds it when that is a text or a blob (another tool's): TEMP is then
    // the number the text reads as, or none. Written back as it is while the temperature
    // is left alone. Null for a number or NULL.
    QVariant storedTemp {};
    // The row it was read from (SQLite's rowid), so that a save changes that row and no
    // other of the same day; none for an entry not read from the diary.
    std::optional<qint64> rowId {};
    // The day's signs (the DAY_SIGNS row). None leaves the stored signs as they are, as a
    // file without them does; empty signs remove the day's.
    std::optional<DaySigns> SIGNS {};
};

// Whether a stored temperature is one a body can have. Anything else (0 for "not measured",
// another tool's nonsense, a number beyond any scale) counts as a day without a reading
// wherever readings are drawn, compared or averaged; it is still shown as stored. The range
// holds every temperature the entry's check lets through.
inline bool isBodyTemperature(double celsius) { return celsius >= 30.0 && celsius <= 45.0; }

} // namespace nerina
