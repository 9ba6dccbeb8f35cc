// What the program costs on a diary of 100 years of daily entries, each figure next to
// its floor: the same work done with the bare toolkit and the bare database, measured in
// the same run. Prints median times; run by hand, never as a test.
#include "BenchDiary.h"
#include "DiaryFile.h"
#include "TestWindows.h"
#include "cycle/CycleStats.h"
#include "cycle/FRM_CYCLE.h"
#include "graph/FRM_DISP.h"
#include "history/FlexGrid.h"
#include "maintenance/Backup.h"
#include "maintenance/FRM_DELETE.h"
#include "records/DayEditor.h"
#include "records/DiaryDb.h"
#include "records/TempEdit.h"
#include "shell/Form1.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineSeries>
#include <QMainWindow>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QValueAxis>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include <sqlite3.h>

using namespace nerina;
using namespace nerina::bench;

namespace {

const QDateTime kNow(kNewest, QTime(9, 30));

// Medians of several steps taken in turn within each run, so that all of them meet the
// disk in the same mood: on this kind of machine a flush to disk costs anything from under
// one to twenty milliseconds, in spells lasting many runs.
struct Step
{
    std::function<void(int)> before;
    std::function<void()> timed;
};
std::vector<double> interleavedMs(int runs, const std::vector<Step> &steps)
{
    std::vector<std::vector<qint64>> ns(steps.size());
    for (int run = 0; run < runs; ++run) {
        for (std::size_t i = 0; i < steps.size(); ++i) {
            steps[i].before(run);
            QElapsedTimer timer;
            timer.start();
            steps[i].timed();
            ns[i].push_back(timer.nsecsElapsed());
        }
    }
    std::vector<double> medians;
    for (std::vector<qint64> &taken : ns) {
        std::nth_element(taken.begin(), taken.begin() + runs / 2, taken.end());
        medians.push_back(double(taken[std::size_t(runs / 2)]) / 1e6);
    }
    return medians;
}

// Drops the offscreen platform's notes that it cannot size or raise windows.
void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    std::fprintf(stderr, "%s%s\n", type == QtDebugMsg ? "" : "warning: ", qPrintable(message));
}

// Notes the paint events a widget receives, so a run can wait for the first paint
// without the 10 ms naps of QTest's waiting functions.
class PaintWatch final : public QObject
{
public:
    explicit PaintWatch(QWidget *widget) : m_widget(widget) { widget->installEventFilter(this); }
    bool painted = false;

    // Delivers events until the widget has been painted; false after five seconds without.
    bool wait()
    {
        QElapsedTimer timer;
        timer.start();
        while (!painted && timer.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return painted;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint)
            painted = true;
        return false;
    }

private:
    QWidget *m_widget;
};

bool copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to) && QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
}

// A raw connection with the durability the program uses.
class RawDb final
{
public:
    explicit RawDb(const QString &path) : m_name(QStringLiteral("raw-%1").arg(++s_count))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(path));
        QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous = FULL"));
    }
    ~RawDb()
    {
        database().close();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }

private:
    static inline int s_count = 0;
    QString m_name;
};

// Run in a child process, so that no earlier measurement raises the high-water mark:
// the resident size before the main window exists, then the peak once the graph is up.
int memoryChild(const QString &baseFile)
{
    test::ShownForm env;
    if (!copyFile(baseFile, env.diary.path()))
        return 1;
    const QString before = statusValue("VmRSS");
    const QString peakBefore = statusValue("VmHWM");
    env.start(false);
    Form1 *form = env.form.get();
    PaintWatch formPaint(form);
    form->show();
    formPaint.wait();
    form->ui().SSTab1->setCurrentIndex(1);
    form->mnuGraph_Click();
    FRM_DISP *graph = form->graphWindow();
    if (!graph)
        return 1;
    PaintWatch chartPaint(graph->G_CHART()->viewport());
    const bool painted = chartPaint.wait();
    QCoreApplication::processEvents();
    std::printf("%s|%s|%s|%s|%d\n", qPrintable(before), qPrintable(peakBefore), qPrintable(statusValue("VmHWM")),
                qPrintable(statusValue("VmRSS")), painted ? 1 : 0);
    return 0;
}

