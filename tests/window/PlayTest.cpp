// Turning by mouse and keys, Esc, the solved board and the hint.
#include <QTest>
#include <QWindow>

#include "play/Play.h"
#include "tests/window/WindowFixture.h"

namespace kov::test {
namespace {

class PlayTest : public WindowTest {
  protected:
    void SetUp() override { StartUnsolved(); }
};

// Two quick presses handed to Qt as the X plugin hands them: Qt makes the second one a double
// click, and the piece turns twice.
TEST_F(PlayTest, TwoQuickPressesFromTheWindowSystemTurnTwice) {
    const int n = Corner();
    ASSERT_NE(n, 0);
    const Int16 start = S().cellTile[n];
    QWindow* window = w->windowHandle();
    PictureCell* cell = Board().Img(n);
    const QPointF at = cell->mapTo(w.get(), cell->rect().center());
    const QPointF global = window->mapToGlobal(at.toPoint());
    const auto send = [&](QEvent::Type type, Qt::MouseButtons held, int t) {
        qt_handleMouseEvent(window, at, global, held, Qt::LeftButton, type, Qt::NoModifier,
                            100000 + t);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton, 0);
    send(QEvent::MouseButtonRelease, Qt::NoButton, 40);
    send(QEvent::MouseButtonPress, Qt::LeftButton, 120);
    send(QEvent::MouseButtonRelease, Qt::NoButton, 160);
    QApplication::processEvents();
    EXPECT_EQ(S().cellTile[n], TurnClockwise(TurnClockwise(start)));
}

// The arrows turn the cell last hovered, whatever modifiers are held, once for every press and
// every auto-repeat, and still after the mouse has left the board. Hovering repaints nothing.
TEST_F(PlayTest, ArrowsTurnTheHoveredCell) {
    const int n = Corner();
    ASSERT_NE(n, 0);
    const Int16 start = S().cellTile[n];
    const auto tiles = S().cellTile;
    Key(Qt::Key_Right);  // nothing is hovered yet
    EXPECT_EQ(S().cellTile, tiles);
    const long repaints = Repaints();
    MoveOver(n);
    EXPECT_EQ(Repaints(), repaints);

    struct Press {
        int key;
        Qt::KeyboardModifiers mods;
        bool repeat;
        int quarters;  // clockwise from the start
    };
    const Press presses[] = {
        {Qt::Key_Right, Qt::NoModifier, false, 1},
        {Qt::Key_Down, Qt::ShiftModifier, false, 0},
        {Qt::Key_Up, Qt::ControlModifier, false, 1},
        {Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier, false, 0},
        {Qt::Key_Right, Qt::NoModifier, true, 1},
        {Qt::Key_Right, Qt::NoModifier, true, 2},
        {Qt::Key_Up, Qt::NoModifier, true, 3},
        {Qt::Key_Left, Qt::NoModifier, true, 2},
    };
    for (const Press& p : presses) {
        Key(p.key, p.mods, p.repeat);
        Int16 want = start;
        for (int q = 0; q < p.quarters; ++q)
            want = TurnClockwise(want);
        ASSERT_EQ(S().cellTile[n], want) << "key " << p.key << " to " << p.quarters;
    }
    QMouseEvent away(QEvent::MouseMove, QPointF(-50, -50), QPointF(-50, -50), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w->windowHandle(), &away);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(S().cellTile[n], start);
    EXPECT_FALSE(CellChanged(S(), n));
}

TEST_F(PlayTest, OtherKeysDoNothing) {
    MoveOver(Corner());
    const auto tiles = S().cellTile;
    const int draws = rng.draws;
    // Alt alone is left out: it opens the menu bar from the keyboard, as on any desktop.
    for (int k :
         {Qt::Key_Space, Qt::Key_Return, Qt::Key_A, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_F4,
          Qt::Key_F6, Qt::Key_F12, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_Menu, Qt::Key_Enter})
        Key(k);
    EXPECT_EQ(S().cellTile, tiles);
    EXPECT_EQ(rng.draws, draws);
    EXPECT_TRUE(w->isVisible());
    // Nothing took the keys away from the window: the arrows still turn.
    EXPECT_EQ(QApplication::focusWidget(), w.get());
    Key(Qt::Key_Right);
    EXPECT_NE(S().cellTile, tiles);
}

// A menu opened with the mouse and closed with Esc gives the arrows back to the board.
TEST_F(PlayTest, ArrowsTurnAgainAfterAMenuClosedWithEsc) {
    const int n = Corner();
    MoveOver(n);
    const Int16 start = S().cellTile[n];
    QMenuBar* bar = w->menuBar();
    const QRect options = bar->actionGeometry(&Item("mnuOptions"));
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, options.center());
    QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    ASSERT_EQ(QApplication::activePopupWidget(), nullptr);
    // The window system gives the window back its activation, as X does at once.
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QApplication::processEvents();
    Key(Qt::Key_Right);
    EXPECT_EQ(S().cellTile[n], TurnClockwise(start));
    EXPECT_EQ(QApplication::focusWidget(), w.get());
}

// Solved: clicks, keys and the hint change nothing, draw nothing and repaint nothing; Esc
// still closes the window.
TEST_F(PlayTest, ASolvedBoardRefusesEverythingButEsc) {
    Solve();
    const int n = Corner();
    const auto tiles = S().cellTile;
    const long repaints = Repaints();
    const int draws = rng.draws;
    Click(n);
    DoubleClick(n);
    MoveOver(n);
    Key(Qt::Key_Right);
    Key(Qt::Key_Left, Qt::NoModifier, true);
    Item("mnuHelp1").trigger();
    Key(Qt::Key_F1);
    EXPECT_EQ(S().cellTile, tiles);
    EXPECT_EQ(Repaints(), repaints);
    EXPECT_EQ(rng.draws, draws);
    EXPECT_EQ(S().solved, 1);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(PlayTest, TheHintSolvesAnyPuzzleInPipeCountPresses) {
    for (const char* size : {"mnuMapSize55", "mnuMapSize910", "mnuMapSize1525"}) {
        Item(size).trigger();
        for (int game = 0; game < 15; ++game) {
            Item("mnuNew").trigger();
            int unfinished = 0;  // pipes not complete: the presses needed
            for (int p = 1; p <= S().pipeCount; ++p) {
                bool complete = true;
                for (int k = 1; k <= S().pipeLength[p]; ++k)
                    complete = complete && S().cellTile[S().pipeCell[p][k]] == S().pipeTile[p][k];
                unfinished += complete ? 0 : 1;
            }
            for (int press = 1; press <= unfinished; ++press) {
                ASSERT_EQ(S().solved, 0);
                Key(Qt::Key_F1);
            }
            ASSERT_EQ(S().solved, 1) << size << " game " << game;
            for (int n = 1; n <= S().CellCount(); ++n)
                ASSERT_FALSE(CellChanged(S(), n));
        }
    }
}

}  // namespace
}  // namespace kov::test
