// The built program with a simulation plan in its folder: a plan that cannot run is
// refused with a message naming the file (and the line at fault), and the game
// starts normally; result files that cannot be opened end the program with the
// fatal code; a demo replayed in simulation mode leaves the result files as they are.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/Program.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

const char* const CONFIG = "SIMULATION_CONFIG.txt";
// One Easy typist at 60 words a minute, adventure mode, no level limit.
const char* const GOOD_PLAN = "1\n0\n60\n95\n-1\n1\n-1\n";

// A linked copy of the program folder with its own per-user folder.
class PlanFolder {
public:
    PlanFolder() : mDir("plindor-plan")
    {
        TestSupport::LinkProgramFolder(TestSupport::GameDir(), Game());
        fs::create_directories(Home());
    }
    std::string Game() const { return mDir.File("game"); }
    std::string Home() const { return mDir.File("home"); }
    std::string File(const std::string& name) const { return mDir.File(name); }
    pid_t Start(const std::vector<std::string>& args, const std::string& probe, const std::string& err) const
    {
        TestSupport::ProgramOptions options;
        options.folder = Game();
        if (!probe.empty())
            options.env = {TestSupport::ProbeSetting(probe)};
        return TestSupport::StartProgram(args, Home(), err, options);
    }
    // The result files of the folder, by name, with their contents.
    std::map<std::string, std::string> Results() const
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(Game()))
            if (const std::string name = entry.path().filename().string(); name.starts_with("SIMULATION_RESULTS"))
                files[name] = entry.is_regular_file() ? TestSupport::ReadFile(entry.path().string()) : "(folder)";
        return files;
    }

private:
    TestSupport::TempDir mDir;
};

bool GameDirReady()
{
    const std::string game = TestSupport::GameDir();
    return fs::exists(game + "/plindor") && fs::exists(game + "/images");
}

// The update at which the probe first reported "<update> screen <name>", or -1 when
// it did not within timeoutMs.
int WaitForScreen(const std::string& probe, const std::string& name, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        std::istringstream lines(TestSupport::ReadFile(probe));
        for (std::string line; std::getline(lines, line);)
            if (line.ends_with(" screen " + name))
                return std::atoi(line.c_str());
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < end);
    return -1;
}

} // namespace

TEST(SimulationPlan, APlanThatCannotRunIsRefusedAndTheGameStartsNormally)
{
    if (!GameDirReady())
        GTEST_SKIP() << "no program folder at " << TestSupport::GameDir();
    struct Case {
        const char* what;
        std::function<void(const std::string& config)> make;
        const char* message; // after the file's path
    };
    auto text = [](const char* plan) {
        return [plan](const std::string& config) { TestSupport::WriteFile(config, plan); };
    };
    const Case cases[] = {
        {"empty", text(""), ":1: the number of entries 0 is not between 1 and"},
        {"not a number", text("abc\n"), ":1: the number of entries 0 is not between 1 and"},
        {"a folder", [](const std::string& config) { fs::create_directory(config); }, ": not a readable file"},
        {"level limit 0", text("1\n0\n60\n95\n-1\n1\n0\n"), ":7: the level limit 0 is neither -1"},
        {"level limit -5", text("1\n0\n60\n95\n-1\n1\n-5\n"), ":7: the level limit -5 is neither -1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PlanFolder folder;
        const std::string config = folder.Game() + "/" + CONFIG;
        c.make(config);
        const std::string probe = folder.File("probe.txt"), err = folder.File("err.txt");
        const pid_t pid = folder.Start({}, probe, err);
        ASSERT_GT(pid, 0);

        // The menu comes up and stays: no simulated game starts.
        const int menu = WaitForScreen(probe, "menu", 90000);
        EXPECT_GT(menu, 0) << TestSupport::ReadFile(err);
        EXPECT_LT(menu, 100 * 60) << "the menu took a minute of updates";
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_EQ(WaitForScreen(probe, "board", 0), -1);
        kill(pid, SIGTERM);
        EXPECT_EQ(TestSupport::WaitOrKill(pid, 20000), 0);

        const std::string errors = TestSupport::ReadFile(err);
        EXPECT_NE(errors.find("Simulation Mode: " + config + c.message), std::string::npos) << errors;
        EXPECT_NE(errors.find("; the game starts without simulation"), std::string::npos) << errors;
        EXPECT_TRUE(folder.Results().empty());
    }
}

TEST(SimulationPlan, ResultFilesThatCannotBeOpenedEndTheProgramWithTheFatalCode)
{
    if (!GameDirReady())
        GTEST_SKIP() << "no program folder at " << TestSupport::GameDir();
    PlanFolder folder;
    TestSupport::WriteFile(folder.Game() + "/" + CONFIG, GOOD_PLAN);
    const std::string results = folder.Game() + "/SIMULATION_RESULTS.txt";
    fs::create_directory(results);
    const std::string err = folder.File("err.txt");
    const pid_t pid = folder.Start({}, "", err);
    ASSERT_GT(pid, 0);
    EXPECT_EQ(TestSupport::WaitOrKill(pid, 60000), 1);
    const std::string errors = TestSupport::ReadFile(err);
    EXPECT_NE(errors.find("The simulation results cannot be written: " + results + ": Is a directory"),
              std::string::npos)
        << errors;
}

TEST(SimulationPlan, AReplayedSimulationWritesNoResults)
{
    if (!GameDirReady())
        GTEST_SKIP() << "no program folder at " << TestSupport::GameDir();
    PlanFolder folder;
    TestSupport::WriteFile(folder.Game() + "/" + CONFIG, GOOD_PLAN);
    const std::string demo = folder.File("run.dmo");

    // A simulated run recorded until the typist has played a while.
    const std::string probe = folder.File("record.probe");
    const pid_t recorder = folder.Start({"-record", "-demofile=" + demo}, probe, folder.File("record.err"));
    ASSERT_GT(recorder, 0);
    EXPECT_GT(WaitForScreen(probe, "board", 90000), 0) << TestSupport::ReadFile(folder.File("record.err"));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    kill(recorder, SIGTERM);
    ASSERT_EQ(TestSupport::WaitOrKill(recorder, 20000), 0) << TestSupport::ReadFile(folder.File("record.err"));
    const auto recorded = folder.Results();
    ASSERT_EQ(recorded.size(), 7u);
    ASSERT_NE(recorded.at("SIMULATION_RESULTS.txt").find("NEW SIMULATION"), std::string::npos);

    const pid_t player = folder.Start({"-play", "-demofile=" + demo}, "", folder.File("play.err"));
    ASSERT_GT(player, 0);
    const std::string played = folder.File("play.err");
    EXPECT_EQ(TestSupport::WaitOrKill(player, 60000), 0) << TestSupport::ReadFile(played);
    EXPECT_EQ(TestSupport::ReadFile(played).find("out of sync"), std::string::npos) << TestSupport::ReadFile(played);
    EXPECT_EQ(folder.Results(), recorded);
}
