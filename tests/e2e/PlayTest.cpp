// Turning pieces with the mouse and the arrow keys, on the real window.
#include "Checks.h"
#include "Process.h"

#include <chrono>
#include <thread>

namespace e2e {
namespace {

using Play = GameSession;

TEST_F(Play, ClickTurnsAQuarterDoubleClickAHalfASourceNever) {
    const Game game = StartGame();
    const Board start = ReadBoard(game);
    const auto turnable = start.Cells(GreyCornerOrTee);
    ASSERT_GE(turnable.size(), 2u) << "a board of ten by nine with no two grey corners or tees";

    const auto [c1, r1] = turnable[0];
    Click(game, c1, r1);
    WaitForBoard(game, [&](const Board& b) { return b.Tile(c1, r1) != start.Tile(c1, r1); });
    Settle(game);
    const Board once = ReadBoard(game);
    ExpectOnlyTurned(start, once, c1, r1, 1);

    // Another cell, so that the two presses cannot pair with the click before.
    const auto [c2, r2] = turnable[1];
    DoubleClick(game, c2, r2);
    WaitForBoard(
        game, [&](const Board& b) { return b.Tile(c2, r2) == TileTurned(once.Tile(c2, r2), 2); });
    Settle(game);
    const Board twice = ReadBoard(game);
    ExpectOnlyTurned(once, twice, c2, r2, 2);

    // A source has nothing to turn: the board looks the same after a click on it.
    const auto sources = twice.Cells([](int s) { return TileOf(s) == Source; });
    ASSERT_FALSE(sources.empty());
    Click(game, sources[0].first, sources[0].second);
    Settle(game);
    EXPECT_TRUE(ReadBoard(game).area == twice.area);
}

TEST_F(Play, ArrowKeysTurnTheLastHoveredCellWithOrWithoutModifiers) {
    const Game game = StartGame();
    const Board start = ReadBoard(game);

    // Nothing has been hovered yet: the keys have no cell to turn.
    Key("Right");
    Key("Up");
    Settle(game);
    ASSERT_TRUE(ReadBoard(game).area == start.area) << "an arrow key turned a piece unhovered";

    const auto turnable = start.Cells(GreyCornerOrTee);
    ASSERT_FALSE(turnable.empty());
    const auto [c, r] = turnable[0];
    Hover(game, c, r);
    Settle(game);
    ASSERT_TRUE(ReadBoard(game).area == start.area) << "hovering alone changed the board";

    // Right and Up turn clockwise, Left and Down back; Shift and Ctrl change nothing of that.
    const std::pair<const char*, int> steps[] = {
        {"Right", 1},       {"Left", 0},      {"Up", 1},        {"Down", 0},
        {"shift+Right", 1}, {"ctrl+Left", 0}, {"ctrl+Up", 1},   {"shift+Down", 0},
        {"Down", -1},       {"Down", -2},     {"shift+Up", -1}, {"Up", 0},
    };
    for (const auto& [key, quarters] : steps) {
        SCOPED_TRACE(key);
        Key(key);
        const int want = TileTurned(start.Tile(c, r), quarters);
        WaitForBoard(game, [&](const Board& b) { return b.Tile(c, r) == want; });
        Settle(game);
        ExpectOnlyTurned(start, ReadBoard(game), c, r, quarters);
    }
    EXPECT_TRUE(ReadBoard(game).area == start.area)
        << "back where it started, yet it looks different";

    // With the mouse gone from the window the cell hovered last is still the one that turns.
    MoveAway();
    Key("Right");
    WaitForBoard(game, [&](const Board& b) { return b.Tile(c, r) != start.Tile(c, r); });
    Settle(game);
    ExpectOnlyTurned(start, ReadBoard(game), c, r, 1);
}

// Leaving a menu with Esc as on any desktop: the first Esc closes the pop-up, the second leaves
// the menu bar and gives the arrows back to the board, and only the third ends the game.
TEST_F(Play, EscLeavesAMenuStepByStepBeforeItEndsTheGame) {
    const Game game = StartGame();
    const Board start = ReadBoard(game);
    const auto turnable = start.Cells(GreyCornerOrTee);
    ASSERT_FALSE(turnable.empty());
    const auto [c, r] = turnable[0];
    Hover(game, c, r);
    OpenMenu(game, {});
    Key("Escape");
    Key("Escape");
    Settle(game);
    EXPECT_FALSE(WaitExit(game.pid, std::chrono::milliseconds(300)))
        << "Esc in a menu ended the game";
    EXPECT_TRUE(Scr().Popups().empty());
    Key("Right");
    WaitForBoard(game, [&](const Board& b) { return b.Tile(c, r) != start.Tile(c, r); });
    ExpectOnlyTurned(start, ReadBoard(game), c, r, 1);
    Key("Escape");
    const auto status = WaitExit(game.pid, std::chrono::seconds(5));
    ASSERT_TRUE(status) << "the third Esc left the game running";
}

// A board larger than the screen scrolled by the wheel under a still pointer: the arrow turns
// the piece now under the pointer, not the one that was there before the board moved.
TEST_F(Play, AfterAWheelScrollTheArrowTurnsThePieceUnderThePointer) {
    Game game = StartGame();
    OpenMenu(game, {"Right", "Down", "Down", "Right", "Return"});  // "Большие"
    Settle(game);
    ASSERT_TRUE(Refit(game));
    OpenMenu(game, {"Right", "Down", "Right", "Return"});  // "25 x 15", larger than the screen
    Settle(game);
    ASSERT_TRUE(Refit(game));
    const Rect view{game.client.x, game.client.y + game.menuBar, game.client.width,
                    game.client.height - game.menuBar};
    int turned = 0;
    // Many cells hold nothing that turns (empty cells, sources, crosses): places are tried
    // until one does.
    for (int attempt = 0; attempt < 20 && turned == 0; ++attempt) {
        const int x = view.x + 100 + attempt % 5 * 97, y = view.y + 60 + attempt / 5 * 53;
        MoveTo(x, y);
        Xdo({"click", "--repeat", "2", "--delay", "30", "4"});  // back to the top
        Settle(game);
        MoveTo(x + 1, y);  // the arrows' target is the piece here now
        MoveTo(x, y);
        // The board moves up under the still pointer.
        Xdo({"click", "--repeat", "2", "--delay", "30", "5"});
        Settle(game);
        const QImage before = Scr().Grab(view);
        Key("Right");
        QImage after = Scr().Grab(view);
        for (int wait = 0; wait < 10 && after == before; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            after = Scr().Grab(view);
        }
        if (after == before) continue;
        Settle(game);  // the whole cell repainted
        after = Scr().Grab(view);
        // Where the screen changed, it changed in the cell under the pointer: a turned piece
        // changes most of its cell, and the two wheel steps moved the board 120 pixels, well
        // past the cell that was there before.
        QRect changed;
        for (int py = 0; py < before.height(); ++py)
            for (int px = 0; px < before.width(); ++px)
                if (before.pixel(px, py) != after.pixel(px, py)) changed |= QRect(px, py, 1, 1);
        if (changed.isEmpty()) continue;
        EXPECT_TRUE(changed.adjusted(-34, -34, 34, 34).contains(x - view.x, y - view.y))
            << "the turn changed " << changed.x() << "," << changed.y() << " " << changed.width()
            << "x" << changed.height() << ", the pointer is at " << x - view.x << "," << y - view.y;
        ++turned;
    }
    EXPECT_EQ(turned, 1) << "no piece under the pointer could turn";
}

}  // namespace
}  // namespace e2e
