#include "CycleTracker.h"

#include "shell/Form1.h"

namespace nerina {

CycleTracker::CycleTracker(Form1 &form) : m_form(form) {}

void CycleTracker::SET_BTN_Click() {}
QString CycleTracker::ForecastNextPeriod() { return QString(); }

} // namespace nerina
