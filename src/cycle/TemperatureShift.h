#pragma once

#include <QList>

#include <optional>

namespace nerina {

// A rise of the basal temperature that has held long enough to count, found by the
// three-over-six rule. Days are indexes into the series handed in, oldest first.
struct TemperatureShift
{
    int firstLow = 0;  // the first of the six readings the coverline is taken from
    int firstHigh = 0; // the reading above all six that starts the shift
    int confirmed = 0; // the reading that confirms it
    int lastDay = 0;   // the last day of that cycle: before the next period start, or the last day
    int coverline = 0; // highest of the six readings once rounded, in hundredths of a degree

    bool operator==(const TemperatureShift &) const = default;
};

// The confirmed shifts of a series, oldest first. `readings` holds one entry a day (none
// where nothing was measured; such days are skipped, not read as any value), `periodDays`
// tells which days are period days, and `excluded` which readings she marked as disturbed
// (a fever, a short night, ...): those are skipped exactly like days without a reading, so a
// caller may hand in the readings it draws as they are. An empty `excluded` leaves none out.
//
// The series falls into cycles: from each period start to the day before the next one, the
// days before the first start forming a cycle of their own. Each cycle is searched on its
// own, whether or not the one before held a shift, and gives at most one shift: the first
// one confirmed. Every reading a shift uses lies in its cycle. Readings are compared rounded
// to the nearest 0.05 degrees (36.62 counts as 36.60, 36.63 as 36.65).
//
// A reading starts a candidate when it is higher than each of the six readings of its cycle
// before it, however many days those span; the coverline is the highest of the six.
// The candidate is confirmed when it and the next two readings lie above the coverline,
// the third at least 0.20 above, all three within five days (the candidate's day and the
// four after it). Failing that, four readings within six days (the candidate's day and the
// five after it) confirm it: when the first three lie above the line but the third is short
// of 0.20 above, by a fourth reading above the line; when one of the second and third lies
// on or below the line, by a fourth reading at least 0.20 above it.
QList<TemperatureShift> findTemperatureShifts(const QList<std::optional<int>> &readings, const QList<bool> &periodDays,
                                              const QList<bool> &excluded = {});

} // namespace nerina
