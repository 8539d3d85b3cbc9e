// The hint at the start of a level speaks of the creatures of that level: the shipped
// level files of every difficulty bring each creature a hint announces on that level,
// in every wave of its kind, open with one of them, and bring no kind of creature
// before the first level whose hint announces it. The memory-game hint comes exactly
// on the clam levels.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "game/common/Config.h"
#include "game/shell/WinBTApp.h"
#include "tests/levels/LevelFileBuilder.h"
#include "tests/support/TestSupport.h"

using Zant::Config;
using Zant::ConfigLevel;
using Zant::ConfigWave;

namespace {

// Enemy Type codes of the level files.
enum Type {
    BLUE = 0, BLACK = 1, RED = 2, STEALTH = 3, TOXIC = 4, CRAZY_TOXIC = 5, WHITE = 6, WHITE_STEALTH = 7,
    PURPLE = 8, RED_STEALTH = 9, BLACK_STEALTH = 10, STANDARD = 11, GHOST = 13,
};
constexpr int CLAMS = -1; // the level is a clam level

struct Creature {
    int kind;              // wave kind, or CLAMS
    std::set<int> types;   // any of these is the creature the hint means
};

struct HintCase {
    int level;
    const char* phrase;    // in the level's hint
    std::vector<Creature> creatures;
};

const Creature SHARK{Zant::WAVE_SHARKS, {BLUE}};
const Creature PIRANHA{Zant::WAVE_PIRANHAS, {BLUE}};
const Creature STEALTH_SHARK{Zant::WAVE_SHARKS, {STEALTH}};
const Creature HAMMERHEAD{Zant::WAVE_SHARKS, {BLACK, PURPLE}};
const Creature TIGER{Zant::WAVE_SHARKS, {RED}};
const Creature TOXIC_SHARK{Zant::WAVE_SHARKS, {TOXIC, CRAZY_TOXIC}};
const Creature GHOST_SHARK{Zant::WAVE_SHARKS, {GHOST}};
const Creature STEALTH_HAMMERHEAD{Zant::WAVE_SHARKS, {BLACK_STEALTH}};
const Creature STEALTH_TIGER{Zant::WAVE_SHARKS, {RED_STEALTH}};
const Creature STEALTH_PIRANHA{Zant::WAVE_PIRANHAS, {STEALTH, WHITE_STEALTH}};
const Creature STRONG_PIRANHA{Zant::WAVE_PIRANHAS, {WHITE, WHITE_STEALTH}};
const Creature STRONG_STEALTH_PIRANHA{Zant::WAVE_PIRANHAS, {WHITE_STEALTH}};
const Creature JELLYFISH{Zant::WAVE_BONUS, {STANDARD}};
const Creature CLAM_GAME{CLAMS, {}};

const HintCase HINTS[] = {
    {0, "type the words on the sharks", {SHARK}},
    {1, "Piranha attack!", {PIRANHA}},
    {2, "Turbo stealth sharks", {STEALTH_SHARK}},
    {3, "hammerhead sharks", {HAMMERHEAD, JELLYFISH}},
    {4, "toxic shark", {TOXIC_SHARK}},
    {5, "game of memory", {CLAM_GAME}},
    {6, "Stealth piranha?", {STEALTH_PIRANHA}},
    {7, "Turbo stealth sharks", {STEALTH_SHARK, JELLYFISH}},
    {8, "hammerhead sharks", {HAMMERHEAD}},
    {9, "blast them twice", {STRONG_PIRANHA, JELLYFISH}},
    {10, "blast them twice", {STRONG_PIRANHA, JELLYFISH}},
    {11, "ghost sharks", {STEALTH_SHARK, PIRANHA, GHOST_SHARK}},
    {12, "strong piranha", {HAMMERHEAD, STRONG_PIRANHA, GHOST_SHARK}},
    {13, "3 words", {TIGER}},
    {14, "stealth piranha", {TOXIC_SHARK, STEALTH_PIRANHA}},
    {15, "hammerhead sharks", {HAMMERHEAD}},
    {16, "3 words", {TIGER}},
    {17, "Stealth hammerhead", {STEALTH_HAMMERHEAD}},
    {18, "game of memory", {CLAM_GAME}},
    {19, "strong piranha", {GHOST_SHARK, TIGER, STRONG_PIRANHA}},
    {20, "game of memory", {CLAM_GAME}},
    {21, "twice as strong", {STRONG_STEALTH_PIRANHA}},
    {22, "game of memory", {CLAM_GAME}},
    {23, "Stealth hammerhead", {STEALTH_HAMMERHEAD}},
    {24, "ghost sharks", {GHOST_SHARK}},
    {25, "stealthy hammerhead sharks and strong piranha", {STEALTH_HAMMERHEAD, STRONG_PIRANHA}},
    {26, "hammerhead sharks", {HAMMERHEAD}},
    {27, "3 words", {TIGER}},
    {28, "stealth tiger", {TOXIC_SHARK, STEALTH_TIGER}},
    {29, "Stealth tiger", {STEALTH_TIGER}},
    {30, "Stealth tiger", {STEALTH_TIGER}},
    {31, "Stealth tiger", {STEALTH_TIGER}},
    {32, "stealth hammerheads", {STEALTH_HAMMERHEAD, GHOST_SHARK}},
    {33, "toxic shark", {TOXIC_SHARK}},
};

bool Brings(const ConfigWave& wave, const std::set<int>& types)
{
    for (const Zant::ConfigEnemy& enemy : wave.Enemies)
        if (types.count(enemy.Type))
            return true;
    return false;
}

// The first level whose hint announces a creature of a kind and type.
int AnnouncedFirst(int kind, int type)
{
    for (const HintCase& hint : HINTS)
        for (const Creature& c : hint.creatures)
            if (c.kind == kind && c.types.count(type))
                return hint.level;
    return 99;
}

} // namespace

