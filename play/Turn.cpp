#include "play/Play.h"

namespace kov {

bool TurnCell(GameState& s, int n, bool clockwise) {
    if (s.solved == 1 || n < 1 || n > MaxCells) return false;
    Int16& t = s.cellTile[n];
    t = clockwise ? TurnClockwise(t) : TurnCounterClockwise(t);
    // The refresh runs even when the piece cannot turn, as every turn's does.
    ResetColours(s);
    MarkSolvedPipes(s);
    return true;
}

KeyResult KeyDown(GameState& s, int virtualKey) {
    if (virtualKey == vk::Escape) return KeyResult::Close;
    if (s.solved == 1 || s.hoverCell == 0) return KeyResult::Ignored;
    switch (virtualKey) {
        case vk::Up:
        case vk::Right:
            return TurnCell(s, s.hoverCell, true) ? KeyResult::Turned : KeyResult::Ignored;
        case vk::Left:
        case vk::Down:
            return TurnCell(s, s.hoverCell, false) ? KeyResult::Turned : KeyResult::Ignored;
        default:
            return KeyResult::Ignored;
    }
}

}  // namespace kov
