#pragma once

#include "ReportData.h"

#include <QByteArray>
#include <QRectF>
#include <QStringList>

class QPaintDevice;
class QPainter;

namespace nerina {

// The PDF to hand to a doctor, on landscape A4 pages: the basal temperature chart of each
// cycle as clinics read it, then the graph's days as a table with the header repeated,
// then the summary of the cycles. Everything is drawn as vectors with the text kept as
// text in an embedded font, so the file can be zoomed and searched.
class GraphReport final
{
public:
    explicit GraphReport(ReportData data);

    // The whole file. Throws AppError when it cannot be made.
    QByteArray pdf() const;

private:
    // Pages are painted with the origin at the top left corner of the printable area.
    double drawTableHeader(QPainter &painter, const QRectF &page) const;
    void drawRows(QPainter &painter, double width, const QList<ReportDay> &days, double top) const;
    // Paints the summary from `top` when given a painter; returns its height either way,
    // 0 without a summary.
    double drawSummary(QPainter *painter, QPaintDevice *device, double top, double width) const;
    QStringList summaryLines() const;
    QString rangeText() const; // "2023/9/8 ～ 2024/3/5"

    ReportData m_data;
};

} // namespace nerina
