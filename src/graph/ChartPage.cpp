#include "ChartPage.h"

#include "common/Conversions.h"
#include "common/Fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <iterator>

namespace nerina {

namespace {

// Measures of the page in millimetres, the printable area being 277 x 190.
constexpr double kLabelWidth = 24;   // the column of the row names and the temperatures
constexpr double kHeaderHeight = 12; // the title and the cycle's line
constexpr double kBandHeight = 6;    // above the chart: the high phase's bracket
constexpr double kLegendHeight = 8;  // two lines at the foot
constexpr double kGap = 1.5;

const QColor kFine(0xd8, 0xd8, 0xd8);
const QColor kTenth(0xa0, 0xa0, 0xa0);
const QColor kDayLine(0xc8, 0xc8, 0xc8);
const QColor kCurve(0x20, 0x30, 0x80);
const QColor kCoverline(0x10, 0x60, 0xd0);
const QColor kSunday(0xc0, 0x20, 0x20);

// The rows under the chart, top to bottom, with their heights in mm: the columns are
// narrow, so the words of the last three rows run downwards and need the height.
enum Row { CycleDay, Date, Weekday, Period, Spotting, Love, MucusRow, Lh, Pregnancy, Medicine, Notes };
struct RowSpec
{
    const char *name;
    double height;
};
const RowSpec kRows[]
    = {{"周期日", 4},     {"日付", 4},       {"曜日", 4},       {"月経", 6.5},  {"不正出血", 4}, {"性交", 4},
       {"おりもの", 7.5}, {"排卵検査薬", 4}, {"妊娠検査薬", 4}, {"くすり", 15}, {"備考", 21}};

double rowsHeight()
{
    double h = 0;
    for (const RowSpec &r : kRows)
        h += r.height;
    return h;
}

// Where things go on one page: a column a day, the temperatures upwards.
struct Grid
{
    double left = 0, column = 0, top = 0, bottom = 0;
    int low = 0, high = 0;

