#include "TempEdit.h"

#include "common/Conversions.h"

#include <QKeyEvent>
#include <QScopedValueRollback>

#include <algorithm>

namespace nerina {

TypingLimit::TypingLimit(int limit, QLineEdit *box) : QValidator(box), m_box(box), m_limit(limit)
{
    m_baseline = box->text().size();
    connect(box, &QLineEdit::textChanged, this, [this](const QString &text) { m_baseline = text.size(); });
    box->setMaxLength(32767);
    box->setValidator(this);
}

namespace {

// Removes lone surrogate halves; a cursor behind one moves back with the text.
void dropLoneHalves(QString &text, int &pos)
{
    for (qsizetype i = 0; i < text.size();) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            i += 2;
        } else if (text[i].isSurrogate()) {
            text.remove(i, 1);
            if (pos > i)
                --pos;
        } else {
            ++i;
        }
    }
}

} // namespace

QString TypingLimit::wholeCharacters(const QString &text)
{
    QString out = text;
    int pos = 0;
    dropLoneHalves(out, pos);
    return out;
}

QValidator::State TypingLimit::validate(QString &input, int &pos) const
{
    dropLoneHalves(input, pos);
    if (m_bypass)
        return Acceptable;
    const qsizetype allowed = std::max<qsizetype>(m_limit, m_baseline);
    qsizetype excess = input.size() - allowed;
    if (excess <= 0)
        return Acceptable;
    // What went in ends at the cursor: cut its end, never half a character.
    const auto [start, stop] = cutRange(input, pos, excess);
    input.remove(start, stop - start);
    pos = int(start);
    return Acceptable;
}

std::pair<qsizetype, qsizetype> TypingLimit::cutRange(const QString &text, qsizetype end, qsizetype excess)
{
    const auto splitsPair = [&text](qsizetype at) {
        return at > 0 && at < text.size() && text[at].isLowSurrogate() && text[at - 1].isHighSurrogate();
    };
    qsizetype start = std::max<qsizetype>(end - excess, 0);
    qsizetype stop = start + excess;
    if (splitsPair(start))
        --start;
    if (splitsPair(stop))
        ++stop;
    return {start, stop};
}

void TypingLimit::setWholeText(const QString &text)
{
    const QScopedValueRollback bypass(m_bypass, true);
    m_box->setText(wholeCharacters(text));
}

TempEdit::TempEdit(QWidget *parent) : QLineEdit(parent)
{
    m_limit = new TypingLimit(kMaxLength, this);
    connect(this, &QLineEdit::textChanged, this, &TempEdit::onTextChanged);
    showFormatted();
}

QString TempEdit::displayText(const QString &raw)
{
    if (!isNumeric(raw))
        return raw;
    try {
        const double value = numericValue(raw);
        const QString formatted = QLocale::c().toString(value, 'f', 2);
        return numericValue(formatted) == value ? formatted : raw;
    } catch (...) {
        return raw;
    }
}

void TempEdit::setRawText(const QString &text)
{
    // Shown whole: the program sets what is stored, and a cut value would be saved back cut.
    const QString whole = TypingLimit::wholeCharacters(text);
    if (m_showingRaw) {
        m_limit->setWholeText(whole); // onTextChanged records it and reports the change
        return;
    }
    const bool changed = whole != m_raw;
    m_raw = whole;
    showFormatted();
    if (changed)
        emit rawTextChanged(m_raw);
}

void TempEdit::showRaw()
{
    if (m_showingRaw)
        return;
    m_switching = true;
    m_limit->setWholeText(m_raw);
    m_switching = false;
    m_showingRaw = true;
}

void TempEdit::showFormatted()
{
    m_switching = true;
    // The formatted form may be longer than what can be typed (100 shows as 100.00).
    m_limit->setWholeText(displayText(m_raw));
    m_switching = false;
    m_showingRaw = false;
}

void TempEdit::onTextChanged(const QString &text)
{
    if (m_switching || text == m_raw)
        return;
    if (!m_showingRaw) {
        // Text that came in without a key press while the formatted form was shown
        // (pasted or dropped), under the typing limit: what the box holds now is the value.
        m_showingRaw = true;
        m_raw = QLineEdit::text();
        emit rawTextChanged(m_raw);
        if (!hasFocus())
            showFormatted();
        return;
    }
    m_raw = text;
    emit rawTextChanged(m_raw);
}

void TempEdit::focusInEvent(QFocusEvent *event)
{
    showRaw();
    QLineEdit::focusInEvent(event);
}

void TempEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    showFormatted();
}

void TempEdit::keyPressEvent(QKeyEvent *event)
{
    showRaw();
    QLineEdit::keyPressEvent(event);
}

void TempEdit::inputMethodEvent(QInputMethodEvent *event)
{
    showRaw();
    QLineEdit::inputMethodEvent(event);
}

} // namespace nerina
