// The entry tab's editor: loading and saving a day, the save question on a date change,
// edit tracking, Enter in the boxes and the temperature check.
#include "TestSupport.h"
#include "records/DayEditor.h"
#include "records/DiaryDb.h"
#include "records/TempEdit.h"
#include "shell/Form1.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace nerina;

namespace {

const QDate kToday(2026, 12, 6);
const QString kSaveQuestion = QStringLiteral("ﾃﾞｰﾀが変更されています。保存しますか？");
const QString kOverwrite = QStringLiteral("上書きしますか？");

// A second, plain connection to the diary file, for rows the program never writes and
// for holding the file's write lock.
class RawConnection final
{
public:
    explicit RawConnection(const QString &path) : m_name(QStringLiteral("raw-%1").arg(++s_count))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open the diary for the test");
    }
    ~RawConnection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    bool exec(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        if (!q.exec(sql)) {
            qWarning("%s", qPrintable(q.lastError().text()));
            return false;
        }
        return true;
    }

private:
    static inline int s_count = 0;
    QString m_name;
};

using Shown = ShownForm;

void typeInto(QWidget *box, const QString &text)
{
    box->setFocus();
    typeText(box, text);
}

void typeDiary(QPlainTextEdit *box, const QString &text)
{
    box->setFocus();
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(box, Qt::Key_Return);
        typeText(box, lines[i]);
    }
}

} // namespace

class TestDayEditor final : public QObject
{
    Q_OBJECT
private slots:
    void startUpShowsTodayUnedited()
    {
        Shown s;
        s.env.db().saveDay(makeDay(kToday, 36.5, QStringLiteral("眠い"), QStringLiteral("一行目\n二行目"), true, true));
        QVERIFY(s.start());
        QCOMPARE(s.form->state().G_SEL_DATE, kToday);
        QCOMPARE(s.ui().TEMP_TEXT->rawText(), QStringLiteral("36.5"));
        QCOMPARE(s.ui().TEMP_TEXT->text(), QStringLiteral("36.50")); // not focused
        QCOMPARE(s.ui().CONDITION_TEXT->text(), QStringLiteral("眠い"));
        QCOMPARE(s.ui().DIARY_TEXT->toPlainText(), QStringLiteral("一行目\n二行目"));
        QVERIFY(s.ui().GUEST_CHK->isChecked());
        QVERIFY(s.ui().LOVE_CHK->isChecked());
        QVERIFY(!s.form->state().G_DIRTY);
        QVERIFY(s.env.dialogs.shown.isEmpty());
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("temp");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("diary");
        QTest::addColumn<bool>("guest");
        QTest::addColumn<bool>("love");
        QTest::addColumn<double>("storedTemp");
        QTest::addColumn<QString>("shownTemp");

        QTest::newRow("everything") << "36.5"
                                    << "頭痛"
                                    << "一行目\n二行目" << true << true << 36.5 << "36.5";
        QTest::newRow("all empty") << ""
                                   << ""
                                   << "" << false << false << 0.0 << "0";
        QTest::newRow("whole number") << "37"
                                      << "ok"
                                      << "x" << false << false << 37.0 << "37";
        QTest::newRow("two decimals") << "36.55"
                                      << ""
                                      << "" << false << false << 36.55 << "36.55";
        QTest::newRow("period only") << "36.2"
                                     << ""
                                     << "" << true << false << 36.2 << "36.2";
        QTest::newRow("love only") << "36.8"
                                   << ""
                                   << "" << false << true << 36.8 << "36.8";
        // No check on saving: out of range is stored as typed.
        QTest::newRow("out of range") << "50"
                                      << ""
                                      << "" << false << false << 50.0 << "50";
        QTest::newRow("full-width digits") << QStringLiteral("３６.４") << ""
                                           << "" << false << false << 36.4 << "36.4";
    }
    void roundTrip()
    {
        QFETCH(QString, temp);
        QFETCH(QString, condition);
        QFETCH(QString, diary);
        QFETCH(bool, guest);
        QFETCH(bool, love);
        QFETCH(double, storedTemp);
        QFETCH(QString, shownTemp);

        Shown s;
        QVERIFY(s.start());
        typeInto(s.ui().TEMP_TEXT, temp);
        typeInto(s.ui().CONDITION_TEXT, condition);
        typeDiary(s.ui().DIARY_TEXT, diary);
        s.ui().GUEST_CHK->setChecked(guest);
        s.ui().LOVE_CHK->setChecked(love);
        QTest::mouseClick(s.ui().REG_BTN, Qt::LeftButton);

        QVERIFY(s.env.dialogs.shown.isEmpty()); // a new row is added without asking
        QVERIFY(!s.form->state().G_DIRTY);
        const std::optional<DayRecord> row = s.env.db().findDay(kToday);
        QVERIFY(row);
        QCOMPARE(row->DAT_DATE, kToday);
        QCOMPARE(row->TEMP, std::optional<double>(storedTemp));
        QCOMPARE(row->CONDITION, std::optional<QString>(condition));
        QCOMPARE(row->DIARY, std::optional<QString>(diary));
        QCOMPARE(row->GUEST, guest);
        QCOMPARE(row->LOVE, love);

        // Away to an empty day and back.
        s.ui().DTPicker1->setDate(kToday.addDays(1));
        QCOMPARE(s.ui().TEMP_TEXT->rawText(), QString());
        QCOMPARE(s.ui().CONDITION_TEXT->text(), QString());
        QCOMPARE(s.ui().DIARY_TEXT->toPlainText(), QString());
        QVERIFY(!s.ui().GUEST_CHK->isChecked());
        QVERIFY(!s.ui().LOVE_CHK->isChecked());
        s.ui().DTPicker1->setDate(kToday);
        QVERIFY(s.env.dialogs.shown.isEmpty());
        QCOMPARE(s.ui().TEMP_TEXT->rawText(), shownTemp);
        QCOMPARE(s.ui().CONDITION_TEXT->text(), condition);
        QCOMPARE(s.ui().DIARY_TEXT->toPlainText(), diary);
        QCOMPARE(s.ui().GUEST_CHK->isChecked(), guest);
        QCOMPARE(s.ui().LOVE_CHK->isChecked(), love);
        QVERIFY(!s.form->state().G_DIRTY);
        QCOMPARE(s.rowCount(), 1);
    }

