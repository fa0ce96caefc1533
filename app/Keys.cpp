#include "app/Keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <Qt>

#include "play/Keys.h"

namespace kov {

int VirtualKeyFor(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Escape:
            return vk::Escape;
        case Qt::Key_Left:
            return vk::Left;
        case Qt::Key_Up:
            return vk::Up;
        case Qt::Key_Right:
            return vk::Right;
        case Qt::Key_Down:
            return vk::Down;
        default:
            // F1 is 112, and the rest follow it.
            if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return vk::F1 + (qtKey - Qt::Key_F1);
            return 0;
    }
}

FunctionKeys::FunctionKeys(QObject* owner, Forward forward)
    : QObject(owner), forward_(std::move(forward)) {}

bool FunctionKeys::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const int virtualKey = VirtualKeyFor(key->key());
    if (virtualKey < vk::F1) return false;
    Held& held = keys_[key->key()];
    const unsigned long at = key->timestamp();
    if (type == QEvent::KeyRelease) {
        if (!key->isAutoRepeat()) {
            held.down = false;
            held.releasedAt = at;
        }
        return true;
    }
    // X repeats a key only after it has been held a while (660 ms unless set otherwise), so a
    // release and press in one millisecond right after a real press are two presses.
    const bool pair = at == held.releasedAt && at - held.downSince >= 100;
    const bool repeat = key->isAutoRepeat() || pair || (held.down && at - held.pressedAt < 1000);
    if (!repeat) held.downSince = at;
    held.down = true;
    held.pressedAt = at;
    // The key acts on the game, not on a menu left open.
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    forward_(virtualKey, repeat);
    return true;
}

}  // namespace kov
