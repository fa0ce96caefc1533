// Plain Win32, nothing of the game: whether a program the player just started can bring another
// program's covered window to the front, the way a second start of the game does.
//   raise_probe window TITLE   shows a window and waits; on the message "come forward" it calls
//                              SetForegroundWindow on itself (the running program doing the
//                              raising, with the right handed on to it)
//   raise_probe direct TITLE   finds that window and calls SetForegroundWindow on it
//   raise_probe handed TITLE   finds it, hands its program the right to come forward
//                              (AllowSetForegroundWindow) and asks it to
// Each prints what Windows answered and which window is in front after.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr UINT ComeForward = WM_APP + 1;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == ComeForward) {
        const BOOL done = SetForegroundWindow(window);
        std::printf("window: SetForegroundWindow on itself answered %d\n", done);
        std::fflush(stdout);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, w, l);
}

int Show(const wchar_t* title) {
    WNDCLASSW type{};
    type.lpfnWndProc = Procedure;
    type.hInstance = GetModuleHandleW(nullptr);
    type.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    type.lpszClassName = L"RaiseProbe";
    RegisterClassW(&type);
    HWND window = CreateWindowW(L"RaiseProbe", title, WS_OVERLAPPEDWINDOW, 100, 100, 300, 200,
                                nullptr, nullptr, type.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}

void SayWhoIsInFront(HWND wanted) {
    Sleep(500);  // the answer of the window manager, if any, is not instant
    std::printf("in front: %s\n",
                GetForegroundWindow() == wanted ? "the probe's window" : "another");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    if (std::wcscmp(argv[1], L"window") == 0) return Show(argv[2]);
    HWND running = FindWindowW(L"RaiseProbe", argv[2]);
    if (running == nullptr) {
        std::printf("no window to raise\n");
        return 1;
    }
    if (std::wcscmp(argv[1], L"direct") == 0) {
        std::printf("direct: SetForegroundWindow answered %d\n", SetForegroundWindow(running));
    } else {
        DWORD process = 0;
        GetWindowThreadProcessId(running, &process);
        std::printf("handed: AllowSetForegroundWindow answered %d\n",
                    AllowSetForegroundWindow(process));
        SendMessageW(running, ComeForward, 0, 0);
    }
    SayWhoIsInFront(running);
    return 0;
}
