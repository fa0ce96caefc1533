// The game's texts are UTF-8; Windows takes UTF-16 through its W calls.
#pragma once

#include <string>
#include <string_view>

namespace kov::win {

std::wstring Widen(std::string_view utf8);

}  // namespace kov::win
