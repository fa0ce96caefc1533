#include "win/Board.h"

#include <algorithm>
#include <vector>

#include "game/Defaults.h"

namespace kov::win {

namespace {

constexpr std::uint32_t Ground = BoardGround << 16 | BoardGround << 8 | BoardGround;

}  // namespace

BoardBitmap::~BoardBitmap() {
    Free();
}

void BoardBitmap::Free() {
    if (dc_ != nullptr) {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
}

bool BoardBitmap::Reset(PixelSize board, int scale) {
    Free();
    scale_ = std::max(1, scale);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = board.width * scale_;
    info.bmiHeader.biHeight = -board.height * scale_;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    if (bitmap_ == nullptr || dc_ == nullptr || bits == nullptr) {
        Free();
        return false;
    }
    old_ = SelectObject(dc_, bitmap_);
    bits_ = static_cast<std::uint32_t*>(bits);
    width_ = board.width * scale_;
    height_ = board.height * scale_;
    std::fill_n(bits_, static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
                Ground);
    return true;
}

void BoardBitmap::Paint(const PixelRect& cell, const Picture& picture) {
    if (bits_ == nullptr || cell.width <= 0 || cell.height <= 0) return;
    GdiFlush();  // GDI may still be reading the bitmap
    // The picture column and row under each device pixel of the cell: nearest neighbour.
    const int across = cell.width * scale_, down = cell.height * scale_;
    std::vector<int> column(static_cast<std::size_t>(across));
    for (int x = 0; x < across; ++x)
        column[static_cast<std::size_t>(x)] = x / scale_ * PictureSide / cell.width;
    const int left = cell.left * scale_, top = cell.top * scale_;
    for (int y = std::max(0, -top); y < down && top + y < height_; ++y) {
        const int row = y / scale_ * PictureSide / cell.height;
        const std::uint32_t* from = picture.data() + row * PictureSide;
        std::uint32_t* to =
            bits_ + static_cast<std::size_t>(top + y) * static_cast<std::size_t>(width_);
        for (int x = std::max(0, -left); x < across && left + x < width_; ++x)
            to[left + x] = from[column[static_cast<std::size_t>(x)]];
    }
}

void BoardBitmap::Draw(HDC dc, const RECT& to, POINT from) const {
    if (dc_ == nullptr) return;
    BitBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, dc_, from.x, from.y,
           SRCCOPY);
}

}  // namespace kov::win
