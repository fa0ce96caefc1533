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

// The icon for launchers that cut it to a circle or a rounded square: the field fills the
// whole image and the pipe runs edge to edge, while the coupling keeps inside the central
// circle of MaskableSafeZone of the side, which every such shape leaves whole.
inline constexpr int MaskableIconSide = 512;
inline constexpr double MaskableSafeZone = 0.8;
inline constexpr char MaskableIconFile[] = "icons/kovelint-maskable-512.png";
QImage DrawMaskableIcon(int side);

}  // namespace kov::art
