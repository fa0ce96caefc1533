// Board sizes and where the cells lie.
#include <array>

#include "play/Play.h"
#include "tests/game/GameFixture.h"

namespace kov::test {
namespace {

TEST_F(GameTest, EverySizeToAndFromTheLargest) {
    const std::pair<int, int> sizes[] = {{25, 15}, {20, 13}, {15, 11}, {10, 9},
                                         {8, 8},   {7, 7},   {6, 6},   {5, 5}};
    const auto choose = [&](int i) {
        const auto [cols, rows] = sizes[i];
        SCOPED_TRACE(CaptionFor(cols, rows));
        game->Run(Command::NewGame);  // its paints go with the old cells
        game->Run(SizeCommand(i));
        const Changes ch = game->TakeChanges();
        EXPECT_TRUE(ch.rebuilt);
        EXPECT_EQ(Painted(ch), ChangedSince(GameState{}));
        EXPECT_EQ(game->CellCount(), cols * rows);
        EXPECT_EQ(game->Caption(), CaptionFor(cols, rows));
        EXPECT_EQ(game->CellRect(cols * rows),
                  (PixelRect{5 + (cols - 1) * 35, 5 + (rows - 1) * 35, 35, 35}));
    };
    choose(0);
    for (int i = 1; i < 8; ++i) {
        choose(i);
        choose(0);
    }
}

TEST_F(GameTest, TheArrowTargetSurvivesASizeChange) {
    // Cell 13 still exists on 5 x 5: the arrow turns it.
    StartWhere([this] {
        Over(13);
        game->Run(Command::Size5x5);
        return S().solved == 0 && IsTurnable(S().cellTile[13]);
    });
    game->TakeChanges();
    const Int16 before = S().cellTile[13];
    Key(vk::Right);
    EXPECT_EQ(S().cellTile[13], TurnClockwise(before));
    EXPECT_EQ(Painted(game->TakeChanges()).count(13), 1u);

    // Cell 80 lies past 6 x 6: the arrows harm nothing.
    game->Run(Command::Size10x9);
    Over(80);
    game->Run(Command::Size6x6);
    game->TakeChanges();
    const GameState old = S();
    Key(vk::Right);
    Key(vk::Down);
    EXPECT_EQ(S().hoverCell, 80);
    EXPECT_EQ(S().cellTile, old.cellTile);
    EXPECT_EQ(S().cellColour, old.cellColour);
    ExpectNothing(game->TakeChanges());
}

// The front end reports the pointer after every move of its own and every move of the board
// under it: a scroll, a re-lay. The cell under it is the arrows' target; a gap keeps the last.
TEST_F(GameTest, TheArrowTargetIsTheCellUnderTheReportedPointer) {
    game->Run(Command::LargePictures);
    game->Run(Command::Size25x15);
    game->PointerAt(40, 40);
    EXPECT_EQ(S().hoverCell, 1);
    game->PointerAt(40 + 3 * 70, 40);  // the board scrolled three cells left under the pointer
    EXPECT_EQ(S().hoverCell, 4);
    game->PointerAt(710, 40);  // past ten cells of 70 and the margin
    EXPECT_EQ(S().hoverCell, 11);
    game->Run(Command::ToggleGrid);
    game->PointerAt(710, 40);  // the same place, over ten cells of 71
    EXPECT_EQ(S().hoverCell, 10);
    game->PointerAt(75, 40);  // the gap after the first cell
    EXPECT_EQ(S().hoverCell, 10);
}

// Cells (1,1), (3,2) and (10,9) and the board as the grid and picture size change, each found
// again at its corners; nothing is repainted and the caption stays.
TEST_F(GameTest, GridAndPictureSizeReLayTheCells) {
    struct Step {
        std::optional<Command> command;
        PixelRect first, third, last;
        PixelSize board;
    };
    const Step steps[] = {
        {{}, {5, 5, 35, 35}, {75, 40, 35, 35}, {320, 285, 35, 35}, {360, 325}},
        {Command::ToggleGrid, {5, 5, 35, 35}, {77, 41, 35, 35}, {329, 293, 35, 35}, {369, 333}},
        {Command::LargePictures, {5, 5, 70, 70}, {147, 76, 70, 70}, {644, 573, 70, 70}, {719, 648}},
        {Command::SmallPictures, {5, 5, 35, 35}, {77, 41, 35, 35}, {329, 293, 35, 35}, {369, 333}},
        {Command::ToggleGrid, {5, 5, 35, 35}, {75, 40, 35, 35}, {320, 285, 35, 35}, {360, 325}},
    };
    game->TakeChanges();
    for (const Step& step : steps) {
        if (step.command) {
            game->Run(*step.command);
            const Changes ch = game->TakeChanges();
            EXPECT_TRUE(ch.reLaid);
            EXPECT_FALSE(ch.rebuilt || ch.caption);
            EXPECT_TRUE(ch.cells.empty());
        }
        EXPECT_EQ(game->CellRect(1), step.first);
        EXPECT_EQ(game->CellRect(13), step.third);
        EXPECT_EQ(game->CellRect(90), step.last);
        EXPECT_EQ(game->BoardPixels(), step.board);
        for (int n = 1; n <= 90; ++n) {
            const PixelRect r = game->CellRect(n);
            ASSERT_EQ(game->CellAt(r.left, r.top), n);
            ASSERT_EQ(game->CellAt(r.left + r.width - 1, r.top + r.height - 1), n);
            // A front end that paints the whole board again asks what each cell shows.
            ASSERT_EQ(game->ShownPicture(n), PictureIndex(S().cellTile[n], S().cellColour[n]));
        }
    }
}

// The margin and the gaps belong to no cell; the settings carry into a new size.
TEST_F(GameTest, MarginsGapsAndLargeBoards) {
    const auto probe = [&](std::initializer_list<std::array<int, 3>> probes) {
        for (const auto& [x, y, cell] : probes)
            EXPECT_EQ(game->CellAt(x, y), cell) << x << "," << y;
    };
    probe({{0, 0, 0}, {4, 100, 0}, {100, 4, 0}, {-1, 10, 0}, {355, 319, 0}, {354, 320, 0}});
    game->Run(Command::ToggleGrid);
    probe({{40, 5, 0}, {5, 40, 0}, {364, 327, 0}});
    game->Run(Command::LargePictures);
    probe({{146, 76, 0}, {217, 145, 0}});

    const Int16 wanted = S().wantedPipes;
    game->Run(Command::ToggleShortPipes);
    game->Run(Command::Size8x8);
    const PixelRect eighth = game->CellRect(8);
    EXPECT_EQ(eighth.left + eighth.width, 572);
    EXPECT_EQ(S().tileSize, 70);
    EXPECT_EQ(S().showGrid, 1);
    EXPECT_EQ(S().shortPipes, 0);
    EXPECT_EQ(S().wantedPipes, wanted);

    game->Run(Command::Size25x15);
    const PixelRect last = game->CellRect(375);
    EXPECT_EQ(last.left + last.width, 1779);
    EXPECT_EQ(last.top + last.height, 1069);
    EXPECT_EQ(game->BoardPixels(), (PixelSize{1784, 1074}));
    probe({{1778, 1068, 375}, {1779, 1068, 0}, {1708, 1000, 0}});
}

// The window is never narrower than its menu bar: a narrow board gets ground beside it, at
// every picture size and grid, and a wide board keeps its own size.
TEST_F(GameTest, TheWindowTakesTheWiderOfBoardAndMenuBar) {
    constexpr int Bar = 220;
    EXPECT_EQ(game->WindowPixels(Bar), game->BoardPixels());
    game->Run(Command::Size5x5);
    EXPECT_EQ(game->BoardPixels(), (PixelSize{185, 185}));
    EXPECT_EQ(game->WindowPixels(Bar), (PixelSize{Bar, 185}));
    game->Run(Command::ToggleGrid);
    EXPECT_EQ(game->WindowPixels(Bar), (PixelSize{Bar, 189}));
    game->Run(Command::LargePictures);
    EXPECT_EQ(game->WindowPixels(Bar), (PixelSize{364, 364}));
    EXPECT_EQ(game->WindowPixels(400), (PixelSize{400, 364}));
    EXPECT_EQ(game->WindowPixels(0), game->BoardPixels());
}

}  // namespace
}  // namespace kov::test
