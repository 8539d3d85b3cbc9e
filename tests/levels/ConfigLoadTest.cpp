// Reading level files: where each value lands, the speed shares, the endless list,
// and the refusal of files the board could not play.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "game/common/Config.h"
#include "tests/levels/LevelFileBuilder.h"
#include "tests/support/TestSupport.h"

using namespace LevelFiles;
using Zant::Config;
using Zant::ConfigEnemy;

namespace {

struct Loaded {
    FakeConfigHost host;
    Config config{&host};
    int result = -1;

    Loaded(const std::string& text, int difficulty = 0) { result = config.LoadText(text, difficulty, "test.xml"); }
    const Zant::ConfigLevel& LevelAt(size_t i) const { return config.GetFixedLevels().at(i); }
    const ConfigEnemy& EnemyAt(size_t level, size_t wave, size_t enemy) const
    {
        return LevelAt(level).Waves.at(wave).Enemies.at(enemy);
    }
};

} // namespace

TEST(ConfigLoad, SpeedsGetTheShareOfTheirRecord)
{
    struct Case {
        const char* what;
        std::string waveKind;
        std::string enemyType;
        int difficulty;
        double min, max;
    };
    const Case cases[] = {
        {"plain shark", "Sharks", "Blue", 0, 1.05, 1.1},
        {"plain shark, X-Treme", "Sharks", "Blue", 4, 1.15, 1.15},
        {"abyss shark", "Sharks", "Toxic", -1, 1.05, 1.1},
        {"stealth shark", "Sharks", "Stealth", 2, 0.7, 0.75},
        {"red stealth shark, X-Treme", "Sharks", "RedStealth", 4, 0.7, 0.75},
        {"black, X-Treme", "Sharks", "Black", 4, 1.0, 1.0},
        {"red, X-Treme", "Sharks", "Red", 4, 0.95, 0.95},
        {"ghost, X-Treme", "Sharks", "Ghost", 4, 1.05, 1.05},
        {"ghost, Hard", "Sharks", "Ghost", 2, 1.05, 1.1},
        {"blue piranha", "Piranhas", "Blue", 1, 1.2, 1.35},
        {"blue piranha, X-Treme", "Piranhas", "Blue", 4, 1.4, 1.5},
        {"white stealth piranha", "Piranhas", "WhiteStealth", 0, 0.75, 0.9},
        {"stealth piranha", "Piranhas", "Stealth", 4, 0.75, 0.9},
        {"jellyfish", "Bonus", "Standard", 3, 1.2, 1.2},
    };
    for (const Case& c : cases) {
        const std::string enemy = Enemy(c.enemyType, Value("MinSpeed", "1.0") + Value("MaxSpeed", "1.0"));
        Loaded file(File(Level(Wave(c.waveKind, enemy))), c.difficulty);
        ASSERT_EQ(file.result, 0) << c.what << ": " << file.config.GetErrorText();
        EXPECT_NEAR(file.EnemyAt(0, 0, 0).MinSpeed, c.min, 1e-9) << c.what;
        EXPECT_NEAR(file.EnemyAt(0, 0, 0).MaxSpeed, c.max, 1e-9) << c.what;
    }
}

TEST(ConfigLoad, DefaultLevelAndWaveSpeeds)
{
    const std::string defaults = Defaults(Value("MinSpeed", "1.0") + Value("MaxSpeed", "1.0"));
    const std::string levels = Level(Sharks()) +
                               Level(Value("MinSpeed", "2.0") +
                                     Wave("Sharks", Enemy("Blue") + Value("MinSpeed", "1.0") + Enemy("Blue")));
    for (int difficulty : {0, 4}) {
        Loaded file(File(levels, defaults), difficulty);
        ASSERT_EQ(file.result, 0) << file.config.GetErrorText();
        const bool xtreme = difficulty == 4;
        EXPECT_NEAR(file.config.GetDefault().MinSpeed, xtreme ? 1.0 : 1.03, 1e-9);
        EXPECT_NEAR(file.config.GetDefault().MaxSpeed, xtreme ? 1.0 : 1.1, 1e-9);
        // Entries copy the speeds of their level when they start.
        EXPECT_NEAR(file.EnemyAt(0, 0, 0).MinSpeed, xtreme ? 1.0 : 1.03, 1e-9);
        EXPECT_NEAR(file.EnemyAt(1, 0, 0).MinSpeed, xtreme ? 2.0 : 2.03, 1e-9);
        // A wave's speed reaches only the entries started after it, whatever the difficulty.
        EXPECT_NEAR(file.EnemyAt(1, 0, 1).MinSpeed, 1.1, 1e-9);
        EXPECT_NEAR(file.EnemyAt(1, 0, 1).MaxSpeed, xtreme ? 1.0 : 1.1, 1e-9);
    }
}

