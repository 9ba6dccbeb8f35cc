#include "FRM_DELETE.h"

#include "Backup.h"
#include "common/AppError.h"
#include "common/Clock.h"
#include "common/Conversions.h"
#include "common/Dialogs.h"
#include "common/Fonts.h"
#include "common/Twips.h"
#include "records/SharedState.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>

namespace nerina {

namespace {

// The day the picker shows each time the window opens.
const QDate kDesignDay(2000, 4, 16);

} // namespace

FRM_DELETE::FRM_DELETE(const SharedState &state, Dialogs &dialogs, const Clock &clock, QWidget *parent)
    : QDialog(parent), m_state(state), m_dialogs(dialogs), m_clock(clock)
{
    setObjectName(QStringLiteral("FRM_DELETE"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ﾃﾞｰﾀﾍﾞｰｽﾌｧｲﾙのﾒﾝﾃﾅﾝｽ"));

    const int dpi = logicalDpi(this);
    auto px = [dpi](int twips) { return twipsToPixels(twips, dpi); };
    setFixedSize(px(4755), px(1515));

    m_picker = new QDateEdit(kDesignDay, this);
    m_picker->setObjectName(QStringLiteral("DTPicker1"));
    // The date picker's default form, the Japanese short date, whatever the system locale.
    m_picker->setDisplayFormat(japaneseLocale().dateFormat(QLocale::ShortFormat));
    useJapaneseCalendar(m_picker);
    m_picker->setGeometry(px(240), px(240), px(1815), px(375));

    m_label1 = new QLabel(QStringLiteral("以前のﾃﾞｰﾀを削除します。"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setFont(designFont());
    m_label1->setGeometry(px(2160), px(240), px(2415), px(375));
    // The picker reads as the sentence it begins on screen.
    m_picker->setAccessibleName(m_label1->text());

    m_run = new QPushButton(QStringLiteral("実行"), this);
    m_run->setObjectName(QStringLiteral("cmdRun"));
    m_run->setGeometry(px(1680), px(900), px(1335), px(375));

    m_cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cancel->setGeometry(px(3180), px(900), px(1335), px(375));

    connect(m_run, &QPushButton::clicked, this, [this] { cmdRun_Click(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void FRM_DELETE::cmdRun_Click()
{
    try {
        // The day alone: whatever time the picker carries never moves the cut-off.
        const QDate cutOff = m_picker->date();
        const QString day = cutOff.toString(QStringLiteral("yyyy/MM/dd"));
        const Dialogs::Answer answer = m_dialogs.question(
            this, day + QStringLiteral("以前のﾃﾞｰﾀを削除します。続けますか？"), QStringLiteral("削除確認"));
        if (answer != Dialogs::Answer::Yes)
            return;
        DiaryDb &db = m_state.db();
        const QDateTime now = m_clock.now();
        // A purge cannot be undone: the copy of the diary is taken and checked inside the
        // delete's own transaction, under its write lock, so it holds every row the delete
        // starts from; without it nothing is deleted. Whatever fails, she is told that
        // nothing was.
        bool copying = false;
        try {
            db.deleteUpTo(cutOff, [&](sqlite3 *diary) {
                copying = true;
                backupDiary(diary, db.path(), now);
                copying = false;
            });
        } catch (const AppError &e) {
            throw AppError((copying ? QStringLiteral("バックアップを作成できなかったため、削除しませんでした。\n")
                                    : QStringLiteral("削除できませんでした。データは削除されていません。\n"))
                           + e.message());
        }
        m_dialogs.notice(this, QStringLiteral("削除されました"));
        close();
    } catch (const AppError &e) {
        m_dialogs.notice(this, e.message());
        close();
    }
}

void FRM_DELETE::cmdCancel_Click() { close(); }

} // namespace nerina
