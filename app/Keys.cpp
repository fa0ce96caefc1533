#include "app/Keys.h"

#include <QKeyEvent>
#include <Qt>

#include "game/Menu.h"
#include "play/Play.h"

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
            return 0;
    }
}

int QtKeyFor(int virtualKey) {
    if (virtualKey < vk::F1 || virtualKey > vk::F1 + 11) return 0;
    return Qt::Key_F1 + (virtualKey - vk::F1);
}

bool FunctionKeyGuard::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyRelease)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() < Qt::Key_F1 || key->key() > Qt::Key_F35) return false;
    Held& held = keys_[key->key()];
    const unsigned long at = key->timestamp();
    if (type == QEvent::KeyRelease) {
        if (!key->isAutoRepeat()) {
            held.down = false;
            held.releasedAt = at;
        }
        return false;
    }
    // Every press asks first whether its shortcut may run, sometimes twice; a repeat is taken as
    // the window's own key press instead, which the window ignores.
    if (!held.down || at != held.pressedAt) {
        // X repeats a key only after it has been held a while (660 ms unless set otherwise),
        // so a release and press in one millisecond right after a real press are two presses.
        const bool pair = at == held.releasedAt && at - held.downSince >= 100;
        held.repeat = key->isAutoRepeat() || pair || (held.down && at - held.pressedAt < 1000);
        if (!held.repeat) held.downSince = at;
        held.down = true;
        held.pressedAt = at;
    }
    if (!held.repeat) return false;
    key->accept();
    return true;
}

}  // namespace kov