TEST(ConfigLoad, ValuesLandInTheInnermostRecordThatTakesThem)
{
    const std::string levels =
        Level(Value("MinDiff", "4") + Value("KnockBack", "7") +
                  Wave("Sharks", Value("KnockBack", "9") + Value("MinDiff", "5") + Enemy("Blue") + "<FirstWave/>\n") +
                  Wave("Sharks", Enemy("Blue", Value("MaxDiff", "6") + Value("LetterDelay", "3") +
                                                   Value("Theme", "2") + "<ThemeRandom/>\n")) +
                  Value("MinDiff", "3"),
              7) +
        Level("<BonusLevel/>\n") +
        Level(Value("KnockBack", "4") +
              Wave("Bonus", Value("KnockBack", "11") +
                                Enemy("Standard", Value("MinNumber", "1") + Value("MaxNumber", "2"))) +
              Sharks());
    Loaded file(File(levels));
    ASSERT_EQ(file.result, 0) << file.config.GetErrorText();
    ASSERT_EQ(file.config.GetFixedLevels().size(), 3u);

    const Zant::ConfigLevel& first = file.LevelAt(0);
    EXPECT_EQ(first.Settings.MinDiff, 3);
    EXPECT_EQ(first.Settings.KnockBack, 7);
    EXPECT_EQ(first.FirstWave, 0);
    EXPECT_EQ(first.Waves[0].KnockBack, 9);
    EXPECT_EQ(first.Waves[0].Enemies[0].KnockBack, 9);
    EXPECT_EQ(first.Waves[0].Enemies[0].MinDiff, 5) << "a MinDiff in a wave goes to the level";
    EXPECT_EQ(first.Waves[1].Enemies[0].MinDiff, 5) << "copied when the entry started";
    EXPECT_EQ(first.Waves[1].KnockBack, 7);
    const ConfigEnemy& themed = first.Waves[1].Enemies[0];
    EXPECT_EQ(themed.MaxDiff, 6);
    EXPECT_EQ(themed.LetterDelay, 3);
    EXPECT_EQ(themed.ThemeMin, 2);
    EXPECT_EQ(themed.ThemeMax, 2);
    EXPECT_TRUE(themed.ThemeRandom);
    EXPECT_FALSE(first.BonusLevel);

    EXPECT_TRUE(file.LevelAt(1).BonusLevel);
    EXPECT_TRUE(file.LevelAt(1).Waves.empty());

    const Zant::ConfigLevel& bonus = file.LevelAt(2);
    EXPECT_EQ(bonus.Settings.KnockBack, 11) << "KnockBack in a bonus wave is the level's";
    EXPECT_EQ(bonus.Waves[0].KnockBack, 0);
    EXPECT_EQ(bonus.Waves[0].Enemies[0].MinNumber, 12);
    EXPECT_EQ(bonus.Waves[0].Enemies[0].MaxNumber, 15);
    EXPECT_EQ(bonus.Waves[1].KnockBack, 11);
}

TEST(ConfigLoad, BossTuningAndFirstWave)
{
    const std::string boss = Wave("Boss", Enemy("MechaSquid", Value("TimeToFire", "800.5") + Value("Health", "150") +
                                                                  Value("MinMissiles", "1") + Value("MaxMissiles", "3") +
                                                                  Value("BobSpeed", "0.25") +
                                                                  Value("MinMissileSpeed", "0.2") +
                                                                  Value("MaxMissileSpeed", "0.4")));
    Loaded file(File(Level("<FirstWave/>\n" + Sharks() + Sharks("<FirstWave/>\n") + boss)));
    ASSERT_EQ(file.result, 0) << file.config.GetErrorText();
    const ConfigEnemy& squid = file.EnemyAt(0, 2, 0);
    EXPECT_EQ(squid.Type, Zant::ENEMY_MECHA_SQUID);
    EXPECT_EQ(squid.TimeToFire, 800.0);
    EXPECT_EQ(squid.Health, 150);
    EXPECT_EQ(squid.MinMissiles, 1);
    EXPECT_EQ(squid.MaxMissiles, 3);
    EXPECT_NEAR(squid.BobSpeed, 0.25, 1e-12);
    EXPECT_NEAR(squid.MinMissileSpeed, 0.5, 1e-12);
    EXPECT_NEAR(squid.MaxMissileSpeed, 0.7, 1e-12);
    EXPECT_EQ(file.LevelAt(0).FirstWave, 1);
}

