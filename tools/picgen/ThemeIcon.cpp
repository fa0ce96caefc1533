#include "ThemeIcon.h"

#include <algorithm>
#include <cmath>

#include "Icon.h"

namespace kov::art {

namespace {

// The inks of the small icon; the large one shades between them.
constexpr int FieldGrey = 195, PipeGrey = 127, ShineGrey = 163, ShadowGrey = 95;

QRgb Grey(int v) {
    return qRgb(v, v, v);
}

int Mix(int a, int b, double t) {
    return static_cast<int>(std::lround(a + (b - a) * std::clamp(t, 0.0, 1.0)));
}

// Across the pipe, top to bottom (v from 0 to 1): up to the shine, down to the pipe's grey,
// flat through the middle, and into the shadow along the bottom, like the small icon's rows.
int PipeShade(double v) {
    if (v < 0.19) return Mix(PipeGrey, ShineGrey, v / 0.19);
    if (v < 0.45) return Mix(ShineGrey, PipeGrey, (v - 0.19) / 0.26);
    if (v < 0.82) return PipeGrey;
    return Mix(PipeGrey, ShadowGrey, (v - 0.82) / 0.18);
}

// Across a flange face, left to right: the shine sits just inside the left edge.
int FlangeShade(double v) {
    if (v < 0.3) return Mix(PipeGrey, ShineGrey, v / 0.3);
    if (v < 0.6) return Mix(ShineGrey, PipeGrey, (v - 0.3) / 0.3);
    return Mix(PipeGrey, ShadowGrey + 16, (v - 0.6) / 0.4 * 0.5);
}

// The design is laid out on the 24-pixel icon's grid, drawn `design` pixels wide in the middle
// of the image; u is one of its pixels at this size. The pipe always runs across the whole
// image. Every edge is rounded to a whole pixel once, so shapes stay hard-edged at any size.
QImage DrawLarge(int side, double design) {
    const double u = design / 24.0;
    const double origin = (side - design) / 2;
    auto at = [u, origin](double a) { return static_cast<int>(std::lround(origin + a * u)); };
    const int stroke = std::max(1, static_cast<int>(std::lround(design / 32.0)));

    QImage img(side, side, QImage::Format_RGB32);
    img.fill(Grey(FieldGrey));

    // The pipe, right across the icon.
    const int pipeTop = at(8), pipeBottom = at(16);
    for (int y = pipeTop; y < pipeBottom; ++y) {
        const QRgb ink = Grey(PipeShade((y + 0.5 - pipeTop) / (pipeBottom - pipeTop)));
        for (int x = 0; x < side; ++x)
            img.setPixel(x, y, ink);
    }

    // Two flanges bolted face to face in the middle, each outlined in black.
    const int flangeTop = at(4), flangeBottom = at(20);
    for (double unitLeft : {7.0, 12.0}) {
        const int left = at(unitLeft), right = at(unitLeft + 5);
        for (int y = flangeTop; y < flangeBottom; ++y)
            for (int x = left; x < right; ++x) {
                const bool edge = x < left + stroke || x >= right - stroke ||
                                  y < flangeTop + stroke || y >= flangeBottom - stroke;
                const double v = (x + 0.5 - left - stroke) / (right - left - 2 * stroke);
                img.setPixel(x, y, edge ? qRgb(0, 0, 0) : Grey(FlangeShade(v)));
            }
        // Round bolt heads where the small icon has its bolt pixels; a pixel is black when
        // its centre lies inside, so the edge is hard.
        const double cx = origin + (unitLeft + 2.5) * u, radius = 0.62 * u;
        for (double unitY : {6.5, 17.5}) {
            const double cy = origin + unitY * u;
            for (int y = static_cast<int>(cy - radius) - 1; y <= cy + radius + 1; ++y)
                for (int x = static_cast<int>(cx - radius) - 1; x <= cx + radius + 1; ++x) {
                    const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                    if (dx * dx + dy * dy <= radius * radius) img.setPixel(x, y, qRgb(0, 0, 0));
                }
        }
    }
    return img;
}

}  // namespace

QImage DrawThemeIcon(int side) {
    if (side == 16 || side == 24) return DrawIcon(side).convertToFormat(QImage::Format_RGB32);
    return DrawLarge(side, side);
}

QImage DrawMaskableIcon(int side) {
    // Drawn at the safe zone's width, the coupling's corners lie 7.5 of the image's 24 grid
    // pixels from its middle, well inside the safe circle's 9.6.
    return DrawLarge(side, side * MaskableSafeZone);
}

}  // namespace kov::art
