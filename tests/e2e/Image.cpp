#include "Image.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

namespace e2e {

PictureSet::PictureSet(const std::filesystem::path& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("slot-", 0) != 0 || entry.path().extension() != ".bmp") continue;
        const QImage img(QString::fromStdString(entry.path().string()), "BMP");
        if (img.isNull()) throw std::runtime_error("not a bitmap: " + entry.path().string());
        bySlot_[std::stoi(name.substr(5, 2))] = img.convertToFormat(QImage::Format_RGB32);
    }
}

int PictureSet::Identify(const QImage& cell) const {
    for (const auto& [slot, img] : bySlot_)
        if (img == cell) return slot;
    return -1;
}

int TileTurned(int tile, int quarters) {
    const int q = ((quarters % 4) + 4) % 4;
    if (tile == 2 || tile == 3) return 2 + (tile - 2 + q) % 2;
    if (tile >= 4 && tile <= 7) return 4 + (tile - 4 + q) % 4;
    if (tile >= 8 && tile <= 11) return 8 + (tile - 8 + q) % 4;
    return tile;
}

bool IsGreyShade(std::uint32_t rgb) {
    static constexpr std::array<std::uint32_t, 5> ramp = {0x5A5D5A, 0x737573, 0x948E94, 0xADAAAD,
                                                          0xC6C3C6};
    return std::find(ramp.begin(), ramp.end(), rgb) != ramp.end();
}

}  // namespace e2e
