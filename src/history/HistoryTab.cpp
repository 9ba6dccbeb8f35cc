#include "HistoryTab.h"

#include "shell/Form1.h"

namespace nerina {

HistoryTab::HistoryTab(Form1 &form) : m_form(form) {}

void HistoryTab::SSTab1_Click(int) {}
void HistoryTab::FillHistoryGrid() {}
void HistoryTab::MarkFertileDays() {}

} // namespace nerina
