// Wayland: a private headless sway, read through its IPC and grim, and driven by a virtual
// pointer and keyboard of the test's own.
#include <glob.h>
#include <linux/input-event-codes.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <stdexcept>
#include <thread>

#include "Desktop.h"
#include "Process.h"
#include "wayland/VirtualInput.h"

namespace e2e {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The colours of Qt's Fusion style that a menu's outline is drawn in.
constexpr std::uint32_t MenuFrame = 0x959595;
constexpr std::uint32_t MenuHighlight = 0x308CC6;
constexpr std::uint32_t MenuHighlightEdge = 0x26709E;
constexpr std::uint32_t MenuPanel = 0xFFFFFF;

// One connection to sway's IPC socket: a message is the magic, the payload's length and the
// message's type, then the payload; replies and events come back the same way.
class SwayIpc {
  public:
    enum : std::uint32_t { RunCommand = 0, Subscribe = 2, GetTree = 4 };

    explicit SwayIpc(const std::string& path) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        if (path.size() >= sizeof addr.sun_path) throw std::runtime_error("IPC path too long");
        std::strcpy(addr.sun_path, path.c_str());
        if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
            throw std::runtime_error("cannot connect to sway's IPC at " + path);
    }
    ~SwayIpc() { ::close(fd_); }
    SwayIpc(const SwayIpc&) = delete;
    SwayIpc& operator=(const SwayIpc&) = delete;

    QJsonDocument Ask(std::uint32_t type, const std::string& payload = {}) {
        Send(type, payload);
        return Receive(Patience());
    }

    // The next message if one comes within `wait`, else an empty document.
    QJsonDocument Receive(std::chrono::milliseconds wait) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(wait.count())) <= 0) return {};
        char head[14];
        ReadAll(head, sizeof head);
        std::uint32_t length = 0;
        std::memcpy(&length, head + 6, 4);
        std::string body(length, '\0');
        ReadAll(body.data(), length);
        return QJsonDocument::fromJson(QByteArray::fromStdString(body));
    }

  private:
    static std::chrono::milliseconds Patience() { return 20s; }

    void Send(std::uint32_t type, const std::string& payload) {
        std::string message = "i3-ipc";
        const auto length = static_cast<std::uint32_t>(payload.size());
        message.append(reinterpret_cast<const char*>(&length), 4);
        message.append(reinterpret_cast<const char*>(&type), 4);
        message += payload;
        if (::send(fd_, message.data(), message.size(), MSG_NOSIGNAL) !=
            static_cast<ssize_t>(message.size()))
            throw std::runtime_error("sway's IPC closed");
    }

    void ReadAll(char* out, std::size_t size) {
        while (size > 0) {
            const ssize_t n = ::read(fd_, out, size);
            if (n <= 0) throw std::runtime_error("sway's IPC closed");
            out += n;
            size -= static_cast<std::size_t>(n);
        }
    }

    int fd_ = -1;
};

// Linux's code for a key by its X name.
unsigned KeyCode(const std::string& name) {
    static const std::map<std::string, unsigned> codes{
        {"Escape", KEY_ESC},    {"Return", KEY_ENTER}, {"Tab", KEY_TAB},   {"Left", KEY_LEFT},
        {"Right", KEY_RIGHT},   {"Up", KEY_UP},        {"Down", KEY_DOWN}, {"shift", KEY_LEFTSHIFT},
        {"ctrl", KEY_LEFTCTRL}, {"F1", KEY_F1},        {"F2", KEY_F2},     {"F3", KEY_F3},
        {"F4", KEY_F4},         {"F5", KEY_F5},        {"F10", KEY_F10},
    };
    const auto it = codes.find(name);
    if (it == codes.end()) throw std::runtime_error("no key code for " + name);
    return it->second;
}

std::optional<std::string> OneMatch(const std::string& pattern) {
    glob_t found{};
    std::optional<std::string> path;
    if (::glob(pattern.c_str(), 0, nullptr, &found) == 0 && found.gl_pathc == 1)
        path = found.gl_pathv[0];
    ::globfree(&found);
    return path;
}

