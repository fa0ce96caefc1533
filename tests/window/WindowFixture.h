// Drives the real game window in-process on the offscreen platform: what only Qt can show.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <memory>

#include "app/MainWindow.h"
#include "generator/Random.h"
#include "view/BoardView.h"
#include "view/PictureCell.h"
#include "view/PictureSet.h"

namespace kov::test {

// The picture set, loaded once for the whole run.
const PictureSet& Pictures();

class WindowTest : public ::testing::Test {
  protected:
    // A fresh window on a seeded game.
    void Start(std::uint32_t seed = 20240607) {
        w.reset();
        w = std::make_unique<MainWindow>(Pictures(), std::make_unique<SeededRandom>(seed));
    }
    // A shown window whose puzzle is playable: at least one pipe unfinished.
    void StartUnsolved();
    void SetUp() override { Start(); }

    // Shown and active, as the player sees it.
    void Show();

    const GameState& S() { return w->Game().State(); }
    BoardView& Board() { return w->Board(); }
    QAction& Item(Command command) { return *w->Action(MenuIndexOf(command)); }

    // Exactly the events X delivers for a click, sent to the window.
    void Click(int n);
    void MoveOver(int n);
    // A key through the window system, as the X plugin hands it on.
    void Key(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier, bool autoRepeat = false);

    // A cell holding a corner, whose four turns all differ; 0 if there is none.
    int Corner();

    std::unique_ptr<MainWindow> w;
};

}  // namespace kov::test
