#include "FRM_DISP.h"

#include "GraphReport.h"
#include "PrintTarget.h"
#include "common/Dialogs.h"
#include "common/FileSafety.h"
#include "common/Fonts.h"
#include "common/Settings.h"
#include "common/Twips.h"
#include "history/FlexGrid.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace nerina {

namespace {

// The window as designed, in twips.
constexpr int kClientWidth = 11265;
constexpr int kClientHeight = 7425;
constexpr int kPrintMargin = 600; // kept below the chart when the window is cut for printing

struct Place
{
    int left, top, width, height;
};
constexpr Place kLabelDate0 {1200, 360, 1815, 315};
constexpr Place kLabelBetween {3480, 360, 345, 315};
constexpr Place kLabelDate1 {4320, 360, 1815, 315};
constexpr Place kLabel1 {6600, 360, 2655, 495};
constexpr Place kChart {240, 960, 10575, 5535};
constexpr Place kPdf {5040, 6960, 1815, 375};
constexpr Place kPrint {7080, 6960, 1815, 375};
constexpr Place kClose {9120, 6960, 1695, 375};

constexpr double kAxisMin = 34.5;
constexpr double kAxisMax = 38.5;

// The marks stand in the band under the curve that no body temperature reaches.
constexpr double kPeriodRow = 35.0; // "●" and "★" share a row, as they share the list's column
constexpr double kLoveRow = 34.75;
// Bleeding outside a period often falls on the fertile days, and so gets a row of its own.
constexpr double kSpottingRow = 35.25;
constexpr double kLhRow = 35.5;

const QColor kCurveColor(0xc0, 0x30, 0x60);
const QColor kNoReadingColor(0xc0, 0x30, 0x60, 0x70); // the curve's colour, faint
const QColor kPeriodColor(0xd0, 0x10, 0x20);
const QColor kFertileColor(0xe8, 0x98, 0x00);
const QColor kLoveColor(0x70, 0x30, 0xb0);
const QColor kCoverlineColor(0x10, 0x60, 0xd0);
const QColor kLhColor(0x00, 0x90, 0x80);

} // namespace

FRM_DISP::FRM_DISP(const FlexGrid &grid, Dialogs &dialogs, PrintTarget &printer, KeptFiles kept, QWidget *parent,
                   ReportSource report, SignsSource signs)
    : QDialog(parent), m_grid(grid), m_dialogs(dialogs), m_printer(printer), m_kept(std::move(kept)),
      m_report(std::move(report)), m_signs(std::move(signs))
{
    setObjectName(QStringLiteral("FRM_DISP"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ｸﾞﾗﾌ表示"));

    const int dpi = logicalDpi(this);
    auto px = [dpi](int twips) { return twipsToPixels(twips, dpi); };
    auto place
        = [&px](QWidget *w, const Place &p) { w->setGeometry(px(p.left), px(p.top), px(p.width), px(p.height)); };
    resize(px(kClientWidth), px(kClientHeight));

    auto label = [&](const char *name, const QString &text, const Place &p) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setFont(designFont());
        l->setAutoFillBackground(true);
        place(l, p);
        return l;
    };
    m_labelDate[0] = label("LABEL_DATE_0", QStringLiteral("1999/12/10"), kLabelDate0);
    m_labelBetween = label("LABEL_BETWEEN", QStringLiteral("～"), kLabelBetween);
    m_labelDate[1] = label("LABEL_DATE_1", QStringLiteral("1999/12/19"), kLabelDate1);
    m_label1 = label("Label1", QStringLiteral("の基礎体温グラフ"), kLabel1);

    buildChart();
    place(m_chartView, kChart);

    auto button = [&](const char *name, const QString &text, const QString &hint, const Place &p) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        place(b, p);
        return b;
    };
    // Left of the print button, below the chart like it, out of the print's image.
    m_pdf = button("CMD_PDF", QStringLiteral("PDF保存(&F)"), QStringLiteral("ｸﾞﾗﾌを PDF ﾌｧｲﾙに保存"), kPdf);
    m_print = button("CMD_PRINT", QStringLiteral("印刷(&P)"), QStringLiteral("簡易印刷の開始"), kPrint);
    m_close = button("CMD_CLOSE", QStringLiteral("閉じる(&C)"), QStringLiteral("ｸﾞﾗﾌを閉じる"), kClose);
    connect(m_pdf, &QPushButton::clicked, this, [this] { CMD_PDF_Click(); });
    connect(m_print, &QPushButton::clicked, this, [this] { CMD_PRINT_Click(); });
    connect(m_close, &QPushButton::clicked, this, [this] { CMD_CLOSE_Click(); });
    // Return on opening starts the quick print, though the PDF button comes first in the row.
    m_print->setFocus();

    setBackgrounds(palette().color(QPalette::Button));
    Form_Load();
}

