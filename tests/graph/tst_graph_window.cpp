#include "TestWindows.h"
#include "graph/FRM_DISP.h"

#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace nerina;

class TstGraphWindow final : public QObject
{
    Q_OBJECT

    // The graph of the list tab, opened the way the graph button opens it (today is point 180).
    static FRM_DISP *open(test::ShownForm &f)
    {
        for (int back : {3, 2, 0})
            f.diary.db().saveDay(test::day(f.clock.now().date().addDays(-back), 36.6));
        if (!f.start())
            return nullptr;
        f.ui().SSTab1->setCurrentIndex(1);
        QTest::mouseClick(f.ui().CMD_GRAPH, Qt::LeftButton);
        return QTest::qWaitForWindowActive(f.form->graphWindow()) ? f.form->graphWindow() : nullptr;
    }

private slots:
    void fillsFromTheList()
    {
        test::ShownForm f;
        FRM_DISP *graph = open(f);
        QVERIFY(graph);
        QCOMPARE(graph->windowModality(), Qt::ApplicationModal);
        QTRY_VERIFY(graph->G_CHART()->isVisible());
        QCOMPARE(graph->LABEL_DATE(1)->text(), QStringLiteral("2026/12/6"));
        // Every day on a faint dashed line without markers, a day without a reading at 36.5;
        // the readings over it in solid runs with markers, broken where a day has none.
        QCOMPARE(graph->series()->count(), 180);
        QCOMPARE(graph->series()->at(178), QPointF(179, 36.5));
        QVERIFY(graph->series()->pen().style() != Qt::SolidLine && !graph->series()->pointsVisible());
        QStringList runs;
        for (QLineSeries *run : graph->readingRuns())
            runs << QStringLiteral("%1-%2").arg(run->points().first().x()).arg(run->points().last().x());
        QCOMPARE(runs, (QStringList {"177-178", "180-180"}));
        QVERIFY(graph->readingRuns().first()->pointsVisible());
    }

    // The print is the window on white, cut short between the chart and the buttons; after
    // it, or after a failure the user is told of, the window is as it was.
    void print()
    {
        test::ShownForm f;
        FRM_DISP *graph = open(f);
        QVERIFY(graph);
        graph->resize(graph->width(), 610);
        const QColor face = graph->palette().color(QPalette::Button);
        const QList<QWidget *> painted {graph, graph->LABEL_BETWEEN(), graph->LABEL_DATE(0), graph->LABEL_DATE(1),
                                        graph->Label1()};
        QList<QColor> during;
        f.printer.whilePrinting = [&] {
            for (QWidget *w : painted)
                during << w->palette().color(QPalette::Window);
        };
        for (bool fails : {true, false}) {
            f.printer.fail = fails;
            QTest::mouseClick(graph->CMD_PRINT(), Qt::LeftButton);
            QCOMPARE(graph->height(), 610);
            for (QWidget *w : painted)
                QCOMPARE(w->palette().color(QPalette::Window), face);
        }
        QCOMPARE(during, QList<QColor>(10, Qt::white));
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(f.dialogs.last().text, QStringLiteral("印刷できませんでした。\nプリンタがありません。"));
        QCOMPARE(f.dialogs.last().icon, Dialogs::Icon::Warning);

        QCOMPARE(f.printer.printed.size(), 1);
        const QImage image = f.printer.printed.first();
        const qreal ratio = image.devicePixelRatio();
        QVERIFY(image.height() / ratio > graph->G_CHART()->geometry().bottom());
        QVERIFY(image.height() / ratio <= graph->CMD_PRINT()->y());
        const QRect title = graph->LABEL_DATE(0)->geometry();
        QCOMPARE(image.pixelColor(title.topLeft() * ratio), QColor(Qt::white));
        bool ink = false;
        for (int x = title.left(); x <= title.right(); ++x)
            ink |= image.pixelColor(QPoint(x, title.center().y()) * ratio) != QColor(Qt::white);
        QVERIFY(ink);
    }
};

QTEST_MAIN(TstGraphWindow)
#include "tst_graph_window.moc"
