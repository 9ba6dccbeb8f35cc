// The next-period forecast (status bar panel 2) and the fertile-day text (panel 3).
#include "TestSupport.h"
#include "cycle/Forecast.h"
#include "records/DiaryDb.h"
#include "shell/Form1.h"

#include <QDateEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>

using namespace nerina;

namespace {

using Days = QList<QDate>;

const QString kNotice = QStringLiteral("前回月経日未登録　もしくは妊娠した可能性があります");
const QString kFertile = QStringLiteral("妊娠可能日です");
const QString kOrdinary = QStringLiteral("通常日です");

QString nextOn(const QString &formatted)
{
    return QStringLiteral("次回月経予定日は") + formatted + QStringLiteral("です");
}

QDate day(int y, int m, int d) { return QDate(y, m, d); }

// Rows shared by the pure function and the window: recorded period days (any order),
// the selected day, the stored cycle length, and what panels 2 and 3 show.
void forecastTable()
{
    QTest::addColumn<Days>("periodDays");
    QTest::addColumn<QDate>("selected");
    QTest::addColumn<QString>("cycle");
    QTest::addColumn<QString>("panel2");
    QTest::addColumn<QString>("panel3");

    const Days p = {day(2024, 3, 1)};
    const QString on0331 = nextOn(QStringLiteral("2024年03月31日 日曜日"));
    QTest::newRow("d=9 ordinary") << p << day(2024, 3, 10) << "30" << on0331 << kOrdinary;
    QTest::newRow("d=12 ordinary") << p << day(2024, 3, 13) << "30" << on0331 << kOrdinary;
    QTest::newRow("d=13 fertile") << p << day(2024, 3, 14) << "30" << on0331 << kFertile;
    QTest::newRow("d=18 fertile") << p << day(2024, 3, 19) << "30" << on0331 << kFertile;
    QTest::newRow("d=19 ordinary") << p << day(2024, 3, 20) << "30" << on0331 << kOrdinary;
    // L rolls back over the leap day (day 0 of March is 29 February).
    QTest::newRow("leap day L") << p << day(2024, 3, 30) << "30" << on0331 << kOrdinary;
    QTest::newRow("forecast day itself") << p << day(2024, 3, 31) << "30" << kNotice << kOrdinary;
    QTest::newRow("long after") << p << day(2024, 6, 1) << "30" << kNotice << kOrdinary;
    QTest::newRow("before P") << p << day(2024, 2, 20) << "30" << on0331 << kOrdinary;
    QTest::newRow("no period day") << Days {} << day(2024, 3, 14) << "30" << kNotice << kOrdinary;
    QTest::newRow("no period day, k=28") << Days {} << day(2024, 3, 13) << "28" << kNotice << kOrdinary;

    const QString on0330 = nextOn(QStringLiteral("2024年03月30日 土曜日"));
    QTest::newRow("k=29 d=12") << p << day(2024, 3, 13) << "29" << on0330 << kOrdinary;
    QTest::newRow("k=29 d=13") << p << day(2024, 3, 14) << "29" << on0330 << kFertile;
    QTest::newRow("k=29 d=17") << p << day(2024, 3, 18) << "29" << on0330 << kFertile;
    QTest::newRow("k=29 d=18") << p << day(2024, 3, 19) << "29" << on0330 << kOrdinary;
    QTest::newRow("k=28 d=12") << p << day(2024, 3, 13) << "28" << nextOn(QStringLiteral("2024年03月29日 金曜日"))
                               << kFertile;
    // A fractional length counts rounded: 29.5 is 30 (half to even), 28.5 is 28.
    QTest::newRow("k=29.5 counts 30") << p << day(2024, 3, 19) << "29.5" << on0331 << kFertile;
    QTest::newRow("k=28.5 counts 28") << p << day(2024, 3, 19) << "28.5"
                                      << nextOn(QStringLiteral("2024年03月29日 金曜日")) << kOrdinary;

    QTest::newRow("two-digit month and day") << Days {day(2024, 2, 4)} << day(2024, 2, 10) << "30"
                                             << nextOn(QStringLiteral("2024年03月05日 火曜日")) << kOrdinary;
    QTest::newRow("into the next year") << Days {day(2024, 12, 20)} << day(2024, 12, 25) << "30"
                                        << nextOn(QStringLiteral("2025年01月19日 日曜日")) << kOrdinary;

    // The period's first day counts, not its last: 28 Feb to 3 Mar is one period.
    const Days run
        = {day(2024, 1, 30), day(2024, 2, 28), day(2024, 2, 29), day(2024, 3, 1), day(2024, 3, 2), day(2024, 3, 3)};
    QTest::newRow("run of period days") << run << day(2024, 3, 12) << "30"
                                        << nextOn(QStringLiteral("2024年03月29日 金曜日")) << kFertile;
    // A gap of one day ends the run.
    const Days gap = {day(2024, 2, 20), day(2024, 2, 22), day(2024, 2, 23), day(2024, 2, 24)};
    QTest::newRow("gap ends the run") << gap << day(2024, 3, 6) << "30"
                                      << nextOn(QStringLiteral("2024年03月23日 土曜日")) << kFertile;
}

std::vector<QDate> newestFirst(Days days)
{
    std::sort(days.begin(), days.end(), std::greater<QDate>());
    return std::vector<QDate>(days.begin(), days.end());
}

} // namespace

class TestForecast final : public QObject
{
    Q_OBJECT
private slots:
    void pure_data() { forecastTable(); }
    void pure()
    {
        QFETCH(Days, periodDays);
        QFETCH(QDate, selected);
        QFETCH(QString, cycle);
        QFETCH(QString, panel2);
        QFETCH(QString, panel3);
        const ForecastResult r = forecastFor(lastPeriodStart(newestFirst(periodDays)), selected, cycle);
        QCOMPARE(r.nextPeriod, panel2);
        QCOMPARE(r.dayKind, std::optional<QString>(panel3));
        QVERIFY(!r.error);
    }

