#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace nerina {

// The about window; Return presses OK and Esc closes it.
class Form2 final : public QDialog
{
    Q_OBJECT
public:
    explicit Form2(QWidget *parent);

    void Command1_Click();

    QLabel *Picture1() const { return m_picture; }
    QLabel *Label1() const { return m_label1; }
    QLabel *Label2() const { return m_label2; }
    QLabel *Label3() const { return m_label3; }
    QPushButton *Command1() const { return m_ok; }

private:
    QLabel *m_picture = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    QPushButton *m_ok = nullptr;
};

} // namespace nerina
