#pragma once

#include "AppError.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QWidget;

namespace nerina {

// Every message box and input box of the program goes through this seam, so that tests
// can script the answers and check what the user would have seen.
class Dialogs
{
public:
    enum class Icon { None, Critical, Question, Warning, Information };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    struct Message
    {
        QString text;
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        Answer defaultButton = Answer::Ok;
    };

    // The program's title, shown by every box that has no title of its own.
    static QString programTitle();
    // The folder a file dialog offers first: the user's documents folder, or home when there
    // is none.
    static QString documentsFolder();

    virtual ~Dialogs() = default;

    // An empty title stands for the program's title.
    Answer message(QWidget *parent, const QString &text, Icon icon, Buttons buttons, const QString &title = QString(),
                   Answer defaultButton = Answer::Ok);
    Answer question(QWidget *parent, const QString &text, const QString &title);
    void error(QWidget *parent, const QString &text, const QString &title);
    // The usual error box: critical-stop icon, OK, title "PG-Error".
    void pgError(QWidget *parent, const QString &text);
    // A plain box under the program's title: no icon, OK.
    void notice(QWidget *parent, const QString &text);

    // Returns the text entered, or the empty text when the user cancels.
    virtual QString input(QWidget *parent, const QString &prompt, const QString &title, const QString &defaultText) = 0;

    // The file to write or to read; `path` is the folder and name offered first and
    // `filter` the file types ("CSV (*.csv);;..."). The empty text when the user cancels,
    // which is all a seam without file dialogs ever answers.
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &path, const QString &filter);
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &path, const QString &filter);

    // One of `options`, `current` the one offered; Return takes it as it stands. The
    // index chosen, or -1 when the user cancels. A seam without dialogs takes `current`.
    virtual int choice(QWidget *parent, const QString &title, const QString &prompt, const QStringList &options,
                       int current);

    // What an import will store, shown before anything is written.
    struct ImportPreview
    {
        QString encoding;        // the encoding the file is read in
        QString otherEncoding;   // the one it could be read in instead; empty when its byte order mark settles it
        qint64 newDays = 0;      // days the diary does not hold yet
        qint64 storedDays = 0;   // days it already holds
        QStringList laterDays;   // the first days after today, as shown
        qint64 laterCount = 0;   // all of them
        QStringList columns;     // the headings of `rows`
        QList<QStringList> rows; // the first rows, as they will be stored
    };
    enum class PreviewAnswer { Import, OtherEncoding, Cancel };
    virtual PreviewAnswer importPreview(QWidget *parent, const QString &title, const ImportPreview &preview) = 0;

    // A long piece of work that the user sees going on and may cancel.
    class Progress
    {
    public:
        virtual ~Progress() = default;
        // Shows that `done` of the whole is done; false once the user has cancelled.
        virtual bool advance(qint64 done) = 0;
    };
    // Shown until the returned object is gone (and only when the work takes a while).
    virtual std::unique_ptr<Progress> progress(QWidget *parent, const QString &text, const QString &title, qint64 total)
        = 0;

protected:
    virtual Answer show(QWidget *parent, const Message &message) = 0;
};

// Runs `work` under the usual error trap: an AppError ends it and is shown in the
// "PG-Error" box. Returns whether `work` ran to its end.
template<typename Work> bool trapped(Dialogs &dialogs, QWidget *parent, Work &&work)
{
    try {
        work();
        return true;
    } catch (const AppError &error) {
        dialogs.pgError(parent, error.message());
        return false;
    }
}

// The real thing: the toolkit's standard message, input, file and progress boxes, and the
// import's preview.
class QtDialogs final : public Dialogs
{
public:
    QString input(QWidget *parent, const QString &prompt, const QString &title, const QString &defaultText) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &path, const QString &filter) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &path, const QString &filter) override;
    int choice(QWidget *parent, const QString &title, const QString &prompt, const QStringList &options,
               int current) override;
    PreviewAnswer importPreview(QWidget *parent, const QString &title, const ImportPreview &preview) override;
    std::unique_ptr<Progress> progress(QWidget *parent, const QString &text, const QString &title,
                                       qint64 total) override;

protected:
    Answer show(QWidget *parent, const Message &message) override;
};

} // namespace nerina
