#include "app/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QSocketNotifier>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

namespace kov {

namespace {

QByteArray UserName() {
    const passwd* pw = ::getpwuid(::geteuid());
    if (pw != nullptr && pw->pw_name != nullptr) return pw->pw_name;
    return QByteArray::number(::geteuid());
}

// A directory of ours that only we can enter, opened without following a link at its name.
// `ours` says we just made it, so its mode may be set right whatever the umask took away.
bool IsPrivateFolder(const QByteArray& path, bool ours) {
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
    if (ok && (st.st_mode & 07777) != 0700) ok = ours && ::fchmod(fd, 0700) == 0;
    ::close(fd);
    return ok;
}

// mkdir never follows a link: a name someone planted makes it fail, and the check says no.
bool MakePrivateFolder(const QByteArray& path) {
    if (::mkdir(path.constData(), 0700) == 0) return IsPrivateFolder(path, true);
    return errno == EEXIST && IsPrivateFolder(path, false);
}

void SleepMs(long ms) {
    const timespec t{0, ms * 1000000L};
    ::nanosleep(&t, nullptr);
}

socklen_t AbstractAddress(const QByteArray& name, sockaddr_un* addr) {
    *addr = {};
    addr->sun_family = AF_UNIX;
    // sun_path[0] stays 0: the abstract namespace, where no file is ever made.
    std::memcpy(addr->sun_path + 1, name.constData(), static_cast<std::size_t>(name.size()));
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 +
                                  static_cast<std::size_t>(name.size()));
}

// A game takes a moment to start: it holds the lock from its first instruction but answers only
// once its window is up. Until it has run this long, a game that is not stopped is starting.
constexpr double StartingSeconds = 10;

// Whether process `pid` has run for less than StartingSeconds and is not stopped; false when
// /proc cannot tell.
bool StillStarting(pid_t pid) {
    std::FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
    if (f == nullptr) return false;
    char line[1024] = {};
    const bool read = std::fgets(line, sizeof line, f) != nullptr;
    std::fclose(f);
    // "pid (name) state ..." with the start time, in clock ticks after boot, 19 fields on; the
    // name may hold spaces and parentheses, so the fields are counted from its last ')'.
    const char* after = read ? std::strrchr(line, ')') : nullptr;
    if (after == nullptr) return false;
    char state = 0;
    unsigned long long started = 0;
    if (std::sscanf(
            after + 1,
            " %c %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %llu",
            &state, &started) != 2 ||
        state == 'T' || state == 't')
        return false;
    std::FILE* up = std::fopen("/proc/uptime", "r");
    if (up == nullptr) return false;
    double uptime = 0;
    const bool gotUptime = std::fscanf(up, "%lf", &uptime) == 1;
    std::fclose(up);
    const long ticks = ::sysconf(_SC_CLK_TCK);
    return gotUptime && ticks > 0 &&
           uptime - static_cast<double>(started) / static_cast<double>(ticks) < StartingSeconds;
}

// The other end of a connected socket runs as our own user; `pid` learns its process.
bool PeerIsOurs(int socket, pid_t* pid = nullptr) {
    ucred peer{};
    socklen_t len = sizeof peer;
    if (::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &len) != 0 || peer.uid != ::geteuid())
        return false;
    if (pid != nullptr) *pid = peer.pid;
    return true;
}

}  // namespace

RuntimeFolder SettleRuntimeFolder() {
    RuntimeFolder r;
    const QByteArray given = qgetenv("XDG_RUNTIME_DIR");
    if (!given.isEmpty() && IsPrivateFolder(given, false)) return r;

    // Where Qt itself would look when XDG_RUNTIME_DIR does not do.
    const QByteArray usual = QFile::encodeName(QDir::tempPath()) + "/runtime-" + UserName();
    QByteArray chosen = usual;
    if (!MakePrivateFolder(usual)) {
        // The usual name is taken by someone else, or by a link: a fresh folder, ours alone.
        QByteArray fresh = usual + "-XXXXXX";
        if (::mkdtemp(fresh.data()) != nullptr && IsPrivateFolder(fresh, true)) {
            chosen = fresh;
            r.madeForThisRun = fresh;
        } else {
            chosen.clear();
        }
    }
    const QByteArray rejected = given.isEmpty() ? (chosen == usual ? QByteArray() : usual) : given;
    if (chosen.isEmpty()) {
        ::unsetenv("XDG_RUNTIME_DIR");
        r.note = "no private runtime folder can be made in " + QFile::encodeName(QDir::tempPath());
        return r;
    }
    ::setenv("XDG_RUNTIME_DIR", chosen.constData(), 1);
    if (!rejected.isEmpty())
        r.note = "the runtime folder " + rejected + " is not a private folder of ours; using " +
                 chosen + " instead";
    return r;
}

