// What the pictures show: the pixels the art fixes, the turning identities and the colouring.
#include <gtest/gtest.h>

#include <QTransform>

#include "AssetFiles.h"
#include "assets/PictureNames.h"
#include "board/Tiles.h"

namespace kov::test {
namespace {

const auto Flange = Row(".........#000012343210000#.........");
const auto FlangeEdge = Row(".........#################.........");
const auto PipeBolts = Row("..........#.#0#2#4#2#0#.#..........");
const auto PipeBody = Row("............#012343210#............");

std::array<int, N> Column(const InkMap& m, int x) {
    std::array<int, N> c{};
    for (int y = 0; y < N; ++y)
        c[y] = m[y][x];
    return c;
}

TEST(Drawing, BlankIsBackgroundThroughout) {
    for (const auto& row : Inks(0))
        EXPECT_EQ(row, Row("..................................."));
}

// The straight is the one piece the art gives pixel for pixel: flange, bolts, body, bolts,
// flange. Grey and red alike, since both are read back as shades of their own ramp.
TEST(Drawing, StraightIsProfileFlangesAndBolts) {
    for (int slot : {2, 14}) {
        SCOPED_TRACE(slot);
        const InkMap m = Inks(slot);
        for (int y : {0, 2, 32, 34})
            EXPECT_EQ(m[y], FlangeEdge) << "row " << y;
        for (int y : {1, 33})
            EXPECT_EQ(m[y], Flange) << "row " << y;
        for (int y : {3, 31})
            EXPECT_EQ(m[y], PipeBolts) << "row " << y;
        for (int y = 4; y <= 30; ++y)
            EXPECT_EQ(m[y], PipeBody) << "row " << y;
    }
}

// Only the top and the top-left corner: the turning test holds the tank to its quarter turns.
TEST(Drawing, SourceTankOutlineRingsAndStubs) {
    const InkMap m = Inks(85);
    const int outline[][2] = {{5, 3}, {6, 3}, {4, 4}, {3, 5}, {3, 6}, {2, 7}};
    for (int x = 7; x <= 27; ++x)
        EXPECT_EQ(m[2][x], Black) << x;
    for (const auto& p : outline)
        EXPECT_EQ(m[p[1]][p[0]], Black) << p[0] << "," << p[1];
    EXPECT_EQ(m[1], Flange);
    EXPECT_EQ(m[3], Row(".....##000#0#0#2#4#2#0#0#000##....."));  // bolts on the outer ring
    for (int y = 4; y <= 6; ++y)
        for (int x = 13; x <= 21; ++x)
            EXPECT_EQ(m[y][x], PipeBody[x]) << "stub " << x << "," << y;
    for (int y = 3; y <= 6; ++y)
        EXPECT_EQ(m[y][9], y - 3) << "ring at row " << y;
    for (int y = 9; y <= 25; ++y)
        for (int x = 9; x <= 25; ++x)
            EXPECT_EQ(m[y][x], 4) << "centre " << x << "," << y;
}

// Clear of the bend and the crossing, an arm is the straight's body: a corner and the cross, in
// two colours; the other arms follow from the turning identity.
TEST(Drawing, ArmsKeepTheStraightsProfile) {
    for (int slot : {17, 60, 96}) {
        SCOPED_TRACE(slot);
        const InkMap m = Inks(slot);
        for (int i = 26; i <= 30; ++i) {
            EXPECT_EQ(m[i], PipeBody) << "down arm, row " << i;
            EXPECT_EQ(Column(m, i), PipeBody) << "right arm, column " << i;
        }
    }
}

// Right-down-left tee: closed on top, open below where the branch joins.
TEST(Drawing, TeeIsClosedOppositeItsBranch) {
    const InkMap m = Inks(22);
    for (int x = 4; x <= 30; ++x)
        EXPECT_EQ(m[12][x], Black) << "closed side, column " << x;
    for (int x = 10; x <= 24; ++x)
        EXPECT_NE(m[22][x], Black) << "open joint, column " << x;
}

// Turning a picture a quarter turn clockwise gives the picture of the turned tile, exactly, in
// every colour; this is what lets the game show a turn by swapping pictures.
TEST(Drawing, QuarterTurnGivesTheTurnedTile) {
    for (int slot : Slots()) {
        if (slot == 0) continue;
        const auto t = static_cast<Int16>(art::TileOfSlot(slot));
        const auto c = static_cast<Int16>(art::ColourOfSlot(slot));
        const int turned = PictureIndex(TurnClockwise(t), c);
        const QImage rotated = PictureImage(slot).transformed(QTransform().rotate(90));
        EXPECT_EQ(rotated, PictureImage(turned)) << slot << " turned should be " << turned;
    }
}

// Every pixel is a shade of the slot's own ramp, black or background, and the same one in
// every colour: colours differ by the ramp alone.
TEST(Drawing, ColoursDifferOnlyByRamp) {
    for (int t = tile::Source; t <= tile::Last; ++t) {
        const int first = t == tile::Source ? colour::FirstPipe : colour::Grey;
        const InkMap reference =
            Inks(PictureIndex(static_cast<Int16>(t), static_cast<Int16>(first)));
        for (const auto& row : reference)
            for (int ink : row)
                ASSERT_NE(ink, Unknown) << "tile " << t << " off its ramp";
        for (int c = first + 1; c <= colour::Last; ++c)
            EXPECT_EQ(Inks(PictureIndex(static_cast<Int16>(t), static_cast<Int16>(c))), reference)
                << "tile " << t << " colour " << c;
    }
}

}  // namespace
}  // namespace kov::test
