// The game on a screen of twice the pixels (a HiDPI screen at scale 2): the same board at twice
// the size, every picture pixel a sharp two-by-two block of screen pixels.
#include "Checks.h"

namespace e2e {
namespace {

class TwiceThePixels : public GameSession {
  protected:
    TwiceThePixels() { screen_.scale = 2; }
};

TEST_F(TwiceThePixels, EveryCellIsItsPictureDoubledPixelForPixel) {
    constexpr int K = 2;
    const pid_t pid = Launch();
    const auto window = WaitForWindow(pid, Patience);
    ASSERT_TRUE(window) << "the game showed no window";
    // The client area, in screen pixels, once the game has drawn its first board.
    const QImage shot = [&] {
        QImage last;
        WaitFor([&] {
            const Rect at = Scr().Geometry(*window);
            last = GrabWhenStill(at);
            return last.width() == K * (10 * CellPx + 2 * Margin);
        });
        return last;
    }();
    ASSERT_EQ(shot.width(), K * (10 * CellPx + 2 * Margin)) << "not the 10 x 9 board, doubled";

    // The board's ground starts right below the menu bar.
    int bar = 0;
    while (bar < shot.height() && Rgb(shot, K, bar) != BoardGround)
        ++bar;
    ASSERT_EQ(shot.height() - bar, K * (9 * CellPx + 2 * Margin)) << "menu bar " << bar;

    int read = 0;
    for (int r = 0; r < 9; ++r)
        for (int c = 0; c < 10; ++c) {
            const int x0 = K * (Margin + c * CellPx);
            const int y0 = bar + K * (Margin + r * CellPx);
            QImage picture(CellPx, CellPx, QImage::Format_RGB32);
            bool sharp = true;
            for (int y = 0; y < CellPx; ++y)
                for (int x = 0; x < CellPx; ++x) {
                    const std::uint32_t p = Rgb(shot, x0 + K * x, y0 + K * y);
                    sharp = sharp && Rgb(shot, x0 + K * x + 1, y0 + K * y) == p &&
                            Rgb(shot, x0 + K * x, y0 + K * y + 1) == p &&
                            Rgb(shot, x0 + K * x + 1, y0 + K * y + 1) == p;
                    picture.setPixel(x, y, 0xFF000000 | p);
                }
            EXPECT_TRUE(sharp) << "cell " << c + 1 << "," << r + 1 << " is blurred";
            read += Pictures().Identify(picture) >= 0 ? 1 : 0;
        }
    EXPECT_EQ(read, 90) << "cells that show none of the game's pictures, doubled";
}

}  // namespace
}  // namespace e2e
