#pragma once

#include <QObject>

namespace nerina {

class Form1;

// How a save ended: stored, the overwrite declined by the user, or failed with an error
// that has already been shown.
enum class SaveOutcome { Stored, Declined, Failed };

// The entry tab's editor: loads the selected day into the entry controls, tracks edits
// in G_DIRTY, saves the entry and checks the temperature on Enter.
class DayEditor final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDiaryMaxLength = 500;

    explicit DayEditor(Form1 &form);

    void DTPicker1_Change();
    void REG_BTN_Click();
    SaveOutcome SaveDayRecord();
    void LoadDayRecord();
    bool CheckTemperature();

private:
    // The register button's work, telling how the save ended.
    SaveOutcome registerDay();
    void markDirty();
    void limitDiaryLength();

    Form1 &m_form;
    bool m_loading = false;
};

} // namespace nerina
