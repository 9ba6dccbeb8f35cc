#include "CycleStats.h"

#include "Forecast.h"
#include "cycle/TemperatureShift.h"

#include <algorithm>
#include <cmath>

namespace nerina {

namespace {

std::optional<double> mean(double sum, int count)
{
    return count > 0 ? std::optional<double>(sum / count) : std::nullopt;
}

// One cycle over the calendar days [start, next start), with the days the diary holds.
CycleRecord describe(const std::vector<DiaryDb::CycleDay> &days, std::size_t from, std::size_t to, const QDate &start,
                     const QDate &end, bool running)
{
    CycleRecord r;
    r.start = start;
    r.end = end;
    r.running = running;
    r.length = int(start.daysTo(end)) + 1;

    // One entry a calendar day, as the shift finder reads a series.
    QList<std::optional<int>> readings(r.length);
    QList<bool> period(r.length, false);
    QDate lastPeriodDay = start;
    for (std::size_t i = from; i < to; ++i) {
        const int at = int(start.daysTo(days[i].day));
        if (days[i].temp)
            readings[at] = int(std::lround(*days[i].temp * 100));
        period[at] = days[i].period;
        if (days[i].period && samePeriod(lastPeriodDay, days[i].day))
            lastPeriodDay = days[i].day;
    }
    r.periodLength = int(start.daysTo(lastPeriodDay)) + 1;

    const QList<TemperatureShift> shifts = findTemperatureShifts(readings, period);
    // -1 when no shift was found; a plain int keeps GCC's optimiser from warning.
    const int shift = shifts.isEmpty() ? -1 : shifts.first().firstHigh;
    if (shift >= 0) {
        r.shiftDay = start.addDays(shift);
        if (!running)
            r.lutealLength = r.length - shift;
    }
    double low = 0, high = 0;
    int lows = 0, highs = 0;
    for (std::size_t i = from; i < to; ++i) {
        if (!days[i].temp)
            continue;
        if (shift >= 0 && start.daysTo(days[i].day) >= shift) {
            high += *days[i].temp;
            ++highs;
        } else if (shift >= 0) {
            low += *days[i].temp;
            ++lows;
        }
    }
    r.lowMean = mean(low, lows);
    r.highMean = mean(high, highs);
    return r;
}

} // namespace

QList<CycleRecord> cycleRecords(const std::vector<DiaryDb::CycleDay> &days)
{
    QList<CycleRecord> out;
    if (days.empty())
        return out;
    // The period days as one flag a calendar day from the first day on, for the one rule
    // of where a period begins.
    const QDate first = days.front().day;
    QList<bool> period(int(first.daysTo(days.back().day)) + 1, false);
    for (const DiaryDb::CycleDay &d : days)
        period[int(first.daysTo(d.day))] = d.period;
    const QList<int> starts = periodStarts(period);

    std::size_t from = 0;
    for (int c = 0; c < starts.size(); ++c) {
        const QDate start = first.addDays(starts[c]);
        const bool running = c + 1 == starts.size();
        const QDate end = running ? days.back().day : first.addDays(starts[c + 1] - 1);
        while (from < days.size() && days[from].day < start)
            ++from;
        std::size_t to = from;
        while (to < days.size() && days[to].day <= end)
            ++to;
        out.prepend(describe(days, from, to, start, end, running));
        from = to;
    }
    return out;
}

CycleSummary summarizeCycles(const QList<CycleRecord> &cycles, int count)
{
    CycleSummary s;
    int lengths = 0, luteals = 0, lutealSum = 0;
    for (const CycleRecord &c : cycles) {
        if (c.running)
            continue;
        if (s.cycles == count)
            break;
        s.shortest = s.cycles == 0 ? c.length : std::min(s.shortest, c.length);
        s.longest = std::max(s.longest, c.length);
        lengths += c.length;
        if (c.lutealLength) {
            lutealSum += *c.lutealLength;
            ++luteals;
        }
        ++s.cycles;
    }
    s.enough = s.cycles >= 3;
    s.meanLength = s.cycles > 0 ? double(lengths) / s.cycles : 0;
    s.meanLuteal = luteals > 0 ? std::optional<double>(double(lutealSum) / luteals) : std::nullopt;
    return s;
}

} // namespace nerina
