// The start of the last period and the forecast of status bar panels 2 and 3 (the
// fertile window itself is pinned down by the list's marks).
#include "cycle/Forecast.h"

#include <QTest>

using namespace nerina;

using Days = QList<QDate>;

namespace {

const QString kNotice = QStringLiteral("前回月経日未登録　もしくは妊娠した可能性があります");
const QString kFertile = QStringLiteral("妊娠可能日です");
const QString kOrdinary = QStringLiteral("通常日です");

QString nextOn(const char *longDate)
{
    return QStringLiteral("次回月経予定日は") + QString::fromUtf8(longDate) + QStringLiteral("です");
}

} // namespace

class TestForecast final : public QObject
{
    Q_OBJECT
private slots:
    // Period days newest first, as the diary gives them.
    void lastPeriodStart_data()
    {
        QTest::addColumn<Days>("days");
        QTest::addColumn<QDate>("start");
        QTest::newRow("none") << Days {} << QDate();
        QTest::newRow("run over the leap day")
            << Days {QDate(2024, 3, 2), QDate(2024, 3, 1), QDate(2024, 2, 29)} << QDate(2024, 2, 29);
        QTest::newRow("one day between does not end it")
            << Days {QDate(2024, 3, 5), QDate(2024, 3, 4), QDate(2024, 3, 2), QDate(2024, 3, 1)} << QDate(2024, 3, 1);
        QTest::newRow("two days between end it")
            << Days {QDate(2024, 3, 5), QDate(2024, 3, 4), QDate(2024, 3, 1)} << QDate(2024, 3, 4);
        QTest::newRow("a day twice does not end it")
            << Days {QDate(2024, 3, 5), QDate(2024, 3, 5), QDate(2024, 3, 4)} << QDate(2024, 3, 4);
    }
    void lastPeriodStart()
    {
        QFETCH(Days, days);
        QFETCH(QDate, start);
        QCOMPARE(nerina::lastPeriodStart(std::vector<QDate>(days.begin(), days.end())).value_or(QDate()), start);
    }

    // The first day of the last period (none: no period day), the selected day, the
    // stored cycle length, and what panels 2 and 3 show ("" in panel 3: not reached).
    void forecast_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("selected");
        QTest::addColumn<QString>("cycle");
        QTest::addColumn<QString>("panel2");
        QTest::addColumn<QString>("panel3");
        QTest::addColumn<QString>("error");
        const QDate p(2024, 3, 1);
        const QString on0331 = nextOn("2024年03月31日 日曜日");
        QTest::newRow("d = 13") << p << QDate(2024, 3, 14) << "30" << on0331 << kFertile << QString();
        QTest::newRow("L is the leap day") << p << QDate(2024, 3, 30) << "30" << on0331 << kOrdinary << QString();
        QTest::newRow("the forecast day itself")
            << p << QDate(2024, 3, 31) << "30" << kNotice << kOrdinary << QString();
        QTest::newRow("before P") << p << QDate(2024, 2, 20) << "30" << on0331 << kOrdinary << QString();
        QTest::newRow("no period day") << QDate() << QDate(2024, 3, 14) << "30" << kNotice << kOrdinary << QString();
        QTest::newRow("28.5 counts 28") << p << QDate(2024, 3, 19) << "28.5" << nextOn("2024年03月29日 金曜日")
                                        << kOrdinary << QString();
        QTest::newRow("leading zeros") << QDate(2024, 2, 4) << QDate(2024, 2, 10) << "30"
                                       << nextOn("2024年03月05日 火曜日") << kOrdinary << QString();
        const QString overflow = QStringLiteral("オーバーフローしました。");
        QTest::newRow("overflow") << p << QDate(2024, 3, 10) << "100000" << QString() << QString() << overflow;
        QTest::newRow("overflow, no period day")
            << QDate() << QDate(2024, 3, 10) << "100000" << kNotice << QString() << overflow;
    }
    void forecast()
    {
        QFETCH(QDate, start);
        QFETCH(QDate, selected);
        QFETCH(QString, cycle);
        QFETCH(QString, panel2);
        QFETCH(QString, panel3);
        QFETCH(QString, error);
        const ForecastResult r = forecastFor(start.isValid() ? std::optional(start) : std::nullopt, selected, cycle);
        QCOMPARE(r.nextPeriod, panel2);
        QCOMPARE(r.dayKind.value_or(QString()), panel3);
        QCOMPARE(r.error.value_or(QString()), error);
    }
};

QTEST_GUILESS_MAIN(TestForecast)
#include "tst_forecast.moc"
