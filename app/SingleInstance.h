// One game at a time, and a runtime folder for Qt that nobody else could have planted.
#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace kov {

struct RuntimeFolder {
    // A line for standard error when the folder given was not used, empty otherwise.
    QByteArray note;
    // A folder made for this run only, left empty behind it; empty when none was made.
    QByteArray madeForThisRun;
};

// Makes sure XDG_RUNTIME_DIR names a real directory of ours that only we can enter, reached
// without following a link: the one given if it is such, else <tmp>/runtime-<user>, else a
// fresh folder beside it; the choice is exported so that Qt never picks its own. Call it
// after the lock is taken (a second start has no use for a folder) and before the
// QApplication is made.
RuntimeFolder SettleRuntimeFolder();

enum class InstanceCheck {
    First,         // the lock is ours until this process ends
    Answered,      // the running game came to the front; this start ends
    NotAnswering,  // a game of ours holds the lock but did not answer within a second, and
                   // it is stopped or past its start
    Skipped,       // no lock we can trust; the game runs unchecked (see Why())
};

// The lock is a listening socket in Linux's abstract namespace: the kernel holds the name while
// the process lives and drops it however the process ends, so a crash never blocks a start,
// there is no file anyone could plant or swap, and of two games starting at once exactly one
// binds the name. Anyone may take a name there, so the holder's peer credentials must show our
// own user before a running game counts.
// The name is our uid and the session: XDG_RUNTIME_DIR as the session gave it, or "none", so
// games of one session find each other and games of other sessions (or tests side by side,
// each with its own folder) never do.
class SingleInstance {
  public:
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Needs no QApplication and no display; a second start never opens one.
    InstanceCheck Acquire();
    pid_t RunningPid() const { return runningPid_; }  // for NotAnswering; 0 when not known
    const char* Why() const { return why_; }          // for Skipped

    // From here on every later start calls `toFront` in the event loop and is answered.
    void AnswerLaterStarts(std::function<void()> toFront);

  private:
    enum class Asked { Answered, NotAnswering, Gone, OtherUser, Refused };
    Asked AskRunningGame();
    // Gives up the lock: the game runs unchecked, for the reason given.
    InstanceCheck Skip(const char* why);
    void AnswerPending();

    QByteArray name_;
    int fd_ = -1;
    pid_t runningPid_ = 0;
    const char* why_ = "";
    std::function<void()> toFront_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace kov
