// One game at a time: a lock file in the user's runtime folder.
#pragma once

#include <QLockFile>
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

class SingleInstance {
  public:
    explicit SingleInstance(const QString& lockPath);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // A lock left by a crashed or killed game belongs to a dead process and is taken over;
    // of two games starting at once the file system lets exactly one create it.
    InstanceCheck Acquire();

  private:
    QLockFile lock_;
};

}  // namespace kov
