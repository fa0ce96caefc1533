#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "Invariants.h"
#include "Scripted.h"
#include "generator/Generator.h"
#include "play/Play.h"

namespace kov {
namespace {

using test::EmptyBoard;
using test::ScriptedRandom;

TEST(GeneratePuzzle, EachWantedPipeGetsTriesUntilTheCounterReachesTen) {
    // A board of sources only: no pipe can be laid, no tee can grow, and neither draws.
    const auto drawsFor = [](int wanted, std::vector<float> script) {
        GameState s = EmptyBoard(5, 5, 1, 1);
        s.cellTile.fill(tile::Source);
        s.wantedPipes = static_cast<Int16>(wanted);
        ScriptedRandom rng(std::move(script));
        GeneratePuzzle(s, rng);
        EXPECT_TRUE(rng.exhausted());
        EXPECT_EQ(s.pipeCount, 0);
        return rng.draws();
    };
    EXPECT_EQ(drawsFor(1, std::vector<float>(10, 0.9f)), 10);
    // Draws of 0 do not move the counter on.
    std::vector<float> mixed{0.1f, 0.9f, 0.2f, 0.3f};
    mixed.insert(mixed.end(), 9, 0.7f);
    EXPECT_EQ(drawsFor(1, mixed), 13);
    // The counter starts again for every wanted pipe.
    EXPECT_EQ(drawsFor(3, std::vector<float>(30, 0.6f)), 30);
}

TEST(GeneratePuzzle, TeesOffMeansNoTeeAttempts) {
    // The same draws with tees on and off: the run with tees keeps drawing after the pipes.
    for (int seed = 1; seed <= 20; ++seed) {
        GameState off = EmptyBoard(10, 9, 1, 0);
        GameState on = EmptyBoard(10, 9, 1, 1);
        off.wantedPipes = on.wantedPipes = 4;
        SeededRandom a(static_cast<std::uint32_t>(seed));
        SeededRandom b(static_cast<std::uint32_t>(seed));
        GeneratePuzzle(off, a);
        GeneratePuzzle(on, b);
        // Up to the tee attempts both runs draw alike, so the pipes as laid agree.
        ASSERT_EQ(off.pipeCount, on.pipeCount);
        for (int i = 1; i <= off.pipeCount; ++i) {
            EXPECT_EQ(off.pipeColour[i], on.pipeColour[i]);
            EXPECT_EQ(off.pipeCell[i][1], on.pipeCell[i][1]);
        }
        EXPECT_NE(a.Next(), b.Next()) << "the tee attempts should have moved one source on";
    }
}

struct Options {
    int cols;
    int rows;
    int shortPipes;
    int useTees;
};

class Generation : public ::testing::TestWithParam<Options> {};

// Thousands of puzzles per option set: the generated board, the scramble and the hint.
TEST_P(Generation, PropertiesHoldOverManySeeds) {
    const Options o = GetParam();
    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
        GameState s = EmptyBoard(o.cols, o.rows, o.shortPipes, o.useTees);
        s.wantedPipes = static_cast<Int16>(1 + seed % 10);
        SeededRandom rng(seed * 7919u + static_cast<std::uint32_t>(o.cols));
        GeneratePuzzle(s, rng);
        ASSERT_NO_FATAL_FAILURE(test::ExpectGeneratedBoardAgreesWithRecords(s)) << "seed " << seed;

        for (int i = 1; i <= s.pipeCount; ++i) {
            std::set<int> distinct;
            for (int k = 1; k <= s.pipeLength[i]; ++k)
                distinct.insert(s.pipeCell[i][k]);
            if (o.useTees == 0) {
                ASSERT_EQ(distinct.size(), static_cast<size_t>(s.pipeLength[i]));
                if (o.shortPipes == 1) {
                    ASSERT_LE(s.pipeLength[i], 9);
                }
            }
        }
        for (int n = 1; n <= s.CellCount(); ++n) {
            if (o.useTees == 0) {
                ASSERT_LE(s.cellTile[n], tile::CornerUL);
            }
        }

        // The scramble changes orientations only, within each family, and greys the pieces.
        const GameState laid = s;
        ShuffleTiles(s, rng);
        for (int n = 1; n <= MaxCells; ++n) {
            const Int16 before = laid.cellTile[n];
            const Int16 after = s.cellTile[n];
            if (before <= tile::Source || before == tile::Cross) {
                ASSERT_EQ(after, before);
            } else {
                ASSERT_EQ(after == 2 || after == 3, before == 2 || before == 3);
                ASSERT_EQ(after >= 4 && after <= 7, before >= 4 && before <= 7);
            }
            ASSERT_EQ(s.cellColour[n], before > tile::Source ? colour::Grey : laid.cellColour[n]);
        }
        ASSERT_EQ(s.pipeCell, laid.pipeCell);
        ASSERT_EQ(s.pipeTile, laid.pipeTile);

        // The hint, pressed once per unfinished pipe, solves any puzzle.
        ResetColours(s);
        MarkSolvedPipes(s);
        int presses = 0;
        while (s.solved == 0) {
            ASSERT_TRUE(LayOneUnfinishedPipe(s, rng));
            ASSERT_LE(++presses, s.pipeCount);
        }
        ASSERT_EQ(s.cellTile, laid.cellTile);
        ASSERT_EQ(s.cellColour, laid.cellColour);
    }
}

std::vector<Options> AllOptions() {
    std::vector<Options> all;
    for (const auto& size : test::BoardSizes) {
        for (int shortPipes : {0, 1}) {
            for (int useTees : {0, 1})
                all.push_back({size.cols, size.rows, shortPipes, useTees});
        }
    }
    return all;
}

INSTANTIATE_TEST_SUITE_P(AllBoards, Generation, ::testing::ValuesIn(AllOptions()),
                         [](const ::testing::TestParamInfo<Options>& p) {
                             const Options& o = p.param;
                             return std::to_string(o.cols) + "x" + std::to_string(o.rows) +
                                    (o.shortPipes ? "_short" : "_long") +
                                    (o.useTees ? "_tees" : "_plain");
                         });

TEST(GeneratePuzzle, LongPipesWithTeesNeverOverflowTheRecord) {
    // One long pipe on the largest board grows the longest records there are.
    int longest = 0;
    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
        GameState s = EmptyBoard(25, 15, 0, 1);
        s.wantedPipes = 1;
        SeededRandom rng(seed);
        GeneratePuzzle(s, rng);
        ASSERT_NO_FATAL_FAILURE(test::ExpectGeneratedBoardAgreesWithRecords(s));
        longest = std::max<int>(longest, s.pipeLength[1]);
    }
    EXPECT_LE(longest, MaxCells);
    EXPECT_GT(longest, 300) << "these puzzles should press against the record's end";
}

