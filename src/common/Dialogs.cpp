#include "Dialogs.h"

#include "Conversions.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

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

Dialogs::PreviewAnswer QtDialogs::importPreview(QWidget *parent, const QString &title, const ImportPreview &preview)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("文字ｺｰﾄﾞ：%1\n新しく登録する日：%2 日分\n登録済みの日：%3 日分")
                                     .arg(preview.encoding)
                                     .arg(preview.newDays)
                                     .arg(preview.storedDays)));
    if (preview.laterCount > 0) {
        // Such a day is most often a typing error in the year; she should see it before it is stored.
        QString days = preview.laterDays.join(QStringLiteral("、"));
        if (preview.laterCount > preview.laterDays.size())
            days += QStringLiteral(" ほか");
        auto *later
            = new QLabel(QStringLiteral("今日より後の日付が %1 日分あります。日付に誤りがないか確かめて下さい。\n%2")
                             .arg(preview.laterCount)
                             .arg(days));
        later->setStyleSheet(QStringLiteral("color: #b00000;"));
        later->setWordWrap(true);
        layout->addWidget(later);
    }
    layout->addWidget(new QLabel(QStringLiteral("最初の %1 行は、このとおりに登録します：").arg(preview.rows.size())));

    auto *table = new QTableWidget(int(preview.rows.size()), int(preview.columns.size()), &dialog);
    table->setHorizontalHeaderLabels(preview.columns);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    for (int r = 0; r < preview.rows.size(); ++r) {
        for (int c = 0; c < preview.rows.at(r).size(); ++c) {
            const QString &text = preview.rows.at(r).at(c);
            auto *item = new QTableWidgetItem(text);
            item->setToolTip(text);
            table->setItem(r, c, item);
        }
    }
    table->resizeColumnsToContents();
    // A long text is cut short with an ellipsis (its cell's tip holds all of it), so that
    // every column stays in sight.
    for (int c = 0; c < table->columnCount(); ++c)
        table->setColumnWidth(c, std::min(table->columnWidth(c), 280));
    table->resizeRowsToContents();
    // The whole table where it fits in a modest width; a scroll bar beyond.
    const int width = table->horizontalHeader()->length() + 2 * table->frameWidth();
    const int height
        = table->horizontalHeader()->height() + table->verticalHeader()->length() + 2 * table->frameWidth();
    table->setMinimumWidth(std::min(width, 640));
    table->setFixedHeight(height + (width > 640 ? table->horizontalScrollBar()->sizeHint().height() : 0));
    layout->addWidget(table);

    auto *buttons = new QDialogButtonBox(&dialog);
    QPushButton *import = buttons->addButton(QStringLiteral("取り込む(&I)"), QDialogButtonBox::AcceptRole);
    if (!preview.otherEncoding.isEmpty()) {
        QPushButton *other = buttons->addButton(QStringLiteral("%1 として読む(&E)").arg(preview.otherEncoding),
                                                QDialogButtonBox::ActionRole);
        QObject::connect(other, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(2); });
    }
    buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    import->setDefault(true);
    import->setFocus();

    switch (dialog.exec()) {
    case QDialog::Accepted: return PreviewAnswer::Import;
    case 2: return PreviewAnswer::OtherEncoding;
    default: return PreviewAnswer::Cancel;
    }
}

namespace {

class QtProgress final : public Dialogs::Progress
{
public:
    QtProgress(QWidget *parent, const QString &text, const QString &title, qint64 total)
        : m_dialog(text, QStringLiteral("ｷｬﾝｾﾙ"), 0, kSteps, parent), m_total(std::max<qint64>(total, 1))
    {
        // Every window waits, so that nothing reads the diary while the work has it.
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setWindowTitle(title);
        m_dialog.setAutoReset(false);
        m_dialog.setMinimumDuration(500);
        m_dialog.setValue(0);
        m_shown.start();
    }

    bool advance(qint64 done) override
    {
        // The dialog handles the window's events each time it is given a value: a few
        // times a second keeps everything answering at next to no cost.
        if (m_shown.hasExpired(50)) {
            m_dialog.setValue(int(std::min(done, m_total) * kSteps / m_total));
            m_shown.start();
        }
        return !m_dialog.wasCanceled();
    }

private:
    static constexpr int kSteps = 1000;
    QProgressDialog m_dialog;
    qint64 m_total;
    QElapsedTimer m_shown;
};

} // namespace

std::unique_ptr<Dialogs::Progress> QtDialogs::progress(QWidget *parent, const QString &text, const QString &title,
                                                       qint64 total)
{
    return std::make_unique<QtProgress>(parent, text, title, total);
}

} // namespace nerina