void FRM_DISP::buildChart()
{
    m_chart = new QChart;
    m_chart->setMargins(QMargins(4, 4, 16, 4)); // room for the last day's label
    m_chart->setBackgroundRoundness(0);

    // Every day, a day without a reading at 36.5, faint and dashed: the segments to and from
    // such a day must not pass for measurements. The measured days are drawn over it. A pen
    // of one pixel keeps the dashes cheap to draw.
    m_series = new QLineSeries;
    m_series->setName(QStringLiteral("記録なし（36.5℃の位置）"));
    QPen faint(kNoReadingColor);
    faint.setWidthF(1.0);
    faint.setDashPattern({3, 3});
    m_series->setPen(faint);
    m_chart->addSeries(m_series);

    auto marks = [this](const QString &name, QScatterSeries::MarkerShape shape, const QColor &line, const QColor &fill,
                        qreal size) {
        auto *s = new QScatterSeries;
        s->setName(name);
        s->setMarkerShape(shape);
        s->setMarkerSize(size);
        s->setPen(QPen(line, 1.2));
        s->setBrush(fill);
        m_chart->addSeries(s);
        return s;
    };
    m_periodMarks = marks(QStringLiteral("月経"), QScatterSeries::MarkerShapeCircle, kPeriodColor, kPeriodColor, 6);
    m_fertileMarks
        = marks(QStringLiteral("妊娠可能日"), QScatterSeries::MarkerShapeStar, kFertileColor, kFertileColor, 9);
    m_loveMarks = marks(QStringLiteral("SEX"), QScatterSeries::MarkerShapeCircle, kLoveColor, Qt::white, 7);
    // Bleeding outside a period is the clinics' ▲.
    m_spottingMarks
        = marks(QStringLiteral("不正出血"), QScatterSeries::MarkerShapeTriangle, kPeriodColor, kPeriodColor, 8);
    m_lhMarks
        = marks(QStringLiteral("排卵検査薬 陽性"), QScatterSeries::MarkerShapeRotatedRectangle, kLhColor, kLhColor, 8);
    // A reading she left out: an open marker, in the curve's colour but joined to nothing,
    // named as the box she ticks (the legend has no room for more).
    m_excludedReadings = marks(QStringLiteral("除外"), QScatterSeries::MarkerShapeCircle, kCurveColor, Qt::white, 8);

    const QFont axisFont = designFont(8);

    // A legend line above the plot names the marks and the line of the days without a
    // reading; the curve of the readings needs no entry.
    QLegend *legend = m_chart->legend();
    legend->setAlignment(Qt::AlignTop);
    legend->setFont(axisFont);
    legend->setMarkerShape(QLegend::MarkerShapeFromSeries);

    auto *days = new QCategoryAxis;
    days->setObjectName(QStringLiteral("dayAxis"));
    days->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    days->setLabelsFont(axisFont);
    // A day and a half of room at each end: the plot cuts what crosses its edge, and the
    // selected day's marks would show only their left half.
    days->setRange(-0.5, GraphData::kPoints + 1.5);
    days->setStartValue(-0.5);
    m_chart->addAxis(days, Qt::AlignBottom);

    auto *temps = new QValueAxis;
    temps->setObjectName(QStringLiteral("temperatureAxis"));
    temps->setRange(kAxisMin, kAxisMax);
    temps->setTickCount(9); // a line every half degree
    temps->setMinorTickCount(4);
    temps->setLabelFormat(QStringLiteral("%.1f"));
    temps->setLabelsFont(axisFont);
    temps->setTitleText(QStringLiteral("体温(℃)"));
    temps->setTitleFont(axisFont);
    m_chart->addAxis(temps, Qt::AlignLeft);
    for (QAbstractSeries *s : m_chart->series()) {
        s->attachAxis(days);
        s->attachAxis(temps);
    }

    m_chartView = new QChartView(m_chart, this);
    m_chartView->setObjectName(QStringLiteral("G_CHART"));
    m_chartView->setRenderHint(QPainter::Antialiasing);

    // Only some days fit under the axis; pointing at a point or a mark names its own day.
    for (QXYSeries *s : {static_cast<QXYSeries *>(m_series), static_cast<QXYSeries *>(m_periodMarks),
                         static_cast<QXYSeries *>(m_fertileMarks), static_cast<QXYSeries *>(m_loveMarks),
                         static_cast<QXYSeries *>(m_spottingMarks), static_cast<QXYSeries *>(m_lhMarks),
                         static_cast<QXYSeries *>(m_excludedReadings)})
        connect(s, &QXYSeries::hovered, this, &FRM_DISP::showDayToolTip);
}

