// The two high-score tables: their defaults, entering results, the file users/user.idx
// with its older and damaged forms, and each finished game counting once.
#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/util/Buffer.h"
#include "game/shell/HighScoreTables.h"
#include "tests/profiles/ProfileFixture.h"

using Zant::Buffer;
using Zant::HighScoreEntry;
using Zant::HighScoreTables;
using Zant::UserProfile;
using Zant::UserProfileMgr;

namespace Zant {
void PrintTo(const HighScoreEntry& e, std::ostream* os)
{
    *os << "{" << e.mScore << ", " << e.mDifficulty << ", \"" << e.mName << "\", " << e.mLevel << "}";
}
} // namespace Zant

namespace {

std::vector<int> Scores(const HighScoreTables::Table& table)
{
    std::vector<int> scores;
    for (const HighScoreEntry& e : table)
        scores.push_back(e.mScore);
    return scores;
}

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A table file as the game writes it, from tables of known rows.
std::string TableFile(const std::string& version, const HighScoreTables& tables)
{
    Buffer buffer;
    tables.Write(buffer, version, 100);
    return buffer.ToString();
}

HighScoreTables Defaults()
{
    HighScoreTables t;
    t.SetDefaults();
    return t;
}

} // namespace

TEST(HighScoreTables, DefaultsAreTheListedRows)
{
    struct Row {
        int score, difficulty, level;
    };
    const Row adventure[] = {{500000, 4, 10}, {470000, 4, 9}, {440000, 4, 8}, {410000, 3, 7}, {380000, 3, 6},
                             {350000, 3, 6},  {320000, 2, 6}, {290000, 2, 6}, {260000, 1, 6}, {230000, 1, 6}};
    const HighScoreTables::Table a = HighScoreTables::DefaultAdventure();
    const HighScoreTables::Table b = HighScoreTables::DefaultAbyss();
    for (int row = 0; row < HighScoreTables::NUM_ROWS; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(a[size_t(row)].mScore, adventure[row].score);
        EXPECT_EQ(a[size_t(row)].mDifficulty, adventure[row].difficulty);
        EXPECT_EQ(a[size_t(row)].mLevel, adventure[row].level);
        EXPECT_FALSE(a[size_t(row)].mName.empty());
        EXPECT_EQ(b[size_t(row)].mScore, 2000 - 150 * row);
        EXPECT_EQ(b[size_t(row)].mDifficulty, -1);
        EXPECT_EQ(b[size_t(row)].mLevel, -1);
        EXPECT_FALSE(b[size_t(row)].mName.empty());
    }
}

TEST(HighScoreTables, ResultsAreInsertedWithTheRowsBelowShiftedDown)
{
    struct Case {
        const char* what;
        bool abyss;
        int value;
        int row;
        std::vector<int> after;
    };
    const std::vector<int> adventure = Scores(HighScoreTables::DefaultAdventure());
    const std::vector<int> abyss = Scores(HighScoreTables::DefaultAbyss());
    const Case cases[] = {
        {"between rows 0 and 1", false, 480000, 1,
         {500000, 480000, 470000, 440000, 410000, 380000, 350000, 320000, 290000, 260000}},
        {"equal to the lowest row", false, 230000, 9,
         {500000, 470000, 440000, 410000, 380000, 350000, 320000, 290000, 260000, 230000}},
        {"one below the lowest row", false, 229999, -1, adventure},
        {"above every row", false, 900000, 0,
         {900000, 500000, 470000, 440000, 410000, 380000, 350000, 320000, 290000, 260000}},
        {"abyss: equal to the best", true, 2000, 0, {2000, 2000, 1850, 1700, 1550, 1400, 1250, 1100, 950, 800}},
        {"abyss: below every row", true, 649, -1, abyss},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HighScoreTables t = Defaults();
        const HighScoreEntry entry{c.value, c.abyss ? -1 : 2, "Ann", c.abyss ? -1 : 4};
        EXPECT_EQ(t.Enter(c.abyss, entry), c.row);
        EXPECT_EQ(Scores(c.abyss ? t.mAbyssScores : t.mHighScores), c.after);
        if (c.row >= 0) {
            EXPECT_EQ(t.Get(c.abyss, c.row), entry);
        }
        // The other table is untouched.
        EXPECT_EQ(c.abyss ? t.mHighScores : t.mAbyssScores,
                  c.abyss ? HighScoreTables::DefaultAdventure() : HighScoreTables::DefaultAbyss());
    }
    // The beaten row moves down whole, name and all.
    HighScoreTables t = Defaults();
    const HighScoreEntry second = t.mHighScores[1];
    t.Enter(false, {480000, 0, "Ann", 3});
    EXPECT_EQ(t.mHighScores[2], second);
}

