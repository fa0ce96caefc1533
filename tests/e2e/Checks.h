// Checks on boards read from the screen, shared by the end-to-end tests.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "GameSession.h"

namespace e2e {

// What a piece is, whatever way it faces: empty, source, straight, corner, tee or cross.
inline int Kind(int tile) {
    if (tile <= 1 || tile == 12) return tile;
    return tile <= 3 ? 2 : (tile <= 7 ? 4 : 8);
}

// A grey corner or tee: each quarter turn gives it a different picture.
inline bool GreyCornerOrTee(int slot) {
    return ColourOf(slot) == Grey && TileOf(slot) >= 4 && TileOf(slot) <= 11;
}

// Only cell (c, r) turned, by `quarters` quarter turns clockwise. While its colour stays, its
// picture is the old one turned pixel for pixel; a turn that completes or breaks a pipe
// recolours it, and then the pipe's picture of the turned piece is expected.
inline void ExpectOnlyTurned(const Board& before, const Board& after, int c, int r, int quarters) {
    ASSERT_TRUE(after.AllCellsRead()) << "a cell shows a picture that is not one of the game's";
    EXPECT_EQ(after.Tile(c, r), TileTurned(before.Tile(c, r), quarters))
        << "cell " << c << "," << r << " was tile " << before.Tile(c, r);
    if (after.Colour(c, r) == before.Colour(c, r)) {
        EXPECT_TRUE(after.Cell(c, r) == TurnedClockwise(before.Cell(c, r), quarters))
            << "cell " << c << "," << r << " is not its old picture turned " << quarters
            << " quarter(s)";
    }
    for (int rr = 1; rr <= before.rows; ++rr) {
        for (int cc = 1; cc <= before.cols; ++cc) {
            if (cc == c && rr == r) continue;
            EXPECT_EQ(after.Tile(cc, rr), before.Tile(cc, rr))
                << "cell " << cc << "," << rr << " turned as well";
        }
    }
}

inline std::set<std::pair<int, int>> SourceCells(const Board& b) {
    std::set<std::pair<int, int>> cells;
    for (const auto& cell : b.Cells([](int s) { return TileOf(s) == Source; }))
        cells.insert(cell);
    return cells;
}

// Every pipe ends in at least two sources, and a pipe's sources share its colour.
inline void ExpectSourcesFitPipeCount(const Board& b, int pipes) {
    std::set<int> colours;
    for (const auto& [c, r] : SourceCells(b))
        colours.insert(b.Colour(c, r));
    EXPECT_GE(static_cast<int>(SourceCells(b).size()), 2 * pipes);
    EXPECT_LE(static_cast<int>(colours.size()), pipes);
    EXPECT_EQ(colours.count(Grey), 0u) << "a source is drawn grey";
}

inline bool SameTiles(const Board& a, const Board& b) {
    for (int r = 1; r <= a.rows; ++r)
        for (int c = 1; c <= a.cols; ++c)
            if (a.Tile(c, r) != b.Tile(c, r)) return false;
    return true;
}

inline bool SameKinds(const Board& a, const Board& b) {
    for (int r = 1; r <= a.rows; ++r)
        for (int c = 1; c <= a.cols; ++c)
            if (Kind(a.Tile(c, r)) != Kind(b.Tile(c, r))) return false;
    return true;
}

}  // namespace e2e