SingleInstance::SingleInstance() {
    const QByteArray folder = qgetenv("XDG_RUNTIME_DIR");
    // The folder only tells sessions apart; a short digest keeps the name short.
    const QByteArray session =
        folder.isEmpty()
            ? QByteArrayLiteral("none")
            : QCryptographicHash::hash(folder, QCryptographicHash::Sha256).toHex().left(16);
    name_ = "kovelint-" + QByteArray::number(::geteuid()) + "-" + session;
}

SingleInstance::~SingleInstance() {
    notifier_.reset();
    if (fd_ >= 0) ::close(fd_);
}

InstanceCheck SingleInstance::Acquire() {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return Skip("the game's lock cannot be made");
    sockaddr_un addr;
    const socklen_t len = AbstractAddress(name_, &addr);
    // Between a holder's bind and its listen, or while it ends, the name is held but nobody
    // takes calls; that lasts microseconds, so a few tries settle it.
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (::bind(fd_, reinterpret_cast<const sockaddr*>(&addr), len) == 0 &&
            ::listen(fd_, SOMAXCONN) == 0)
            return InstanceCheck::First;
        if (errno != EADDRINUSE) return Skip("the game's lock cannot be made");
        switch (AskRunningGame()) {
            case Asked::Answered:
                return InstanceCheck::Answered;
            case Asked::NotAnswering:
                return InstanceCheck::NotAnswering;
            case Asked::OtherUser:
                return Skip("another user holds the name of the game's lock");
            case Asked::Gone:
            case Asked::Refused:
                SleepMs(2);
                break;
        }
    }
    return Skip("the name of the game's lock is held, but nobody answers on it");
}

InstanceCheck SingleInstance::Skip(const char* why) {
    why_ = why;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    return InstanceCheck::Skipped;
}

SingleInstance::Asked SingleInstance::AskRunningGame() {
    const int c = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (c < 0) return Asked::Refused;
    // A stopped game's queue can fill up; then even the call waits, but no longer than this.
    const timeval second{1, 0};
    ::setsockopt(c, SOL_SOCKET, SO_SNDTIMEO, &second, sizeof second);
    sockaddr_un addr;
    const socklen_t len = AbstractAddress(name_, &addr);
    if (::connect(c, reinterpret_cast<const sockaddr*>(&addr), len) != 0) {
        const int error = errno;
        ::close(c);
        return error == EAGAIN || error == ETIMEDOUT ? Asked::NotAnswering : Asked::Refused;
    }
    if (!PeerIsOurs(c, &runningPid_)) {
        ::close(c);
        return Asked::OtherUser;
    }

    // The running game answers from its event loop within moments; one still starting answers
    // once its window is up, and is given the time to get there.
    using Clock = std::chrono::steady_clock;
    auto deadline = Clock::now() + std::chrono::seconds(1);
    Asked result = Asked::NotAnswering;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 && StillStarting(runningPid_)) {
            deadline = Clock::now() + std::chrono::milliseconds(100);
            continue;
        }
        if (left <= 0) break;
        pollfd p{c, POLLIN, 0};
        const int n = ::poll(&p, 1, static_cast<int>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) continue;  // the time is up: see whether the game is still starting
        if (n < 0) break;
        char reply = 0;
        // No reply but the end of the call: that game is ending, so the lock is about to be free.
        result = ::read(c, &reply, 1) == 1 ? Asked::Answered : Asked::Gone;
        break;
    }
    ::close(c);
    return result;
}

void SingleInstance::AnswerLaterStarts(std::function<void()> toFront) {
    if (fd_ < 0) return;
    toFront_ = std::move(toFront);
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { AnswerPending(); });
}

void SingleInstance::AnswerPending() {
    for (;;) {
        const int c = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (c < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return;  // EAGAIN: every call so far is answered
        }
        // Only our own user's start brings the window up; anyone else is hung up on. The answer
        // goes first: the later start need not wait for the window system.
        const bool ours = PeerIsOurs(c);
        if (ours) {
            [[maybe_unused]] const ssize_t sent = ::send(c, "!", 1, MSG_NOSIGNAL);
        }
        ::close(c);
        if (ours) toFront_();
    }
}

}  // namespace kov
