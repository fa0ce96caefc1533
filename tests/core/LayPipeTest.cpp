#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Scripted.h"
#include "generator/Generator.h"
#include "generator/Walk.h"

namespace kov {
namespace {

using test::CellAt;
using test::EmptyBoard;
using test::ScriptedRandom;

// Stop draws of 0.5 never end a short walk before its ninth step; 0.0 always ends it.
constexpr float Go = 0.5f;
constexpr float Stop = 0.0f;

TEST(LayPipe, ScriptedWalkLaysExactPiecesAndRecordsThem) {
    GameState s = EmptyBoard(10, 9);
    // start cell 1, red; down, right, up, right, right, then stop.
    ScriptedRandom rng{0.0f, 0.0f,   // start cell, colour
                       Go,   0.0f,   // at 1: {down, right} -> down
                       Go,   0.75f,  // at 11: {down, right} -> right
                       Go,   0.0f,   // at 12: {up, down, right} -> up
                       Go,   0.9f,   // at 2: {right} -> right
                       Go,   0.6f,   // at 3: {down, right} -> right
                       0.1f};        // at 4: Int(4 x 0.1) = 0, the walk ends
    ASSERT_EQ(LayPipe(s, rng), 1);
    EXPECT_TRUE(rng.exhausted());
    EXPECT_EQ(rng.draws(), 13);

    const int cells[] = {1, 11, 12, 2, 3, 4};
    const Int16 tiles[] = {tile::Source,   tile::CornerUR,   tile::CornerUL,
                           tile::CornerRD, tile::StraightLR, tile::Source};
    ASSERT_EQ(s.pipeCount, 1);
    EXPECT_EQ(s.pipeColour[1], colour::Red);
    ASSERT_EQ(s.pipeLength[1], 6);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(s.pipeCell[1][k + 1], cells[k]);
        EXPECT_EQ(s.pipeTile[1][k + 1], tiles[k]);
        EXPECT_EQ(s.cellTile[cells[k]], tiles[k]);
        EXPECT_EQ(s.cellColour[cells[k]], colour::Red);
    }
    int pieces = 0;
    for (int n = 1; n <= 90; ++n)
        pieces += s.cellTile[n] != 0;
    EXPECT_EQ(pieces, 6);
}

TEST(LayPipe, FiveCellsAreTakenOffAgainButSixStay) {
    // start at 1, then always right; the stop draw after k moves ends the walk at k + 1 cells.
    const auto walkOf = [](int cellsWanted) {
        GameState s = EmptyBoard(10, 9);
        std::vector<float> script{0.0f, 0.999f};
        for (int i = 1; i < cellsWanted; ++i) {
            script.push_back(Go);
            script.push_back(0.99f);  // the last free neighbour: right
        }
        script.push_back(Stop);
        ScriptedRandom rng(script);
        const Int16 laid = LayPipe(s, rng);
        EXPECT_TRUE(rng.exhausted());
        return std::pair{laid, s};
    };

    auto [five, s5] = walkOf(5);
    EXPECT_EQ(five, 0);
    EXPECT_EQ(s5.pipeCount, 0);
    for (int n = 1; n <= 90; ++n)
        EXPECT_EQ(s5.cellTile[n], 0);
    // The colour written on the way stays, and shows nowhere.
    EXPECT_EQ(s5.cellColour[3], colour::Violet);

    auto [six, s6] = walkOf(6);
    EXPECT_EQ(six, 1);
    EXPECT_EQ(s6.pipeLength[1], 6);
    EXPECT_EQ(s6.cellTile[1], tile::Source);
    EXPECT_EQ(s6.cellTile[6], tile::Source);
    for (int n = 2; n <= 5; ++n)
        EXPECT_EQ(s6.cellTile[n], tile::StraightLR);
}

TEST(LayPipe, FullBoardDrawsNothingAndChangesNothing) {
    GameState s = EmptyBoard(5, 5);
    s.cellTile.fill(tile::StraightUD);
    const GameState before = s;
    ScriptedRandom rng{};
    EXPECT_EQ(LayPipe(s, rng), 0);
    EXPECT_EQ(rng.draws(), 0);
    EXPECT_EQ(s.cellTile, before.cellTile);
    EXPECT_EQ(s.cellColour, before.cellColour);
}

TEST(LayPipe, NoWrapAcrossRowEnds) {
    // Cell 10 ends row 1 and cell 11 starts row 2; their numbers touch, the cells do not.
    for (const int start : {10, 11}) {
        GameState s = EmptyBoard(10, 9);
        s.cellTile.fill(tile::StraightUD);
        s.cellTile[10] = 0;
        s.cellTile[11] = 0;
        // Two empty cells; the draw picks the first or the second.
        ScriptedRandom rng{start == 10 ? 0.0f : 0.5f, 0.0f, Go};
        EXPECT_EQ(LayPipe(s, rng), 0);
        // start, colour and one stop draw: no free neighbour, so no direction draw.
        EXPECT_EQ(rng.draws(), 3);
        EXPECT_EQ(s.cellTile[10], 0);
        EXPECT_EQ(s.cellTile[11], 0);
    }
}

TEST(LayPipe, DirectionsAreCountedUpDownLeftRight) {
    // The head at (5, 5) with only the cells above and to the right free.
    for (const float choice : {0.0f, 0.6f}) {
        GameState s = EmptyBoard(10, 9);
        s.cellTile.fill(tile::StraightUD);
        const int head = CellAt(s, 5, 5);
        const int up = head - 10;
        const int right = head + 1;
        s.cellTile[head] = s.cellTile[up] = s.cellTile[right] = 0;
        ScriptedRandom rng{0.5f, 0.0f, Go, choice, Stop};  // the middle of three empty cells
        LayPipe(s, rng);
        EXPECT_TRUE(rng.exhausted());
        // The walk of two cells is taken off again; the colour shows which cell it entered.
        const int entered = choice == 0.0f ? up : right;
        const int other = choice == 0.0f ? right : up;
        EXPECT_EQ(s.cellColour[entered], colour::Red);
        EXPECT_EQ(s.cellColour[other], 0);
    }
}

TEST(LayPipe, ShortWalksEndByTheNinthCell) {
    // Stop draws just below 1 end the walk only where Int(1 x r) = 0: the ninth step.
    GameState s = EmptyBoard(25, 15);
    ScriptedRandom rng({0.5f, 0.0f}, 0.999f);
    ASSERT_EQ(LayPipe(s, rng), 1);
    EXPECT_EQ(s.pipeLength[1], 9);
    EXPECT_EQ(rng.draws(), 2 + 9 + 8);
}

TEST(LayPipe, LongWalksRunToADeadEnd) {
    GameState s = EmptyBoard(7, 7, /*shortPipes=*/0);
    ScriptedRandom rng({0.0f, 0.0f}, 0.0f);
    ASSERT_EQ(LayPipe(s, rng), 1);
    // Always the first free neighbour: down column 1, then along the bottom, and so on.
    EXPECT_GT(s.pipeLength[1], 9);
    const int last = s.pipeCell[1][s.pipeLength[1]];
    const int column = CellColumn(s, last);
    const int row = CellRow(s, last);
    EXPECT_TRUE(row == 1 || s.cellTile[last - 7] != 0);
    EXPECT_TRUE(row == 7 || s.cellTile[last + 7] != 0);
    EXPECT_TRUE(column == 1 || s.cellTile[last - 1] != 0);
    EXPECT_TRUE(column == 7 || s.cellTile[last + 1] != 0);
}

TEST(RandomCell, EdgeDrawsReachTheFirstAndTheLastCandidate) {
    // A draw of 0 must still reach the first candidate and a draw just below 1 the last,
    // wherever the candidates sit against the blocks the search skips over.
    struct Layout {
        int cols, rows;
        std::vector<int> cells;  // the candidates, in cell order
    };
    const Layout layouts[] = {
        {25, 15, {375}},             // only the very last cell
        {25, 15, {1, 2, 375}},       // the last one many blocks after the others
        {25, 15, {31, 32, 33, 65}},  // the last one opens a later block
        {10, 9, {32, 33, 90}},       // either side of a block edge, then the partial tail
        {8, 8, {1, 33, 64}},         // the last one closes the last whole block
        {5, 5, {3, 25}},             // a board shorter than one block
    };
    const Int16 turnable[] = {tile::StraightUD, tile::CornerUL, tile::TeeUDL, tile::StraightLR};
    const Int16 unturnable[] = {tile::Empty, tile::Source, tile::Cross};
    for (const Layout& l : layouts) {
        // The same cells once as the only empty cells, once as the only turnable pieces.
        GameState empty = EmptyBoard(l.cols, l.rows);
        GameState turning = EmptyBoard(l.cols, l.rows);
        for (int n = 1; n <= empty.CellCount(); ++n) {
            empty.cellTile[n] = turnable[n % 4];
            turning.cellTile[n] = unturnable[n % 3];
        }
        for (std::size_t i = 0; i < l.cells.size(); ++i) {
            empty.cellTile[l.cells[i]] = tile::Empty;
            turning.cellTile[l.cells[i]] = turnable[i % 4];
        }
        for (const float r : {0.0f, std::nextafter(1.0f, 0.0f)}) {
            const int wanted = r == 0.0f ? l.cells.front() : l.cells.back();
            ScriptedRandom forEmpty{r}, forTurning{r};
            EXPECT_EQ(RandomEmptyCell(empty, forEmpty), wanted) << l.cols << "x" << l.rows;
            EXPECT_EQ(RandomTurnableCell(turning, forTurning), wanted) << l.cols << "x" << l.rows;
            EXPECT_EQ(forEmpty.draws() + forTurning.draws(), 2);
        }
    }
}

TEST(Walk, TablesOpenTheEntryAndTheExitSides) {
    // FinalTile: the mark tells the side the walk came in by (1 top, 2 right, 3 bottom, 4 left).
    EXPECT_EQ(FinalTile(1, Move::Down), tile::StraightUD);
    EXPECT_EQ(FinalTile(1, Move::Left), tile::CornerUL);
    EXPECT_EQ(FinalTile(1, Move::Right), tile::CornerUR);
    EXPECT_EQ(FinalTile(2, Move::Up), tile::CornerUR);
    EXPECT_EQ(FinalTile(2, Move::Down), tile::CornerRD);
    EXPECT_EQ(FinalTile(2, Move::Left), tile::StraightLR);
    EXPECT_EQ(FinalTile(3, Move::Up), tile::StraightUD);
    EXPECT_EQ(FinalTile(3, Move::Left), tile::CornerDL);
    EXPECT_EQ(FinalTile(3, Move::Right), tile::CornerRD);
    EXPECT_EQ(FinalTile(4, Move::Up), tile::CornerUL);
    EXPECT_EQ(FinalTile(4, Move::Down), tile::CornerDL);
    EXPECT_EQ(FinalTile(4, Move::Right), tile::StraightLR);
    for (Move m : {Move::Up, Move::Down, Move::Left, Move::Right}) {
        EXPECT_EQ(FinalTile(0, m), tile::Source);
    }
    EXPECT_EQ(OpenedTile(tile::CornerUR, Move::Left), tile::TeeURL);
    EXPECT_EQ(OpenedTile(tile::StraightUD, Move::Right), tile::TeeURD);
    EXPECT_EQ(OpenedTile(tile::TeeRDL, Move::Up), tile::Cross);
    EXPECT_EQ(OpenedTile(tile::StraightLR, Move::Down), tile::TeeRDL);
    EXPECT_EQ(OpenedTile(tile::CornerDL, Move::Right), tile::TeeRDL);
    EXPECT_EQ(OpenedTile(tile::TeeUDL, Move::Right), tile::Cross);
    // A side that is open already is left as it is.
    EXPECT_EQ(OpenedTile(tile::StraightUD, Move::Up), tile::StraightUD);
}

}  // namespace
}  // namespace kov
