// Runs the game controller with a seed and a list of inputs, then prints the board arrays:
//   gamedump SEED [click:N | double:N | over:N | at:X,Y | key:VK | held:VK | menu:ID]...
// The browser game's test build prints the same dump.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "tools/gamedump/Dump.h"

int main(int argc, char** argv) {
    char* end = nullptr;
    const unsigned long seed = argc >= 2 ? std::strtoul(argv[1], &end, 10) : 0;
    if (argc < 2 || *end != '\0') {
        std::fprintf(
            stderr,
            "usage: gamedump SEED [click:N|double:N|over:N|at:X,Y|key:VK|held:VK|menu:ID]...\n");
        return 2;
    }
    kov::GameController game(std::make_unique<kov::SeededRandom>(static_cast<std::uint32_t>(seed)));
    for (int i = 2; i < argc; ++i) {
        if (!kov::dump::Step(game, argv[i])) {
            std::fprintf(stderr, "gamedump: cannot read the input %s\n", argv[i]);
            return 2;
        }
    }
    std::fputs(kov::dump::Board(game).c_str(), stdout);
    return 0;
}
