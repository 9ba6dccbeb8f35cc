#include "TestSupport.h"
#include "common/Twips.h"
#include "graph/FRM_DISP.h"
#include "history/FlexGrid.h"
#include "shell/AppContext.h"
#include "shell/Form1.h"

#include <QAction>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPointer>
#include <QPushButton>
#include <QScatterSeries>
#include <QTabWidget>
#include <QTest>
#include <QValueAxis>

#include <map>

using namespace nerina;

namespace {

// The list's cells for the 180 days up to `selected`, with the given temperature texts.
struct Cells
{
    QDate selected;
    std::map<QDate, QString> temps;
    std::map<QDate, QString> cd;  // column 6: "●" or "★"
    std::map<QDate, QString> sex; // column 7: "◎"

    Cells(QDate day, std::map<QDate, QString> t = {}, std::map<QDate, QString> c = {}, std::map<QDate, QString> s = {})
        : selected(day), temps(std::move(t)), cd(std::move(c)), sex(std::move(s))
    { }

    static QString lookup(const std::map<QDate, QString> &m, const QDate &day)
    {
        const auto it = m.find(day);
        return it == m.end() ? QString() : it->second;
    }

    QString operator()(int row, int col) const
    {
        const QDate day = selected.addDays(-(row - 1));
        switch (col) {
        case 0: return QString::number(day.year());
        case 1: return QString::number(day.month());
        case 2: return QString::number(day.day());
        case 4: return lookup(temps, day);
        case 6: return lookup(cd, day);
        case 7: return lookup(sex, day);
        default: return QString();
        }
    }
};

void fillGrid(FlexGrid &grid, const Cells &cells)
{
    if (grid.cols() < 8)
        grid.setCols(8);
    grid.setRows(181);
    for (int row = 1; row <= 180; ++row)
        for (int col : {0, 1, 2, 4, 6, 7})
            grid.setTextMatrix(row, col, cells(row, col));
}

// Two cycles of 28 days, and the start of a third, in the last 60 days up to `selected`:
// period runs of five days, low readings of about 36.3, a rise of half a degree on day 14.
Cells twoCycles(const QDate &selected)
{
    Cells c(selected);
    const QDate start = selected.addDays(-59);
    for (int d = 0; d < 60; ++d) {
        const QDate day = start.addDays(d);
        const int n = d % 28;
        if (n < 5)
            c.cd[day] = QStringLiteral("●");
        else if (n >= 12 && n <= 17)
            c.cd[day] = QStringLiteral("★");
        if (n == 13 || n == 20)
            c.sex[day] = QStringLiteral("◎");
        if (n == 9)
            continue; // a morning without a reading
        c.temps[day] = n < 14 ? (n % 2 ? QStringLiteral("36.30") : QStringLiteral("36.25")) : QStringLiteral("36.80");
    }
    return c;
}

int twips(const QWidget *w, int px) { return pixelsToTwips(px, logicalDpi(w)); }

} // namespace

class TstGraphWindow final : public QObject
{
    Q_OBJECT

private slots:
    void rangeAndLabels_data();
    void rangeAndLabels();
    void temperatures_data();
    void temperatures();
    void pointsRunOldestToSelected();
    void dayAxisLabels();
    void marksAndShiftsFromCells();
    void toolTips_data();
    void toolTips();
    void chartShowsMarksAndCoverlines();

    void layout();
    void loadHidesChartActivationShowsIt();
    void activationsNeverAddPoints();
    void closeButtonDestroysWindow();

    void buttonOpensModal();
    void menuOpensNonBlockingOnce();
    void toolbarOpensNonBlocking();
    void secondActivationDrawsNewRange();
};

void TstGraphWindow::rangeAndLabels_data()
{
    QTest::addColumn<QDate>("selected");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("firstLabel");
    QTest::addColumn<QString>("lastLabel");

    QTest::newRow("spring") << QDate(2024, 3, 5) << "2023/9/8"
                            << "2024/3/5"
                            << "9/8"
                            << "3/5";
    QTest::newRow("across new year") << QDate(2024, 1, 10) << "2023/7/15"
                                     << "2024/1/10"
                                     << "7/15"
                                     << "1/10";
    QTest::newRow("leap day selected") << QDate(2024, 2, 29) << "2023/9/3"
                                       << "2024/2/29"
                                       << "9/3"
                                       << "2/29";
}

