#include "GraphReport.h"

#include "common/AppError.h"
#include "common/Dialogs.h"
#include "common/Fonts.h"
#include "history/HistoryRows.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <iterator>

namespace nerina {

namespace {

constexpr int kResolution = 1200; // dots per inch of the page's coordinates
constexpr double mm(double millimetres) { return millimetres * kResolution / 25.4; }

constexpr double kMargin = 12;          // mm on every side
constexpr double kRowHeight = 5.2;      // mm, a line of the table
constexpr double kCellPadding = 2;      // mm inside each cell
constexpr double kFooterHeight = 8;     // mm kept at the bottom for the page number
constexpr double kTitleGap = 1.5;       // mm below a page's title
constexpr double kNoteGap = 2;          // mm below the marks' explanation
constexpr double kChartGap = 4;         // mm between the title and the chart
constexpr double kSummaryGap = 8;       // mm between the table and the cycle summary
constexpr double kSummaryLineGap = 1.5; // mm

const QColor kRule(0xb0, 0xb0, 0xb0);
const QColor kHeaderFill(0xe6, 0xe6, 0xe6);
const QColor kStripe(0xf5, 0xf5, 0xf5);

QFont font(double points, bool bold = false)
{
    QFont f = designFont();
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

double lineHeight(const QFont &font, QPaintDevice *device) { return QFontMetricsF(font, device).height(); }

// The columns of the table, left to right: header, width in mm (the condition takes what
// is left) and alignment.
struct Column
{
    QString header;
    double width;
    Qt::Alignment align;
};
const Column kColumns[] = {
    {QStringLiteral("日付"), 30, Qt::AlignLeft},     {QStringLiteral("曜日"), 14, Qt::AlignHCenter},
    {QStringLiteral("体温(℃)"), 22, Qt::AlignRight}, {QStringLiteral("体調"), 0, Qt::AlignLeft},
    {QStringLiteral("印"), 22, Qt::AlignHCenter},
};
constexpr int kColumnCount = int(std::size(kColumns));

// The cells of one line of a table `width` wide at `top`, inside their padding.
QList<QRectF> cellRects(double width, double top)
{
    double fixed = 0;
    for (const Column &c : kColumns)
        fixed += mm(c.width);
    QList<QRectF> cells;
    double left = 0;
    for (const Column &c : kColumns) {
        const double w = c.width > 0 ? mm(c.width) : width - fixed;
        cells.append(QRectF(left + mm(kCellPadding), top, w - 2 * mm(kCellPadding), mm(kRowHeight)));
        left += w;
    }
    return cells;
}

// What stands above the rows on every page of the table: a title, the marks explained,
// the column headers.
double tableHeaderHeight(QPaintDevice *device)
{
    return lineHeight(font(12, true), device) + mm(kTitleGap) + lineHeight(font(8), device) + mm(kNoteGap)
           + mm(kRowHeight);
}

QPageLayout a4(QPageLayout::Orientation orientation)
{
    return QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(kMargin, kMargin, kMargin, kMargin),
                       QPageLayout::Millimeter);
}

// The printable area of a page, with the origin at its top left corner, where the
// painter's origin is.
QRectF pageArea(const QPageLayout &layout) { return QRectF(QPointF(0, 0), layout.paintRectPixels(kResolution).size()); }

} // namespace

GraphReport::GraphReport(GraphData data, ChartPainter drawChart, QStringList cycleSummary)
    : m_data(std::move(data)), m_drawChart(std::move(drawChart)), m_cycleSummary(std::move(cycleSummary))
{ }

QString GraphReport::rangeText() const { return m_data.firstDay() + QStringLiteral(" ～ ") + m_data.lastDay(); }

QByteArray GraphReport::pdf() const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kResolution);
    writer.setTitle(rangeText() + QStringLiteral(" の基礎体温グラフ"));
    writer.setCreator(Dialogs::programTitle());
    writer.setPageLayout(a4(QPageLayout::Landscape));
    QPainter painter;
    if (!painter.begin(&writer))
        throw AppError(QStringLiteral("PDF を作れませんでした。"));

    // The pages are planned first, so that each can say how many there are.
    const QList<ReportRow> rows = reportRows(m_data);
    const QRectF portrait = pageArea(a4(QPageLayout::Portrait));
    const double rowsTop = tableHeaderHeight(&writer);
    const double bottom = portrait.height() - mm(kFooterHeight);
    const int perPage = std::max(1, int((bottom - rowsTop) / mm(kRowHeight)));
    const int tablePages = std::max(1, int((rows.size() + perPage - 1) / perPage));
    const qsizetype lastRows = rows.size() - qsizetype(tablePages - 1) * perPage;
    const double summaryHeight = drawSummary(nullptr, &writer, 0, portrait.width());
    const double lastTop = rowsTop + double(lastRows) * mm(kRowHeight) + mm(kSummaryGap);
    const bool summaryAlone = summaryHeight > 0 && lastTop + summaryHeight > bottom;
    const int pages = 1 + tablePages + (summaryAlone ? 1 : 0);

    drawChartPage(painter, pageArea(writer.pageLayout()));
    drawFooter(painter, pageArea(writer.pageLayout()), 1, pages);

    writer.setPageLayout(a4(QPageLayout::Portrait));
    for (int page = 0; page < tablePages; ++page) {
        writer.newPage();
        drawTableHeader(painter, portrait);
        const qsizetype first = qsizetype(page) * perPage;
        drawRows(painter, portrait.width(), rows.mid(first, perPage), rowsTop);
        drawFooter(painter, portrait, 2 + page, pages);
    }
    if (summaryHeight > 0) {
        if (summaryAlone) {
            writer.newPage();
            drawFooter(painter, portrait, pages, pages);
        }
        drawSummary(&painter, &writer, summaryAlone ? 0 : lastTop, portrait.width());
    }

    if (!painter.end())
        throw AppError(QStringLiteral("PDF を作れませんでした。"));
    return buffer.data();
}

