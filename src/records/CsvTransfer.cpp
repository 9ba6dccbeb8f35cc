#include "CsvTransfer.h"

#include "CsvFormat.h"
#include "DiaryDb.h"
#include "shell/AppError.h"
#include "shell/Clock.h"
#include "shell/Dialogs.h"
#include "shell/FileSafety.h"
#include "shell/Form1.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTabWidget>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nerina {

namespace {

const QString kExportTitle = QStringLiteral("ｴｸｽﾎﾟｰﾄ");
const QString kImportTitle = QStringLiteral("ｲﾝﾎﾟｰﾄ");
const QString kFilter = QStringLiteral("CSV ﾌｧｲﾙ (*.csv);;すべてのﾌｧｲﾙ (*)");

// Far above a lifetime of daily entries; keeps a wrongly chosen huge file out of memory.
constexpr qint64 kMaxImportBytes = 64 * 1024 * 1024;

enum Column { Date, Temperature, Condition, Diary, Period, Intercourse, ColumnCount };

// Returns 0 for "0", 1 for "1", -1 for anything else.
int parseFlag(const QString &field)
{
    if (field == QLatin1String("0"))
        return 0;
    if (field == QLatin1String("1"))
        return 1;
    return -1;
}

QDate parseDate(const QString &field)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2})$"));
    const QRegularExpressionMatch m = pattern.match(field);
    if (!m.hasMatch())
        return QDate();
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
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

// The rules every data row of the file must pass, in file order. The import stops at
// the first row they refuse; the export counts the rows they would refuse.
class DiaryRowCheck
{
public:
    // The entry of the row that starts on `line`, or nothing, with error() saying why.
    std::optional<DayRecord> read(const QStringList &fields, int line)
    {
        auto refuse = [this](const QString &why) {
            m_error = why;
            return std::optional<DayRecord>();
        };
        if (fields.size() != ColumnCount)
            return refuse(QStringLiteral("列の数が %1 ではなく %2 です。").arg(int(ColumnCount)).arg(fields.size()));
        DayRecord r;
        r.DAT_DATE = parseDate(fields.at(Date));
        if (!r.DAT_DATE.isValid())
            return refuse(QStringLiteral("日付が正しくありません（YYYY-MM-DD の形で書きます）。"));
        if (const auto first = m_seen.constFind(r.DAT_DATE); first != m_seen.constEnd())
            return refuse(QStringLiteral("同じ日付が %1 行目にもあります。").arg(*first));
        m_seen.insert(r.DAT_DATE, line);
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
        return r;
    }

    const QString &error() const { return m_error; }

private:
    QHash<QDate, int> m_seen; // day -> the line it was first on
    QString m_error;
};

// A stored value as text: a NULL as the empty text, a number in its shortest form, a
// blob as the UTF-8 text it holds.
QString storedText(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

// Why a file could not be opened or read, in Japanese.
QString readErrorText(int systemError)
{
    switch (systemError) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("ﾌｧｲﾙがありません。");
    case EACCES:
    case EPERM:
        return QStringLiteral("ﾌｧｲﾙを読む権限がありません。");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました。");
    default:
        return QStringLiteral("エラー番号 %1").arg(systemError);
    }
}

FileBytes failedRead(const QString &text)
{
    FileBytes result;
    result.error = text;
    return result;
}

} // namespace

QStringList diaryCsvHeader()
{
    return {QStringLiteral("date"), QStringLiteral("temperature"), QStringLiteral("condition"),
            QStringLiteral("diary"), QStringLiteral("period"), QStringLiteral("intercourse")};
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
    out.text = csvRecord(diaryCsvHeader());
    DiaryRowCheck check;
    for (const QVariantList &row : rows) {
        const QVariant &temp = row.at(Temperature);
        auto flag = [&row](Column c) {
            return row.at(c).isNull() ? QStringLiteral("0") : storedText(row.at(c));
        };
        const QStringList fields = {
            storedText(row.at(Date)),
            temp.typeId() == QMetaType::Double ? csvTemperature(temp.toDouble()) : storedText(temp),
            storedText(row.at(Condition)), storedText(row.at(Diary)), flag(Period), flag(Intercourse)};
        // The line only names a day's first row in a message, which the count does not use.
        if (!check.read(fields, out.rows + 2))
            ++out.refused;
        out.text += csvRecord(fields);
        ++out.rows;
    }
    return out;
}

