// Play: colouring and the solution check, turning a cell, the keys, the hint, and the
// model side of a new game and a re-scramble.
#pragma once

#include "board/GameState.h"
#include "generator/Random.h"
#include "play/Keys.h"

namespace kov {

// Greys every piece but the sources.
void ResetColours(GameState& s);

// Paints every complete pipe in its colour; sets solved when every pipe is complete.
void MarkSolvedPipes(GameState& s);

// Whether every step of pipe i holds its recorded piece.
bool PipeComplete(const GameState& s, int i);

// Turns the piece in cell n and refreshes the colours. Returns false, changing nothing, on a
// solved board or for a number that is not a cell of the record.
bool TurnCell(GameState& s, int n, bool clockwise);

enum class KeyResult { Ignored, Turned, Close };

// A key going down: Esc closes, the arrows turn the hovered cell, everything else is ignored.
KeyResult KeyDown(GameState& s, int virtualKey);

// The hint: lays one random unfinished pipe and checks the board. False (no draw) when every
// pipe is complete.
bool LayOneUnfinishedPipe(GameState& s, RandomSource& rng);

// The model steps of a new game: clear, generate, scramble, grey, check.
void NewGameModel(GameState& s, RandomSource& rng);

// The model steps of a re-scramble of the same puzzle.
void RescrambleModel(GameState& s, RandomSource& rng);

// Pipe counts drawn at start-up (3 to 10) and by the random menu item (1 to 10).
Int16 DrawStartPipeCount(RandomSource& rng);
Int16 DrawAnyPipeCount(RandomSource& rng);

}  // namespace kov
