#pragma once

#include <QLineEdit>
#include <QValidator>

#include <utility>

namespace nerina {

// The length limit of a one-line box, for what the user types or pastes: an edit may
// not make the text longer than `limit` UTF-16 units, or than it already was, so a longer
// text that the program put in (a stored entry, shown whole) can be shortened but not
// lengthened. What does not fit is cut off the end of what went in, never half a
// character beyond the basic plane (an emoji); lone halves are dropped. The box's own
// maxLength would cut a stored text on setText, and would count an emoji as two.
class TypingLimit final : public QValidator
{
    Q_OBJECT
public:
    // Follows `box`'s text as its baseline and becomes its validator.
    TypingLimit(int limit, QLineEdit *box);

    State validate(QString &input, int &pos) const override;

    // Puts `text` into the box whole, as the program does when it loads an entry.
    void setWholeText(const QString &text);

    // Lone surrogate halves removed; everything else kept.
    static QString wholeCharacters(const QString &text);

    // The `excess` UTF-16 units that went in just before `end` (the cursor), widened so
    // that no character beyond the basic plane (an emoji) is cut in half: [start, stop).
    static std::pair<qsizetype, qsizetype> cutRange(const QString &text, qsizetype end, qsizetype excess);

private:
    QLineEdit *m_box;
    int m_limit;
    qsizetype m_baseline = 0;
    bool m_bypass = false;
};

// The temperature box: at most 5 characters as typed (a stored value is shown whole), shown with two decimals ("0.00")
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

    // The text shown while the box does not have the focus: a number with two decimals
    // when that loses nothing (36.5 shows as 36.50), else the text as it is (36.125).
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
    TypingLimit *m_limit = nullptr;
};

} // namespace nerina
