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
    Row(out, "shownTile", &s.shownTile[1], cells);
    Row(out, "shownColour", &s.shownColour[1], cells);
    out += "marks:";
    for (std::size_t e = 0; e < MenuEntries().size(); ++e)
        if (game.Checked(e)) {
            out += ' ';
            out += MenuEntries()[e].id;
        }
    out += '\n';
    return out;
}

// One input: "click:N", "double:N" (the second press of a double click), "over:N", "key:VK"
// (a virtual-key code) or "menu:ID" (a menu entry's id). False for anything else.
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
    if (arg.empty() || *end != '\0') return false;
    const int v = static_cast<int>(n);
    if (verb == "click")
        game.Click(v);
    else if (verb == "double")
        game.DoubleClick(v);
    else if (verb == "over")
        game.PointerOver(v);
    else if (verb == "key")
        game.KeyDown(v);
    else
        return false;
    return true;
}

}  // namespace kov::dump
