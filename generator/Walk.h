// The random walk shared by a new pipe and a tee branch.
#pragma once

#include "board/GameState.h"
#include "generator/Random.h"

namespace kov {

enum class Move : Int16 { Up, Down, Left, Right };

// The piece a cell becomes when the walk leaves it, from the mark it holds (0 for the start
// cell, else the side the walk came in by) and the way it leaves.
Int16 FinalTile(Int16 mark, Move move);

// A root cell's piece with one more opening, on the side the first move of a branch leaves by.
Int16 OpenedTile(Int16 piece, Move move);

struct Walk {
    Slots<MaxCells> cells;  // cells[1] is where the walk started; filled as it goes
    Int16 length = 0;
};

// Walks from `start` through empty cells until it ends, marking each new cell with its entry
// side and the colour and turning each cell left into its piece; the last cell becomes a
// source. With `branch` the first cell left gains an opening instead.
void RunWalk(GameState& s, RandomSource& rng, Walk& walk, int start, Int16 colour, bool branch);

// Takes the walk's cells off the board again.
void UndoWalk(GameState& s, const Walk& walk);

}  // namespace kov
