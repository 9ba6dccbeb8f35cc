#pragma once

#include "ReportData.h"

#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;

namespace nerina {

// The report's pages measure in dots of this many to the inch; reportMm converts.
inline constexpr int kReportResolution = 1200;
double reportMm(double millimetres);
// The design's font at a size for paper.
QFont reportFont(double points, bool bold = false);

// The days one page of the chart holds, at the same width on every page so that cycles
// compare at a glance; a longer cycle continues on the next page.
inline constexpr int kChartDays = 40;

// How many pages the chart of a cycle takes.
int chartPages(const ReportCycle &cycle);

// Page `part` (0 for its first days) of a cycle's basal temperature chart, drawn into
// `page` (origin at its top left corner): the header with the cycle in one line, the
// temperature curve on its grid, one row a day for the period, bleeding, intercourse,
// mucus, the tests, the medicine and the notes, and the legend. `pageText` is "3 / 8".
void drawChartPage(QPainter &painter, const QRectF &page, const ReportCycle &cycle, int part, const QString &pageText);

// The marks explained in the clinic's words, in lines for a page: those of the chart, or
// only those of the rows of days.
QStringList reportLegend(bool chart);

// The text of a period day's strength: "＋＋＋" heavy, "＋＋" normal, "＋" light.
QString bleedingMarks(const std::optional<Bleeding> &bleeding);

// The text of a test's result: "＋" positive, "－" negative, nothing when not taken.
QString testMark(const std::optional<TestResult> &result);

// A day's notes: the reason a reading was left out, then the condition.
QString dayNotes(const ReportDay &day);

} // namespace nerina
