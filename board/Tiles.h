// Tile codes, colour codes, turning and the picture index: plain functions on small integers.
#pragma once

#include <cstdint>

namespace kov {

using Int16 = std::int16_t;

// Tile codes. Openings: U up, R right, D down, L left.
namespace tile {
inline constexpr Int16 Empty = 0;
inline constexpr Int16 Source = 1;
inline constexpr Int16 StraightUD = 2;
inline constexpr Int16 StraightLR = 3;
inline constexpr Int16 CornerUR = 4;
inline constexpr Int16 CornerRD = 5;
inline constexpr Int16 CornerDL = 6;
inline constexpr Int16 CornerUL = 7;
inline constexpr Int16 TeeURL = 8;
inline constexpr Int16 TeeURD = 9;
inline constexpr Int16 TeeRDL = 10;
inline constexpr Int16 TeeUDL = 11;
inline constexpr Int16 Cross = 12;
inline constexpr Int16 Last = Cross;
}  // namespace tile

// Colour codes: 0 for a cleared cell, 1 grey, 2 to 8 the pipe colours.
namespace colour {
inline constexpr Int16 None = 0;
inline constexpr Int16 Grey = 1;
inline constexpr Int16 Red = 2;
inline constexpr Int16 Orange = 3;
inline constexpr Int16 Yellow = 4;
inline constexpr Int16 Green = 5;
inline constexpr Int16 LightBlue = 6;
inline constexpr Int16 Blue = 7;
inline constexpr Int16 Violet = 8;
inline constexpr Int16 FirstPipe = Red;
inline constexpr Int16 Last = Violet;
}  // namespace colour

// Picture slots run 0 (blank) and 2..96; slot 1 would be a grey source, which never shows.
inline constexpr int PictureSlots = 97;

// Straights, corners and tees; written as one unsigned compare so loops over it vectorise.
constexpr bool IsTurnable(Int16 t) {
    return static_cast<std::uint16_t>(t - tile::StraightUD) <= tile::TeeUDL - tile::StraightUD;
}

// Corners run 4..7 and tees 8..11 in clockwise order; straights swap.
constexpr Int16 TurnClockwise(Int16 t) {
    switch (t) {
        case tile::StraightUD:
            return tile::StraightLR;
        case tile::StraightLR:
            return tile::StraightUD;
        case tile::CornerUL:
            return tile::CornerUR;
        case tile::TeeUDL:
            return tile::TeeURL;
        default:
            if ((t >= tile::CornerUR && t < tile::CornerUL) ||
                (t >= tile::TeeURL && t < tile::TeeUDL))
                return static_cast<Int16>(t + 1);
            return t;
    }
}

constexpr Int16 TurnCounterClockwise(Int16 t) {
    switch (t) {
        case tile::StraightUD:
            return tile::StraightLR;
        case tile::StraightLR:
            return tile::StraightUD;
        case tile::CornerUR:
            return tile::CornerUL;
        case tile::TeeURL:
            return tile::TeeUDL;
        default:
            if ((t > tile::CornerUR && t <= tile::CornerUL) ||
                (t > tile::TeeURL && t <= tile::TeeUDL))
                return static_cast<Int16>(t - 1);
            return t;
    }
}

// 12 x (colour - 1) + tile; 0 (the blank picture) for an empty cell and for any pair the
// picture set has no picture of, so a stray code can never index past the set.
constexpr Int16 PictureIndex(Int16 t, Int16 c) {
    if (t <= tile::Empty || t > tile::Last) return 0;
    if (c < colour::Grey || c > colour::Last) return 0;
    if (t == tile::Source && c == colour::Grey) return 0;
    return static_cast<Int16>(12 * (c - 1) + t);
}

}  // namespace kov
