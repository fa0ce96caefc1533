#include "Image.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <stdexcept>
#include <string>

namespace e2e {

Image Image::Crop(int x, int y, int w, int h) const {
    Image out{w, h, {}};
    out.px.reserve(static_cast<std::size_t>(w * h));
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            out.px.push_back(At(x + i, y + j));
    return out;
}

Image Image::TurnedClockwise(int quarters) const {
    Image out = *this;
    for (int q = 0; q < ((quarters % 4) + 4) % 4; ++q) {
        Image turned{out.height, out.width, std::vector<std::uint32_t>(out.px.size())};
        // The pixel at (x, y) lands at (height - 1 - y, x).
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x)
                turned.px[static_cast<std::size_t>(x * turned.width + (out.height - 1 - y))] =
                    out.At(x, y);
        out = std::move(turned);
    }
    return out;
}

namespace {

std::uint32_t Le32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

// 24-bit uncompressed bitmap, rows bottom-up and padded to four bytes.
Image ReadBitmap(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string b(static_cast<std::size_t>(std::filesystem::file_size(file)), '\0');
    in.read(b.data(), static_cast<std::streamsize>(b.size()));
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M')
        throw std::runtime_error("not a bitmap: " + file.string());
    const auto offset = Le32(b, 10);
    const auto w = static_cast<int>(Le32(b, 18));
    const auto h = static_cast<int>(Le32(b, 22));
    const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) / 4 * 4;
    if (b.size() < offset + stride * static_cast<std::size_t>(h))
        throw std::runtime_error("short bitmap: " + file.string());
    Image img{w, h, {}};
    for (int y = 0; y < h; ++y) {
        const std::size_t row = offset + stride * static_cast<std::size_t>(h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const std::size_t p = row + static_cast<std::size_t>(x) * 3;
            img.px.push_back(static_cast<std::uint32_t>(static_cast<unsigned char>(b[p + 2]))
                                 << 16 |
                             static_cast<std::uint32_t>(static_cast<unsigned char>(b[p + 1])) << 8 |
                             static_cast<std::uint32_t>(static_cast<unsigned char>(b[p])));
        }
    }
    return img;
}

}  // namespace

PictureSet::PictureSet(const std::filesystem::path& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("slot-", 0) != 0 || entry.path().extension() != ".bmp") continue;
        const int slot = std::stoi(name.substr(5, 2));
        Image img = ReadBitmap(entry.path());
        byPixels_[img.px] = slot;
        bySlot_[slot] = std::move(img);
    }
}

int PictureSet::Identify(const Image& cell) const {
    const auto it = byPixels_.find(cell.px);
    return it == byPixels_.end() ? -1 : it->second;
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
