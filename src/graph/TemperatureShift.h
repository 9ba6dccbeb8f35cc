#pragma once

#include <QList>

#include <optional>

namespace nerina {

// A rise of the basal temperature that has held long enough to count, found by the
// three-over-six rule. Days are indexes into the series handed in, oldest first.
struct TemperatureShift
{
    int firstLow = 0;   // the first of the six readings the coverline is taken from
    int firstHigh = 0;  // the reading above all six that starts the shift
    int confirmed = 0;  // the reading that confirms it
    int lastDay = 0;    // the last day of that cycle: before the next period start, or the last day
    int coverline = 0;  // highest of the six readings, in hundredths of a degree

    bool operator==(const TemperatureShift &) const = default;
};

// Hundredths of a degree from a temperature cell of the list; none for an empty cell,
// "0", or anything that is not a positive number.
std::optional<int> readingFromText(const QString &text);

// The first day of each run of period days.
QList<int> periodStarts(const QList<bool> &periodDays);

// The confirmed shifts of a series, oldest first. `readings` holds one entry a day (none
// where nothing was measured; such days are skipped, not read as any value), `periodDays`
// tells which days are period days. A reading higher than each of the six readings before
// it starts a candidate; the coverline is the highest of those six. It is confirmed when it
// and the next two readings lie above the coverline and the third is at least 0.20 above;
// or, when the third is short of that, by a fourth reading above the coverline; or, when
// one of the second and third lies on or below the coverline, by a fourth reading at least
// 0.20 above. After a confirmed shift the search starts afresh at the next period start,
// taking neither the candidate nor its six readings from the cycle before.
QList<TemperatureShift> findTemperatureShifts(const QList<std::optional<int>> &readings,
                                              const QList<bool> &periodDays);

} // namespace nerina
