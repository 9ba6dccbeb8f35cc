#include "FRM_RESTORE.h"

#include "Backup.h"
#include "common/Clock.h"
#include "common/Conversions.h"
#include "common/Dialogs.h"
#include "common/Fonts.h"
#include "records/SharedState.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace nerina {

namespace {

enum Column { Made, Days, First, Last, State, ColumnCount };

QString dayText(const QDate &day) { return day.isValid() ? day.toString(QStringLiteral("yyyy/MM/dd")) : QString(); }

} // namespace

FRM_RESTORE::FRM_RESTORE(const SharedState &state, Dialogs &dialogs, const Clock &clock, QWidget *parent)
    : QDialog(parent), m_state(state), m_dialogs(dialogs), m_clock(clock)
{
    setObjectName(QStringLiteral("FRM_RESTORE"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟからの復元"));
    setFont(designFont(9));

    m_label = new QLabel(QStringLiteral("ﾃﾞｰﾀﾒﾝﾃﾅﾝｽや復元の前に自動で作られたﾊﾞｯｸｱｯﾌﾟです。\n"
                                        "選んだﾊﾞｯｸｱｯﾌﾟの内容に戻します。今のﾃﾞｰﾀも、戻す前にﾊﾞｯｸｱｯﾌﾟとして残ります。"),
                         this);
    BACKUP_LIST = new QTableWidget(0, ColumnCount, this);
    BACKUP_LIST->setObjectName(QStringLiteral("BACKUP_LIST"));
    BACKUP_LIST->setHorizontalHeaderLabels({QStringLiteral("作成日時"), QStringLiteral("日数"),
                                            QStringLiteral("最初の日"), QStringLiteral("最後の日"),
                                            QStringLiteral("状態")});
    BACKUP_LIST->setAccessibleName(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟの一覧"));
    BACKUP_LIST->verticalHeader()->hide();
    BACKUP_LIST->setEditTriggers(QAbstractItemView::NoEditTriggers);
    BACKUP_LIST->setSelectionBehavior(QAbstractItemView::SelectRows);
    BACKUP_LIST->setSelectionMode(QAbstractItemView::SingleSelection);
    BACKUP_LIST->horizontalHeader()->setStretchLastSection(true);
    m_label->setBuddy(BACKUP_LIST);

    cmdRestore = new QPushButton(QStringLiteral("復元(&R)"), this);
    cmdRestore->setObjectName(QStringLiteral("cmdRestore"));
    cmdRestore->setDefault(true);
    cmdClose = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdRestore);
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(BACKUP_LIST, 1);
    layout->addLayout(buttons);

    connect(cmdRestore, &QPushButton::clicked, this, [this] { cmdRestore_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(BACKUP_LIST, &QTableWidget::itemSelectionChanged, this,
            [this] { cmdRestore->setEnabled(!BACKUP_LIST->selectedItems().isEmpty()); });
    connect(BACKUP_LIST, &QTableWidget::itemDoubleClicked, this, [this] { cmdRestore_Click(); });

    fill();
    resize(640, 320);
}

void FRM_RESTORE::fill()
{
    BACKUP_LIST->setRowCount(0);
    const QList<BackupInfo> backups = m_state.G_DB ? listBackups(m_state.G_DB->path()) : QList<BackupInfo>();
    for (const BackupInfo &b : backups) {
        const int row = BACKUP_LIST->rowCount();
        BACKUP_LIST->insertRow(row);
        const QStringList cells
            = {japaneseLocale().toString(b.made, QStringLiteral("yyyy/MM/dd HH:mm:ss")),
               b.usable ? QStringLiteral("%1 日分").arg(b.days) : QString(), dayText(b.first), dayText(b.last),
               b.usable ? QStringLiteral("使用できます")
                        : QStringLiteral("使用できません（%1）").arg(b.problem.section(QLatin1Char('\n'), 0, 0))};
        for (int c = 0; c < ColumnCount; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setData(Qt::UserRole, b.path);
            item->setData(Qt::UserRole + 1, b.days);
            if (!b.usable)
                item->setFlags(Qt::NoItemFlags); // shown, but it cannot be picked
            BACKUP_LIST->setItem(row, c, item);
        }
    }
    BACKUP_LIST->resizeColumnsToContents();
    BACKUP_LIST->clearSelection();
    cmdRestore->setEnabled(false);
    if (BACKUP_LIST->rowCount() == 0)
        m_label->setText(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟはまだありません。ﾃﾞｰﾀﾒﾝﾃﾅﾝｽで削除する前に自動で作られます。"));
}

void FRM_RESTORE::cmdRestore_Click()
{
    const QList<QTableWidgetItem *> picked = BACKUP_LIST->selectedItems();
    if (picked.isEmpty() || !(picked.first()->flags() & Qt::ItemIsEnabled))
        return;
    const int row = picked.first()->row();
    const QString path = picked.first()->data(Qt::UserRole).toString();
    const QString question = QStringLiteral("%1 に作られたﾊﾞｯｸｱｯﾌﾟ（%2 日分）の内容に戻します。\n"
                                            "今のﾃﾞｰﾀは、戻す前にﾊﾞｯｸｱｯﾌﾟとして残します。よろしいですか？")
                                 .arg(BACKUP_LIST->item(row, Made)->text())
                                 .arg(picked.first()->data(Qt::UserRole + 1).toLongLong());
    if (m_dialogs.question(this, question, QStringLiteral("復元確認")) != Dialogs::Answer::Yes)
        return;
    // One moment names the copy of the diary and is the time she is told to look for.
    const QDateTime now = m_clock.now();
    if (!trapped(m_dialogs, this, [&] { restoreBackup(m_state.db().path(), path, now); }))
        return;
    emit restored();
    m_dialogs.message(this,
                      QStringLiteral("復元しました。\n元に戻すときは、%1 に作られたﾊﾞｯｸｱｯﾌﾟを復元して下さい。")
                          .arg(japaneseLocale().toString(now, QStringLiteral("yyyy/MM/dd HH:mm:ss"))),
                      Dialogs::Icon::Information, Dialogs::Buttons::Ok, QStringLiteral("復元"));
    accept();
}

} // namespace nerina
