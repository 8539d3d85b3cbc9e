// The whole game flow driven like a player: the menu, a new player, the difficulty,
// levels and the map between them, an abyss dive, a saved adventure continued and a
// player deleted; with the answers of the game's questions.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/widgets/DialogButton.h"
#include "framework/widgets/ListWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/play/Board.h"
#include "game/common/Config.h"
#include "game/play/Player.h"
#include "game/common/Simulation.h"
#include "game/shell/AbyssModeDialog.h"
#include "game/shell/DeleteUserDialog.h"
#include "game/shell/DifficultyDialog.h"
#include "game/shell/GameOverDialog.h"
#include "game/shell/MapScreen.h"
#include "game/shell/MenuScreen.h"
#include "game/shell/NewUserDialog.h"
#include "game/shell/SelectUserDialog.h"
#include "game/shell/XWidget.h"
#include "tests/flow/FlowFixture.h"
#include "tests/simulation/SimulationFiles.h"
#include "tests/support/TestSupport.h"

using namespace Zant;

namespace FlowTests {

class FlowTest : public FlowFixture {};

TEST_F(FlowTest, NewPlayerChoosesDifficultyPlaysALevelPicksASiteAndPlaysTheNext)
{
    NewPlayerAtMenu("Ann");
    ASSERT_NE(app->mCurProfile, nullptr);
    EXPECT_EQ(app->mCurProfile->mName, "Ann");
    EXPECT_EQ(app->mProfileMgr->GetDefaultUserName(), "Ann");
    EXPECT_EQ(app->mCurProfile->mLastLesson, 1);

    Press(100);
    auto* difficulty = dynamic_cast<DifficultyDialog*>(app->FindDialog(DifficultyDialog::DIALOG_ID));
    ASSERT_NE(difficulty, nullptr);
    EXPECT_EQ(difficulty->GetRecommended(), 0);
    // The player clicks "Easy".
    const int x = difficulty->mEasyButton->mX + 10;
    const int y = difficulty->mEasyButton->mY + 10;
    app->mWidgetManager->MouseMove(x, y);
    app->mWidgetManager->MouseDown(x, y, 1);
    app->mWidgetManager->MouseUp(x, y, 1);
    ASSERT_NE(app->mBoard, nullptr);
    EXPECT_EQ(app->FindDialog(DifficultyDialog::DIALOG_ID), nullptr);
    EXPECT_EQ(app->mMenuScreen, nullptr);
    EXPECT_EQ(app->mDifficulty, 0);
    ASSERT_NE(app->mStatusBar, nullptr);
    ASSERT_NE(Map(), nullptr);
    EXPECT_FALSE(Map()->mVisible);
    Run(50);

    FinishLevel();
    EXPECT_TRUE(Map()->mVisible);
    EXPECT_FALSE(app->mBoard->mVisible);
    Run(2);
    // From the port the only way is site 1: chosen at once.
    EXPECT_EQ(Map()->mChosenSite, 1);
    Type(" ");
    Board* second = app->mBoard;
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(app->mConfig->GetLevel(), 1);
    EXPECT_FALSE(Map()->mVisible);
    EXPECT_TRUE(Map()->mDisabled);
    EXPECT_EQ(app->mLevelResult[1], 1);

    // Site 1 offers three chests lettered left to right; "b" picks site 7.
    FinishLevel();
    Run(2);
    ASSERT_EQ(Map()->mMarkers.size(), 3u);
    Type("b");
    EXPECT_EQ(Map()->mChosenSite, 7);
    Type("b");
    EXPECT_EQ(app->mConfig->GetLevel(), 7);
    EXPECT_EQ(Map()->mRoute, (std::vector<int>{0, 1, 7}));
}

TEST_F(FlowTest, SpaceBeforeAChoiceDoesNotStartALevel)
{
    NewPlayerAtMenu("Ann");
    Press(100);
    Press(601);
    FinishLevel();
    Run(2);
    Type(" ");
    FinishLevel();
    Run(2);
    Board* board = app->mBoard;
    Type(" ");
    EXPECT_EQ(app->mBoard, board);
    EXPECT_TRUE(Map()->mVisible);
}

TEST_F(FlowTest, CancelOfTheDifficultyReturnsToTheMenu)
{
    NewPlayerAtMenu("Ann");
    Press(100);
    Press(2777);
    EXPECT_EQ(app->FindDialog(DifficultyDialog::DIALOG_ID), nullptr);
    EXPECT_EQ(app->mBoard, nullptr);
    EXPECT_NE(app->mMenuScreen, nullptr);
    EXPECT_EQ(app->mOpenDialogCount, 0);
}

TEST_F(FlowTest, AbyssStartDependsOnTheBestDepth)
{
    struct Case {
        int best;
        bool dialog;
        int lines;
        int chosenLine;
        int startDepth;
    };
    const Case cases[] = {
        {0, false, 0, 0, 0},
        {399, false, 0, 0, 0},
        {1250, true, 4, 3, 1200},
        {1250, true, 4, 0, 0},
        {4450, true, 12, 11, 4400},
    };
    NewPlayerAtMenu("Ann");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.best);
        app->mCurProfile->mBestDepth = c.best;
        Press(101);
        auto* dialog = dynamic_cast<AbyssModeDialog*>(app->FindDialog(AbyssModeDialog::DIALOG_ID));
        ASSERT_EQ(dialog != nullptr, c.dialog);
        if (dialog != nullptr) {
            EXPECT_EQ(dialog->mList->GetLineCount(), c.lines);
            dialog->mList->SetSelect(c.chosenLine);
            dialog->ButtonDepress(AbyssModeDialog::DIALOG_ID + Dialog::ID_YES);
            EXPECT_EQ(app->FindDialog(AbyssModeDialog::DIALOG_ID), nullptr);
        }
        ASSERT_NE(app->mBoard, nullptr);
        EXPECT_TRUE(app->mConfig->IsAbyssMode());
        EXPECT_EQ(app->mBoard->mAbyssDepth, c.startDepth);
        app->EndGame(false);
        EXPECT_NE(app->mMenuScreen, nullptr);
        EXPECT_EQ(app->mBoard, nullptr);
        app->FlushWidgetDeletions();
    }
}

