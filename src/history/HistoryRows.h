#pragma once

#include "records/DayRecord.h"

#include <QDate>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// The list of recent days as plain data: the texts of the grid's eight columns for each
// listed day, and the fertile-window marks. Nothing here touches a widget or the diary.
namespace nerina {

inline constexpr int kHistoryDays = 180;
inline constexpr int kHistoryColumns = 8;

// Columns of the list: 年 月 日 曜 体温 体調 CD SEX.
enum HistoryColumn : int {
    ColYear = 0,
    ColMonth = 1,
    ColDay = 2,
    ColWeekday = 3,
    ColTemp = 4,
    ColCondition = 5,
    ColMark = 6,
    ColLove = 7,
};

extern const QString kPeriodMark;  // period day
extern const QString kLoveMark;    // intercourse
extern const QString kFertileMark; // fertile-window day

using HistoryRow = std::array<QString, kHistoryColumns>;

// The oldest day the list's query asks for: 180 days before the selected day. Its own
// entry is read but shown by no row, as the last row is 179 days back.
QDate historyCutOff(const QDate &selected);

// The day shown by list row `row` (1 = the selected day, 180 = 179 days before it).
QDate historyDay(const QDate &selected, int row);

// "#0.00" with a "." separator; no temperature (none stored, or 0) is the empty text.
QString temperatureText(const std::optional<double> &temp);

// The 180 rows ending with the selected day, newest first; rows[0] is list row 1.
// `newestFirst` are the diary entries from the cut-off day on, newest first. Only the
// row of an entry's own calendar day takes it; entries later than the selected day, a
// second entry for a day already taken and entries without a valid day are passed over,
// so none of them keeps the rows after it from being filled.
std::vector<HistoryRow> historyRows(const QDate &selected, const std::vector<DayRecord> &newestFirst);

// One pass from the oldest row (the last) to the newest (the first): the first period
// mark met while looking for a start begins a period; the days L/2 - 2 <= n <= L/2 + 3
// after it get the fertile mark, and from the first of them on the next period mark
// begins a new period. Only the mark column is read besides the date columns, and only
// the mark column is written. The cycle length text is converted once a period has
// begun. Throws AppError on a date or cycle text that does not convert; the rows marked
// until then keep their marks.
void markFertileDays(std::vector<HistoryRow> &rows, const QString &cycleDays);

} // namespace nerina