// sway draws the pointer into every screenshot; a cursor theme whose every pointer is one clear
// pixel keeps it out of the board the tests read. Both sway and the game take it.
void WriteClearCursorTheme(const std::string& icons) {
    std::filesystem::create_directories(icons + "/clear/cursors");
    // An Xcursor file with one 1 x 1 image, all of it transparent.
    const std::uint32_t words[] = {
        0x72756358, 16,         0x10000, 1,  // "Xcur", header size, version, one entry
        0xfffd0002, 24,         28,          // the entry: an image of nominal size 24, at 28
        36,         0xfffd0002, 24,      1, 1,
        1,          0,          0,       0,  // the image's header: 1 x 1, hot spot 0,0
        0,                                   // its one ARGB pixel
    };
    for (const char* name : {"default", "left_ptr", "arrow", "pointer", "text", "xterm"}) {
        std::ofstream file(icons + "/clear/cursors/" + name, std::ios::binary);
        file.write(reinterpret_cast<const char*>(words), sizeof words);
    }
}

// Every container in the tree, floating ones included.
void Walk(const QJsonObject& node, const std::function<void(const QJsonObject&)>& visit) {
    visit(node);
    for (const char* list : {"nodes", "floating_nodes"})
        for (const QJsonValue& child : node[QLatin1String(list)].toArray())
            Walk(child.toObject(), visit);
}

