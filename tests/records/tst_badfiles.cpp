// Data files the program cannot use: each is refused with a clear box, nothing crashes,
// and the file is left exactly as it was, byte for byte and in its time stamp. Also rows
// that another tool wrote without the program's checks.
#include "DiaryFile.h"
#include "TestSupport.h"
#include "common/AppError.h"
#include "graph/FRM_DISP.h"
#include "history/FlexGrid.h"
#include "records/DiaryDb.h"
#include "records/TempEdit.h"
#include "shell/Form1.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

#include <sys/stat.h>

using namespace nerina;

namespace {

const QString kPgError = QStringLiteral("PG-Error");

// Everything that would show a write: the bytes, the time stamp to the nanosecond, the
// mode, and the files beside it (a journal left behind).
struct Snapshot
{
    QByteArray bytes;
    qint64 mtimeSec = 0;
    qint64 mtimeNsec = 0;
    unsigned mode = 0;
    QStringList folder;

    static Snapshot of(const QString &path)
    {
        Snapshot s;
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            s.bytes = f.readAll();
        struct stat st
        { };
        if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
            s.mtimeSec = st.st_mtim.tv_sec;
            s.mtimeNsec = st.st_mtim.tv_nsec;
            s.mode = st.st_mode & 07777;
        }
        s.folder = QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        return s;
    }
};

void compareSnapshots(const Snapshot &before, const Snapshot &after)
{
    QCOMPARE(after.folder, before.folder);
    QCOMPARE(after.bytes.size(), before.bytes.size());
    QVERIFY(after.bytes == before.bytes);
    QCOMPARE(after.mtimeSec, before.mtimeSec);
    QCOMPARE(after.mtimeNsec, before.mtimeNsec);
    QCOMPARE(after.mode, before.mode);
}

QString uniqueName() { return QUuid::createUuid().toString(QUuid::WithoutBraces); }

// Runs raw SQL on the file through a connection of its own, as another tool would.
void rawExec(const QString &path, const QStringList &statements)
{
    const QString name = uniqueName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        for (const QString &s : statements) {
            QSqlQuery q(db);
            QVERIFY2(q.exec(s), qPrintable(s + QLatin1Char(' ') + q.lastError().text()));
        }
    }
    QSqlDatabase::removeDatabase(name);
}

QString rawScalar(const QString &path, const QString &statement)
{
    const QString name = uniqueName();
    QString out = QStringLiteral("<none>");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(statement) && q.next())
                out = q.value(0).toString();
            else
                out = QStringLiteral("<error> ") + q.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return out;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
    f.close();
}

// A real diary with enough rows to fill many pages, cut off in the middle.
void writeTruncatedDiary(const QString &path)
{
    QString error;
    QVERIFY2(createDiaryFile(QStringLiteral(NERINA_SCHEMA_PATH), path, &error) == CreateResult::Created,
             qPrintable(error));
    {
        DiaryDb db(path);
        for (int i = 0; i < 300; ++i)
            db.saveDay(makeDay(QDate(2026, 1, 1).addDays(i), 36.0 + i % 100 / 100.0, QStringLiteral("体調%1").arg(i),
                               QString(400, QChar(u'あ' + i % 50))));
    }
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    const qint64 size = f.size();
    QVERIFY(size > 100 * 1024);
    QVERIFY(f.resize(size / 2));
}

enum class Bad { Empty, RandomBytes, Text, Truncated, NoTable, MissingColumns };