TEST(ShuffleTiles, DrawsOncePerTurnablePieceInCellOrder) {
    GameState s = EmptyBoard(5, 5);
    s.cellTile[1] = tile::Source;
    s.cellColour[1] = colour::Green;
    s.cellTile[2] = tile::StraightUD;
    s.cellTile[3] = tile::Cross;
    s.cellTile[4] = tile::CornerUR;
    s.cellTile[5] = tile::TeeURL;
    for (int n = 2; n <= 5; ++n)
        s.cellColour[n] = colour::Green;
    ScriptedRandom rng{0.99f, 0.5f, 0.3f};
    ShuffleTiles(s, rng);
    EXPECT_TRUE(rng.exhausted());
    EXPECT_EQ(s.cellTile[1], tile::Source);
    EXPECT_EQ(s.cellColour[1], colour::Green);
    EXPECT_EQ(s.cellTile[2], tile::StraightLR);
    EXPECT_EQ(s.cellTile[3], tile::Cross);
    EXPECT_EQ(s.cellTile[4], tile::CornerDL);
    EXPECT_EQ(s.cellTile[5], tile::TeeURD);
    for (int n = 2; n <= 5; ++n)
        EXPECT_EQ(s.cellColour[n], colour::Grey);

    GameState empty = EmptyBoard(25, 15);
    ScriptedRandom none{};
    ShuffleTiles(empty, none);
    EXPECT_EQ(none.draws(), 0);
}

}  // namespace
}  // namespace kov
