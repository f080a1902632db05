#include "grid/grid_helpers.h"

#include "channel.h"
#include "grid/grid.h"

#include <QCoreApplication>
#include <algorithm>
#include <memory>
#include <vector>

namespace velumar {

namespace {

using Row = std::vector<QTableWidgetItem*>;

QString cellText(const Row& row, int column) {
    const QTableWidgetItem* cell = row[static_cast<std::size_t>(column)];
    return cell ? cell->text() : QString();
}

// Negative, zero or positive as a sorts before, with or after b.
int compareRows(const Row& a, const Row& b, int first, int last) {
    for (int column = first; column <= last; ++column) {
        const int order = cellText(a, column).compare(cellText(b, column), Qt::CaseInsensitive);
        if (order != 0)
            return order;
    }
    return 0;
}

} // namespace

GridSelection GetGridSelection(const Grid& grid) {
    const int row = grid.currentRow();
    if (row < 0 || row >= grid.rowCount())
        return {};
    return {row, grid.RowData(row)};
}

void SelectGridRow(Grid& grid, int row, qint32 rowData) {
    if (row == -1)
        for (int candidate = 0; candidate < grid.rowCount(); ++candidate)
            if (grid.RowData(candidate) == rowData) {
                row = candidate;
                break;
            }
    if (row < 0 || row >= grid.rowCount())
        return;
    grid.setCurrentCell(row, 0);
    grid.selectRow(row);
    // A grid just filled scrolls right only once its rows are laid out.
    QCoreApplication::processEvents();
    grid.scrollToItem(grid.item(row, 0));
}

void GridSort(Grid& grid, int firstColumn, int lastColumn) {
    const int columns = grid.columnCount();
    if (firstColumn < 0 || firstColumn >= columns || lastColumn < 0 || lastColumn >= columns) {
        if (orvane::Channel* channel = grid.Channel())
            channel->WriteLog(
                QStringLiteral("GridSort - Column value out of range: iCol1 = %1, iCol2 = %2")
                    .arg(firstColumn)
                    .arg(lastColumn));
        return;
    }

    const QString marker = grid.SortMarker();
    bool numbered = false;
    const int markedColumn = marker.mid(1).toInt(&numbered);
    const bool sameColumn = !marker.isEmpty() && numbered && markedColumn == firstColumn;
    const bool descending = sameColumn && marker.startsWith(QLatin1Char('+'));

    const GridSelection current = GetGridSelection(grid);
    std::vector<Row> rows(static_cast<std::size_t>(grid.rowCount()));
    for (int r = 0; r < grid.rowCount(); ++r)
        for (int c = 0; c < columns; ++c)
            rows[static_cast<std::size_t>(r)].push_back(grid.takeItem(r, c));
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        const int order = compareRows(a, b, firstColumn, lastColumn);
        return descending ? order > 0 : order < 0;
    });
    for (int r = 0; r < grid.rowCount(); ++r)
        for (int c = 0; c < columns; ++c)
            grid.setItem(r, c, rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);

    grid.SetSortMarker((descending ? QStringLiteral("-") : QStringLiteral("+")) +
                       QString::number(firstColumn));
    // The operator keeps the object they had chosen, wherever it went.
    if (current.row >= 0)
        SelectGridRow(grid, -1, current.rowData);
}

int ReapplyGridSort(Grid& grid) {
    const QString marker = grid.SortMarker();
    bool numbered = false;
    const int column = marker.mid(1).toInt(&numbered);
    if (marker.isEmpty() || !numbered)
        return -1;
    // GridSort reverses an order it finds marked; flipping first makes it keep it.
    const QChar flipped = marker.startsWith(QLatin1Char('-')) ? QLatin1Char('+') : QLatin1Char('-');
    grid.SetSortMarker(flipped + marker.mid(1));
    GridSort(grid, column, column);
    return column;
}

void ClearGridSortMarker(Grid& grid) {
    grid.SetSortMarker(QString());
}

} // namespace velumar
