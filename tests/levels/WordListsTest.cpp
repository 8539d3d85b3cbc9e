// The word lists: file format rules, limits and messages, and the pickers' rules
// with their bounded searches.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "framework/util/MersenneTwister.h"
#include "game/play/WordLists.h"
#include "tests/support/TestSupport.h"

using Zant::MersenneTwister;
using Zant::WordListHost;
using Zant::WordLists;

namespace {

class FakeWordHost : public WordListHost {
public:
    MersenneTwister& GetGameRandom() override { return random; }
    void ShowWordListMessage(const std::string& text) override { messages.push_back(text); }
    void WordListSectionLoaded() override { ++sections; }
    void WordListDebugLine(const std::string& text) override { debugLines.push_back(text); }

    MersenneTwister random{1234};
    std::vector<std::string> messages;
    std::vector<std::string> debugLines;
    int sections = 0;
};

class WordListsTest : public ::testing::Test {
protected:
    FakeWordHost host;
    WordLists lists{host};
};

// Five words of each length 3..7, every one with a different first letter.
const char* kWaves = "#LENGTH-3\nABE\nBOA\nCAT\nDOG\nEEL\n#END\n"
                     "#LENGTH-4\nFISH\nGULL\nHAKE\nIBIS\nJUNK\n#END\n"
                     "#LENGTH-5\nKELPS\nLIMPS\nMOIST\nNORTH\nOCEAN\n#END\n"
                     "#LENGTH-6\nPLANKS\nQUARTZ\nRIPPLE\nSHOALS\nTIDALS\n#END\n"
                     "#LENGTH-7\nUNDERTO\nVESSELS\nWHALERS\nXYLOSEA\nYELLOWS\n#END\n";

} // namespace

TEST_F(WordListsTest, LengthListsFollowTheirSections)
{
    ASSERT_TRUE(lists.ParseWordLengthLists(kWaves));
    EXPECT_EQ(lists.GetLengthList(3), (std::vector<std::string>{"ABE", "BOA", "CAT", "DOG", "EEL"}));
    EXPECT_EQ(lists.GetLengthList(7).size(), 5u);
    EXPECT_TRUE(lists.GetLengthList(8).empty());
    EXPECT_EQ(host.sections, 5);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(WordListsTest, LengthOutsideTheListsReportsEveryWordAndStoresNone)
{
    ASSERT_TRUE(lists.ParseWordLengthLists("#LENGTH-3\nSEA\n#END\n#LENGTH-8\nSEAHORSE\nSEAFLOOR\n#END\n"));
    EXPECT_EQ(host.messages, (std::vector<std::string>{
                                 "wordLen = 8, str = SEAHORSE, temp = 8. Please post this error message!",
                                 "wordLen = 8, str = SEAFLOOR, temp = 8. Please post this error message!"}));
    for (int length = 4; length <= 7; ++length)
        EXPECT_TRUE(lists.GetLengthList(length).empty()) << length;
    EXPECT_EQ(lists.GetLengthList(3), std::vector<std::string>{"SEA"});
}

TEST_F(WordListsTest, LineRulesAreTheSameForEveryList)
{
    // CRLF ends, blank lines, over-long lines and a last line without a line feed.
    ASSERT_TRUE(lists.ParseWordLengthLists("junk before\r\n#LENGTH-4\r\nFISH\r\n\r\nTHISLINEISFARTOOLONGFORALIST\r\nGULL\r\n"
                                           "#END\r\nREEF\n#LENGTH-5\nOCEAN"));
    EXPECT_EQ(lists.GetLengthList(4), (std::vector<std::string>{"FISH", "GULL"}));
    EXPECT_EQ(lists.GetLengthList(5), std::vector<std::string>{"OCEAN"});
    EXPECT_EQ(host.debugLines.size(), 1u);

    ASSERT_TRUE(lists.ParseDifficultyWords("#DIFF-7\r\nab1-x\r\nreef\r\n\r\n#END\r\n#DIFF-12\nLighthouse\n#END\n"));
    const auto& diffs = lists.GetDifficultyLists();
    ASSERT_EQ(diffs.count(7), 1u);
    EXPECT_EQ(diffs.at(7), (std::vector<std::string>{"AB1-X", "REEF"}));
    EXPECT_EQ(diffs.at(12), std::vector<std::string>{"LIGHTHOUSE"});
}

TEST_F(WordListsTest, ListsWithoutAnyWordAreRefused)
{
    EXPECT_FALSE(lists.ParseWordLengthLists("#LENGTH-3\n#END\n"));
    EXPECT_FALSE(lists.ParseDifficultyWords("nothing here\n"));
    EXPECT_FALSE(lists.ParseGemNames("ABC\n\nXY\n"));
    EXPECT_FALSE(lists.ParseShipNames(""));
}

TEST_F(WordListsTest, ThemesAreTrimmedUpperCasedAndKeptShort)
{
    ASSERT_TRUE(lists.ParseThemes("a comment line\n#THEME Sea life\n  abcde  \n\t\ncoral\r\nstarfish\n#end\n"
                                  "#THEME Weather\nrain\n#END\n"));
    ASSERT_EQ(lists.GetThemes().size(), 2u);
    EXPECT_EQ(lists.GetThemes()[0], (std::vector<std::string>{"ABCDE", "CORAL"}));
    EXPECT_EQ(lists.GetThemeNames()[0], "Sea life");
    EXPECT_EQ(lists.GetThemes()[1], std::vector<std::string>{"RAIN"});
    EXPECT_EQ(host.sections, 2);
}

TEST_F(WordListsTest, ThemeFormatErrorsStopWithTheirMessage)
{
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"#THEME Sea\nreef\n", "#THEME found without matching #END in themes.txt"},
        {"#THEME Sea\nreef\n#END\n# note\n#THEME Sky\nrain\n#END\n", "Illegal statement found in themes.txt: # note"},
    };
    for (const Case& c : cases) {
        FakeWordHost caseHost;
        WordLists caseLists(caseHost);
        EXPECT_FALSE(caseLists.ParseThemes(c.text)) << c.text;
        EXPECT_EQ(caseHost.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(caseLists.GetThemes().size(), 1u) << "themes read so far stay";
    }
}

