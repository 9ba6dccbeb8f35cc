#pragma once

#include "TestDiary.h"
#include "common/Dialogs.h"
#include "graph/PrintTarget.h"
#include "history/HistoryTab.h"
#include "records/DayEditor.h"
#include "shell/Form1.h"

#include <QImage>
#include <QList>
#include <QStringList>

#include <functional>
#include <memory>

namespace nerina::test {

// Records every box the program shows and answers from a script. A question with no
// scripted answer is answered No and counted, so a test can see it was unexpected.
class ScriptedDialogs final : public Dialogs
{
public:
    QList<Message> shown;
    QList<Answer> answers;     // next answers to Yes/No questions, in order
    QStringList inputs;        // next answers to input boxes ("" = Cancel)
    QStringList inputDefaults; // the default text each input box offered
    QStringList fileNames;     // next answers to file dialogs ("" = Cancel)
    QList<int> choices;        // next answers to choices (-1 = Cancel); none takes the one offered
    QList<int> offeredChoices; // the option each choice offered

    QList<ImportPreview> previews;
    QList<PreviewAnswer> previewAnswers; // next answers to previews; none scripted: Cancel
    QList<qint64> cancelAt;              // per progress shown, in turn: where it is cancelled (-1: never)
    QList<qint64> progressDone;          // per progress shown: how far it got

    int unscriptedQuestions = 0;

    // Scripts the next answers from "YN" (Yes, No) and "IEC" (a preview's Import, Other
    // encoding, Cancel).
    void answer(const QString &script)
    {
        for (const QChar c : script) {
            if (c == u'Y' || c == u'N')
                answers << (c == u'Y' ? Answer::Yes : Answer::No);
            else
                previewAnswers << (c == u'I'   ? PreviewAnswer::Import
                                   : c == u'E' ? PreviewAnswer::OtherEncoding
                                               : PreviewAnswer::Cancel);
        }
    }

    QString input(QWidget *, const QString &prompt, const QString &title, const QString &defaultText) override;
    QStringList offered; // the folder and name each save dialog offered first
    QString saveFileName(QWidget *, const QString &, const QString &path, const QString &) override
    {
        offered << path;
        return nextFile();
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override { return nextFile(); }
    int choice(QWidget *, const QString &, const QString &, const QStringList &, int current) override
    {
        offeredChoices << current;
        return choices.isEmpty() ? current : choices.takeFirst();
    }
    QString nextFile() { return fileNames.isEmpty() ? QString() : fileNames.takeFirst(); }
    PreviewAnswer importPreview(QWidget *, const QString &, const ImportPreview &preview) override;
    std::unique_ptr<Progress> progress(QWidget *, const QString &, const QString &, qint64) override;

    const Message &last() const { return shown.last(); }
    QStringList texts() const;

protected:
    Answer show(QWidget *, const Message &message) override;
};

class FakePrinter final : public PrintTarget
{
public:
    QList<QImage> printed;
    bool fail = false;
    std::function<void()> whilePrinting; // runs during print(), to look at the window then

    bool print(const QImage &image, QString *error) override;
};

// The main window on a test diary with scripted dialogs, a fixed clock (2026-12-06 09:30)
// and a fake printer; start() runs start-up, shows it and waits until it is active.
struct ShownForm
{
    bool start(bool show = true);
    const Form1Ui &ui() const { return form->ui(); }

    TestDiary diary;
    ScriptedDialogs dialogs;
    FixedClock clock {QDateTime(QDate(2026, 12, 6), QTime(9, 30))};
    FakePrinter printer;
    std::unique_ptr<Form1> form;
};

// Types any text as key presses into a widget given the focus first: QTest::keyClicks knows only ASCII.
void typeText(QWidget *widget, const QString &text);

} // namespace nerina::test
