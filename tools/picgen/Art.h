// The pipe drawings as shade-index maps, and their colouring by ramp.
#pragma once

#include <QImage>
#include <array>
#include <cstdint>

#include "assets/PictureNames.h"

namespace kov::art {

// A pixel of a drawing: a ramp shade 0 (edge) .. 4 (centre), the outline, or the background.
// Every colour shares the drawing, so a picture is this map plus a ramp.
enum Ink : std::uint8_t { Shade0, Shade1, Shade2, Shade3, Shade4, Black, Back };

using ShadeMap = std::array<std::array<Ink, Side>, Side>;  // [y][x]

// The drawing of a tile code 0..12 (0 the blank cell).
ShadeMap DrawTile(int tile);

// The drawing turned a quarter turn clockwise, pixel for pixel.
ShadeMap TurnedClockwise(const ShadeMap& m);

// The RGB value of an ink in a colour 1..8.
QRgb InkColour(Ink ink, int colour);

// The picture of a slot as a 24-bit image.
QImage DrawPicture(int slot);

}  // namespace kov::art
