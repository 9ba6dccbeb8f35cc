#include "CsvFormat.h"

#include <QStringDecoder>

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

CsvParse parseCsv(const QByteArray &text)
{
    CsvParse result;
    auto fail = [&result](int line, const QString &message) {
        result.rows.clear();
        result.errorLine = line;
        result.error = message;
        return result;
    };

    // The characters that give the text its structure are all ASCII, and neither a byte of
    // a UTF-8 sequence of another character nor a trail byte of CP932 is one of them, so
    // the bytes can be split first and each field decoded on its own: as UTF-8 when the
    // text begins with a byte order mark or is UTF-8 throughout, else as CP932 (Shift_JIS
    // as Japanese spreadsheets save it). After a mark, a byte that is not UTF-8 is an error.
    const qsizetype n = text.size();
    const bool marked = text.startsWith("\xEF\xBB\xBF");
    qsizetype pos = marked ? 3 : 0;
    const bool utf8 = marked || QByteArrayView(text).sliced(pos).isValidUtf8();
    // Stateless, and a U+FEFF that begins a field is the field's own character.
    const QStringDecoder::Flags flags = QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;
    QStringDecoder decoder = utf8 ? QStringDecoder(QStringDecoder::Utf8, flags) : QStringDecoder("windows-31j", flags);
    const auto decode = [&decoder](const QByteArray &bytes, QString *out) {
        *out = decoder.decode(bytes);
        return decoder.isValid() && !decoder.hasError();
    };
    int line = 1;

    while (pos < n) {
        CsvRow row;
        row.line = line;
        for (;;) {
            QByteArray field;
            const int fieldLine = line;
            if (text.at(pos) == '"') {
                ++pos;
                for (;;) {
                    if (pos >= n)
                        return fail(fieldLine, QStringLiteral("引用符が閉じられていません。"));
                    const char c = text.at(pos);
                    if (c == '"') {
                        if (pos + 1 < n && text.at(pos + 1) == '"') {
                            field += '"';
                            pos += 2;
                            continue;
                        }
                        ++pos;
                        break;
                    }
                    field += c;
                    ++pos;
                    if (c == '\n' || (c == '\r' && (pos >= n || text.at(pos) != '\n')))
                        ++line;
                }
                if (pos < n && text.at(pos) != ',' && text.at(pos) != '\r' && text.at(pos) != '\n')
                    return fail(line, QStringLiteral("閉じた引用符の後に文字があります。"));
            } else {
                while (pos < n && text.at(pos) != ',' && text.at(pos) != '\r' && text.at(pos) != '\n') {
                    if (text.at(pos) == '"')
                        return fail(line, QStringLiteral("引用符の位置が正しくありません。"));
                    field += text.at(pos);
                    ++pos;
                }
            }

            QString decoded;
            if (!decode(field, &decoded))
                return fail(
                    fieldLine,
                    QStringLiteral("文字として読めないﾃﾞｰﾀがあります（UTF-8 でも Shift_JIS でもありません）。"));
            row.fields << decoded;

            if (pos < n && text.at(pos) == ',') {
                ++pos;
                if (pos < n)
                    continue;
                row.fields << QString(); // a comma at the very end leaves one empty field
            }
            break;
        }
        // The record's line break: CR LF, LF or CR; the last record may have none.
        if (pos < n) {
            if (text.at(pos) == '\r' && pos + 1 < n && text.at(pos + 1) == '\n')
                ++pos;
            ++pos;
            ++line;
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}

} // namespace nerina
