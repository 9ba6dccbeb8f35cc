#include "FlexGrid.h"

#include "common/Twips.h"

#include <QEvent>
#include <QHeaderView>

namespace nerina {

FlexGrid::FlexGrid(QWidget *parent) : QTableWidget(parent)
{
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    // One line of text a row, so that many days fit on the screen at once.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}

void FlexGrid::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    QTableWidget::changeEvent(event);
}

void FlexGrid::setRows(int rows) { setRowCount(qMax(0, rows - 1)); }

void FlexGrid::setCols(int cols)
{
    setColumnCount(cols);
    m_alignments.resize(cols, Qt::AlignLeft | Qt::AlignVCenter);
    m_merge.resize(cols, false);
}

void FlexGrid::setFormatString(const QString &format)
{
    const QStringList parts = format.split(QLatin1Char('|'));
    if (columnCount() < parts.size())
        setCols(int(parts.size()));
    for (int c = 0; c < parts.size(); ++c) {
        QString text = parts.at(c);
        Qt::Alignment align = Qt::AlignLeft;
        if (text.startsWith(QLatin1Char('^'))) {
            align = Qt::AlignHCenter;
            text.remove(0, 1);
        } else if (text.startsWith(QLatin1Char('<'))) {
            text.remove(0, 1);
        }
        m_alignments[c] = align | Qt::AlignVCenter;
        auto *header = new QTableWidgetItem(text);
        header->setTextAlignment(Qt::AlignCenter);
        setHorizontalHeaderItem(c, header);
    }
}

Qt::Alignment FlexGrid::columnAlignment(int col) const
{
    return m_alignments.value(col, Qt::AlignLeft | Qt::AlignVCenter);
}

QString FlexGrid::textMatrix(int row, int col) const
{
    const QTableWidgetItem *cell = item(row - 1, col);
    return cell ? cell->text() : QString();
}

void FlexGrid::setTextMatrix(int row, int col, const QString &text)
{
    if (QTableWidgetItem *cell = item(row - 1, col)) {
        cell->setText(text);
        return;
    }
    auto *cell = new QTableWidgetItem(text);
    cell->setTextAlignment(columnAlignment(col));
    setItem(row - 1, col, cell);
}

void FlexGrid::setColWidthTwips(int col, int twips) { setColumnWidth(col, twipsToPixels(twips, logicalDpi(this))); }

void FlexGrid::setMergeCol(int col, bool merge)
{
    if (col >= 0 && col < m_merge.size())
        m_merge[col] = merge;
}

void FlexGrid::setRedraw(bool on) { setUpdatesEnabled(on); }

} // namespace nerina