void FRM_DISP::showDayToolTip(const QPointF &point, bool on)
{
    const QString text = on ? dayToolTip(m_data, int(std::lround(point.x())) - 1) : QString();
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(QCursor::pos(), text, m_chartView);
}

QLineSeries *FRM_DISP::addLine(const QString &name, const QColor &color, bool inLegend,
                               const std::function<void(const QPointF &, bool)> &hovered)
{
    auto *line = new QLineSeries;
    line->setName(name);
    line->setPen(QPen(color, 1.5));
    m_chart->addSeries(line);
    for (QAbstractAxis *axis : m_chart->axes())
        line->attachAxis(axis);
    if (!inLegend)
        for (QLegendMarker *m : m_chart->legend()->markers(line))
            m->setVisible(false);
    connect(line, &QXYSeries::hovered, this, hovered);
    return line;
}

// The measured days: one line for each run of consecutive ones, with a marker on each day,
// so that solid segments join measured days only and a lone reading is a marker alone. A
// reading she left out breaks the run like a day without one and stands apart. The lines
// are kept from fill to fill, as the runs seldom change in number.
void FRM_DISP::showReadings()
{
    QList<QList<QPointF>> runs;
    QList<QPointF> excluded;
    const auto counted = [this](int i) { return m_data.readings[i] && !m_data.excluded[i]; };
    for (int i = 0; i < m_data.readings.size(); ++i) {
        const QPointF point(i + 1, m_data.values[i]);
        if (m_data.readings[i] && m_data.excluded[i])
            excluded.append(point);
        if (!counted(i))
            continue;
        if (i > 0 && counted(i - 1))
            runs.last().append(point);
        else
            runs.append({point});
    }
    m_excludedReadings->replace(excluded);

    while (m_readingRuns.size() < runs.size()) {
        QLineSeries *line = addLine(QString(), kCurveColor, false,
                                    [this](const QPointF &point, bool on) { showDayToolTip(point, on); });
        line->setPointsVisible(true);
        m_readingRuns.append(line);
    }
    while (m_readingRuns.size() > runs.size()) {
        QLineSeries *old = m_readingRuns.takeLast();
        m_chart->removeSeries(old);
        delete old;
    }
    for (int r = 0; r < runs.size(); ++r)
        m_readingRuns[r]->replace(runs[r]);
}

