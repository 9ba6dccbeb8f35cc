// Hostile and odd input through the real entry controls and the cycle command, on a real
// diary file: every text is either stored exactly and loads back the same, or refused
// with the program's message; no row is ever half written and no box ever holds half a
// character.
#include "TestSupport.h"
#include "records/DayEditor.h"
#include "records/DiaryDb.h"
#include "records/TempEdit.h"
#include "shell/Form1.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>

using namespace nerina;

namespace {

const QDate kToday(2026, 12, 6);
const QString kEmoji = QStringLiteral("\U0001F600"); // two UTF-16 units
const QString kTypeMismatch = QStringLiteral("型が一致しません。");
const QString kOverflow = QStringLiteral("オーバーフローしました。");

struct Shown : ShownForm
{
    // Leaves the day and comes back, so that the editor loads it from the file again.
    void reloadToday()
    {
        ui().DTPicker1->setDate(kToday.addDays(-1));
        ui().DTPicker1->setDate(kToday);
    }
};

// One key event carrying a whole character, the way an input method delivers an emoji.
void typeCharacter(QWidget *box, const QString &character)
{
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, character, Qt::NoModifier);
}

void typeEach(QWidget *box, const QString &text)
{
    box->setFocus();
    for (const QChar c : text) {
        if (c.unicode() < 0x80 && c.isPrint())
            QTest::keyClick(box, char(c.unicode()));
        else
            typeCharacter(box, QString(c));
    }
}

void pasteInto(QLineEdit *box, const QString &text)
{
    QApplication::clipboard()->setText(text);
    box->paste();
}

// The diary box's text with its line breaks made plain and nothing else changed
// (the box's own plain-text form turns a no-break space into a plain one).
QString diaryShown(const QPlainTextEdit *box)
{
    QString text = box->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

bool wholeCharacters(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return false;
    }
    return true;
}

} // namespace

class TestBadInput final : public QObject
{
    Q_OBJECT
private slots:
    // What is typed into the temperature box, what it holds, and what a save makes of
    // it: a stored number, or the engine's refusal with nothing stored.
    void temperatureTexts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("held");
        QTest::addColumn<QString>("error"); // empty: stored
        QTest::addColumn<double>("stored");

