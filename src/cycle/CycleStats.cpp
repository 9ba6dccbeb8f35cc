#include "CycleStats.h"

#include "Forecast.h"
#include "cycle/TemperatureShift.h"

#include <algorithm>
#include <cmath>

namespace nerina {

namespace {

// A number stored where no body temperature can be counts as no reading.
bool isReading(const DiaryDb::CycleDay &day) { return day.temp && isBodyTemperature(*day.temp); }

std::optional<double> mean(double sum, int count)
{
    return count > 0 ? std::optional<double>(sum / count) : std::nullopt;
}

// One cycle over the calendar days [start, end], with the days the diary holds; `shift` is
// the day of its first high reading counted from the start, -1 when none was found (a plain
// int keeps GCC's optimiser from warning).
CycleRecord describe(const std::vector<DiaryDb::CycleDay> &days, std::size_t from, std::size_t to, const QDate &start,
                     const QDate &end, bool running, int shift)
{
    CycleRecord r;
    r.start = start;
    r.end = end;
    r.running = running;
    r.length = int(start.daysTo(end)) + 1;

    // Every period day of a cycle belongs to its first period: one further on would have
    // begun the next cycle.
    QDate lastPeriodDay = start;
    for (std::size_t i = from; i < to; ++i) {
        if (days[i].period)
            lastPeriodDay = days[i].day;
    }
    r.periodLength = int(start.daysTo(lastPeriodDay)) + 1;

    if (shift >= 0) {
        r.shiftDay = start.addDays(shift);
        if (!running)
            r.lutealLength = r.length - shift;
    }
    double low = 0, high = 0;
    int lows = 0, highs = 0;
    for (std::size_t i = from; i < to; ++i) {
        if (!isReading(days[i]))
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
    // One entry a calendar day from the first day on, as the shift finder reads a series;
    // the period flags also give the one rule of where a period begins.
    const QDate first = days.front().day;
    const int length = int(first.daysTo(days.back().day)) + 1;
    QList<std::optional<int>> readings(length);
    QList<bool> period(length, false);
    for (const DiaryDb::CycleDay &d : days) {
        const int at = int(first.daysTo(d.day));
        if (isReading(d))
            readings[at] = int(std::lround(*d.temp * 100));
        period[at] = d.period;
    }
    const QList<int> starts = periodStarts(period);
    // The shift finder splits the series at the same starts, so each shift lies within one
    // cycle; one found before the first start belongs to none.
    const QList<TemperatureShift> shifts = findTemperatureShifts(readings, period);

    std::size_t from = 0;
    qsizetype nextShift = 0;
    for (int c = 0; c < starts.size(); ++c) {
        const QDate start = first.addDays(starts[c]);
        const bool running = c + 1 == starts.size();
        const int next = running ? length : starts[c + 1];
        const QDate end = first.addDays(next - 1);
        while (from < days.size() && days[from].day < start)
            ++from;
        std::size_t to = from;
        while (to < days.size() && days[to].day <= end)
            ++to;
        while (nextShift < shifts.size() && shifts[nextShift].firstHigh < starts[c])
            ++nextShift;
        const int shift = nextShift < shifts.size() && shifts[nextShift].firstHigh < next
                              ? shifts[nextShift].firstHigh - starts[c]
                              : -1;
        out.prepend(describe(days, from, to, start, end, running, shift));
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
    s.meanLength = mean(lengths, s.cycles).value_or(0);
    s.meanLuteal = mean(lutealSum, luteals);
    return s;
}

int suggestedCycleLength(const CycleSummary &lastSix)
{
    return lastSix.enough ? int(std::lround(lastSix.meanLength)) : 0;
}

} // namespace nerina
