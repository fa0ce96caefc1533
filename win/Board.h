// The board drawn once into an off-screen bitmap (a 32-bit DIB section) at the screen's scale,
// from which the window copies whatever part it shows. Cells are painted pixel by pixel: every
// board pixel is scale x scale device pixels, and a 70-pixel cell doubles each picture pixel,
// so nothing is ever blurred.
#pragma once

#include <windows.h>

#include <cstdint>

#include "game/GameController.h"
#include "win/Pictures.h"

namespace kov::win {

class BoardBitmap {
  public:
    BoardBitmap() = default;
    BoardBitmap(const BoardBitmap&) = delete;
    BoardBitmap& operator=(const BoardBitmap&) = delete;
    ~BoardBitmap();

    // A bitmap for a board of that many board pixels, each scale x scale device pixels, all of
    // it the ground grey. False when Windows has no memory for it.
    bool Reset(PixelSize board, int scale);
    // The picture stretched over a cell, given in board pixels.
    void Paint(const PixelRect& cell, const Picture& picture);
    // Copies the device pixels from `from` on to the rectangle `to` of dc.
    void Draw(HDC dc, const RECT& to, POINT from) const;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Scale() const { return scale_; }
    // One device pixel, 0x00RRGGBB.
    std::uint32_t Pixel(int x, int y) const {
        return bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                     static_cast<std::size_t>(x)];
    }

  private:
    void Free();

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    int width_ = 0, height_ = 0, scale_ = 1;
};

}  // namespace kov::win
