#include "HistoryRows.h"

#include "common/AppError.h"
#include "common/Conversions.h"
#include "cycle/Forecast.h"

#include <optional>

namespace nerina {

const QString kPeriodMark = QStringLiteral("●");
const QString kLoveMark = QStringLiteral("◎");
const QString kFertileMark = QStringLiteral("★");

QDate historyCutOff(const QDate &selected)
{
    return dateSerial(selected.year(), selected.month(), selected.day() - kHistoryDays);
}

QDate historyDay(const QDate &selected, int row)
{
    return dateSerial(selected.year(), selected.month(), selected.day() - (row - 1));
}

QString temperatureText(const std::optional<double> &temp)
{
    if (!temp || *temp == 0)
        return QString();
    // Always "." whatever the system's locale: the graph reads the text back that way.
    return QString::number(*temp, 'f', 2);
}

std::vector<HistoryRow> historyRows(const QDate &selected, const std::vector<DayRecord> &newestFirst)
{
    std::vector<HistoryRow> rows(kHistoryDays);
    std::size_t next = 0;
    for (int r = 1; r <= kHistoryDays; ++r) {
        HistoryRow &row = rows[std::size_t(r - 1)];
        const QDate day = historyDay(selected, r);
        row[ColYear] = QString::number(day.year());
        row[ColMonth] = QString::number(day.month());
        row[ColDay] = QString::number(day.day());
        row[ColWeekday] = weekdayCharacter(day);

        // Both run from the newest day back. Whatever lies after this row's day can no
        // longer be shown: a later day than the selected one, or a second entry for a
        // day that a row has already taken.
        while (next < newestFirst.size() && (!newestFirst[next].DAT_DATE.isValid() || newestFirst[next].DAT_DATE > day))
            ++next;
        if (next < newestFirst.size() && newestFirst[next].DAT_DATE == day) {
            const DayRecord &entry = newestFirst[next];
            // Another tool's text as it is stored; a number, also one the text reads as, as a number.
            row[ColTemp]
                = entry.TEMP || !entry.storedTemp.isValid() ? temperatureText(entry.TEMP) : entry.storedTemp.toString();
            row[ColCondition] = entry.CONDITION.value_or(QString());
            if (entry.GUEST)
                row[ColMark] = kPeriodMark;
            if (entry.LOVE)
                row[ColLove] = kLoveMark;
            ++next;
        }
    }
    return rows;
}

void markFertileDays(std::vector<HistoryRow> &rows, const QString &cycleDays)
{
    bool lookingForStart = true;
    std::optional<QDate> periodStart;
    std::optional<int> cycle; // read once a period has begun

    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        HistoryRow &row = *it;
        const QDate day = dateSerial(toInt16(row[ColYear]), toInt16(row[ColMonth]), toInt16(row[ColDay]));
        if (lookingForStart && row[ColMark] == kPeriodMark) {
            periodStart = day;
            lookingForStart = false;
        }
        if (!periodStart)
            continue;
        if (!cycle)
            cycle = toInt16(cycleDays);
        if (isFertileDay(daysBetween(*periodStart, day), *cycle)) {
            row[ColMark] = kFertileMark;
            lookingForStart = true;
        }
    }
}

} // namespace nerina
