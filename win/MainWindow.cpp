#include "win/MainWindow.h"

#include <algorithm>

#include "game/Defaults.h"
#include "win/Dpi.h"
#include "win/Geometry.h"
#include "win/Menu.h"
#include "win/Resources.h"
#include "win/Text.h"

namespace kov::win {

namespace {

// A fixed frame: the window always takes the board's size, so the player has nothing to drag.
constexpr DWORD Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD ExStyle = 0;
// One line of scrolling, in board pixels.
constexpr int LinePixels = 20;

HBRUSH GroundBrush() {
    static HBRUSH brush = CreateSolidBrush(RGB(BoardGround, BoardGround, BoardGround));
    return brush;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, GameController& game, const PictureSet& pictures)
    : instance_(instance), game_(game), pictures_(pictures) {}

bool MainWindow::Create(int show) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.style = CS_DBLCLKS;  // the second press of a double click comes as its own message
    type.lpfnWndProc = &MainWindow::Procedure;
    type.hInstance = instance_;
    type.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_KOVELINT));
    type.hIconSm = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_KOVELINT),
                                                 IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), 0));
    type.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    type.hbrBackground = GroundBrush();
    type.lpszClassName = WindowClass;
    if (RegisterClassExW(&type) == 0) return false;

    menu_ = BuildMenuBar(game_);
    const std::wstring caption = Widen(game_.Caption());
    window_ =
        CreateWindowExW(ExStyle, WindowClass, caption.c_str(), Style, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu_, instance_, this);
    if (window_ == nullptr) return false;
    dpi_ = WindowDpi(window_);
    scale_ = ScaleForDpi(static_cast<int>(dpi_));
    // The start-up's changes are all in the controller's present state.
    game_.TakeChanges();
    PaintWholeBoard();
    RECT at;
    GetWindowRect(window_, &at);
    FitToBoard({at.left, at.top});
    ShowWindow(window_, show);
    UpdateWindow(window_);
    return true;
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, w, l);
    return self->Handle(message, w, l);
}

LRESULT MainWindow::Handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_COMMAND:
            if (const auto command = MenuCommand(LOWORD(w)); command && HIWORD(w) == 0) {
                game_.Run(*command);
                Apply();
                return 0;
            }
            break;
        case WM_MOUSEMOVE: {
            const POINT at = ToBoard(l);
            game_.PointerAt(at.x, at.y);
            Apply();
            return 0;
        }
        case WM_LBUTTONDOWN: {
            const POINT at = ToBoard(l);
            game_.ClickAt(at.x, at.y);
            Apply();
            return 0;
        }
        case WM_LBUTTONDBLCLK: {
            const POINT at = ToBoard(l);
            game_.DoubleClickAt(at.x, at.y);
            Apply();
            return 0;
        }
        case WM_KEYDOWN:
            // Bit 30: the key was already down, so this is the platform's auto-repeat.
            if (game_.KeyDown(static_cast<int>(w), (l & (1L << 30)) != 0)) {
                Apply();
                return 0;
            }
            break;
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL: {
            wheel_ += GET_WHEEL_DELTA_WPARAM(w);
            const int notches = wheel_ / WHEEL_DELTA;
            wheel_ %= WHEEL_DELTA;
            UINT lines = 3;
            SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
            const int step = notches * static_cast<int>(std::min(lines, 10u)) * LinePixels * scale_;
            RECT inside;
            GetClientRect(window_, &inside);
            // The wheel goes down the board, or across when Shift is held or nothing is below.
            const bool across = message == WM_MOUSEHWHEEL || (LOWORD(w) & MK_SHIFT) != 0 ||
                                board_.Height() <= inside.bottom;
            if (message == WM_MOUSEHWHEEL)
                ScrollTo(scroll_.x + step, scroll_.y);
            else if (across)
                ScrollTo(scroll_.x - step, scroll_.y);
            else
                ScrollTo(scroll_.x, scroll_.y - step);
            return 0;
        }
        case WM_HSCROLL:
            ScrollBy(SB_HORZ, LOWORD(w));
            return 0;
        case WM_VSCROLL:
            ScrollBy(SB_VERT, LOWORD(w));
            return 0;
        case WM_SIZE:
            if (w != SIZE_MINIMIZED && !fitting_) UpdateScrollBars();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(LOWORD(w), *reinterpret_cast<const RECT*>(l));
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, w, l);
}

