#include "grid/grid.h"

#include "grid/grid_helpers.h"

#include <QHeaderView>

namespace velumar {

namespace {

constexpr int RowDataRole = Qt::UserRole;

} // namespace

Grid::Grid(QWidget* parent) : QTableWidget(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setShowGrid(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { GridSort(*this, column, column); });
}

void Grid::SetHeadings(const QStringList& headings) {
    setColumnCount(static_cast<int>(headings.size()));
    setHorizontalHeaderLabels(headings);
}

void Grid::ClearRows() {
    clearContents();
    setRowCount(0);
}

int Grid::AddRow(const QStringList& texts, qint32 rowData) {
    const int row = rowCount();
    insertRow(row);
    for (int column = 0; column < columnCount(); ++column) {
        auto* cell = new QTableWidgetItem(column < texts.size() ? texts[column] : QString());
        // Counts and other whole numbers line up by their last digit.
        bool number = false;
        cell->text().toLongLong(&number);
        if (number)
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        setItem(row, column, cell);
    }
    SetRowData(row, rowData);
    return row;
}

QString Grid::TextMatrix(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

qint32 Grid::RowData(int row) const {
    const QTableWidgetItem* cell = item(row, 0);
    return cell ? cell->data(RowDataRole).toInt() : 0;
}

void Grid::SetRowData(int row, qint32 rowData) {
    if (columnCount() == 0)
        setColumnCount(1);
    QTableWidgetItem* cell = item(row, 0);
    if (!cell) {
        cell = new QTableWidgetItem;
        setItem(row, 0, cell);
    }
    // Kept with the row's first cell, so it moves with the row when sorted.
    cell->setData(RowDataRole, rowData);
}

void Grid::SetSortMarker(const QString& marker) {
    sortMarker_ = marker;
    QHeaderView* header = horizontalHeader();
    bool numbered = false;
    const int column = marker.mid(1).toInt(&numbered);
    if (marker.isEmpty() || !numbered) {
        header->setSortIndicatorShown(false);
        return;
    }
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column, marker.startsWith(QLatin1Char('-')) ? Qt::DescendingOrder
                                                                         : Qt::AscendingOrder);
}

} // namespace velumar
