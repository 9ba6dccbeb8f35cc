#include "TestSupport.h"
#include "common/Twips.h"
#include "maintenance/FRM_DELETE.h"
#include "records/DiaryDb.h"
#include "records/TempEdit.h"
#include "shell/AppContext.h"
#include "shell/Form1.h"

#include <QAction>
#include <QDateEdit>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace nerina;

namespace {

const QDateTime kNow(QDate(2026, 12, 6), QTime(9, 30));

// Opens the purge window the way the menu does.
QPointer<FRM_DELETE> openPurge(Form1 &form)
{
    form.ui().mnuFileDataMente->trigger();
    return form.purgeWindow();
}

QList<QDate> storedDays(DiaryDb &db)
{
    QList<QDate> out;
    for (const DayRecord &r : db.daysFrom(QDate(1900, 1, 1)))
        out.prepend(r.DAT_DATE);
    return out;
}

} // namespace

class TstPurge final : public QObject
{
    Q_OBJECT

private slots:
    void layout();
    void cutOffDayGoesNextDayStays();
    void dayBeforeEveryEntryDeletesNothing();
    void refusedConfirmationKeepsWindowOpen();
    void secondOpeningShowsDesignDay();
    void timeOfDayNeverMovesCutOff();
    void cancelAsksNothing();
    void databaseErrorIsShownAndWindowCloses();
    void noDatabaseIsShownAndWindowCloses();
    void mainWindowIsNotRefreshed();
};

