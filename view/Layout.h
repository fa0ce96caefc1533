// The commands that re-lay the cells of the board in place: the grid and the picture size.
// The game goes on; nothing is repainted.
#pragma once

#include "board/Tiles.h"

class QAction;

namespace kov {

class BoardView;

inline constexpr Int16 SmallTiles = 35;
inline constexpr Int16 LargeTiles = 70;

// "Сетка": flips the grid and its mark, then re-lays every cell.
void ToggleGrid(BoardView& board, QAction& mnuGrid);

// "Большие" / "Маленькие": the size in force does nothing, not even the marks. Otherwise the
// grid is flipped ahead so that the toggle's own flip restores it while it re-lays the cells.
void ChangePictureSize(BoardView& board, Int16 size, QAction& mnuGrid, QAction& chosen,
                       QAction& other);

}  // namespace kov
