#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <optional>

namespace nerina {

// Comma-separated values as RFC 4180 has them: fields holding a comma, a quote or a line
// break are quoted with quotes doubled, records end with CR LF.

// One record as a line of the file, with its CR LF.
QByteArray csvRecord(const QStringList &fields);

// The two encodings a file can be read in: UTF-8, and CP932 (Shift_JIS as Japanese
// spreadsheets save it).
enum class CsvEncoding { Utf8, Cp932 };

// The encoding's name as users know it: "UTF-8", "Shift_JIS".
QString encodingName(CsvEncoding encoding);

struct CsvRow
{
    int line = 0; // the line of the file the record starts on, from 1
    QStringList fields;
};

// Reads the records of a text one at a time. CR LF, LF and a lone CR all end a record
// outside quotes, and are kept as they are inside quotes; the line break after the last
// record is optional, and blank lines at the very end are no records. A quote inside an
// unquoted field, text after a closing quote, a quote left open at the end and a line
// that cannot be read in the text's encoding are errors, reported with their line.
//
// The encoding is the one given, else UTF-8 after a byte order mark (which is skipped),
// else decided line by line: a line holding more than ASCII reads as UTF-8, as CP932, as
// neither (an error) or as both; then it leans to UTF-8 when its UTF-8 reading holds a
// character from U+0800 up, as Japanese does, and to CP932 when it holds only characters
// below (half-width katakana in CP932 are valid UTF-8 of Latin letters, signs and
// combining marks). The text is in the encoding of its first line that leans; a line
// leaning to the other is an error, so that no line is read in the wrong one unseen.
class CsvReader final
{
public:
    // `text` must outlive the reader.
    explicit CsvReader(QByteArrayView text, std::optional<CsvEncoding> encoding = std::nullopt);

    // The next record; false at the end of the text or at an error.
    bool next(CsvRow *row);

    int errorLine() const { return m_errorLine; } // 0 while there is no error
    const QString &error() const { return m_error; }
    // The encoding the text is read in; UTF-8 while no line has said otherwise.
    CsvEncoding encoding() const { return m_encoding; }
    // Whether the encoding was settled by a byte order mark.
    bool marked() const { return m_marked; }
    // How many bytes of the text have been read.
    qsizetype position() const { return m_pos; }

private:
    bool fail(int line, const QString &error);
    bool checkLines(qsizetype end, int line);

    QByteArrayView m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
    bool m_given = false;
    bool m_marked = false;
    CsvEncoding m_encoding = CsvEncoding::Utf8;
    int m_decidingLine = 0; // the first line that leant to an encoding
    QStringDecoder m_utf8;
    QStringDecoder m_cp932;
    QStringDecoder m_cp932Check;
    QList<QByteArray> m_unquoted; // the current record's quoted fields that held doubled quotes
    int m_errorLine = 0;
    QString m_error;
};

} // namespace nerina
