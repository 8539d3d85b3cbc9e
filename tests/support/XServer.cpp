#include "tests/support/XServer.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace TestSupport {

XvfbRun RunInXvfbChild(const std::function<void(const std::string& display)>& scenario)
{
    XvfbServer server;
    if (!server.Start())
        return XvfbRun::NO_XVFB;
    return RunInChild([&] { scenario(server.Display()); });
}

XvfbRun RunInChild(const std::function<void()>& scenario)
{
    fflush(stdout);
    const pid_t child = fork();
    if (child < 0)
        return XvfbRun::CRASHED;
    if (child == 0) {
        scenario();
        fflush(stdout);
        _exit(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return XvfbRun::CRASHED;
    if (WEXITSTATUS(status) == CHILD_SKIPPED)
        return XvfbRun::NO_DISPLAY;
    return WEXITSTATUS(status) == 0 ? XvfbRun::PASSED : XvfbRun::FAILED;
}

bool XvfbServer::Start()
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    mPid = fork();
    if (mPid == 0) {
        close(fds[0]);
        const int devnull = open("/dev/null", O_WRONLY);
        if (devnull >= 0) {
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        const std::string fd = std::to_string(fds[1]);
        // -noreset: a server resets when its last client leaves, and a program started
        // right after another one quit could meet it mid-reset and find no display.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (mPid < 0) {
        close(fds[0]);
        return false;
    }
    // The server writes its display number once it accepts clients.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 20000) > 0) {
        char c;
        if (read(fds[0], &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    close(fds[0]);
    if (number.empty())
        return false;
    mDisplay = ":" + number;
    return true;
}

XvfbServer::~XvfbServer()
{
    if (mPid > 0) {
        kill(mPid, SIGTERM);
        waitpid(mPid, nullptr, 0);
    }
}

void UseXDisplay(EnvScope& env, const std::string& display, bool softwareRenderer)
{
    env.Set("DISPLAY", display);
    env.Set("SDL_VIDEODRIVER", "x11");
    if (softwareRenderer) {
        env.Set("SDL_RENDER_DRIVER", "software");
        env.Set("SDL_FRAMEBUFFER_ACCELERATION", "0");
    }
}

void EnvScope::Set(const char* name, const std::string& value)
{
    const char* old = std::getenv(name);
    mSaved.push_back({name, old != nullptr, old ? old : ""});
    setenv(name, value.c_str(), 1);
}

EnvScope::~EnvScope()
{
    for (auto it = mSaved.rbegin(); it != mSaved.rend(); ++it) {
        if (it->had)
            setenv(it->name, it->value.c_str(), 1);
        else
            unsetenv(it->name);
    }
}

} // namespace TestSupport
