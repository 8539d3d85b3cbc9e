#pragma once
// Process services: the single running instance and its notify channel, the
// working folder, opening a web page, and termination signals.
#include <string>

namespace Platform {

// One running instance per per-user data folder: an flock on "<name>Mutex.lock"
// held for the life of the process, and a datagram socket "<name>.notify" on which
// a second instance tells the first that it was started.
class SingleInstance {
public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another copy runs: it holds the lock, or answers on the notify
    // socket (its lock file may have been deleted). True when this process now holds
    // the lock, and also when the lock file cannot be made or is a symbolic link
    // (logged, never followed) and no copy answers, so that a player is not kept
    // from playing.
    bool Acquire(const std::string& productName, const std::string& folder);
    // From a second instance: tells the first one that someone tried to start.
    static bool Notify(const std::string& productName, const std::string& folder);
    // From the first instance: number of notices received since the last call.
    int PollNotifications();
    void Release();
    // The lock is held; false also when Acquire went on without one (the lock file
    // could not be made) and relies on the notify socket alone.
    bool Held() const { return mLockFd >= 0; }

private:
    int mLockFd = -1;
    int mSocketFd = -1;
    std::string mSocketPath;
};

// Makes the program's folder the working folder; false when it cannot be found.
bool ChangeToProgramFolder();

// Opens a web page with the desktop's handler (xdg-open), without waiting.
bool OpenWebPage(const std::string& url);

// SIGTERM and SIGINT ask the game to close, as the end of a desktop session does;
// a write into a closed connection fails with EPIPE instead of killing the program.
void InstallTerminationHandlers();
bool TerminationRequested();
void ClearTerminationRequest();

} // namespace Platform
