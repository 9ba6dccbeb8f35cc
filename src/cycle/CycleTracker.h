#pragma once

#include <QString>

namespace nerina {

class Form1;

// The cycle length setting and the forecast shown in the status bar.
class CycleTracker final
{
public:
    explicit CycleTracker(Form1 &form);

    void SET_BTN_Click();
    // Returns the text for status bar panel 2 and writes panel 3 itself.
    QString ForecastNextPeriod();

private:
    void showForecastError(const QString &message);

    Form1 &m_form;
};

} // namespace nerina
