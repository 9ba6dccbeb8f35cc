#include "TestWindows.h"
#include "common/FileSafety.h"
#include "graph/FRM_DISP.h"

#include <QChartView>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>

#include <cerrno>

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

class TstGraphPdf final : public QObject
{
    Q_OBJECT

private slots:
    // The graph of 71 days with a period every 28 days and one day "頭痛", saved by "PDF保存":
    // a file that cannot be written is reported with the reason. The PDF has a landscape page
    // with the chart and its labels as text, then the days on portrait pages, each with the
    // header, and the cycle summary; the font is embedded.
    void savesTheGraph()
    {
        for (const char *tool : {"pdfinfo", "pdffonts", "pdftotext"})
            QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(), "poppler-utils is missing");
        test::ShownForm f;
        for (int back = 70; back >= 0; --back)
            f.diary.db().saveDay(test::day(f.clock.now().date().addDays(-back), back % 28 > 14 ? 36.3 : 36.8,
                                           back == 5 ? QStringLiteral("頭痛") : QString(), {}, back % 28 > 23));
        QVERIFY(f.start());
        f.ui().SSTab1->setCurrentIndex(1);
        QTest::mouseClick(f.ui().CMD_GRAPH, Qt::LeftButton);
        FRM_DISP *graph = f.form->graphWindow();
        QTRY_VERIFY(graph->G_CHART()->isVisible());
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("graph.pdf"));
        f.dialogs.fileNames << dir.filePath(QStringLiteral("missing/graph.pdf")) << pdf;
        QTest::mouseClick(graph->CMD_PDF(), Qt::LeftButton);
        QCOMPARE(f.dialogs.last().icon, Dialogs::Icon::Warning);
        QVERIFY(f.dialogs.last().text.endsWith(fileErrorText(ENOENT)));
        QTest::mouseClick(graph->CMD_PDF(), Qt::LeftButton);
        QCOMPARE(f.dialogs.last().icon, Dialogs::Icon::Information);

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
        for (const char *text : {"基礎体温", "頭痛", "直近6周期", "直近12周期"})
            QVERIFY2(table.contains(QString::fromUtf8(text)), text);
    }
};

QTEST_MAIN(TstGraphPdf)
#include "tst_graph_pdf.moc"
