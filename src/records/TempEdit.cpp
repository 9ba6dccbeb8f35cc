#include "TempEdit.h"

#include "shell/Conversions.h"

#include <QKeyEvent>

namespace nerina {

QValidator::State WholeCharacters::validate(QString &input, int &pos) const
{
    for (qsizetype i = 0; i < input.size();) {
        const bool pairStart = input[i].isHighSurrogate() && i + 1 < input.size() && input[i + 1].isLowSurrogate();
        if (pairStart) {
            i += 2;
        } else if (input[i].isSurrogate()) {
            input.remove(i, 1);
            if (pos > i)
                --pos;
        } else {
            ++i;
        }
    }
    return Acceptable;
}

TempEdit::TempEdit(QWidget *parent) : QLineEdit(parent)
{
    setValidator(new WholeCharacters(this));
    setMaxLength(kMaxLength);
    connect(this, &QLineEdit::textChanged, this, &TempEdit::onTextChanged);
    showFormatted();
}

QString TempEdit::displayText(const QString &raw)
{
    if (!isNumeric(raw))
        return raw;
    try {
        return QLocale::c().toString(numericValue(raw), 'f', 2);
    } catch (...) {
        return raw;
    }
}

void TempEdit::setRawText(const QString &text)
{
    // The same rules as for typing: whole characters only, at most kMaxLength units.
    QString clipped = text;
    int position = 0;
    WholeCharacters().validate(clipped, position);
    clipped.truncate(kMaxLength);
    if (!clipped.isEmpty() && clipped.back().isHighSurrogate())
        clipped.chop(1);
    if (m_showingRaw) {
        setText(clipped); // onTextChanged records it and reports the change
        return;
    }
    const bool changed = clipped != m_raw;
    m_raw = clipped;
    showFormatted();
    if (changed)
        emit rawTextChanged(m_raw);
}

void TempEdit::showRaw()
{
    if (m_showingRaw)
        return;
    m_switching = true;
    setMaxLength(kMaxLength);
    setText(m_raw);
    m_switching = false;
    m_showingRaw = true;
}

void TempEdit::showFormatted()
{
    m_switching = true;
    // The formatted form may be longer than what can be typed (100 shows as 100.00).
    setMaxLength(32767);
    setText(displayText(m_raw));
    m_switching = false;
    m_showingRaw = false;
}

void TempEdit::onTextChanged(const QString &text)
{
    if (m_switching || text == m_raw)
        return;
    if (!m_showingRaw) {
        // Text that came in without a key press while the formatted form was shown
        // (pasted or dropped): what the box holds now is the value, under the same limit
        // as typing.
        m_switching = true;
        setMaxLength(kMaxLength);
        m_switching = false;
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