void MainWindow::Apply() {
    const Changes changes = game_.TakeChanges();
    if (changes.rebuilt || changes.reLaid) {
        // Every cell again from what it shows now; that includes the listed pictures.
        PaintWholeBoard();
        RECT at;
        GetWindowRect(window_, &at);
        FitToBoard({at.left, at.top});
    } else {
        for (const CellPicture& c : changes.cells) {
            const PixelRect cell = game_.CellRect(c.cell);
            board_.Paint(cell, pictures_[c.picture]);
            const RECT dirty = ClientRect(cell, scroll_, scale_);
            InvalidateRect(window_, &dirty, FALSE);
        }
    }
    for (const MarkChange& m : changes.marks)
        SetMark(menu_, m.entry, m.checked);
    if (changes.caption) SetWindowTextW(window_, Widen(game_.Caption()).c_str());
    if (changes.rebuilt || changes.reLaid) ReportStillPointer();
    if (changes.close) DestroyWindow(window_);
}

void MainWindow::PaintWholeBoard() {
    board_.Reset(game_.BoardPixels(), scale_);
    for (int n = 1; n <= game_.CellCount(); ++n)
        board_.Paint(game_.CellRect(n), pictures_[game_.ShownPicture(n)]);
    InvalidateRect(window_, nullptr, FALSE);
}

// The width the menu bar needs to show every menu on one line, in device pixels: its items'
// widths, which do not depend on the lines the bar is wrapped onto.
int MainWindow::MenuBarWidth() const {
    int width = 0;
    for (int i = 0, n = GetMenuItemCount(menu_); i < n; ++i) {
        RECT item;
        if (GetMenuItemRect(window_, menu_, static_cast<UINT>(i), &item) != FALSE)
            width += static_cast<int>(item.right - item.left);
    }
    return width;
}

// The client area becomes the board at the screen's scale, widened to the menu bar where the
// board is narrower (so the bar never wraps and every menu stays one click away), as far as
// the monitor's work area allows; only a board larger than that scrolls.
void MainWindow::FitToBoard(POINT at) {
    const PixelSize want = game_.WindowPixels((MenuBarWidth() + scale_ - 1) / scale_);
    const SIZE client{want.width * scale_, want.height * scale_};
    SIZE frame = FrameSize(Style, ExStyle, dpi_);
    const SIZE bars{MetricForDpi(SM_CXVSCROLL, dpi_), MetricForDpi(SM_CYHSCROLL, dpi_)};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &monitor);
    // The last board's scroll bars go first: while shown, they take room from the client area
    // measured below, and a bar left over would keep a board that now fits scrolling.
    fitting_ = true;
    ShowScrollBar(window_, SB_BOTH, FALSE);
    for (int pass = 0; pass < 2; ++pass) {
        const WindowFit fit = FitWindow(client, frame, bars, at, monitor.rcWork);
        const RECT& r = fit.window;
        SetWindowPos(window_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        // A narrow window wraps its menu bar onto more lines than the frame allowed for.
        RECT inside;
        GetClientRect(window_, &inside);
        const LONG frameHeight = (r.bottom - r.top) - inside.bottom;
        if (frameHeight <= frame.cy) break;
        frame.cy = frameHeight;
        at = {r.left, r.top};
    }
    fitting_ = false;
    UpdateScrollBars();
    // The client area may have moved inside the window (a menu bar on fewer lines), and what
    // was marked for painting before the move may not cover where it now lies.
    InvalidateRect(window_, nullptr, FALSE);
}

