// The game controller for the page as plain C calls: a game made and ended, the controller's
// calls on it, the menu and the page's few fixed values as JSON text, and the keys of the
// browser as the game's codes. Texts are UTF-8 and numbers whole; every answer stays valid
// until the next call of the same kind. The page's script wraps them into objects.
#include <emscripten/emscripten.h>

#include <string>
#include <string_view>

#include "board/Tiles.h"
#include "game/Defaults.h"
#include "game/Menu.h"
#include "play/Keys.h"
#include "web/WebGame.h"

namespace kov::web {

namespace {

// The picture sheet the page draws from: picture p at column p % 12, row p / 12.
constexpr int SheetColumns = 12;

// A JSON string; the captions hold no control characters, but quotes and backslashes are kept.
void Quoted(std::string& out, std::string_view s) {
    out += '"';
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
}

void Field(std::string& out, std::string_view name, std::string_view text) {
    Quoted(out, name);
    out += ':';
    Quoted(out, text);
}

void Field(std::string& out, std::string_view name, long number) {
    Quoted(out, name);
    out += ':';
    out += std::to_string(number);
}

void Field(std::string& out, std::string_view name, bool flag) {
    Quoted(out, name);
    out += flag ? ":true" : ":false";
}

// The menu bar in display order: [{depth, id, caption, separator, command (-1 for none),
// shortcutLabel, checkable}, ...].
std::string MenuJson() {
    std::string out = "[";
    for (const MenuEntry& e : MenuEntries()) {
        if (out.size() > 1) out += ',';
        out += '{';
        Field(out, "depth", static_cast<long>(e.depth));
        out += ',';
        Field(out, "id", e.id);
        out += ',';
        Field(out, "caption", e.caption);
        out += ',';
        Field(out, "separator", e.IsSeparator());
        out += ',';
        Field(out, "command", e.command ? static_cast<long>(*e.command) : -1L);
        out += ',';
        Field(out, "shortcutLabel", e.shortcutLabel);
        out += ',';
        Field(out, "checkable", e.checkable);
        out += '}';
    }
    return out + ']';
}

// What the page and the script that builds it take from the game: the name, the pictures'
// edge and number, the sheet's layout and the ground's grey.
std::string ConstantsJson() {
    std::string out = "{";
    Field(out, "name", GameName);
    out += ',';
    Field(out, "pictureEdge", static_cast<long>(SmallTiles));
    out += ',';
    Field(out, "pictureSlots", static_cast<long>(PictureSlots));
    out += ',';
    Field(out, "sheetColumns", static_cast<long>(SheetColumns));
    out += ',';
    Field(out, "ground", static_cast<long>(BoardGround));
    return out + '}';
}

// The browser's name of a key (KeyboardEvent.key) as the game's virtual-key code; 0 for a key
// the game has no code for. Modifiers play no part.
int VirtualKey(std::string_view key) {
    static constexpr std::pair<std::string_view, int> Named[] = {{"Escape", vk::Escape},
                                                                 {"ArrowLeft", vk::Left},
                                                                 {"ArrowUp", vk::Up},
                                                                 {"ArrowRight", vk::Right},
                                                                 {"ArrowDown", vk::Down}};
    for (const auto& [name, code] : Named)
        if (key == name) return code;
    // F1 to F12: 112 to 123.
    if (key.size() >= 2 && key.size() <= 3 && key[0] == 'F') {
        int n = 0;
        for (std::size_t i = 1; i < key.size(); ++i) {
            if (key[i] < '0' || key[i] > '9') return 0;
            n = n * 10 + (key[i] - '0');
        }
        if (n >= 1 && n <= 12) return vk::F1 + n - 1;
    }
    return 0;
}

// The longest key name the page hands over, with room for its NUL.
char keyName[16];

}  // namespace

}  // namespace kov::web

using kov::web::WebGame;

