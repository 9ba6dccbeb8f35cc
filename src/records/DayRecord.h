#pragma once

#include <QDate>
#include <QString>

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
};

} // namespace nerina
