// Laying pipes, growing tees, the generation driver and scrambling.
#pragma once

#include "board/GameState.h"
#include "generator/Random.h"

namespace kov {

// A random cell holding tile code 0 (0 when there is none; then nothing is drawn).
Int16 RandomEmptyCell(GameState& s, RandomSource& rng);

// One attempt to lay a pipe by a random walk; 1 when a pipe of six or more cells was kept.
Int16 LayPipe(GameState& s, RandomSource& rng);

// A random cell holding a straight, corner or tee (0 when there is none; then nothing is drawn).
Int16 RandomTurnableCell(GameState& s, RandomSource& rng);

// The pipe whose record first holds the cell; refreshes that step to the cell's tile. 0: none.
Int16 FindOwnerPipe(GameState& s, int cell);

// One attempt to grow a branch out of a turnable piece.
void AddTee(GameState& s, RandomSource& rng);

// Gives every record of a cross cell the cross code, within each pipe.
void MarkSelfCrossings(GameState& s);

// Fills a cleared board with up to wantedPipes pipes (and tees when useTees is set).
void GeneratePuzzle(GameState& s, RandomSource& rng);

// Gives every turnable piece a random orientation and greys every piece but the sources.
void ShuffleTiles(GameState& s, RandomSource& rng);

}  // namespace kov