TEST(LevelHints, EachHintPhraseIsTheLevelsOwn)
{
    for (const HintCase& hint : HINTS)
        EXPECT_NE(Zant::WinBTApp::LevelHintText(hint.level).find(hint.phrase), std::string::npos)
            << "level " << hint.level << ": " << Zant::WinBTApp::LevelHintText(hint.level);
}

TEST(LevelHints, EachLevelBringsWhatItsHintAnnounces)
{
    for (int difficulty = 0; difficulty <= 4; ++difficulty) {
        LevelFiles::FakeConfigHost configHost;
        Config config(&configHost);
        config.SetDataFolder(TestSupport::GameDir());
        ASSERT_EQ(config.Load(difficulty), 0) << config.GetErrorText();
        const auto& levels = config.GetFixedLevels();
        ASSERT_EQ(levels.size(), 36u);

        for (const HintCase& hint : HINTS) {
            const ConfigLevel& level = levels[size_t(hint.level)];
            const std::string where = "difficulty " + std::to_string(difficulty) + " level index " +
                                      std::to_string(hint.level) + " (\"" + hint.phrase + "\")";
            const bool clamGame = hint.creatures.front().kind == CLAMS;
            EXPECT_EQ(level.BonusLevel, clamGame) << where;
            if (clamGame)
                continue;
            ASSERT_LT(size_t(level.FirstWave), level.Waves.size()) << where;
            bool opensWithOne = false;
            for (const Creature& creature : hint.creatures) {
                int waves = 0;
                for (const ConfigWave& wave : level.Waves) {
                    if (wave.Kind != creature.kind)
                        continue;
                    ++waves;
                    EXPECT_TRUE(Brings(wave, creature.types)) << where << ": a wave of kind " << creature.kind
                                                              << " without the creature announced";
                }
                EXPECT_GE(waves, 1) << where << ": no wave of kind " << creature.kind;
                const ConfigWave& first = level.Waves[size_t(level.FirstWave)];
                opensWithOne = opensWithOne || (first.Kind == creature.kind && Brings(first, creature.types));
            }
            EXPECT_TRUE(opensWithOne) << where << ": the first wave brings none of the creatures announced";
        }

        // No kind swims before the level whose hint first announces it.
        for (size_t i = 0; i < levels.size(); ++i)
            for (const ConfigWave& wave : levels[i].Waves) {
                if (wave.Kind == Zant::WAVE_BOSS)
                    continue;
                for (const Zant::ConfigEnemy& enemy : wave.Enemies)
                    EXPECT_GE(int(i), AnnouncedFirst(wave.Kind, enemy.Type))
                        << "difficulty " << difficulty << " level index " << i << ": type " << enemy.Type
                        << " of wave kind " << wave.Kind << " before its hint";
            }
    }
}
