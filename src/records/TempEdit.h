#pragma once

#include <QLineEdit>
#include <QValidator>

namespace nerina {

// A one-line box with a length limit counts UTF-16 units, so a character beyond the basic
// plane (an emoji) that no longer fits is cut in half when typed or pasted at the limit.
// This validator drops such a half, so the box only ever holds whole characters: the
// character that does not fit is left out whole.
class WholeCharacters final : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

// The temperature box: at most 5 characters as typed, shown with two decimals ("0.00")
// while it does not have the focus. Showing the formatted text is not an edit: only
// rawTextChanged() reports changes of the value, by the user or by the program.
class TempEdit final : public QLineEdit
{
    Q_OBJECT
public:
    static constexpr int kMaxLength = 5;

    explicit TempEdit(QWidget *parent = nullptr);

    QString rawText() const { return m_raw; }
    void setRawText(const QString &text);

    // The text shown while the box does not have the focus.
    static QString displayText(const QString &raw);

signals:
    void rawTextChanged(const QString &text);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    void showRaw();
    void showFormatted();
    void onTextChanged(const QString &text);

    QString m_raw;
    bool m_showingRaw = false;
    bool m_switching = false;
};

} // namespace nerina
