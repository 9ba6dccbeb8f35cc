#include "FRM_DISP.h"

#include "PrintTarget.h"
#include "shell/AppContext.h"
#include "shell/Conversions.h"
#include "shell/Dialogs.h"
#include "shell/FlexGrid.h"
#include "shell/Fonts.h"
#include "shell/Twips.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
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
constexpr Place kLabelDate0{1200, 360, 1815, 315};
constexpr Place kLabelBetween{3480, 360, 345, 315};
constexpr Place kLabelDate1{4320, 360, 1815, 315};
constexpr Place kLabel1{6600, 360, 2655, 495};
constexpr Place kChart{240, 960, 10575, 5535};
constexpr Place kPrint{7080, 6960, 1815, 375};
constexpr Place kClose{9120, 6960, 1695, 375};

constexpr double kAxisMin = 34.5;
constexpr double kAxisMax = 38.5;

double temperatureValue(const QString &text)
{
    if (text.isEmpty() || text == QLatin1String("0"))
        return GraphData::kNoTemperature;
    // The list writes either nothing or a number; anything else would be a list we did not
    // fill, and drawing it at the no-temperature line beats stopping the program.
    return isNumeric(text) ? numericValue(text) : GraphData::kNoTemperature;
}

} // namespace

GraphData graphDataFromCells(const std::function<QString(int row, int col)> &cell)
{
    const int n = GraphData::kPoints;
    GraphData data;
    data.firstDay = cell(n, 0) + QLatin1Char('/') + cell(n, 1) + QLatin1Char('/') + cell(n, 2);
    data.lastDay = cell(1, 0) + QLatin1Char('/') + cell(1, 1) + QLatin1Char('/') + cell(1, 2);
    data.values.reserve(n);
    data.labels.reserve(n);
    for (int i = 1; i <= n; ++i) {
        const int row = n + 1 - i;
        data.values.append(temperatureValue(cell(row, 4)));
        data.labels.append(cell(row, 1) + QLatin1Char('/') + cell(row, 2));
    }
    return data;
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

FRM_DISP::FRM_DISP(const FlexGrid &grid, AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Window), m_grid(grid), m_context(context)
{
    setObjectName(QStringLiteral("FRM_DISP"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ｸﾞﾗﾌ表示"));

    const int dpi = logicalDpi(this);
    auto px = [dpi](int twips) { return twipsToPixels(twips, dpi); };
    auto place = [&px](QWidget *w, const Place &p) {
        w->setGeometry(px(p.left), px(p.top), px(p.width), px(p.height));
    };
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
    m_print = button("CMD_PRINT", QStringLiteral("印刷(&P)"), QStringLiteral("簡易印刷の開始"), kPrint);
    m_close = button("CMD_CLOSE", QStringLiteral("閉じる(&C)"), QStringLiteral("ｸﾞﾗﾌを閉じる"), kClose);
    connect(m_print, &QPushButton::clicked, this, [this] { CMD_PRINT_Click(); });
    connect(m_close, &QPushButton::clicked, this, [this] { CMD_CLOSE_Click(); });

    setBackgrounds(palette().color(QPalette::Button));
    Form_Load();
}

void FRM_DISP::buildChart()
{
    m_chart = new QChart;
    m_chart->legend()->hide();
    m_chart->setMargins(QMargins(4, 4, 16, 4)); // room for the last day's label
    m_chart->setBackgroundRoundness(0);

    m_series = new QLineSeries;
    m_series->setPointsVisible(true);
    QPen pen(QColor(0xc0, 0x30, 0x60));
    pen.setWidthF(1.5);
    m_series->setPen(pen);
    m_series->setMarkerSize(4);
    m_chart->addSeries(m_series);

    const QFont axisFont = designFont(8);

    auto *days = new QCategoryAxis;
    days->setObjectName(QStringLiteral("dayAxis"));
    days->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    days->setLabelsFont(axisFont);
    days->setRange(0.5, GraphData::kPoints + 0.5);
    days->setStartValue(0.5);
    m_chart->addAxis(days, Qt::AlignBottom);
    m_series->attachAxis(days);

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
    m_series->attachAxis(temps);

    m_chartView = new QChartView(m_chart, this);
    m_chartView->setObjectName(QStringLiteral("G_CHART"));
    m_chartView->setRenderHint(QPainter::Antialiasing);

    // Only some days fit under the axis; pointing at a point names its own day.
    connect(m_series, &QLineSeries::hovered, this, [this](const QPointF &point, bool on) {
        const int i = int(std::lround(point.x())) - 1;
        if (!on || i < 0 || i >= m_data.labels.size()) {
            QToolTip::hideText();
            return;
        }
        QToolTip::showText(QCursor::pos(),
                           m_data.labels[i] + QStringLiteral("  ") + QString::number(m_data.values[i]) + QStringLiteral("℃"),
                           m_chartView);
    });
}

void FRM_DISP::Form_Load()
{
    m_chartView->setVisible(false);
}

bool FRM_DISP::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return handled;
}

void FRM_DISP::Form_Activate()
{
    m_data = graphDataFromCells([this](int row, int col) { return m_grid.textMatrix(row, col); });
    m_labelDate[0]->setText(m_data.firstDay);
    m_labelDate[1]->setText(m_data.lastDay);

    QList<QPointF> points;
    points.reserve(m_data.values.size());
    for (int i = 0; i < m_data.values.size(); ++i)
        points.append(QPointF(i + 1, m_data.values[i]));
    m_series->replace(points);

    auto *days = qobject_cast<QCategoryAxis *>(m_chart->axes(Qt::Horizontal).value(0));
    for (const QString &old : days->categoriesLabels())
        days->remove(old);
    for (int i : labelledPoints(int(m_data.labels.size())))
        days->append(m_data.labels[i - 1], i);

    m_chartView->setVisible(true);
}

void FRM_DISP::setBackgrounds(const QColor &color)
{
    for (QWidget *w : {static_cast<QWidget *>(this), static_cast<QWidget *>(m_labelBetween),
                       static_cast<QWidget *>(m_labelDate[0]), static_cast<QWidget *>(m_labelDate[1]),
                       static_cast<QWidget *>(m_label1)}) {
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
    const int buttonsTop = std::min(m_print->y(), m_close->y());
    resize(width(), std::min(outer - std::max(frameExtra, 0), buttonsTop));

    QString reason;
    const bool printed = m_context.printer.print(grab().toImage(), &reason);

    setBackgrounds(buttonFace);
    resize(width(), savedHeight);

    if (!printed) {
        QString text = QStringLiteral("印刷できませんでした。");
        if (!reason.isEmpty())
            text += QLatin1Char('\n') + reason;
        m_context.dialogs.message(this, text, Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
    }
}

void FRM_DISP::CMD_CLOSE_Click()
{
    close();
}

} // namespace nerina