    // What another tool stored loads whole and, saved without edits, goes back exactly:
    // nothing is cut to the boxes' typing limits or rounded to what the box shows.
    void storedValuesStayExact_data()
    {
        QTest::addColumn<double>("temp");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("diary");
        QTest::addColumn<QString>("shownTemp"); // unfocused
        QTest::newRow("three decimals") << 36.125 << QStringLiteral("体調") << QString() << QStringLiteral("36.125");
        QTest::newRow("float noise") << 36.1 + 1e-13 << QString() << QString() << QStringLiteral("36.1000000000001");
        QTest::newRow("long texts") << 36.5 << QString(40, QChar(u'長')) << QString(600, QChar(u'日'))
                                    << QStringLiteral("36.50");
        QTest::newRow("CR LF lines") << 0.0 << QString() << QStringLiteral("一\r\n二\r\n") << QStringLiteral("0.00");
    }
    void storedValuesStayExact()
    {
        QFETCH(double, temp);
        QFETCH(QString, condition);
        QFETCH(QString, diary);
        QFETCH(QString, shownTemp);
        Shown s;
        DayRecord stored = makeDay(kToday, temp, condition, diary);
        s.env.db().saveDay(stored);
        QVERIFY(s.start());
        QCOMPARE(s.ui().TEMP_TEXT->text(), shownTemp);
        QCOMPARE(s.ui().CONDITION_TEXT->text(), condition);
        if (!diary.contains(QLatin1Char('\r')))
            QCOMPARE(s.ui().DIARY_TEXT->toPlainText(), diary);

        s.env.dialogs.answers << Dialogs::Answer::Yes;
        QCOMPARE(s.form->SaveDayRecord(), SaveOutcome::Stored);
        const DayRecord back = *s.env.db().findDay(kToday);
        QCOMPARE(back.TEMP, stored.TEMP); // bit for bit
        QCOMPARE(back.CONDITION, stored.CONDITION);
        QCOMPARE(back.DIARY, stored.DIARY);

        // Typing never lengthens a text beyond the limit; deleting shortens it.
        QLineEdit *box = s.ui().CONDITION_TEXT;
        box->setFocus();
        box->end(false);
        typeText(box, QStringLiteral("xy"));
        QCOMPARE(box->text(),
                 condition.size() >= DayEditor::kConditionMaxLength ? condition : condition + QStringLiteral("xy"));
        const qsizetype before = box->text().size();
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text().size(), before - 1);
    }

    // A row that another copy of the program wrote after the day was loaded is not
    // replaced without the question, even though the load found no row.
    void aRowWrittenMeanwhileIsAskedAbout()
    {
        Shown s;
        QVERIFY(s.start());
        typeInto(s.ui().CONDITION_TEXT, QStringLiteral("mine"));
        DiaryDb other(s.env.dbPath());
        other.saveDay(makeDay(kToday, 36.7, QStringLiteral("theirs")));

        s.env.dialogs.answers << Dialogs::Answer::No;
        QCOMPARE(s.form->SaveDayRecord(), SaveOutcome::Declined);
        QCOMPARE(s.env.dialogs.texts(), QStringList {kOverwrite});
        QCOMPARE(*s.env.db().findDay(kToday)->CONDITION, QStringLiteral("theirs"));
        QVERIFY(s.form->state().G_DIRTY);

        s.env.dialogs.answers << Dialogs::Answer::Yes;
        QCOMPARE(s.form->SaveDayRecord(), SaveOutcome::Stored);
        QCOMPARE(*s.env.db().findDay(kToday)->CONDITION, QStringLiteral("mine"));
        QCOMPARE(s.rowCount(), 1);
    }

    void overwriteAskedEveryTime()
    {
        Shown s;
        QVERIFY(s.start());
        typeInto(s.ui().CONDITION_TEXT, QStringLiteral("first"));
        QCOMPARE(s.form->SaveDayRecord(), SaveOutcome::Stored);
        QVERIFY(s.env.dialogs.shown.isEmpty());

        // Nothing edited: still asked.
        s.env.dialogs.answers << Dialogs::Answer::Yes;
        QTest::mouseClick(s.ui().REG_BTN, Qt::LeftButton);
        QCOMPARE(s.env.dialogs.shown.size(), 1);
        const auto &m = s.env.dialogs.last();
        QCOMPARE(m.text, kOverwrite);
        QCOMPARE(m.title, QStringLiteral("Nerina's Checker"));
        QCOMPARE(m.icon, Dialogs::Icon::Question);
        QCOMPARE(m.buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(m.defaultButton, Dialogs::Answer::Yes);
        QCOMPARE(s.rowCount(), 1);

        typeInto(s.ui().CONDITION_TEXT, QStringLiteral(" second"));
        s.env.dialogs.answers << Dialogs::Answer::Yes;
        QCOMPARE(s.form->SaveDayRecord(), SaveOutcome::Stored);
        QCOMPARE(s.env.dialogs.shown.size(), 2);
        QCOMPARE(s.rowCount(), 1);
        QCOMPARE(s.env.db().findDay(kToday)->CONDITION, std::optional<QString>(QStringLiteral("first second")));

        // No writes nothing and keeps the edits pending.
        typeInto(s.ui().CONDITION_TEXT, QStringLiteral(" third"));
        s.env.dialogs.answers << Dialogs::Answer::No;
        QCOMPARE(s.form->SaveDayRecord(), SaveOutcome::Declined);
        QCOMPARE(s.env.dialogs.shown.size(), 3);
        QCOMPARE(s.env.dialogs.last().text, kOverwrite);
        QCOMPARE(s.env.db().findDay(kToday)->CONDITION, std::optional<QString>(QStringLiteral("first second")));
        QVERIFY(s.form->state().G_DIRTY);
        QCOMPARE(s.env.dialogs.unscriptedQuestions, 0);
    }

    void notANumberFailsTheSave()
    {
        Shown s;
        QVERIFY(s.start());
        typeInto(s.ui().TEMP_TEXT, QStringLiteral("abc"));
        QCOMPARE(s.form->SaveDayRecord(), SaveOutcome::Failed);
        QCOMPARE(s.env.dialogs.shown.size(), 1);
        const auto &m = s.env.dialogs.last();
        QCOMPARE(m.text, QStringLiteral("型が一致しません。"));
        QCOMPARE(m.title, QStringLiteral("PG-Error"));
        QCOMPARE(m.icon, Dialogs::Icon::Critical);
        QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
        QVERIFY(!s.env.db().findDay(kToday));
        QVERIFY(s.form->state().G_DIRTY);
    }

    void dateChangeSaveYes()
    {
        Shown s;
        QVERIFY(s.start());
        const QString notice = QStringLiteral("前回月経日未登録　もしくは妊娠した可能性があります");
        QCOMPARE(s.form->panelText(2), notice);
        typeInto(s.ui().CONDITION_TEXT, QStringLiteral("cramps"));
        s.ui().GUEST_CHK->setChecked(true);

        s.env.dialogs.answers << Dialogs::Answer::Yes;
        s.ui().DTPicker1->setDate(kToday.addDays(1));

        QCOMPARE(s.env.dialogs.shown.size(), 1); // no overwrite question for a new row
        const auto &m = s.env.dialogs.last();
        QCOMPARE(m.text, kSaveQuestion);
        QCOMPARE(m.title, QStringLiteral("保存確認"));
        QCOMPARE(m.icon, Dialogs::Icon::Question);
        QCOMPARE(m.buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(m.defaultButton, Dialogs::Answer::Yes);

        const std::optional<DayRecord> row = s.env.db().findDay(kToday);
        QVERIFY(row);
        QCOMPARE(row->CONDITION, std::optional<QString>(QStringLiteral("cramps")));
        QVERIFY(row->GUEST);
        // Refreshed for the day that was left: day 0 of the new period.
        QCOMPARE(s.form->panelText(2), QStringLiteral("次回月経予定日は2027年01月05日 火曜日です"));
        QCOMPARE(s.form->panelText(3), QStringLiteral("通常日です"));

        QCOMPARE(s.form->state().G_SEL_DATE, kToday.addDays(1));
        QCOMPARE(s.ui().CONDITION_TEXT->text(), QString());
        QVERIFY(!s.ui().GUEST_CHK->isChecked());
        QVERIFY(!s.form->state().G_DIRTY);
    }

    void dateChangeSaveNo()
    {
        Shown s;
        QVERIFY(s.start());
        typeInto(s.ui().TEMP_TEXT, QStringLiteral("36.7"));
        s.env.dialogs.answers << Dialogs::Answer::No;
        s.ui().DTPicker1->setDate(kToday.addDays(-1));
        QCOMPARE(s.env.dialogs.texts(), QStringList {kSaveQuestion});
        QVERIFY(!s.env.db().findDay(kToday));
        QCOMPARE(s.form->state().G_SEL_DATE, kToday.addDays(-1));
        QCOMPARE(s.ui().TEMP_TEXT->rawText(), QString());
        QVERIFY(!s.form->state().G_DIRTY);
    }

    // Declining the overwrite drops the edits; the date change goes on.
    void dateChangeOverwriteDeclined()
    {
        Shown s;
        s.env.db().saveDay(makeDay(kToday, 36.5, QStringLiteral("old")));
        s.env.db().saveDay(makeDay(kToday.addDays(1), 36.9, QStringLiteral("next")));
        QVERIFY(s.start());
        typeInto(s.ui().CONDITION_TEXT, QStringLiteral(" new"));
        s.env.dialogs.answers << Dialogs::Answer::Yes << Dialogs::Answer::No;
        s.ui().DTPicker1->setDate(kToday.addDays(1));
        QCOMPARE(s.env.dialogs.texts(), (QStringList {kSaveQuestion, kOverwrite}));
        QCOMPARE(s.env.db().findDay(kToday)->CONDITION, std::optional<QString>(QStringLiteral("old")));
        QCOMPARE(s.form->state().G_SEL_DATE, kToday.addDays(1));
        QCOMPARE(s.ui().CONDITION_TEXT->text(), QStringLiteral("next"));
        QCOMPARE(s.ui().TEMP_TEXT->rawText(), QStringLiteral("36.9"));
        QVERIFY(!s.form->state().G_DIRTY);
    }

    // A save that fails keeps the user on the day being left, edits and all.
    void dateChangeSaveFails()
    {
        Shown s;
        QVERIFY(s.start());
        typeInto(s.ui().TEMP_TEXT, QStringLiteral("36.6"));
        typeInto(s.ui().CONDITION_TEXT, QStringLiteral("kept"));
        s.ui().LOVE_CHK->setChecked(true);

        {
            RawConnection writer(s.env.dbPath());
            QVERIFY(writer.exec(QStringLiteral("BEGIN IMMEDIATE")));
            s.env.dialogs.answers << Dialogs::Answer::Yes;
            s.ui().DTPicker1->setDate(kToday.addDays(3));

            QCOMPARE(s.env.dialogs.shown.size(), 2);
            QCOMPARE(s.env.dialogs.shown[0].text, kSaveQuestion);
            const auto &error = s.env.dialogs.shown[1];
            QCOMPARE(error.title, QStringLiteral("PG-Error"));
            QCOMPARE(error.icon, Dialogs::Icon::Critical);
            QVERIFY(!error.text.isEmpty());

            QCOMPARE(s.ui().DTPicker1->date(), kToday);
            QCOMPARE(s.form->state().G_SEL_DATE, kToday);
            QCOMPARE(s.ui().TEMP_TEXT->rawText(), QStringLiteral("36.6"));
            QCOMPARE(s.ui().CONDITION_TEXT->text(), QStringLiteral("kept"));
            QVERIFY(s.ui().LOVE_CHK->isChecked());
            QVERIFY(s.form->state().G_DIRTY);
            QVERIFY(writer.exec(QStringLiteral("ROLLBACK")));
        }
        QVERIFY(!s.env.db().findDay(kToday));

        // Once the file can be written again, the same change saves and moves on.
        s.env.dialogs.clear();
        s.env.dialogs.answers << Dialogs::Answer::Yes;
        s.ui().DTPicker1->setDate(kToday.addDays(3));
        QCOMPARE(s.env.dialogs.texts(), QStringList {kSaveQuestion});
        const std::optional<DayRecord> row = s.env.db().findDay(kToday);
        QVERIFY(row);
        QCOMPARE(row->TEMP, std::optional<double>(36.6));
        QCOMPARE(row->CONDITION, std::optional<QString>(QStringLiteral("kept")));
        QVERIFY(row->LOVE);
        QCOMPARE(s.form->state().G_SEL_DATE, kToday.addDays(3));
        QVERIFY(!s.form->state().G_DIRTY);
    }

    void nullColumnStopsTheLoad_data()
    {
        QTest::addColumn<QString>("insert");
        QTest::addColumn<QString>("temp");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("diary");
        const QString before = QStringLiteral("A");
        QTest::newRow("TEMP") << "NULL, 'c', 'd'"
                              << "36.5" << before << before;
        QTest::newRow("CONDITION") << "37.1, NULL, 'd'"
                                   << "37.1" << before << before;
        QTest::newRow("DIARY") << "37.1, 'c', NULL"
                               << "37.1"
                               << "c" << before;
    }
    void nullColumnStopsTheLoad()
    {
        QFETCH(QString, insert);
        QFETCH(QString, temp);
        QFETCH(QString, condition);
        QFETCH(QString, diary);
        Shown s;
        s.env.db().saveDay(makeDay(kToday, 36.5, QStringLiteral("A"), QStringLiteral("A")));
        {
            RawConnection raw(s.env.dbPath());
            QVERIFY(raw.exec(QStringLiteral("INSERT INTO DATA_FIL VALUES ('2026-12-07', %1, 1, 1)").arg(insert)));
        }
        QVERIFY(s.start());
        s.ui().DTPicker1->setDate(kToday.addDays(1));
        QCOMPARE(s.env.dialogs.shown.size(), 1);
        QCOMPARE(s.env.dialogs.last().text, QStringLiteral("Null の使い方が不正です。"));
        QCOMPARE(s.env.dialogs.last().title, QStringLiteral("PG-Error"));
        QCOMPARE(s.env.dialogs.last().icon, Dialogs::Icon::Critical);
        QCOMPARE(s.ui().TEMP_TEXT->rawText(), temp);
        QCOMPARE(s.ui().CONDITION_TEXT->text(), condition);
        QCOMPARE(s.ui().DIARY_TEXT->toPlainText(), diary);
        QCOMPARE(s.form->state().G_SEL_DATE, kToday.addDays(1));
        QVERIFY(!s.form->state().G_DIRTY);
    }

    void nullFlagsLoadUnchecked()
    {
        Shown s;
        s.env.db().saveDay(makeDay(kToday, 36.5, QString(), QString(), true, true));
        {
            RawConnection raw(s.env.dbPath());
            QVERIFY(raw.exec(QStringLiteral("INSERT INTO DATA_FIL VALUES ('2026-12-07', 36.1, '', '', NULL, NULL)")));
        }
        QVERIFY(s.start());
        QVERIFY(s.ui().GUEST_CHK->isChecked());
        s.ui().DTPicker1->setDate(kToday.addDays(1));
        QVERIFY(s.env.dialogs.shown.isEmpty());
        QVERIFY(!s.ui().GUEST_CHK->isChecked());
        QVERIFY(!s.ui().LOVE_CHK->isChecked());
    }

    void editsMarkDirty_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("TEMP_TEXT") << "TEMP_TEXT";
        QTest::newRow("CONDITION_TEXT") << "CONDITION_TEXT";
        QTest::newRow("DIARY_TEXT") << "DIARY_TEXT";
        QTest::newRow("GUEST_CHK") << "GUEST_CHK";
        QTest::newRow("LOVE_CHK") << "LOVE_CHK";
    }
    void editsMarkDirty()
    {
        QFETCH(QString, control);
        Shown s;
        QVERIFY(s.start());
        QVERIFY(!s.form->state().G_DIRTY);
        QWidget *w = s.form->findChild<QWidget *>(control);
        QVERIFY(w);
        if (auto *check = qobject_cast<QCheckBox *>(w)) {
            check->setFocus();
            QTest::keyClick(check, Qt::Key_Space);
            QVERIFY(check->isChecked());
        } else {
            typeInto(w, QStringLiteral("3"));
        }
        QVERIFY(s.form->state().G_DIRTY);

        // Loading another day clears it again, whatever the answer.
        s.env.dialogs.answers << Dialogs::Answer::No;
        s.ui().DTPicker1->setDate(kToday.addDays(2));
        QVERIFY(!s.form->state().G_DIRTY);
    }

    // Showing the temperature with two decimals is no edit and changes nothing saved.
    void formattingIsNoEdit()
    {
        Shown s;
        s.env.db().saveDay(makeDay(kToday, 36.5));
        QVERIFY(s.start());
        TempEdit *temp = s.ui().TEMP_TEXT;
        QCOMPARE(temp->text(), QStringLiteral("36.50"));
        temp->setFocus();
        QTRY_VERIFY(temp->hasFocus());
        QCOMPARE(temp->text(), QStringLiteral("36.5"));
        s.ui().CONDITION_TEXT->setFocus();
        QTRY_VERIFY(s.ui().CONDITION_TEXT->hasFocus());
        QCOMPARE(temp->text(), QStringLiteral("36.50"));
        QVERIFY(!s.form->state().G_DIRTY);

        // Typed while focused, saved as typed once the box shows it formatted.
        typeInto(s.ui().DTPicker1, QString()); // move the focus away from the boxes
        temp->setFocus();
        QTRY_VERIFY(temp->hasFocus());
        temp->selectAll();
        QTest::keyClicks(temp, QStringLiteral("37"));
        QVERIFY(s.form->state().G_DIRTY);
        s.ui().CONDITION_TEXT->setFocus();
        QTRY_COMPARE(temp->text(), QStringLiteral("37.00"));
        s.env.dialogs.answers << Dialogs::Answer::Yes;
        QCOMPARE(s.form->SaveDayRecord(), SaveOutcome::Stored);
        QCOMPARE(s.env.db().findDay(kToday)->TEMP, std::optional<double>(37.0));
        QVERIFY(!s.form->state().G_DIRTY);
        temp->setFocus();
        QTRY_VERIFY(temp->hasFocus());
        s.ui().CONDITION_TEXT->setFocus();
        QTRY_VERIFY(!temp->hasFocus());
        QVERIFY(!s.form->state().G_DIRTY);
    }

    void enterOnTemperature_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: the check passes
        const QString notNumber = QStringLiteral("数値を入力して下さい！");
        const QString range = QStringLiteral("34.00℃～43℃の間で入力して下さい。");
        QTest::newRow("empty") << "" << notNumber;
        QTest::newRow("abc") << "abc" << notNumber;
        QTest::newRow("33.99") << "33.99" << range;
        QTest::newRow("43.01") << "43.01" << range;
        QTest::newRow("34") << "34" << QString();
        QTest::newRow("34.00") << "34.00" << QString();
        QTest::newRow("36.5") << "36.5" << QString();
        QTest::newRow("43") << "43" << QString();
    }
    void enterOnTemperature()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        Shown s;
        QVERIFY(s.start());
        TempEdit *temp = s.ui().TEMP_TEXT;
        temp->setFocus();
        QTRY_VERIFY(temp->hasFocus());
        QTest::keyClicks(temp, typed);
        QTest::keyClick(temp, Qt::Key_Return);

        if (message.isEmpty()) {
            QVERIFY(s.env.dialogs.shown.isEmpty());
            QTRY_VERIFY(s.ui().CONDITION_TEXT->hasFocus());
            QCOMPARE(temp->text(), TempEdit::displayText(typed)); // shown formatted again
        } else {
            QCOMPARE(s.env.dialogs.shown.size(), 1);
            const auto &m = s.env.dialogs.last();
            QCOMPARE(m.text, message);
            QCOMPARE(m.title, QStringLiteral("エラー！"));
            QCOMPARE(m.icon, Dialogs::Icon::Critical);
            QCOMPARE(m.buttons, Dialogs::Buttons::Ok);
            QTRY_VERIFY(temp->hasFocus());
            QCOMPARE(temp->text(), typed);
        }
        QCOMPARE(temp->rawText(), typed);
        QCOMPARE(s.form->state().G_DIRTY, !typed.isEmpty());
    }

    void enterWalksOnToTheDiary()
    {
        Shown s;
        QVERIFY(s.start());
        typeInto(s.ui().TEMP_TEXT, QStringLiteral("36.5"));
        QTest::keyClick(s.ui().TEMP_TEXT, Qt::Key_Enter); // the keypad's Enter too
        QTRY_VERIFY(s.ui().CONDITION_TEXT->hasFocus());
        QTest::keyClicks(s.ui().CONDITION_TEXT, QStringLiteral("ok"));
        QTest::keyClick(s.ui().CONDITION_TEXT, Qt::Key_Return);
        QTRY_VERIFY(s.ui().DIARY_TEXT->hasFocus());
        QCOMPARE(s.ui().CONDITION_TEXT->text(), QStringLiteral("ok"));
        QTest::keyClicks(s.ui().DIARY_TEXT, QStringLiteral("a"));
        QTest::keyClick(s.ui().DIARY_TEXT, Qt::Key_Return);
        QTest::keyClicks(s.ui().DIARY_TEXT, QStringLiteral("b"));
        QCOMPARE(s.ui().DIARY_TEXT->toPlainText(), QStringLiteral("a\nb"));
        QVERIFY(s.ui().DIARY_TEXT->hasFocus());
        QVERIFY(s.env.dialogs.shown.isEmpty());
    }

    void diaryHoldsAtMost500Characters()
    {
        Shown s;
        QVERIFY(s.start());
        QPlainTextEdit *diary = s.ui().DIARY_TEXT;
        typeDiary(diary, QString(497, QLatin1Char('x')));
        QTest::keyClicks(diary, QStringLiteral("abcdef"));
        QCOMPARE(diary->toPlainText(), QString(497, QLatin1Char('x')) + QStringLiteral("abc"));

        // Text put in the middle is cut where it went in; the end stays.
        QTextCursor c = diary->textCursor();
        c.setPosition(10);
        diary->setTextCursor(c);
        diary->insertPlainText(QStringLiteral("123"));
        QCOMPARE(diary->toPlainText().size(), DayEditor::kDiaryMaxLength);
        QVERIFY(diary->toPlainText().endsWith(QStringLiteral("abc")));
        QCOMPARE(diary->toPlainText().mid(10, 3), QString(3, QLatin1Char('x')));

        QTest::mouseClick(s.ui().REG_BTN, Qt::LeftButton);
        QCOMPARE(s.env.db().findDay(kToday)->DIARY->size(), DayEditor::kDiaryMaxLength);
    }
};

QTEST_MAIN(TestDayEditor)
#include "tst_dayeditor.moc"
