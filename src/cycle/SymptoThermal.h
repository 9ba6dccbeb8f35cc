#pragma once

#include "records/DaySigns.h"

#include <QList>

#include <optional>

namespace nerina {

// The double check of one cycle: the temperature and the mucus both say ovulation is over.
// Days are indexes into the cycle's series, its first day 0.
struct DoubleCheck
{
    int peak = 0;   // the mucus peak: the last day of the best mucus before it dried up
    int closes = 0; // the infertile time after ovulation begins on this day's evening

    bool operator==(const DoubleCheck &) const = default;
};

// The double check of one cycle from its mucus (one entry a day, none where she noted no
// mucus) and the day its temperature shift was confirmed (none without a shift).
//
// The mucus peak is a day of the best kind of mucus reached so far in the cycle, at least
// moist, followed by three recorded days of a lower kind; days without a mucus entry are
// not counted. It lies on or before the day the shift is confirmed, and no day of that kind
// or better follows it up to that day. The infertile time after ovulation begins on the
// evening of the later of the confirming day and the third of those lower days: always a
// day she observed. Without both the shift and the peak nothing is claimed: none.
std::optional<DoubleCheck> doubleCheck(const QList<std::optional<Mucus>> &mucus, std::optional<int> confirmed);

} // namespace nerina
