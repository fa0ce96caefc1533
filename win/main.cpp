// Ковелинт for Windows: one game per session, the controller's start-up, then the window.
#include <windows.h>

#include <memory>
#include <string>

#include "game/GameController.h"
#include "generator/Random.h"
#include "win/MainWindow.h"
#include "win/Pictures.h"
#include "win/SingleInstance.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    kov::win::SingleInstance lock(L"Local\\Kovelint.Game", kov::win::WindowClass);
    if (!lock.First()) return 0;

    kov::win::PictureSet pictures;
    std::wstring why;
    if (!pictures.Load(instance, &why)) {
        // A build without its pictures: say so on a debugger's console rather than show blanks.
        OutputDebugStringW((L"kovelint: " + why + L"\n").c_str());
        return 1;
    }

    kov::GameController game(std::make_unique<kov::SeededRandom>(kov::SeedFromClock()));
    kov::win::MainWindow window(instance, game, pictures);
    if (!window.Create(show)) return 1;

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