void makeBad(TestEnv &env, Bad kind)
{
    QFile::remove(env.dbPath());
    switch (kind) {
    case Bad::Empty: writeFile(env.dbPath(), QByteArray()); break;
    case Bad::RandomBytes: {
        QByteArray bytes(64 * 1024, '\0');
        QRandomGenerator rng(20261206);
        for (char &c : bytes)
            c = char(rng.bounded(256));
        writeFile(env.dbPath(), bytes);
        break;
    }
    case Bad::Text:
        writeFile(env.dbPath(), QStringLiteral("2026/12/06,36.5,元気,日記\r\n").toUtf8().repeated(200));
        break;
    case Bad::Truncated: writeTruncatedDiary(env.dbPath()); break;
    case Bad::NoTable:
        rawExec(env.dbPath(), {QStringLiteral("CREATE TABLE SOMETHING (A TEXT)"),
                               QStringLiteral("INSERT INTO SOMETHING VALUES ('x')")});
        break;
    case Bad::MissingColumns:
        rawExec(env.dbPath(), {QStringLiteral("CREATE TABLE DATA_FIL (DAT_DATE TEXT, TEMP REAL, CONDITION TEXT)"),
                               QStringLiteral("INSERT INTO DATA_FIL VALUES ('2026-12-06', 36.5, 'x')")});
        break;
    }
    QFile::setPermissions(env.dbPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// A connection of another program that holds the write lock until it is destroyed.
class LockHolder final
{
public:
    explicit LockHolder(const QString &path) : m_name(uniqueName())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        m_ok = db.open();
        QSqlQuery begin(db);
        m_ok = m_ok && begin.exec(QStringLiteral("BEGIN IMMEDIATE"));
        // Its own change, never committed, must not show up anywhere.
        QSqlQuery insert(db);
        m_ok = m_ok
               && insert.exec(
                   QStringLiteral("INSERT INTO DATA_FIL VALUES ('2026-12-01', 35.0, 'other', 'other', 0, 0)"));
    }
    ~LockHolder()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    bool ok() const { return m_ok; }

private:
    QString m_name;
    bool m_ok = false;
};

const ScriptedDialogs::Message *onlyPgError(const ScriptedDialogs &dialogs)
{
    if (dialogs.shown.size() != 1 || dialogs.shown.first().title != kPgError)
        return nullptr;
    return &dialogs.shown.first();
}

QString shownTexts(const ScriptedDialogs &dialogs)
{
    QStringList out;
    for (const auto &m : dialogs.shown)
        out << m.title + QLatin1String(": ") + m.text;
    return out.join(QLatin1String(" | "));
}

void typeTemperature(Form1 &form, const QString &text)
{
    form.ui().TEMP_TEXT->setFocus();
    form.ui().TEMP_TEXT->setRawText(text);
}

// Replaces the diary table by one that another tool made: no key, no checks.
void makeForeignTable(TestEnv &env, const QStringList &inserts)
{
    QStringList statements = {QStringLiteral("DROP TABLE DATA_FIL"),
                              QStringLiteral("CREATE TABLE DATA_FIL (DAT_DATE, TEMP, CONDITION, DIARY, GUEST, LOVE)")};
    for (const QString &values : inserts)
        statements << QStringLiteral("INSERT INTO DATA_FIL VALUES (%1)").arg(values);
    rawExec(env.dbPath(), statements);
}

QString cell(Form1 &form, int row, int col) { return form.ui().DATA_FLX->textMatrix(row, col); }

enum Col { ColTemp = 4, ColCondition = 5, ColMark = 6, ColLove = 7 };

} // namespace

