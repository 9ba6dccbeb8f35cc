#include "ReportData.h"

#include "cycle/Forecast.h"

#include <algorithm>
#include <cmath>

namespace nerina {

namespace {

// Only a body temperature is a reading: a slip of the keys (3.65, 365) would otherwise
// pull the curve and the means far off the chart.
std::optional<int> bodyTemperature(const std::optional<double> &temp)
{
    if (!temp || !isBodyTemperature(*temp))
        return std::nullopt;
    return int(std::lround(*temp * 100));
}

void setAxis(ReportCycle &cycle)
{
    int readings = 0, outside = 0, low = cycle.axisLow, high = cycle.axisHigh;
    for (const ReportDay &d : std::as_const(cycle.days)) {
        if (!d.reading)
            continue;
        ++readings;
        if (*d.reading < cycle.axisLow || *d.reading > cycle.axisHigh)
            ++outside;
        low = std::min(low, *d.reading / 50 * 50);
        high = std::max(high, (*d.reading + 49) / 50 * 50);
    }
    if (2 * outside > readings) {
        cycle.axisLow = std::max(low, 3450);
        cycle.axisHigh = std::min(high, 3850);
    }
}

} // namespace

ReportPlan reportPlan(const std::vector<QDate> &periodDays, ReportScope scope, const QDate &first, const QDate &last,
                      const QDate &today)
{
    // The period days up to today as one flag a calendar day, from the oldest on: the
    // series the one rule of where a period begins reads.
    QDate oldest;
    for (const QDate &d : periodDays) {
        if (d <= today && (!oldest.isValid() || d < oldest))
            oldest = d;
    }
    QList<QDate> starts;
    if (oldest.isValid()) {
        QList<bool> flags(oldest.daysTo(today) + 1, false);
        for (const QDate &d : periodDays) {
            if (d <= today)
                flags[oldest.daysTo(d)] = true;
        }
        for (int i : periodStarts(flags))
            starts.append(oldest.addDays(i));
    }

    ReportPlan plan;
    const QDate lastSeen = std::min(last, today);
    for (qsizetype c = 0; c < starts.size(); ++c) {
        const bool running = c + 1 == starts.size();
        const ReportPlan::Cycle cycle {starts[c], running ? today : starts[c + 1].addDays(-1), running};
        if (cycle.start <= lastSeen && (scope != ReportScope::GraphDays || cycle.end >= first))
            plan.cycles.append(cycle);
    }
    if (scope != ReportScope::GraphDays) {
        const qsizetype keep = scope == ReportScope::LastThree ? 3 : 6;
        plan.cycles = plan.cycles.mid(std::max<qsizetype>(0, plan.cycles.size() - keep));
    }
    plan.from = first;
    plan.upTo = lastSeen;
    if (!plan.cycles.isEmpty()) {
        plan.from = std::min(first, plan.cycles.first().start);
        plan.upTo = std::max(lastSeen, plan.cycles.last().end);
    }
    return plan;
}

ReportData reportData(const ReportPlan &plan, const std::vector<DayRecord> &rows,
                      const std::map<QDate, DaySigns> &signs, const QDate &first, const QDate &last)
{
    // A day's first row is its whole-day row, the one the editor shows.
    std::map<QDate, const DayRecord *> byDay;
    for (const DayRecord &r : rows)
        byDay.emplace(r.DAT_DATE, &r);
    auto day = [&](const QDate &date) {
        ReportDay out;
        out.date = date;
        if (date < plan.from || date > plan.upTo) // never a day after today
            return out;
        if (const auto row = byDay.find(date); row != byDay.end()) {
            out.reading = bodyTemperature(row->second->TEMP);
            out.period = row->second->GUEST;
            out.love = row->second->LOVE;
            out.condition = row->second->CONDITION.value_or(QString());
        }
        if (const auto s = signs.find(date); s != signs.end())
            out.signs = s->second;
        return out;
    };

    ReportData data;
    for (const ReportPlan::Cycle &span : plan.cycles) {
        ReportCycle cycle;
        std::vector<DiaryDb::CycleDay> cycleDays;
        for (QDate d = span.start; d <= span.end; d = d.addDays(1)) {
            const ReportDay &r = cycle.days.emplaceBack(day(d));
            const std::optional<double> temp = r.reading ? std::optional<double>(*r.reading / 100.0) : std::nullopt;
            cycleDays.push_back(
                {d, temp, r.period, r.signs.excluded, r.signs.mucus, r.signs.lhTest, r.signs.pregnancyTest});
        }
        // The summary and the shift as the cycle record gives them, so that the chart and the
        // record agree; the bounds are the plan's. The cycle starts on its first day, so the
        // shift's days are indexes into `days`.
        const QList<CycleRecord> records = cycleRecords(cycleDays, span.end);
        cycle.summary = records.isEmpty() ? CycleRecord {} : records.last();
        cycle.summary.start = span.start;
        cycle.summary.end = span.end;
        cycle.summary.running = span.running;
        cycle.summary.length = int(cycle.days.size());
        setAxis(cycle);
        data.cycles.append(cycle);
    }
    for (QDate d = first; d.isValid() && d <= last; d = d.addDays(1))
        data.days.append(day(d));
    return data;
}

QString cycleLine(const CycleRecord &c)
{
    QString line = QStringLiteral("周期 %1日%2　月経 %3日")
                       .arg(c.length)
                       .arg(c.running ? QStringLiteral("（継続中）") : QString())
                       .arg(c.periodLength);
    if (!c.shift || !c.highPhase)
        return line + QStringLiteral("　高温期 確認できず");
    line += QStringLiteral("　高温期 %1日目から %2日").arg(c.shift->firstHigh + 1).arg(*c.highPhase);
    const auto mean = [](const std::optional<double> &t) {
        return t ? QString::number(*t, 'f', 2) + QStringLiteral("℃") : QStringLiteral("－");
    };
    return line + QStringLiteral("　低温期 平均 %1　高温期 平均 %2").arg(mean(c.lowMean), mean(c.highMean));
}

QString mucusShortText(Mucus mucus)
{
    switch (mucus) {
    case Mucus::Dry: return QStringLiteral("乾き");
    case Mucus::Nothing: return QStringLiteral("なし");
    case Mucus::Moist: return QStringLiteral("湿り");
    case Mucus::Creamy: return QStringLiteral("白濁");
    case Mucus::Slippery: return QStringLiteral("卵白");
    }
    return QString();
}

} // namespace nerina
