#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace nerina {

// Comma-separated values as RFC 4180 has them: fields holding a comma, a quote or a line
// break are quoted with quotes doubled, records end with CR LF.

// One record as a line of the file, with its CR LF.
QByteArray csvRecord(const QStringList &fields);

struct CsvRow
{
    int line = 0; // the line of the file the record starts on, from 1
    QStringList fields;
};

struct CsvParse
{
    std::vector<CsvRow> rows;
    int errorLine = 0; // 0 when the whole text was read
    QString error;     // what is wrong on errorLine
    bool ok() const { return errorLine == 0; }
};

// Reads the records of a text in UTF-8 or, when it neither begins with a byte order mark
// nor is UTF-8 throughout, in CP932 (Shift_JIS as Japanese spreadsheets save it). A
// leading byte order mark is skipped. CR LF, LF and a lone CR all end a record outside
// quotes, and are kept as they are inside quotes. The line break after the last record is
// optional. A quote inside an unquoted field, text after a closing quote, a quote left
// open at the end and bytes that the chosen encoding cannot read are errors, reported
// with the line they are on.
CsvParse parseCsv(const QByteArray &text);

} // namespace nerina
