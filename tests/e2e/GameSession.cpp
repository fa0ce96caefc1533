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

    screen_.logDir = logDir_;
    try {
        desktop_ = StartDesktop(DesktopKind(), screen_);
    } catch (const std::exception& e) {
        FAIL() << e.what() << "; the logs are in " << logDir_;
    }
    // Nothing may be hovered before a test moves the mouse on purpose.
    MoveAway();
    pictures_ = std::make_unique<PictureSet>(KOVELINT_PICTURES);
    ASSERT_EQ(pictures_->Count(), 96);
}

void GameSession::TearDown() {
    for (auto it = games_.rbegin(); it != games_.rend(); ++it)
        Stop(*it);
    desktop_.reset();
    if (HasFailure())
        std::fprintf(stderr, "logs of the game and the desktop kept in %s\n", logDir_.c_str());
    else
        std::filesystem::remove_all(logDir_);
}

pid_t GameSession::Launch(const std::vector<std::string>& env, const std::string& runtimeDir) {
    const std::string log = logDir_ + "/game-" + std::to_string(games_.size() + 1) + ".log";
    std::vector<std::string> all = desktop_->GameEnv();
    all.push_back("XDG_RUNTIME_DIR=" + (runtimeDir.empty() ? runtimeDir_ : runtimeDir));
    all.insert(all.end(), env.begin(), env.end());
    const pid_t pid = Spawn({KOVELINT_BINARY}, {.env = all, .logPath = log});
    games_.push_back(pid);
    return pid;
}

std::optional<WindowId> GameSession::WaitForWindow(pid_t pid, std::chrono::milliseconds timeout) {
    std::optional<WindowId> window;
    WaitUntil(
        [&] {
            window = desktop_->ClientWindowOf(pid);
            return window.has_value() || !Running(pid);
        },
        timeout);
    return window;
}

Game GameSession::StartGame(const std::string& runtimeDir) {
    Game game;
    game.pid = Launch({}, runtimeDir);
    const auto window = WaitForWindow(game.pid, 20s);
    if (!window) throw std::runtime_error("the game showed no window");
    game.window = *window;
    if (!Refit(game)) throw std::runtime_error("no board ground under the menu bar");
    if (!WaitForBoard(game, [](const Board& b) { return b.AllCellsRead(); }).AllCellsRead())
        throw std::runtime_error("the first board never showed only the game's pictures");

    desktop_->Activate(game.window);
    if (!WaitUntil([&] { return desktop_->FocusedWindow() == game.window; }, Patience))
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
        WaitUntil([&] { return !sameSize(desktop_->Geometry(game.window), before); }, Patience);
    }
    // Then the same size read a few times over.
    int still = 0;
    WaitUntil(
        [&] {
            const Rect now = desktop_->Geometry(game.window);
            still = sameSize(now, game.client) ? still + 1 : 0;
            game.client = now;
            return still >= 5;
        },
        Patience);
    // The board's grey ground starts right under the menu bar.
    return WaitUntil(
        [&] {
            const QImage left =
                desktop_->Grab({game.client.x, game.client.y, 3, game.client.height});
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
    return desktop_->Title(game.window);
}

Rect GameSession::BoardArea(const Game& game) {
    return {game.client.x, game.client.y + game.menuBar, game.client.width,
            game.client.height - game.menuBar};
}

Board GameSession::ReadBoard(const Game& game, int cols, int rows) {
    Board b;
    b.cols = cols;
    b.rows = rows;
    b.area = desktop_->Grab(BoardArea(game));
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
    QImage last = desktop_->Grab(area);
    int still = 0;
    WaitUntil(
        [&] {
            std::this_thread::sleep_for(100ms);
            QImage now = desktop_->Grab(area);
            still = now == last ? still + 1 : 0;
            last = std::move(now);
            return still >= 2;
        },
        Patience);
    return last;
}

void GameSession::MoveTo(int x, int y) {
    desktop_->MoveTo(x, y);
}

void GameSession::Hover(const Game& game, int c, int r) {
    MoveTo(game.client.x + Margin + (c - 1) * CellPx + CellPx / 2,
           game.client.y + game.menuBar + Margin + (r - 1) * CellPx + CellPx / 2);
}

void GameSession::Click(const Game& game, int c, int r) {
    Hover(game, c, r);
    desktop_->Click(1);
}

void GameSession::DoubleClick(const Game& game, int c, int r) {
    Hover(game, c, r);
    desktop_->Click(1, 2);
}

void GameSession::MoveAway() {
    MoveTo(desktop_->Width() - 1, desktop_->Height() - 1);
}

void GameSession::OpenMenu(const Game& game, const std::vector<std::string>& keys) {
    MoveTo(game.client.x + 12, game.client.y + game.menuBar / 2);
    desktop_->Click(1);
    if (!WaitForPopups(1)) throw std::runtime_error("a click on the menu bar opened no menu");
    for (const std::string& k : keys)
        Key(k);
}

std::optional<Rect> GameSession::WaitForPopups(std::size_t count) {
    std::vector<Rect> popups;
    WaitUntil(
        [&] {
            popups = desktop_->Popups();
            return popups.size() >= count;
        },
        Patience);
    if (popups.size() < count) return std::nullopt;
    // Let the newest one finish painting before anyone reads it.
    std::this_thread::sleep_for(150ms);
    return desktop_->Popups().back();
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
