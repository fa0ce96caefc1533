#include "game/Menu.h"

#include <array>

namespace kov {

namespace {

using C = Command;

// clang-format off
constexpr MenuEntry Entries[] = {
    {0, "game",            "Игра",                     {},                 0,       "",   false},
    {1, "newGame",         "Новая",                    C::NewGame,         vk::F2,  "F2", false},
    {1, "separator1",      "-",                        {},                 0,       "",   false},
    {1, "rescramble",      "Перемешать",               C::Rescramble,      vk::F5,  "F5", false},
    {0, "settings",        "Настройки",                {},                 0,       "",   false},
    {1, "pipeCount",       "Желаемое количество труб", {},                 0,       "",   false},
    {2, "randomPipeCount", "Случайно",                 C::RandomPipeCount, vk::F3,  "F3", false},
    {2, "separator2",      "-",                        {},                 0,       "",   false},
    {2, "pipes10",         "10 труб",                  C::Pipes10,         0,       "",   true},
    {2, "pipes9",          "9 труб",                   C::Pipes9,          0,       "",   true},
    {2, "pipes8",          "8 труб",                   C::Pipes8,          0,       "",   true},
    {2, "pipes7",          "7 труб",                   C::Pipes7,          0,       "",   true},
    {2, "pipes6",          "6 труб",                   C::Pipes6,          0,       "",   true},
    {2, "pipes5",          "5 труб",                   C::Pipes5,          0,       "",   true},
    {2, "pipes4",          "4 трубы",                  C::Pipes4,          0,       "",   true},
    {2, "pipes3",          "3 трубы",                  C::Pipes3,          0,       "",   true},
    {2, "pipes2",          "2 трубы",                  C::Pipes2,          0,       "",   true},
    {2, "pipes1",          "1 труба",                  C::Pipes1,          0,       "",   true},
    {1, "boardSize",       "Размер поля",              {},                 0,       "",   false},
    {2, "size25x15",       "25 x 15",                  C::Size25x15,       0,       "",   true},
    {2, "size20x13",       "20 x 13",                  C::Size20x13,       0,       "",   true},
    {2, "size15x11",       "15 x 11",                  C::Size15x11,       0,       "",   true},
    {2, "size10x9",        "10 x 9",                   C::Size10x9,        0,       "",   true},
    {2, "separator3",      "-",                        {},                 0,       "",   false},
    {2, "size8x8",         "8 x 8",                    C::Size8x8,         0,       "",   true},
    {2, "size7x7",         "7 x 7",                    C::Size7x7,         0,       "",   true},
    {2, "size6x6",         "6 x 6",                    C::Size6x6,         0,       "",   true},
    {2, "size5x5",         "5 x 5",                    C::Size5x5,         0,       "",   true},
    {1, "pictureSize",     "Размер картинок",          {},                 0,       "",   false},
    {2, "largePictures",   "Большие",                  C::LargePictures,   0,       "",   true},
    {2, "smallPictures",   "Маленькие",                C::SmallPictures,   0,       "",   true},
    {1, "separator4",      "-",                        {},                 0,       "",   false},
    {1, "shortPipes",      "Короткие ковелинты",       C::ToggleShortPipes, 0,      "",   true},
    {1, "tees",            "Использовать тройники",    C::ToggleTees,      0,       "",   true},
    {1, "grid",            "Сетка",                    C::ToggleGrid,      0,       "",   true},
    {0, "help",            "Помощь",                   {},                 0,       "",   false},
    {1, "layOnePipe",      "Проложить 1 ковелинт",     C::LayOnePipe,      vk::F1,  "F1", false},
};
// clang-format on

constexpr auto Positions = [] {
    std::array<std::size_t, CommandCount> at{};
    for (std::size_t i = 0; i < std::size(Entries); ++i)
        if (Entries[i].command) at[static_cast<std::size_t>(*Entries[i].command)] = i;
    return at;
}();

}  // namespace

std::span<const MenuEntry> MenuEntries() {
    return Entries;
}

std::size_t MenuIndexOf(Command command) {
    return Positions[static_cast<std::size_t>(command)];
}

std::optional<Command> CommandForKey(int virtualKey) {
    if (virtualKey == 0) return std::nullopt;
    for (const MenuEntry& e : Entries)
        if (e.shortcut == virtualKey) return e.command;
    return std::nullopt;
}

}  // namespace kov
