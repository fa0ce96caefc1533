// X11: a private Xvfb with openbox, read through Xlib and driven by xdotool.
// Qt's headers first: Xlib's macros (Status, None, Bool) break them.
#include "Desktop.h"
#include "Process.h"
// Then Xlib's.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

namespace e2e {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Windows come and go under our feet (menus close, games end); a request on one that has just
// gone is not a failure of the test.
int IgnoreXErrors(::Display*, XErrorEvent*) {
    return 0;
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
    text.resize(text.find('\n'));
    return text.insert(0, 1, ':');
}

class X11Desktop final : public Desktop {
  public:
    explicit X11Desktop(const DesktopOptions& options) : options_(options) {
        const std::string size =
            std::to_string(options.width) + "x" + std::to_string(options.height) + "x24";
        // Two servers starting at once can both reach for the same free display; the loser
        // gives up ("server already running") and is simply started again.
        std::optional<std::string> display;
        for (int attempt = 0; attempt < 3 && !display; ++attempt) {
            int fds[2];
            if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
            xvfb_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", size,
                           "-nolisten", "tcp", "-noreset"},
                          {.env = {}, .logPath = options.logDir + "/xvfb.log", .passFd = fds[1]});
            ::close(fds[1]);
            display = ReadDisplayNumber(fds[0]);
            ::close(fds[0]);
            if (!display) {
                Stop(xvfb_);
                xvfb_ = -1;
            }
        }
        if (!display) throw std::runtime_error("Xvfb did not start");
        display_ = *display;
        dpy_ = XOpenDisplay(display_.c_str());
        if (dpy_ == nullptr) throw std::runtime_error("cannot open display " + display_);
        XSetErrorHandler(IgnoreXErrors);
        root_ = DefaultRootWindow(dpy_);

