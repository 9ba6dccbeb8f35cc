#include "DiaryCsv.h"

#include "CsvFormat.h"
#include "common/FileSafety.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nerina {

namespace {

enum Column {
    Date,
    Temperature,
    Condition,
    Diary,
    Period,
    Intercourse,
    Excluded,
    ExcludeReason,
    BleedingColumn,
    Spotting,
    MucusColumn,
    LhTest,
    PregnancyTest,
    Medication,
    ColumnCount
};

// Returns 0 for "0", 1 for "1", -1 for anything else.
int parseFlag(const QString &field)
{
    if (field == QLatin1String("0"))
        return 0;
    if (field == QLatin1String("1"))
        return 1;
    return -1;
}

// A sign's code from `lowest` to `highest`: none for an empty field, -1 for anything else.
std::optional<int> parseCode(const QString &field, int lowest, int highest)
{
    if (field.isEmpty())
        return std::nullopt;
    const int value = field.size() == 1 ? field.at(0).unicode() - '0' : -1;
    return value >= lowest && value <= highest ? value : -1;
}

// Why a sign's field is refused, naming its column as the entry tab does.
QString codeError(const QString &column, int lowest, int highest)
{
    return QStringLiteral("%1の欄は空欄か %2%3%4 で書きます。")
        .arg(column)
        .arg(lowest)
        .arg(highest == lowest + 1 ? QStringLiteral(" か ") : QStringLiteral("～"))
        .arg(highest);
}

// The signs of a row's last columns, or nothing, with `error` saying why.
std::optional<DaySigns> parseSigns(const QStringList &fields, QString *error)
{
    struct Code
    {
        Column column;
        const char16_t *name;
        int lowest, highest;
    };
    static const Code codes[] = {
        {Excluded, u"除外", 0, 1},        {BleedingColumn, u"経血量", 1, 3}, {Spotting, u"不正出血", 0, 1},
        {MucusColumn, u"おりもの", 0, 4}, {LhTest, u"排卵検査薬", 0, 1},     {PregnancyTest, u"妊娠検査薬", 0, 1},
    };
    std::optional<int> value[ColumnCount];
    for (const Code &c : codes) {
        value[c.column] = parseCode(fields.at(c.column), c.lowest, c.highest);
        if (value[c.column] == -1) {
            *error = codeError(QString::fromUtf16(c.name), c.lowest, c.highest);
            return std::nullopt;
        }
    }
    DaySigns signs;
    signs.excluded = value[Excluded] == 1;
    signs.excludeReason = fields.at(ExcludeReason);
    if (value[BleedingColumn])
        signs.bleeding = Bleeding(*value[BleedingColumn]);
    signs.spotting = value[Spotting] == 1;
    if (value[MucusColumn])
        signs.mucus = Mucus(*value[MucusColumn]);
    if (value[LhTest])
        signs.lhTest = TestResult(*value[LhTest]);
    if (value[PregnancyTest])
        signs.pregnancyTest = TestResult(*value[PregnancyTest]);
    signs.medication = fields.at(Medication);
    return signs;
}

// "2026-03-05", as the program writes a day, or "2026/3/5", as Japanese spreadsheets do.
QDate parseDate(const QString &field)
{
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9]{4})(?:-([0-9]{2})-([0-9]{2})|/([0-9]{1,2})/([0-9]{1,2}))$"));
    const QRegularExpressionMatch m = pattern.match(field);
    if (!m.hasMatch())
        return QDate();
    const bool dashes = m.capturedLength(2) > 0;
    return QDate(m.captured(1).toInt(), m.captured(dashes ? 2 : 4).toInt(), m.captured(dashes ? 3 : 5).toInt());
}

