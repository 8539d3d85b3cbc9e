// What a game leaves behind, driven like a player through the real application:
// uncharted levels and their saves, a continued game, the high-score rows a game
// takes, the abyss's saved depth, and the default player.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <ostream>

#include "framework/widgets/ListWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/creatures/Shark.h"
#include "game/play/Board.h"
#include "game/common/Config.h"
#include "game/play/Player.h"
#include "game/common/Simulation.h"
#include "game/shell/AbyssModeDialog.h"
#include "game/shell/DeleteUserDialog.h"
#include "game/shell/DifficultyDialog.h"
#include "game/shell/GameOverDialog.h"
#include "game/shell/HintDialog.h"
#include "game/shell/SavedAdventure.h"
#include "game/shell/SelectUserDialog.h"
#include "platform/SettingsStore.h"
#include "tests/flow/FlowFixture.h"
#include "tests/simulation/SimulationFiles.h"

using namespace Zant;

namespace Zant {
// Rows read in a test's failure message.
void PrintTo(const HighScoreEntry& entry, std::ostream* out)
{
    *out << "{" << entry.mScore << ", " << entry.mDifficulty << ", \"" << entry.mName << "\", " << entry.mLevel << "}";
}
} // namespace Zant

namespace FlowTests {

namespace {

// The rows of a table that hold a player's results.
std::vector<HighScoreEntry> RowsOf(const UserProfileMgr& mgr, bool abyss, const std::string& name)
{
    std::vector<HighScoreEntry> rows;
    for (int row = 0; row < HighScoreTables::NUM_ROWS; ++row)
        if (mgr.GetHighScore(abyss, row).mName == name)
            rows.push_back(mgr.GetHighScore(abyss, row));
    return rows;
}

} // namespace

class SavedGameTest : public FlowFixture {
protected:
    Board* CurrentBoard() { return app->mBoard; }
    Player* Diver() { return app->mBoard != nullptr ? app->mBoard->mPlayer : nullptr; }
    // The level's end as the tally reaches it (the game is recorded), then on to the map.
    void CompleteLevel()
    {
        ASSERT_NE(app->mBoard, nullptr);
        app->mBoard->ShowLevelComplete();
        FinishLevel();
        Run(2);
    }
    // The first running update of the board has saved the level's start.
    void StartPlaying() { Run(3); }
    void EndGameWithSave()
    {
        Press(201);
        ASSERT_EQ(MessageHeader(), "CONFIRM");
        Answer(true);
        ASSERT_NE(app->mMenuScreen, nullptr);
    }
    void ContinueSavedGame()
    {
        Press(100);
        ASSERT_EQ(MessageHeader(), "CONTINUE?");
        Answer(true);
        ASSERT_NE(app->mBoard, nullptr);
    }
    void GameOver()
    {
        ASSERT_NE(app->mBoard, nullptr);
        app->mBoard->mPlayer->mLives = 0;
        app->mBoard->HandlePlayerDeath();
        ASSERT_NE(app->FindDialog(GameOverDialog::DIALOG_ID), nullptr);
    }
    // The sum the endless levels' speeds were raised by, on the first endless level.
    double EndlessSpeedRise() const
    {
        const Config& config = *app->mConfig;
        return config.GetEndlessLevels()[0].Settings.MinSpeed -
               config.GetFixedLevels()[Config::FIRST_ENDLESS_LEVEL].Settings.MinSpeed;
    }
    std::string StoredValue(const std::string& name)
    {
        std::string text;
        app->ReadRegistryString("Users\\" + app->mCurProfile->mName + "\\" + name, text);
        return text;
    }
};

// Every level past the last dive site is one more endless level, and a run
// out there is saved and continued.
TEST_F(SavedGameTest, UnchartedLevelsGoOnPastTheFixedLevelsAndAreContinued)
{
    PlayToSiteSixOnHard();
    PlayOnToTheLastSite();
    ASSERT_EQ(app->mConfig->GetLevel(), 35);
    FinishLevel();
    Run(2000);
    ASSERT_EQ(MessageHeader(), "WARNING!");
    Answer(true);
    app->mWidgetManager->SetFocus(Map());

    // Three uncharted levels: each one more endless level, faster, and the map's
    // bonus for the difficulty (Hard: 20 % a level) grows with them. The map
    // announces the level to come, the first one already 20 % harder.
    double rise = 0.0;
    for (int count = 1; count <= 3; ++count) {
        SCOPED_TRACE(count);
        if (count > 1) {
            CompleteLevel();
            EXPECT_TRUE(Map()->mVisible);
        }
        EXPECT_NEAR(Map()->mBonusPercent, 20.0 * count, 1e-9);
        Type(" ");
        ASSERT_FALSE(Map()->mVisible);
        EXPECT_TRUE(app->mConfig->IsPastFixedLevels());
        EXPECT_EQ(app->mConfig->GetLevel(), Config::ENDLESS_LEVEL);
        EXPECT_EQ(app->mConfig->GetEndlessLevelCount(), count);
        rise += 0.1 * count;
        EXPECT_NEAR(EndlessSpeedRise(), rise, 1e-9);
        StartPlaying();
        EXPECT_EQ(app->mCurProfile->mSavedLevelIndex, WinBTApp::SAVED_ENDLESS_LEVEL_BASE + count);
    }

    // Quit with the save; the program starts again and offers the run.
    EndGameWithSave();
    Restart();
    app->LeaveTitleScreen();
    ContinueSavedGame();
    EXPECT_EQ(app->mDifficulty, 2);
    EXPECT_TRUE(app->mConfig->IsPastFixedLevels());
    EXPECT_EQ(app->mConfig->GetEndlessLevelCount(), 3);
    EXPECT_TRUE(Map()->mLostAtSea);
    // As fast as the three levels played made it: 0.1 + 0.2 + 0.3.
    EXPECT_NEAR(EndlessSpeedRise(), 0.6, 1e-9);

    // The continued run goes on past the fixed levels.
    StartPlaying();
    CompleteLevel();
    EXPECT_NEAR(Map()->mBonusPercent, 80.0, 1e-9);
    Type(" ");
    ASSERT_FALSE(Map()->mVisible);
    EXPECT_TRUE(app->mConfig->IsPastFixedLevels());
    EXPECT_EQ(app->mConfig->GetEndlessLevelCount(), 4);
    EXPECT_NEAR(EndlessSpeedRise(), 1.0, 1e-9);
    EXPECT_FALSE(app->mConfig->IsSpecialLevel());
}

// The numbers of a saved game come from the player's files: stored values far out
// of range, or at odds with each other, are bounded as the game takes them up, and
// the game goes on and is saved again as one the next start offers.
TEST_F(SavedGameTest, AContinuedGameBoundsItsStoredNumbers)
{
    const int big = std::numeric_limits<int>::max();
    const int limit = SavedAdventure::COUNT_LIMIT;
    struct Case {
        const char* what;
        const char* lastLevel; // the store's "NBTL"
        int levelIndex;
        int level;
        int score;
        int lives;
        // What the continued game stands at.
        int count;
        int shownLevel;
        int diverScore;
        int diverLives;
    };
    const Case cases[] = {
        {"in step", "2", 103, 40, 5000, 3, 3, 41, 5000, 3},
        {"NBTL far below", "-1000", 103, 40, 5000, 3, 1, 41, 5000, 3},
        {"NBTL past the level index", "2147483647", 103, 40, 5000, 3, 3, 41, 5000, 3},
        {"the largest index", "2147483646", big, 40, 5000, 3, Config::MAX_ENDLESS_COUNT, 41, 5000, 3},
        {"the largest level, score and lives", "2", 103, big, big, big, 3, limit + 1, limit, limit},
        {"negative lives and score", "2", 103, 40, -7, -1000, 3, 41, 0, 0},
    };
    NewPlayerAtMenu("Ann");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UserProfile* ann = app->mCurProfile;
        ASSERT_NE(ann, nullptr);
        ann->SetSavedGame(true, c.lives, c.score, 0.5, c.levelIndex, 2, c.level);
        ann->mSavedTotals = {big, big, big, big};
        ann->mSavedTotal2 = big;
        app->mProfileMgr->WriteUserProfileToRegistry(ann, false, false);
        Platform::GetSettingsStore().SetString("SOFTWARE\\Vorlix\\Plindor\\Users\\Ann", "NBTL", c.lastLevel);

        Restart();
        app->LeaveTitleScreen();
        Press(100);
        ASSERT_EQ(MessageHeader(), "CONTINUE?");
        EXPECT_EQ(Message()->mDialogLines, "You have a saved game\non level " + std::to_string(c.shownLevel) +
                                               " in uncharted waters\nat the Hard difficulty setting.\nWould you "
                                               "like to continue it?\n");
        Answer(true);
        ASSERT_NE(app->mBoard, nullptr);
        EXPECT_EQ(app->mConfig->GetEndlessLevelCount(), c.count);
        EXPECT_NEAR(EndlessSpeedRise(), 0.1 * c.count * (c.count + 1) / 2, 1e-6);
        EXPECT_EQ(Map()->mLevelNum, c.shownLevel);
        EXPECT_EQ(Diver()->mScore, c.diverScore);
        EXPECT_EQ(Diver()->mLives, c.diverLives);
        EXPECT_EQ(app->mRunTypingTime, limit);

        // Played on: a level more, points added, and saved as one to continue.
        StartPlaying();
        Diver()->AddScore(1000);
        CompleteLevel();
        Type(" ");
        ASSERT_FALSE(Map()->mVisible);
        EXPECT_EQ(app->mConfig->GetEndlessLevelCount(), c.count + 1);
        StartPlaying();
        EXPECT_EQ(app->mCurProfile->mSavedLevelIndex, WinBTApp::SAVED_ENDLESS_LEVEL_BASE + c.count + 1);
        EndGameWithSave();
        Restart();
        app->LeaveTitleScreen();
        ContinueSavedGame();
        EXPECT_EQ(app->mConfig->GetEndlessLevelCount(), std::min(c.count + 1, Config::MAX_ENDLESS_COUNT));
        EndGameWithSave();
    }
}

