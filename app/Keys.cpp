#include "app/Keys.h"

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

}  // namespace kov
