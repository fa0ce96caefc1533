#include "Art.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kov::art {

namespace {

constexpr int Mid = Side / 2;  // 17, the middle row and column
constexpr int Last = Side - 1;

// Five shades per colour, edge to centre; grey's brightest sits just off the background.
constexpr QRgb Ramps[9][5] = {
    {0, 0, 0, 0, 0},
    {0x5A5D5A, 0x737573, 0x948E94, 0xADAAAD, 0xC6C3C6},
    {0x840C10, 0xA51018, 0xBD1418, 0xD61421, 0xEF1821},
    {0x9C4510, 0xB55110, 0xCE5D18, 0xE76918, 0xFF7921},
    {0x9C9200, 0xB5AE00, 0xCEC700, 0xE7DF00, 0xFFF700},
    {0x084D21, 0x106929, 0x188231, 0x189A39, 0x21B64A},
    {0x005D84, 0x0071A5, 0x0082BD, 0x0096D6, 0x00A6EF},
    {0x182463, 0x212C7B, 0x29349C, 0x3141B5, 0x3949CE},
    {0x391839, 0x522452, 0x733073, 0x8C3C8C, 0xA549A5},
};
constexpr QRgb Background = 0xC6C7C6;
constexpr int FanCap = 2;  // bright enough to follow a fillet, dim enough to keep the star

// The shade of a straight band at a distance from its middle line: 4 in the middle, 0 at the
// edge next to the outline; negative beyond the band.
int BandShade(int distance) {
    return 4 - std::abs(distance);
}

// A piece under construction: which pixels are the inside of the pipe and their shades. The
// outline is derived, so every junction, bend and fillet gets the same one-pixel black edge.
struct Body {
    std::array<std::array<int, Side>, Side> shade{};  // -1 outside the pipe
    Body() {
        for (auto& row : shade)
            row.fill(-1);
    }
    void Put(int x, int y, int s) { shade[y][x] = std::max(shade[y][x], std::clamp(s, 0, 4)); }
};

// The outline is every outside pixel that shares a side with the inside: straight runs get a
// straight edge, slopes a clean one-pixel diagonal.
ShadeMap Outline(const Body& b) {
    ShadeMap m;
    for (int y = 0; y < Side; ++y) {
        for (int x = 0; x < Side; ++x) {
            if (b.shade[y][x] >= 0) {
                m[y][x] = static_cast<Ink>(b.shade[y][x]);
                continue;
            }
            bool edge = (x > 0 && b.shade[y][x - 1] >= 0) || (x < Last && b.shade[y][x + 1] >= 0) ||
                        (y > 0 && b.shade[y - 1][x] >= 0) || (y < Last && b.shade[y + 1][x] >= 0);
            m[y][x] = edge ? Black : Back;
        }
    }
    return m;
}

// Where pipes join, the bands next to the outline follow its fillets instead of stopping at
// them: a pixel is at least as bright as its distance from the outline allows, up to cap.
void FanJoints(ShadeMap& m, int cap) {
    std::array<std::array<int, Side>, Side> dist{};
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
            dist[y][x] = m[y][x] == Black ? 0 : Side;
    for (int step = 1; step <= cap + 1; ++step)
        for (int y = 0; y < Side; ++y)
            for (int x = 0; x < Side; ++x) {
                if (m[y][x] > Shade4 || dist[y][x] < step) continue;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if (nx >= 0 && ny >= 0 && nx <= Last && ny <= Last &&
                            dist[ny][nx] == step - 1)
                            dist[y][x] = step;
                    }
            }
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
            if (m[y][x] <= Shade4)
                m[y][x] = static_cast<Ink>(std::max<int>(m[y][x], std::min(dist[y][x] - 1, cap)));
}

// A run of pipe in the middle column from row y0 to row y1.
void VerticalRun(Body& b, int y0, int y1) {
    for (int y = y0; y <= y1; ++y)
        for (int x = Mid - 4; x <= Mid + 4; ++x)
            b.Put(x, y, BandShade(x - Mid));
}

void HorizontalRun(Body& b, int x0, int x1) {
    for (int x = x0; x <= x1; ++x)
        for (int y = Mid - 4; y <= Mid + 4; ++y)
            b.Put(x, y, BandShade(y - Mid));
}