void GraphReport::drawChartPage(QPainter &painter, const QRectF &page) const
{
    const QFont title = font(16, true);
    const double titleHeight = lineHeight(title, painter.device());
    painter.setPen(Qt::black);
    painter.setFont(title);
    painter.drawText(QRectF(0, 0, page.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     rangeText() + QStringLiteral(" の基礎体温グラフ"));

    const double top = titleHeight + mm(kChartGap);
    if (m_drawChart) {
        painter.save();
        m_drawChart(painter, QRectF(0, top, page.width(), page.height() - top - mm(kFooterHeight)));
        painter.restore();
    }
}

void GraphReport::drawTableHeader(QPainter &painter, const QRectF &page) const
{
    double y = 0;
    auto line = [&](const QFont &f, const QString &text, double gap) {
        const double height = lineHeight(f, painter.device());
        painter.setFont(f);
        painter.drawText(QRectF(0, y, page.width(), height), Qt::AlignLeft | Qt::AlignVCenter, text);
        y += height + mm(gap);
    };
    painter.setPen(Qt::black);
    line(font(12, true), rangeText() + QStringLiteral(" の基礎体温（毎日の記録）"), kTitleGap);
    line(font(8), QStringLiteral("印：%1 月経　%2 妊娠可能日　%3 SEX").arg(kPeriodMark, kFertileMark, kLoveMark),
         kNoteGap);

    const QList<QRectF> cells = cellRects(page.width(), y);
    painter.fillRect(QRectF(0, y, page.width(), mm(kRowHeight)), kHeaderFill);
    painter.setFont(font(9, true));
    for (int c = 0; c < kColumnCount; ++c)
        painter.drawText(cells[c], int(kColumns[c].align | Qt::AlignVCenter), kColumns[c].header);
    painter.setPen(QPen(Qt::black, mm(0.25)));
    painter.drawLine(QPointF(0, y + mm(kRowHeight)), QPointF(page.width(), y + mm(kRowHeight)));
}

void GraphReport::drawRows(QPainter &painter, double width, const QList<ReportRow> &rows, double top) const
{
    painter.setFont(font(9));
    const QFontMetricsF metrics(painter.font(), painter.device());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const ReportRow &row = rows[i];
        const QRectF line(0, top + double(i) * mm(kRowHeight), width, mm(kRowHeight));
        if (i % 2 == 1)
            painter.fillRect(line, kStripe);
        painter.setPen(QPen(kRule, mm(0.15)));
        painter.drawLine(line.bottomLeft(), line.bottomRight());
        painter.setPen(Qt::black);
        const QString texts[] = {row.date, row.weekday, row.temperature, row.condition, row.marks};
        const QList<QRectF> cells = cellRects(width, line.top());
        for (int c = 0; c < kColumnCount; ++c)
            // One line a day: a condition too long for its column ends in "…".
            painter.drawText(cells[c], int(kColumns[c].align | Qt::AlignVCenter),
                             metrics.elidedText(texts[c], Qt::ElideRight, cells[c].width()));
    }
}

double GraphReport::drawSummary(QPainter *painter, QPaintDevice *device, double top, double width) const
{
    if (m_cycleSummary.isEmpty())
        return 0;
    double y = top;
    auto text = [&](const QFont &f, const QString &line, double gap) {
        const QRectF rect = QFontMetricsF(f, device).boundingRect(QRectF(0, y, width, mm(200)), Qt::TextWordWrap, line);
        if (painter) {
            painter->setPen(Qt::black);
            painter->setFont(f);
            painter->drawText(QRectF(0, y, width, rect.height()), Qt::TextWordWrap, line);
        }
        y += rect.height() + mm(gap);
    };
    text(font(11, true), QStringLiteral("月経周期の記録"), kTitleGap);
    for (const QString &line : m_cycleSummary)
        text(font(9), line, kSummaryLineGap);
    return y - top;
}

void GraphReport::drawFooter(QPainter &painter, const QRectF &page, int number, int pages) const
{
    painter.setPen(Qt::black);
    painter.setFont(font(8));
    painter.drawText(QRectF(0, page.height() - mm(kFooterHeight), page.width(), mm(kFooterHeight)),
                     Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("%1 / %2").arg(number).arg(pages));
}

} // namespace nerina