DiaryCsv diaryFromCsv(const QByteArray &text)
{
    DiaryCsv result;
    auto fail = [&result](int line, const QString &message) {
        result.records.clear();
        result.errorLine = line;
        result.error = message;
        return result;
    };

    const CsvParse parsed = parseCsv(text);
    if (!parsed.ok())
        return fail(parsed.errorLine, parsed.error);
    if (parsed.rows.empty() || parsed.rows.front().fields != diaryCsvHeader())
        return fail(1, QStringLiteral("見出し行が %1 ではありません。").arg(diaryCsvHeader().join(QLatin1Char(','))));

    DiaryRowCheck check;
    result.records.reserve(parsed.rows.size() - 1);
    for (std::size_t i = 1; i < parsed.rows.size(); ++i) {
        const CsvRow &row = parsed.rows[i];
        std::optional<DayRecord> record = check.read(row.fields, row.line);
        if (!record)
            return fail(row.line, check.error());
        result.records.push_back(std::move(*record));
    }
    return result;
}

FileBytes readImportFile(const QString &path, qint64 limit)
{
    const QByteArray name = QFile::encodeName(path);
    const QString notAFile = QStringLiteral("通常のﾌｧｲﾙではないため、読み込めません。");
    const QString tooLarge = QStringLiteral("ﾌｧｲﾙが大きすぎます。");
    // Looked at before it is opened: opening a device can do something by itself.
    struct stat info;
    if (::stat(name.constData(), &info) != 0)
        return failedRead(QStringLiteral("ﾌｧｲﾙを開けません。\n%1").arg(readErrorText(errno)));
    if (!S_ISREG(info.st_mode))
        return failedRead(notAFile);
    // Without O_NONBLOCK the opening of a pipe put in its place meanwhile would wait for
    // a writer; what was opened is looked at again.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failedRead(QStringLiteral("ﾌｧｲﾙを開けません。\n%1").arg(readErrorText(errno)));
    FileBytes result;
    if (::fstat(fd, &info) != 0) {
        result.error = QStringLiteral("ﾌｧｲﾙを開けません。\n%1").arg(readErrorText(errno));
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
                result.error = QStringLiteral("ﾌｧｲﾙを読めません。\n%1").arg(readErrorText(errno));
        }
        bytes.truncate(qsizetype(done));
    }
    ::close(fd);
    if (!result.error.isNull())
        result.bytes.clear();
    return result;
}

QString CsvTransfer::defaultPath() const
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString day = m_form.context().clock.now().date().toString(QStringLiteral("yyyyMMdd"));
    return QDir(folder).filePath(QStringLiteral("nerina-%1.csv").arg(day));
}

void CsvTransfer::exportDiary()
{
    Dialogs &dialogs = m_form.context().dialogs;
    try {
        DiaryDb &db = openedDiary(m_form.state().G_DB);
        const QString path = dialogs.saveFileName(&m_form, kExportTitle, defaultPath(), kFilter);
        if (path.isEmpty())
            return;

        const DiaryExport csv = diaryToCsv(db.storedRows());
        try {
            // The diary is private: the copy is readable by its owner only.
            writeFileSafely(path, csv.text);
        } catch (const AppError &error) {
            dialogs.message(&m_form, QStringLiteral("ﾌｧｲﾙに書き込めません。\n%1").arg(error.message()),
                            Dialogs::Icon::Warning, Dialogs::Buttons::Ok, kExportTitle);
            return;
        }
        QString done = QStringLiteral("%1 日分のﾃﾞｰﾀを書き出しました。").arg(csv.rows);
        if (csv.refused > 0)
            done += QStringLiteral("\nうち %1 行は、取り込めない値を含んでいます（取り込む前に、その行を直すか消して下さい）。")
                        .arg(csv.refused);
        dialogs.message(&m_form, done, Dialogs::Icon::Information, Dialogs::Buttons::Ok, kExportTitle);
    } catch (const AppError &error) {
        m_form.showPgError(error.message());
    }
}

