#include "CsvTransfer.h"

#include "DiaryCsv.h"
#include "SharedState.h"
#include "common/Clock.h"
#include "common/Dialogs.h"
#include "common/FileSafety.h"

#include <QDir>

#include <algorithm>

namespace nerina {

namespace {

const QString kExportTitle = QStringLiteral("ｴｸｽﾎﾟｰﾄ");
const QString kImportTitle = QStringLiteral("ｲﾝﾎﾟｰﾄ");
const QString kFilter = QStringLiteral("CSV ﾌｧｲﾙ (*.csv);;すべてのﾌｧｲﾙ (*)");

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

    const FileBytes file = readImportFile(path, kMaxImportBytes);
    if (!file.error.isNull()) {
        warn(file.error);
        return;
    }
    const DiaryCsv csv = diaryFromCsv(file.bytes);
    if (!csv.ok()) {
        warn(QStringLiteral("%1 行目が正しくありません。\n%2\nﾃﾞｰﾀは取り込んでいません。")
                 .arg(csv.errorLine)
                 .arg(csv.error));
        return;
    }
    if (csv.records.empty()) {
        warn(QStringLiteral("取り込むﾃﾞｰﾀがありません。"));
        return;
    }

    DiaryDb &db = m_state.db();
    const ImportPlan plan = planImport(csv.records, db);
    bool overwrite = false;
    if (!plan.clashing.empty()) {
        // One question for all of them; keeping what is there is the safe default.
        overwrite
            = m_dialogs.message(m_window,
                                QStringLiteral("このうち %1 日分はすでに登録されています。\n"
                                               "登録済みのﾃﾞｰﾀを上書きしますか？\n"
                                               "（［いいえ］を選ぶと、その日のﾃﾞｰﾀはそのまま残します）")
                                    .arg(plan.clashing.size()),
                                Dialogs::Icon::Question, Dialogs::Buttons::YesNo, kImportTitle, Dialogs::Answer::No)
              == Dialogs::Answer::Yes;
    }

    // Keeping: a day that another program has written since the plan was made is kept too.
    std::size_t kept = 0;
    std::vector<DayRecord> written = plan.fresh;
    if (overwrite) {
        written.insert(written.end(), plan.clashing.begin(), plan.clashing.end());
        db.saveDays(written, DiaryDb::Existing::Replace);
    } else {
        const std::vector<QDate> meanwhile = db.saveDays(written, DiaryDb::Existing::Keep);
        kept = plan.clashing.size() + meanwhile.size();
        std::erase_if(written, [&](const DayRecord &r) {
            return std::find(meanwhile.begin(), meanwhile.end(), r.DAT_DATE) != meanwhile.end();
        });
    }

    emit diaryChanged(std::any_of(written.begin(), written.end(),
                                  [this](const DayRecord &r) { return r.DAT_DATE == m_state.G_SEL_DATE; }));

    QString done = QStringLiteral("%1 日分のﾃﾞｰﾀを取り込みました。").arg(written.size());
    if (kept > 0)
        done += QStringLiteral("\n登録済みの %1 日分はそのまま残しました。").arg(kept);
    m_dialogs.message(m_window, done, Dialogs::Icon::Information, Dialogs::Buttons::Ok, kImportTitle);
}

} // namespace nerina
