// The built program, started as a player would start it (headless: SDL's dummy
// video and audio drivers).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "tests/support/TestSupport.h"

extern char** environ;

namespace {

struct Running {
    pid_t pid = -1;
    std::string errPath;
};

Running Start(const std::vector<std::string>& args, const std::string& home, const std::string& errPath)
{
    std::string exe = TestSupport::GameDir() + "/plindor";
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string s = *e;
        if (s.rfind("PLINDOR_HOME=", 0) == 0 || s.rfind("SDL_VIDEODRIVER=", 0) == 0 ||
            s.rfind("SDL_AUDIODRIVER=", 0) == 0 || s.rfind("PLINDOR_HEADLESS=", 0) == 0)
            continue;
        env.push_back(s);
    }
    env.push_back("PLINDOR_HOME=" + home);
    env.push_back("SDL_VIDEODRIVER=dummy");
    env.push_back("SDL_AUDIODRIVER=dummy");
    env.push_back("PLINDOR_HEADLESS=1");
    std::vector<char*> envp, argv;
    for (auto& s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> all{exe};
    all.insert(all.end(), args.begin(), args.end());
    for (auto& s : all)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    Running r;
    r.errPath = errPath;
    if (posix_spawn(&r.pid, exe.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
        r.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return r;
}

// Waits up to timeoutMs for the process; returns its exit code, or -1 on time-out.
int WaitExit(pid_t pid, int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs; waited += 10) {
        int status = 0;
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

void Kill(pid_t pid)
{
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

TEST(Program, RunsUntilTerminatedAndASecondCopyLeavesAtOnce)
{
    TestSupport::TempDir home("plindor-e2e");
    Running first = Start({}, home.Path(), home.File("first.err"));
    ASSERT_GT(first.pid, 0);
    // Count from the moment the program has started up (a loaded machine is slow to
    // start a sanitised build), then let it run for about two seconds.
    for (int i = 0; i < 1000 && TestSupport::ReadFile(first.errPath).find("BuildDate:") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const auto started = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(700));

    // A second copy tells the first and leaves with success, without a window.
    Running second = Start({}, home.Path(), home.File("second.err"));
    ASSERT_GT(second.pid, 0);
    int secondCode = WaitExit(second.pid, 5000);
    if (secondCode == -1)
        Kill(second.pid);
    EXPECT_EQ(secondCode, 0) << TestSupport::ReadFile(second.errPath);

    std::this_thread::sleep_for(std::chrono::milliseconds(1300));
    kill(first.pid, SIGTERM);
    // The second copy can take long to start on a loaded machine: the pacing is judged
    // against the time that really passed (100 updates a second, no runaway catch-up).
    const long ms = long(std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started).count());
    int code = WaitExit(first.pid, 10000);
    if (code == -1)
        Kill(first.pid);
    std::string err = TestSupport::ReadFile(first.errPath);
    EXPECT_EQ(code, 0) << err;

    const std::string key = "Update Count  = ";
    size_t at = err.find(key);
    ASSERT_NE(at, std::string::npos) << err;
    int updates = std::atoi(err.c_str() + at + key.size());
    EXPECT_GE(updates, std::min(150L, ms / 20)) << err;
    EXPECT_LE(updates, ms / 10 + 50) << err;
    for (const char* line : {"Seconds       = ", "Count         = ", "Sleep Count   = ", "Draw Count    = ",
                             "Draw Time     = ", "Screen Blt    = "})
        EXPECT_NE(err.find(line), std::string::npos) << line;
}

TEST(Program, ExitCodesForBadParameters)
{
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* message;
    } cases[] = {
        {{"-bogus"}, 2, "Invalid Command Line Param: -bogus"},
        {{"-version"}, 0, "Version Info"},
    };
    for (const Case& c : cases) {
        TestSupport::TempDir home("plindor-e2e");
        Running r = Start(c.args, home.Path(), home.File("err"));
        ASSERT_GT(r.pid, 0);
        int code = WaitExit(r.pid, 10000);
        if (code == -1)
            Kill(r.pid);
        std::string err = TestSupport::ReadFile(r.errPath);
        EXPECT_EQ(code, c.code) << err;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
    }
}
