// What only the page's test build adds to the module: the board arrays of a game, as the native
// gamedump prints them, so the tests can hold the two builds side by side.
#include <emscripten/emscripten.h>

#include <string>

#include "tools/gamedump/Dump.h"
#include "web/WebGame.h"

extern "C" EMSCRIPTEN_KEEPALIVE const char* kov_dump(const kov::web::WebGame* game) {
    static std::string text;
    text = kov::dump::Board(game->controller);
    return text.c_str();
}
