// One short seeded level played by the simulated typist gives the same result files
// byte for byte. PLINDOR_UPDATE_GOLDEN=1 writes the reference files afresh.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "game/play/Player.h"
#include "game/common/Simulation.h"
#include "game/shell/SimulationRunner.h"
#include "tests/board/BoardFixture.h"
#include "tests/simulation/SimulationFiles.h"
#include "tests/support/TestSupport.h"

using namespace Zant;
using namespace BoardTests;
using namespace LevelFiles;
using SimulationTests::SimulationFolder;

namespace {

const std::filesystem::path GOLDEN = std::filesystem::path(PLINDOR_TEST_SOURCE_DIR) / "tests" / "simulation" / "golden";

class GoldenRun : public BoardFixture {
protected:
    SimulationFolder folder;
};

void Compare(const std::string& got, const std::string& name)
{
    if (std::getenv("PLINDOR_UPDATE_GOLDEN")) {
        std::ofstream(GOLDEN / name, std::ios::binary) << got;
        return;
    }
    std::ifstream in(GOLDEN / name, std::ios::binary);
    ASSERT_TRUE(in) << name;
    std::ostringstream want;
    want << in.rdbuf();
    EXPECT_EQ(got, want.str()) << name;
}

TEST_F(GoldenRun, ShortLevelGivesTheSameFiles)
{
    // An Easy typist at 90 words a minute, 90 % accurate with bursts.
    folder.Start("1\n0\n90\n90\n20\n1\n-1\n");
    SimulationHarness& sim = Simulation();
    sim.NextSimulationConfig();
    const std::string level =
        Level(Sharks() + Wave("Piranhas", LevelFiles::Enemy("Blue")) + Wave("Bonus", LevelFiles::Enemy("Standard")) +
              Sharks(Value("KnockBack", "5")));
    StartLevel(File(level));
    app->mWordLists.ClearRecentWords();
    app->mWordLists.ClearThemeState();
    app->ResetUsedLetters();
    Reseed(2026);
    sim.StartRun(2026);

    const SimulatedLevel result = PlaySimulatedLevel(*app, 60000);
    EXPECT_TRUE(result.completed || result.gameOver) << "updates " << result.updates;
    EXPECT_GT(result.score, 0);
    Compare(folder.Read("SIMULATION_RESULTS.txt"), "SIMULATION_RESULTS.txt");
    Compare(folder.Read("SIMULATION_RESULTS_PARSER_0.txt"), "SIMULATION_RESULTS_PARSER_0.txt");
    DropReplacedBoard(*app, board);
}

TEST_F(GoldenRun, ANormalTypistClearsTheFirstEasyLevel)
{
    // The shipped Easy file's first level, a typist of twice Easy's speed: a cheap
    // check that the tuned files keep the first step of the ladder within reach.
    std::ifstream in(TestSupport::GameDir() + "/data/easy-cfg.xml", std::ios::binary);
    ASSERT_TRUE(in);
    std::ostringstream text;
    text << in.rdbuf();
    folder.Start("1\n0\n30\n95\n-1\n1\n-1\n");
    SimulationHarness& sim = Simulation();
    sim.NextSimulationConfig();
    StartLevel(text.str());
    Reseed(7);
    sim.StartRun(7);

    const SimulatedLevel result = PlaySimulatedLevel(*app, 100 * 60 * 5);
    EXPECT_TRUE(result.completed) << "updates " << result.updates;
    EXPECT_FALSE(result.gameOver);
    EXPECT_EQ(result.lives, 2);
    DropReplacedBoard(*app, board);
}

} // namespace
