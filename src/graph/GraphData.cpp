#include "GraphData.h"

#include "common/Conversions.h"
#include "history/HistoryRows.h"
#include "records/DayRecord.h"

#include <QDate>

#include <cmath>

namespace nerina {

namespace {

// Hundredths of a degree from a temperature cell of the list; none for an empty cell, "0",
// another tool's text or any number no body temperature can be, which the list shows as
// stored: such a day is drawn as one without a reading.
std::optional<int> readingFromText(const QString &text)
{
    const std::optional<double> value = numberIn(text);
    if (!value || !isBodyTemperature(*value))
        return std::nullopt;
    return int(std::lround(*value * 100.0));
}

} // namespace

GraphData graphDataFromCells(const std::function<QString(int row, int col)> &cell)
{
    const int n = GraphData::kPoints;
    GraphData data;
    data.values.reserve(n);
    data.labels.reserve(n);
    for (int i = 1; i <= n; ++i) {
        const int row = n + 1 - i;
        const std::optional<int> reading = readingFromText(cell(row, ColTemp));
        const QString mark = cell(row, ColMark);
        data.readings.append(reading);
        data.values.append(reading ? *reading / 100.0 : GraphData::kNoTemperature);
        data.labels.append(cell(row, 1) + QLatin1Char('/') + cell(row, 2));
        data.days.append(cell(row, 0) + QLatin1Char('/') + data.labels.last());
        data.weekdays.append(cell(row, ColWeekday));
        data.period.append(mark == kPeriodMark);
        data.fertile.append(mark == kFertileMark);
        data.love.append(cell(row, ColLove) == kLoveMark);
    }
    data.excluded.fill(false, n);
    data.excludeReasons.fill(QString(), n);
    data.lhPositive.fill(false, n);
    data.spotting.fill(false, n);
    data.shifts = findTemperatureShifts(data.readings, data.period);
    return data;
}

void addSigns(GraphData &data, const std::map<QDate, DaySigns> &signs)
{
    for (int i = 0; i < data.days.size(); ++i) {
        const auto found = signs.find(QDate::fromString(data.days[i], QStringLiteral("yyyy/M/d")));
        if (found == signs.end())
            continue;
        const DaySigns &s = found->second;
        data.excluded[i] = s.excluded;
        data.excludeReasons[i] = s.excluded ? s.excludeReason : QString();
        data.lhPositive[i] = s.lhTest == TestResult::Positive;
        data.spotting[i] = s.spotting;
    }
    data.shifts = findTemperatureShifts(data.readings, data.period, data.excluded);
}

QString dayToolTip(const GraphData &data, int i)
{
    if (i < 0 || i >= data.days.size())
        return QString();
    QString text = data.days[i] + QStringLiteral("  ");
    if (const std::optional<int> reading = data.readings[i])
        text += QString::number(*reading / 100.0, 'f', 2) + QStringLiteral("℃");
    else
        text += QStringLiteral("体温の記録なし");
    if (data.excluded.value(i)) {
        const QString reason = data.excludeReasons.value(i);
        text += reason.isEmpty() ? QStringLiteral("（除外）") : QStringLiteral("（除外：%1）").arg(reason);
    }
    const QString marks = dayMarks(data, i);
    if (!marks.isEmpty())
        text += QStringLiteral("  ") + marks;
    if (data.spotting.value(i))
        text += QStringLiteral("  不正出血");
    if (data.lhPositive.value(i))
        text += QStringLiteral("  排卵検査薬 ") + signText(TestResult::Positive);
    return text;
}

QString dayMarks(const GraphData &data, int i)
{
    QString marks;
    if (data.period[i])
        marks += kPeriodMark;
    if (data.fertile[i])
        marks += kFertileMark;
    if (data.love[i])
        marks += kLoveMark;
    return marks;
}

QString reportFileName(const GraphData &data)
{
    const QString format = QStringLiteral("yyyy/M/d");
    const QDate first = QDate::fromString(data.firstDay(), format);
    const QDate last = QDate::fromString(data.lastDay(), format);
    if (!first.isValid() || !last.isValid())
        return QStringLiteral("基礎体温.pdf");
    return QStringLiteral("基礎体温_%1-%2.pdf")
        .arg(first.toString(QStringLiteral("yyyyMMdd")), last.toString(QStringLiteral("yyyyMMdd")));
}

QList<int> labelledPoints(int points)
{
    QList<int> out;
    if (points <= 0)
        return out;
    for (int i = points; i >= 1; i -= 15)
        out.prepend(i);
    // The oldest day too, unless a label already stands close to it.
    if (out.first() > 5)
        out.prepend(1);
    return out;
}

} // namespace nerina
