#include "tests/support/Program.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

#include "tests/support/TestSupport.h"

extern char** environ;

namespace TestSupport {

void LinkProgramFolder(const std::string& from, const std::string& to)
{
    namespace fs = std::filesystem;
    fs::create_directories(to);
    for (const auto& top : fs::directory_iterator(from)) {
        const std::string name = top.path().filename().string();
        const bool wanted = top.is_directory() ? name != "users" && !name.starts_with("_")
                                               : name == "plindor" || name.ends_with(".so");
        if (!wanted)
            continue;
        std::vector<fs::path> files;
        if (top.is_directory()) {
            for (const auto& entry : fs::recursive_directory_iterator(top.path()))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else {
            files.push_back(top.path());
        }
        for (const fs::path& file : files) {
            const fs::path target = fs::path(to) / fs::relative(file, from);
            fs::create_directories(target.parent_path());
            std::error_code error;
            fs::create_hard_link(file, target, error);
            if (error)
                fs::copy_file(file, target);
        }
    }
}

std::vector<std::string> Environment(const std::vector<std::string>& drop, const std::vector<std::string>& extra)
{
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        bool dropped = false;
        for (const std::string& name : drop)
            dropped = dropped || entry.rfind(name + "=", 0) == 0;
        if (!dropped)
            env.push_back(entry);
    }
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

pid_t SpawnProgram(const std::string& exe, const std::vector<std::string>& args, const std::vector<std::string>& env,
                   const std::string& errPath)
{
    std::vector<std::string> all{exe};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<std::string> environment = env;
    std::vector<char*> envp, argv;
    for (auto& s : environment)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    for (auto& s : all)
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

pid_t StartProgram(const std::vector<std::string>& args, const std::string& home, const std::string& errPath,
                   const ProgramOptions& options)
{
    std::vector<std::string> drop{"PLINDOR_HOME", "SDL_VIDEODRIVER", "SDL_AUDIODRIVER", "PLINDOR_HEADLESS"};
    drop.insert(drop.end(), options.drop.begin(), options.drop.end());
    std::vector<std::string> extra{"PLINDOR_HOME=" + home};
    if (options.headless)
        extra.insert(extra.end(), {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy", "PLINDOR_HEADLESS=1"});
    extra.insert(extra.end(), options.env.begin(), options.env.end());
    return SpawnProgram((options.folder.empty() ? GameDir() : options.folder) + "/plindor", args,
                        Environment(drop, extra), errPath);
}

int WaitExit(pid_t pid, int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs; waited += 10) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

void KillProcess(pid_t pid)
{
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

int WaitOrKill(pid_t pid, int timeoutMs)
{
    const int code = WaitExit(pid, timeoutMs);
    if (code == -1)
        KillProcess(pid);
    return code;
}

std::string ProbeSetting(const std::string& probePath) { return "PLINDOR_TEST_PROBE=" + probePath; }

bool WaitForFirstUpdate(const std::string& probePath, int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs; waited += 10) {
        if (!ReadFile(probePath).empty())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace TestSupport