void TstGraphWindow::rangeAndLabels()
{
    QFETCH(QDate, selected);
    const GraphData data = graphDataFromCells(Cells {selected, {}});
    QTEST(data.firstDay, "first");
    QTEST(data.lastDay, "last");
    QCOMPARE(data.labels.size(), 180);
    QCOMPARE(data.values.size(), 180);
    QTEST(data.labels.first(), "firstLabel");
    QTEST(data.labels.last(), "lastLabel");
}

void TstGraphWindow::temperatures_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<double>("value");

    QTest::newRow("no entry") << QString() << 36.5;
    QTest::newRow("temperature 0") << "0" << 36.5;
    QTest::newRow("two decimals") << "36.45" << 36.45;
    QTest::newRow("trailing zero") << "36.50" << 36.5;
    QTest::newRow("high phase") << "37.12" << 37.12;
    QTest::newRow("zero with decimals is a number") << "0.00" << 0.0;
}

void TstGraphWindow::temperatures()
{
    QFETCH(QString, cell);
    const QDate selected(2024, 3, 5);
    const GraphData data = graphDataFromCells(Cells {selected, {{selected.addDays(-10), cell}}});
    // Point 180 is the selected day, so ten days earlier is point 170.
    QTEST(data.values[169], "value");
    QCOMPARE(data.labels[169], QStringLiteral("2/24"));
    QCOMPARE(data.values[168], 36.5);
}

void TstGraphWindow::pointsRunOldestToSelected()
{
    const QDate selected(2024, 3, 5);
    const GraphData data = graphDataFromCells(
        Cells {selected, {{selected, "37.01"}, {selected.addDays(-179), "36.11"}, {selected.addDays(-1), "36.99"}}});
    QCOMPARE(data.values.first(), 36.11);
    QCOMPARE(data.values[178], 36.99);
    QCOMPARE(data.values.last(), 37.01);
    for (int i = 1; i < 180; ++i)
        QVERIFY2(data.labels[i] != data.labels[i - 1], qPrintable(data.labels[i]));
}

void TstGraphWindow::dayAxisLabels()
{
    const QList<int> points = labelledPoints(180);
    QCOMPARE(points.first(), 1);
    QCOMPARE(points.last(), 180);
    for (int i = 1; i < points.size(); ++i) {
        QVERIFY(points[i] > points[i - 1]);
        QVERIFY2(points[i] - points[i - 1] >= 5, "labels this close would overlap");
        QVERIFY(points[i] - points[i - 1] <= 15);
    }
    QCOMPARE(labelledPoints(0), QList<int>());
    QCOMPARE(labelledPoints(3), QList<int> {3});
}

void TstGraphWindow::marksAndShiftsFromCells()
{
    const QDate selected(2024, 3, 5);
    const GraphData data = graphDataFromCells(twoCycles(selected));
    const int first = 180 - 60; // point of the first listed period day, 0-based

    QCOMPARE(data.days.size(), 180);
    QCOMPARE(data.days.first(), QStringLiteral("2023/9/8"));
    QCOMPARE(data.days.last(), QStringLiteral("2024/3/5"));
    QVERIFY(data.period[first] && data.period[first + 4] && !data.period[first + 5]);
    QVERIFY(data.fertile[first + 12] && !data.period[first + 12]);
    QVERIFY(data.love[first + 13] && data.love[first + 20] && !data.love[first + 14]);
    QVERIFY(!data.readings[first + 9]);
    QCOMPARE(data.values[first + 9], 36.5); // still drawn at the no-temperature line
    QCOMPARE(data.readings[first + 14], std::optional<int>(3680));

    // One shift each cycle: the first high reading on day 14, confirmed two readings later;
    // the line runs from six readings back (day 9 has none) to the day before the next period.
    QCOMPARE(data.shifts.size(), 2);
    QCOMPARE(data.shifts[0].firstHigh, first + 14);
    QCOMPARE(data.shifts[0].confirmed, first + 16);
    QCOMPARE(data.shifts[0].firstLow, first + 7);
    QCOMPARE(data.shifts[0].lastDay, first + 27);
    QCOMPARE(data.shifts[0].coverline, 3630);
    QCOMPARE(data.shifts[1].firstHigh, first + 28 + 14);
    QCOMPARE(data.shifts[1].lastDay, first + 55); // a third period starts on day 56
}

