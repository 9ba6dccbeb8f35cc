#pragma once

#include "common/Clock.h"
#include "common/Dialogs.h"
#include "graph/PrintTarget.h"
#include "records/DayRecord.h"
#include "shell/Form1.h"

#include <QImage>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace nerina {

class DiaryDb;
class Form1;
struct Form1Ui;

// Records every box the program shows and answers from a script. A question with no
// scripted answer is answered No and counted, so a test can see it was unexpected.
class ScriptedDialogs final : public Dialogs
{
public:
    QList<Message> shown;
    QList<Answer> answers; // next answers to Yes/No questions, in order
    QStringList inputs;    // next answers to input boxes ("" = Cancel)

    struct InputCall
    {
        QString prompt;
        QString title;
        QString defaultText;
    };
    QList<InputCall> inputCalls;
    int unscriptedQuestions = 0;

    QStringList saveFileNames; // next answers to save-file dialogs ("" = Cancel)
    QStringList openFileNames; // next answers to open-file dialogs ("" = Cancel)
    struct FileCall
    {
        bool save = false;
        QString title;
        QString path;
        QString filter;
    };
    QList<FileCall> fileCalls;

    QString input(QWidget *parent, const QString &prompt, const QString &title, const QString &defaultText) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &path, const QString &filter) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &path, const QString &filter) override;

    const Message &last() const { return shown.last(); }
    QStringList texts() const;
    void clear();

protected:
    Answer show(QWidget *parent, const Message &message) override;
};

class FixedClock final : public Clock
{
public:
    explicit FixedClock(QDateTime now) : m_now(std::move(now)) { }
    QDateTime now() const override { return m_now; }
    void set(QDateTime now) { m_now = std::move(now); }

private:
    QDateTime m_now;
};

class FakePrinter final : public PrintTarget
{
public:
    QList<QImage> printed;
    bool fail = false;
    QString failure = QStringLiteral("プリンタがありません。");
    std::function<void()> whilePrinting; // runs during print(), to look at the window then

    bool print(const QImage &image, QString *error) override;
};

// A temporary program folder with an empty diary file in it, a temporary settings store,
// a scripted dialog seam, a fixed clock and a fake printer.
class TestEnv
{
public:
    explicit TestEnv(const QDateTime &now = QDateTime(QDate(2026, 12, 6), QTime(9, 30)), bool withDatabase = true);
    ~TestEnv();

    QString folder() const { return m_dir.path(); }
    QString dbPath() const;

    // A second connection to the same diary file, for arranging and checking rows.
    DiaryDb &db();

    void setCycleSetting(const QString &value); // stores the per-user setting
    void clearCycleSetting();
    QString cycleSetting() const; // what is stored now ("<absent>" when absent)
    QString settingsFile() const; // where the settings store keeps it

    // Builds the main window on this folder; runs start-up when `load` is true.
    std::unique_ptr<Form1> makeForm(bool load = true);

    ScriptedDialogs dialogs;
    FixedClock clock;
    FakePrinter printer;

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_config;
    std::unique_ptr<DiaryDb> m_db;
};

// Types any text, Japanese included, as key presses into a widget (QTest::keyClicks
// only knows ASCII).
void typeText(QWidget *widget, const QString &text);

// The main window started on a TestEnv, shown and active, for tests that type.
struct ShownForm
{
    TestEnv env;
    std::unique_ptr<Form1> form;

    bool start();
    const Form1Ui &ui() const { return form->ui(); }
    int rowCount(); // rows in the diary file
};

DayRecord makeDay(const QDate &day, double temp = 0, const QString &condition = QString(),
                  const QString &diary = QString(), bool guest = false, bool love = false);

} // namespace nerina
