// The menu bar, built from the game's menu table: captions in UTF-16, the function key after a
// tab ("Новая\tF2"), separators, submenus and the check marks the controller keeps.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

#include "game/GameController.h"

namespace kov::win {

// Menu item n of the table has the command identifier FirstMenuId + n.
inline constexpr UINT FirstMenuId = 1000;

HMENU BuildMenuBar(const GameController& game);

// The command of a chosen menu identifier, if it is one of the table's.
std::optional<Command> MenuCommand(UINT id);

void SetMark(HMENU bar, std::size_t entry, bool checked);

}  // namespace kov::win
