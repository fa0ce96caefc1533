// The one mapping between Qt's keys and the virtual-key codes the game speaks, and the guard
// that makes a held function key act once.
#pragma once

#include <QObject>
#include <map>

namespace kov {

// Esc 27, Left 37, Up 38, Right 39, Down 40; 0 for every other key. Modifiers play no part:
// the key alone decides.
int VirtualKeyFor(int qtKey);

// The Qt key of a function key's virtual-key code (F1 is 112), for the menu's shortcuts; 0
// for anything else.
int QtKeyFor(int virtualKey);

// Installed on the application: a function key's menu command runs once per press, however long
// the key is held. Qt marks the window system's repeats as such only when it can see both
// halves of X's release-press pair at once, which a busy game often cannot; a repeat is told
// here by the release and press sharing one time stamp well into a hold, or by a press that
// follows the last one within a second with no real release between.
class FunctionKeyGuard final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Held {
        bool down = false;
        bool repeat = false;  // the press at pressedAt
        unsigned long pressedAt = 0;
        unsigned long downSince = 0;  // the real press that began this hold
        unsigned long releasedAt = 0;
    };
    std::map<int, Held> keys_;
};

}  // namespace kov
