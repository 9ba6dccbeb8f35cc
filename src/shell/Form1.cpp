#include "Form1.h"

#include "Form2.h"
#include "common/AppError.h"
#include "common/Clock.h"
#include "common/Conversions.h"
#include "common/Dialogs.h"
#include "common/FileSafety.h"
#include "common/Fonts.h"
#include "common/Settings.h"
#include "common/Twips.h"
#include "cycle/CycleTracker.h"
#include "cycle/FRM_CYCLE.h"
#include "graph/FRM_DISP.h"
#include "history/FlexGrid.h"
#include "history/HistoryTab.h"
#include "maintenance/FRM_DELETE.h"
#include "maintenance/FRM_RESTORE.h"
#include "records/CsvTransfer.h"
#include "records/DayEditor.h"
#include "records/DiaryDb.h"
#include "records/TempEdit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSessionManager>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace nerina {

namespace {

// Designed client area of the main window, and the tab control's left position.
constexpr int kDesignWidthTwips = 8685;
constexpr int kDesignHeightTwips = 6510;
constexpr int kTabLeftTwips = 120;

// The diary lies in the program's own folder.
QString diaryPathIn(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + QStringLiteral("nerina.mdb");
}

// What no file the program writes may replace.
KeptFiles keptFiles(const AppContext &context) { return {diaryPathIn(context.programFolder), context.programFile}; }

// A secondary window that blocks the main window until it closes, one at a time: an open
// one is brought forward, else `make` makes one (or none, to open nothing).
template<typename Window, typename Make> void openModal(QPointer<Window> &window, Make &&make)
{
    if (window) {
        window->raise();
        window->activateWindow();
        return;
    }
    window = make();
    if (!window)
        return;
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->activateWindow();
}

} // namespace

Form1::Form1(AppContext context, QWidget *parent) : QMainWindow(parent), m_context(std::move(context))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Dialogs::programTitle());
    setFont(designFont(9));

    buildMenus();
    buildToolbar();
    buildStatusBar();

    auto *central = new QWidget(this);
    auto *centralLayout = new QVBoxLayout(central);
    const int margin = twipsToPixels(kTabLeftTwips, logicalDpi(this));
    centralLayout->setContentsMargins(margin, margin, margin, margin);
    m_ui.SSTab1 = new QTabWidget(central);
    m_ui.SSTab1->setObjectName(QStringLiteral("SSTab1"));
    centralLayout->addWidget(m_ui.SSTab1);
    setCentralWidget(central);

    m_ui.entry = new DayEditor(m_state, m_context.dialogs, this);
    m_ui.list = new HistoryTab(m_state, m_context.dialogs, this);
    m_ui.SSTab1->addTab(m_ui.entry, QStringLiteral("入力"));
    m_ui.SSTab1->addTab(m_ui.list, QStringLiteral("一覧表示"));
    m_ui.SSTab1->setCurrentIndex(0);

    const int dpi = logicalDpi(this);
    // Taller by the signs' band alone, so that the designed boxes keep their sizes.
    resize(twipsToPixels(kDesignWidthTwips, dpi), twipsToPixels(kDesignHeightTwips, dpi) + m_ui.entry->signsHeight());

    m_cycle = std::make_unique<CycleTracker>(m_state, m_context.dialogs, m_context.clock, this, m_ui.panels);
    m_csv = std::make_unique<CsvTransfer>(m_state, m_context.dialogs, m_context.clock, this, keptFiles(m_context));

    // Form1 alone wires the parts together.
    connect(m_ui.entry, &DayEditor::registered, this, [this] { m_cycle->refreshForecast(); });
    connect(m_csv.get(), &CsvTransfer::diaryChanged, this, &Form1::showDiaryChanges);
    connect(m_cycle.get(), &CycleTracker::cycleLengthChanged, this, &Form1::redrawListAndGraph);
    connect(m_ui.entry->SET_BTN, &QPushButton::clicked, this, [this] { SET_BTN_Click(); });
    connect(m_ui.list->CMD_GRAPH, &QPushButton::clicked, this, [this] { CMD_GRAPH_Click(); });
    connect(m_ui.list->Command1, &QPushButton::clicked, this, [this] { CloseApp(); });
    for (QWidget *box :
         {static_cast<QWidget *>(m_ui.entry->TEMP_TEXT), static_cast<QWidget *>(m_ui.entry->CONDITION_TEXT),
          static_cast<QWidget *>(m_ui.entry->DIARY_TEXT), static_cast<QWidget *>(m_ui.entry->DTPicker1),
          static_cast<QWidget *>(m_ui.entry->EXCLUDE_REASON_CMB->lineEdit()),
          static_cast<QWidget *>(m_ui.entry->MEDICATION_TEXT)})
        box->installEventFilter(this);
    // Ending the session goes through the same questions as every other way out.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &manager) {
        const bool mayAsk = !m_ending && manager.allowsInteraction();
        if (!sessionEnding(mayAsk))
            manager.cancel();
        if (mayAsk)
            manager.release();
    });
    connect(m_ui.SSTab1, &QTabWidget::currentChanged, this, [this](int) {
        const int previous = m_currentTab;
        m_currentTab = m_ui.SSTab1->currentIndex();
        SSTab1_Click(previous);
    });
}

