#include "Sheet.h"

#include "Art.h"

namespace kov::art {

namespace {

constexpr int Scale = 2;
constexpr int Cell = Side * Scale;
constexpr int Gap = 10;
constexpr int LabelHeight = 14;
constexpr QRgb Paper = 0xFFFFFFFF;
constexpr QRgb Ink = 0xFF303030;

// Digits 3 x 5, one row of three bits each, so the labels need no font and no display.
constexpr unsigned char Digits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}};

void Label(QImage& sheet, int x, int y, int number) {
    const QString text = QString::number(number);
    int left = x - static_cast<int>(text.size()) * 4 * Scale / 2;
    for (QChar ch : text) {
        const auto& glyph = Digits[ch.digitValue()];
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (glyph[row] & (4 >> col))
                    for (int k = 0; k < Scale * Scale; ++k)
                        sheet.setPixel(left + col * Scale + k % Scale, y + row * Scale + k / Scale,
                                       Ink);
        left += 4 * Scale;
    }
}

void Place(QImage& sheet, int column, int row, int slot) {
    const int x0 = Gap + column * (Cell + Gap);
    const int y0 = Gap + row * (Cell + Gap + LabelHeight);
    if (HasPicture(slot)) {
        const QImage pic = DrawPicture(slot);
        for (int y = 0; y < Cell; ++y)
            for (int x = 0; x < Cell; ++x)
                sheet.setPixel(x0 + x, y0 + y, pic.pixel(x / Scale, y / Scale));
    } else {  // the empty slot: a thin frame, so the gap reads as deliberate
        for (int i = 0; i < Cell; ++i) {
            sheet.setPixel(x0 + i, y0, Ink);
            sheet.setPixel(x0 + i, y0 + Cell - 1, Ink);
            sheet.setPixel(x0, y0 + i, Ink);
            sheet.setPixel(x0 + Cell - 1, y0 + i, Ink);
        }
    }
    Label(sheet, x0 + Cell / 2, y0 + Cell + 2, slot);
}

}  // namespace

QImage ContactSheet() {
    constexpr int Columns = 13, Rows = 8;
    QImage sheet(Gap + Columns * (Cell + Gap), Gap + Rows * (Cell + Gap + LabelHeight),
                 QImage::Format_RGB32);
    sheet.fill(Paper);
    Place(sheet, 0, 0, 0);
    for (int slot = 1; slot <= LastSlot; ++slot)
        Place(sheet, (slot - 1) % 12 + 1, (slot - 1) / 12, slot);
    return sheet;
}

}  // namespace kov::art
