#pragma once
// One player's record: kill counters, the last and best result of each mode, per-level
// and per-lesson statistics, the ring of recent words-per-minute results, the saved
// adventure, treasure tallies and per-player options. The profile manager owns every
// profile and persists it in the settings store and in the player's data file.
#include <array>
#include <string>
#include <utility>
#include <vector>

namespace Zant {

class ZantApp;
class Buffer;

// Three groups of {best, last, sum, count}.
struct StatRecord {
    static constexpr int NUM_VALUES = 12;
    std::array<int, NUM_VALUES> mValues{};

    // Group 1..3: last = v, best raised to v, v added to the sum, count + 1.
    void Add(int group, int v);
    // sum / count of a group (integer division); 0 when the group is empty.
    int Average(int group) const;
    int Best(int group) const { return mValues[(group - 1) * 4]; }
    int Last(int group) const { return mValues[(group - 1) * 4 + 1]; }
    int Sum(int group) const { return mValues[(group - 1) * 4 + 2]; }
    int Count(int group) const { return mValues[(group - 1) * 4 + 3]; }
    bool operator==(const StatRecord&) const = default;
};

struct ModeRecord {
    static constexpr int NUM_LEVELS = 35;
    int mBestLevel = 0;
    int mBestScore = 0;
    int mLastLevel = 0;
    int mLastScore = 0;
    std::vector<StatRecord> mLevels = std::vector<StatRecord>(NUM_LEVELS);
    bool operator==(const ModeRecord&) const = default;
};

// The text-to-integer rule of stored numbers: leading white space, an optional sign,
// then decimal digits up to the first other character; 0 without a digit. Numbers
// beyond the int range saturate instead of overflowing.
int ParseStoredInt(const std::string& text);
// Leading decimal number of a text (locale-independent); 0.0 when there is none.
double ParseStoredDouble(const std::string& text);
// "%f" of a value, always with '.', whatever the locale.
std::string FormatStoredDouble(double value);

// The store value naming the default user.
extern const char* const DEFAULT_USER_VALUE;
// The player's data file of a user number: users/user<N><extension> in the per-user
// data folder.
std::string UserDataFilePath(int userNumber, const char* extension = ".dat");
// Writes the default user value with name when it cannot be read.
void EnsureDefaultUserValue(ZantApp* app, const std::string& name);
// The line goes through the application's demo-aware log.
void ProfileLog(ZantApp* app, const std::string& line);
// Whether a stored file of length-prefixed strings is whole: not empty, and no
// string's length runs past the end.
bool StringsFit(const Buffer& buffer);

// What reading a player's stored file (a data file, the high-score file) found.
enum class StoredFileState {
    Read,
    // Not there, or not readable as a file.
    Missing,
    // Written by a version before the layout this reader knows.
    Old,
    // Empty, cut short, zeroed, or holding what no version of the game writes.
    Damaged,
};
// The version string a stored file opens with: every version of the game wrote a
// number there, so zeros, an empty string or other bytes are damage; a number below
// oldest is an older layout.
StoredFileState CheckStoredVersion(const std::string& version, double oldest);

class UserProfile {
public:
    static constexpr int NUM_MODES = 6;
    static constexpr int ABYSS_MODE_RECORD = 5;
    static constexpr int NUM_LESSONS = 19;
    static constexpr int NUM_WPM = 10;
    // Saved level index of an endless level: this plus the endless-level count.
    static constexpr int SAVED_ENDLESS_LEVEL_BASE = 100;
    static constexpr int NUM_TREASURE_KINDS = 6;
    static constexpr int NUM_SECRET_KINDS = 4;
    static constexpr int NUM_SITES = 36;
    static constexpr int NUM_BOSS_KINDS = 4;
    static constexpr int NUM_SAVED_TOTALS = 4;
    // The oldest data file layout this reader knows.
    static constexpr double OLDEST_DATA_VERSION = 0.48;

    // A new player.
    explicit UserProfile(ZantApp* app);
    // A player read from the settings store; a seed of 0 takes a new random one.
    UserProfile(ZantApp* app, const std::string& name, int userNumber, int bestDepth, int seed, int sharks,
                int piranhas, int abyssSharks, int abyssPiranhas);
    UserProfile(const UserProfile&) = delete;
    UserProfile& operator=(const UserProfile&) = delete;

    void SetUserNumber(int n) { mUserNumber = n; }
    void SetLastLevel(int n) { mLastLevel = n; }
    std::string GetName() const { return mName; }

    void AddBossKill(int kind);
    int GetBossKillCount(int kind) const;
    void AddSharkKill(bool abyss);
    void AddPiranhaKill(bool abyss);
    void SetSharkKillsRun(int n) { mSharkKillsRun = n; }
    void SetPiranhaKillsRun(int n) { mPiranhaKillsRun = n; }
    void AddGttCount(int kind);
    void AddSgttCount(int kind);
    int GetAbyssBoss() const { return mAbyssBoss; }
    void SetAbyssBoss(int n) { mAbyssBoss = n; }

