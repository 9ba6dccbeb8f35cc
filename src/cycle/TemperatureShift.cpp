#include "cycle/TemperatureShift.h"

#include "cycle/Forecast.h"

#include <algorithm>

namespace nerina {

namespace {

constexpr int kLowReadings = 6;
constexpr int kThreeSpan = 4;  // the three high readings: the rise's day and this many after it
constexpr int kFourSpan = 5;   // the same where a fourth reading is needed
constexpr int kClearRise = 20; // 0.20 degrees, in hundredths
constexpr int kStep = 5;       // readings are compared to the nearest 0.05 degrees

int rounded(int hundredths) { return (hundredths + kStep / 2) / kStep * kStep; }

// The readings of one cycle, oldest first: their days and rounded temperatures.
struct CycleReadings
{
    QList<int> day;
    QList<int> temp;
};

// Where the candidate at position k is confirmed, as a position in `r`; none when it is not.
std::optional<int> confirmation(const CycleReadings &r, int k, int coverline)
{
    const int size = int(r.temp.size());
    if (k + 2 >= size)
        return std::nullopt;
    const bool secondAbove = r.temp[k + 1] > coverline;
    const bool thirdAbove = r.temp[k + 2] > coverline;
    const bool threeInTime = r.day[k + 2] <= r.day[k] + kThreeSpan;
    const bool fourInTime = k + 3 < size && r.day[k + 3] <= r.day[k] + kFourSpan;

    if (secondAbove && thirdAbove) {
        if (threeInTime && r.temp[k + 2] >= coverline + kClearRise)
            return k + 2;
        if (fourInTime && r.temp[k + 3] > coverline)
            return k + 3;
        return std::nullopt;
    }
    // One reading at or below the line is forgiven, but then the fourth must clear it well.
    if (secondAbove != thirdAbove && fourInTime && r.temp[k + 3] >= coverline + kClearRise)
        return k + 3;
    return std::nullopt;
}

// The first confirmed shift among the days [begin, end) of one cycle.
std::optional<TemperatureShift> shiftInCycle(const QList<std::optional<int>> &readings, const QList<bool> &excluded,
                                             int begin, int end)
{
    CycleReadings r;
    for (int d = begin; d < end; ++d) {
        if (readings[d] && !(d < excluded.size() && excluded[d])) {
            r.day.append(d);
            r.temp.append(rounded(*readings[d]));
        }
    }
    for (int k = kLowReadings; k < r.temp.size(); ++k) {
        const int coverline = *std::max_element(r.temp.begin() + (k - kLowReadings), r.temp.begin() + k);
        if (r.temp[k] <= coverline)
            continue;
        if (const std::optional<int> at = confirmation(r, k, coverline))
            return TemperatureShift {r.day[k - kLowReadings], r.day[k], r.day[*at], end - 1, coverline};
    }
    return std::nullopt;
}

} // namespace

QList<TemperatureShift> findTemperatureShifts(const QList<std::optional<int>> &readings, const QList<bool> &periodDays,
                                              const QList<bool> &excluded)
{
    const int days = int(readings.size());
    // Cycle bounds: the days before the first period start, if any, then each start.
    QList<int> bounds = periodStarts(periodDays);
    if (bounds.isEmpty() || bounds.first() > 0)
        bounds.prepend(0);
    bounds.append(days);

    QList<TemperatureShift> shifts;
    for (int c = 0; c + 1 < bounds.size(); ++c)
        if (const std::optional<TemperatureShift> found = shiftInCycle(readings, excluded, bounds[c], bounds[c + 1]))
            shifts.append(*found);
    return shifts;
}

} // namespace nerina
