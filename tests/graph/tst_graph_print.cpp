#include "TestSupport.h"
#include "graph/FRM_DISP.h"
#include "graph/SystemPrinter.h"
#include "history/FlexGrid.h"
#include "shell/AppContext.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScatterSeries>
#include <QTest>

#include <memory>

using namespace nerina;

namespace {

struct Fixture
{
    TestEnv env;
    AppContext context {env.dialogs, env.clock, env.folder(), env.printer};
    FlexGrid grid;
    std::unique_ptr<FRM_DISP> window;

    Fixture()
    {
        const QDate selected(2024, 3, 5);
        grid.setCols(8);
        grid.setRows(181);
        for (int row = 1; row <= 180; ++row) {
            const QDate day = selected.addDays(-(row - 1));
            grid.setTextMatrix(row, 0, QString::number(day.year()));
            grid.setTextMatrix(row, 1, QString::number(day.month()));
            grid.setTextMatrix(row, 2, QString::number(day.day()));
            grid.setTextMatrix(row, 4, row % 7 ? QStringLiteral("36.60") : QString());
        }
        window = std::make_unique<FRM_DISP>(grid, context.dialogs, context.printer, nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->show();
        window->Form_Activate();
    }

    QList<QWidget *> painted() const
    {
        return {window.get(), window->LABEL_BETWEEN(), window->LABEL_DATE(0), window->LABEL_DATE(1), window->Label1()};
    }
    QColor buttonFace() const { return window->palette().color(QPalette::Button); }
};

QColor background(const QWidget *w) { return w->palette().color(QPalette::Window); }

// Where the chart draws `value` of `series`, in the window's coordinates.
QPoint inWindow(const FRM_DISP &window, QAbstractSeries *series, const QPointF &value)
{
    QChartView *view = window.G_CHART();
    const QPointF inChart = view->chart()->mapToPosition(value, series);
    const QPoint inView = view->mapFromScene(view->chart()->mapToScene(inChart));
    return view->mapTo(&window, inView);
}

// Whether some pixel within two of `at` (window coordinates) has the colour `test` looks for.
bool inkNear(const QImage &image, const QPoint &at, const std::function<bool(const QColor &)> &test)
{
    const qreal ratio = image.devicePixelRatio();
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            if (test(image.pixelColor((at + QPoint(dx, dy)) * ratio)))
                return true;
    return false;
}

} // namespace

class TstGraphPrint final : public QObject
{
    Q_OBJECT

private slots:
    void heightComesBack_data();
    void heightComesBack();
    void backgroundsWhiteWhilePrintingThenButtonFace();
    void imageHoldsTitleAndChartButNoButton();
    void coverlineAndMarksArePrinted();
    void failureIsToldAndWindowPutBack();
    void noDefaultPrinterIsAFailure();
};

void TstGraphPrint::heightComesBack_data()
{
    QTest::addColumn<int>("height");
    QTest::newRow("designed") << 0;
    QTest::newRow("taller") << 620;
    QTest::newRow("shorter than the cut") << 300;
}

void TstGraphPrint::heightComesBack()
{
    QFETCH(int, height);
    Fixture f;
    if (height)
        f.window->resize(f.window->width(), height);
    const QSize before = f.window->size();

    int heightWhilePrinting = -1;
    f.env.printer.whilePrinting = [&] { heightWhilePrinting = f.window->height(); };
    f.window->CMD_PRINT_Click();

    QCOMPARE(f.window->size(), before);
    const int chartBottom = f.window->G_CHART()->geometry().bottom() + 1;
    QVERIFY(heightWhilePrinting > chartBottom);
    QVERIFY(heightWhilePrinting <= f.window->CMD_PRINT()->y());
    QCOMPARE(f.env.printer.printed.size(), 1);
    QVERIFY(f.env.dialogs.shown.isEmpty());
}

void TstGraphPrint::backgroundsWhiteWhilePrintingThenButtonFace()
{
    Fixture f;
    // Whatever they were before, they end up button-face.
    for (QWidget *w : f.painted()) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, Qt::red);
        w->setPalette(p);
    }

    QList<QColor> during;
    f.env.printer.whilePrinting = [&] {
        for (QWidget *w : f.painted())
            during << background(w);
    };
    f.window->CMD_PRINT_Click();

    QCOMPARE(during.size(), 5);
    for (const QColor &c : during)
        QCOMPARE(c, QColor(Qt::white));
    for (QWidget *w : f.painted())
        QCOMPARE(background(w), f.buttonFace());
    for (QWidget *w : {f.window->LABEL_BETWEEN(), f.window->LABEL_DATE(0), f.window->LABEL_DATE(1), f.window->Label1()})
        QVERIFY(w->autoFillBackground());
}