TEST_F(WordListsTest, NamesNeedMoreThanThreeCharacters)
{
    ASSERT_TRUE(lists.ParseGemNames("ABCD\nABC\nABC\r\nSea Star\n"));
    EXPECT_EQ(lists.GetGemNames(), (std::vector<std::string>{"ABCD", "Sea Star"}));
}

TEST_F(WordListsTest, LoadersReadTheDataFolderAndReportMissingFiles)
{
    TestSupport::TempDir dir;
    std::filesystem::create_directories(dir.File("data"));
    TestSupport::WriteFile(dir.File("data/waves.txt"), kWaves);
    TestSupport::WriteFile(dir.File("data/gemnames.txt"), "Blue Moon\n");
    lists.SetDataFolder(dir.Path());
    TestSupport::WriteFile(dir.File("data/twords.txt"), "");
    TestSupport::WriteFile(dir.File("data/themes.txt"), "#THEME Sea\nCORAL\n");
    EXPECT_TRUE(lists.LoadWordLengthLists());
    EXPECT_EQ(lists.LoadError(), "");
    EXPECT_TRUE(lists.LoadGemNames());
    // Each failure names the file and the problem, for the loading procedure to show.
    EXPECT_FALSE(lists.LoadShipNames());
    EXPECT_EQ(lists.LoadError(), "data\\shipnames.txt: cannot be read");
    EXPECT_FALSE(lists.LoadDifficultyWords());
    EXPECT_EQ(lists.LoadError(), "data\\twords.txt: holds no usable words");
    EXPECT_FALSE(lists.LoadThemes());
    EXPECT_EQ(lists.LoadError(), "#THEME found without matching #END in themes.txt");
    EXPECT_TRUE(lists.LoadGemNames());
    EXPECT_EQ(lists.LoadError(), "");
}

// ---- Treasure words