TEST(HighScoreTables, FillerStaysWithinItsRange)
{
    const std::pair<uint32_t, int> cases[] = {
        {0u, 96}, {36u, 132}, {37u, 96}, {0xFFFFFFDCu /* -36 */, 60}, {0x80000000u, 74}, {0x7FFFFFFFu, 117},
    };
    for (const auto& [draw, filler] : cases)
        EXPECT_EQ(HighScoreTables::Filler(draw), filler) << draw;
}

TEST(HighScoreTables, AllRowsRoundTripWithNamesHoldingSpaces)
{
    HighScoreTables written;
    for (int row = 0; row < HighScoreTables::NUM_ROWS; ++row) {
        written.mHighScores[size_t(row)] = {900 - row, row % 5, "Ann Marie " + std::to_string(row), row + 1};
        written.mAbyssScores[size_t(row)] = {90 - row, -1, " Bo  " + std::to_string(row) + " ", -1};
    }
    written.mHighScores[9].mName = "";
    Buffer buffer;
    written.Write(buffer, "1.01", 77);
    HighScoreTables read = Defaults();
    ASSERT_EQ(read.Read(buffer), HighScoreTables::ReadResult::Read);
    EXPECT_EQ(read.mHighScores, written.mHighScores);
    EXPECT_EQ(read.mAbyssScores, written.mAbyssScores);
}

