#pragma once

#include "DayRecord.h"

#include <QObject>

#include <optional>

namespace nerina {

class Form1;
class TypingLimit;

// How a save ended: stored, the overwrite declined by the user, or failed with an error
// that has already been shown.
enum class SaveOutcome { Stored, Declined, Failed };

// The entry tab's editor: loads the selected day into the entry controls, tracks edits
// in G_DIRTY, saves the entry and checks the temperature on Enter.
class DayEditor final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kConditionMaxLength = 30;
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
    // The entry as the boxes hold it; a box still showing what the load put in gives the
    // stored value itself, so saving an unedited day writes back exactly what was there.
    DayRecord recordFromControls() const;

    Form1 &m_form;
    TypingLimit *m_conditionLimit = nullptr;
    bool m_loading = false;

    // The selected day's row as loaded, and the texts its load left in the boxes.
    struct Loaded
    {
        DayRecord row;
        QString temp;
        QString condition;
        QString diary;
    };
    std::optional<Loaded> m_loaded;
};

} // namespace nerina