void TstGraphWindow::toolTips_data()
{
    QTest::addColumn<QString>("temp");
    QTest::addColumn<QString>("cd");
    QTest::addColumn<QString>("sex");
    QTest::addColumn<QString>("tip");

    QTest::newRow("reading only") << "36.45"
                                  << ""
                                  << ""
                                  << "2024/3/4  36.45℃";
    QTest::newRow("trailing zero kept") << "36.50"
                                        << ""
                                        << ""
                                        << "2024/3/4  36.50℃";
    QTest::newRow("no reading") << ""
                                << ""
                                << ""
                                << "2024/3/4  体温の記録なし";
    QTest::newRow("reading 0") << "0"
                               << ""
                               << ""
                               << "2024/3/4  体温の記録なし";
    QTest::newRow("period day") << "36.20"
                                << "●"
                                << ""
                                << "2024/3/4  36.20℃  ●";
    QTest::newRow("fertile with intercourse") << "36.40"
                                              << "★"
                                              << "◎"
                                              << "2024/3/4  36.40℃  ★◎";
    QTest::newRow("marks without a reading") << ""
                                             << "●"
                                             << "◎"
                                             << "2024/3/4  体温の記録なし  ●◎";
}

void TstGraphWindow::toolTips()
{
    QFETCH(QString, temp);
    QFETCH(QString, cd);
    QFETCH(QString, sex);
    const QDate selected(2024, 3, 5);
    const QDate day(2024, 3, 4);
    const GraphData data = graphDataFromCells(Cells {selected, {{day, temp}}, {{day, cd}}, {{day, sex}}});
    QTEST(dayToolTip(data, 178), "tip");
    QCOMPARE(dayToolTip(data, 179), QStringLiteral("2024/3/5  体温の記録なし"));
    QCOMPARE(dayToolTip(data, 180), QString());
    QCOMPARE(dayToolTip(data, -1), QString());
}

void TstGraphWindow::chartShowsMarksAndCoverlines()
{
    TestEnv env;
    AppContext context {env.dialogs, env.clock, env.folder(), env.printer};
    FlexGrid grid;
    const QDate selected(2024, 3, 5);
    fillGrid(grid, twoCycles(selected));
    FRM_DISP w(grid, context.dialogs, context.printer, nullptr);
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    w.show();
    w.Form_Activate();
    const int first = 180 - 60 + 1; // chart x of the first listed period day

    // The curve keeps its 180 points; the marks stand under it, one per marked day.
    QCOMPARE(w.series()->count(), 180);
    QCOMPARE(w.series()->at(first + 9 - 1), QPointF(first + 9, 36.5));
    // But faint, dashed and without markers; the markers and solid segments are the measured
    // days', in runs broken where day 9 and day 37 have no reading.
    QVERIFY(!w.series()->pointsVisible());
    QVERIFY(w.series()->pen().style() != Qt::SolidLine);
    QStringList runs;
    for (QLineSeries *run : w.readingRuns()) {
        QVERIFY(run->pointsVisible());
        runs << QStringLiteral("%1-%2").arg(run->points().first().x() - first).arg(run->points().last().x() - first);
    }
    QCOMPARE(runs, (QStringList {"0-8", "10-36", "38-59"}));
    QCOMPARE(w.periodMarks()->count(), 14);
    QCOMPARE(w.periodMarks()->at(0).x(), double(first));
    QCOMPARE(w.fertileMarks()->count(), 12);
    QCOMPARE(w.fertileMarks()->at(0).x(), double(first + 12));
    QCOMPARE(w.loveMarks()->count(), 4);
    QCOMPARE(w.loveMarks()->at(1).x(), double(first + 20));
    const double lowest = 36.25;
    for (QScatterSeries *marks : {w.periodMarks(), w.fertileMarks(), w.loveMarks()})
        for (const QPointF &p : marks->points())
            QVERIFY2(p.y() > 34.5 && p.y() < lowest - 0.5, "marks lie in the empty band under the curve");

    QCOMPARE(w.coverlines().size(), 2);
    QCOMPARE(w.coverlines()[0]->points(), (QList<QPointF> {{first + 7.0, 36.3}, {first + 27.0, 36.3}}));
    QCOMPARE(w.coverlines()[1]->at(1).x(), double(first + 55));
    for (QLineSeries *line : w.coverlines()) {
        QVERIFY(line->isVisible());
        QCOMPARE(line->attachedAxes().size(), 2);
    }

    // The legend names each kind of mark and line once and leaves the curve of readings out.
    QStringList named;
    for (QLegendMarker *m : w.G_CHART()->chart()->legend()->markers())
        if (m->isVisible())
            named << m->label();
    QCOMPARE(named, (QStringList {"記録なし（36.5℃の位置）", "月経", "妊娠可能日", "SEX", "カバーライン"}));
    QVERIFY(w.G_CHART()->chart()->legend()->isVisible());

    // A list without marks or a rise draws neither, and the old lines go.
    const int seriesBefore = int(w.G_CHART()->chart()->series().size());
    fillGrid(grid, Cells(selected));
    for (int row = 1; row <= 180; ++row)
        for (int col : {4, 6, 7})
            grid.setTextMatrix(row, col, QString());
    w.Form_Activate();
    QCOMPARE(w.coverlines().size(), 0);
    QCOMPARE(w.periodMarks()->count(), 0);
    QCOMPARE(w.fertileMarks()->count(), 0);
    QCOMPARE(w.loveMarks()->count(), 0);
    QCOMPARE(w.readingRuns().size(), 0);
    QCOMPARE(w.G_CHART()->chart()->series().size(), seriesBefore - 2 - 3);
    QCOMPARE(w.series()->count(), 180);
}

