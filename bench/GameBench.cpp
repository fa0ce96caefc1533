// The controller's share: a new game on the largest board with its repaint list, and one click
// from the call to the list of cells to repaint. The figures a front end adds are its own.
#include <benchmark/benchmark.h>

#include "game/GameController.h"

namespace {

// The largest board with ten pipes wanted, as a player sets it from the menu.
kov::GameController LargestBoard() {
    kov::GameController game(std::make_unique<kov::SeededRandom>(12345));
    game.Run(kov::Command::Size25x15);
    game.Run(kov::Command::Pipes10);
    game.TakeChanges();
    return game;
}

void ControllerNewGame(benchmark::State& state) {
    kov::GameController game = LargestBoard();
    if (state.range(0) == 0) game.Run(kov::Command::ToggleShortPipes);
    for (auto _ : state) {
        game.Run(kov::Command::NewGame);
        benchmark::DoNotOptimize(game.TakeChanges());
    }
}
BENCHMARK(ControllerNewGame)->ArgName("short")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void ControllerClick(benchmark::State& state) {
    kov::GameController game = LargestBoard();
    int n = 0;
    for (auto _ : state) {
        if (game.State().solved != 0) {
            state.PauseTiming();
            game.Run(kov::Command::Rescramble);
            game.TakeChanges();
            state.ResumeTiming();
        }
        do
            n = n % 375 + 1;
        while (!kov::IsTurnable(game.State().cellTile[n]));
        const kov::PixelRect r = game.CellRect(n);
        game.ClickAt(r.left + r.width / 2, r.top + r.height / 2);
        benchmark::DoNotOptimize(game.TakeChanges());
    }
}
BENCHMARK(ControllerClick)->Unit(benchmark::kNanosecond);

}  // namespace
