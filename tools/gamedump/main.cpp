// Runs the game controller with a seed and a list of inputs, then prints the board arrays:
//   gamedump SEED [click:N | double:N | over:N | key:VK | menu:ID]...
// A function key runs its command as the window does; the browser game prints the same dump.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "game/Menu.h"
#include "tools/gamedump/Dump.h"

int main(int argc, char** argv) {
    char* end = nullptr;
    const unsigned long seed = argc >= 2 ? std::strtoul(argv[1], &end, 10) : 0;
    if (argc < 2 || *end != '\0') {
        std::fprintf(stderr, "usage: gamedump SEED [click:N|double:N|over:N|key:VK|menu:ID]...\n");
        return 2;
    }
    kov::GameController game(std::make_unique<kov::ClockRandom>(static_cast<std::uint32_t>(seed)));
    for (int i = 2; i < argc; ++i) {
        const std::string_view step = argv[i];
        // The window runs a function key's command through its menu action.
        if (step.starts_with("key:")) {
            if (const auto command = kov::CommandForKey(std::atoi(argv[i] + 4))) {
                game.Run(*command);
                continue;
            }
        }
        if (!kov::dump::Step(game, step)) {
            std::fprintf(stderr, "gamedump: cannot read the input %s\n", argv[i]);
            return 2;
        }
    }
    std::fputs(kov::dump::Board(game).c_str(), stdout);
    return 0;
}