void TstGraphWindow::layout()
{
    TestEnv env;
    AppContext context {env.dialogs, env.clock, env.folder(), env.printer};
    FlexGrid grid;
    fillGrid(grid, Cells {QDate(2024, 3, 5), {}});
    FRM_DISP w(grid, context.dialogs, context.printer, nullptr);
    w.setAttribute(Qt::WA_DeleteOnClose, false);

    QCOMPARE(w.windowTitle(), QStringLiteral("ｸﾞﾗﾌ表示"));
    QCOMPARE(twips(&w, w.width()), 11265);
    QCOMPARE(twips(&w, w.height()), 7425);

    struct Expected
    {
        const char *name;
        int left, top, width, height;
    };
    const Expected places[] = {
        {"LABEL_DATE_0", 1200, 360, 1815, 315}, {"LABEL_BETWEEN", 3480, 360, 345, 315},
        {"LABEL_DATE_1", 4320, 360, 1815, 315}, {"Label1", 6600, 360, 2655, 495},
        {"G_CHART", 240, 960, 10575, 5535},     {"CMD_PRINT", 7080, 6960, 1815, 375},
        {"CMD_CLOSE", 9120, 6960, 1695, 375},
    };
    for (const Expected &e : places) {
        auto *c = w.findChild<QWidget *>(QLatin1String(e.name));
        QVERIFY2(c, e.name);
        // One pixel is up to 15 twips at 96 dpi.
        QVERIFY2(qAbs(twips(&w, c->x()) - e.left) <= 15, e.name);
        QVERIFY2(qAbs(twips(&w, c->y()) - e.top) <= 15, e.name);
        QVERIFY2(qAbs(twips(&w, c->width()) - e.width) <= 15, e.name);
        QVERIFY2(qAbs(twips(&w, c->height()) - e.height) <= 15, e.name);
    }

    QCOMPARE(w.findChild<QLabel *>("LABEL_BETWEEN")->text(), QStringLiteral("～"));
    QCOMPARE(w.findChild<QLabel *>("Label1")->text(), QStringLiteral("の基礎体温グラフ"));
    for (const char *name : {"LABEL_DATE_0", "LABEL_BETWEEN", "LABEL_DATE_1", "Label1"})
        QCOMPARE(w.findChild<QLabel *>(name)->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    auto *print = w.findChild<QPushButton *>("CMD_PRINT");
    auto *close = w.findChild<QPushButton *>("CMD_CLOSE");
    QCOMPARE(print->text(), QStringLiteral("印刷(&P)"));
    QCOMPARE(print->toolTip(), QStringLiteral("簡易印刷の開始"));
    QCOMPARE(close->text(), QStringLiteral("閉じる(&C)"));
    QCOMPARE(close->toolTip(), QStringLiteral("ｸﾞﾗﾌを閉じる"));
    QVERIFY(qobject_cast<QChartView *>(w.findChild<QWidget *>("G_CHART")));

    // The title line reads left to right; the buttons lie wholly below the chart.
    QVERIFY(w.LABEL_DATE(0)->geometry().right() < w.LABEL_BETWEEN()->x());
    QVERIFY(w.LABEL_BETWEEN()->geometry().right() < w.LABEL_DATE(1)->x());
    QVERIFY(w.LABEL_DATE(1)->geometry().right() < w.Label1()->x());
    const int chartBottom = w.G_CHART()->y() + w.G_CHART()->height();
    QVERIFY(print->y() >= chartBottom);
    QVERIFY(close->y() >= chartBottom);

    const auto vertical = w.G_CHART()->chart()->axes(Qt::Vertical);
    QCOMPARE(vertical.size(), 1);
    auto *temps = qobject_cast<QValueAxis *>(vertical.first());
    QVERIFY(temps);
    QCOMPARE(temps->min(), 34.5);
    QCOMPARE(temps->max(), 38.5);
}

void TstGraphWindow::loadHidesChartActivationShowsIt()
{
    TestEnv env;
    AppContext context {env.dialogs, env.clock, env.folder(), env.printer};
    FlexGrid grid;
    fillGrid(grid, Cells {QDate(2024, 3, 5), {{QDate(2024, 3, 5), "36.45"}}});
    FRM_DISP w(grid, context.dialogs, context.printer, nullptr);
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    QVERIFY(w.G_CHART()->isHidden());
    QCOMPARE(w.LABEL_DATE(0)->text(), QStringLiteral("1999/12/10"));

    w.Form_Activate();
    QVERIFY(!w.G_CHART()->isHidden());
    QCOMPARE(w.LABEL_DATE(0)->text(), QStringLiteral("2023/9/8"));
    QCOMPARE(w.LABEL_DATE(1)->text(), QStringLiteral("2024/3/5"));
    QCOMPARE(w.series()->count(), 180);
    QCOMPARE(w.series()->at(179), QPointF(180, 36.45));
    QCOMPARE(w.series()->at(0), QPointF(1, 36.5));

    // The axis names a readable subset of days, the oldest and the selected among them.
    auto *days = qobject_cast<QCategoryAxis *>(w.G_CHART()->chart()->axes(Qt::Horizontal).value(0));
    QVERIFY(days);
    const QStringList shown = days->categoriesLabels();
    QVERIFY(shown.size() >= 6 && shown.size() <= 20);
    QCOMPARE(shown.first(), QStringLiteral("9/8"));
    QCOMPARE(shown.last(), QStringLiteral("3/5"));
}

void TstGraphWindow::activationsNeverAddPoints()
{
    TestEnv env;
    AppContext context {env.dialogs, env.clock, env.folder(), env.printer};
    FlexGrid grid;
    fillGrid(grid, Cells {QDate(2024, 3, 5), {}});
    FRM_DISP w(grid, context.dialogs, context.printer, nullptr);
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    w.Form_Activate();
    const int axisLabels = int(
        qobject_cast<QCategoryAxis *>(w.G_CHART()->chart()->axes(Qt::Horizontal).value(0))->categoriesLabels().size());
    const auto seriesCount = w.G_CHART()->chart()->series().size();
    w.Form_Activate();
    QCOMPARE(w.series()->count(), 180);
    QCOMPARE(w.graphData().values.size(), 180);
    QCOMPARE(w.G_CHART()->chart()->series().size(), seriesCount);
    QCOMPARE(
        qobject_cast<QCategoryAxis *>(w.G_CHART()->chart()->axes(Qt::Horizontal).value(0))->categoriesLabels().size(),
        axisLabels);

    // Activation by the window system runs the same fill.
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(w.series()->count(), 180);
}

void TstGraphWindow::closeButtonDestroysWindow()
{
    TestEnv env;
    AppContext context {env.dialogs, env.clock, env.folder(), env.printer};
    FlexGrid grid;
    fillGrid(grid, Cells {QDate(2024, 3, 5), {}});
    QPointer<FRM_DISP> w = new FRM_DISP(grid, context.dialogs, context.printer, nullptr);
    w->show();
    QTest::mouseClick(w->CMD_CLOSE(), Qt::LeftButton);
    QTRY_VERIFY(w.isNull());
}

void TstGraphWindow::buttonOpensModal()
{
    TestEnv env(QDateTime(QDate(2024, 3, 5), QTime(8, 0)));
    auto form = env.makeForm();
    form->show();
    form->ui().SSTab1->setCurrentIndex(1);
    fillGrid(*form->ui().DATA_FLX, Cells {QDate(2024, 3, 5), {{QDate(2024, 3, 4), "36.45"}}});

    QTest::mouseClick(form->ui().CMD_GRAPH, Qt::LeftButton);
    QPointer<FRM_DISP> graph = form->graphWindow();
    QVERIFY(graph);
    QVERIFY(graph->isVisible());
    QCOMPARE(graph->windowModality(), Qt::ApplicationModal);
    QVERIFY(QTest::qWaitForWindowActive(graph.data()));
    QTRY_VERIFY(!graph->G_CHART()->isHidden());
    QCOMPARE(graph->LABEL_DATE(0)->text(), QStringLiteral("2023/9/8"));
    QCOMPARE(graph->LABEL_DATE(1)->text(), QStringLiteral("2024/3/5"));
    QCOMPARE(graph->series()->count(), 180);
    QCOMPARE(graph->series()->at(178).y(), 36.45);
    QCOMPARE(graph->graphData().labels.first(), QStringLiteral("9/8"));
    QCOMPARE(graph->graphData().labels.last(), QStringLiteral("3/5"));

    // Pressing the button again while it is open makes no second window.
    form->CMD_GRAPH_Click();
    QCOMPARE(form->graphWindow(), graph.data());
    QCOMPARE(form->findChildren<FRM_DISP *>().size(), 1);

    QTest::mouseClick(graph->CMD_CLOSE(), Qt::LeftButton);
    QTRY_VERIFY(graph.isNull());
    QVERIFY(!form->graphWindow());
}

void TstGraphWindow::menuOpensNonBlockingOnce()
{
    TestEnv env(QDateTime(QDate(2024, 1, 10), QTime(8, 0)));
    auto form = env.makeForm();
    form->show();
    form->ui().SSTab1->setCurrentIndex(1);
    fillGrid(*form->ui().DATA_FLX, Cells {QDate(2024, 1, 10), {}});
    QVERIFY(form->ui().mnuGraph->isEnabled());

    form->ui().mnuGraph->trigger();
    QPointer<FRM_DISP> graph = form->graphWindow();
    QVERIFY(graph);
    QVERIFY(graph->isVisible());
    QCOMPARE(graph->windowModality(), Qt::NonModal);
    QVERIFY(QTest::qWaitForWindowActive(graph.data()));
    QCOMPARE(graph->LABEL_DATE(0)->text(), QStringLiteral("2023/7/15"));
    QCOMPARE(graph->LABEL_DATE(1)->text(), QStringLiteral("2024/1/10"));

    form->ui().mnuGraph->trigger();
    QCOMPARE(form->graphWindow(), graph.data());
    QCOMPARE(form->findChildren<FRM_DISP *>().size(), 1);
    QCOMPARE(graph->series()->count(), 180);

    graph->close();
    QTRY_VERIFY(graph.isNull());
    form->ui().mnuGraph->trigger();
    QVERIFY(form->graphWindow());
    QCOMPARE(form->findChildren<FRM_DISP *>().size(), 1);
}

void TstGraphWindow::toolbarOpensNonBlocking()
{
    TestEnv env(QDateTime(QDate(2024, 3, 5), QTime(8, 0)));
    auto form = env.makeForm();
    form->show();
    form->ui().SSTab1->setCurrentIndex(1);
    fillGrid(*form->ui().DATA_FLX, Cells {QDate(2024, 3, 5), {}});
    form->ui().toolbarButtons[2]->trigger();
    QVERIFY(form->graphWindow());
    QCOMPARE(form->graphWindow()->windowModality(), Qt::NonModal);
}

void TstGraphWindow::secondActivationDrawsNewRange()
{
    TestEnv env(QDateTime(QDate(2024, 3, 5), QTime(8, 0)));
    auto form = env.makeForm();
    form->show();
    form->ui().SSTab1->setCurrentIndex(1);
    fillGrid(*form->ui().DATA_FLX, Cells {QDate(2024, 3, 5), {}});
    form->mnuGraph_Click();
    QPointer<FRM_DISP> graph = form->graphWindow();
    QVERIFY(QTest::qWaitForWindowActive(graph.data()));
    QCOMPARE(graph->LABEL_DATE(1)->text(), QStringLiteral("2024/3/5"));

    // Back in the main window the list now holds another range; returning redraws it.
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    fillGrid(*form->ui().DATA_FLX, Cells {QDate(2024, 1, 10), {{QDate(2024, 1, 10), "36.45"}}});
    graph->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(graph.data()));
    QTRY_COMPARE(graph->LABEL_DATE(0)->text(), QStringLiteral("2023/7/15"));
    QCOMPARE(graph->LABEL_DATE(1)->text(), QStringLiteral("2024/1/10"));
    QCOMPARE(graph->series()->count(), 180);
    QCOMPARE(graph->series()->at(179).y(), 36.45);
}

QTEST_MAIN(TstGraphWindow)
#include "tst_graph_window.moc"