std::optional<double> parseTemperature(const QString &field)
{
    if (field.isEmpty())
        return 0.0;
    static const QRegularExpression pattern(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    if (!pattern.match(field).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = field.toLatin1().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A stored value as text: a NULL as the empty text, a number in its shortest form, a
// blob as the UTF-8 text it holds.
QString storedText(const QVariant &value) { return value.isNull() ? QString() : value.toString(); }

FileBytes failedRead(const QString &text)
{
    FileBytes result;
    result.error = text;
    return result;
}

// The day's place in m_seen; 0001-01-01 is the first day a four-digit year can name.
qint64 dayIndex(const QDate &day) { return day.toJulianDay() - QDate(1, 1, 1).toJulianDay(); }

} // namespace

std::optional<DayRecord> DiaryRowCheck::read(const QStringList &fields, int line)
{
    auto refuse = [this](const QString &why) {
        m_error = why;
        return std::optional<DayRecord>();
    };
    const int columns = m_withSigns ? ColumnCount : kEntryColumns;
    if (fields.size() != columns)
        return refuse(QStringLiteral("列の数が %1 ではなく %2 です。").arg(columns).arg(fields.size()));
    DayRecord r;
    r.DAT_DATE = parseDate(fields.at(Date));
    if (!r.DAT_DATE.isValid())
        return refuse(QStringLiteral("日付が正しくありません（2026-03-05 か 2026/3/5 の形で書きます）。"));
    const qint64 index = dayIndex(r.DAT_DATE);
    if (m_seen.empty())
        m_seen.resize(std::size_t(dayIndex(QDate(9999, 12, 31)) + 1));
    if (m_seen[std::size_t(index)]) {
        const auto first
            = std::find_if(m_days.begin(), m_days.end(), [&](const auto &seen) { return seen.first == qint32(index); });
        return refuse(QStringLiteral("同じ日付が %1 行目にもあります。").arg(first->second));
    }
    m_seen[std::size_t(index)] = true;
    m_days.emplace_back(qint32(index), qint32(line));
    r.TEMP = parseTemperature(fields.at(Temperature));
    if (!r.TEMP)
        return refuse(QStringLiteral("体温が数値ではありません。"));
    r.CONDITION = fields.at(Condition).isNull() ? QString(QLatin1String("")) : fields.at(Condition);
    r.DIARY = fields.at(Diary).isNull() ? QString(QLatin1String("")) : fields.at(Diary);
    const int period = parseFlag(fields.at(Period));
    const int intercourse = parseFlag(fields.at(Intercourse));
    if (period < 0 || intercourse < 0)
        return refuse(QStringLiteral("%1の欄は 0 か 1 で書きます。")
                          .arg(period < 0 ? QStringLiteral("月経") : QStringLiteral("SEX")));
    r.GUEST = period == 1;
    r.LOVE = intercourse == 1;
    if (m_withSigns) {
        QString why;
        r.SIGNS = parseSigns(fields, &why);
        if (!r.SIGNS)
            return refuse(why);
    }
    return r;
}

QStringList diaryCsvHeader()
{
    return {QStringLiteral("date"),           QStringLiteral("temperature"),    QStringLiteral("condition"),
            QStringLiteral("diary"),          QStringLiteral("period"),         QStringLiteral("intercourse"),
            QStringLiteral("excluded"),       QStringLiteral("exclude_reason"), QStringLiteral("bleeding"),
            QStringLiteral("spotting"),       QStringLiteral("mucus"),          QStringLiteral("lh_test"),
            QStringLiteral("pregnancy_test"), QStringLiteral("medication")};
}

QString csvTemperature(double value)
{
    // The fixed form never shows an exponent; the sign of a negative zero is kept so
    // that even that reads back bit for bit.
    if (value == 0 && std::signbit(value))
        return QStringLiteral("-0");
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

DiaryExport diaryToCsv(const std::vector<QVariantList> &rows)
{
    DiaryExport out;
    // A byte order mark first, so that spreadsheets on Japanese systems read it as UTF-8.
    out.text = QByteArray("\xEF\xBB\xBF") + csvRecord(diaryCsvHeader());
    DiaryRowCheck check;
    for (const QVariantList &row : rows) {
        const QVariant &temp = row.at(Temperature);
        auto flag = [&row](Column c) { return row.at(c).isNull() ? QStringLiteral("0") : storedText(row.at(c)); };
        QStringList fields = {storedText(row.at(Date)),
                              temp.typeId() == QMetaType::Double ? csvTemperature(temp.toDouble()) : storedText(temp),
                              storedText(row.at(Condition)),
                              storedText(row.at(Diary)),
                              flag(Period),
                              flag(Intercourse)};
        // The signs as stored, a NULL (nothing recorded, or no signs at all) as an empty field.
        for (int c = Excluded; c < ColumnCount; ++c)
            fields << storedText(row.at(c));
        // The line only names a day's first row in a message, which the count does not use.
        if (!check.read(fields, out.rows + 2))
            ++out.refused;
        out.text += csvRecord(fields);
        ++out.rows;
    }
    return out;
}

DiaryCsvReader::DiaryCsvReader(QByteArrayView text, std::optional<CsvEncoding> encoding) : m_csv(text, encoding) { }

std::optional<DayRecord> DiaryCsvReader::fail(int line, const QString &error)
{
    m_errorLine = line;
    m_error = error;
    return std::nullopt;
}

std::optional<DayRecord> DiaryCsvReader::next()
{
    if (m_errorLine != 0)
        return std::nullopt;
    CsvRow &row = m_row;
    if (!m_headerRead) {
        if (!m_csv.next(&row) && m_csv.errorLine() != 0)
            return fail(m_csv.errorLine(), m_csv.error());
        const QStringList header = diaryCsvHeader();
        if (row.fields == header.first(kEntryColumns))
            m_check = DiaryRowCheck(false);
        else if (row.fields != header)
            return fail(1, QStringLiteral("見出し行が %1 ではありません。").arg(header.join(QLatin1Char(','))));
        m_headerRead = true;
    }
    if (!m_csv.next(&row))
        return m_csv.errorLine() != 0 ? fail(m_csv.errorLine(), m_csv.error()) : std::nullopt;
    std::optional<DayRecord> record = m_check.read(row.fields, row.line);
    return record ? record : fail(row.line, m_check.error());
}

ImportCheck checkImport(QByteArrayView text, std::optional<CsvEncoding> encoding, const std::vector<QDate> &storedDays,
                        const QDate &today, const std::function<void(qsizetype done)> &progress)
{
    ImportCheck check;
    DiaryCsvReader reader(text, encoding);
    while (const std::optional<DayRecord> record = reader.next()) {
        ++check.days;
        if (std::binary_search(storedDays.begin(), storedDays.end(), record->DAT_DATE))
            ++check.stored;
        if (check.first.size() < kPreviewDays)
            check.first.push_back(*record);
        if (record->DAT_DATE > today && ++check.laterDays <= kPreviewDays)
            check.later.push_back(*record);
        if (progress && check.days % 1024 == 0)
            progress(reader.csv().position());
    }
    check.errorLine = reader.errorLine();
    check.error = reader.error();
    check.encoding = reader.csv().encoding();
    check.marked = reader.csv().marked();
    return check;
}

FileBytes readImportFile(const QString &path, qint64 limit)
{
    const QByteArray name = QFile::encodeName(path);
    const QString notAFile = QStringLiteral("通常のﾌｧｲﾙではないため、読み込めません。");
    const QString tooLarge = QStringLiteral("ﾌｧｲﾙが大きすぎます。");
    // Looked at before it is opened: opening a device can do something by itself.
    struct stat info;
    if (::stat(name.constData(), &info) != 0)
        return failedRead(QStringLiteral("ﾌｧｲﾙを開けません。\n%1").arg(fileErrorText(errno, FileAccess::Read)));
    if (!S_ISREG(info.st_mode))
        return failedRead(notAFile);
    // Without O_NONBLOCK the opening of a pipe put in its place meanwhile would wait for
    // a writer; what was opened is looked at again.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failedRead(QStringLiteral("ﾌｧｲﾙを開けません。\n%1").arg(fileErrorText(errno, FileAccess::Read)));
    FileBytes result;
    if (::fstat(fd, &info) != 0) {
        result.error = QStringLiteral("ﾌｧｲﾙを開けません。\n%1").arg(fileErrorText(errno, FileAccess::Read));
    } else if (!S_ISREG(info.st_mode)) {
        result.error = notAFile;
    } else if (info.st_size > limit) {
        result.error = tooLarge;
    } else {
        // One byte past the limit tells a file that grew while it was read.
        QByteArray &bytes = result.bytes;
        bytes.resize(qsizetype(info.st_size) + 1);
        qint64 done = 0;
        while (result.error.isNull()) {
            if (done == bytes.size()) {
                if (done > limit) {
                    result.error = tooLarge;
                    break;
                }
                bytes.resize(qsizetype(std::min(limit + 1, done * 2 + 4096)));
            }
            const ssize_t n = ::read(fd, bytes.data() + done, std::size_t(bytes.size() - done));
            if (n == 0)
                break;
            if (n > 0)
                done += n;
            else if (errno != EINTR)
                result.error = QStringLiteral("ﾌｧｲﾙを読めません。\n%1").arg(fileErrorText(errno, FileAccess::Read));
        }
        bytes.truncate(qsizetype(done));
    }
    ::close(fd);
    if (!result.error.isNull())
        result.bytes.clear();
    return result;
}

} // namespace nerina
