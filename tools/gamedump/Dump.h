// The board arrays of a running game as text, and scripted input for it. The native tool and
// the browser game print the same dump, so the two builds can be compared line by line.
#pragma once

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>

#include "game/GameController.h"

namespace kov::dump {

// Text streams would weigh more in the page than the whole game, so the dump builds a string.
inline void Add(std::string& out, std::initializer_list<int> values) {
    for (int v : values) {
        out += ' ';
        out += std::to_string(v);
    }
}

inline void Row(std::string& out, const char* name, const Int16* first, int count) {
    out += name;
    out += ':';
    for (int i = 0; i < count; ++i)
        Add(out, {first[i]});
    out += '\n';
}

// Everything the game decides: the settings, the board, the solution, the shown pictures and
// the check marks.
inline std::string Board(const GameController& game) {
    const GameState& s = game.State();
    const int cells = s.CellCount();
    std::string out = "caption: " + game.Caption() + "\nsettings:";
    Add(out,
        {s.wantedPipes, s.shortPipes, s.useTees, s.showGrid, s.mapCols, s.mapRows, s.tileSize});
    out += "\nplay:";
    Add(out, {s.pipeCount, s.solved, s.hoverCell});
    out += '\n';
    Row(out, "tile", &s.cellTile[1], cells);
    Row(out, "colour", &s.cellColour[1], cells);
    for (int i = 1; i <= s.pipeCount; ++i) {
        out += "pipe " + std::to_string(i) + ":";
        Add(out, {s.pipeColour[i], s.pipeLength[i]});
        out += '\n';
        Row(out, "  cells", &s.pipeCell[i][1], s.pipeLength[i]);
        Row(out, "  tiles", &s.pipeTile[i][1], s.pipeLength[i]);
    }
    out += "shown:";
    for (int n = 1; n <= cells; ++n)
        Add(out, {game.ShownPicture(n)});
    out += '\n';
    out += "marks:";
    for (std::size_t e = 0; e < MenuEntries().size(); ++e)
        if (game.Checked(e)) {
            out += ' ';
            out += MenuEntries()[e].id;
        }
    out += '\n';
    return out;
}

// One input: "click:N", "double:N" (the second press of a double click) or "over:N" at the
// centre of cell N, "at:X,Y" (the pointer at a pixel of the board), "key:VK" (a virtual-key
// code pressed), "held:VK" (its auto-repeat) or "menu:ID" (a menu entry's id). False for
// anything else.
inline bool Step(GameController& game, std::string_view step) {
    const std::size_t colon = step.find(':');
    if (colon == std::string_view::npos) return false;
    const std::string_view verb = step.substr(0, colon);
    const std::string arg(step.substr(colon + 1));
    if (verb == "menu") {
        for (const MenuEntry& e : MenuEntries())
            if (e.id == arg && e.command) {
                game.Run(*e.command);
                return true;
            }
        return false;
    }
    char* end = nullptr;
    const long n = std::strtol(arg.c_str(), &end, 10);
    if (verb == "at" && *end == ',') {
        char* rest = end + 1;
        const long y = std::strtol(rest, &end, 10);
        if (end == rest || *end != '\0') return false;
        game.PointerAt(static_cast<int>(n), static_cast<int>(y));
        return true;
    }
    if (arg.empty() || *end != '\0') return false;
    const int v = static_cast<int>(n);
    if (verb == "key" || verb == "held") {
        game.KeyDown(v, verb == "held");
        return true;
    }
    // A number that is no cell of the board points at the margin, off every cell.
    const bool cell = v >= 1 && v <= game.CellCount();
    const PixelRect r = cell ? game.CellRect(v) : PixelRect{0, 0, 0, 0};
    const int x = r.left + r.width / 2, y = r.top + r.height / 2;
    if (verb == "click")
        game.ClickAt(x, y);
    else if (verb == "double")
        game.DoubleClickAt(x, y);
    else if (verb == "over")
        game.PointerAt(x, y);
    else
        return false;
    return true;
}

}  // namespace kov::dump
