// The values every run starts from, and the fixed sizes of the board and its pictures. The
// controller, the windows, the tools and the tests all take them from here.
#pragma once

#include <string_view>

#include "board/Tiles.h"

namespace kov {

// The game's name, as the caption begins with it, in UTF-8.
inline constexpr std::string_view GameName = "Ковелинт";

struct BoardSize {
    Int16 cols;
    Int16 rows;
};

// The sizes the menu offers, in menu order. Their row counts all differ, so the rows alone
// tell which size is in force.
inline constexpr BoardSize BoardSizes[8] = {{25, 15}, {20, 13}, {15, 11}, {10, 9},
                                            {8, 8},   {7, 7},   {6, 6},   {5, 5}};
inline constexpr int StartBoardSize = 3;  // 10 x 9

// The edge of a cell: small pictures as drawn, large ones doubled.
inline constexpr Int16 SmallTiles = 35;
inline constexpr Int16 LargeTiles = 70;

// The options a run starts with; the pipe count is drawn.
inline constexpr Int16 StartShortPipes = 1;
inline constexpr Int16 StartUseTees = 1;
inline constexpr Int16 StartTileSize = SmallTiles;

// The ground around the board and in the grid's gaps: a margin of 5 pixels on every side, in
// the grey (128, 128, 128).
inline constexpr int BoardMargin = 5;
inline constexpr int BoardGround = 128;

}  // namespace kov
