#include "CycleTracker.h"

#include "Forecast.h"
#include "records/DiaryDb.h"
#include "shell/AppError.h"
#include "shell/Conversions.h"
#include "shell/Dialogs.h"
#include "shell/Form1.h"
#include "shell/Settings.h"

namespace nerina {

CycleTracker::CycleTracker(Form1 &form) : m_form(form) {}

void CycleTracker::SET_BTN_Click()
{
    Dialogs &dialogs = m_form.context().dialogs;
    const QString errorTitle = QStringLiteral("エラーです！");
    try {
        // The box offers what is stored, which may differ from the start-up fallback.
        const QString stored = readCycleSetting();
        QString s = dialogs.input(&m_form, QStringLiteral("月経周期を設定して下さい。"),
                                  QStringLiteral("設定モード"), stored);
        if (s.isEmpty())
            return;
        if (!isNumeric(s)) {
            dialogs.message(&m_form, QStringLiteral("数値を入力して下さい。"), Dialogs::Icon::Warning,
                            Dialogs::Buttons::Ok, errorTitle);
            return;
        }
        const qint16 n = toInt16(s);
        if (!(n < 60 && n > 10)) {
            dialogs.message(&m_form, QStringLiteral("数値が不正です。"), Dialogs::Icon::Warning,
                            Dialogs::Buttons::Ok, errorTitle);
            return;
        }
        // The text as typed is kept (11.5 stays 11.5); only full-width forms are narrowed.
        s = toHalfWidth(s);
        writeCycleSetting(s);
        m_form.state().G_CYCLE_DAYS = s;
        m_form.setPanelText(1, QStringLiteral("月経周期：　") + s + QStringLiteral("日"));
        m_form.setPanelText(2, ForecastNextPeriod());
    } catch (const AppError &error) {
        m_form.showPgError(error.message());
    }
}

QString CycleTracker::ForecastNextPeriod()
{
    const SharedState &state = m_form.state();
    std::optional<QDate> start;
    try {
        DiaryDb &db = openedDiary(state.G_DB);
        // The newest period days are enough unless the newest run is longer than them.
        constexpr int kFirstLook = 62;
        const std::vector<QDate> newest = db.periodDays(kFirstLook);
        start = lastPeriodStart(newest);
        if (newest.size() == std::size_t(kFirstLook) && start == newest.back())
            start = lastPeriodStart(db.periodDays());
    } catch (const AppError &error) {
        showForecastError(error.message());
        return QString();
    }

    const ForecastResult result = forecastFor(start, state.G_SEL_DATE, state.G_CYCLE_DAYS);
    if (result.dayKind)
        m_form.setPanelText(3, *result.dayKind);
    if (result.error)
        showForecastError(*result.error);
    return result.nextPeriod;
}

void CycleTracker::showForecastError(const QString &message)
{
    // The forecast reports its own errors plainly, under the program's title.
    m_form.context().dialogs.message(&m_form, message, Dialogs::Icon::None, Dialogs::Buttons::Ok);
}

} // namespace nerina
