#include "TestWindows.h"
#include "common/FileSafety.h"
#include "graph/FRM_DISP.h"

#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QProcess>
#include <QPushButton>
#include <QScatterSeries>
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

struct Word
{
    QString text;
    double x, y; // its centre, in points from the page's top left corner
};

// The words of a chart page's row, from the word `name` that begins it to the right, each
// as the 周期日 over it and its text: "12:○". Words within 16 points below the row's name
// count as its own: the value of a reading beyond the axis stands under its arrow.
QStringList dayRow(const QList<Word> &page, const QString &name)
{
    const auto named = [&page](const QString &text) { // the leftmost: the header and legend say 月経 and 性交 too
        Word found {text, 1e9, 1e9};                  // none to the right of it
        for (const Word &w : page) {
            if (w.text == text && w.x < found.x)
                found = w;
        }
        return found;
    };
    const Word head = named(name), days = named(QStringLiteral("周期日"));
    QList<Word> found;
    for (const Word &w : page) {
        if (w.x > head.x + 20 && w.y - head.y > (name == "37.50" ? 1 : -5) && w.y - head.y < (name == "37.50" ? 16 : 5))
            found.append(w);
    }
    std::sort(found.begin(), found.end(), [](const Word &a, const Word &b) { return a.x < b.x; });
    QStringList out;
    for (const Word &w : found) {
        const Word *day = nullptr;
        for (const Word &d : page) {
            if (std::abs(d.y - days.y) < 2 && d.x > days.x + 20
                && (!day || std::abs(d.x - w.x) < std::abs(day->x - w.x)))
                day = &d;
        }
        out << day->text + u':' + w.text;
    }
    return out;
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

    // A cycle begun 30 days ago, 36.30 but a fever she left out, two readings a little higher
    // and the rise of the last week; an LH-positive day and spotting. The fever stands
    // apart, says why, and would have been the shift.
    void signs()
    {
        test::ShownForm f;
        std::vector<DayRecord> days;
        for (int back = 30; back >= 0; --back) {
            const double temp = back == 15 ? 37.8 : back == 14 ? 36.4 : back == 13 ? 36.55 : back <= 6 ? 36.8 : 36.3;
            days.push_back(test::day(f.clock.now().date().addDays(-back), temp, {}, {}, back > 25));
            days.back().SIGNS = DaySigns {.excluded = back == 15,
                                          .excludeReason = back == 15 ? QStringLiteral("発熱") : QString(),
                                          .spotting = back == 20,
                                          .lhTest = back == 8 ? std::optional(TestResult::Positive) : std::nullopt};
        }
        f.diary.db().saveDays(days);
        QVERIFY(f.start());
        f.ui().SSTab1->setCurrentIndex(1);
        f.form->mnuGraph_Click();
        FRM_DISP *graph = f.form->graphWindow();
        QTRY_VERIFY(graph->G_CHART()->isVisible());
        QCOMPARE(graph->excludedReadings()->points(), QList<QPointF> {QPointF(165, 37.8)});
        QStringList runs;
        for (QLineSeries *run : graph->readingRuns())
            runs << QStringLiteral("%1-%2").arg(run->points().first().x()).arg(run->points().last().x());
        QCOMPARE(runs, (QStringList {"150-164", "166-180"}));
        QVERIFY(dayToolTip(graph->graphData(), 164).contains(QStringLiteral("37.80℃（除外：発熱）")));
        QCOMPARE(graph->graphData().shifts.size(), 1);
        QCOMPARE(graph->graphData().shifts[0].firstHigh, 173);
        QCOMPARE(graph->spottingMarks()->points(), QList<QPointF> {QPointF(160, 35.25)});
        QCOMPARE(graph->lhMarks()->points(), QList<QPointF> {QPointF(172, 35.5)});
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

    // Saved by "PDF保存" after the choice of cycles, which is remembered, to the file the
    // message names, past a partial file of a cut-off save; the diary is refused with the
    // reason. Read back: a landscape page for each 40 days of each cycle (none for a period
    // day typed decades ahead), the legend on every page, the font embedded; on the chart,
    // 周期日 1 over the first period day, the axis from 35.50 to 37.50, 38.20 at its top edge
    // with its value, × and ○ on their days.
    void savesTheChart()
    {
        for (const char *tool : {"pdfinfo", "pdffonts", "pdftotext"})
            QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(), "poppler-utils is missing");
        // Periods from 8/20 (a cycle of 55 days), 10/14 and 11/11 (running): 36.30, then
        // 36.80 from the 15th day, 38.20 on 11/2; intercourse on each 12th day.
        test::ShownForm f;
        const QList<QDate> starts {QDate(2026, 8, 20), QDate(2026, 10, 14), QDate(2026, 11, 11)};
        std::vector<DayRecord> days;
        for (QDate d = starts[0]; d <= f.clock.now().date(); d = d.addDays(1)) {
            const qint64 n = std::prev(std::upper_bound(starts.begin(), starts.end(), d))->daysTo(d);
            days.push_back(test::day(d, d == QDate(2026, 11, 2) ? 38.2 : n < 14 ? 36.3 : 36.8, {}, {}, n < 5, n == 11));
            if (d == QDate(2026, 10, 20)) // the chart reads the signs from the diary
                days.back().SIGNS = DaySigns {.medication = QStringLiteral("葉酸")};
        }
        f.diary.db().saveDays(days);
        QVERIFY(f.start());
        f.ui().SSTab1->setCurrentIndex(1);
        QTest::mouseClick(f.ui().list->CMD_GRAPH, Qt::LeftButton);
        FRM_DISP *graph = f.form->graphWindow();
        QTRY_VERIFY(graph->G_CHART()->isVisible());
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("graph.pdf"));
        QVERIFY(QFile(partialPathFor(pdf)).open(QIODevice::WriteOnly));
        f.diary.db().saveDay(test::day(QDate(2062, 11, 26), 0, {}, {}, true));
        f.dialogs.fileNames << f.diary.path() << pdf;
        f.dialogs.choices << 2 << 2;
        QTest::mouseClick(graph->CMD_PDF(), Qt::LeftButton);
        QVERIFY(f.dialogs.last().text.startsWith(
            QStringLiteral("PDF ﾌｧｲﾙに書き込めません。\n選んだファイルは日記のデータ")));
        QTest::mouseClick(graph->CMD_PDF(), Qt::LeftButton);
        QCOMPARE(f.diary.db().rowCount(), qint64(days.size() + 1)); // the diary as it was
        QCOMPARE(f.dialogs.last().icon, Dialogs::Icon::Information);
        QVERIFY(f.dialogs.last().text.contains(pdf));
        QVERIFY(!QFile::exists(partialPathFor(pdf)));
        QCOMPARE(f.dialogs.offeredChoices, (QList<int> {0, 2}));

        QVERIFY(QRegularExpression("IPAPGothic +CID TrueType +\\S+ +yes").match(poppler("pdffonts", {pdf})).hasMatch());
        const QString info = poppler("pdfinfo", {"-l", "99", pdf});
        const int pages = QRegularExpression("Pages: +(\\d+)").match(info).captured(1).toInt();
        QCOMPARE(info.count(QRegularExpression("size: +842 x 595")), pages); // all landscape
        const QStringList texts = poppler("pdftotext", {"-layout", pdf, "-"}).split(u'\f');
        QList<QList<Word>> words;
        static const QRegularExpression word(
            "<page |<word xMin=\"([^\"]+)\" yMin=\"([^\"]+)\" xMax=\"([^\"]+)\" yMax=\"([^\"]+)\">([^<]*)<");
        for (const QRegularExpressionMatch &m : word.globalMatch(poppler("pdftotext", {"-bbox", pdf, "-"}))) {
            if (m.captured(5).isNull())
                words.append(QList<Word>());
            else
                words.last().append({m.captured(5), (m.captured(1).toDouble() + m.captured(3).toDouble()) / 2,
                                     (m.captured(2).toDouble() + m.captured(4).toDouble()) / 2});
        }
        QStringList charts;
        for (int page = 0; page < pages; ++page) {
            QVERIFY2(texts[page].contains(QStringLiteral("× 月経（＋＋＋ 多い")), qPrintable(texts[page]));
            const QString title = QRegularExpression("基礎体温表 +(\\S+)").match(texts[page]).captured(1);
            if (title.isEmpty())
                continue;
            QVERIFY(texts[page].contains(QStringLiteral("35.50")));
            QCOMPARE(texts[page].contains(u'葉'), title == "2026/10/14"); // its cell wraps the word
            const auto row = [&](const char *name) { return dayRow(words[page], QString::fromUtf8(name)); };
            charts << QStringList {title,
                                   row("周期日").value(0),
                                   row("日付").value(0),
                                   row("月経").join(u' '),
                                   row("性交").join(u' '),
                                   dayRow(words[page], "37.50").join(u' ')}
                          .join(QStringLiteral(" | "));
        }
        QCOMPARE(charts, (QStringList {"2026/8/20 | 1:1 | 1:8/20 | 1:× 2:× 3:× 4:× 5:× | 12:○ | ",
                                       "2026/8/20 | 41:41 | 41:9/29 |  |  | ",
                                       "2026/10/14 | 1:1 | 1:10/14 | 1:× 2:× 3:× 4:× 5:× | 12:○ | 20:38.20",
                                       "2026/11/11 | 1:1 | 1:11/11 | 1:× 2:× 3:× 4:× 5:× | 12:○ | "}));
    }
};

QTEST_MAIN(TstGraphWindow)
#include "tst_graph_window.moc"
