#pragma once

#include "CsvFormat.h"
#include "DayRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <optional>
#include <vector>

namespace nerina {

// The diary as a CSV file in UTF-8 with a byte order mark: a header row, then one row per
// day, oldest first, the day's signs after its six fields as DAY_SIGNS stores them (the
// codes; an empty field where nothing is recorded):
//   date,temperature,condition,diary,period,intercourse,excluded,exclude_reason,bleeding,
//   spotting,mucus,lh_test,pregnancy_test,medication
//   2026-03-05,36.45,だるい,"line one
//   line two",1,0,1,発熱,2,0,,,,
// The import also reads the file as a spreadsheet saves it back: without the mark, or in
// Shift_JIS, with days written 2026/3/5; and a file of the first six columns alone, as
// earlier versions wrote it, whose days keep the signs they have.
QStringList diaryCsvHeader();

// How many of the header's columns a file without the signs has.
inline constexpr int kEntryColumns = 6;

// The shortest '.'-decimal text that reads back as exactly the same double.
QString csvTemperature(double value);

struct DiaryExport
{
    QByteArray text;
    int rows = 0;
    int refused = 0; // rows that the import would refuse
};

// The rows of DiaryDb::storedRows, in their order. Every row is written, so that nothing
// another tool stored is lost on the way out: a value of its column's type as the import
// reads it back, any other value as its stored text (a day with a time of day, a word
// in the temperature, a flag of 2), a NULL as an empty field, and a NULL flag as 0, the
// way the program reads it. The rows holding a value the import refuses are counted by
// the import's own row rules.
DiaryExport diaryToCsv(const std::vector<QVariantList> &rows);

// The rules every data row of the file must pass, in file order.
class DiaryRowCheck final
{
public:
    // Rows of every column of the header, or (`withSigns` false) of its first six.
    explicit DiaryRowCheck(bool withSigns = true) : m_withSigns(withSigns) { }

    // The entry of the row that starts on `line`, or nothing, with error() saying why. Its
    // SIGNS are the row's, or none for a row without them.
    std::optional<DayRecord> read(const QStringList &fields, int line);
    const QString &error() const { return m_error; }

private:
    // The days seen so far, one bit each from 0001-01-01 on, and in file order with their
    // lines: a lifetime of days costs a few bytes each.
    std::vector<bool> m_seen;
    std::vector<std::pair<qint32, qint32>> m_days;
    QString m_error;
    bool m_withSigns;
};

// Reads a file written by diaryToCsv, one day at a time and the header first, in the
// encoding given or else the one CsvReader decides on. An empty temperature reads as 0
// and an empty condition or diary as the empty text, the way the editor stores them, so
// an imported row never holds NULL.
class DiaryCsvReader final
{
public:
    // `text` must outlive the reader.
    explicit DiaryCsvReader(QByteArrayView text, std::optional<CsvEncoding> encoding = std::nullopt);

    // The next day of the file; nothing at its end, or at the first line that is not
    // good, which errorLine() then names.
    std::optional<DayRecord> next();

    int errorLine() const { return m_errorLine; } // 0 while every line was good
    const QString &error() const { return m_error; }
    const CsvReader &csv() const { return m_csv; }

private:
    std::optional<DayRecord> fail(int line, const QString &error);

    CsvReader m_csv;
    CsvRow m_row; // kept, so that its list of fields is not made anew for each row
    DiaryRowCheck m_check;
    bool m_headerRead = false;
    int m_errorLine = 0;
    QString m_error;
};

// What an import of a file would store, as the user sees it before anything is written.
struct ImportCheck
{
    int errorLine = 0; // 0 when every line was good
    QString error;
    bool ok() const { return errorLine == 0; }
    CsvEncoding encoding = CsvEncoding::Utf8;
    bool marked = false;          // the encoding was settled by a byte order mark
    qint64 days = 0;              // the days of the file
    qint64 stored = 0;            // of them, the days that have a row in the diary
    std::vector<DayRecord> first; // the first kPreviewDays rows, as they will be stored
    std::vector<DayRecord> later; // the first kPreviewDays rows of days after today
    qint64 laterDays = 0;         // all of them
};

inline constexpr int kPreviewDays = 5;

// Reads the whole file once in the encoding given, or else the one CsvReader decides on,
// keeping only what the preview shows. `storedDays` are the days with a row, in order.
// `progress`, when given, is told how many bytes are read, now and then.
ImportCheck checkImport(QByteArrayView text, std::optional<CsvEncoding> encoding, const std::vector<QDate> &storedDays,
                        const QDate &today, const std::function<void(qsizetype done)> &progress = {});

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

} // namespace nerina