TEST(HighScoreTables, DamagedOrOlderFilesChangeNothing)
{
    HighScoreTables custom = Defaults();
    custom.Enter(false, {700000, 3, "Ann", 9});
    const std::string whole = TableFile("1.01", custom);
    HighScoreTables caret = custom;
    caret.mAbyssScores[4].mName = "^FF0000^Red";
    HighScoreTables overlong = custom;
    overlong.mHighScores[0].mName = std::string(HighScoreTables::MAX_NAME_BYTES + 1, 'a');
    struct Case {
        const char* what;
        std::string bytes;
        HighScoreTables::ReadResult result;
    };
    const Case cases[] = {
        {"empty", "", HighScoreTables::ReadResult::Damaged},
        {"cut inside a string", whole.substr(0, whole.size() - 1), HighScoreTables::ReadResult::Damaged},
        {"cut between rows", whole.substr(0, whole.size() / 2), HighScoreTables::ReadResult::Damaged},
        {"only the version", whole.substr(0, 6), HighScoreTables::ReadResult::Damaged},
        {"a name with colour markup", TableFile("1.01", caret), HighScoreTables::ReadResult::Damaged},
        {"an overlong name", TableFile("1.01", overlong), HighScoreTables::ReadResult::Damaged},
        {"version 0.47", TableFile("0.47", custom), HighScoreTables::ReadResult::Old},
        {"no version number", TableFile("x", custom), HighScoreTables::ReadResult::Damaged},
        {"zeroed", std::string(whole.size(), '\0'), HighScoreTables::ReadResult::Damaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Buffer buffer;
        buffer.SetData(c.bytes);
        HighScoreTables t = Defaults();
        EXPECT_EQ(t.Read(buffer), c.result);
        EXPECT_EQ(t.mHighScores, HighScoreTables::DefaultAdventure());
        EXPECT_EQ(t.mAbyssScores, HighScoreTables::DefaultAbyss());
    }
    // Version 0.48 with a string after the tables is still a table file.
    Buffer buffer;
    buffer.SetData(TableFile("0.48", custom));
    buffer.WriteString("extra");
    HighScoreTables t = Defaults();
    EXPECT_EQ(t.Read(buffer), HighScoreTables::ReadResult::Read);
    EXPECT_EQ(t.mHighScores, custom.mHighScores);
}

// ---- The manager's tables, on disk.

namespace ProfileTests {

class HighScoreFileTest : public ProfileFixture {
protected:
    std::string Path() const { return UserProfileMgr::HighScoreFilePath(); }
    HighScoreTables ReadFile() const
    {
        Buffer buffer;
        buffer.SetData(FileBytes(Path()));
        HighScoreTables t;
        EXPECT_EQ(t.Read(buffer), HighScoreTables::ReadResult::Read);
        return t;
    }
    std::string VersionInFile() const
    {
        Buffer buffer;
        buffer.SetData(FileBytes(Path()));
        return buffer.ReadString();
    }
};

TEST_F(HighScoreFileTest, MissingFileGivesTheDefaultsAndWritesThem)
{
    UserProfileMgr mgr(app.get());
    EXPECT_EQ(mgr.GetHighScore(false, 0), HighScoreTables::DefaultAdventure()[0]);
    EXPECT_EQ(mgr.GetHighScore(true, 9), HighScoreTables::DefaultAbyss()[9]);
    EXPECT_EQ(mgr.GetHighScore(true, 10), HighScoreEntry());
    EXPECT_EQ(ReadFile().mHighScores, HighScoreTables::DefaultAdventure());
    EXPECT_EQ(VersionInFile(), "1.01");
}

TEST_F(HighScoreFileTest, OlderOrDamagedFilesAreReplacedByTheDefaultsAndProfilesStay)
{
    HighScoreTables custom = Defaults();
    custom.Enter(true, {5000, -1, "Ann", -1});
    const std::string whole = TableFile("1.01", custom);
    const std::string profileFile = Zant::UserDataFilePath(0);
    for (const std::string& bytes : {TableFile("0.47", custom), whole.substr(0, whole.size() - 3)}) {
        WriteFileBytes(Path(), bytes);
        WriteFileBytes(profileFile, "not a game file");
        UserProfileMgr mgr(app.get());
        EXPECT_EQ(mgr.GetHighScore(true, 0), HighScoreTables::DefaultAbyss()[0]);
        EXPECT_EQ(VersionInFile(), "1.01");
        EXPECT_EQ(ReadFile().mAbyssScores, HighScoreTables::DefaultAbyss());
        EXPECT_EQ(FileBytes(profileFile), "not a game file");
    }
    // A whole file is read as it stands.
    WriteFileBytes(Path(), whole);
    UserProfileMgr mgr(app.get());
    EXPECT_EQ(mgr.GetHighScore(true, 0).mScore, 5000);
}

TEST_F(HighScoreFileTest, AFinishedGameIsEnteredOnceAndKept)
{
    UserProfile ann(app.get());
    ann.mName = "Ann Lee";
    UserProfile bo(app.get());
    bo.mName = "Bo";
    bo.mUserNumber = 1;
    {
        UserProfileMgr mgr(app.get());
        // Nothing recorded yet: a game start offers nothing.
        ann.mScore = 999999;
        EXPECT_EQ(mgr.EnterResult(&ann), -1);

        // Bo's game ends with the best score; Ann's game equals it.
        bo.SetCurrentMode(2, 480000, 5);
        mgr.WriteUserProfileToRegistry(&bo, true, false);
        ann.SetCurrentMode(3, 480000, 6);
        EXPECT_EQ(mgr.EnterResult(&ann), 1);
        EXPECT_EQ(mgr.GetHighScore(false, 1), (HighScoreEntry{480000, 3, "Ann Lee", 6}));
        EXPECT_EQ(mgr.GetHighScore(false, 2).mName, "Bo");

        // Ann's next game start offers the same game again: nothing moves, Bo stays.
        mgr.WriteUserProfileToRegistry(&ann, true, false);
        EXPECT_EQ(mgr.EnterResult(&ann), -1);
        EXPECT_EQ(mgr.GetHighScore(false, 2).mName, "Bo");
        EXPECT_EQ(mgr.GetHighScore(false, 3).mScore, 470000);

        // Mid-game saves do not enter anything.
        bo.SetCurrentMode(0, 490000, 2);
        mgr.WriteUserProfileToRegistry(&bo, false, false);
        EXPECT_EQ(mgr.GetHighScore(false, 1).mScore, 480000);

        // An abyss game enters its depth.
        ann.mDepth = 2100;
        ann.SetCurrentMode(UserProfile::ABYSS_MODE_RECORD, 1234, 3);
        EXPECT_EQ(mgr.EnterResult(&ann), 0);
        EXPECT_EQ(mgr.GetHighScore(true, 0), (HighScoreEntry{2100, -1, "Ann Lee", -1}));
    }
    // Every change was saved.
    UserProfileMgr restarted(app.get());
    EXPECT_EQ(restarted.GetHighScore(false, 1).mName, "Ann Lee");
    EXPECT_EQ(restarted.GetHighScore(false, 2).mName, "Bo");
    EXPECT_EQ(restarted.GetHighScore(true, 0).mScore, 2100);
}

} // namespace ProfileTests