        QTest::newRow("empty") << ""
                               << "" << QString() << 0.0;
        QTest::newRow("letters") << "abc"
                                 << "abc" << kTypeMismatch << 0.0;
        QTest::newRow("double minus") << "--1"
                                      << "--1" << kTypeMismatch << 0.0;
        QTest::newRow("exponent") << "1e999"
                                  << "1e999" << kTypeMismatch << 0.0;
        QTest::newRow("lone point") << "."
                                    << "." << kTypeMismatch << 0.0;
        QTest::newRow("full-width") << QStringLiteral("３６．５") << QStringLiteral("３６．５") << QString() << 36.5;
        QTest::newRow("six characters") << "36.555"
                                        << "36.55" << QString() << 36.55;
        QTest::newRow("five nines") << "99999"
                                    << "99999" << QString() << 99999.0;
        QTest::newRow("negative") << "-36.5"
                                  << "-36.5" << QString() << -36.5;
        QTest::newRow("blanks") << " 36 "
                                << " 36 " << QString() << 36.0;
        QTest::newRow("tab") << "\t"
                             << "\t" << kTypeMismatch << 0.0;
        QTest::newRow("NUL") << QString(QChar(0)) << QString(QChar(0)) << kTypeMismatch << 0.0;
        QTest::newRow("emoji") << kEmoji << kEmoji << kTypeMismatch << 0.0;
    }
    void temperatureTexts()
    {
        QFETCH(QString, typed);
        QFETCH(QString, held);
        QFETCH(QString, error);
        QFETCH(double, stored);

        Shown s;
        QVERIFY(s.start());
        TempEdit *temp = s.ui().TEMP_TEXT;
        if (typed == kEmoji) {
            temp->setFocus();
            typeCharacter(temp, kEmoji);
        } else if (!typed.isEmpty() && !typed[0].isPrint()) {
            // No key types these; they come in by pasting.
            temp->setFocus();
            pasteInto(temp, typed);
        } else {
            typeEach(temp, typed);
        }
        QCOMPARE(temp->rawText(), held);
        s.ui().CONDITION_TEXT->setFocus();
        QTRY_VERIFY(!temp->hasFocus());
        QVERIFY(wholeCharacters(temp->text()));

        s.env.dialogs.clear();
        QTest::mouseClick(s.ui().REG_BTN, Qt::LeftButton);
        if (error.isEmpty()) {
            QCOMPARE(s.env.dialogs.shown.size(), 0);
            QCOMPARE(*s.env.db().findDay(kToday)->TEMP, stored);
            QVERIFY(!s.form->state().G_DIRTY);
        } else {
            QCOMPARE(s.env.dialogs.shown.size(), 1);
            QCOMPARE(s.env.dialogs.last().text, error);
            QCOMPARE(s.env.dialogs.last().title, QStringLiteral("PG-Error"));
            QCOMPARE(s.rowCount(), 0);
            QVERIFY(s.form->state().G_DIRTY);
            QCOMPARE(temp->rawText(), held);
        }
    }

    // Pasting goes around the key handling: it must keep the same 5-character limit,
    // whether the box shows the value as typed or its formatted form.
    void pastedTemperature_data()
    {
        QTest::addColumn<bool>("focused");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("held");

        QTest::newRow("focused, long") << true << "36.55555555"
                                       << "36.55";
        QTest::newRow("focused, huge") << true << QString(100000, QLatin1Char('9')) << "99999";
        QTest::newRow("focused, emoji at the limit") << true << QStringLiteral("3650") + kEmoji << "3650";
        QTest::newRow("unfocused, long") << false << "36.55555555"
                                         << "36.55";
        QTest::newRow("unfocused, emoji at the limit") << false << QStringLiteral("3650") + kEmoji << "3650";
    }
    void pastedTemperature()
    {
        QFETCH(bool, focused);
        QFETCH(QString, pasted);
        QFETCH(QString, held);

        Shown s;
        QVERIFY(s.start());
        TempEdit *temp = s.ui().TEMP_TEXT;
        if (focused) {
            temp->setFocus();
            QTRY_VERIFY(temp->hasFocus());
        } else {
            s.ui().CONDITION_TEXT->setFocus();
            QTRY_VERIFY(!temp->hasFocus());
        }
        temp->clear();
        pasteInto(temp, pasted);
        QCOMPARE(temp->rawText(), held);
        QVERIFY(s.form->state().G_DIRTY);
        if (!focused)
            QCOMPARE(temp->text(), TempEdit::displayText(held));

        s.env.dialogs.clear();
        QTest::mouseClick(s.ui().REG_BTN, Qt::LeftButton);
        QCOMPARE(s.env.dialogs.shown.size(), 0);
        QCOMPARE(*s.env.db().findDay(kToday)->TEMP, held.toDouble());
    }

    // Texts that mean something to SQL, to C strings or to the text boxes themselves
    // are stored exactly, read back the same, and load back into the boxes the same.
    void textsRoundTrip_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("diary");

        QTest::newRow("quotes") << QStringLiteral("it's \"fine\"") << QStringLiteral("'; DROP TABLE DATA_FIL; --");
        QTest::newRow("backslashes") << QStringLiteral("C:\\temp\\") << QStringLiteral("\\n is not a newline\\");
        QTest::newRow("wildcards") << QStringLiteral("100% _ok_ *") << QStringLiteral("%_%[a-z]?");
        QTest::newRow("day literal") << QStringLiteral("#2026/12/06#") << QStringLiteral("# ## #");
        QTest::newRow("newlines") << QStringLiteral("a") << QStringLiteral("line 1\nline 2\n\nline 4\n");
        QTest::newRow("NUL") << QStringLiteral("a") + QChar(0) + QStringLiteral("b")
                             << QChar(0) + QStringLiteral("x") + QChar(0);
        QTest::newRow("no-break space") << QStringLiteral("a\u00A0b") << QStringLiteral("c\u00A0d");
        QTest::newRow("emoji") << kEmoji + kEmoji << QStringLiteral("今日は") + kEmoji;
        QTest::newRow("Japanese") << QStringLiteral("ﾀﾞﾙｲ　頭痛") << QStringLiteral("基礎体温は３６．５℃");
        QTest::newRow("condition at 30 with an emoji")
            << QString(28, QLatin1Char('a')) + kEmoji << QString(498, QLatin1Char('b')) + kEmoji;
    }
    void textsRoundTrip()
    {
        QFETCH(QString, condition);
        QFETCH(QString, diary);

        Shown s;
        QVERIFY(s.start());
        s.ui().TEMP_TEXT->setRawText(QStringLiteral("36.5"));
        s.ui().CONDITION_TEXT->setText(condition);
        s.ui().DIARY_TEXT->setPlainText(diary);
        QCOMPARE(s.ui().CONDITION_TEXT->text(), condition);

        s.env.dialogs.clear();
        QTest::mouseClick(s.ui().REG_BTN, Qt::LeftButton);
        QCOMPARE(s.env.dialogs.shown.size(), 0);
        const std::optional<DayRecord> row = s.env.db().findDay(kToday);
        QVERIFY(row);
        QCOMPARE(*row->CONDITION, condition);
        QCOMPARE(*row->DIARY, diary);
        QCOMPARE(*row->TEMP, 36.5);

        s.ui().CONDITION_TEXT->clear();
        s.ui().DIARY_TEXT->clear();
        s.env.dialogs.answers << Dialogs::Answer::No; // the edits above are dropped
        s.reloadToday();
        QCOMPARE(s.ui().CONDITION_TEXT->text(), condition);
        QCOMPARE(diaryShown(s.ui().DIARY_TEXT), diary);

        // Saved again unchanged, nothing moves.
        s.env.dialogs.answers << Dialogs::Answer::Yes;
        QTest::mouseClick(s.ui().REG_BTN, Qt::LeftButton);
        QCOMPARE(*s.env.db().findDay(kToday)->CONDITION, condition);
        QCOMPARE(*s.env.db().findDay(kToday)->DIARY, diary);
        QCOMPARE(s.rowCount(), 1);
    }

    // The condition box holds 30 UTF-16 units as the toolkit counts them. A character of
    // two units that no longer fits is left out whole, typed or pasted.
    void conditionLimitKeepsCharactersWhole()
    {
        Shown s;
        QVERIFY(s.start());
        QLineEdit *condition = s.ui().CONDITION_TEXT;

        condition->setFocus();
        condition->setText(QString(29, QLatin1Char('a')));
        condition->end(false);
        typeCharacter(condition, kEmoji);
        QCOMPARE(condition->text(), QString(29, QLatin1Char('a')));

        condition->setText(QString(28, QLatin1Char('a')));
        condition->end(false);
        typeCharacter(condition, kEmoji);
        QCOMPARE(condition->text(), QString(28, QLatin1Char('a')) + kEmoji);

        // In the middle: the emoji does not fit and the end of the text stays.
        condition->setText(QString(29, QLatin1Char('a')));
        condition->setCursorPosition(3);
        typeCharacter(condition, kEmoji);
        QCOMPARE(condition->text(), QString(29, QLatin1Char('a')));

        condition->clear();
        pasteInto(condition, QString(29, QChar(u'あ')) + kEmoji + QStringLiteral("zz"));
        QCOMPARE(condition->text(), QString(29, QChar(u'あ')));
        condition->clear();
        pasteInto(condition, QString(100000, QLatin1Char('x')));
        QCOMPARE(condition->text(), QString(30, QLatin1Char('x')));
        condition->clear();
        pasteInto(condition, QString(21, QLatin1Char('x')) + kEmoji.repeated(10));
        QCOMPARE(condition->text(), QString(21, QLatin1Char('x')) + kEmoji.repeated(4));

        QTest::mouseClick(s.ui().REG_BTN, Qt::LeftButton);
        QCOMPARE(*s.env.db().findDay(kToday)->CONDITION, QString(21, QLatin1Char('x')) + kEmoji.repeated(4));
    }

    // The diary's 500-unit limit cuts what goes in beyond it, never half a character.
    void diaryLimitKeepsCharactersWhole()
    {
        Shown s;
        QVERIFY(s.start());
        QPlainTextEdit *diary = s.ui().DIARY_TEXT;
        diary->setFocus();

        diary->insertPlainText(QString(499, QLatin1Char('x')));
        typeCharacter(diary, kEmoji);
        QCOMPARE(diary->toPlainText(), QString(499, QLatin1Char('x')));

        diary->clear();
        diary->insertPlainText(QString(498, QLatin1Char('x')));
        typeCharacter(diary, kEmoji);
        QCOMPARE(diary->toPlainText(), QString(498, QLatin1Char('x')) + kEmoji);

        // Cut where it went in: the cut would start inside the inserted emoji, so the
        // emoji goes whole and the text after it stays.
        diary->clear();
        diary->insertPlainText(kEmoji + QString(497, QLatin1Char('x')));
        QTextCursor c = diary->textCursor();
        c.setPosition(2);
        diary->setTextCursor(c);
        diary->insertPlainText(kEmoji + QStringLiteral("y"));
        QCOMPARE(diary->toPlainText(), kEmoji + QString(497, QLatin1Char('x')));

        // A long paste: the cut falls inside a pair and takes it whole.
        diary->clear();
        diary->insertPlainText(QStringLiteral("x") + kEmoji.repeated(400));
        QCOMPARE(diary->toPlainText(), QStringLiteral("x") + kEmoji.repeated(249));

        // Put in by the program beyond the limit: cut from the start, whole.
        diary->setPlainText(kEmoji.repeated(250) + QStringLiteral("z"));
        QVERIFY(wholeCharacters(diary->toPlainText()));
        QVERIFY(diary->toPlainText().size() <= DayEditor::kDiaryMaxLength);
        QVERIFY(diary->toPlainText().endsWith(QStringLiteral("z")));

        diary->setPlainText(QStringLiteral("x") + kEmoji.repeated(249));
        QTest::mouseClick(s.ui().REG_BTN, Qt::LeftButton);
        QCOMPARE(*s.env.db().findDay(kToday)->DIARY, QStringLiteral("x") + kEmoji.repeated(249));
    }

    // Odd answers to the cycle length box: stored as typed (narrowed to half width),
    // refused with the command's message, or the conversion's error; never half stored.
    void cycleInputs_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("stored");

        const QString notNumber = QStringLiteral("数値を入力して下さい。");
        const QString invalid = QStringLiteral("数値が不正です。");
        const QString warn = QStringLiteral("エラーです！");
        const QString pg = QStringLiteral("PG-Error");

        QTest::newRow("twenty digits") << "99999999999999999999" << kOverflow << pg << "28";
        QTest::newRow("400 digits") << QString(400, QLatin1Char('9')) << kOverflow << pg << "28";
        QTest::newRow("negative huge") << "-99999999999999999999" << kOverflow << pg << "28";
        QTest::newRow("32768") << "32768" << kOverflow << pg << "28";
        QTest::newRow("32767") << "32767" << invalid << warn << "28";
        QTest::newRow("-32768") << "-32768" << invalid << warn << "28";
        QTest::newRow("tiny") << QStringLiteral("0.") + QString(400, QLatin1Char('0')) + QStringLiteral("1") << invalid
                              << warn << "28";
        QTest::newRow("long zeros then 30") << QString(5000, QLatin1Char('0')) + QStringLiteral("30") << QString()
                                            << QString() << QString(5000, QLatin1Char('0')) + QStringLiteral("30");
        QTest::newRow("blanks") << "   " << notNumber << warn << "28";
        QTest::newRow("full-width blank") << QStringLiteral("　") << notNumber << warn << "28";
        QTest::newRow("blanks around") << "  30  " << QString() << QString() << "  30  ";
        QTest::newRow("full-width blanks around") << QStringLiteral("　３０　") << QString() << QString() << " 30 ";
        QTest::newRow("full-width half") << QStringLiteral("３０．５") << QString() << QString() << "30.5";
        QTest::newRow("exponent") << "3e1" << notNumber << warn << "28";
        QTest::newRow("huge exponent") << "1e999" << notNumber << warn << "28";
        QTest::newRow("double minus") << "--30" << notNumber << warn << "28";
        QTest::newRow("lone point") << "." << notNumber << warn << "28";
        QTest::newRow("group separator") << "3,0" << notNumber << warn << "28";
        QTest::newRow("NUL after") << QStringLiteral("30") + QChar(0) << notNumber << warn << "28";
        QTest::newRow("newline after") << "30\n" << QString() << QString() << "30\n";
        QTest::newRow("emoji") << kEmoji << notNumber << warn << "28";
        QTest::newRow("Arabic-Indic digits") << QStringLiteral("\u0663\u0660") << notNumber << warn << "28";
    }
    void cycleInputs()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, title);
        QFETCH(QString, stored);

        TestEnv env(QDateTime(kToday, QTime(9, 30)));
        env.setCycleSetting(QStringLiteral("28"));
        {
            auto form = env.makeForm();
            env.dialogs.clear();
            env.dialogs.inputs << typed;
            QTest::mouseClick(form->ui().SET_BTN, Qt::LeftButton);
            if (message.isEmpty()) {
                QCOMPARE(env.dialogs.shown.size(), 0);
            } else {
                QCOMPARE(env.dialogs.shown.size(), 1);
                QCOMPARE(env.dialogs.last().text, message);
                QCOMPARE(env.dialogs.last().title, title);
            }
            QCOMPARE(env.cycleSetting(), stored);
            QCOMPARE(form->state().G_CYCLE_DAYS, stored);
        }
        // The next start reads back what was stored and counts with it.
        env.dialogs.clear();
        auto again = env.makeForm();
        QCOMPARE(again->state().G_CYCLE_DAYS, stored);
        QCOMPARE(again->panelText(1), QStringLiteral("月経周期：　") + stored + QStringLiteral("日"));
        QCOMPARE(env.dialogs.shown.size(), 0);
    }
};

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