TEST(ConfigLoad, LineRules)
{
    // A self-closed Enemy never reads its end tag and is not kept; presence tags may
    // self-close. Indentation, CRLF ends, comments and a last line without a line
    // break are all fine.
    const std::string text = "0000\r\n" + Defaults() + "  <!-- the first level -->\r\n" +
                             "  <Level LevelNum=\"3\">\r\n    <BonusLevel/>\r\n  </Level>\r\n" +
                             Level(Wave("Sharks", "<Enemy Type=\"Red\"/>\n" + Enemy("Blue"))) + "<Level>\n" +
                             Sharks() + "</Level>";
    Loaded file(text);
    ASSERT_EQ(file.result, 0) << file.config.GetErrorText();
    ASSERT_EQ(file.config.GetFixedLevels().size(), 3u);
    EXPECT_TRUE(file.LevelAt(0).BonusLevel);
    ASSERT_EQ(file.LevelAt(1).Waves[0].Enemies.size(), 1u);
    EXPECT_EQ(file.LevelAt(1).Waves[0].Enemies[0].Type, Zant::ENEMY_BLUE);

    // Without the header the first four bytes are lost: harmless inside an XML
    // declaration, fatal inside a level's start tag.
    Loaded declared("<?xml version=\"1.0\"?>\n" + Defaults() + Levels(1));
    ASSERT_EQ(declared.result, 0) << declared.config.GetErrorText();
    EXPECT_EQ(declared.config.GetFixedLevels().size(), 1u);
    Loaded headerless(Defaults() + Levels(1));
    EXPECT_EQ(headerless.result, Config::LOAD_BAD_DATA);

    // An unclosed level is not kept when the next one starts.
    Loaded unclosed(File("<Level>\n" + Sharks() + Level(Sharks() + Sharks())));
    ASSERT_EQ(unclosed.result, 0);
    ASSERT_EQ(unclosed.config.GetFixedLevels().size(), 1u);
    EXPECT_EQ(unclosed.LevelAt(0).Waves.size(), 2u);
}

TEST(ConfigLoad, EndlessLevelsAreCopiesOfTheLastFixedOnes)
{
    struct Case {
        int levels;
        bool abyss;
        size_t endless;
    };
    for (const Case& c : {Case{36, false, 6}, Case{30, false, 0}, Case{31, false, 1}, Case{36, true, 0}}) {
        std::string levels;
        for (int i = 0; i < c.levels; ++i)
            levels += Level((i == 33 ? "<FirstWave/>\n" : "") + Sharks() + Sharks("<FirstWave/>\n") + Boss());
        Loaded file(File((c.abyss ? "<AbyssMode/>\n" : "") + levels));
        ASSERT_EQ(file.result, 0) << file.config.GetErrorText();
        EXPECT_EQ(file.config.IsAbyssMode(), c.abyss);
        ASSERT_EQ(file.config.GetEndlessLevels().size(), c.endless) << c.levels;
        for (const Zant::ConfigLevel& level : file.config.GetEndlessLevels()) {
            EXPECT_EQ(level.FirstWave, 0);
            ASSERT_EQ(level.Waves.size(), 3u);
            EXPECT_EQ(level.Waves[2].Kind, Zant::WAVE_BOSS);
            const ConfigEnemy& boss = level.Waves[2].Enemies[0];
            EXPECT_EQ(boss.Type, Zant::ENEMY_TORPEDO);
            EXPECT_EQ(boss.Health, 0);
            EXPECT_EQ(boss.TimeToFire, 0);
            EXPECT_EQ(boss.MaxMissiles, 0);
            EXPECT_EQ(level.Waves[0].Enemies[0].MinNumber, 2);
        }
    }
}

