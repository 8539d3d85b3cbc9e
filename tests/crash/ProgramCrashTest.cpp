// The built program asked to fault (-crash): the report lands in crash.txt beside
// it; headless nothing waits, otherwise a fresh copy shows the crash windows and
// the faulting program waits for it before it ends with the signal.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <dirent.h>
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

// Starts the program with the test's environment, SDL's dummy drivers and the
// headless switch as asked.
pid_t StartProgram(const std::string& home, bool headless, const std::string& errPath)
{
    const std::string exe = TestSupport::GameDir() + "/plindor";
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string s = *e;
        if (s.rfind("PLINDOR_HOME=", 0) != 0 && s.rfind("PLINDOR_HEADLESS=", 0) != 0)
            env.push_back(s);
    }
    env.push_back("PLINDOR_HOME=" + home);
    env.push_back("SDL_VIDEODRIVER=dummy");
    env.push_back("SDL_AUDIODRIVER=dummy");
    if (headless)
        env.push_back("PLINDOR_HEADLESS=1");
    std::vector<std::string> args{exe, "-crash"};
    std::vector<char*> envp, argv;
    for (auto& s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    for (auto& s : args)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The signal that ended the process, 0 for an exit, -1 when it still runs after timeoutMs.
int WaitForEnd(pid_t pid, int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs; waited += 10) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

// The arguments of a child of parent, or empty when it has none (yet).
std::vector<std::string> ChildArguments(pid_t parent, pid_t& child)
{
    DIR* proc = opendir("/proc");
    std::vector<std::string> arguments;
    while (dirent* entry = proc ? readdir(proc) : nullptr) {
        const pid_t pid = std::atoi(entry->d_name);
        if (pid <= 0)
            continue;
        const std::string stat = TestSupport::ReadFile("/proc/" + std::to_string(pid) + "/stat");
        const size_t close = stat.rfind(')');
        if (close == std::string::npos || std::atoi(stat.c_str() + close + 4) != parent)
            continue;
        const std::string line = TestSupport::ReadFile("/proc/" + std::to_string(pid) + "/cmdline");
        for (size_t at = 0; at < line.size(); at = line.find('\0', at) + 1)
            arguments.emplace_back(line.c_str() + at);
        child = pid;
        break;
    }
    if (proc)
        closedir(proc);
    return arguments;
}

const std::string kFirstLine = "Exception: Access Violation (code 0xc0000005) at address ";

} // namespace

TEST(ProgramCrash, HeadlessTheReportIsWrittenAndTheProgramEndsWithTheSignal)
{
    TestSupport::TempDir home("plindor-crash");
    const std::string crashFile = TestSupport::GameDir() + "/crash.txt";
    unlink(crashFile.c_str());
    const pid_t pid = StartProgram(home.Path(), true, home.File("err"));
    ASSERT_GT(pid, 0);
    EXPECT_EQ(WaitForEnd(pid, 60000), SIGSEGV) << TestSupport::ReadFile(home.File("err"));
    const std::string report = TestSupport::ReadFile(crashFile);
    EXPECT_EQ(report.rfind(kFirstLine, 0), 0u) << report;
    EXPECT_NE(report.find("\r\n\r\nProduct: "), std::string::npos) << report;
    EXPECT_NE(TestSupport::ReadFile(home.File("err")).find("Crash report written to " + crashFile), std::string::npos);
}

TEST(ProgramCrash, AFreshCopyShowsTheWindowsAndTheFaultingProgramWaitsForIt)
{
    TestSupport::TempDir home("plindor-crash");
    const std::string crashFile = TestSupport::GameDir() + "/crash.txt";
    unlink(crashFile.c_str());
    const pid_t pid = StartProgram(home.Path(), false, home.File("err"));
    ASSERT_GT(pid, 0);
    pid_t child = -1;
    std::vector<std::string> arguments;
    for (int i = 0; i < 6000 && arguments.empty(); ++i) {
        arguments = ChildArguments(pid, child);
        if (arguments.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_GE(arguments.size(), 3u) << TestSupport::ReadFile(home.File("err"));
    EXPECT_EQ(arguments[1], "--crash-window");
    EXPECT_EQ(arguments[2], "report=" + crashFile);
    EXPECT_NE(std::find(arguments.begin(), arguments.end(), "app=1"), arguments.end());
    // The shipped properties name no report service.
    EXPECT_NE(std::find(arguments.begin(), arguments.end(), "host="), arguments.end());

    // The faulting program waits while the windows are open.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, WNOHANG), 0);
    EXPECT_EQ(TestSupport::ReadFile(crashFile).rfind(kFirstLine, 0), 0u);

    kill(child, SIGTERM);
    EXPECT_EQ(WaitForEnd(pid, 20000), SIGSEGV) << TestSupport::ReadFile(home.File("err"));
}
