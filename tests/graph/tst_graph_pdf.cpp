#include "TestWindows.h"
#include "common/FileSafety.h"
#include "graph/FRM_DISP.h"

#include <QChartView>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>

#include <cerrno>

using namespace nerina;

class TstGraphPdf final : public QObject
{
    Q_OBJECT

    // What a tool of poppler-utils prints.
    static QString poppler(const char *tool, const QStringList &args)
    {
        QProcess p;
        p.start(QStandardPaths::findExecutable(QLatin1String(tool)), args);
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    // The graph of 71 days with a period every 28 days and one day "頭痛"; "PDF保存" is
    // clicked and the file dialog answered with `path`.
    static FRM_DISP *savePdf(test::ShownForm &f, const QString &path)
    {
        for (int back = 70; back >= 0; --back)
            f.diary.db().saveDay(test::day(f.clock.now().date().addDays(-back), back % 28 > 14 ? 36.3 : 36.8,
                                           back == 5 ? QStringLiteral("頭痛") : QString(), {}, back % 28 > 23));
        if (!f.start())
            return nullptr;
        f.ui().SSTab1->setCurrentIndex(1);
        QTest::mouseClick(f.ui().CMD_GRAPH, Qt::LeftButton);
        FRM_DISP *graph = f.form->graphWindow();
        if (!QTest::qWaitFor([graph] { return graph && graph->G_CHART()->isVisible(); }))
            return nullptr;
        f.dialogs.fileNames << path;
        QTest::mouseClick(graph->CMD_PDF(), Qt::LeftButton);
        return graph;
    }

private slots:
    void initTestCase()
    {
        for (const char *tool : {"pdfinfo", "pdffonts", "pdftotext"})
            QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(), "poppler-utils is missing");
    }

    // A private file: a landscape page with the chart, its labels as text, then the days on
    // portrait pages, each with the header, and the cycle summary; the font is embedded.
    void savesTheGraph()
    {
        test::ShownForm f;
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("graph.pdf"));
        FRM_DISP *graph = savePdf(f, pdf);
        QVERIFY(graph);
        QCOMPARE(QFileInfo(f.dialogs.filePaths.value(0)).fileName(), reportFileName(graph->graphData()));
        QCOMPARE(f.dialogs.last().icon, Dialogs::Icon::Information);
        QCOMPARE(QFile::permissions(pdf), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

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

    // A file that cannot be written: the user is told why, and nothing is left behind.
    void failingWrite_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("error");
        QTest::newRow("no such folder") << "missing/graph.pdf" << ENOENT;
        QTest::newRow("folder at the name") << "graph.pdf" << EISDIR;
    }
    void failingWrite()
    {
        QFETCH(QString, name);
        QFETCH(int, error);
        test::ShownForm f;
        QTemporaryDir dir;
        QVERIFY(error != EISDIR || QDir(dir.path()).mkdir(name));
        const auto entries = [&] { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); };
        const QStringList before = entries();
        QVERIFY(savePdf(f, dir.filePath(name)));
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(f.dialogs.last().icon, Dialogs::Icon::Warning);
        QCOMPARE(f.dialogs.last().title, QStringLiteral("PDF保存"));
        QVERIFY2(f.dialogs.last().text.endsWith(fileErrorText(error)), qPrintable(f.dialogs.last().text));
        QCOMPARE(entries(), before);
    }
};

QTEST_MAIN(TstGraphPdf)
#include "tst_graph_pdf.moc"
