#include "generator/Generator.h"
#include "generator/Walk.h"

namespace kov {

namespace {

// The first step of any pipe that holds the cell, without touching the records.
bool FindFirstStep(const GameState& s, int cell, int& pipe, int& step) {
    for (int i = 1; i <= s.pipeCount; ++i) {
        for (int k = 1; k <= s.pipeLength[i]; ++k) {
            if (s.pipeCell[i][k] == cell) {
                pipe = i;
                step = k;
                return true;
            }
        }
    }
    return false;
}

}  // namespace

Int16 FindOwnerPipe(GameState& s, int cell) {
    int pipe = 0;
    int step = 0;
    if (!FindFirstStep(s, cell, pipe, step)) return 0;
    s.pipeTile[pipe][step] = s.cellTile[cell];
    return static_cast<Int16>(pipe);
}

void AddTee(GameState& s, RandomSource& rng) {
    const Int16 root = RandomTurnableCell(s, rng);
    if (root == 0) return;
    const Int16 saved = s.cellTile[root];

    Walk walk;
    RunWalk(s, rng, walk, root, s.cellColour[root], true);

    // A branch needs two new cells. A branch whose root belongs to no pipe, or whose steps
    // would not fit in the owner's record, is undone like any failed attempt.
    int owner = 0;
    int step = 0;
    const bool keep = walk.length > 2 && FindFirstStep(s, root, owner, step) &&
                      s.pipeLength[owner] + walk.length <= MaxCells;
    if (!keep) {
        UndoWalk(s, walk);
        s.cellTile[root] = saved;
        return;
    }

    const int e = FindOwnerPipe(s, root);
    const int old = s.pipeLength[e];
    s.pipeLength[e] = static_cast<Int16>(old + walk.length);
    for (int j = 1; j <= walk.length; ++j) {
        s.pipeCell[e][old + j] = walk.cells[j];
        s.pipeTile[e][old + j] = s.cellTile[walk.cells[j]];
    }
}

}  // namespace kov
