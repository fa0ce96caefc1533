#include "generator/Walk.h"

namespace kov {

namespace {

// The mark a cell holds while the walk stands on it: the side it came in by.
constexpr Int16 EntryMark(Move move) {
    switch (move) {
        case Move::Up:
            return 3;  // came in by the bottom
        case Move::Down:
            return 1;  // by the top
        case Move::Left:
            return 2;  // by the right
        case Move::Right:
            return 4;  // by the left
    }
    return 0;
}

}  // namespace

Int16 FinalTile(Int16 mark, Move move) {
    using namespace tile;
    switch (move) {
        case Move::Up:
            return mark == 2 ? CornerUR : mark == 3 ? StraightUD : mark == 4 ? CornerUL : Source;
        case Move::Down:
            return mark == 1 ? StraightUD : mark == 2 ? CornerRD : mark == 4 ? CornerDL : Source;
        case Move::Left:
            return mark == 1 ? CornerUL : mark == 2 ? StraightLR : mark == 3 ? CornerDL : Source;
        case Move::Right:
            return mark == 1 ? CornerUR : mark == 3 ? CornerRD : mark == 4 ? StraightLR : Source;
    }
    return Source;
}

Int16 OpenedTile(Int16 piece, Move move) {
    using namespace tile;
    switch (move) {
        case Move::Up:
            switch (piece) {
                case StraightLR:
                    return TeeURL;
                case CornerRD:
                    return TeeURD;
                case CornerDL:
                    return TeeUDL;
                case TeeRDL:
                    return Cross;
                default:
                    return piece;
            }
        case Move::Down:
            switch (piece) {
                case StraightLR:
                    return TeeRDL;
                case CornerUR:
                    return TeeURD;
                case CornerUL:
                    return TeeUDL;
                case TeeURL:
                    return Cross;
                default:
                    return piece;
            }
        case Move::Left:
            switch (piece) {
                case StraightUD:
                    return TeeUDL;
                case CornerUR:
                    return TeeURL;
                case CornerRD:
                    return TeeRDL;
                case TeeURD:
                    return Cross;
                default:
                    return piece;
            }
        case Move::Right:
            switch (piece) {
                case StraightUD:
                    return TeeURD;
                case CornerDL:
                    return TeeRDL;
                case CornerUL:
                    return TeeURL;
                case TeeUDL:
                    return Cross;
                default:
                    return piece;
            }
    }
    return piece;
}

void RunWalk(GameState& s, RandomSource& rng, Walk& walk, int start, Int16 colour, bool branch) {
    const int cols = s.mapCols;
    int head = start;
    int row = CellRow(s, start);
    int column = CellColumn(s, start);
    int counter = 0;
    bool firstMove = true;
    walk.length = 1;
    walk.cells[1] = static_cast<Int16>(start);

    for (;;) {
        // The free neighbours, in the order the choice counts them.
        Move free[4];
        int n = 0;
        if (row != 1 && s.cellTile[head - cols] == 0) free[n++] = Move::Up;
        if (row != s.mapRows && s.cellTile[head + cols] == 0) free[n++] = Move::Down;
        if (column != 1 && s.cellTile[head - 1] == 0) free[n++] = Move::Left;
        if (column != cols && s.cellTile[head + 1] == 0) free[n++] = Move::Right;

        if (counter != 10) ++counter;
        // The stop draw is made whatever n and the option are, so draws stay in step.
        const float r = rng.Next();
        if (n == 0 || (s.shortPipes == 1 && Scale(r, 10 - counter) == 0)) {
            s.cellTile[head] = tile::Source;
            return;
        }
        const Move move = free[Draw(rng, n)];

        int next = head;
        switch (move) {
            case Move::Up:
                next -= cols;
                --row;
                break;
            case Move::Down:
                next += cols;
                ++row;
                break;
            case Move::Left:
                next -= 1;
                --column;
                break;
            case Move::Right:
                next += 1;
                ++column;
                break;
        }
        walk.cells[++walk.length] = static_cast<Int16>(next);
        s.cellTile[next] = EntryMark(move);
        s.cellColour[next] = colour;
        s.cellTile[head] = branch && firstMove ? OpenedTile(s.cellTile[head], move)
                                               : FinalTile(s.cellTile[head], move);
        firstMove = false;
        head = next;
    }
}

void UndoWalk(GameState& s, const Walk& walk) {
    for (int k = 1; k <= walk.length; ++k)
        s.cellTile[walk.cells[k]] = tile::Empty;
}

}  // namespace kov
