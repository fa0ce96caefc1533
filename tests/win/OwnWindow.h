// The game's window made by this thread. Tests run side by side in one Wine prefix, where
// FindWindow would as soon find another test program's game window.
#pragma once

#include <windows.h>

#include "win/MainWindow.h"

namespace kov::win {

// A plain function, not a lambda: on 32-bit Windows the callback must be stdcall.
inline BOOL CALLBACK TakeGameWindow(HWND window, LPARAM into) {
    wchar_t name[64];
    if (GetClassNameW(window, name, 64) == 0 || lstrcmpW(name, WindowClass) != 0) return TRUE;
    *reinterpret_cast<HWND*>(into) = window;
    return FALSE;
}

inline HWND OwnGameWindow() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), TakeGameWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace kov::win
