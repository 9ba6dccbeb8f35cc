#pragma once

#include "GraphData.h"
#include "ReportData.h"
#include "common/FileSafety.h"

#include <QDialog>
#include <QList>
#include <QStringList>

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

class Dialogs;
class FlexGrid;
class PrintTarget;

// The temperature graph of the 180 days the list holds, its quick print, and the PDF
// for a doctor: the basal temperature chart of the cycles she chooses, cycle by cycle.
// A dialog, so that the keys behave as in any secondary window: Esc closes it, Return
// presses the focused button.
class FRM_DISP final : public QDialog
{
    Q_OBJECT
public:
    // What the PDF holds, read from the diary for the cycles she chose and the graph's
    // first and last days; it may throw AppError.
    using ReportSource = std::function<ReportData(ReportScope scope, const QDate &first, const QDate &last)>;
    // The signs of the days from `first` to `last`, read from the diary, as the list does not
    // hold them; it may throw AppError.
    using SignsSource = std::function<std::map<QDate, DaySigns>(const QDate &first, const QDate &last)>;

    // `kept` are the files the PDF must never write over.
    FRM_DISP(const FlexGrid &grid, Dialogs &dialogs, PrintTarget &printer, KeptFiles kept, QWidget *parent,
             ReportSource report, SignsSource signs);

    // Fills the title line and the chart from the list; runs on every activation.
    void Form_Activate();
    void CMD_PDF_Click();
    void CMD_PRINT_Click();
    void CMD_CLOSE_Click();

    // What the chart was last filled with.
    const GraphData &graphData() const { return m_data; }

    QLabel *LABEL_DATE(int index) const { return m_labelDate[index]; }
    QLabel *LABEL_BETWEEN() const { return m_labelBetween; }
    QLabel *Label1() const { return m_label1; }
    QChartView *G_CHART() const { return m_chartView; }
    QPushButton *CMD_PDF() const { return m_pdf; }
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
    QScatterSeries *spottingMarks() const { return m_spottingMarks; }
    QScatterSeries *lhMarks() const { return m_lhMarks; }
    // The readings she left out, open markers apart from the curve.
    QScatterSeries *excludedReadings() const { return m_excludedReadings; }
    const QList<QLineSeries *> &coverlines() const { return m_coverlines; }

protected:
    bool event(QEvent *event) override;

private:
    void Form_Load();
    void buildChart();
    void setBackgrounds(const QColor &color);
    // A line over the days, on the chart's axes, with an entry in the legend only when
    // `inLegend`; pointing at it runs `hovered`.
    QLineSeries *addLine(const QString &name, const QColor &color, bool inLegend,
                         const std::function<void(const QPointF &, bool)> &hovered);
    void showCoverlines();
    void showReadings();
    void showDayToolTip(const QPointF &point, bool on);
    // Asks which cycles the PDF charts, offering the choice she made last; none when she
    // cancels.
    std::optional<ReportScope> askReportScope();

    const FlexGrid &m_grid;
    Dialogs &m_dialogs;
    PrintTarget &m_printer;
    KeptFiles m_kept;
    ReportSource m_report;
    SignsSource m_signs;
    GraphData m_data;

    std::array<QLabel *, 2> m_labelDate {};
    QLabel *m_labelBetween = nullptr;
    QLabel *m_label1 = nullptr;
    QChartView *m_chartView = nullptr;
    QChart *m_chart = nullptr;
    QLineSeries *m_series = nullptr;
    QList<QLineSeries *> m_readingRuns;
    QScatterSeries *m_periodMarks = nullptr;
    QScatterSeries *m_fertileMarks = nullptr;
    QScatterSeries *m_loveMarks = nullptr;
    QScatterSeries *m_spottingMarks = nullptr;
    QScatterSeries *m_lhMarks = nullptr;
    QScatterSeries *m_excludedReadings = nullptr;
    QList<QLineSeries *> m_coverlines;
    QPushButton *m_pdf = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_close = nullptr;
};

} // namespace nerina
