// Times one run of a program with a window: from exec until its first top-level window is
// mapped, its memory then and after a settle time, and from the close request a window manager
// sends (WM_DELETE_WINDOW) until the process is gone. Meant for a private X server without a
// window manager, where a program's top-level window is a child of the root window.
//
//   kovelint_maptimer [--settle SECONDS] [--timeout SECONDS] [--log FILE] [--any-window]
//                     -- PROGRAM [ARGS...]
//
// The root window's SubstructureNotify is watched before the program is started, so no map
// can be missed, and the timer only sleeps in poll() while the program runs. The program gets
// the timer's environment, standard input from /dev/null and its output appended to FILE (or
// thrown away). One line goes to standard output, tab-separated: milliseconds from exec to the
// map, VmRSS at the map (kB), VmRSS and VmHWM after the settle time (kB), milliseconds from the
// close request to the process gone, and how the program ended (exit=N, signal=N, killed). A
// figure that could not be taken is NA. A program still running TIMEOUT seconds after its
// start or after the close request is killed. --any-window takes the first top-level window
// whichever process it names, for a program started through a wrapper (strace, perf).
//
// Exit status: 0 when the window was mapped and the program ended by itself after the close
// request, 1 otherwise, 2 for a wrong command line.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    double settle = 0.5;
    double timeout = 20;
    const char* log = nullptr;
    bool anyWindow = false;
    char** program = nullptr;  // null-terminated, as exec takes it
};

std::optional<double> Seconds(const char* text) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value >= 0) || value > 3600) return std::nullopt;
    return value;
}

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") {
            if (i + 1 >= argc) return std::nullopt;
            options.program = argv + i + 1;
            return options;
        }
        if (arg == "--any-window") {
            options.anyWindow = true;
            continue;
        }
        if (i + 1 >= argc) return std::nullopt;
        const char* value = argv[++i];
        if (arg == "--log") {
            options.log = value;
            continue;
        }
        const std::optional<double> seconds = Seconds(value);
        if (!seconds) return std::nullopt;
        if (arg == "--settle")
            options.settle = *seconds;
        else if (arg == "--timeout")
            options.timeout = *seconds;
        else
            return std::nullopt;
    }
    return std::nullopt;
}

Clock::time_point After(double seconds) {
    return Clock::now() +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

double Milliseconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// One "kB" figure of /proc/<pid>/status, or -1 when the process or the line is not there.
long StatusKilobytes(pid_t pid, std::string_view key) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.size() > key.size() && line.compare(0, key.size(), key) == 0 &&
            line[key.size()] == ':')
            return std::strtol(line.c_str() + key.size() + 1, nullptr, 10);
    }
    return -1;
}

// _NET_WM_PID of a window; 0 when it has none.
long WindowPid(Display* display, Window window, Atom pidAtom) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr && count == 1 && format == 32) {
        unsigned long value = 0;  // Xlib hands 32-bit items over as longs
        std::memcpy(&value, data, sizeof value);
        pid = static_cast<long>(value);
    }
    if (data != nullptr) XFree(data);
    return pid;
}

// A window that is gone by the time we ask about it is no error of ours.
int IgnoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

// Milliseconds to wait in poll(): what is left before the deadline, at least 0.
int PollTimeout(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 1000));
}

struct Mapped {
    Window window;
    Clock::time_point at;
};

// The program's first top-level window to be mapped, timed as its MapNotify arrives; nothing
// when the program ends first or the deadline passes. Windows that name another process in
// _NET_WM_PID are passed over (any goes for pid 0); a window without it counts, as the server
// is ours alone.
std::optional<Mapped> WaitForMap(Display* display, Atom pidAtom, long pid, int pidfd,
                                 Clock::time_point deadline) {
    const Window root = XDefaultRootWindow(display);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            const Clock::time_point at = Clock::now();
            if (event.type != MapNotify) continue;
            const XMapEvent& map = event.xmap;
            if (map.event != root || map.override_redirect) continue;
            const long owner = WindowPid(display, map.window, pidAtom);
            if (pid == 0 || owner == pid || owner == 0) return Mapped{map.window, at};
        }
        if (Clock::now() >= deadline) return std::nullopt;
        pollfd watched[2] = {{XConnectionNumber(display), POLLIN, 0}, {pidfd, POLLIN, 0}};
        if (::poll(watched, 2, PollTimeout(deadline)) < 0 && errno != EINTR) return std::nullopt;
        if ((watched[1].revents & POLLIN) != 0 && XPending(display) == 0) return std::nullopt;
    }
}