    void AddWpm(int wpm);
    int GetAverageWpm() const;
    void SetCurrentMode(int mode, int score, int level);
    void SetModeBest(int mode, int value);
    void AddModeStat1(int mode, int level, int v);
    void AddModeStat2(int mode, int level, int v);
    void AddModeStat3(int mode, int level, int v);
    void AddLessonStat1(int v, int lesson);
    void AddLessonStat2(int v, int lesson);
    void AddLessonStat3(int v, int lesson);
    int GetLessonAverage1(int lesson) const;
    int GetLessonAverage2(int lesson) const;
    int GetLessonAverage3(int lesson) const;
    int GetBestScore() const;

    void SetSavedGame(bool running, int lives, int score, double charge, int levelIndex, int difficulty, int level);
    void SetSavedGameShort(bool running, int lives, int score, int levelIndex, int difficulty, int level);
    void ClearSavedGame();
    // Whether the saved adventure can be continued: none is saved (level index -1 or
    // 0), or it names a difficulty 0..4 and a charted site or an endless level.
    bool SavedGameIsPlayable() const;
    // No saved adventure, as in a new profile.
    void DropSavedGame();

    // Written to the store at once.
    void SetSpaceToPause(bool on);
    void WriteAdValue(int depth, double value);
    double ReadAdValue(int depth);

    // Reads the player's data file: Read when read and of a known layout.
    StoredFileState LoadDataFromDisk();
    // The data file's contents, and reading them back (the file functions around
    // these are the manager's and LoadDataFromDisk's). running: written while a game
    // is in progress. ReadData finds an older layout Old (only the version and the
    // run's treasure figures change) and a damaged file Damaged (nothing changes). A
    // file of an earlier version that merely ends early keeps the values it holds;
    // one of this version (or a later one) is written whole, so a short one is damage.
    void WriteData(Buffer& buffer, bool running);
    StoredFileState ReadData(Buffer& buffer);

    // The store key prefix of this player: "Users\<name>\".
    std::string KeyPrefix() const;

public:
    ZantApp* mApp = nullptr;
    int mScore = 0;
    int mMode = 0;
    int mLevel = 0;
    int mDepth = 0;
    std::string mName;
    int mUserNumber = 0;
    int mBestDepth = 0;
    int mSeed = 0;
    int mNumSharksKilled = 0;
    int mNumPiranhasKilled = 0;
    // Kills of the boss kinds 12, 14, 15 and 16.
    std::array<int, NUM_BOSS_KINDS> mBossKills{};
    int mNumBossesKilled = 0;
    int mNumAbyssSharksKilled = 0;
    int mNumAbyssPiranhasKilled = 0;
    int mLastLesson = 0;
    int mBestTreasurePoints = 0;
    int mBestTreasureStreak = 0;
    std::array<int, NUM_TREASURE_KINDS> mGameTreasures{};
    std::array<int, NUM_SECRET_KINDS> mGameSecretItems{};
    // -1 never finished, 0 finished without passing, 1 passed.
    std::array<int, NUM_LESSONS> mLessonResult{};
    std::vector<StatRecord> mLessonStats = std::vector<StatRecord>(NUM_LESSONS);
    std::array<ModeRecord, NUM_MODES> mModes{};
    int mSavedLives = -1;
    int mSavedScore = -1;
    double mSavedCharge = -1.0;
    int mSavedLevelIndex = -1;
    // -1: no saved adventure.
    int mSavedDifficulty = -1;
    int mSavedLevel = 0;
    std::array<int, NUM_SAVED_TOTALS> mSavedTotals{-1, -1, -1, -1};
    bool mSeenTutorial = false;
    int mSavedTotal2 = 0;
    int mAbyssBoss = -1;
    int mLastLevel = 0;
    int mLastSavedScore = 0;
    bool mSpacePauses = false;
    int mSharkKillsRun = 0;
    int mPiranhaKillsRun = 0;
    bool mHintsOn = true;
    bool mLevelHints = true;
    std::array<int, NUM_WPM> mWpm{};
    int mLastWpmIndex = 0;
    int mExpeditions = 0;
    bool mExpeditionOpen = true;
    std::array<int, NUM_TREASURE_KINDS> mTreasures{};
    std::array<int, NUM_SECRET_KINDS> mSecretItems{};
    std::array<bool, NUM_SITES> mSiteFlags{};
    int mLastDifficulty = 0;
    bool mMapHintShown = false;
    std::string mVersion;
    std::vector<std::pair<int, int>> mSavedSites;
    std::vector<int> mSavedSiteNumbers;
    // The last recorded game was offered to the high-score tables already (each game
    // is offered once); recording a game clears it. Not stored: a restarted program
    // has no recorded game to offer.
    bool mResultEntered = true;
    // The data file missed a save (it could not be written): the next save writes it,
    // also one made for the store only. Not stored.
    bool mDataFileBehind = false;

private:
    void InitDefaults();
    static bool ValidMode(int mode) { return mode >= 0 && mode < NUM_MODES; }
    static bool ValidLesson(int lesson) { return lesson >= 0 && lesson < NUM_LESSONS; }
    void AddModeStat(int group, int mode, int level, int v);
    void AddLessonStat(int group, int v, int lesson);
    int LessonAverage(int group, int lesson) const;
};

} // namespace Zant
