#include "GraphReport.h"

#include "ChartPage.h"
#include "common/AppError.h"
#include "common/Conversions.h"
#include "common/Dialogs.h"

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

constexpr double kMargin = 10;          // mm on every side
constexpr double kRowHeight = 5;        // mm, a line of the table
constexpr double kCellPadding = 1.5;    // mm inside each cell
constexpr double kFooterHeight = 6;     // mm kept at the bottom for the page number
constexpr double kTitleGap = 1.5;       // mm below a page's title
constexpr double kNoteGap = 0.5;        // mm below each line of the marks' explanation
constexpr double kSummaryGap = 8;       // mm between the table and the summary
constexpr double kSummaryLineGap = 1.5; // mm

const QColor kRule(0xb0, 0xb0, 0xb0);
const QColor kHeaderFill(0xe6, 0xe6, 0xe6);
const QColor kStripe(0xf5, 0xf5, 0xf5);

double lineHeight(const QFont &font, QPaintDevice *device) { return QFontMetricsF(font, device).height(); }

// The columns of the table, left to right: header, width in mm (the condition takes what
// is left) and alignment.
enum TableColumn { Day, Weekday, Temperature, Excluded, Period, Spotting, Love, MucusCol, Lh, Pregnancy, Medicine };
struct Column
{
    const char *header;
    double width;
    Qt::Alignment align;
};
const Column kColumns[] = {
    {"日付", 21, Qt::AlignLeft},          {"曜日", 9, Qt::AlignHCenter},      {"体温(℃)", 15, Qt::AlignRight},
    {"除外", 18, Qt::AlignLeft},          {"月経", 14, Qt::AlignHCenter},     {"不正出血", 14, Qt::AlignHCenter},
    {"性交", 9, Qt::AlignHCenter},        {"おりもの", 14, Qt::AlignHCenter}, {"排卵検査薬", 17, Qt::AlignHCenter},
    {"妊娠検査薬", 17, Qt::AlignHCenter}, {"くすり", 36, Qt::AlignLeft},      {"体調", 0, Qt::AlignLeft},
};
constexpr int kColumnCount = int(std::size(kColumns));

// The cells of one line of a table `width` wide at `top`, inside their padding.
QList<QRectF> cellRects(double width, double top)
{
    double fixed = 0;
    for (const Column &c : kColumns)
        fixed += reportMm(c.width);
    QList<QRectF> cells;
    double left = 0;
    for (const Column &c : kColumns) {
        const double w = c.width > 0 ? reportMm(c.width) : width - fixed;
        cells.append(QRectF(left + reportMm(kCellPadding), top, w - 2 * reportMm(kCellPadding), reportMm(kRowHeight)));
        left += w;
    }
    return cells;
}

// A day of the table, a text a column.
QStringList rowTexts(const ReportDay &d)
{
    return {d.date.toString(QStringLiteral("yyyy/M/d")),
            weekdayCharacter(d.date),
            d.reading ? QString::number(*d.reading / 100.0, 'f', 2) : QString(),
            d.signs.excluded ? d.signs.excludeReason.isEmpty() ? QStringLiteral("除外") : d.signs.excludeReason
                             : QString(),
            d.period ? QStringLiteral("×") + bleedingMarks(d.signs.bleeding) : QString(),
            d.signs.spotting ? QStringLiteral("▲") : QString(),
            d.love ? QStringLiteral("○") : QString(),
            d.signs.mucus ? mucusShortText(*d.signs.mucus) : QString(),
            testMark(d.signs.lhTest),
            testMark(d.signs.pregnancyTest),
            d.signs.medication,
            d.condition};
}

// What stands above the rows on every page of the table: a title, the marks explained,
// the column headers.
double tableHeaderHeight(QPaintDevice *device)
{
    return lineHeight(reportFont(12, true), device) + reportMm(kTitleGap)
           + 2 * (lineHeight(reportFont(7), device) + reportMm(kNoteGap)) + reportMm(kRowHeight);
}

QPageLayout a4Landscape()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(kMargin, kMargin, kMargin, kMargin),
                       QPageLayout::Millimeter);
}

