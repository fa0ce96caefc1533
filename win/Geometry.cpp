#include "win/Geometry.h"

#include <algorithm>

namespace kov::win {

int ScaleForDpi(int dpi) {
    return std::max(1, (dpi + 48) / 96);
}

POINT BoardPoint(POINT client, POINT scroll, int scale) {
    return {(client.x + scroll.x) / scale, (client.y + scroll.y) / scale};
}

RECT ClientRect(const PixelRect& board, POINT scroll, int scale) {
    const LONG left = board.left * scale - scroll.x, top = board.top * scale - scroll.y;
    return {left, top, left + board.width * scale, top + board.height * scale};
}

WindowFit FitWindow(SIZE client, SIZE frame, SIZE bars, POINT at, const RECT& work) {
    const LONG roomWidth = work.right - work.left, roomHeight = work.bottom - work.top;
    LONG width = client.cx + frame.cx, height = client.cy + frame.cy;
    bool across = false, down = false;
    // A bar that one side needs takes room from the other, which may then need one too.
    for (int pass = 0; pass < 2; ++pass) {
        if (!across && width > roomWidth) {
            across = true;
            height += bars.cy;
        }
        if (!down && height > roomHeight) {
            down = true;
            width += bars.cx;
        }
    }
    width = std::min(width, roomWidth);
    height = std::min(height, roomHeight);
    const LONG left = std::clamp(at.x, work.left, work.right - width);
    const LONG top = std::clamp(at.y, work.top, work.bottom - height);
    return {{left, top, left + width, top + height}, across, down};
}

}  // namespace kov::win
