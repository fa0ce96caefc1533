#include "assets/PictureDecode.h"

#include <QPixmap>
#include <utility>

#include "assets/PictureNames.h"

namespace kov::art {

namespace {

quint32 Le(const QByteArray& b, qsizetype at, int bytes) {
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<uchar>(b[at + i]);
    return v;
}

constexpr int PixelOffset = 54;

}  // namespace

bool CheckPicture(const QByteArray& b, QString* why) {
    if (b.size() != art::BmpFileSize) {
        *why = QStringLiteral("%1 bytes, not %2").arg(b.size()).arg(art::BmpFileSize);
        return false;
    }
    struct Field {
        qsizetype at;
        int bytes;
        quint32 want;
        const char* name;
    };
    static constexpr Field Fields[] = {{0, 2, 0x4D42, "signature"},
                                       {2, 4, art::BmpFileSize, "file size"},
                                       {10, 4, PixelOffset, "pixel offset"},
                                       {14, 4, 40, "header size"},
                                       {18, 4, art::Side, "width"},
                                       {22, 4, art::Side, "height"},
                                       {26, 2, 1, "planes"},
                                       {28, 2, 24, "bits per pixel"},
                                       {30, 4, 0, "compression"}};
    for (const Field& f : Fields) {
        if (Le(b, f.at, f.bytes) != f.want) {
            *why = QStringLiteral("bad %1").arg(QLatin1String(f.name));
            return false;
        }
    }
    return true;
}

QImage DecodePicture(const QByteArray& b, QString* why) {
    if (!CheckPicture(b, why)) return {};
    constexpr int Rows = art::Side, RowBytes = 108;
    QImage img(art::Side, art::Side, QImage::Format_RGB32);
    const auto* data = reinterpret_cast<const uchar*>(b.constData());
    uchar* const pixels = img.bits();
    const qsizetype stride = img.bytesPerLine();
    for (int y = 0; y < Rows; ++y) {
        // Stored bottom-up, blue first. The rows never overlap the image, which lets the
        // compiler take several pixels at a time.
        const uchar* __restrict src = data + PixelOffset + (Rows - 1 - y) * RowBytes;
        auto* __restrict dst = reinterpret_cast<QRgb*>(pixels + y * stride);
        for (int x = 0; x < art::Side; ++x)
            dst[x] = 0xff000000u | static_cast<QRgb>(src[3 * x + 2]) << 16 |
                     static_cast<QRgb>(src[3 * x + 1]) << 8 | src[3 * x];
    }
    return img;
}

bool DecodeIcon(const QByteArray& b, QIcon* icon, QString* why) {
    if (b.size() < 6 || Le(b, 0, 2) != 0 || Le(b, 2, 2) != 1) {
        *why = QStringLiteral("not an icon file");
        return false;
    }
    const int count = static_cast<int>(Le(b, 4, 2));
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * i;
        if (b.size() < entry + 16) break;
        const int side = static_cast<uchar>(b[entry]);
        const qsizetype at = Le(b, entry + 12, 4);
        const int rowBytes = (side + 3) / 4 * 4;
        const qsizetype pixels = at + 40 + 256 * 4;
        if (side == 0 || Le(b, entry + 6, 2) != 8 || b.size() < pixels + rowBytes * side ||
            Le(b, at + 4, 4) != static_cast<quint32>(side) || Le(b, at + 14, 2) != 8) {
            *why = QStringLiteral("image %1 is not an 8-bit palette image").arg(i);
            return false;
        }
        QImage img(side, side, QImage::Format_RGB32);
        for (int y = 0; y < side; ++y) {
            auto* dst = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < side; ++x) {
                const int index = static_cast<uchar>(b[pixels + (side - 1 - y) * rowBytes + x]);
                const qsizetype c = at + 40 + 4 * index;
                dst[x] = qRgb(static_cast<uchar>(b[c + 2]), static_cast<uchar>(b[c + 1]),
                              static_cast<uchar>(b[c]));
            }
        }
        icon->addPixmap(QPixmap::fromImage(std::move(img)));
    }
    for (int side : art::IconSizes) {
        if (!icon->availableSizes().contains(QSize(side, side))) {
            *why = QStringLiteral("no %1 x %1 image").arg(side);
            return false;
        }
    }
    return true;
}

}  // namespace kov::art
