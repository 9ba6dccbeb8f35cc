#include "TestWindows.h"

namespace nerina::test {

Dialogs::Answer ScriptedDialogs::show(QWidget *, const Message &message)
{
    shown.append(message);
    if (message.buttons == Buttons::Ok)
        return Answer::Ok;
    if (answers.isEmpty()) {
        ++unscriptedQuestions;
        return Answer::No;
    }
    return answers.takeFirst();
}

QString ScriptedDialogs::input(QWidget *, const QString &, const QString &, const QString &defaultText)
{
    inputDefaults.append(defaultText);
    return inputs.isEmpty() ? QString() : inputs.takeFirst();
}

Dialogs::PreviewAnswer ScriptedDialogs::importPreview(QWidget *, const QString &, const ImportPreview &preview)
{
    previews.append(preview);
    if (previewAnswers.isEmpty()) {
        ++unscriptedQuestions;
        return PreviewAnswer::Cancel;
    }
    return previewAnswers.takeFirst();
}

std::unique_ptr<Dialogs::Progress> ScriptedDialogs::progress(QWidget *, const QString &, const QString &, qint64)
{
    struct Scripted final : Progress
    {
        ScriptedDialogs &dialogs;
        qsizetype index;
        Scripted(ScriptedDialogs &d, qsizetype i) : dialogs(d), index(i) { }
        bool advance(qint64 done) override
        {
            dialogs.progressDone[index] = done;
            const qint64 cancel = dialogs.cancelAt.value(index, -1);
            return cancel < 0 || done < cancel;
        }
    };
    progressDone.append(0);
    return std::make_unique<Scripted>(*this, progressDone.size() - 1);
}

QStringList ScriptedDialogs::texts() const
{
    QStringList out;
    for (const Message &m : shown)
        out << m.text;
    return out;
}

bool FakePrinter::print(const QImage &image, QString *error)
{
    if (whilePrinting)
        whilePrinting();
    if (fail) {
        *error = QStringLiteral("プリンタがありません。");
        return false;
    }
    printed.append(image);
    return true;
}

bool ShownForm::start(bool show)
{
    form = std::make_unique<Form1>(
        AppContext {dialogs, clock, diary.folder(), printer, diary.folder() + QStringLiteral("/nerina")});
    const bool loaded = form->Form_Load();
    if (!show)
        return loaded;
    form->show();
    return loaded && QTest::qWaitForWindowActive(form.get());
}

void typeText(QWidget *widget, const QString &text)
{
    widget->setFocus();
    // ASCII goes as real keys; anything else as the text of a key event, one whole
    // character (both halves of a surrogate pair) at a time, as an input method sends it.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, char(c.unicode()));
            continue;
        }
        QString character(c);
        if (c.isHighSurrogate() && i + 1 < text.size())
            character += text.at(++i);
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, character, Qt::NoModifier);
    }
}

} // namespace nerina::test
