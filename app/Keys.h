// The one mapping between Qt's keys and the virtual-key codes the game speaks.
#pragma once

namespace kov {

// Esc 27, Left 37, Up 38, Right 39, Down 40; 0 for every other key. Modifiers play no part:
// the key alone decides.
int VirtualKeyFor(int qtKey);

// The Qt key of a function key's virtual-key code (F1 is 112), for the menu's shortcuts; 0
// for anything else.
int QtKeyFor(int virtualKey);

}  // namespace kov
