// The cycle length command and the forecast it and the register button refresh.
#include "TestWindows.h"
#include "cycle/FRM_CYCLE.h"
#include "cycle/Forecast.h"
#include "history/FlexGrid.h"
#include "history/HistoryRows.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace nerina;

namespace {

const QDate kToday(2026, 12, 6);
const QString kAbsent = QStringLiteral("<absent>");
const QString kNotStored = QStringLiteral("設定を保存できませんでした。");

} // namespace

class TestCycleSetting final : public QObject
{
    Q_OBJECT
private slots:
    // Nothing is stored, so start-up falls back to 30 days; the box must offer what is
    // stored all the same. An accepted length is stored as typed, only narrowed, private to
    // her, and shown and counted at once; a refused one, or one the store cannot take,
    // changes nothing.
    void setButton_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("box"); // the one box shown, if any
        test::row("full-width", "３０.５", "30.5", QString());
        test::row("60", "60", kAbsent, "数値が不正です。");
        test::row("store cannot be written", "28", kAbsent, kNotStored);
    }
    void setButton()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, box);
        test::ShownForm f;
        const QDate periodStart = kToday.addDays(-16);
        f.diary.db().saveDay(test::day(periodStart, 36.2, {}, {}, true));
        QVERIFY(f.start(false));
        f.form->setPanelText(2, QStringLiteral("-"));
        f.form->setPanelText(3, QStringLiteral("-"));
        if (box == kNotStored) // its folder is a file
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(f.diary.path()));

        f.dialogs.inputs << typed;
        f.ui().entry->SET_BTN->click();
        QCOMPARE(f.dialogs.inputDefaults, QStringList {QString()});
        QCOMPARE(f.dialogs.texts(), box.isEmpty() ? QStringList() : QStringList {box});

        QCOMPARE(f.diary.cycleSetting(), stored);
        const QString days = stored == kAbsent ? QStringLiteral("30") : stored;
        QCOMPARE(f.form->state().G_CYCLE_DAYS, days);
        QCOMPARE(f.form->panelText(1), cyclePanelText(days));
        const ForecastResult forecast = forecastFor(periodStart, kToday, days);
        const bool accepted = stored != kAbsent;
        QCOMPARE(f.form->panelText(2), accepted ? forecast.nextPeriod : QStringLiteral("-"));
        QCOMPARE(f.form->panelText(3), accepted ? *forecast.dayKind : QStringLiteral("-"));
        QVERIFY(!accepted || !(QFile::permissions(f.diary.settingsFile()) & (QFile::ReadGroup | QFile::ReadOther)));
    }

    // The register button refreshes the forecast, and a period counts from its first day
    // however long it ran: a stored length of 200, which start-up takes as it is, keeps the
    // forecast of a run of 70 days in view. A period day after today counts neither there nor
    // in the cycle record. The cycle record opens on its shortcut from the
    // list, and takes the mean of the last complete cycles as the cycle length the way the
    // setting does, after a question; the list's fertile marks follow at once.
    void registerAndCycleRecord()
    {
        test::ShownForm f;
        const QDate run = kToday.addDays(-69);
        std::vector<DayRecord> periods;
        for (int back = 0; back < 70; ++back)
            periods.push_back(test::day(kToday.addDays(-back), 36.4, {}, {}, true));
        for (int c = 1; c <= 4; ++c) {
            for (int d = 0; d < 5; ++d)
                periods.push_back(test::day(run.addDays(d - 28 * c), 36.3, {}, {}, true));
        }
        periods.push_back(test::day(QDate(2062, 11, 26), 0, {}, {}, true)); // a slip of the year
        f.diary.db().saveDays(periods);
        f.diary.setCycleSetting(QStringLiteral("200"));
        QVERIFY(f.start());
        f.form->setPanelText(2, QString());
        f.ui().entry->REG_BTN->click();
        QCOMPARE(f.form->panelText(2), forecastFor(run, kToday, QStringLiteral("200")).nextPeriod);

        f.ui().SSTab1->setCurrentIndex(1);
        const FlexGrid &list = *f.ui().list->DATA_FLX;
        QCOMPARE(list.textMatrix(86, ColMark), QString()); // 85 days back: n = 12 of a 28-day cycle
        QTest::keyClick(f.ui().list->DATA_FLX, Qt::Key_L, Qt::ControlModifier);
        QTRY_VERIFY(f.form->cycleWindow());
        QCOMPARE(f.form->cycleWindow()->CYCLE_LIST->rowCount(), 5);
        f.dialogs.answer(QStringLiteral("NY"));
        f.form->cycleWindow()->cmdApply->click();
        QCOMPARE(f.diary.cycleSetting(), QStringLiteral("200"));
        f.form->cycleWindow()->cmdApply->click();
        QVERIFY(f.dialogs.last().text.contains(QStringLiteral("28日")));
        QCOMPARE(f.diary.cycleSetting(), QStringLiteral("28"));
        QCOMPARE(list.textMatrix(86, ColMark), QStringLiteral("★"));
    }

    // The record shows what a cycle's signs tell, the running cycle counted to today, read
    // from the diary as saved.
    void cycleRecordSigns()
    {
        const QDate start(2026, 11, 1); // 5 period days, 9 low and 16 high readings
        std::vector<DayRecord> days;
        for (int d = 0; d < 30; ++d) {
            days.push_back(test::day(start.addDays(d), d == 8 ? 37.5 : d < 14 ? 36.3 : 36.7, {}, {}, d < 5));
            DaySigns &signs = days.back().SIGNS.emplace();
            signs.excluded = d == 8; // a fever, left out
            if (d >= 8 && d < 16)
                signs.mucus = Mucus(QStringLiteral("12344321")[d - 8].digitValue());
            if (d == 11 || d == 12)
                signs.lhTest = TestResult::Positive;
            if (d == 29)
                signs.pregnancyTest = TestResult::Positive;
        }
        test::ShownForm f;
        f.diary.db().saveDays(days);
        QVERIFY(f.start());
        f.form->mnuCycle_Click();
        FRM_CYCLE &window = *f.form->cycleWindow();
        QStringList cells;
        for (int col = 1; col < window.CYCLE_LIST->columnCount(); ++col)
            cells << window.CYCLE_LIST->item(0, col)->text();
        QCOMPARE(cells,
                 QStringList({"進行中（36日目）", "5日", "2026/11/15", "22日", "36.30℃", "36.70℃", "11/12、11/13",
                              "11/13", "11/17 夜から", "高温期が18日以上／妊娠検査薬が陽性（11/30）"}));
        window.cmdHelp->click();
        QVERIFY(f.dialogs.last().text.contains(QStringLiteral("どちらか一方しかないときは、何も判定しません")));
    }
};

QTEST_MAIN(TestCycleSetting)
#include "tst_cycle_setting.moc"
