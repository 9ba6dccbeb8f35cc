#include "TemperatureShift.h"

#include "shell/Conversions.h"

#include <algorithm>
#include <cmath>

namespace nerina {

namespace {

constexpr int kLowReadings = 6;
constexpr int kClearRise = 20; // 0.20 degrees, in hundredths

// Where the candidate at position k of `temps` (readings only, no gaps) is confirmed,
// as a position in `temps`; none when it is not.
std::optional<int> confirmation(const QList<int> &temps, int k, int coverline)
{
    const int size = int(temps.size());
    if (k + 2 >= size)
        return std::nullopt;
    const bool secondAbove = temps[k + 1] > coverline;
    const bool thirdAbove = temps[k + 2] > coverline;
    const bool hasFourth = k + 3 < size;

    if (secondAbove && thirdAbove) {
        if (temps[k + 2] >= coverline + kClearRise)
            return k + 2;
        if (hasFourth && temps[k + 3] > coverline)
            return k + 3;
        return std::nullopt;
    }
    // One reading at or below the line is forgiven, but then the fourth must clear it well.
    if (secondAbove != thirdAbove && hasFourth && temps[k + 3] >= coverline + kClearRise)
        return k + 3;
    return std::nullopt;
}

} // namespace

std::optional<int> readingFromText(const QString &text)
{
    if (text.isEmpty() || !isNumeric(text))
        return std::nullopt;
    const double value = numericValue(text);
    if (!(value > 0.0))
        return std::nullopt;
    return int(std::lround(value * 100.0));
}

QList<int> periodStarts(const QList<bool> &periodDays)
{
    QList<int> starts;
    for (int i = 0; i < periodDays.size(); ++i)
        if (periodDays[i] && (i == 0 || !periodDays[i - 1]))
            starts.append(i);
    return starts;
}

QList<TemperatureShift> findTemperatureShifts(const QList<std::optional<int>> &readings,
                                              const QList<bool> &periodDays)
{
    const int days = int(readings.size());
    const QList<int> starts = periodStarts(periodDays);
    QList<TemperatureShift> shifts;

    int from = 0;
    while (from < days) {
        // The measured days from `from` on, and their temperatures.
        QList<int> index;
        QList<int> temps;
        for (int d = from; d < days; ++d) {
            if (readings[d]) {
                index.append(d);
                temps.append(*readings[d]);
            }
        }

        std::optional<TemperatureShift> found;
        for (int k = kLowReadings; k < temps.size() && !found; ++k) {
            const int coverline = *std::max_element(temps.begin() + (k - kLowReadings), temps.begin() + k);
            if (temps[k] <= coverline)
                continue;
            const std::optional<int> at = confirmation(temps, k, coverline);
            if (!at)
                continue;
            const auto next = std::find_if(starts.begin(), starts.end(), [&](int s) { return s > index[k]; });
            found = TemperatureShift{index[k - kLowReadings], index[k], index[*at],
                                     next == starts.end() ? days - 1 : *next - 1, coverline};
        }
        if (!found)
            break;
        shifts.append(*found);
        from = found->lastDay + 1;
    }
    return shifts;
}

} // namespace nerina
