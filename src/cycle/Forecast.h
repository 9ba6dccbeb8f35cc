#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace nerina {

// The fertile window: whether the day n days after the first day of a period (n = 0) is
// fertile for a cycle of `cycleLength` days: L/2 - 2 <= n <= L/2 + 3, halved in real
// arithmetic (L = 30: n = 13 to 18; L = 29: n = 13 to 17). The list and the forecast
// both mark fertile days by it.
bool isFertileDay(qint64 n, int cycleLength);

// Status bar panel 1: the cycle length as the user set it.
QString cyclePanelText(const QString &cycleDays);

// The cycle setting takes 11 to 59 days.
bool acceptedCycleLength(int days);

// What the cycle setting's warning says of a length as typed: that it is no number, or
// that it lies outside the accepted days once rounded; none when it is taken. Throws
// AppError when the number does not fit 16 bits.
std::optional<QString> cycleLengthProblem(const QString &typed);

// The first day of each period in a series of days, oldest first (one flag a day, true on
// a period day), as indexes into it. Period days belong to one period while at most one day
// lies between two of them: a day left unrecorded, or a day of spotting without the mark,
// does not begin a new cycle. The forecast, the temperature shift and the cycle record all
// begin a cycle there.
QList<int> periodStarts(const QList<bool> &periodDays);

// The first day of the most recent period: the newest period day, followed back over the
// period days of the same period. None when no period day is known. `periodDays` must be
// ordered newest first.
std::optional<QDate> lastPeriodStart(const std::vector<QDate> &periodDays);

// What the status bar says about the next period and about the selected day.
struct ForecastResult
{
    QString nextPeriod;             // panel 2: the expected day, or the notice
    std::optional<QString> dayKind; // panel 3: fertile or ordinary; none after an error
    std::optional<QString> error;   // the error that ended the forecast early
};

// The forecast for the selected day from the start of the last period and the cycle
// length as text (rounded to a 16-bit integer). An error ends the work where it happens:
// what was reached by then is kept, as the status bar shows it.
ForecastResult forecastFor(const std::optional<QDate> &periodStart, const QDate &selected, const QString &cycleDays);

} // namespace nerina
