// The real program on a copy of its folder with one file damaged at a time: it names
// the file in its missing-or-corrupt message and ends with exit code 1 (no signal),
// leaving nothing half-written in the player's folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TestSupport.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

// A program folder whose files are links to the built one (a damaged file is
// replaced, never written through).
void LinkProgramFolder(const std::string& from, const std::string& to)
{
    for (const auto& entry : fs::recursive_directory_iterator(from)) {
        const fs::path target = fs::path(to) / fs::relative(entry.path(), from);
        if (entry.is_directory()) {
            fs::create_directories(target);
            continue;
        }
        std::error_code error;
        fs::create_hard_link(entry.path(), target, error);
        if (error)
            fs::copy_file(entry.path(), target);
    }
}

void Replace(const std::string& path, const std::string& bytes)
{
    fs::remove(path);
    TestSupport::WriteFile(path, bytes);
}

struct Outcome {
    int exitCode = -1; // 128 + signal when killed by one
    std::string errors;
};

Outcome RunProgram(const std::string& folder, const std::string& home)
{
    const std::string exe = folder + "/plindor";
    const std::string errPath = home + "/../stderr.txt";
    const std::vector<std::string> ours = {"PLINDOR_HOME=" + home, "SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy",
                                           "PLINDOR_HEADLESS=1"};
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        bool replaced = false;
        for (const std::string& mine : ours)
            replaced = replaced || entry.starts_with(mine.substr(0, mine.find('=') + 1));
        if (!replaced)
            env.push_back(entry);
    }
    env.insert(env.end(), ours.begin(), ours.end());
    std::vector<char*> envp;
    for (auto& s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string arg0 = exe;
    char* argv[] = {arg0.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    Outcome outcome;
    if (posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, envp.data()) == 0) {
        int status = 0;
        for (int waited = 0; waited < 40000; waited += 20) {
            if (waitpid(pid, &status, WNOHANG) == pid) {
                outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (outcome.exitCode == -1) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    outcome.errors = TestSupport::ReadFile(errPath);
    return outcome;
}

// Every file of the player's folder, relative to it.
std::vector<std::string> PlayerFiles(const std::string& home)
{
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(home))
        files.push_back(fs::relative(entry.path(), home).string());
    return files;
}

} // namespace

TEST(DamagedData, EachDamagedFileIsNamedAndEndsTheProgram)
{
    const std::string game = TestSupport::GameDir();
    if (!fs::exists(game + "/plindor") || !fs::exists(game + "/images"))
        GTEST_SKIP() << "no program folder at " << game;

    struct Case {
        const char* what;
        std::function<void(const std::string& folder)> damage;
        const char* named;
    };
    const Case cases[] = {
        {"truncated image",
         [](const std::string& f) {
             const std::string bytes = TestSupport::ReadFile(f + "/images/diver_idle.png");
             Replace(f + "/images/diver_idle.png", bytes.substr(0, bytes.size() / 2));
         },
         "The file: images\\diver_idle, is missing or corrupt."},
        {"missing font descriptor", [](const std::string& f) { fs::remove(f + "/data/GillSansMT10Bold.txt"); },
         "The file: \"GillSansMT10Bold.txt\", is missing or corrupt."},
        {"empty word list", [](const std::string& f) { Replace(f + "/data/waves.txt", ""); },
         "The file: \"waves.txt\", is missing or corrupt."},
        {"sound with a lying header",
         [](const std::string& f) {
             std::string bytes = TestSupport::ReadFile(f + "/sounds/bad.wav");
             // The data chunk claims far more samples than the file holds.
             bytes.replace(40, 4, std::string("\xf0\xff\xff\x7f", 4));
             Replace(f + "/sounds/bad.wav", bytes);
         },
         "The file: sounds\\bad, is missing or corrupt."},
        {"level file with a bad line",
         [](const std::string& f) {
             std::string bytes = TestSupport::ReadFile(f + "/data/easy-cfg.xml");
             bytes.insert(bytes.find("<Config>"), "<Wave Type=\"Squids\"/>\n");
             Replace(f + "/data/easy-cfg.xml", bytes);
         },
         "The file: \"easy-cfg.xml\", is missing or corrupt."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestSupport::TempDir dir("plindor-damaged");
        const std::string folder = dir.File("game");
        const std::string home = dir.File("home");
        fs::create_directories(home);
        LinkProgramFolder(game, folder);
        c.damage(folder);

        const Outcome outcome = RunProgram(folder, home);
        EXPECT_EQ(outcome.exitCode, 1) << outcome.errors;
        EXPECT_NE(outcome.errors.find(c.named), std::string::npos) << outcome.errors;
        EXPECT_EQ(outcome.errors.find("Sanitizer"), std::string::npos) << outcome.errors;
        for (const std::string& file : PlayerFiles(home)) {
            EXPECT_EQ(file.find(".tmp"), std::string::npos) << file;
            EXPECT_FALSE(fs::path(file).filename().string().starts_with(".")) << file;
        }
    }
}
