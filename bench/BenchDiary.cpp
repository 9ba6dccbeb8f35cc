#include "BenchDiary.h"

#include "records/DiaryDb.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace nerina::bench {

bool fillDiary(const QString &path)
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

} // namespace nerina::bench