void drawFooter(QPainter &painter, const QRectF &page, int number, int pages)
{
    painter.setPen(Qt::black);
    painter.setFont(reportFont(8));
    painter.drawText(QRectF(0, page.height() - reportMm(kFooterHeight), page.width(), reportMm(kFooterHeight)),
                     Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("%1 / %2").arg(number).arg(pages));
}

QString shortDay(const QDate &day) { return day.toString(QStringLiteral("M/d")); }

} // namespace

GraphReport::GraphReport(ReportData data) : m_data(std::move(data)) { }

QString GraphReport::rangeText() const
{
    if (m_data.days.isEmpty())
        return QString();
    const QString format = QStringLiteral("yyyy/M/d");
    return m_data.days.first().date.toString(format) + QStringLiteral(" ～ ")
           + m_data.days.last().date.toString(format);
}

QByteArray GraphReport::pdf() const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kReportResolution);
    writer.setTitle(QStringLiteral("基礎体温表 ") + rangeText());
    writer.setCreator(Dialogs::programTitle());
    writer.setPageLayout(a4Landscape());
    QPainter painter;
    if (!painter.begin(&writer))
        throw AppError(QStringLiteral("PDF を作れませんでした。"));

    // The pages are planned first, so that each can say how many there are.
    const QRectF page(QPointF(0, 0), writer.pageLayout().paintRectPixels(kReportResolution).size());
    int chartPageCount = 0;
    for (const ReportCycle &cycle : m_data.cycles)
        chartPageCount += chartPages(cycle);
    const double rowsTop = tableHeaderHeight(&writer);
    const double bottom = page.height() - reportMm(kFooterHeight);
    const int perPage = std::max(1, int((bottom - rowsTop) / reportMm(kRowHeight)));
    const int tablePages = std::max(1, int((m_data.days.size() + perPage - 1) / perPage));
    const qsizetype lastRows = m_data.days.size() - qsizetype(tablePages - 1) * perPage;
    const double summaryHeight = drawSummary(nullptr, &writer, 0, page.width());
    const double lastTop = rowsTop + double(lastRows) * reportMm(kRowHeight) + reportMm(kSummaryGap);
    const bool summaryAlone = summaryHeight > 0 && lastTop + summaryHeight > bottom;
    const int pages = chartPageCount + tablePages + (summaryAlone ? 1 : 0);

    int number = 0;
    auto nextPage = [&] {
        if (number++ > 0)
            writer.newPage();
    };
    for (const ReportCycle &cycle : m_data.cycles) {
        for (int part = 0; part < chartPages(cycle); ++part) {
            nextPage();
            drawChartPage(painter, page, cycle, part, QStringLiteral("%1 / %2").arg(number).arg(pages));
        }
    }
    for (int p = 0; p < tablePages; ++p) {
        nextPage();
        drawTableHeader(painter, page);
        drawRows(painter, page.width(), m_data.days.mid(qsizetype(p) * perPage, perPage), rowsTop);
        drawFooter(painter, page, number, pages);
    }
    if (summaryHeight > 0) {
        if (summaryAlone) {
            // The marks explained here too, as on every page.
            nextPage();
            drawFooter(painter, page, number, pages);
            painter.setFont(reportFont(7));
            const QStringList legend = reportLegend(false);
            for (qsizetype i = 0; i < legend.size(); ++i)
                painter.drawText(QRectF(0, bottom - double(legend.size() - i) * reportMm(4), page.width(), reportMm(4)),
                                 Qt::AlignLeft | Qt::AlignVCenter, legend[i]);
        }
        drawSummary(&painter, &writer, summaryAlone ? 0 : lastTop, page.width());
    }

    if (!painter.end())
        throw AppError(QStringLiteral("PDF を作れませんでした。"));
    return buffer.data();
}

