#include "win/SingleInstance.h"

namespace kov::win {

SingleInstance::SingleInstance(const wchar_t* mutexName, const wchar_t* windowClass)
    : mutex_(CreateMutexW(nullptr, FALSE, mutexName)), windowClass_(windowClass) {}

SingleInstance::~SingleInstance() {
    if (held_) ReleaseMutex(mutex_);
    if (mutex_ != nullptr) CloseHandle(mutex_);
}

// A game that ended without letting go leaves the mutex abandoned, which is as good as free.
bool SingleInstance::Take() {
    const DWORD got = WaitForSingleObject(mutex_, 0);
    held_ = got == WAIT_OBJECT_0 || got == WAIT_ABANDONED;
    return held_;
}

bool SingleInstance::First() {
    if (mutex_ == nullptr) return true;  // no lock to be had: play rather than refuse
    if (Take()) return true;
    // The running game may not have its window yet: look for it for up to two seconds, and
    // take over if that game ends meanwhile.
    constexpr int Tries = 40, Pause = 50;
    for (int i = 0; i < Tries; ++i) {
        if (HWND running = FindWindowW(windowClass_, nullptr); running != nullptr) {
            if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
            SetForegroundWindow(running);
            return false;
        }
        const DWORD got = WaitForSingleObject(mutex_, Pause);
        if (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED) {
            held_ = true;
            return true;
        }
    }
    return false;
}

}  // namespace kov::win
