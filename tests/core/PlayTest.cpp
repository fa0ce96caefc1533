#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Scripted.h"
#include "generator/Generator.h"
#include "play/Play.h"

namespace kov {
namespace {

using test::EmptyBoard;
using test::PlacePipe;
using test::ScriptedRandom;

// Three pipes on the start board, each laid in its solution: a red row on row 1, a green
// row on row 3 and a blue pipe with a tee on rows 5 to 7.
GameState ThreePipes() {
    GameState s = EmptyBoard(10, 9);
    PlacePipe(s, colour::Red, {{1, 1}, {2, 3}, {3, 3}, {4, 1}});
    PlacePipe(s, colour::Green, {{21, 1}, {22, 3}, {23, 6}, {33, 1}});
    // 45 is a tee up-right-down... fed from 35 above, on to 55 below, and a branch to 46-47.
    PlacePipe(s, colour::Blue, {{35, 1}, {45, 9}, {55, 1}, {45, 9}, {46, 3}, {47, 1}});
    return s;
}

TEST(SolutionCheck, CompletePipesArePaintedAndAFullMatchIsSolved) {
    GameState s = ThreePipes();
    ResetColours(s);
    for (int n : {2, 3, 22, 23, 45, 46})
        EXPECT_EQ(s.cellColour[n], colour::Grey);
    for (int n : {1, 4, 21, 33, 35, 47})
        EXPECT_NE(s.cellColour[n], colour::Grey);  // sources
    MarkSolvedPipes(s);
    EXPECT_EQ(s.solved, 1);
    EXPECT_EQ(s.cellColour[45], colour::Blue);
    EXPECT_EQ(s.cellColour[23], colour::Green);
}

TEST(SolutionCheck, TurningOutGreysOnlyThatPipeAndTurningBackColoursIt) {
    GameState s = ThreePipes();
    MarkSolvedPipes(s);
    s.solved = 0;
    ASSERT_TRUE(TurnCell(s, 46, true));  // the blue branch's straight
    EXPECT_EQ(s.solved, 0);
    EXPECT_EQ(s.cellColour[45], colour::Grey);
    EXPECT_EQ(s.cellColour[46], colour::Grey);
    EXPECT_EQ(s.cellColour[47], colour::Blue);  // the source keeps its colour
    EXPECT_EQ(s.cellColour[2], colour::Red);
    ASSERT_TRUE(TurnCell(s, 46, false));
    EXPECT_EQ(s.cellColour[46], colour::Blue);
    EXPECT_EQ(s.solved, 1);
}

TEST(SolutionCheck, OnlyTheRecordedPiecesCount) {
    // The tee turned so that it still joins the trunk and the branch a different way round
    // is not the recorded piece, so the blue pipe is not complete.
    GameState s = ThreePipes();
    s.cellTile[45] = tile::TeeURL;
    ResetColours(s);
    MarkSolvedPipes(s);
    EXPECT_EQ(s.solved, 0);
    EXPECT_EQ(s.cellColour[45], colour::Grey);
    EXPECT_EQ(s.cellColour[22], colour::Green);
}

TEST(SolutionCheck, APuzzleWithoutPipesIsSolvedAtOnce) {
    GameState s = EmptyBoard(5, 5);
    MarkSolvedPipes(s);
    EXPECT_EQ(s.solved, 1);
    EXPECT_FALSE(TurnCell(s, 3, true));
}

TEST(Turning, SolvedBoardsRefuseAndUnturnablePiecesStillRefresh) {
    GameState s = ThreePipes();
    ScriptedRandom zeros({}, 0.0f);
    ShuffleTiles(s, zeros);
    ResetColours(s);
    MarkSolvedPipes(s);
    ASSERT_EQ(s.solved, 0);
    // A source cannot turn, but the refresh runs and returns true.
    EXPECT_TRUE(TurnCell(s, 1, true));
    EXPECT_EQ(s.cellTile[1], tile::Source);
    // Out of the record: nothing happens at all.
    EXPECT_FALSE(TurnCell(s, 0, true));
    EXPECT_FALSE(TurnCell(s, MaxCells + 1, true));

    s.solved = 1;
    const auto before = s.cellTile;
    EXPECT_FALSE(TurnCell(s, 2, true));
    EXPECT_EQ(KeyDown(s, vk::Right), KeyResult::Ignored);
    EXPECT_EQ(s.cellTile, before);
    EXPECT_EQ(KeyDown(s, vk::Escape), KeyResult::Close);
}

TEST(Keys, ArrowsTurnTheHoveredCellAndOtherKeysDoNothing) {
    GameState s = ThreePipes();
    s.cellTile[23] = tile::CornerUR;
    ResetColours(s);
    MarkSolvedPipes(s);
    ASSERT_EQ(s.solved, 0);

    EXPECT_EQ(KeyDown(s, vk::Up), KeyResult::Ignored);  // the mouse has touched nothing yet
    s.hoverCell = 23;
    EXPECT_EQ(KeyDown(s, vk::Right), KeyResult::Turned);
    EXPECT_EQ(s.cellTile[23], tile::CornerRD);
    EXPECT_EQ(KeyDown(s, vk::Down), KeyResult::Turned);
    EXPECT_EQ(s.cellTile[23], tile::CornerUR);
    EXPECT_EQ(KeyDown(s, vk::Left), KeyResult::Turned);
    EXPECT_EQ(s.cellTile[23], tile::CornerUL);
    EXPECT_EQ(KeyDown(s, vk::Up), KeyResult::Turned);
    EXPECT_EQ(s.cellTile[23], tile::CornerUR);
    for (int key : {13, 32, 65, 112, 115})
        EXPECT_EQ(KeyDown(s, key), KeyResult::Ignored);
    EXPECT_EQ(s.cellTile[23], tile::CornerUR);
    EXPECT_EQ(KeyDown(s, vk::Up), KeyResult::Turned);
    EXPECT_EQ(KeyDown(s, vk::Right), KeyResult::Turned);
    EXPECT_EQ(s.cellTile[23], tile::CornerDL);
    EXPECT_EQ(s.solved, 1);

    // A hovered cell left over from a larger board is an empty entry: the refresh runs, harmlessly.
    GameState small = EmptyBoard(5, 5);
    small.hoverCell = 300;
    PlacePipe(small, colour::Red, {{1, 1}, {2, 3}, {3, 1}});
    small.cellTile[2] = tile::StraightUD;
    EXPECT_EQ(KeyDown(small, vk::Up), KeyResult::Turned);
    EXPECT_EQ(small.cellTile[300], 0);
}

TEST(Hint, LaysTheChosenUnfinishedPipeWhole) {
    GameState s = ThreePipes();
    s.cellTile[2] = tile::StraightUD;  // red unfinished
    s.cellTile[45] = tile::TeeRDL;     // blue unfinished
    s.cellTile[46] = tile::StraightUD;
    ResetColours(s);
    MarkSolvedPipes(s);
    const int hover = s.hoverCell = 12;

    // Unfinished: red (1) and blue (3); 0.6 picks the second of them.
    ScriptedRandom rng{0.6f};
    ASSERT_TRUE(LayOneUnfinishedPipe(s, rng));
    EXPECT_EQ(s.cellTile[45], tile::TeeURD);
    EXPECT_EQ(s.cellTile[46], tile::StraightLR);
    EXPECT_EQ(s.cellColour[46], colour::Blue);
    EXPECT_EQ(s.cellTile[2], tile::StraightUD);
    EXPECT_EQ(s.solved, 0);
    EXPECT_EQ(s.hoverCell, hover);

    // One left: it is the one laid, and the draw is still made.
    ScriptedRandom last{0.99f};
    ASSERT_TRUE(LayOneUnfinishedPipe(s, last));
    EXPECT_EQ(last.draws(), 1);
    EXPECT_EQ(s.solved, 1);

    // Nothing unfinished: nothing changes and nothing is drawn.
    ScriptedRandom none{};
    const auto before = s.cellTile;
    EXPECT_FALSE(LayOneUnfinishedPipe(s, none));
    EXPECT_EQ(none.draws(), 0);
    EXPECT_EQ(s.cellTile, before);
}

TEST(GameFlow, RescrambleKeepsThePuzzleAndNewGameDrawsAnother) {
    GameState s = EmptyBoard(10, 9);
    s.wantedPipes = 6;
    SeededRandom rng(42);
    NewGameModel(s, rng);
    ASSERT_GT(s.pipeCount, 0);
    const GameState first = s;
    s.solved = 1;
    RescrambleModel(s, rng);
    EXPECT_EQ(s.pipeCount, first.pipeCount);
    EXPECT_EQ(s.pipeCell, first.pipeCell);
    EXPECT_EQ(s.pipeTile, first.pipeTile);
    for (int i = 1; i <= s.pipeCount; ++i) {
        EXPECT_EQ(s.cellTile[s.pipeCell[i][1]], tile::Source);
        EXPECT_EQ(s.cellColour[s.pipeCell[i][1]], s.pipeColour[i]);
    }
    NewGameModel(s, rng);
    EXPECT_NE(s.pipeCell, first.pipeCell);
}

TEST(GameFlow, RescrambleClearsSolvedUnlessEveryPieceLandsInPlace) {
    // A solved puzzle scrambled again is unsolved until every piece lands back in place.
    const auto solvedByHints = [](int cols, int rows, std::uint32_t seed) {
        GameState s = EmptyBoard(cols, rows);
        s.wantedPipes = 8;
        SeededRandom rng(seed);
        NewGameModel(s, rng);
        while (LayOneUnfinishedPipe(s, rng)) {
        }
        return s;
    };
    // The draw that leaves piece t the given number of turns along its family.
    const auto drawFor = [](Int16 t, int turns) {
        const int k = t <= tile::StraightLR ? 2 : 4;
        const int first = k == 2                ? tile::StraightUD
                          : t <= tile::CornerUL ? tile::CornerUR
                                                : tile::TeeURL;
        return ((t - first + turns) % k + 0.5f) / k;
    };
    for (GameState board : {ThreePipes(), solvedByHints(10, 9, 7), solvedByHints(25, 15, 11)}) {
        MarkSolvedPipes(board);
        ASSERT_EQ(board.solved, 1);
        std::vector<int> turnable;
        for (int n = 1; n <= board.CellCount(); ++n) {
            if (IsTurnable(board.cellTile[n])) turnable.push_back(n);
        }
        ASSERT_FALSE(turnable.empty());
        // No piece, the first or the last turnable piece is drawn out of place.
        for (const int out : {0, turnable.front(), turnable.back()}) {
            GameState s = board;
            std::vector<float> script;
            for (const int n : turnable)
                script.push_back(drawFor(s.cellTile[n], n == out ? 1 : 0));
            ScriptedRandom rng(script);
            RescrambleModel(s, rng);
            EXPECT_TRUE(rng.exhausted());
            EXPECT_EQ(s.solved, out == 0 ? 1 : 0)
                << board.mapCols << "x" << board.mapRows << ", cell out of place: " << out;
        }
    }
}

TEST(GameFlow, PipeCountsDrawnInTheirRanges) {
    ScriptedRandom rng{0.0f, 0.99999994f, 0.0f, 0.99999994f};
    EXPECT_EQ(DrawStartPipeCount(rng), 3);
    EXPECT_EQ(DrawStartPipeCount(rng), 10);
    EXPECT_EQ(DrawAnyPipeCount(rng), 1);
    EXPECT_EQ(DrawAnyPipeCount(rng), 10);
}

// The seed is the time of day in milliseconds since midnight, the same for every front end.
TEST(SeededRandom, SeedFromTheTimeOfDay) {
    EXPECT_EQ(SeedFromTimeOfDay(0, 0, 0, 0), 0u);
    EXPECT_EQ(SeedFromTimeOfDay(1, 2, 3, 4), 3723004u);
    EXPECT_EQ(SeedFromTimeOfDay(23, 59, 59, 999), 86399999u);
}

TEST(SeededRandom, ValuesStayBelowOne) {
    SeededRandom rng(SeedFromClock());
    float highest = 0.0f;
    for (int i = 0; i < 1000000; ++i) {
        const float r = rng.Next();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        highest = std::max(highest, r);
    }
    EXPECT_GT(highest, 0.999f);
    // The largest value the source can give still scales below every k the game uses.
    const float top = 16777215.0f / 16777216.0f;
    for (int k = 1; k <= MaxCells; ++k)
        EXPECT_EQ(Scale(top, k), k - 1);
}

}  // namespace
}  // namespace kov
