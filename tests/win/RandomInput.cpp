// The real window under random input, seeded: clicks and double clicks on and off the board,
// pointer moves, the arrows with the pointer over the board and off it, every F-key (not Esc,
// which ends the game), every menu command, scrolling, resizes, minimise and restore, each sent
// to the window procedure as Windows sends it. After every event the caption is the
// controller's, and the cell under the pointer and one cell drawn at random show the
// controller's pictures, read back from the window's pixels; every thousand events the whole
// board is checked and the process's GDI objects, USER objects and private bytes are sampled.
// Over 10,000 events or more they must stay flat after the warm-up: a leak is a steady climb.
//   random_input.exe [--events N] [--seed S]
// Prints the seed first, so that a failure can be replayed with --seed. Ends 0 when every check
// held, 1 at the first that did not.
#include <windows.h>
// After windows.h, whose types it uses.
#include <psapi.h>

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "game/GameController.h"
#include "generator/Random.h"
#include "tests/win/OwnWindow.h"
#include "win/Dpi.h"
#include "win/Geometry.h"
#include "win/MainWindow.h"
#include "win/Menu.h"
#include "win/Pictures.h"
#include "win/Text.h"

namespace {

using kov::win::Picture;
using kov::win::PictureSide;

struct Sample {
    long events;
    DWORD gdi, user;
    std::size_t privateBytes;
};

Sample Measure(long events) {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    // The commit charge, which Windows also reports as private bytes (Wine 8 fills only this).
    return {events, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
            GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), memory.PagefileUsage};
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class Run {
  public:
    Run(HWND window, kov::GameController& game, const kov::win::PictureSet& pictures, unsigned seed)
        : window_(window), game_(game), pictures_(pictures), random_(seed) {}

    // One random event; its name, for the report of a failure.
    const char* Event() {
        const int pick = Between(0, 99);
        if (pick < 25) return Click(false);
        if (pick < 33) return Click(true);
        if (pick < 43) return Move();
        if (pick < 58) return Arrow();
        if (pick < 64) return FunctionKey();
        if (pick < 76) return MenuCommand();
        if (pick < 85) return Scroll();
        if (pick < 92) return Resize();
        return MinimiseOrRestore();
    }

    // The caption and the cells near the last point, or every cell: as the controller says.
    bool Agrees(bool wholeBoard, std::string* wrong) {
        std::wstring caption(256, L'\0');
        caption.resize(static_cast<std::size_t>(
            GetWindowTextW(window_, caption.data(), static_cast<int>(caption.size()))));
        if (caption != kov::win::Widen(game_.Caption())) {
            *wrong = "the caption is not the controller's";
            return false;
        }
        if (IsIconic(window_)) return true;
        UpdateWindow(window_);
        if (wholeBoard) {
            for (int n = 1; n <= game_.CellCount(); ++n)
                if (!CellShows(n, wrong)) return false;
            return true;
        }
        // The cell under the last point, and one anywhere.
        const POINT board = BoardPointOf(last_);
        const int under = game_.CellAt(board.x, board.y);
        if (under > 0 && !CellShows(under, wrong)) return false;
        return CellShows(Between(1, game_.CellCount()), wrong);
    }

  private:
    int Between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    }

    RECT Client() const {
        RECT inside;
        GetClientRect(window_, &inside);
        return inside;
    }

    // A point in the client area, or now and then just outside it.
    POINT AnyPoint() {
        const RECT inside = Client();
        return {Between(-8, std::max<int>(inside.right, 1) + 8),
                Between(-8, std::max<int>(inside.bottom, 1) + 8)};
    }

    LPARAM At(POINT p) {
        last_ = p;
        return MAKELPARAM(static_cast<WORD>(static_cast<short>(p.x)),
                          static_cast<WORD>(static_cast<short>(p.y)));
    }