class SwayDesktop final : public Desktop {
  public:
    explicit SwayDesktop(const DesktopOptions& options) : options_(options) {
        // sway will not run as root: then it runs as nobody, in a folder of nobody's own.
        char dir[] = "/tmp/kovelint-sway-XXXXXX";
        if (::mkdtemp(dir) == nullptr) throw std::runtime_error("mkdtemp failed");
        dir_ = dir;
        WriteClearCursorTheme(dir_ + "/icons");
        WriteConfig();
        std::vector<std::string> argv{"sway", "-c", dir_ + "/config"};
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (nobody == nullptr) throw std::runtime_error("no user nobody to run sway as");
            std::filesystem::path folder(dir_);
            for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
                HandOver(entry.path(), *nobody);
            HandOver(folder, *nobody);
            argv.insert(argv.begin(), {"setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
                                       "--regid=" + std::to_string(nobody->pw_gid),
                                       "--clear-groups", "--pdeathsig=KILL"});
        }
        sway_ = Spawn(argv, {.env = {"XDG_RUNTIME_DIR=" + dir_, "HOME=" + dir_,
                                     "XCURSOR_PATH=" + dir_ + "/icons", "WLR_BACKENDS=headless",
                                     "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman",
                                     "WAYLAND_DISPLAY=", "DISPLAY="},
                             .logPath = options.logDir + "/sway.log"});
        const auto deadline = Clock::now() + 20s;
        std::optional<std::string> socket, ipc;
        while (!(socket = OneMatch(dir_ + "/wayland-[0-9]")) ||
               !(ipc = OneMatch(dir_ + "/sway-ipc.*.sock"))) {
            if (Clock::now() > deadline) throw std::runtime_error("sway did not start");
            std::this_thread::sleep_for(20ms);
        }
        socket_ = *socket;
        ipcPath_ = *ipc;
        // A socket's name appears a moment before sway listens on it.
        for (;;) {
            try {
                ipc_ = std::make_unique<SwayIpc>(ipcPath_);
                input_ = std::make_unique<VirtualInput>(socket_, options_.width, options_.height);
                break;
            } catch (const std::exception&) {
                if (Clock::now() > deadline) throw;
                std::this_thread::sleep_for(20ms);
            }
        }
    }

    ~SwayDesktop() override {
        input_.reset();
        events_.reset();
        ipc_.reset();
        Stop(sway_);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::vector<std::string> GameEnv() const override {
        return {"WAYLAND_DISPLAY=" + socket_,      "QT_QPA_PLATFORM=wayland", "DISPLAY=",
                "XCURSOR_PATH=" + dir_ + "/icons", "XCURSOR_THEME=clear",     "XCURSOR_SIZE=24"};
    }

    int Width() const override { return options_.width; }
    int Height() const override { return options_.height; }
    int Scale() const override { return options_.scale; }

    QImage Grab(const Rect& area) override {
        const std::string region = std::to_string(area.x) + "," + std::to_string(area.y) + " " +
                                   std::to_string(area.width) + "x" + std::to_string(area.height);
        const ToolResult shot =
            RunTool({"grim", "-t", "ppm", "-g", region, "-"}, {"WAYLAND_DISPLAY=" + socket_});
        QImage image;
        if (shot.status != 0 || !image.loadFromData(reinterpret_cast<const uchar*>(shot.out.data()),
                                                    static_cast<int>(shot.out.size()), "PPM"))
            throw std::runtime_error("grim took no screenshot of " + region);
        return image.convertToFormat(QImage::Format_RGB32);
    }

    std::optional<WindowId> ClientWindowOf(pid_t pid) override {
        std::optional<WindowId> found;
        Walk(Tree(), [&](const QJsonObject& node) {
            if (node["pid"].toInt() == pid && node["visible"].toBool())
                found = static_cast<WindowId>(node["id"].toInteger());
        });
        return found;
    }

    Rect Geometry(WindowId window) override {
        const QJsonObject node = Node(window);
        const QJsonObject rect = node["rect"].toObject();
        const QJsonObject content = node["window_rect"].toObject();
        return {rect["x"].toInt() + content["x"].toInt(), rect["y"].toInt() + content["y"].toInt(),
                content["width"].toInt(), content["height"].toInt()};
    }

    std::string Title(WindowId window) override {
        return Node(window)["name"].toString().toStdString();
    }

    std::optional<WindowId> FocusedWindow() override {
        std::optional<WindowId> found;
        Walk(Tree(), [&](const QJsonObject& node) {
            if (node["focused"].toBool()) found = static_cast<WindowId>(node["id"].toInteger());
        });
        return found;
    }

    void Activate(WindowId window) override {
        ipc_->Ask(SwayIpc::RunCommand, "[con_id=" + std::to_string(window) + "] focus");
    }

    // sway lists no popups, so they are found on the screen: a menu is a panel in a one-pixel
    // frame of the style's grey, which its highlighted item paints over at the sides; a
    // submenu opens to the right of its menu.
    std::vector<Rect> Popups() override {
        const QImage screen = Grab({0, 0, Width(), Height()});
        std::vector<Rect> found;
        const int k = Scale();
        const auto at = [&](int x, int y) {
            return x < screen.width() && y < screen.height() ? Rgb(screen, x, y) : 0u;
        };
        const auto edge = [&](int x, int y) {
            const std::uint32_t c = at(x, y);
            return c == MenuFrame || c == MenuHighlight || c == MenuHighlightEdge;
        };
        // From each bottom left corner (a highlighted item may cover any other) along the
        // bottom, then up the left edge to the first row that closes the outline with the
        // right edge and has no menu above its right end: a submenu's left edge may go on up
        // as its menu's right edge, and the highlighted title in the menu bar may touch a
        // menu's top left.
        for (int y = 1; y < screen.height(); ++y)
            for (int x = 0; x + 1 < screen.width(); ++x) {
                if (at(x, y) != MenuFrame || at(x, y + 1) == MenuFrame ||
                    (x > 0 && at(x - 1, y) == MenuFrame) || !edge(x, y - 1))
                    continue;
                int right = x;
                while (edge(right + 1, y))
                    ++right;
                if (right - x < 30 * k) continue;
                for (int top = y - 1; top > 0 && edge(x, top); --top) {
                    if (!edge(right, top)) break;
                    const bool outside =
                        !edge(right - 1, top - 1) && at(right - 1, top - 1) != MenuPanel;
                    bool closed = outside && y - top >= 16 * k;
                    for (int i = x; i <= right && closed; ++i)
                        closed = edge(i, top);
                    if (closed) {
                        found.push_back({x / k, top / k, (right - x + 1) / k, (y - top + 1) / k});
                        break;
                    }
                }
            }
        std::sort(found.begin(), found.end(),
                  [](const Rect& a, const Rect& b) { return a.x < b.x; });
        return found;
    }

    void StartCountingWindows() override {
        events_ = std::make_unique<SwayIpc>(ipcPath_);
        events_->Ask(SwayIpc::Subscribe, R"(["window"])");
        windows_ = 0;
    }

    int WindowsCounted() override {
        // Every event is on its way once the command that follows them is answered.
        ipc_->Ask(SwayIpc::GetTree);
        for (QJsonDocument event; !(event = events_->Receive(100ms)).isNull();)
            windows_ += event["change"].toString() == QLatin1String("new") ? 1 : 0;
        return windows_;
    }

    void MoveTo(int x, int y) override { input_->MoveTo(x, y); }

    void Click(int button, int times, std::chrono::milliseconds gap) override {
        for (int i = 0; i < times; ++i) {
            if (i > 0) std::this_thread::sleep_for(gap);
            if (button == 4 || button == 5) {
                input_->Wheel(button == 4 ? -1 : 1);
            } else {
                const unsigned code = button == 3 ? BTN_RIGHT : button == 2 ? BTN_MIDDLE : BTN_LEFT;
                input_->Button(code, true);
                input_->Button(code, false);
            }
        }
    }

    void Key(const std::string& keys) override {
        std::vector<unsigned> codes;
        for (std::size_t start = 0;;) {
            const std::size_t plus = keys.find('+', start);
            codes.push_back(KeyCode(keys.substr(start, plus - start)));
            if (plus == std::string::npos) break;
            start = plus + 1;
        }
        for (unsigned code : codes)
            input_->Key(code, true);
        for (auto it = codes.rbegin(); it != codes.rend(); ++it)
            input_->Key(*it, false);
    }
    void KeyDown(const std::string& key) override { input_->Key(KeyCode(key), true); }
    void KeyUp(const std::string& key) override { input_->Key(KeyCode(key), false); }

    // sway focuses an activated floating window where it lies, under the others.
    bool RaisesOnActivation() const override { return false; }

    std::vector<std::string> LauncherEnv() override {
        const std::string token = input_->ActivationToken();
        if (token.empty()) return {};
        return {"XDG_ACTIVATION_TOKEN=" + token};
    }

  private:
    void WriteConfig() {
        std::ofstream config(dir_ + "/config");
        config << "xwayland disable\n"
               << "output HEADLESS-1 resolution " << options_.width * options_.scale << "x"
               << options_.height * options_.scale << " position 0 0 scale " << options_.scale
               << "\n"
               // Windows float at the size they ask for, as on a stacking desktop, with no
               // frame: the client area is the window. sway keeps a floating window's top left
               // where it is when it grows; at the screen's top left, a window as large as the
               // screen stays on it.
               << "for_window [app_id=\".*\"] floating enable, move position 0 0\n"
               << "default_border none\ndefault_floating_border none\n"
               << "focus_follows_mouse no\n"
               << "seat * xcursor_theme clear 24\n"
               // A program that brings a valid activation token gets the focus, as on the
               // big desktops.
               << "focus_on_window_activation focus\n";
        if (!config) throw std::runtime_error("cannot write sway's config");
    }

    static void HandOver(const std::filesystem::path& path, const passwd& user) {
        if (::lchown(path.c_str(), user.pw_uid, user.pw_gid) != 0)
            throw std::runtime_error("cannot hand " + path.string() + " to " + user.pw_name);
    }

    QJsonObject Tree() { return ipc_->Ask(SwayIpc::GetTree).object(); }

    QJsonObject Node(WindowId window) {
        QJsonObject found;
        Walk(Tree(), [&](const QJsonObject& node) {
            if (static_cast<WindowId>(node["id"].toInteger()) == window) found = node;
        });
        return found;
    }

    DesktopOptions options_;
    std::string dir_;
    std::string socket_;
    std::string ipcPath_;
    pid_t sway_ = -1;
    std::unique_ptr<SwayIpc> ipc_;
    std::unique_ptr<SwayIpc> events_;
    std::unique_ptr<VirtualInput> input_;
    int windows_ = 0;
};

}  // namespace

std::unique_ptr<Desktop> StartSway(const DesktopOptions& options) {
    return std::make_unique<SwayDesktop>(options);
}

std::string DesktopKind() {
    const char* kind = std::getenv("KOVELINT_E2E_DESKTOP");
    return kind != nullptr && *kind != '\0' ? kind : "x11";
}

std::unique_ptr<Desktop> StartDesktop(const std::string& kind, const DesktopOptions& options) {
    if (kind == "x11") return StartX11(options);
    if (kind == "wayland") return StartSway(options);
    throw std::runtime_error("no desktop called " + kind);
}

}  // namespace e2e
