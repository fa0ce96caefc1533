// The icon as the desktop's icon theme wants it: square PNGs at the usual sizes.
#pragma once

#include <QImage>
#include <QString>

namespace kov::art {

// 16 and 24 are the window icon's own images; the larger ones are drawn at their size.
inline constexpr int ThemeIconSizes[] = {16, 24, 48, 64, 128, 192, 256, 512};

// "icons/kovelint-48.png", beside the picture set in assets/.
inline QString ThemeIconFile(int side) {
    return QStringLiteral("icons/kovelint-%1.png").arg(side);
}

// The icon at any side: the window icon's own image at 16 and 24, else the same design drawn
// afresh at that size, so a large icon is sharp rather than a blown-up small one.
QImage DrawThemeIcon(int side);

}  // namespace kov::art
