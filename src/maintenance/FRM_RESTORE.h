#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

namespace nerina {

class Clock;
class Dialogs;
struct SharedState;

// Lists the backups made beside the diary (when, how many days, the first and the last
// day) and puts the one she picks back in place of the diary, after a question; the diary
// as it was is kept as a backup itself, so that a restore can be undone. A backup that
// does not open as a diary, or holds anything the program does not make, is shown as
// unusable and cannot be picked.
class FRM_RESTORE final : public QDialog
{
    Q_OBJECT
public:
    FRM_RESTORE(const SharedState &state, Dialogs &dialogs, const Clock &clock, QWidget *parent);

    void cmdRestore_Click();

    QTableWidget *BACKUP_LIST = nullptr;
    QPushButton *cmdRestore = nullptr;
    QPushButton *cmdClose = nullptr;

signals:
    // The diary now holds the backup's days.
    void restored();

private:
    void fill();

    const SharedState &m_state;
    Dialogs &m_dialogs;
    const Clock &m_clock;
    QLabel *m_label = nullptr;
};

} // namespace nerina