// What a window manager's close button sends.
void RequestClose(Display* display, Window window, Atom protocols, Atom deleteWindow) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

// True when the process has ended (it stays a zombie for us to reap) before the deadline.
bool WaitForEnd(int pidfd, Clock::time_point deadline) {
    for (;;) {
        pollfd watched{pidfd, POLLIN, 0};
        const int ready = ::poll(&watched, 1, PollTimeout(deadline));
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
        if (ready == 0 && Clock::now() >= deadline) return false;
    }
}

// The program, for the signal handler: interrupted, the timer takes its program along.
volatile std::sig_atomic_t child = 0;

void EndWithChild(int signal) {
    if (child > 0) ::kill(static_cast<pid_t>(child), SIGKILL);
    ::_exit(128 + signal);
}

pid_t Start(const Options& options) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, options.log ? options.log : "/dev/null",
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    const int failed =
        ::posix_spawnp(&pid, options.program[0], &actions, nullptr, options.program, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        std::fprintf(stderr, "kovelint_maptimer: cannot start %s: %s\n", options.program[0],
                     std::strerror(failed));
        return -1;
    }
    return pid;
}

std::string Figure(double value) {
    if (value < 0) return "NA";
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::string Figure(long kilobytes) {
    return kilobytes < 0 ? "NA" : std::to_string(kilobytes);
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        std::fputs(
            "usage: kovelint_maptimer [--settle SECONDS] [--timeout SECONDS] [--log FILE] "
            "[--any-window] -- PROGRAM [ARGS...]\n",
            stderr);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("kovelint_maptimer: cannot open the display\n", stderr);
        return 1;
    }
    XSetErrorHandler(IgnoreXErrors);
    // The program must not inherit our connection.
    ::fcntl(XConnectionNumber(display), F_SETFD, FD_CLOEXEC);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    XSelectInput(display, XDefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    std::signal(SIGINT, EndWithChild);
    std::signal(SIGTERM, EndWithChild);
    std::signal(SIGHUP, EndWithChild);

    const Clock::time_point started = Clock::now();
    const pid_t pid = Start(*options);
    if (pid < 0) return 1;
    child = pid;
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (pidfd < 0) {
        std::perror("kovelint_maptimer: pidfd_open");
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return 1;
    }

    double mapMs = -1, exitMs = -1;
    long rssAtMap = -1, rss = -1, hwm = -1;
    bool endedAlone = false;
    if (const std::optional<Mapped> mapped = WaitForMap(
            display, pidAtom, options->anyWindow ? 0 : pid, pidfd, After(options->timeout))) {
        mapMs = Milliseconds(started, mapped->at);
        rssAtMap = StatusKilobytes(pid, "VmRSS");
        std::this_thread::sleep_for(std::chrono::duration<double>(options->settle));
        rss = StatusKilobytes(pid, "VmRSS");
        hwm = StatusKilobytes(pid, "VmHWM");
        // A program that ended during the settle time has no exit to time.
        if (!WaitForEnd(pidfd, Clock::now())) {
            const Clock::time_point asked = Clock::now();
            RequestClose(display, mapped->window, protocols, deleteWindow);
            if (WaitForEnd(pidfd, After(options->timeout))) {
                exitMs = Milliseconds(asked, Clock::now());
                endedAlone = true;
            }
        }
    }
    bool killed = false;
    if (!endedAlone && !WaitForEnd(pidfd, Clock::now())) {
        ::kill(pid, SIGKILL);
        killed = true;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    child = 0;
    ::close(pidfd);
    XCloseDisplay(display);

    std::string ended = killed                ? std::string("killed")
                        : WIFSIGNALED(status) ? "signal=" + std::to_string(WTERMSIG(status))
                                              : "exit=" + std::to_string(WEXITSTATUS(status));
    std::printf("%s\t%s\t%s\t%s\t%s\t%s\n", Figure(mapMs).c_str(), Figure(rssAtMap).c_str(),
                Figure(rss).c_str(), Figure(hwm).c_str(), Figure(exitMs).c_str(), ended.c_str());
    return mapMs >= 0 && endedAlone ? 0 : 1;
}
