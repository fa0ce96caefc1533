// How far a game is from solved, for the tests and the tools that play one.
#pragma once

#include "play/Play.h"

namespace kov::test {

inline int CompletePipeCount(const GameState& s) {
    int complete = 0;
    for (int i = 1; i <= s.pipeCount; ++i)
        complete += PipeComplete(s, i) ? 1 : 0;
    return complete;
}

}  // namespace kov::test
