// A private desktop (X11 or Wayland, see Desktop.h), and the real game started and driven on it
// the way a player would: the mouse moves and keys are pressed, the screen is read back in pixels.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Desktop.h"
#include "Image.h"

namespace e2e {

// How long a test waits for what must happen: long enough that only a hung game misses it, even
// on a busy machine. No test holds the game to a speed; the benchmarks do that.
constexpr std::chrono::seconds Patience{20};

constexpr int CellPx = 35;
constexpr int Margin = 5;
constexpr std::uint32_t BoardGround = 0x808080;

struct Caption {
    int cols = 0;
    int rows = 0;
    int pipes = -1;
};
// "Ковелинт 10x9 - 7шт." read back into its numbers; nothing when it has another shape.
std::optional<Caption> ParseCaption(const std::string& text);

// The board as the screen shows it, each cell matched against the shipped pictures.
struct Board {
    int cols = 0;
    int rows = 0;
    QImage area;  // the client area below the menu bar
    std::vector<int> slots;

    int Slot(int c, int r) const { return slots[static_cast<std::size_t>((r - 1) * cols + c - 1)]; }
    int Tile(int c, int r) const { return TileOf(Slot(c, r)); }
    int Colour(int c, int r) const { return ColourOf(Slot(c, r)); }
    QImage Cell(int c, int r) const {
        return area.copy(Margin + (c - 1) * CellPx, Margin + (r - 1) * CellPx, CellPx, CellPx);
    }
    bool AllCellsRead() const;
    int GreyPieces() const;
    // Pixels anywhere on the board in a shade of the grey ramp.
    int GreyPixels() const;
    std::vector<std::pair<int, int>> Cells(const std::function<bool(int slot)>& wanted) const;
};

struct Game {
    pid_t pid = -1;
    WindowId window = 0;
    Rect client;      // the window's client area on the screen, menu bar included
    int menuBar = 0;  // height of the menu bar: the board's area starts below it
};

class GameSession : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the game; it runs until the test ends unless the test ends it. `env` adds to the
    // desktop's own; `runtimeDir` is the game's (its lock's) folder, the session's by default.
    pid_t Launch(const std::vector<std::string>& env = {}, const std::string& runtimeDir = {});
    // Launches the game and waits until its first board is on the screen and it has the focus.
    Game StartGame(const std::string& runtimeDir = {});
    std::optional<WindowId> WaitForWindow(pid_t pid, std::chrono::milliseconds timeout);
    // Reads the window's client area and the menu bar's height again once the window holds still;
    // after a change of board, first waits for the window to take another size. False when no
    // board ground shows under a menu bar.
    enum class Resize { None, Expected };
    bool Refit(Game& game, Resize resize = Resize::None);

    std::string CaptionText(const Game& game);
    std::optional<Caption> ReadCaption(const Game& game) { return ParseCaption(CaptionText(game)); }

    // The client area below the menu bar, on the screen.
    static Rect BoardArea(const Game& game);
    Board ReadBoard(const Game& game, int cols = 10, int rows = 9);
    // Reads the board until `done` holds or the time is up; returns the last reading.
    Board WaitForBoard(const Game& game, const std::function<bool(const Board&)>& done,
                       int cols = 10, int rows = 9, std::chrono::milliseconds timeout = Patience);
    // Gives the game time to handle the input sent so far and to repaint. Only checks that
    // something did NOT happen may rely on it; what must happen is waited for.
    void Settle(const Game& game);
    // True once `done` holds; false if it still does not after `timeout`.
    static bool WaitFor(const std::function<bool()>& done,
                        std::chrono::milliseconds timeout = Patience);
    // The area of the screen once it holds still: the same pixels in three grabs in a row.
    QImage GrabWhenStill(const Rect& area);

    // Input, as a player gives it.
    void MoveTo(int x, int y);
    void Hover(const Game& game, int c, int r);
    void Click(const Game& game, int c, int r);
    void DoubleClick(const Game& game, int c, int r);
    void Key(const std::string& keys) { desktop_->Key(keys); }
    void MoveAway();  // the pointer to a screen corner, off every window

    // Menus. Clicks the first title of the menu bar, then walks on with the given keys.
    void OpenMenu(const Game& game, const std::vector<std::string>& keys);
    // The popup opened last, waited for until `count` popups are open.
    std::optional<Rect> WaitForPopups(std::size_t count);

    Desktop& Scr() { return *desktop_; }
    // The private screen's size and scale; a fixture may choose others before SetUp.
    DesktopOptions screen_;
    const PictureSet& Pictures() { return *pictures_; }
    const std::string& RuntimeDir() const { return runtimeDir_; }

  private:
    std::string runtimeDir_;
    std::string logDir_;
    std::vector<pid_t> games_;
    std::unique_ptr<Desktop> desktop_;
    std::unique_ptr<PictureSet> pictures_;
};

// The check boxes of a menu popup, top to bottom: where each is, and whether it is ticked.
struct CheckBox {
    int centreY = 0;  // in the popup
    bool ticked = false;
};
std::vector<CheckBox> ReadCheckBoxes(const QImage& popup);

}  // namespace e2e
