// The picture set as the program reads it from its own resources, and the board bitmap the
// window copies to the screen: every picture pixel becomes a whole block of device pixels.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets/PictureNames.h"
#include "game/Defaults.h"
#include "win/Board.h"
#include "win/Pictures.h"

namespace kov::win {
namespace {

constexpr std::uint32_t Ground = 0x808080;

PictureSet LoadedPictures() {
    PictureSet pictures;
    std::wstring why;
    EXPECT_TRUE(pictures.Load(GetModuleHandleW(nullptr), &why))
        << std::string(why.begin(), why.end());
    return pictures;
}

std::vector<unsigned char> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Pictures, EverySlotHoldsItsOwnFilePixelForPixel) {
    const PictureSet pictures = LoadedPictures();
    for (int slot = 0; slot < PictureSlots; ++slot) {
        if (!art::HasPicture(slot)) continue;
        const std::vector<unsigned char> file =
            FileBytes(std::string(KOVELINT_ASSETS) + "/" + art::PictureFile(slot));
        ASSERT_EQ(file.size(), static_cast<std::size_t>(art::BmpFileSize)) << slot;
        // The file's rows run bottom-up, 108 bytes each, blue first.
        int wrong = 0;
        for (int y = 0; y < PictureSide; ++y) {
            for (int x = 0; x < PictureSide; ++x) {
                const unsigned char* bgr = file.data() + 54 + (PictureSide - 1 - y) * 108 + x * 3;
                const std::uint32_t want = bgr[2] << 16 | bgr[1] << 8 | bgr[0];
                wrong += pictures[slot][static_cast<std::size_t>(y * PictureSide + x)] != want;
            }
        }
        EXPECT_EQ(wrong, 0) << "slot " << slot;
    }
}

TEST(Pictures, ASlotWithoutAPictureGivesTheBlankOne) {
    const PictureSet pictures = LoadedPictures();
    EXPECT_EQ(pictures[1], pictures[0]);
    EXPECT_EQ(pictures[PictureSlots], pictures[0]);
}

// After painting one cell of a 100 x 90 board: each picture pixel fills its own block of
// (edge / 35 * scale) device pixels square, and everything outside the cell is ground.
void ExpectCellBlocks(int edge, int scale) {
    const PictureSet pictures = LoadedPictures();
    const Picture& picture = pictures[60];  // the green cross: many colours, no symmetry of rows
    BoardBitmap board;
    ASSERT_TRUE(board.Reset({100, 90}, scale));
    ASSERT_EQ(board.Width(), 100 * scale);
    ASSERT_EQ(board.Height(), 90 * scale);
    const PixelRect cell{BoardMargin + 2, BoardMargin, edge, edge};
    board.Paint(cell, picture);

    const int block = edge / PictureSide * scale;
    int wrong = 0;
    for (int y = 0; y < board.Height(); ++y) {
        for (int x = 0; x < board.Width(); ++x) {
            const int inX = x - cell.left * scale, inY = y - cell.top * scale;
            const bool inside = inX >= 0 && inY >= 0 && inX < edge * scale && inY < edge * scale;
            const std::uint32_t want =
                inside ? picture[static_cast<std::size_t>(inY / block * PictureSide + inX / block)]
                       : Ground;
            wrong += board.Pixel(x, y) != want;
        }
    }
    EXPECT_EQ(wrong, 0) << edge << " px cells at scale " << scale;
}

TEST(Board, SmallCellsAreThePicturesAsDrawn) {
    ExpectCellBlocks(SmallTiles, 1);
}

TEST(Board, LargeCellsDoubleEveryPicturePixel) {
    ExpectCellBlocks(LargeTiles, 1);
}

TEST(Board, AtTwiceTheScreenScaleEveryBoardPixelIsTwoByTwo) {
    ExpectCellBlocks(SmallTiles, 2);
    ExpectCellBlocks(LargeTiles, 2);
}

}  // namespace
}  // namespace kov::win
