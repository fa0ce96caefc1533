// One game at a time: a lock file in the user's runtime folder.
#pragma once

#include <QByteArray>
#include <QString>

namespace kov {

enum class InstanceCheck {
    First,           // the lock is ours until this process ends
    AlreadyRunning,  // another live game holds it
    Skipped,         // the folder cannot hold a lock file; the game runs unchecked
};

// <runtime folder>/kovelint.lock. The runtime folder is XDG_RUNTIME_DIR, or when that is not
// set the fallback Qt would use, which is then exported so that Qt finds it without a warning.
// Call it before the QApplication is made; empty when there is no folder we can trust.
QString RuntimeLockPath();

// The lock is the kernel's (flock) on a file that stays behind: the kernel lets go of it when
// the process ends, however it ends, so a killed game never blocks the next, and of two games
// starting at once exactly one gets it. The file holds the owner's PID for anyone looking.
class SingleInstance {
  public:
    explicit SingleInstance(const QString& lockPath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    InstanceCheck Acquire();

  private:
    QByteArray path_;
    int fd_ = -1;
};

}  // namespace kov
