// Prints a generated board as text: the solution, the scramble, and each pipe's record.
//   boardprint [--size CxR] [--pipes N] [--seed S] [--long] [--no-tees]
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include "game/Defaults.h"
#include "generator/Generator.h"
#include "play/Play.h"

namespace {

// One glyph per tile code: blank, source, straights, corners, tees, cross.
const char* const Glyph[] = {"·", "●", "│", "─", "└", "┌", "┐", "┘", "┴", "├", "┬", "┤", "┼"};

void PrintBoard(const kov::GameState& s, const char* title) {
    const bool colours = isatty(STDOUT_FILENO) != 0;
    std::printf("%s\n", title);
    for (int r = 1; r <= s.mapRows; ++r) {
        for (int c = 1; c <= s.mapCols; ++c) {
            const int n = (r - 1) * s.mapCols + c;
            const int t = s.cellTile[n];
            const int colour = s.cellColour[n];
            // Pipe colours as ANSI colours; grey pieces dim.
            static const int Ansi[] = {0, 90, 31, 33, 93, 32, 36, 34, 35};
            if (colours) {
                std::printf("\033[%dm%s\033[0m", t == 0 ? 0 : Ansi[colour], Glyph[t]);
            } else {
                std::printf("%s", Glyph[t]);
            }
        }
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    kov::GameState s;
    s.mapCols = kov::BoardSizes[kov::StartBoardSize].cols;
    s.mapRows = kov::BoardSizes[kov::StartBoardSize].rows;
    s.wantedPipes = 6;
    s.shortPipes = kov::StartShortPipes;
    s.useTees = kov::StartUseTees;
    std::uint32_t seed = kov::SeedFromClock();
    for (int i = 1; i < argc; ++i) {
        int cols = 0;
        int rows = 0;
        if (!std::strcmp(argv[i], "--size") && i + 1 < argc &&
            std::sscanf(argv[i + 1], "%dx%d", &cols, &rows) == 2 && cols >= 1 && rows >= 1 &&
            cols * rows <= kov::MaxCells) {
            s.mapCols = static_cast<kov::Int16>(cols);
            s.mapRows = static_cast<kov::Int16>(rows);
            ++i;
        } else if (!std::strcmp(argv[i], "--pipes") && i + 1 < argc) {
            const int pipes = std::atoi(argv[++i]);
            s.wantedPipes = static_cast<kov::Int16>(pipes < 1 ? 1 : pipes > 10 ? 10 : pipes);
        } else if (!std::strcmp(argv[i], "--seed") && i + 1 < argc) {
            seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (!std::strcmp(argv[i], "--long")) {
            s.shortPipes = 0;
        } else if (!std::strcmp(argv[i], "--no-tees")) {
            s.useTees = 0;
        } else {
            std::fprintf(stderr,
                         "usage: boardprint [--size CxR] [--pipes N] [--seed S] [--long] "
                         "[--no-tees]\n");
            return 2;
        }
    }

    kov::SeededRandom rng(seed);
    kov::ClearBoard(s);
    kov::GeneratePuzzle(s, rng);
    std::printf("seed %u, %dx%d, %d of %d pipes laid\n", seed, s.mapCols, s.mapRows, s.pipeCount,
                s.wantedPipes);
    PrintBoard(s, "solution:");
    for (int i = 1; i <= s.pipeCount; ++i) {
        std::printf("pipe %d colour %d, %d steps:", i, s.pipeColour[i], s.pipeLength[i]);
        for (int k = 1; k <= s.pipeLength[i]; ++k) {
            std::printf(" %d%s", s.pipeCell[i][k], Glyph[s.pipeTile[i][k]]);
        }
        std::printf("\n");
    }
    kov::ShuffleTiles(s, rng);
    kov::ResetColours(s);
    kov::MarkSolvedPipes(s);
    PrintBoard(s, "scrambled:");
    return 0;
}
