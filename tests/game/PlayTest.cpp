// Turning by mouse and keys, Esc, the solved board, the hint, and what each repaints.
#include "play/Play.h"
#include "tests/game/GameFixture.h"

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
    game->KeyDown(vk::Right);  // nothing is pointed at yet
    game->PointerOver(n);
    EXPECT_EQ(S().cellTile[n], start);
    ExpectNothing(game->PendingChanges());

    constexpr int Click = -1, DoubleClick = -2;
    // An input and the quarter turns clockwise from the start it leaves.
    const std::pair<int, int> presses[] = {{Click, 1},  {DoubleClick, 2}, {vk::Right, 3},
                                           {vk::Up, 0}, {vk::Left, 3},    {vk::Down, 2},
                                           {Click, 3}};
    for (const auto& [input, quarters] : presses) {
        if (input == Click) game->Click(n);
        if (input == DoubleClick) game->DoubleClick(n);  // the second press of the click above
        if (input > 0) game->KeyDown(input);
        Int16 want = start;
        for (int q = 0; q < quarters; ++q)
            want = TurnClockwise(want);
        ASSERT_EQ(S().cellTile[n], want) << input;
        ASSERT_EQ(Painted(game->TakeChanges()).count(n), 1u);
    }
}

TEST_F(PlayTest, OtherKeysAndStrayCellsDoNothing) {
    game->PointerOver(Corner());
    const GameState old = S();
    const int draws = rng->draws;
    for (const int key : {32, 65, 13, 9, 115})
        game->KeyDown(key);
    for (const int n : {0, -1, 91, 376, 100000}) {
        game->Click(n);
        game->DoubleClick(n);
        game->PointerOver(n);
    }
    EXPECT_EQ(S().cellTile, old.cellTile);
    EXPECT_EQ(S().hoverCell, old.hoverCell);
    EXPECT_EQ(rng->draws, draws);
    ExpectNothing(game->PendingChanges());
}

TEST_F(PlayTest, ASolvedBoardRefusesEverythingButEsc) {
    while (S().solved == 0)
        game->Run(Command::LayOnePipe);
    game->TakeChanges();
    const int n = Corner();
    const auto tiles = S().cellTile;
    const int draws = rng->draws;
    game->Click(n);
    game->DoubleClick(n);
    game->PointerOver(n);
    game->KeyDown(vk::Right);
    game->KeyDown(vk::Left);
    game->Run(Command::LayOnePipe);
    EXPECT_EQ(S().cellTile, tiles);
    EXPECT_EQ(rng->draws, draws);
    ExpectNothing(game->PendingChanges());
    game->KeyDown(vk::Escape);
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
        game->Click(n);
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
    game->Click(cell);
    EXPECT_EQ(Painted(game->TakeChanges()), want);
}

}  // namespace
}  // namespace kov::test
