// The configuration file: entries, signs, short files, the refused cases and the
// cycling of entries from run to run.
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "game/common/Simulation.h"
#include "tests/simulation/SimulationFiles.h"

using namespace Zant;
using SimulationTests::SimulationFolder;

namespace {

struct ConfigCase {
    const char* name;
    std::string text;
    bool readExtra;
    bool on;
    std::vector<SimulationEntry> entries;
    bool adventure;
    int maxLevels;
    int extra;
    int targetWpm;
    const char* error; // a part of the refusal, or "" for none
};

std::string Text(const std::vector<SimulationEntry>& entries)
{
    std::string text;
    for (const SimulationEntry& e : entries)
        text += "{" + std::to_string(e.difficulty) + ", " + std::to_string(e.accuracy) + "%, delay " +
                std::to_string(e.keyDelay) + ", burst " + std::to_string(e.burstChance) + "}";
    return text;
}

const ConfigCase CASES[] = {
    {"one hard entry", "1\n2\n60\n95\n-1\n1\n5\n", false, true, {{2, 95, 20, -1}}, true, 5, 0, 60, ""},
    {"CRLF lines", "1\r\n2\r\n60\r\n95\r\n-1\r\n1\r\n5\r\n", false, true, {{2, 95, 20, -1}}, true, 5, 0, 60, ""},
    {"signs, blanks and trailing words", "+1\n-3\n +30 wpm\n\t90\n-1\n0\n-1\n", false, true, {{-3, 90, 40, -1}},
     false, -1, 0, 30, ""},
    {"two entries keep the last speed", "2\n0\n15\n95\n10\n4\n80\n97\n-1\n1\n-1\n", false, true,
     {{0, 95, 80, 10}, {4, 97, 15, -1}}, true, -1, 0, 80, ""},
    {"blank lines read as 0", "1\n0\n120\n\n\n\n5\n", false, true, {{0, 0, 10, 0}}, false, 5, 0, 120, ""},
    {"no digits read as 0", "1\nfast\n50\nx\n\n1\n3\n", false, true, {{0, 0, 24, 0}}, true, 3, 0, 50, ""},
    {"very fast typist still waits an update", "1\n1\n5000\n100\n-1\n1\n-1\n", false, true, {{1, 100, 1, -1}}, true,
     -1, 0, 5000, ""},
    {"extra line when asked", "1\n2\n60\n95\n-1\n1\n5\n7\n", true, true, {{2, 95, 20, -1}}, true, 5, 7, 60, ""},
    {"extra line not asked", "1\n2\n60\n95\n-1\n1\n5\n7\n", false, true, {{2, 95, 20, -1}}, true, 5, 0, 60, ""},
    {"no extra line", "1\n2\n60\n95\n-1\n1\n5\n", true, true, {{2, 95, 20, -1}}, true, 5, 0, 60, ""},
    {"zero speed", "1\n2\n0\n95\n-1\n1\n5\n", false, false, {}, true, -1, 0, 0, "cfg.txt:3:"},
    {"negative speed in the second entry", "2\n2\n60\n95\n-1\n2\n-40\n95\n-1\n1\n5\n", false, false, {}, true, -1, 0,
     0, "cfg.txt:7:"},
    {"speed missing", "1\n2\n", false, false, {}, true, -1, 0, 0, "cfg.txt:3:"},
    {"negative entry count", "-1\n1\n5\n", false, false, {}, true, -1, 0, 0, "cfg.txt:1:"},
    {"absurd entry count", "99999999999\n", false, false, {}, true, -1, 0, 0, "cfg.txt:1:"},
    // Plans that would end every run before it began, and start the next at once.
    {"empty file", "", false, false, {}, true, -1, 0, 0, "cfg.txt:1: the number of entries 0"},
    {"no number", "abc\n", false, false, {}, true, -1, 0, 0, "cfg.txt:1: the number of entries 0"},
    {"no entries", "0\n1\n-1\n", false, false, {}, true, -1, 0, 0, "cfg.txt:1:"},
    {"level limit 0", "1\n2\n60\n95\n-1\n1\n0\n", false, false, {}, true, -1, 0, 0, "cfg.txt:7: the level limit 0"},
    {"level limit missing", "1\n2\n60\n95\n-1\n1\n", false, false, {}, true, -1, 0, 0, "cfg.txt:7:"},
    {"level limit -5", "1\n2\n60\n95\n-1\n1\n-5\n", false, false, {}, true, -1, 0, 0, "cfg.txt:7: the level limit -5"},
};

class ConfigTable : public ::testing::TestWithParam<ConfigCase> {
protected:
    SimulationFolder folder;
};

TEST_P(ConfigTable, ReadsEveryValue)
{
    const ConfigCase& c = GetParam();
    SimulationHarness& sim = Simulation();
    const int extra = sim.ParseConfig(c.text, "cfg.txt", c.readExtra);
    EXPECT_EQ(sim.IsOn(), c.on);
    EXPECT_EQ(extra, c.extra);
    if (*c.error) {
        EXPECT_NE(sim.mError.find(c.error), std::string::npos) << sim.mError;
        EXPECT_TRUE(sim.mEntries.empty());
        return;
    }
    EXPECT_EQ(sim.mError, "");
    EXPECT_EQ(Text(sim.mEntries), Text(c.entries));
    EXPECT_EQ(sim.mAdventure, c.adventure);
    EXPECT_EQ(sim.mMaxLevels, c.maxLevels);
    EXPECT_EQ(sim.mTargetWpm, c.targetWpm);
}

INSTANTIATE_TEST_SUITE_P(Files, ConfigTable, ::testing::ValuesIn(CASES), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name)
        if (!isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
});

