#include "GameSession.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <thread>

#include "Process.h"

namespace e2e {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

bool Running(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidField, name, state;
    if (!(stat >> pidField >> name >> state)) return false;
    return state != "Z" && state != "X";
}

// Xvfb picks a free display itself and writes its number here, once it accepts clients; so
// tests running side by side never share a display. Nothing when it gave up instead.
std::optional<std::string> ReadDisplayNumber(int fd) {
    std::string text;
    const auto deadline = Clock::now() + 15s;
    while (text.find('\n') == std::string::npos && Clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        char buf[32];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) break;
        text.append(buf, static_cast<std::size_t>(n));
    }
    if (text.find('\n') == std::string::npos) return std::nullopt;
    return ":" + text.substr(0, text.find('\n'));
}

template <typename Pred>
bool WaitUntil(Pred pred, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (pred()) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
}

}  // namespace

std::optional<Caption> ParseCaption(const std::string& text) {
    static const std::regex shape("^Ковелинт ([1-9][0-9]*)x([1-9][0-9]*) - (0|[1-9][0-9]*)шт\\.$");
    std::smatch m;
    if (!std::regex_match(text, m, shape)) return std::nullopt;
    return Caption{std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3])};
}

bool Board::AllCellsRead() const {
    for (int s : slots)
        if (s < 0) return false;
    return true;
}

int Board::GreyPieces() const {
    return static_cast<int>(Cells([](int s) { return ColourOf(s) == Grey; }).size());
}

int Board::GreyPixels() const {
    int n = 0;
    for (int y = 0; y < Margin + rows * CellPx; ++y)
        for (int x = 0; x < Margin + cols * CellPx; ++x)
            n += IsGreyShade(Rgb(area, x, y)) ? 1 : 0;
    return n;
}

std::vector<std::pair<int, int>> Board::Cells(const std::function<bool(int)>& wanted) const {
    std::vector<std::pair<int, int>> found;
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            if (wanted(Slot(c, r))) found.emplace_back(c, r);
    return found;
}

void GameSession::SetUp() {
    char dir[] = "/tmp/kovelint-e2e-XXXXXX";
    if (::mkdtemp(dir) == nullptr) throw std::runtime_error("mkdtemp failed");
    logDir_ = dir;
    // The game's lock lives here: a game of another test, or the developer's own, never counts.
    runtimeDir_ = logDir_ + "/run";
    ::mkdir(runtimeDir_.c_str(), 0700);

    // Two servers starting at once can both reach for the same free display; the loser gives
    // up ("server already running") and is simply started again.
    std::optional<std::string> display;
    for (int attempt = 0; attempt < 3 && !display; ++attempt) {
        int fds[2];
        ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
        xvfb_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screenSize_,
                       "-nolisten", "tcp", "-noreset"},
                      {.env = {}, .logPath = logDir_ + "/xvfb.log", .passFd = fds[1]});
        ::close(fds[1]);
        display = ReadDisplayNumber(fds[0]);
        ::close(fds[0]);
        if (!display) {
            Stop(xvfb_);
            xvfb_ = -1;
        }
    }
    ASSERT_TRUE(display) << "Xvfb did not start; its log is in " << logDir_;
    display_ = *display;
    ::setenv("DISPLAY", display_.c_str(), 1);  // for xdotool
    screen_ = std::make_unique<XScreen>(display_);

    openbox_ = Spawn({"openbox", "--sm-disable"},
                     {.env = {"DISPLAY=" + display_}, .logPath = logDir_ + "/openbox.log"});
    ASSERT_TRUE(WaitUntil([this] { return screen_->WindowManagerReady(); }, 15s))
        << "openbox did not start";
    // Nothing may be hovered before a test moves the mouse on purpose.
    MoveAway();
    pictures_ = std::make_unique<PictureSet>(KOVELINT_PICTURES);
    ASSERT_EQ(pictures_->Count(), 96);
}

void GameSession::TearDown() {
    for (auto it = games_.rbegin(); it != games_.rend(); ++it)
        Stop(*it);
    screen_.reset();
    Stop(openbox_);
    Stop(xvfb_);
    if (HasFailure())
        std::fprintf(stderr, "logs of the game, Xvfb and openbox kept in %s\n", logDir_.c_str());
    else
        std::filesystem::remove_all(logDir_);
}

