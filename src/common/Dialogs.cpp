#include "Dialogs.h"

#include "Conversions.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace nerina {

namespace {

// The file dialog's list in Japanese: the toolkit's file list gives sizes and dates in the
// system's locale, whatever the program's, and names a folder's type in English.
class JapaneseFileList final : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (!files || role != Qt::DisplayRole)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex file = mapToSource(index);
        const QLocale japanese = japaneseLocale();
        switch (index.column()) {
        case 1:
            return files->isDir(file)
                       ? QString()
                       : japanese.formattedDataSize(files->size(file), 1, QLocale::DataSizeTraditionalFormat);
        case 2:
            if (files->isDir(file))
                return QStringLiteral("フォルダ");
            break;
        case 3: return japanese.toString(files->lastModified(file), QLocale::ShortFormat);
        default: break;
        }
        return QIdentityProxyModel::data(index, role);
    }
};

// The toolkit's own dialog rather than the desktop's, which speaks the desktop's language.
QString chosenFile(QFileDialog &dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new JapaneseFileList(&dialog));
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

} // namespace

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

int Dialogs::choice(QWidget *, const QString &, const QString &, const QStringList &, int current) { return current; }

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
    QFileDialog dialog(parent, title, path, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    return chosenFile(dialog);
}

QString QtDialogs::openFileName(QWidget *parent, const QString &title, const QString &path, const QString &filter)
{
    QFileDialog dialog(parent, title, path, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosenFile(dialog);
}

int QtDialogs::choice(QWidget *parent, const QString &title, const QString &prompt, const QStringList &options,
                      int current)
{
    // The options as radio buttons one under the other, the one offered checked and
    // focused, so that the arrow keys move between them and Return takes the one checked.
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto *layout = new QVBoxLayout(&dialog);
    auto *label = new QLabel(prompt, &dialog);
    layout->addWidget(label);
    QButtonGroup group(&dialog);
    for (int i = 0; i < options.size(); ++i) {
        auto *option = new QRadioButton(options[i], &dialog);
        group.addButton(option, i);
        layout->addWidget(option);
        if (i == current) {
            option->setChecked(true);
            option->setFocus();
        }
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return dialog.exec() == QDialog::Accepted ? group.checkedId() : -1;
}

} // namespace nerina