// The two-pixel diagonal that widens the joint where a pipe meets another at a right angle.
// (cx, cy) is the pixel where the two outlines would cross; dx, dy point away from both pipes.
void Fillet(Body& b, int cx, int cy, int dx, int dy) {
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; i + j <= 2; ++j)
            b.Put(cx + dx * i, cy + dy * j, 0);
}

// The joint at the top edge: flange and bolt row. Drawn once and turned onto the other edges.
// The tank keeps its outer ring between the bolts where a free pipe shows the background.
void TopJoint(ShadeMap& m, bool onTank) {
    constexpr Ink FlangeRow[17] = {Black,  Shade0, Shade0, Shade0, Shade0, Shade1,
                                   Shade2, Shade3, Shade4, Shade3, Shade2, Shade1,
                                   Shade0, Shade0, Shade0, Shade0, Black};
    for (int x = Mid - 8; x <= Mid + 8; ++x) {
        m[0][x] = Black;
        m[1][x] = FlangeRow[x - (Mid - 8)];
        m[2][x] = Black;
    }
    for (int x = Mid - 7; x <= Mid + 7; x += 2)
        m[3][x] = Black;
    m[3][Mid - 6] = m[3][Mid + 6] = onTank ? Shade0 : Back;
}

// Applies f to the top edge of m, then to each other edge by turning the map round.
template <typename F>
void OnEdges(ShadeMap& m, const bool (&open)[4], F f) {
    for (int side = 0; side < 4; ++side) {  // up, right, down, left
        if (open[side]) f(m);
        m = TurnedClockwise(TurnedClockwise(TurnedClockwise(m)));
    }
}

ShadeMap StraightUD() {
    Body b;
    VerticalRun(b, 0, Last);
    ShadeMap m = Outline(b);
    OnEdges(m, {true, false, true, false}, [](ShadeMap& e) { TopJoint(e, false); });
    return m;
}

// The bend of the right-down corner is a quarter ring about the point where the inner outlines
// meet, half a pixel past pixel 22 both ways; the bands follow it as concentric rings.
ShadeMap CornerRD() {
    Body b;
    VerticalRun(b, Mid + 6, Last);
    HorizontalRun(b, Mid + 6, Last);
    constexpr double C = Mid + 5.5;
    for (int y = Mid - 5; y <= Mid + 5; ++y) {
        for (int x = Mid - 5; x <= Mid + 5; ++x) {
            double r = std::hypot(x - C, y - C);
            if (r >= 10.0) continue;
            int band = static_cast<int>(std::lround(r - 0.5));  // 1 .. 9 across the pipe
            b.Put(x, y, BandShade(std::clamp(band, 1, 9) - 5));
        }
    }
    ShadeMap m = Outline(b);
    OnEdges(m, {false, true, true, false}, [](ShadeMap& e) { TopJoint(e, false); });
    return m;
}

// A through pipe left to right with a branch down; the bands of the two meet as the brighter
// of each, so the branch's light runs into the through pipe's.
ShadeMap TeeRDL() {
    Body b;
    HorizontalRun(b, 0, Last);
    VerticalRun(b, Mid, Last);
    Fillet(b, Mid - 5, Mid + 5, -1, 1);
    Fillet(b, Mid + 5, Mid + 5, 1, 1);
    ShadeMap m = Outline(b);
    FanJoints(m, FanCap);
    OnEdges(m, {false, true, true, true}, [](ShadeMap& e) { TopJoint(e, false); });
    return m;
}

ShadeMap Cross() {
    Body b;
    HorizontalRun(b, 0, Last);
    VerticalRun(b, 0, Last);
    for (int dy : {-1, 1})
        for (int dx : {-1, 1})
            Fillet(b, Mid + 5 * dx, Mid + 5 * dy, dx, dy);
    ShadeMap m = Outline(b);
    FanJoints(m, FanCap);
    OnEdges(m, {true, true, true, true}, [](ShadeMap& e) { TopJoint(e, false); });
    return m;
}

