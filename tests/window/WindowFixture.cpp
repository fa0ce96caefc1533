#include "tests/window/WindowFixture.h"

#include <QTest>

#include "play/Play.h"

namespace kov::test {

void WindowTest::Show() {
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
}

namespace {

void Send(QWindow* window, QEvent::Type type, QPoint at, Qt::MouseButton button,
          Qt::MouseButtons held) {
    QMouseEvent e(type, at, window->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(window, &e);
}

QPoint InWindow(frmMain& w, int n) {
    PictureCell* cell = w.Board().Img(n);
    return cell->mapTo(&w, cell->rect().center());
}

}  // namespace

void WindowTest::Click(int n, Qt::MouseButton button) {
    if (!w->isVisible()) Show();
    QWindow* window = w->windowHandle();
    const QPoint at = InWindow(*w, n);
    Send(window, QEvent::MouseButtonPress, at, button, button);
    Send(window, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}

void WindowTest::DoubleClick(int n) {
    if (!w->isVisible()) Show();
    QWindow* window = w->windowHandle();
    const QPoint at = InWindow(*w, n);
    Send(window, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    Send(window, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    Send(window, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    Send(window, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

void WindowTest::MoveOver(int n) {
    if (!w->isVisible()) Show();
    Send(w->windowHandle(), QEvent::MouseMove, InWindow(*w, n), Qt::NoButton, Qt::NoButton);
}

void WindowTest::Key(int qtKey, Qt::KeyboardModifiers mods, bool autoRepeat) {
    if (!w->isVisible()) Show();
    QWindow* window = w->windowHandle();
    qt_handleKeyEvent(window, QEvent::KeyPress, qtKey, mods, QString(), autoRepeat);
    qt_handleKeyEvent(window, QEvent::KeyRelease, qtKey, mods, QString(), autoRepeat);
    QApplication::processEvents();
}

int WindowTest::TurnableCell(int after) {
    for (int n = after + 1; n <= S().CellCount(); ++n) {
        if (IsTurnable(S().cellTile[n])) return n;
    }
    return 0;
}

}  // namespace kov::test
