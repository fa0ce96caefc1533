// The game controller for the page: one game object with the controller's calls, the menu as
// plain objects, the page's few fixed values, and the keys of the browser as the game's codes.
#include <emscripten/bind.h>

#include <string>
#include <string_view>
#include <vector>

#include "board/Tiles.h"
#include "game/Defaults.h"
#include "game/Menu.h"
#include "generator/Random.h"
#include "web/WebGame.h"

namespace kov::web {

namespace {

using emscripten::val;

// The picture sheet the page draws from: picture p at column p % 12, row p / 12.
constexpr int SheetColumns = 12;

// UTF-8 text as a JavaScript string.
val Text(std::string_view s) {
    return val(std::string(s));
}

// A flat list of whole numbers as an Int32Array the page owns.
val Ints(const std::vector<int>& v) {
    val copy = val::global("Int32Array").new_(v.size());
    copy.call<void>("set", val(emscripten::typed_memory_view(v.size(), v.data())));
    return copy;
}

}  // namespace

WebGame::WebGame(unsigned seed) : game_(std::make_unique<SeededRandom>(seed)) {}

void WebGame::Run(int command) {
    if (command >= 0 && command < CommandCount) game_.Run(static_cast<Command>(command));
}

val WebGame::Caption() const {
    return val(game_.Caption());
}

bool WebGame::Checked(int entry) const {
    return entry >= 0 && game_.Checked(static_cast<std::size_t>(entry));
}

val WebGame::CellRect(int cell) const {
    const PixelRect r = game_.CellRect(cell);
    val o = val::object();
    o.set("left", r.left);
    o.set("top", r.top);
    o.set("width", r.width);
    o.set("height", r.height);
    return o;
}

val WebGame::BoardPixels() const {
    const PixelSize p = game_.BoardPixels();
    val o = val::object();
    o.set("width", p.width);
    o.set("height", p.height);
    return o;
}

val WebGame::TakeChanges() {
    const Changes c = game_.TakeChanges();
    std::vector<int> marks;
    for (const MarkChange& m : c.marks) {
        marks.push_back(static_cast<int>(m.entry));
        marks.push_back(m.checked ? 1 : 0);
    }
    std::vector<int> cells;
    for (const CellPicture& p : c.cells) {
        cells.push_back(p.cell);
        cells.push_back(p.picture);
    }
    val o = val::object();
    o.set("rebuilt", c.rebuilt);
    o.set("reLaid", c.reLaid);
    o.set("caption", c.caption);
    o.set("close", c.close);
    o.set("marks", Ints(marks));
    o.set("cells", Ints(cells));
    return o;
}

namespace {

// The menu bar in display order: {depth, id, caption, separator, command (-1 for none),
// shortcutLabel, checkable}.
val Menu() {
    val list = val::array();
    for (const MenuEntry& e : MenuEntries()) {
        val o = val::object();
        o.set("depth", e.depth);
        o.set("id", Text(e.id));
        o.set("caption", Text(e.caption));
        o.set("separator", e.IsSeparator());
        o.set("command", e.command ? static_cast<int>(*e.command) : -1);
        o.set("shortcutLabel", Text(e.shortcutLabel));
        o.set("checkable", e.checkable);
        list.call<void>("push", o);
    }
    return list;
}

// What the page and the script that builds it take from the game: the name, the pictures'
// edge and number, the sheet's layout and the ground's grey.
val Constants() {
    val o = val::object();
    o.set("name", Text(GameName));
    o.set("pictureEdge", static_cast<int>(SmallTiles));
    o.set("pictureSlots", PictureSlots);
    o.set("sheetColumns", SheetColumns);
    o.set("ground", BoardGround);
    return o;
}

// The browser's name of a key (KeyboardEvent.key) as the game's virtual-key code; 0 for a key
// the game has no code for. Modifiers play no part.
int VirtualKey(const std::string& key) {
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

unsigned ClockSeed() {
    return SeedFromClock();
}

}  // namespace

}  // namespace kov::web

EMSCRIPTEN_BINDINGS(kovelint) {
    using kov::web::WebGame;
    emscripten::class_<WebGame>("Game")
        .constructor<unsigned>()
        .function("run", &WebGame::Run)
        .function("pointerAt", &WebGame::PointerAt)
        .function("clickAt", &WebGame::ClickAt)
        .function("doubleClickAt", &WebGame::DoubleClickAt)
        .function("keyDown", &WebGame::KeyDown)
        .function("caption", &WebGame::Caption)
        .function("cellCount", &WebGame::CellCount)
        .function("checked", &WebGame::Checked)
        .function("cellAt", &WebGame::CellAt)
        .function("shownPicture", &WebGame::ShownPicture)
        .function("cellRect", &WebGame::CellRect)
        .function("boardPixels", &WebGame::BoardPixels)
        .function("takeChanges", &WebGame::TakeChanges);
    emscripten::function("menu", &kov::web::Menu);
    emscripten::function("constants", &kov::web::Constants);
    emscripten::function("virtualKey", &kov::web::VirtualKey);
    emscripten::function("clockSeed", &kov::web::ClockSeed);
}