Form1::~Form1() = default;

FRM_DISP *Form1::graphWindow() const { return m_graph; }
FRM_DELETE *Form1::purgeWindow() const { return m_purge; }
FRM_RESTORE *Form1::restoreWindow() const { return m_restore; }
FRM_CYCLE *Form1::cycleWindow() const { return m_cycleWindow; }
Form2 *Form1::aboutWindow() const { return m_about; }

void Form1::buildMenus()
{
    auto action = [this](QMenu *menu, const char *name, const QString &caption, const QKeySequence &key) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (!key.isEmpty()) {
            a->setShortcut(key);
            // The shortcuts are the program's commands wherever the focus is.
            a->setShortcutContext(Qt::WindowShortcut);
        }
        return a;
    };
    auto separator = [](QMenu *menu, const char *name) {
        QAction *a = menu->addSeparator();
        a->setObjectName(QLatin1String(name));
        return a;
    };

    m_ui.mnuFile = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    m_ui.mnuFile->setObjectName(QStringLiteral("mnuFile"));
    m_ui.mnuRegister
        = action(m_ui.mnuFile, "mnuRegister", QStringLiteral("登録(&R)"), QKeySequence(Qt::CTRL | Qt::Key_R));
    m_ui.mnuSet = action(m_ui.mnuFile, "mnuSet", QStringLiteral("設定(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S));
    m_ui.mnuFileDataMente = action(m_ui.mnuFile, "mnuFileDataMente", QStringLiteral("ﾃﾞｰﾀﾒﾝﾃﾅﾝｽ(&D)"),
                                   QKeySequence(Qt::CTRL | Qt::Key_D));
    m_ui.mnuExport = action(m_ui.mnuFile, "mnuExport", QStringLiteral("ｴｸｽﾎﾟｰﾄ(&E)..."), QKeySequence());
    m_ui.mnuImport = action(m_ui.mnuFile, "mnuImport", QStringLiteral("ｲﾝﾎﾟｰﾄ(&I)..."), QKeySequence());
    m_ui.mnuRestore = action(m_ui.mnuFile, "mnuRestore", QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから復元(&B)..."), QKeySequence());
    m_ui.mnuCycle
        = action(m_ui.mnuFile, "mnuCycle", QStringLiteral("周期の記録(&L)..."), QKeySequence(Qt::CTRL | Qt::Key_L));
    m_ui.mnuPartition = separator(m_ui.mnuFile, "mnuPartition");
    m_ui.mnuGraph = action(m_ui.mnuFile, "mnuGraph", QStringLiteral("ｸﾞﾗﾌ(&G)"), QKeySequence(Qt::CTRL | Qt::Key_G));
    m_ui.mnuP3 = separator(m_ui.mnuFile, "mnuP3");
    m_ui.mnuClose = action(m_ui.mnuFile, "mnuClose", QStringLiteral("終了(&C)"), QKeySequence(Qt::CTRL | Qt::Key_Z));

    m_ui.mnuHELP = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    m_ui.mnuHELP->setObjectName(QStringLiteral("mnuHELP"));
    m_ui.mnuVERSION
        = action(m_ui.mnuHELP, "mnuVERSION", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&V)"), QKeySequence(Qt::CTRL | Qt::Key_V));

    connect(m_ui.mnuRegister, &QAction::triggered, this, [this] { mnuRegister_Click(); });
    connect(m_ui.mnuSet, &QAction::triggered, this, [this] { mnuSet_Click(); });
    connect(m_ui.mnuFileDataMente, &QAction::triggered, this, [this] { mnuFileDataMente_Click(); });
    connect(m_ui.mnuExport, &QAction::triggered, this, [this] { mnuExport_Click(); });
    connect(m_ui.mnuImport, &QAction::triggered, this, [this] { mnuImport_Click(); });
    connect(m_ui.mnuRestore, &QAction::triggered, this, [this] { mnuRestore_Click(); });
    connect(m_ui.mnuCycle, &QAction::triggered, this, [this] { mnuCycle_Click(); });
    connect(m_ui.mnuGraph, &QAction::triggered, this, [this] { mnuGraph_Click(); });
    connect(m_ui.mnuClose, &QAction::triggered, this, [this] { mnuClose_Click(); });
    connect(m_ui.mnuVERSION, &QAction::triggered, this, [this] { mnuVERSION_Click(); });
}

void Form1::buildToolbar()
{
    // Named in Japanese, as screen readers say it; the main window offers no menu to hide
    // it (the toolkit's context menu of toolbars).
    m_ui.Toolbar1 = addToolBar(QStringLiteral("ﾂｰﾙﾊﾞｰ"));
    m_ui.Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    setContextMenuPolicy(Qt::NoContextMenu);
    m_ui.Toolbar1->setMovable(false);
    m_ui.Toolbar1->setFloatable(false);
    m_ui.Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);

    struct Button
    {
        const char *key;
        QString hint;
        QStyle::StandardPixmap icon;
    };
    const Button buttons[] = {
        {"disc", QStringLiteral("ﾃﾞｰﾀ登録"), QStyle::SP_DialogSaveButton},
        {"set", QStringLiteral("月経周期設定"), QStyle::SP_FileDialogDetailedView},
        {"graph", QStringLiteral("グラフ表示"), QStyle::SP_FileDialogContentsView},
        {"close", QStringLiteral("終了"), QStyle::SP_DialogCloseButton},
    };
    for (int i = 0; i < 4; ++i) {
        QAction *a = m_ui.Toolbar1->addAction(style()->standardIcon(buttons[i].icon), buttons[i].hint);
        a->setObjectName(QStringLiteral("Toolbar1_") + QLatin1String(buttons[i].key));
        a->setData(QLatin1String(buttons[i].key));
        a->setToolTip(buttons[i].hint);
        m_ui.toolbarButtons[std::size_t(i)] = a;
        const int position = i + 1;
        connect(a, &QAction::triggered, this, [this, position] { Toolbar1_ButtonClick(position); });
    }
    // The toolbar's own overflow button, shown only when the window is too narrow.
    if (auto *more = m_ui.Toolbar1->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("その他"));
}

void Form1::buildStatusBar()
{
    const QString hints[] = {
        QStringLiteral("設定されている月経周期"),
        QStringLiteral("次回月経予定日"),
        QStringLiteral("妊娠の可能性"),
    };
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        auto *panel = new QLabel(statusBar());
        panel->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i + 1));
        panel->setToolTip(hints[i]);
        // Read out as what it shows, with the hint as its description.
        panel->setAccessibleDescription(hints[i]);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setTextInteractionFlags(Qt::TextSelectableByMouse);
        statusBar()->addWidget(panel, i == 1 ? 1 : 0);
        m_ui.panels[std::size_t(i)] = panel;
    }
}

