#pragma once

#include <QObject>
#include <QString>

#include <array>

class QLabel;
class QWidget;

namespace nerina {

class Clock;
class Dialogs;
struct SharedState;

// The cycle length setting and the forecast in the status bar: panel 1 shows the cycle
// length, panel 2 the next expected period, panel 3 whether the selected day is fertile.
class CycleTracker final : public QObject
{
    Q_OBJECT
public:
    CycleTracker(SharedState &state, Dialogs &dialogs, const Clock &clock, QWidget *window,
                 const std::array<QLabel *, 3> &panels);

    // Asks for the cycle length, checks it and takes it.
    void SET_BTN_Click();

    // Returns the text for panel 2 and writes panel 3 itself. Counts from the period days up
    // to today: a day typed a year or a decade ahead starts no period.
    QString ForecastNextPeriod();

    // Panel 1 from G_CYCLE_DAYS, and panel 2 from a fresh forecast.
    void showCycleLength();
    void refreshForecast();

    // Takes a cycle length that passed the checks: stores it, puts it into G_CYCLE_DAYS
    // and panel 1, refreshes the forecast and tells the rest of the window. Throws AppError
    // when it cannot be stored.
    void applyCycleLength(const QString &days);

signals:
    // The cycle length was taken: the list's fertile marks and the graph count from it.
    void cycleLengthChanged();

private:
    SharedState &m_state;
    Dialogs &m_dialogs;
    const Clock &m_clock;
    QWidget *m_window;
    std::array<QLabel *, 3> m_panels;
};

} // namespace nerina