    // The same table through the main window: rows in a real diary file, the day
    // selected by the clock at start-up, the length from the settings store.
    void atStartUp_data() { forecastTable(); }
    void atStartUp()
    {
        QFETCH(Days, periodDays);
        QFETCH(QDate, selected);
        QFETCH(QString, cycle);
        QFETCH(QString, panel2);
        QFETCH(QString, panel3);

        TestEnv env(QDateTime(selected, QTime(23, 59)));
        for (const QDate &d : periodDays)
            env.db().saveDay(makeDay(d, 36.4, QString(), QString(), true));
        // Ordinary days in between must not count as period days.
        if (!periodDays.contains(selected.addDays(-1)))
            env.db().saveDay(makeDay(selected.addDays(-1), 36.6));
        env.setCycleSetting(cycle);
        auto form = env.makeForm();
        QCOMPARE(form->panelText(2), panel2);
        QCOMPARE(form->panelText(3), panel3);
        QVERIFY(env.dialogs.shown.isEmpty());
    }

    // A run of period days longer than the newest ones read first still counts from its
    // first day. A stored length of 200 passes start-up unchanged and makes the day
    // count of a 100-day run visible in both panels.
    void longRunAtStartUp()
    {
        const QDate today(2024, 6, 30);
        TestEnv env(QDateTime(today, QTime(8, 0)));
        for (int i = 0; i < 100; ++i)
            env.db().saveDay(makeDay(today.addDays(-i), 36.4, QString(), QString(), true));
        env.db().saveDay(makeDay(today.addDays(-100), 36.4)); // ends the run
        env.db().saveDay(makeDay(today.addDays(-101), 36.4, QString(), QString(), true));
        env.setCycleSetting(QStringLiteral("200"));
        auto form = env.makeForm();
        // P = 2024-03-23, 99 days back: the next period is P + 200 days.
        QCOMPARE(form->panelText(2), QStringLiteral("次回月経予定日は2024年10月09日 水曜日です"));
        QCOMPARE(form->panelText(3), QStringLiteral("妊娠可能日です")); // 98 <= 99 <= 103
    }

    void periodStart_data()
    {
        QTest::addColumn<Days>("days");
        QTest::addColumn<QDate>("start");
        QTest::newRow("none") << Days {} << QDate();
        QTest::newRow("one") << Days {day(2024, 3, 1)} << day(2024, 3, 1);
        QTest::newRow("run over a month end")
            << Days {day(2024, 3, 2), day(2024, 3, 1), day(2024, 2, 29)} << day(2024, 2, 29);
        QTest::newRow("older run ignored")
            << Days {day(2024, 3, 5), day(2024, 3, 4), day(2024, 3, 2), day(2024, 3, 1)} << day(2024, 3, 4);
        QTest::newRow("over a year end") << Days {day(2025, 1, 1), day(2024, 12, 31), day(2024, 12, 30)}
                                         << day(2024, 12, 30);
    }
    void periodStart()
    {
        QFETCH(Days, days);
        QFETCH(QDate, start);
        const std::optional<QDate> got = nerina::lastPeriodStart(std::vector<QDate>(days.begin(), days.end()));
        QCOMPARE(got.value_or(QDate()), start);
    }

    // A length that does not fit 16 bits ends the forecast in its own plain box.
    void overflowWithPeriodDay()
    {
        TestEnv env(QDateTime(day(2024, 3, 10), QTime(8, 0)));
        env.db().saveDay(makeDay(day(2024, 3, 1), 0, QString(), QString(), true));
        env.setCycleSetting(QStringLiteral("100000")); // numeric, so start-up keeps it
        auto form = env.makeForm();
        QCOMPARE(env.dialogs.shown.size(), 1);
        const auto &m = env.dialogs.last();
        QCOMPARE(m.text, QStringLiteral("オーバーフローしました。"));
        QCOMPARE(m.icon, Dialogs::Icon::None);
        QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
        QCOMPARE(m.title, Dialogs::programTitle());
        QCOMPARE(form->panelText(2), QString()); // R was not set yet
        QCOMPARE(form->panelText(3), QString()); // never reached
    }

    void overflowWithoutPeriodDay()
    {
        TestEnv env(QDateTime(day(2024, 3, 10), QTime(8, 0)));
        env.setCycleSetting(QStringLiteral("100000"));
        auto form = env.makeForm();
        QCOMPARE(env.dialogs.texts(), QStringList {QStringLiteral("オーバーフローしました。")});
        QCOMPARE(form->panelText(2), kNotice); // set before the error
        QCOMPARE(form->panelText(3), QString());
    }

    // Selecting another day alone leaves both panels; saving refreshes them for that day.
    void refreshedBySaveNotByDateChange()
    {
        TestEnv env(QDateTime(day(2024, 3, 10), QTime(8, 0)));
        env.db().saveDay(makeDay(day(2024, 3, 1), 0, QString(), QString(), true));
        auto form = env.makeForm();
        QCOMPARE(form->panelText(3), kOrdinary);
        form->ui().DTPicker1->setDate(day(2024, 3, 14));
        QCOMPARE(form->panelText(3), kOrdinary);
        QTest::mouseClick(form->ui().REG_BTN, Qt::LeftButton);
        QCOMPARE(form->panelText(2), nextOn(QStringLiteral("2024年03月31日 日曜日")));
        QCOMPARE(form->panelText(3), kFertile);
    }
};

QTEST_MAIN(TestForecast)
#include "tst_forecast.moc"