void Form1::setPanelText(int panel, const QString &text)
{
    if (panel >= 1 && panel <= 3)
        m_ui.panels[std::size_t(panel - 1)]->setText(text);
}

QString Form1::panelText(int panel) const
{
    if (panel >= 1 && panel <= 3)
        return m_ui.panels[std::size_t(panel - 1)]->text();
    return QString();
}

bool Form1::Form_Load()
{
    m_state.G_READY = false;
    bool missing = false;
    trapped(m_context.dialogs, this, [&] {
        const QString path = diaryPathIn(m_context.programFolder);
        const QFileInfo file(path);
        if (!file.exists() || !file.isFile() || file.isHidden()) {
            m_context.dialogs.message(this, QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙがありません。強制終了します。"),
                                      Dialogs::Icon::Warning, Dialogs::Buttons::Ok, QStringLiteral("ｴﾗｰ"));
            missing = true;
            return;
        }

        m_state.G_DB = std::make_unique<DiaryDb>(path);

        // A setting that cannot be read counts as none: the fallback below applies, and a
        // damaged settings store never keeps the diary from opening.
        try {
            m_state.G_CYCLE_DAYS = readCycleSetting();
        } catch (const AppError &) {
            m_state.G_CYCLE_DAYS.clear();
        }

        const QDateTime now = m_context.clock.now();
        m_state.G_SEL_DATE = now.date();
        m_ui.entry->DTPicker1->setDate(now.date());

        if (m_state.G_CYCLE_DAYS.isEmpty() || !isNumeric(m_state.G_CYCLE_DAYS))
            m_state.G_CYCLE_DAYS = QStringLiteral("30");

        m_cycle->showCycleLength();
        m_cycle->refreshForecast();

        m_state.G_READY = true;
        DTPicker1_Change();

        // The character unit: the width of "0" in the window's font at 12 points.
        QFont measuring = font();
        measuring.setPointSize(12);
        setFont(measuring);
        const double characterUnit
            = pixelsToTwips(QFontMetrics(font()).horizontalAdvance(QLatin1Char('0')), logicalDpi(this));
        QFont normal = font();
        normal.setPointSize(9);
        setFont(normal);

        const GridLayoutTwips layout = m_ui.list->setUpGrid(characterUnit, kTabLeftTwips);
        const int dpi = logicalDpi(this);
        m_ui.SSTab1->setMinimumWidth(twipsToPixels(layout.tabWidth, dpi));
        resize(twipsToPixels(layout.windowWidth, dpi), height());

        SSTab1_Click(0);
    });
    return !missing;
}

