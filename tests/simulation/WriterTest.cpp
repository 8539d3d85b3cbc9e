// The lines the result files receive, byte for byte.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "game/common/Simulation.h"
#include "tests/simulation/SimulationFiles.h"

using namespace Zant;
using SimulationTests::SimulationFolder;

namespace {

class Writers : public ::testing::Test {
protected:
    Writers()
    {
        folder.Start("1\n2\n60\n95\n-1\n1\n5\n");
        sim.NextSimulationConfig();
        sim.mLevelShown = 3;
        sim.mCurrentLevel = 7;
        sim.mScore = 12345;
        sim.mLives = 1;
        sim.mGameDifficulty = 2;
    }

    // A level of two waves: piranhas, then sharks on which the diver died and the
    // zapper fired, one of them without a word.
    void TwoWaves()
    {
        SimLevelRecord level;
        level.treasureWords = 2;
        level.waves.push_back({2, 1, 4, {"A", "B"}, false, false, {0.5, 0.25}});
        SimWaveRecord sharks{3, 0, 5, {"KELP", "", "TIDE"}, false, false, {0.3, 1.0 / 3.0, 2.0}};
        sharks.diedOn = true;
        sharks.usedZapper = true;
        level.waves.push_back(sharks);
        sim.mLog.push_back(level);
    }

    SimulationFolder folder;
    SimulationHarness& sim = Simulation();
};

const char* const WAVE_PIRANHAS = "\t\t////////// 4 WAVE TYPE:\tPiranhas //////////\n"
                                  "\t\tTOTAL ENEMIES:\t2\n"
                                  "\t\tENEMY SPEEDS: , 0.500000, 0.250000\n"
                                  "\t\tENEMY WORDS: , A, B\n";
const char* const WAVE_SHARKS_BODY = "\t\tTOTAL ENEMIES:\t3\n"
                                     "\t\t@@@ USER DIED ON THIS WAVE @@@\n"
                                     "\t\t@@@ USER USED EMP BLASTER ON THIS WAVE @@@\n"
                                     "\t\tENEMY SPEEDS: , 0.300000, 0.333333, 2.000000\n"
                                     "\t\tENEMY WORDS: , KELP, ERROR: WORD == \"\", TIDE\n";

TEST_F(Writers, LevelReportListsEveryWave)
{
    TwoWaves();
    sim.mPath = {0, 3, 7};
    // A decimal comma in the program's locale must not reach the files.
    const char* oldLocale = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = oldLocale ? oldLocale : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    sim.DumpSimulationLevelData(false);
    std::setlocale(LC_NUMERIC, saved.c_str());

    EXPECT_EQ(folder.Read("SIMULATION_RESULTS.txt"),
              std::string("*********** FOR LEVEL 3 (7) ************\n\n"
                          "MAX LEVELS:\t5\n"
                          "SCORE:\t12345\n"
                          "LIVES LEFT:\t1\n"
                          "TARGET WPM:\t60\n"
                          "TARGET ACCURACY:\t95\n"
                          "DIFFICULTY:\t2\n"
                          "DIFFICULTY:\tHard\n"
                          "PATH (config levels):\t, 0, 3, 7\n"
                          "DUMPING LEVEL DATA:\n"
                          "\tNUM TREASURE WORDS:\t2\n"
                          "\tDUMPING WAVE DATA:\n\n") +
                  WAVE_PIRANHAS + "\t\t////////// 5 WAVE TYPE:\tSharks //////////\n" + WAVE_SHARKS_BODY + "\n\n");
    EXPECT_EQ(folder.Read("SIMULATION_RESULTS_PARSER_2.txt"),
              "//Current level:\n7\n//Points obtained so far:\n12345\n//Lives left:\n1\n");
    EXPECT_EQ(folder.Read("SIMULATION_RESULTS_PARSER_ABYSS.txt"), "");
}

TEST_F(Writers, LastWaveOnlyHasItsOwnHeading)
{
    TwoWaves();
    sim.DumpSimulationLevelData(true);
    EXPECT_EQ(folder.Read("SIMULATION_RESULTS.txt"),
              std::string("\n\t\t********** 5 WAVE TYPE:\tSharks **********\n") + WAVE_SHARKS_BODY);
}

TEST_F(Writers, EmptyLogStillReportsTheLevel)
{
    sim.mGameDifficulty = 9;
    sim.DumpSimulationLevelData(false);
    const std::string text = folder.Read("SIMULATION_RESULTS.txt");
    EXPECT_NE(text.find("DIFFICULTY:\t\nDUMPING LEVEL DATA:\n\tNUM TREASURE WORDS:\t0\n\tDUMPING WAVE DATA:\n\n\n\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("PATH"), std::string::npos);
}

TEST_F(Writers, GameResultGoesToTheDifficultysParserFile)
{
    const std::string separator = "//" + std::string(88, '-') + "//\n";
    sim.WriteSimulationGameResult(-1, 6, 98765);
    EXPECT_EQ(folder.Read("SIMULATION_RESULTS_PARSER_2.txt"),
              separator + "// Level died on (-1 means didn't die, game went on too long):\n-1\n"
                          "// Number of levels passed (includes level ended on):\n6\n"
                          "// Points obtained:\n98765\n" +
                  separator);
    EXPECT_EQ(separator.size(), 93u) << "92 characters and the line feed";

    // An abyss run reports to the abyss file whatever its entry's difficulty says.
    sim.mAdventure = false;
    sim.WriteSimulationGameResult(4, 1, 10);
    sim.DumpSimulationLevelData(false);
    const std::string abyss = folder.Read("SIMULATION_RESULTS_PARSER_ABYSS.txt");
    EXPECT_EQ(abyss.find(separator + "// Level died on"), 0u) << abyss;
    EXPECT_NE(abyss.find("//Current level:\n7\n"), std::string::npos) << abyss;
}

TEST_F(Writers, DepthHeaderAndDumpLines)
{
    sim.StartRun(4242);
    sim.WriteSimulationAbyssDepth(1375);
    sim.SimulationDumpString("$$$$$ Adding shark type 2 $$$$$");
    EXPECT_EQ(folder.Read("SIMULATION_RESULTS.txt"),
              "\n\n------------------- NEW SIMULATION ----------------------\n\n"
              "SEED VALUE USED: 4242\n"
              "\t\tABYSS DEPTH: 1375\n"
              "\t\t\t\tDUMP STRING: $$$$$ Adding shark type 2 $$$$$\n");
}

TEST_F(Writers, ClosedResultsFileTurnsTheModeOff)
{
    sim.CloseResultFiles();
    sim.DumpSimulationLevelData(false);
    EXPECT_FALSE(sim.IsOn());
}

} // namespace
