#include "Form1.h"

#include "AppError.h"
#include "Clock.h"
#include "Conversions.h"
#include "Dialogs.h"
#include "FlexGrid.h"
#include "Fonts.h"
#include "Form2.h"
#include "Settings.h"
#include "Twips.h"
#include "cycle/CycleTracker.h"
#include "graph/FRM_DISP.h"
#include "history/HistoryTab.h"
#include "maintenance/FRM_DELETE.h"
#include "records/CsvTransfer.h"
#include "records/DayEditor.h"
#include "records/DiaryDb.h"
#include "records/TempEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSessionManager>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace nerina {

namespace {

// Designed client area of the main window, and the tab control's left position.
constexpr int kDesignWidthTwips = 8685;
constexpr int kDesignHeightTwips = 6510;
constexpr int kTabLeftTwips = 120;

const QString kGridFormat = QStringLiteral("^年|^月|^日|^曜|^体温|<体調|^CD|^SEX");
constexpr std::array<int, 8> kColumnUnits = {5, 4, 4, 4, 6, 30, 4, 4};

QPixmap decorationPicture()
{
    // A small drawn flower stands beside the entry, as a picture did in the design.
    QPixmap pixmap(72, 72);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF4, 0xA6, 0xC0));
    for (int i = 0; i < 5; ++i) {
        p.save();
        p.translate(36, 36);
        p.rotate(i * 72.0);
        p.drawEllipse(QRectF(-10, -30, 20, 26));
        p.restore();
    }
    p.setBrush(QColor(0xF9, 0xD8, 0x5A));
    p.drawEllipse(QRectF(28, 28, 16, 16));
    return pixmap;
}

} // namespace

GridLayoutTwips computeGridLayout(double w, int tabLeft, const std::function<int(int)> &snap)
{
    auto given = [snap](int wanted) { return snap ? snap(wanted) : wanted; };
    GridLayoutTwips out;
    double grid = 0;
    for (std::size_t c = 0; c < kColumnUnits.size(); ++c) {
        out.columns[c] = given(int(std::lround(kColumnUnits[c] * w)));
        grid += out.columns[c];
    }
    grid += 2.7 * w;
    out.gridWidth = int(std::lround(grid));
    out.tabWidth = given(out.gridWidth + 720);
    out.windowWidth = given(out.tabWidth + 2 * tabLeft + 100);
    return out;
}