void Form1::SSTab1_Click(int)
{
    applyCommandStates();
    if (m_ui.SSTab1->currentIndex() == 1)
        FillHistoryGrid();
}

void Form1::applyCommandStates()
{
    const bool entryTab = m_ui.SSTab1->currentIndex() == 0;
    m_ui.mnuRegister->setEnabled(entryTab);
    m_ui.mnuSet->setEnabled(entryTab);
    m_ui.toolbarButtons[0]->setEnabled(entryTab);
    m_ui.toolbarButtons[1]->setEnabled(entryTab);
    m_ui.mnuGraph->setEnabled(!entryTab);
    m_ui.toolbarButtons[2]->setEnabled(!entryTab);
}

void Form1::showDiaryChanges(bool selectedDay)
{
    if (selectedDay && !m_state.G_DIRTY) {
        LoadDayRecord();
        // Filling the boxes fires their change handlers; what they show is stored.
        m_state.G_DIRTY = false;
    }
    m_cycle->refreshForecast();
    redrawListAndGraph();
}

void Form1::redrawListAndGraph()
{
    // The graph draws the list: an open graph is redrawn from a list filled afresh, on
    // whichever tab.
    const bool graphOpen = m_graph && m_graph->isVisible();
    if (m_ui.SSTab1->currentIndex() == 1 || graphOpen)
        FillHistoryGrid();
    if (graphOpen)
        m_graph->Form_Activate();
}

void Form1::DTPicker1_Change() { m_ui.entry->DTPicker1_Change(); }
void Form1::REG_BTN_Click() { m_ui.entry->REG_BTN_Click(); }
SaveOutcome Form1::SaveDayRecord() { return m_ui.entry->SaveDayRecord(); }
void Form1::LoadDayRecord() { m_ui.entry->LoadDayRecord(); }
bool Form1::CheckTemperature() { return m_ui.entry->CheckTemperature(); }
void Form1::SET_BTN_Click() { m_cycle->SET_BTN_Click(); }
QString Form1::ForecastNextPeriod() { return m_cycle->ForecastNextPeriod(); }
void Form1::FillHistoryGrid() { m_ui.list->FillHistoryGrid(); }
void Form1::MarkFertileDays() { m_ui.list->MarkFertileDays(); }

void Form1::CMD_GRAPH_Click()
{
    // Already open without blocking, it is brought forward rather than opened twice.
    openModal(m_graph, [this] { return newGraphWindow(); });
}

void Form1::mnuGraph_Click()
{
    if (!m_graph)
        m_graph = newGraphWindow();
    m_graph->show();
    m_graph->raise();
    m_graph->activateWindow();
}

FRM_DISP *Form1::newGraphWindow()
{
    // The PDF charts the cycles she chose, from the diary's days up to today, and sums up
    // the cycles of the whole diary as the cycle record does.
    auto report = [this](ReportScope scope, const QDate &first, const QDate &last) {
        const DiaryDb &db = m_state.db();
        const QDate today = m_context.clock.now().date();
        const ReportPlan plan = reportPlan(db.periodDays(), scope, first, last, today);
        const std::vector<DayRecord> rows = db.daysBetween(plan.from, plan.upTo);
        const std::map<QDate, DaySigns> signs = db.signsBetween(plan.from, plan.upTo);
        ReportData data = reportData(plan, rows, signs, first, last);
        const QList<CycleRecord> cycles = cycleRecords(db.cycleDays(today), today);
        if (!cycles.isEmpty())
            data.cycleSummary = cycleSummaryTexts(cycles);
        return data;
    };
    auto signs = [this](const QDate &first, const QDate &last) { return m_state.db().signsBetween(first, last); };
    return new FRM_DISP(*m_ui.list->DATA_FLX, m_context.dialogs, m_context.printer, keptFiles(m_context), this, report,
                        signs);
}

