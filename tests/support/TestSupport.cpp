#include "TestSupport.h"

#include "DiaryFile.h"
#include "records/DiaryDb.h"
#include "shell/Form1.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSettings>
#include <QTest>

namespace nerina {

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

QString ScriptedDialogs::input(QWidget *, const QString &prompt, const QString &title, const QString &defaultText)
{
    inputCalls.append({prompt, title, defaultText});
    return inputs.isEmpty() ? QString() : inputs.takeFirst();
}

QString ScriptedDialogs::saveFileName(QWidget *, const QString &title, const QString &path, const QString &filter)
{
    fileCalls.append({true, title, path, filter});
    return saveFileNames.isEmpty() ? QString() : saveFileNames.takeFirst();
}

QString ScriptedDialogs::openFileName(QWidget *, const QString &title, const QString &path, const QString &filter)
{
    fileCalls.append({false, title, path, filter});
    return openFileNames.isEmpty() ? QString() : openFileNames.takeFirst();
}

QStringList ScriptedDialogs::texts() const
{
    QStringList out;
    for (const Message &m : shown)
        out << m.text;
    return out;
}

void ScriptedDialogs::clear()
{
    shown.clear();
    answers.clear();
    inputs.clear();
    inputCalls.clear();
    unscriptedQuestions = 0;
    saveFileNames.clear();
    openFileNames.clear();
    fileCalls.clear();
}

bool FakePrinter::print(const QImage &image, QString *error)
{
    if (whilePrinting)
        whilePrinting();
    if (fail) {
        if (error)
            *error = failure;
        return false;
    }
    printed.append(image);
    return true;
}

TestEnv::TestEnv(const QDateTime &now, bool withDatabase) : clock(now)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
    clearCycleSetting();
    if (withDatabase) {
        QString error;
        if (createDiaryFile(QStringLiteral(NERINA_SCHEMA_PATH), dbPath(), &error) != CreateResult::Created)
            qFatal("cannot create the test diary: %s", qPrintable(error));
    }
}

TestEnv::~TestEnv() = default;

QString TestEnv::dbPath() const { return m_dir.filePath(QStringLiteral("nerina.mdb")); }

DiaryDb &TestEnv::db()
{
    if (!m_db)
        m_db = std::make_unique<DiaryDb>(dbPath());
    return *m_db;
}

void TestEnv::setCycleSetting(const QString &value)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("NERINAS"));
    s.setValue(QStringLiteral("G_CYCLE/DATA"), value);
    s.sync();
}

QString TestEnv::settingsFile() const { return m_config.filePath(QStringLiteral("NERINAS.conf")); }

void TestEnv::clearCycleSetting()
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("NERINAS"));
    s.remove(QStringLiteral("G_CYCLE/DATA"));
    s.sync();
}

QString TestEnv::cycleSetting() const
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("NERINAS"));
    const QVariant v = s.value(QStringLiteral("G_CYCLE/DATA"));
    return v.isValid() ? v.toString() : QStringLiteral("<absent>");
}

std::unique_ptr<Form1> TestEnv::makeForm(bool load)
{
    auto form = std::make_unique<Form1>(AppContext {dialogs, clock, folder(), printer});
    if (load)
        form->Form_Load();
    return form;
}

void typeText(QWidget *widget, const QString &text)
{
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

bool ShownForm::start()
{
    form = env.makeForm();
    form->show();
    return QTest::qWaitForWindowActive(form.get());
}

int ShownForm::rowCount() { return int(env.db().daysFrom(QDate(1900, 1, 1)).size()); }

DayRecord makeDay(const QDate &day, double temp, const QString &condition, const QString &diary, bool guest, bool love)
{
    DayRecord r;
    r.DAT_DATE = day;
    r.TEMP = temp;
    r.CONDITION = condition;
    r.DIARY = diary;
    r.GUEST = guest;
    r.LOVE = love;
    return r;
}

} // namespace nerina
