#pragma once

#include "DayRecord.h"
#include "common/Dialogs.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace nerina {

struct SharedState;
class TempEdit;
class TypingLimit;

// How a save ended: stored, the overwrite declined by the user, or failed with an error
// that has already been shown.
enum class SaveOutcome { Stored, Declined, Failed };

// The entry tab "入力": the date picker and the day's entry boxes. Loads the selected day
// into the boxes, tracks edits in G_DIRTY, saves the entry and checks the temperature on
// Enter. It works on the shared state and shows its boxes through `dialogs` over `window`.
class DayEditor final : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kConditionMaxLength = 30;
    static constexpr int kDiaryMaxLength = 500;

    DayEditor(SharedState &state, Dialogs &dialogs, QWidget *window);

    void DTPicker1_Change();
    void REG_BTN_Click();
    SaveOutcome SaveDayRecord();
    void LoadDayRecord();
    bool CheckTemperature();

    // The question before unsaved edits are left behind, by a date change or at exit.
    Dialogs::Answer askToSave();

    QDateEdit *DTPicker1 = nullptr;
    QLabel *Picture1 = nullptr;
    QFrame *Frame3 = nullptr;
    QFrame *Frame1 = nullptr;
    TempEdit *TEMP_TEXT = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *CONDITION_TEXT = nullptr;
    QLabel *Label5_0 = nullptr;
    QPlainTextEdit *DIARY_TEXT = nullptr;
    QLabel *Label5_1 = nullptr;
    QCheckBox *GUEST_CHK = nullptr;
    QCheckBox *LOVE_CHK = nullptr;
    QPushButton *REG_BTN = nullptr;
    QPushButton *SET_BTN = nullptr; // the cycle setting's button; the main window wires it

    // The day's signs, in a band of their own below the buttons, reached after them.
    QFrame *Frame4 = nullptr;
    QCheckBox *EXCLUDE_CHK = nullptr;
    QComboBox *EXCLUDE_REASON_CMB = nullptr; // a reason offered, or her own words
    QComboBox *BLEEDING_CMB = nullptr;
    QCheckBox *SPOTTING_CHK = nullptr;
    QComboBox *MUCUS_CMB = nullptr;
    QComboBox *LH_CMB = nullptr;
    QComboBox *PREGNANCY_CMB = nullptr;
    QLineEdit *MEDICATION_TEXT = nullptr;

    // How much taller the tab is for the signs' band: the window grows by this much.
    int signsHeight() const;

signals:
    // The register button's save ran (whatever its outcome): the forecast is due.
    void registered();

private:
    void buildControls();
    void buildSignControls();
    void showSigns(const DaySigns &signs);
    // The signs as the controls hold them; a reason counts only while the box is checked.
    DaySigns signsFromControls() const;
    // The register button's work, telling how the save ended.
    SaveOutcome registerDay();
    void markDirty();
    void limitDiaryLength();
    // The entry as the boxes hold it; a box still showing what the load put in gives the
    // stored value itself, so saving an unedited day writes back exactly what was there.
    DayRecord recordFromControls() const;

    SharedState &m_state;
    Dialogs &m_dialogs;
    QWidget *m_window;
    TypingLimit *m_conditionLimit = nullptr;
    bool m_loading = false;
    int m_diaryLength = 0; // the diary box's length after the last change

    // The selected day's row as loaded, and the texts its load left in the boxes.
    struct Loaded
    {
        DayRecord row;
        QString temp;
        QString condition;
        QString diary;
        DaySigns signs; // what the controls gave right after the load
    };
    std::optional<Loaded> m_loaded;
};

} // namespace nerina
