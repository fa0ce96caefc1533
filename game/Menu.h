// The commands of the game and its menu bar as data: every front end builds its menu from this
// table and asks the controller for the check marks.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "play/Keys.h"

namespace kov {

enum class Command {
    NewGame,
    Rescramble,
    RandomPipeCount,
    Pipes1,  // Pipes1 + (n - 1) wants n pipes, up to Pipes10
    Pipes2,
    Pipes3,
    Pipes4,
    Pipes5,
    Pipes6,
    Pipes7,
    Pipes8,
    Pipes9,
    Pipes10,
    Size25x15,  // in the order of BoardSizes
    Size20x13,
    Size15x11,
    Size10x9,
    Size8x8,
    Size7x7,
    Size6x6,
    Size5x5,
    LargePictures,
    SmallPictures,
    ToggleShortPipes,
    ToggleTees,
    ToggleGrid,
    LayOnePipe,
};

inline constexpr int CommandCount = static_cast<int>(Command::LayOnePipe) + 1;

constexpr Command PipesCommand(int n) {
    return static_cast<Command>(static_cast<int>(Command::Pipes1) + n - 1);
}
constexpr Command SizeCommand(int sizeIndex) {
    return static_cast<Command>(static_cast<int>(Command::Size25x15) + sizeIndex);
}

struct MenuEntry {
    int depth;                       // 0 on the menu bar, 1 in its menu, 2 in a submenu
    std::string_view id;             // a stable name for the entry
    std::string_view caption;        // UTF-8; "-" makes a separator
    std::optional<Command> command;  // none for menus and separators
    int shortcut;                    // a function key as a virtual-key code, or 0
    std::string_view shortcutLabel;  // "F2", or empty
    bool checkable;

    bool IsSeparator() const { return caption == "-"; }
};

// The whole menu bar in display order. An entry followed by deeper entries opens a menu that
// holds them.
std::span<const MenuEntry> MenuEntries();

// The position of a command's entry in MenuEntries().
std::size_t MenuIndexOf(Command command);

// The command a function key runs, if any.
std::optional<Command> CommandForKey(int virtualKey);

}  // namespace kov
