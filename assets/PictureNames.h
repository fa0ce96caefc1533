// Where each picture of the set lives, shared by the generator that writes the files and the
// game that embeds them, so the two can never disagree about a name.
#pragma once

#include <string>

#include "board/Tiles.h"

namespace kov::art {

inline constexpr int Side = 35;           // every picture is Side x Side pixels
inline constexpr int BmpFileSize = 3834;  // 54 bytes of headers + 35 rows of 108 bytes
inline constexpr int FirstSlot = 0;
inline constexpr int LastSlot = PictureSlots - 1;

inline constexpr const char* TileNames[13] = {
    "blank",     "source",  "straight-ud", "straight-lr", "corner-ur", "corner-rd", "corner-dl",
    "corner-ul", "tee-url", "tee-urd",     "tee-rdl",     "tee-udl",   "cross"};
inline constexpr const char* ColourNames[9] = {"none",  "grey",      "red",  "orange", "yellow",
                                               "green", "lightblue", "blue", "violet"};

// The tile and colour a slot shows: PictureIndex read backwards.
constexpr int TileOfSlot(int slot) {
    return slot == 0 ? tile::Empty : (slot - 1) % 12 + 1;
}
constexpr int ColourOfSlot(int slot) {
    return slot == 0 ? colour::None : (slot - 1) / 12 + 1;
}
// Slot 1 would be a grey source, which never shows, so PictureIndex never gives it.
constexpr bool HasPicture(int slot) {
    return slot >= FirstSlot && slot <= LastSlot &&
           PictureIndex(static_cast<Int16>(TileOfSlot(slot)),
                        static_cast<Int16>(ColourOfSlot(slot))) == slot;
}

// "pictures/slot-14-red-straight-ud.bmp": the slot first, so a sorted listing is the table.
inline std::string PictureFile(int slot) {
    std::string name = "pictures/slot-";
    name += static_cast<char>('0' + slot / 10);
    name += static_cast<char>('0' + slot % 10);
    name += '-';
    if (slot != 0) {
        name += ColourNames[ColourOfSlot(slot)];
        name += '-';
    }
    name += TileNames[TileOfSlot(slot)];
    name += ".bmp";
    return name;
}

inline constexpr const char* IconFile = "kovelint.ico";
inline constexpr int IconSizes[2] = {24, 16};

}  // namespace kov::art
