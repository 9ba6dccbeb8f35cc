#pragma once

#include "TemperatureShift.h"

#include <QList>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QPushButton;
class QScatterSeries;

namespace nerina {

class FlexGrid;
struct AppContext;

// What the graph shows, taken from the list's cells: the title line's two days and one
// point a day, the oldest day first.
struct GraphData
{
    static constexpr int kPoints = 180;
    static constexpr double kNoTemperature = 36.5; // where a day without a temperature is drawn

    QString firstDay;     // "2023/9/8"
    QString lastDay;      // "2024/3/5"
    QList<double> values; // kPoints values
    QStringList labels;   // kPoints labels "9/8"

    // The same days once more, for the marks drawn under the curve and the tooltips.
    QStringList days;                    // "2024/3/5"
    QList<std::optional<int>> readings;  // hundredths of a degree; none when not measured
    QList<bool> period;                  // the list shows "●"
    QList<bool> fertile;                 // the list shows "★"
    QList<bool> love;                    // the list shows "◎"
    QList<TemperatureShift> shifts;      // confirmed rises, with their coverlines
};

// Reads the list's rows 1..180 (row 1 the selected day, row 180 the oldest) through
// `cell(row, col)`: columns 0..2 are year, month and day, column 4 the temperature text,
// columns 6 and 7 the marks.
GraphData graphDataFromCells(const std::function<QString(int row, int col)> &cell);

// What pointing at point i (0 = the oldest day) tells: "2024/3/5  36.45℃  ●◎".
QString dayToolTip(const GraphData &data, int i);

// Which points carry a date on the time axis: every 15th day counted back from the
// selected day, and the oldest day. Point numbers start at 1.
QList<int> labelledPoints(int points);

// The temperature graph of the 180 days the list holds, and its quick print.
class FRM_DISP final : public QWidget
{
    Q_OBJECT
public:
    FRM_DISP(const FlexGrid &grid, AppContext &context, QWidget *parent);

    // Fills the title line and the chart from the list; runs on every activation.
    void Form_Activate();
    void CMD_PRINT_Click();
    void CMD_CLOSE_Click();

    // What the chart was last filled with.
    const GraphData &graphData() const { return m_data; }

    QLabel *LABEL_DATE(int index) const { return m_labelDate[index]; }
    QLabel *LABEL_BETWEEN() const { return m_labelBetween; }
    QLabel *Label1() const { return m_label1; }
    QChartView *G_CHART() const { return m_chartView; }
    QPushButton *CMD_PRINT() const { return m_print; }
    QPushButton *CMD_CLOSE() const { return m_close; }
    // All 180 days, a day without a reading at 36.5: the faint dashed line under the curve.
    QLineSeries *series() const { return m_series; }
    // The curve of the measured days, one line for each run of consecutive ones, with markers.
    const QList<QLineSeries *> &readingRuns() const { return m_readingRuns; }
    // The marks under the curve and one line for each coverline.
    QScatterSeries *periodMarks() const { return m_periodMarks; }
    QScatterSeries *fertileMarks() const { return m_fertileMarks; }
    QScatterSeries *loveMarks() const { return m_loveMarks; }
    const QList<QLineSeries *> &coverlines() const { return m_coverlines; }

protected:
    bool event(QEvent *event) override;

private:
    void Form_Load();
    void buildChart();
    void setBackgrounds(const QColor &color);
    void showCoverlines();
    void showReadings();
    void showDayToolTip(const QPointF &point, bool on);

    const FlexGrid &m_grid;
    AppContext &m_context;
    GraphData m_data;

    std::array<QLabel *, 2> m_labelDate{};
    QLabel *m_labelBetween = nullptr;
    QLabel *m_label1 = nullptr;
    QChartView *m_chartView = nullptr;
    QChart *m_chart = nullptr;
    QLineSeries *m_series = nullptr;
    QList<QLineSeries *> m_readingRuns;
    QScatterSeries *m_periodMarks = nullptr;
    QScatterSeries *m_fertileMarks = nullptr;
    QScatterSeries *m_loveMarks = nullptr;
    QList<QLineSeries *> m_coverlines;
    QPushButton *m_print = nullptr;
    QPushButton *m_close = nullptr;
};

} // namespace nerina