pid_t GameSession::Launch() {
    const std::string log = logDir_ + "/game-" + std::to_string(games_.size() + 1) + ".log";
    const pid_t pid = Spawn(
        {KOVELINT_BINARY},
        {.env = {"DISPLAY=" + display_, "XDG_RUNTIME_DIR=" + runtimeDir_, "QT_QPA_PLATFORM=xcb"},
         .logPath = log});
    games_.push_back(pid);
    return pid;
}

std::optional<WindowId> GameSession::WaitForWindow(pid_t pid, std::chrono::milliseconds timeout) {
    std::optional<WindowId> window;
    WaitUntil(
        [&] {
            window = screen_->ClientWindowOf(pid);
            return window.has_value() || !Running(pid);
        },
        timeout);
    return window;
}

Game GameSession::StartGame() {
    Game game;
    game.pid = Launch();
    const auto window = WaitForWindow(game.pid, 20s);
    if (!window) throw std::runtime_error("the game showed no window");
    game.window = *window;
    if (!Refit(game)) throw std::runtime_error("no board ground under the menu bar");
    if (!WaitForBoard(game, [](const Board& b) { return b.AllCellsRead(); }).AllCellsRead())
        throw std::runtime_error("the first board never showed only the game's pictures");

    Xdo({"windowactivate", std::to_string(game.window)});
    if (!WaitUntil([&] { return screen_->FocusedWindow() == game.window; }, Patience))
        throw std::runtime_error("the game window did not get the keyboard focus");
    return game;
}

bool GameSession::Refit(Game& game, Resize resize) {
    const auto sameSize = [](const Rect& a, const Rect& b) {
        return a.width == b.width && a.height == b.height;
    };
    // A new board asks the window manager for a new size, which comes some time later.
    if (resize == Resize::Expected) {
        const Rect before = game.client;
        WaitUntil([&] { return !sameSize(screen_->Geometry(game.window), before); }, Patience);
    }
    // Then the same size read a few times over.
    int still = 0;
    WaitUntil(
        [&] {
            const Rect now = screen_->Geometry(game.window);
            still = sameSize(now, game.client) ? still + 1 : 0;
            game.client = now;
            return still >= 5;
        },
        Patience);
    // The board's grey ground starts right under the menu bar.
    return WaitUntil(
        [&] {
            const QImage left =
                screen_->Grab({game.client.x, game.client.y, 3, game.client.height});
            for (int y = 1; y + Margin < left.height(); ++y) {
                if (Rgb(left, 2, y) == BoardGround && Rgb(left, 2, y + Margin - 1) == BoardGround &&
                    Rgb(left, 2, y - 1) != BoardGround) {
                    game.menuBar = y;
                    return true;
                }
            }
            return false;
        },
        Patience);
}

std::string GameSession::CaptionText(const Game& game) {
    ToolResult r = RunTool({"xdotool", "getwindowname", std::to_string(game.window)});
    while (!r.out.empty() && (r.out.back() == '\n' || r.out.back() == '\r'))
        r.out.pop_back();
    return r.out;
}

Rect GameSession::BoardArea(const Game& game) {
    return {game.client.x, game.client.y + game.menuBar, game.client.width,
            game.client.height - game.menuBar};
}

Board GameSession::ReadBoard(const Game& game, int cols, int rows) {
    Board b;
    b.cols = cols;
    b.rows = rows;
    b.area = screen_->Grab(BoardArea(game));
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= cols; ++c) {
            const int x = Margin + (c - 1) * CellPx;
            const int y = Margin + (r - 1) * CellPx;
            const bool inside = x + CellPx <= b.area.width() && y + CellPx <= b.area.height();
            b.slots.push_back(inside ? pictures_->Identify(b.Cell(c, r)) : -1);
        }
    }
    return b;
}

Board GameSession::WaitForBoard(const Game& game, const std::function<bool(const Board&)>& done,
                                int cols, int rows, std::chrono::milliseconds timeout) {
    Board b;
    WaitUntil(
        [&] {
            b = ReadBoard(game, cols, rows);
            return done(b);
        },
        timeout);
    return b;
}

void GameSession::Settle(const Game& game) {
    // Input reaches the game within a few milliseconds and a turn repaints one cell; this is
    // ample even on a busy machine. Only checks that something did NOT happen rely on it.
    std::this_thread::sleep_for(300ms);
    if (!Running(game.pid)) throw std::runtime_error("the game has ended");
}

bool GameSession::WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    return WaitUntil(done, timeout);
}

