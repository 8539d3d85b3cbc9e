#pragma once
// The level configuration of one difficulty: default tuning, the fixed levels with
// their waves and enemy entries, the endless levels copied from the last fixed ones,
// and the game's position in them. The game application builds one per game and
// loads it from the difficulty's file; the board reads and advances it.
#include <set>
#include <string>
#include <vector>

namespace Zant {

class MersenneTwister;

// Tuning of the Default block and of every level.
struct LevelSettings {
    double MinSpeed = 0;
    double MaxSpeed = 0;
    int KnockBack = 0;
    int MinDiff = 0;
    int MaxDiff = 0;
    double DiverSpeed = 0;
    int MinEndDiff = 0;
    int MaxEndDiff = 0;
    int TreasureSecs = 0;
    int TimeDelay = 0;
    int MapDelay = 0;
    int MinCol = 0;
    int MaxCol = 0;
    int LetterDelay = 0;
    int NumForPenalty = 1;
    int OceanDepth = 0;
    double PenaltySpeed = 1.0;
    double PenaltySpeedIncrease = 0;
};

// Enemy type codes of the Enemy element's Type attribute.
enum EnemyType {
    ENEMY_BLUE = 0,
    ENEMY_BLACK = 1,
    ENEMY_RED = 2,
    ENEMY_STEALTH = 3,
    ENEMY_TOXIC = 4,
    ENEMY_CRAZY_TOXIC = 5,
    ENEMY_WHITE = 6,
    ENEMY_WHITE_STEALTH = 7,
    ENEMY_PURPLE = 8,
    ENEMY_RED_STEALTH = 9,
    ENEMY_BLACK_STEALTH = 10,
    ENEMY_STANDARD = 11,
    ENEMY_TORPEDO = 12,
    ENEMY_GHOST = 13,
    ENEMY_GHOST_SHIP = 14,
    ENEMY_MECHA_SHARK = 15,
    ENEMY_MECHA_SQUID = 16,
};

// Wave kinds of the Wave element's Type attribute.
enum WaveKind {
    WAVE_SHARKS = 0,
    WAVE_PIRANHAS = 1,
    WAVE_BONUS = 2,
    WAVE_BOSS = 3,
};

struct ConfigEnemy {
    int Type = 0;
    double MinSpeed = 0;
    double MaxSpeed = 0;
    int KnockBack = 0;
    int MinDiff = 0;
    int MaxDiff = 0;
    int LetterDelay = 0;
    int MinNumber = 0;
    int MaxNumber = 0;
    bool ThemeRandom = false;
    int ThemeMin = -1;
    int ThemeMax = -1;
    // Boss tuning.
    double TimeToFire = 0;
    int Health = 0;
    int MinMissiles = 0;
    int MaxMissiles = 0;
    double BobSpeed = 0;
    double MinMissileSpeed = 0;
    double MaxMissileSpeed = 0;
};

struct ConfigWave {
    int Kind = WAVE_SHARKS;
    int TimeDelay = 0;
    int KnockBack = 0;
    int MinCol = 0;
    int MaxCol = 0;
    int LetterDelay = 0;
    std::vector<ConfigEnemy> Enemies;
};

struct ConfigLevel {
    bool BonusLevel = false;
    LevelSettings Settings;
    int FirstWave = 0;
    std::vector<ConfigWave> Waves;
};

// What the configuration needs from the game application.
class ConfigHost {
public:
    virtual ~ConfigHost() = default;
    // The game's generator; every choice of level and wave draws from it.
    virtual MersenneTwister& GetGameRandom() = 0;
    // The current board's abyss depth in feet (0 without a board).
    virtual int GetBoardAbyssDepth() = 0;
};

class Config {
public:
    enum LoadResult { LOAD_OK = 0, LOAD_OPEN_FAILED = 1, LOAD_BAD_DATA = 2 };
    // Levels from this index on are played again, faster, as the endless levels.
    static constexpr int FIRST_ENDLESS_LEVEL = 30;
    // Level index at which play moves on to the endless levels.
    static constexpr int ENDLESS_START_LEVEL = 36;
    static constexpr int MAX_LINE_LENGTH = 256;
    // The level index of ResetWaves that means "the endless list": one more endless
    // level past the fixed ones, the endless count raised and every endless speed with it.
    static constexpr int ENDLESS_LEVEL = -1;
    // The most endless levels a continued game resumes at. Each raises the speeds by
    // a tenth more than the last, so a few dozen are past playing; far beyond that
    // the rises would leave nothing a game can draw.
    static constexpr int MAX_ENDLESS_COUNT = 100;

