#include "Icon.h"

namespace kov::art {

namespace {

enum IconInk : uchar { Field, Pipe, Outline, Shine, Shadow };

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
    palette[Shine] = qRgb(163, 163, 163);
    palette[Shadow] = qRgb(95, 95, 95);
    img.setColorTable(palette);
    img.fill(Field);
    auto set = [&img](int x, int y, IconInk ink) { img.setPixel(x, y, ink); };
    // The 24-pixel drawing's proportions, scaled down for 16 so both read as the same thing.
    const bool big = side >= 24;
    const int mid = side / 2;
    const int pipeTop = mid - (big ? 4 : 3), pipeBottom = mid + (big ? 3 : 2);
    const int flangeTop = mid - (big ? 8 : 6), flangeBottom = mid + (big ? 7 : 5);
    const int flangeWidth = big ? 5 : 4;
    // The pipe: rounded by a light line near the top and a dark one along the bottom.
    for (int x = 0; x < side; ++x) {
        for (int y = pipeTop; y <= pipeBottom; ++y)
            set(x, y, Pipe);
        set(x, pipeTop + 1, Shine);
        set(x, pipeBottom, Shadow);
    }
    // Two flanges bolted face to face in the middle, each a black-edged block.
    for (int x0 : {mid - flangeWidth, mid}) {
        const int x1 = x0 + flangeWidth - 1;
        for (int y = flangeTop; y <= flangeBottom; ++y)
            for (int x = x0; x <= x1; ++x) {
                const bool edge = x == x0 || x == x1 || y == flangeTop || y == flangeBottom;
                set(x, y, edge ? Outline : Pipe);
            }
        for (int y = flangeTop + 1; y < flangeBottom; ++y)
            set(x0 + 1, y, Shine);
        if (big)  // at 16 pixels a bolt would fill the flange
            for (int y : {flangeTop + 2, flangeBottom - 2})
                set(x0 + flangeWidth / 2, y, Outline);
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
