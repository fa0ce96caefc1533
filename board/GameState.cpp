#include "board/GameState.h"

namespace kov {

void ClearBoard(GameState& s) {
    s.cellColour.fill(0);
    s.cellTile.fill(0);
    s.pipeLength.fill(0);
    s.pipeCount = 0;
    s.pipeColour.fill(0);
    for (auto& steps : s.pipeCell)
        steps.fill(0);
    for (auto& steps : s.pipeTile)
        steps.fill(0);
}

Int16 CellColumn(const GameState& s, int n) {
    if (s.mapCols < 1 || s.mapRows < 1 || n < 1 || n > s.CellCount()) return 0;
    return static_cast<Int16>((n - 1) % s.mapCols + 1);
}

Int16 CellRow(const GameState& s, int n) {
    if (s.mapCols < 1 || s.mapRows < 1 || n < 1 || n > s.CellCount()) return 0;
    return static_cast<Int16>((n - 1) / s.mapCols + 1);
}

}  // namespace kov
