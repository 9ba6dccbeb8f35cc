#include "CycleTracker.h"

#include "Forecast.h"
#include "common/Clock.h"
#include "common/Conversions.h"
#include "common/Dialogs.h"
#include "common/Settings.h"
#include "records/SharedState.h"

#include <QLabel>

namespace nerina {

CycleTracker::CycleTracker(SharedState &state, Dialogs &dialogs, const Clock &clock, QWidget *window,
                           const std::array<QLabel *, 3> &panels)
    : m_state(state), m_dialogs(dialogs), m_clock(clock), m_window(window), m_panels(panels)
{ }

void CycleTracker::SET_BTN_Click()
{
    trapped(m_dialogs, m_window, [&] {
        // The box offers what is stored, which may differ from the start-up fallback.
        const QString stored = readCycleSetting();
        const QString s = m_dialogs.input(m_window, QStringLiteral("月経周期を設定して下さい。"),
                                          QStringLiteral("設定モード"), stored);
        if (s.isEmpty())
            return;
        if (const std::optional<QString> problem = cycleLengthProblem(s)) {
            m_dialogs.message(m_window, *problem, Dialogs::Icon::Warning, Dialogs::Buttons::Ok,
                              QStringLiteral("エラーです！"));
            return;
        }
        // The text as typed is kept (11.5 stays 11.5); only full-width forms are narrowed.
        applyCycleLength(toHalfWidth(s));
    });
}

void CycleTracker::applyCycleLength(const QString &days)
{
    writeCycleSetting(days);
    m_state.G_CYCLE_DAYS = days;
    showCycleLength();
    refreshForecast();
    emit cycleLengthChanged();
}

void CycleTracker::showCycleLength() { m_panels[0]->setText(cyclePanelText(m_state.G_CYCLE_DAYS)); }

void CycleTracker::refreshForecast() { m_panels[1]->setText(ForecastNextPeriod()); }

QString CycleTracker::ForecastNextPeriod()
{
    std::optional<QDate> start;
    try {
        const DiaryDb &db = m_state.db();
        const QDate today = m_clock.now().date();
        // The newest period days are enough unless the newest run is longer than them.
        constexpr int kFirstLook = 62;
        const std::vector<QDate> newest = db.periodDays(kFirstLook, today);
        start = lastPeriodStart(newest);
        if (newest.size() == std::size_t(kFirstLook) && start == newest.back())
            start = lastPeriodStart(db.periodDays(-1, today));
    } catch (const AppError &error) {
        // The forecast reports its own errors plainly, under the program's title.
        m_dialogs.notice(m_window, error.message());
        return QString();
    }

    const ForecastResult result = forecastFor(start, m_state.G_SEL_DATE, m_state.G_CYCLE_DAYS);
    if (result.dayKind)
        m_panels[2]->setText(*result.dayKind);
    if (result.error)
        m_dialogs.notice(m_window, *result.error);
    return result.nextPeriod;
}

} // namespace nerina
