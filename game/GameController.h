// The whole game without a screen: it owns the game state and the random source, runs the
// start-up, every menu command and every input event, keeps the check marks, the caption, the
// cell geometry and what each cell shows, and tells a front end after each call exactly what
// to redraw. A front end only turns its platform's events into these calls and draws.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "board/GameState.h"
#include "game/Menu.h"
#include "generator/Random.h"

namespace kov {

struct CellPicture {
    int cell;
    int picture;  // an index into the picture set
};

struct MarkChange {
    std::size_t entry;  // a position in MenuEntries()
    bool checked;
};

// What changed since the front end last took the changes, in the order it happened.
struct Changes {
    // The cells were made anew for another board size: every old cell is gone and cells
    // 1..CellCount() now show the blank picture until painted.
    bool rebuilt = false;
    // Cells moved or changed size, and the board's pixel size may have changed. A front end
    // that paints the whole board at once paints every cell again from ShownPicture().
    bool reLaid = false;
    bool caption = false;
    // Esc: the game ends.
    bool close = false;
    std::vector<MarkChange> marks;
    // Pictures to paint, in the order they were decided; a later entry for a cell wins.
    std::vector<CellPicture> cells;
};

struct PixelRect {
    int left, top, width, height;
    bool operator==(const PixelRect&) const = default;
};

struct PixelSize {
    int width, height;
    bool operator==(const PixelSize&) const = default;
};

class GameController {
  public:
    // Runs the start-up: the default settings, a drawn pipe count, the cells of the start
    // board and the first game. The source is seeded already; its first draw is the count.
    explicit GameController(std::unique_ptr<RandomSource> rng);

    // A menu item chosen, by mouse or by keyboard in the menus: its command runs once.
    void Run(Command command);

    // The pointer, in pixels from the board's top-left corner (its margin included). Over a
    // cell, that cell becomes the arrows' target; over the margin, a gap or off the board the
    // last one stays. A front end says so whenever the pointer moves, and also whenever the
    // board moves under a still pointer (a scroll, a re-lay, a rebuild).
    void PointerAt(int x, int y);
    // A press of the main button there turns the piece under it.
    void ClickAt(int x, int y);
    // The second press of a double click; the first came as a click, so the piece turns twice.
    void DoubleClickAt(int x, int y);
    // A key going down, as a virtual-key code (see play/Keys.h), with whether the platform sent
    // it as the auto-repeat of a held key. F1, F2, F3 and F5 run their commands once per press;
    // the arrows turn the target at every repeat; Esc asks to close. Modifiers play no part.
    // True when the key is one the game answers, whether or not it changed anything, so the
    // front end keeps it from the platform's own use.
    bool KeyDown(int virtualKey, bool repeat);

    const GameState& State() const { return s_; }
    int CellCount() const { return s_.CellCount(); }

    // "Ковелинт 10x9 - 7шт.", in UTF-8.
    std::string Caption() const;
    bool Checked(std::size_t entry) const { return entry < marks_.size() && marks_[entry]; }

    // Where cell n (1..CellCount()) lies on the board, in pixels from the board's top-left
    // corner.
    PixelRect CellRect(int cell) const;
    // The board with its margin on every side.
    PixelSize BoardPixels() const;
    // The client area below the menu bar, given the width the bar needs to show every menu on
    // one line (measured by the front end, in board pixels): the board, widened to the bar
    // where the board is narrower, so no menu is ever hidden or wrapped. The extra width shows
    // the ground beside the board, which stays at the top left.
    PixelSize WindowPixels(int menuBarWidth) const;
    // The cell under a pixel of the board; 0 over the margin, a gap or past the last cell.
    int CellAt(int x, int y) const;
    // The picture cell n shows once every change listed so far is painted.
    int ShownPicture(int cell) const;

    // Everything that changed since the last call; the record starts afresh.
    Changes TakeChanges();

  private:
    void NewGame();
    void Rescramble();
    void SetPipeCount(Int16 n);
    void DrawPipeCount();
    void ApplyPipeCount();
    void ChangeBoardSize(int sizeIndex);
    void BuildTileGrid();
    void ToggleGrid();
    void ChangePictureSize(Int16 size);
    void ToggleOption(Int16& flag, Command item);
    void LayOnePipe();
    void RenderBoard();
    void Mark(Command item, bool checked);
    bool IsMarked(Command item) const;
    void Turn(int cell, bool clockwise);
    int Pitch() const;

    GameState s_;
    std::unique_ptr<RandomSource> rng_;
    std::vector<bool> marks_;
    // What each cell was last listed to show, by tile and colour code, from cell 1.
    Slots<MaxCells> shownTile_{};
    Slots<MaxCells> shownColour_{};
    Changes changes_;
};

}  // namespace kov
