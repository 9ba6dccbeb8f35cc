#include "BenchDiary.h"

#include "records/DiaryDb.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace nerina::bench {

bool fillDiary(const QString &path, bool signs)
{
    const QString name = QStringLiteral("bench-setup");
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open() || !db.transaction())
            return false;
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral(
            "INSERT INTO DATA_FIL (DAT_DATE, TEMP, CONDITION, DIARY, GUEST, LOVE) VALUES (?, ?, ?, ?, ?, ?)"));
        QSqlQuery insertSigns(db);
        insertSigns.prepare(QStringLiteral("INSERT INTO DAY_SIGNS (DAT_DATE, EXCLUDED, EXCLUDE_REASON, BLEEDING, "
                                           "SPOTTING, MUCUS, LH_TEST, PREGNANCY_TEST, MEDICATION) "
                                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int i = 0; i < kDays && ok; ++i) {
            const QDate day = kNewest.addDays(-i);
            const int inCycle = i % 30;
            insert.addBindValue(DiaryDb::storedDay(day));
            insert.addBindValue(36.20 + (inCycle < 15 ? 0.45 : 0.0) + (i % 7) * 0.01);
            insert.addBindValue(i % 5 == 0 ? QStringLiteral("ふつう") : QString(QLatin1String("")));
            insert.addBindValue(QString(QLatin1String("")));
            insert.addBindValue(inCycle >= 24 ? 1 : 0);
            insert.addBindValue(i % 9 == 0 ? 1 : 0);
            ok = insert.exec();
            if (signs && i % 3 == 0 && ok) {
                const QVariant none;
                insertSigns.addBindValue(DiaryDb::storedDay(day));
                insertSigns.addBindValue(i % 33 == 0 ? 1 : 0);
                insertSigns.addBindValue(i % 33 == 0 ? QVariant(QStringLiteral("発熱")) : none);
                insertSigns.addBindValue(inCycle >= 24 ? QVariant(2) : none);
                insertSigns.addBindValue(i % 51 == 0 ? 1 : 0);
                insertSigns.addBindValue(inCycle < 24 ? QVariant((inCycle / 3) % 5) : none);
                insertSigns.addBindValue(inCycle == 15 ? QVariant(1) : none);
                insertSigns.addBindValue(none);
                insertSigns.addBindValue(i % 6 == 0 ? QVariant(QStringLiteral("葉酸")) : none);
                ok = insertSigns.exec();
            }
        }
        ok = ok && db.commit();
        if (!ok)
            std::fprintf(stderr, "setup failed: %s\n", qPrintable(db.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

double medianMs(int runs, const std::function<void(int)> &before, const std::function<void()> &timed)
{
    std::vector<qint64> ns;
    ns.reserve(std::size_t(runs));
    for (int run = 0; run < runs; ++run) {
        before(run);
        QElapsedTimer timer;
        timer.start();
        timed();
        ns.push_back(timer.nsecsElapsed());
    }
    std::nth_element(ns.begin(), ns.begin() + runs / 2, ns.end());
    return double(ns[std::size_t(runs / 2)]) / 1e6;
}

QString statusValue(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return QString::fromLatin1(line.mid(prefix.size()).trimmed());
    }
    return QStringLiteral("?");
}

} // namespace nerina::bench
