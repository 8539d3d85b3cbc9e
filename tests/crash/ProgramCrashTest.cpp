// The built program asked to fault (-crash): the report lands in crash.txt beside
// it; headless nothing waits, otherwise a fresh copy shows the crash windows and
// the faulting program waits for it before it ends with the signal.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <dirent.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "tests/support/Program.h"
#include "tests/support/TestSupport.h"

namespace {

// Starts the program asked to fault, with SDL's dummy drivers and the headless
// switch as asked.
pid_t StartFaulting(const std::string& home, bool headless, const std::string& errPath)
{
    TestSupport::ProgramOptions options;
    options.headless = headless;
    if (!headless)
        options.env = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};
    return TestSupport::StartProgram({"-crash"}, home, errPath, options);
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
    const pid_t pid = StartFaulting(home.Path(), true, home.File("err"));
    ASSERT_GT(pid, 0);
    EXPECT_EQ(TestSupport::WaitOrKill(pid, 60000), 128 + SIGSEGV) << TestSupport::ReadFile(home.File("err"));
    const std::string report = TestSupport::ReadFile(crashFile);
    EXPECT_EQ(report.rfind(kFirstLine, 0), 0u) << report;
    EXPECT_NE(report.find("\r\n\r\nProduct: "), std::string::npos) << report;
    EXPECT_NE(TestSupport::ReadFile(home.File("err")).find("Crash report written to " + crashFile), std::string::npos);
}

TEST(ProgramCrash, AProgramFolderThatCannotBeWrittenSendsTheReportToThePlayersFolder)
{
    TestSupport::TempDir dir("plindor-crash");
    const std::string game = dir.File("game"), home = dir.File("home");
    TestSupport::LinkProgramFolder(TestSupport::GameDir(), game);
    std::filesystem::create_directories(home);
    // A folder in the crash file's place cannot be written, also by root.
    std::filesystem::create_directory(game + "/crash.txt");
    TestSupport::ProgramOptions options;
    options.folder = game;
    const pid_t pid = TestSupport::StartProgram({"-crash"}, home, dir.File("err"), options);
    ASSERT_GT(pid, 0);
    EXPECT_EQ(TestSupport::WaitOrKill(pid, 60000), 128 + SIGSEGV) << TestSupport::ReadFile(dir.File("err"));
    const std::string errors = TestSupport::ReadFile(dir.File("err"));
    EXPECT_EQ(errors.find("Crash report written to " + game), std::string::npos) << errors;
    EXPECT_NE(errors.find("Crash report written to " + home + "/crash.txt\n"), std::string::npos) << errors;
    EXPECT_EQ(TestSupport::ReadFile(home + "/crash.txt").rfind(kFirstLine, 0), 0u);
}

TEST(ProgramCrash, AFreshCopyShowsTheWindowsAndTheFaultingProgramWaitsForIt)
{
    TestSupport::TempDir home("plindor-crash");
    const std::string crashFile = TestSupport::GameDir() + "/crash.txt";
    unlink(crashFile.c_str());
    const pid_t pid = StartFaulting(home.Path(), false, home.File("err"));
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
    // The report itself is handed over, whether or not the crash file could be written.
    const std::string handed = "report=/proc/self/fd/";
    ASSERT_EQ(arguments[2].rfind(handed, 0), 0u) << arguments[2];
    const std::string childsCopy =
        TestSupport::ReadFile("/proc/" + std::to_string(child) + "/fd/" + arguments[2].substr(handed.size()));
    EXPECT_EQ(childsCopy.rfind(kFirstLine, 0), 0u) << childsCopy;
    EXPECT_NE(std::find(arguments.begin(), arguments.end(), "app=1"), arguments.end());
    // The shipped properties name no report service.
    EXPECT_NE(std::find(arguments.begin(), arguments.end(), "host="), arguments.end());

    // The faulting program waits while the windows are open.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, WNOHANG), 0);
    EXPECT_EQ(TestSupport::ReadFile(crashFile), childsCopy);

    kill(child, SIGTERM);
    EXPECT_EQ(TestSupport::WaitOrKill(pid, 20000), 128 + SIGSEGV) << TestSupport::ReadFile(home.File("err"));
}
