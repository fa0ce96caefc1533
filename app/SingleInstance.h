// One game at a time: a later start brings the running game to the front and ends.
#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QObject;

namespace kov {

enum class InstanceCheck {
    First,         // the lock is ours until this process ends
    Answered,      // the running game came to the front; this start ends
    NotAnswering,  // a game of ours holds the lock but did not answer within a second
    Skipped,       // no lock we can trust; the game runs unchecked (see Why())
};

// Where the player has a private runtime folder, the lock is a file there that the game holds
// a lock on for as long as it runs, and the game takes calls on a socket beside it: no other
// user can reach either, and the kernel drops the lock however the game ends.
// Without such a folder the lock is a listening socket in Linux's abstract namespace, named by
// our uid and the session (XDG_RUNTIME_DIR as given and the folder for temporary files). Any user
// may take or call a name there, so a name held by a listener whose owner cannot be told (one that
// takes no calls) never stops the game: it runs, unchecked, and says so. The game answers a later
// start from a thread of its own as soon as it holds the lock, before its window is up; the window
// comes to the front from the event loop.
class SingleInstance {
  public:
    // `folder`: the player's private runtime folder, or empty when there is none.
    explicit SingleInstance(const QByteArray& folder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Needs no QApplication and no display; a second start never opens one.
    InstanceCheck Acquire();
    pid_t RunningPid() const { return runningPid_; }  // for NotAnswering; 0 when not known
    const char* Why() const { return why_; }          // for Skipped

    // From here on a later start has `toFront` called in the event loop, with the activation
    // token the start was given (empty when it had none or an unusable one). Call it from the
    // thread that runs the event loop.
    using ToFront = std::function<void(const QByteArray& activationToken)>;
    void AnswerLaterStarts(ToFront toFront);

  private:
    enum class Asked { Answered, NotAnswering, Gone, OtherUser, Busy, Refused };
    InstanceCheck AcquireInFolder();
    InstanceCheck AcquireName();
    Asked AskRunningGame();
    // Binds and listens on the address; false, with errno set, when it cannot.
    bool TakeAddress();
    // Answers calls from here on: the lock is ours.
    InstanceCheck StartAnswering();
    // Gives up the lock: the game runs unchecked, for the reason given.
    InstanceCheck Skip(const char* why);
    void Answer();
    void RaiseLater(const QByteArray& activationToken);

    QByteArray folder_;
    QByteArray address_;  // a path in the folder, or the abstract name after a 0 byte
    int lockFd_ = -1;
    int listenFd_ = -1;
    int stopFd_ = -1;
    pid_t runningPid_ = 0;
    const char* why_ = "";
    std::thread answering_;

    std::mutex mutex_;  // guards toFront_, receiver_ and token_ against the answering thread
    ToFront toFront_;
    QByteArray token_;                   // the latest start's, until the event loop takes it
    std::unique_ptr<QObject> receiver_;  // lives in the event loop's thread
    std::atomic<bool> raisePending_{false};
};

// A Wayland compositor hands a started program a token that lets it bring a window to the
// front (XDG_ACTIVATION_TOKEN); a later start passes its token on to the running game. Only a
// short run of printable ASCII is taken for one, from a start or from the environment.
bool IsActivationToken(const QByteArray& token);
// The token this start was given, or empty.
QByteArray ActivationTokenOfThisStart();

}  // namespace kov
