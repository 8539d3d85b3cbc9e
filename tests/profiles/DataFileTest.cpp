// The player's data file: its exact layout, how a short or damaged file is read, and
// the saved score across a restart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/util/Buffer.h"
#include "tests/profiles/ProfileFixture.h"
#include "tests/support/TestSupport.h"

using Zant::Buffer;
using Zant::StoredFileState;
using Zant::UserProfile;

namespace ProfileTests {

namespace {

// The strings of a data file.
std::vector<std::string> Strings(const Buffer& file)
{
    Buffer copy;
    copy.SetData(file.GetDataPtr(), static_cast<size_t>(file.GetDataLen()));
    std::vector<std::string> strings;
    while (!copy.AtEnd())
        strings.push_back(copy.ReadString());
    return strings;
}

// A data file of the given strings.
Buffer FileOf(const std::vector<std::string>& strings)
{
    Buffer file;
    for (const std::string& s : strings)
        file.WriteString(s);
    return file;
}

// Row starts (0-based string index) of the layout.
constexpr size_t LESSON_STATS = 1 + 6 * 424 + 19;
constexpr size_t TREASURE_POINTS = LESSON_STATS + 19 * 12;
constexpr size_t SAVED_LIVES = TREASURE_POINTS + 12;

} // namespace

class DataFileTest : public ProfileFixture {
protected:
    // A profile whose every stored field has a value of its own.
    void Fill(UserProfile& p)
    {
        int n = 1;
        for (auto& mode : p.mModes) {
            mode.mBestLevel = n++;
            mode.mBestScore = n++;
            mode.mLastLevel = n++;
            mode.mLastScore = n++;
            for (auto& level : mode.mLevels)
                for (int& v : level.mValues)
                    v = n++;
        }
        for (int& r : p.mLessonResult)
            r = n++ % 3 - 1;
        for (auto& lesson : p.mLessonStats)
            for (int& v : lesson.mValues)
                v = -(n++);
        p.mBestTreasurePoints = 7001;
        p.mGameTreasures = {1, 2, 3, 4, 5, 6};
        p.mGameSecretItems = {7, 8, 9, 10};
        p.mBestTreasureStreak = 17;
        p.mSavedLives = 2;
        p.mSavedScore = 4321;
        p.mSavedCharge = 0.75;
        p.mSavedLevelIndex = 104;
        p.mSavedDifficulty = 3;
        p.mSavedLevel = 9;
        p.mSavedTotals = {11, 12, 13, 14};
        p.mSavedSites = {{1, 2}, {3, 4}};
        p.mSavedSiteNumbers = {5, 6, 7};
        p.mSavedTotal2 = 99000;
        p.mBossKills = {1, 0, 2, 3};
    }

