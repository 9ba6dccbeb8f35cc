#include "FRM_CYCLE.h"

#include "CycleTracker.h"
#include "Forecast.h"
#include "common/Clock.h"
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

const QString kNone = QStringLiteral("－");

QString dayText(const QDate &day) { return day.toString(QStringLiteral("yyyy/MM/dd")); }

QString daysText(const std::optional<int> &days) { return days ? QStringLiteral("%1日").arg(*days) : kNone; }

QString temperatureText(const std::optional<double> &t)
{
    return t ? QString::number(*t, 'f', 2) + QStringLiteral("℃") : kNone;
}

} // namespace

QString cycleSummaryText(const CycleSummary &s, int count)
{
    const QString head = QStringLiteral("直近%1周期：").arg(count);
    if (!s.enough)
        return head + QStringLiteral("まだデータが足りません（完了した周期が3つ以上あると表示します）");
    QString text = head
                   + QStringLiteral("平均 %1日（最短 %2日・最長 %3日、%4周期）")
                         .arg(QString::number(s.meanLength, 'f', 1))
                         .arg(s.shortest)
                         .arg(s.longest)
                         .arg(s.cycles);
    text += QStringLiteral("、黄体期の平均 ")
            + (s.meanLuteal ? QString::number(*s.meanLuteal, 'f', 1) + QStringLiteral("日") : kNone);
    return text;
}

QStringList cycleSummaryTexts(const QList<CycleRecord> &cycles)
{
    return {cycleSummaryText(summarizeCycles(cycles, 6), 6), cycleSummaryText(summarizeCycles(cycles, 12), 12)};
}

FRM_CYCLE::FRM_CYCLE(const SharedState &state, Dialogs &dialogs, const Clock &clock, CycleTracker &tracker,
                     QWidget *parent)
    : QDialog(parent), m_dialogs(dialogs), m_tracker(tracker)
{
    setObjectName(QStringLiteral("FRM_CYCLE"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("月経周期の記録"));
    setFont(designFont(9));

    CYCLE_LIST = new QTableWidget(0, 7, this);
    CYCLE_LIST->setObjectName(QStringLiteral("CYCLE_LIST"));
    CYCLE_LIST->setAccessibleName(QStringLiteral("月経周期の一覧"));
    CYCLE_LIST->setHorizontalHeaderLabels({QStringLiteral("開始日"), QStringLiteral("周期"), QStringLiteral("月経"),
                                           QStringLiteral("高温期の始まり"), QStringLiteral("黄体期"),
                                           QStringLiteral("低温期の平均"), QStringLiteral("高温期の平均")});
    CYCLE_LIST->verticalHeader()->hide();
    CYCLE_LIST->setEditTriggers(QAbstractItemView::NoEditTriggers);
    CYCLE_LIST->setSelectionBehavior(QAbstractItemView::SelectRows);
    CYCLE_LIST->horizontalHeader()->setStretchLastSection(true);
    // Widths from the first rows only: a lifetime holds over a thousand cycles.
    CYCLE_LIST->horizontalHeader()->setResizeContentsPrecision(60);

    SUMMARY_6 = new QLabel(this);
    SUMMARY_6->setObjectName(QStringLiteral("SUMMARY_6"));
    SUMMARY_12 = new QLabel(this);
    SUMMARY_12->setObjectName(QStringLiteral("SUMMARY_12"));
    cmdApply = new QPushButton(this);
    cmdApply->setObjectName(QStringLiteral("cmdApply"));
    cmdClose = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdApply);
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(CYCLE_LIST, 1);
    layout->addWidget(SUMMARY_6);
    layout->addWidget(SUMMARY_12);
    layout->addLayout(buttons);

    connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    // A day typed a year or a decade ahead would end the running cycle and begin one there.
    trapped(m_dialogs, parent, [&] { m_cycles = cycleRecords(state.db().cycleDays(clock.now().date())); });
    fill();
    resize(760, 420);
}

void FRM_CYCLE::fill()
{
    CYCLE_LIST->setRowCount(int(m_cycles.size()));
    for (int row = 0; row < m_cycles.size(); ++row) {
        const CycleRecord &c = m_cycles[row];
        const QStringList cells
            = {dayText(c.start),
               c.running ? QStringLiteral("進行中（%1日目）").arg(c.length) : QStringLiteral("%1日").arg(c.length),
               QStringLiteral("%1日").arg(c.periodLength),
               c.shiftDay ? dayText(*c.shiftDay) : kNone,
               daysText(c.lutealLength),
               temperatureText(c.lowMean),
               temperatureText(c.highMean)};
        for (int col = 0; col < cells.size(); ++col) {
            auto *item = new QTableWidgetItem(cells[col]);
            item->setTextAlignment(col == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
            CYCLE_LIST->setItem(row, col, item);
        }
    }
    CYCLE_LIST->resizeColumnsToContents();

    const CycleSummary lastSix = summarizeCycles(m_cycles, 6);
    SUMMARY_6->setText(cycleSummaryText(lastSix, 6));
    SUMMARY_12->setText(cycleSummaryText(summarizeCycles(m_cycles, 12), 12));
    m_suggested = suggestedCycleLength(lastSix);
    cmdApply->setEnabled(acceptedCycleLength(m_suggested));
    cmdApply->setText(m_suggested > 0 ? QStringLiteral("周期を %1日 に設定(&A)").arg(m_suggested)
                                      : QStringLiteral("周期を平均に設定(&A)"));
}

void FRM_CYCLE::cmdApply_Click()
{
    if (!acceptedCycleLength(m_suggested))
        return;
    const QString question
        = QStringLiteral("直近6周期の平均から、月経周期を %1日 に設定します。よろしいですか？").arg(m_suggested);
    if (m_dialogs.question(this, question, QStringLiteral("設定モード")) != Dialogs::Answer::Yes)
        return;
    // The same way as the cycle setting: stored, panel 1, the forecast.
    trapped(m_dialogs, this, [this] { m_tracker.applyCycleLength(QString::number(m_suggested)); });
}

} // namespace nerina
