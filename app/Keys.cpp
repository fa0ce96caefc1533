#include "app/Keys.h"

#include <Qt>

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

}  // namespace kov
