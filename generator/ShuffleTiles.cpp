#include "generator/Generator.h"

namespace kov {

void ShuffleTiles(GameState& s, RandomSource& rng) {
    const int cells = s.CellCount();
    for (int n = 1; n <= cells; ++n) {
        Int16& t = s.cellTile[n];
        if (t == tile::StraightUD || t == tile::StraightLR) {
            t = static_cast<Int16>(tile::StraightUD + Draw(rng, 2));
        } else if (t >= tile::CornerUR && t <= tile::CornerUL) {
            t = static_cast<Int16>(tile::CornerUR + Draw(rng, 4));
        } else if (t >= tile::TeeURL && t <= tile::TeeUDL) {
            t = static_cast<Int16>(tile::TeeURL + Draw(rng, 4));
        } else if (t != tile::Cross) {
            continue;  // empty cells and sources keep code and colour
        }
        s.cellColour[n] = colour::Grey;
    }
}

}  // namespace kov
