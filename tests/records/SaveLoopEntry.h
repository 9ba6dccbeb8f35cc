#pragma once

#include "records/DayRecord.h"

namespace nerina {

// The entry that save n of the save loop writes. Saves wrap around a fixed set of days,
// so later saves change rows that earlier ones added; every column tells n apart, and
// the diary text is long enough to spread a save over several pages.
constexpr int kSaveLoopDays = 100;

inline DayRecord saveLoopEntry(long long n)
{
    DayRecord r;
    r.DAT_DATE = QDate(2020, 1, 1).addDays(n % kSaveLoopDays);
    r.TEMP = 35.0 + double(n % 800) / 100.0;
    r.CONDITION = QStringLiteral("n=%1").arg(n);
    r.DIARY = QStringLiteral("%1;").arg(n).repeated(int(200 + n % 300));
    r.GUEST = n % 2 == 1;
    r.LOVE = n % 3 == 0;
    return r;
}

} // namespace nerina