void Form1::mnuFileDataMente_Click()
{
    openModal(m_purge, [this] { return new FRM_DELETE(m_state, m_context.dialogs, m_context.clock, this); });
}

void Form1::mnuExport_Click() { m_csv->exportDiary(); }

void Form1::mnuImport_Click() { m_csv->importDiary(); }

void Form1::mnuRestore_Click()
{
    openModal(m_restore, [this]() -> FRM_RESTORE * {
        // Unsaved edits are settled first, as at exit: the restore replaces their day.
        if (m_state.G_DIRTY && m_ui.entry->askToSave() == Dialogs::Answer::Yes
            && SaveDayRecord() != SaveOutcome::Stored)
            return nullptr;
        auto *window = new FRM_RESTORE(m_state, m_context.dialogs, m_context.clock, this);
        connect(window, &FRM_RESTORE::restored, this, &Form1::reopenDiary);
        return window;
    });
}

void Form1::mnuCycle_Click()
{
    openModal(m_cycleWindow,
              [this] { return new FRM_CYCLE(m_state, m_context.dialogs, *m_cycle, m_context.clock, this); });
}

void Form1::reopenDiary()
{
    // Opened anew so that the restored file passes the start-up check; the old connection
    // is kept until then, so a refused file never leaves the session without a diary.
    std::unique_ptr<DiaryDb> reopened;
    if (trapped(m_context.dialogs, this, [&] { reopened = std::make_unique<DiaryDb>(m_state.db().path()); }))
        m_state.G_DB.swap(reopened);
    m_state.G_DIRTY = false;
    showDiaryChanges(true);
}

void Form1::mnuVERSION_Click()
{
    openModal(m_about, [this] { return new Form2(this); });
}

void Form1::mnuRegister_Click() { SaveDayRecord(); }

void Form1::mnuSet_Click() { SET_BTN_Click(); }

void Form1::mnuClose_Click() { CloseApp(); }

void Form1::Toolbar1_ButtonClick(int position)
{
    switch (position) {
    case 1: mnuRegister_Click(); break;
    case 2: mnuSet_Click(); break;
    case 3: mnuGraph_Click(); break;
    case 4: CloseApp(); break;
    default: break;
    }
}

bool Form1::CloseApp()
{
    if (m_ending)
        return true;
    if (m_state.G_DIRTY) {
        if (m_ui.entry->askToSave() == Dialogs::Answer::Yes) {
            // Only a save that stored the entry lets the program end: after a declined
            // overwrite or a failed save the edits stay for the user to retry or discard.
            if (SaveDayRecord() != SaveOutcome::Stored)
                return false;
        } else if (m_context.dialogs.question(this, QStringLiteral("編集を破棄して終了します。よろしいですか？"),
                                              QStringLiteral("保存確認"))
                   != Dialogs::Answer::Yes) {
            return false;
        }
    }
    endProgram();
    return true;
}

bool Form1::sessionEnding(bool mayAsk) { return !mayAsk || CloseApp(); }

void Form1::endProgram()
{
    m_ending = true;
    closeSecondaryWindows();
    close();
    m_state.G_DB.reset();
    emit ended();
}

void Form1::closeSecondaryWindows()
{
    if (m_graph)
        m_graph->close();
    if (m_purge)
        m_purge->close();
    if (m_restore)
        m_restore->close();
    if (m_cycleWindow)
        m_cycleWindow->close();
    if (m_about)
        m_about->close();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // The menu shortcuts are the program's commands wherever the focus is: a text box
    // must not take Ctrl+Z or Ctrl+V for its own undo and paste.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const QAction *action : commandActions()) {
            if (action->shortcut() == pressed) {
                event->ignore();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QList<QAction *> Form1::commandActions() const
{
    return {m_ui.mnuRegister, m_ui.mnuSet,   m_ui.mnuFileDataMente, m_ui.mnuCycle,
            m_ui.mnuGraph,    m_ui.mnuClose, m_ui.mnuVERSION};
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (m_ending) {
        event->accept();
        return;
    }
    if (CloseApp()) {
        event->accept();
        return;
    }
    // Declined: stay open and show the unsaved entry.
    m_ui.SSTab1->setCurrentIndex(0);
    event->ignore();
}

} // namespace nerina
