// The cycle length command: the input box, its checks, the stored setting and the panels.
#include "TestSupport.h"
#include "records/DiaryDb.h"
#include "shell/Form1.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTest>

using namespace nerina;

namespace {

const QString kPanel1 = QStringLiteral("月経周期：　");

QString panel1(const QString &days) { return kPanel1 + days + QStringLiteral("日"); }

} // namespace

class TestCycleSetting final : public QObject
{
    Q_OBJECT
private slots:
    // The clock stands on 10 March 2024; 1 March is a period day; 28 is stored.
    void input_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: none
        QTest::addColumn<QString>("stored");  // what the store holds afterwards
        QTest::addColumn<QString>("panel2");
        QTest::addColumn<QString>("panel3");

        const QString notNumber = QStringLiteral("数値を入力して下さい。");
        const QString invalid = QStringLiteral("数値が不正です。");
        const QString before2 = QStringLiteral("次回月経予定日は2024年03月29日 金曜日です");
        const QString ordinary = QStringLiteral("通常日です");
        const QString fertile = QStringLiteral("妊娠可能日です");

        QTest::newRow("10") << "10" << invalid << "28" << before2 << ordinary;
        QTest::newRow("11") << "11" << QString() << "11" << QStringLiteral("次回月経予定日は2024年03月12日 火曜日です")
                            << ordinary;
        QTest::newRow("30") << "30" << QString() << "30" << QStringLiteral("次回月経予定日は2024年03月31日 日曜日です")
                            << ordinary;
        QTest::newRow("59") << "59" << QString() << "59" << QStringLiteral("次回月経予定日は2024年04月29日 月曜日です")
                            << ordinary;
        QTest::newRow("60") << "60" << invalid << "28" << before2 << ordinary;
        QTest::newRow("10.5 rounds to 10") << "10.5" << invalid << "28" << before2 << ordinary;
        // Kept as typed, counted as 12: the next day is 13 March and day 9 is fertile.
        QTest::newRow("11.5 rounds to 12")
            << "11.5" << QString() << "11.5" << QStringLiteral("次回月経予定日は2024年03月13日 水曜日です") << fertile;
        QTest::newRow("59.4") << "59.4" << QString() << "59.4"
                              << QStringLiteral("次回月経予定日は2024年04月29日 月曜日です") << ordinary;
        QTest::newRow("59.5 rounds to 60") << "59.5" << invalid << "28" << before2 << ordinary;
        QTest::newRow("full-width 28") << QStringLiteral("２８") << QString() << "28" << before2 << ordinary;
        QTest::newRow("full-width 3０") << QStringLiteral("3０") << QString() << "30"
                                        << QStringLiteral("次回月経予定日は2024年03月31日 日曜日です") << ordinary;
        QTest::newRow("abc") << "abc" << notNumber << "28" << before2 << ordinary;
        QTest::newRow("2 8") << "2 8" << notNumber << "28" << before2 << ordinary;
    }
    void input()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, stored);
        QFETCH(QString, panel2);
        QFETCH(QString, panel3);

        TestEnv env(QDateTime(QDate(2024, 3, 10), QTime(8, 0)));
        env.db().saveDay(makeDay(QDate(2024, 3, 1), 36.2, QString(), QString(), true));
        env.setCycleSetting(QStringLiteral("28"));
        auto form = env.makeForm();
        QCOMPARE(form->panelText(1), panel1(QStringLiteral("28")));
        env.dialogs.clear();

        env.dialogs.inputs << typed;
        QTest::mouseClick(form->ui().SET_BTN, Qt::LeftButton);

        QCOMPARE(env.dialogs.inputCalls.size(), 1);
        QCOMPARE(env.dialogs.inputCalls[0].prompt, QStringLiteral("月経周期を設定して下さい。"));
        QCOMPARE(env.dialogs.inputCalls[0].title, QStringLiteral("設定モード"));
        QCOMPARE(env.dialogs.inputCalls[0].defaultText, QStringLiteral("28"));

        if (message.isEmpty()) {
            QVERIFY(env.dialogs.shown.isEmpty());
        } else {
            QCOMPARE(env.dialogs.shown.size(), 1);
            const auto &m = env.dialogs.last();
            QCOMPARE(m.text, message);
            QCOMPARE(m.title, QStringLiteral("エラーです！"));
            QCOMPARE(m.icon, Dialogs::Icon::Warning);
            QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
        }
        QCOMPARE(env.cycleSetting(), stored);
        QCOMPARE(form->state().G_CYCLE_DAYS, stored);
        QCOMPARE(form->panelText(1), panel1(stored));
        QCOMPARE(form->panelText(2), panel2);
        QCOMPARE(form->panelText(3), panel3);
    }

    void cancelAndEmptyDoNothing()
    {
        TestEnv env(QDateTime(QDate(2024, 3, 10), QTime(8, 0)));
        env.setCycleSetting(QStringLiteral("28"));
        auto form = env.makeForm();
        env.dialogs.clear();
        form->setPanelText(2, QStringLiteral("marker")); // would be rewritten by a forecast
        env.dialogs.inputs << QString();
        form->ui().mnuSet->trigger();
        QCOMPARE(env.dialogs.inputCalls.size(), 1);
        QVERIFY(env.dialogs.shown.isEmpty());
        QCOMPARE(env.cycleSetting(), QStringLiteral("28"));
        QCOMPARE(form->panelText(1), panel1(QStringLiteral("28")));
        QCOMPARE(form->panelText(2), QStringLiteral("marker"));
    }

    // The box offers what is stored, not the start-up fallback.
    void firstRunOffersEmptyDefault()
    {
        TestEnv env(QDateTime(QDate(2024, 3, 10), QTime(8, 0)));
        auto form = env.makeForm();
        QCOMPARE(form->panelText(1), panel1(QStringLiteral("30")));
        env.dialogs.inputs << QStringLiteral("29");
        form->ui().toolbarButtons[1]->trigger();
        QCOMPARE(env.dialogs.inputCalls.size(), 1);
        QCOMPARE(env.dialogs.inputCalls[0].defaultText, QString());
        QCOMPARE(env.cycleSetting(), QStringLiteral("29"));
        QCOMPARE(form->panelText(1), panel1(QStringLiteral("29")));

        // The next time the accepted value is offered.
        env.dialogs.inputs << QString();
        QTest::mouseClick(form->ui().SET_BTN, Qt::LeftButton);
        QCOMPARE(env.dialogs.inputCalls[1].defaultText, QStringLiteral("29"));
    }

    void tooLargeForSixteenBits()
    {
        TestEnv env(QDateTime(QDate(2024, 3, 10), QTime(8, 0)));
        env.setCycleSetting(QStringLiteral("28"));
        auto form = env.makeForm();
        env.dialogs.clear();
        env.dialogs.inputs << QStringLiteral("100000");
        QTest::mouseClick(form->ui().SET_BTN, Qt::LeftButton);
        QCOMPARE(env.dialogs.shown.size(), 1);
        const auto &m = env.dialogs.last();
        QCOMPARE(m.text, QStringLiteral("オーバーフローしました。"));
        QCOMPARE(m.title, QStringLiteral("PG-Error"));
        QCOMPARE(m.icon, Dialogs::Icon::Critical);
        QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
        QCOMPARE(env.cycleSetting(), QStringLiteral("28"));
        QCOMPARE(form->state().G_CYCLE_DAYS, QStringLiteral("28"));
        QCOMPARE(form->panelText(1), panel1(QStringLiteral("28")));
    }

    // A settings store that cannot be read ends the command in the usual error box.
    void unreadableStore()
    {
        TestEnv env(QDateTime(QDate(2024, 3, 10), QTime(8, 0)));
        auto form = env.makeForm();
        env.dialogs.clear();
        const QString file
            = QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("NERINAS")).fileName();
        QFile::remove(file);
        QVERIFY(QDir().mkpath(file)); // a folder where the store's file should be
        env.dialogs.inputs << QStringLiteral("28");
        QTest::mouseClick(form->ui().SET_BTN, Qt::LeftButton);
        QCOMPARE(env.dialogs.shown.size(), 1);
        QCOMPARE(env.dialogs.last().title, QStringLiteral("PG-Error"));
        QCOMPARE(env.dialogs.last().icon, Dialogs::Icon::Critical);
        QCOMPARE(form->state().G_CYCLE_DAYS, QStringLiteral("30"));
        QCOMPARE(form->panelText(1), panel1(QStringLiteral("30")));
        QDir(file).removeRecursively();
    }
};

QTEST_MAIN(TestCycleSetting)
#include "tst_cyclesetting.moc"
