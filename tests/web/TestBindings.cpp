// What only the page's test build adds to the module: the board arrays of a game, as the native
// gamedump prints them, so the tests can hold the two builds side by side.
#include <emscripten/bind.h>

#include <string>

#include "tools/gamedump/Dump.h"
#include "web/WebGame.h"

namespace {

std::string Dump(const kov::web::WebGame& game) {
    return kov::dump::Board(game.Controller());
}

}  // namespace

EMSCRIPTEN_BINDINGS(kovelint_tests) {
    emscripten::function("dump", &Dump);
}
