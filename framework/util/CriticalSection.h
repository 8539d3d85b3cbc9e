#pragma once
// A re-entrant lock: the same thread may enter it again, as with the display's
// critical section that the cursor thread and drawing share.
#include <mutex>

namespace Zant {

class CriticalSectionLock {
public:
    void Enter() { mMutex.lock(); }
    bool TryEnter() { return mMutex.try_lock(); }
    void Leave() { mMutex.unlock(); }

    // For std::lock_guard and std::unique_lock.
    void lock() { Enter(); }
    bool try_lock() { return TryEnter(); }
    void unlock() { Leave(); }

private:
    std::recursive_mutex mMutex;
};

// Holds a CriticalSectionLock for the life of a scope.
class AutoCrit {
public:
    explicit AutoCrit(CriticalSectionLock& lock) : mLock(lock) { mLock.Enter(); }
    ~AutoCrit() { mLock.Leave(); }
    AutoCrit(const AutoCrit&) = delete;
    AutoCrit& operator=(const AutoCrit&) = delete;

private:
    CriticalSectionLock& mLock;
};

} // namespace Zant
