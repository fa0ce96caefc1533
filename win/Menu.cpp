#include "win/Menu.h"

#include <string>
#include <vector>

#include "win/Text.h"

namespace kov::win {

HMENU BuildMenuBar(const GameController& game) {
    const std::span<const MenuEntry> entries = MenuEntries();
    HMENU bar = CreateMenu();
    // open[d] takes the entries of depth d: the bar, then each menu as it opens.
    std::vector<HMENU> open{bar};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const MenuEntry& e = entries[i];
        const auto depth = static_cast<std::size_t>(e.depth);
        if (depth >= open.size()) continue;  // a table that skips a level
        open.resize(depth + 1);
        HMENU into = open[depth];
        if (e.IsSeparator()) {
            AppendMenuW(into, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::wstring text = Widen(e.caption);
        if (!e.shortcutLabel.empty()) text += L'\t' + Widen(e.shortcutLabel);
        const bool opens = i + 1 < entries.size() && entries[i + 1].depth > e.depth;
        if (opens) {
            HMENU menu = CreatePopupMenu();
            AppendMenuW(into, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu), text.c_str());
            open.push_back(menu);
        } else {
            const UINT flags = MF_STRING | (game.Checked(i) ? MF_CHECKED : MF_UNCHECKED);
            AppendMenuW(into, flags, FirstMenuId + i, text.c_str());
        }
    }
    return bar;
}

std::optional<Command> MenuCommand(UINT id) {
    const std::span<const MenuEntry> entries = MenuEntries();
    if (id < FirstMenuId || id - FirstMenuId >= entries.size()) return std::nullopt;
    return entries[id - FirstMenuId].command;
}

void SetMark(HMENU bar, std::size_t entry, bool checked) {
    CheckMenuItem(bar, FirstMenuId + static_cast<UINT>(entry),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace kov::win
