#include "TestDiary.h"

#include "DiaryFile.h"

#include <QFile>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace nerina::test {

namespace {

const QString kKey = QStringLiteral("G_CYCLE/DATA");

// Runs one statement on a plain connection of its own, binding `values` in order; gives
// the first value of its first row as text.
QString run(const QString &path, const QString &sql, const QVariantList &values = {})
{
    QString first;
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open the test diary");
        QSqlQuery query(db);
        query.prepare(sql);
        for (const QVariant &v : values)
            query.addBindValue(v);
        if (!query.exec())
            qFatal("test statement failed: %s", qPrintable(query.lastError().text()));
        if (query.next())
            first = query.value(0).toString();
    }
    QSqlDatabase::removeDatabase(name);
    return first;
}

} // namespace

TestDiary::TestDiary(const QString &schema)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    QString error;
    if (createDiaryFile(schema, path(), &error) != CreateResult::Created)
        qFatal("cannot create the test diary: %s", qPrintable(error));
}

DiaryDb &TestDiary::db()
{
    if (!m_db)
        m_db = std::make_unique<DiaryDb>(path());
    return *m_db;
}

void TestDiary::insertRaw(const QVariantList &row)
{
    run(path(),
        row.size() == 9 ? QStringLiteral("INSERT INTO DAY_SIGNS VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
                        : QStringLiteral("INSERT INTO DATA_FIL (DAT_DATE, TEMP, CONDITION, DIARY, GUEST, LOVE) "
                                         "VALUES (?, ?, ?, ?, ?, ?)"),
        row);
}

void TestDiary::exec(const QString &sql) { run(path(), sql); }

QString TestDiary::value(const QString &sql) { return run(path(), sql); }

void TestDiary::setCycleSetting(const QString &value)
{
    QSettings s(settingsFile(), QSettings::NativeFormat);
    s.setValue(kKey, value);
}

QString TestDiary::cycleSetting() const
{
    const QSettings s(settingsFile(), QSettings::NativeFormat);
    return s.contains(kKey) ? s.value(kKey).toString() : QStringLiteral("<absent>");
}

} // namespace nerina::test
