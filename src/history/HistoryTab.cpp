#include "HistoryTab.h"

#include "HistoryRows.h"
#include "records/DiaryDb.h"
#include "shell/AppError.h"
#include "shell/FlexGrid.h"
#include "shell/Form1.h"

#include <QAction>
#include <QTabWidget>

namespace nerina {

namespace {

constexpr int kListTab = 1;

} // namespace

HistoryTab::HistoryTab(Form1 &form) : m_form(form) {}

void HistoryTab::SSTab1_Click(int)
{
    const Form1Ui &ui = m_form.ui();
    const bool entryTab = ui.SSTab1->currentIndex() == 0;
    ui.mnuRegister->setEnabled(entryTab);
    ui.mnuSet->setEnabled(entryTab);
    ui.toolbarButtons[0]->setEnabled(entryTab);
    ui.toolbarButtons[1]->setEnabled(entryTab);
    ui.mnuGraph->setEnabled(!entryTab);
    ui.toolbarButtons[2]->setEnabled(!entryTab);

    if (ui.SSTab1->currentIndex() == kListTab)
        FillHistoryGrid();
}

void HistoryTab::FillHistoryGrid()
{
    FlexGrid *grid = m_form.ui().DATA_FLX;
    // One repaint at the end instead of one for each of the ~1,500 cell writes.
    grid->setRedraw(false);
    try {
        const SharedState &state = m_form.state();
        const QDate selected = state.G_SEL_DATE;
        const std::vector<HistoryRow> rows =
            historyRows(selected, openedDiary(state.G_DB).daysBetween(historyCutOff(selected), selected));
        for (int r = 1; r <= kHistoryDays; ++r) {
            const HistoryRow &row = rows[std::size_t(r - 1)];
            for (int c = 0; c < kHistoryColumns; ++c)
                grid->setTextMatrix(r, c, row[std::size_t(c)]);
        }
        MarkFertileDays();
    } catch (const AppError &error) {
        grid->setRedraw(true);
        m_form.showPgError(error.message());
        return;
    }
    grid->setRedraw(true);
}

void HistoryTab::MarkFertileDays()
{
    FlexGrid *grid = m_form.ui().DATA_FLX;
    const int last = grid->rows() - 1;
    std::vector<HistoryRow> rows(std::size_t(qMax(0, last)));
    for (int r = 1; r <= last; ++r) {
        HistoryRow &row = rows[std::size_t(r - 1)];
        for (int c : {ColYear, ColMonth, ColDay, ColMark})
            row[std::size_t(c)] = grid->textMatrix(r, c);
    }

    QString failure;
    try {
        markFertileDays(rows, m_form.state().G_CYCLE_DAYS);
    } catch (const AppError &error) {
        failure = error.message();
    }

    // The marks made before a failure stay, as they would had they gone straight to the grid.
    for (int r = 1; r <= last; ++r) {
        const QString &mark = rows[std::size_t(r - 1)][ColMark];
        if (mark != grid->textMatrix(r, ColMark))
            grid->setTextMatrix(r, ColMark, mark);
    }
    if (!failure.isNull())
        m_form.showPgError(failure);
}

} // namespace nerina
