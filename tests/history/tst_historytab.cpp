// The list tab through the real main window: a real diary file, the real tab control
// and grid, scripted message boxes.
#include "TestSupport.h"
#include "common/Conversions.h"
#include "history/FlexGrid.h"
#include "history/HistoryRows.h"
#include "records/DiaryDb.h"
#include "shell/Form1.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

using namespace nerina;

namespace {

const QDateTime kNow(QDate(2026, 12, 6), QTime(9, 30));

QString cell(const Form1 &form, int row, int col) { return form.ui().DATA_FLX->textMatrix(row, col); }

QStringList dateCells(const Form1 &form, int row)
{
    return {cell(form, row, 0), cell(form, row, 1), cell(form, row, 2), cell(form, row, 3)};
}

void showList(Form1 &form) { form.ui().SSTab1->setCurrentIndex(1); }
void showEntry(Form1 &form) { form.ui().SSTab1->setCurrentIndex(0); }

// Runs statements on the diary file through a connection of its own, the way another
// tool would.
void runOnFile(const QString &path, const QStringList &statements)
{
    const QString name = QStringLiteral("other-tool");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY2(db.open(), qPrintable(db.lastError().text()));
        for (const QString &statement : statements) {
            QSqlQuery query(db);
            QVERIFY2(query.exec(statement), qPrintable(query.lastError().text() + " in " + statement));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// Rows (as days back from row 1) whose mark column holds `mark`.
QList<int> daysWith(const Form1 &form, const QString &mark)
{
    QList<int> out;
    for (int r = 1; r <= 180; ++r) {
        if (cell(form, r, ColMark) == mark)
            out << r - 1;
    }
    return out;
}

QList<int> range(int from, int to)
{
    QList<int> out;
    for (int i = from; i <= to; ++i)
        out << i;
    return out;
}

void checkEntryCommands(const Form1 &form, bool entryTab)
{
    const Form1Ui &ui = form.ui();
    QCOMPARE(ui.mnuRegister->isEnabled(), entryTab);
    QCOMPARE(ui.mnuSet->isEnabled(), entryTab);
    QCOMPARE(ui.toolbarButtons[0]->isEnabled(), entryTab);
    QCOMPARE(ui.toolbarButtons[1]->isEnabled(), entryTab);
    QCOMPARE(ui.mnuGraph->isEnabled(), !entryTab);
    QCOMPARE(ui.toolbarButtons[2]->isEnabled(), !entryTab);
}

} // namespace

class TstHistoryTab final : public QObject
{
    Q_OBJECT

private slots:
    void emptyDiaryShowsDatesOnly();
    void selectedDay20261206();
    void selectedDay20260105AcrossTheYearEnd();
    void entriesAfterTheSelectedDayAreNeverShown();
    void selectedDayBeforeEveryEntry();
    void temperatureAndConditionTexts();
    void periodAndLoveMarks();
    void fertileWindowCycle30();
    void fertileWindowCycle28();
    void listFollowsTheDayAndTheDiaryAtEachSwitch();
    void rowsFromOtherToolsDoNotStopTheList();

    void commandStatesFollowTheTab();
    void tabBarClickFillsTheList();
    void redrawingIsOffWhileTheListIsWritten();
    void fillKeepsTheCurrentCell();

    void databaseErrorDuringTheFill();
    void markingErrorEndsOnlyTheMarking();
    void unsavedEditsSurviveATripToTheList();
};

void TstHistoryTab::emptyDiaryShowsDatesOnly()
{
    TestEnv env(kNow);
    auto form = env.makeForm();
    showList(*form);
    QVERIFY(env.dialogs.shown.isEmpty());
    QCOMPARE(form->ui().DATA_FLX->rows(), 181);
    for (int r = 1; r <= 180; ++r) {
        const QDate day = QDate(2026, 12, 6).addDays(1 - r);
        QCOMPARE(dateCells(*form, r), (QStringList {QString::number(day.year()), QString::number(day.month()),
                                                    QString::number(day.day()), weekdayCharacter(day)}));
        for (int c = 4; c < 8; ++c)
            QVERIFY2(cell(*form, r, c).isEmpty(), qPrintable(QStringLiteral("row %1 col %2").arg(r).arg(c)));
    }
    // The header row is left as start-up laid it out.
    QCOMPARE(cell(*form, 0, 4), QStringLiteral("体温"));
}

void TstHistoryTab::selectedDay20261206()
{
    TestEnv env(kNow);
    env.db().saveDay(makeDay(QDate(2026, 6, 9), 36.8, QStringLiteral("切れ目"), QString(), true, true));
    env.db().saveDay(makeDay(QDate(2026, 6, 10), 36.3, QStringLiteral("最後")));
    env.db().saveDay(makeDay(QDate(2026, 12, 6), 36.6, QStringLiteral("今日")));

    // The query reaches back to the cut-off day itself ...
    const QDate cutOff = historyCutOff(QDate(2026, 12, 6));
    QCOMPARE(cutOff, QDate(2026, 6, 9));
    const std::vector<DayRecord> queried = env.db().daysFrom(cutOff);
    QCOMPARE(int(queried.size()), 3);
    QCOMPARE(queried.back().DAT_DATE, QDate(2026, 6, 9));

    // ... but no row shows it: the last row is 179 days back.
    auto form = env.makeForm();
    showList(*form);
    QCOMPARE(dateCells(*form, 1), (QStringList {"2026", "12", "6", "日"}));
    QCOMPARE(cell(*form, 1, ColCondition), QStringLiteral("今日"));
    QCOMPARE(dateCells(*form, 180), (QStringList {"2026", "6", "10", "水"}));
    QCOMPARE(cell(*form, 180, ColCondition), QStringLiteral("最後"));
    QVERIFY(cell(*form, 180, ColMark).isEmpty());
    QVERIFY(cell(*form, 180, ColLove).isEmpty());
    for (int r = 1; r <= 180; ++r)
        QVERIFY(cell(*form, r, ColCondition) != QStringLiteral("切れ目"));
    QVERIFY(daysWith(*form, kPeriodMark).isEmpty());
}

void TstHistoryTab::selectedDay20260105AcrossTheYearEnd()
{
    TestEnv env(QDateTime(QDate(2026, 1, 5), QTime(7, 0)));
    env.db().saveDay(makeDay(QDate(2025, 7, 9), 36.8, QStringLiteral("切れ目")));
    env.db().saveDay(makeDay(QDate(2025, 7, 10), 36.3, QStringLiteral("最後")));
    env.db().saveDay(makeDay(QDate(2025, 12, 31), 36.4, QStringLiteral("大晦日")));
    env.db().saveDay(makeDay(QDate(2026, 1, 1), 36.5, QStringLiteral("元日")));

    QCOMPARE(historyCutOff(QDate(2026, 1, 5)), QDate(2025, 7, 9));
    QCOMPARE(env.db().daysFrom(QDate(2025, 7, 9)).back().DAT_DATE, QDate(2025, 7, 9));

    auto form = env.makeForm();
    showList(*form);
    QCOMPARE(dateCells(*form, 1), (QStringList {"2026", "1", "5", "月"}));
    QCOMPARE(dateCells(*form, 5), (QStringList {"2026", "1", "1", "木"}));
    QCOMPARE(cell(*form, 5, ColCondition), QStringLiteral("元日"));
    QCOMPARE(dateCells(*form, 6), (QStringList {"2025", "12", "31", "水"}));
    QCOMPARE(cell(*form, 6, ColCondition), QStringLiteral("大晦日"));
    QCOMPARE(dateCells(*form, 180), (QStringList {"2025", "7", "10", "木"}));
    QCOMPARE(cell(*form, 180, ColCondition), QStringLiteral("最後"));
    for (int r = 1; r <= 180; ++r)
        QVERIFY(cell(*form, r, ColCondition) != QStringLiteral("切れ目"));
}

void TstHistoryTab::entriesAfterTheSelectedDayAreNeverShown()
{
    TestEnv env(kNow);
    env.db().saveDay(makeDay(QDate(2026, 12, 8), 37.2, QStringLiteral("明後日"), QString(), true, true));
    env.db().saveDay(makeDay(QDate(2026, 12, 7), 37.1, QStringLiteral("明日"), QString(), true, true));
    env.db().saveDay(makeDay(QDate(2026, 12, 5), 36.9, QStringLiteral("昨日")));
    auto form = env.makeForm();
    showList(*form);
    for (int c = 4; c < 8; ++c)
        QVERIFY(cell(*form, 1, c).isEmpty());
    QCOMPARE(cell(*form, 2, ColCondition), QStringLiteral("昨日"));
    QVERIFY(daysWith(*form, kPeriodMark).isEmpty());
    for (int r = 1; r <= 180; ++r)
        QVERIFY(cell(*form, r, ColLove).isEmpty());
}

void TstHistoryTab::selectedDayBeforeEveryEntry()
{
    TestEnv env(kNow);
    for (int i = 0; i < 40; ++i)
        env.db().saveDay(makeDay(QDate(2026, 12, 6).addDays(-i), 36.5, QStringLiteral("記録"), QString(), true, true));
    auto form = env.makeForm();
    form->ui().DTPicker1->setDate(QDate(2026, 3, 1));
    QCOMPARE(form->state().G_SEL_DATE, QDate(2026, 3, 1));
    showList(*form);
    QCOMPARE(dateCells(*form, 1), (QStringList {"2026", "3", "1", "日"}));
    for (int r = 1; r <= 180; ++r) {
        for (int c = 4; c < 8; ++c)
            QVERIFY(cell(*form, r, c).isEmpty());
    }
}

void TstHistoryTab::temperatureAndConditionTexts()
{
    TestEnv env(kNow);
    env.db().saveDay(makeDay(QDate(2026, 12, 6), 0, QStringLiteral("計り忘れ")));
    env.db().saveDay(makeDay(QDate(2026, 12, 5), 37));
    env.db().saveDay(makeDay(QDate(2026, 12, 4), 36.5, QStringLiteral("ｶｾﾞぎみ")));
    DayRecord nulls = makeDay(QDate(2026, 12, 3));
    nulls.TEMP.reset();
    nulls.CONDITION.reset();
    nulls.DIARY.reset();
    env.db().saveDay(nulls);

    auto form = env.makeForm();
    showList(*form);
    QVERIFY(env.dialogs.shown.isEmpty());
    QVERIFY(cell(*form, 1, ColTemp).isEmpty());
    QCOMPARE(cell(*form, 1, ColCondition), QStringLiteral("計り忘れ"));
    QCOMPARE(cell(*form, 2, ColTemp), QStringLiteral("37.00"));
    QVERIFY(cell(*form, 2, ColCondition).isEmpty());
    QCOMPARE(cell(*form, 3, ColTemp), QStringLiteral("36.50"));
    QCOMPARE(cell(*form, 3, ColCondition), QStringLiteral("ｶｾﾞぎみ"));
    QVERIFY(cell(*form, 4, ColTemp).isEmpty());
    QVERIFY(cell(*form, 4, ColCondition).isEmpty());
}

void TstHistoryTab::periodAndLoveMarks()
{
    TestEnv env(kNow);
    env.setCycleSetting(QStringLiteral("30"));
    // A period day whose window would lie after the selected day keeps its mark.
    env.db().saveDay(makeDay(QDate(2026, 12, 3), 36.2, QString(), QString(), true, false));
    env.db().saveDay(makeDay(QDate(2026, 12, 2), 36.2, QString(), QString(), false, true));
    // Period start 40 days back; the intercourse mark stays whatever the mark column shows.
    env.db().saveDay(makeDay(QDate(2026, 12, 6).addDays(-40), 36.2, QString(), QString(), true, true));
    env.db().saveDay(makeDay(QDate(2026, 12, 6).addDays(-27), 36.7, QString(), QString(), false, true));

    auto form = env.makeForm();
    showList(*form);
    QCOMPARE(cell(*form, 4, ColMark), kPeriodMark);
    QVERIFY(cell(*form, 4, ColLove).isEmpty());
    QVERIFY(cell(*form, 5, ColMark).isEmpty());
    QCOMPARE(cell(*form, 5, ColLove), kLoveMark);
    QCOMPARE(cell(*form, 41, ColMark), kPeriodMark);
    QCOMPARE(cell(*form, 41, ColLove), kLoveMark);
    QCOMPARE(cell(*form, 28, ColMark), kFertileMark);
    QCOMPARE(cell(*form, 28, ColLove), kLoveMark);
}

void TstHistoryTab::fertileWindowCycle30()
{
    TestEnv env(kNow);
    env.setCycleSetting(QStringLiteral("30"));
    for (int back = 20; back >= 16; --back)
        env.db().saveDay(makeDay(QDate(2026, 12, 6).addDays(-back), 36.3, QString(), QString(), true));
    auto form = env.makeForm();
    showList(*form);
    QVERIFY(env.dialogs.shown.isEmpty());
    QCOMPARE(daysWith(*form, kFertileMark), range(2, 7));
    QCOMPARE(daysWith(*form, kPeriodMark), range(16, 20));
}

void TstHistoryTab::fertileWindowCycle28()
{
    TestEnv env(kNow);
    env.setCycleSetting(QStringLiteral("28"));
    for (int start : {100, 72, 44}) {
        for (int back = start; back > start - 5; --back)
            env.db().saveDay(makeDay(QDate(2026, 12, 6).addDays(-back), 36.3, QString(), QString(), true));
    }
    auto form = env.makeForm();
    showList(*form);
    QCOMPARE(daysWith(*form, kFertileMark), range(27, 32) + range(55, 60) + range(83, 88));
    QCOMPARE(daysWith(*form, kPeriodMark), range(40, 44) + range(68, 72) + range(96, 100));
}

void TstHistoryTab::listFollowsTheDayAndTheDiaryAtEachSwitch()
{
    TestEnv env(kNow);
    auto form = env.makeForm();
    showList(*form);
    QVERIFY(cell(*form, 1, ColCondition).isEmpty());
    showEntry(*form);

    env.db().saveDay(makeDay(QDate(2026, 12, 6), 36.6, QStringLiteral("後から")));
    QVERIFY(cell(*form, 1, ColCondition).isEmpty()); // not before the next switch
    showList(*form);
    QCOMPARE(cell(*form, 1, ColCondition), QStringLiteral("後から"));

    showEntry(*form);
    form->ui().DTPicker1->setDate(QDate(2026, 12, 10));
    showList(*form);
    QCOMPARE(dateCells(*form, 1), (QStringList {"2026", "12", "10", "木"}));
    QCOMPARE(cell(*form, 5, ColCondition), QStringLiteral("後から"));
    QVERIFY(cell(*form, 1, ColCondition).isEmpty());
}

void TstHistoryTab::rowsFromOtherToolsDoNotStopTheList()
{
    TestEnv env(kNow);
    env.setCycleSetting(QStringLiteral("30"));
    auto form = env.makeForm();
    // A table without the program's own rules: two rows for one day, a time of day, a
    // day in another form and no day at all.
    runOnFile(env.dbPath(),
              {
                  QStringLiteral("DROP TABLE DATA_FIL"),
                  QStringLiteral("CREATE TABLE DATA_FIL (DAT_DATE TEXT, TEMP REAL, CONDITION TEXT, DIARY TEXT, GUEST "
                                 "INTEGER, LOVE INTEGER)"),
                  QStringLiteral("INSERT INTO DATA_FIL VALUES ('kein Datum', 35.0, 'x', '', 1, 1)"),
                  QStringLiteral("INSERT INTO DATA_FIL VALUES ('2026/12/05', 35.0, 'x', '', 1, 1)"),
                  QStringLiteral("INSERT INTO DATA_FIL VALUES ('2026-12-04', 36.1, '一つ目', '', 0, 0)"),
                  QStringLiteral("INSERT INTO DATA_FIL VALUES ('2026-12-04', 36.1, '一つ目', '', 0, 0)"),
                  QStringLiteral("INSERT INTO DATA_FIL VALUES ('2026-12-02 08:15:00', 36.2, '朝', '', 0, 1)"),
                  QStringLiteral("INSERT INTO DATA_FIL VALUES ('2026-11-16', 36.3, '生理', '', 1, NULL)"),
                  QStringLiteral("INSERT INTO DATA_FIL VALUES ('2026-07-01', NULL, NULL, NULL, NULL, NULL)"),
              });
    showList(*form);
    QVERIFY2(env.dialogs.shown.isEmpty(), qPrintable(env.dialogs.texts().join('\n')));
    QVERIFY(cell(*form, 1, ColCondition).isEmpty());
    QVERIFY(cell(*form, 2, ColCondition).isEmpty());
    QCOMPARE(cell(*form, 3, ColCondition), QStringLiteral("一つ目"));
    QVERIFY(cell(*form, 4, ColCondition).isEmpty());
    QCOMPARE(cell(*form, 5, ColCondition), QStringLiteral("朝"));
    QCOMPARE(cell(*form, 5, ColTemp), QStringLiteral("36.20"));
    QCOMPARE(cell(*form, 5, ColLove), kLoveMark);
    QCOMPARE(cell(*form, 21, ColCondition), QStringLiteral("生理"));
    QCOMPARE(daysWith(*form, kPeriodMark), QList<int> {20});
    QCOMPARE(daysWith(*form, kFertileMark), range(2, 7));
    QVERIFY(cell(*form, 21, ColLove).isEmpty()); // a NULL flag reads as not set
    for (int c = 4; c < 8; ++c)
        QVERIFY(cell(*form, 159, c).isEmpty()); // 2026-07-01: nothing but NULLs
}

void TstHistoryTab::commandStatesFollowTheTab()
{
    TestEnv env(kNow);
    auto form = env.makeForm();
    const Form1Ui &ui = form->ui();
    checkEntryCommands(*form, true);

    // Commands outside the six are left as they are, whatever their state.
    ui.toolbarButtons[3]->setEnabled(false);
    ui.mnuFileDataMente->setEnabled(false);
    ui.mnuVERSION->setEnabled(false);
    showList(*form);
    checkEntryCommands(*form, false);
    QVERIFY(!ui.toolbarButtons[3]->isEnabled());
    QVERIFY(!ui.mnuFileDataMente->isEnabled());
    QVERIFY(!ui.mnuVERSION->isEnabled());
    QVERIFY(ui.mnuClose->isEnabled());

    ui.toolbarButtons[3]->setEnabled(true);
    ui.mnuClose->setEnabled(false);
    showEntry(*form);
    checkEntryCommands(*form, true);
    QVERIFY(ui.toolbarButtons[3]->isEnabled());
    QVERIFY(!ui.mnuClose->isEnabled());
    QVERIFY(env.dialogs.shown.isEmpty());
}

void TstHistoryTab::tabBarClickFillsTheList()
{
    TestEnv env(kNow);
    env.db().saveDay(makeDay(QDate(2026, 12, 6), 36.6, QStringLiteral("今日")));
    auto form = env.makeForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QTabBar *bar = form->ui().SSTab1->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    QCOMPARE(form->ui().SSTab1->currentIndex(), 1);
    checkEntryCommands(*form, false);
    QCOMPARE(cell(*form, 1, ColCondition), QStringLiteral("今日"));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    QCOMPARE(form->ui().SSTab1->currentIndex(), 0);
    checkEntryCommands(*form, true);
}

void TstHistoryTab::redrawingIsOffWhileTheListIsWritten()
{
    TestEnv env(kNow);
    env.setCycleSetting(QStringLiteral("30"));
    env.db().saveDay(makeDay(QDate(2026, 12, 6).addDays(-20), 36.3, QString(), QString(), true));
    auto form = env.makeForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    FlexGrid *grid = form->ui().DATA_FLX;

    int writes = 0;
    int writesWhileDrawing = 0;
    const auto count = [&] {
        ++writes;
        if (grid->updatesEnabled())
            ++writesWhileDrawing;
    };
    connect(grid->model(), &QAbstractItemModel::dataChanged, grid, count);
    showList(*form);
    QVERIFY(writes > 0);
    QCOMPARE(writesWhileDrawing, 0);
    QVERIFY(grid->updatesEnabled());
    QCOMPARE(daysWith(*form, kFertileMark), range(2, 7));

    // A second fill for another day rewrites the existing cells, again unseen.
    showEntry(*form);
    form->ui().DTPicker1->setDate(QDate(2026, 11, 30));
    writes = 0;
    showList(*form);
    QVERIFY(writes > 0);
    QCOMPARE(writesWhileDrawing, 0);
    QVERIFY(grid->updatesEnabled());
}

void TstHistoryTab::fillKeepsTheCurrentCell()
{
    TestEnv env(kNow);
    auto form = env.makeForm();
    FlexGrid *grid = form->ui().DATA_FLX;
    showList(*form);
    grid->setCurrentCell(9, 2);
    showEntry(*form);
    form->ui().DTPicker1->setDate(QDate(2026, 10, 1));
    showList(*form);
    QCOMPARE(grid->currentRow(), 9);
    QCOMPARE(grid->currentColumn(), 2);
    QCOMPARE(dateCells(*form, 1), (QStringList {"2026", "10", "1", "木"}));
}

void TstHistoryTab::databaseErrorDuringTheFill()
{
    TestEnv env(kNow);
    env.db().saveDay(makeDay(QDate(2026, 12, 6), 36.6, QStringLiteral("今日")));
    auto form = env.makeForm();
    FlexGrid *grid = form->ui().DATA_FLX;
    showList(*form);
    QCOMPARE(cell(*form, 1, ColCondition), QStringLiteral("今日"));
    showEntry(*form);

    runOnFile(env.dbPath(), {QStringLiteral("ALTER TABLE DATA_FIL RENAME TO DATA_OLD")});
    form->ui().DTPicker1->setDate(QDate(2026, 11, 1));
    env.dialogs.clear();
    showList(*form);

    QCOMPARE(env.dialogs.shown.size(), 1);
    const Dialogs::Message &box = env.dialogs.last();
    QCOMPARE(box.title, QStringLiteral("PG-Error"));
    QCOMPARE(box.icon, Dialogs::Icon::Critical);
    QCOMPARE(box.buttons, Dialogs::Buttons::Ok);
    QVERIFY(box.text.contains(QStringLiteral("DATA_FIL")));
    QVERIFY(grid->updatesEnabled());
    checkEntryCommands(*form, false);
    // What the last fill wrote stays.
    QCOMPARE(dateCells(*form, 1), (QStringList {"2026", "12", "6", "日"}));
    QCOMPARE(cell(*form, 1, ColCondition), QStringLiteral("今日"));
}

void TstHistoryTab::markingErrorEndsOnlyTheMarking()
{
    TestEnv env(kNow);
    env.db().saveDay(makeDay(QDate(2026, 12, 6).addDays(-20), 36.3, QStringLiteral("始まり"), QString(), true));
    env.db().saveDay(makeDay(QDate(2026, 12, 6), 36.6, QStringLiteral("今日")));
    auto form = env.makeForm();
    FlexGrid *grid = form->ui().DATA_FLX;
    form->state().G_CYCLE_DAYS = QStringLiteral("abc");
    showList(*form);

    QCOMPARE(env.dialogs.shown.size(), 1);
    QCOMPARE(env.dialogs.last().title, QStringLiteral("PG-Error"));
    QCOMPARE(env.dialogs.last().icon, Dialogs::Icon::Critical);
    QVERIFY(grid->updatesEnabled());
    QCOMPARE(cell(*form, 1, ColCondition), QStringLiteral("今日"));
    QCOMPARE(cell(*form, 21, ColMark), kPeriodMark);
    QVERIFY(daysWith(*form, kFertileMark).isEmpty());

    // Without a period day in the list the cycle length is never read.
    showEntry(*form);
    form->ui().DTPicker1->setDate(QDate(2026, 11, 1));
    env.dialogs.clear();
    showList(*form);
    QVERIFY(env.dialogs.shown.isEmpty());
}

void TstHistoryTab::unsavedEditsSurviveATripToTheList()
{
    TestEnv env(kNow);
    env.db().saveDay(makeDay(QDate(2026, 12, 6), 36.6, QStringLiteral("朝")));
    auto form = env.makeForm();
    const Form1Ui &ui = form->ui();
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QVERIFY(!form->state().G_DIRTY);

    ui.CONDITION_TEXT->setFocus();
    QTRY_VERIFY(ui.CONDITION_TEXT->hasFocus());
    QTest::keyClicks(ui.CONDITION_TEXT, QStringLiteral(" 36 fever"));
    QVERIFY(form->state().G_DIRTY);
    const QString typed = ui.CONDITION_TEXT->text();
    QCOMPARE(typed, QStringLiteral("朝 36 fever"));

    QTabBar *bar = ui.SSTab1->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    QCOMPARE(ui.SSTab1->currentIndex(), 1);
    // The list shows the stored entry, not the unsaved one.
    QCOMPARE(cell(*form, 1, ColCondition), QStringLiteral("朝"));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    QCOMPARE(ui.SSTab1->currentIndex(), 0);

    QVERIFY(env.dialogs.shown.isEmpty());
    QCOMPARE(env.dialogs.unscriptedQuestions, 0);
    QCOMPARE(ui.CONDITION_TEXT->text(), typed);
    QVERIFY(form->state().G_DIRTY);
    QCOMPARE(env.db().findDay(QDate(2026, 12, 6))->CONDITION.value_or(QString()), QStringLiteral("朝"));
}

QTEST_MAIN(TstHistoryTab)
#include "tst_historytab.moc"
