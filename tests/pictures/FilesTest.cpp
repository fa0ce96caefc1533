// The committed files: their exact format, and that the generator still draws them.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include "AssetFiles.h"
#include "assets/PictureNames.h"
#include "tools/picgen/ThemeIcon.h"

namespace kov::test {
namespace {

quint32 Le(const QByteArray& b, int at, int bytes) {
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<uchar>(b[at + i]);
    return v;
}

TEST(Files, EveryPictureIsA24BitBottomUpBitmapOf3834Bytes) {
    const std::vector<int> all = Slots();
    ASSERT_EQ(all.size(), 96u);
    for (int slot : all) {
        SCOPED_TRACE(slot);
        const QByteArray b = PictureBytes(slot);
        ASSERT_EQ(b.size(), 3834);
        EXPECT_EQ(b.left(2), "BM");
        EXPECT_EQ(Le(b, 2, 4), 3834u);
        EXPECT_EQ(Le(b, 6, 4), 0u);    // reserved
        EXPECT_EQ(Le(b, 10, 4), 54u);  // pixels follow the two headers, no palette
        EXPECT_EQ(Le(b, 14, 4), 40u);
        EXPECT_EQ(Le(b, 18, 4), 35u);
        EXPECT_EQ(Le(b, 22, 4), 35u);  // positive: rows stored bottom-up
        EXPECT_EQ(Le(b, 26, 2), 1u);
        EXPECT_EQ(Le(b, 28, 2), 24u);
        EXPECT_EQ(Le(b, 30, 4), 0u);  // uncompressed
        EXPECT_EQ(Le(b, 46, 4), 0u);  // no palette colours
        for (int row = 0; row < 35; ++row)
            EXPECT_EQ(b.mid(54 + row * 108 + 105, 3), QByteArray(3, '\0')) << "padding " << row;
    }
    // The up-right corner has its flange on top and nothing at the bottom, so the first row
    // stored must be plain background and the last one the black flange edge.
    const QByteArray corner = PictureBytes(4);
    for (int x = 0; x < 35; ++x) {
        EXPECT_EQ(corner.mid(54 + 3 * x, 3), QByteArray::fromHex("c6c7c6")) << x;
        const bool flange = x >= 9 && x <= 25;
        EXPECT_EQ(corner.mid(54 + 34 * 108 + 3 * x, 3),
                  flange ? QByteArray(3, '\0') : QByteArray::fromHex("c6c7c6"))
            << x;
    }
}

TEST(Files, IconHoldsA24AndA16ImageWith256ColourPalettes) {
    const QByteArray ico = ReadAsset(QString::fromLatin1(art::IconFile));
    ASSERT_GE(ico.size(), 6 + 2 * 16);
    EXPECT_EQ(Le(ico, 0, 2), 0u);
    EXPECT_EQ(Le(ico, 2, 2), 1u);  // icon, not cursor
    ASSERT_EQ(Le(ico, 4, 2), 2u);
    int end = 6 + 2 * 16;
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const int entry = 6 + 16 * i, side = i == 0 ? 24 : 16;
        EXPECT_EQ(static_cast<uchar>(ico[entry]), side);
        EXPECT_EQ(static_cast<uchar>(ico[entry + 1]), side);
        EXPECT_EQ(static_cast<uchar>(ico[entry + 2]), 0);  // 0 colours: a full 256
        EXPECT_EQ(Le(ico, entry + 6, 2), 8u);
        const int size = static_cast<int>(Le(ico, entry + 8, 4));
        const int at = static_cast<int>(Le(ico, entry + 12, 4));
        EXPECT_EQ(at, end);  // images packed in order, nothing between
        ASSERT_LE(at + size, ico.size());
        EXPECT_EQ(Le(ico, at + 4, 4), static_cast<quint32>(side));
        EXPECT_EQ(Le(ico, at + 8, 4), static_cast<quint32>(2 * side));  // with the mask
        EXPECT_EQ(Le(ico, at + 14, 2), 8u);
        EXPECT_EQ(size, 40 + 1024 + side * side + (side + 31) / 32 * 4 * side);
        end = at + size;
    }
    EXPECT_EQ(end, ico.size());
    // Qt's own reader agrees: two images, the pipe's grey on the light field.
    QImageReader reader(AssetsDir() + QLatin1Char('/') + QString::fromLatin1(art::IconFile));
    if (!reader.canRead()) GTEST_SKIP() << "no .ico reader in this Qt";
    EXPECT_EQ(reader.imageCount(), 2);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage img = reader.read();
        EXPECT_EQ(img.size(), i == 0 ? QSize(24, 24) : QSize(16, 16));
        EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, 0xC3C3C3u);
        EXPECT_EQ(img.pixel(0, img.height() / 2) & 0xFFFFFF, 0x7F7F7Fu);
        EXPECT_EQ(img.pixel(img.width() / 2, 1) & 0xFFFFFF, 0xC3C3C3u);
    }
}

// A launcher may cut the maskable icon to any shape that keeps the central safe circle: outside
// it the image holds only the full-bleed field and the pipe running straight across, so every
// row there is one grey, and inside it sits the black-edged coupling.
TEST(Files, MaskableIconKeepsTheCouplingInsideTheSafeCircle) {
    const QImage img = QImage::fromData(ReadAsset(QString::fromLatin1(art::MaskableIconFile)))
                           .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(img.size(), QSize(art::MaskableIconSide, art::MaskableIconSide));
    const double mid = img.width() / 2.0, radius = art::MaskableSafeZone * mid;
    int outside = 0, blackInside = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const double dx = x + 0.5 - mid, dy = y + 0.5 - mid;
            if (dx * dx + dy * dy <= radius * radius) {
                blackInside += (img.pixel(x, y) & 0xFFFFFF) == 0;
            } else if (img.pixel(x, y) != img.pixel(0, y)) {
                ++outside;
            }
        }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(blackInside, 1000);
    EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, 0xC3C3C3u);
    EXPECT_EQ(img.pixel(0, img.height() / 2) & 0xFFFFFF, 0x7F7F7Fu);
}

// The art is the generator's output; drawing it again must give the committed bytes.
TEST(Files, GeneratorRedrawsTheCommittedSetByteForByte) {
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    const QString sheet = out.filePath(QStringLiteral("sheet.png"));
    QProcess picgen;
    picgen.start(QStringLiteral(PICGEN_PATH),
                 {out.filePath(QStringLiteral("set")), QStringLiteral("--sheet"), sheet});
    ASSERT_TRUE(picgen.waitForFinished(60000));
    ASSERT_EQ(picgen.exitCode(), 0) << picgen.readAllStandardError().toStdString();

    const QDir fresh(out.filePath(QStringLiteral("set")));
    QStringList drawn;
    QDirIterator it(fresh.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        drawn << fresh.relativeFilePath(it.next());
    drawn.sort();
    QStringList expected;
    for (int slot : Slots())
        expected << QString::fromStdString(art::PictureFile(slot));
    expected << QString::fromLatin1(art::IconFile);
    for (int side : art::ThemeIconSizes)
        expected << art::ThemeIconFile(side);
    expected << QString::fromLatin1(art::MaskableIconFile);
    expected.sort();
    EXPECT_EQ(drawn, expected);
    for (const QString& name : expected) {
        QFile f(fresh.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_TRUE(f.readAll() == ReadAsset(name)) << name.toStdString() << " differs";
    }
    EXPECT_FALSE(QImage(sheet).isNull());
}

}  // namespace
}  // namespace kov::test
