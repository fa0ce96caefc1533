#include "generator/Generator.h"
#include "play/Play.h"

namespace kov {

void NewGameModel(GameState& s, RandomSource& rng) {
    ClearBoard(s);
    s.solved = 0;
    GeneratePuzzle(s, rng);
    ShuffleTiles(s, rng);
    ResetColours(s);
    MarkSolvedPipes(s);
}

void RescrambleModel(GameState& s, RandomSource& rng) {
    // The scramble greys every piece it touches, so no separate greying is needed.
    s.solved = 0;
    ShuffleTiles(s, rng);
    MarkSolvedPipes(s);
}

Int16 DrawStartPipeCount(RandomSource& rng) {
    return static_cast<Int16>(Draw(rng, 8) + 3);
}

Int16 DrawAnyPipeCount(RandomSource& rng) {
    return static_cast<Int16>(Draw(rng, 10) + 1);
}

}  // namespace kov