    explicit Config(ConfigHost* app);
    ~Config();
    Config(const Config&) = delete;
    Config& operator=(const Config&) = delete;

    // Files are read from "<folder>data/..."; the default folder is the working folder.
    void SetDataFolder(const std::string& folder) { mDataFolder = folder; }

    // Reads the file of a difficulty (0 Easy to 4 X-Treme, -1 abyss). 0 on success,
    // 1 when the file cannot be opened, 2 when its data cannot be played;
    // GetErrorText then names the file, the line and the fault.
    int Load(int difficulty);
    // The same on a file's contents; fileName only appears in error texts.
    int LoadText(const std::string& text, int difficulty, const std::string& fileName);
    const std::string& GetErrorText() const { return mErrorText; }
    void ClearLevels();

    // ---- Queries on the current level and wave.
    bool IsPastFixedLevels() const;
    int GetLevel() const { return mLevel; }
    int GetWaveIndex() const { return mWave; }
    int GetPrevWaveKind() const { return mPrevWaveKind; }
    int GetEndlessLevelCount() const { return mEndlessCount; }
    bool IsSpecialLevel() const;
    bool IsLastWaveSpecial() const;
    const LevelSettings& GetLevelSettings() const;
    int GetWaveKind() const;
    int GetWaveMinCol() const;
    int GetWaveMaxCol() const;
    int GetPrevWaveKnockBack() const;
    // Null when the current wave has no entry i.
    const ConfigEnemy* GetWaveEnemy(int i) const;
    int GetWaveEnemyCount() const;
    int GetWaveCount() const;

    // ---- Moving through the levels.
    void SkipToLastWave();
    void ChooseNextWave(bool fromPreviousLevel);
    void NextLevel();
    // Stands at a fixed level index, or at ENDLESS_LEVEL (see there).
    void ResetWaves(int level);
    // Stands on an endless level as a game that entered count of them does (1 up to
    // MAX_ENDLESS_COUNT), with the speed rises of all of them.
    void ResumeEndlessLevels(int count);
    void BuildWaveList();

    // ---- State the game shell reads and restores.
    bool IsAbyssMode() const { return mAbyss; }
    int GetFixedLevelCount() const { return static_cast<int>(mLevels.size()); }
    int GetEndlessIndex() const { return mEndlessIndex; }
    void SetEndlessLevelCount(int count) { mEndlessCount = count; }
    int GetCurrentMinEndDiff() const { return mEndMinDiff; }
    int GetCurrentMaxEndDiff() const { return mEndMaxDiff; }
    const LevelSettings& GetDefault() const { return mDefault; }
    const std::vector<ConfigLevel>& GetFixedLevels() const { return mLevels; }
    const std::vector<ConfigLevel>& GetEndlessLevels() const { return mEndlessLevels; }

private:
    class Loader;

    const ConfigLevel* CurrentLevel() const;
    ConfigLevel* CurrentLevel();
    const ConfigWave* CurrentWave() const;
    static bool IsBossWave(const ConfigLevel& level, int index);
    int DrawChoosableWave(const ConfigLevel& level, int first, bool excludeBoss);
    void StayOnPlayableLevel();
    void AvoidEndlessBossWave();
    void RaiseEndlessSpeeds(double amount);
    static void RaiseLevelSpeeds(ConfigLevel& level, double amount);
    MersenneTwister& Random();

    ConfigHost* mApp;
    std::string mDataFolder;
    std::string mErrorText;
    bool mAbyss = false;
    LevelSettings mDefault;
    std::vector<ConfigLevel> mLevels;
    std::vector<ConfigLevel> mEndlessLevels;

    int mLevel = 0;
    int mWave = 0;
    int mEndlessIndex = 0;
    int mPrevEndlessIndex = 0;
    int mEndlessCount = 0;
    int mPrevWaveKind = 0;
    int mPrevWave = 0;
    int mEndMinDiff = 0;
    int mEndMaxDiff = 0;
    std::set<int> mUsedWaves;
};

} // namespace Zant
