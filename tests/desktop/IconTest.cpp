// The icon theme's PNGs: 16 and 24 are the window icon's own images, and every size shows
// the same design in the same proportions, drawn sharp at its own size.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>

namespace kov::test {
namespace {

constexpr int Sizes[] = {16, 24, 48, 64, 128, 256};

QImage ThemeIcon(int side) {
    return QImage(QStringLiteral(KOVELINT_ASSETS_DIR "/icons/kovelint-%1.png").arg(side))
        .convertToFormat(QImage::Format_ARGB32);
}

enum Ink { Field, Black, Metal };

Ink InkOf(QRgb c) {
    if ((c & 0xFFFFFF) == 0xC3C3C3) return Field;
    if ((c & 0xFFFFFF) == 0) return Black;
    return Metal;
}

TEST(Icons, SmallSizesAreTheWindowIconsImages) {
    QImageReader reader(QStringLiteral(KOVELINT_ASSETS_DIR "/kovelint.ico"));
    if (!reader.canRead()) GTEST_SKIP() << "no .ico reader in this Qt";
    int seen = 0;
    for (int i = 0; i < reader.imageCount(); ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage fromIco = reader.read().convertToFormat(QImage::Format_ARGB32);
        const QImage png = ThemeIcon(fromIco.width());
        ASSERT_FALSE(png.isNull()) << fromIco.width();
        EXPECT_TRUE(png == fromIco) << "the " << fromIco.width() << " PNG differs from the .ico";
        ++seen;
    }
    EXPECT_EQ(seen, 2);
}

TEST(Icons, EverySizeIsSquareOpaqueAndTheSameDesign) {
    const QImage ref = ThemeIcon(24);
    ASSERT_EQ(ref.size(), QSize(24, 24));
    for (int side : Sizes) {
        SCOPED_TRACE(side);
        const QImage icon = ThemeIcon(side);
        ASSERT_EQ(icon.size(), QSize(side, side));
        int greys = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const QRgb c = icon.pixel(x, y);
                ASSERT_EQ(qAlpha(c), 255);
                greys += qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) ? 1 : 0;
            }
        EXPECT_EQ(greys, side * side) << "the icon is all greys";
        // The pipe's own grey runs out to both edges across the middle.
        EXPECT_EQ(icon.pixel(0, side / 2) & 0xFFFFFF, 0x7F7F7Fu);
        EXPECT_EQ(icon.pixel(side - 1, side / 2) & 0xFFFFFF, 0x7F7F7Fu);
        if (side < 48) continue;
        // Wherever the 24-pixel drawing is one ink over a whole 3 x 3 patch, the larger one
        // has that ink at the same place: same shapes, same proportions.
        const double u = side / 24.0;
        for (int y = 1; y < 23; ++y)
            for (int x = 1; x < 23; ++x) {
                const Ink ink = InkOf(ref.pixel(x, y));
                bool uniform = true;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        uniform = uniform && InkOf(ref.pixel(x + dx, y + dy)) == ink;
                if (!uniform) continue;
                const int sx = static_cast<int>((x + 0.5) * u),
                          sy = static_cast<int>((y + 0.5) * u);
                EXPECT_EQ(InkOf(icon.pixel(sx, sy)), ink)
                    << "at 24-grid (" << x << ", " << y << ")";
            }
        // Hard edges: the field meets the flange's black outline with no shade between.
        const int mid = side / 2;
        int y = 0;
        while (y < side && InkOf(icon.pixel(mid - 1, y)) == Field)
            ++y;
        EXPECT_EQ(InkOf(icon.pixel(mid - 1, y)), Black) << "row " << y;
    }
}

}  // namespace
}  // namespace kov::test
