// The picture set, read from the program's own bitmap resources into 32-bit pixels ready to be
// copied into the board's bitmap.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "board/Tiles.h"
#include "game/Defaults.h"

namespace kov::win {

// The edge of a picture as drawn: a small cell is one picture, a large one doubles it.
inline constexpr int PictureSide = SmallTiles;

// One picture, top row first, each pixel 0x00RRGGBB as a 32-bit DIB holds it.
using Picture = std::array<std::uint32_t, PictureSide * PictureSide>;

class PictureSet {
  public:
    // Reads every slot that has a picture; false, and the reason in *why, when one is missing
    // or not a 35 x 35, 24-bit, uncompressed bitmap.
    bool Load(HMODULE module, std::wstring* why);
    // The picture of a slot; an empty slot (1, or out of range) gives the blank picture.
    const Picture& operator[](int slot) const;

  private:
    std::vector<Picture> pictures_ = std::vector<Picture>(PictureSlots);
};

}  // namespace kov::win
