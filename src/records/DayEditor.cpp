#include "DayEditor.h"

#include "DiaryDb.h"
#include "TempEdit.h"
#include "shell/AppError.h"
#include "shell/Conversions.h"
#include "shell/Dialogs.h"
#include "shell/Form1.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>

namespace nerina {

namespace {

// A column without a value has no text form, so it cannot go into a box.
const QString kNullMessage = QStringLiteral("Null の使い方が不正です。");

QString plainDecimal(double value)
{
    // 36.5 stays "36.5" and 0 is "0": no padding, no fixed decimals.
    return QLocale::c().toString(value, 'g', 15);
}

// The diary as the user wrote it. The document's plain-text form would also turn a
// no-break space into a plain one; only the line breaks are made plain here.
QString diaryText(const QPlainTextEdit *box)
{
    QString text = box->document()->toRawText();
    for (QChar &c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QLatin1Char('\n');
    }
    return text;
}

} // namespace

DayEditor::DayEditor(Form1 &form) : m_form(form)
{
    const Form1Ui &ui = m_form.ui();
    // The temperature box's formatted display is not an edit; only its value counts.
    connect(ui.TEMP_TEXT, &TempEdit::rawTextChanged, this, &DayEditor::markDirty);
    connect(ui.CONDITION_TEXT, &QLineEdit::textChanged, this, &DayEditor::markDirty);
    m_conditionLimit = new TypingLimit(kConditionMaxLength, ui.CONDITION_TEXT);
    connect(ui.DIARY_TEXT, &QPlainTextEdit::textChanged, this, [this] {
        limitDiaryLength();
        markDirty();
    });
    connect(ui.GUEST_CHK, &QCheckBox::toggled, this, &DayEditor::markDirty);
    connect(ui.LOVE_CHK, &QCheckBox::toggled, this, &DayEditor::markDirty);

    // Enter walks from the temperature (checked on the way) to the condition and on to
    // the diary. returnPressed comes from within the box's own key handling, so the key
    // itself is neither swallowed nor changed.
    connect(ui.TEMP_TEXT, &QLineEdit::returnPressed, this, [this] {
        if (CheckTemperature())
            m_form.ui().CONDITION_TEXT->setFocus(Qt::OtherFocusReason);
    });
    connect(ui.CONDITION_TEXT, &QLineEdit::returnPressed, this, [this] {
        m_form.ui().DIARY_TEXT->setFocus(Qt::OtherFocusReason);
    });
}

void DayEditor::markDirty()
{
    m_form.state().G_DIRTY = true;
}

void DayEditor::limitDiaryLength()
{
    // What the user types or pastes beyond the limit is cut off where it went in. A text
    // loaded from the diary is shown whole, so that loading never loses anything.
    QPlainTextEdit *box = m_form.ui().DIARY_TEXT;
    if (m_loading)
        return;
    const int excess = box->document()->characterCount() - 1 - kDiaryMaxLength;
    if (excess <= 0)
        return;
    QTextCursor cursor = box->textCursor();
    const int end = cursor.position();
    int start = end >= excess ? end - excess : 0;
    int stop = start + excess;
    // Never cut a character beyond the basic plane (an emoji) in half: the cut widens
    // to take the whole of it.
    const QString whole = box->document()->toRawText();
    const auto splitsPair = [&whole](int at) {
        return at > 0 && at < whole.size() && whole[at].isLowSurrogate() && whole[at - 1].isHighSurrogate();
    };
    if (splitsPair(start))
        --start;
    if (splitsPair(stop))
        ++stop;
    QTextCursor cut(box->document());
    cut.setPosition(start);
    cut.setPosition(stop, QTextCursor::KeepAnchor);
    cut.removeSelectedText(); // runs this handler again, then within the limit
}

void DayEditor::DTPicker1_Change()
{
    SharedState &state = m_form.state();
    if (!state.G_READY)
        return;
    const Form1Ui &ui = m_form.ui();
    try {
        if (state.G_DIRTY) {
            const Dialogs::Answer answer = m_form.context().dialogs.question(
                &m_form, QStringLiteral("ﾃﾞｰﾀが変更されています。保存しますか？"), QStringLiteral("保存確認"));
            if (answer == Dialogs::Answer::Yes && registerDay() == SaveOutcome::Failed) {
                // The edits could not be kept: stay on the day being left, so that they
                // are not thrown away by loading the new day.
                const QSignalBlocker blocker(ui.DTPicker1);
                ui.DTPicker1->setDate(state.G_SEL_DATE);
                return;
            }
        }
        state.G_SEL_DATE = ui.DTPicker1->date();
        LoadDayRecord();
        // The load's writes into the controls count as edits; they are not.
        state.G_DIRTY = false;
    } catch (const AppError &error) {
        m_form.showPgError(error.message());
    }
}

void DayEditor::REG_BTN_Click()
{
    registerDay();
}

SaveOutcome DayEditor::registerDay()
{
    const SaveOutcome outcome = SaveDayRecord();
    m_form.setPanelText(2, m_form.ForecastNextPeriod());
    return outcome;
}

void DayEditor::LoadDayRecord()
{
    const Form1Ui &ui = m_form.ui();
    const QScopedValueRollback loading(m_loading, true);
    m_loaded.reset();
    try {
        const std::optional<DayRecord> row = openedDiary(m_form.state().G_DB).findDay(m_form.state().G_SEL_DATE);
        if (!row) {
            ui.TEMP_TEXT->setRawText(QString());
            m_conditionLimit->setWholeText(QString());
            ui.DIARY_TEXT->setPlainText(QString());
            ui.LOVE_CHK->setChecked(false);
            ui.GUEST_CHK->setChecked(false);
        } else {
            // Every text is shown whole, however long: the limits are for typing.
            if (!row->TEMP)
                throw AppError(kNullMessage);
            ui.TEMP_TEXT->setRawText(plainDecimal(*row->TEMP));
            if (!row->CONDITION)
                throw AppError(kNullMessage);
            m_conditionLimit->setWholeText(*row->CONDITION);
            if (!row->DIARY)
                throw AppError(kNullMessage);
            ui.DIARY_TEXT->setPlainText(*row->DIARY);
            ui.LOVE_CHK->setChecked(row->LOVE);
            ui.GUEST_CHK->setChecked(row->GUEST);
            m_loaded = Loaded{*row, ui.TEMP_TEXT->rawText(), ui.CONDITION_TEXT->text(), diaryText(ui.DIARY_TEXT)};
        }
    } catch (const AppError &error) {
        m_form.showPgError(error.message());
    }
}

DayRecord DayEditor::recordFromControls() const
{
    const Form1Ui &ui = m_form.ui();
    const QDate day = m_form.state().G_SEL_DATE;
    const Loaded *loaded = m_loaded && m_loaded->row.DAT_DATE == day ? &*m_loaded : nullptr;

    DayRecord record;
    record.DAT_DATE = day;
    // Stored as typed, unchecked: only a text that is no number at all is refused.
    const QString temp = ui.TEMP_TEXT->rawText();
    if (loaded && temp == loaded->temp)
        record.TEMP = loaded->row.TEMP;
    else
        record.TEMP = temp.isEmpty() ? 0.0 : numericValue(temp);
    const QString condition = ui.CONDITION_TEXT->text();
    record.CONDITION = loaded && condition == loaded->condition ? loaded->row.CONDITION : condition;
    const QString diary = diaryText(ui.DIARY_TEXT);
    record.DIARY = loaded && diary == loaded->diary ? loaded->row.DIARY : diary;
    record.LOVE = ui.LOVE_CHK->isChecked();
    record.GUEST = ui.GUEST_CHK->isChecked();
    return record;
}

SaveOutcome DayEditor::SaveDayRecord()
{
    SharedState &state = m_form.state();
    const auto overwrite = [this] {
        return m_form.context().dialogs.question(&m_form, QStringLiteral("上書きしますか？"),
                                                 QStringLiteral("Nerina's Checker"))
               == Dialogs::Answer::Yes;
    };
    try {
        DiaryDb &db = openedDiary(state.G_DB);
        const DayRecord record = recordFromControls();
        bool covered = false;
        if (db.hasDay(state.G_SEL_DATE)) {
            if (!overwrite())
                return SaveOutcome::Declined;
            covered = true;
        }
        // The write looks again inside its own transaction: a row that another program
        // wrote since is not replaced without the question.
        if (!db.saveDay(record, covered ? DiaryDb::Existing::Replace : DiaryDb::Existing::Keep)) {
            if (!overwrite())
                return SaveOutcome::Declined;
            db.saveDay(record, DiaryDb::Existing::Replace);
        }
        state.G_DIRTY = false;
        return SaveOutcome::Stored;
    } catch (const AppError &error) {
        m_form.showPgError(error.message());
        return SaveOutcome::Failed;
    }
}

bool DayEditor::CheckTemperature()
{
    TempEdit *box = m_form.ui().TEMP_TEXT;
    Dialogs &dialogs = m_form.context().dialogs;
    const QString title = QStringLiteral("エラー！");
    const QString text = box->rawText();
    if (!isNumeric(text)) {
        dialogs.message(&m_form, QStringLiteral("数値を入力して下さい！"), Dialogs::Icon::Critical,
                        Dialogs::Buttons::Ok, title);
        box->setFocus(Qt::OtherFocusReason);
        return false;
    }
    const double t = numericValue(text);
    if (t < 34.00 || t > 43) {
        dialogs.message(&m_form, QStringLiteral("34.00℃～43℃の間で入力して下さい。"), Dialogs::Icon::Critical,
                        Dialogs::Buttons::Ok, title);
        box->setFocus(Qt::OtherFocusReason);
        return false;
    }
    return true;
}

} // namespace nerina
