#pragma once

#include "AppContext.h"
#include "records/SharedState.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class QToolBar;

namespace nerina {

class CsvTransfer;
class CycleTracker;
class DayEditor;
class FRM_CYCLE;
class FRM_DELETE;
class FRM_RESTORE;
class FRM_DISP;
class Form2;
class HistoryTab;

enum class SaveOutcome;

// The controls of the main window, by the names the rest of the program uses.
struct Form1Ui
{
    QMenu *mnuFile = nullptr;
    QAction *mnuRegister = nullptr;
    QAction *mnuSet = nullptr;
    QAction *mnuFileDataMente = nullptr;
    QAction *mnuExport = nullptr;  // the diary to a CSV file
    QAction *mnuImport = nullptr;  // days from a CSV file into the diary
    QAction *mnuRestore = nullptr; // the diary back from one of its backups
    QAction *mnuCycle = nullptr;   // the cycle record
    QAction *mnuPartition = nullptr;
    QAction *mnuGraph = nullptr;
    QAction *mnuP3 = nullptr;
    QAction *mnuClose = nullptr;
    QMenu *mnuHELP = nullptr;
    QAction *mnuVERSION = nullptr;

    QToolBar *Toolbar1 = nullptr;
    std::array<QAction *, 4> toolbarButtons {}; // positions 1 to 4: "disc", "set", "graph", "close"

    std::array<QLabel *, 3> panels {}; // status bar panels 1 to 3

    QTabWidget *SSTab1 = nullptr;

    // The two tab pages, each owning its controls by the names the program uses.
    DayEditor *entry = nullptr; // "入力": the day's entry
    HistoryTab *list = nullptr; // "一覧表示": the list of 180 days
};

class Form1 final : public QMainWindow
{
    Q_OBJECT
public:
    explicit Form1(AppContext context, QWidget *parent = nullptr);
    ~Form1() override;

    // The start-up sequence. Returns false when the program must end at once (the data
    // file is missing); the window must then not be shown.
    bool Form_Load();

    const Form1Ui &ui() const { return m_ui; }
    SharedState &state() { return m_state; }
    const SharedState &state() const { return m_state; }

    void setPanelText(int panel, const QString &text); // panel 1 to 3
    QString panelText(int panel) const;

    // The main window's procedures, each carried out by the part it belongs to.
    void DTPicker1_Change();
    void REG_BTN_Click();
    SaveOutcome SaveDayRecord();
    void LoadDayRecord();
    bool CheckTemperature();
    void SET_BTN_Click();
    QString ForecastNextPeriod();
    void SSTab1_Click(int previousTab);
    void FillHistoryGrid();
    void MarkFertileDays();

    // Commands.
    void CMD_GRAPH_Click();
    void mnuGraph_Click();
    void mnuFileDataMente_Click();
    void mnuExport_Click();
    void mnuImport_Click();
    void mnuRestore_Click();
    void mnuCycle_Click();
    void mnuVERSION_Click();
    void mnuRegister_Click();
    void mnuSet_Click();
    void mnuClose_Click();
    void Toolbar1_ButtonClick(int position);
    // Ends the program unless the user declines; returns true when it ended.
    bool CloseApp();
    // The session is ending: the same questions as any other way out, when the session
    // lets the program ask. Returns false when the user declined, so the logout stops.
    bool sessionEnding(bool mayAsk);

    FRM_DISP *graphWindow() const;
    FRM_DELETE *purgeWindow() const;
    FRM_RESTORE *restoreWindow() const;
    FRM_CYCLE *cycleWindow() const;
    Form2 *aboutWindow() const;

signals:
    // Emitted once the program has decided to end (after CloseApp's questions).
    void ended();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    // Which commands the current tab offers: saving and the cycle setting on the entry
    // tab, the graph on the list tab.
    void applyCommandStates();
    // Shows what a change of the diary from outside the editor (an import, a restore)
    // altered: the selected day is reloaded when it was written and holds no unsaved
    // edits; the forecast, the list and an open graph follow.
    void showDiaryChanges(bool selectedDay);
    // The list's marks and an open graph drawn afresh (after a new cycle length too).
    void redrawListAndGraph();
    // After a restore: the diary is opened afresh, checked as at start-up, and shown.
    void reopenDiary();
    FRM_DISP *newGraphWindow();
    void closeSecondaryWindows();
    void endProgram();
    QList<QAction *> commandActions() const;

    AppContext m_context;
    SharedState m_state;
    Form1Ui m_ui;
    std::unique_ptr<CycleTracker> m_cycle;
    std::unique_ptr<CsvTransfer> m_csv;
    QPointer<FRM_DISP> m_graph;
    QPointer<FRM_DELETE> m_purge;
    QPointer<FRM_RESTORE> m_restore;
    QPointer<FRM_CYCLE> m_cycleWindow;
    QPointer<Form2> m_about;
    int m_currentTab = 0;
    bool m_ending = false;
};

} // namespace nerina
