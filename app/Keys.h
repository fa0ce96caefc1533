// The one mapping between Qt's keys and the virtual-key codes the game speaks, and the filter
// that hands every function key to the game with whether it is a held key's repeat.
#pragma once

#include <QObject>
#include <functional>
#include <map>

namespace kov {

// Esc 27, the arrows 37 to 40, F1 to F12 112 to 123; 0 for every other key. Modifiers play no
// part: the key alone decides.
int VirtualKeyFor(int qtKey);

// Installed on the application: every press of a function key, wherever the keyboard is (the
// window, an open menu, the menu bar), closes the open menus and goes to the game as a key with
// its repeat flag; the game decides what it runs. Qt marks the window system's repeats as such
// only when it can see both halves of X's release-press pair at once, which a busy game often
// cannot; a repeat is told here by the release and press sharing one time stamp well into a
// hold, or by a press that follows the last one within a second with no real release between.
class FunctionKeys final : public QObject {
  public:
    using Forward = std::function<void(int virtualKey, bool repeat)>;
    FunctionKeys(QObject* owner, Forward forward);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Held {
        bool down = false;
        unsigned long pressedAt = 0;
        unsigned long downSince = 0;  // the real press that began this hold
        unsigned long releasedAt = 0;
    };
    Forward forward_;
    std::map<int, Held> keys_;
};

}  // namespace kov
