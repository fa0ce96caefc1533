#include "AssetFiles.h"

#include <QFile>
#include <cstring>

#include "assets/PictureNames.h"

namespace kov::test {

namespace {

// The five-shade ramp of each colour code, written out here independently of the generator.
constexpr QRgb Ramps[9][5] = {
    {},
    {0x5A5D5A, 0x737573, 0x948E94, 0xADAAAD, 0xC6C3C6},
    {0x840C10, 0xA51018, 0xBD1418, 0xD61421, 0xEF1821},
    {0x9C4510, 0xB55110, 0xCE5D18, 0xE76918, 0xFF7921},
    {0x9C9200, 0xB5AE00, 0xCEC700, 0xE7DF00, 0xFFF700},
    {0x084D21, 0x106929, 0x188231, 0x189A39, 0x21B64A},
    {0x005D84, 0x0071A5, 0x0082BD, 0x0096D6, 0x00A6EF},
    {0x182463, 0x212C7B, 0x29349C, 0x3141B5, 0x3949CE},
    {0x391839, 0x522452, 0x733073, 0x8C3C8C, 0xA549A5},
};
constexpr QRgb Background = 0xC6C7C6;

}  // namespace

QString AssetsDir() {
    return QStringLiteral(KOVELINT_ASSETS_DIR);
}

QByteArray ReadAsset(const QString& relative) {
    QFile f(AssetsDir() + QLatin1Char('/') + relative);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray PictureBytes(int slot) {
    return ReadAsset(QString::fromStdString(art::PictureFile(slot)));
}

QImage PictureImage(int slot) {
    QImage img;
    img.loadFromData(PictureBytes(slot), "BMP");
    return img.convertToFormat(QImage::Format_RGB32);
}

InkMap Inks(int slot) {
    const QImage img = PictureImage(slot);
    const int colour = art::ColourOfSlot(slot);
    InkMap m;
    for (auto& row : m)
        row.fill(Unknown);
    for (int y = 0; y < N && !img.isNull(); ++y)
        for (int x = 0; x < N; ++x) {
            const QRgb c = img.pixel(x, y) & 0xFFFFFF;
            if (c == 0) m[y][x] = Black;
            if (c == Background) m[y][x] = Back;
            for (int s = 0; s < 5 && colour > 0; ++s)
                if (c == Ramps[colour][s]) m[y][x] = s;
        }
    return m;
}

std::vector<int> Slots() {
    std::vector<int> all;
    for (int s = art::FirstSlot; s <= art::LastSlot; ++s)
        if (art::HasPicture(s)) all.push_back(s);
    return all;
}

std::array<int, N> Row(const char* text) {
    std::array<int, N> row{};
    for (int x = 0; x < N; ++x) {
        const char ch = x < static_cast<int>(std::strlen(text)) ? text[x] : '?';
        row[x] = ch == '#' ? Black : ch == '.' ? Back : ch >= '0' && ch <= '4' ? ch - '0' : Unknown;
    }
    return row;
}

}  // namespace kov::test
