// The game's window timed from the inside, under Wine or on Windows: a click on 25 × 15, from the
// press message to the repainted cell, and a board-size change 20 × 13 → 25 × 15 (the cells
// made anew, a game dealt, the whole board painted), from the menu command to the painted
// window. Each is sent to the window procedure as Windows would, and the paint is forced at once.
// Prints every run's median in microseconds.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "generator/Random.h"
#include "win/MainWindow.h"
#include "win/Menu.h"
#include "win/Pictures.h"

namespace {

using Clock = std::chrono::steady_clock;

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Microseconds(Clock::time_point from) {
    return std::chrono::duration<double, std::micro>(Clock::now() - from).count();
}

void Choose(HWND window, kov::Command command) {
    const auto id = kov::win::FirstMenuId + static_cast<UINT>(kov::MenuIndexOf(command));
    SendMessageW(window, WM_COMMAND, id, 0);
}

}  // namespace

int main() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    kov::win::PictureSet pictures;
    std::wstring why;
    if (!pictures.Load(instance, &why)) return 1;
    kov::GameController game(std::make_unique<kov::SeededRandom>(1));
    kov::win::MainWindow main(instance, game, pictures);
    if (!main.Create(SW_SHOWNORMAL)) return 1;
    HWND window = FindWindowW(kov::win::WindowClass, nullptr);
    Pump();

    constexpr int Games = 21, Clicks = 201;
    std::vector<double> games, clicks;
    for (int i = 0; i < Games; ++i) {
        Choose(window, kov::Command::Size20x13);
        UpdateWindow(window);
        Pump();
        const Clock::time_point start = Clock::now();
        Choose(window, kov::Command::Size25x15);
        UpdateWindow(window);
        games.push_back(Microseconds(start));
        Pump();
    }

    // A turnable piece; four clicks bring it back, so the board never comes out solved.
    int cell = 1;
    while (cell < game.CellCount() && !kov::IsTurnable(game.State().cellTile[cell]))
        ++cell;
    const kov::PixelRect r = game.CellRect(cell);
    const LPARAM at = MAKELPARAM(r.left + r.width / 2, r.top + r.height / 2);
    for (int i = 0; i < Clicks; ++i) {
        const Clock::time_point start = Clock::now();
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        UpdateWindow(window);
        clicks.push_back(Microseconds(start));
        SendMessageW(window, WM_LBUTTONUP, 0, at);
        Pump();
    }
    std::printf("new game 20x13 -> 25x15, painted: median %.0f us of %d\n", Median(games), Games);
    std::printf("click on 25x15 to the repainted cell: median %.1f us of %d\n", Median(clicks),
                Clicks);
    std::fflush(stdout);
    DestroyWindow(window);
    return 0;
}
