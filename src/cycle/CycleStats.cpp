#include "CycleStats.h"

#include "Forecast.h"
#include "SymptoThermal.h"
#include "cycle/TemperatureShift.h"

#include <algorithm>
#include <cmath>

namespace nerina {

namespace {

// A number stored where no body temperature can be counts as no reading.
bool isReading(const DiaryDb::CycleDay &day) { return day.temp && isBodyTemperature(*day.temp); }

constexpr int kShortHighPhase = 10; // a complete high phase of fewer days is short
constexpr int kLongHighPhase = 18;  // a running high phase this long: time for a pregnancy test

std::optional<double> mean(double sum, int count)
{
    return count > 0 ? std::optional<double>(sum / count) : std::nullopt;
}

// One cycle over the calendar days [start, end], with the days the diary holds.
CycleRecord describe(const std::vector<DiaryDb::CycleDay> &days, std::size_t from, std::size_t to, const QDate &start,
                     const QDate &end, bool running, const std::optional<TemperatureShift> &shift,
                     const std::optional<QDate> &today)
{
    CycleRecord r;
    r.start = start;
    r.end = running && today && *today > end ? *today : end;
    r.running = running;
    r.length = int(start.daysTo(r.end)) + 1;

    // Every period day of a cycle belongs to its first period: one further on would have
    // begun the next cycle.
    QDate lastPeriodDay = start;
    QList<std::optional<Mucus>> mucus(int(start.daysTo(end)) + 1);
    for (std::size_t i = from; i < to; ++i) {
        const DiaryDb::CycleDay &d = days[i];
        if (d.period)
            lastPeriodDay = d.day;
        mucus[start.daysTo(d.day)] = d.mucus;
        if (d.lhTest == TestResult::Positive)
            r.lhPositive.append(d.day);
        if (d.pregnancyTest == TestResult::Positive && !r.pregnancyPositive)
            r.pregnancyPositive = d.day;
    }
    r.periodLength = int(start.daysTo(lastPeriodDay)) + 1;

    r.shift = shift;
    if (shift) {
        r.highPhase = int(r.shiftDay()->daysTo(r.end)) + 1;
        if (const std::optional<DoubleCheck> check = doubleCheck(mucus, shift->confirmed)) {
            r.mucusPeak = start.addDays(check->peak);
            r.doubleCheckDay = start.addDays(check->closes);
        }
    }
    double low = 0, high = 0;
    int lows = 0, highs = 0;
    for (std::size_t i = from; i < to && shift; ++i) {
        if (!isReading(days[i]) || days[i].excluded)
            continue;
        if (start.daysTo(days[i].day) >= shift->firstHigh) {
            high += *days[i].temp;
            ++highs;
        } else {
            low += *days[i].temp;
            ++lows;
        }
    }
    r.lowMean = mean(low, lows);
    r.highMean = mean(high, highs);
    return r;
}

} // namespace

QList<CycleRecord> cycleRecords(const std::vector<DiaryDb::CycleDay> &days, const std::optional<QDate> &today)
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
    QList<bool> excluded(length, false);
    for (const DiaryDb::CycleDay &d : days) {
        const int at = int(first.daysTo(d.day));
        if (isReading(d))
            readings[at] = int(std::lround(*d.temp * 100));
        period[at] = d.period;
        excluded[at] = d.excluded;
    }
    const QList<int> starts = periodStarts(period);
    // The shift finder splits the series at the same starts, so each shift lies within one
    // cycle; one found before the first start belongs to none.
    const QList<TemperatureShift> shifts = findTemperatureShifts(readings, period, excluded);

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
        // The shift's days counted from the cycle's start.
        std::optional<TemperatureShift> shift;
        if (nextShift < shifts.size() && shifts[nextShift].firstHigh < next) {
            shift = shifts[nextShift];
            shift->firstLow -= starts[c];
            shift->firstHigh -= starts[c];
            shift->confirmed -= starts[c];
            shift->lastDay -= starts[c];
        }
        out.prepend(describe(days, from, to, start, end, running, shift, today));
        from = to;
    }
    return out;
}

QStringList cycleFindings(const CycleRecord &c)
{
    QStringList out;
    if (c.highPhase && !c.running && *c.highPhase < kShortHighPhase)
        out << QStringLiteral("高温期が短め：続くようなら婦人科で相談を");
    // Once a test has said so, advising one says nothing new.
    if (c.highPhase && c.running && *c.highPhase >= kLongHighPhase)
        out << (c.pregnancyPositive ? QStringLiteral("高温期が18日以上")
                                    : QStringLiteral("高温期が18日以上：妊娠検査薬で確かめましょう"));
    if (c.pregnancyPositive)
        out << QStringLiteral("妊娠検査薬が陽性（%1）").arg(c.pregnancyPositive->toString(QStringLiteral("MM/dd")));
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
        if (c.highPhase) {
            lutealSum += *c.highPhase;
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