// The map's course comes from the player's file too: a dot far off the chart is kept
// where drawing it centred stays within an int.
TEST_F(SavedGameTest, AContinuedCourseIsBoundedToDrawableDots)
{
    const int big = std::numeric_limits<int>::max();
    const int small = std::numeric_limits<int>::min();
    const int limit = SavedAdventure::COORDINATE_LIMIT;
    NewPlayerAtMenu("Ann");
    UserProfile* ann = app->mCurProfile;
    ann->SetSavedGame(true, 2, 1000, 0.0, 6, 2, 2);
    ann->mSavedSites = {{big, small}, {small, big}, {150, 70}};
    ann->mSavedSiteNumbers = {0, 1, 6};
    app->mProfileMgr->WriteUserProfileToRegistry(ann, false, false);
    Restart();
    app->LeaveTitleScreen();
    ContinueSavedGame();
    EXPECT_EQ(Map()->mRouteDots, (std::vector<std::pair<int, int>>{{limit, -limit}, {-limit, limit}, {150, 70}}));

    // The level done, the map with its course on screen.
    for (const char* name : {"point", "point_green", "mapship"})
        for (int index = 0; index < GameAssets::NUM_IMAGES; ++index)
            if (std::string(GameAssets::IMAGE_NAMES[index]) == name)
                app->SetImage(index, CreatureTests::MakeCodedImage(index));
    StartPlaying();
    CompleteLevel();
    ASSERT_TRUE(Map()->mVisible);
    ASSERT_FALSE(Map()->mLostAtSea);
    Map()->Draw(&graphics);
}

