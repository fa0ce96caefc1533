#include <gtest/gtest.h>

#include "Scripted.h"
#include "generator/Generator.h"

namespace kov {
namespace {

using test::CellAt;
using test::EmptyBoard;
using test::PlacePipe;
using test::ScriptedRandom;

constexpr float Go = 0.5f;
constexpr float Stop = 0.0f;

// A red pipe on the start board: a source above (5, 5), a corner up-right there, a source to
// its right. The corner is the only turnable piece.
struct CornerPipe {
    GameState s = EmptyBoard(10, 9);
    int above = CellAt(s, 5, 4);
    int root = CellAt(s, 5, 5);
    int right = CellAt(s, 6, 5);
    int left1 = CellAt(s, 4, 5);
    int left2 = CellAt(s, 3, 5);
    CornerPipe() {
        PlacePipe(s, colour::Red,
                  {{above, tile::Source}, {root, tile::CornerUR}, {right, tile::Source}});
    }
};

TEST(AddTee, NothingToGrowFromDrawsNothing) {
    GameState s = EmptyBoard(10, 9);
    PlacePipe(s, colour::Red, {{1, tile::Source}, {2, tile::Cross}, {3, tile::Source}});
    const GameState before = s;
    ScriptedRandom rng{};
    AddTee(s, rng);
    EXPECT_EQ(rng.draws(), 0);
    EXPECT_EQ(s.cellTile, before.cellTile);
}

TEST(AddTee, KeptBranchTurnsTheCornerIntoATeeAndExtendsTheRecord) {
    CornerPipe p;
    // root; {down, left} -> left; {up, down, left} -> left; stop.
    ScriptedRandom rng{0.0f, Go, 0.99f, Go, 0.99f, Stop};
    AddTee(p.s, rng);
    EXPECT_TRUE(rng.exhausted());

    const GameState& s = p.s;
    EXPECT_EQ(s.cellTile[p.root], tile::TeeURL);
    EXPECT_EQ(s.cellTile[p.left1], tile::StraightLR);
    EXPECT_EQ(s.cellTile[p.left2], tile::Source);
    EXPECT_EQ(s.cellColour[p.left2], colour::Red);
    EXPECT_EQ(s.pipeCount, 1);
    ASSERT_EQ(s.pipeLength[1], 6);
    EXPECT_EQ(s.pipeTile[1][2], tile::TeeURL);  // the root's first record, refreshed
    const int cells[] = {p.root, p.left1, p.left2};
    const Int16 tiles[] = {tile::TeeURL, tile::StraightLR, tile::Source};
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(s.pipeCell[1][4 + j], cells[j]);
        EXPECT_EQ(s.pipeTile[1][4 + j], tiles[j]);
    }
}

TEST(AddTee, ShortOrBlockedBranchesLeaveBoardAndRecordsAsTheyWere) {
    {
        // One new cell only.
        CornerPipe p;
        const GameState before = p.s;
        ScriptedRandom rng{0.0f, Go, 0.99f, Stop};
        AddTee(p.s, rng);
        EXPECT_TRUE(rng.exhausted());
        EXPECT_EQ(p.s.cellTile, before.cellTile);
        EXPECT_EQ(p.s.pipeLength, before.pipeLength);
        EXPECT_EQ(p.s.pipeTile, before.pipeTile);
        EXPECT_EQ(p.s.cellColour[p.left1], colour::Red);  // left behind, shows nowhere
    }
    {
        // No free neighbour: the walk ends where it starts, and the corner comes back.
        CornerPipe p;
        p.s.cellTile[CellAt(p.s, 5, 6)] = tile::Source;
        p.s.cellTile[p.left1] = tile::Source;
        const GameState before = p.s;
        ScriptedRandom rng{0.0f, Go};
        AddTee(p.s, rng);
        EXPECT_TRUE(rng.exhausted());
        EXPECT_EQ(p.s.cellTile, before.cellTile);
        EXPECT_EQ(p.s.pipeTile, before.pipeTile);
    }
}

TEST(AddTee, BranchThatWouldOverflowTheRecordIsUndone) {
    for (const int padding : {369, 370}) {
        CornerPipe p;
        // Pad the record with repeats of a source, up to 372 or 373 steps.
        for (int k = 4; k < 4 + padding; ++k) {
            p.s.pipeCell[1][k] = static_cast<Int16>(p.above);
            p.s.pipeTile[1][k] = tile::Source;
        }
        p.s.pipeLength[1] = static_cast<Int16>(3 + padding);
        const GameState before = p.s;
        ScriptedRandom rng{0.0f, Go, 0.99f, Go, 0.99f, Stop};
        AddTee(p.s, rng);
        EXPECT_TRUE(rng.exhausted());
        if (padding == 369) {
            EXPECT_EQ(p.s.pipeLength[1], MaxCells);  // 372 + 3 fits exactly
            EXPECT_EQ(p.s.pipeCell[1][MaxCells], p.left2);
        } else {
            EXPECT_EQ(p.s.cellTile, before.cellTile);
            EXPECT_EQ(p.s.pipeLength, before.pipeLength);
            EXPECT_EQ(p.s.pipeCell, before.pipeCell);
            EXPECT_EQ(p.s.pipeTile, before.pipeTile);
        }
    }
}

TEST(AddTee, RootOwnedByNoPipeIsUndone) {
    GameState s = EmptyBoard(10, 9);
    s.cellTile[CellAt(s, 5, 5)] = tile::StraightUD;  // on the board, in no record
    const GameState before = s;
    ScriptedRandom rng{0.0f, Go, 0.0f, Go, 0.0f, Stop};
    AddTee(s, rng);
    EXPECT_TRUE(rng.exhausted());
    EXPECT_EQ(s.cellTile, before.cellTile);
    EXPECT_EQ(s.pipeTile, before.pipeTile);
}

TEST(AddTee, TeeGrownTwiceBecomesACrossRecordedThreeTimes) {
    GameState s = EmptyBoard(10, 9);
    const int root = CellAt(s, 5, 5);
    PlacePipe(s, colour::Blue,
              {{root - 10, tile::Source}, {root, tile::StraightUD}, {root + 10, tile::Source}});
    // First branch to the right: the straight becomes a tee up-right-down.
    ScriptedRandom first{0.0f, Go, 0.99f, Go, 0.99f, Stop};
    AddTee(s, first);
    ASSERT_EQ(s.cellTile[root], tile::TeeURD);
    // Second branch to the left, through the last closed side.
    ScriptedRandom second{0.0f, Go, 0.0f, Go, 0.99f, Stop};
    AddTee(s, second);
    ASSERT_EQ(s.cellTile[root], tile::Cross);
    ASSERT_EQ(s.pipeLength[1], 9);

    // Only the first record was refreshed; the first branch's record still says tee.
    EXPECT_EQ(s.pipeTile[1][2], tile::Cross);
    EXPECT_EQ(s.pipeTile[1][4], tile::TeeURD);
    EXPECT_EQ(s.pipeTile[1][7], tile::Cross);
    MarkSelfCrossings(s);
    int records = 0;
    for (int k = 1; k <= s.pipeLength[1]; ++k) {
        if (s.pipeCell[1][k] != root) continue;
        ++records;
        EXPECT_EQ(s.pipeTile[1][k], tile::Cross);
    }
    EXPECT_EQ(records, 3);
}

TEST(FindOwnerPipe, RefreshesOnlyTheFirstRecordOfTheCell) {
    GameState s = EmptyBoard(10, 9);
    PlacePipe(s, colour::Red, {{1, tile::Source}, {2, tile::StraightLR}, {3, tile::Source}});
    PlacePipe(s, colour::Green,
              {{21, tile::Source}, {22, tile::TeeURD}, {23, tile::Source}, {22, tile::TeeURD}});
    s.cellTile[22] = tile::Cross;
    EXPECT_EQ(FindOwnerPipe(s, 22), 2);
    EXPECT_EQ(s.pipeTile[2][2], tile::Cross);
    EXPECT_EQ(s.pipeTile[2][4], tile::TeeURD);
    const GameState before = s;
    EXPECT_EQ(FindOwnerPipe(s, 50), 0);
    EXPECT_EQ(s.pipeTile, before.pipeTile);
}

TEST(MarkSelfCrossings, RecordsWithoutCrossesAreLeftAlone) {
    GameState s = EmptyBoard(10, 9);
    PlacePipe(s, colour::Red,
              {{1, tile::Source}, {2, tile::TeeRDL}, {3, tile::Source}, {2, tile::TeeRDL}});
    const GameState before = s;
    MarkSelfCrossings(s);
    EXPECT_EQ(s.pipeTile, before.pipeTile);
}

}  // namespace
}  // namespace kov
