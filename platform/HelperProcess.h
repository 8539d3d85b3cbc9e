#pragma once
// Fresh copies of this program that do one job for it: the crash windows after a
// fault, and the 3D test's drawing, which loads a graphics driver the game's own
// process must not keep.
#include <cstdint>
#include <string>
#include <vector>

namespace Platform {

// Where a helper copy finds the channel its starter reads.
constexpr int HELPER_CHANNEL_FD = 3;

// Starts a fresh copy of this program (its own file) with the arguments after its
// name, every signal at its default action and none blocked, whatever the calling
// thread has. channelFd, unless -1, becomes the copy's HELPER_CHANNEL_FD. The copy's
// process id, or -1 when it could not start.
int StartOwnCopy(const std::vector<std::string>& arguments, int channelFd = -1);

// A helper copy that answers on its channel. Its end is watched without blocking;
// one still running when the object goes is killed, and every copy is reaped.
class HelperProcess {
public:
    HelperProcess() = default;
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    // False when the copy could not start.
    bool Start(const std::vector<std::string>& arguments);
    // Takes what the copy wrote so far, waiting up to waitMs for its end; true once
    // it has ended (its answer is then whole).
    bool Poll(int waitMs);
    // Ends a running copy at once (SIGKILL) and reaps it.
    void Kill();

    bool Started() const { return mPid > 0 || mEnded; }
    // The running copy's process id; -1 before the start and once it has ended.
    int Pid() const { return mPid; }
    bool Ended() const { return mEnded; }
    // Once ended: the exit code, or -1 when a signal ended it.
    int ExitCode() const { return mExitCode; }
    // Once ended: the signal that ended it, or 0.
    int EndSignal() const { return mSignal; }
    const std::string& Answer() const { return mAnswer; }

private:
    void ReadChannel();
    void CloseChannel();

    int mPid = -1;
    int mChannel = -1;
    bool mEnded = false;
    int mExitCode = -1;
    int mSignal = 0;
    std::string mAnswer;
};

// From a helper copy: the copy is killed when its starter ends, so that a copy
// stuck in a driver never outlives the game. False when the system refused.
bool EndWithStarter();
// From a helper copy: writes the whole answer to its channel; false when it could not.
bool AnswerStarter(const std::string& answer);
// From a helper copy: leaves at once with the code, without the exit handlers and
// destructors (a graphics driver's teardown is no part of the answer).
[[noreturn]] void LeaveHelper(int code);

} // namespace Platform