class TestBadFiles final : public QObject
{
    Q_OBJECT
private slots:
    void refusedAtStartUpAndNeverWritten_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("zero bytes") << int(Bad::Empty) << QStringLiteral("データファイルに DATA_FIL 表がありません。");
        QTest::newRow("random bytes") << int(Bad::RandomBytes)
                                      << QStringLiteral("データファイルがデータベースの形式ではありません。");
        QTest::newRow("text file") << int(Bad::Text)
                                   << QStringLiteral("データファイルがデータベースの形式ではありません。");
        QTest::newRow("truncated diary") << int(Bad::Truncated) << QStringLiteral("データファイルが壊れています。");
        QTest::newRow("no DATA_FIL") << int(Bad::NoTable)
                                     << QStringLiteral("データファイルに DATA_FIL 表がありません。");
        QTest::newRow("missing columns") << int(Bad::MissingColumns)
                                         << QStringLiteral("DATA_FIL 表に DIARY 列がありません。");
    }

    void refusedAtStartUpAndNeverWritten()
    {
        QFETCH(int, kind);
        QFETCH(QString, message);
        TestEnv env;
        makeBad(env, Bad(kind));
        if (QTest::currentTestFailed())
            return;
        // Let a coarse file system clock tick, so that any write would show in the stamp.
        QTest::qWait(20);
        const Snapshot before = Snapshot::of(env.dbPath());

        auto form = env.makeForm();
        const auto *box = onlyPgError(env.dialogs);
        QVERIFY2(box, qPrintable(shownTexts(env.dialogs)));
        QCOMPARE(box->text, message);
        QCOMPARE(box->icon, Dialogs::Icon::Critical);
        QVERIFY(!form->state().G_DB);

        // A try to save reports and writes nothing.
        env.dialogs.clear();
        typeTemperature(*form, QStringLiteral("36.5"));
        QTest::mouseClick(form->ui().REG_BTN, Qt::LeftButton);
        QVERIFY(!env.dialogs.shown.isEmpty());
        QCOMPARE(env.dialogs.shown.first().title, kPgError);
        QVERIFY(form->state().G_DIRTY);
        form->ui().SSTab1->setCurrentIndex(1); // the list fill fails the same way
        form.reset();

        // The layer itself refuses it too.
        try {
            DiaryDb db(env.dbPath());
            QFAIL("opened a file that is no diary");
        } catch (const AppError &e) {
            QCOMPARE(e.message(), message);
        }
        compareSnapshots(before, Snapshot::of(env.dbPath()));
    }

    void readOnlyFileIsReadButNeverWritten()
    {
        TestEnv env;
        env.db().saveDay(makeDay(QDate(2026, 12, 5), 36.55, QStringLiteral("昨日"), QStringLiteral("日記"), true));
        QVERIFY(QFile::setPermissions(env.dbPath(),
                                      QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        QTest::qWait(20);
        const Snapshot before = Snapshot::of(env.dbPath());

        auto form = env.makeForm();
        QVERIFY2(env.dialogs.shown.isEmpty(), qPrintable(shownTexts(env.dialogs)));
        QVERIFY(form->state().G_DB);

        // Yesterday's entry loads; an edit of today cannot be stored and stays in the editor.
        form->ui().DTPicker1->setDate(QDate(2026, 12, 5));
        QCOMPARE(form->ui().CONDITION_TEXT->text(), QStringLiteral("昨日"));
        form->ui().DTPicker1->setDate(QDate(2026, 12, 6));
        typeTemperature(*form, QStringLiteral("36.5"));
        form->ui().CONDITION_TEXT->setText(QStringLiteral("今日"));
        QTest::mouseClick(form->ui().REG_BTN, Qt::LeftButton);
        const auto *box = onlyPgError(env.dialogs);
        QVERIFY2(box, qPrintable(shownTexts(env.dialogs)));
        QCOMPARE(box->text, QStringLiteral("データファイルが読み取り専用のため、書き込めません。"));
        QVERIFY(form->state().G_DIRTY);
        QCOMPARE(form->ui().TEMP_TEXT->rawText(), QStringLiteral("36.5"));
        QCOMPARE(form->ui().CONDITION_TEXT->text(), QStringLiteral("今日"));
        form.reset();

        {
            DiaryDb db(env.dbPath());
            QVERIFY(db.findDay(QDate(2026, 12, 5)));
            QVERIFY(!db.findDay(QDate(2026, 12, 6)));
            QVERIFY_THROWS_EXCEPTION(AppError, db.saveDay(makeDay(QDate(2026, 12, 6), 36.5)));
            QVERIFY_THROWS_EXCEPTION(AppError, db.deleteUpTo(QDate(2026, 12, 31)));
            QCOMPARE(db.daysFrom(QDate(2026, 1, 1)).size(), std::size_t(1));
        }
        compareSnapshots(before, Snapshot::of(env.dbPath()));
        QFile::setPermissions(env.dbPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void lockedFileFailsTheSaveAfterWaiting()
    {
        TestEnv env;
        env.db().saveDay(makeDay(QDate(2026, 12, 5), 36.55, QStringLiteral("昨日")));
        auto form = env.makeForm();
        QVERIFY(env.dialogs.shown.isEmpty());

        {
            LockHolder other(env.dbPath());
            QVERIFY(other.ok());
            typeTemperature(*form, QStringLiteral("36.5"));
            QElapsedTimer timer;
            timer.start();
            QTest::mouseClick(form->ui().REG_BTN, Qt::LeftButton);
            const qint64 waited = timer.elapsed();
            QVERIFY2(waited >= 1900 && waited < 10000, qPrintable(QString::number(waited)));
            QVERIFY(!env.dialogs.shown.isEmpty());
            QCOMPARE(env.dialogs.shown.first().title, kPgError);
            QCOMPARE(env.dialogs.shown.first().text,
                     QStringLiteral("データファイルが他のプログラムで使用中です。しばらくしてからやり直して下さい。"));
            QVERIFY(form->state().G_DIRTY);

            // Through the layer directly: the same wait, the same refusal.
            timer.restart();
            try {
                env.db().saveDay(makeDay(QDate(2026, 12, 7), 36.7));
                QFAIL("saved past another writer's lock");
            } catch (const AppError &e) {
                QVERIFY(e.message().contains(QStringLiteral("使用中")));
            }
            QVERIFY(timer.elapsed() >= 1900);
        }

        // Nothing half written, from either side; once the lock is gone the save works.
        QCOMPARE(rawScalar(env.dbPath(), QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
        QCOMPARE(rawScalar(env.dbPath(), QStringLiteral("SELECT COUNT(*) FROM DATA_FIL")), QStringLiteral("1"));
        env.dialogs.clear();
        QTest::mouseClick(form->ui().REG_BTN, Qt::LeftButton);
        QVERIFY2(env.dialogs.shown.isEmpty(), qPrintable(shownTexts(env.dialogs)));
        QVERIFY(!form->state().G_DIRTY);
        QCOMPARE(env.db().findDay(QDate(2026, 12, 6))->TEMP, std::optional<double>(36.5));
    }

    // Another tool left NULL in a text column of today's row: the load stops with the
    // usual box at that column; the list shows the row with empty cells.
    void foreignNullTextStopsTheLoad_data()
    {
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("tempShown");
        QTest::addColumn<QString>("conditionShown");
        QTest::addColumn<QString>("listTemp");
        QTest::addColumn<QString>("listCondition");
        QTest::newRow("TEMP") << QStringLiteral("'2026-12-06', NULL, 'c', 'd', 1, 1") << QString() << QString()
                              << QString() << QStringLiteral("c");
        QTest::newRow("CONDITION") << QStringLiteral("'2026-12-06', 36.5, NULL, 'd', 1, 1") << QStringLiteral("36.5")
                                   << QString() << QStringLiteral("36.50") << QString();
        QTest::newRow("DIARY") << QStringLiteral("'2026-12-06', 36.5, 'c', NULL, 1, 1") << QStringLiteral("36.5")
                               << QStringLiteral("c") << QStringLiteral("36.50") << QStringLiteral("c");
    }

    void foreignNullTextStopsTheLoad()
    {
        QFETCH(QString, values);
        QFETCH(QString, tempShown);
        QFETCH(QString, conditionShown);
        QFETCH(QString, listTemp);
        QFETCH(QString, listCondition);
        TestEnv env;
        makeForeignTable(env, {values});
        auto form = env.makeForm();
        const auto *box = onlyPgError(env.dialogs);
        QVERIFY2(box, qPrintable(shownTexts(env.dialogs)));
        QCOMPARE(box->text, QStringLiteral("Null の使い方が不正です。"));
        QCOMPARE(form->ui().TEMP_TEXT->rawText(), tempShown);
        QCOMPARE(form->ui().CONDITION_TEXT->text(), conditionShown);
        QVERIFY(!form->state().G_DIRTY);

        env.dialogs.clear();
        form->ui().SSTab1->setCurrentIndex(1);
        QVERIFY2(env.dialogs.shown.isEmpty(), qPrintable(shownTexts(env.dialogs)));
        QCOMPARE(cell(*form, 1, ColTemp), listTemp);
        QCOMPARE(cell(*form, 1, ColCondition), listCondition);
        QCOMPARE(cell(*form, 1, ColMark), QStringLiteral("●"));
        QCOMPARE(cell(*form, 1, ColLove), QStringLiteral("◎"));
    }

    void foreignNullFlagsReadAsNotSet()
    {
        TestEnv env;
        makeForeignTable(env, {QStringLiteral("'2026-12-06', 36.5, 'c', 'd', NULL, NULL")});
        auto form = env.makeForm();
        QVERIFY2(env.dialogs.shown.isEmpty(), qPrintable(shownTexts(env.dialogs)));
        QCOMPARE(form->ui().TEMP_TEXT->rawText(), QStringLiteral("36.5"));
        QVERIFY(!form->ui().GUEST_CHK->isChecked());
        QVERIFY(!form->ui().LOVE_CHK->isChecked());
        QCOMPARE(form->panelText(2), QStringLiteral("前回月経日未登録　もしくは妊娠した可能性があります"));
        form->ui().SSTab1->setCurrentIndex(1);
        QVERIFY(env.dialogs.shown.isEmpty());
        QCOMPARE(cell(*form, 1, ColTemp), QStringLiteral("36.50"));
        QCOMPARE(cell(*form, 1, ColMark), QString());
        QCOMPARE(cell(*form, 1, ColLove), QString());
    }

    // Days that are no days, or lie beyond what the picker can show, are passed over by
    // the load, the list, the forecast and the graph; nothing breaks on them.
    void foreignOddDatesArePassedOver()
    {
        TestEnv env;
        makeForeignTable(env, {
                                  QStringLiteral("NULL, 36.1, 'null', 'd', 1, 1"),
                                  QStringLiteral("'garbage', 36.2, 'garbage', 'd', 1, 1"),
                                  QStringLiteral("'', 36.2, 'empty', 'd', 1, 1"),
                                  QStringLiteral("'1700-01-01', 36.3, 'old', 'd', 1, 1"),
                                  QStringLiteral("'9999-12-31', 36.4, 'far', 'd', 0, 1"),
                                  QStringLiteral("20261205, 36.6, 'number', 'd', 1, 1"),
                                  QStringLiteral("'2026-12-04', 36.7, 'real', 'd', 1, 0"),
                              });
        auto form = env.makeForm();
        QVERIFY2(env.dialogs.shown.isEmpty(), qPrintable(shownTexts(env.dialogs)));
        QCOMPARE(form->ui().TEMP_TEXT->rawText(), QString());
        // The real period day of 2 days ago is the one the forecast counts from.
        QCOMPARE(form->panelText(2), QStringLiteral("次回月経予定日は2027年01月03日 日曜日です"));

        form->show();
        form->ui().SSTab1->setCurrentIndex(1);
        QVERIFY2(env.dialogs.shown.isEmpty(), qPrintable(shownTexts(env.dialogs)));
        QStringList conditions;
        for (int r = 1; r <= 180; ++r) {
            if (!cell(*form, r, ColCondition).isEmpty())
                conditions << cell(*form, r, ColCondition);
        }
        QCOMPARE(conditions, QStringList {QStringLiteral("real")});
        QCOMPARE(cell(*form, 3, ColTemp), QStringLiteral("36.70"));

        form->ui().mnuGraph->trigger();
        QPointer<QWidget> graph = form->graphWindow();
        QVERIFY(graph);
        graph->close();
        QTRY_VERIFY(graph.isNull());
        QVERIFY(env.dialogs.shown.isEmpty());
    }

    // A time of day keeps the row from the day's look-up, as a whole day never equals a
    // moment within it; the list still shows it, and a save adds the whole-day row that
    // the list then prefers, without a key to lean on.
    void foreignTimeOfDay()
    {
        TestEnv env;
        makeForeignTable(env, {QStringLiteral("'2026-12-06 08:00:00', 36.7, 'timed', 'd', 1, 0")});
        auto form = env.makeForm();
        QVERIFY2(env.dialogs.shown.isEmpty(), qPrintable(shownTexts(env.dialogs)));
        QCOMPARE(form->ui().TEMP_TEXT->rawText(), QString());
        QCOMPARE(form->panelText(3), QStringLiteral("通常日です"));
        form->ui().SSTab1->setCurrentIndex(1);
        QCOMPARE(cell(*form, 1, ColTemp), QStringLiteral("36.70"));
        QCOMPARE(cell(*form, 1, ColCondition), QStringLiteral("timed"));

        form->ui().SSTab1->setCurrentIndex(0);
        typeTemperature(*form, QStringLiteral("36.5"));
        form->ui().CONDITION_TEXT->setText(QStringLiteral("saved"));
        QTest::mouseClick(form->ui().REG_BTN, Qt::LeftButton);
        QVERIFY2(env.dialogs.shown.isEmpty(), qPrintable(shownTexts(env.dialogs)));
        QVERIFY(!form->state().G_DIRTY);
        // Saved again: changed in place, still one whole-day row.
        env.dialogs.answers << Dialogs::Answer::Yes;
        form->ui().CONDITION_TEXT->setText(QStringLiteral("saved twice"));
        QTest::mouseClick(form->ui().REG_BTN, Qt::LeftButton);
        QCOMPARE(env.dialogs.texts(), QStringList {QStringLiteral("上書きしますか？")});
        QCOMPARE(rawScalar(env.dbPath(), QStringLiteral("SELECT COUNT(*) FROM DATA_FIL")), QStringLiteral("2"));

        form->ui().SSTab1->setCurrentIndex(1);
        QCOMPARE(cell(*form, 1, ColTemp), QStringLiteral("36.50"));
        QCOMPARE(cell(*form, 1, ColCondition), QStringLiteral("saved twice"));
    }

    // A text in the number column cannot be turned into a number: the load and the list
    // say so in the usual box; nothing crashes and the rest of the program goes on.
    void foreignTextTemperature()
    {
        TestEnv env;
        makeForeignTable(env, {QStringLiteral("'2026-12-06', 'abc', 'c', 'd', 0, 0")});
        auto form = env.makeForm();
        const auto *box = onlyPgError(env.dialogs);
        QVERIFY2(box, qPrintable(shownTexts(env.dialogs)));
        QCOMPARE(box->text, QStringLiteral("型が一致しません。"));

        env.dialogs.clear();
        form->ui().SSTab1->setCurrentIndex(1);
        box = onlyPgError(env.dialogs);
        QVERIFY2(box, qPrintable(shownTexts(env.dialogs)));
        QCOMPARE(box->text, QStringLiteral("型が一致しません。"));

        // Saving the day over it mends the row.
        form->ui().SSTab1->setCurrentIndex(0);
        env.dialogs.clear();
        env.dialogs.answers << Dialogs::Answer::Yes;
        typeTemperature(*form, QStringLiteral("36.5"));
        QTest::mouseClick(form->ui().REG_BTN, Qt::LeftButton);
        QCOMPARE(env.dialogs.texts(), QStringList {QStringLiteral("上書きしますか？")});
        QCOMPARE(env.db().findDay(QDate(2026, 12, 6))->TEMP, std::optional<double>(36.5));
    }

    void journalKeepsTheFilesPrivacy()
    {
        // SQLite gives the journal of a write the data file's mode; a diary of 0600
        // must not get a readable journal beside it while a save runs.
        TestEnv env;
        const QString journal = env.dbPath() + QStringLiteral("-journal");
        const QString name = uniqueName();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(env.dbPath());
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("BEGIN IMMEDIATE")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO DATA_FIL VALUES ('2026-12-06', 36.5, '', '', 0, 0)")));
            QVERIFY(QFile::exists(journal));
            struct stat st
            { };
            QCOMPARE(::stat(QFile::encodeName(journal).constData(), &st), 0);
            QCOMPARE(int(st.st_mode & 0777), 0600);
            QVERIFY(q.exec(QStringLiteral("COMMIT")));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        QVERIFY(!QFile::exists(journal));
    }
};

QTEST_MAIN(TestBadFiles)
#include "tst_badfiles.moc"
