#include "DiaryFile.h"

#include "records/DiaryDb.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <sys/stat.h>

namespace nerina {

CreateResult createDiaryFile(const QString &schemaPath, const QString &dbPath, QString *error)
{
    if (QFileInfo::exists(dbPath))
        return CreateResult::AlreadyThere;

    QFile schemaFile(schemaPath);
    if (!schemaFile.open(QIODevice::ReadOnly)) {
        if (error)
            *error = schemaFile.errorString();
        return CreateResult::Failed;
    }
    const QString schema = QString::fromUtf8(schemaFile.readAll());

    // Create the file empty and private first, so the data never sits in a file that
    // others can read, whatever the umask is.
    {
        QFile db(dbPath);
        if (!db.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (error)
                *error = db.errorString();
            return CreateResult::Failed;
        }
    }
    ::chmod(QFile::encodeName(dbPath).constData(), S_IRUSR | S_IWUSR);

    const QString name = QStringLiteral("mkdb-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(dbPath);
        ok = db.open();
        if (!ok && error)
            *error = db.lastError().text();
        if (ok && !db.transaction()) {
            ok = false;
            if (error)
                *error = db.lastError().text();
        }
        for (const QString &statement : schemaStatements(schema)) {
            if (!ok)
                break;
            QSqlQuery query(db);
            if (!query.exec(statement)) {
                ok = false;
                if (error)
                    *error = query.lastError().text();
            }
        }
        if (ok && !db.commit()) {
            ok = false;
            if (error)
                *error = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!ok) {
        QFile::remove(dbPath);
        return CreateResult::Failed;
    }
    return CreateResult::Created;
}

} // namespace nerina