void TstPurge::layout()
{
    TestEnv env(kNow);
    auto form = env.makeForm();
    QPointer<FRM_DELETE> w = openPurge(*form);
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QCOMPARE(w->windowModality(), Qt::ApplicationModal);
    QCOMPARE(w->windowTitle(), QStringLiteral("ﾃﾞｰﾀﾍﾞｰｽﾌｧｲﾙのﾒﾝﾃﾅﾝｽ"));
    QCOMPARE(pixelsToTwips(w->width(), logicalDpi(w)), 4755);
    QCOMPARE(pixelsToTwips(w->height(), logicalDpi(w)), 1515);

    auto *picker = w->findChild<QDateEdit *>("DTPicker1");
    QVERIFY(picker);
    QCOMPARE(picker->date(), QDate(2000, 4, 16));
    QCOMPARE(picker->text(), QStringLiteral("2000/04/16"));
    auto *label = w->findChild<QLabel *>("Label1");
    QCOMPARE(label->text(), QStringLiteral("以前のﾃﾞｰﾀを削除します。"));
    QCOMPARE(label->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    QCOMPARE(w->findChild<QPushButton *>("cmdRun")->text(), QStringLiteral("実行"));
    QCOMPARE(w->findChild<QPushButton *>("cmdCancel")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    for (auto *child : w->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        QVERIFY2(w->rect().contains(child->geometry()), qPrintable(child->objectName()));
}

void TstPurge::cutOffDayGoesNextDayStays()
{
    TestEnv env(kNow);
    for (const QDate &d : {QDate(2024, 3, 1), QDate(2024, 3, 4), QDate(2024, 3, 5), QDate(2024, 3, 6)})
        env.db().saveDay(makeDay(d, 36.5));
    auto form = env.makeForm();
    QPointer<FRM_DELETE> w = openPurge(*form);
    w->DTPicker1()->setDate(QDate(2024, 3, 5));
    env.dialogs.clear();
    env.dialogs.answers = {Dialogs::Answer::Yes};
    QTest::mouseClick(w->cmdRun(), Qt::LeftButton);

    QCOMPARE(storedDays(env.db()), QList<QDate> {QDate(2024, 3, 6)});
    QCOMPARE(env.dialogs.shown.size(), 2);
    const Dialogs::Message &ask = env.dialogs.shown[0];
    QCOMPARE(ask.text, QStringLiteral("2024/03/05以前のﾃﾞｰﾀを削除します。続けますか？"));
    QCOMPARE(ask.icon, Dialogs::Icon::Question);
    QCOMPARE(ask.buttons, Dialogs::Buttons::YesNo);
    QCOMPARE(ask.title, QStringLiteral("削除確認"));
    const Dialogs::Message &done = env.dialogs.shown[1];
    QCOMPARE(done.text, QStringLiteral("削除されました"));
    QCOMPARE(done.icon, Dialogs::Icon::None);
    QCOMPARE(done.buttons, Dialogs::Buttons::Ok);
    QCOMPARE(done.title, QStringLiteral("Nerina's Diary"));
    QTRY_VERIFY(w.isNull());
    QVERIFY(!form->purgeWindow());
}

void TstPurge::dayBeforeEveryEntryDeletesNothing()
{
    TestEnv env(kNow);
    env.db().saveDay(makeDay(QDate(2024, 3, 5), 36.5));
    env.db().saveDay(makeDay(QDate(2024, 3, 6), 36.6));
    auto form = env.makeForm();
    QPointer<FRM_DELETE> w = openPurge(*form);
    w->DTPicker1()->setDate(QDate(2024, 3, 4));
    env.dialogs.clear();
    env.dialogs.answers = {Dialogs::Answer::Yes};
    w->cmdRun_Click();

    QCOMPARE(storedDays(env.db()), (QList<QDate> {QDate(2024, 3, 5), QDate(2024, 3, 6)}));
    QCOMPARE(env.dialogs.texts(), (QStringList {QStringLiteral("2024/03/04以前のﾃﾞｰﾀを削除します。続けますか？"),
                                                QStringLiteral("削除されました")}));
    QTRY_VERIFY(w.isNull());
}

void TstPurge::refusedConfirmationKeepsWindowOpen()
{
    TestEnv env(kNow);
    env.db().saveDay(makeDay(QDate(2024, 3, 5), 36.5));
    auto form = env.makeForm();
    QPointer<FRM_DELETE> w = openPurge(*form);
    w->DTPicker1()->setDate(QDate(2024, 12, 31));
    env.dialogs.clear();
    env.dialogs.answers = {Dialogs::Answer::No};
    QTest::mouseClick(w->cmdRun(), Qt::LeftButton);

    QCOMPARE(env.dialogs.shown.size(), 1);
    QCOMPARE(storedDays(env.db()), QList<QDate> {QDate(2024, 3, 5)});
    QTest::qWait(20);
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QCOMPARE(w->DTPicker1()->date(), QDate(2024, 12, 31));

    // Another try from the same window goes through.
    env.dialogs.answers = {Dialogs::Answer::Yes};
    w->cmdRun_Click();
    QVERIFY(storedDays(env.db()).isEmpty());
    QTRY_VERIFY(w.isNull());
}

void TstPurge::secondOpeningShowsDesignDay()
{
    TestEnv env(kNow);
    auto form = env.makeForm();
    QPointer<FRM_DELETE> w = openPurge(*form);
    w->DTPicker1()->setDate(QDate(2010, 1, 1));
    QTest::mouseClick(w->cmdCancel(), Qt::LeftButton);
    QTRY_VERIFY(w.isNull());

    w = openPurge(*form);
    QVERIFY(w);
    QCOMPARE(w->DTPicker1()->date(), QDate(2000, 4, 16));
}

void TstPurge::timeOfDayNeverMovesCutOff()
{
    TestEnv env(kNow);
    for (const QDate &d : {QDate(2024, 3, 4), QDate(2024, 3, 5), QDate(2024, 3, 6)})
        env.db().saveDay(makeDay(d, 36.5));
    auto form = env.makeForm();
    QPointer<FRM_DELETE> w = openPurge(*form);
    // The last second of the day: a cut-off taken with its time would round or spill over.
    w->DTPicker1()->setDateTime(QDateTime(QDate(2024, 3, 5), QTime(23, 59, 59)));
    QCOMPARE(w->DTPicker1()->dateTime().time(), QTime(23, 59, 59));
    env.dialogs.clear();
    env.dialogs.answers = {Dialogs::Answer::Yes};
    w->cmdRun_Click();
    QCOMPARE(env.dialogs.shown.first().text, QStringLiteral("2024/03/05以前のﾃﾞｰﾀを削除します。続けますか？"));
    QCOMPARE(storedDays(env.db()), QList<QDate> {QDate(2024, 3, 6)});
}

void TstPurge::cancelAsksNothing()
{
    TestEnv env(kNow);
    env.db().saveDay(makeDay(QDate(2000, 1, 1), 36.5));
    auto form = env.makeForm();
    QPointer<FRM_DELETE> w = openPurge(*form);
    env.dialogs.clear();
    QTest::mouseClick(w->cmdCancel(), Qt::LeftButton);
    QTRY_VERIFY(w.isNull());
    QVERIFY(env.dialogs.shown.isEmpty());
    QCOMPARE(storedDays(env.db()), QList<QDate> {QDate(2000, 1, 1)});
}

void TstPurge::databaseErrorIsShownAndWindowCloses()
{
    TestEnv env(kNow);
    auto form = env.makeForm();
    QPointer<FRM_DELETE> w = openPurge(*form);
    {
        // Another program takes the table away behind the diary's back.
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        raw.setDatabaseName(env.dbPath());
        QVERIFY(raw.open());
        QSqlQuery drop(raw);
        QVERIFY2(drop.exec(QStringLiteral("DROP TABLE DATA_FIL")), qPrintable(drop.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));

    env.dialogs.clear();
    env.dialogs.answers = {Dialogs::Answer::Yes};
    w->cmdRun_Click();
    QCOMPARE(env.dialogs.shown.size(), 2);
    const Dialogs::Message &error = env.dialogs.shown[1];
    QVERIFY(error.text != QStringLiteral("削除されました"));
    QVERIFY2(error.text.contains(QStringLiteral("DATA_FIL")), qPrintable(error.text));
    QCOMPARE(error.icon, Dialogs::Icon::None);
    QCOMPARE(error.buttons, Dialogs::Buttons::Ok);
    QCOMPARE(error.title, QStringLiteral("Nerina's Diary"));
    QTRY_VERIFY(w.isNull());
}

void TstPurge::noDatabaseIsShownAndWindowCloses()
{
    TestEnv env(kNow);
    AppContext context {env.dialogs, env.clock, env.folder(), env.printer};
    const SharedState noDiary;
    QPointer<FRM_DELETE> w = new FRM_DELETE(noDiary, context.dialogs, context.clock, nullptr);
    w->show();
    env.dialogs.answers = {Dialogs::Answer::Yes};
    w->cmdRun_Click();
    QCOMPARE(env.dialogs.shown.size(), 2);
    QVERIFY(!env.dialogs.shown[1].text.isEmpty());
    QVERIFY(env.dialogs.shown[1].text != QStringLiteral("削除されました"));
    QCOMPARE(env.dialogs.shown[1].icon, Dialogs::Icon::None);
    QCOMPARE(env.dialogs.shown[1].title, QStringLiteral("Nerina's Diary"));
    QTRY_VERIFY(w.isNull());
}

void TstPurge::mainWindowIsNotRefreshed()
{
    TestEnv env(kNow);
    env.db().saveDay(makeDay(kNow.date(), 36.7, QStringLiteral("x")));
    auto form = env.makeForm();
    const QString shownBefore = form->ui().TEMP_TEXT->rawText();
    QVERIFY(!shownBefore.isEmpty());

    QPointer<FRM_DELETE> w = openPurge(*form);
    w->DTPicker1()->setDate(kNow.date());
    env.dialogs.answers = {Dialogs::Answer::Yes};
    w->cmdRun_Click();
    QTRY_VERIFY(w.isNull());
    QVERIFY(storedDays(env.db()).isEmpty());
    QCOMPARE(form->ui().TEMP_TEXT->rawText(), shownBefore);
}

QTEST_MAIN(TstPurge)
#include "tst_purge.moc"
