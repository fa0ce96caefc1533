// A game on a counting random source, and helpers to read what it reports.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "game/GameController.h"

namespace kov::test {

// Replays queued values, then a seeded twister. Counts the draws, and calls onDraw at each.
class CountingRandom final : public RandomSource {
  public:
    explicit CountingRandom(std::uint32_t seed) : engine_(seed) {}
    float Next() override {
        ++draws;
        if (onDraw) onDraw();
        if (queue.empty()) return engine_.Next();
        const float v = queue.front();
        queue.pop_front();
        return v;
    }

    std::deque<float> queue;
    int draws = 0;
    std::function<void()> onDraw;

  private:
    SeededRandom engine_;
};

using MarkLog = std::vector<std::pair<std::size_t, bool>>;

inline MarkLog Log(const Changes& ch) {
    MarkLog log;
    for (const MarkChange& m : ch.marks)
        log.emplace_back(m.entry, m.checked);
    return log;
}

// The picture each listed cell ends with.
inline std::map<int, int> Painted(const Changes& ch) {
    std::map<int, int> cells;
    for (const CellPicture& c : ch.cells)
        cells[c.cell] = c.picture;
    return cells;
}

inline void ExpectNothing(const Changes& ch) {
    EXPECT_FALSE(ch.rebuilt || ch.reLaid || ch.caption || ch.close);
    EXPECT_TRUE(ch.marks.empty());
    EXPECT_TRUE(ch.cells.empty());
}

class GameTest : public ::testing::Test {
  protected:
    void SetUp() override { Start(); }
    void Start(std::uint32_t seed = 1, std::initializer_list<float> first = {}) {
        auto source = std::make_unique<CountingRandom>(seed);
        source->queue.assign(first);
        rng = source.get();
        game = std::make_unique<GameController>(std::move(source));
    }
    // The first seed whose game passes `ok`, which may play on it.
    template <class Ok>
    void StartWhere(Ok ok) {
        for (std::uint32_t seed = 1; seed < 200; ++seed) {
            Start(seed);
            if (ok()) return;
        }
        FAIL() << "no seed gives such a game";
    }

    const GameState& S() const { return game->State(); }
    bool Checked(Command c) const { return game->Checked(MenuIndexOf(c)); }

    // Input on cell n as a front end gives it: at the cell's centre, in board pixels.
    std::pair<int, int> Centre(int n) const {
        const PixelRect r = game->CellRect(n);
        return {r.left + r.width / 2, r.top + r.height / 2};
    }
    void Over(int n) { game->PointerAt(Centre(n).first, Centre(n).second); }
    void Click(int n) { game->ClickAt(Centre(n).first, Centre(n).second); }
    void DoubleClick(int n) { game->DoubleClickAt(Centre(n).first, Centre(n).second); }
    bool Key(int virtualKey, bool repeat = false) { return game->KeyDown(virtualKey, repeat); }
    std::string CaptionFor(int cols, int rows) const {
        return "Ковелинт " + std::to_string(cols) + "x" + std::to_string(rows) + " - " +
               std::to_string(S().pipeCount) + "шт.";
    }
    // The cells whose codes differ from `before`, with their pictures.
    std::map<int, int> ChangedSince(const GameState& before) const {
        std::map<int, int> cells;
        for (int n = 1; n <= game->CellCount(); ++n)
            if (before.cellTile[n] != S().cellTile[n] || before.cellColour[n] != S().cellColour[n])
                cells[n] = PictureIndex(S().cellTile[n], S().cellColour[n]);
        return cells;
    }

    std::unique_ptr<GameController> game;
    CountingRandom* rng = nullptr;  // owned by the game
};

}  // namespace kov::test
