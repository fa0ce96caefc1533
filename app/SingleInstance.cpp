#include "app/SingleInstance.h"

#include "app/RuntimeFolder.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QObject>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kov {

namespace {

constexpr char LockFile[] = "kovelint.instance";
constexpr char SocketFile[] = "kovelint.socket";
// However many calls wait, the answering thread takes at most this many before it looks
// whether it is told to stop.
constexpr int CallsPerWake = 16;
// A later start sends its activation token, or nothing, and a newline; the running game waits
// this long for them, so that a caller that sends nothing holds up no other.
constexpr int TokenWaitMs = 200;
constexpr int LongestToken = 255;

void SleepMs(long ms) {
    const timespec t{0, ms * 1000000L};
    ::nanosleep(&t, nullptr);
}

// `address` is a path, or an abstract name after its leading 0 byte.
socklen_t Address(const QByteArray& address, sockaddr_un* addr) {
    *addr = {};
    addr->sun_family = AF_UNIX;
    std::memcpy(addr->sun_path, address.constData(), static_cast<std::size_t>(address.size()));
    const bool abstract = address.startsWith('\0');
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) +
                                  static_cast<std::size_t>(address.size()) + (abstract ? 0 : 1));
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

// Reads what a later start sent up to its newline, waiting at most TokenWaitMs; the token, or
// empty when there is none or it is not one.
QByteArray ReadToken(int socket) {
    char buf[LongestToken + 2];
    std::size_t got = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TokenWaitMs);
    while (got < sizeof buf) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) return {};
        pollfd p{socket, POLLIN, 0};
        const int n = ::poll(&p, 1, static_cast<int>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return {};
        const ssize_t r = ::read(socket, buf + got, sizeof buf - got);
        if (r < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (r <= 0) return {};
        const char* end =
            static_cast<const char*>(std::memchr(buf + got, '\n', static_cast<std::size_t>(r)));
        got += static_cast<std::size_t>(r);
        if (end != nullptr) {
            const QByteArray token(buf, static_cast<qsizetype>(end - buf));
            return IsActivationToken(token) ? token : QByteArray();
        }
    }
    return {};  // longer than any token
}

}  // namespace

bool IsActivationToken(const QByteArray& token) {
    if (token.isEmpty() || token.size() > LongestToken) return false;
    for (const char c : token)
        if (c < '!' || c > '~') return false;
    return true;
}

QByteArray ActivationTokenOfThisStart() {
    const QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    return IsActivationToken(token) ? token : QByteArray();
}

SingleInstance::SingleInstance(const QByteArray& folder) {
    const QByteArray path = folder + "/" + SocketFile;
    if (!folder.isEmpty() &&
        static_cast<std::size_t>(path.size()) < sizeof(sockaddr_un::sun_path)) {
        folder_ = folder;
        address_ = path;
        return;
    }
    // The session's folder as given, and the folder for temporary files, only tell sessions
    // apart; a short digest keeps the name short.
    const QByteArray session =
        QCryptographicHash::hash(qgetenv("XDG_RUNTIME_DIR") + '\0' + TemporaryFolder(),
                                 QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    address_ = QByteArray(1, '\0') + "kovelint-" + QByteArray::number(::geteuid()) + "-" + session;
}

SingleInstance::~SingleInstance() {
    if (answering_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(stopFd_, &one, sizeof one);
        answering_.join();
    }
    for (const int fd : {listenFd_, lockFd_, stopFd_})
        if (fd >= 0) ::close(fd);
}

InstanceCheck SingleInstance::Acquire() {
    return folder_.isEmpty() ? AcquireName() : AcquireInFolder();
}

InstanceCheck SingleInstance::AcquireInFolder() {
    const int dir = ::open(folder_.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir >= 0) {
        lockFd_ = ::openat(dir, LockFile, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        ::close(dir);
    }
    struct stat st {};
    if (lockFd_ < 0 || ::fstat(lockFd_, &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_uid != ::geteuid())
        return Skip("the game's lock file is not a file of ours");
    // A game holds the lock from its start, and takes calls a moment later; one that has not
    // within a second is reported.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (;;) {
        if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0)
            return TakeAddress() ? StartAnswering() : Skip("the game's lock cannot be made");
        if (errno != EWOULDBLOCK && errno != EINTR) return Skip("the game's lock cannot be taken");
        switch (AskRunningGame()) {
            case Asked::Answered:
                return InstanceCheck::Answered;
            case Asked::NotAnswering:
            case Asked::Busy:  // only our own games can call here, so the queue is ours
                return InstanceCheck::NotAnswering;
            case Asked::OtherUser:
                return Skip("another user holds the game's lock");
            case Asked::Gone:     // ending: its lock is about to be free
            case Asked::Refused:  // between its lock and its first call, or ending
                if (std::chrono::steady_clock::now() > deadline) return InstanceCheck::NotAnswering;
                SleepMs(2);
                break;
        }
    }
}

InstanceCheck SingleInstance::AcquireName() {
    // Between a holder's bind and its listen, or while it ends, the name is held but nobody
    // takes calls; that lasts microseconds, so a few tries settle it.
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (TakeAddress()) return StartAnswering();
        if (errno != EADDRINUSE) return Skip("the game's lock cannot be made");
        switch (AskRunningGame()) {
            case Asked::Answered:
                return InstanceCheck::Answered;
            case Asked::NotAnswering:
                return InstanceCheck::NotAnswering;
            case Asked::OtherUser:
                return Skip("another user holds the name of the game's lock");
            case Asked::Busy:
                // Whose listener this is cannot be told without a call, and it takes none.
                return Skip("the name of the game's lock is held by a process that takes no calls");
            case Asked::Gone:
            case Asked::Refused:
                SleepMs(2);
                break;
        }
    }
    return Skip("the name of the game's lock is held, but nobody answers on it");
}

