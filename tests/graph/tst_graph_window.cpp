#include "TestWindows.h"
#include "common/FileSafety.h"
#include "graph/FRM_DISP.h"

#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>

using namespace nerina;

namespace {

// What a tool of poppler-utils prints.
QString poppler(const char *tool, const QStringList &args)
{
    QProcess p;
    p.start(QStandardPaths::findExecutable(QLatin1String(tool)), args);
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TstGraphWindow final : public QObject
{
    Q_OBJECT

    // The graph of the list tab, opened the way the graph button opens it: 70 days up to
    // today (point 180) but yesterday, with a period every 28 days and one day "頭痛".
    static FRM_DISP *open(test::ShownForm &f)
    {
        std::vector<DayRecord> days;
        for (int back = 70; back >= 0; --back) {
            if (back != 1)
                days.push_back(test::day(f.clock.now().date().addDays(-back), back % 28 > 14 ? 36.3 : 36.8,
                                         back == 5 ? QStringLiteral("頭痛") : QString(), {}, back % 28 > 23));
        }
        f.diary.db().saveDays(days);
        if (!f.start())
            return nullptr;
        f.ui().SSTab1->setCurrentIndex(1);
        QTest::mouseClick(f.ui().list->CMD_GRAPH, Qt::LeftButton);
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
        // Every day on a line, a day without a reading at 36.5; the readings over it in runs,
        // broken where a day has none.
        QCOMPARE(graph->series()->count(), 180);
        QCOMPARE(graph->series()->at(178), QPointF(179, 36.5));
        const QPen faint = graph->series()->pen(); // a line that passes for no measurement
        QVERIFY(faint.style() == Qt::CustomDashLine && faint.color().alpha() < 128);
        QStringList runs;
        for (QLineSeries *run : graph->readingRuns())
            runs << QStringLiteral("%1-%2").arg(run->points().first().x()).arg(run->points().last().x());
        QCOMPARE(runs, (QStringList {"110-178", "180-180"}));
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
        QCOMPARE(f.dialogs.shown.size(), 1); // the failure, told

        QCOMPARE(f.printer.printed.size(), 1);
        const QImage image = f.printer.printed.first();
        const qreal ratio = image.devicePixelRatio();
        QVERIFY(image.height() / ratio > graph->G_CHART()->geometry().bottom());
        QVERIFY(image.height() / ratio <= graph->CMD_PRINT()->y());
        const QRect title = graph->LABEL_DATE(0)->geometry();
        bool ink = false;
        for (int x = title.left(); x <= title.right(); ++x)
            ink |= image.pixelColor(QPoint(x, title.center().y()) * ratio) != QColor(Qt::white);
        QVERIFY(ink);
    }

    // Saved by "PDF保存" to the file the message names, past a partial file of a cut-off save;
    // the diary is refused with the reason. The PDF has a landscape page with the chart and
    // its labels as text, then the days on portrait pages, each with the header, and the
    // summary of the cycles up to today; the font is embedded.
    void savesTheGraph()
    {
        for (const char *tool : {"pdfinfo", "pdffonts", "pdftotext"})
            QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(), "poppler-utils is missing");
        test::ShownForm f;
        FRM_DISP *graph = open(f);
        QVERIFY(graph);
        QTRY_VERIFY(graph->G_CHART()->isVisible());
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("graph.pdf"));
        QVERIFY(QFile(partialPathFor(pdf)).open(QIODevice::WriteOnly));
        const QDate today = f.clock.now().date(); // three cycles of 28 days before it, then a slip of the year
        f.diary.db().saveDays({test::day(today.addDays(-111), 0, {}, {}, true),
                               test::day(today.addDays(-83), 0, {}, {}, true),
                               test::day(QDate(2062, 11, 26), 0, {}, {}, true)});
        f.dialogs.fileNames << f.diary.path() << pdf;
        QTest::mouseClick(graph->CMD_PDF(), Qt::LeftButton);
        QTest::mouseClick(graph->CMD_PDF(), Qt::LeftButton);
        QVERIFY(f.dialogs.texts().first().startsWith(
            QStringLiteral("PDF ﾌｧｲﾙに書き込めません。\n選んだファイルは日記のデータ")));
        QCOMPARE(f.diary.db().rowCount(), 73);
        QCOMPARE(f.dialogs.last().icon, Dialogs::Icon::Information);
        QVERIFY(f.dialogs.last().text.contains(pdf));
        QVERIFY(!QFile::exists(partialPathFor(pdf)));

        const QString info = poppler("pdfinfo", {"-l", "2", pdf});
        QVERIFY2(QRegularExpression("1 size: +842 x 595 .*\n.*\n.*2 size: +595 x 842").match(info).hasMatch(),
                 qPrintable(info));
        QVERIFY(QRegularExpression("IPAPGothic +CID TrueType +\\S+ +yes").match(poppler("pdffonts", {pdf})).hasMatch());
        const QString chart = poppler("pdftotext", {"-l", "1", pdf, "-"});
        for (const char *text : {"の基礎体温グラフ", "37.0", "体温(℃)", "カバーライン"})
            QVERIFY2(chart.contains(QString::fromUtf8(text)), text);

        const int pages = QRegularExpression("Pages: +(\\d+)").match(info).captured(1).toInt();
        const QRegularExpression dayLine("^\\d+/\\d+/\\d+$", QRegularExpression::MultilineOption);
        QString table;
        for (int page = 2; page <= pages; ++page) {
            const QString text
                = poppler("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
            QVERIFY(!text.contains(dayLine) || text.contains(QStringLiteral("曜日")));
            table += text;
        }
        for (const QString &day : graph->graphData().days) // none lost at a page break
            QVERIFY2(table.contains(day + QLatin1Char('\n')), qPrintable(day));
        for (const char *text : {"基礎体温", "頭痛", "直近6周期：平均 28.0日", "直近12周期"})
            QVERIFY2(table.contains(QString::fromUtf8(text)), text);
    }
};

QTEST_MAIN(TstGraphWindow)
#include "tst_graph_window.moc"
