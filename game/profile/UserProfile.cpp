#include "game/profile/UserProfile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>

#include "framework/util/Buffer.h"
#include "framework/util/StringUtil.h"
#include "game/common/Simulation.h"
#include "framework/app/ZantApp.h"
#include "game/common/GameRandom.h"
#include "platform/Paths.h"

namespace Zant {

const char* const DEFAULT_USER_VALUE = "Users\\User";

namespace {

// Counts and sums come back from the store and the player's file as they were left,
// damaged ones included; adding to one stops at the int's ends instead of wrapping.
void AddTo(int& total, long long amount = 1)
{
    total = static_cast<int>(std::clamp<long long>(total + amount, INT_MIN, INT_MAX));
}

} // namespace

int ParseStoredInt(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        // A hostile value saturates rather than overflowing.
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

double ParseStoredDouble(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    if (i < text.size() && text[i] == '+')
        ++i;
    double value = 0.0;
    const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value, std::chars_format::fixed);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return value;
}

std::string FormatStoredDouble(double value)
{
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    return std::string(text, result.ec == std::errc() ? result.ptr : text);
}

std::string UserDataFilePath(int userNumber, const char* extension)
{
    return Platform::UserDataFolder() + "/users/user" + std::to_string(userNumber) + extension;
}

void EnsureDefaultUserValue(ZantApp* app, const std::string& name)
{
    std::string current;
    if (!app->ReadRegistryString(DEFAULT_USER_VALUE, current))
        app->WriteRegistryString(DEFAULT_USER_VALUE, name);
}

void ProfileLog(ZantApp* app, const std::string& line) { app->DemoSyncString(line); }

// ---- StatRecord.

void StatRecord::Add(int group, int v)
{
    if (group < 1 || group > 3)
        return;
    int* g = &mValues[static_cast<size_t>(group - 1) * 4];
    g[0] = std::max(g[0], v);
    g[1] = v;
    AddTo(g[2], v);
    AddTo(g[3]);
}

int StatRecord::Average(int group) const
{
    if (group < 1 || group > 3 || Count(group) == 0)
        return 0;
    return Sum(group) / Count(group);
}

// ---- Construction.

UserProfile::UserProfile(ZantApp* app) : mApp(app) { InitDefaults(); }

UserProfile::UserProfile(ZantApp* app, const std::string& name, int userNumber, int bestDepth, int seed, int sharks,
                         int piranhas, int abyssSharks, int abyssPiranhas)
    : mApp(app)
{
    InitDefaults();
    mName = name;
    mUserNumber = userNumber;
    mBestDepth = bestDepth;
    if (seed != 0)
        mSeed = seed;
    mNumSharksKilled = sharks;
    mNumPiranhasKilled = piranhas;
    mNumAbyssSharksKilled = abyssSharks;
    mNumAbyssPiranhasKilled = abyssPiranhas;
}

void UserProfile::InitDefaults()
{
    mLessonResult.fill(-1);
    mVersion = mApp->mProductVersion;
    mSeed = static_cast<int>(GameRandom().Next());
}

std::string UserProfile::KeyPrefix() const { return "Users\\" + mName + "\\"; }

// ---- Counters.

namespace {

// Index of a boss kind in the kill counters; -1 for other kinds.
int BossKindIndex(int kind)
{
    switch (kind) {
    case 12: return 0;
    case 14: return 1;
    case 15: return 2;
    case 16: return 3;
    default: return -1;
    }
}

} // namespace

void UserProfile::AddBossKill(int kind)
{
    const int i = BossKindIndex(kind);
    if (i >= 0)
        AddTo(mBossKills[static_cast<size_t>(i)]);
}

int UserProfile::GetBossKillCount(int kind) const
{
    const int i = BossKindIndex(kind);
    return i >= 0 ? mBossKills[static_cast<size_t>(i)] : 0;
}

void UserProfile::AddSharkKill(bool abyss)
{
    AddTo(abyss ? mNumAbyssSharksKilled : mNumSharksKilled);
    AddTo(mSharkKillsRun);
}

void UserProfile::AddPiranhaKill(bool abyss)
{
    AddTo(abyss ? mNumAbyssPiranhasKilled : mNumPiranhasKilled);
    AddTo(mPiranhaKillsRun);
}

void UserProfile::AddGttCount(int kind)
{
    if (kind < 0 || kind >= NUM_TREASURE_KINDS)
        return;
    AddTo(mGameTreasures[static_cast<size_t>(kind)]);
    AddTo(mTreasures[static_cast<size_t>(kind)]);
}

void UserProfile::AddSgttCount(int kind)
{
    if (kind < 0 || kind >= NUM_SECRET_KINDS)
        return;
    AddTo(mGameSecretItems[static_cast<size_t>(kind)]);
    AddTo(mSecretItems[static_cast<size_t>(kind)]);
}

// ---- Results.

void UserProfile::AddWpm(int wpm)
{
    mWpm[static_cast<size_t>(mLastWpmIndex)] = wpm;
    mLastWpmIndex = (mLastWpmIndex + 1) % NUM_WPM;
}

int UserProfile::GetAverageWpm() const
{
    long long sum = 0;
    int count = 0;
    for (int wpm : mWpm) {
        sum += wpm;
        if (wpm > 0)
            ++count;
    }
    return count == 0 ? 0 : static_cast<int>(sum / count);
}

void UserProfile::SetCurrentMode(int mode, int score, int level)
{
    if (!ValidMode(mode))
        return;
    mMode = mode == ABYSS_MODE_RECORD ? -1 : mode;
    mScore = score;
    mLevel = level;
    mResultEntered = false;
    ModeRecord& record = mModes[static_cast<size_t>(mode)];
    record.mLastScore = score;
    record.mBestScore = std::max(record.mBestScore, score);
}

void UserProfile::SetModeBest(int mode, int value)
{
    if (!ValidMode(mode))
        return;
    ModeRecord& record = mModes[static_cast<size_t>(mode)];
    record.mLastLevel = value;
    record.mBestLevel = std::max(record.mBestLevel, value);
}

void UserProfile::AddModeStat(int group, int mode, int level, int v)
{
    if (!ValidMode(mode) || level < 0 || level >= ModeRecord::NUM_LEVELS)
        return;
    mModes[static_cast<size_t>(mode)].mLevels[static_cast<size_t>(level)].Add(group, v);
}

void UserProfile::AddModeStat1(int mode, int level, int v) { AddModeStat(1, mode, level, v); }
void UserProfile::AddModeStat2(int mode, int level, int v) { AddModeStat(2, mode, level, v); }
void UserProfile::AddModeStat3(int mode, int level, int v) { AddModeStat(3, mode, level, v); }

void UserProfile::AddLessonStat(int group, int v, int lesson)
{
    if (ValidLesson(lesson))
        mLessonStats[static_cast<size_t>(lesson)].Add(group, v);
}

void UserProfile::AddLessonStat1(int v, int lesson) { AddLessonStat(1, v, lesson); }
void UserProfile::AddLessonStat2(int v, int lesson) { AddLessonStat(2, v, lesson); }
void UserProfile::AddLessonStat3(int v, int lesson) { AddLessonStat(3, v, lesson); }

int UserProfile::LessonAverage(int group, int lesson) const
{
    return ValidLesson(lesson) ? mLessonStats[static_cast<size_t>(lesson)].Average(group) : 0;
}

int UserProfile::GetLessonAverage1(int lesson) const { return LessonAverage(1, lesson); }
int UserProfile::GetLessonAverage2(int lesson) const { return LessonAverage(2, lesson); }
int UserProfile::GetLessonAverage3(int lesson) const { return LessonAverage(3, lesson); }

int UserProfile::GetBestScore() const
{
    int best = 0;
    for (int mode = 0; mode < ABYSS_MODE_RECORD; ++mode)
        best = std::max(best, mModes[static_cast<size_t>(mode)].mBestScore);
    return best;
}

// ---- Saved adventure.

void UserProfile::SetSavedGame(bool running, int lives, int score, double charge, int levelIndex, int difficulty,
                               int level)
{
    if (difficulty == -1)
        return;
    SetSavedGameShort(running, lives, score, levelIndex, difficulty, level);
    mSavedCharge = charge;
}

void UserProfile::SetSavedGameShort(bool running, int lives, int score, int levelIndex, int difficulty, int level)
{
    if (difficulty == -1)
        return;
    mSavedLives = lives;
    mSavedScore = running ? score : mLastSavedScore;
    mSavedLevelIndex = levelIndex;
    mSavedDifficulty = difficulty;
    mSavedLevel = level;
}

void UserProfile::ClearSavedGame()
{
    mSavedTotals.fill(0);
    mSavedTotal2 = 0;
}

bool UserProfile::SavedGameIsPlayable() const
{
    if (mSavedLevelIndex == -1 || mSavedLevelIndex == 0)
        return true;
    const bool difficulty = mSavedDifficulty >= 0 && mSavedDifficulty <= 4;
    const bool charted = mSavedLevelIndex >= 1 && mSavedLevelIndex < NUM_SITES;
    return difficulty && (charted || mSavedLevelIndex >= SAVED_ENDLESS_LEVEL_BASE);
}

void UserProfile::DropSavedGame()
{
    mSavedLives = -1;
    mSavedScore = -1;
    mLastSavedScore = 0;
    mSavedCharge = -1.0;
    mSavedLevelIndex = -1;
    mSavedDifficulty = -1;
    mSavedLevel = 0;
    mSavedTotals.fill(-1);
    mSavedTotal2 = 0;
    mSavedSites.clear();
    mSavedSiteNumbers.clear();
}

// ---- Values written at once.

void UserProfile::SetSpaceToPause(bool on)
{
    ProfileLog(mApp, FormatString("UserProfile::SetSpaceToPause = %d", on ? 1 : 0));
    mSpacePauses = on;
    EnsureDefaultUserValue(mApp, mName);
    mApp->WriteRegistryBool(KeyPrefix() + "SpacePauses", on);
}

void UserProfile::WriteAdValue(int depth, double value)
{
    EnsureDefaultUserValue(mApp, mName);
    mApp->WriteRegistryString(KeyPrefix() + "ad" + std::to_string(depth), FormatStoredDouble(value));
}

double UserProfile::ReadAdValue(int depth)
{
    EnsureDefaultUserValue(mApp, mName);
    std::string text;
    if (!mApp->ReadRegistryString(KeyPrefix() + "ad" + std::to_string(depth), text))
        return 0.0;
    return ParseStoredDouble(text);
}

// ---- The data file.

namespace {

void WriteInt(Buffer& buffer, int value) { buffer.WriteString(std::to_string(value)); }

int ReadInt(Buffer& buffer) { return ParseStoredInt(buffer.ReadString()); }

// The smallest a stored string takes: its length field.
constexpr size_t MIN_STRING_BYTES = 2;

size_t BytesLeft(const Buffer& buffer)
{
    const size_t total = static_cast<size_t>(buffer.GetDataLen()) * 8;
    return buffer.GetReadBitPos() >= total ? 0 : (total - buffer.GetReadBitPos()) / 8;
}

} // namespace

// Whether every string's length field stays inside the data. A file may end early
// (its remaining groups keep their values), but one whose lengths run past its end
// was cut inside a string or is not ours. An empty file has not even the version.
bool StringsFit(const Buffer& buffer)
{
    const std::vector<uint8_t>& data = buffer.GetData();
    if (data.empty())
        return false;
    size_t pos = 0;
    while (pos < data.size()) {
        if (data.size() - pos < MIN_STRING_BYTES)
            return false;
        const size_t length = data[pos] | (size_t(data[pos + 1]) << 8);
        pos += MIN_STRING_BYTES;
        if (length > data.size() - pos)
            return false;
        pos += length;
    }
    return true;
}

StoredFileState CheckStoredVersion(const std::string& version, double oldest)
{
    // An older layout still begins with its version number; a number followed by
    // other text counts by the number.
    if (version.empty() || version[0] < '0' || version[0] > '9')
        return StoredFileState::Damaged;
    return ParseStoredDouble(version) < oldest ? StoredFileState::Old : StoredFileState::Read;
}

namespace {

// Strings of a complete data file before the count of saved sites (the version, the
// mode records, the lesson results and records, the treasure figures and the saved
// adventure's values), and after the site numbers (the second run total and the
// boss kills).
constexpr size_t STRINGS_BEFORE_SITES =
    1 + UserProfile::NUM_MODES * (4 + ModeRecord::NUM_LEVELS * StatRecord::NUM_VALUES) +
    UserProfile::NUM_LESSONS * (1 + StatRecord::NUM_VALUES) + 1 + UserProfile::NUM_TREASURE_KINDS +
    UserProfile::NUM_SECRET_KINDS + 1 + 6 + UserProfile::NUM_SAVED_TOTALS;
constexpr size_t STRINGS_AFTER_SITES = 1 + UserProfile::NUM_BOSS_KINDS;

// Whether a file whose strings fit holds every group up to the boss kills, the two
// lists as long as their counts say.
bool HoldsEveryGroup(const Buffer& buffer)
{
    const std::vector<uint8_t>& data = buffer.GetData();
    size_t pos = 0;
    auto next = [&](std::string* text) {
        if (data.size() - pos < MIN_STRING_BYTES)
            return false;
        const size_t length = data[pos] | (size_t(data[pos + 1]) << 8);
        if (text != nullptr)
            text->assign(reinterpret_cast<const char*>(data.data() + pos + MIN_STRING_BYTES), length);
        pos += MIN_STRING_BYTES + length;
        return true;
    };
    // Each string takes at least two bytes, so a hostile count ends with the data.
    auto skip = [&](size_t n) {
        for (; n > 0; --n)
            if (!next(nullptr))
                return false;
        return true;
    };
    auto count = [&](size_t& n) {
        std::string text;
        if (!next(&text))
            return false;
        n = static_cast<size_t>(std::max(0, ParseStoredInt(text)));
        return true;
    };
    size_t pairs = 0;
    size_t numbers = 0;
    return skip(STRINGS_BEFORE_SITES) && count(pairs) && skip(2 * pairs) && count(numbers) && skip(numbers) &&
           skip(STRINGS_AFTER_SITES);
}

} // namespace

void UserProfile::WriteData(Buffer& buffer, bool running)
{
    buffer.WriteString(mApp->mProductVersion);
    for (const ModeRecord& mode : mModes) {
        WriteInt(buffer, mode.mBestLevel);
        WriteInt(buffer, mode.mBestScore);
        WriteInt(buffer, mode.mLastLevel);
        WriteInt(buffer, mode.mLastScore);
        for (const StatRecord& level : mode.mLevels)
            for (int v : level.mValues)
                WriteInt(buffer, v);
    }
    for (int result : mLessonResult)
        WriteInt(buffer, result);
    for (const StatRecord& lesson : mLessonStats)
        for (int v : lesson.mValues)
            WriteInt(buffer, v);
    WriteInt(buffer, mBestTreasurePoints);
    for (int n : mGameTreasures)
        WriteInt(buffer, n);
    for (int n : mGameSecretItems)
        WriteInt(buffer, n);
    WriteInt(buffer, mBestTreasureStreak);
    WriteInt(buffer, mSavedLives);
    // A write made while no game runs keeps the score of the last save made during
    // play, not the score the game ended with.
    if (running)
        mLastSavedScore = mSavedScore;
    WriteInt(buffer, mLastSavedScore);
    WriteInt(buffer, static_cast<int>(std::trunc(std::clamp(mSavedCharge * 100.0, -1e9, 1e9))));
    WriteInt(buffer, mSavedLevelIndex);
    WriteInt(buffer, mSavedDifficulty);
    WriteInt(buffer, mSavedLevel);
    for (int n : mSavedTotals)
        WriteInt(buffer, n);
    WriteInt(buffer, static_cast<int>(mSavedSites.size()));
    for (const auto& [first, second] : mSavedSites) {
        WriteInt(buffer, first);
        WriteInt(buffer, second);
    }
    WriteInt(buffer, static_cast<int>(mSavedSiteNumbers.size()));
    for (int n : mSavedSiteNumbers)
        WriteInt(buffer, n);
    WriteInt(buffer, mSavedTotal2);
    for (int n : mBossKills)
        WriteInt(buffer, n);
}

StoredFileState UserProfile::ReadData(Buffer& buffer)
{
    // A damaged file is refused before anything of the profile changes.
    if (!StringsFit(buffer))
        return StoredFileState::Damaged;
    const std::string version = buffer.ReadString();
    const StoredFileState state = CheckStoredVersion(version, OLDEST_DATA_VERSION);
    if (state == StoredFileState::Damaged)
        return state;
    // This version writes every group, so a file of it that ends early was cut (a
    // power cut, a full disk) and its missing values would be written back as zeros.
    // Earlier versions wrote fewer groups: their files keep what they hold.
    if (state == StoredFileState::Read && ParseStoredDouble(version) >= ParseStoredDouble(mApp->mProductVersion) &&
        !HoldsEveryGroup(buffer))
        return StoredFileState::Damaged;

    mBestTreasurePoints = 0;
    mBestTreasureStreak = 0;
    mGameTreasures.fill(0);
    mGameSecretItems.fill(0);
    mVersion = version;
    if (state == StoredFileState::Old)
        return state;

    // Past the end these read as 0.
    for (ModeRecord& mode : mModes) {
        mode.mBestLevel = ReadInt(buffer);
        mode.mBestScore = ReadInt(buffer);
        mode.mLastLevel = ReadInt(buffer);
        mode.mLastScore = ReadInt(buffer);
        for (StatRecord& level : mode.mLevels)
            for (int& v : level.mValues)
                v = ReadInt(buffer);
    }
    for (int& result : mLessonResult)
        result = ReadInt(buffer);

    // A lesson record cut short leaves every lesson at zero. A file that ends right
    // after the last lesson value keeps all its complete records.
    mLessonStats.assign(NUM_LESSONS, StatRecord());
    for (StatRecord& lesson : mLessonStats) {
        for (int& v : lesson.mValues) {
            if (buffer.AtEnd()) {
                mLessonStats.assign(NUM_LESSONS, StatRecord());
                return StoredFileState::Read;
            }
            v = ReadInt(buffer);
        }
    }
    if (buffer.AtEnd())
        return StoredFileState::Read;

    if (!buffer.AtEnd())
        mBestTreasurePoints = ReadInt(buffer);
    if (!buffer.AtEnd())
        for (int& n : mGameTreasures)
            n = ReadInt(buffer);
    if (!buffer.AtEnd())
        for (int& n : mGameSecretItems)
            n = ReadInt(buffer);
    if (!buffer.AtEnd())
        mBestTreasureStreak = ReadInt(buffer);

    auto savedValue = [&buffer]() { return buffer.AtEnd() ? -1 : ReadInt(buffer); };
    mSavedLives = savedValue();
    // The saved score is also the score the next write outside play keeps: without
    // it a restart followed by a level start would store 0.
    mSavedScore = savedValue();
    mLastSavedScore = mSavedScore;
    mSavedCharge = buffer.AtEnd() ? -1.0 : ReadInt(buffer) * 0.01;
    mSavedLevelIndex = savedValue();
    mSavedDifficulty = savedValue();
    mSavedLevel = savedValue();
    for (int& n : mSavedTotals)
        n = savedValue();

    if (!buffer.AtEnd()) {
        mSavedSites.clear();
        mSavedSiteNumbers.clear();
        // Counts are bounded by what the rest of the file can hold.
        const int pairs = ReadInt(buffer);
        if (pairs > 0) {
            const size_t count = std::min<size_t>(static_cast<size_t>(pairs), BytesLeft(buffer) / (2 * MIN_STRING_BYTES));
            for (size_t i = 0; i < count && !buffer.AtEnd(); ++i) {
                const int first = ReadInt(buffer);
                const int second = ReadInt(buffer);
                mSavedSites.emplace_back(first, second);
            }
        }
        const int numbers = ReadInt(buffer);
        if (numbers > 0) {
            const size_t count = std::min<size_t>(static_cast<size_t>(numbers), BytesLeft(buffer) / MIN_STRING_BYTES);
            for (size_t i = 0; i < count && !buffer.AtEnd(); ++i)
                mSavedSiteNumbers.push_back(ReadInt(buffer));
        }
    }
    if (!buffer.AtEnd())
        mSavedTotal2 = ReadInt(buffer);
    if (!buffer.AtEnd())
        for (int& n : mBossKills)
            n = ReadInt(buffer);
    return StoredFileState::Read;
}

StoredFileState UserProfile::LoadDataFromDisk()
{
    ProfileLog(mApp, "UserProfile::LoadDataFromDisk");
    const std::string path = UserDataFilePath(mUserNumber);
    Buffer buffer;
    if (!mApp->LoadFileToBuffer(path, buffer)) {
        ProfileLog(mApp, "Failed  to load " + path);
        return StoredFileState::Missing;
    }
    ProfileLog(mApp, FormatString("Buffer for %s is %d", path.c_str(), buffer.GetDataLen()));
    if (const StoredFileState state = ReadData(buffer); state != StoredFileState::Read) {
        ProfileLog(mApp, "Refused " + path);
        return state;
    }
    // A saved game that names no difficulty or level could only end the program when
    // continued: it goes, the rest of the file stays.
    if (!SavedGameIsPlayable()) {
        ProfileLog(mApp, "Refused the saved game in " + path);
        DropSavedGame();
    }
    // A simulated run always starts a new adventure: a saved game would stop it at the
    // continue question.
    if (Simulation().IsOn())
        mSavedLevelIndex = 0;
    return StoredFileState::Read;
}

} // namespace Zant
