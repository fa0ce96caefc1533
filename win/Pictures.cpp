#include "win/Pictures.h"

#include <cstring>

#include "assets/PictureNames.h"
#include "win/Resources.h"

namespace kov::win {

namespace {

// A bitmap resource is the bitmap file without its 14-byte file header: the information header,
// then the rows bottom-up, each padded to 4 bytes.
bool Decode(const void* data, DWORD size, Picture* out) {
    constexpr DWORD RowBytes = (PictureSide * 3 + 3) / 4 * 4;
    BITMAPINFOHEADER head;
    if (data == nullptr || size < sizeof head) return false;
    std::memcpy(&head, data, sizeof head);
    if (head.biSize != sizeof head || head.biWidth != PictureSide || head.biHeight != PictureSide ||
        head.biPlanes != 1 || head.biBitCount != 24 || head.biCompression != BI_RGB ||
        head.biClrUsed != 0 || size < sizeof head + RowBytes * PictureSide)
        return false;
    const auto* rows = static_cast<const unsigned char*>(data) + sizeof head;
    for (int y = 0; y < PictureSide; ++y) {
        const unsigned char* row = rows + static_cast<std::size_t>(PictureSide - 1 - y) * RowBytes;
        for (int x = 0; x < PictureSide; ++x) {
            const unsigned char* bgr = row + x * 3;
            (*out)[static_cast<std::size_t>(y * PictureSide + x)] =
                static_cast<std::uint32_t>(bgr[0]) | static_cast<std::uint32_t>(bgr[1]) << 8 |
                static_cast<std::uint32_t>(bgr[2]) << 16;
        }
    }
    return true;
}

}  // namespace

bool PictureSet::Load(HMODULE module, std::wstring* why) {
    for (int slot = 0; slot < PictureSlots; ++slot) {
        if (!art::HasPicture(slot)) continue;
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDB_PICTURE_BASE + slot), RT_BITMAP);
        HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
        const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
        const DWORD size = found != nullptr ? SizeofResource(module, found) : 0;
        if (!Decode(data, size, &pictures_[static_cast<std::size_t>(slot)])) {
            *why = L"picture " + std::to_wstring(slot) +
                   (data == nullptr ? L" is missing" : L" is not a 35 x 35, 24-bit bitmap");
            return false;
        }
    }
    return true;
}

const Picture& PictureSet::operator[](int slot) const {
    if (!art::HasPicture(slot)) slot = 0;
    return pictures_[static_cast<std::size_t>(slot)];
}

}  // namespace kov::win