// A simulated game over leaves its dialog at the end of the board's update,
// not while the update still reads the level configuration (ASan would stop here).
TEST_F(SavedGameTest, ASimulatedGameOverEndsTheGameAfterTheUpdate)
{
    SimulationTests::SimulationFolder folder;
    folder.WriteFile("SIMULATION_CONFIG.txt", "1\n1\n60\n95\n-1\n1\n-1\n");
    ASSERT_TRUE(Simulation().OpenResultFiles());
    Simulation().ReadSimulationConfig(false);
    ASSERT_TRUE(Simulation().IsOn());
    StartProfiles();
    app->StartSimulatedRun();
    Board* board = app->mBoard;
    ASSERT_NE(board, nullptr);
    Run(3);
    ASSERT_EQ(app->mBoard, board);

    // The last diver comes up out of the water, while a shark still waits off the edge.
    board->mPlayer->mLives = 0;
    board->mPlayer->mState = Player::RISING;
    board->mPlayer->mY = -1000.0;
    auto* shark = new Shark(app.get());
    shark->SetWord("KELP");
    shark->mX = 700.0;
    board->mSharks.push_back(shark);
    ASSERT_FALSE(shark->mActive);
    Run(1);

    EXPECT_TRUE(board->mGameOver);
    // The game-over dialog was left: the simulation went on with a new game.
    EXPECT_EQ(app->FindDialog(GameOverDialog::DIALOG_ID), nullptr);
    EXPECT_NE(app->mBoard, board);
}

