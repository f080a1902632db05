#pragma once
// The grid operations the screens share: the current row, selecting a row,
// and the sort protocol whose marker lets a reloaded grid keep its order.

#include <QtGlobal>

namespace velumar {

class Grid;

struct GridSelection {
    int row = -1;
    qint32 rowData = -1;
};

// The current data row and its row data; -1 and -1 when there is none.
GridSelection GetGridSelection(const Grid& grid);

// Makes a row current, selected and in view: the given row when it is not
// -1, otherwise the row whose row data is the given value.
void SelectGridRow(Grid& grid, int row, qint32 rowData);

// Sorts the data rows by the columns first to last, case-insensitively:
// ascending, unless the grid was last sorted ascending by this same first
// column, then descending. Records the order in the sort marker. A column
// outside the grid is logged and nothing changes.
void GridSort(Grid& grid, int firstColumn, int lastColumn);

// After a reload: the order of the sort marker again. Answers the column;
// -1 when the grid has no marker.
int ReapplyGridSort(Grid& grid);

void ClearGridSortMarker(Grid& grid);

} // namespace velumar
