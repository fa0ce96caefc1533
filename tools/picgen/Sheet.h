// A contact sheet of the whole set, for looking at the art.
#pragma once

#include <QImage>

namespace kov::art {

// Every slot at twice its size, pixel for pixel, labelled with its number: slot 0 alone on the
// first row's left, then one row per colour with the tile codes 1..12 across.
QImage ContactSheet();

}  // namespace kov::art
