// The level files and word lists the build puts in the program folder, read through
// the game's own loaders and held to the rules the board and the pickers rely on.
#include <gtest/gtest.h>

#include <set>

#include "framework/util/MersenneTwister.h"
#include "game/common/Config.h"
#include "game/play/WordLists.h"
#include "tests/levels/LevelFileBuilder.h"
#include "tests/support/TestSupport.h"
#include "tools/words/WordFilter.h"

using Zant::Config;
using Zant::ConfigLevel;
using Zant::ConfigWave;

namespace {

class QuietHost : public Zant::WordListHost {
public:
    Zant::MersenneTwister& GetGameRandom() override { return random; }
    void ShowWordListMessage(const std::string& text) override { messages.push_back(text); }
    void WordListSectionLoaded() override {}
    void WordListDebugLine(const std::string& text) override { messages.push_back(text); }

    Zant::MersenneTwister random;
    std::vector<std::string> messages;
};

bool IsUpperWord(const std::string& word)
{
    return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

size_t FirstLetters(const std::vector<std::string>& words)
{
    std::set<char> letters;
    for (const std::string& w : words)
        letters.insert(w[0]);
    return letters.size();
}

void CheckEnemies(const ConfigLevel& level, const std::string& where, int themeCount)
{
    for (const ConfigWave& wave : level.Waves) {
        for (const Zant::ConfigEnemy& enemy : wave.Enemies) {
            if (wave.Kind != Zant::WAVE_BOSS) {
                EXPECT_GE(enemy.MinNumber, 1) << where;
                EXPECT_GE(enemy.MaxNumber, enemy.MinNumber) << where;
            }
            EXPECT_LT(enemy.ThemeMax, themeCount) << where;
            if (wave.Kind == Zant::WAVE_SHARKS || wave.Kind == Zant::WAVE_BOSS) {
                // Word lengths for the length lists.
                EXPECT_GE(enemy.MinDiff, 3) << where;
                EXPECT_LE(enemy.MaxDiff, 7) << where;
                EXPECT_LE(enemy.MinDiff, enemy.MaxDiff) << where;
            }
        }
    }
}

class ShippedData : public ::testing::Test {
protected:
    void SetUp() override
    {
        lists.SetDataFolder(TestSupport::GameDir());
        ASSERT_TRUE(lists.LoadThemes());
    }

    QuietHost host;
    Zant::WordLists lists{host};
};

} // namespace

TEST_F(ShippedData, AdventureFilesHoldThirtySixPlayableLevels)
{
    const int themes = static_cast<int>(lists.GetThemes().size());
    for (int difficulty = 0; difficulty <= 4; ++difficulty) {
        LevelFiles::FakeConfigHost configHost;
        Config config(&configHost);
        config.SetDataFolder(TestSupport::GameDir());
        ASSERT_EQ(config.Load(difficulty), 0) << config.GetErrorText();
        EXPECT_FALSE(config.IsAbyssMode());
        const auto& levels = config.GetFixedLevels();
        ASSERT_EQ(levels.size(), 36u) << difficulty;
        EXPECT_EQ(config.GetEndlessLevels().size(), 6u);

        int clams = 0, bosses = 0, bonusWaves = 0;
        for (size_t i = 0; i < levels.size(); ++i) {
            const ConfigLevel& level = levels[i];
            const std::string where = "difficulty " + std::to_string(difficulty) + " level " + std::to_string(i + 1);
            EXPECT_GT(level.Settings.DiverSpeed, 0) << where;
            EXPECT_GT(level.Settings.OceanDepth, 0) << where;
            EXPECT_GE(level.Settings.NumForPenalty, 1) << where;
            EXPECT_GE(level.Settings.MinEndDiff, 3) << where;
            EXPECT_LE(level.Settings.MaxEndDiff, 21) << where;
            if (level.BonusLevel) {
                ++clams;
                EXPECT_TRUE(level.Waves.empty()) << where;
                EXPECT_LT(i, 30u) << where << ": endless play repeats it";
                continue;
            }
            int ordinary = 0;
            for (size_t w = 0; w < level.Waves.size(); ++w) {
                const int kind = level.Waves[w].Kind;
                if (kind == Zant::WAVE_BOSS) {
                    EXPECT_EQ(w + 1, level.Waves.size()) << where << ": a boss wave comes last";
                    ++bosses;
                } else {
                    ++ordinary;
                }
                bonusWaves += kind == Zant::WAVE_BONUS;
            }
            EXPECT_GE(ordinary, 3) << where;
            EXPECT_LT(level.FirstWave, ordinary) << where;
            CheckEnemies(level, where, themes);
        }
        EXPECT_GE(clams, 2) << difficulty;
        EXPECT_GE(bosses, 4) << difficulty;
        EXPECT_GE(bonusWaves, 10) << difficulty;

        // The difficulty's intended pace is written at the top.
        static const char* const files[] = {"easy-cfg.xml", "normal-cfg.xml", "hard-cfg.xml", "expert-cfg.xml",
                                            "xtreme-cfg.xml"};
        const std::string text = TestSupport::ReadFile(TestSupport::GameDir() + "/data/" + files[difficulty]);
        EXPECT_NE(text.substr(0, 200).find("words per minute"), std::string::npos) << files[difficulty];
        EXPECT_EQ(text.find('\r'), std::string::npos);
    }
}

TEST_F(ShippedData, AbyssFileHasStagesWithoutFloorOrBosses)
{
    LevelFiles::FakeConfigHost configHost;
    Config config(&configHost);
    config.SetDataFolder(TestSupport::GameDir());
    ASSERT_EQ(config.Load(-1), 0) << config.GetErrorText();
    EXPECT_TRUE(config.IsAbyssMode());
    EXPECT_TRUE(config.GetEndlessLevels().empty());
    ASSERT_GE(config.GetFixedLevels().size(), 20u);
    for (const ConfigLevel& stage : config.GetFixedLevels()) {
        EXPECT_EQ(stage.Settings.OceanDepth, -1);
        EXPECT_FALSE(stage.BonusLevel);
        EXPECT_GE(stage.Waves.size(), 3u);
        for (const ConfigWave& wave : stage.Waves)
            EXPECT_NE(wave.Kind, Zant::WAVE_BOSS);
        CheckEnemies(stage, "abyss", static_cast<int>(lists.GetThemes().size()));
    }
}

TEST_F(ShippedData, WordListsAreCleanAndVaried)
{
    ASSERT_TRUE(lists.LoadWordLengthLists());
    ASSERT_TRUE(lists.LoadDifficultyWords());
    ASSERT_TRUE(lists.LoadGemNames());
    ASSERT_TRUE(lists.LoadShipNames());
    EXPECT_TRUE(host.messages.empty()) << host.messages.front();

    WordTools::WordFilter filter;
    ASSERT_TRUE(filter.Load(TestSupport::SourceDir() + "/tools/words/blocklist.txt"));
    auto checkWord = [&](const std::string& word, const std::string& list) {
        EXPECT_FALSE(filter.IsBlocked(word)) << word << " in " << list;
    };

    for (int length = 3; length <= 7; ++length) {
        const auto& words = lists.GetLengthList(length);
        ASSERT_GE(words.size(), 100u) << length;
        // Creatures on screen need different first letters; bonus waves bring up to
        // fifteen jellyfish with three-letter words.
        EXPECT_GE(FirstLetters(words), 20u) << length;
        for (const std::string& word : words) {
            EXPECT_TRUE(IsUpperWord(word)) << word;
            EXPECT_EQ(word.size(), static_cast<size_t>(length)) << word;
            checkWord(word, "waves.txt");
        }
    }
    for (int diff = 3; diff <= 21; ++diff) {
        ASSERT_EQ(lists.GetDifficultyLists().count(diff), 1u) << diff;
        const auto& words = lists.GetDifficultyLists().at(diff);
        EXPECT_GE(words.size(), 20u) << diff;
        for (const std::string& word : words) {
            EXPECT_TRUE(IsUpperWord(word)) << word;
            checkWord(word, "twords.txt");
        }
    }
    ASSERT_GE(lists.GetThemes().size(), 5u);
    for (size_t t = 0; t < lists.GetThemes().size(); ++t) {
        const auto& words = lists.GetThemes()[t];
        EXPECT_GE(FirstLetters(words), 8u) << lists.GetThemeNames()[t];
        for (const std::string& word : words) {
            EXPECT_TRUE(IsUpperWord(word)) << word;
            checkWord(word, "themes.txt");
        }
    }
    for (const auto* names : {&lists.GetGemNames(), &lists.GetShipNames()}) {
        EXPECT_GE(names->size(), 20u);
        for (const std::string& name : *names) {
            EXPECT_EQ(name.find('^'), std::string::npos) << name;
            checkWord(name, "names");
        }
    }

    for (const char* file : {"waves.txt", "twords.txt", "themes.txt", "gemnames.txt", "shipnames.txt"}) {
        const std::string text = TestSupport::ReadFile(TestSupport::GameDir() + "/data/" + file);
        EXPECT_EQ(text.find("\n\n"), std::string::npos) << file << " has a blank line";
        EXPECT_EQ(text.find('\r'), std::string::npos) << file;
        EXPECT_EQ(text.back(), '\n') << file;
    }
}

TEST(WordFilter, BlocksWordsTheirFormsAndStemsButNotTheAllowed)
{
    WordTools::WordFilter filter;
    ASSERT_TRUE(filter.Load(TestSupport::SourceDir() + "/tools/words/blocklist.txt"));
    for (const char* word : {"rape", "RAPED", "killers", "bitchy", "shitload", "idiots"})
        EXPECT_TRUE(filter.IsBlocked(word)) << word;
    for (const char* word : {"shell", "wind", "assess", "butter", "scrap", "grape", "skill"})
        EXPECT_FALSE(filter.IsBlocked(word)) << word;
}
