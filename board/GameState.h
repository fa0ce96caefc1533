// The one game-state record: settings, board, pipe records and play flags.
#pragma once

#include <array>

#include "board/Tiles.h"

namespace kov {

inline constexpr int MaxCells = 375;  // the largest board, 25 x 15
inline constexpr int MaxPipes = 10;

// A fixed array indexed from 1; entry 0 is never used.
template <int N>
using Slots = std::array<Int16, N + 1>;

struct GameState {
    // Settings chosen from the menu.
    Int16 wantedPipes = 0;
    Int16 shortPipes = 0;
    Int16 useTees = 0;
    Int16 showGrid = 0;
    Int16 mapCols = 0;
    Int16 mapRows = 0;
    Int16 tileSize = 0;

    // The board as it stands.
    Slots<MaxCells> cellTile{};
    Slots<MaxCells> cellColour{};

    // The solution: pipe i passes cell pipeCell[i][k], which must hold pipeTile[i][k].
    Int16 pipeCount = 0;
    Slots<MaxPipes> pipeColour{};
    Slots<MaxPipes> pipeLength{};
    std::array<Slots<MaxCells>, MaxPipes + 1> pipeCell{};
    std::array<Slots<MaxCells>, MaxPipes + 1> pipeTile{};

    // Play.
    Int16 solved = 0;
    Int16 hoverCell = 0;

    int CellCount() const { return mapCols * mapRows; }
};

// Empties the board and the pipe records over their whole capacity.
void ClearBoard(GameState& s);

// Column and row (from 1) of cell n of the current board; 0 for anything that is not a cell.
Int16 CellColumn(const GameState& s, int n);
Int16 CellRow(const GameState& s, int n);

}  // namespace kov
