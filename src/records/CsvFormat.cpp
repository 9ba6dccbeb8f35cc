#include "CsvFormat.h"

#include <QStringDecoder>
#include <QVarLengthArray>

namespace nerina {

namespace {

bool needsQuotes(const QString &field)
{
    for (const QChar c : field) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return true;
    }
    return false;
}

bool isBreak(char c) { return c == '\r' || c == '\n'; }

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (uchar(c) >= 0x80)
            return false;
    }
    return true;
}

// In valid UTF-8 a byte from 0xE0 up starts a character from U+0800 up.
bool hasWideCharacter(QByteArrayView utf8)
{
    for (const char c : utf8) {
        if (uchar(c) >= 0xE0)
            return true;
    }
    return false;
}

// Decoders for one field or line at a time: a U+FEFF that begins a field is the field's own.
constexpr QStringDecoder::Flags kFieldFlags = QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;

} // namespace

QByteArray csvRecord(const QStringList &fields)
{
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        const QString &field = fields.at(i);
        if (needsQuotes(field)) {
            out += '"';
            out += QString(field).replace(QLatin1Char('"'), QStringLiteral("\"\"")).toUtf8();
            out += '"';
        } else {
            out += field.toUtf8();
        }
    }
    out += "\r\n";
    return out;
}

QString encodingName(CsvEncoding encoding)
{
    return encoding == CsvEncoding::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Shift_JIS");
}

CsvReader::CsvReader(QByteArrayView text, std::optional<CsvEncoding> encoding)
    : m_text(text), m_given(encoding.has_value()), m_encoding(encoding.value_or(CsvEncoding::Utf8)),
      m_utf8(QStringDecoder::Utf8, kFieldFlags), m_cp932("windows-31j", kFieldFlags),
      m_cp932Check("windows-31j", kFieldFlags)
{
    if (m_encoding == CsvEncoding::Utf8 && text.startsWith("\xEF\xBB\xBF")) {
        m_pos = 3;
        m_marked = !m_given;
    }
}

bool CsvReader::fail(int line, const QString &error)
{
    m_errorLine = line;
    m_error = error;
    return false;
}

bool CsvReader::next(CsvRow *row)
{
    if (m_errorLine != 0)
        return false;
    const qsizetype n = m_text.size();
    qsizetype rest = m_pos;
    while (rest < n && isBreak(m_text[rest]))
        ++rest;
    if (rest == n) { // only blank lines left, as editors and spreadsheets leave them
        m_pos = n;
        return false;
    }

    // The characters that give the text its structure are all ASCII, and neither a byte of
    // a UTF-8 sequence of another character nor a trail byte of CP932 is one of them, so
    // the bytes are split first, their lines looked at, and each field decoded on its own.
    const qsizetype start = m_pos;
    row->line = m_line;
    // Each field as a view of the text, but a quoted one with doubled quotes as a copy.
    QVarLengthArray<QByteArrayView, 8> fields;
    m_unquoted.clear();
    for (;;) {
        QByteArrayView field;
        const int fieldLine = m_line;
        if (m_text[m_pos] == '"') {
            const qsizetype from = ++m_pos;
            bool doubled = false;
            for (;;) {
                if (m_pos >= n)
                    return fail(fieldLine, QStringLiteral("引用符が閉じられていません。"));
                const char c = m_text[m_pos++];
                if (c == '"') {
                    if (m_pos < n && m_text[m_pos] == '"') {
                        doubled = true;
                        ++m_pos;
                        continue;
                    }
                    break;
                }
                if (c == '\n' || (c == '\r' && (m_pos >= n || m_text[m_pos] != '\n')))
                    ++m_line;
            }
            field = m_text.sliced(from, m_pos - 1 - from);
            if (doubled) {
                m_unquoted.append(field.toByteArray().replace("\"\"", "\""));
                field = m_unquoted.last();
            }
            if (m_pos < n && m_text[m_pos] != ',' && !isBreak(m_text[m_pos]))
                return fail(m_line, QStringLiteral("閉じた引用符の後に文字があります。"));
        } else {
            const qsizetype from = m_pos;
            while (m_pos < n && m_text[m_pos] != ',' && !isBreak(m_text[m_pos])) {
                if (m_text[m_pos] == '"')
                    return fail(m_line, QStringLiteral("引用符の位置が正しくありません。"));
                ++m_pos;
            }
            field = m_text.sliced(from, m_pos - from);
        }
        fields.append(field);

        if (m_pos < n && m_text[m_pos] == ',') {
            ++m_pos;
            if (m_pos < n)
                continue;
            fields.append(QByteArrayView()); // a comma at the very end leaves one empty field
        }
        break;
    }
    // The record's line break: CR LF, LF or CR; the last record may have none.
    if (m_pos < n) {
        if (m_text[m_pos] == '\r' && m_pos + 1 < n && m_text[m_pos + 1] == '\n')
            ++m_pos;
        ++m_pos;
        ++m_line;
    }

    if (!checkLines(start, row->line))
        return false;
    QStringDecoder &decoder = m_encoding == CsvEncoding::Utf8 ? m_utf8 : m_cp932;
    row->fields.clear();
    for (const QByteArrayView field : fields)
        row->fields << decoder.decode(field);
    return true;
}

// Looks at every line from `from` up to where the reader stands, the first being `line`.
bool CsvReader::checkLines(qsizetype from, int line)
{
    const auto readable = [this](QByteArrayView text, CsvEncoding encoding) {
        if (encoding == CsvEncoding::Utf8)
            return text.isValidUtf8();
        m_cp932Check.resetState();
        const QString decoded = m_cp932Check.decode(text);
        return m_cp932Check.isValid() && !m_cp932Check.hasError();
    };
    for (qsizetype end = from; from < m_pos; from = end, ++line) {
        while (end < m_pos && !isBreak(m_text[end]))
            ++end;
        const QByteArrayView text = m_text.sliced(from, end - from);
        if (end < m_pos && m_text[end] == '\r' && end + 1 < m_pos && m_text[end + 1] == '\n')
            ++end;
        if (end < m_pos)
            ++end;
        if (isAscii(text))
            continue;
        if (m_given || m_marked) {
            if (!readable(text, m_encoding))
                return fail(line, QStringLiteral("%1 として読めない文字があります。").arg(encodingName(m_encoding)));
            continue;
        }
        const bool utf8 = readable(text, CsvEncoding::Utf8);
        const bool cp932 = readable(text, CsvEncoding::Cp932);
        if (!utf8 && !cp932)
            return fail(line,
                        QStringLiteral("文字として読めないﾃﾞｰﾀがあります（UTF-8 でも Shift_JIS でもありません）。"));
        const CsvEncoding lean = utf8 && (!cp932 || hasWideCharacter(text)) ? CsvEncoding::Utf8 : CsvEncoding::Cp932;
        if (m_decidingLine == 0) {
            m_encoding = lean;
            m_decidingLine = line;
        } else if (lean != m_encoding) {
            return fail(line, QStringLiteral("この行は %1 のようですが、%2 行目は %3 でした。"
                                             "1つのﾌｧｲﾙの中で文字ｺｰﾄﾞが混ざっています。")
                                  .arg(encodingName(lean))
                                  .arg(m_decidingLine)
                                  .arg(encodingName(m_encoding)));
        }
    }
    return true;
}

} // namespace nerina
