// The game controller as the page sees it: one game and the buffers its answers are handed over
// in, read by the page straight from the module's memory.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "game/GameController.h"
#include "generator/Random.h"

namespace kov::web {

struct WebGame {
    explicit WebGame(unsigned seed) : controller(std::make_unique<SeededRandom>(seed)) {}

    GameController controller;
    std::string caption;      // the last caption asked for, NUL-terminated
    std::vector<int> cells;   // per cell from cell 1: left, top, width, height, or its picture
    std::array<int, 2> size;  // width, height
    // rebuilt, reLaid, caption, close, the number of marks and of cells, then the marks as
    // entry, checked and the cells as cell, picture
    std::vector<int> changes;
};

}  // namespace kov::web
