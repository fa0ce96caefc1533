// The commands of the menu and their keys: hint, new game, re-scramble, pipe count, board size.
#include <sys/wait.h>

#include "Checks.h"
#include "Process.h"

#include <thread>

namespace e2e {
namespace {

using namespace std::chrono_literals;
using Commands = GameSession;

TEST_F(Commands, HintLaysAPipeAPressUntilSolvedThenTurnsAreRefused) {
    const Game game = StartGame();
    const std::string caption = CaptionText(game);
    const auto parsed = ParseCaption(caption);
    ASSERT_TRUE(parsed) << caption;
    Board board = ReadBoard(game);
    ASSERT_GT(board.GreyPieces(), 0) << "the first game came out solved";

    // Each press completes one more pipe and leaves the complete ones as they were.
    int presses = 0;
    while (board.GreyPieces() > 0 && presses < parsed->pipes) {
        const Board before = board;
        Key("F1");
        ++presses;
        board = WaitForBoard(game, [&](const Board& b) {
            return b.AllCellsRead() && b.GreyPieces() < before.GreyPieces();
        });
        ASSERT_LT(board.GreyPieces(), before.GreyPieces()) << "F1 press " << presses;
        for (const auto& [c, r] : before.Cells([](int s) { return ColourOf(s) > Grey; }))
            EXPECT_EQ(board.Slot(c, r), before.Slot(c, r)) << "complete cell " << c << "," << r;
    }
    Settle(game);
    board = ReadBoard(game);
    EXPECT_EQ(board.GreyPieces(), 0)
        << "still unsolved after " << presses << " hints for " << parsed->pipes << " pipes";
    EXPECT_EQ(board.GreyPixels(), 0) << "grey left on the solved board";
    EXPECT_EQ(CaptionText(game), caption);

    // Solved: a hint, a click, a double click and the arrow keys all leave it alone.
    const auto turnable = board.Cells([](int s) { return TileOf(s) >= 2 && TileOf(s) <= 11; });
    ASSERT_GE(turnable.size(), 2u);
    Key("F1");
    Click(game, turnable[0].first, turnable[0].second);
    Key("Right");
    DoubleClick(game, turnable[1].first, turnable[1].second);
    Key("Down");
    Settle(game);
    EXPECT_TRUE(ReadBoard(game).area == board.area) << "the solved board changed";

    // Esc still ends the game.
    Key("Escape");
    const auto status = WaitExit(game.pid, Patience);
    ASSERT_TRUE(status) << "Esc left the solved game running";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
}

TEST_F(Commands, RescrambleKeepsThePuzzleNewGameDealsAnother) {
    const Game game = StartGame();
    const std::string caption = CaptionText(game);
    const Board dealt = ReadBoard(game);

    Key("F5");
    WaitForBoard(game, [&](const Board& b) { return !SameTiles(b, dealt); });
    Settle(game);
    const Board scrambled = ReadBoard(game);
    ASSERT_TRUE(scrambled.AllCellsRead());
    EXPECT_FALSE(SameTiles(scrambled, dealt)) << "F5 turned nothing";
    EXPECT_EQ(CaptionText(game), caption);
    // The same pieces in the same cells, only facing anew; the sources keep place and colour.
    EXPECT_TRUE(SameKinds(scrambled, dealt));
    EXPECT_EQ(SourceCells(scrambled), SourceCells(dealt));
    for (const auto& [c, r] : SourceCells(dealt))
        EXPECT_EQ(scrambled.Slot(c, r), dealt.Slot(c, r)) << "source " << c << "," << r;

    Key("F2");
    WaitForBoard(game, [&](const Board& b) { return b.AllCellsRead() && !SameKinds(b, dealt); });
    Settle(game);
    const Board fresh = ReadBoard(game);
    ASSERT_TRUE(fresh.AllCellsRead());
    EXPECT_FALSE(SameKinds(fresh, dealt)) << "F2 dealt the same puzzle";
    const auto next = ReadCaption(game);
    ASSERT_TRUE(next) << CaptionText(game);
    EXPECT_EQ(next->cols, 10);
    EXPECT_EQ(next->rows, 9);
    EXPECT_GE(next->pipes, 1);
    ExpectSourcesFitPipeCount(fresh, next->pipes);
    EXPECT_GT(fresh.GreyPieces(), 0) << "the new game came out solved";
}

TEST_F(Commands, RandomPipeCountDealsGamesOfOneToTenPipes) {
    const Game game = StartGame();
    Board board = ReadBoard(game);
    for (int round = 1; round <= 4; ++round) {
        SCOPED_TRACE(round);
        const Board before = board;
        Key("F3");
        WaitForBoard(game, [&](const Board& b) {
            return b.AllCellsRead() && SourceCells(b) != SourceCells(before);
        });
        Settle(game);
        board = ReadBoard(game);
        ASSERT_NE(SourceCells(board), SourceCells(before)) << "F3 dealt no new game";
        const auto caption = ReadCaption(game);
        ASSERT_TRUE(caption) << CaptionText(game);
        EXPECT_EQ(caption->cols, 10);
        EXPECT_EQ(caption->rows, 9);
        EXPECT_GE(caption->pipes, 1);
        EXPECT_LE(caption->pipes, 10);
        ExpectSourcesFitPipeCount(board, caption->pipes);
    }
}

TEST_F(Commands, BoardSizeChosenWithTheMouse) {
    Game game = StartGame();
    // "Настройки", "Размер поля": the size list opens with its first item highlighted.
    OpenMenu(game, {"Right", "Down", "Right"});
    const auto sizes = WaitForPopups(2);
    ASSERT_TRUE(sizes);
    const auto boxes = ReadCheckBoxes(Scr().Grab(*sizes));
    ASSERT_EQ(boxes.size(), 8u) << "\"25 x 15\" down to \"5 x 5\"";
    ASSERT_TRUE(boxes[3].ticked) << "\"10 x 9\" unmarked at start";

    // "5 x 5", the last item, by the mouse.
    MoveTo(sizes->x + sizes->width / 2, sizes->y + boxes[7].centreY);
    Scr().Click(1);
    const auto caption = [&] {
        std::optional<Caption> c;
        for (int tries = 0; tries < 100; ++tries) {
            c = ReadCaption(game);
            if (c && c->rows == 5) break;
            Settle(game);
        }
        return c;
    }();
    ASSERT_TRUE(caption) << CaptionText(game);
    EXPECT_EQ(caption->cols, 5);
    EXPECT_EQ(caption->rows, 5);
    EXPECT_GE(caption->pipes, 1);
    EXPECT_LE(caption->pipes, 10);

    // The window now fits the new board: below the menu bar, the board and its margin exactly
    // in height; in width never narrower than the menu bar, the ground beside the board.
    Settle(game);
    ASSERT_TRUE(Refit(game, Resize::Expected));
    EXPECT_GE(game.client.width, 5 * CellPx + 2 * Margin);
    EXPECT_EQ(game.client.height - game.menuBar, 5 * CellPx + 2 * Margin);
    const Board small = ReadBoard(game, 5, 5);
    ASSERT_TRUE(small.AllCellsRead());
    ExpectSourcesFitPipeCount(small, caption->pipes);
    const int edge = Margin + 5 * CellPx;
    for (int i = 0; i < Margin; ++i)
        EXPECT_EQ(Rgb(small.area, 100, edge + i), BoardGround);
    ASSERT_EQ(small.area.width(), game.client.width);
    for (int x = edge; x < game.client.width; ++x)
        EXPECT_EQ(Rgb(small.area, x, 100), BoardGround) << x;

    // The new cells take clicks.
    const auto turnable = small.Cells(GreyCornerOrTee);
    if (!turnable.empty()) {
        const auto [c, r] = turnable[0];
        Click(game, c, r);
        WaitForBoard(
            game, [&](const Board& b) { return b.Tile(c, r) != small.Tile(c, r); }, 5, 5);
        Settle(game);
        ExpectOnlyTurned(small, ReadBoard(game, 5, 5), c, r, 1);
    }
}

// A function key held down acts once, however long the window system repeats it: one hint, one
// new game, one random pipe count, one re-scramble.
TEST_F(Commands, AHeldFunctionKeyActsOnce) {
    const Game game = StartGame();
    for (const char* key : {"F1", "F2", "F3", "F5"}) {
        SCOPED_TRACE(key);
        const Board before = ReadBoard(game);
        Scr().KeyDown(key);
        // The press acts at once; the window system repeats it after its delay (660 ms by
        // default), and then every 40 ms, for as long as it is held.
        WaitForBoard(game, [&](const Board& b) { return !(b.area == before.area); });
        GrabWhenStill(BoardArea(game));  // until the new board is wholly drawn
        const Board first = ReadBoard(game);
        ASSERT_FALSE(first.area == before.area) << "the press did nothing";
        int changes = 0;
        QImage last = first.area;
        for (int i = 0; i < 15; ++i) {
            std::this_thread::sleep_for(100ms);
            const Board now = ReadBoard(game);
            changes += now.area == last ? 0 : 1;
            last = now.area;
        }
        Scr().KeyUp(key);
        EXPECT_EQ(changes, 0) << "the held key acted again";
        if (std::string(key) == "F1") {
            EXPECT_LT(first.GreyPieces(), before.GreyPieces()) << "the hint laid no pipe";
        }
    }
}

// On a full HD screen every board but the largest with large pictures fits: after "25 x 15",
// "Сетка", "20 x 13" and "Большие", chosen from the keyboard, the window is exactly the board
// with its margin below the menu bar, with nothing to scroll.
class FullHd : public GameSession {
  protected:
    FullHd() {
        screen_.width = 1920;
        screen_.height = 1080;
    }
    void ExpectWindowIsTheBoard(Game& game, int cols, int rows, int px, int gap) {
        Settle(game);
        ASSERT_TRUE(Refit(game, Resize::Expected));
        EXPECT_EQ(game.client.width, cols * px + (cols - 1) * gap + 2 * Margin);
        EXPECT_EQ(game.client.height - game.menuBar, rows * px + (rows - 1) * gap + 2 * Margin);
    }
};

TEST_F(FullHd, TheWindowFollowsTheBoard) {
    Game game = StartGame();
    // "Настройки", then "Размер поля" and its first item, "25 x 15".
    OpenMenu(game, {"Right", "Down", "Right", "Return"});
    for (int tries = 0; tries < 70; ++tries) {  // each a little over 0.3 s
        const auto caption = ReadCaption(game);
        if (caption && caption->cols == 25) break;
        Settle(game);
    }
    ExpectWindowIsTheBoard(game, 25, 15, CellPx, 0);
    EXPECT_TRUE(ReadBoard(game, 25, 15).AllCellsRead());
    // Past the three submenus and the two options to "Сетка".
    OpenMenu(game, {"Right", "Down", "Down", "Down", "Down", "Down", "Return"});
    ExpectWindowIsTheBoard(game, 25, 15, CellPx, 1);
    OpenMenu(game, {"Right", "Down", "Right", "Down", "Return"});  // "20 x 13"
    ExpectWindowIsTheBoard(game, 20, 13, CellPx, 1);
    OpenMenu(game, {"Right", "Down", "Down", "Right", "Return"});  // "Большие"
    ExpectWindowIsTheBoard(game, 20, 13, 2 * CellPx, 1);
}

}  // namespace
}  // namespace e2e
