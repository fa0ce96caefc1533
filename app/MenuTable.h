// The whole menu bar as one table, in display order.
#pragma once

#include <span>

#include "board/Tiles.h"

namespace kov {

class frmMain;

struct MenuEntry {
    int depth;              // 0 on the menu bar, 1 in its menu, 2 in a submenu
    const char* name;       // the objectName of the action (and of the menu it opens)
    const char* caption;    // UTF-8; "-" makes a separator
    int key;                // the shortcut, a Qt key, or 0
    bool checkable;         // carries a check mark
    bool markedAtStart;     // agrees with the defaults the start-up sets
    void (*run)(frmMain&);  // null for menus and separators
};

// An entry followed by deeper entries opens a menu holding them.
std::span<const MenuEntry> MenuTable();

struct BoardSize {
    Int16 cols;
    Int16 rows;
};

// The board sizes of the "Размер поля" items, in menu order.
inline constexpr BoardSize BoardSizes[8] = {{25, 15}, {20, 13}, {15, 11}, {10, 9},
                                            {8, 8},   {7, 7},   {6, 6},   {5, 5}};

}  // namespace kov
