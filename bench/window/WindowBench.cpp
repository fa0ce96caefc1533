// The window's share of play: one click on the largest board until the cell is painted, and
// a change to the largest board until the last cell in view is painted. The window takes the
// board's size as far as the screen allows; the rest of the board scrolls, and is not painted
// until it comes into view.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>
#include <QWindow>

#include "app/MainWindow.h"
#include "generator/Random.h"
#include "view/BoardView.h"
#include "view/PictureCell.h"
#include "view/PictureSet.h"

namespace {

// Notes when a watched cell is painted.
struct PaintWatch : QObject {
    QObject* target = nullptr;
    bool painted = false;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == target && e->type() == QEvent::Paint) painted = true;
        return false;
    }
};

// Runs the event loop until the target has been painted.
bool PumpUntilPainted(PaintWatch& watch, QObject* target) {
    watch.target = target;
    watch.painted = false;
    for (int i = 0; i < 10000 && !watch.painted; ++i)
        QCoreApplication::processEvents();
    return watch.painted;
}

const kov::PictureSet& Pictures() {
    static const kov::PictureSet set = [] {
        kov::PictureSet s;
        QString error;
        if (!s.Load(&error)) qFatal("%s", qPrintable(error));
        return s;
    }();
    return set;
}

// The last cell of the board that the window shows: a screen too small for the whole board
// leaves the rest to scroll into view, and only what shows is painted.
kov::PictureCell* LastShownCell(kov::BoardView& board) {
    for (int n = board.CellsBuilt(); n >= 1; --n)
        if (!board.Cell(n)->visibleRegion().isEmpty()) return board.Cell(n);
    return nullptr;
}

struct ShownWindow {
    kov::MainWindow w{Pictures(), std::make_unique<kov::SeededRandom>(4242)};
    PaintWatch watch;
    ShownWindow() {
        w.show();
        w.activateWindow();
        if (!QTest::qWaitForWindowExposed(&w)) qFatal("the window never showed");
        qApp->installEventFilter(&watch);
    }
    ~ShownWindow() { qApp->removeEventFilter(&watch); }
};

// A left click on a cell as X delivers it, to the window, until the cell is painted again.
void ClickOnLargestBoard(benchmark::State& state) {
    ShownWindow sw;
    kov::MainWindow& w = sw.w;
    w.Action(kov::MenuIndexOf(kov::Command::Size25x15))->trigger();
    QWindow* window = w.windowHandle();
    const kov::GameState& s = w.Game().State();
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (s.solved != 0) w.Action(kov::MenuIndexOf(kov::Command::Rescramble))->trigger();
        do
            n = n % 375 + 1;
        while (!kov::IsTurnable(s.cellTile[n]) || w.Board().Cell(n)->visibleRegion().isEmpty());
        kov::PictureCell* cell = w.Board().Cell(n);
        const QPoint at = cell->mapTo(&w, cell->rect().center());
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        state.ResumeTiming();

        QMouseEvent press(QEvent::MouseButtonPress, at, window->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, window->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(window, &release);
        if (!PumpUntilPainted(sw.watch, cell)) {
            state.SkipWithError("the cell was never painted");
            break;
        }
    }
}
BENCHMARK(ClickOnLargestBoard)->Unit(benchmark::kMicrosecond)->UseRealTime();

// From 20 x 13 to 25 x 15: 260 cells removed, 375 built, a game dealt and drawn.
void ChangeToLargestBoard(benchmark::State& state) {
    ShownWindow sw;
    kov::MainWindow& w = sw.w;
    for (auto _ : state) {
        state.PauseTiming();
        w.Action(kov::MenuIndexOf(kov::Command::Size20x13))->trigger();
        PumpUntilPainted(sw.watch, LastShownCell(w.Board()));
        state.ResumeTiming();

        w.Action(kov::MenuIndexOf(kov::Command::Size25x15))->trigger();
        if (!PumpUntilPainted(sw.watch, LastShownCell(w.Board()))) {
            state.SkipWithError("the last cell in view was never painted");
            break;
        }
    }
}
BENCHMARK(ChangeToLargestBoard)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
