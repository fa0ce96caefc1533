// The game controller for the page: one game object with the controller's calls, the menu as
// plain objects, and each batch of changes as typed arrays the page paints from.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <memory>
#include <string>
#include <vector>

#include "game/GameController.h"
#include "game/Menu.h"
#include "generator/Random.h"
#include "tools/gamedump/Dump.h"

namespace {

using emscripten::val;

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

class WebGame {
  public:
    explicit WebGame(unsigned seed) : game_(std::make_unique<kov::ClockRandom>(seed)) {}

    // A command by its number in the controller's list; anything else is ignored.
    void Run(int command) {
        if (command >= 0 && command < kov::CommandCount)
            game_.Run(static_cast<kov::Command>(command));
    }
    void Click(int cell) { game_.Click(cell); }
    void DoubleClick(int cell) { game_.DoubleClick(cell); }
    void PointerOver(int cell) { game_.PointerOver(cell); }
    void KeyDown(int virtualKey) { game_.KeyDown(virtualKey); }

    val Caption() const { return val(game_.Caption()); }
    int CellCount() const { return game_.CellCount(); }
    bool Checked(int entry) const { return entry >= 0 && game_.Checked(std::size_t(entry)); }
    int CellAt(int x, int y) const { return game_.CellAt(x, y); }

    val CellRect(int cell) const {
        const kov::PixelRect r = game_.CellRect(cell);
        val o = val::object();
        o.set("left", r.left);
        o.set("top", r.top);
        o.set("width", r.width);
        o.set("height", r.height);
        return o;
    }

    val BoardPixels() const {
        const kov::PixelSize p = game_.BoardPixels();
        val o = val::object();
        o.set("width", p.width);
        o.set("height", p.height);
        return o;
    }

    // marks: entry, checked, entry, checked...; cells: cell, picture, cell, picture...
    val TakeChanges() {
        const kov::Changes c = game_.TakeChanges();
        std::vector<int> marks;
        for (const kov::MarkChange& m : c.marks) {
            marks.push_back(static_cast<int>(m.entry));
            marks.push_back(m.checked ? 1 : 0);
        }
        std::vector<int> cells;
        for (const kov::CellPicture& p : c.cells) {
            cells.push_back(p.cell);
            cells.push_back(p.picture);
        }
        val o = val::object();
        o.set("rebuilt", c.rebuilt);
        o.set("relaid", c.relaid);
        o.set("caption", c.caption);
        o.set("close", c.close);
        o.set("marks", Ints(marks));
        o.set("cells", Ints(cells));
        return o;
    }

    // The board arrays, as the native gamedump prints them.
    val Dump() const { return val(kov::dump::Board(game_)); }

  private:
    kov::GameController game_;
};

// The menu bar in display order: {depth, id, caption, separator, command (-1 for none),
// shortcutLabel, checkable}.
val Menu() {
    val list = val::array();
    for (const kov::MenuEntry& e : kov::MenuEntries()) {
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

int CommandForKey(int virtualKey) {
    const auto command = kov::CommandForKey(virtualKey);
    return command ? static_cast<int>(*command) : -1;
}

unsigned ClockSeed() {
    return kov::SeedFromClock();
}

}  // namespace

EMSCRIPTEN_BINDINGS(kovelint) {
    emscripten::class_<WebGame>("Game")
        .constructor<unsigned>()
        .function("run", &WebGame::Run)
        .function("click", &WebGame::Click)
        .function("doubleClick", &WebGame::DoubleClick)
        .function("pointerOver", &WebGame::PointerOver)
        .function("keyDown", &WebGame::KeyDown)
        .function("caption", &WebGame::Caption)
        .function("cellCount", &WebGame::CellCount)
        .function("checked", &WebGame::Checked)
        .function("cellAt", &WebGame::CellAt)
        .function("cellRect", &WebGame::CellRect)
        .function("boardPixels", &WebGame::BoardPixels)
        .function("takeChanges", &WebGame::TakeChanges)
        .function("dump", &WebGame::Dump);
    emscripten::function("menu", &Menu);
    emscripten::function("commandForKey", &CommandForKey);
    emscripten::function("clockSeed", &ClockSeed);
}