    void ExpectSameData(const UserProfile& a, const UserProfile& b)
    {
        EXPECT_EQ(a.mModes, b.mModes);
        EXPECT_EQ(a.mLessonResult, b.mLessonResult);
        EXPECT_EQ(a.mLessonStats, b.mLessonStats);
        EXPECT_EQ(a.mBestTreasurePoints, b.mBestTreasurePoints);
        EXPECT_EQ(a.mGameTreasures, b.mGameTreasures);
        EXPECT_EQ(a.mGameSecretItems, b.mGameSecretItems);
        EXPECT_EQ(a.mBestTreasureStreak, b.mBestTreasureStreak);
        EXPECT_EQ(a.mSavedLives, b.mSavedLives);
        EXPECT_EQ(a.mSavedScore, b.mSavedScore);
        EXPECT_EQ(a.mSavedCharge, b.mSavedCharge);
        EXPECT_EQ(a.mSavedLevelIndex, b.mSavedLevelIndex);
        EXPECT_EQ(a.mSavedDifficulty, b.mSavedDifficulty);
        EXPECT_EQ(a.mSavedLevel, b.mSavedLevel);
        EXPECT_EQ(a.mSavedTotals, b.mSavedTotals);
        EXPECT_EQ(a.mSavedSites, b.mSavedSites);
        EXPECT_EQ(a.mSavedSiteNumbers, b.mSavedSiteNumbers);
        EXPECT_EQ(a.mSavedTotal2, b.mSavedTotal2);
        EXPECT_EQ(a.mBossKills, b.mBossKills);
    }
};

TEST_F(DataFileTest, FreshPlayerFileHasItsKnownSize)
{
    UserProfile fresh(app.get());
    fresh.mSavedLevel = 0;
    Buffer file;
    fresh.WriteData(file, true);
    EXPECT_EQ(Strings(file).size(), 2821u);
    EXPECT_EQ(file.GetDataLen(), 8496);
    const std::vector<std::string> strings = Strings(file);
    EXPECT_EQ(strings[0], "1.01");
    EXPECT_EQ(strings[1 + 6 * 424], "-1"); // first lesson result: never finished
    EXPECT_EQ(strings[SAVED_LIVES + 2], "-100"); // charge -1.0
}

TEST_F(DataFileTest, EveryFieldSurvivesARoundTripAndListsAreNotDoubled)
{
    UserProfile written(app.get());
    Fill(written);
    Buffer file;
    written.WriteData(file, true);
    const std::vector<std::string> strings = Strings(file);
    ASSERT_EQ(strings.size(), 2821u + 2 * 2 + 3);
    EXPECT_EQ(strings[SAVED_LIVES + 2], "75");
    EXPECT_EQ(strings[SAVED_LIVES + 10], "2"); // pair count
    EXPECT_EQ(strings[SAVED_LIVES + 15], "3"); // number count

    UserProfile read(app.get());
    for (int pass = 0; pass < 2; ++pass) {
        file.SeekFront();
        ASSERT_EQ(read.ReadData(file), StoredFileState::Read);
    }
    ExpectSameData(written, read);
    EXPECT_EQ(read.mLastSavedScore, 4321);
}

TEST_F(DataFileTest, ChargeIsKeptInWholeHundredths)
{
    const std::pair<double, std::string> cases[] = {{0.999, "99"}, {-1.0, "-100"}, {0.0, "0"}, {1.0, "100"}};
    for (const auto& [charge, text] : cases) {
        UserProfile p(app.get());
        p.mSavedCharge = charge;
        Buffer file;
        p.WriteData(file, true);
        EXPECT_EQ(Strings(file)[SAVED_LIVES + 2], text);
        UserProfile back(app.get());
        file.SeekFront();
        ASSERT_EQ(back.ReadData(file), StoredFileState::Read);
        EXPECT_DOUBLE_EQ(back.mSavedCharge, std::stoi(text) * 0.01);
    }
}

TEST_F(DataFileTest, ShortFilesOfEarlierVersionsKeepWhatTheyHold)
{
    UserProfile full(app.get());
    Fill(full);
    Buffer complete;
    full.WriteData(complete, true);
    std::vector<std::string> strings = Strings(complete);
    // Versions before this one wrote fewer groups.
    strings[0] = "1.00";
    auto prefix = [&](size_t n) { return std::vector<std::string>(strings.begin(), strings.begin() + long(n)); };

    struct Case {
        const char* what;
        std::vector<std::string> file;
        StoredFileState result;
        bool lessonsKept;
        bool savedGroupRead; // false: untouched (stays at the marker), or -1 when cut inside
        int savedLives;
    };
    const Case cases[] = {
        {"old version only", {"0.47"}, StoredFileState::Old, false, false, 55},
        {"version only", {"1.00"}, StoredFileState::Read, false, false, 55},
        {"version 0.48 only", {"0.48"}, StoredFileState::Read, false, false, 55},
        {"cut inside the lesson records", prefix(LESSON_STATS + 100), StoredFileState::Read, false, false, 55},
        {"ends after the last lesson value", prefix(TREASURE_POINTS), StoredFileState::Read, true, false, 55},
        {"cut inside the saved group", prefix(SAVED_LIVES + 1), StoredFileState::Read, true, true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UserProfile p(app.get());
        p.mSavedLives = 55; // a marker: untouched groups keep it
        p.mSavedDifficulty = 55;
        p.mBestTreasurePoints = 9;
        Buffer file = FileOf(c.file);
        EXPECT_EQ(p.ReadData(file), c.result);
        EXPECT_EQ(p.mVersion, c.file[0]);
        EXPECT_EQ(p.mBestTreasurePoints, c.savedGroupRead ? 7001 : 0);
        EXPECT_EQ(p.mLessonStats, c.lessonsKept ? full.mLessonStats : std::vector<Zant::StatRecord>(19));
        EXPECT_EQ(p.mSavedLives, c.savedLives);
        EXPECT_EQ(p.mSavedDifficulty, c.savedGroupRead ? -1 : 55);
        if (c.savedGroupRead) {
            EXPECT_EQ(p.mSavedCharge, -1.0);
        }
    }
}

// This version writes every group, so its file cut anywhere (a power cut, a full
// disk) is damage: the values it lacks would read as 0 and be written back as 0.
TEST_F(DataFileTest, AFileOfThisVersionThatEndsEarlyIsRefusedWithoutChangingTheProfile)
{
    UserProfile full(app.get());
    Fill(full);
    Buffer complete;
    full.WriteData(complete, true);
    const std::vector<std::string> strings = Strings(complete);
    auto prefix = [&](size_t n) { return std::vector<std::string>(strings.begin(), strings.begin() + long(n)); };
    auto withVersion = [](std::vector<std::string> file, const char* version) {
        file[0] = version;
        return file;
    };
    std::vector<std::string> sitesPromised = strings;
    sitesPromised[SAVED_LIVES + 10] = "3"; // one pair more than the file holds

    struct Case {
        const char* what;
        std::vector<std::string> file;
    };
    const Case cases[] = {
        {"version only", {"1.01"}},
        {"cut inside the mode records", prefix(1000)},
        {"ends after the last lesson value", prefix(TREASURE_POINTS)},
        {"cut inside the saved group", prefix(SAVED_LIVES + 1)},
        {"cut inside the site list", prefix(SAVED_LIVES + 12)},
        {"without the boss kills", prefix(strings.size() - 4)},
        {"one boss kill short", prefix(strings.size() - 1)},
        {"a site list longer than the file", sitesPromised},
        {"a later version, cut", withVersion(prefix(strings.size() - 1), "2.5")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UserProfile p(app.get());
        Fill(p);
        p.mVersion = "before";
        Buffer file = FileOf(c.file);
        EXPECT_EQ(p.ReadData(file), StoredFileState::Damaged);
        EXPECT_EQ(p.mVersion, "before");
        ExpectSameData(p, full);
    }
    // Whole, it reads; with strings after its last group too (a later version's).
    for (const std::vector<std::string>& whole : {strings, withVersion(strings, "2.5")}) {
        std::vector<std::string> longer = whole;
        longer.push_back("7");
        for (const auto& file : {whole, longer}) {
            UserProfile p(app.get());
            Buffer buffer = FileOf(file);
            EXPECT_EQ(p.ReadData(buffer), StoredFileState::Read);
            ExpectSameData(p, full);
        }
    }
}

TEST_F(DataFileTest, DamagedFilesAreRefusedWithoutChangingTheProfile)
{
    UserProfile full(app.get());
    Fill(full);
    Buffer complete;
    full.WriteData(complete, true);
    const std::string bytes = complete.ToString();

    std::string lyingLength = bytes;
    // The version string claims far more bytes than the file holds.
    lyingLength[0] = char(0xFF);
    lyingLength[1] = char(0xFF);
    const std::string cutInsideAString = bytes.substr(0, bytes.size() - 1);
    const std::string oddByte = bytes + "x";
    // Every version wrote its number first: zeros or other text there are damage.
    std::vector<std::string> junk = Strings(complete);
    junk[0] = "junk";
    const std::string junkVersion = FileOf(junk).ToString();
    const std::string evenZeros(bytes.size() & ~size_t(1), '\0');
    const std::string oddZeros(bytes.size() | 1, '\0');
    for (const std::string& damaged : {lyingLength, cutInsideAString, oddByte, junkVersion, evenZeros, oddZeros,
                                       std::string()}) {
        UserProfile p(app.get());
        p.mVersion = "before";
        p.mBestTreasurePoints = 5;
        Buffer file;
        file.SetData(damaged);
        EXPECT_EQ(p.ReadData(file), StoredFileState::Damaged);
        EXPECT_EQ(p.mVersion, "before");
        EXPECT_EQ(p.mBestTreasurePoints, 5);
    }
}

TEST_F(DataFileTest, HugeListCountsEndAtTheEndOfTheFile)
{
    UserProfile full(app.get());
    Buffer complete;
    full.WriteData(complete, true);
    std::vector<std::string> strings = Strings(complete);
    strings[SAVED_LIVES + 10] = "2000000000";
    strings.resize(SAVED_LIVES + 11);
    strings.insert(strings.end(), {"1", "2", "3", "4"});
    // A file of this version that promises more than it holds is damage.
    Buffer current = FileOf(strings);
    UserProfile refused(app.get());
    EXPECT_EQ(refused.ReadData(current), StoredFileState::Damaged);
    EXPECT_TRUE(refused.mSavedSites.empty());
    // An earlier version's file is read as far as it goes.
    strings[0] = "1.00";
    Buffer file = FileOf(strings);
    UserProfile p(app.get());
    ASSERT_EQ(p.ReadData(file), StoredFileState::Read);
    EXPECT_EQ(p.mSavedSites, (std::vector<std::pair<int, int>>{{1, 2}, {3, 4}}));
    EXPECT_TRUE(p.mSavedSiteNumbers.empty());
}

TEST_F(DataFileTest, SavedScoreSurvivesARestartAndAWriteOutsidePlay)
{
    {
        UserProfile p(app.get());
        p.mName = "Ann";
        p.mUserNumber = 4;
        p.SetSavedGame(true, 3, 2500, 0.4, 2, 1, 3);
        Zant::UserProfileMgr mgr(app.get());
        mgr.WriteUserProfileToRegistry(&p, false, false); // a save made while playing
    }
    Zant::UserProfileMgr mgr(app.get());
    UserProfile* p = mgr.GetUserProfile("Ann");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->mSavedScore, 2500);
    // The next level start saves outside play: the file keeps the saved score.
    p->SetSavedGameShort(false, 3, 0, 3, 1, 4);
    EXPECT_EQ(p->mSavedScore, 2500);
    mgr.WriteUserProfileToRegistry(p, true, false);
    Buffer file;
    file.SetData(TestSupport::ReadFile(Zant::UserDataFilePath(4)));
    EXPECT_EQ(Strings(file)[SAVED_LIVES + 1], "2500");
}

} // namespace ProfileTests
