#pragma once

#include "DayRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <vector>

namespace nerina {

class DiaryDb;

// The diary as a CSV file in UTF-8 with a byte order mark: a header row, then one row per
// day, oldest first:
//   date,temperature,condition,diary,period,intercourse
//   2026-03-05,36.45,だるい,"line one
//   line two",1,0
// The import also reads the file as a spreadsheet saves it back: without the mark, or in
// Shift_JIS, with days written 2026/3/5.
QStringList diaryCsvHeader();

// The shortest '.'-decimal text that reads back as exactly the same double.
QString csvTemperature(double value);

struct DiaryExport
{
    QByteArray text;
    int rows = 0;
    int refused = 0; // rows that diaryFromCsv would refuse
};

// The rows of DiaryDb::storedRows, in their order. Every row is written, so that nothing
// another tool stored is lost on the way out: a value of its column's type as the import
// reads it back, any other value as its stored text (a day with a time of day, a word
// in the temperature, a flag of 2), a NULL as an empty field, and a NULL flag as 0, the
// way the program reads it. The rows holding a value the import refuses are counted by
// the import's own row rules.
DiaryExport diaryToCsv(const std::vector<QVariantList> &rows);

struct DiaryCsv
{
    std::vector<DayRecord> records; // in file order
    int errorLine = 0;              // 0 when every line was good
    QString error;
    bool ok() const { return errorLine == 0; }
};

// Reads a file written by diaryToCsv. An empty temperature reads as 0 and an empty
// condition or diary as the empty text, the way the editor stores them, so an imported
// row never holds NULL. The first line that is not good stops the reading; then no
// records are returned.
DiaryCsv diaryFromCsv(const QByteArray &text);

// Far above a lifetime of daily entries; keeps a wrongly chosen huge file out of memory.
inline constexpr qint64 kMaxImportBytes = 64 * 1024 * 1024;

struct FileBytes
{
    QByteArray bytes;
    QString error; // the whole warning, in Japanese; null when the bytes were read
};

// The bytes of the file to import. Only a regular file is read (a pipe or a device
// would block or never end), and never more than `limit` bytes.
FileBytes readImportFile(const QString &path, qint64 limit);

// The days of an import split by whether the diary already holds them.
struct ImportPlan
{
    std::vector<DayRecord> fresh;    // days without a row
    std::vector<DayRecord> clashing; // days that have one
};
ImportPlan planImport(const std::vector<DayRecord> &records, const DiaryDb &db);

} // namespace nerina
