// The keys the game answers, as virtual-key codes: the codes the game's home platform gives its
// keys. Every front end maps its own key events onto these.
#pragma once

namespace kov::vk {

inline constexpr int Escape = 27;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int F1 = 112;
inline constexpr int F2 = 113;
inline constexpr int F3 = 114;
inline constexpr int F5 = 116;

}  // namespace kov::vk
