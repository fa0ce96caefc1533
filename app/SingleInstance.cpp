#include "app/SingleInstance.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>

namespace kov {

namespace {

QString UserName() {
    const passwd* pw = ::getpwuid(::getuid());
    if (pw != nullptr && pw->pw_name != nullptr) return QString::fromLocal8Bit(pw->pw_name);
    return QString::number(::getuid());
}

}  // namespace

QString RuntimeLockPath() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty()) {
        // Qt looks the runtime folder up while it starts and warns when XDG_RUNTIME_DIR is not
        // set. Its fallback is taken here instead, quietly, and handed on to Qt.
        folder = QDir::tempPath() + QStringLiteral("/runtime-") + UserName();
        if (!QFileInfo::exists(folder) && QDir().mkpath(folder))
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // A folder of that name that someone else made is no place for our lock.
        if (QFileInfo(folder).ownerId() != ::getuid()) return {};
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
    }
    return folder + QStringLiteral("/kovelint.lock");
}

SingleInstance::SingleInstance(const QString& lockPath) : path_(QFile::encodeName(lockPath)) {}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) ::close(fd_);
}

InstanceCheck SingleInstance::Acquire() {
    if (path_.isEmpty()) return InstanceCheck::Skipped;
    fd_ = ::open(path_.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return InstanceCheck::Skipped;
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        const QByteArray pid = QByteArray::number(::getpid()) + '\n';
        // The PID is only a note for whoever looks; the lock holds without it.
        [[maybe_unused]] const bool noted =
            ::ftruncate(fd_, 0) == 0 &&
            ::write(fd_, pid.constData(), static_cast<size_t>(pid.size())) == pid.size();
        return InstanceCheck::First;
    }
    const bool held = errno == EWOULDBLOCK;
    ::close(fd_);
    fd_ = -1;
    return held ? InstanceCheck::AlreadyRunning : InstanceCheck::Skipped;
}

}  // namespace kov
