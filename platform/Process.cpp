#include "platform/Process.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Log.h"
#include "platform/Paths.h"

extern char** environ;

namespace Platform {

namespace {

bool MakeAddress(const std::string& path, sockaddr_un& addr)
{
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Socket paths are limited to 107 bytes; long data folders fall back to /tmp.
std::string SocketPath(const std::string& productName, const std::string& folder)
{
    std::string p = folder + "/" + productName + ".notify";
    if (p.size() < sizeof(sockaddr_un::sun_path))
        return p;
    std::hash<std::string> h;
    return "/tmp/" + productName + "-" + std::to_string(getuid()) + "-" + std::to_string(h(folder)) + ".notify";
}

// Whether a process has a socket bound at path (a file left by a dead one refuses).
bool SocketListening(const std::string& path)
{
    sockaddr_un addr{};
    if (!MakeAddress(path, addr))
        return false;
    int s = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return false;
    const bool listening = connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(s);
    return listening;
}

std::atomic<bool> gTerminate{false};

void OnTerminate(int) { gTerminate.store(true); }

} // namespace

SingleInstance::~SingleInstance() { Release(); }

bool SingleInstance::Acquire(const std::string& productName, const std::string& folder)
{
    Release();
    MakeFolders(folder);
    std::string lockPath = folder + "/" + productName + "Mutex.lock";
    mSocketPath = SocketPath(productName, folder);
    // A link planted in the lock's place would have us make or lock a file elsewhere.
    int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        // Playing goes on, but say so: without the lock two copies could share the
        // settings file. The notify socket still tells a second copy apart as long
        // as the first one listens on it.
        const int error = errno;
        const std::string why = error == ELOOP ? std::string(" is a symbolic link, which is not followed")
                                               : std::string(" cannot be made (") + std::strerror(error) + ")";
        DebugOutput("Single-instance lock " + lockPath + why + "; checking for a running copy through " +
                    mSocketPath + " alone\n");
    } else if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    } else {
        mLockFd = fd;
    }
    // A copy still listening runs, even when its lock file was deleted under it and
    // this lock is a new file's.
    if (SocketListening(mSocketPath)) {
        Release();
        return false;
    }

    // Left over from a process that died: nobody listens on it, so the name is free.
    unlink(mSocketPath.c_str());
    sockaddr_un addr{};
    if (MakeAddress(mSocketPath, addr)) {
        int s = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (s >= 0 && bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0)
            mSocketFd = s;
        else if (s >= 0)
            close(s);
    }
    return true;
}

bool SingleInstance::Notify(const std::string& productName, const std::string& folder)
{
    sockaddr_un addr{};
    if (!MakeAddress(SocketPath(productName, folder), addr))
        return false;
    int s = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return false;
    const char msg[] = "Notify";
    bool ok = sendto(s, msg, sizeof msg, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&addr), sizeof addr) >= 0;
    close(s);
    return ok;
}

int SingleInstance::PollNotifications()
{
    if (mSocketFd < 0)
        return 0;
    int count = 0;
    char buf[64];
    while (recv(mSocketFd, buf, sizeof buf, MSG_DONTWAIT) >= 0)
        ++count;
    return count;
}

void SingleInstance::Release()
{
    if (mSocketFd >= 0) {
        close(mSocketFd);
        unlink(mSocketPath.c_str());
        mSocketFd = -1;
    }
    if (mLockFd >= 0) {
        flock(mLockFd, LOCK_UN);
        close(mLockFd);
        mLockFd = -1;
    }
}

bool ChangeToProgramFolder()
{
    std::string folder;
    if (!ProgramFolder(folder))
        return false;
    return chdir(folder.c_str()) == 0;
}

bool OpenWebPage(const std::string& url)
{
    if (url.empty())
        return false;
    // A short-lived child starts the desktop's handler and leaves at once, so the
    // handler is adopted by init and never lingers as our zombie.
    pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        const char* argv[] = {"xdg-open", url.c_str(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t handler = 0;
        int rc = posix_spawnp(&handler, "xdg-open", &actions, nullptr, const_cast<char* const*>(argv), environ);
        _exit(rc == 0 ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void InstallTerminationHandlers()
{
    struct sigaction sa{};
    sa.sa_handler = OnTerminate;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    // A connection closed under us (the X server gone, a web server hanging up) is
    // reported by the write that met it, so the program can end the run properly
    // instead of being killed in the middle of a write.
    signal(SIGPIPE, SIG_IGN);
}

bool TerminationRequested() { return gTerminate.load(); }
void ClearTerminationRequest() { gTerminate.store(false); }

} // namespace Platform