void MainWindow::UpdateScrollBars() {
    // Showing or hiding a bar resizes the client area, which comes back here through WM_SIZE;
    // this call settles both bars itself.
    if (updatingBars_) return;
    updatingBars_ = true;
    const auto setBar = [this](int bar, int length, LONG page, LONG at) {
        SCROLLINFO info{sizeof info,
                        SIF_RANGE | SIF_PAGE | SIF_POS,
                        0,
                        length - 1,
                        static_cast<UINT>(page),
                        static_cast<int>(at),
                        0};
        SetScrollInfo(window_, bar, &info, TRUE);
    };
    // One bar shown takes room from the other side, which may then need its bar too: again
    // until the client area holds still, so that each bar's page is the room there really is.
    RECT inside;
    GetClientRect(window_, &inside);
    for (int round = 0; round < 4; ++round) {
        const int maxX = std::max(0, board_.Width() - static_cast<int>(inside.right));
        const int maxY = std::max(0, board_.Height() - static_cast<int>(inside.bottom));
        const POINT clamped{std::clamp(static_cast<int>(scroll_.x), 0, maxX),
                            std::clamp(static_cast<int>(scroll_.y), 0, maxY)};
        if (clamped.x != scroll_.x || clamped.y != scroll_.y) {
            scroll_ = clamped;
            InvalidateRect(window_, nullptr, FALSE);
        }
        setBar(SB_HORZ, board_.Width(), inside.right, scroll_.x);
        setBar(SB_VERT, board_.Height(), inside.bottom, scroll_.y);
        RECT now;
        GetClientRect(window_, &now);
        if (EqualRect(&now, &inside)) break;
        inside = now;
    }
    updatingBars_ = false;
}

void MainWindow::ScrollTo(int x, int y) {
    RECT inside;
    GetClientRect(window_, &inside);
    x = std::clamp(x, 0, std::max(0, board_.Width() - static_cast<int>(inside.right)));
    y = std::clamp(y, 0, std::max(0, board_.Height() - static_cast<int>(inside.bottom)));
    if (x == scroll_.x && y == scroll_.y) return;
    scroll_ = {x, y};
    SetScrollPos(window_, SB_HORZ, x, TRUE);
    SetScrollPos(window_, SB_VERT, y, TRUE);
    InvalidateRect(window_, nullptr, FALSE);
    ReportStillPointer();
}

void MainWindow::ScrollBy(int bar, int code) {
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(window_, bar, &info);
    int to = info.nPos;
    switch (code) {
        case SB_LINEUP:
            to -= LinePixels * scale_;
            break;
        case SB_LINEDOWN:
            to += LinePixels * scale_;
            break;
        case SB_PAGEUP:
            to -= static_cast<int>(info.nPage);
            break;
        case SB_PAGEDOWN:
            to += static_cast<int>(info.nPage);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            to = info.nTrackPos;
            break;
        case SB_TOP:
            to = 0;
            break;
        case SB_BOTTOM:
            to = info.nMax;
            break;
        default:
            return;
    }
    if (bar == SB_HORZ)
        ScrollTo(to, scroll_.y);
    else
        ScrollTo(scroll_.x, to);
}

// The board moved under a still pointer: the cell now under it becomes the arrows' target.
void MainWindow::ReportStillPointer() {
    POINT at;
    if (!GetCursorPos(&at) || WindowFromPoint(at) != window_) return;
    ScreenToClient(window_, &at);
    RECT inside;
    GetClientRect(window_, &inside);
    if (!PtInRect(&inside, at)) return;
    const POINT board = BoardPoint(at, scroll_, scale_);
    game_.PointerAt(board.x, board.y);
}

POINT MainWindow::ToBoard(LPARAM clientPoint) const {
    const POINT at{static_cast<short>(LOWORD(clientPoint)),
                   static_cast<short>(HIWORD(clientPoint))};
    return BoardPoint(at, scroll_, scale_);
}

void MainWindow::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    const RECT& dirty = paint.rcPaint;
    // The board's part of the dirty rectangle, then the ground around it.
    RECT shown{0, 0, board_.Width() - scroll_.x, board_.Height() - scroll_.y};
    RECT both;
    if (IntersectRect(&both, &dirty, &shown))
        board_.Draw(dc, both, {both.left + scroll_.x, both.top + scroll_.y});
    if (dirty.right > shown.right) {
        const RECT right{std::max(dirty.left, shown.right), dirty.top, dirty.right, dirty.bottom};
        FillRect(dc, &right, GroundBrush());
    }
    if (dirty.bottom > shown.bottom) {
        const RECT below{dirty.left, std::max(dirty.top, shown.bottom), dirty.right, dirty.bottom};
        FillRect(dc, &below, GroundBrush());
    }
    EndPaint(window_, &paint);
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    scale_ = ScaleForDpi(static_cast<int>(dpi));
    scroll_ = {0, 0};
    PaintWholeBoard();
    FitToBoard({suggested.left, suggested.top});
    ReportStillPointer();
}

}  // namespace kov::win
