// The built program records a headless run into a demo file and plays it back:
// the playback ends by itself at the recorded update, leaves the player's settings
// as they were, and a damaged demo ends the program with exit code 1.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "tests/support/TestSupport.h"

extern char** environ;

namespace {

// Starts the program headless with its own per-user folder; stderr goes to errPath.
pid_t Start(const std::vector<std::string>& args, const std::string& home, const std::string& errPath)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string s = *e;
        if (s.rfind("PLINDOR_HOME=", 0) != 0)
            env.push_back(s);
    }
    env.push_back("PLINDOR_HOME=" + home);
    env.push_back("PLINDOR_HEADLESS=1");
    env.push_back("SDL_VIDEODRIVER=dummy");
    env.push_back("SDL_AUDIODRIVER=dummy");
    std::vector<std::string> all{TestSupport::GameDir() + "/plindor"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv, envp;
    for (auto& s : all)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    for (auto& s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The exit code, or -1 when the program had to be killed after timeoutMs.
int Wait(pid_t pid, int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs; waited += 10) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

int UpdateCount(const std::string& err)
{
    const std::string key = "Update Count  = ";
    const size_t at = err.find(key);
    return at == std::string::npos ? -1 : std::atoi(err.c_str() + at + key.size());
}

} // namespace

TEST(DemoProgram, ARecordedRunPlaysBackToItsEnd)
{
    TestSupport::TempDir dir("plindor-demo-e2e");
    const std::string demo = dir.File("run.dmo");

    const pid_t recorder = Start({"-record", "-demofile=" + demo}, dir.Path(), dir.File("record.err"));
    ASSERT_GT(recorder, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    kill(recorder, SIGTERM); // the end of the desktop session
    EXPECT_EQ(Wait(recorder, 10000), 0);
    const std::string recordErr = TestSupport::ReadFile(dir.File("record.err"));
    const int recorded = UpdateCount(recordErr);
    ASSERT_GT(recorded, 0) << recordErr;
    const std::string settings = TestSupport::ReadFile(dir.File("settings.txt"));
    ASSERT_FALSE(settings.empty());

    const pid_t player = Start({"-play", "-demofile=" + demo}, dir.Path(), dir.File("play.err"));
    ASSERT_GT(player, 0);
    const int code = Wait(player, 20000); // ends by itself
    const std::string playErr = TestSupport::ReadFile(dir.File("play.err"));
    EXPECT_EQ(code, 0) << playErr;
    EXPECT_EQ(UpdateCount(playErr), recorded) << playErr;
    EXPECT_EQ(playErr.find("out of sync"), std::string::npos) << playErr;
    EXPECT_EQ(TestSupport::ReadFile(dir.File("settings.txt")), settings);

    // Damaged and missing demo files end the program with a message and code 1.
    std::string file = TestSupport::ReadFile(demo);
    struct {
        const char* name;
        std::string contents;
        const char* message;
    } bad[] = {
        {"cut.dmo", file.substr(0, 20), "Invalid demo file."},
        {"magic.dmo", "Z" + file.substr(1), "Invalid demo file."},
        {"version.dmo", file.substr(0, 14) + "9" + file.substr(15), "This demo file appears to be for '9.01'"},
        {"missing.dmo", "", "Demo file not found: "},
    };
    for (const auto& b : bad) {
        if (!b.contents.empty())
            TestSupport::WriteFile(dir.File(b.name), b.contents);
        const pid_t pid = Start({"-play", "-demofile=" + dir.File(b.name)}, dir.Path(), dir.File("bad.err"));
        ASSERT_GT(pid, 0);
        EXPECT_EQ(Wait(pid, 10000), 1) << b.name;
        EXPECT_NE(TestSupport::ReadFile(dir.File("bad.err")).find(b.message), std::string::npos) << b.name;
    }
    EXPECT_EQ(TestSupport::ReadFile(dir.File("settings.txt")), settings);
}