void row(const char *what, double program, double floor)
{
    std::printf("  %-50s %9.2f %9.2f %7.1fx\n", what, program, floor, floor > 0 ? program / floor : 0.0);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--memory") == 0)
        return memoryChild(QString::fromLocal8Bit(argv[2]));
    // The diary of the previous version's runs, for figures to set beside.
    const bool signs = !(argc == 2 && qstrcmp(argv[1], "--without-signs") == 0);

    // The 100-year diary, written once; every measurement works on a copy or reads it.
    QTemporaryDir work;
    const QString base = work.filePath(QStringLiteral("base.mdb"));
    QString error;
    if (createDiaryFile(QStringLiteral(NERINA_SCHEMA_PATH), base, &error) != CreateResult::Created) {
        std::fprintf(stderr, "cannot create the diary: %s\n", qPrintable(error));
        return 1;
    }
    QElapsedTimer setup;
    setup.start();
    if (!fillDiary(base, signs))
        return 1;
    std::printf("diary of %d daily entries%s (%lld KiB) written in %lld ms\n", kDays,
                signs ? ", signs on every third day" : "", QFileInfo(base).size() / 1024, setup.elapsed());
    std::fflush(stdout);

    // The main window on a copy, as the tests show it: a fixed day, scripted dialogs.
    test::ShownForm env;
    if (!copyFile(base, env.diary.path()))
        return 1;
    const QString dbPath = env.diary.path();
    const AppContext context {env.dialogs, env.clock, env.diary.folder(), env.printer};
    std::unique_ptr<Form1> &form = env.form;
    std::size_t sink = 0;
    int failures = 0;

    // --- Opening the diary: the open with its quick_check, and the quick_check alone.
    constexpr int kOpenRuns = 31;
    const double openDiary = medianMs(
        kOpenRuns, [](int) {}, [&] { DiaryDb db(dbPath); });
    const double quickCheck = [&] {
        RawDb raw(dbPath);
        QSqlQuery check(raw.database());
        return medianMs(
            kOpenRuns, [](int) {},
            [&] {
                check.exec(QStringLiteral("PRAGMA quick_check(1)"));
                sink += check.next() ? 1 : 0;
                check.finish();
            });
    }();
    const double rawOpen = medianMs(
        kOpenRuns, [](int) {}, [&] { RawDb raw(dbPath); });

    // --- 1. Start-up: construct, load, show, first paint.
    constexpr int kStartRuns = 21;
    const double startUp = medianMs(
        kStartRuns, [&](int) { form.reset(); },
        [&] {
            failures += env.start(false) ? 0 : 1;
            PaintWatch paint(form.get());
            form->show();
            failures += paint.wait() ? 0 : 1;
        });
    const double constructOnly = medianMs(
        kStartRuns, [&](int) { form.reset(); }, [&] { form = std::make_unique<Form1>(context); });
    const double loadOnly = medianMs(
        kStartRuns, [&](int) { form = std::make_unique<Form1>(context); }, [&] { form->Form_Load(); });
    const double forecast = medianMs(
        kStartRuns, [](int) {}, [&] { sink += std::size_t(form->ForecastNextPeriod().size()); });
    const double periodDays = medianMs(
        kStartRuns, [](int) {}, [&] { sink += form->state().G_DB->periodDays(62).size(); });
    form.reset();
    std::unique_ptr<QMainWindow> bare;
    const double startFloor = medianMs(
        kStartRuns, [&](int) { bare.reset(); },
        [&] {
            bare = std::make_unique<QMainWindow>();
            auto *table = new QTableWidget(181, 8, bare.get());
            bare->setCentralWidget(table);
            PaintWatch paint(bare.get());
            bare->show();
            failures += paint.wait() ? 0 : 1;
        });
    bare.reset();

    // --- 2. List fill, selected day among the newest, a different one each run.
    constexpr int kListRuns = 41;
    env.start(false);
    form->show();
    PaintWatch(form.get()).wait();
    QTabWidget *tabs = form->ui().SSTab1;
    const auto recentDay = [](int run) { return kNewest.addDays(-(run % 60)); };
    const auto backToEntryTab = [&](int run) {
        tabs->setCurrentIndex(0);
        form->ui().entry->DTPicker1->setDate(recentDay(run));
        QCoreApplication::processEvents();
    };
    const double listFill = medianMs(kListRuns, backToEntryTab, [&] { tabs->setCurrentIndex(1); });
    const double listFillPaint = medianMs(kListRuns, backToEntryTab, [&] {
        tabs->setCurrentIndex(1);
        form->ui().list->DATA_FLX->repaint();
    });

    // The floor: the bounded query on the key and 180 rows of 8 plain texts.
    bare = std::make_unique<QMainWindow>();
    auto *table = new QTableWidget(181, 8, bare.get());
    bare->setCentralWidget(table);
    for (int r = 0; r < 181; ++r)
        for (int c = 0; c < 8; ++c)
            table->setItem(r, c, new QTableWidgetItem);
    bare->resize(form->size());
    bare->show();
    PaintWatch(bare.get()).wait();
    RawDb listDb(dbPath);
    QSqlQuery range(listDb.database());
    range.setForwardOnly(true);
    range.prepare(QStringLiteral("SELECT DAT_DATE, TEMP, CONDITION, DIARY, GUEST, LOVE FROM DATA_FIL "
                                 "WHERE DAT_DATE BETWEEN ? AND ? ORDER BY DAT_DATE DESC"));
    QDate selected;
    const auto floorFill = [&] {
        range.addBindValue(DiaryDb::storedDay(selected.addDays(-180)));
        range.addBindValue(DiaryDb::storedDay(selected));
        range.exec();
        int r = 1;
        while (range.next() && r <= 180) {
            const QDate day = DiaryDb::parseDay(range.value(0).toString());
            table->item(r, 0)->setText(QString::number(day.year()));
            table->item(r, 1)->setText(QString::number(day.month()));
            table->item(r, 2)->setText(QString::number(day.day()));
            table->item(r, 3)->setText(QString::number(day.dayOfWeek()));
            table->item(r, 4)->setText(QString::number(range.value(1).toDouble(), 'f', 2));
            table->item(r, 5)->setText(range.value(2).toString());
            table->item(r, 6)->setText(range.value(4).toInt() ? QStringLiteral("●") : QString());
            table->item(r, 7)->setText(range.value(5).toInt() ? QStringLiteral("◎") : QString());
            ++r;
        }
        range.finish();
        sink += std::size_t(r);
    };
    const double listFloor = medianMs(
        kListRuns, [&](int run) { selected = recentDay(run); }, floorFill);
    const double listFloorPaint = medianMs(
        kListRuns, [&](int run) { selected = recentDay(run); },
        [&] {
            floorFill();
            table->repaint();
        });

    // --- 3. Graph activation with the list filled, a different list each run.
    constexpr int kGraphRuns = 41;
    tabs->setCurrentIndex(1);
    form->mnuGraph_Click();
    FRM_DISP *graph = form->graphWindow();
    PaintWatch chartPaint(graph->G_CHART()->viewport());
    chartPaint.wait();
    const auto refillList = [&](int run) {
        backToEntryTab(run);
        tabs->setCurrentIndex(1);
        QCoreApplication::processEvents();
        chartPaint.painted = false;
    };
    const double activate = medianMs(kGraphRuns, refillList, [&] { graph->Form_Activate(); });
    const double activatePaint = medianMs(kGraphRuns, refillList, [&] {
        graph->Form_Activate();
        failures += chartPaint.wait() ? 0 : 1;
    });

    // The floor: 180 temperatures handed to a line series of a chart already on screen,
    // its axes fixed, in a view of the same size and rendering.
    QChartView floorView;
    auto *floorChart = new QChart;
    auto *floorSeries = new QLineSeries;
    floorChart->addSeries(floorSeries);
    auto *axisX = new QValueAxis;
    auto *axisY = new QValueAxis;
    axisX->setRange(1, 180);
    axisY->setRange(35.5, 37.5);
    floorChart->addAxis(axisX, Qt::AlignBottom);
    floorChart->addAxis(axisY, Qt::AlignLeft);
    floorSeries->attachAxis(axisX);
    floorSeries->attachAxis(axisY);
    floorView.setChart(floorChart);
    floorView.setRenderHint(QPainter::Antialiasing);
    floorView.resize(graph->G_CHART()->size());
    floorView.show();
    PaintWatch floorPaint(floorView.viewport());
    floorPaint.wait();
    int shift = 0;
    const auto floorPoints = [&] {
        QList<QPointF> points;
        points.reserve(180);
        for (int i = 0; i < 180; ++i)
            points.append(QPointF(i + 1, 36.2 + ((i + shift) % 30 < 15 ? 0.45 : 0.0) + (i % 7) * 0.01));
        floorSeries->replace(points);
    };
    const auto nextShift = [&](int run) {
        shift = run;
        QCoreApplication::processEvents();
        floorPaint.painted = false;
    };
    const double chartFloor = medianMs(kGraphRuns, nextShift, floorPoints);
    const double chartFloorPaint = medianMs(kGraphRuns, nextShift, [&] {
        floorPoints();
        failures += floorPaint.wait() ? 0 : 1;
    });
    floorView.hide();

    // --- 3c. The PDF of the graph: the choice of cycles answered, the report read from the
    // diary, drawn and written to a file; the cycles within the 180 days, then the last 6.
    constexpr int kPdfRuns = 11;
    const QString pdfPath = work.filePath(QStringLiteral("report.pdf"));
    double pdfs[2] = {};
    qint64 pdfBytes = 0;
    for (int choice : {0, 2}) {
        pdfs[choice / 2] = medianMs(
            kPdfRuns,
            [&](int) {
                env.dialogs.choices = {choice};
                env.dialogs.fileNames = {pdfPath};
            },
            [&] { graph->CMD_PDF_Click(); });
        failures += env.dialogs.last().icon == Dialogs::Icon::Information ? 0 : 1;
        pdfBytes = QFileInfo(pdfPath).size();
    }

    // --- 3b. The cycle record window of the whole diary: opened, shown and painted.
    constexpr int kCycleRuns = 15;
    graph->close();
    QCoreApplication::processEvents();
    tabs->setCurrentIndex(0);
    const auto closeCycleWindow = [&](int) {
        if (form->cycleWindow())
            form->cycleWindow()->close();
        QCoreApplication::processEvents();
    };
    const double cycleOpen = medianMs(kCycleRuns, closeCycleWindow, [&] {
        form->mnuCycle_Click();
        PaintWatch paint(form->cycleWindow()->CYCLE_LIST->viewport());
        failures += paint.wait() ? 0 : 1;
    });
    closeCycleWindow(0);
    double cycleRead = 0, cycleRules = 0;
    std::vector<DiaryDb::CycleDay> allDays;
    cycleRead = medianMs(
        kCycleRuns, [](int) {}, [&] { allDays = form->state().G_DB->cycleDays(); });
    QList<CycleRecord> cycles;
    cycleRules = medianMs(
        kCycleRuns, [](int) {}, [&] { cycles = cycleRecords(allDays); });

    // The floor: the three columns of every row straight from the engine, as the program
    // reads them, and a bare dialog with a table of as many rows of seven texts, shown and
    // painted.
    sqlite3 *cycleDb = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(dbPath).constData(), &cycleDb, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        ++failures;
    const auto floorCycles = [&] {
        sqlite3_stmt *all = nullptr;
        if (sqlite3_prepare_v2(cycleDb, "SELECT DAT_DATE, TEMP, GUEST FROM DATA_FIL ORDER BY DAT_DATE", -1, &all,
                               nullptr)
            != SQLITE_OK)
            ++failures;
        while (sqlite3_step(all) == SQLITE_ROW) {
            sink += sqlite3_column_text(all, 0) ? std::size_t(sqlite3_column_bytes(all, 0)) : 0;
            sink += std::size_t(sqlite3_column_int(all, 2)) + std::size_t(sqlite3_column_double(all, 1) > 0);
        }
        sqlite3_finalize(all);
        // The signs it reads, in the same order.
        if (sqlite3_prepare_v2(cycleDb,
                               "SELECT DAT_DATE, EXCLUDED, MUCUS, LH_TEST, PREGNANCY_TEST FROM DAY_SIGNS ORDER BY "
                               "DAT_DATE",
                               -1, &all, nullptr)
            != SQLITE_OK)
            ++failures;
        while (sqlite3_step(all) == SQLITE_ROW) {
            sink += sqlite3_column_text(all, 0) ? std::size_t(sqlite3_column_bytes(all, 0)) : 0;
            for (int c = 1; c <= 4; ++c)
                sink += std::size_t(sqlite3_column_int(all, c));
        }
        sqlite3_finalize(all);
        QDialog dialog;
        auto *list = new QTableWidget(int(cycles.size()), 7, &dialog);
        for (int r = 0; r < list->rowCount(); ++r)
            for (int c = 0; c < 7; ++c)
                list->setItem(r, c, new QTableWidgetItem(QStringLiteral("2026/12/06")));
        dialog.resize(760, 420);
        list->resize(740, 360);
        dialog.show();
        PaintWatch paint(list->viewport());
        failures += paint.wait() ? 0 : 1;
    };
    const double cycleFloor = medianMs(
        kCycleRuns, [](int) {}, floorCycles);
    sqlite3_close(cycleDb);

    bare.reset();
    form.reset();

    // --- 4. Saves through the main window, on its own copy, in turn with the floor on
    // another copy.
    constexpr int kSaveRuns = 31;
    test::ShownForm saveEnv;
    const QString rawSavePath = work.filePath(QStringLiteral("raw-save.mdb"));
    if (!copyFile(base, saveEnv.diary.path()) || !copyFile(base, rawSavePath))
        return 1;
    saveEnv.start(false);
    Form1 &saving = *saveEnv.form;
    saving.show();
    PaintWatch(&saving).wait();
    SaveOutcome outcome = SaveOutcome::Stored;
    const auto arrangeDay = [&](const QDate &day) {
        failures += outcome == SaveOutcome::Stored ? 0 : 1;
        saving.ui().entry->DTPicker1->setDate(day);
        saving.ui().entry->TEMP_TEXT->setRawText(QStringLiteral("36.55"));
        QCoreApplication::processEvents();
    };
    const auto overwriteOf = [&](const QDate &day) {
        arrangeDay(day);
        saveEnv.dialogs.answers = {Dialogs::Answer::Yes};
    };
    std::vector<double> saves;
    {
        // The floor: one prepared INSERT OR REPLACE in its own transaction, full syncs.
        RawDb raw(rawSavePath);
        QSqlDatabase db = raw.database();
        QSqlQuery put(db);
        put.prepare(QStringLiteral("INSERT OR REPLACE INTO DATA_FIL (DAT_DATE, TEMP, CONDITION, DIARY, GUEST, LOVE) "
                                   "VALUES (?, ?, ?, ?, ?, ?)"));
        QDate day;
        const auto saveRaw = [&] {
            db.transaction();
            put.addBindValue(DiaryDb::storedDay(day));
            put.addBindValue(36.55);
            put.addBindValue(QString(QLatin1String("")));
            put.addBindValue(QString(QLatin1String("")));
            put.addBindValue(0);
            put.addBindValue(0);
            failures += put.exec() ? 0 : 1;
            failures += db.commit() ? 0 : 1;
        };
        saves = interleavedMs(
            kSaveRuns,
            {
                {[&](int run) { arrangeDay(kNewest.addDays(1 + run)); }, [&] { outcome = saving.SaveDayRecord(); }},
                {[&](int run) { day = kNewest.addDays(1 + run); }, saveRaw},
                {[&](int run) { overwriteOf(kNewest.addDays(-1 - run)); }, [&] { outcome = saving.SaveDayRecord(); }},
                {[&](int run) { day = kNewest.addDays(-1 - run); }, saveRaw},
                {[&](int run) { overwriteOf(kNewest.addDays(-100 - run)); }, [&] { saving.REG_BTN_Click(); }},
            });
    }
    // A day with signs, saved by the diary layer, in turn with the same rows written by
    // the bare statements in one transaction, each on its own copy.
    std::vector<double> signSaves;
    {
        const QString programPath = work.filePath(QStringLiteral("signs-save.mdb"));
        const QString floorPath = work.filePath(QStringLiteral("raw-signs-save.mdb"));
        if (!copyFile(base, programPath) || !copyFile(base, floorPath))
            return 1;
        DiaryDb diary(programPath);
        RawDb raw(floorPath);
        QSqlDatabase db = raw.database();
        QSqlQuery putDay(db), putSigns(db);
        putDay.prepare(QStringLiteral("INSERT OR REPLACE INTO DATA_FIL (DAT_DATE, TEMP, CONDITION, DIARY, GUEST, "
                                      "LOVE) VALUES (?, ?, ?, ?, ?, ?)"));
        putSigns.prepare(QStringLiteral("INSERT OR REPLACE INTO DAY_SIGNS (DAT_DATE, EXCLUDED, EXCLUDE_REASON, "
                                        "BLEEDING, SPOTTING, MUCUS, LH_TEST, PREGNANCY_TEST, MEDICATION) "
                                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        DayRecord record = test::day(QDate(), 36.55);
        record.SIGNS = DaySigns {true,          QStringLiteral("寝不足"), Bleeding::Light,      false,
                                 Mucus::Creamy, TestResult::Positive,     TestResult::Negative, QStringLiteral("葉酸")};
        QDate day;
        const auto saveRaw = [&] {
            db.transaction();
            for (const QVariant &v : QVariantList {DiaryDb::storedDay(day), 36.55, QString(QLatin1String("")),
                                                   QString(QLatin1String("")), 0, 0})
                putDay.addBindValue(v);
            for (const QVariant &v : QVariantList {DiaryDb::storedDay(day), 1, QStringLiteral("寝不足"), 1, 0, 3, 1, 0,
                                                   QStringLiteral("葉酸")})
                putSigns.addBindValue(v);
            failures += putDay.exec() && putSigns.exec() ? 0 : 1;
            failures += db.commit() ? 0 : 1;
        };
        const auto saveProgram = [&] { failures += diary.saveDay(record) ? 0 : 1; };
        signSaves = interleavedMs(
            kSaveRuns, {
                           {[&](int run) { record.DAT_DATE = kNewest.addDays(1 + run); }, saveProgram},
                           {[&](int run) { day = kNewest.addDays(1 + run); }, saveRaw},
                           {[&](int run) { record.DAT_DATE = kNewest.addDays(-3 * (1 + run)); }, saveProgram},
                           {[&](int run) { day = kNewest.addDays(-3 * (1 + run)); }, saveRaw},
                       });
    }
    failures += outcome == SaveOutcome::Stored ? 0 : 1;
    failures += saveEnv.dialogs.unscriptedQuestions;
    for (const Dialogs::Message &shown : saveEnv.dialogs.shown)
        failures += shown.title == QLatin1String("PG-Error") ? 1 : 0;
    saveEnv.form.reset();

    // --- 5. Purge of all 100 years, each step on a fresh copy (the copy is not timed).
    constexpr int kPurgeRuns = 15;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<RawDb> rawPurge;
    const auto freshCopy = [&] {
        form.reset();
        rawPurge.reset();
        folder = std::make_unique<QTemporaryDir>();
        failures += copyFile(base, folder->filePath(QStringLiteral("nerina.mdb"))) ? 0 : 1;
    };
    const auto diaryPath = [&] { return folder->filePath(QStringLiteral("nerina.mdb")); };
    const QStringList purgeTexts {QStringLiteral("2026/12/06以前のﾃﾞｰﾀを削除します。続けますか？"),
                                  QStringLiteral("削除されました")};
    FRM_DELETE *purge = nullptr;
    QString backupPath;
    const std::vector<double> purges = interleavedMs(
        kPurgeRuns,
        {
            {[&](int) {
                 freshCopy();
                 form = std::make_unique<Form1>(AppContext {env.dialogs, env.clock, folder->path(), env.printer});
                 form->Form_Load();
                 form->mnuFileDataMente_Click();
                 purge = form->purgeWindow();
                 purge->DTPicker1()->setDate(kNewest);
                 QCoreApplication::processEvents();
                 env.dialogs.shown.clear();
                 env.dialogs.answers = {Dialogs::Answer::Yes};
             },
             [&] {
                 purge->cmdRun_Click();
                 failures += env.dialogs.texts() == purgeTexts ? 0 : 1;
             }},
            {[&](int) {
                 failures += DiaryDb(diaryPath()).daysFrom(QDate(1, 1, 1)).empty() ? 0 : 1;
                 freshCopy();
             },
             [&] { backupPath = backupDiary(diaryPath(), kNow); }},
            {[&](int) { freshCopy(); }, [&] { DiaryDb(diaryPath()).deleteUpTo(kNewest); }},
            {[&](int) {
                 freshCopy();
                 rawPurge = std::make_unique<RawDb>(diaryPath());
             },
             [&] {
                 QSqlQuery wipe(rawPurge->database());
                 failures += wipe.exec(QStringLiteral("DELETE FROM DATA_FIL")) ? 0 : 1;
             }},
        });
    form.reset();
    rawPurge.reset();
    folder.reset();
    sink += std::size_t(backupPath.size());

    // --- 6. Memory, in a child process of its own.
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory"), base});
    child.waitForFinished(60000);
    const QStringList memory = QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed().split(u'|');

    std::printf("\nmedian milliseconds (runs)                            program     floor   ratio\n");
    std::printf("1 start-up (%d): Form1, Form_Load, show, first paint\n", kStartRuns);
    row("  main window, 100-year diary", startUp, startFloor);
    std::printf("    floor: bare QMainWindow with an empty 181x8 QTableWidget\n");
    std::printf("    of which: construct %.2f, Form_Load %.2f\n", constructOnly, loadOnly);
    std::printf("    in Form_Load: ForecastNextPeriod %.2f, its query of the newest 62 period days %.2f\n", forecast,
                periodDays);
    std::printf("    opening the diary (%d): DiaryDb %.2f, its PRAGMA quick_check(1) %.2f, raw open %.2f\n", kOpenRuns,
                openDiary, quickCheck, rawOpen);
    std::printf("2 list fill (%d): switch to the list tab, newest days\n", kListRuns);
    row("  fill", listFill, listFloor);
    row("  fill and grid repaint", listFillPaint, listFloorPaint);
    std::printf("    floor: bounded key-range query + 180x8 QTableWidget texts\n");
    std::printf("3 graph (%d): FRM_DISP::Form_Activate, list filled\n", kGraphRuns);
    row("  activation", activate, chartFloor);
    row("  activation and chart paint", activatePaint, chartFloorPaint);
    std::printf("    floor: 180 points replaced in a QLineSeries of a shown QChart, fixed axes\n");
    std::printf("3b cycle record (%d): FRM_CYCLE opened, shown, first paint, %lld cycles\n", kCycleRuns,
                qint64(cycles.size()));
    row("  open, show and paint", cycleOpen, cycleFloor);
    std::printf("    floor: DAT_DATE, TEMP, GUEST of every row through the SQLite C API + a dialog with a table of as\n"
                "    many rows\n");
    std::printf("    of which: DiaryDb::cycleDays %.2f, cycleRecords %.2f\n", cycleRead, cycleRules);
    std::printf("3c PDF of the graph (%d): FRM_DISP::CMD_PDF_Click, file written\n", kPdfRuns);
    std::printf("  %-50s %9.2f\n", "  the cycles within the 180 days", pdfs[0]);
    std::printf("  %-50s %9.2f   (%lld KiB)\n", "  the last 6 cycles", pdfs[1], pdfBytes / 1024);
    std::printf("4 save (%d): Form1::SaveDayRecord\n", kSaveRuns);
    row("  new day", saves[0], saves[1]);
    row("  existing day, overwrite answered Yes", saves[2], saves[3]);
    row("  save button (save + forecast), overwrite", saves[4], saves[3]);
    std::printf("    floor: prepared INSERT OR REPLACE, own transaction, synchronous=FULL\n");
    std::printf("4b save of a day with signs (%d): DiaryDb::saveDay\n", kSaveRuns);
    row("  new day", signSaves[0], signSaves[1]);
    row("  over a day with signs", signSaves[2], signSaves[3]);
    std::printf("    floor: prepared INSERT OR REPLACE into DATA_FIL and DAY_SIGNS, one transaction,\n"
                "    synchronous=FULL\n");
    std::printf("5 purge of 100 years (%d), fresh copy each run\n", kPurgeRuns);
    row("  FRM_DELETE cmdRun, Yes (backup + delete)", purges[0], purges[3]);
    row("  backup copy alone", purges[1], purges[3]);
    row("  DiaryDb open + deleteUpTo alone", purges[2], purges[3]);
    std::printf("    floor: raw DELETE FROM DATA_FIL, synchronous=FULL\n");
    if (memory.size() == 5) {
        std::printf("6 memory (child process)\n");
        std::printf("  before Form1: VmRSS %s (VmHWM %s)\n", qPrintable(memory[0]), qPrintable(memory[1]));
        std::printf("  graph window open: VmHWM %s (VmRSS %s)%s\n", qPrintable(memory[2]), qPrintable(memory[3]),
                    memory[4] == QLatin1String("1") ? "" : " (chart not painted)");
    } else {
        std::printf("6 memory: the child process failed\n");
        ++failures;
    }
    if (failures != 0)
        std::printf("warning: %d runs did not go as planned\n", failures);
    std::fflush(stdout);
    return failures == 0 && sink != 0 ? 0 : 1;
}
