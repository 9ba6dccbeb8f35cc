#pragma once

#include <QTableWidget>

namespace nerina {

// A text grid addressed like the list's design: row 0 is the fixed header row, rows 1
// and up hold the data; column widths are set and read in twips. The header row is the
// table's horizontal header, so it never scrolls away.
class FlexGrid final : public QTableWidget
{
    Q_OBJECT
public:
    explicit FlexGrid(QWidget *parent = nullptr);

    int rows() const { return rowCount() + 1; }
    void setRows(int rows);
    int cols() const { return columnCount(); }
    void setCols(int cols);

    // "^a|<b|c": one entry a column; "^" centres, "<" aligns left, nothing aligns left.
    void setFormatString(const QString &format);
    Qt::Alignment columnAlignment(int col) const;

    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);

    int colWidthTwips(int col) const;
    void setColWidthTwips(int col, int twips);

    void setMergeCol(int col, bool merge);
    bool mergeCol(int col) const;

    void setRedraw(bool on);

protected:
    void changeEvent(QEvent *event) override;

private:
    QList<Qt::Alignment> m_alignments;
    QList<bool> m_merge;
};

} // namespace nerina
