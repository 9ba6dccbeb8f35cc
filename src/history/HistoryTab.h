#pragma once

#include <QWidget>

#include <array>

class QPushButton;

namespace nerina {

class Dialogs;
class FlexGrid;
struct SharedState;

// Column widths and window widths that follow from the measured character unit w, as the
// window system gives them (all in twips).
struct GridLayoutTwips
{
    std::array<int, 8> columns {};
    int gridWidth = 0;
    int tabWidth = 0;
    int windowWidth = 0;
};

// The list tab "一覧表示": the grid of the 180 days up to the selected day with their
// fertile-day marks, and the graph and close buttons (the main window wires those).
class HistoryTab final : public QWidget
{
    Q_OBJECT
public:
    HistoryTab(const SharedState &state, Dialogs &dialogs, QWidget *window);

    // Sets the grid up for the character unit w (twips) and returns the widths that
    // follow, as the window system gives them, for a tab control at `tabLeft`.
    GridLayoutTwips setUpGrid(double w, int tabLeft);

    // Rewrites rows 1 to 180 for the selected day, then marks them. Errors are shown
    // here; the rows written so far stay.
    void FillHistoryGrid();

    // Marks the fertile windows in the list as it stands. Errors are shown here and end
    // only the marking.
    void MarkFertileDays();

    FlexGrid *DATA_FLX = nullptr;
    QPushButton *CMD_GRAPH = nullptr;
    QPushButton *Command1 = nullptr;

private:
    const SharedState &m_state;
    Dialogs &m_dialogs;
    QWidget *m_window;
};

} // namespace nerina
