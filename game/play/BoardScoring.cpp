// Turning a level into numbers: words per minute, the wave accuracy bonus, the level
// bonuses, treasure-word values, rank titles and the statistics of a game.
#include <algorithm>
#include <cmath>

#include "game/common/BTTimer.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/profile/UserProfile.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

namespace {

// The wave accuracy medals of the image table.
constexpr int IMAGE_MEDAL_GOLD = 92;
constexpr int IMAGE_MEDAL_SILVER = 93;
constexpr int IMAGE_MEDAL_BRONZE = 94;

// The profile's mode number of abyss games.
constexpr int ABYSS_MODE = 5;

constexpr int RANK_STEP = 150000;
constexpr int FIRST_NAMED_RANK = 5850000;

const char* const RANK_TITLES[] = {
    "Chum", "Flotsam", "Barnacle", "Kelp", "Water Lily", "Sea Monkey", "Tuna", "Crustacean", "Sea Bass",
    "Nautilus", "Barracuda", "Dog Paddler", "Hydrophile", "Snorkeler", "Pro Swimmer", "Swim Instructor",
    "Amateur Diver", "Excursionist", "SCUBA Diver", "Boatswain", "Helmsman", "Navigator", "Sea Dog",
    "Coastguard", "Oceanographer", "Naval Officer", "Marine Captain", "Frogman", "Fish Zapper", "Shark Hunter",
    "Aqua Blaster", "Shark Slayer", "Atlantic Adventurer", "Aqua Lung", "Deep Sea Diver", "Master Mariner",
    "Coral Commander", "Ocean Emperor", "Aquanaut",
};
static_assert(std::size(RANK_TITLES) * RANK_STEP == FIRST_NAMED_RANK);

// The titles above the table: each from its lower bound on.
struct NamedRank {
    int from;
    const char* title;
};
constexpr NamedRank NAMED_RANKS[] = {
    {5850000, "Nautilator"},      {6150000, "Leviathan"},     {6650000, "Sea Titan"},
    {7450000, "Neptune, Sea God"}, {8850000, "Lord Poseidon"}, {10850000, "Master of Plindor"},
};
constexpr int TOP_RANK_LIMIT = 30000000;

// Truncation as the level's double arithmetic does it.
int Truncate(double value) { return static_cast<int>(value); }

// The abyss tier of a depth.
int AbyssTier(int depth)
{
    if (depth < 1000)
        return 0;
    if (depth < 1750)
        return 1;
    if (depth < 2500)
        return 2;
    if (depth < 3250)
        return 3;
    return 4;
}

} // namespace

int Board::GetRawWpm() const
{
    if (mTypingTime <= 0)
        return 0;
    const double minutes = mTypingTime / 60000.0;
    return Truncate(mAccuracyHits * 0.2 / minutes);
}

int Board::GetAdjustedWpm() const
{
    // No time played has no words per minute.
    if (mTypingTime <= 0)
        return 0;
    const double minutes = mTypingTime / 60000.0;
    return Truncate(GetRawWpm() * 0.75 - mAccuracyMisses * 0.2 / minutes);
}

void Board::AwardWaveAccuracyBonus()
{
    AccuracyBadge& badge = *mAccuracyBadge;
    // A wave without a typed letter has no accuracy: no bonus and the streak ends.
    if (mLettersHit + mTypos == 0) {
        badge.mStreak = 0;
        badge.mBonus = 0;
        return;
    }
    const int acc = Truncate(double(mLettersHit) / (mLettersHit + mTypos) * 100.0);
    if (acc < 95) {
        badge.mStreak = 0;
        badge.mBonus = 0;
    } else {
        ++badge.mStreak;
    }
    if (acc == 0 || badge.mWavePoints == 0)
        return;
    badge.mAccuracy = acc;
    badge.mActive = true;
    badge.mAlpha = 255;
    badge.mY = mPlayAreaBottom - 50;
    if (acc < 80) {
        badge.mImage = mAssets.GetImage(IMAGE_MEDAL_BRONZE);
        mAssets.PlaySound(SOUND_WAVE_BONUS);
        return;
    }
    if (acc < 95) {
        badge.mImage = mAssets.GetImage(IMAGE_MEDAL_SILVER);
        mAssets.PlaySound(SOUND_WAVE_BONUS2);
        return;
    }
    badge.mImage = mAssets.GetImage(IMAGE_MEDAL_GOLD);
    mAssets.PlaySound(SOUND_WAVE_BONUS3);
    const int level = mPlayer->mLevelIndex;
    const int t = level <= 10 ? level + 1 : 10;
    const int tier = IsAbyss() ? AbyssTier(mAbyssDepth) : Difficulty();
    const int bonus = Truncate(acc * 0.01 * badge.mWavePoints + std::min(badge.mStreak, 10) * t * 75 + tier * 200);
    badge.mBonus = std::min(bonus, 20000);
    mPlayer->AddScore(badge.mBonus);
}

