#include "tests/window/WindowFixture.h"

#include <QMouseEvent>
#include <QTest>
#include <QWindow>

namespace kov::test {

void WindowTest::StartUnsolved() {
    for (std::uint32_t seed = 1; seed < 50; ++seed) {
        Start(seed);
        if (S().solved == 0) break;
    }
    ASSERT_EQ(S().solved, 0);
    Show();
}

void WindowTest::Show() {
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get(), 20000));
}

namespace {

void Send(MainWindow& w, QEvent::Type type, int n, Qt::MouseButtons held) {
    PictureCell* cell = w.Board().Cell(n);
    const QPoint at = cell->mapTo(&w, cell->rect().center());
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, w.windowHandle()->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(w.windowHandle(), &e);
}

}  // namespace

void WindowTest::Click(int n) {
    if (!w->isVisible()) Show();
    Send(*w, QEvent::MouseButtonPress, n, Qt::LeftButton);
    Send(*w, QEvent::MouseButtonRelease, n, Qt::NoButton);
}

void WindowTest::MoveOver(int n) {
    if (!w->isVisible()) Show();
    Send(*w, QEvent::MouseMove, n, Qt::NoButton);
}

void WindowTest::Key(int qtKey, Qt::KeyboardModifiers mods, bool autoRepeat) {
    if (!w->isVisible()) Show();
    QWindow* window = w->windowHandle();
    qt_handleKeyEvent(window, QEvent::KeyPress, qtKey, mods, QString(), autoRepeat);
    qt_handleKeyEvent(window, QEvent::KeyRelease, qtKey, mods, QString(), autoRepeat);
    QApplication::processEvents();
}

int WindowTest::Corner() {
    for (int n = 1; n <= S().CellCount(); ++n)
        if (S().cellTile[n] >= tile::CornerUR && S().cellTile[n] <= tile::CornerUL) return n;
    return 0;
}

}  // namespace kov::test
