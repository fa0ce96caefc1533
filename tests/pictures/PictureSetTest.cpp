// The game's view of the set: everything embedded, decoded into its slot, and a broken picture
// refused in words.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>

#include "AssetFiles.h"
#include "assets/PictureDecode.h"
#include "assets/PictureNames.h"
#include "view/PictureSet.h"

namespace kov::test {
namespace {

TEST(PictureSet, LoadsEveryEmbeddedPictureIntoItsSlot) {
    PictureSet set;
    QString error = QStringLiteral("untouched");
    ASSERT_TRUE(set.Load(&error)) << error.toStdString();
    for (int slot = -1; slot <= 97; ++slot) {
        SCOPED_TRACE(slot);
        if (!art::HasPicture(slot)) {
            EXPECT_TRUE(set.Picture(slot).isNull());
            continue;
        }
        // Decoded when first asked for, into the place the cells keep pointing at.
        const QPixmap* first = &set.Picture(slot);
        ASSERT_EQ(first->size(), QSize(35, 35));
        EXPECT_EQ(&set.Picture(slot), first);
        // Same pixels as Qt's own reading of the file: no flip, no swapped channels.
        EXPECT_EQ(set.Picture(slot).toImage().convertToFormat(QImage::Format_RGB32),
                  PictureImage(slot));
    }
    const QList<QSize> sizes = set.Icon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(24, 24)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
}

TEST(PictureSet, DecoderRefusesAnyOtherBitmap) {
    const QByteArray good = PictureBytes(14);
    QString why;
    ASSERT_FALSE(art::DecodePicture(good, &why).isNull());
    auto patched = [&good](int at, QByteArray bytes) {
        QByteArray b = good;
        b.replace(at, bytes.size(), bytes);
        return b;
    };
    const QByteArray broken[] = {
        good.left(3000),                               // truncated
        good + QByteArray(4, '\0'),                    // trailing bytes
        patched(0, "PM"),                              // not a bitmap
        patched(22, QByteArray::fromHex("ddffffff")),  // height -35: stored top-down
        patched(28, QByteArray::fromHex("2000")),      // 32 bits per pixel
        patched(30, QByteArray::fromHex("01000000")),  // run-length compressed
        patched(18, QByteArray::fromHex("24000000")),  // 36 wide
    };
    for (const QByteArray& b : broken) {
        why.clear();
        EXPECT_TRUE(art::DecodePicture(b, &why).isNull());
        EXPECT_FALSE(why.isEmpty());
    }
}

TEST(PictureSet, IconDecoderWantsBothSizes) {
    const QByteArray ico = ReadAsset(QString::fromLatin1(art::IconFile));
    QIcon icon;
    QString why;
    EXPECT_TRUE(art::DecodeIcon(ico, &icon, &why)) << why.toStdString();
    QByteArray oneImage = ico;
    oneImage[4] = 1;  // the directory now lists only the 24-pixel image
    QIcon partial;
    EXPECT_FALSE(art::DecodeIcon(oneImage, &partial, &why));
    EXPECT_TRUE(why.contains(QLatin1String("16"))) << why.toStdString();
    EXPECT_FALSE(art::DecodeIcon(ico.left(500), &partial, &why));
}

}  // namespace
}  // namespace kov::test