// A closed tank with rounded corners: rings darkening to the outline, a flanged stub on every
// side. The outline's corner is listed for the top-left and mirrored.
ShadeMap Source() {
    constexpr int Corner[][2] = {{7, 2}, {6, 3}, {5, 3}, {4, 4}, {3, 5}, {3, 6}, {2, 7}};
    std::array<std::array<bool, Side>, Side> outline{};
    auto mark = [&outline](int x, int y) {
        for (int px : {x, Last - x})
            for (int py : {y, Last - y})
                outline[py][px] = true;
    };
    for (int i = 7; i <= Mid; ++i) {
        mark(i, 2);
        mark(2, i);
    }
    for (const auto& p : Corner)
        mark(p[0], p[1]);
    auto inside = [](int x, int y) {  // the rounded square, outline excluded
        int ex = std::min(x, Last - x) - 3, ey = std::min(y, Last - y) - 3;
        return ex >= 0 && ey >= 0 && !(ex + ey < 3 || (ex == 0 && ey < 4) || (ey == 0 && ex < 4));
    };
    // Rings by straight-line distance from the outline, so they stay one pixel wide along the
    // sides and turn round, not square, at the corners.
    ShadeMap m;
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) {
            if (outline[y][x]) {
                m[y][x] = Black;
                continue;
            }
            if (!inside(x, y)) {
                m[y][x] = Back;
                continue;
            }
            double nearest = Side;
            for (int oy = 0; oy < Side; ++oy)
                for (int ox = 0; ox < Side; ++ox)
                    if (outline[oy][ox]) nearest = std::min(nearest, std::hypot(ox - x, oy - y));
            const int ring = static_cast<int>(std::lround(nearest));
            m[y][x] = static_cast<Ink>(std::min(ring - 1, 4));
        }
    // The short pipe into the tank on each side: the pipe's bands from the bolts to the centre.
    OnEdges(m, {true, true, true, true}, [](ShadeMap& e) {
        for (int y = 3; y <= 6; ++y)
            for (int x = Mid - 4; x <= Mid + 4; ++x)
                e[y][x] = static_cast<Ink>(BandShade(x - Mid));
        TopJoint(e, true);
    });
    return m;
}

}  // namespace

ShadeMap TurnedClockwise(const ShadeMap& m) {
    ShadeMap t;
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
            t[y][x] = m[Last - x][y];
    return t;
}

ShadeMap DrawTile(int tile) {
    // Each family is drawn in one orientation; the rest are exact quarter turns of it.
    auto turned = [](ShadeMap m, int quarters) {
        for (int i = 0; i < quarters; ++i)
            m = TurnedClockwise(m);
        return m;
    };
    switch (tile) {
        case tile::Source:
            return Source();
        case tile::StraightUD:
            return StraightUD();
        case tile::StraightLR:
            return turned(StraightUD(), 1);
        case tile::CornerUR:
            return turned(CornerRD(), 3);
        case tile::CornerRD:
            return CornerRD();
        case tile::CornerDL:
            return turned(CornerRD(), 1);
        case tile::CornerUL:
            return turned(CornerRD(), 2);
        case tile::TeeURL:
            return turned(TeeRDL(), 2);
        case tile::TeeURD:
            return turned(TeeRDL(), 3);
        case tile::TeeRDL:
            return TeeRDL();
        case tile::TeeUDL:
            return turned(TeeRDL(), 1);
        case tile::Cross:
            return Cross();
        default: {
            ShadeMap blank;
            for (auto& row : blank)
                row.fill(Back);
            return blank;
        }
    }
}

QRgb InkColour(Ink ink, int colour) {
    if (ink == Black) return qRgb(0, 0, 0);
    if (ink == Back) return 0xFF000000u | Background;
    return 0xFF000000u | Ramps[colour][ink];
}

QImage DrawPicture(int slot) {
    const ShadeMap m = DrawTile(TileOfSlot(slot));
    const int colour = ColourOfSlot(slot);
    QImage img(Side, Side, QImage::Format_RGB32);
    for (int y = 0; y < Side; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < Side; ++x)
            line[x] = InkColour(m[y][x], colour);
    }
    return img;
}

}  // namespace kov::art