void CsvTransfer::importDiary()
{
    try {
        openedDiary(m_form.state().G_DB);
        const QString path = m_form.context().dialogs.openFileName(&m_form, kImportTitle, defaultPath(), kFilter);
        if (!path.isEmpty())
            importFile(path);
    } catch (const AppError &error) {
        m_form.showPgError(error.message());
    }
}

void CsvTransfer::importFile(const QString &path)
{
    Dialogs &dialogs = m_form.context().dialogs;
    auto warn = [&](const QString &text) {
        dialogs.message(&m_form, text, Dialogs::Icon::Warning, Dialogs::Buttons::Ok, kImportTitle);
    };

    const FileBytes file = readImportFile(path, kMaxImportBytes);
    if (!file.error.isNull()) {
        warn(file.error);
        return;
    }

    const DiaryCsv csv = diaryFromCsv(file.bytes);
    if (!csv.ok()) {
        warn(QStringLiteral("%1 行目が正しくありません。\n%2\nﾃﾞｰﾀは取り込んでいません。").arg(csv.errorLine).arg(csv.error));
        return;
    }
    if (csv.records.empty()) {
        warn(QStringLiteral("取り込むﾃﾞｰﾀがありません。"));
        return;
    }

    DiaryDb &db = openedDiary(m_form.state().G_DB);
    QDate earliest = csv.records.front().DAT_DATE;
    for (const DayRecord &r : csv.records)
        earliest = std::min(earliest, r.DAT_DATE);
    QSet<QDate> stored;
    for (const DayRecord &r : db.daysFrom(earliest))
        stored.insert(r.DAT_DATE);

    std::vector<DayRecord> fresh;
    std::vector<DayRecord> clashing;
    for (const DayRecord &r : csv.records)
        (stored.contains(r.DAT_DATE) ? clashing : fresh).push_back(r);

    bool overwrite = false;
    if (!clashing.empty()) {
        // One question for all of them; keeping what is there is the safe default.
        overwrite = dialogs.message(&m_form,
                        QStringLiteral("このうち %1 日分はすでに登録されています。\n"
                                       "登録済みのﾃﾞｰﾀを上書きしますか？\n"
                                       "（［いいえ］を選ぶと、その日のﾃﾞｰﾀはそのまま残します）")
                            .arg(clashing.size()),
                        Dialogs::Icon::Question, Dialogs::Buttons::YesNo, kImportTitle, Dialogs::Answer::No)
                    == Dialogs::Answer::Yes;
    }

    std::vector<DayRecord> toWrite = fresh;
    if (overwrite)
        toWrite.insert(toWrite.end(), clashing.begin(), clashing.end());
    db.saveDays(toWrite);

    // Show what changed where it costs the user nothing: the day on screen is reloaded
    // only when it holds no unsaved edits, and the forecast follows new period days.
    SharedState &state = m_form.state();
    const bool selectedDayWritten = std::any_of(toWrite.begin(), toWrite.end(), [&](const DayRecord &r) {
        return r.DAT_DATE == state.G_SEL_DATE;
    });
    if (selectedDayWritten && !state.G_DIRTY) {
        m_form.LoadDayRecord();
        // Filling the boxes fires their change handlers; what they show is stored.
        state.G_DIRTY = false;
    }
    m_form.setPanelText(2, m_form.ForecastNextPeriod());
    if (m_form.ui().SSTab1->currentIndex() == 1)
        m_form.FillHistoryGrid();

    QString done = QStringLiteral("%1 日分のﾃﾞｰﾀを取り込みました。").arg(toWrite.size());
    if (!overwrite && !clashing.empty())
        done += QStringLiteral("\n登録済みの %1 日分はそのまま残しました。").arg(clashing.size());
    dialogs.message(&m_form, done, Dialogs::Icon::Information, Dialogs::Buttons::Ok, kImportTitle);
}

} // namespace nerina
