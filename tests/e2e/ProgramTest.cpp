// The built program, started as a player would start it (headless: SDL's dummy
// video and audio drivers).
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/SettingsStore.h"
#include "tests/support/Program.h"
#include "tests/support/TestSupport.h"

namespace {

struct Running {
    pid_t pid = -1;
    std::string errPath;
};

using Options = TestSupport::ProgramOptions;
using TestSupport::WaitExit;
constexpr auto Kill = TestSupport::KillProcess;

Running Start(const std::vector<std::string>& args, const std::string& home, const std::string& errPath,
              const Options& options = {})
{
    return Running{TestSupport::StartProgram(args, home, errPath, options), errPath};
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
    Options options;
    options.env = {TestSupport::ProbeSetting(home.File("first.probe"))};
    Running first = Start({}, home.Path(), home.File("first.err"), options);
    ASSERT_GT(first.pid, 0);
    // Count from the program's first update, then let it run for about two seconds.
    TestSupport::WaitForFirstUpdate(home.File("first.probe"), 60000);
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
    int code = WaitExit(first.pid, 10000);
    // Measured to the exit: a loaded machine may let the program run on for a while
    // before it reads the termination request.
    const auto ran = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    if (code == -1)
        Kill(first.pid);
    std::string err = TestSupport::ReadFile(first.errPath);
    EXPECT_EQ(code, 0) << err;

    const std::string key = "Update Count  = ";
    size_t at = err.find(key);
    ASSERT_NE(at, std::string::npos) << err;
    int updates = std::atoi(err.c_str() + at + key.size());
    EXPECT_GE(updates, 150) << err;
    // One update each 10 ms, never more, however long the second copy took to go.
    EXPECT_LE(updates, ran.count() / 10 + 50) << err;
    for (const char* line : {"Seconds       = ", "Count         = ", "Sleep Count   = ", "Draw Count    = ",
                             "Draw Time     = ", "Screen Blt    = "})
        EXPECT_NE(err.find(line), std::string::npos) << line;
}

// A player who closes the game while the title screen loads expects it to end at
// once, not after every image and sound has loaded.
TEST(Program, TerminatedWhileLoadingEndsAtOnce)
{
    TestSupport::TempDir home("plindor-e2e");
    Running r = Start({}, home.Path(), home.File("err"));
    ASSERT_GT(r.pid, 0);
    for (int i = 0; i < 1000 && TestSupport::ReadFile(r.errPath).find("BuildDate:") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const bool loadedBefore = TestSupport::ReadFile(r.errPath).find("Resource Loading Time") != std::string::npos;
    kill(r.pid, SIGTERM);
    const int code = WaitExit(r.pid, 3000);
    if (code == -1)
        Kill(r.pid);
    const std::string err = TestSupport::ReadFile(r.errPath);
    EXPECT_EQ(code, 0) << err;
    // A fast machine may have finished loading within the second; otherwise the
    // loader stopped where it was.
    if (!loadedBefore) {
        EXPECT_NE(err.find("Resource loading stopped"), std::string::npos) << err;
        EXPECT_EQ(err.find("Resource Loading Time"), std::string::npos) << err;
    }
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

// A damaged music library beside the program: refused before it is loaded, named in
// the message, the loader's reason in the log, exit code 1 and no signal.
TEST(Program, ADamagedMusicLibraryIsNamedAndEndsWithCode1)
{
    const std::string good = TestSupport::ReadFile(TestSupport::GameDir() + "/libplindormusic.so");
    ASSERT_GT(good.size(), 8192u);
    std::string random(good.size() / 4, '\0');
    uint32_t state = 99;
    for (char& c : random) {
        state = state * 1664525u + 1013904223u;
        c = static_cast<char>(state >> 24);
    }
    struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"cut to 4096 bytes", good.substr(0, 4096)},
        {"cut to half", good.substr(0, good.size() / 2)},
        {"random bytes", random},
    };
    for (const auto& c : cases) {
        TestSupport::TempDir dir("plindor-e2e");
        Options options;
        options.folder = CopyProgramFolder(dir);
        TestSupport::WriteFile(options.folder + "/libplindormusic.so", c.bytes);
        std::string err;
        const int code = RunToExit({}, dir.Path(), options, err);
        EXPECT_EQ(code, 1) << c.name << "\n" << err;
        EXPECT_NE(err.find("Can't find libplindormusic.so."), std::string::npos) << c.name << "\n" << err;
        EXPECT_NE(err.find("Cannot load libplindormusic.so: " + options.folder + "/libplindormusic.so: "),
                  std::string::npos)
            << c.name << "\n" << err;
    }
}

// An empty font descriptor (a full disk, a broken copy) would give sharks without
// words: it is a damaged data file like any other, named, with exit code 1.
TEST(Program, AnEmptyFontDescriptorIsNamedAndEndsWithCode1)
{
    namespace fs = std::filesystem;
    TestSupport::TempDir dir("plindor-e2e");
    Options options;
    options.folder = CopyProgramFolder(dir);
    // The data folder becomes a folder of links with the one descriptor emptied.
    const fs::path data = fs::path(options.folder) / "data";
    const fs::path original = fs::read_symlink(data);
    fs::remove(data);
    fs::create_directory(data);
    for (const auto& entry : fs::directory_iterator(original))
        fs::create_symlink(entry.path(), data / entry.path().filename());
    fs::remove(data / "MyriadCondensedWeb15.txt");
    TestSupport::WriteFile((data / "MyriadCondensedWeb15.txt").string(), "");
    std::string err;
    const int code = RunToExit({}, dir.Path(), options, err);
    EXPECT_EQ(code, 1) << err;
    EXPECT_NE(err.find("Font Descriptor Error in data\\MyriadCondensedWeb15.txt"), std::string::npos) << err;
    EXPECT_NE(err.find("No Layer Image Set"), std::string::npos) << err;
}

// No display and no video driver asked for: SDL's fallback to a driver that draws
// nowhere is no display, said so, with exit code 1 (not an unseen game holding the
// single-copy lock).
TEST(Program, NoDisplayEndsWithTheMessageAndCode1)
{
    TestSupport::TempDir home("plindor-e2e");
    Options options;
    options.headless = false;
    options.drop = {"DISPLAY", "WAYLAND_DISPLAY"};
    options.env = {"PLINDOR_HEADLESS=1", "SDL_AUDIODRIVER=dummy"};
    std::string err;
    const int code = RunToExit({}, home.Path(), options, err);
    EXPECT_EQ(code, 1) << err;
    EXPECT_NE(err.find("This application requires a graphical display"), std::string::npos) << err;

    // The lock was not kept: the next start (with a driver chosen) runs.
    Running next = Start({}, home.Path(), home.File("next.err"));
    ASSERT_GT(next.pid, 0);
    for (int i = 0; i < 1000 && TestSupport::ReadFile(next.errPath).find("BuildDate:") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(WaitExit(next.pid, 0), -1) << "still running";
    kill(next.pid, SIGTERM);
    const int nextCode = WaitExit(next.pid, 10000);
    if (nextCode == -1)
        Kill(next.pid);
    EXPECT_EQ(nextCode, 0) << TestSupport::ReadFile(next.errPath);
}

namespace {

// The processes whose parent is pid.
std::vector<pid_t> ChildrenOf(pid_t pid)
{
    std::vector<pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string stat = TestSupport::ReadFile(entry.path().string() + "/stat");
        const size_t close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        char state = 0;
        int parent = -1;
        if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &parent) == 2 && parent == pid)
            children.push_back(static_cast<pid_t>(std::stol(name)));
    }
    return children;
}

