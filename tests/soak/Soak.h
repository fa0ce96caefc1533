// The soak: the real game window on the offscreen platform, fed a seeded stream of random
// player and menu events, with the whole state checked after every one.
#pragma once

#include <QPoint>
#include <QString>
#include <cstdint>
#include <random>

#include "board/GameState.h"
#include "generator/Random.h"

class QAction;
class QScrollArea;
class QWindow;

#include "game/Menu.h"

namespace kov {
class BoardView;
class PictureSet;
class MainWindow;
}  // namespace kov

namespace kov::soak {

// A message with its %1, %2... filled in order.
template <typename... Args>
QString Say(const char* text, const Args&... args) {
    QString s = QString::fromUtf8(text);
    ((s = s.arg(args)), ...);
    return s;
}

// The pipe records: what play must never touch.
struct Records {
    Int16 pipeCount;
    Slots<MaxPipes> pipeColour, pipeLength;
    std::array<Slots<MaxCells>, MaxPipes + 1> pipeCell, pipeTile;
    bool operator==(const Records&) const = default;
};
Records RecordsOf(const GameState& s);

// Pipe i stands as it was laid in `tiles`, judged from its record alone.
bool PipeMatches(const GameState& s, const Slots<MaxCells>& tiles, int i);
// Every pipe stands as it was laid.
bool AllPipesMatch(const GameState& s, const Slots<MaxCells>& tiles);

// The game's random source, counting its draws: play must draw nothing, and a command that
// deals or scrambles must draw, which shows it really ran.
class CountingRandom final : public RandomSource {
  public:
    explicit CountingRandom(std::uint32_t seed) : inner_(seed) {}
    float Next() override {
        ++draws;
        return inner_.Next();
    }
    long draws = 0;

  private:
    SeededRandom inner_;
};

struct Figures {
    long events = 0;
    long errors = 0;
    long refusedOnSolved = 0;  // turn attempts that met a solved board
    long newGames = 0;
};

// The grid, the picture size and the board size changed through the menus 2,000, 2,000 and 500
// times: every change must take, and resident memory at the end must be within 1 MB of where it
// was after the first hundred of each. Prints the figures.
bool MemoryStaysFlat(MainWindow& window);

class Soak {
  public:
    Soak(MainWindow& window, const PictureSet& pictures, const CountingRandom& rng,
         std::uint32_t seed);

    // One random event and the checks after it; a run of hints stops at `limit` events.
    void Step();
    void Limit(long limit) { limit_ = limit; }
    const Figures& Result() const { return figures_; }

    // Reports a broken rule against the current event; prints the first few.
    void Fail(const QString& what);
    // With KOVELINT_SOAK_TRACE set, every event is printed as it is checked.
    void Trace();

  private:
    // Player events.
    void Click(Qt::MouseButton button);
    void DoubleClick();
    void Move();
    void Arrow();
    void OtherKey();
    // Menu commands, by their action or by their function key.
    void MenuCommand();
    void FunctionKey();

    // A point of the window over the board: over a chosen cell (scrolled into view) or
    // anywhere in the visible part of the board.
    QPoint PickPoint();
    // The cell under a point of the window by the layout rule, 0 for margin and gaps.
    int CellAt(QPoint inWindow) const;
    void SendMouse(int type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held);
    void SendKey(int qtKey, Qt::KeyboardModifiers mods, bool press, bool autoRepeat);

    // The board after `turns` turns of cell n, each refused once every pipe matches.
    Slots<MaxCells> Turned(int n, int turns, bool clockwise);
    // After a play event: exactly the expected tiles and hover, records untouched.
    void ExpectPlay(const Slots<MaxCells>& tiles, int hover, const Records& before);
    // Runs a command, from the menu or by its function key, and checks its own effect. F4
    // stands for a function key that is none of the game's.
    void RunCommand(const QString& name, bool byKey);

    // The whole state, after every event.
    void CheckAll();
    void CheckCells();
    void CheckPixels();
    void CheckMarks();
    void CheckPipes();

    bool Marked(Command item) const;

    MainWindow& w_;
    const PictureSet& pics_;
    const CountingRandom& rng_;
    BoardView& board_;
    const GameState& s_;
    QScrollArea* scroller_;
    QWindow* window_;
    std::mt19937 pick_;
    QString event_;
    Figures figures_;
    long limit_ = 0;
    bool trace_ = !qEnvironmentVariableIsEmpty("KOVELINT_SOAK_TRACE");
};

}  // namespace kov::soak