void TstGraphPrint::imageHoldsTitleAndChartButNoButton()
{
    Fixture f;
    f.window->CMD_PRINT_Click();
    QCOMPARE(f.env.printer.printed.size(), 1);
    const QImage image = f.env.printer.printed.first();
    const qreal ratio = image.devicePixelRatio();
    const int h = int(image.height() / ratio);

    QCOMPARE(int(image.width() / ratio), f.window->width());
    QVERIFY2(h > f.window->G_CHART()->geometry().bottom(), "the chart is cut");
    QVERIFY2(h <= f.window->CMD_PRINT()->y(), "the print button is in the image");
    QVERIFY2(h <= f.window->CMD_CLOSE()->y(), "the close button is in the image");

    // The title line stands on white.
    const QPoint inTitle = f.window->LABEL_DATE(0)->geometry().topLeft() + QPoint(1, 1);
    QCOMPARE(image.pixelColor(inTitle * ratio), QColor(Qt::white));
    QCOMPARE(image.pixelColor(QPoint(2, 2) * ratio), QColor(Qt::white));
    // And the first day's text is in it: some pixel of the label is not white.
    bool ink = false;
    const QRect label = f.window->LABEL_DATE(0)->geometry();
    for (int y = label.top(); y <= label.bottom() && !ink; ++y)
        for (int x = label.left(); x <= label.right() && !ink; ++x)
            ink = image.pixelColor(QPoint(x, y) * ratio) != QColor(Qt::white);
    QVERIFY(ink);
}

void TstGraphPrint::coverlineAndMarksArePrinted()
{
    Fixture f;
    // Cycles of 30 days from the oldest day: five period days, lows of 36.20/36.25 to day 14,
    // then 36.90; the first shift's coverline at 36.25 runs from day 9 to day 29.
    for (int row = 1; row <= 180; ++row) {
        const int n = (180 - row) % 30;
        f.grid.setTextMatrix(
            row, 4, n < 15 ? (n % 2 ? QStringLiteral("36.25") : QStringLiteral("36.20")) : QStringLiteral("36.90"));
        f.grid.setTextMatrix(row, 6, n < 5 ? QStringLiteral("●") : QString());
    }
    f.window->Form_Activate();
    QCOMPARE(f.window->coverlines().size(), 6);
    QLineSeries *first = f.window->coverlines().first();
    QCOMPARE(first->points(), (QList<QPointF> {{10, 36.25}, {30, 36.25}}));

    bool shownWhilePrinting = false;
    f.env.printer.whilePrinting = [&] {
        shownWhilePrinting = f.window->G_CHART()->isVisible() && first->isVisible()
                             && f.window->periodMarks()->isVisible() && f.window->coverlines().size() == 6;
    };
    f.window->CMD_PRINT_Click();
    QVERIFY(shownWhilePrinting);
    QCOMPARE(f.env.printer.printed.size(), 1);
    const QImage image = f.env.printer.printed.first();

    // Under the high readings of day 21 the blue coverline is on the page, and the red
    // period mark of day 2 stands in the band under the curve.
    auto blue = [](const QColor &c) { return c.blue() > 150 && c.blue() - c.red() > 60; };
    auto red
        = [](const QColor &c) { return c.red() > 150 && c.green() < 100 && c.blue() < 80; }; // the curve has more blue
    const QPoint line = inWindow(*f.window, first, QPointF(22, 36.25));
    QVERIFY2(inkNear(image, line, blue), "no coverline on the print");
    QVERIFY2(!inkNear(image, line - QPoint(0, 12), blue), "the coverline is not where it belongs");
    QVERIFY2(inkNear(image, inWindow(*f.window, f.window->periodMarks(), QPointF(3, 35.0)), red),
             "no period mark on the print");
}

void TstGraphPrint::failureIsToldAndWindowPutBack()
{
    Fixture f;
    f.window->resize(f.window->width(), 610);
    f.env.printer.fail = true;
    f.window->CMD_PRINT_Click();

    QCOMPARE(f.env.printer.printed.size(), 0);
    QCOMPARE(f.window->height(), 610);
    for (QWidget *w : f.painted())
        QCOMPARE(background(w), f.buttonFace());
    QCOMPARE(f.env.dialogs.shown.size(), 1);
    const Dialogs::Message &m = f.env.dialogs.last();
    QVERIFY(m.text.startsWith(QStringLiteral("印刷できませんでした。")));
    QVERIFY(m.text.contains(f.env.printer.failure));
    QCOMPARE(m.icon, Dialogs::Icon::Warning);
    QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
    QCOMPARE(m.title, Dialogs::programTitle());
}

void TstGraphPrint::noDefaultPrinterIsAFailure()
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("this machine has a default printer; the print check script covers that case");
    SystemPrinter printer;
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QString reason;
    QVERIFY(!printer.print(image, &reason));
    QCOMPARE(reason, QStringLiteral("既定のプリンタが設定されていません。"));
}

QTEST_MAIN(TstGraphPrint)
#include "tst_graph_print.moc"