int Board::GetLevelBonusPoints() const
{
    const int difficulty = Difficulty();
    if (difficulty < 0)
        return 0;
    const int level = mPlayer->mLevelIndex;
    const int t = level <= 11 ? level + 1 : 11;
    return std::min((difficulty + 1) * t * 1000, 60000);
}

int Board::GetDifficultyBonusPoints() const
{
    static constexpr int POINTS[] = {10000, 30000, 50000, 70000};
    const int difficulty = Difficulty();
    return difficulty >= 0 && difficulty < 4 ? POINTS[difficulty] : 100000;
}

int Board::GetLevelAccuracyBonus() const
{
    const int level = mPlayer->mLevelIndex;
    const int t = level <= 8 ? level + 1 : 8;
    const int bonus = (t + 4 * Difficulty()) * (std::min(mAccurateLevels, 6) * 1000 + 500) + 3000;
    return std::min(bonus, 100000);
}

int Board::GetTreasureWordValue()
{
    const int m = mTreasureWordsDone;
    switch (Difficulty()) {
    case 0:
        return (m + 1) * 50;
    case 1:
        return 100 * m + 150;
    case 2:
        return 250 * m + 450;
    case 3:
        return 600 * m + 1000;
    case 4:
        return 1050 * m + 3800;
    default:
        mApp->DemoSync("Board::GetTreasureWordValue:GameDiff == " + std::to_string(Difficulty()));
        return 0;
    }
}

std::string Board::GetRankTitle(int score)
{
    if (score < 0)
        return "Impossible Score";
    if (score < FIRST_NAMED_RANK)
        return RANK_TITLES[score / RANK_STEP];
    if (score > TOP_RANK_LIMIT)
        return "Programmer";
    const char* title = NAMED_RANKS[0].title;
    for (const NamedRank& rank : NAMED_RANKS)
        if (score >= rank.from)
            title = rank.title;
    return title;
}

int Board::GetNextRankScore(int score)
{
    if (score < FIRST_NAMED_RANK)
        return (std::max(score, 0) / RANK_STEP + 1) * RANK_STEP;
    for (const NamedRank& rank : NAMED_RANKS)
        if (rank.from > score)
            return rank.from;
    return -5;
}

void Board::ResetMultiplier()
{
    mMultiplierCount = 0;
    mScoreFactor = 1.0;
}

void Board::RecordGameStats(bool addWpm, bool finalWrite)
{
    UserProfile* profile = mApp->CurrentProfile();
    if (profile == nullptr)
        return;
    const bool abyss = IsAbyss();
    const int mode = abyss ? ABYSS_MODE : Difficulty();
    const int level = mPlayer->mLevelIndex;
    const int score = mPlayer->mScore;
    auto recordDepth = [&] {
        profile->mBestDepth = std::max(profile->mBestDepth, mAbyssDepth);
        profile->mDepth = mAbyssDepth;
        profile->SetCurrentMode(ABYSS_MODE, score, level + 1);
        profile->SetModeBest(ABYSS_MODE, mAbyssDepth);
    };

    if (level == 0 && mPlayer->mLives < 0 && !abyss) {
        profile->SetCurrentMode(mode, score, level + 1);
        profile->SetModeBest(mode, level);
        if (mTreasureWordsDone > 0)
            profile->AddModeStat1(mode, level, mTreasureWordsDone);
    } else if (abyss && (mAbyssDepth < 400 || mLevelTime <= 24)) {
        recordDepth();
    } else {
        const int wpm = std::max(0, GetAdjustedWpm());
        const int typed = mAccuracyHits + mAccuracyMisses;
        // No letters typed: no accuracy to divide out.
        const int accuracy = typed == 0 ? 0 : Truncate(double(mAccuracyHits) / typed * 100.0);
        if (abyss) {
            recordDepth();
            profile->AddModeStat3(ABYSS_MODE, 0, wpm);
            profile->AddModeStat2(ABYSS_MODE, 0, accuracy);
        } else {
            profile->SetCurrentMode(mode, score, level + 1);
            profile->SetModeBest(mode, level);
            profile->AddModeStat3(mode, level, wpm);
            profile->AddModeStat2(mode, level, accuracy);
            if (mTreasureWordsDone > 0)
                profile->AddModeStat1(mode, level, mTreasureWordsDone);
        }
        if (mPlayer->mLives >= 0 && addWpm)
            profile->AddWpm(wpm);
    }
    // A game that goes on is no result yet: only its end enters the tables, once,
    // with its final score. A game start's offer then finds nothing to enter.
    if (!finalWrite)
        profile->mResultEntered = true;
    mApp->WriteProfile(profile, finalWrite, false);
}

} // namespace Zant
