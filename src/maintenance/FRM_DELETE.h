#pragma once

#include <QDialog>

class QDateEdit;
class QLabel;
class QPushButton;

namespace nerina {

class Clock;
class Dialogs;
struct SharedState;

// Deletes every entry dated on or before a chosen day. Esc cancels it, Return presses the
// focused button.
class FRM_DELETE final : public QDialog
{
    Q_OBJECT
public:
    FRM_DELETE(const SharedState &state, Dialogs &dialogs, const Clock &clock, QWidget *parent);

    void cmdRun_Click();
    void cmdCancel_Click();

    QDateEdit *DTPicker1() const { return m_picker; }
    QLabel *Label1() const { return m_label1; }
    QPushButton *cmdRun() const { return m_run; }
    QPushButton *cmdCancel() const { return m_cancel; }

private:
    const SharedState &m_state;
    Dialogs &m_dialogs;
    const Clock &m_clock;
    QDateEdit *m_picker = nullptr;
    QLabel *m_label1 = nullptr;
    QPushButton *m_run = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace nerina
