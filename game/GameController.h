// The whole game without a screen: it owns the game state and the random source, runs the
// start-up, every menu command and every input event, keeps the check marks, the caption and
// the cell geometry, and tells a front end after each call exactly what to redraw.
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
    // Cells moved or changed size, and the board's pixel size may have changed.
    bool relaid = false;
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

    void Run(Command command);

    // Input, with cells numbered from 1 row by row.
    void Click(int cell);
    // The second press of a double click; the first came as a Click, so the piece turns twice.
    void DoubleClick(int cell);
    void PointerOver(int cell);
    // A key going down, as a virtual-key code: Esc asks to close, the arrows turn the cell last
    // pointed at. Modifiers play no part.
    void KeyDown(int virtualKey);

    const GameState& State() const { return s_; }
    RandomSource& Random() { return *rng_; }
    int CellCount() const { return s_.CellCount(); }

    // "Ковелинт 10x9 - 7шт.", in UTF-8.
    std::string Caption() const;
    bool Checked(std::size_t entry) const { return entry < marks_.size() && marks_[entry]; }
    bool Checked(Command command) const { return marks_[MenuIndexOf(command)]; }

    // Where cell n (1..CellCount()) lies on the board, in pixels from the board's top-left
    // corner.
    PixelRect CellRect(int cell) const;
    // The board with its margin on every side.
    PixelSize BoardPixels() const;
    // The cell under a pixel of the board; 0 over the margin, a gap or past the last cell.
    int CellAt(int x, int y) const;

    // Everything that changed since the last call; the record starts afresh.
    Changes TakeChanges();
    const Changes& PendingChanges() const { return changes_; }

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
    void Turn(int cell, bool clockwise);
    int Pitch() const;

    GameState s_;
    std::unique_ptr<RandomSource> rng_;
    std::vector<bool> marks_;
    Changes changes_;
};

}  // namespace kov
