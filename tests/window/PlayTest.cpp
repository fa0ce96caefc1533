// Turning by mouse and keys, Esc, the solved board and the hint.
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include "app/Keys.h"
#include "play/Play.h"
#include "tests/window/WindowFixture.h"

namespace kov::test {
namespace {

class PlayTest : public WindowTest {
  protected:
    void SetUp() override {
        // A playable start: at least one pipe unfinished.
        for (std::uint32_t seed = 1; seed < 50; ++seed) {
            Start({}, seed);
            if (S().solved == 0) break;
        }
        ASSERT_EQ(S().solved, 0);
        Show();
    }
    // A corner, whose four turns are all different.
    int Corner() {
        for (int n = 1; n <= S().CellCount(); ++n)
            if (S().cellTile[n] >= tile::CornerUR && S().cellTile[n] <= tile::CornerUL) return n;
        return 0;
    }
    void Solve() {
        while (S().solved == 0)
            Item("mnuHelp1").trigger();
    }
};

TEST(KeyMapping, ArrowsAndEscGetTheirCodesAndNothingElseDoes) {
    EXPECT_EQ(VirtualKeyFor(Qt::Key_Escape), 27);
    EXPECT_EQ(VirtualKeyFor(Qt::Key_Left), 37);
    EXPECT_EQ(VirtualKeyFor(Qt::Key_Up), 38);
    EXPECT_EQ(VirtualKeyFor(Qt::Key_Right), 39);
    EXPECT_EQ(VirtualKeyFor(Qt::Key_Down), 40);
    for (int k : {Qt::Key_F4, Qt::Key_Space, Qt::Key_Return, Qt::Key_A, Qt::Key_Tab, Qt::Key_Shift,
                  Qt::Key_Control, Qt::Key_PageUp, Qt::Key_Home})
        EXPECT_EQ(VirtualKeyFor(k), 0) << k;
}

TEST_F(PlayTest, AClickTurnsClockwiseAndADoubleClickTurnsTwice) {
    const int n = Corner();
    ASSERT_NE(n, 0);
    const Int16 start = S().cellTile[n];
    Click(n);
    EXPECT_EQ(S().cellTile[n], TurnClockwise(start));
    DoubleClick(n);
    EXPECT_EQ(S().cellTile[n], TurnCounterClockwise(start));  // three turns in all
    Click(n);
    EXPECT_EQ(S().cellTile[n], start);
    EXPECT_FALSE(CellChanged(S(), n));
}

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
    static int clock = 100000;
    clock += 10000;
    const auto send = [&](QEvent::Type type, Qt::MouseButtons held, int t) {
        qt_handleMouseEvent(window, at, global, held, Qt::LeftButton, type, Qt::NoModifier,
                            clock + t);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton, 0);
    send(QEvent::MouseButtonRelease, Qt::NoButton, 40);
    send(QEvent::MouseButtonPress, Qt::LeftButton, 120);
    send(QEvent::MouseButtonRelease, Qt::NoButton, 160);
    QApplication::processEvents();
    EXPECT_EQ(S().cellTile[n], TurnClockwise(TurnClockwise(start)));
}

TEST_F(PlayTest, OtherButtonsTurnNothing) {
    const auto tiles = S().cellTile;
    Click(Corner(), Qt::RightButton);
    Click(Corner(), Qt::MiddleButton);
    EXPECT_EQ(S().cellTile, tiles);
}

TEST_F(PlayTest, MovingTheMouseOnlyPicksTheTarget) {
    const auto tiles = S().cellTile;
    const long repaints = Repaints();
    MoveOver(17);
    EXPECT_EQ(S().hoverCell, 17);
    MoveOver(90);
    EXPECT_EQ(S().hoverCell, 90);
    EXPECT_EQ(S().cellTile, tiles);
    EXPECT_EQ(Repaints(), repaints);
}

TEST_F(PlayTest, ArrowsTurnTheHoveredCellWithAndWithoutModifiers) {
    const int n = Corner();
    ASSERT_NE(n, 0);
    const Int16 start = S().cellTile[n];
    // Nothing is hovered yet: the arrows do nothing.
    const auto tiles = S().cellTile;
    Key(Qt::Key_Right);
    EXPECT_EQ(S().cellTile, tiles);

    MoveOver(n);
    Key(Qt::Key_Right);
    EXPECT_EQ(S().cellTile[n], TurnClockwise(start));
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(S().cellTile[n], start);
    Key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(S().cellTile[n], TurnClockwise(start));
    Key(Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(S().cellTile[n], start);
    EXPECT_FALSE(CellChanged(S(), n));
}

TEST_F(PlayTest, EveryAutoRepeatOfAHeldArrowTurnsOnce) {
    const int n = Corner();
    MoveOver(n);
    const Int16 start = S().cellTile[n];
    Key(Qt::Key_Right);
    for (int i = 0; i < 3; ++i)
        Key(Qt::Key_Right, Qt::NoModifier, true);
    EXPECT_EQ(S().cellTile[n], start);  // four turns
    Key(Qt::Key_Left, Qt::NoModifier, true);
    EXPECT_EQ(S().cellTile[n], TurnCounterClockwise(start));
}

TEST_F(PlayTest, TheTargetStaysAfterTheMouseLeavesTheBoard) {
    const int n = Corner();
    MoveOver(n);
    const Int16 start = S().cellTile[n];
    QMouseEvent away(QEvent::MouseMove, QPointF(-50, -50), QPointF(-50, -50), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w->windowHandle(), &away);
    Key(Qt::Key_Up);
    EXPECT_EQ(S().cellTile[n], TurnClockwise(start));
}

TEST_F(PlayTest, OtherKeysDoNothing) {
    MoveOver(Corner());
    const auto tiles = S().cellTile;
    const int draws = rng.draws;
    // Alt alone is left out: it opens the menu bar from the keyboard, as on any desktop.
    for (int k : {Qt::Key_Space, Qt::Key_Return, Qt::Key_A, Qt::Key_Tab, Qt::Key_Backtab,
                  Qt::Key_F4, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_Menu, Qt::Key_Enter})
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

// Esc closes the window, and with the last window closed the event loop ends.
TEST_F(PlayTest, EscEndsTheProgram) {
    bool stuck = false;
    QTimer::singleShot(0, w.get(), [this] { Key(Qt::Key_Escape); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&stuck] {
        stuck = true;
        QApplication::quit();
    });
    guard.start(5000);
    QApplication::exec();
    EXPECT_FALSE(stuck);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(PlayTest, ASolvedBoardRefusesTurnsButEscStillCloses) {
    Solve();
    const int n = Corner();
    const auto tiles = S().cellTile;
    const long repaints = Repaints();
    Click(n);
    DoubleClick(n);
    MoveOver(n);
    Key(Qt::Key_Right);
    Key(Qt::Key_Left, Qt::NoModifier, true);
    EXPECT_EQ(S().cellTile, tiles);
    EXPECT_EQ(Repaints(), repaints);
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
            ASSERT_LE(unfinished, S().pipeCount);
            for (int n = 1; n <= S().CellCount(); ++n)
                ASSERT_FALSE(CellChanged(S(), n));
        }
    }
}

TEST_F(PlayTest, TheHintOnASolvedBoardDrawsAndChangesNothing) {
    Solve();
    const int draws = rng.draws;
    const long repaints = Repaints();
    const auto tiles = S().cellTile;
    Item("mnuHelp1").trigger();
    Key(Qt::Key_F1);
    EXPECT_EQ(rng.draws, draws);
    EXPECT_EQ(Repaints(), repaints);
    EXPECT_EQ(S().cellTile, tiles);
}

}  // namespace
}  // namespace kov::test
