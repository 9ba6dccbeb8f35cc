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
// day of its temperature shift, its high phase and the mean temperatures of its low and
// high phases, its positive ovulation tests, the mucus peak and the day the double check
// closes, and what the cycle tells in plain words; a summary of the last 6 and 12
// complete cycles; a button that takes the mean of the last 6 as the cycle length, as the
// cycle setting does; and one that explains how the double check is read.
class FRM_CYCLE final : public QDialog
{
    Q_OBJECT
public:
    // The cycles of the open diary; the clock gives today, where a running high phase ends.
    FRM_CYCLE(const SharedState &state, Dialogs &dialogs, CycleTracker &tracker, const Clock &clock, QWidget *parent);
    // The cycles of these days (oldest first, as DiaryDb::cycleDays gives them).
    FRM_CYCLE(const std::vector<DiaryDb::CycleDay> &days, const QDate &today, Dialogs &dialogs, CycleTracker &tracker,
              QWidget *parent);

    void cmdApply_Click();
    void cmdHelp_Click();

    QTableWidget *CYCLE_LIST = nullptr;
    QLabel *SUMMARY_6 = nullptr;
    QLabel *SUMMARY_12 = nullptr;
    QPushButton *cmdHelp = nullptr;
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
