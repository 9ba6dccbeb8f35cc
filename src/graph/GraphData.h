#pragma once

#include "cycle/TemperatureShift.h"
#include "records/DaySigns.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <optional>

namespace nerina {

// What the graph shows, taken from the list's cells: the title line's two days and one
// point a day, the oldest day first.
struct GraphData
{
    static constexpr int kPoints = 180;
    static constexpr double kNoTemperature = 36.5; // where a day without a temperature is drawn

    QList<double> values; // kPoints values
    QStringList labels;   // kPoints labels "9/8"

    // The same days in full, for the marks drawn under the curve and the tooltips.
    QStringList days;                   // "2024/3/5"
    QStringList weekdays;               // "火"
    QList<std::optional<int>> readings; // hundredths of a degree; none when not measured
    QList<bool> period;                 // the list shows "●"
    QList<bool> fertile;                // the list shows "★"
    QList<bool> love;                   // the list shows "◎"
    QList<TemperatureShift> shifts;     // confirmed rises, with their coverlines

    // Of the days' signs, what the graph draws; all false until addSigns.
    QList<bool> excluded;       // she left the reading out: drawn apart, skipped by the shift
    QStringList excludeReasons; // why, in her words; may be empty
    QList<bool> lhPositive;     // a positive ovulation test
    QList<bool> spotting;       // bleeding outside a period

    // The title line's two days: the oldest and the selected day.
    QString firstDay() const { return days.value(0); }
    QString lastDay() const { return days.value(days.size() - 1); }
};

// Reads the list's rows 1..180 (row 1 the selected day, row 180 the oldest) through
// `cell(row, col)`: columns 0..2 are year, month and day, column 4 the temperature text,
// columns 6 and 7 the marks.
GraphData graphDataFromCells(const std::function<QString(int row, int col)> &cell);

// Adds the signs of the graph's days (keyed by day; the list does not hold them) and finds
// the shifts again without the readings she left out.
void addSigns(GraphData &data, const std::map<QDate, DaySigns> &signs);

// What pointing at point i (0 = the oldest day) tells: "2024/3/5  36.45℃  ●◎", and the
// signs the graph draws: "2024/3/5  37.80℃（除外：発熱）  不正出血  排卵検査薬 陽性".
QString dayToolTip(const GraphData &data, int i);

// The marks of point i as the list shows them, in the list's order: "●◎".
QString dayMarks(const GraphData &data, int i);

// The name the PDF is offered under: "基礎体温_20230908-20240305.pdf", the graph's first
// and last day.
QString reportFileName(const GraphData &data);

// Which points carry a date on the time axis: every 15th day counted back from the
// selected day, and the oldest day. Point numbers start at 1.
QList<int> labelledPoints(int points);

} // namespace nerina
