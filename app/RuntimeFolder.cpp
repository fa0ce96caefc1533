#include "app/RuntimeFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

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

// The fresh folder of this run, in static storage for the signal handlers: they may call
// rmdir, but nothing that allocates.
char madeFolder[4096];

void RemoveMadeFolder() {
    if (madeFolder[0] != 0) ::rmdir(madeFolder);
}

// The folder goes, then the signal ends the game as it would have without us.
void RemoveMadeFolderAndEnd(int signal) {
    const int saved = errno;
    RemoveMadeFolder();
    errno = saved;
    ::raise(signal);  // the handler was reset on entry; this one is delivered on return
}

void RemoveAtEveryEnd(const QByteArray& path) {
    if (static_cast<std::size_t>(path.size()) >= sizeof madeFolder) return;
    std::memcpy(madeFolder, path.constData(), static_cast<std::size_t>(path.size()) + 1);
    std::atexit(RemoveMadeFolder);
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        struct sigaction old {};
        // A signal the player's shell set to be ignored (nohup) stays ignored.
        if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = RemoveMadeFolderAndEnd;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

// A fresh folder's game holds a lock on it for as long as it runs, so a folder nobody holds
// belongs to a game that is gone. It is removed only when it is ours, private and empty.
void ClearStaleFolders(const QByteArray& tmp, const QByteArray& prefix) {
    DIR* dir = ::opendir(tmp.constData());
    if (dir == nullptr) return;
    const std::size_t suffix = 6;  // mkdtemp's XXXXXX
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strncmp(name, prefix.constData(), static_cast<std::size_t>(prefix.size())) != 0 ||
            std::strlen(name) != static_cast<std::size_t>(prefix.size()) + suffix)
            continue;
        const int fd =
            ::openat(::dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0700 &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(::dirfd(dir), name, AT_REMOVEDIR);  // fails, harmlessly, unless empty
        ::close(fd);
    }
    ::closedir(dir);
}

// A fresh private folder named after `stem`, locked for as long as this game runs; empty when
// none can be made.
QByteArray MakeFreshFolder(const QByteArray& stem) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        QByteArray fresh = stem + "-XXXXXX";
        if (::mkdtemp(fresh.data()) == nullptr) return {};
        const int fd = ::open(fresh.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat held {};
        struct stat named {};
        // Another start clearing stale folders may have taken this one between its making and
        // its lock: then the name no longer leads to the folder locked.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 &&
            held.st_uid == ::geteuid() && ::fchmod(fd, 0700) == 0 &&
            ::lstat(fresh.constData(), &named) == 0 && named.st_ino == held.st_ino &&
            named.st_dev == held.st_dev)
            return fresh;  // the descriptor stays open: the lock lasts as long as the game
        ::close(fd);
    }
    return {};
}

}  // namespace

QByteArray TemporaryFolder() {
    QByteArray given = qgetenv("TMPDIR");
    // A trailing slash would make lstat follow a link at the name.
    while (given.size() > 1 && given.endsWith('/'))
        given.chop(1);
    struct stat st {};
    if (given.startsWith('/') && ::lstat(given.constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
        (st.st_uid == ::geteuid() || st.st_uid == 0))
        return given;
    return QByteArrayLiteral("/tmp");
}

QByteArray SharedRuntimeFolder(QByteArray* rejected) {
    const QByteArray given = qgetenv("XDG_RUNTIME_DIR");
    if (!given.isEmpty() && IsPrivateFolder(given, false)) return given;
    // Where Qt itself would look when XDG_RUNTIME_DIR does not do.
    const QByteArray usual = TemporaryFolder() + "/runtime-" + UserName();
    const bool usable = MakePrivateFolder(usual);
    *rejected = !given.isEmpty() ? given : usable ? QByteArray() : usual;
    return usable ? usual : QByteArray();
}

QByteArray SettleRuntimeFolder(const QByteArray& shared, const QByteArray& rejected) {
    QByteArray chosen = shared;
    const QByteArray tmp = TemporaryFolder();
    if (chosen.isEmpty()) {
        // The usual name is taken by someone else, or by a link: a fresh folder, ours alone.
        const QByteArray stem = "runtime-" + UserName();
        ClearStaleFolders(tmp, stem + "-");
        chosen = MakeFreshFolder(tmp + "/" + stem);
        if (!chosen.isEmpty()) RemoveAtEveryEnd(chosen);
    }
    if (chosen.isEmpty()) {
        ::unsetenv("XDG_RUNTIME_DIR");
        return "no private runtime folder can be made in " + tmp;
    }
    ::setenv("XDG_RUNTIME_DIR", chosen.constData(), 1);
    if (rejected.isEmpty()) return {};
    return "the runtime folder " + rejected + " is not a private folder of ours; using " + chosen +
           " instead";
}

void RemoveFolderMadeForThisRun() {
    RemoveMadeFolder();
}

}  // namespace kov
