#include "TestSupport.h"
#include "graph/FRM_DISP.h"
#include "shell/AppContext.h"
#include "shell/FlexGrid.h"
#include "shell/Form1.h"
#include "shell/Twips.h"

#include <QAction>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QPointer>
#include <QPushButton>
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

    QString operator()(int row, int col) const
    {
        const QDate day = selected.addDays(-(row - 1));
        switch (col) {
        case 0: return QString::number(day.year());
        case 1: return QString::number(day.month());
        case 2: return QString::number(day.day());
        case 4: {
            const auto it = temps.find(day);
            return it == temps.end() ? QString() : it->second;
        }
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
        for (int col : {0, 1, 2, 4})
            grid.setTextMatrix(row, col, cells(row, col));
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

    QTest::newRow("spring") << QDate(2024, 3, 5) << "2023/9/8" << "2024/3/5" << "9/8" << "3/5";
    QTest::newRow("across new year") << QDate(2024, 1, 10) << "2023/7/15" << "2024/1/10" << "7/15" << "1/10";
    QTest::newRow("leap day selected") << QDate(2024, 2, 29) << "2023/9/3" << "2024/2/29" << "9/3" << "2/29";
}

void TstGraphWindow::rangeAndLabels()
{
    QFETCH(QDate, selected);
    const GraphData data = graphDataFromCells(Cells{selected, {}});
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
    const GraphData data = graphDataFromCells(Cells{selected, {{selected.addDays(-10), cell}}});
    // Point 180 is the selected day, so ten days earlier is point 170.
    QTEST(data.values[169], "value");
    QCOMPARE(data.labels[169], QStringLiteral("2/24"));
    QCOMPARE(data.values[168], 36.5);
}

void TstGraphWindow::pointsRunOldestToSelected()
{
    const QDate selected(2024, 3, 5);
    const GraphData data = graphDataFromCells(
        Cells{selected, {{selected, "37.01"}, {selected.addDays(-179), "36.11"}, {selected.addDays(-1), "36.99"}}});
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
    QCOMPARE(labelledPoints(3), QList<int>{3});
}

void TstGraphWindow::layout()
{
    TestEnv env;
    AppContext context{env.dialogs, env.clock, env.folder(), env.printer};
    FlexGrid grid;
    fillGrid(grid, Cells{QDate(2024, 3, 5), {}});
    FRM_DISP w(grid, context, nullptr);
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
    AppContext context{env.dialogs, env.clock, env.folder(), env.printer};
    FlexGrid grid;
    fillGrid(grid, Cells{QDate(2024, 3, 5), {{QDate(2024, 3, 5), "36.45"}}});
    FRM_DISP w(grid, context, nullptr);
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
    AppContext context{env.dialogs, env.clock, env.folder(), env.printer};
    FlexGrid grid;
    fillGrid(grid, Cells{QDate(2024, 3, 5), {}});
    FRM_DISP w(grid, context, nullptr);
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    w.Form_Activate();
    const int axisLabels = int(qobject_cast<QCategoryAxis *>(w.G_CHART()->chart()->axes(Qt::Horizontal).value(0))
                                   ->categoriesLabels().size());
    w.Form_Activate();
    QCOMPARE(w.series()->count(), 180);
    QCOMPARE(w.graphData().values.size(), 180);
    QCOMPARE(w.G_CHART()->chart()->series().size(), 1);
    QCOMPARE(qobject_cast<QCategoryAxis *>(w.G_CHART()->chart()->axes(Qt::Horizontal).value(0))
                 ->categoriesLabels().size(), axisLabels);

    // Activation by the window system runs the same fill.
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(w.series()->count(), 180);
}

void TstGraphWindow::closeButtonDestroysWindow()
{
    TestEnv env;
    AppContext context{env.dialogs, env.clock, env.folder(), env.printer};
    FlexGrid grid;
    fillGrid(grid, Cells{QDate(2024, 3, 5), {}});
    QPointer<FRM_DISP> w = new FRM_DISP(grid, context, nullptr);
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
    fillGrid(*form->ui().DATA_FLX, Cells{QDate(2024, 3, 5), {{QDate(2024, 3, 4), "36.45"}}});

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
    fillGrid(*form->ui().DATA_FLX, Cells{QDate(2024, 1, 10), {}});
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
    fillGrid(*form->ui().DATA_FLX, Cells{QDate(2024, 3, 5), {}});
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
    fillGrid(*form->ui().DATA_FLX, Cells{QDate(2024, 3, 5), {}});
    form->mnuGraph_Click();
    QPointer<FRM_DISP> graph = form->graphWindow();
    QVERIFY(QTest::qWaitForWindowActive(graph.data()));
    QCOMPARE(graph->LABEL_DATE(1)->text(), QStringLiteral("2024/3/5"));

    // Back in the main window the list now holds another range; returning redraws it.
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    fillGrid(*form->ui().DATA_FLX, Cells{QDate(2024, 1, 10), {{QDate(2024, 1, 10), "36.45"}}});
    graph->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(graph.data()));
    QTRY_COMPARE(graph->LABEL_DATE(0)->text(), QStringLiteral("2023/7/15"));
    QCOMPARE(graph->LABEL_DATE(1)->text(), QStringLiteral("2024/1/10"));
    QCOMPARE(graph->series()->count(), 180);
    QCOMPARE(graph->series()->at(179).y(), 36.45);
}

QTEST_MAIN(TstGraphWindow)
#include "tst_graph_window.moc"
