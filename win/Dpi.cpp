#include "win/Dpi.h"

namespace kov::win {

namespace {

template <typename Function>
Function User32(const char* name) {
    static HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
               : nullptr;
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using MetricsForDpiFn = int(WINAPI*)(int, UINT);

}  // namespace

UINT WindowDpi(HWND window) {
    static const auto forWindow = User32<GetDpiForWindowFn>("GetDpiForWindow");
    if (forWindow != nullptr) {
        if (const UINT dpi = forWindow(window); dpi != 0) return dpi;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

SIZE FrameSize(DWORD style, DWORD exStyle, UINT dpi) {
    static const auto adjust = User32<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    RECT r{0, 0, 0, 0};
    if (adjust != nullptr)
        adjust(&r, style, TRUE, exStyle, dpi);
    else
        AdjustWindowRectEx(&r, style, TRUE, exStyle);
    return {r.right - r.left, r.bottom - r.top};
}

int MetricForDpi(int index, UINT dpi) {
    static const auto metrics = User32<MetricsForDpiFn>("GetSystemMetricsForDpi");
    return metrics != nullptr ? metrics(index, dpi) : GetSystemMetrics(index);
}

}  // namespace kov::win