Form1::Form1(AppContext context, QWidget *parent)
    : QMainWindow(parent), m_context(std::move(context))
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

    auto *entryTab = new QWidget;
    auto *listTab = new QWidget;
    buildEntryTab(entryTab);
    buildListTab(listTab);
    m_ui.SSTab1->addTab(entryTab, QStringLiteral("入力"));
    m_ui.SSTab1->addTab(listTab, QStringLiteral("一覧表示"));
    m_ui.SSTab1->setCurrentIndex(0);

    const int dpi = logicalDpi(this);
    resize(twipsToPixels(kDesignWidthTwips, dpi), twipsToPixels(kDesignHeightTwips, dpi));

    m_editor = std::make_unique<DayEditor>(*this);
    m_cycle = std::make_unique<CycleTracker>(*this);
    m_history = std::make_unique<HistoryTab>(*this);

    connect(m_ui.DTPicker1, &QDateEdit::dateChanged, this, [this] { DTPicker1_Change(); });
    connect(m_ui.REG_BTN, &QPushButton::clicked, this, [this] { REG_BTN_Click(); });
    connect(m_ui.SET_BTN, &QPushButton::clicked, this, [this] { SET_BTN_Click(); });
    connect(m_ui.CMD_GRAPH, &QPushButton::clicked, this, [this] { CMD_GRAPH_Click(); });
    connect(m_ui.Command1, &QPushButton::clicked, this, [this] { CloseApp(); });
    for (QWidget *box : {static_cast<QWidget *>(m_ui.TEMP_TEXT), static_cast<QWidget *>(m_ui.CONDITION_TEXT),
                         static_cast<QWidget *>(m_ui.DIARY_TEXT), static_cast<QWidget *>(m_ui.DTPicker1)})
        box->installEventFilter(this);
    // Ending the session goes through the same questions as every other way out.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &manager) {
        if (m_ending)
            return;
        if (manager.allowsInteraction()) {
            if (!CloseApp())
                manager.cancel();
            manager.release();
        }
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
    m_ui.mnuRegister = action(m_ui.mnuFile, "mnuRegister", QStringLiteral("登録(&R)"), QKeySequence(Qt::CTRL | Qt::Key_R));
    m_ui.mnuSet = action(m_ui.mnuFile, "mnuSet", QStringLiteral("設定(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S));
    m_ui.mnuFileDataMente = action(m_ui.mnuFile, "mnuFileDataMente", QStringLiteral("ﾃﾞｰﾀﾒﾝﾃﾅﾝｽ(&D)"), QKeySequence(Qt::CTRL | Qt::Key_D));
    m_ui.mnuExport = action(m_ui.mnuFile, "mnuExport", QStringLiteral("ｴｸｽﾎﾟｰﾄ(&E)..."), QKeySequence());
    m_ui.mnuImport = action(m_ui.mnuFile, "mnuImport", QStringLiteral("ｲﾝﾎﾟｰﾄ(&I)..."), QKeySequence());
    m_ui.mnuPartition = separator(m_ui.mnuFile, "mnuPartition");
    m_ui.mnuGraph = action(m_ui.mnuFile, "mnuGraph", QStringLiteral("ｸﾞﾗﾌ(&G)"), QKeySequence(Qt::CTRL | Qt::Key_G));
    m_ui.mnuP3 = separator(m_ui.mnuFile, "mnuP3");
    m_ui.mnuClose = action(m_ui.mnuFile, "mnuClose", QStringLiteral("終了(&C)"), QKeySequence(Qt::CTRL | Qt::Key_Z));

    m_ui.mnuHELP = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    m_ui.mnuHELP->setObjectName(QStringLiteral("mnuHELP"));
    m_ui.mnuVERSION = action(m_ui.mnuHELP, "mnuVERSION", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&V)"), QKeySequence(Qt::CTRL | Qt::Key_V));

    connect(m_ui.mnuRegister, &QAction::triggered, this, [this] { mnuRegister_Click(); });
    connect(m_ui.mnuSet, &QAction::triggered, this, [this] { mnuSet_Click(); });
    connect(m_ui.mnuFileDataMente, &QAction::triggered, this, [this] { mnuFileDataMente_Click(); });
    connect(m_ui.mnuExport, &QAction::triggered, this, [this] { mnuExport_Click(); });
    connect(m_ui.mnuImport, &QAction::triggered, this, [this] { mnuImport_Click(); });
    connect(m_ui.mnuGraph, &QAction::triggered, this, [this] { mnuGraph_Click(); });
    connect(m_ui.mnuClose, &QAction::triggered, this, [this] { mnuClose_Click(); });
    connect(m_ui.mnuVERSION, &QAction::triggered, this, [this] { mnuVERSION_Click(); });
}

void Form1::buildToolbar()
{
    m_ui.Toolbar1 = addToolBar(QStringLiteral("Toolbar1"));
    m_ui.Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
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

void Form1::buildEntryTab(QWidget *tab)
{
    const QFont gothic = designFont(9);

    m_ui.DTPicker1 = new QDateEdit(tab);
    m_ui.DTPicker1->setObjectName(QStringLiteral("DTPicker1"));
    m_ui.DTPicker1->setLocale(japaneseLocale());
    m_ui.DTPicker1->setDisplayFormat(QStringLiteral("yyyy年MM月dd日 dddd"));
    m_ui.DTPicker1->setCalendarPopup(true);
    m_ui.DTPicker1->setFont(gothic);
    m_ui.DTPicker1->setToolTip(QStringLiteral("▼をｸﾘｯｸして日付を設定"));
    m_ui.DTPicker1->setAccessibleName(QStringLiteral("日付"));

    m_ui.Picture1 = new QLabel(tab);
    m_ui.Picture1->setObjectName(QStringLiteral("Picture1"));
    m_ui.Picture1->setPixmap(decorationPicture());
    m_ui.Picture1->setAlignment(Qt::AlignCenter);

    m_ui.Frame3 = new QFrame(tab);
    m_ui.Frame3->setObjectName(QStringLiteral("Frame3"));
    m_ui.Frame3->setFrameShape(QFrame::StyledPanel);

    m_ui.Label1 = new QLabel(QStringLiteral("体温"), m_ui.Frame3);
    m_ui.Label1->setObjectName(QStringLiteral("Label1"));
    m_ui.TEMP_TEXT = new TempEdit(m_ui.Frame3);
    m_ui.TEMP_TEXT->setObjectName(QStringLiteral("TEMP_TEXT"));
    m_ui.TEMP_TEXT->setToolTip(QStringLiteral("この日の体温を数字で入力"));
    m_ui.TEMP_TEXT->setAccessibleName(QStringLiteral("体温"));
    m_ui.TEMP_TEXT->setAlignment(Qt::AlignRight);
    m_ui.TEMP_TEXT->setFixedWidth(QFontMetrics(m_ui.TEMP_TEXT->font()).horizontalAdvance(QStringLiteral("000.000")) + 12);
    m_ui.Label1->setBuddy(m_ui.TEMP_TEXT);
    m_ui.Label2 = new QLabel(QStringLiteral("℃"), m_ui.Frame3);
    m_ui.Label2->setObjectName(QStringLiteral("Label2"));

    m_ui.Frame1 = new QFrame(m_ui.Frame3);
    m_ui.Frame1->setObjectName(QStringLiteral("Frame1"));
    m_ui.GUEST_CHK = new QCheckBox(QStringLiteral("月経"), m_ui.Frame1);
    m_ui.GUEST_CHK->setObjectName(QStringLiteral("GUEST_CHK"));
    m_ui.GUEST_CHK->setToolTip(QStringLiteral("この日に月経があればﾁｪｯｸ"));
    m_ui.LOVE_CHK = new QCheckBox(QStringLiteral("SEX"), m_ui.Frame1);
    m_ui.LOVE_CHK->setObjectName(QStringLiteral("LOVE_CHK"));
    m_ui.LOVE_CHK->setToolTip(QStringLiteral("この日にSEXをしたらチェック"));
    auto *checks = new QHBoxLayout(m_ui.Frame1);
    checks->setContentsMargins(0, 0, 0, 0);
    checks->addWidget(m_ui.GUEST_CHK);
    checks->addWidget(m_ui.LOVE_CHK);

    m_ui.Label5_0 = new QLabel(QStringLiteral("体調"), m_ui.Frame3);
    m_ui.Label5_0->setObjectName(QStringLiteral("Label5_0"));
    m_ui.CONDITION_TEXT = new QLineEdit(m_ui.Frame3);
    m_ui.CONDITION_TEXT->setObjectName(QStringLiteral("CONDITION_TEXT"));
    m_ui.CONDITION_TEXT->setFont(gothic);
    m_ui.CONDITION_TEXT->setToolTip(QStringLiteral("この日の体調を記録"));
    m_ui.CONDITION_TEXT->setAccessibleName(QStringLiteral("体調"));
    m_ui.Label5_0->setBuddy(m_ui.CONDITION_TEXT);

    m_ui.Label5_1 = new QLabel(QStringLiteral("ひとこと日記"), m_ui.Frame3);
    m_ui.Label5_1->setObjectName(QStringLiteral("Label5_1"));
    m_ui.DIARY_TEXT = new QPlainTextEdit(m_ui.Frame3);
    m_ui.DIARY_TEXT->setObjectName(QStringLiteral("DIARY_TEXT"));
    m_ui.DIARY_TEXT->setToolTip(QStringLiteral("日記を書きましょう"));
    m_ui.DIARY_TEXT->setAccessibleName(QStringLiteral("ひとこと日記"));
    m_ui.DIARY_TEXT->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_ui.DIARY_TEXT->setTabChangesFocus(true);
    m_ui.Label5_1->setBuddy(m_ui.DIARY_TEXT);

    auto *form = new QGridLayout(m_ui.Frame3);
    form->addWidget(m_ui.Label1, 0, 0);
    auto *tempRow = new QHBoxLayout;
    tempRow->addWidget(m_ui.TEMP_TEXT);
    tempRow->addWidget(m_ui.Label2);
    tempRow->addSpacing(16);
    tempRow->addWidget(m_ui.Frame1);
    tempRow->addStretch(1);
    form->addLayout(tempRow, 0, 1);
    form->addWidget(m_ui.Label5_0, 1, 0);
    form->addWidget(m_ui.CONDITION_TEXT, 1, 1);
    form->addWidget(m_ui.Label5_1, 2, 0, 1, 2);
    form->addWidget(m_ui.DIARY_TEXT, 3, 0, 1, 2);
    form->setRowStretch(3, 1);

    m_ui.REG_BTN = new QPushButton(QStringLiteral("登録(&R)"), tab);
    m_ui.REG_BTN->setObjectName(QStringLiteral("REG_BTN"));
    m_ui.REG_BTN->setToolTip(QStringLiteral("この日のﾃﾞｰﾀを登録"));
    m_ui.SET_BTN = new QPushButton(QStringLiteral("設定(&S)"), tab);
    m_ui.SET_BTN->setObjectName(QStringLiteral("SET_BTN"));
    m_ui.SET_BTN->setToolTip(QStringLiteral("月経周期の設定"));

    auto *top = new QHBoxLayout;
    top->addWidget(m_ui.Picture1);
    auto *dateColumn = new QVBoxLayout;
    dateColumn->addStretch(1);
    dateColumn->addWidget(m_ui.DTPicker1);
    top->addLayout(dateColumn, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ui.REG_BTN);
    buttons->addWidget(m_ui.SET_BTN);

    auto *layout = new QVBoxLayout(tab);
    layout->addLayout(top);
    layout->addWidget(m_ui.Frame3, 1);
    layout->addLayout(buttons);

    setTabOrder(m_ui.DTPicker1, m_ui.TEMP_TEXT);
    setTabOrder(m_ui.TEMP_TEXT, m_ui.GUEST_CHK);
    setTabOrder(m_ui.GUEST_CHK, m_ui.LOVE_CHK);
    setTabOrder(m_ui.LOVE_CHK, m_ui.CONDITION_TEXT);
    setTabOrder(m_ui.CONDITION_TEXT, m_ui.DIARY_TEXT);
    setTabOrder(m_ui.DIARY_TEXT, m_ui.REG_BTN);
    setTabOrder(m_ui.REG_BTN, m_ui.SET_BTN);
}

void Form1::buildListTab(QWidget *tab)
{
    m_ui.DATA_FLX = new FlexGrid(tab);
    m_ui.DATA_FLX->setObjectName(QStringLiteral("DATA_FLX"));
    m_ui.DATA_FLX->setFont(designFont(9));
    m_ui.DATA_FLX->setAccessibleName(QStringLiteral("一覧表示"));

    m_ui.CMD_GRAPH = new QPushButton(QStringLiteral("ｸﾞﾗﾌ(&G)"), tab);
    m_ui.CMD_GRAPH->setObjectName(QStringLiteral("CMD_GRAPH"));
    m_ui.CMD_GRAPH->setToolTip(QStringLiteral("過去90日分の基礎体温ｸﾞﾗﾌを表示"));
    m_ui.Command1 = new QPushButton(QStringLiteral("閉じる"), tab);
    m_ui.Command1->setObjectName(QStringLiteral("Command1"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ui.CMD_GRAPH);
    buttons->addWidget(m_ui.Command1);

    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(m_ui.DATA_FLX, 1);
    layout->addLayout(buttons);
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

void Form1::showPgError(const QString &message)
{
    m_context.dialogs.error(this, message, QStringLiteral("PG-Error"));
}

bool Form1::Form_Load()
{
    m_state.G_READY = false;
    try {
        // The data file lies in the program's own folder.
        QString path = m_context.programFolder;
        if (!path.endsWith(QLatin1Char('/')))
            path += QLatin1Char('/');
        path += QStringLiteral("nerina.mdb");

        const QFileInfo file(path);
        if (!file.exists() || !file.isFile() || file.isHidden()) {
            m_context.dialogs.message(this, QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙがありません。強制終了します。"),
                                      Dialogs::Icon::Warning, Dialogs::Buttons::Ok, QStringLiteral("ｴﾗｰ"));
            return false;
        }

        m_db = std::make_unique<DiaryDb>(path);
        m_state.G_DB = m_db.get();

        // A setting that cannot be read counts as none: the fallback below applies, and a
        // damaged settings store never keeps the diary from opening.
        try {
            m_state.G_CYCLE_DAYS = readCycleSetting();
        } catch (const AppError &) {
            m_state.G_CYCLE_DAYS.clear();
        }

        const QDateTime now = m_context.clock.now();
        m_state.G_SEL_DATE = now.date();
        m_ui.DTPicker1->setDate(now.date());

        if (m_state.G_CYCLE_DAYS.isEmpty() || !isNumeric(m_state.G_CYCLE_DAYS))
            m_state.G_CYCLE_DAYS = QStringLiteral("30");

        setPanelText(1, QStringLiteral("月経周期：　") + m_state.G_CYCLE_DAYS + QStringLiteral("日"));
        setPanelText(2, ForecastNextPeriod());

        m_state.G_READY = true;
        DTPicker1_Change();

        // The character unit: the width of "0" in the window's font at 12 points.
        QFont measuring = font();
        measuring.setPointSize(12);
        setFont(measuring);
        m_w = pixelsToTwips(QFontMetrics(font()).horizontalAdvance(QLatin1Char('0')), logicalDpi(this));
        QFont normal = font();
        normal.setPointSize(9);
        setFont(normal);

        setUpGrid();

        SSTab1_Click(0);

        const bool entryTab = m_ui.SSTab1->currentIndex() == 0;
        m_ui.mnuRegister->setEnabled(entryTab);
        m_ui.mnuSet->setEnabled(entryTab);
        m_ui.toolbarButtons[0]->setEnabled(entryTab);
        m_ui.toolbarButtons[1]->setEnabled(entryTab);
    } catch (const AppError &error) {
        showPgError(error.message());
    }
    return true;
}

void Form1::setUpGrid()
{
    FlexGrid *grid = m_ui.DATA_FLX;
    grid->setCols(8);
    grid->setRows(181);
    grid->setFormatString(kGridFormat);

    // The window system gives whole pixels: each width is taken as it reads back in
    // twips, so the snapping carries into the widths that follow from it.
    const int dpi = logicalDpi(this);
    const GridLayoutTwips layout = computeGridLayout(m_w, kTabLeftTwips, [dpi](int twips) {
        return pixelsToTwips(twipsToPixels(twips, dpi), dpi);
    });
    for (int c = 0; c < 8; ++c)
        grid->setColWidthTwips(c, layout.columns[std::size_t(c)]);
    grid->setMergeCol(0, true);
    grid->setMergeCol(1, true);
    m_ui.SSTab1->setMinimumWidth(twipsToPixels(layout.tabWidth, dpi));
    resize(twipsToPixels(layout.windowWidth, dpi), height());
}

void Form1::DTPicker1_Change() { m_editor->DTPicker1_Change(); }
void Form1::REG_BTN_Click() { m_editor->REG_BTN_Click(); }
SaveOutcome Form1::SaveDayRecord() { return m_editor->SaveDayRecord(); }
void Form1::LoadDayRecord() { m_editor->LoadDayRecord(); }
bool Form1::CheckTemperature() { return m_editor->CheckTemperature(); }
void Form1::SET_BTN_Click() { m_cycle->SET_BTN_Click(); }
QString Form1::ForecastNextPeriod() { return m_cycle->ForecastNextPeriod(); }
void Form1::SSTab1_Click(int previousTab) { m_history->SSTab1_Click(previousTab); }
void Form1::FillHistoryGrid() { m_history->FillHistoryGrid(); }
void Form1::MarkFertileDays() { m_history->MarkFertileDays(); }

void Form1::CMD_GRAPH_Click()
{
    if (m_graph) {
        // Already open without blocking: bring it forward rather than open a second one.
        m_graph->raise();
        m_graph->activateWindow();
        return;
    }
    m_graph = new FRM_DISP(*m_ui.DATA_FLX, m_context, this);
    m_graph->setWindowModality(Qt::ApplicationModal);
    m_graph->show();
    m_graph->activateWindow();
}

void Form1::mnuGraph_Click()
{
    if (!m_graph)
        m_graph = new FRM_DISP(*m_ui.DATA_FLX, m_context, this);
    m_graph->show();
    m_graph->raise();
    m_graph->activateWindow();
}

void Form1::mnuFileDataMente_Click()
{
    if (m_purge) {
        m_purge->raise();
        m_purge->activateWindow();
        return;
    }
    m_purge = new FRM_DELETE(m_state.G_DB, m_context, this);
    m_purge->setWindowModality(Qt::ApplicationModal);
    m_purge->show();
    m_purge->activateWindow();
}

void Form1::mnuExport_Click()
{
    CsvTransfer(*this).exportDiary();
}

void Form1::mnuImport_Click()
{
    CsvTransfer(*this).importDiary();
}

void Form1::mnuVERSION_Click()
{
    if (m_about) {
        m_about->raise();
        m_about->activateWindow();
        return;
    }
    m_about = new Form2(this);
    m_about->setWindowModality(Qt::ApplicationModal);
    m_about->show();
    m_about->activateWindow();
}

void Form1::mnuRegister_Click()
{
    SaveDayRecord();
}

void Form1::mnuSet_Click()
{
    SET_BTN_Click();
}

void Form1::mnuClose_Click()
{
    CloseApp();
}

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
        const QString title = QStringLiteral("保存確認");
        if (m_context.dialogs.question(this, QStringLiteral("ﾃﾞｰﾀが変更されています。保存しますか？"), title)
            == Dialogs::Answer::Yes) {
            // Only a save that stored the entry lets the program end: after a declined
            // overwrite or a failed save the edits stay for the user to retry or discard.
            if (SaveDayRecord() != SaveOutcome::Stored)
                return false;
        } else if (m_context.dialogs.question(this, QStringLiteral("編集を破棄して終了します。よろしいですか？"), title)
                   != Dialogs::Answer::Yes) {
            return false;
        }
    }
    endProgram();
    return true;
}

void Form1::endProgram()
{
    m_ending = true;
    closeSecondaryWindows();
    close();
    m_state.G_DB = nullptr;
    m_db.reset();
    emit ended();
}

void Form1::closeSecondaryWindows()
{
    if (m_graph)
        m_graph->close();
    if (m_purge)
        m_purge->close();
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
    return {m_ui.mnuRegister, m_ui.mnuSet, m_ui.mnuFileDataMente, m_ui.mnuGraph, m_ui.mnuClose, m_ui.mnuVERSION};
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
