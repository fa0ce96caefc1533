// The floor of the start-up comparison: what any Win32 game of this kind pays before its window
// appears. A window with a menu bar of three short menus and 10 × 9 cells of 35 × 35 pixels,
// painted into an off-screen 32-bit bitmap from four pieces drawn at start and copied to the
// window as it paints, all before the window is shown. Nothing of the game is linked; only the
// cells' size and margin come from its defaults.
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdint>

#include "game/Defaults.h"

namespace {

constexpr int Columns = 10;
constexpr int Rows = 9;
constexpr int Cell = kov::SmallTiles;
constexpr int Margin = kov::BoardMargin;
constexpr int Width = 2 * Margin + Columns * Cell;
constexpr int Height = 2 * Margin + Rows * Cell;

using Piece = std::array<std::uint32_t, Cell * Cell>;

HDC board = nullptr;

// Four pieces on grey: an end, a straight, a bend and a tee, as bands from the centre.
std::array<Piece, 4> DrawPieces() {
    std::array<Piece, 4> pieces{};
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        for (int y = 0; y < Cell; ++y) {
            for (int x = 0; x < Cell; ++x) {
                const bool across = y >= 12 && y <= 22, down = x >= 12 && x <= 22;
                const bool pipe = (down && y <= 22) || (down && (i == 1 || i == 3)) ||
                                  (across && x >= 12 && (i == 2 || i == 3));
                pieces[i][static_cast<std::size_t>(y * Cell + x)] = pipe ? 0x3060c0 : 0xb4b4b4;
            }
        }
    }
    return pieces;
}

HDC PaintBoard() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = -Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bitmap);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    std::fill_n(pixels, Width * Height, 0x808080u);
    const std::array<Piece, 4> pieces = DrawPieces();
    for (int n = 0; n < Columns * Rows; ++n) {
        const Piece& piece = pieces[static_cast<std::size_t>(n) % pieces.size()];
        const int left = Margin + n % Columns * Cell, top = Margin + n / Columns * Cell;
        for (int y = 0; y < Cell; ++y)
            std::copy_n(piece.data() + y * Cell, Cell, pixels + (top + y) * Width + left);
    }
    return dc;
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            BitBlt(dc, 0, 0, Width, Height, board, 0, 0, SRCCOPY);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, w, l);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = Procedure;
    type.hInstance = instance;
    type.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    type.lpszClassName = L"Floor";
    RegisterClassExW(&type);

    HMENU bar = CreateMenu();
    for (const wchar_t* title : {L"Game", L"Settings", L"Help"}) {
        HMENU menu = CreatePopupMenu();
        AppendMenuW(menu, MF_STRING, 1, L"First");
        AppendMenuW(menu, MF_STRING, 2, L"Second");
        AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu), title);
    }
    board = PaintBoard();

    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, Width, Height};
    AdjustWindowRectEx(&frame, style, TRUE, 0);
    HWND window = CreateWindowExW(0, L"Floor", L"floor", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, bar,
                                  instance, nullptr);
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
