#pragma once

#include "records/DayRecord.h"

#include <QLocale>
#include <QStringList>
#include <QTest>

#include <vector>

namespace nerina::test {

// A row of a test table, the values in the order of its columns.
template<typename... Values> void row(const char *name, const Values &...values)
{
    (QTest::newRow(name) << ... << values);
}

// An entry as one line, each value exact (a temperature to its last bit), NULL as "NULL",
// no entry as "none".
inline QString text(const DayRecord &r)
{
    const auto value = [](const std::optional<QString> &s) { return s ? *s : QStringLiteral("NULL"); };
    const QString temp = r.TEMP ? QString::number(*r.TEMP, 'g', QLocale::FloatingPointShortest) : value({});
    return QStringLiteral("%1|%2|%3|%4|%5|%6")
        .arg(r.DAT_DATE.toString(Qt::ISODate), temp, value(r.CONDITION), value(r.DIARY), QString::number(r.GUEST),
             QString::number(r.LOVE));
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
