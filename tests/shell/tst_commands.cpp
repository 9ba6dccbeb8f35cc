// The main window's commands by menu, shortcut and toolbar, and every way of ending.
#include "TestSupport.h"
#include "graph/FRM_DISP.h"
#include "maintenance/FRM_DELETE.h"
#include "records/DiaryDb.h"
#include "records/TempEdit.h"
#include "shell/Form1.h"
#include "shell/Form2.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QUuid>

using namespace nerina;

namespace {

const QString kSaveQuestion = QStringLiteral("ﾃﾞｰﾀが変更されています。保存しますか？");
const QString kDiscardQuestion = QStringLiteral("編集を破棄して終了します。よろしいですか？");
const QString kOverwrite = QStringLiteral("上書きしますか？");
const QDate kToday(2026, 12, 6);

using Answer = Dialogs::Answer;

struct Running
{
    TestEnv env;
    std::unique_ptr<Form1> form;
    std::unique_ptr<QSignalSpy> ended;

    Running()
    {
        form = env.makeForm();
        ended = std::make_unique<QSignalSpy>(form.get(), &Form1::ended);
        form->show();
        if (!QTest::qWaitForWindowActive(form.get()))
            qWarning("main window did not become active");
        // Start-up itself shows nothing.
        if (!env.dialogs.shown.isEmpty())
            qWarning("start-up showed: %s", qPrintable(env.dialogs.texts().join(QLatin1Char('|'))));
        env.dialogs.clear();
    }

    const Form1Ui &ui() const { return form->ui(); }
    void typeCondition(const QString &text)
    {
        ui().CONDITION_TEXT->setFocus();
        typeText(ui().CONDITION_TEXT, text);
    }
    void toListTab() { ui().SSTab1->setCurrentIndex(1); }
    QToolButton *toolbarButton(int position) const
    {
        return qobject_cast<QToolButton *>(ui().Toolbar1->widgetForAction(ui().Toolbar1->actions().at(position - 1)));
    }
    bool hasEnded() const { return ended->count() == 1 && !form->isVisible(); }
};

} // namespace

