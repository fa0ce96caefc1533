// The real window sized to the board after every change of board size, picture size and grid,
// in any order: the client area is the board exactly (widened to the menu bar's one line where
// the board is narrower), with no scroll bar left over from a board that did not fit, and a
// board larger than the screen scrolls inside the work area.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
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

namespace kov::win {
namespace {

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// One window for the whole suite, made by its first test: the class is registered once per
// process. Each test fails, rather than being skipped, when there is no window.
class Window : public ::testing::Test {
  protected:
    void SetUp() override {
        if (window_ == nullptr) Open();
        ASSERT_NE(window_, nullptr) << "no window";
    }
    static void Open() {
        instance_ = GetModuleHandleW(nullptr);
        std::wstring why;
        ASSERT_TRUE(pictures_.Load(instance_, &why));
        game_ = std::make_unique<GameController>(std::make_unique<SeededRandom>(25));
        main_ = std::make_unique<MainWindow>(instance_, *game_, pictures_);
        ASSERT_TRUE(main_->Create(SW_SHOWNORMAL));
        window_ = OwnGameWindow();
        Pump();
    }
    static void TearDownTestSuite() {
        if (window_ != nullptr) DestroyWindow(window_);
        Pump();
        window_ = nullptr;
        main_.reset();
        game_.reset();
    }

    static void Choose(Command command) {
        const auto id = FirstMenuId + static_cast<UINT>(MenuIndexOf(command));
        SendMessageW(window_, WM_COMMAND, id, 0);
        Pump();
    }

    // Whether the board, at the window's scale, fits the work area with the frame around it.
    static bool BoardFitsScreen(SIZE board) {
        RECT window, client;
        GetWindowRect(window_, &window);
        GetClientRect(window_, &client);
        const LONG style = GetWindowLongW(window_, GWL_STYLE);
        const LONG frameWidth = (window.right - window.left) - client.right -
                                ((style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0);
        const LONG frameHeight = (window.bottom - window.top) - client.bottom -
                                 ((style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0);
        const RECT work = WorkArea();
        return board.cx + frameWidth <= work.right - work.left &&
               board.cy + frameHeight <= work.bottom - work.top;
    }

    static RECT WorkArea() {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor);
        return monitor.rcWork;
    }

    // Where each menu of the bar lies, in screen pixels.
    static std::vector<RECT> MenuItems() {
        std::vector<RECT> items;
        const HMENU bar = GetMenu(window_);
        for (int i = 0, n = GetMenuItemCount(bar); i < n; ++i) {
            RECT item{};
            EXPECT_TRUE(GetMenuItemRect(window_, bar, static_cast<UINT>(i), &item)) << i;
            items.push_back(item);
        }
        return items;
    }

    // The window after `what`: the board exactly, widened to the menu bar's one line where the
    // board is narrower, or, larger than the screen, scrolling in a window that stays on the
    // work area.
    static void ExpectFitted(const std::string& what) {
        SCOPED_TRACE(what);
        const int scale = ScaleForDpi(static_cast<int>(WindowDpi(window_)));
        const PixelSize pixels = game_->BoardPixels();
        const SIZE board{pixels.width * scale, pixels.height * scale};
        RECT client, window;
        GetClientRect(window_, &client);
        GetWindowRect(window_, &window);
        const LONG style = GetWindowLongW(window_, GWL_STYLE);
        if (BoardFitsScreen(board)) {
            // Every menu on the bar's first line, inside the window: the bar never wraps.
            POINT origin{0, 0};
            ClientToScreen(window_, &origin);
            const std::vector<RECT> items = MenuItems();
            ASSERT_EQ(items.size(), 3u);
            LONG bar = 0;
            for (const RECT& item : items) {
                EXPECT_EQ(item.top, items[0].top) << "the menu bar wraps";
                EXPECT_LE(item.right, origin.x + client.right) << "a menu past the window's edge";
                bar += item.right - item.left;
            }
            // As wide as the wider of the two, to the board pixel.
            EXPECT_GE(client.right, board.cx);
            EXPECT_GE(client.right, bar);
            EXPECT_LT(client.right, std::max(board.cx + 1, bar + scale));
            EXPECT_EQ(client.bottom, board.cy);
            EXPECT_FALSE(style & WS_HSCROLL) << "a horizontal bar on a board that fits";
            EXPECT_FALSE(style & WS_VSCROLL) << "a vertical bar on a board that fits";
        } else {
            const RECT work = WorkArea();
            EXPECT_GE(window.left, work.left);
            EXPECT_GE(window.top, work.top);
            EXPECT_LE(window.right, work.right);
            EXPECT_LE(window.bottom, work.bottom);
            // Each side either shows the whole board or scrolls it, never leaves ground over.
            EXPECT_TRUE(client.right == board.cx ||
                        (client.right < board.cx && (style & WS_HSCROLL)))
                << client.right << " wide for a board " << board.cx << " wide";
            EXPECT_TRUE(client.bottom == board.cy ||
                        (client.bottom < board.cy && (style & WS_VSCROLL)))
                << client.bottom << " tall for a board " << board.cy << " tall";
            EXPECT_TRUE(client.right < board.cx || client.bottom < board.cy);
        }
    }

    static inline HINSTANCE instance_ = nullptr;
    static inline PictureSet pictures_;
    static inline std::unique_ptr<GameController> game_;
    static inline std::unique_ptr<MainWindow> main_;
    static inline HWND window_ = nullptr;
};

TEST_F(Window, LeavingABoardLargerThanTheScreenFitsTheNextOneExactly) {
    // 25 x 15 with large pictures is 1760 x 1060 board pixels: wider and taller than the screen.
    Choose(Command::LargePictures);
    Choose(Command::Size25x15);
    ExpectFitted("25 x 15, large");
    Choose(Command::SmallPictures);
    ExpectFitted("25 x 15, large, then small pictures");
    Choose(Command::LargePictures);
    Choose(Command::Size5x5);
    ExpectFitted("25 x 15, large, then 5 x 5");
    Choose(Command::Size25x15);
    Choose(Command::ToggleGrid);
    ExpectFitted("25 x 15, large, then the grid");
    Choose(Command::ToggleGrid);
    Choose(Command::Size10x9);
    ExpectFitted("25 x 15, large, then the grid off and 10 x 9");
    Choose(Command::SmallPictures);
    ExpectFitted("10 x 9, large, then small pictures");
}

TEST_F(Window, EveryBoardSizeFollowsEveryOtherWithEitherPicturesAndGrid) {
    constexpr int Sizes =
        static_cast<int>(Command::Size5x5) - static_cast<int>(Command::Size25x15) + 1;
    bool grid = false;
    for (const Command pictures : {Command::SmallPictures, Command::LargePictures}) {
        Choose(pictures);
        for (int from = 0; from < Sizes; ++from)
            for (int to = 0; to < Sizes; ++to) {
                Choose(SizeCommand(from));
                Choose(SizeCommand(to));
                const std::string what = "size " + std::to_string(from) + " then " +
                                         std::to_string(to) + (grid ? ", grid" : "") +
                                         (pictures == Command::LargePictures ? ", large" : "");
                ExpectFitted(what);
                // The grid changes every few boards, so that each pair is met with and without.
                if ((from + to) % 3 == 0) {
                    Choose(Command::ToggleGrid);
                    grid = !grid;
                    ExpectFitted(what + ", then the grid toggled");
                }
            }
    }
    if (grid) Choose(Command::ToggleGrid);
}

}  // namespace
}  // namespace kov::win
