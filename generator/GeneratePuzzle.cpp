#include "generator/Generator.h"

namespace kov {

void MarkSelfCrossings(GameState& s) {
    for (int i = 1; i <= s.pipeCount; ++i) {
        const int length = s.pipeLength[i];
        for (int k = 1; k <= length; ++k) {
            if (s.pipeTile[i][k] != tile::Cross) continue;
            const Int16 cell = s.pipeCell[i][k];
            for (int m = 1; m <= length; ++m) {
                if (s.pipeCell[i][m] == cell) s.pipeTile[i][m] = tile::Cross;
            }
        }
    }
}

void GeneratePuzzle(GameState& s, RandomSource& rng) {
    const int wanted = s.wantedPipes;
    for (int p = 1; p <= wanted; ++p) {
        // Each failure moves the counter on with even odds, so a pipe gets twenty tries on
        // average before it is given up.
        int failures = 0;
        while (LayPipe(s, rng) != 1) {
            failures += Draw(rng, 2);
            if (failures == 10) break;
        }
    }
    if (s.useTees != 0) {
        for (int attempt = 0; attempt < 100; ++attempt)
            AddTee(s, rng);
        MarkSelfCrossings(s);
    }
}

}  // namespace kov