    const char* Click(bool twice) {
        const LPARAM at = At(AnyPoint());
        SendMessageW(window_, WM_MOUSEMOVE, 0, at);
        SendMessageW(window_, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(window_, WM_LBUTTONUP, 0, at);
        if (!twice) return "click";
        SendMessageW(window_, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageW(window_, WM_LBUTTONUP, 0, at);
        return "double click";
    }

    const char* Move() {
        SendMessageW(window_, WM_MOUSEMOVE, 0, At(AnyPoint()));
        return "pointer move";
    }

    const char* Arrow() {
        static constexpr WPARAM Keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN};
        // Over the board, or off it in the margin's corner.
        const POINT p = Between(0, 3) == 0 ? POINT{1, 1} : AnyPoint();
        SendMessageW(window_, WM_MOUSEMOVE, 0, At(p));
        const bool repeat = Between(0, 3) == 0;
        SendMessageW(window_, WM_KEYDOWN, Keys[Between(0, 3)], repeat ? (1L << 30) | 1 : 1);
        return repeat ? "arrow, repeated" : "arrow";
    }

    const char* FunctionKey() {
        SendMessageW(window_, WM_KEYDOWN, static_cast<WPARAM>(VK_F1 + Between(0, 11)), 1);
        return "F-key";
    }

    const char* MenuCommand() {
        const auto command = static_cast<kov::Command>(Between(0, kov::CommandCount - 1));
        const auto id = kov::win::FirstMenuId + static_cast<UINT>(kov::MenuIndexOf(command));
        SendMessageW(window_, WM_COMMAND, id, 0);
        return "menu command";
    }

    const char* Scroll() {
        static constexpr WPARAM Codes[] = {SB_LINEUP, SB_LINEDOWN, SB_PAGEUP,     SB_PAGEDOWN,
                                           SB_TOP,    SB_BOTTOM,   SB_THUMBTRACK, SB_ENDSCROLL};
        switch (Between(0, 2)) {
            case 0:
                SendMessageW(window_, WM_HSCROLL, Codes[Between(0, 7)], 0);
                return "scroll across";
            case 1:
                SendMessageW(window_, WM_VSCROLL, Codes[Between(0, 7)], 0);
                return "scroll down";
            default: {
                const auto delta = static_cast<short>(Between(-3, 3) * WHEEL_DELTA / 2);
                const WPARAM keys = Between(0, 3) == 0 ? MK_SHIFT : 0;
                SendMessageW(window_, WM_MOUSEWHEEL, MAKEWPARAM(keys, delta), 0);
                return "wheel";
            }
        }
    }

    const char* Resize() {
        RECT r;
        GetWindowRect(window_, &r);
        SetWindowPos(window_, nullptr, r.left, r.top, Between(120, 1400), Between(120, 1000),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return "resize";
    }

    const char* MinimiseOrRestore() {
        const bool minimised = IsIconic(window_);
        ShowWindow(window_, minimised ? SW_RESTORE : SW_MINIMIZE);
        return minimised ? "restore" : "minimise";
    }

    int Scale() const {
        return kov::win::ScaleForDpi(static_cast<int>(kov::win::WindowDpi(window_)));
    }

    POINT Scrolled() const {
        const LONG style = GetWindowLongW(window_, GWL_STYLE);
        return {(style & WS_HSCROLL) ? GetScrollPos(window_, SB_HORZ) : 0,
                (style & WS_VSCROLL) ? GetScrollPos(window_, SB_VERT) : 0};
    }

    POINT BoardPointOf(POINT client) const {
        return kov::win::BoardPoint(client, Scrolled(), Scale());
    }

    // Whether the visible part of cell n is its picture, read back from the window's pixels.
    bool CellShows(int n, std::string* wrong) {
        const kov::PixelRect cell = game_.CellRect(n);
        const int scale = Scale();
        const RECT on = kov::win::ClientRect(cell, Scrolled(), scale);
        const RECT inside = Client();
        RECT seen;
        if (!IntersectRect(&seen, &on, &inside)) return true;
        const int w = seen.right - seen.left, h = seen.bottom - seen.top;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HDC screen = GetDC(window_);
        HDC copy = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateDIBSection(copy, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(copy, bitmap);
        BitBlt(copy, 0, 0, w, h, screen, seen.left, seen.top, SRCCOPY);
        GdiFlush();
        const Picture& picture = pictures_[game_.ShownPicture(n)];
        const int devicePerPicturePixel = cell.width * scale / PictureSide;
        int differ = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int px = (seen.left - on.left + x) / devicePerPicturePixel;
                const int py = (seen.top - on.top + y) / devicePerPicturePixel;
                const std::uint32_t got =
                    static_cast<const std::uint32_t*>(bits)[y * w + x] & 0xFFFFFF;
                const std::uint32_t want = picture[static_cast<std::size_t>(py * PictureSide + px)];
                differ += got != want;
            }
        SelectObject(copy, old);
        DeleteObject(bitmap);
        DeleteDC(copy);
        ReleaseDC(window_, screen);
        if (differ == 0) return true;
        *wrong = "cell " + std::to_string(n) + " is not picture " +
                 std::to_string(game_.ShownPicture(n)) + " (" + std::to_string(differ) +
                 " pixels differ)";
        return false;
    }

    HWND window_;
    kov::GameController& game_;
    const kov::win::PictureSet& pictures_;
    std::mt19937 random_;
    POINT last_{0, 0};
};

std::uint64_t Median(std::vector<std::uint64_t> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Whether the last quarter of the samples sits no more than `slack` above the quarter after the
// warm-up, each taken at its median: the board in use moves the figures up and down by its
// size, a leak moves them up for good.
bool Flat(const char* what, const std::vector<Sample>& samples, std::size_t warm,
          std::uint64_t (*value)(const Sample&), std::uint64_t slack) {
    const std::size_t quarter = std::max<std::size_t>(1, (samples.size() - warm) / 4);
    std::vector<std::uint64_t> early, late;
    for (std::size_t i = warm; i < warm + quarter; ++i)
        early.push_back(value(samples[i]));
    for (std::size_t i = samples.size() - quarter; i < samples.size(); ++i)
        late.push_back(value(samples[i]));
    const std::uint64_t settled = Median(early), last = Median(late);
    if (settled == 0 && last == 0) {
        // Wine 8 counts no GDI or USER objects: GetGuiResources answers 0 there.
        std::printf("%s: not counted by this Windows (always 0)\n", what);
        return true;
    }
    const bool flat = last <= settled + slack;
    std::printf("%s: median %" PRIu64 " after the warm-up, %" PRIu64 " at the end: %s\n", what,
                settled, last, flat ? "flat" : "CLIMBS");
    return flat;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    long events = 100000;
    unsigned seed = static_cast<unsigned>(GetTickCount());
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::wcscmp(argv[i], L"--events") == 0) events = std::wcstol(argv[i + 1], nullptr, 10);
        if (std::wcscmp(argv[i], L"--seed") == 0)
            seed = static_cast<unsigned>(std::wcstoul(argv[i + 1], nullptr, 10));
    }
    std::printf("random input: seed %u, %ld events (replay with --seed %u --events %ld)\n", seed,
                events, seed, events);
    std::fflush(stdout);

    HINSTANCE instance = GetModuleHandleW(nullptr);
    kov::win::PictureSet pictures;
    std::wstring why;
    if (!pictures.Load(instance, &why)) return 1;
    kov::GameController game(std::make_unique<kov::SeededRandom>(seed));
    kov::win::MainWindow main(instance, game, pictures);
    if (!main.Create(SW_SHOWNORMAL)) {
        std::printf("FAIL no window\n");
        return 1;
    }
    HWND window = kov::win::OwnGameWindow();
    Pump();

    // The largest board first, so that the warm-up holds the largest bitmap there will be.
    for (const kov::Command c : {kov::Command::LargePictures, kov::Command::Size25x15})
        SendMessageW(window, WM_COMMAND, kov::win::FirstMenuId + kov::MenuIndexOf(c), 0);
    Pump();
    Run run(window, game, pictures, seed);
    constexpr long Every = 1000;
    std::vector<Sample> samples;
    for (long i = 1; i <= events; ++i) {
        const char* event = run.Event();
        Pump();
        if (!IsWindow(window)) {
            std::printf("FAIL the window is gone after event %ld (%s), seed %u\n", i, event, seed);
            return 1;
        }
        std::string wrong;
        if (!run.Agrees(i % Every == 0, &wrong)) {
            std::printf("FAIL after event %ld (%s), seed %u: %s\n", i, event, seed, wrong.c_str());
            return 1;
        }
        if (i % Every == 0 || i == events) samples.push_back(Measure(i));
    }
    DestroyWindow(window);
    Pump();

    std::printf("events\tgdi\tuser\tprivate_kib\n");
    for (const Sample& s : samples)
        std::printf("%ld\t%lu\t%lu\t%zu\n", s.events, s.gdi, s.user, s.privateBytes / 1024);
    // A leak is told from the heap's ups and downs only over many samples.
    if (samples.size() < 10) {
        std::printf("ok %ld events (too few samples to judge leaks)\n", events);
        return 0;
    }
    // The first fifth is warm-up: the heap and Wine's own caches growing to their size.
    const std::size_t warm = std::max<std::size_t>(1, samples.size() / 5);
    bool flat = Flat(
        "GDI objects", samples, warm, [](const Sample& s) -> std::uint64_t { return s.gdi; }, 4);
    flat &= Flat(
        "USER objects", samples, warm, [](const Sample& s) -> std::uint64_t { return s.user; }, 4);
    flat &= Flat(
        "private KiB", samples, warm,
        [](const Sample& s) -> std::uint64_t { return s.privateBytes / 1024; }, 2048);
    std::printf("%s %ld events, seed %u\n", flat ? "ok" : "FAIL", events, seed);
    return flat ? 0 : 1;
}
