#include "Icon.h"

namespace kov::art {

namespace {

enum IconInk : uchar { Field, Pipe, Outline, Shine };

void PutLE(QByteArray& out, quint32 v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

QImage DrawIcon(int side) {
    QImage img(side, side, QImage::Format_Indexed8);
    // A full palette, as the 256-colour format asks; the unused entries stay black.
    QList<QRgb> palette(256, qRgb(0, 0, 0));
    palette[Field] = qRgb(195, 195, 195);
    palette[Pipe] = qRgb(127, 127, 127);
    palette[Outline] = qRgb(0, 0, 0);
    palette[Shine] = qRgb(160, 160, 160);
    img.setColorTable(palette);
    img.fill(Field);
    // Proportions of the 24-pixel drawing, scaled down for 16 so both read as the same thing.
    const bool big = side >= 24;
    const int mid = side / 2;
    const int pipeHalf = big ? 4 : 3;     // pipe rows mid - pipeHalf .. mid + pipeHalf - 1
    const int flangeHalf = big ? 8 : 6;   // coupling rows mid - flangeHalf .. mid + flangeHalf - 1
    const int flangeWidth = big ? 4 : 3;  // each of the two flanges
    auto set = [&img](int x, int y, IconInk ink) { img.setPixel(x, y, ink); };
    for (int x = 0; x < side; ++x) {
        set(x, mid - pipeHalf, Outline);
        set(x, mid + pipeHalf - 1, Outline);
        for (int y = mid - pipeHalf + 1; y < mid + pipeHalf - 1; ++y)
            set(x, y, Pipe);
        set(x, mid - pipeHalf + 2, Shine);
    }
    // Two flanges meeting in the middle, each a black-edged block with a bolt near each end.
    for (int f = 0; f < 2; ++f) {
        const int x0 = f == 0 ? mid - flangeWidth : mid;
        const int x1 = x0 + flangeWidth - 1;
        for (int y = mid - flangeHalf; y < mid + flangeHalf; ++y)
            for (int x = x0; x <= x1; ++x) {
                bool edge =
                    x == x0 || x == x1 || y == mid - flangeHalf || y == mid + flangeHalf - 1;
                set(x, y, edge ? Outline : Pipe);
            }
        const int boltX = f == 0 ? x0 + 1 : x1 - 1;
        set(boltX, mid - flangeHalf + 2, Outline);
        set(boltX, mid + flangeHalf - 3, Outline);
        if (big) set(f == 0 ? x0 + 2 : x1 - 2, mid - flangeHalf + 1, Shine);
    }
    return img;
}

QByteArray IcoFile(const std::vector<QImage>& images) {
    constexpr int DirSize = 6, EntrySize = 16, InfoSize = 40, PaletteSize = 256 * 4;
    QByteArray out;
    PutLE(out, 0, 2);  // reserved
    PutLE(out, 1, 2);  // an icon, not a cursor
    PutLE(out, static_cast<quint32>(images.size()), 2);
    quint32 offset = DirSize + EntrySize * static_cast<quint32>(images.size());
    auto rowBytes = [](int bits) { return ((bits + 31) / 32) * 4; };
    auto dataSize = [&](const QImage& img) {
        return static_cast<quint32>(InfoSize + PaletteSize +
                                    (rowBytes(img.width() * 8) + rowBytes(img.width())) *
                                        img.height());
    };
    for (const QImage& img : images) {
        out.append(static_cast<char>(img.width()));
        out.append(static_cast<char>(img.height()));
        out.append('\0');  // 0 colours means a full 256-entry palette
        out.append('\0');
        PutLE(out, 1, 2);  // planes
        PutLE(out, 8, 2);  // bits per pixel
        PutLE(out, dataSize(img), 4);
        PutLE(out, offset, 4);
        offset += dataSize(img);
    }
    for (const QImage& img : images) {
        const int w = img.width(), h = img.height();
        PutLE(out, InfoSize, 4);
        PutLE(out, static_cast<quint32>(w), 4);
        PutLE(out, static_cast<quint32>(2 * h), 4);  // colour rows and mask rows together
        PutLE(out, 1, 2);
        PutLE(out, 8, 2);
        PutLE(out, 0, 4);  // uncompressed
        PutLE(out, static_cast<quint32>(rowBytes(w * 8) * h + rowBytes(w) * h), 4);
        PutLE(out, 0, 4);
        PutLE(out, 0, 4);
        PutLE(out, 256, 4);  // colours used
        PutLE(out, 0, 4);
        const QList<QRgb> table = img.colorTable();
        for (int i = 0; i < 256; ++i) {
            const QRgb c = i < table.size() ? table[i] : 0;
            out.append(static_cast<char>(qBlue(c)));
            out.append(static_cast<char>(qGreen(c)));
            out.append(static_cast<char>(qRed(c)));
            out.append('\0');
        }
        for (int y = h - 1; y >= 0; --y) {  // bottom-up, like every bitmap
            out.append(reinterpret_cast<const char*>(img.constScanLine(y)), w);
            out.append(QByteArray(rowBytes(w * 8) - w, '\0'));
        }
        out.append(QByteArray(rowBytes(w) * h, '\0'));  // mask: every pixel opaque
    }
    return out;
}

}  // namespace kov::art
