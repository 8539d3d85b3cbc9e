// The built program, started as a player would start it (headless: SDL's dummy
// video and audio drivers).
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
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

// How the program is started: headless with SDL's dummy drivers unless said otherwise.
struct Options {
    std::string folder;                   // the program folder ("" = the one the build made)
    std::vector<std::string> env;         // NAME=value added last
    std::vector<std::string> drop;        // NAMEs removed from our environment
    bool headless = true;
};

Running Start(const std::vector<std::string>& args, const std::string& home, const std::string& errPath,
              const Options& options = {})
{
    std::string exe = (options.folder.empty() ? TestSupport::GameDir() : options.folder) + "/plindor";
    std::vector<std::string> env;
    auto dropped = [&](const std::string& s) {
        for (const char* name : {"PLINDOR_HOME=", "SDL_VIDEODRIVER=", "SDL_AUDIODRIVER=", "PLINDOR_HEADLESS="})
            if (s.rfind(name, 0) == 0)
                return true;
        for (const std::string& name : options.drop)
            if (s.rfind(name + "=", 0) == 0)
                return true;
        return false;
    };
    for (char** e = environ; *e; ++e) {
        std::string s = *e;
        if (!dropped(s))
            env.push_back(s);
    }
    env.push_back("PLINDOR_HOME=" + home);
    if (options.headless) {
        env.push_back("SDL_VIDEODRIVER=dummy");
        env.push_back("SDL_AUDIODRIVER=dummy");
        env.push_back("PLINDOR_HEADLESS=1");
    }
    env.insert(env.end(), options.env.begin(), options.env.end());
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

// Waits up to timeoutMs for the process; returns its exit code, 128 + the signal
// that ended it, or -1 on time-out.
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

// Runs to the end (killed after timeoutMs); the exit code and what went to stderr.
int RunToExit(const std::vector<std::string>& args, const std::string& home, const Options& options,
              std::string& err, int timeoutMs = 20000)
{
    Running r = Start(args, home, home + "/err.txt", options);
    if (r.pid <= 0)
        return -2;
    int code = WaitExit(r.pid, timeoutMs);
    if (code == -1)
        Kill(r.pid);
    err = TestSupport::ReadFile(r.errPath);
    return code;
}

// A copy of the program folder: the program and its libraries copied (the program
// finds its folder through its own file), the data linked.
std::string CopyProgramFolder(const TestSupport::TempDir& dir)
{
    namespace fs = std::filesystem;
    const std::string copy = dir.File("program");
    fs::create_directories(copy);
    for (const auto& entry : fs::directory_iterator(TestSupport::GameDir())) {
        const fs::path target = fs::path(copy) / entry.path().filename();
        if (entry.is_directory())
            fs::create_directory_symlink(entry.path(), target);
        else
            fs::copy_file(entry.path(), target);
    }
    return copy;
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
    int code = WaitExit(first.pid, 10000);
    if (code == -1)
        Kill(first.pid);
    std::string err = TestSupport::ReadFile(first.errPath);
    EXPECT_EQ(code, 0) << err;

    const std::string key = "Update Count  = ";
    size_t at = err.find(key);
    ASSERT_NE(at, std::string::npos) << err;
    int updates = std::atoi(err.c_str() + at + key.size());
    EXPECT_GE(updates, 150) << err;
    EXPECT_LE(updates, 250) << err;
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