// A continued game is the game as it was when the saved level started: its
// score and lives (however often it is ended and continued: the points that earn
// an extra life earn it once) and its Dozav Odaziz charge.
TEST_F(SavedGameTest, AContinuedGameResumesAsTheSavedLevelStarted)
{
    NewPlayerAtMenu("Ann");
    Press(100);
    Press(602);
    StartPlaying();
    Diver()->SetScore(1000);
    Diver()->mCharge = 0.5;
    FinishLevel();
    Run(2);
    Type(" ");
    ASSERT_EQ(app->mConfig->GetLevel(), 1);
    StartPlaying();
    const int lives = Diver()->mLives;

    struct Round {
        const char* what;
        int livesChange; // +1: the level's points earn an extra life
        bool restart;
    };
    const Round rounds[] = {
        {"a life earned", 1, false}, {"a life lost", -1, false}, {"a life earned, restarted", 1, true}};
    for (const Round& round : rounds) {
        SCOPED_TRACE(round.what);
        // Points and charge gained in the level, then the game ended and continued.
        Diver()->SetScore(Diver()->mScore + 800);
        if (round.livesChange > 0)
            Diver()->AddScore(Diver()->mNextExtraLife - Diver()->mScore);
        else
            Diver()->mLives += round.livesChange;
        ASSERT_EQ(Diver()->mLives, lives + round.livesChange);
        Diver()->mCharge = 0.9;
        EndGameWithSave();
        if (round.restart) {
            Restart();
            app->LeaveTitleScreen();
        }
        ContinueSavedGame();
        EXPECT_EQ(app->mConfig->GetLevel(), 1);
        EXPECT_EQ(Diver()->mScore, 1000);
        EXPECT_EQ(Diver()->mLives, lives);
        EXPECT_DOUBLE_EQ(Diver()->mCharge, 0.5);
        StartPlaying();
    }

    // A save without a charge (as older saves are) restores none, never a negative one.
    EndGameWithSave();
    app->mCurProfile->mSavedCharge = -1.0;
    ContinueSavedGame();
    EXPECT_EQ(Diver()->mCharge, 0.0);
}

// A game takes one high-score row, with its final score.
TEST_F(SavedGameTest, AGameTakesOneHighScoreRowWithItsFinalScore)
{
    // A level done, the next one started, then game over.
    NewPlayerAtMenu("Ann");
    Press(100);
    Press(600);
    StartPlaying();
    Diver()->SetScore(300000);
    CompleteLevel();
    Type(" ");
    StartPlaying();
    Diver()->SetScore(310000);
    GameOver();
    Press(GameOverDialog::MAIN_MENU_ID);
    EXPECT_EQ(RowsOf(*app->mProfileMgr, false, "Ann"), (std::vector<HighScoreEntry>{{310000, 0, "Ann", 2}}));

    // The next game's start offers the last game again: nothing changes.
    Press(100);
    Press(601);
    StartPlaying();
    EXPECT_EQ(RowsOf(*app->mProfileMgr, false, "Ann").size(), 1u);

    // Another player: End game, Continue, game over. One game, one row.
    EndGameWithSave();
    app->ShowNewUserDialog(WinBTApp::NEW_USER_PROMPT);
    CreatePlayer("Bob");
    Answer(false);
    Press(100);
    Press(600);
    StartPlaying();
    Diver()->SetScore(350000);
    CompleteLevel();
    Type(" ");
    StartPlaying();
    Diver()->SetScore(355000);
    EndGameWithSave();
    ContinueSavedGame();
    StartPlaying();
    EXPECT_TRUE(RowsOf(*app->mProfileMgr, false, "Bob").empty());
    Diver()->SetScore(362000);
    GameOver();
    Press(GameOverDialog::MAIN_MENU_ID);
    EXPECT_EQ(RowsOf(*app->mProfileMgr, false, "Bob"), (std::vector<HighScoreEntry>{{362000, 0, "Bob", 2}}));
    EXPECT_EQ(RowsOf(*app->mProfileMgr, false, "Ann").size(), 1u);
}

