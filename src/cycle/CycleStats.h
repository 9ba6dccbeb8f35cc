#pragma once

#include "records/DiaryDb.h"

#include <QDate>
#include <QList>

#include <optional>
#include <vector>

namespace nerina {

// One cycle of the diary: from the first day of a period (where the forecast begins a
// cycle) to the day before the next one.
struct CycleRecord
{
    QDate start;
    QDate end; // the last day; for the cycle still running, the last day recorded
    bool running = false;
    int length = 0;                  // days from start to end, both counted
    int periodLength = 0;            // days from start to the last period day of its period
    std::optional<QDate> shiftDay;   // the first high reading of a confirmed temperature shift
    std::optional<int> lutealLength; // days from the shift day to the end, both counted
    std::optional<double> lowMean;   // mean of the readings before the shift day
    std::optional<double> highMean;  // mean of the readings from the shift day on

    bool operator==(const CycleRecord &) const = default;
};

// The cycles of a whole diary (its days oldest first, as DiaryDb::cycleDays gives them),
// newest first. Days before the first period begin no cycle. A shift is found by the same
// three-over-six rule the graph draws; days without a body temperature are left out of it and
// of the means.
QList<CycleRecord> cycleRecords(const std::vector<DiaryDb::CycleDay> &days);

// What the last `count` complete cycles (newest first in `cycles`) have in common.
struct CycleSummary
{
    int cycles = 0;      // the complete cycles taken, at most `count`
    bool enough = false; // three or more: fewer say nothing reliable
    double meanLength = 0;
    int shortest = 0;
    int longest = 0;
    std::optional<double> meanLuteal; // over the cycles with a confirmed shift
};
CycleSummary summarizeCycles(const QList<CycleRecord> &cycles, int count);

// The cycle length the summary of the last 6 suggests: its mean, rounded to whole days; 0
// when it says nothing.
int suggestedCycleLength(const CycleSummary &lastSix);

} // namespace nerina
