// Turning by mouse and keys, Esc, the solved board, the hint, and what each repaints.
#include "play/Play.h"
#include "tests/game/GameFixture.h"
#include "tests/lib/Pipes.h"

namespace kov::test {
namespace {

class PlayTest : public GameTest {
  protected:
    void SetUp() override {
        StartWhere([this] { return S().solved == 0 && Corner() != 0; });
        game->TakeChanges();
    }
    // A corner, whose four turns all differ; 0 if there is none.
    int Corner() const {
        for (int n = 1; n <= game->CellCount(); ++n)
            if (S().cellTile[n] >= tile::CornerUR && S().cellTile[n] <= tile::CornerUL) return n;
        return 0;
    }
};

TEST_F(PlayTest, ClicksAndArrowsTurnTheCell) {
    const int n = Corner();
    const Int16 start = S().cellTile[n];
    Key(vk::Right);  // nothing is pointed at yet
    Over(n);
    EXPECT_EQ(S().cellTile[n], start);
    ExpectNothing(game->TakeChanges());

    constexpr int Click = -1, DoubleClick = -2, Held = 1000;  // Held + key: its auto-repeat
    // An input and the quarter turns clockwise from the start it leaves.
    const std::pair<int, int> presses[] = {
        {Click, 1},    {DoubleClick, 2}, {vk::Right, 3},        {vk::Up, 0},         {vk::Left, 3},
        {vk::Down, 2}, {Click, 3},       {Held + vk::Right, 0}, {Held + vk::Down, 3}};
    for (const auto& [input, quarters] : presses) {
        if (input == Click) GameTest::Click(n);
        if (input == DoubleClick) GameTest::DoubleClick(n);  // the second press of the click above
        if (input > 0) {
            EXPECT_TRUE(Key(input % Held, input > Held));
        }
        Int16 want = start;
        for (int q = 0; q < quarters; ++q)
            want = TurnClockwise(want);
        ASSERT_EQ(S().cellTile[n], want) << input;
        ASSERT_EQ(Painted(game->TakeChanges()).count(n), 1u);
    }
}

// Keys that are not the game's are left to the platform; presses and moves off every cell (the
// margin, a gap, past the board, far away) change nothing and keep the arrows' target.
TEST_F(PlayTest, OtherKeysAndPointsOffTheCellsDoNothing) {
    Over(Corner());
    game->TakeChanges();
    const GameState old = S();
    const int draws = rng->draws;
    for (const int key : {0, 32, 65, 13, 9, 115, 117, 121, 123})
        EXPECT_FALSE(Key(key)) << key;
    game->Run(Command::ToggleGrid);
    game->TakeChanges();
    for (const auto& [x, y] : {std::pair{0, 0},
                               {4, 100},
                               {40, 5},
                               {5, 40},
                               {369, 333},
                               {-1, -1},
                               {100000, 7},
                               {-100000, -100000}}) {
        game->ClickAt(x, y);
        game->DoubleClickAt(x, y);
        game->PointerAt(x, y);
    }
    EXPECT_EQ(S().cellTile, old.cellTile);
    EXPECT_EQ(S().hoverCell, old.hoverCell);
    EXPECT_EQ(rng->draws, draws);
    ExpectNothing(game->TakeChanges());
}

// The function keys run their commands, once for each press: the platform's repeats of a held
// key run nothing. A menu item chosen runs its command the same way.
TEST_F(PlayTest, FunctionKeysRunTheirCommandsOncePerPress) {
    const auto dealt = [&] { return S().pipeCell; };
    const auto before = dealt();
    int draws = rng->draws;
    EXPECT_TRUE(Key(vk::F5, true));
    EXPECT_TRUE(Key(vk::F2, true));
    EXPECT_TRUE(Key(vk::F3, true));
    EXPECT_TRUE(Key(vk::F1, true));
    EXPECT_EQ(rng->draws, draws);
    ExpectNothing(game->TakeChanges());

    const auto tiles = S().cellTile;
    EXPECT_TRUE(Key(vk::F5));  // the same puzzle scrambled again
    EXPECT_EQ(dealt(), before);
    EXPECT_NE(S().cellTile, tiles);
    EXPECT_TRUE(game->TakeChanges().caption);
    EXPECT_TRUE(Key(vk::F2));  // another puzzle
    EXPECT_NE(dealt(), before);
    draws = rng->draws;
    rng->queue = {0.05f};
    EXPECT_TRUE(Key(vk::F3));  // one pipe wanted, then dealt
    EXPECT_EQ(S().wantedPipes, 1);
    EXPECT_GT(rng->draws, draws + 1);
    ASSERT_EQ(S().solved, 0);
    EXPECT_TRUE(Key(vk::F1));
    EXPECT_EQ(S().solved, 1);
}

TEST_F(PlayTest, EscAsksToCloseOnce) {
    EXPECT_TRUE(Key(vk::Escape));
    const Changes ch = game->TakeChanges();
    EXPECT_TRUE(ch.close);
    EXPECT_TRUE(ch.cells.empty());
}

TEST_F(PlayTest, ASolvedBoardRefusesEverythingButEsc) {
    while (S().solved == 0)
        game->Run(Command::LayOnePipe);
    game->TakeChanges();
    const int n = Corner();
    const auto tiles = S().cellTile;
    const int draws = rng->draws;
    Click(n);
    DoubleClick(n);
    Over(n);
    Key(vk::Right);
    Key(vk::Left);
    Key(vk::F1);
    game->Run(Command::LayOnePipe);
    EXPECT_EQ(S().cellTile, tiles);
    EXPECT_EQ(rng->draws, draws);
    ExpectNothing(game->TakeChanges());
    Key(vk::Escape);
    const Changes ch = game->TakeChanges();
    EXPECT_TRUE(ch.close);
    EXPECT_TRUE(ch.cells.empty());
}

TEST_F(PlayTest, TheHintSolvesInOnePressPerUnfinishedPipe) {
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        Start(seed);
        for (const Command size : {Command::Size5x5, Command::Size10x9, Command::Size25x15}) {
            game->Run(size);
            game->Run(Command::NewGame);
            const int unfinished = S().pipeCount - CompletePipeCount(S());
            for (int press = 1; press <= unfinished; ++press) {
                ASSERT_EQ(S().solved, 0);
                game->Run(Command::LayOnePipe);
            }
            ASSERT_EQ(S().solved, 1) << game->Caption() << " seed " << seed;
        }
    }
}

TEST_F(PlayTest, ATurnThatCompletesNothingRepaintsOneCell) {
    for (int n = 1; n <= game->CellCount(); ++n) {
        GameState after = S();
        if (!IsTurnable(after.cellTile[n])) continue;
        TurnCell(after, n, true);
        if (after.cellColour != S().cellColour) continue;  // this turn completes or breaks a pipe
        Click(n);
        const std::map<int, int> want{{n, PictureIndex(after.cellTile[n], after.cellColour[n])}};
        EXPECT_EQ(Painted(game->TakeChanges()), want);
        return;
    }
    FAIL() << "every turn completes a pipe";
}

TEST_F(PlayTest, CompletingAPipeRepaintsItsGreyCells) {
    int cell = 0, p = 0;  // a click on cell completes pipe p
    StartWhere([&] {
        for (cell = 1; cell <= game->CellCount(); ++cell) {
            GameState after = S();
            TurnCell(after, cell, true);
            for (p = 1; p <= S().pipeCount; ++p)
                if (PipeComplete(after, p) && !PipeComplete(S(), p)) return true;
        }
        return false;
    });
    game->TakeChanges();
    std::map<int, int> want;  // the pipe's pieces, sources left out
    for (int k = 1; k <= S().pipeLength[p]; ++k)
        if (S().pipeTile[p][k] != tile::Source)
            want[S().pipeCell[p][k]] = PictureIndex(S().pipeTile[p][k], S().pipeColour[p]);
    Click(cell);
    EXPECT_EQ(Painted(game->TakeChanges()), want);
}

}  // namespace
}  // namespace kov::test