// A saved game that a new adventure replaces ends there, with the score it
// was saved with; it is entered once.
TEST_F(SavedGameTest, ASavedGameReplacedByANewOneIsEnteredOnce)
{
    NewPlayerAtMenu("Ann");
    Press(100);
    Press(601);
    StartPlaying();
    Diver()->SetScore(340000);
    CompleteLevel();
    Type(" ");
    StartPlaying();
    Diver()->SetScore(345000);
    EndGameWithSave();
    EXPECT_TRUE(RowsOf(*app->mProfileMgr, false, "Ann").empty());

    Press(100);
    ASSERT_EQ(MessageHeader(), "CONTINUE?");
    Answer(false);
    Press(600);
    StartPlaying();
    EXPECT_EQ(RowsOf(*app->mProfileMgr, false, "Ann"), (std::vector<HighScoreEntry>{{340000, 1, "Ann", 2}}));
    // The new game's first level saves nothing to continue; ending it offers nothing more.
    EndGameWithSave();
    Press(100);
    EXPECT_NE(app->FindDialog(DifficultyDialog::DIALOG_ID), nullptr);
    Press(600);
    EXPECT_EQ(RowsOf(*app->mProfileMgr, false, "Ann").size(), 1u);
}

// The abyss keeps its best depth and kills at every 400-ft mark, and a dive
// cut short by closing the window is recorded.
TEST_F(SavedGameTest, AnAbyssDiveIsSavedEveryFourHundredFeet)
{
    NewPlayerAtMenu("Ann");
    app->mCurProfile->mSeenTutorial = true;
    Press(101);
    Board* board = CurrentBoard();
    ASSERT_NE(board, nullptr);
    ASSERT_TRUE(board->IsAbyss());
    StartPlaying();
    for (int i = 0; i < 3; ++i)
        app->mCurProfile->AddSharkKill(true);
    EXPECT_EQ(StoredValue("NumAbyssSharksKilled"), "0");
    // The diver in place, sinking, with no wave to meet on the way.
    board->SetAbyssDepth(392);
    board->mPlayer->mState = Player::PLAYING;
    board->mPlayer->mY = 235.0;
    board->mPlayer->SetReadyForWave(true);
    // The dive's points so far, from its kills.
    board->mPlayer->AddScore(2500);
    for (int update = 0; update < 3000 && board->mAbyssDepth < 400; ++update) {
        board->mWaveCleared = false;
        Run(1);
    }
    ASSERT_GE(board->mAbyssDepth, 400);
    ASSERT_LT(board->mAbyssDepth, 800);
    EXPECT_EQ(StoredValue("AnnoDomini"), "400");
    EXPECT_EQ(StoredValue("NumAbyssSharksKilled"), "3");
    EXPECT_EQ(app->mCurProfile->mBestDepth, 400);
    // The score is kept with them, in the player's file: a dive killed here shows
    // it as the highest abyss score.
    UserProfile onDisk(app.get());
    onDisk.mUserNumber = app->mCurProfile->mUserNumber;
    ASSERT_EQ(onDisk.LoadDataFromDisk(), StoredFileState::Read);
    const int kept = onDisk.mModes[UserProfile::ABYSS_MODE_RECORD].mBestScore;
    EXPECT_GE(kept, 2500);
    EXPECT_LE(kept, board->mPlayer->mScore);
}

TEST_F(SavedGameTest, ClosingTheWindowRecordsTheRunningDive)
{
    NewPlayerAtMenu("Ann");
    Press(101);
    Board* board = CurrentBoard();
    ASSERT_NE(board, nullptr);
    Run(3);
    board->mAbyssDepth = 1250;
    for (int i = 0; i < 5; ++i)
        app->mCurProfile->AddSharkKill(true);

    app->HandleWindowMessage(Platform::Msg::Close, 0, 0);
    app->ProcessDeferredMessages();
    ASSERT_TRUE(app->mShutdown.load());

    Restart();
    ASSERT_NE(app->mCurProfile, nullptr);
    EXPECT_EQ(app->mCurProfile->mBestDepth, 1250);
    EXPECT_EQ(app->mCurProfile->mNumAbyssSharksKilled, 5);
    EXPECT_EQ(app->mCurProfile->mModes[UserProfile::ABYSS_MODE_RECORD].mLastLevel, 1250);
    EXPECT_EQ(RowsOf(*app->mProfileMgr, true, "Ann"), (std::vector<HighScoreEntry>{{1250, -1, "Ann", -1}}));
}