double GraphReport::drawTableHeader(QPainter &painter, const QRectF &page) const
{
    double y = 0;
    auto line = [&](const QFont &f, const QString &text, double gap) {
        const double height = lineHeight(f, painter.device());
        painter.setFont(f);
        painter.drawText(QRectF(0, y, page.width(), height), Qt::AlignLeft | Qt::AlignVCenter, text);
        y += height + reportMm(gap);
    };
    painter.setPen(Qt::black);
    line(reportFont(12, true), rangeText() + QStringLiteral(" の基礎体温（毎日の記録）"), kTitleGap);
    for (const QString &legend : reportLegend(false))
        line(reportFont(7), legend, kNoteGap);

    const QList<QRectF> cells = cellRects(page.width(), y);
    painter.fillRect(QRectF(0, y, page.width(), reportMm(kRowHeight)), kHeaderFill);
    painter.setFont(reportFont(8, true));
    for (int c = 0; c < kColumnCount; ++c)
        painter.drawText(cells[c], int(kColumns[c].align | Qt::AlignVCenter), QString::fromUtf8(kColumns[c].header));
    painter.setPen(QPen(Qt::black, reportMm(0.25)));
    painter.drawLine(QPointF(0, y + reportMm(kRowHeight)), QPointF(page.width(), y + reportMm(kRowHeight)));
    return y + reportMm(kRowHeight);
}

void GraphReport::drawRows(QPainter &painter, double width, const QList<ReportDay> &days, double top) const
{
    painter.setFont(reportFont(8));
    const QFontMetricsF metrics(painter.font(), painter.device());
    for (qsizetype i = 0; i < days.size(); ++i) {
        const QRectF line(0, top + double(i) * reportMm(kRowHeight), width, reportMm(kRowHeight));
        if (i % 2 == 1)
            painter.fillRect(line, kStripe);
        painter.setPen(QPen(kRule, reportMm(0.15)));
        painter.drawLine(line.bottomLeft(), line.bottomRight());
        painter.setPen(Qt::black);
        const QStringList texts = rowTexts(days[i]);
        const QList<QRectF> cells = cellRects(width, line.top());
        for (int c = 0; c < kColumnCount; ++c)
            // One line a day: a text too long for its column ends in "…".
            painter.drawText(cells[c], int(kColumns[c].align | Qt::AlignVCenter),
                             metrics.elidedText(texts[c].simplified(), Qt::ElideRight, cells[c].width()));
    }
}

QStringList GraphReport::summaryLines() const
{
    QStringList lines = m_data.cycleSummary;
    if (m_data.cycles.isEmpty())
        lines << QStringLiteral("基礎体温表にする周期がありません（月経の記録がありません）。");
    for (const ReportCycle &cycle : m_data.cycles) {
        const CycleRecord &c = cycle.summary;
        QStringList parts {c.start.toString(QStringLiteral("yyyy/M/d")) + QStringLiteral(" から　") + cycleLine(c)};
        QStringList lh;
        for (const QDate &day : c.lhPositive)
            lh << shortDay(day);
        if (!lh.isEmpty())
            parts << QStringLiteral("排卵検査薬 陽性 ") + lh.join(QStringLiteral("、"));
        if (c.mucusPeak && c.doubleCheckDay)
            parts << QStringLiteral("おりものの頂点 %1　ダブルチェック完了 %2 夜から")
                         .arg(shortDay(*c.mucusPeak), shortDay(*c.doubleCheckDay));
        parts << cycleFindings(c);
        lines << parts.join(QStringLiteral("　"));
    }
    return lines;
}

double GraphReport::drawSummary(QPainter *painter, QPaintDevice *device, double top, double width) const
{
    const QStringList lines = summaryLines();
    if (lines.isEmpty())
        return 0;
    double y = top;
    auto text = [&](const QFont &f, const QString &line, double gap) {
        const QRectF rect
            = QFontMetricsF(f, device).boundingRect(QRectF(0, y, width, reportMm(200)), Qt::TextWordWrap, line);
        if (painter) {
            painter->setPen(Qt::black);
            painter->setFont(f);
            painter->drawText(QRectF(0, y, width, rect.height()), Qt::TextWordWrap, line);
        }
        y += rect.height() + reportMm(gap);
    };
    text(reportFont(11, true), QStringLiteral("月経周期の記録"), kTitleGap);
    for (const QString &line : lines)
        text(reportFont(9), line, kSummaryLineGap);
    return y - top;
}

} // namespace nerina
