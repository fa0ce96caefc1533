#include <gtest/gtest.h>

#include "Scripted.h"
#include "board/GameState.h"

namespace kov {
namespace {

TEST(ClearBoard, EmptiesTheWholeCapacityAndNothingElse) {
    GameState s = test::EmptyBoard(5, 5);
    s.cellTile.fill(7);
    s.cellColour.fill(3);
    s.pipeCount = 4;
    s.pipeColour.fill(2);
    s.pipeLength.fill(9);
    for (auto& p : s.pipeCell)
        p.fill(11);
    for (auto& p : s.pipeTile)
        p.fill(5);
    s.solved = 1;
    s.hoverCell = 17;
    s.wantedPipes = 6;

    ClearBoard(s);

    for (int n = 1; n <= MaxCells; ++n) {
        ASSERT_EQ(s.cellTile[n], 0) << n;
        ASSERT_EQ(s.cellColour[n], 0) << n;
    }
    EXPECT_EQ(s.pipeCount, 0);
    for (int i = 1; i <= MaxPipes; ++i) {
        EXPECT_EQ(s.pipeColour[i], 0);
        EXPECT_EQ(s.pipeLength[i], 0);
        for (int k = 1; k <= MaxCells; ++k) {
            ASSERT_EQ(s.pipeCell[i][k], 0);
            ASSERT_EQ(s.pipeTile[i][k], 0);
        }
    }
    EXPECT_EQ(s.solved, 1);
    EXPECT_EQ(s.hoverCell, 17);
    EXPECT_EQ(s.wantedPipes, 6);
    EXPECT_EQ(s.mapCols, 5);
}

TEST(CellNumbering, ColumnsAndRowsOnTheStartBoard) {
    const GameState s = test::EmptyBoard(10, 9);
    EXPECT_EQ(CellColumn(s, 10), 10);
    EXPECT_EQ(CellRow(s, 10), 1);
    EXPECT_EQ(CellColumn(s, 11), 1);
    EXPECT_EQ(CellRow(s, 11), 2);
    EXPECT_EQ(CellColumn(s, 90), 10);
    EXPECT_EQ(CellRow(s, 90), 9);
    for (int n : {0, -1, 91, 375}) {
        EXPECT_EQ(CellColumn(s, n), 0) << n;
        EXPECT_EQ(CellRow(s, n), 0) << n;
    }
}

TEST(CellNumbering, RowMajorOnEveryBoardSize) {
    for (const auto& size : test::BoardSizes) {
        const GameState s = test::EmptyBoard(size.cols, size.rows);
        int n = 0;
        for (int r = 1; r <= s.mapRows; ++r) {
            for (int c = 1; c <= s.mapCols; ++c) {
                ++n;
                ASSERT_EQ(CellColumn(s, n), c);
                ASSERT_EQ(CellRow(s, n), r);
            }
        }
        EXPECT_EQ(CellRow(s, n + 1), 0);
    }
    GameState none;
    EXPECT_EQ(CellColumn(none, 1), 0);
    EXPECT_EQ(CellRow(none, 1), 0);
}

}  // namespace
}  // namespace kov
