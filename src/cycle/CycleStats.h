#pragma once

#include "TemperatureShift.h"
#include "records/DiaryDb.h"

#include <QDate>
#include <QList>
#include <QStringList>

#include <optional>
#include <vector>

namespace nerina {

// One cycle of the diary: from the first day of a period (where the forecast begins a
// cycle) to the day before the next one.
struct CycleRecord
{
    QDate start;
    QDate end; // the last day; for the cycle still running, today when given, else the last day recorded
    bool running = false;
    int length = 0;                 // days from start to end, both counted
    int periodLength = 0;           // days from start to the last period day of its period
    // The confirmed temperature shift, its days counted from the cycle's start (0).
    std::optional<TemperatureShift> shift;
    std::optional<double> lowMean;  // mean of the readings before the shift day
    std::optional<double> highMean; // mean of the readings from the shift day on
    // From the shift day to the end, both counted: the luteal phase, and for the running
    // cycle the high phase so far.
    std::optional<int> highPhase;
    QList<QDate> lhPositive;                // the days of a positive ovulation (LH) test
    std::optional<QDate> mucusPeak;         // of the double check, where both signs agree
    std::optional<QDate> doubleCheckDay;    // the infertile time begins on this day's evening
    std::optional<QDate> pregnancyPositive; // the first positive pregnancy test

    // The day of the shift's first high reading.
    std::optional<QDate> shiftDay() const
    {
        return shift ? std::optional<QDate>(start.addDays(shift->firstHigh)) : std::nullopt;
    }

    bool operator==(const CycleRecord &) const = default;
};

// The cycles of a whole diary (its days oldest first, as DiaryDb::cycleDays gives them),
// newest first. Days before the first period begin no cycle. A shift is found by the same
// three-over-six rule the graph draws; days without a body temperature, and readings she
// left out, count in neither the shift nor the means. `today`, when given and not before the
// last day recorded, is the running cycle's last day.
QList<CycleRecord> cycleRecords(const std::vector<DiaryDb::CycleDay> &days,
                                const std::optional<QDate> &today = std::nullopt);

// What a cycle tells her, in plain words, for the findings it has: a short high phase
// (a reason to see a doctor), a running high phase long enough for a pregnancy test, a
// positive pregnancy test. Empty when there is nothing to tell.
QStringList cycleFindings(const CycleRecord &cycle);

// What the last `count` complete cycles (newest first in `cycles`) have in common.
struct CycleSummary
{
    int cycles = 0;      // the complete cycles taken, at most `count`
    bool enough = false; // three or more: fewer say nothing reliable
    double meanLength = 0;
    int shortest = 0;
    int longest = 0;
    std::optional<double> meanLuteal; // of the high phases, over the cycles with a confirmed shift
};
CycleSummary summarizeCycles(const QList<CycleRecord> &cycles, int count);

// The cycle length the summary of the last 6 suggests: its mean, rounded to whole days; 0
// when it says nothing.
int suggestedCycleLength(const CycleSummary &lastSix);

} // namespace nerina