bool SingleInstance::TakeAddress() {
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) return false;
    // In the folder, a socket file left by a game that is gone is ours to replace: the lock
    // says no game holds it.
    if (!folder_.isEmpty()) ::unlink(address_.constData());
    sockaddr_un addr;
    const socklen_t len = Address(address_, &addr);
    if (::bind(listenFd_, reinterpret_cast<const sockaddr*>(&addr), len) == 0 &&
        ::listen(listenFd_, SOMAXCONN) == 0)
        return true;
    const int error = errno;
    ::close(listenFd_);
    listenFd_ = -1;
    errno = error;
    return false;
}

InstanceCheck SingleInstance::StartAnswering() {
    stopFd_ = ::eventfd(0, EFD_CLOEXEC);
    if (stopFd_ < 0) return Skip("the game's lock cannot be made");
    answering_ = std::thread([this] { Answer(); });
    return InstanceCheck::First;
}

InstanceCheck SingleInstance::Skip(const char* why) {
    why_ = why;
    for (int* fd : {&listenFd_, &lockFd_}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
    return InstanceCheck::Skipped;
}

SingleInstance::Asked SingleInstance::AskRunningGame() {
    const int c = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (c < 0) return Asked::Refused;
    sockaddr_un addr;
    const socklen_t len = Address(address_, &addr);
    // A call never waits: a full queue says EAGAIN at once.
    if (::connect(c, reinterpret_cast<const sockaddr*>(&addr), len) != 0) {
        const int error = errno;
        ::close(c);
        return error == EAGAIN ? Asked::Busy : Asked::Refused;
    }
    if (!PeerIsOurs(c, &runningPid_)) {
        ::close(c);
        return Asked::OtherUser;
    }
    // Short enough for the socket's buffer whatever the running game is doing.
    const QByteArray hello = ActivationTokenOfThisStart() + '\n';
    [[maybe_unused]] const ssize_t sent =
        ::send(c, hello.constData(), static_cast<std::size_t>(hello.size()), MSG_NOSIGNAL);
    // The running game answers from its own thread within moments.
    Asked result = Asked::NotAnswering;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) break;
        pollfd p{c, POLLIN, 0};
        const int n = ::poll(&p, 1, static_cast<int>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        char reply = 0;
        // No reply but the end of the call: that game is ending, so the lock is about to be free.
        result = ::read(c, &reply, 1) == 1 ? Asked::Answered : Asked::Gone;
        break;
    }
    ::close(c);
    return result;
}

void SingleInstance::AnswerLaterStarts(ToFront toFront) {
    const std::lock_guard lock(mutex_);
    toFront_ = std::move(toFront);
    receiver_ = std::make_unique<QObject>();
}

void SingleInstance::Answer() {
    for (;;) {
        pollfd p[2] = {{listenFd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        if (::poll(p, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (p[1].revents != 0) return;
        for (int call = 0; call < CallsPerWake; ++call) {
            const int c = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (c < 0) {
                if (errno == EINTR || errno == ECONNABORTED) continue;
                // Out of descriptors or memory, the calls stay queued and poll would wake at
                // once again: a pause keeps the thread from spinning until they can be taken.
                if (errno != EAGAIN) SleepMs(10);
                break;  // EAGAIN: every call so far is answered
            }
            // Only our own user's start brings the window up; anyone else is hung up on.
            const bool ours = PeerIsOurs(c);
            QByteArray token;
            if (ours) {
                token = ReadToken(c);
                [[maybe_unused]] const ssize_t sent = ::send(c, "!", 1, MSG_NOSIGNAL);
            }
            ::close(c);
            if (ours) RaiseLater(token);
        }
    }
}

// However many starts call at once, the event loop is asked once to raise the window. Before
// the window is up, nothing need be asked: it comes up on top.
void SingleInstance::RaiseLater(const QByteArray& activationToken) {
    const std::lock_guard lock(mutex_);
    if (!receiver_) return;
    if (!activationToken.isEmpty()) token_ = activationToken;
    if (raisePending_.exchange(true)) return;
    QMetaObject::invokeMethod(
        receiver_.get(),
        [this] {
            QByteArray token;
            {
                const std::lock_guard taken(mutex_);
                raisePending_ = false;
                token.swap(token_);
            }
            toFront_(token);
        },
        Qt::QueuedConnection);
}

}  // namespace kov
