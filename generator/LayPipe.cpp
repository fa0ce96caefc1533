#include <cstdint>

#include "generator/Generator.h"
#include "generator/Walk.h"

namespace kov {

namespace {

// Draws one of the cells whose piece passes the test, each equally likely, in cell order.
// This runs a few hundred times per puzzle, so both passes are kept to loops the compiler
// turns into vector code: the count, and the skip over whole blocks before the chosen cell.
template <class Test>
Int16 RandomCellWhere(const GameState& s, RandomSource& rng, Test test) {
    const int cells = s.CellCount();
    const Int16* piece = s.cellTile.data();
    // 16-bit counters keep eight cells to a vector lane set; 375 cells fit easily.
    std::uint16_t count = 0;
    for (int n = 1; n <= cells; ++n)
        count = static_cast<std::uint16_t>(count + test(piece[n]));
    if (count == 0) return 0;

    int left = Draw(rng, count);
    constexpr int Block = 32;
    int n = 1;
    for (; n + Block - 1 <= cells; n += Block) {
        std::uint16_t inBlock = 0;
        for (int j = 0; j < Block; ++j) {
            inBlock = static_cast<std::uint16_t>(inBlock + test(piece[n + j]));
        }
        if (left < inBlock) break;
        left -= inBlock;
    }
    for (;; ++n) {
        if (test(piece[n]) && left-- == 0) return static_cast<Int16>(n);
    }
}

}  // namespace

Int16 RandomEmptyCell(GameState& s, RandomSource& rng) {
    return RandomCellWhere(s, rng, [](Int16 t) { return t == tile::Empty; });
}

Int16 RandomTurnableCell(GameState& s, RandomSource& rng) {
    return RandomCellWhere(s, rng, [](Int16 t) { return IsTurnable(t); });
}

Int16 LayPipe(GameState& s, RandomSource& rng) {
    const Int16 start = RandomEmptyCell(s, rng);
    if (start == 0) return 0;
    const auto colour = static_cast<Int16>(Draw(rng, 7) + colour::FirstPipe);
    s.cellColour[start] = colour;

    Walk walk;
    RunWalk(s, rng, walk, start, colour, false);

    // Six cells or more make a pipe. The record has room for ten; an eleventh is never asked
    // for, and would be dropped like a short walk rather than written past the end.
    if (walk.length <= 5 || s.pipeCount >= MaxPipes) {
        UndoWalk(s, walk);
        return 0;
    }
    const int p = ++s.pipeCount;
    s.pipeColour[p] = colour;
    s.pipeLength[p] = walk.length;
    for (int k = 1; k <= walk.length; ++k) {
        s.pipeCell[p][k] = walk.cells[k];
        s.pipeTile[p][k] = s.cellTile[walk.cells[k]];
    }
    return 1;
}

}  // namespace kov
