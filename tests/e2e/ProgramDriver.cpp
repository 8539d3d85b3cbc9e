#include "tests/e2e/ProgramDriver.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/Program.h"
#include "tests/support/TestSupport.h"

// Last: Xlib defines short names as macros.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace E2E {

namespace {

using Clock = std::chrono::steady_clock;

int StatusCode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

pid_t Spawn(std::vector<std::string> argv, std::vector<std::string> env, posix_spawn_file_actions_t& actions)
{
    std::vector<char*> args = Pointers(argv);
    std::vector<char*> envp = Pointers(env);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0)
        return -1;
    return pid;
}

} // namespace

bool OnPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');)
        if (!folder.empty() && access((folder + "/" + name).c_str(), X_OK) == 0)
            return true;
    return false;
}

CommandResult RunCommand(const std::vector<std::string>& argv, const std::vector<std::string>& env, int timeoutMs)
{
    CommandResult result;
    int fds[2];
    if (pipe(fds) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const pid_t pid = Spawn(argv, env, actions);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (pid <= 0) {
        close(fds[0]);
        return result;
    }
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd p{fds[0], POLLIN, 0};
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0)
            break;
        char buffer[512];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break; // the command closed its output
        result.out.append(buffer, static_cast<size_t>(n));
    }
    close(fds[0]);
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            result.code = StatusCode(status);
            return result;
        }
        if (Clock::now() >= end) {
            TestSupport::KillProcess(pid);
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// ---- ProgramRun

ProgramRun::ProgramRun(const std::string& exe, const std::vector<std::string>& args,
                       const std::vector<std::string>& env, const std::string& errPath)
    : mPid(TestSupport::SpawnProgram(exe, args, env, errPath)), mErrPath(errPath)
{
}

ProgramRun::~ProgramRun()
{
    if (Running())
        TestSupport::KillProcess(mPid);
}

bool ProgramRun::Running() { return mPid > 0 && WaitExit(0) == -1; }

int ProgramRun::WaitExit(int timeoutMs)
{
    if (mPid > 0 && mCode == -1)
        mCode = TestSupport::WaitExit(mPid, timeoutMs);
    return mCode;
}

std::string ProgramRun::Err() const { return TestSupport::ReadFile(mErrPath); }

// ---- ProbeView

void ProbeView::Read()
{
    mText = TestSupport::ReadFile(mPath);
    mValues.clear();
    std::istringstream lines(mText);
    for (std::string line; std::getline(lines, line);) {
        // "<update> <key> <value>"; a dialog's key is "dialog <id>".
        const size_t keyStart = line.find(' ');
        if (keyStart == std::string::npos)
            continue;
        size_t keyEnd = line.find(' ', keyStart + 1);
        if (keyEnd != std::string::npos && line.compare(keyStart + 1, 7, "dialog ") == 0)
            keyEnd = line.find(' ', keyEnd + 1);
        if (keyEnd == std::string::npos)
            continue; // a line still being written
        const std::string key = line.substr(keyStart + 1, keyEnd - keyStart - 1);
        const std::string value = line.substr(keyEnd + 1);
        if (value == "-")
            mValues.erase(key);
        else
            mValues[key] = value;
    }
}

std::string ProbeView::Get(const std::string& key) const
{
    auto it = mValues.find(key);
    return it != mValues.end() ? it->second : std::string();
}

int ProbeView::Number(const std::string& key, const std::string& name, int fallback) const
{
    const std::string value = " " + Get(key);
    const size_t at = value.find(" " + name + "=");
    if (at == std::string::npos)
        return fallback;
    return std::atoi(value.c_str() + at + name.size() + 2);
}

bool ProbeView::Rect(const std::string& key, const std::string& name, int& x, int& y, int& width, int& height) const
{
    const std::string value = Get(key);
    size_t at = 0;
    for (;;) {
        at = value.find(name + "=", at);
        if (at == std::string::npos)
            return false;
        if (at == 0 || value[at - 1] == ' ' || value[at - 1] == '|')
            break;
        ++at;
    }
    const size_t start = at + name.size() + 1;
    const size_t end = value.find_first_of(" |", start);
    std::string rect = value.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (const size_t place = rect.find('@'); place != std::string::npos)
        rect = rect.substr(place + 1);
    return std::sscanf(rect.c_str(), "%d,%d,%d,%d", &x, &y, &width, &height) == 4;
}

bool ProbeView::Centre(const std::string& key, const std::string& name, int& x, int& y) const
{
    int left = 0, top = 0, width = 0, height = 0;
    if (!Rect(key, name, left, top, width, height))
        return false;
    x = left + width / 2;
    y = top + height / 2;
    return true;
}

std::string ProbeView::DialogHeader(int id) const
{
    const std::string value = Get("dialog " + std::to_string(id));
    return value.substr(0, value.find('|'));
}

std::string ProbeView::Tail(int lines) const
{
    size_t at = mText.size();
    for (int i = 0; i <= lines && at != std::string::npos && at > 0; ++i)
        at = mText.rfind('\n', at - 1);
    return at == std::string::npos ? mText : mText.substr(at + 1);
}

// ---- XInput

CommandResult XInput::Run(const std::vector<std::string>& args)
{
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunCommand(argv, TestSupport::Environment({"DISPLAY"}, {"DISPLAY=" + mDisplay}), 10000);
}

bool XInput::FindWindow(int timeoutMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < end) {
        const CommandResult found = Run({"search", "--onlyvisible", "--name", "Plindor Ombrex"});
        if (found.code == 0 && !found.out.empty()) {
            mWindow = found.out.substr(0, found.out.find('\n'));
            return Run({"windowfocus", mWindow}).code == 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

bool XInput::Key(const std::string& name) { return Run({"key", name}).code == 0; }

bool XInput::Type(const std::string& text) { return Run({"type", "--delay", "20", text}).code == 0; }

bool XInput::Click(int x, int y)
{
    if (mWindow.empty())
        return false;
    return Run({"mousemove", "--window", mWindow, std::to_string(x), std::to_string(y), "click", "1"}).code == 0;
}

bool XInput::Grab(ImageLib::Image& picture)
{
    if (mWindow.empty())
        return false;
    Display* display = XOpenDisplay(mDisplay.c_str());
    if (display == nullptr)
        return false;
    const Window window = std::strtoul(mWindow.c_str(), nullptr, 10);
    XWindowAttributes attributes{};
    bool grabbed = false;
    if (XGetWindowAttributes(display, window, &attributes) != 0) {
        XImage* image =
            XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
        if (image != nullptr) {
            picture = ImageLib::Image(attributes.width, attributes.height);
            for (int y = 0; y < attributes.height; ++y)
                for (int x = 0; x < attributes.width; ++x)
                    picture.GetBits()[static_cast<size_t>(y) * attributes.width + x] =
                        0xFF000000u | (static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu);
            XDestroyImage(image);
            grabbed = true;
        }
    }
    XCloseDisplay(display);
    return grabbed;
}

// ---- Waiting

bool WaitFor(ProbeView& probe, ProgramRun& program, int timeoutMs, const std::function<bool()>& done)
{
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        probe.Read();
        if (done())
            return true;
        if (Clock::now() >= end || !program.Running())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace E2E
