// The screen scale, the way back from a client pixel to the board, and where the window goes.
#include <gtest/gtest.h>

#include "win/Geometry.h"

namespace kov::win {
namespace {

TEST(Geometry, ScaleIsWholeDevicePixelsNearestTheDpi) {
    EXPECT_EQ(ScaleForDpi(96), 1);
    EXPECT_EQ(ScaleForDpi(120), 1);  // 125 %
    EXPECT_EQ(ScaleForDpi(144), 2);  // 150 %
    EXPECT_EQ(ScaleForDpi(192), 2);  // 200 %
    EXPECT_EQ(ScaleForDpi(288), 3);  // 300 %
    EXPECT_EQ(ScaleForDpi(72), 1);
}

TEST(Geometry, AClientPixelFindsItsBoardPixelThroughScaleAndScroll) {
    EXPECT_EQ(BoardPoint({9, 9}, {0, 0}, 1).x, 9);
    const POINT scaled = BoardPoint({9, 71}, {0, 0}, 2);
    EXPECT_EQ(scaled.x, 4);
    EXPECT_EQ(scaled.y, 35);
    const POINT scrolled = BoardPoint({9, 71}, {70, 140}, 2);
    EXPECT_EQ(scrolled.x, 39);
    EXPECT_EQ(scrolled.y, 105);
}

constexpr SIZE Frame{6, 48};  // borders, caption and a menu bar
constexpr SIZE Bars{17, 17};
constexpr RECT Work{0, 0, 1024, 738};

TEST(Geometry, AWindowThatFitsIsTheBoardPlusItsFrame) {
    const WindowFit fit = FitWindow({360, 325}, Frame, Bars, {100, 50}, Work);
    EXPECT_EQ(fit.window.left, 100);
    EXPECT_EQ(fit.window.top, 50);
    EXPECT_EQ(fit.window.right - fit.window.left, 366);
    EXPECT_EQ(fit.window.bottom - fit.window.top, 373);
    EXPECT_FALSE(fit.horizontalBar);
    EXPECT_FALSE(fit.verticalBar);
}

TEST(Geometry, AWindowThatGrewPastTheEdgeComesBackOntoTheWorkArea) {
    const WindowFit fit = FitWindow({535, 465}, Frame, Bars, {700, 400}, Work);
    EXPECT_EQ(fit.window.right, Work.right);
    EXPECT_EQ(fit.window.bottom, Work.bottom);
    EXPECT_EQ(fit.window.right - fit.window.left, 541);
}

TEST(Geometry, AWideBoardScrollsAcrossAndItsBarTakesHeight) {
    const WindowFit fit = FitWindow({1760, 500}, Frame, Bars, {100, 50}, Work);
    EXPECT_TRUE(fit.horizontalBar);
    EXPECT_FALSE(fit.verticalBar);
    EXPECT_EQ(fit.window.left, 0);
    EXPECT_EQ(fit.window.right, 1024);
    EXPECT_EQ(fit.window.bottom - fit.window.top, 500 + 48 + 17);
}

TEST(Geometry, ABarThatOneSideNeedsCanMakeTheOtherSideScrollToo) {
    // 680 tall fits, but not with the horizontal bar under it.
    const WindowFit fit = FitWindow({1760, 680}, Frame, Bars, {0, 0}, Work);
    EXPECT_TRUE(fit.horizontalBar);
    EXPECT_TRUE(fit.verticalBar);
    EXPECT_EQ(fit.window.right - fit.window.left, 1024);
    EXPECT_EQ(fit.window.bottom - fit.window.top, 738);
}

}  // namespace
}  // namespace kov::win