// The abyss welcome comes with a dive from the surface, and only then.
TEST_F(SavedGameTest, TheAbyssWelcomeGreetsADiveFromTheSurface)
{
    NewPlayerAtMenu("Ann");
    app->mCurProfile->mSeenTutorial = true;
    struct Case {
        int best;
        bool welcomed;
    };
    for (const Case& c : {Case{0, true}, Case{1250, false}}) {
        SCOPED_TRACE(c.best);
        app->mCurProfile->mBestDepth = c.best;
        Press(101);
        if (auto* dialog = dynamic_cast<AbyssModeDialog*>(app->FindDialog(AbyssModeDialog::DIALOG_ID))) {
            dialog->mList->SetSelect(dialog->mList->GetLineCount() - 1);
            dialog->ButtonDepress(AbyssModeDialog::DIALOG_ID + Dialog::ID_YES);
        }
        ASSERT_NE(app->mBoard, nullptr);
        EXPECT_EQ(app->mBoard->mStartDepth, c.best / 400 * 400);
        bool welcomed = false;
        for (int update = 0; update < 400 && !welcomed; ++update) {
            Run(1);
            auto* hint = dynamic_cast<HintDialog*>(app->FindDialog(HintDialog::ID));
            welcomed = hint != nullptr && hint->mDialogLines.rfind("Welcome to abyss mode!", 0) == 0;
        }
        EXPECT_EQ(welcomed, c.welcomed);
        if (welcomed) {
            EXPECT_GT(app->mBoard->mAbyssDepth, 0); // the descent had counted feet already
        }
        if (app->FindDialog(HintDialog::ID) != nullptr)
            Press(HintDialog::ID + Dialog::ID_YES);
        app->EndGame(false);
        app->FlushWidgetDeletions();
    }
}

// An abyss dive's end leaves the saved adventure alone.
TEST_F(SavedGameTest, AnAbyssGameOverKeepsTheSavedAdventure)
{
    NewPlayerAtMenu("Ann");
    Press(100);
    Press(600);
    StartPlaying();
    Diver()->SetScore(5000);
    FinishLevel();
    Run(2);
    Type(" ");
    StartPlaying();
    app->mRunTypingTime = 1234;
    app->mRunLevelTotal8 = 77;
    EndGameWithSave();
    ASSERT_EQ(app->mCurProfile->mSavedLevelIndex, 1);

    Press(101);
    ASSERT_NE(app->mBoard, nullptr);
    StartPlaying();
    GameOver();
    Press(GameOverDialog::MAIN_MENU_ID);
    Restart();
    app->LeaveTitleScreen();
    Press(100);
    ASSERT_EQ(MessageHeader(), "CONTINUE?");
    EXPECT_EQ(Message()->mDialogLines,
              "You have a saved game\non level 2 at the\nEasy difficulty setting.\nWould you like to continue it?\n");
    Answer(true);
    // The adventure as it was saved: its level, its score and its run so far.
    EXPECT_EQ(app->mConfig->GetLevel(), 1);
    EXPECT_EQ(Diver()->mScore, 5000);
    EXPECT_EQ(app->mRunTypingTime, 1234);
    EXPECT_EQ(app->mRunLevelTotal8, 77);
}

// When the last player is deleted there is no default player any more: the
// menu greets nobody and the next start asks for a name, without a lost profile.
TEST_F(SavedGameTest, DeletingTheLastPlayerLeavesNoDefaultPlayer)
{
    NewPlayerAtMenu("Ann");
    Press(105);
    ASSERT_NE(app->FindDialog(SelectUserDialog::DIALOG_ID), nullptr);
    // The delete dialog over the whole roster, as the select dialog opens it (which it
    // offers on a full roster): here the roster is one player.
    app->ShowDeleteUserDialog({"Ann"});
    auto* erase = dynamic_cast<DeleteUserDialog*>(app->FindDialog(DeleteUserDialog::DIALOG_ID));
    ASSERT_NE(erase, nullptr);
    erase->ListClicked(0, erase->mList->GetLineIdx("Ann"), 2);
    ASSERT_EQ(MessageHeader(), "ARE YOU SURE?");
    Answer(true);

    EXPECT_TRUE(app->mProfileMgr->GetProfiles().empty());
    EXPECT_EQ(app->mCurProfile, nullptr);
    EXPECT_EQ(app->mProfileMgr->GetDefaultUserName(), ""); // the menu's greeting names nobody

    Restart();
    EXPECT_EQ(app->mProfileMgr->GetDefaultUserName(), "");
    app->RemoveDialog(SelectUserDialog::DIALOG_ID);
    app->LeaveTitleScreen();
    EXPECT_NE(MessageHeader(), "Error");
    EXPECT_EQ(app->mCurProfile, nullptr);
    EXPECT_TRUE(app->mProfileMgr->GetProfiles().empty());
}

} // namespace FlowTests