TEST(ConfigLoad, BrokenFilesAreRefusedWithFileAndLine)
{
    const std::string ok = Sharks();
    // A whole file of three levels cut short: inside its last level, or after it.
    const std::string whole = File(Levels(3));
    const size_t lastLevel = whole.rfind("<Level");
    const int lastLevelLine = 1 + static_cast<int>(std::count(whole.begin(), whole.begin() + lastLevel, '\n'));
    struct Case {
        const char* fault;
        std::string text;
        int line;
        const char* says;
    };
    const Case cases[] = {
        {"cut inside the last level", whole.substr(0, whole.rfind("</Level>")), lastLevelLine,
         "Level that begins here is not closed"},
        {"cut inside a wave", whole.substr(0, whole.rfind("</Wave>")), lastLevelLine, "Level that begins here"},
        {"cut after the last level", whole.substr(0, whole.rfind("</Config>")), 3,
         "Config that begins here is not closed"},
        {"no levels", File(""), 13, "no complete level"},
        {"level without waves", File(Level("")), 12, "has no waves"},
        {"zero columns", File(Level(Wave("Sharks", Value("MinCol", "0") + Enemy("Blue")))), 13, "MinCol"},
        {"MaxCol below MinCol", File(Level(Wave("Piranhas", Value("MaxCol", "1") + Enemy("Blue")))), 13, "MaxCol"},
        {"zero speed", File(Level(Wave("Sharks", Enemy("Stealth", Value("MinSpeed", "0"))))), 14, "above 0"},
        {"negative speed, X-Treme", File(Level(Wave("Sharks", Enemy("Blue", Value("MaxSpeed", "-0.2"))))), 14,
         "above 0"},
        {"unknown boss", File(Level(ok + Wave("Boss", Enemy("Red")))), 19, "boss wave must start"},
        {"boss wave without entries", File(Level(ok + Wave("Boss", ""))), 19, "boss wave must start"},
        {"boss that never fires", File(Level(ok + Wave("Boss", Enemy("Torpedo", Value("Health", "50"))))), 19,
         "MaxMissiles"},
        {"only boss waves", File(Level(Boss() + Boss("GhostShip"))), 12, "only boss waves"},
        {"unknown enemy type", File(Level(Wave("Sharks", Enemy("Bleu")))), 14, "unknown enemy type \"Bleu\""},
        {"unknown wave type", File(Level(Wave("Shark", Enemy("Blue")))), 13, "unknown wave type \"Shark\""},
        {"wave outside a level", File(ok), 12, "inside a Level"},
        {"enemy outside a wave", File(Level(Enemy("Blue"))), 13, "inside a Wave"},
        {"line too long", File(Level("<!-- " + std::string(300, 'x') + " -->\n" + ok)), 13, "longer than 256"},
        {"header too long", "99\n" + Levels(1), 1, "header"},
        {"negative header", "-5" + Levels(1), 1, "header"},
        {"clam level played again endlessly", File(Levels(30) + Level("<BonusLevel/>\n") + Levels(5)), 252,
         "level 31 is played again"},
    };
    for (const Case& c : cases) {
        Loaded file(c.text, c.fault == std::string("negative speed, X-Treme") ? 4 : 0);
        EXPECT_EQ(file.result, Config::LOAD_BAD_DATA) << c.fault;
        const std::string where = "test.xml line " + std::to_string(c.line) + ": ";
        EXPECT_EQ(file.config.GetErrorText().rfind(where, 0), 0u) << c.fault << ": " << file.config.GetErrorText();
        EXPECT_NE(file.config.GetErrorText().find(c.says), std::string::npos)
            << c.fault << ": " << file.config.GetErrorText();
    }
}

TEST(ConfigLoad, UnknownEnemyTypeKeepsWhatWasRead)
{
    Loaded file(File(Levels(2) + Level(Wave("Sharks", Enemy("Squid")))));
    EXPECT_EQ(file.result, Config::LOAD_BAD_DATA);
    EXPECT_EQ(file.config.GetFixedLevels().size(), 2u);
}

TEST(ConfigLoad, DifficultyChoosesTheFile)
{
    TestSupport::TempDir dir;
    std::filesystem::create_directories(dir.File("data"));
    TestSupport::WriteFile(dir.File("data/hard-cfg.xml"), File(Levels(2)));
    TestSupport::WriteFile(dir.File("data/abyss.xml"), File("<AbyssMode/>\n" + Levels(3)));
    struct Case {
        int difficulty;
        int result;
        size_t levels;
    };
    for (const Case& c : {Case{2, 0, 2}, Case{-1, 0, 3}, Case{1, 1, 0}, Case{7, 1, 0}, Case{-2, 1, 0}}) {
        FakeConfigHost host;
        Config config(&host);
        config.SetDataFolder(dir.Path());
        EXPECT_EQ(config.Load(c.difficulty), c.result) << c.difficulty;
        EXPECT_EQ(config.GetFixedLevels().size(), c.levels) << c.difficulty;
        if (c.difficulty == 1) {
            EXPECT_NE(config.GetErrorText().find("data/normal-cfg.xml"), std::string::npos) << config.GetErrorText();
        }
    }
}