    double x(int slot) const { return left + (slot + 0.5) * column; }
    double y(int hundredths) const { return bottom - (hundredths - low) * (bottom - top) / (high - low); }
    double right() const { return left + kChartDays * column; }
};

void drawCentered(QPainter &painter, const QRectF &box, const QString &text)
{
    painter.drawText(box, Qt::AlignCenter, text);
}

// Text from the top down, one character under the other, as narrow columns on paper
// forms are written; marks that only run sideways are turned a quarter. Cut with "…"
// where the box ends.
void drawDownwards(QPainter &painter, const QRectF &box, const QString &text)
{
    QStringList characters;
    const QString plain = text.simplified();
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, plain);
    for (qsizetype from = 0, to; (to = finder.toNextBoundary()) > 0; from = to) {
        if (plain[from] != u' ')
            characters << plain.mid(from, to - from);
    }
    // A square of the font's size a character, a little apart.
    const double step = painter.font().pointSizeF() / 72 * painter.device()->logicalDpiY() * 1.1;
    const qsizetype fits = qsizetype(box.height() / step);
    if (characters.size() > fits) {
        characters.resize(std::max<qsizetype>(0, fits - 1));
        characters << QStringLiteral("…");
    }
    static const QString sideways = QStringLiteral("ー－～…―‐（）「」『』【】〔〕()[]-~=＝");
    for (qsizetype k = 0; k < characters.size(); ++k) {
        const QRectF cell(box.left(), box.top() + double(k) * step, box.width(), step);
        if (!sideways.contains(characters[k])) {
            drawCentered(painter, cell, characters[k]);
            continue;
        }
        painter.save();
        painter.translate(cell.center());
        painter.rotate(90);
        drawCentered(painter, QRectF(-step / 2, -box.width() / 2, step, box.width()), characters[k]);
        painter.restore();
    }
}

QPen pen(const QColor &color, double widthMm, Qt::PenStyle style = Qt::SolidLine)
{
    QPen p(color, reportMm(widthMm), style);
    p.setCapStyle(Qt::FlatCap);
    return p;
}

// The temperature grid: a fine line every 0.05, a darker one every 0.10 with its label,
// a bold one every 0.50, and the 36.70 line clinics look for drawn a little stronger.
void drawGrid(QPainter &painter, const Grid &g)
{
    const double tenth = g.y(g.low) - g.y(g.low + 10);
    const int labelEvery = tenth >= reportMm(2.8) ? 10 : 50; // labels never overlap
    painter.setFont(reportFont(6.5));
    for (int t = g.low; t <= g.high; t += 5) {
        const bool half = t % 50 == 0, mark = t == 3670;
        if (half)
            painter.setPen(pen(Qt::black, 0.35));
        else if (mark)
            painter.setPen(pen(QColor(0x50, 0x50, 0x50), 0.3));
        else
            painter.setPen(pen(t % 10 == 0 ? kTenth : kFine, t % 10 == 0 ? 0.15 : 0.08));
        painter.drawLine(QPointF(g.left, g.y(t)), QPointF(g.right(), g.y(t)));
        if (t % labelEvery == 0) {
            QFont f = reportFont(6.5, half || mark);
            painter.setFont(f);
            painter.setPen(Qt::black);
            painter.drawText(QRectF(g.left - reportMm(12), g.y(t) - reportMm(2), reportMm(11), reportMm(4)),
                             Qt::AlignRight | Qt::AlignVCenter, QString::number(t / 100.0, 'f', 2));
        }
    }
    painter.setFont(reportFont(6.5));
    painter.drawText(QRectF(g.left - reportMm(12), g.top - reportMm(kBandHeight), reportMm(11), reportMm(3)),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("(℃)"));
}

// A reading beyond the axis: an arrow at the edge it lies beyond, and its value.
void drawBeyond(QPainter &painter, const Grid &g, int slot, int reading)
{
    const bool above = reading > g.high;
    const double edge = above ? g.top : g.bottom, sign = above ? 1 : -1;
    const double x = g.x(slot), tip = edge + sign * reportMm(0.5), tail = edge + sign * reportMm(3.2);
    painter.setPen(pen(kCurve, 0.3));
    painter.drawLine(QPointF(x, tail), QPointF(x, tip + sign * reportMm(0.8)));
    QPainterPath head;
    head.moveTo(x, tip);
    head.lineTo(x - reportMm(0.8), tip + sign * reportMm(1.2));
    head.lineTo(x + reportMm(0.8), tip + sign * reportMm(1.2));
    head.closeSubpath();
    painter.fillPath(head, kCurve);
    painter.setFont(reportFont(5.5));
    const double textTop = above ? tail + reportMm(0.2) : tail - reportMm(2.6);
    painter.drawText(QRectF(x - g.column / 2, textTop, g.column, reportMm(2.4)), Qt::AlignCenter,
                     QString::number(reading / 100.0, 'f', 2));
}

void drawReadings(QPainter &painter, const Grid &g, const ReportCycle &cycle, int first, int count)
{
    auto inside = [&g](const ReportDay &d) { return d.reading && *d.reading >= g.low && *d.reading <= g.high; };
    auto joined = [&](const ReportDay &d) { return inside(d) && !d.signs.excluded; };
    // The line first, joining a reading to the day before's only: a morning without one
    // leaves a gap, as on paper.
    painter.setPen(pen(kCurve, 0.35));
    for (int slot = 1; slot < count; ++slot) {
        const ReportDay &before = cycle.days[first + slot - 1], &day = cycle.days[first + slot];
        if (joined(before) && joined(day))
            painter.drawLine(QPointF(g.x(slot - 1), g.y(*before.reading)), QPointF(g.x(slot), g.y(*day.reading)));
    }
    painter.setRenderHint(QPainter::Antialiasing);
    for (int slot = 0; slot < count; ++slot) {
        const ReportDay &day = cycle.days[first + slot];
        if (!day.reading)
            continue;
        if (!inside(day)) {
            drawBeyond(painter, g, slot, *day.reading);
            continue;
        }
        const QPointF at(g.x(slot), g.y(*day.reading));
        painter.setPen(pen(kCurve, 0.25));
        painter.setBrush(day.signs.excluded ? QBrush(Qt::white) : QBrush(kCurve));
        const double r = reportMm(day.signs.excluded ? 0.9 : 0.7);
        painter.drawEllipse(at, r, r);
    }
    painter.setBrush(Qt::NoBrush);
}

// The coverline from the first of its six low readings to the cycle's end, the first
// high day as a dotted line, and the high phase as a bracket above the chart.
void drawShift(QPainter &painter, const Grid &g, const ReportCycle &cycle, int first, int count)
{
    const TemperatureShift &shift = *cycle.summary.shift;
    const int lowSlot = shift.firstLow - first, highSlot = shift.firstHigh - first;
    if (lowSlot < count && shift.coverline >= g.low && shift.coverline <= g.high) {
        const double y = g.y(shift.coverline), from = g.left + std::max(lowSlot, 0) * g.column;
        painter.setPen(pen(kCoverline, 0.35));
        painter.drawLine(QPointF(from, y), QPointF(g.left + count * g.column, y));
        painter.setFont(reportFont(6));
        painter.drawText(QRectF(from + reportMm(0.5), y - reportMm(3), reportMm(40), reportMm(2.8)),
                         Qt::AlignLeft | Qt::AlignBottom,
                         QStringLiteral("カバーライン %1").arg(QString::number(shift.coverline / 100.0, 'f', 2)));
    }
    if (highSlot >= count)
        return;
    const double start = g.left + std::max(highSlot, 0) * g.column, end = g.left + count * g.column;
    painter.setPen(pen(kCoverline, 0.3, Qt::DotLine));
    if (highSlot >= 0)
        painter.drawLine(QPointF(start, g.top), QPointF(start, g.bottom));
    const double line = g.top - reportMm(2), tick = reportMm(1);
    painter.setPen(pen(Qt::black, 0.25));
    painter.drawLine(QPointF(start, line), QPointF(end, line));
    painter.drawLine(QPointF(start, line), QPointF(start, line + tick));
    painter.drawLine(QPointF(end, line), QPointF(end, line + tick));
    painter.setFont(reportFont(7, true));
    const QString text = QStringLiteral("高温期 %1日").arg(cycle.summary.highPhase.value_or(0));
    const double width = std::max(end - start, QFontMetricsF(painter.font(), painter.device()).horizontalAdvance(text));
    painter.drawText(QRectF(std::min(start, g.right() - width), line - reportMm(3.6), width, reportMm(3.4)),
                     Qt::AlignCenter, text);
}

QString dayText(const QDate &day) { return day.toString(QStringLiteral("yyyy/M/d")); }

// What a day's cell of a row holds.
QString cellText(Row row, const ReportDay &day, int number)
{
    switch (row) {
    case CycleDay: return QString::number(number);
    case Date: return day.date.toString(QStringLiteral("M/d"));
    case Weekday: return weekdayCharacter(day.date);
    case Period: return day.period ? QStringLiteral("×") : QString();
    case Spotting: return day.signs.spotting ? QStringLiteral("▲") : QString();
    case Love: return day.love ? QStringLiteral("○") : QString();
    case MucusRow: return day.signs.mucus ? mucusShortText(*day.signs.mucus) : QString();
    case Lh: return testMark(day.signs.lhTest);
    case Pregnancy: return testMark(day.signs.pregnancyTest);
    case Medicine: return day.signs.medication;
    case Notes: return dayNotes(day);
    }
    return QString();
}

void drawRows(QPainter &painter, const Grid &g, const ReportCycle &cycle, int first, int count)
{
    double top = g.bottom;
    const double left = g.left - reportMm(kLabelWidth);
    for (int r = 0; r < int(std::size(kRows)); ++r) {
        const Row row = Row(r);
        const double height = reportMm(kRows[r].height);
        painter.setPen(Qt::black);
        painter.setFont(reportFont(7));
        painter.drawText(QRectF(left + reportMm(1), top, reportMm(kLabelWidth - 2), height),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(kRows[r].name));
        for (int slot = 0; slot < count; ++slot) {
            const ReportDay &day = cycle.days[first + slot];
            const QRectF cell(g.left + slot * g.column, top, g.column, height);
            const QString text = cellText(row, day, first + slot + 1);
            const bool sunday = day.date.dayOfWeek() == Qt::Sunday;
            painter.setPen(row == Weekday && sunday ? kSunday : QColor(Qt::black));
            if (row == Medicine || row == Notes || row == MucusRow) {
                painter.setFont(reportFont(5.5));
                drawDownwards(painter, cell.adjusted(0, reportMm(0.5), 0, -reportMm(0.5)), text);
            } else if (row == Period && day.period) {
                // The cross, with the strength under it in smaller marks.
                painter.setFont(reportFont(7.5));
                drawCentered(painter, cell.adjusted(0, 0, 0, -height * 0.45), text);
                painter.setFont(reportFont(4.5));
                drawCentered(painter, cell.adjusted(0, height * 0.5, 0, 0), bleedingMarks(day.signs.bleeding));
            } else {
                painter.setFont(reportFont(row == Date ? 5 : 6.5, row == CycleDay && first + slot == 0));
                drawCentered(painter, cell, text);
            }
        }
        top += height;
        painter.setPen(pen(r == 2 ? Qt::black : kTenth, r == 2 ? 0.25 : 0.12));
        painter.drawLine(QPointF(left, top), QPointF(g.right(), top));
    }
}

} // namespace

