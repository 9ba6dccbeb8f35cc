// Start-up of the main window on a temporary program folder.
#include "TestSupport.h"
#include "common/Twips.h"
#include "history/FlexGrid.h"
#include "history/HistoryTab.h"
#include "records/DiaryDb.h"
#include "shell/Form1.h"

#include <QAction>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

using namespace nerina;

class TestStartup final : public QObject
{
    Q_OBJECT
private slots:
    void missingFileStopsTheProgram()
    {
        TestEnv env(QDateTime(QDate(2026, 12, 6), QTime(9, 0)), false);
        auto form = env.makeForm(false);
        QVERIFY(!form->Form_Load());
        QCOMPARE(env.dialogs.shown.size(), 1);
        const auto &m = env.dialogs.last();
        QCOMPARE(m.text, QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙがありません。強制終了します。"));
        QCOMPARE(m.title, QStringLiteral("ｴﾗｰ"));
        QCOMPARE(m.icon, Dialogs::Icon::Warning);
        QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
        QVERIFY(!QFile::exists(env.dbPath())); // nothing created
        QVERIFY(!form->isVisible());
    }

    void aFolderOfThatNameIsNoFile()
    {
        TestEnv env(QDateTime(QDate(2026, 12, 6), QTime(9, 0)), false);
        QVERIFY(QDir(env.folder()).mkdir(QStringLiteral("nerina.mdb")));
        auto form = env.makeForm(false);
        QVERIFY(!form->Form_Load());
        QCOMPARE(env.dialogs.last().title, QStringLiteral("ｴﾗｰ"));
    }

    void aFileThatIsNoDiaryGoesThroughTheErrorPath()
    {
        TestEnv env(QDateTime(QDate(2026, 12, 6), QTime(9, 0)), false);
        QFile f(env.dbPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
        f.close();
        const QByteArray before = [&] {
            QFile g(env.dbPath());
            g.open(QIODevice::ReadOnly);
            return g.readAll();
        }();

        auto form = env.makeForm(false);
        QVERIFY(form->Form_Load()); // the window opens as far as it was set up
        QCOMPARE(env.dialogs.shown.size(), 1);
        QCOMPARE(env.dialogs.last().title, QStringLiteral("PG-Error"));
        QCOMPARE(env.dialogs.last().icon, Dialogs::Icon::Critical);
        QVERIFY(!env.dialogs.last().text.isEmpty());
        QVERIFY(!form->state().G_DB);

        QFile g(env.dbPath());
        QVERIFY(g.open(QIODevice::ReadOnly));
        QCOMPARE(g.readAll(), before); // never modified
    }

    void cycleSettingFallsBackTo30_data()
    {
        QTest::addColumn<QString>("stored"); // "<absent>" = no value at all
        QTest::addColumn<QString>("panel");
        QTest::newRow("absent") << "<absent>"
                                << "月経周期：　30日";
        QTest::newRow("empty") << ""
                               << "月経周期：　30日";
        QTest::newRow("letters") << "abc"
                                 << "月経周期：　30日";
        QTest::newRow("28") << "28"
                            << "月経周期：　28日";
        QTest::newRow("out of range low passes") << "5"
                                                 << "月経周期：　5日";
        QTest::newRow("out of range high passes") << "100"
                                                  << "月経周期：　100日";
        QTest::newRow("store is a directory") << "<directory>"
                                              << "月経周期：　30日";
    }
    void cycleSettingFallsBackTo30()
    {
        QFETCH(QString, stored);
        QFETCH(QString, panel);
        TestEnv env;
        if (stored == QLatin1String("<directory>"))
            QVERIFY(QDir().mkpath(env.settingsFile()));
        else if (stored != QLatin1String("<absent>"))
            env.setCycleSetting(stored);
        auto form = env.makeForm();
        QCOMPARE(form->panelText(1), panel);
        QVERIFY(env.dialogs.shown.isEmpty());
        QCOMPARE(form->panelText(3), QStringLiteral("通常日です")); // start-up went on to the end
        // The fallback is never written back.
        if (stored != QLatin1String("<directory>"))
            QCOMPARE(env.cycleSetting(), stored);
    }

    void todayIsSelected()
    {
        TestEnv env(QDateTime(QDate(2026, 12, 6), QTime(23, 59, 30)));
        auto form = env.makeForm();
        QCOMPARE(form->ui().DTPicker1->date(), QDate(2026, 12, 6));
        QCOMPARE(form->state().G_SEL_DATE, QDate(2026, 12, 6));
        QVERIFY(form->state().G_READY);
        QVERIFY(!form->state().G_DIRTY);
        QVERIFY(form->state().G_DB);
        QCOMPARE(form->ui().DTPicker1->displayFormat(), QStringLiteral("yyyy年MM月dd日 dddd"));
        QCOMPARE(form->ui().DTPicker1->text(), QStringLiteral("2026年12月06日 日曜日"));
    }

    void gridIsLaidOut()
    {
        TestEnv env;
        auto form = env.makeForm();
        const FlexGrid *grid = form->ui().DATA_FLX;
        QCOMPARE(grid->rows(), 181);
        QCOMPARE(grid->cols(), 8);
        const QStringList headers = {"年", "月", "日", "曜", "体温", "体調", "CD", "SEX"};
        for (int c = 0; c < 8; ++c)
            QCOMPARE(grid->textMatrix(0, c), headers.at(c));
        for (int c = 0; c < 8; ++c) {
            const Qt::Alignment expected = c == 5 ? Qt::AlignLeft : Qt::AlignHCenter;
            QCOMPARE(grid->columnAlignment(c) & Qt::AlignHorizontal_Mask, expected);
        }
        QVERIFY(grid->mergeCol(0));
        QVERIFY(grid->mergeCol(1));
        QVERIFY(!grid->mergeCol(2));

        // Widths follow the measured character unit, within the pixel snapping.
        const double w = form->characterUnitTwips();
        QVERIFY(w > 0);
        const int units[] = {5, 4, 4, 4, 6, 30, 4, 4};
        const int onePixel = pixelsToTwips(1, logicalDpi(grid));
        for (int c = 0; c < 8; ++c)
            QVERIFY(qAbs(grid->colWidthTwips(c) - units[c] * w) <= onePixel);
    }

    void gridLayoutArithmetic()
    {
        // w = 120 twips: columns 600, 480, 480, 480, 720, 3600, 480, 480.
        const GridLayoutTwips g = computeGridLayout(120, 120);
        const std::array<int, 8> expected = {600, 480, 480, 480, 720, 3600, 480, 480};
        QCOMPARE(g.columns, expected);
        QCOMPARE(g.gridWidth, 7644);
        QCOMPARE(g.tabWidth, 8364);
        // tab + 2 x left + 100 = 8364 + 240 + 100. (8604 would need the tab at left 70.)
        QCOMPARE(g.windowWidth, 8704);
        QCOMPARE(computeGridLayout(120, 70).windowWidth, 8604);

        // A wider character unit gives a wider window.
        QVERIFY(computeGridLayout(150, 120).windowWidth > g.windowWidth);

        // Snapping carries into the following steps.
        const GridLayoutTwips snapped = computeGridLayout(120, 120, [](int t) { return t / 15 * 15; });
        QCOMPARE(snapped.tabWidth, 8355);
        QCOMPARE(snapped.windowWidth, 8685);
    }

    void windowIsSizedToTheGrid()
    {
        TestEnv env;
        auto form = env.makeForm();
        const int dpi = logicalDpi(form.get());
        const GridLayoutTwips g = computeGridLayout(form->characterUnitTwips(), 120);
        QVERIFY(qAbs(pixelsToTwips(form->width(), dpi) - g.windowWidth) <= 3 * pixelsToTwips(1, dpi));
        QVERIFY(form->ui().SSTab1->minimumWidth() >= twipsToPixels(g.tabWidth, dpi) - 1);
    }

    void controlsCarryTheirNamesTextsAndHints()
    {
        TestEnv env;
        auto form = env.makeForm();
        QCOMPARE(form->windowTitle(), QStringLiteral("Nerina's Diary"));
        QCOMPARE(form->ui().SSTab1->tabText(0), QStringLiteral("入力"));
        QCOMPARE(form->ui().SSTab1->tabText(1), QStringLiteral("一覧表示"));

        const QList<std::pair<QString, QString>> hints = {
            {"DTPicker1", "▼をｸﾘｯｸして日付を設定"},
            {"TEMP_TEXT", "この日の体温を数字で入力"},
            {"CONDITION_TEXT", "この日の体調を記録"},
            {"DIARY_TEXT", "日記を書きましょう"},
            {"GUEST_CHK", "この日に月経があればﾁｪｯｸ"},
            {"LOVE_CHK", "この日にSEXをしたらチェック"},
            {"REG_BTN", "この日のﾃﾞｰﾀを登録"},
            {"SET_BTN", "月経周期の設定"},
            {"CMD_GRAPH", "過去90日分の基礎体温ｸﾞﾗﾌを表示"},
            {"StatusBar1_Panel1", "設定されている月経周期"},
            {"StatusBar1_Panel2", "次回月経予定日"},
            {"StatusBar1_Panel3", "妊娠の可能性"},
        };
        for (const auto &[name, hint] : hints) {
            QWidget *w = form->findChild<QWidget *>(name);
            QVERIFY2(w, qPrintable(name));
            QCOMPARE(w->toolTip(), hint);
        }
        const QList<std::pair<QString, QString>> captions = {
            {"REG_BTN", "登録(&R)"},
            {"SET_BTN", "設定(&S)"},
            {"CMD_GRAPH", "ｸﾞﾗﾌ(&G)"},
            {"Command1", "閉じる"},
        };
        for (const auto &[name, caption] : captions)
            QCOMPARE(form->findChild<QPushButton *>(name)->text(), caption);
        const QList<std::pair<QString, QString>> labels = {
            {"Label1", "体温"},
            {"Label2", "℃"},
            {"Label5_0", "体調"},
            {"Label5_1", "ひとこと日記"},
        };
        for (const auto &[name, text] : labels)
            QCOMPARE(form->findChild<QLabel *>(name)->text(), text);

        // Menu items with their captions and shortcuts.
        const QList<std::tuple<QString, QString, QString>> menu = {
            {"mnuRegister", "登録(&R)", "Ctrl+R"},
            {"mnuSet", "設定(&S)", "Ctrl+S"},
            {"mnuFileDataMente", "ﾃﾞｰﾀﾒﾝﾃﾅﾝｽ(&D)", "Ctrl+D"},
            {"mnuGraph", "ｸﾞﾗﾌ(&G)", "Ctrl+G"},
            {"mnuClose", "終了(&C)", "Ctrl+Z"},
            {"mnuVERSION", "ﾊﾞｰｼﾞｮﾝ情報(&V)", "Ctrl+V"},
        };
        for (const auto &[name, caption, key] : menu) {
            QAction *a = form->findChild<QAction *>(name);
            QVERIFY2(a, qPrintable(name));
            QCOMPARE(a->text(), caption);
            QCOMPARE(a->shortcut(), QKeySequence(key));
        }
        QVERIFY(form->findChild<QAction *>(QStringLiteral("mnuPartition"))->isSeparator());
        QVERIFY(form->findChild<QAction *>(QStringLiteral("mnuP3"))->isSeparator());

        // Toolbar buttons by position, with their keys and hints.
        const QStringList keys = {"disc", "set", "graph", "close"};
        const QStringList tips = {"ﾃﾞｰﾀ登録", "月経周期設定", "グラフ表示", "終了"};
        const QList<QAction *> actions = form->ui().Toolbar1->actions();
        QCOMPARE(actions.size(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(actions.at(i)->data().toString(), keys.at(i));
            QCOMPARE(actions.at(i)->toolTip(), tips.at(i));
        }
    }

    void entryControlsLieOnTheEntryTabOnly()
    {
        TestEnv env;
        auto form = env.makeForm();
        QWidget *entry = form->ui().SSTab1->widget(0);
        QWidget *list = form->ui().SSTab1->widget(1);
        for (const char *name : {"DTPicker1", "TEMP_TEXT", "CONDITION_TEXT", "DIARY_TEXT", "GUEST_CHK", "LOVE_CHK",
                                 "REG_BTN", "SET_BTN", "Picture1", "Frame3"})
            QVERIFY2(entry->findChild<QWidget *>(QLatin1String(name)), name);
        for (const char *name : {"DATA_FLX", "CMD_GRAPH", "Command1"}) {
            QVERIFY2(list->findChild<QWidget *>(QLatin1String(name)), name);
            QVERIFY2(!entry->findChild<QWidget *>(QLatin1String(name)), name);
        }
    }

    void commandsFollowTheEntryTab()
    {
        TestEnv env;
        auto form = env.makeForm();
        QCOMPARE(form->ui().SSTab1->currentIndex(), 0);
        QVERIFY(form->ui().mnuRegister->isEnabled());
        QVERIFY(form->ui().mnuSet->isEnabled());
        QVERIFY(form->ui().toolbarButtons[0]->isEnabled());
        QVERIFY(form->ui().toolbarButtons[1]->isEnabled());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
