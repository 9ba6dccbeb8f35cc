#pragma once

#include "cycle/CycleStats.h"
#include "cycle/TemperatureShift.h"
#include "records/DayRecord.h"
#include "records/DaySigns.h"

#include <QDate>
#include <QList>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

// The PDF of the graph as plain data: the basal temperature chart a clinic reads, one
// cycle at a time, and the graph's days as a table. Nothing here touches a widget or the
// diary; the diary's rows and signs are handed in.
namespace nerina {

// Which cycles the chart holds: those that overlap the graph's days, or the last three or
// six that began by the graph's last day.
enum class ReportScope { GraphDays, LastThree, LastSix };

// One day as the report shows it.
struct ReportDay
{
    QDate date;
    std::optional<int> reading; // hundredths of a degree; none when not measured
    bool period = false;
    bool love = false;
    QString condition;
    DaySigns signs;
};

// One cycle of the chart: a day for each calendar day from its first period day to its
// last day, and its summary as the cycle record gives it, with its temperature shift (days
// as indexes into `days`) when one is confirmed.
struct ReportCycle
{
    CycleRecord summary;
    QList<ReportDay> days;
    // The temperature axis in hundredths of a degree: 35.50-37.50, as clinics print it;
    // only when most readings of the cycle lie outside it does it widen as far as they
    // need, up to the screen graph's 34.50-38.50.
    int axisLow = 3550;
    int axisHigh = 3750;
};

struct ReportData
{
    QList<ReportCycle> cycles; // oldest first
    QList<ReportDay> days;     // the graph's days, oldest first, for the table
    QStringList cycleSummary;  // the cycle record's summary lines; none leaves them out
};

// The cycles a report charts and the days it must read for them and for its table.
struct ReportPlan
{
    struct Cycle
    {
        QDate start;
        QDate end; // the day before the next period start; today for the running cycle
        bool running = false;

        bool operator==(const Cycle &) const = default;
    };
    QList<Cycle> cycles; // oldest first
    QDate from;          // the days to read: from the first cycle's start or the graph's first day,
    QDate upTo;          // whichever is earlier, to the last cycle's end or the graph's last day up to today

    bool operator==(const ReportPlan &) const = default;
};

// The plan for the graph's days [first, last] from the diary's period days (in any order).
// Cycles begin where the forecast and the cycle record begin them; only days up to `today`
// count, so a period day entered ahead of time never begins a cycle.
ReportPlan reportPlan(const std::vector<QDate> &periodDays, ReportScope scope, const QDate &first, const QDate &last,
                      const QDate &today);

// The report from the diary's rows of the plan's days (as DiaryDb::daysBetween gives them)
// and the signs of those days, for the graph's days [first, last]. A row's temperature is
// a reading only when it is a body temperature; a reading she left out is kept, with its
// reason, but counts in neither the shift nor the means.
ReportData reportData(const ReportPlan &plan, const std::vector<DayRecord> &rows,
                      const std::map<QDate, DaySigns> &signs, const QDate &first, const QDate &last);

// A cycle in one line: "周期 28日　月経 6日　高温期 15日目から 14日　低温期 36.32℃　高温期 36.85℃".
QString cycleLine(const CycleRecord &cycle);

// The short words of the chart's mucus row, explained by the legend in her words.
QString mucusShortText(Mucus mucus);

} // namespace nerina
