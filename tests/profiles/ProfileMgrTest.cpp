// The profile manager: store values, the default user, lookups by name, deletion, and
// the round trip across a restart.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/profiles/ProfileFixture.h"
#include "tests/support/TestSupport.h"

using Zant::UserProfile;
using Zant::UserProfileMgr;

namespace ProfileTests {

class ProfileMgrTest : public ProfileFixture {};

TEST_F(ProfileMgrTest, StoreValuesRoundTripThroughANewManager)
{
    UserProfile p(app.get());
    p.mName = "Ann";
    p.mUserNumber = 2;
    p.mSeed = 777;
    p.mBestDepth = 1600;
    p.mNumSharksKilled = 11;
    p.mNumPiranhasKilled = 12;
    p.mNumBossesKilled = 3;
    p.mLastLesson = 6;
    p.mNumAbyssSharksKilled = 13;
    p.mNumAbyssPiranhasKilled = 14;
    p.mLastLevel = 4;
    p.mSpacePauses = true;
    p.mPiranhaKillsRun = 15;
    p.mSharkKillsRun = 16;
    p.mWpm = {31, 32, 33, 0, 0, 0, 0, 0, 0, 0};
    p.mLastWpmIndex = 3;
    p.mAbyssBoss = 2;
    p.mExpeditions = 5;
    p.mExpeditionOpen = false;
    p.mTreasures = {1, 0, 2, 0, 3, 0};
    p.mSecretItems = {0, 4, 0, 5};
    p.mSiteFlags[0] = p.mSiteFlags[35] = true;
    p.mLastDifficulty = 3;
    p.mMapHintShown = true;
    {
        UserProfileMgr writer(app.get());
        writer.WriteUserProfileToRegistry(&p, false, true);
    }
    EXPECT_EQ(StoredText("Ann", "NBTL"), "4");
    EXPECT_EQ(StoredText("Ann", "Version"), "1.01");

    UserProfileMgr mgr(app.get());
    ASSERT_EQ(mgr.GetProfiles().size(), 1u);
    const UserProfile& r = *mgr.GetProfiles()[0];
    EXPECT_EQ(r.mName, "Ann");
    EXPECT_EQ(r.mUserNumber, 2);
    EXPECT_EQ(r.mSeed, 777);
    EXPECT_EQ(r.mBestDepth, 1600);
    EXPECT_EQ(r.mNumSharksKilled, 11);
    EXPECT_EQ(r.mNumPiranhasKilled, 12);
    EXPECT_EQ(r.mNumBossesKilled, 3);
    EXPECT_EQ(r.mLastLesson, 6);
    EXPECT_EQ(r.mNumAbyssSharksKilled, 13);
    EXPECT_EQ(r.mNumAbyssPiranhasKilled, 14);
    EXPECT_EQ(r.mLastLevel, 4);
    EXPECT_TRUE(r.mSpacePauses);
    EXPECT_EQ(r.mPiranhaKillsRun, 15);
    EXPECT_EQ(r.mSharkKillsRun, 16);
    EXPECT_EQ(r.mWpm, p.mWpm);
    EXPECT_EQ(r.mLastWpmIndex, 3);
    EXPECT_EQ(r.mAbyssBoss, 2);
    EXPECT_EQ(r.mExpeditions, 5);
    EXPECT_FALSE(r.mExpeditionOpen);
    EXPECT_EQ(r.mTreasures, p.mTreasures);
    EXPECT_EQ(r.mSecretItems, p.mSecretItems);
    EXPECT_EQ(r.mSiteFlags, p.mSiteFlags);
    EXPECT_EQ(r.mLastDifficulty, 3);
    EXPECT_TRUE(r.mMapHintShown);
    EXPECT_TRUE(r.mSeenTutorial);
    EXPECT_EQ(mgr.GetDefaultUserName(), "Ann");
}

TEST_F(ProfileMgrTest, MissingAndHostileValuesTakeTheirDefaults)
{
    StoreText("Bo", "UserNumber", "1");
    StoreText("Bo", "SeenTutorial", "0");
    StoreText("Bo", "NumBossesKilled", "-5");
    StoreText("Bo", "AnnoDomini", "99999999999");
    StoreText("Bo", "LastWPMIndex", "12");
    UserProfileMgr mgr(app.get());
    ASSERT_EQ(mgr.GetProfiles().size(), 1u);
    const UserProfile& r = *mgr.GetProfiles()[0];
    EXPECT_TRUE(r.mSeenTutorial);
    EXPECT_EQ(r.mNumBossesKilled, 0);
    EXPECT_EQ(r.mAbyssBoss, -1);
    EXPECT_TRUE(r.mExpeditionOpen);
    EXPECT_EQ(r.mBestDepth, 2147483647);
    EXPECT_EQ(r.mLastWpmIndex, 0);
    EXPECT_NE(r.mSeed, 0);
    // Reading a profile writes its space-bar setting back.
    EXPECT_EQ(StoredText("Bo", "SpacePauses"), std::string("\0\0\0\0", 4));
}

TEST_F(ProfileMgrTest, NamesMatchWithoutLetterCaseExceptForTheDefaultUser)
{
    StoreUser("Bob", 0);
    StoreUser("Ann", 1);
    UserProfileMgr mgr(app.get());
    EXPECT_EQ(mgr.FindUserProfile("bob"), mgr.GetUserProfile("BOB"));
    ASSERT_NE(mgr.FindUserProfile("bob"), nullptr);
    EXPECT_EQ(mgr.FindUserProfile("bob")->mName, "Bob");
    EXPECT_EQ(mgr.FindUserProfile("Carl"), nullptr);
    EXPECT_FALSE(mgr.RegisterDefaultUserName("bob"));
    EXPECT_TRUE(mgr.RegisterDefaultUserName("Ann"));
    EXPECT_EQ(mgr.GetDefaultUserName(), "Ann");
    EXPECT_EQ(mgr.GetDefaultUserNumber(), 1);
}

TEST_F(ProfileMgrTest, FreeUserNumberIsTheLowestUnused)
{
    StoreUser("C", 3);
    StoreUser("A", 0);
    StoreUser("B", 1);
    UserProfileMgr mgr(app.get());
    EXPECT_EQ(mgr.GetFreeUserNumber(), 2);
}

TEST_F(ProfileMgrTest, UnacceptableNamesAreNeverStored)
{
    const std::pair<const char*, bool> cases[] = {{"Ann", true},    {"  ", false},   {"", false},
                                                  {"a^b", false},  {"a\\b", false}, {"a/b", false},
                                                  {"Mary Lou", true}};
    for (const auto& [name, ok] : cases)
        EXPECT_EQ(UserProfileMgr::IsAcceptableUserName(name), ok) << name;

    UserProfile p(app.get());
    p.mName = "x\\y";
    UserProfileMgr mgr(app.get());
    mgr.WriteUserProfileToRegistry(&p, false, false);
    EXPECT_FALSE(store.KeyExists(std::string(PROGRAM_KEY) + "\\Users\\x"));
    EXPECT_FALSE(std::filesystem::exists(Zant::UserDataFilePath(0)));
}

TEST_F(ProfileMgrTest, DeletingTheCurrentUserClearsItAndItsFiles)
{
    StoreUser("Ann", 0);
    StoreUser("Bob", 1);
    UserProfileMgr mgr(app.get());
    app->mCurProfile = mgr.GetUserProfile("Ann");
    ASSERT_NE(app->mCurProfile, nullptr);
    ASSERT_TRUE(std::filesystem::exists(Zant::UserDataFilePath(0)));

    mgr.DeregisterUserProfile("Ann");
    EXPECT_EQ(app->mCurProfile, nullptr);
    EXPECT_EQ(mgr.FindUserProfile("Ann"), nullptr);
    EXPECT_FALSE(std::filesystem::exists(Zant::UserDataFilePath(0)));
    EXPECT_FALSE(store.KeyExists(std::string(PROGRAM_KEY) + "\\Users\\Ann"));
    EXPECT_NE(mgr.GetUserProfile("Bob"), nullptr);
}

TEST_F(ProfileMgrTest, AUserWhoseKeyCannotBeDeletedStays)
{
    StoreUser("Ann", 0);
    UserProfileMgr mgr(app.get());
    store.SetFailWrites(true);
    mgr.DeregisterUserProfile("Ann");
    store.SetFailWrites(false);
    EXPECT_NE(mgr.FindUserProfile("Ann"), nullptr);
    EXPECT_TRUE(std::filesystem::exists(Zant::UserDataFilePath(0)));
}

TEST_F(ProfileMgrTest, ReplacingAListedProfileMovesTheCurrentPointer)
{
    UserProfileMgr mgr(app.get());
    auto* first = new UserProfile(app.get());
    first->mName = "Ann";
    mgr.AddUserProfile(first);
    app->mCurProfile = first;
    auto* second = new UserProfile(app.get());
    second->mName = "Ann";
    mgr.AddUserProfile(second);
    EXPECT_EQ(mgr.GetProfiles().size(), 1u);
    EXPECT_EQ(app->mCurProfile, second);
}

TEST_F(ProfileMgrTest, ADamagedDataFileIsRefusedAndOtherPlayersStayUsable)
{
    StoreUser("Ann", 0);
    StoreUser("Bob", 1);
    const std::string path = Zant::UserDataFilePath(0);
    const std::string good = TestSupport::ReadFile(path);
    const std::string damaged[] = {good.substr(0, good.size() - 1), std::string("\xff\xff" "1.01", 6), ""};
    for (const std::string& bytes : damaged) {
        TestSupport::WriteFile(path, bytes);
        UserProfileMgr mgr(app.get());
        EXPECT_EQ(mgr.GetUserProfile("Ann"), nullptr) << bytes.size() << " bytes";
        // The damaged file is left for the player to rescue, not overwritten.
        EXPECT_EQ(TestSupport::ReadFile(path), bytes);
        UserProfile* bob = mgr.GetUserProfile("Bob");
        ASSERT_NE(bob, nullptr);
        EXPECT_EQ(bob->mVersion, "1.01");
    }
}

TEST_F(ProfileMgrTest, AProfileSurvivesAProgramRestart)
{
    {
        UserProfileMgr mgr(app.get());
        auto* p = new UserProfile(app.get());
        p->mName = "Ann";
        p->mUserNumber = mgr.GetFreeUserNumber();
        p->SetCurrentMode(1, 3400, 6);
        p->AddModeStat3(1, 5, 42);
        p->AddLessonStat2(97, 3);
        p->mLessonResult[3] = 1;
        p->AddWpm(38);
        p->SetSavedGame(true, 2, 3400, 0.3, 5, 1, 6);
        p->mSavedSites = {{0, 4}};
        mgr.AddUserProfile(p);
        mgr.WriteUserProfileToRegistry(p, false, false);
        ASSERT_TRUE(mgr.RegisterDefaultUserName("Ann"));
    }
    // A new application object and manager, as after a restart.
    app = std::make_unique<Zant::WinBTApp>();
    UserProfileMgr mgr(app.get());
    EXPECT_EQ(mgr.GetDefaultUserName(), "Ann");
    UserProfile* r = mgr.GetUserProfile(mgr.GetDefaultUserName());
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->mModes[1].mBestScore, 3400);
    EXPECT_EQ(r->mModes[1].mLevels[5].Last(3), 42);
    EXPECT_EQ(r->GetLessonAverage2(3), 97);
    EXPECT_EQ(r->mLessonResult[3], 1);
    EXPECT_EQ(r->GetAverageWpm(), 38);
    EXPECT_EQ(r->mSavedScore, 3400);
    EXPECT_EQ(r->mSavedDifficulty, 1);
    EXPECT_DOUBLE_EQ(r->mSavedCharge, 0.3);
    EXPECT_EQ(r->mSavedSites, (std::vector<std::pair<int, int>>{{0, 4}}));
}

} // namespace ProfileTests