// One line per confirmed shift, at the height of its coverline, from the first of the six
// low readings to the end of that cycle. Made anew on every fill, as their number changes.
void FRM_DISP::showCoverlines()
{
    for (QLineSeries *old : std::as_const(m_coverlines)) {
        m_chart->removeSeries(old);
        delete old;
    }
    m_coverlines.clear();

    for (const TemperatureShift &shift : std::as_const(m_data.shifts)) {
        const double level = shift.coverline / 100.0;
        const QString tip = QStringLiteral("カバーライン  ") + QString::number(level, 'f', 2) + QStringLiteral("℃");
        auto hovered = [this, tip](const QPointF &, bool on) {
            if (on)
                QToolTip::showText(QCursor::pos(), tip, m_chartView);
            else
                QToolTip::hideText();
        };
        // The legend names the line once, however many cycles the graph holds.
        QLineSeries *line = addLine(QStringLiteral("カバーライン"), kCoverlineColor, m_coverlines.isEmpty(), hovered);
        line->append(shift.firstLow + 1, level);
        line->append(shift.lastDay + 1, level);
        m_coverlines.append(line);
    }
}

void FRM_DISP::Form_Load() { m_chartView->setVisible(false); }

bool FRM_DISP::event(QEvent *event)
{
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return handled;
}

void FRM_DISP::Form_Activate()
{
    m_data = graphDataFromCells([this](int row, int col) { return m_grid.textMatrix(row, col); });
    const QString format = QStringLiteral("yyyy/M/d");
    try {
        addSigns(m_data,
                 m_signs(QDate::fromString(m_data.firstDay(), format), QDate::fromString(m_data.lastDay(), format)));
    } catch (const AppError &) {
        // The curve is still drawn from the list, as before there were signs. A box here would
        // come back on every activation, the one its own closing brings.
    }
    m_labelDate[0]->setText(m_data.firstDay());
    m_labelDate[1]->setText(m_data.lastDay());
    // The title line is four labels on screen; a screen reader gets it as one, on the chart.
    m_chartView->setAccessibleName(m_labelDate[0]->text() + m_labelBetween->text() + m_labelDate[1]->text()
                                   + m_label1->text());

    QList<QPointF> points;
    points.reserve(m_data.values.size());
    for (int i = 0; i < m_data.values.size(); ++i)
        points.append(QPointF(i + 1, m_data.values[i]));
    m_series->replace(points);

    QList<QPointF> period, fertile, love, spotting, lh;
    for (int i = 0; i < m_data.days.size(); ++i) {
        if (m_data.period[i])
            period.append(QPointF(i + 1, kPeriodRow));
        if (m_data.fertile[i])
            fertile.append(QPointF(i + 1, kPeriodRow));
        if (m_data.love[i])
            love.append(QPointF(i + 1, kLoveRow));
        if (m_data.spotting[i])
            spotting.append(QPointF(i + 1, kSpottingRow));
        if (m_data.lhPositive[i])
            lh.append(QPointF(i + 1, kLhRow));
    }
    m_periodMarks->replace(period);
    m_fertileMarks->replace(fertile);
    m_loveMarks->replace(love);
    m_spottingMarks->replace(spotting);
    m_lhMarks->replace(lh);
    showReadings();
    showCoverlines();

    auto *days = qobject_cast<QCategoryAxis *>(m_chart->axes(Qt::Horizontal).value(0));
    for (const QString &old : days->categoriesLabels())
        days->remove(old);
    for (int i : labelledPoints(int(m_data.labels.size())))
        days->append(m_data.labels[i - 1], i);

    m_chartView->setVisible(true);
}

void FRM_DISP::setBackgrounds(const QColor &color)
{
    for (QWidget *w :
         {static_cast<QWidget *>(this), static_cast<QWidget *>(m_labelBetween), static_cast<QWidget *>(m_labelDate[0]),
          static_cast<QWidget *>(m_labelDate[1]), static_cast<QWidget *>(m_label1)}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, color);
        w->setPalette(p);
    }
}

