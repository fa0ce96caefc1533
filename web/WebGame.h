// The game controller as the page sees it: one game object whose calls take and give plain
// numbers, strings and typed arrays.
#pragma once

#include <emscripten/val.h>

#include <memory>

#include "game/GameController.h"

namespace kov::web {

class WebGame {
  public:
    explicit WebGame(unsigned seed);

    // A command by its number in the controller's list; anything else is ignored.
    void Run(int command);
    void PointerAt(int x, int y) { game_.PointerAt(x, y); }
    void ClickAt(int x, int y) { game_.ClickAt(x, y); }
    void DoubleClickAt(int x, int y) { game_.DoubleClickAt(x, y); }
    bool KeyDown(int virtualKey, bool repeat) { return game_.KeyDown(virtualKey, repeat); }

    emscripten::val Caption() const;
    int CellCount() const { return game_.CellCount(); }
    bool Checked(int entry) const;
    int CellAt(int x, int y) const { return game_.CellAt(x, y); }
    int ShownPicture(int cell) const { return game_.ShownPicture(cell); }
    emscripten::val CellRect(int cell) const;
    emscripten::val BoardPixels() const;
    // marks: entry, checked, entry, checked...; cells: cell, picture, cell, picture...
    emscripten::val TakeChanges();

    const GameController& Controller() const { return game_; }

  private:
    GameController game_;
};

}  // namespace kov::web