TEST_F(WordListsTest, DifficultyWordDrawsFromTheRangeWithoutItsMaximum)
{
    std::string text;
    for (int d = 3; d <= 21; ++d) {
        text += "#DIFF-" + std::to_string(d) + "\n";
        for (int i = 0; i < 30; ++i)
            text += "D" + std::to_string(d) + "W" + std::to_string(i) + "\n";
        text += "#END\n";
    }
    ASSERT_TRUE(lists.ParseDifficultyWords(text));

    struct Case {
        int minDiff, maxDiff, low, high;
    };
    const Case cases[] = {{4, 4, 4, 4}, {-1, 30, 3, 20}, {-1, -1, 3, 20}, {9, 6, 6, 8}};
    for (const Case& c : cases) {
        lists.ClearTreasureWords();
        std::set<int> seen;
        for (int i = 0; i < 200; ++i) {
            const std::string word = lists.GetDifficultyWord(c.minDiff, c.maxDiff);
            ASSERT_FALSE(word.empty());
            const int d = lists.GetLastTreasureDiff();
            EXPECT_EQ(word.substr(0, word.find('W')), "D" + std::to_string(d));
            seen.insert(d);
        }
        EXPECT_EQ(*seen.begin(), c.low) << c.minDiff << ".." << c.maxDiff;
        EXPECT_EQ(*seen.rbegin(), c.high) << c.minDiff << ".." << c.maxDiff;
    }
}

TEST_F(WordListsTest, DifficultyWordNeverRepeatsUntilTheRangeIsUsedUp)
{
    ASSERT_TRUE(lists.ParseDifficultyWords("#DIFF-5\nONE\nTWO\nTHREE\n#END\n#DIFF-9\nFAR\n#END\n"));
    std::set<std::string> first;
    for (int i = 0; i < 3; ++i)
        first.insert(lists.GetDifficultyWord(5, 5));
    EXPECT_EQ(first, (std::set<std::string>{"ONE", "TWO", "THREE"}));
    // Used up: the table starts afresh instead of searching forever.
    EXPECT_EQ(first.count(lists.GetDifficultyWord(5, 5)), 1u);
    // A range without any list falls back to the lists there are.
    EXPECT_FALSE(lists.GetDifficultyWord(14, 16).empty());
}

TEST_F(WordListsTest, DifficultyWordWithoutAnyListGivesNothing)
{
    EXPECT_EQ(lists.GetDifficultyWord(3, 21), "");
}

// ---- Unique words

TEST_F(WordListsTest, UniqueWordKeepsFirstLettersApartAndMaximumExclusive)
{
    ASSERT_TRUE(lists.ParseWordLengthLists(kWaves));
    struct Case {
        int minLen, maxLen, shortest, longest;
    };
    const Case cases[] = {{3, 7, 3, 6}, {5, 5, 5, 5}, {-1, -1, 3, 6}, {7, 7, 7, 7}, {0, 2, 3, 3}};
    for (const Case& c : cases) {
        std::set<size_t> lengths;
        for (int round = 0; round < 20; ++round) {
            lists.UsedLetters().clear();
            std::set<char> firsts;
            for (int i = 0; i < 3; ++i) {
                const std::string word = lists.GetUniqueWord(c.minLen, c.maxLen);
                ASSERT_FALSE(word.empty());
                EXPECT_TRUE(firsts.insert(word[0]).second) << word;
                lengths.insert(word.size());
            }
            EXPECT_EQ(lists.UsedLetters().size(), 3u);
        }
        EXPECT_EQ(*lengths.begin(), static_cast<size_t>(c.shortest)) << c.minLen << ".." << c.maxLen;
        EXPECT_EQ(*lengths.rbegin(), static_cast<size_t>(c.longest)) << c.minLen << ".." << c.maxLen;
    }
}

TEST_F(WordListsTest, UniqueWordLooksFurtherWhenTheListRunsOutOfLetters)
{
    ASSERT_TRUE(lists.ParseWordLengthLists(kWaves));
    lists.UsedLetters() = "ABCDE"; // every three-letter word is blocked
    const std::string word = lists.GetUniqueWord(3, 3);
    ASSERT_FALSE(word.empty());
    EXPECT_EQ(std::string("ABCDE").find(word[0]), std::string::npos) << word;

    // Every word of every list blocked, fewer than 26 letters in use: a word anyway.
    lists.UsedLetters() = "ABCDEFGHIJKLMNOPQRSTUVWXY";
    EXPECT_FALSE(lists.GetUniqueWord(3, 7).empty());
}