TEST_F(FlowTest, ADamagedBestDepthListsNoMoreThanTheCap)
{
    NewPlayerAtMenu("Ann");
    app->mCurProfile->mBestDepth = 2000000000;
    Press(101);
    auto* dialog = dynamic_cast<AbyssModeDialog*>(app->FindDialog(AbyssModeDialog::DIALOG_ID));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->mList->GetLineCount(), AbyssModeDialog::MAX_DEPTH_LINES + 1);
}

TEST_F(FlowTest, ASavedAdventureIsContinuedAfterARestart)
{
    PlayToSiteSixOnHard();
    ASSERT_EQ(app->mConfig->GetLevel(), 6);
    // The level began with 4321 points.
    auto values = app->mLevelResult;
    values[0] = 4321;
    app->mBoard->SetLevelValues(values);
    // End the game, saving the progress.
    Press(201);
    ASSERT_EQ(MessageHeader(), "CONFIRM");
    Answer(true);
    EXPECT_NE(app->mMenuScreen, nullptr);
    EXPECT_EQ(app->mMapScreen, nullptr);

    // A new start of the program: profiles read again from the store and files.
    app->FlushWidgetDeletions();
    app->mCurProfile = nullptr;
    StartProfiles();
    ASSERT_NE(app->mCurProfile, nullptr);
    app->LeaveTitleScreen();
    Press(100);
    ASSERT_EQ(MessageHeader(), "CONTINUE?");
    EXPECT_NE(Message()->mDialogLines.find("at the\nHard difficulty setting"), std::string::npos);
    Answer(true);
    ASSERT_NE(app->mBoard, nullptr);
    EXPECT_EQ(app->mDifficulty, 2);
    EXPECT_EQ(app->mConfig->GetLevel(), 6);
    EXPECT_EQ(app->mBoard->mPlayer->mScore, 4321);
    EXPECT_EQ(Map()->mRoute, (std::vector<int>{0, 1, 6}));
    EXPECT_TRUE(Map()->mSites[6].mVisited);
}

TEST_F(FlowTest, PastTheLastSiteThePlayerGoesOnIntoUnchartedWaters)
{
    PlayToSiteSixOnHard();
    // The route reaches the last charted site.
    PlayOnToTheLastSite();
    ASSERT_EQ(app->mConfig->GetLevel(), 35);
    EXPECT_TRUE(Map()->mLostAtSea);

    // After it the map scrolls away, warns, and the space bar starts an endless level.
    FinishLevel();
    Board* charted = app->mBoard;
    Run(2000);
    EXPECT_FALSE(Map()->mScrolling);
    ASSERT_EQ(MessageHeader(), "WARNING!");
    Answer(true);
    app->mWidgetManager->SetFocus(Map());
    Type(" ");
    ASSERT_NE(app->mBoard, charted);
    EXPECT_FALSE(Map()->mVisible);
    EXPECT_GE(Map()->mChosenSite, MapScreen::NUM_SITES);
    EXPECT_TRUE(app->mBoard->mVisible);
}