extern "C" {

EMSCRIPTEN_KEEPALIVE WebGame* kov_game_new(unsigned seed) {
    return new WebGame(seed);
}

EMSCRIPTEN_KEEPALIVE void kov_game_delete(WebGame* game) {
    delete game;
}

// A command by its number in the controller's list; anything else is ignored.
EMSCRIPTEN_KEEPALIVE void kov_run(WebGame* game, int command) {
    if (command >= 0 && command < kov::CommandCount)
        game->controller.Run(static_cast<kov::Command>(command));
}

EMSCRIPTEN_KEEPALIVE void kov_pointer_at(WebGame* game, int x, int y) {
    game->controller.PointerAt(x, y);
}

EMSCRIPTEN_KEEPALIVE void kov_click_at(WebGame* game, int x, int y) {
    game->controller.ClickAt(x, y);
}

EMSCRIPTEN_KEEPALIVE void kov_double_click_at(WebGame* game, int x, int y) {
    game->controller.DoubleClickAt(x, y);
}

EMSCRIPTEN_KEEPALIVE int kov_key_down(WebGame* game, int virtualKey, int repeat) {
    return game->controller.KeyDown(virtualKey, repeat != 0) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* kov_caption(WebGame* game) {
    game->caption = game->controller.Caption();
    return game->caption.c_str();
}

EMSCRIPTEN_KEEPALIVE int kov_cell_count(const WebGame* game) {
    return game->controller.CellCount();
}

EMSCRIPTEN_KEEPALIVE int kov_checked(const WebGame* game, int entry) {
    return entry >= 0 && game->controller.Checked(static_cast<std::size_t>(entry)) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const int* kov_cell_rects(WebGame* game) {
    game->cells.clear();
    for (int n = 1; n <= game->controller.CellCount(); ++n) {
        const kov::PixelRect r = game->controller.CellRect(n);
        game->cells.insert(game->cells.end(), {r.left, r.top, r.width, r.height});
    }
    return game->cells.data();
}

EMSCRIPTEN_KEEPALIVE const int* kov_shown_pictures(WebGame* game) {
    game->cells.clear();
    for (int n = 1; n <= game->controller.CellCount(); ++n)
        game->cells.push_back(game->controller.ShownPicture(n));
    return game->cells.data();
}

EMSCRIPTEN_KEEPALIVE const int* kov_board_pixels(WebGame* game) {
    const kov::PixelSize p = game->controller.BoardPixels();
    game->size = {p.width, p.height};
    return game->size.data();
}

EMSCRIPTEN_KEEPALIVE const int* kov_take_changes(WebGame* game) {
    const kov::Changes c = game->controller.TakeChanges();
    std::vector<int>& out = game->changes;
    out.assign({c.rebuilt, c.reLaid, c.caption, c.close, static_cast<int>(c.marks.size()),
                static_cast<int>(c.cells.size())});
    for (const kov::MarkChange& m : c.marks) {
        out.push_back(static_cast<int>(m.entry));
        out.push_back(m.checked ? 1 : 0);
    }
    for (const kov::CellPicture& p : c.cells) {
        out.push_back(p.cell);
        out.push_back(p.picture);
    }
    return out.data();
}

EMSCRIPTEN_KEEPALIVE const char* kov_menu() {
    static const std::string json = kov::web::MenuJson();
    return json.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* kov_constants() {
    static const std::string json = kov::web::ConstantsJson();
    return json.c_str();
}

// Where the page writes a key's name of `length` bytes before asking for its code; none for a
// name too long to be one of the game's keys.
EMSCRIPTEN_KEEPALIVE char* kov_key_name(int length) {
    return length >= 0 && length < static_cast<int>(sizeof kov::web::keyName) ? kov::web::keyName
                                                                              : nullptr;
}

EMSCRIPTEN_KEEPALIVE int kov_virtual_key() {
    return kov::web::VirtualKey(kov::web::keyName);
}

// The seed for a time of day the page reads from the browser's clock. The C library's localtime,
// which SeedFromClock reads, would first set up the time zone through the module's script, and
// at start-up that costs more than the whole first game.
EMSCRIPTEN_KEEPALIVE unsigned kov_clock_seed(int hour, int minute, int second, int millisecond) {
    return kov::SeedFromTimeOfDay(hour, minute, second, millisecond);
}

}  // extern "C"
