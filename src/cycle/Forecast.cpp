#include "Forecast.h"

#include "common/AppError.h"
#include "common/Conversions.h"

namespace nerina {

namespace {

const QString kNotice = QStringLiteral("前回月経日未登録　もしくは妊娠した可能性があります");
constexpr int kPeriodReach = 2; // days from one period day to the next within one period

bool samePeriod(const QDate &earlier, const QDate &later) { return earlier.daysTo(later) <= kPeriodReach; }

} // namespace

bool isFertileDay(qint64 n, int cycleLength)
{
    const double half = cycleLength / 2.0;
    return n >= half - 2 && n <= half + 3;
}

QString cyclePanelText(const QString &cycleDays)
{
    return QStringLiteral("月経周期：　") + cycleDays + QStringLiteral("日");
}

bool acceptedCycleLength(int days) { return days > 10 && days < 60; }

std::optional<QString> cycleLengthProblem(const QString &typed)
{
    if (!isNumeric(typed))
        return QStringLiteral("数値を入力して下さい。");
    if (!acceptedCycleLength(toInt16(typed)))
        return QStringLiteral("数値が不正です。");
    return std::nullopt;
}

QList<int> periodStarts(const QList<bool> &periodDays)
{
    QList<int> starts;
    int last = -1; // the period day before, if any
    for (int i = 0; i < periodDays.size(); ++i) {
        if (!periodDays[i])
            continue;
        if (last < 0 || i - last > kPeriodReach)
            starts.append(i);
        last = i;
    }
    return starts;
}

std::optional<QDate> lastPeriodStart(const std::vector<QDate> &periodDays)
{
    if (periodDays.empty())
        return std::nullopt;
    QDate start = periodDays.front();
    for (std::size_t i = 1; i < periodDays.size(); ++i) {
        if (!samePeriod(periodDays[i], start))
            break;
        start = std::min(start, periodDays[i]);
    }
    return start;
}

ForecastResult forecastFor(const std::optional<QDate> &periodStart, const QDate &selected, const QString &cycleDays)
{
    ForecastResult out;
    // Without a recorded period the count starts at the zero date, far in the past.
    QDate p(1899, 12, 30);
    try {
        if (!periodStart) {
            out.nextPeriod = kNotice;
        } else {
            p = *periodStart;
            const int k = toInt16(cycleDays);
            const QDate lastAwaited = dateSerial(selected.year(), selected.month(), selected.day() - k);
            if (p <= lastAwaited) {
                out.nextPeriod = kNotice;
            } else {
                const QDate next = dateSerial(p.year(), p.month(), p.day() + k);
                out.nextPeriod = QStringLiteral("次回月経予定日は") + japaneseLongDate(next) + QStringLiteral("です");
            }
        }

        const qint64 d = daysBetween(p, selected);
        out.dayKind
            = isFertileDay(d, toInt16(cycleDays)) ? QStringLiteral("妊娠可能日です") : QStringLiteral("通常日です");
    } catch (const AppError &e) {
        out.error = e.message();
    }
    return out;
}

} // namespace nerina