void FRM_DISP::CMD_PRINT_Click()
{
    const int savedHeight = height();
    const QColor buttonFace = palette().color(QPalette::Button);

    setBackgrounds(Qt::white);

    // Cut the window short below the chart so the buttons stay out of the image. The margin
    // counts from the outer edge; where the window system draws no frame the cut would
    // reach into the buttons, so it never goes below their top.
    const int dpi = logicalDpi(this);
    const int frameExtra = frameGeometry().height() - geometry().height();
    const int outer = m_chartView->y() + m_chartView->height() + twipsToPixels(kPrintMargin, dpi);
    const int buttonsTop = std::min({m_pdf->y(), m_print->y(), m_close->y()});
    resize(width(), std::min(outer - std::max(frameExtra, 0), buttonsTop));

    QString reason;
    const bool printed = m_printer.print(grab().toImage(), &reason);

    setBackgrounds(buttonFace);
    resize(width(), savedHeight);

    if (!printed) {
        QString text = QStringLiteral("印刷できませんでした。");
        if (!reason.isEmpty())
            text += QLatin1Char('\n') + reason;
        m_dialogs.message(this, text, Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
    }
}

std::optional<ReportScope> FRM_DISP::askReportScope()
{
    // The choices in the order of ReportScope, and how the setting stores each.
    const QStringList options {QStringLiteral("グラフの180日にかかる周期"), QStringLiteral("直近の3周期"),
                               QStringLiteral("直近の6周期")};
    const QList<int> stored {0, 3, 6};
    int offered = 0;
    try {
        offered = std::max(0, int(stored.indexOf(readReportCycles())));
    } catch (const AppError &) {
        // A setting that cannot be read offers the usual choice; the PDF is what she asked for.
    }
    const int chosen = m_dialogs.choice(this, QStringLiteral("PDF保存"),
                                        QStringLiteral("基礎体温表にする周期を選んでください。"), options, offered);
    if (chosen < 0 || chosen >= options.size())
        return std::nullopt;
    try {
        writeReportCycles(stored[chosen]);
    } catch (const AppError &) {
        // Not remembered this time; the PDF still goes ahead.
    }
    return ReportScope(chosen);
}

void FRM_DISP::CMD_PDF_Click()
{
    const QString title = QStringLiteral("PDF保存");
    trapped(m_dialogs, this, [&] {
        const std::optional<ReportScope> scope = askReportScope();
        if (!scope)
            return;
        const QString offered = QDir(Dialogs::documentsFolder()).filePath(reportFileName(m_data));
        const QString path = m_dialogs.saveFileName(this, title, offered, QStringLiteral("PDF ﾌｧｲﾙ (*.pdf)"));
        if (path.isEmpty())
            return;
        const QString format = QStringLiteral("yyyy/M/d");
        const GraphReport report(m_report(*scope, QDate::fromString(m_data.firstDay(), format),
                                          QDate::fromString(m_data.lastDay(), format)));
        try {
            // Private like the diary, and never a half-written file under the chosen name.
            writeFileSafely(path, report.pdf(), m_kept);
        } catch (const AppError &error) {
            m_dialogs.message(this, QStringLiteral("PDF ﾌｧｲﾙに書き込めません。\n%1").arg(error.message()),
                              Dialogs::Icon::Warning, Dialogs::Buttons::Ok, title);
            return;
        }
        m_dialogs.message(this,
                          QStringLiteral("ｸﾞﾗﾌを PDF ﾌｧｲﾙに保存しました。\n%1").arg(QDir::toNativeSeparators(path)),
                          Dialogs::Icon::Information, Dialogs::Buttons::Ok, title);
    });
}

void FRM_DISP::CMD_CLOSE_Click() { close(); }

} // namespace nerina