TEST_F(WordListsTest, UniqueWordWithEveryLetterInUseReportsTheProblem)
{
    ASSERT_TRUE(lists.ParseWordLengthLists(kWaves));
    lists.UsedLetters() = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    EXPECT_EQ(lists.GetUniqueWord(3, 7), "7283");
    EXPECT_EQ(host.messages, std::vector<std::string>{"The game has encountered a problem (GWW 7283), please shut the "
                                                      "game down ASAP and upload your tuning file"});
}

// ---- Theme words

TEST_F(WordListsTest, ThemeWordAvoidsLettersOnScreenThenFallsBack)
{
    ASSERT_TRUE(lists.ParseWordLengthLists(kWaves));
    ASSERT_TRUE(lists.ParseThemes("#THEME Reef\nCORAL\nCLAM\nKELP\nREEF\n#END\n"));
    lists.UsedLetters() = "C";
    std::set<std::string> themed;
    for (int i = 0; i < 2; ++i)
        themed.insert(lists.GetThemeWord(3, 4, -1, -1));
    EXPECT_EQ(themed, (std::set<std::string>{"KELP", "REEF"}));
    // The theme has no usable word left: a word of the asked lengths instead.
    const std::string fallback = lists.GetThemeWord(3, 4, -1, -1);
    EXPECT_EQ(fallback.size(), 3u) << fallback;
    EXPECT_EQ(lists.UsedLetters().size(), 4u);
}

TEST_F(WordListsTest, ThemeWordWithEveryLetterInUseGivesNothingAtOnce)
{
    ASSERT_TRUE(lists.ParseThemes("#THEME Reef\nCORAL\n#END\n"));
    lists.UsedLetters() = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    MersenneTwister twin(1234);
    EXPECT_EQ(lists.GetThemeWord(3, 7, 0, 1), "");
    EXPECT_EQ(host.random.Next(), twin.Next()) << "no number drawn";
}

TEST_F(WordListsTest, ThemeRangesBeyondTheThemesStayWithinThem)
{
    ASSERT_TRUE(lists.ParseWordLengthLists(kWaves));
    ASSERT_TRUE(lists.ParseThemes("#THEME A\nAPE\n#END\n#THEME B\nBEE\n#END\n"));
    struct Case {
        int themeMin, themeMax;
        std::set<int> themes;
    };
    const Case cases[] = {{1, 9, {1}}, {5, 9, {1}}, {0, 2, {0, 1}}, {1, 0, {1}}, {-1, -1, {0, 1}}, {-7, 1, {0}}};
    for (const Case& c : cases) {
        std::set<int> seen;
        for (int i = 0; i < 30; ++i) {
            lists.ClearThemeState();
            lists.UsedLetters().clear();
            lists.ClearRecentWords();
            EXPECT_FALSE(lists.GetThemeWord(3, 7, c.themeMin, c.themeMax).empty());
            seen.insert(lists.GetCurrentTheme());
        }
        EXPECT_EQ(seen, c.themes) << c.themeMin << ".." << c.themeMax;
    }
}

// ---- Gem and ship names

TEST_F(WordListsTest, NamesComeRoundOnlyWhenAllWereGiven)
{
    ASSERT_TRUE(lists.ParseGemNames("Pearl Moon\nSea Glass\n"));
    const std::string first = lists.GetRandomGemName();
    EXPECT_EQ(lists.GetRandomGemName(), first) << "kept until cleared";
    lists.ClearCurrentNames();
    const std::string second = lists.GetRandomGemName();
    EXPECT_NE(second, first);

    // Repeated names in the file still let the used set reset.
    ASSERT_TRUE(lists.ParseShipNames("Gull Wing\nGull Wing\nSalt Maiden\n"));
    std::set<std::string> ships;
    for (int i = 0; i < 10; ++i) {
        lists.ClearCurrentNames();
        ships.insert(lists.GetRandomShipName());
    }
    EXPECT_EQ(ships, (std::set<std::string>{"Gull Wing", "Salt Maiden"}));
}
