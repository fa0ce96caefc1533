// A random source for tests: replays the values it is given and counts the draws.
#pragma once

#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <vector>

#include "board/GameState.h"
#include "game/Defaults.h"
#include "generator/Random.h"

namespace kov::test {

class ScriptedRandom final : public RandomSource {
  public:
    ScriptedRandom(std::initializer_list<float> values, std::optional<float> then = std::nullopt)
        : values_(values), then_(then) {}
    explicit ScriptedRandom(std::vector<float> values, std::optional<float> then = std::nullopt)
        : values_(std::move(values)), then_(then) {}

    float Next() override {
        ++draws_;
        if (next_ < values_.size()) return values_[next_++];
        if (then_) return *then_;
        throw std::runtime_error("the script ran out of values");
    }
    int draws() const { return draws_; }
    bool exhausted() const { return next_ == values_.size(); }

  private:
    std::vector<float> values_;
    std::optional<float> then_;
    std::size_t next_ = 0;
    int draws_ = 0;
};

// A cleared board of the given size with the game's default options.
inline GameState EmptyBoard(int cols, int rows, int shortPipes = 1, int useTees = 1) {
    GameState s;
    s.mapCols = static_cast<Int16>(cols);
    s.mapRows = static_cast<Int16>(rows);
    s.shortPipes = static_cast<Int16>(shortPipes);
    s.useTees = static_cast<Int16>(useTees);
    s.tileSize = SmallTiles;
    ClearBoard(s);
    return s;
}

inline int CellAt(const GameState& s, int column, int row) {
    return (row - 1) * s.mapCols + column;
}

// The eight board sizes the game offers.
using kov::BoardSizes;

}  // namespace kov::test

namespace kov::test {

struct Step {
    int cell;
    Int16 piece;
};

// Puts a pipe on the board and into the records as if it had been laid.
inline int PlacePipe(GameState& s, Int16 colour, std::initializer_list<Step> steps) {
    const int p = ++s.pipeCount;
    s.pipeColour[p] = colour;
    for (const Step& step : steps) {
        const int k = ++s.pipeLength[p];
        s.pipeCell[p][k] = static_cast<Int16>(step.cell);
        s.pipeTile[p][k] = step.piece;
        s.cellTile[step.cell] = step.piece;
        s.cellColour[step.cell] = colour;
    }
    return p;
}

}  // namespace kov::test
