#pragma once

#include "common/Clock.h"
#include "records/DayRecord.h"
#include "records/DiaryDb.h"

#include <QLocale>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QVariantList>

#include <map>
#include <memory>
#include <vector>

namespace nerina::test {

// A temporary program folder holding an empty diary made from the delivered schema (or
// the one given), and a temporary per-user settings store that starts empty.
class TestDiary
{
public:
    explicit TestDiary(const QString &schema = QStringLiteral(NERINA_SCHEMA_PATH));

    QString folder() const { return m_dir.path(); }
    QString path() const { return m_dir.filePath(QStringLiteral("nerina.mdb")); }
    DiaryDb &db(); // a connection of its own, for arranging and checking rows

    // A row as another tool would write it (DAT_DATE, TEMP, CONDITION, DIARY, GUEST, LOVE; or
    // of nine values, DAT_DATE and the eight signs of DAY_SIGNS), each value bound as given:
    // a null QVariant is NULL, text may stand where a number belongs.
    void insertRaw(const QVariantList &row);
    void exec(const QString &sql);     // any statement, for tables the program never makes
    QString value(const QString &sql); // the first value the statement gives, as text; "" for none

    QString settingsFile() const { return m_config.filePath(QStringLiteral("NERINAS.conf")); }
    void setCycleSetting(const QString &value);
    QString cycleSetting() const; // "<absent>" when nothing is stored

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_config;
    std::unique_ptr<DiaryDb> m_db;
};

using nerina::FixedClock;

inline DayRecord day(const QDate &date, double temp = 0, const QString &condition = QString(),
                     const QString &diary = QString(), bool guest = false, bool love = false)
{
    return DayRecord {date, temp, condition, diary, guest, love};
}

// A row of a test table, the values in the order of its columns.
template<typename... Values> void row(const char *name, const Values &...values)
{
    (QTest::newRow(name) << ... << values);
}

// A day's signs as the CSV file writes them: the codes, an empty field for none.
inline QString text(const DaySigns &s)
{
    const auto code = [](auto v) { return v ? QString::number(int(*v)) : QString(); };
    return QStringList {QString::number(s.excluded), s.excludeReason, code(s.bleeding),
                        QString::number(s.spotting), code(s.mucus),   code(s.lhTest),
                        code(s.pregnancyTest),       s.medication}
        .join(u',');
}

inline QString text(const std::map<QDate, DaySigns> &days)
{
    QStringList out;
    for (const auto &[day, signs] : days)
        out << day.toString(Qt::ISODate) + u':' + text(signs);
    return out.join(QStringLiteral(" / "));
}

// An entry as one line, each value exact (a temperature to its last bit, a stored text in
// quotes), NULL as "NULL", no entry as "none"; its signs after it where it has any.
inline QString text(const DayRecord &r)
{
    const auto value = [](const std::optional<QString> &s) { return s ? *s : QStringLiteral("NULL"); };
    const QString temp = r.storedTemp.isValid() ? u'\'' + r.storedTemp.toString() + u'\''
                         : r.TEMP               ? QString::number(*r.TEMP, 'g', QLocale::FloatingPointShortest)
                                                : value({});
    return QStringLiteral("%1|%2|%3|%4|%5|%6")
               .arg(r.DAT_DATE.toString(Qt::ISODate), temp, value(r.CONDITION), value(r.DIARY),
                    QString::number(r.GUEST), QString::number(r.LOVE))
           + (r.SIGNS && !r.SIGNS->isEmpty() ? u'|' + text(*r.SIGNS) : QString());
}

inline QString text(const std::optional<DayRecord> &r) { return r ? text(*r) : QStringLiteral("none"); }

inline QString text(const std::vector<DayRecord> &rows)
{
    QStringList out;
    for (const DayRecord &r : rows)
        out << text(r);
    return out.join(QStringLiteral(" / "));
}

} // namespace nerina::test
