#include "play/Play.h"

namespace kov {

void ResetColours(GameState& s) {
    const int cells = s.CellCount();
    for (int n = 1; n <= cells; ++n) {
        if (s.cellTile[n] > tile::Source) s.cellColour[n] = colour::Grey;
    }
}

// Every step compared on its own: the check follows the record, not the openings, so another
// arrangement that happens to join the sources does not count.
bool PipeComplete(const GameState& s, int i) {
    const int length = s.pipeLength[i];
    for (int k = 1; k <= length; ++k) {
        if (s.cellTile[s.pipeCell[i][k]] != s.pipeTile[i][k]) return false;
    }
    return true;
}

void MarkSolvedPipes(GameState& s) {
    int complete = 0;
    for (int i = 1; i <= s.pipeCount; ++i) {
        if (!PipeComplete(s, i)) continue;
        ++complete;
        const int length = s.pipeLength[i];
        for (int k = 1; k <= length; ++k)
            s.cellColour[s.pipeCell[i][k]] = s.pipeColour[i];
    }
    if (complete == s.pipeCount) s.solved = 1;
}

bool LayOneUnfinishedPipe(GameState& s, RandomSource& rng) {
    Slots<MaxPipes> unfinished{};
    int count = 0;
    for (int i = 1; i <= s.pipeCount; ++i) {
        if (!PipeComplete(s, i)) unfinished[++count] = static_cast<Int16>(i);
    }
    if (count == 0) return false;

    const int j = unfinished[Draw(rng, count) + 1];
    const int length = s.pipeLength[j];
    for (int k = 1; k <= length; ++k)
        s.cellTile[s.pipeCell[j][k]] = s.pipeTile[j][k];
    // Pipes never share a cell, so no other pipe lost anything: no greying first.
    MarkSolvedPipes(s);
    return true;
}

}  // namespace kov
