#pragma once
// The table every list screen shows: a fixed heading row above the data
// rows, whole rows selected, nothing edited in place. Each data row carries
// a 32-bit row data value, normally the id of the object it shows. Data rows
// are numbered from 0; the heading row is not a data row.
//
// A click on a heading sorts by that column (GridSort): ascending, and
// descending on a second click. The sort marker remembers the order so that
// a reload can restore it (ReapplyGridSort).

#include <QTableWidget>

namespace orvane {
class Channel;
}

namespace velumar {

class Grid : public QTableWidget {
    Q_OBJECT
public:
    explicit Grid(QWidget* parent = nullptr);

    void SetHeadings(const QStringList& headings);
    // Clears the data rows; the headings and the sort marker stay.
    void ClearRows();
    // Appends a data row; answers its number.
    int AddRow(const QStringList& texts, qint32 rowData);

    QString TextMatrix(int row, int column) const;
    qint32 RowData(int row) const;
    void SetRowData(int row, qint32 rowData);

    // "+" or "-" and a column number, or empty: the order last sorted in.
    QString SortMarker() const { return sortMarker_; }
    void SetSortMarker(const QString& marker);

    // Where a column range out of bounds is logged; none: not logged.
    void SetChannel(orvane::Channel* channel) { channel_ = channel; }
    orvane::Channel* Channel() const { return channel_; }

private:
    QString sortMarker_;
    orvane::Channel* channel_ = nullptr;
};

} // namespace velumar
