#include "Dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QStandardPaths>

namespace nerina {

QString Dialogs::programTitle() { return QStringLiteral("Nerina's Diary"); }

QString Dialogs::documentsFolder()
{
    // A folder that is not there would send the dialog to the working folder, which may be
    // the program's own, beside the diary.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

Dialogs::Answer Dialogs::message(QWidget *parent, const QString &text, Icon icon, Buttons buttons, const QString &title,
                                 Answer defaultButton)
{
    Message m;
    m.text = text;
    m.title = title.isEmpty() ? programTitle() : title;
    m.icon = icon;
    m.buttons = buttons;
    m.defaultButton = defaultButton;
    return show(parent, m);
}

Dialogs::Answer Dialogs::question(QWidget *parent, const QString &text, const QString &title)
{
    return message(parent, text, Icon::Question, Buttons::YesNo, title, Answer::Yes);
}

void Dialogs::error(QWidget *parent, const QString &text, const QString &title)
{
    message(parent, text, Icon::Critical, Buttons::Ok, title);
}

void Dialogs::pgError(QWidget *parent, const QString &text) { error(parent, text, QStringLiteral("PG-Error")); }

void Dialogs::notice(QWidget *parent, const QString &text) { message(parent, text, Icon::None, Buttons::Ok); }

QString Dialogs::saveFileName(QWidget *, const QString &, const QString &, const QString &) { return QString(); }

QString Dialogs::openFileName(QWidget *, const QString &, const QString &, const QString &) { return QString(); }

Dialogs::Answer QtDialogs::show(QWidget *parent, const Message &m)
{
    QMessageBox box(parent);
    box.setWindowTitle(m.title);
    box.setText(m.text);
    switch (m.icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    }
    if (m.buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(m.defaultButton == Answer::No ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (m.buttons == Buttons::Ok)
        return Answer::Ok;
    // Any answer but Yes counts as No, the close box included.
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString QtDialogs::input(QWidget *parent, const QString &prompt, const QString &title, const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

QString QtDialogs::saveFileName(QWidget *parent, const QString &title, const QString &path, const QString &filter)
{
    // The dialog itself asks before an existing file is replaced.
    return QFileDialog::getSaveFileName(parent, title, path, filter);
}

QString QtDialogs::openFileName(QWidget *parent, const QString &title, const QString &path, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, path, filter);
}

} // namespace nerina
