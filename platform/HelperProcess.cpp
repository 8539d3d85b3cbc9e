#include "platform/HelperProcess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Paths.h"

extern char** environ;

namespace Platform {

namespace {
constexpr size_t MAX_ANSWER = 65536;
} // namespace

int StartOwnCopy(const std::vector<std::string>& arguments, int channelFd)
{
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return -1;
    self[length] = '\0';
    std::vector<std::string> all;
    all.reserve(arguments.size() + 1);
    all.emplace_back(self);
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    // A fault handler blocks the signal it handles, and the game ignores SIGPIPE:
    // the copy starts with nothing blocked and every signal at its default.
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0)
        return -1;
    sigset_t none, allSignals;
    sigemptyset(&none);
    sigfillset(&allSignals);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &allSignals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (channelFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, channelFd, HELPER_CHANNEL_FD);
    pid_t child = -1;
    const int failed = posix_spawn(&child, self, &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return failed == 0 ? int(child) : -1;
}

HelperProcess::~HelperProcess() { Kill(); }

bool HelperProcess::Start(const std::vector<std::string>& arguments)
{
    if (Started())
        return false;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return false;
    // The copy's end must differ from the channel's number: a descriptor duplicated
    // onto itself would keep its close-on-exec flag in some C libraries.
    if (ends[1] == HELPER_CHANNEL_FD) {
        const int moved = fcntl(ends[1], F_DUPFD_CLOEXEC, HELPER_CHANNEL_FD + 1);
        close(ends[1]);
        ends[1] = moved;
    }
    if (ends[1] < 0) {
        close(ends[0]);
        return false;
    }
    mPid = StartOwnCopy(arguments, ends[1]);
    // Only the copy writes: the channel ends when the copy does.
    close(ends[1]);
    if (mPid <= 0) {
        close(ends[0]);
        mPid = -1;
        return false;
    }
    mChannel = ends[0];
    fcntl(mChannel, F_SETFL, fcntl(mChannel, F_GETFL) | O_NONBLOCK);
    return true;
}

void HelperProcess::ReadChannel()
{
    char buffer[4096];
    while (mChannel >= 0) {
        const ssize_t got = read(mChannel, buffer, sizeof buffer);
        if (got > 0) {
            // An answer is a few lines; a copy that writes without end is cut off.
            mAnswer.append(buffer, std::min(size_t(got), MAX_ANSWER - std::min(MAX_ANSWER, mAnswer.size())));
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0)
            CloseChannel(); // every writer has gone
        return;
    }
}

void HelperProcess::CloseChannel()
{
    if (mChannel >= 0)
        close(mChannel);
    mChannel = -1;
}

bool HelperProcess::Poll(int waitMs)
{
    if (mEnded)
        return true;
    if (mPid <= 0)
        return false;
    for (;;) {
        ReadChannel();
        int status = 0;
        pid_t done = waitpid(mPid, &status, WNOHANG);
        while (done < 0 && errno == EINTR)
            done = waitpid(mPid, &status, WNOHANG);
        if (done == mPid || done < 0) {
            // Everything it wrote is in the pipe by now.
            ReadChannel();
            CloseChannel();
            mEnded = true;
            if (done == mPid && WIFEXITED(status))
                mExitCode = WEXITSTATUS(status);
            else if (done == mPid && WIFSIGNALED(status))
                mSignal = WTERMSIG(status);
            else
                mSignal = SIGKILL; // reaped by someone else: how it ended is unknown
            mPid = -1;
            return true;
        }
        if (waitMs <= 0)
            return false;
        // The channel wakes us when the copy writes or ends; the waits are short so
        // that an end without a last write is seen soon too.
        const int slice = waitMs < 10 ? waitMs : 10;
        pollfd watch{mChannel, POLLIN, 0};
        if (mChannel >= 0)
            poll(&watch, 1, slice);
        else
            usleep(useconds_t(slice) * 1000);
        waitMs -= slice;
    }
}

void HelperProcess::Kill()
{
    if (mPid > 0) {
        kill(mPid, SIGKILL);
        int status = 0;
        pid_t done = waitpid(mPid, &status, 0);
        while (done < 0 && errno == EINTR)
            done = waitpid(mPid, &status, 0);
        mEnded = true;
        mExitCode = -1;
        mSignal = SIGKILL;
        mPid = -1;
    }
    CloseChannel();
}

bool EndWithStarter() { return prctl(PR_SET_PDEATHSIG, SIGKILL) == 0; }

bool AnswerStarter(const std::string& answer) { return WriteAll(HELPER_CHANNEL_FD, answer.data(), answer.size()); }

void LeaveHelper(int code) { _exit(code); }

} // namespace Platform
