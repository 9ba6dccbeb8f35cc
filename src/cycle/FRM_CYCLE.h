#pragma once

#include "CycleStats.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;
class QTableWidget;

namespace nerina {

class Clock;
class CycleTracker;
class Dialogs;
struct SharedState;

// The cycle record: every cycle of the diary, newest first, with its length, period, the
// day of its temperature shift, its luteal phase and the mean temperatures of its low and
// high phases; a summary of the last 6 and 12 complete cycles; and a button that takes
// the mean of the last 6 as the cycle length, as the cycle setting does.
class FRM_CYCLE final : public QDialog
{
    Q_OBJECT
public:
    // The cycles of the days up to the clock's today.
    FRM_CYCLE(const SharedState &state, Dialogs &dialogs, const Clock &clock, CycleTracker &tracker, QWidget *parent);

    void cmdApply_Click();

    QTableWidget *CYCLE_LIST = nullptr;
    QLabel *SUMMARY_6 = nullptr;
    QLabel *SUMMARY_12 = nullptr;
    QPushButton *cmdApply = nullptr;
    QPushButton *cmdClose = nullptr;

    // What the window shows, as computed when it opened.
    const QList<CycleRecord> &cycles() const { return m_cycles; }

private:
    void fill();

    Dialogs &m_dialogs;
    CycleTracker &m_tracker;
    QList<CycleRecord> m_cycles;
    int m_suggested = 0; // the rounded mean of the last 6 complete cycles; 0 when there is none
};

// The texts of the window: a summary line, and the rounded mean length it suggests.
QString cycleSummaryText(const CycleSummary &summary, int count);
// The summary lines the window shows, for the PDF: the last 6, then the last 12 complete
// cycles.
QStringList cycleSummaryTexts(const QList<CycleRecord> &cycles);

} // namespace nerina