TEST_F(FlowTest, ASimulatedRunStartsAfreshAndPicksItsOwnSites)
{
    // A saved game on Hard at site 6.
    PlayToSiteSixOnHard();
    ASSERT_EQ(app->mConfig->GetLevel(), 6);
    Press(201);
    Answer(true);
    app->FlushWidgetDeletions();

    // The program started again in simulation mode, a Normal typist in adventure mode.
    SimulationTests::SimulationFolder folder;
    folder.WriteFile("SIMULATION_CONFIG.txt", "1\n1\n60\n95\n-1\n1\n-1\n");
    ASSERT_TRUE(Simulation().OpenResultFiles());
    app->mCurProfile = nullptr;
    Simulation().ReadSimulationConfig(false);
    ASSERT_TRUE(Simulation().IsOn());
    StartProfiles();
    ASSERT_NE(app->mCurProfile, nullptr);
    EXPECT_EQ(app->mCurProfile->mSavedLevelIndex, 0);

    // The menu starts the run without the continue question, on the entry's difficulty.
    app->StartSimulatedRun();
    EXPECT_EQ(app->FindDialog(500), nullptr);
    ASSERT_NE(app->mBoard, nullptr);
    EXPECT_EQ(app->mDifficulty, 1);
    EXPECT_EQ(app->mConfig->GetLevel(), 0);

    // After each level the map picks a way on by itself, never a secret site, and the
    // next level starts without a key.
    std::vector<int> played;
    for (int level = 0; level < 40 && app->mConfig->GetLevel() != 35; ++level) {
        const int site = app->mConfig->GetLevel();
        FinishLevel();
        Run(2);
        ASSERT_NE(app->mBoard, nullptr);
        const int next = app->mConfig->GetLevel();
        const auto& ways = Map()->mSites[site].mNext;
        EXPECT_NE(std::find(ways.begin(), ways.end(), next), ways.end()) << site << " -> " << next;
        EXPECT_FALSE(Map()->mSites[next].mSecret) << next;
        EXPECT_TRUE(app->mBoard->mVisible);
        played.push_back(next);
    }
    EXPECT_EQ(app->mConfig->GetLevel(), 35);
    EXPECT_EQ(Simulation().mPath, played);
}

TEST_F(FlowTest, ASimulatedGameThatEndsInsideTheBoardLeavesTheNextRunToTheMainLoop)
{
    NewPlayerAtMenu("Sim");
    SimulationTests::SimulationFolder folder;
    // One level a game: the second level's first update ends the game.
    folder.WriteFile("SIMULATION_CONFIG.txt", "1\n1\n60\n95\n-1\n1\n1\n");
    Simulation().ReadSimulationConfig(false);
    ASSERT_TRUE(Simulation().OpenResultFiles());
    app->StartSimulatedRun();
    ASSERT_NE(app->mBoard, nullptr);
    int games = 0;
    Simulation().mGameResult = [&](int levelDiedOn, int, int) {
        EXPECT_EQ(levelDiedOn, -1);
        // A game started inside the one that just ended would end again at once.
        if (++games > 3)
            Simulation().SetOn(false);
    };
    FinishLevel();
    for (int update = 0; update < 10 && games == 0; ++update)
        Run(1);
    ASSERT_EQ(games, 1);
    // The update that ended the game built no board: the menu shows.
    EXPECT_EQ(app->mBoard, nullptr);
    EXPECT_NE(app->mMenuScreen, nullptr);
    app->FlushWidgetDeletions();

    // The main loop's next update starts the next run at its first level.
    app->UpdateOnce();
    ASSERT_NE(app->mBoard, nullptr);
    EXPECT_EQ(app->mConfig->GetLevel(), 0);
    EXPECT_EQ(games, 1);
    Simulation().mGameResult = nullptr;
}

TEST_F(FlowTest, NoToContinueOpensTheDifficultyChoice)
{
    NewPlayerAtMenu("Ann");
    app->mCurProfile->mSavedLevelIndex = 3;
    app->mCurProfile->mSavedLevel = 4;
    app->mCurProfile->mSavedDifficulty = 0;
    Press(100);
    ASSERT_EQ(MessageHeader(), "CONTINUE?");
    EXPECT_EQ(Message()->mDialogLines,
              "You have a saved game\non level 5 at the\nEasy difficulty setting.\nWould you like to continue it?\n");
    Answer(false);
    EXPECT_NE(app->FindDialog(DifficultyDialog::DIALOG_ID), nullptr);
    EXPECT_EQ(app->mBoard, nullptr);
}