TEST(SimulationConfig, EntriesCycleFromRunToRun)
{
    SimulationFolder folder;
    SimulationHarness& sim = Simulation();
    sim.ParseConfig("2\n0\n30\n90\n-1\n3\n60\n80\n20\n1\n-1\n", "cfg.txt", false);
    std::vector<int> difficulties;
    for (int run = 0; run < 3; ++run) {
        // Each run reads the file again, as the menu does; the entry index stays.
        sim.ParseConfig("2\n0\n30\n90\n-1\n3\n60\n80\n20\n1\n-1\n", "cfg.txt", false);
        sim.NextSimulationConfig();
        difficulties.push_back(sim.mCurrent.difficulty);
    }
    EXPECT_EQ(difficulties, (std::vector<int>{0, 3, 0}));
    EXPECT_EQ(sim.mCurrent.keyDelay, 40);
}

TEST(SimulationConfig, FileInTheFolderTurnsTheModeOn)
{
    SimulationFolder folder;
    SimulationHarness& sim = Simulation();
    EXPECT_EQ(sim.ReadSimulationConfig(true), 0);
    EXPECT_FALSE(sim.IsOn()) << "no file, no simulation";

    folder.WriteFile("SIMULATION_CONFIG.txt", "1\n1\n30\n95\n-1\n1\n2\n9\n");
    EXPECT_EQ(sim.ReadSimulationConfig(true), 9);
    EXPECT_TRUE(sim.IsOn());
    ASSERT_TRUE(sim.OpenResultFiles());
    for (const char* name : {"SIMULATION_RESULTS.txt", "SIMULATION_RESULTS_PARSER_0.txt",
                             "SIMULATION_RESULTS_PARSER_4.txt", "SIMULATION_RESULTS_PARSER_ABYSS.txt"})
        EXPECT_TRUE(std::filesystem::exists(folder.path / name)) << name;

    folder.WriteFile("SIMULATION_CONFIG.txt", "1\n1\n0\n95\n-1\n1\n2\n");
    sim.ReadSimulationConfig(true);
    EXPECT_FALSE(sim.IsOn());
    EXPECT_NE(sim.mError.find("SIMULATION_CONFIG.txt:3:"), std::string::npos) << sim.mError;

    // A folder in the file's place is no plan, and is said.
    std::filesystem::remove(folder.path / "SIMULATION_CONFIG.txt");
    std::filesystem::create_directory(folder.path / "SIMULATION_CONFIG.txt");
    sim.ReadSimulationConfig(true);
    EXPECT_FALSE(sim.IsOn());
    EXPECT_NE(sim.mError.find("SIMULATION_CONFIG.txt: not a readable file"), std::string::npos) << sim.mError;
    // Nor is a FIFO, and reading it does not wait for a writer that never comes.
    std::filesystem::remove(folder.path / "SIMULATION_CONFIG.txt");
    const std::string fifo = (folder.path / "SIMULATION_CONFIG.txt").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    auto reading = std::async(std::launch::async, [&sim] { return sim.ReadSimulationConfig(true); });
    if (reading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "reading a FIFO waits for a writer";
        close(open(fifo.c_str(), O_WRONLY)); // lets the blocked open go on
    }
    reading.get();
    EXPECT_FALSE(sim.IsOn());
    EXPECT_NE(sim.mError.find("SIMULATION_CONFIG.txt: not a readable file"), std::string::npos) << sim.mError;
    // No file at all is the normal game, and nothing to say.
    std::filesystem::remove(folder.path / "SIMULATION_CONFIG.txt");
    sim.ReadSimulationConfig(true);
    EXPECT_FALSE(sim.IsOn());
    EXPECT_EQ(sim.mError, "");
}

TEST(SimulationConfig, ResultFilesThatCannotBeOpenedAreNamed)
{
    SimulationFolder folder;
    SimulationHarness& sim = Simulation();
    std::filesystem::create_directory(folder.path / "SIMULATION_RESULTS_PARSER_2.txt");
    folder.Start("1\n2\n60\n95\n-1\n1\n-1\n");
    EXPECT_FALSE(sim.OpenResultFiles());
    EXPECT_EQ(sim.mError, (folder.path / "SIMULATION_RESULTS_PARSER_2.txt").string() + ": Is a directory");
}

TEST(SimulationConfig, DiscardedResultsOpenNothingAndWriteNothing)
{
    SimulationFolder folder;
    SimulationHarness& sim = Simulation();
    sim.SetDiscardResults(true);
    folder.Start("1\n2\n60\n95\n-1\n1\n-1\n");
    ASSERT_TRUE(sim.OpenResultFiles());
    sim.NextSimulationConfig();
    sim.StartRun(7);
    sim.CurrentWave().words = {"reef"};
    sim.DumpSimulationLevelData(true);
    sim.DumpSimulationLevelData(false);
    sim.WriteSimulationAbyssDepth(120);
    sim.WriteSimulationGameResult(3, 4, 500);
    // The run goes on as it was recorded: only the files are left out.
    EXPECT_TRUE(sim.IsOn());
    EXPECT_TRUE(std::filesystem::is_empty(folder.path));
}

} // namespace
