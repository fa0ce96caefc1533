// Screen pixels as 0xRRGGBB values, and the game's own picture set to read cells against.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <vector>

namespace e2e {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> px;  // row by row

    std::uint32_t At(int x, int y) const {
        return px[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
    }
    Image Crop(int x, int y, int w, int h) const;
    Image TurnedClockwise(int quarters = 1) const;
    bool operator==(const Image&) const = default;
};

// The shipped pictures, 35 x 35 each, by slot: slot 0 is the blank cell, slot
// 12 x (colour - 1) + tile holds the piece `tile` (1 source .. 12 cross) in `colour` (1 grey).
class PictureSet {
  public:
    explicit PictureSet(const std::filesystem::path& folder);

    int Count() const { return static_cast<int>(bySlot_.size()); }
    const Image& Slot(int slot) const { return bySlot_.at(slot); }
    // The slot whose picture the cell shows exactly, or -1 for anything else.
    int Identify(const Image& cell) const;

  private:
    std::map<int, Image> bySlot_;
    std::map<std::vector<std::uint32_t>, int> byPixels_;
};

// Tile and colour codes of a slot; slot 0 is tile 0 (empty) with colour 0.
inline int TileOf(int slot) {
    return slot <= 0 ? 0 : slot - 12 * ((slot - 1) / 12);
}
inline int ColourOf(int slot) {
    return slot <= 0 ? 0 : (slot - 1) / 12 + 1;
}
constexpr int Grey = 1;
constexpr int Source = 1;

// A piece after `quarters` quarter turns clockwise (negative: counter-clockwise). Straights
// swap, corners and tees go round their four orientations; the rest never change.
int TileTurned(int tile, int quarters);

// The five shades of the grey ramp, used only by unfinished pieces.
bool IsGreyShade(std::uint32_t rgb);

}  // namespace e2e