        openbox_ = Spawn({"openbox", "--sm-disable"}, {.env = {"DISPLAY=" + display_},
                                                       .logPath = options.logDir + "/openbox.log"});
        const auto deadline = Clock::now() + 15s;
        while (!WindowManagerReady()) {
            if (Clock::now() > deadline) throw std::runtime_error("openbox did not start");
            std::this_thread::sleep_for(20ms);
        }
    }

    ~X11Desktop() override {
        if (dpy_ != nullptr) XCloseDisplay(dpy_);
        Stop(openbox_);
        Stop(xvfb_);
    }

    std::vector<std::string> GameEnv() const override {
        std::vector<std::string> env{"DISPLAY=" + display_, "QT_QPA_PLATFORM=xcb"};
        if (options_.scale != 1) env.push_back("QT_SCALE_FACTOR=" + std::to_string(options_.scale));
        return env;
    }

    int Width() const override { return DisplayWidth(dpy_, DefaultScreen(dpy_)); }
    int Height() const override { return DisplayHeight(dpy_, DefaultScreen(dpy_)); }

    QImage Grab(const Rect& area) override {
        XImage* xi = XGetImage(dpy_, root_, area.x, area.y, static_cast<unsigned>(area.width),
                               static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
        if (xi == nullptr) throw std::runtime_error("XGetImage failed");
        // The 24-bit screen as 32-bit little-endian words 0x??RRGGBB, which is Qt's RGB32.
        const bool rgb32 = xi->bits_per_pixel == 32 && xi->byte_order == LSBFirst &&
                           xi->red_mask == 0xFF0000 && xi->green_mask == 0xFF00 &&
                           xi->blue_mask == 0xFF;
        const QImage img = rgb32 ? QImage(reinterpret_cast<const uchar*>(xi->data), area.width,
                                          area.height, xi->bytes_per_line, QImage::Format_RGB32)
                                       .copy()
                                 : QImage();
        XDestroyImage(xi);
        if (img.isNull()) throw std::runtime_error("the screen is not 24-bit RGB");
        return img;
    }

    std::optional<WindowId> ClientWindowOf(pid_t pid) override {
        const Atom pidAtom = Intern("_NET_WM_PID");
        for (unsigned long w : CardinalProperty(root_, Intern("_NET_CLIENT_LIST"), XA_WINDOW)) {
            const auto pids = CardinalProperty(w, pidAtom, XA_CARDINAL);
            if (pids.empty() || static_cast<pid_t>(pids[0]) != pid) continue;
            XWindowAttributes attrs;
            if (XGetWindowAttributes(dpy_, w, &attrs) && attrs.map_state == IsViewable) return w;
        }
        return std::nullopt;
    }

    Rect Geometry(WindowId window) override {
        XWindowAttributes attrs{};
        XGetWindowAttributes(dpy_, window, &attrs);
        int x = 0;
        int y = 0;
        Window child = 0;
        XTranslateCoordinates(dpy_, window, root_, 0, 0, &x, &y, &child);
        return {x, y, attrs.width, attrs.height};
    }

    std::string Title(WindowId window) override {
        ToolResult r = RunTool({"xdotool", "getwindowname", std::to_string(window)}, Env());
        while (!r.out.empty() && (r.out.back() == '\n' || r.out.back() == '\r'))
            r.out.pop_back();
        return r.out;
    }

    std::optional<WindowId> FocusedWindow() override {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(dpy_, &focus, &revert);
        return focus;
    }

    void Activate(WindowId window) override { Xdo({"windowactivate", std::to_string(window)}); }

    std::vector<Rect> Popups() override {
        Window rootRet = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        std::vector<Rect> popups;
        if (!XQueryTree(dpy_, root_, &rootRet, &parent, &children, &count)) return popups;
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attrs;
            if (!XGetWindowAttributes(dpy_, children[i], &attrs)) continue;
            if (attrs.map_state != IsViewable || !attrs.override_redirect) continue;
            if (attrs.width < 16 || attrs.height < 16) continue;
            popups.push_back({attrs.x, attrs.y, attrs.width, attrs.height});
        }
        if (children != nullptr) XFree(children);
        return popups;
    }

    void StartCountingWindows() override {
        XSelectInput(dpy_, root_, SubstructureNotifyMask);
        XSync(dpy_, True);
        maps_ = 0;
    }

    int WindowsCounted() override {
        XSync(dpy_, False);
        while (XPending(dpy_) > 0) {
            XEvent got;
            XNextEvent(dpy_, &got);
            if (got.type == MapNotify && !got.xmap.override_redirect) ++maps_;
        }
        return maps_;
    }

    void MoveTo(int x, int y) override {
        // --sync waits for the pointer to move, which it never does when it is there already.
        const std::string there = "X=" + std::to_string(x) + "\nY=" + std::to_string(y) + "\n";
        if (RunTool({"xdotool", "getmouselocation", "--shell"}, Env()).out.starts_with(there))
            return;
        Xdo({"mousemove", "--sync", std::to_string(x), std::to_string(y)});
    }

    void Click(int button, int times, std::chrono::milliseconds gap) override {
        Xdo({"click", "--repeat", std::to_string(times), "--delay", std::to_string(gap.count()),
             std::to_string(button)});
    }

    void Key(const std::string& keys) override { Xdo({"key", keys}); }
    void KeyDown(const std::string& key) override { Xdo({"keydown", key}); }
    void KeyUp(const std::string& key) override { Xdo({"keyup", key}); }

  private:
    std::vector<std::string> Env() const { return {"DISPLAY=" + display_}; }

    void Xdo(const std::vector<std::string>& args) {
        std::vector<std::string> argv{"xdotool"};
        argv.insert(argv.end(), args.begin(), args.end());
        if (RunTool(argv, Env()).status != 0)
            throw std::runtime_error("xdotool " + args.front() + " failed");
    }

    Atom Intern(const char* name) { return XInternAtom(dpy_, name, False); }

    std::vector<unsigned long> CardinalProperty(Window window, Atom property, Atom type) {
        Atom actual = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        std::vector<unsigned long> values;
        if (XGetWindowProperty(dpy_, window, property, 0, 4096, False, type, &actual, &format,
                               &count, &after, &data) == Success &&
            data != nullptr) {
            if (format == 32) {
                const auto* longs = reinterpret_cast<const unsigned long*>(data);
                values.assign(longs, longs + count);
            }
            XFree(data);
        }
        return values;
    }

    bool WindowManagerReady() {
        return !CardinalProperty(root_, Intern("_NET_SUPPORTING_WM_CHECK"), XA_WINDOW).empty();
    }

    DesktopOptions options_;
    std::string display_;
    ::Display* dpy_ = nullptr;
    Window root_ = 0;
    pid_t xvfb_ = -1;
    pid_t openbox_ = -1;
    int maps_ = 0;
};

}  // namespace

std::unique_ptr<Desktop> StartX11(const DesktopOptions& options) {
    return std::make_unique<X11Desktop>(options);
}

}  // namespace e2e