QImage GameSession::GrabWhenStill(const Rect& area) {
    QImage last = screen_->Grab(area);
    int still = 0;
    WaitUntil(
        [&] {
            std::this_thread::sleep_for(100ms);
            QImage now = screen_->Grab(area);
            still = now == last ? still + 1 : 0;
            last = std::move(now);
            return still >= 2;
        },
        Patience);
    return last;
}

void GameSession::Xdo(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    const ToolResult r = RunTool(argv);
    if (r.status != 0) throw std::runtime_error("xdotool " + args.front() + " failed");
}

void GameSession::MoveTo(int x, int y) {
    // --sync waits for the pointer to move, which it never does when it is there already.
    const std::string there = "X=" + std::to_string(x) + "\nY=" + std::to_string(y) + "\n";
    if (RunTool({"xdotool", "getmouselocation", "--shell"}).out.starts_with(there)) return;
    Xdo({"mousemove", "--sync", std::to_string(x), std::to_string(y)});
}

void GameSession::Hover(const Game& game, int c, int r) {
    MoveTo(game.client.x + Margin + (c - 1) * CellPx + CellPx / 2,
           game.client.y + game.menuBar + Margin + (r - 1) * CellPx + CellPx / 2);
}

void GameSession::Click(const Game& game, int c, int r) {
    Hover(game, c, r);
    Xdo({"click", "1"});
}

void GameSession::DoubleClick(const Game& game, int c, int r) {
    Hover(game, c, r);
    Xdo({"click", "--repeat", "2", "--delay", "60", "1"});
}

void GameSession::Key(const std::string& keys) {
    Xdo({"key", keys});
}

void GameSession::MoveAway() {
    MoveTo(screen_->Width() - 1, screen_->Height() - 1);
}

void GameSession::OpenMenu(const Game& game, const std::vector<std::string>& keys) {
    MoveTo(game.client.x + 12, game.client.y + game.menuBar / 2);
    Xdo({"click", "1"});
    if (!WaitForPopups(1)) throw std::runtime_error("a click on the menu bar opened no menu");
    for (const std::string& k : keys)
        Key(k);
}

std::optional<Rect> GameSession::WaitForPopups(std::size_t count) {
    std::vector<Rect> popups;
    WaitUntil(
        [&] {
            popups = screen_->Popups();
            return popups.size() >= count;
        },
        Patience);
    if (popups.size() < count) return std::nullopt;
    // Let the newest one finish painting before anyone reads it.
    std::this_thread::sleep_for(150ms);
    return screen_->Popups().back();
}

std::vector<CheckBox> ReadCheckBoxes(const QImage& popup) {
    // A box is a square outline in the popup's left strip: a top and a bottom edge, each a run
    // of one colour 10 to 20 pixels long, 10 to 20 rows apart, joined by sides of that colour
    // just outside the runs' ends. A tick is dark inside it.
    const int strip = std::min(popup.width(), 40);
    auto edgeAt = [&](int y) -> std::pair<int, int> {
        for (int x = 1; x + 10 < strip; ++x) {
            const std::uint32_t c = Rgb(popup, x, y);
            if (c == Rgb(popup, 3, y)) continue;  // the row's own background, left of any box
            int end = x;
            while (end + 2 < strip && Rgb(popup, end + 1, y) == c)
                ++end;
            if (end - x + 1 >= 10 && end - x + 1 <= 20) return {x, end};
            x = end;
        }
        return {-1, -1};
    };
    auto sidesJoin = [&](int x0, int x1, int top, int bottom) {
        const std::uint32_t c = Rgb(popup, x0, top);
        for (int y = top + 1; y < bottom; ++y)
            if (Rgb(popup, x0 - 1, y) != c || Rgb(popup, x1 + 1, y) != c) return false;
        return true;
    };
    std::vector<CheckBox> boxes;
    for (int y = 0; y < popup.height(); ++y) {
        const auto [x0, x1] = edgeAt(y);
        if (x0 < 0) continue;
        for (int y2 = y + 10; y2 <= y + 20 && y2 < popup.height(); ++y2) {
            if (edgeAt(y2) != std::make_pair(x0, x1) || !sidesJoin(x0, x1, y, y2)) continue;
            int dark = 0;
            for (int j = y + 2; j < y2 - 1; ++j)
                for (int i = x0 + 1; i < x1; ++i)
                    dark += (Rgb(popup, i, j) & 0xFF) < 0x60;
            boxes.push_back({(y + y2) / 2, dark >= 4});
            y = y2;
            break;
        }
    }
    return boxes;
}

}  // namespace e2e
