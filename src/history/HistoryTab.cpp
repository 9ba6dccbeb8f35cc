#include "HistoryTab.h"

#include "FlexGrid.h"
#include "HistoryRows.h"
#include "common/Dialogs.h"
#include "common/Fonts.h"
#include "common/Twips.h"
#include "records/SharedState.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace nerina {

namespace {

const QString kGridFormat = QStringLiteral("^年|^月|^日|^曜|^体温|<体調|^CD|^SEX");
constexpr std::array<int, 8> kColumnUnits = {5, 4, 4, 4, 6, 30, 4, 4};

// The window system gives whole pixels: each width is taken as it reads back in twips, so
// the snapping carries into the widths that follow from it.
GridLayoutTwips computeGridLayout(double w, int tabLeft, int dpi)
{
    auto given = [dpi](int twips) { return pixelsToTwips(twipsToPixels(twips, dpi), dpi); };
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

} // namespace

HistoryTab::HistoryTab(const SharedState &state, Dialogs &dialogs, QWidget *window)
    : m_state(state), m_dialogs(dialogs), m_window(window)
{
    DATA_FLX = new FlexGrid(this);
    DATA_FLX->setObjectName(QStringLiteral("DATA_FLX"));
    DATA_FLX->setFont(designFont(9));
    DATA_FLX->setAccessibleName(QStringLiteral("一覧表示"));

    CMD_GRAPH = new QPushButton(QStringLiteral("ｸﾞﾗﾌ(&G)"), this);
    CMD_GRAPH->setObjectName(QStringLiteral("CMD_GRAPH"));
    CMD_GRAPH->setToolTip(QStringLiteral("過去90日分の基礎体温ｸﾞﾗﾌを表示"));
    Command1 = new QPushButton(QStringLiteral("閉じる"), this);
    Command1->setObjectName(QStringLiteral("Command1"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CMD_GRAPH);
    buttons->addWidget(Command1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(DATA_FLX, 1);
    layout->addLayout(buttons);
}

GridLayoutTwips HistoryTab::setUpGrid(double w, int tabLeft)
{
    DATA_FLX->setCols(kHistoryColumns);
    DATA_FLX->setRows(kHistoryDays + 1);
    DATA_FLX->setFormatString(kGridFormat);

    const GridLayoutTwips layout = computeGridLayout(w, tabLeft, logicalDpi(this));
    for (int c = 0; c < kHistoryColumns; ++c)
        DATA_FLX->setColWidthTwips(c, layout.columns[std::size_t(c)]);
    DATA_FLX->setMergeCol(ColYear, true);
    DATA_FLX->setMergeCol(ColMonth, true);
    return layout;
}

void HistoryTab::FillHistoryGrid()
{
    // One repaint at the end instead of one for each of the ~1,500 cell writes.
    DATA_FLX->setRedraw(false);
    trapped(m_dialogs, m_window, [this] {
        const QDate selected = m_state.G_SEL_DATE;
        const std::vector<HistoryRow> rows
            = historyRows(selected, m_state.db().daysBetween(historyCutOff(selected), selected));
        for (int r = 1; r <= kHistoryDays; ++r) {
            const HistoryRow &row = rows[std::size_t(r - 1)];
            for (int c = 0; c < kHistoryColumns; ++c)
                DATA_FLX->setTextMatrix(r, c, row[std::size_t(c)]);
        }
        MarkFertileDays();
    });
    DATA_FLX->setRedraw(true);
}

void HistoryTab::MarkFertileDays()
{
    const int last = DATA_FLX->rows() - 1;
    std::vector<HistoryRow> rows(std::size_t(qMax(0, last)));
    for (int r = 1; r <= last; ++r) {
        HistoryRow &row = rows[std::size_t(r - 1)];
        for (int c : {ColYear, ColMonth, ColDay, ColMark})
            row[std::size_t(c)] = DATA_FLX->textMatrix(r, c);
    }

    // The marks made before a failure stay, as they would had they gone straight to the
    // grid; the failure is shown once they are in.
    QString failure;
    try {
        markFertileDays(rows, m_state.G_CYCLE_DAYS);
    } catch (const AppError &error) {
        failure = error.message();
    }
    for (int r = 1; r <= last; ++r) {
        const QString &mark = rows[std::size_t(r - 1)][ColMark];
        if (mark != DATA_FLX->textMatrix(r, ColMark))
            DATA_FLX->setTextMatrix(r, ColMark, mark);
    }
    if (!failure.isNull())
        m_dialogs.pgError(m_window, failure);
}

} // namespace nerina
