// A player's record: the words-per-minute ring, mode results, saved adventure and the
// values written to the store at once.
#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>
#include <vector>

#include "tests/profiles/ProfileFixture.h"

using Zant::UserProfile;

namespace ProfileTests {

class UserProfileTest : public ProfileFixture {
protected:
    UserProfileTest() { profile.mName = "Ann"; }
    UserProfile profile{app.get()};
};

TEST_F(UserProfileTest, NewProfileStartsWithNothingSavedAndEveryLessonUnfinished)
{
    EXPECT_EQ(profile.mSavedDifficulty, -1);
    EXPECT_EQ(profile.mSavedCharge, -1.0);
    EXPECT_EQ(profile.mSavedTotals, (std::array<int, 4>{-1, -1, -1, -1}));
    EXPECT_EQ(profile.mAbyssBoss, -1);
    EXPECT_EQ(profile.mLessonResult[0], -1);
    EXPECT_EQ(profile.mLessonResult[18], -1);
    EXPECT_EQ(profile.mLessonStats.size(), 19u);
    EXPECT_EQ(profile.mModes[5].mLevels.size(), 35u);
    EXPECT_EQ(profile.mVersion, "1.01");
    EXPECT_TRUE(profile.mHintsOn && profile.mLevelHints && profile.mExpeditionOpen);
    EXPECT_FALSE(profile.mSeenTutorial);
}

TEST_F(UserProfileTest, AverageWpmCountsOnlyFilledSlots)
{
    struct Case {
        std::vector<int> results;
        int average;
    };
    const Case cases[] = {
        {{}, 0},
        {{40, 0, 60}, 50},
        {{7, 8}, 7},
        // The eleventh result overwrites the first slot.
        {{100, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10}, 10},
    };
    for (const Case& c : cases) {
        UserProfile p(app.get());
        for (int wpm : c.results)
            p.AddWpm(wpm);
        EXPECT_EQ(p.GetAverageWpm(), c.average) << c.results.size() << " results";
    }
    UserProfile p(app.get());
    for (int i = 0; i < 11; ++i)
        p.AddWpm(i + 1);
    EXPECT_EQ(p.mWpm[0], 11);
    EXPECT_EQ(p.mLastWpmIndex, 1);
}

TEST_F(UserProfileTest, AbyssResultsKeepToTheirOwnRecord)
{
    profile.SetCurrentMode(5, 9000, 3);
    EXPECT_EQ(profile.mMode, -1);
    EXPECT_EQ(profile.mModes[5].mBestScore, 9000);
    EXPECT_EQ(profile.GetBestScore(), 0);

    profile.SetCurrentMode(2, 500, 4);
    profile.SetCurrentMode(2, 300, 5);
    profile.mModes[1].mBestScore = -20;
    EXPECT_EQ(profile.mMode, 2);
    EXPECT_EQ(profile.mModes[2].mLastScore, 300);
    EXPECT_EQ(profile.GetBestScore(), 500);

    profile.SetModeBest(5, 1200);
    profile.SetModeBest(5, 800);
    EXPECT_EQ(profile.mModes[5].mBestLevel, 1200);
    EXPECT_EQ(profile.mModes[5].mLastLevel, 800);
}

TEST_F(UserProfileTest, StatisticsKeepBestLastSumAndCount)
{
    profile.AddModeStat2(0, 4, 90);
    profile.AddModeStat2(0, 4, 70);
    const Zant::StatRecord& level = profile.mModes[0].mLevels[4];
    EXPECT_EQ(level.Best(2), 90);
    EXPECT_EQ(level.Last(2), 70);
    EXPECT_EQ(level.Sum(2), 160);
    EXPECT_EQ(level.Count(2), 2);
    EXPECT_EQ(level.Count(1), 0);

    EXPECT_EQ(profile.GetLessonAverage3(7), 0);
    profile.AddLessonStat3(30, 7);
    profile.AddLessonStat3(41, 7);
    EXPECT_EQ(profile.GetLessonAverage3(7), 35);
    EXPECT_EQ(profile.GetLessonAverage1(7), 0);
}

TEST_F(UserProfileTest, SavedGameTakesTheScoreOnlyWhileRunning)
{
    profile.SetSavedGame(true, 3, 1000, 0.5, 4, -1, 5);
    EXPECT_EQ(profile.mSavedDifficulty, -1);
    EXPECT_EQ(profile.mSavedScore, -1);

    profile.mLastSavedScore = 750;
    profile.SetSavedGame(false, 3, 1000, 0.5, 4, 1, 5);
    EXPECT_EQ(profile.mSavedScore, 750);
    EXPECT_EQ(profile.mSavedCharge, 0.5);
    EXPECT_EQ(profile.mSavedLevelIndex, 4);
    EXPECT_EQ(profile.mSavedLevel, 5);

    profile.SetSavedGameShort(true, 2, 1200, 104, 1, 6);
    EXPECT_EQ(profile.mSavedScore, 1200);
    EXPECT_EQ(profile.mSavedLives, 2);
    EXPECT_EQ(profile.mSavedCharge, 0.5);
}

TEST_F(UserProfileTest, KillCountersSplitByModeAndRun)
{
    profile.AddSharkKill(false);
    profile.AddSharkKill(true);
    profile.AddPiranhaKill(true);
    profile.AddBossKill(14);
    profile.AddBossKill(13);
    profile.AddGttCount(5);
    profile.AddSgttCount(3);
    profile.AddGttCount(6); // outside the kinds: ignored
    EXPECT_EQ(profile.mNumSharksKilled, 1);
    EXPECT_EQ(profile.mNumAbyssSharksKilled, 1);
    EXPECT_EQ(profile.mSharkKillsRun, 2);
    EXPECT_EQ(profile.mPiranhaKillsRun, 1);
    EXPECT_EQ(profile.GetBossKillCount(14), 1);
    EXPECT_EQ(profile.mBossKills, (std::array<int, 4>{0, 1, 0, 0}));
    EXPECT_EQ(profile.mGameTreasures[5], 1);
    EXPECT_EQ(profile.mTreasures[5], 1);
    EXPECT_EQ(profile.mSecretItems[3], 1);
}

// A store or file left with a count at the int's end (damage, a hand edit) is counted
// on without wrapping to a negative figure.
TEST_F(UserProfileTest, CountersFromADamagedStoreStopAtTheIntsEnd)
{
    constexpr int TOP = std::numeric_limits<int>::max();
    profile.mNumSharksKilled = profile.mNumAbyssPiranhasKilled = TOP;
    profile.mSharkKillsRun = profile.mPiranhaKillsRun = TOP;
    profile.mBossKills[1] = TOP;
    profile.mGameTreasures[5] = profile.mTreasures[5] = TOP;
    profile.mGameSecretItems[3] = profile.mSecretItems[3] = TOP;
    profile.AddSharkKill(false);
    profile.AddPiranhaKill(true);
    profile.AddBossKill(14);
    profile.AddGttCount(5);
    profile.AddSgttCount(3);
    for (int counter : {profile.mNumSharksKilled, profile.mNumAbyssPiranhasKilled, profile.mSharkKillsRun,
                        profile.mPiranhaKillsRun, profile.mBossKills[1], profile.mGameTreasures[5],
                        profile.mTreasures[5], profile.mGameSecretItems[3], profile.mSecretItems[3]})
        EXPECT_EQ(counter, TOP);

    profile.AddModeStat2(0, 4, TOP);
    profile.AddModeStat2(0, 4, TOP);
    profile.AddLessonStat1(-TOP, 2);
    profile.AddLessonStat1(-TOP, 2);
    profile.AddLessonStat1(-TOP, 2);
    EXPECT_EQ(profile.mModes[0].mLevels[4].Sum(2), TOP);
    EXPECT_EQ(profile.mModes[0].mLevels[4].Count(2), 2);
    EXPECT_EQ(profile.mLessonStats[2].Sum(1), std::numeric_limits<int>::min());
}

TEST_F(UserProfileTest, ImmediateValuesReachTheStoreAndMakeTheDefaultUser)
{
    profile.SetSpaceToPause(true);
    int type = 0;
    std::string data;
    ASSERT_TRUE(store.GetValue(std::string(PROGRAM_KEY) + "\\Users\\Ann", "SpacePauses", type, data));
    EXPECT_EQ(type, Platform::SETTINGS_DWORD);
    EXPECT_EQ(data, std::string("\1\0\0\0", 4));
    ASSERT_TRUE(store.GetValue(std::string(PROGRAM_KEY) + "\\Users", "User", type, data));
    EXPECT_EQ(data, "Ann");

    EXPECT_EQ(profile.ReadAdValue(800), 0.0);
    profile.WriteAdValue(800, 0.5);
    EXPECT_EQ(StoredText("Ann", "ad800"), "0.500000");
    EXPECT_EQ(profile.ReadAdValue(800), 0.5);
}

TEST_F(UserProfileTest, ChargeTextDoesNotFollowTheLocale)
{
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    bool comma = false;
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "fr_FR"})
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            comma = true;
            break;
        }
    profile.WriteAdValue(1200, 0.25);
    const double back = profile.ReadAdValue(1200);
    const std::string text = StoredText("Ann", "ad1200");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(text, "0.250000");
    EXPECT_EQ(back, 0.25);
    if (!comma)
        GTEST_SKIP() << "no comma locale installed; checked under the C locale only";
}

TEST(StoredNumbers, TextToIntegerRule)
{
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"42", 42},       {"  -7x", -7},      {"+3", 3},         {"abc", 0},
        {"", 0},          {"12.9", 12},       {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Zant::ParseStoredInt(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(Zant::ParseStoredDouble("1.01abc"), 1.01);
    EXPECT_EQ(Zant::ParseStoredDouble(" 0.47"), 0.47);
    EXPECT_EQ(Zant::ParseStoredDouble("x1"), 0.0);
}

} // namespace ProfileTests
