// What the window adds to play: real mouse events, Qt's keys mapped and owned, Esc closing.
#include <QTest>
#include <QWindow>

#include "play/Play.h"
#include "tests/lib/Pipes.h"
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
    PictureCell* cell = Board().Cell(n);
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

// Qt's arrows with any modifiers, and their auto-repeats, reach the hovered cell; the pointer
// leaving the board keeps the target.
TEST_F(PlayTest, ArrowsWithModifiersAndRepeatsTurnTheHoveredCell) {
    const int n = Corner();
    ASSERT_NE(n, 0);
    const Int16 start = S().cellTile[n];
    MoveOver(n);
    Key(Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(S().cellTile[n], TurnClockwise(start));
    Key(Qt::Key_Up, Qt::NoModifier, true);
    EXPECT_EQ(S().cellTile[n], TurnClockwise(TurnClockwise(start)));
    QMouseEvent away(QEvent::MouseMove, QPointF(-50, -50), QPointF(-50, -50), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w->windowHandle(), &away);
    Key(Qt::Key_Left, Qt::AltModifier);
    Key(Qt::Key_Down);
    EXPECT_EQ(S().cellTile[n], start);
}

// A pointer that arrives over a cell and stays still, as a pointer that jumps there on Wayland
// does, has that cell under it all the same.
TEST_F(PlayTest, APointerThatArrivesAndStaysStillIsOverItsCell) {
    const int n = Corner();
    ASSERT_NE(n, 0);
    const Int16 start = S().cellTile[n];
    PictureCell* cell = Board().Cell(n);
    const QPointF at = cell->mapTo(&Board(), cell->rect().center());
    QEnterEvent enter(at, at, Board().mapToGlobal(at));
    QApplication::sendEvent(&Board(), &enter);
    Key(Qt::Key_Right);
    EXPECT_EQ(S().cellTile[n], TurnClockwise(start));
}

// Keys that are not the game's change nothing and take the keys away from nobody.
TEST_F(PlayTest, OtherKeysDoNothingAndTheWindowKeepsTheKeys) {
    MoveOver(Corner());
    const auto tiles = S().cellTile;
    // Alt alone is left out: it opens the menu bar from the keyboard, as on any desktop.
    for (int k :
         {Qt::Key_Space, Qt::Key_Return, Qt::Key_A, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_F4,
          Qt::Key_F6, Qt::Key_F12, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_Menu, Qt::Key_Enter})
        Key(k);
    EXPECT_EQ(S().cellTile, tiles);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), w.get());
    Key(Qt::Key_Right);
    EXPECT_NE(S().cellTile, tiles);
}

// The function keys run their commands; Esc closes the window, solved or not.
TEST_F(PlayTest, FunctionKeysRunTheirCommandsAndEscCloses) {
    Key(Qt::Key_F1);
    EXPECT_GT(test::CompletePipeCount(S()), 0);
    const std::string caption = w->Game().Caption();
    Key(Qt::Key_F5);
    EXPECT_EQ(w->windowTitle().toStdString(), caption);
    while (S().solved == 0)
        Key(Qt::Key_F1);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
}

}  // namespace
}  // namespace kov::test
