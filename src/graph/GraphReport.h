#pragma once

#include "GraphData.h"

#include <QByteArray>
#include <QRectF>
#include <QStringList>

#include <functional>

class QPaintDevice;
class QPainter;

namespace nerina {

// The graph as a PDF to hand to a doctor: the title line and the chart on a landscape A4
// page, then the days as a table on portrait pages with the header repeated, then the
// summary of the cycle record. Everything is drawn as vectors with the text kept as text
// in an embedded font, so the file can be zoomed and searched.
class GraphReport
{
public:
    // Draws the chart into `target` on the painter, keeping its proportions.
    using ChartPainter = std::function<void(QPainter &painter, const QRectF &target)>;

    // `cycleSummary` are the summary lines of the cycle record; none leaves that part out.
    GraphReport(GraphData data, ChartPainter drawChart, QStringList cycleSummary);

    // The whole file. Throws AppError when it cannot be made.
    QByteArray pdf() const;

private:
    // Pages are painted with the origin at the top left corner of the printable area.
    void drawChartPage(QPainter &painter, const QRectF &page) const;
    void drawTableHeader(QPainter &painter, const QRectF &page) const;
    void drawRows(QPainter &painter, double width, const QList<ReportRow> &rows, double top) const;
    // Paints the cycle summary from `top` when given a painter; returns its height either
    // way, 0 without a summary.
    double drawSummary(QPainter *painter, QPaintDevice *device, double top, double width) const;
    void drawFooter(QPainter &painter, const QRectF &page, int number, int pages) const;
    QString rangeText() const; // "2023/9/8 ～ 2024/3/5"

    GraphData m_data;
    ChartPainter m_drawChart;
    QStringList m_cycleSummary;
};

} // namespace nerina