// An X server of our own on a display number picked from our process number: the
// lowest free number may be one that another machine user's server answers on.
class OwnXServer {
public:
    bool Start()
    {
        for (int attempt = 0; attempt < 20; ++attempt) {
            const int number = 300 + static_cast<int>((getpid() + attempt * 37) % 600);
            const std::string display = ":" + std::to_string(number);
            const pid_t pid = fork();
            if (pid == 0) {
                const int devnull = open("/dev/null", O_WRONLY);
                dup2(devnull, 1);
                dup2(devnull, 2);
                execlp("Xvfb", "Xvfb", display.c_str(), "-nolisten", "tcp", "-screen", "0", "1024x768x24",
                       static_cast<char*>(nullptr));
                _exit(127);
            }
            if (pid < 0)
                return false;
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            for (int i = 0; i < 500; ++i) {
                if (waitpid(pid, nullptr, WNOHANG) == pid)
                    break; // could not start there
                if (std::filesystem::exists(socket)) {
                    mPid = pid;
                    mDisplay = display;
                    return true;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        return false;
    }
    ~OwnXServer() { Stop(); }
    void Stop()
    {
        if (mPid > 0) {
            kill(mPid, SIGTERM);
            waitpid(mPid, nullptr, 0);
            mPid = -1;
        }
    }
    const std::string& Display() const { return mDisplay; }
    // A start on this server's display (a real window), sound silent.
    Options ProgramOptions() const
    {
        Options options;
        options.headless = false;
        options.drop = {"WAYLAND_DISPLAY", "DISPLAY"};
        options.env = {"DISPLAY=" + mDisplay, "SDL_AUDIODRIVER=dummy"};
        return options;
    }

private:
    pid_t mPid = -1;
    std::string mDisplay;
};

} // namespace

// SIGTERM while a message box waits for a click: the box closes with its default
// answer and the program ends as after a normal close.
TEST(Program, TerminationClosesAnOpenMessageBox)
{
    OwnXServer x;
    if (!x.Start())
        GTEST_SKIP() << "Xvfb is not available";
    TestSupport::TempDir home("plindor-e2e");
    const Options options = x.ProgramOptions();
    // The box is printed as it opens; SDL shows it from a child process. SDL's own
    // box sometimes fails to open on a virtual server; the start is tried again then.
    Running r;
    std::vector<pid_t> box;
    std::string failures;
    for (int attempt = 0; attempt < 4 && box.empty(); ++attempt) {
        r = Start({"-version"}, home.Path(), home.File("err"), options);
        ASSERT_GT(r.pid, 0);
        int code = -1;
        for (int i = 0; i < 1500 && box.empty() && code == -1; ++i) {
            if (TestSupport::ReadFile(r.errPath).find("Version Info") != std::string::npos)
                box = ChildrenOf(r.pid);
            code = WaitExit(r.pid, 10);
        }
        // A child that goes at once was an attempt that failed (SDL tries more than
        // one way); the box stands when the program still waits a moment later.
        if (!box.empty() && code == -1)
            code = WaitExit(r.pid, 500);
        if (code != -1)
            box.clear();
        if (box.empty()) {
            if (code == -1)
                Kill(r.pid);
            failures += TestSupport::ReadFile(r.errPath);
        }
    }
    if (box.empty() && failures.find("Message box not shown") != std::string::npos)
        GTEST_SKIP() << "no message box could be shown here: " << failures;
    ASSERT_FALSE(box.empty()) << failures;

    kill(r.pid, SIGTERM);
    const int code = WaitExit(r.pid, 5000);
    if (code == -1)
        Kill(r.pid);
    EXPECT_EQ(code, 0) << TestSupport::ReadFile(r.errPath);
    for (pid_t child : box)
        EXPECT_NE(kill(child, 0), 0) << "the box's process is gone";
}

// The X server goes away under the running game: the program ends (Xlib's exit
// code 1), but marks the run as ended and leaves no notify socket behind.
TEST(Program, ALostDisplayConnectionStillEndsTheRun)
{
    OwnXServer x;
    if (!x.Start())
        GTEST_SKIP() << "Xvfb is not available";
    TestSupport::TempDir home("plindor-e2e");
    Options options = x.ProgramOptions();
    options.env.push_back("PLINDOR_HEADLESS=1");
    options.env.push_back(TestSupport::ProbeSetting(home.File("probe")));
    Running r = Start({}, home.Path(), home.File("err"), options);
    ASSERT_GT(r.pid, 0);
    TestSupport::WaitForFirstUpdate(home.File("probe"), 60000);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_EQ(WaitExit(r.pid, 0), -1) << TestSupport::ReadFile(r.errPath);
    EXPECT_NE(TestSupport::ReadFile(home.File("settings.txt")).find("InProgress\tdword\t1"), std::string::npos);

    x.Stop();
    const int code = WaitExit(r.pid, 10000);
    if (code == -1)
        Kill(r.pid);
    const std::string err = TestSupport::ReadFile(r.errPath);
    EXPECT_EQ(code, 1) << err;
    const std::string settings = TestSupport::ReadFile(home.File("settings.txt"));
    EXPECT_NE(settings.find("InProgress\tdword\t0"), std::string::npos) << settings;
    EXPECT_FALSE(std::filesystem::exists(home.File("Plindor.notify")));
}

namespace {

// Waits up to timeoutMs for the title to offer its button, which it does once
// everything has loaded.
bool WaitUntilLoaded(const std::string& probePath, int timeoutMs)
{
    const std::string key = " buttons ";
    for (int waited = 0; waited <= timeoutMs; waited += 10) {
        const std::string probe = TestSupport::ReadFile(probePath);
        for (size_t at = probe.find(key); at != std::string::npos; at = probe.find(key, at + 1))
            if (std::isdigit(static_cast<unsigned char>(probe[at + key.size()])))
                return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// The GL libraries the process has mapped, one per line.
std::string MappedGlLibraries(pid_t pid)
{
    std::string found;
    std::istringstream maps(TestSupport::ReadFile("/proc/" + std::to_string(pid) + "/maps"));
    for (std::string line; std::getline(maps, line);) {
        const std::string file = line.substr(line.rfind(' ') + 1);
        for (const char* library : {"libGL", "libEGL", "libLLVM", "_dri.so", "libgallium", "libglapi"})
            if (file.find(library) != std::string::npos && found.find(file) == std::string::npos)
                found += file + "\n";
    }
    return found;
}

} // namespace

// The processes the program has started and not yet reaped, one id per line.
std::string ChildProcesses(pid_t pid)
{
    std::string children;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator(tasks, error))
        children += TestSupport::ReadFile(task.path().string() + "/children");
    return children;
}

// Waits up to timeoutMs for the text in a file.
bool WaitForText(const std::string& path, const std::string& text, int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs; waited += 10) {
        if (TestSupport::ReadFile(path).find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// A start in 2D on a real X display keeps no GL driver in the game's process. The
// first start draws its 3D test in a helper copy of the program once the title has
// shown and loaded, and caches the helper's verdict; a later start takes the verdict from
// the cache and starts no helper. Each is checked once the title has loaded
// everything (its button shows) and the first start's verdict has come. How much
// CPU and memory each start takes is measured by bench/startup.sh.
TEST(Program, TwoDimensionalStartsLoadNoGlDriver)
{
    OwnXServer x;
    if (!x.Start())
        GTEST_SKIP() << "Xvfb is not available";
    TestSupport::TempDir home("plindor-e2e");
    const std::string verdictLine = "The 3D test's verdict: ";
    for (const char* start : {"first", "later"}) {
        const bool first = std::string(start) == "first";
        const std::string probe = home.File(std::string(start) + ".probe");
        Options options = x.ProgramOptions();
        options.env.push_back("PLINDOR_HEADLESS=1");
        options.env.push_back(TestSupport::ProbeSetting(probe));
        Running r = Start({}, home.Path(), home.File(std::string(start) + ".err"), options);
        ASSERT_GT(r.pid, 0);
        const bool loaded = WaitUntilLoaded(probe, 60000);
        const bool verdict = !first || WaitForText(r.errPath, verdictLine, 60000);
        const std::string libraries = MappedGlLibraries(r.pid);
        const std::string children = ChildProcesses(r.pid);
        kill(r.pid, SIGTERM);
        const int code = WaitExit(r.pid, 10000);
        if (code == -1)
            Kill(r.pid);
        const std::string err = TestSupport::ReadFile(r.errPath);
        ASSERT_TRUE(loaded) << start << ": " << err;
        EXPECT_EQ(libraries, "") << start << ": mapped by a start in 2D";
        EXPECT_EQ(children, "") << start << ": the helper has ended and been reaped";
        EXPECT_EQ(code, 0) << start << ": " << err;
        ASSERT_TRUE(verdict) << start << ": " << err;
        const size_t frame = err.find("First frame shown after");
        const size_t drawing = err.find("The 3D test's drawing started");
        ASSERT_NE(frame, std::string::npos) << start << ": " << err;
        if (!first) {
            EXPECT_EQ(drawing, std::string::npos) << "a later start draws no test: " << err;
            continue;
        }
        EXPECT_LT(frame, drawing) << "the title's first frame comes before the test's drawing: " << err;
        EXPECT_LT(err.find("Resource Loading Time"), drawing) << "so does the loading: " << err;
        // A verdict of the drawing itself, not of a helper that failed.
        const size_t saidAt = err.find(verdictLine);
        const std::string said = err.substr(saidAt, err.find('\n', saidAt) - saidAt);
        EXPECT_EQ(said.find("3D test "), std::string::npos) << said;
        const std::string settings = TestSupport::ReadFile(home.File("settings.txt"));
        EXPECT_NE(settings.find("Test3D"), std::string::npos) << "the 3D test's verdict is cached: " << settings;
    }
}

// A power cut on a file system that allocates late leaves a player's data file as
// zeros. The program keeps it aside byte for byte as user0.dat.bad, tells the player
// and writes a new file, which the next start reads without a word.
TEST(Program, AZeroFilledPlayerFileIsKeptAsBad)
{
    TestSupport::TempDir home("plindor-e2e");
    {
        Platform::SettingsStore store(home.File("settings.txt"));
        // No update question: the title leaves by itself once loaded.
        ASSERT_TRUE(store.SetDword("SOFTWARE\\Vorlix\\Plindor", "DontUpdate", 1));
        const std::string users = "SOFTWARE\\Vorlix\\Plindor\\Users";
        ASSERT_TRUE(store.SetString(users, "User", "Ann"));
        ASSERT_TRUE(store.SetString(users + "\\Ann", "UserNumber", "0"));
        ASSERT_TRUE(store.SetString(users + "\\Ann", "NumSharksKilled", "12"));
    }
    std::filesystem::create_directories(home.File("users"));
    const std::string zeros(8496, '\0');
    TestSupport::WriteFile(home.File("users/user0.dat"), zeros);

    for (const char* start : {"first", "second"}) {
        SCOPED_TRACE(start);
        const std::string probe = home.File(std::string(start) + ".probe");
        Options options;
        options.env.push_back(TestSupport::ProbeSetting(probe));
        Running r = Start({}, home.Path(), home.File(std::string(start) + ".err"), options);
        ASSERT_GT(r.pid, 0);
        // The menu says at once what start-up found.
        bool menu = false;
        for (int waited = 0; waited <= 60000 && !menu; waited += 20) {
            menu = TestSupport::ReadFile(probe).find(" screen menu") != std::string::npos;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const bool told = TestSupport::ReadFile(probe).find(" dialog 500 Error") != std::string::npos;
        kill(r.pid, SIGTERM);
        const int code = WaitExit(r.pid, 10000);
        if (code == -1)
            Kill(r.pid);
        const std::string err = TestSupport::ReadFile(r.errPath);
        ASSERT_TRUE(menu) << TestSupport::ReadFile(probe) << err;
        EXPECT_EQ(code, 0) << err;
        EXPECT_EQ(told, std::string(start) == "first") << TestSupport::ReadFile(probe);
        const std::string kept = TestSupport::ReadFile(home.File("users/user0.dat.bad"));
        EXPECT_TRUE(kept == zeros) << "user0.dat.bad holds " << kept.size() << " bytes, not the zeros";
        EXPECT_FALSE(std::filesystem::exists(home.File("users/user0.dat.bad2")));
        const std::string renewed = TestSupport::ReadFile(home.File("users/user0.dat"));
        EXPECT_EQ(renewed.substr(0, 6), std::string("\x04\x00" "1.01", 6));
    }
}
