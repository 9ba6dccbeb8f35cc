#pragma once

#include <QTableWidget>

namespace nerina {

// A text grid addressed like the list's design: row 0 is the fixed header row, rows 1
// and up hold the data; column widths are set in twips. The header row is the table's
// horizontal header, so it never scrolls away, and is written by the format string only.
class FlexGrid final : public QTableWidget
{
    Q_OBJECT
public:
    explicit FlexGrid(QWidget *parent = nullptr);

    int rows() const { return rowCount() + 1; }
    void setRows(int rows);
    void setCols(int cols);

    // "^a|<b|c": one entry a column; "^" centres, "<" aligns left, nothing aligns left.
    void setFormatString(const QString &format);

    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);

    void setColWidthTwips(int col, int twips);

    void setMergeCol(int col, bool merge);

    void setRedraw(bool on);

protected:
    void changeEvent(QEvent *event) override;

private:
    Qt::Alignment columnAlignment(int col) const;

    QList<Qt::Alignment> m_alignments;
    QList<bool> m_merge;
};

} // namespace nerina