TEST_F(FlowTest, ContinueQuestionNamesUnchartedWatersAndTheDifficulty)
{
    NewPlayerAtMenu("Ann");
    struct Case {
        int index;
        int difficulty;
        const char* expected;
    };
    const Case cases[] = {
        {36, 1, "You have a saved game\non level 1 in uncharted waters\nat the Normal difficulty setting.\n"},
        {102, 7, "You have a saved game\non level 1 in uncharted waters\nat the X-Treme difficulty setting.\n"},
    };
    for (const Case& c : cases) {
        app->mCurProfile->mSavedLevelIndex = c.index;
        app->mCurProfile->mSavedLevel = 0;
        app->mCurProfile->mSavedDifficulty = c.difficulty;
        Press(100);
        ASSERT_EQ(MessageHeader(), "CONTINUE?");
        EXPECT_EQ(Message()->mDialogLines.rfind(c.expected, 0), 0u) << Message()->mDialogLines;
        Answer(false);
        Press(2777);
    }
}

TEST_F(FlowTest, NamesAreCheckedBeforeAPlayerIsMade)
{
    StartProfiles();
    app->LeaveTitleScreen();
    CreatePlayer("Bob");
    Answer(false);
    const std::string bobFile = TestSupport::ReadFile(UserDataFilePath(app->mCurProfile->mUserNumber));

    struct Case {
        const char* typed;
        const char* header;
    };
    const Case cases[] = {
        {"", "ENTER NAME"},
        {"   ", "ENTER NAME"},
        {"(create a new user)", "ERROR"},
        {"(Delete A User)", "ERROR"},
        {"bob", "NAME CONFLICT"},
        {" BOB ", "NAME CONFLICT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        app->ShowNewUserDialog(WinBTApp::NEW_USER_PROMPT);
        CreatePlayer(c.typed);
        EXPECT_EQ(MessageHeader(), c.header);
        Answer(true);
        app->RemoveDialog(NewUserDialog::DIALOG_ID);
        EXPECT_EQ(app->mProfileMgr->GetProfiles().size(), 1u);
    }
    // The check neither read nor rewrote Bob's file.
    EXPECT_EQ(TestSupport::ReadFile(UserDataFilePath(app->mCurProfile->mUserNumber)), bobFile);
}

TEST_F(FlowTest, TheNameEntryRefusesMarkupAndSeparators)
{
    StartProfiles();
    app->ShowNewUserDialog(WinBTApp::NEW_USER_PROMPT);
    auto* entry = dynamic_cast<NewUserDialog*>(app->FindDialog(NewUserDialog::DIALOG_ID));
    ASSERT_NE(entry, nullptr);
    Type("a^b\\c/d");
    EXPECT_EQ(entry->GetName(), "abcd");
    Type(std::string(30, 'x'));
    EXPECT_EQ(entry->GetName().size(), static_cast<size_t>(NewUserDialog::MAX_NAME_CHARS));
}

TEST_F(FlowTest, DeletingTheCurrentPlayerMakesTheNextOneCurrent)
{
    StartProfiles();
    app->LeaveTitleScreen();
    for (const char* name : {"Ann", "Bob", "Cid", "Dee", "Eve"}) {
        if (app->FindDialog(NewUserDialog::DIALOG_ID) == nullptr)
            app->ShowNewUserDialog(WinBTApp::NEW_USER_PROMPT);
        CreatePlayer(name);
        Answer(false);
    }
    ASSERT_EQ(app->mProfileMgr->GetProfiles().size(), 5u);
    ASSERT_EQ(app->mCurProfile->mName, "Eve");

    Press(105);
    auto* select = dynamic_cast<SelectUserDialog*>(app->FindDialog(SelectUserDialog::DIALOG_ID));
    ASSERT_NE(select, nullptr);
    ASSERT_EQ(select->mList->GetLineCount(), 6);
    EXPECT_EQ(select->mList->GetStringAt(5), SelectUserDialog::DELETE_ROW);
    select->ListClicked(0, 5, 1);
    auto* erase = dynamic_cast<DeleteUserDialog*>(app->FindDialog(DeleteUserDialog::DIALOG_ID));
    ASSERT_NE(erase, nullptr);
    const int eve = erase->mList->GetLineIdx("Eve");
    ASSERT_GE(eve, 0);
    erase->ListClicked(0, eve, 2);
    ASSERT_EQ(MessageHeader(), "ARE YOU SURE?");
    Answer(true);

    EXPECT_EQ(app->FindDialog(DeleteUserDialog::DIALOG_ID), nullptr);
    EXPECT_EQ(app->mProfileMgr->GetProfiles().size(), 4u);
    EXPECT_EQ(app->mProfileMgr->FindUserProfile("Eve"), nullptr);
    ASSERT_NE(app->mCurProfile, nullptr);
    EXPECT_EQ(app->mCurProfile->mName, app->mProfileMgr->GetDefaultUserName());
    EXPECT_NE(app->mCurProfile->mName, "Eve");
    // The roster has room again.
    EXPECT_EQ(select->mList->GetStringAt(0), SelectUserDialog::CREATE_ROW);

    // Choosing another player makes it current and the default.
    const int bob = select->mList->GetLineIdx("Bob");
    select->ListClicked(0, bob, 1);
    select->ButtonDepress(SelectUserDialog::DIALOG_ID + Dialog::ID_YES);
    EXPECT_EQ(app->mCurProfile->mName, "Bob");
    EXPECT_EQ(app->mProfileMgr->GetDefaultUserName(), "Bob");
    EXPECT_EQ(app->FindDialog(SelectUserDialog::DIALOG_ID), nullptr);
}

TEST_F(FlowTest, QuestionsAnsweredNoLeaveTheGameRunning)
{
    NewPlayerAtMenu("Ann");
    Press(104);
    ASSERT_EQ(MessageHeader(), "LEAVING?");
    Answer(false);
    EXPECT_FALSE(app->mQuitPending);
    EXPECT_FALSE(app->mShutdown.load());

    Press(100);
    Press(600);
    Press(201);
    EXPECT_NE(Message()->mDialogLines.find("Progress is not saved until you pass the first level"), std::string::npos);
    Answer(false);
    ASSERT_NE(app->mBoard, nullptr);
    EXPECT_FALSE(app->mBoard->mPaused);
    EXPECT_FALSE(app->mEndGamePending);
}

TEST_F(FlowTest, GameOverBackToTheMenuRecordsTheGameOnce)
{
    NewPlayerAtMenu("Ann");
    Press(100);
    Press(600);
    Run(20);
    // Game over has recorded the game already; going to the menu adds nothing.
    app->mBoard->RecordGameStats(true, true);
    app->mBoard->mPlayer->mLives = -1;
    const auto afterGameOver = app->mCurProfile->mModes;
    Press(93210);
    EXPECT_NE(app->mMenuScreen, nullptr);
    EXPECT_EQ(app->mBoard, nullptr);
    EXPECT_EQ(app->mStatusBar, nullptr);
    EXPECT_EQ(app->mMapScreen, nullptr);
    EXPECT_EQ(app->mCurProfile->mModes, afterGameOver);
}

// "Play again" leaves the old board waiting for its deletion while the new one plays;
// when the new one's game is over too, the old board's going must not take the new
// game-over dialog with it.
TEST_F(FlowTest, ABoardThatGoesRemovesOnlyItsOwnGameOverDialog)
{
    NewPlayerAtMenu("Ann");
    Press(100);
    Press(600);
    Board* first = app->mBoard;
    ASSERT_NE(first, nullptr);
    first->mPlayer->mLives = 0;
    first->HandlePlayerDeath();
    ASSERT_NE(app->FindDialog(GameOverDialog::DIALOG_ID), nullptr);

    Press(GameOverDialog::PLAY_AGAIN_ID);
    Board* second = app->mBoard;
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second, first);
    second->mPlayer->mLives = 0;
    second->HandlePlayerDeath();
    Dialog* secondDialog = app->FindDialog(GameOverDialog::DIALOG_ID);
    ASSERT_NE(secondDialog, nullptr);

    app->FlushWidgetDeletions(); // the first board goes
    EXPECT_EQ(app->FindDialog(GameOverDialog::DIALOG_ID), secondDialog);

    // Its own board takes it along.
    app->mWidgetManager->RemoveWidget(second);
    app->mBoard = nullptr;
    delete second;
    EXPECT_EQ(app->FindDialog(GameOverDialog::DIALOG_ID), nullptr);
}

TEST_F(FlowTest, DifficultyRecommendationFollowsTheTypingSpeed)
{
    const std::pair<int, int> cases[] = {{0, 0},  {29, 0}, {30, 1}, {39, 1}, {40, 2},
                                         {59, 2}, {60, 3}, {79, 3}, {80, 4}, {200, 4}};
    for (const auto& [wpm, expected] : cases)
        EXPECT_EQ(DifficultyDialog::RecommendedDifficulty(wpm), expected) << wpm;
}

} // namespace FlowTests
