#include "DayEditor.h"

#include "shell/Form1.h"

namespace nerina {

DayEditor::DayEditor(Form1 &form) : m_form(form) {}

void DayEditor::DTPicker1_Change() {}
void DayEditor::REG_BTN_Click() {}
SaveOutcome DayEditor::SaveDayRecord() { return SaveOutcome::Stored; }
void DayEditor::LoadDayRecord() {}
bool DayEditor::CheckTemperature() { return true; }

} // namespace nerina
