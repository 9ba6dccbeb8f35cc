#include "CsvTransfer.h"

#include "DiaryCsv.h"
#include "SharedState.h"
#include "common/Clock.h"
#include "common/Dialogs.h"
#include "common/FileSafety.h"

#include <QDir>

#include <algorithm>
#include <memory>
#include <optional>

namespace nerina {

namespace {

const QString kExportTitle = QStringLiteral("ｴｸｽﾎﾟｰﾄ");
const QString kImportTitle = QStringLiteral("ｲﾝﾎﾟｰﾄ");
const QString kFilter = QStringLiteral("CSV ﾌｧｲﾙ (*.csv);;すべてのﾌｧｲﾙ (*)");

// Thrown out of the import's work when she cancels it.
struct Cancelled
{ };

// A day as the preview shows it.
QString shownDay(const QDate &day) { return day.toString(QStringLiteral("yyyy/MM/dd")); }

// A day's signs in a few words, with the entry's own names, so she sees they come along.
QString signsSummary(const std::optional<DaySigns> &signs)
{
    if (!signs)
        return QString();
    QStringList words;
    if (signs->excluded)
        words << (signs->excludeReason.isEmpty() ? QStringLiteral("除外")
                                                 : QStringLiteral("除外（%1）").arg(signs->excludeReason));
    if (signs->bleeding)
        words << QStringLiteral("経血量 ") + signText(*signs->bleeding);
    if (signs->spotting)
        words << QStringLiteral("不正出血");
    if (signs->mucus)
        words << QStringLiteral("おりもの ") + signText(*signs->mucus);
    if (signs->lhTest)
        words << QStringLiteral("排卵検査薬 ") + signText(*signs->lhTest);
    if (signs->pregnancyTest)
        words << QStringLiteral("妊娠検査薬 ") + signText(*signs->pregnancyTest);
    if (!signs->medication.isEmpty())
        words << QStringLiteral("くすり ") + signs->medication;
    return words.join(QStringLiteral("・"));
}

Dialogs::ImportPreview previewOf(const ImportCheck &check)
{
    Dialogs::ImportPreview p;
    p.encoding = encodingName(check.encoding);
    if (!check.marked)
        p.otherEncoding = encodingName(check.encoding == CsvEncoding::Utf8 ? CsvEncoding::Cp932 : CsvEncoding::Utf8);
    p.newDays = check.days - check.stored;
    p.storedDays = check.stored;
    for (const DayRecord &r : check.later)
        p.laterDays << shownDay(r.DAT_DATE) + (r.GUEST ? QStringLiteral("（月経）") : QString());
    p.laterCount = check.laterDays;
    p.columns = QStringList {QStringLiteral("日付"),         QStringLiteral("体温"), QStringLiteral("体調"),
                             QStringLiteral("ひとこと日記"), QStringLiteral("月経"), QStringLiteral("SEX"),
                             QStringLiteral("しるし")};
    const auto mark = [](bool set) { return set ? QStringLiteral("○") : QString(); };
    for (const DayRecord &r : check.first) {
        // A temperature of 0 is the editor's "no reading".
        p.rows << QStringList {shownDay(r.DAT_DATE), *r.TEMP == 0 ? QString() : csvTemperature(*r.TEMP),
                               *r.CONDITION,         *r.DIARY,
                               mark(r.GUEST),        mark(r.LOVE),
                               signsSummary(r.SIGNS)};
    }
    return p;
}

} // namespace

CsvTransfer::CsvTransfer(SharedState &state, Dialogs &dialogs, const Clock &clock, QWidget *window, KeptFiles kept)
    : m_state(state), m_dialogs(dialogs), m_clock(clock), m_window(window), m_kept(std::move(kept))
{ }

QString CsvTransfer::defaultPath() const
{
    const QString day = m_clock.now().date().toString(QStringLiteral("yyyyMMdd"));
    return QDir(Dialogs::documentsFolder()).filePath(QStringLiteral("nerina-%1.csv").arg(day));
}

void CsvTransfer::exportDiary()
{
    trapped(m_dialogs, m_window, [this] {
        const DiaryDb &db = m_state.db();
        const QString path = m_dialogs.saveFileName(m_window, kExportTitle, defaultPath(), kFilter);
        if (path.isEmpty())
            return;

        const DiaryExport csv = diaryToCsv(db.storedRows());
        try {
            // The diary is private: the copy is readable by its owner only.
            writeFileSafely(path, csv.text, m_kept);
        } catch (const AppError &error) {
            m_dialogs.message(m_window, QStringLiteral("ﾌｧｲﾙに書き込めません。\n%1").arg(error.message()),
                              Dialogs::Icon::Warning, Dialogs::Buttons::Ok, kExportTitle);
            return;
        }
        QString done
            = QStringLiteral("%1 日分のﾃﾞｰﾀを書き出しました。\n%2").arg(csv.rows).arg(QDir::toNativeSeparators(path));
        if (csv.refused > 0)
            done += QStringLiteral(
                        "\nうち %1 行は、取り込めない値を含んでいます（取り込む前に、その行を直すか消して下さい）。")
                        .arg(csv.refused);
        m_dialogs.message(m_window, done, Dialogs::Icon::Information, Dialogs::Buttons::Ok, kExportTitle);
    });
}

void CsvTransfer::importDiary()
{
    trapped(m_dialogs, m_window, [this] {
        m_state.db();
        const QString path = m_dialogs.openFileName(m_window, kImportTitle, defaultPath(), kFilter);
        if (!path.isEmpty())
            importFile(path);
    });
}

void CsvTransfer::importFile(const QString &path)
{
    auto warn = [this](const QString &text) {
        m_dialogs.message(m_window, text, Dialogs::Icon::Warning, Dialogs::Buttons::Ok, kImportTitle);
    };
    const QString notImported = QStringLiteral("ﾃﾞｰﾀは取り込んでいません。");

    const FileBytes file = readImportFile(path, kMaxImportBytes);
    if (!file.error.isNull()) {
        warn(file.error);
        return;
    }
    DiaryDb &db = m_state.db();
    const std::vector<QDate> stored = db.storedDays();
    const QDate today = m_clock.now().date();

    // The file is read once to show what it holds, in the encoding it decides on or the
    // one she asks for, and once more to write it; in between only what the preview shows
    // is kept, never every day as an entry.
    std::optional<CsvEncoding> encoding;
    ImportCheck check;
    for (;;) {
        try {
            const std::unique_ptr<Dialogs::Progress> progress
                = m_dialogs.progress(m_window, QStringLiteral("ﾌｧｲﾙを読んでいます…"), kImportTitle, file.bytes.size());
            check = checkImport(file.bytes, encoding, stored, today, [&](qsizetype done) {
                if (!progress->advance(done))
                    throw Cancelled();
            });
        } catch (const Cancelled &) {
            return;
        }
        if (!check.ok()) {
            warn(QStringLiteral("%1 行目が正しくありません。\n%2\n%3")
                     .arg(check.errorLine)
                     .arg(check.error, notImported));
            return;
        }
        if (check.days == 0) {
            warn(QStringLiteral("取り込むﾃﾞｰﾀがありません。"));
            return;
        }
        const Dialogs::PreviewAnswer answer = m_dialogs.importPreview(m_window, kImportTitle, previewOf(check));
        if (answer == Dialogs::PreviewAnswer::Cancel)
            return;
        if (answer == Dialogs::PreviewAnswer::Import)
            break;
        encoding = check.encoding == CsvEncoding::Utf8 ? CsvEncoding::Cp932 : CsvEncoding::Utf8;
    }

    // One question for the days already there; keeping them is the safe default.
    const bool overwrite
        = check.stored > 0
          && m_dialogs.message(m_window,
                               QStringLiteral("このうち %1 日分はすでに登録されています。\n"
                                              "登録済みのﾃﾞｰﾀを上書きしますか？\n"
                                              "（［いいえ］を選ぶと、その日のﾃﾞｰﾀはそのまま残します）")
                                   .arg(check.stored),
                               Dialogs::Icon::Question, Dialogs::Buttons::YesNo, kImportTitle, Dialogs::Answer::No)
                 == Dialogs::Answer::Yes;

    // All days in one transaction: a cancel, like any failure, leaves the diary as it was.
    // Keeping also keeps a day that another program has written since the file was read.
    std::vector<QDate> kept;
    bool selectedDay = false;
    try {
        const std::unique_ptr<Dialogs::Progress> progress
            = m_dialogs.progress(m_window, QStringLiteral("取り込んでいます…"), kImportTitle, check.days);
        DiaryCsvReader reader(file.bytes, check.encoding);
        std::optional<DayRecord> record;
        qint64 done = 0;
        kept = db.saveDaysFrom(
            [&]() -> const DayRecord * {
                if (!progress->advance(done))
                    throw Cancelled();
                record = reader.next();
                if (!record && reader.errorLine() != 0) // the same bytes read the same way: never
                    throw AppError(reader.error());
                if (!record)
                    return nullptr;
                ++done;
                selectedDay = selectedDay || record->DAT_DATE == m_state.G_SEL_DATE;
                return &*record;
            },
            overwrite ? DiaryDb::Existing::Replace : DiaryDb::Existing::Keep);
    } catch (const Cancelled &) {
        m_dialogs.message(m_window, QStringLiteral("取り込みを中止しました。\n") + notImported,
                          Dialogs::Icon::Information, Dialogs::Buttons::Ok, kImportTitle);
        return;
    }
    selectedDay = selectedDay && std::find(kept.begin(), kept.end(), m_state.G_SEL_DATE) == kept.end();
    emit diaryChanged(selectedDay);

    QString done = QStringLiteral("%1 日分のﾃﾞｰﾀを取り込みました。").arg(check.days - qint64(kept.size()));
    if (!kept.empty())
        done += QStringLiteral("\n登録済みの %1 日分はそのまま残しました。").arg(kept.size());
    m_dialogs.message(m_window, done, Dialogs::Icon::Information, Dialogs::Buttons::Ok, kImportTitle);
}

} // namespace nerina
