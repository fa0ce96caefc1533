// The per-monitor DPI calls of Windows 10, looked up at run time so that the program still
// starts on older Windows, where the whole desktop has one DPI.
#pragma once

#include <windows.h>

namespace kov::win {

// The DPI of the monitor the window is on.
UINT WindowDpi(HWND window);

// What the frame, the caption and a one-line menu bar add to a client area at that DPI.
SIZE FrameSize(DWORD style, DWORD exStyle, UINT dpi);

// A system metric (a scroll bar's width) at that DPI.
int MetricForDpi(int index, UINT dpi);

}  // namespace kov::win
