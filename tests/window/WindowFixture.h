// Drives the real game window in-process on the offscreen platform.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <deque>
#include <memory>

#include "app/frmMain.h"
#include "generator/Random.h"
#include "view/BoardView.h"
#include "view/PictureCell.h"
#include "view/PictureSet.h"

namespace kov::test {

// Replays queued values first, then a fixed twister, and counts every draw.
class QueuedRandom final : public RandomSource {
  public:
    float Next() override {
        ++draws;
        if (queue.empty()) return engine_.Next();
        const float v = queue.front();
        queue.pop_front();
        return v;
    }
    void Reseed(std::uint32_t seed) { engine_ = ClockRandom(seed); }

    std::deque<float> queue;
    int draws = 0;

  private:
    ClockRandom engine_{20240607};
};

// The picture set, loaded once for the whole run.
const PictureSet& Pictures();

class WindowTest : public ::testing::Test {
  protected:
    // A fresh window whose first draws come from `first`.
    void Start(std::initializer_list<float> first = {}, std::uint32_t seed = 20240607) {
        w.reset();
        rng.Reseed(seed);
        rng.queue.assign(first.begin(), first.end());
        rng.draws = 0;
        w = std::make_unique<frmMain>(Pictures(), rng);
    }
    // A shown window whose puzzle is playable: at least one pipe unfinished.
    void StartUnsolved();
    void SetUp() override { Start(); }

    // Shown and active, as the player sees it.
    void Show();

    GameState& S() { return w->State(); }
    BoardView& Board() { return w->Board(); }
    QAction& Item(const std::string& name) {
        QAction* a = w->menuBar()->findChild<QAction*>(QString::fromStdString(name));
        if (a == nullptr) ADD_FAILURE() << "no menu item " << name;
        return *a;
    }
    long Repaints() { return Board().RepaintCount(); }

    // Exactly the events X delivers for a click and a double click, sent to the window.
    void Click(int n);
    void DoubleClick(int n);
    void MoveOver(int n);
    // A key through the window system, as the X plugin hands it on.
    void Key(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier, bool autoRepeat = false);

    // A cell after `after` holding a piece that a turn changes; 0 if there is none.
    int TurnableCell(int after = 0);
    // A corner, whose four turns are all different.
    int Corner();
    void Solve() {
        while (S().solved == 0)
            Item("mnuHelp1").trigger();
    }

    QueuedRandom rng;
    std::unique_ptr<frmMain> w;
};

}  // namespace kov::test
