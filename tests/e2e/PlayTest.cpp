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
    EXPECT_TRUE(WaitFor([&] { return Scr().Popups().empty(); })) << "Esc left the menu open";
    Settle(game);
    EXPECT_FALSE(WaitExit(game.pid, std::chrono::milliseconds(300)))
        << "Esc in a menu ended the game";
    Key("Right");
    WaitForBoard(game, [&](const Board& b) { return b.Tile(c, r) != start.Tile(c, r); });
    ExpectOnlyTurned(start, ReadBoard(game), c, r, 1);
    Key("Escape");
    const auto status = WaitExit(game.pid, Patience);
    ASSERT_TRUE(status) << "the third Esc left the game running";
}

// A 70-pixel cell read as the 35-pixel picture it doubles, or -1 if it is none of the game's.
int LargeCellSlot(const PictureSet& pictures, const QImage& area, int x, int y) {
    QImage half(CellPx, CellPx, area.format());
    for (int py = 0; py < CellPx; ++py)
        for (int px = 0; px < CellPx; ++px)
            half.setPixel(px, py, area.pixel(x + 2 * px, y + 2 * py));
    return pictures.Identify(half);
}

// A board larger than the screen scrolled by the wheel under a still pointer: the arrow turns
// the piece now under the pointer, not the one that was there before the board moved.
TEST_F(Play, AfterAWheelScrollTheArrowTurnsThePieceUnderThePointer) {
    Game game = StartGame();
    OpenMenu(game, {"Right", "Down", "Down", "Right", "Return"});  // "Большие"
    Settle(game);
    ASSERT_TRUE(Refit(game, Resize::Expected));
    OpenMenu(game, {"Right", "Down", "Right", "Return"});  // "25 x 15", larger than the screen
    Settle(game);
    ASSERT_TRUE(Refit(game, Resize::Expected));
    // The board's viewport, scroll bars left out.
    const Rect view{game.client.x, game.client.y + game.menuBar, game.client.width - 20,
                    game.client.height - game.menuBar - 20};
    constexpr int Large = 2 * CellPx;
    // Two wheel steps, up (4) or down (5); then the view once it has moved and settled.
    const auto wheel = [&](int button) {
        const QImage old = Scr().Grab(view);
        Scr().Click(button, 2, std::chrono::milliseconds(30));
        WaitFor([&] { return !(Scr().Grab(view) == old); });
        return GrabWhenStill(view);
    };

    // How far two wheel steps move the board: the rows that stay in view reappear higher up.
    MoveTo(view.x + view.width / 2, view.y + view.height / 2);
    const QImage top = Scr().Grab(view);
    const QImage down = wheel(5);
    int shift = 0;
    for (int dy = 1; dy < view.height / 2 && shift == 0; ++dy)
        if (top.copy(0, dy, view.width, view.height - dy) ==
            down.copy(0, 0, view.width, view.height - dy))
            shift = dy;
    ASSERT_GT(shift, Large) << "two wheel steps should move the board more than a cell";
    wheel(4);

    // A grey corner or tee that the scroll brings under a pointer which first rested on
    // another cell. Rarely none is in sight; a new game deals another board.
    for (int board = 0; board < 5; ++board) {
        const QImage before = Scr().Grab(view);
        std::optional<std::pair<int, int>> target;  // the piece's top left in the view
        for (int y = Margin + (shift + Large - 1) / Large * Large;
             y + Large <= view.height && !target; y += Large)
            for (int x = Margin; x + Large <= view.width && !target; x += Large)
                if (GreyCornerOrTee(LargeCellSlot(Pictures(), before, x, y))) target = {{x, y}};
        if (!target) {
            Key("F2");
            Settle(game);
            continue;
        }
        const auto [tx, ty] = *target;
        const int slot = LargeCellSlot(Pictures(), before, tx, ty);
        const int px = view.x + tx + Large / 2, py = view.y + ty - shift + Large / 2;
        MoveTo(px + 1, py);  // the arrows' target is the piece here now
        MoveTo(px, py);
        const QImage scrolled = wheel(5);  // the board moves up under the still pointer
        Key("Right");
        WaitFor(
            [&] { return LargeCellSlot(Pictures(), Scr().Grab(view), tx, ty - shift) != slot; });
        Settle(game);  // anything else that was going to change has
        const QImage after = Scr().Grab(view);
        const int turned = LargeCellSlot(Pictures(), after, tx, ty - shift);
        EXPECT_EQ(TileOf(turned), TileTurned(TileOf(slot), 1))
            << "the piece under the pointer did not turn a quarter";
        // A turn that completes a pipe also recolours the rest of it.
        if (ColourOf(turned) != Grey) return;
        QRect changed;
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                if (scrolled.pixel(x, y) != after.pixel(x, y)) changed |= QRect(x, y, 1, 1);
        EXPECT_TRUE(QRect(tx, ty - shift, Large, Large).contains(changed))
            << "the turn changed " << changed.x() << "," << changed.y() << " " << changed.width()
            << "x" << changed.height() << ", the piece is at " << tx << "," << ty - shift;
        return;
    }
    FAIL() << "five boards without a grey corner or tee in sight";
}

}  // namespace
}  // namespace e2e
