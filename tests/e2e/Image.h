// Screen pixels and the game's own picture set to read cells against, all as Qt images.
#pragma once

#include <QImage>
#include <QTransform>
#include <cstdint>
#include <filesystem>
#include <map>

namespace e2e {

// A pixel as 0xRRGGBB.
inline std::uint32_t Rgb(const QImage& img, int x, int y) {
    return img.pixel(x, y) & 0xFFFFFF;
}

// The image after `quarters` quarter turns clockwise (negative: counter-clockwise).
inline QImage TurnedClockwise(const QImage& img, int quarters) {
    return img.transformed(QTransform().rotate(90.0 * (((quarters % 4) + 4) % 4)));
}

// The shipped pictures, 35 x 35 each, by slot: slot 0 is the blank cell, slot
// 12 x (colour - 1) + tile holds the piece `tile` (1 source .. 12 cross) in `colour` (1 grey).
class PictureSet {
  public:
    explicit PictureSet(const std::filesystem::path& folder);

    int Count() const { return static_cast<int>(bySlot_.size()); }
    const QImage& Slot(int slot) const { return bySlot_.at(slot); }
    // The slot whose picture the cell shows exactly, or -1 for anything else.
    int Identify(const QImage& cell) const;

  private:
    std::map<int, QImage> bySlot_;
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
