// The arithmetic between board pixels, the window's device pixels and the screen: the scale
// for a DPI, where a client pixel lies on the board, and where the window goes.
#pragma once

#include <windows.h>

#include "game/GameController.h"

namespace kov::win {

// Whole device pixels per board pixel: 1 up to 143 DPI, 2 from 144 (150 %) on, and so on, so
// that the pictures are only ever repeated pixel for pixel.
int ScaleForDpi(int dpi);

// The board pixel under a pixel of the client area, the board scrolled by `scroll` device
// pixels.
POINT BoardPoint(POINT client, POINT scroll, int scale);

// Where a rectangle of the board lies in the client area.
RECT ClientRect(const PixelRect& board, POINT scroll, int scale);

struct WindowFit {
    RECT window;         // the whole window, in screen pixels
    bool horizontalBar;  // the board is wider than the room: it scrolls across
    bool verticalBar;
};

// The window around a client area of `client` pixels, where `frame` is what the frame, the
// caption and the menu bar add and `bars` the width of a vertical and the height of a
// horizontal scroll bar: as large as that within the work area, a side that does not fit
// scrolling, and moved from `at` only as far as it takes to lie inside the work area.
WindowFit FitWindow(SIZE client, SIZE frame, SIZE bars, POINT at, const RECT& work);

}  // namespace kov::win
