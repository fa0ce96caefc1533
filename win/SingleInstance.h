// One game per user session: a named mutex in the session's namespace. A later start finds the
// running game's window, brings it to the front and ends.
#pragma once

#include <windows.h>

namespace kov::win {

class SingleInstance {
  public:
    SingleInstance(const wchar_t* mutexName, const wchar_t* windowClass);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    ~SingleInstance();

    // True for the first game of the session, which then holds the lock until it ends. For a
    // later one, false, once the running game's window is in front; a game that is still
    // starting is given a moment to show its window.
    bool First();

  private:
    bool Take();

    HANDLE mutex_ = nullptr;
    bool held_ = false;
    const wchar_t* windowClass_;
};

}  // namespace kov::win
