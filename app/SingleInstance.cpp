#include "app/SingleInstance.h"

#include <pwd.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>

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

SingleInstance::SingleInstance(const QString& lockPath) : lock_(lockPath) {
    // A game may run for days: only a dead owner makes the lock stale, never its age.
    lock_.setStaleLockTime(0);
}

InstanceCheck SingleInstance::Acquire() {
    if (lock_.tryLock(0)) return InstanceCheck::First;
    return lock_.error() == QLockFile::LockFailedError ? InstanceCheck::AlreadyRunning
                                                       : InstanceCheck::Skipped;
}

}  // namespace kov
