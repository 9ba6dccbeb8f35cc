#include "TempEdit.h"

#include "shell/Conversions.h"

#include <QKeyEvent>

namespace nerina {

TempEdit::TempEdit(QWidget *parent) : QLineEdit(parent)
{
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
    const QString clipped = text.left(kMaxLength);
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
