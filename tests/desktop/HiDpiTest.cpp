// The board on a HiDPI screen, at whatever QT_SCALE_FACTOR the test runs with: at a whole
// factor every picture pixel is a sharp block of device pixels, at a fractional one no device
// pixel is a blend, and the cells keep their places in logical pixels.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QSet>
#include <QWindow>
#include <cmath>

#include "app/MainWindow.h"
#include "game/Defaults.h"
#include "generator/Random.h"
#include "view/BoardView.h"
#include "view/PictureCell.h"
#include "view/PictureSet.h"

namespace kov::test {
namespace {

double FactorAsked() {
    bool ok = false;
    const double f = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok ? f : 1.0;
}

class HiDpi : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(pictures.Load(&error)) << error.toStdString();
        w = std::make_unique<MainWindow>(pictures, std::make_unique<SeededRandom>(1234));
        w->show();
        // The picture size under test; the grid too for large pictures, so gaps are covered.
        if (QString::fromLatin1(GetParam()) == QLatin1String("large")) {
            w->Action(MenuIndexOf(Command::LargePictures))->trigger();
            w->Action(MenuIndexOf(Command::ToggleGrid))->trigger();
        }
        // A few pipes in colour, so the pictures differ from one another.
        w->Action(MenuIndexOf(Command::LayOnePipe))->trigger();
        w->Action(MenuIndexOf(Command::LayOnePipe))->trigger();
        QApplication::processEvents();
    }
    QImage Grab(qreal* ratio) {
        const QPixmap shot = w->Board().grab();
        *ratio = shot.devicePixelRatio();
        return shot.toImage().convertToFormat(QImage::Format_RGB32);
    }

    // The picture cell n must show: the one of its codes.
    QImage Shown(int n) const {
        const GameState& s = w->Game().State();
        return pictures.Picture(PictureIndex(s.cellTile[n], s.cellColour[n]))
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    PictureSet pictures;
    std::unique_ptr<MainWindow> w;
};

TEST_P(HiDpi, TheScreenHasTheFactorAskedForAndTheCellsScaleWithIt) {
    qreal ratio = 0;
    const QImage shot = Grab(&ratio);
    EXPECT_DOUBLE_EQ(ratio, FactorAsked());
    EXPECT_DOUBLE_EQ(w->windowHandle()->devicePixelRatio(), FactorAsked());
    // The board keeps its size in logical pixels and gets factor times as many device pixels.
    const BoardView& board = w->Board();
    EXPECT_EQ(shot.width(), std::ceil(board.width() * ratio - 1e-9));
    EXPECT_EQ(shot.height(), std::ceil(board.height() * ratio - 1e-9));
    const GameState& s = w->Game().State();
    const PixelRect end = w->Game().CellRect(s.CellCount());
    EXPECT_EQ(board.Cell(s.CellCount())->geometry(),
              QRect(end.left, end.top, end.width, end.height));
    EXPECT_EQ(board.Cell(1)->geometry(), QRect(BoardMargin, BoardMargin, s.tileSize, s.tileSize));
}

TEST_P(HiDpi, EveryDevicePixelComesFromAPictureOrTheGround) {
    qreal ratio = 0;
    const QImage shot = Grab(&ratio);
    QSet<QRgb> inks{qRgb(BoardGround, BoardGround, BoardGround)};
    for (int n = 1; n <= w->Board().CellsBuilt(); ++n) {
        const QImage pic = Shown(n);
        for (int y = 0; y < pic.height(); ++y)
            for (int x = 0; x < pic.width(); ++x)
                inks.insert(pic.pixel(x, y));
    }
    int blended = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (!inks.contains(shot.pixel(x, y)) && ++blended <= 5)
                ADD_FAILURE() << "device pixel (" << x << ", " << y << ") is #" << std::hex
                              << (shot.pixel(x, y) & 0xFFFFFF) << ", in no picture";
    EXPECT_EQ(blended, 0);
}

// Inside each cell a device pixel shows the picture pixel under its centre, or at a
// fractional factor one next to it; at a whole factor exactly that one, so every picture
// pixel is a sharp block of (factor x stretch) squared device pixels.
TEST_P(HiDpi, EachCellShowsItsPicturePixelForPixel) {
    qreal ratio = 0;
    const QImage shot = Grab(&ratio);
    const bool whole = ratio == std::floor(ratio);
    const BoardView& board = w->Board();
    int wrong = 0;
    for (int n = 1; n <= board.CellsBuilt(); ++n) {
        const PictureCell* cell = board.Cell(n);
        const QImage pic = Shown(n);
        const QRect g = cell->geometry();
        const double perPixel = ratio * g.width() / pic.width();  // device pixels per picture pixel
        // Only device pixels wholly inside the cell; its edge may be shared with a neighbour.
        const int x0 = static_cast<int>(std::ceil(g.x() * ratio - 1e-9));
        const int x1 = static_cast<int>(std::floor((g.x() + g.width()) * ratio + 1e-9));
        const int y0 = static_cast<int>(std::ceil(g.y() * ratio - 1e-9));
        const int y1 = static_cast<int>(std::floor((g.y() + g.height()) * ratio + 1e-9));
        for (int dy = y0; dy < y1; ++dy)
            for (int dx = x0; dx < x1; ++dx) {
                const int px = static_cast<int>((dx + 0.5 - g.x() * ratio) / perPixel);
                const int py = static_cast<int>((dy + 0.5 - g.y() * ratio) / perPixel);
                const QRgb got = shot.pixel(dx, dy);
                bool ok = false;
                const int reach = whole ? 0 : 1;
                for (int qy = py - reach; qy <= py + reach && !ok; ++qy)
                    for (int qx = px - reach; qx <= px + reach && !ok; ++qx)
                        ok = pic.valid(qx, qy) && pic.pixel(qx, qy) == got;
                if (!ok && ++wrong <= 5)
                    ADD_FAILURE() << "cell " << n << ": device pixel (" << dx << ", " << dy
                                  << ") is #" << std::hex << (got & 0xFFFFFF)
                                  << ", not picture pixel (" << std::dec << px << ", " << py << ")";
            }
    }
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(PictureSizes, HiDpi, ::testing::Values("small", "large"));

}  // namespace
}  // namespace kov::test
