// The model's share of a new game and of a turn, on the start board and on the largest one.
#include <benchmark/benchmark.h>

#include "generator/Generator.h"
#include "play/Play.h"

namespace {

kov::GameState Board(int cols, int rows, int shortPipes) {
    kov::GameState s;
    s.mapCols = static_cast<kov::Int16>(cols);
    s.mapRows = static_cast<kov::Int16>(rows);
    s.shortPipes = static_cast<kov::Int16>(shortPipes);
    s.useTees = 1;
    s.wantedPipes = 10;
    return s;
}

// args: columns, rows, short pipes
void NewGame(benchmark::State& state) {
    kov::GameState s = Board(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                             static_cast<int>(state.range(2)));
    kov::SeededRandom rng(12345);
    for (auto _ : state) {
        kov::NewGameModel(s, rng);
        benchmark::DoNotOptimize(s.pipeCount);
    }
}
BENCHMARK(NewGame)
    ->ArgNames({"cols", "rows", "short"})
    ->Args({10, 9, 1})
    ->Args({10, 9, 0})
    ->Args({25, 15, 1})
    ->Args({25, 15, 0})
    ->Unit(benchmark::kMicrosecond);

// One turn's refresh on the largest board, over many puzzles so no single one decides.
void TurnRefresh(benchmark::State& state) {
    kov::GameState s = Board(25, 15, static_cast<int>(state.range(0)));
    kov::SeededRandom rng(777);
    kov::NewGameModel(s, rng);
    int turns = 0;
    for (auto _ : state) {
        kov::ResetColours(s);
        kov::MarkSolvedPipes(s);
        benchmark::DoNotOptimize(s.cellColour.data());
        if (++turns == 1000) {
            state.PauseTiming();
            kov::NewGameModel(s, rng);
            turns = 0;
            state.ResumeTiming();
        }
    }
}
BENCHMARK(TurnRefresh)->ArgName("short")->Arg(1)->Arg(0)->Unit(benchmark::kNanosecond);

}  // namespace
