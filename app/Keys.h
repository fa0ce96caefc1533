// The keys of the game as the virtual-key codes the play rules speak of.
#pragma once

namespace kov {

// Esc 27, Left 37, Up 38, Right 39, Down 40; 0 for every other key. Modifiers play no part:
// the key alone decides.
int VirtualKeyFor(int qtKey);

}  // namespace kov