double reportMm(double millimetres) { return millimetres * kReportResolution / 25.4; }

QFont reportFont(double points, bool bold)
{
    QFont f = designFont();
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

int chartPages(const ReportCycle &cycle) { return std::max(1, int((cycle.days.size() + kChartDays - 1) / kChartDays)); }

QString bleedingMarks(const std::optional<Bleeding> &bleeding)
{
    return bleeding ? QString(int(*bleeding), u'＋') : QString();
}

QString testMark(const std::optional<TestResult> &result)
{
    return result ? QString(*result == TestResult::Positive ? u'＋' : u'－') : QString();
}

QString dayNotes(const ReportDay &day)
{
    if (!day.signs.excluded)
        return day.condition;
    const QString reason = day.signs.excludeReason.isEmpty() ? QStringLiteral("除外") : day.signs.excludeReason;
    return (QStringLiteral("（%1）").arg(reason) + day.condition).simplified();
}

QStringList reportLegend(bool chart)
{
    const QString marks = QStringLiteral("× 月経（＋＋＋ 多い・＋＋ 普通・＋ 少ない）　▲ 不正出血　○ 性交　"
                                         "＋ 陽性　－ 陰性");
    QStringList mucus;
    for (Mucus m : {Mucus::Dry, Mucus::Nothing, Mucus::Moist, Mucus::Creamy, Mucus::Slippery})
        mucus << mucusShortText(m) + u'＝' + signText(m);
    const QString mucusLine = QStringLiteral("おりもの　") + mucus.join(QStringLiteral("　"));
    if (!chart)
        return {marks, mucusLine};
    return {QStringLiteral("● 体温（測らなかった日は線が切れます）　○ 除外した体温（理由は備考）　↑↓ 目盛りの外の"
                           "体温（値を添えて端に）　━ カバーライン　┃ 高温期の始まり　")
                + marks,
            mucusLine};
}

void drawChartPage(QPainter &painter, const QRectF &page, const ReportCycle &cycle, int part, const QString &pageText)
{
    const int first = part * kChartDays;
    const int count = std::min(kChartDays, int(cycle.days.size()) - first);

    // The header: what the chart is and when, the page, the cycle in one line.
    painter.setPen(Qt::black);
    painter.setFont(reportFont(11, true));
    const QString range = dayText(cycle.summary.start) + QStringLiteral(" ～ ") + dayText(cycle.summary.end);
    painter.drawText(QRectF(0, 0, page.width(), reportMm(6)), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("基礎体温表　") + range);
    painter.setFont(reportFont(8));
    painter.drawText(QRectF(0, 0, page.width(), reportMm(6)), Qt::AlignRight | Qt::AlignVCenter, pageText);
    painter.drawText(QRectF(0, reportMm(6), page.width(), reportMm(5)), Qt::AlignLeft | Qt::AlignVCenter,
                     cycleLine(cycle.summary) + (part > 0 ? QStringLiteral("　（つづき）") : QString()));

    Grid g;
    g.left = reportMm(kLabelWidth);
    g.column = (page.width() - g.left) / kChartDays;
    g.top = reportMm(kHeaderHeight + kBandHeight);
    g.bottom = page.height() - reportMm(kLegendHeight + kGap + rowsHeight());
    g.low = cycle.axisLow;
    g.high = cycle.axisHigh;

    // A line between days, down through the rows; the days left on a short page stay blank.
    painter.setPen(pen(kDayLine, 0.1));
    const double rowsBottom = g.bottom + reportMm(rowsHeight());
    for (int slot = 1; slot < kChartDays; ++slot)
        painter.drawLine(QPointF(g.left + slot * g.column, g.top), QPointF(g.left + slot * g.column, rowsBottom));
    drawGrid(painter, g);
    if (cycle.summary.shift)
        drawShift(painter, g, cycle, first, count);
    drawReadings(painter, g, cycle, first, count);
    drawRows(painter, g, cycle, first, count);
    painter.setPen(pen(Qt::black, 0.35));
    painter.drawRect(QRectF(0, g.top, g.right(), rowsBottom - g.top));
    painter.drawLine(QPointF(g.left, g.top), QPointF(g.left, rowsBottom));

    painter.setFont(reportFont(6.5));
    const QStringList legend = reportLegend(true);
    for (int i = 0; i < legend.size(); ++i)
        painter.drawText(
            QRectF(0, page.height() - reportMm(kLegendHeight) + i * reportMm(4), page.width(), reportMm(4)),
            Qt::AlignLeft | Qt::AlignVCenter, legend[i]);
}

} // namespace nerina
