// The grid and its sort protocol: the order of each click, the marker that
// records it, a reload that keeps the order, and the selection helpers.
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "qt_printers.h"
#include "request_channel.h"

#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace velumar {
namespace {

struct Row {
    qint32 id;
    QStringList texts;
};

const std::vector<Row> records{
    {1, {"beta", "2020", "x", "Zeta"}},
    {2, {"Alpha", "2019", "y", "eta"}},
    {3, {"gamma", "2021", "z", "Beta"}},
    {4, {"alpha", "2018", "w", "alpha"}},
};

void fill(Grid& grid) {
    grid.ClearRows();
    for (const Row& row : records)
        grid.AddRow(row.texts, row.id);
}

std::vector<qint32> order(const Grid& grid) {
    std::vector<qint32> ids;
    for (int row = 0; row < grid.rowCount(); ++row)
        ids.push_back(grid.RowData(row));
    return ids;
}

class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid.SetHeadings({"Name", "Year", "Code", "Owner"});
        fill(grid);
    }
    Grid grid;
};

TEST_F(GridTest, WholeNumbersAreRightAlignedAndTextIsNot) {
    grid.SetHeadings({"Name", "Records", "Type", "Change", "Ratio", "Note"});
    grid.ClearRows();
    grid.AddRow({"Withdrawn 2019", "12500", "Bib", "-3", "1.5", ""}, 7);
    const auto alignment = [&](int column) {
        return Qt::Alignment(grid.item(0, column)->textAlignment()) & Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(alignment(1), Qt::AlignRight);
    EXPECT_EQ(alignment(3), Qt::AlignRight);
    for (int column : {0, 2, 4, 5})
        EXPECT_NE(alignment(column), Qt::AlignRight) << column;
}

TEST_F(GridTest, SortingTwiceReversesThenAnotherColumnStartsAscending) {
    GridSort(grid, 0, 0);
    // Case-insensitive; equal keys keep their order.
    EXPECT_EQ(order(grid), (std::vector<qint32>{2, 4, 1, 3}));
    EXPECT_EQ(grid.SortMarker(), "+0");

    GridSort(grid, 0, 0);
    EXPECT_EQ(order(grid), (std::vector<qint32>{3, 1, 2, 4}));
    EXPECT_EQ(grid.SortMarker(), "-0");

    GridSort(grid, 3, 3);
    EXPECT_EQ(order(grid), (std::vector<qint32>{4, 3, 2, 1}));
    EXPECT_EQ(grid.SortMarker(), "+3");
    // The texts moved with their rows.
    EXPECT_EQ(grid.TextMatrix(0, 0), "alpha");
    EXPECT_EQ(grid.TextMatrix(3, 3), "Zeta");
}

TEST_F(GridTest, AClickOnAHeadingSortsByThatColumn) {
    emit grid.horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(order(grid), (std::vector<qint32>{4, 2, 1, 3}));
    emit grid.horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(order(grid), (std::vector<qint32>{3, 1, 2, 4}));
    EXPECT_EQ(grid.SortMarker(), "-1");
}

TEST_F(GridTest, ReapplyAfterAReloadKeepsTheOrderShownBefore) {
    GridSort(grid, 0, 0);
    GridSort(grid, 0, 0); // descending by name
    const std::vector<qint32> shown = order(grid);

    fill(grid); // a reload comes in the server's order
    ASSERT_NE(order(grid), shown);
    EXPECT_EQ(ReapplyGridSort(grid), 0);
    EXPECT_EQ(order(grid), shown);
    EXPECT_EQ(grid.SortMarker(), "-0");

    GridSort(grid, 2, 2); // ascending by code
    const std::vector<qint32> byCode = order(grid);
    fill(grid);
    EXPECT_EQ(ReapplyGridSort(grid), 2);
    EXPECT_EQ(order(grid), byCode);
    EXPECT_EQ(grid.SortMarker(), "+2");

    ClearGridSortMarker(grid);
    fill(grid);
    EXPECT_EQ(ReapplyGridSort(grid), -1);
    EXPECT_EQ(order(grid), (std::vector<qint32>{1, 2, 3, 4}));
}

TEST_F(GridTest, AColumnOutsideTheGridIsLoggedAndChangesNothing) {
    QTemporaryDir dir;
    const QString log = dir.filePath("velumar.log");
    orvane::RequestChannel channel{orvane::LogWriter(log)};
    grid.SetChannel(&channel);
    GridSort(grid, 0, 0);

    GridSort(grid, 1, 4);
    GridSort(grid, -1, 0);

    EXPECT_EQ(order(grid), (std::vector<qint32>{2, 4, 1, 3}));
    EXPECT_EQ(grid.SortMarker(), "+0");
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("GridSort - Column value out of range: iCol1 = 1, iCol2 = 4"));
    EXPECT_TRUE(text.contains("GridSort - Column value out of range: iCol1 = -1, iCol2 = 0"));
}

TEST_F(GridTest, SelectionIsTheCurrentDataRowAndFollowsItsObjectThroughASort) {
    grid.setCurrentCell(-1, -1);
    EXPECT_EQ(GetGridSelection(grid).row, -1);
    EXPECT_EQ(GetGridSelection(grid).rowData, -1);

    SelectGridRow(grid, -1, 3);
    EXPECT_EQ(GetGridSelection(grid).row, 2);
    EXPECT_EQ(GetGridSelection(grid).rowData, 3);

    GridSort(grid, 0, 0);
    EXPECT_EQ(GetGridSelection(grid).rowData, 3);
    EXPECT_EQ(GetGridSelection(grid).row, 3);

    SelectGridRow(grid, 0, 3); // a row number wins over the row data
    EXPECT_EQ(GetGridSelection(grid).rowData, 2);
}

} // namespace
} // namespace velumar