class TestCommands final : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        // No window of a test may outlive it.
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible())
                w->close();
    }

    void registerByMenuShortcutAndToolbar_data()
    {
        QTest::addColumn<int>("way"); // 0 menu, 1 shortcut, 2 toolbar button 1
        QTest::newRow("menu") << 0;
        QTest::newRow("Ctrl+R") << 1;
        QTest::newRow("toolbar 1") << 2;
    }
    void registerByMenuShortcutAndToolbar()
    {
        QFETCH(int, way);
        Running r;
        r.typeCondition(QStringLiteral("元気"));
        const QString panel2 = r.form->panelText(2);
        auto fire = [&] {
            switch (way) {
            case 0: r.ui().mnuRegister->trigger(); break;
            case 1: QTest::keyClick(r.ui().CONDITION_TEXT, Qt::Key_R, Qt::ControlModifier); break;
            default: QTest::mouseClick(r.toolbarButton(1), Qt::LeftButton); break;
            }
        };
        // Disabled on the list tab: nothing is saved.
        r.toListTab();
        fire();
        QVERIFY(!r.env.db().findDay(kToday));
        QVERIFY(r.env.dialogs.shown.isEmpty());

        r.ui().SSTab1->setCurrentIndex(0);
        r.ui().CONDITION_TEXT->setFocus();
        fire();
        const auto saved = r.env.db().findDay(kToday);
        QVERIFY(saved);
        QCOMPARE(*saved->CONDITION, QStringLiteral("元気"));
        QVERIFY(!r.form->state().G_DIRTY);
        // Only the register button refreshes the forecast panel.
        QCOMPARE(r.form->panelText(2), panel2);
    }

    void savingANewPeriodDayByCtrlRKeepsPanel2()
    {
        Running r;
        const QString before = r.form->panelText(2);
        QTest::mouseClick(r.ui().GUEST_CHK, Qt::LeftButton);
        QTest::keyClick(r.form.get(), Qt::Key_R, Qt::ControlModifier);
        QVERIFY(r.env.db().findDay(kToday)->GUEST);
        QCOMPARE(r.form->panelText(2), before);
    }

    void settingsByMenuShortcutAndToolbar_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("menu") << 0;
        QTest::newRow("Ctrl+S") << 1;
        QTest::newRow("toolbar 2") << 2;
    }
    void settingsByMenuShortcutAndToolbar()
    {
        QFETCH(int, way);
        Running r;
        auto fire = [&] {
            switch (way) {
            case 0: r.ui().mnuSet->trigger(); break;
            case 1: QTest::keyClick(r.ui().DIARY_TEXT, Qt::Key_S, Qt::ControlModifier); break;
            default: QTest::mouseClick(r.toolbarButton(2), Qt::LeftButton); break;
            }
        };
        r.toListTab();
        fire();
        QVERIFY(r.env.dialogs.inputCalls.isEmpty());

        r.ui().SSTab1->setCurrentIndex(0);
        r.ui().DIARY_TEXT->setFocus();
        r.env.dialogs.inputs << QStringLiteral("28");
        fire();
        QCOMPARE(r.env.dialogs.inputCalls.size(), 1);
        QCOMPARE(r.form->panelText(1), QStringLiteral("月経周期：　28日"));
    }

    void graphByMenuShortcutAndToolbar_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("menu") << 0;
        QTest::newRow("Ctrl+G") << 1;
        QTest::newRow("toolbar 3") << 2;
    }
    void graphByMenuShortcutAndToolbar()
    {
        QFETCH(int, way);
        Running r;
        auto fire = [&] {
            switch (way) {
            case 0: r.ui().mnuGraph->trigger(); break;
            case 1: QTest::keyClick(r.form.get(), Qt::Key_G, Qt::ControlModifier); break;
            default: QTest::mouseClick(r.toolbarButton(3), Qt::LeftButton); break;
            }
        };
        r.ui().TEMP_TEXT->setFocus();
        fire(); // disabled on the entry tab
        QVERIFY(!r.form->graphWindow());

        r.toListTab();
        fire();
        QVERIFY(r.form->graphWindow());
        QVERIFY(r.form->graphWindow()->isVisible());
        // Not blocking: the main window stays usable.
        QCOMPARE(r.form->graphWindow()->windowModality(), Qt::NonModal);
        FRM_DISP *first = r.form->graphWindow();
        fire(); // a second command shows the same window again
        QCOMPARE(r.form->graphWindow(), first);
        QCOMPARE(r.form->findChildren<FRM_DISP *>().size(), 1);
    }

    void purgeAndAboutByMenuAndShortcutOnBothTabs()
    {
        Running r;
        QTest::keyClick(r.ui().CONDITION_TEXT, Qt::Key_D, Qt::ControlModifier);
        QVERIFY(r.form->purgeWindow());
        QCOMPARE(r.form->purgeWindow()->windowModality(), Qt::ApplicationModal);
        r.form->purgeWindow()->close();
        QTRY_VERIFY(!r.form->purgeWindow());

        r.toListTab();
        r.ui().mnuFileDataMente->trigger();
        QVERIFY(r.form->purgeWindow());
        r.form->purgeWindow()->close();
        QTRY_VERIFY(!r.form->purgeWindow());

        r.ui().mnuVERSION->trigger();
        QVERIFY(r.form->aboutWindow());
        QCOMPARE(r.form->aboutWindow()->windowModality(), Qt::ApplicationModal);
        r.form->aboutWindow()->close();
        QTRY_VERIFY(!r.form->aboutWindow());
    }

    void ctrlVInATextBoxOpensTheAboutWindowInsteadOfPasting()
    {
        Running r;
        for (QWidget *box : {static_cast<QWidget *>(r.ui().TEMP_TEXT), static_cast<QWidget *>(r.ui().CONDITION_TEXT),
                             static_cast<QWidget *>(r.ui().DIARY_TEXT)}) {
            QApplication::clipboard()->setText(QStringLiteral("36.5"));
            r.form->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(r.form.get()));
            box->setFocus();
            QTRY_VERIFY2(box->hasFocus(), qPrintable(box->objectName()));
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
            QVERIFY2(r.form->aboutWindow(), qPrintable(box->objectName()));
            r.form->aboutWindow()->close();
            QTRY_VERIFY(!r.form->aboutWindow());
            QVERIFY(!r.form->state().G_DIRTY); // nothing was pasted
        }
        QCOMPARE(r.ui().CONDITION_TEXT->text(), QString());
    }

    void ctrlZInATextBoxEndsInsteadOfUndoing()
    {
        Running r;
        r.ui().DIARY_TEXT->setFocus();
        QTest::keyClicks(r.ui().DIARY_TEXT, QStringLiteral("abc"));
        r.env.dialogs.answers << Answer::No << Answer::No; // don't save, don't discard
        QTest::keyClick(r.ui().DIARY_TEXT, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(r.env.dialogs.texts(), (QStringList {kSaveQuestion, kDiscardQuestion}));
        QCOMPARE(r.ui().DIARY_TEXT->toPlainText(), QStringLiteral("abc")); // no undo happened
        QVERIFY(!r.hasEnded());
    }

    void exitWithoutEditsAsksNothing_data()
    {
        QTest::addColumn<int>("way"); // 0 menu, 1 Ctrl+Z, 2 toolbar 4, 3 frame close, 4 list tab's close button
        QTest::newRow("menu") << 0;
        QTest::newRow("Ctrl+Z") << 1;
        QTest::newRow("toolbar 4") << 2;
        QTest::newRow("close box") << 3;
        QTest::newRow("閉じる") << 4;
    }
    void exitWithoutEditsAsksNothing()
    {
        QFETCH(int, way);
        Running r;
        switch (way) {
        case 0: r.ui().mnuClose->trigger(); break;
        case 1: QTest::keyClick(r.form.get(), Qt::Key_Z, Qt::ControlModifier); break;
        case 2: QTest::mouseClick(r.toolbarButton(4), Qt::LeftButton); break;
        case 3: r.form->close(); break;
        default:
            r.toListTab();
            QTest::mouseClick(r.ui().Command1, Qt::LeftButton);
            break;
        }
        QVERIFY(r.env.dialogs.shown.isEmpty());
        QVERIFY(r.hasEnded());
        QVERIFY(!r.form->state().G_DB); // the diary is released
    }

    void yesOnANewDayStoresAndEnds()
    {
        Running r;
        r.typeCondition(QStringLiteral("頭痛"));
        r.env.dialogs.answers << Answer::Yes;
        r.ui().mnuClose->trigger();
        QCOMPARE(r.env.dialogs.texts(), QStringList {kSaveQuestion});
        const auto &q = r.env.dialogs.last();
        QCOMPARE(q.title, QStringLiteral("保存確認"));
        QCOMPARE(q.icon, Dialogs::Icon::Question);
        QCOMPARE(q.buttons, Dialogs::Buttons::YesNo);
        QVERIFY(r.hasEnded());
        QCOMPARE(*r.env.db().findDay(kToday)->CONDITION, QStringLiteral("頭痛"));
    }

    void outOfRangeTemperatureIsStoredUnchangedOnExit()
    {
        Running r;
        r.ui().TEMP_TEXT->setFocus();
        QTest::keyClicks(r.ui().TEMP_TEXT, QStringLiteral("50"));
        r.env.dialogs.answers << Answer::Yes;
        r.ui().mnuClose->trigger();
        QVERIFY(r.hasEnded());
        QCOMPARE(*r.env.db().findDay(kToday)->TEMP, 50.0);
    }

    void yesThenDeclinedOverwriteKeepsRunning()
    {
        TestEnv *envp = nullptr;
        Running r;
        envp = &r.env;
        envp->db().saveDay(makeDay(kToday, 36.4, QStringLiteral("前"), QString()));
        r.typeCondition(QStringLiteral("後"));
        r.env.dialogs.answers << Answer::Yes << Answer::No;
        r.ui().mnuClose->trigger();
        QCOMPARE(r.env.dialogs.texts(), (QStringList {kSaveQuestion, kOverwrite}));
        QVERIFY(!r.hasEnded());
        QVERIFY(r.form->state().G_DIRTY);
        QCOMPARE(r.ui().CONDITION_TEXT->text(), QStringLiteral("後"));
        QCOMPARE(*r.env.db().findDay(kToday)->CONDITION, QStringLiteral("前"));

        // Yes to both ends it with the entry stored.
        r.env.dialogs.clear();
        r.env.dialogs.answers << Answer::Yes << Answer::Yes;
        r.ui().mnuClose->trigger();
        QVERIFY(r.hasEnded());
        QCOMPARE(*r.env.db().findDay(kToday)->CONDITION, QStringLiteral("後"));
    }

    void noThenYesEndsWithoutWriting()
    {
        Running r;
        r.typeCondition(QStringLiteral("x"));
        r.env.dialogs.answers << Answer::No << Answer::Yes;
        r.ui().mnuClose->trigger();
        QCOMPARE(r.env.dialogs.texts(), (QStringList {kSaveQuestion, kDiscardQuestion}));
        QCOMPARE(r.env.dialogs.last().title, QStringLiteral("保存確認"));
        QVERIFY(r.hasEnded());
        QVERIFY(!r.env.db().findDay(kToday));
    }

    void noThenNoStaysAndAsksAgain()
    {
        Running r;
        r.typeCondition(QStringLiteral("x"));
        r.env.dialogs.answers << Answer::No << Answer::No;
        r.ui().mnuClose->trigger();
        QVERIFY(!r.hasEnded());
        QVERIFY(r.form->state().G_DIRTY);
        r.env.dialogs.clear();
        r.env.dialogs.answers << Answer::No << Answer::No;
        QTest::mouseClick(r.toolbarButton(4), Qt::LeftButton);
        QCOMPARE(r.env.dialogs.texts(), (QStringList {kSaveQuestion, kDiscardQuestion}));
        QVERIFY(!r.hasEnded());
    }

    void declinedFrameCloseSelectsTheEntryTab()
    {
        Running r;
        r.typeCondition(QStringLiteral("x"));
        r.toListTab();
        r.env.dialogs.answers << Answer::No << Answer::No;
        QVERIFY(!r.form->close());
        QVERIFY(r.form->isVisible());
        QCOMPARE(r.ui().SSTab1->currentIndex(), 0);
        QCOMPARE(r.ui().CONDITION_TEXT->text(), QStringLiteral("x"));
        QCOMPARE(r.env.dialogs.shown.size(), 2); // asked once, not twice
    }

    void failingSaveOnExitKeepsTheEdits()
    {
        Running r;
        r.typeCondition(QStringLiteral("大事なこと"));
        // Another program holds the file's write lock: the save waits, then fails.
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase writer = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            writer.setDatabaseName(r.env.dbPath());
            QVERIFY(writer.open());
            QSqlQuery lock(writer);
            QVERIFY(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));
            r.env.dialogs.answers << Answer::Yes;
            r.ui().mnuClose->trigger();
            QSqlQuery(writer).exec(QStringLiteral("ROLLBACK"));
        }
        QSqlDatabase::removeDatabase(name);
        QCOMPARE(r.env.dialogs.shown.size(), 2);
        QCOMPARE(r.env.dialogs.last().title, QStringLiteral("PG-Error"));
        QVERIFY(!r.hasEnded());
        QVERIFY(r.form->state().G_DIRTY);
        QCOMPARE(r.ui().CONDITION_TEXT->text(), QStringLiteral("大事なこと"));
        QVERIFY(!r.env.db().findDay(kToday));
    }

    void endingClosesAnOpenGraphWindow()
    {
        Running r;
        r.toListTab();
        r.ui().mnuGraph->trigger();
        QPointer<FRM_DISP> graph = r.form->graphWindow();
        QVERIFY(graph && graph->isVisible());
        r.ui().mnuClose->trigger();
        QVERIFY(r.hasEnded());
        QTRY_VERIFY(!graph);
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
