// The game's one command dispatcher and the flow between its screens: title, menu,
// difficulty or abyss start, levels, the map between them, game over and back, and
// the player dialogs.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/graphics/Color.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/WidgetManager.h"
#include "game/play/Board.h"
#include "game/common/Config.h"
#include "game/play/Player.h"
#include "game/common/Simulation.h"
#include "game/play/StatusBar.h"
#include "game/shell/AbyssModeDialog.h"
#include "game/shell/DeleteUserDialog.h"
#include "game/shell/DifficultyDialog.h"
#include "game/shell/GameOverDialog.h"
#include "game/shell/HighScoreScreen.h"
#include "game/shell/HintDialog.h"
#include "game/shell/MapScreen.h"
#include "game/shell/MenuScreen.h"
#include "game/shell/NewUserDialog.h"
#include "game/shell/OptionsDialog.h"
#include "game/shell/SavedAdventure.h"
#include "game/shell/SelectUserDialog.h"
#include "game/shell/StatsScreen.h"
#include "game/shell/TitleScreen.h"
#include "game/shell/TypingTutor.h"
#include "game/profile/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"
#include "platform/Log.h"

namespace Zant {

namespace {

constexpr int MESSAGE_ID = 500;
constexpr int NO_WINDOWED_ID = 779;
constexpr int GAME_OVER_ID = GameOverDialog::DIALOG_ID;
constexpr int GAME_OVER_AGAIN = GameOverDialog::PLAY_AGAIN_ID;
constexpr int GAME_OVER_MENU = GameOverDialog::MAIN_MENU_ID;
constexpr int STATS_CLOSE_ID = 1104;
constexpr int HIGH_SCORES_CLOSE_ID = 3279;
constexpr int LAST_FIXED_SITE = 35;
constexpr int ABYSS_STEP = 400;
constexpr int FIRST_MOVING_LEVEL = 1;

enum Command {
    CMD_ADVENTURE = 100,
    CMD_ABYSS = 101,
    CMD_TUTOR = 102,
    CMD_HIGH_SCORES = 103,
    CMD_QUIT = 104,
    CMD_CHANGE_USER = 105,
    CMD_STATISTICS = 106,
    CMD_PAUSE = 200,
    CMD_END_GAME = 201,
    CMD_ZAPPER = 202,
    CMD_LEVEL_DONE = 300,
};

const char* const NAME_PROMPT_DETAIL = "Enter your name.\n(For example: Maren or Maren Holt)";
const char* const LOST_DATA_TEXT = "Your saved data was either\nnot found or is corrupted. \nA new one will be created.\n";

} // namespace

const char* const WinBTApp::NEW_USER_PROMPT = NAME_PROMPT_DETAIL;

std::string WinBTApp::DifficultyName(int difficulty)
{
    switch (difficulty) {
    case 0:
        return "Easy";
    case 1:
        return "Normal";
    case 2:
        return "Hard";
    case 3:
        return "Expert";
    default:
        return "X-Treme";
    }
}

void WinBTApp::ButtonDepress(int id)
{
    if (HandleFlowCommand(id))
        return;
    HandleOptionsCommand(id);
}

bool WinBTApp::HandleFlowCommand(int id)
{
    if (id >= DifficultyDialog::FIRST_BUTTON_ID &&
        id < DifficultyDialog::FIRST_BUTTON_ID + DifficultyDialog::NUM_DIFFICULTIES) {
        ChooseDifficulty(id - DifficultyDialog::FIRST_BUTTON_ID);
        return true;
    }
    switch (id) {
    case CMD_ABYSS:
        StartAbyss();
        return true;
    case CMD_ADVENTURE:
        StartAdventure();
        return true;
    case STATS_CLOSE_ID:
        CloseStatsScreen();
        return true;
    case CMD_STATISTICS:
        ShowStatsScreen(0);
        return true;
    case HIGH_SCORES_CLOSE_ID:
        CloseHighScoreScreen();
        return true;
    case CMD_HIGH_SCORES:
        mStartingAdventure = false;
        mShowingHighScores = true;
        ShowHighScoreScreen();
        return true;
    case CMD_LEVEL_DONE:
        ShowMapScreen();
        return true;
    case MapScreen::CONTINUE_ID:
        if (mMapScreen != nullptr && mMapScreen->mChosenSite != -1) {
            PlaySong(0);
            mMapScreen->RemoveSiteWidgets();
            NewBoard();
        }
        return true;
    case DeleteUserDialog::DIALOG_ID + Dialog::ID_NO:
        RemoveDialog(DeleteUserDialog::DIALOG_ID);
        mDeleteUserDialog = nullptr;
        return true;
    case CMD_QUIT:
        DoMessageDialog2("LEAVING?", "Are you sure you\nwish to quit?", "", false, "YES", "NO");
        mQuitPending = true;
        return true;
    case CMD_CHANGE_USER:
        ShowSelectUserDialog();
        return true;
    case CMD_PAUSE:
        if (mBoard != nullptr) {
            mBoard->Pause(!mBoard->mPaused);
            MuteMusic(mBoard->mPaused);
        }
        return true;
    case CMD_ZAPPER:
        if (mBoard != nullptr)
            mBoard->KeyChar(13);
        return true;
    case TitleScreen::CONTINUE_ID:
        LeaveTitleScreen();
        return true;
    case SelectUserDialog::DIALOG_ID + Dialog::ID_NO:
        RemoveDialog(SelectUserDialog::DIALOG_ID);
        return true;
    case SelectUserDialog::DIALOG_ID + Dialog::ID_YES:
        ChooseUser();
        return true;
    case AbyssModeDialog::DIALOG_ID + Dialog::ID_NO:
        RemoveDialog(AbyssModeDialog::DIALOG_ID);
        mAbyssModeDialog = nullptr;
        mDifficulty = 0;
        return true;
    case AbyssModeDialog::DIALOG_ID + Dialog::ID_YES:
        StartChosenAbyssDepth();
        return true;
    case DifficultyDialog::DIALOG_ID + Dialog::ID_YES:
        mStartingAdventure = false;
        mShowingHighScores = false;
        --mOpenDialogCount;
        RemoveDialog(DifficultyDialog::DIALOG_ID);
        mDifficultyDialog = nullptr;
        return true;
    case HintDialog::ID + Dialog::ID_YES:
        CloseHint();
        return true;
    case MESSAGE_ID + Dialog::ID_YES:
        AnswerYes();
        return true;
    case MESSAGE_ID + Dialog::ID_NO:
        AnswerNo();
        return true;
    case GAME_OVER_MENU:
        RemoveDialog(GAME_OVER_ID);
        EndGame(false);
        return true;
    case GAME_OVER_AGAIN:
        RemoveDialog(GAME_OVER_ID);
        PlayAgain();
        return true;
    case CMD_END_GAME:
        AskGameEnd();
        return true;
    case NO_WINDOWED_ID + Dialog::ID_YES:
        --mOpenDialogCount;
        if (mBoard != nullptr)
            mBoard->Pause(false);
        RemoveDialog(NO_WINDOWED_ID);
        return true;
    case NewUserDialog::DIALOG_ID + Dialog::ID_NO:
        RemoveDialog(NewUserDialog::DIALOG_ID);
        if (mProfileMgr != nullptr && !mProfileMgr->GetProfiles().empty() &&
            !mProfileMgr->GetDefaultUserName().empty())
            return true;
        if (FindDialog(NewUserDialog::DIALOG_ID) == nullptr)
            ShowNewUserDialog(NEW_USER_PROMPT);
        return true;
    case NewUserDialog::DIALOG_ID + Dialog::ID_YES:
        CreateUser();
        return true;
    case CMD_TUTOR:
        mTypingTutor = new TypingTutor(this, mGameDataFolder);
        mTypingTutor->Resize(0, 0, mWidth, mHeight);
        mTypingTutor->SetVisible(true);
        mTypingTutor->SetDisabled(false);
        mWidgetManager->AddWidget(mTypingTutor);
        mWidgetManager->SetFocus(mTypingTutor);
        KillScreen();
        mTypingTutor->MarkDirty();
        return true;
    default:
        return false;
    }
}

void WinBTApp::CloseHint()
{
    --mOpenDialogCount;
    auto* hint = dynamic_cast<HintDialog*>(FindDialog(HintDialog::ID));
    if (hint != nullptr) {
        const bool on = !hint->IsChecked();
        if (mCurProfile != nullptr)
            mCurProfile->mHintsOn = on;
        mHintsOn = on;
    }
    if (mBoard != nullptr && mBoard->mVisible) {
        mBoard->Pause(false);
        mWidgetManager->SetFocus(mBoard);
    }
    RemoveDialog(HintDialog::ID);
    mHintDialog = nullptr;
}

void WinBTApp::ChooseRunNames()
{
    mShipName.clear();
    mGemName.clear();
    mTreasureImage = 0;
    GetTreasureIndex();
    mShipName = GetRandomShipName();
    mGemName = GetRandomGemName();
}

// ---- Adventure and abyss start.

void WinBTApp::StartAdventure()
{
    mStartingAdventure = true;
    mShowingHighScores = false;
    if (Simulation().IsOn()) {
        // A simulated run picks its entry's difficulty without asking.
        const int entry = Simulation().mCurrent.difficulty;
        const int difficulty = entry >= 0 && entry <= 4 ? entry : 0;
        ++mOpenDialogCount;
        ChooseDifficulty(difficulty);
        char line[96];
        std::snprintf(line, sizeof line, "*** RUNNING IN SIMULATION MODE: CHOOSING DIFFICULTY LEVEL OF: %d ***\n",
                      difficulty);
        Platform::DebugOutput(line);
        return;
    }
    const int saved = mCurProfile != nullptr ? mCurProfile->mSavedLevelIndex : -1;
    if (saved == -1 || saved == 0) {
        OpenDifficultyDialog();
        return;
    }
    const SavedAdventure adventure = SavedAdventure::Read(*mCurProfile);
    const int level = adventure.level + 1;
    const std::string difficulty = DifficultyName(adventure.difficulty);
    char text[256];
    if (saved >= 1 && saved <= LAST_FIXED_SITE)
        std::snprintf(text, sizeof text,
                      "You have a saved game\non level %d at the\n%s difficulty setting.\nWould you like to continue "
                      "it?\n",
                      level, difficulty.c_str());
    else
        std::snprintf(text, sizeof text,
                      "You have a saved game\non level %d in uncharted waters\nat the %s difficulty setting.\nWould "
                      "you like to continue it?\n",
                      level, difficulty.c_str());
    DoMessageDialog2("CONTINUE?", text, "", false, "YES", "NO");
    mContinuePending = true;
}

void WinBTApp::OpenDifficultyDialog()
{
    ++mOpenDialogCount;
    auto* dialog = new DifficultyDialog(this);
    dialog->Resize(170, 40, 300, dialog->GetPreferredHeight(300));
    mDifficultyDialog = dialog;
    ShowGameDialog(DifficultyDialog::DIALOG_ID, dialog);
}

void WinBTApp::ResetExpedition()
{
    UserProfile* profile = mCurProfile;
    if (profile == nullptr)
        return;
    profile->mExpeditionOpen = true;
    profile->mTreasures.fill(0);
    profile->mSecretItems.fill(0);
    if (profile->mLastDifficulty != mDifficulty) {
        profile->mLastDifficulty = mDifficulty;
        profile->mSiteFlags.fill(false);
    }
    if (mProfileMgr != nullptr)
        mProfileMgr->WriteUserProfileToRegistry(profile, true, false);
}

bool WinBTApp::HasSavedAdventure() const
{
    const UserProfile* profile = mCurProfile;
    return profile != nullptr && profile->mSavedLevelIndex != -1 && profile->mSavedLevelIndex != 0 &&
           profile->mSavedDifficulty >= 0 && profile->mSavedDifficulty <= 4;
}

void WinBTApp::EndSavedAdventure()
{
    // The saved game is over when a new adventure takes its place: its result, as it
    // was saved, goes to the table now (its End game entered nothing, as it could
    // still be continued), and the save goes, so that it is entered only once.
    if (!HasSavedAdventure())
        return;
    UserProfile* profile = mCurProfile;
    const SavedAdventure saved = SavedAdventure::Read(*profile);
    if (mProfileMgr != nullptr)
        mProfileMgr->EnterEntry(false, HighScoreEntry{saved.score, saved.difficulty, profile->mName, saved.level + 1});
    profile->SetSavedGame(true, -1, -1, -1.0, -1, -10, -1);
    profile->ClearSavedGame();
}

void WinBTApp::ChooseDifficulty(int difficulty)
{
    --mOpenDialogCount;
    RemoveDialog(DifficultyDialog::DIALOG_ID);
    mDifficultyDialog = nullptr;
    mDifficulty = difficulty;
    EndSavedAdventure();
    ResetExpedition();
    if (mCurProfile != nullptr) {
        mCurProfile->SetSharkKillsRun(0);
        mCurProfile->SetPiranhaKillsRun(0);
    }
    StartGameSimple();
}

void WinBTApp::StartAbyss()
{
    mDifficulty = -1;
    // A simulated dive always starts at the surface, so that depths compare.
    const int best = mCurProfile != nullptr && !Simulation().IsOn() ? mCurProfile->mBestDepth : 0;
    mAbyssStartDepth = best / ABYSS_STEP * ABYSS_STEP;
    if (mAbyssStartDepth >= ABYSS_STEP) {
        ShowAbyssModeDialog();
        return;
    }
    if (mCurProfile != nullptr) {
        mCurProfile->SetSharkKillsRun(0);
        mCurProfile->SetPiranhaKillsRun(0);
        // A dive from the surface meets the first boss first, whatever the last dive met.
        mCurProfile->SetAbyssBoss(-1);
    }
    StartGameSimple();
}

void WinBTApp::StartChosenAbyssDepth()
{
    auto* dialog = dynamic_cast<AbyssModeDialog*>(FindDialog(AbyssModeDialog::DIALOG_ID));
    const int depth = dialog != nullptr ? dialog->mChosenDepth : 0;
    mAbyssStartDepth = depth;
    if (mCurProfile != nullptr)
        mCurProfile->SetAbyssBoss((depth / 1000) % 4 - 1);
    StartGameSimple();
    if (depth > 0 && mBoard != nullptr)
        mBoard->SetAbyssDepth(depth);
    RemoveDialog(AbyssModeDialog::DIALOG_ID);
    mAbyssModeDialog = nullptr;
}

// ---- Levels and the map.

bool WinBTApp::LoadConfigOrQuit()
{
    if (mConfig != nullptr)
        mConfig->ClearLevels();
    delete mConfig;
    mConfig = new Config(this);
    mConfig->SetDataFolder(mGameDataFolder);
    if (mConfig->Load(mDifficulty) == 0)
        return true;
    ShowMessage("There was an error loading the configuration file.");
    mExitCode = EXIT_FATAL;
    mCloseRequest = true;
    Shutdown();
    return false;
}

void WinBTApp::CreateBoard()
{
    mBoard = new Board(this);
    mBoard->SetWaterEffect(mEffectsOn);
    mBoard->StartLevel(mConfig);
    mBoard->Resize(0, 0, mWidth, mHeight);
}

void WinBTApp::CreateMapScreenIfMissing()
{
    if (mMapScreen != nullptr)
        return;
    mMapScreen = new MapScreen(this);
    mMapScreen->Resize(0, 0, mWidth, mHeight);
    mMapScreen->SetVisible(false);
    mMapScreen->SetDisabled(true);
    mWidgetManager->AddWidget(mMapScreen);
}

void WinBTApp::ShowStatusBar()
{
    if (mStatusBar == nullptr) {
        Image* bar = GetImage(IMAGE_STATUSBARX);
        const int height = bar != nullptr ? bar->GetHeight() : 0;
        mStatusBar = new StatusBar(this);
        mStatusBar->Resize(0, mHeight - height, mWidth, height);
        mWidgetManager->AddWidget(mStatusBar);
    }
    mStatusBar->SetVisible(true);
    mStatusBar->SetDisabled(false);
    mWidgetManager->BringToFront(mStatusBar);
}

void WinBTApp::StartGameSimple()
{
    mStartingAdventure = false;
    GetTreasureIndex();
    if (mShipName.empty())
        mShipName = GetRandomShipName();
    if (mGemName.empty())
        mGemName = GetRandomGemName();
    if (!LoadConfigOrQuit())
        return;
    mConfig->ResetWaves(mDifficulty == -1 ? -1 : 0);

    // The old board goes after this update: a dialog or the status bar may still
    // be reaching it in this one.
    if (mBoard != nullptr) {
        mWidgetManager->RemoveWidget(mBoard);
        QueueWidgetDeletion(mBoard);
        mBoard = nullptr;
    }
    CreateBoard();
    CreateMapScreenIfMissing();
    mWidgetManager->AddWidget(mBoard);
    mWidgetManager->SetFocus(mBoard);
    mBoard->SetVisible(true);
    ShowStatusBar();
    KillScreen();
    RemoveDialog(DifficultyDialog::DIALOG_ID);
}

void WinBTApp::StartGame()
{
    mRunLevelTotal8 = mRunTypingTime = mRunLastEntry7 = mRunTotal10 = mRunTotal9 = 0;
    mWordLists.ClearRecentWords();
    mWordLists.UsedLetters().clear();
    mWordLists.ClearThemeState();
    ChooseRunNames();
    mEndGamePending = mAnswerYes = mAnswerNo = false;
    if (mCurProfile != nullptr) {
        mCurProfile->SetSharkKillsRun(0);
        mCurProfile->SetPiranhaKillsRun(0);
    }
    RemoveDialog(GAME_OVER_ID);
    for (Widget* widget : {static_cast<Widget*>(mBoard), static_cast<Widget*>(mStatusBar),
                           static_cast<Widget*>(mMapScreen)}) {
        if (widget == nullptr)
            continue;
        mWidgetManager->RemoveWidget(widget);
        QueueWidgetDeletion(widget);
    }
    mBoard = nullptr;
    mStatusBar = nullptr;
    mMapScreen = nullptr;
    if (!LoadConfigOrQuit())
        return;
    mConfig->ResetWaves(mDifficulty == -1 ? -1 : 0);
    if (!mConfig->IsAbyssMode())
        ResetExpedition();
    CreateBoard();
    mWidgetManager->AddWidget(mBoard);
    mWidgetManager->SetFocus(mBoard);
    mBoard->SetVisible(true);
    ShowStatusBar();
    CreateMapScreenIfMissing();
}

void WinBTApp::ShowMapScreen()
{
    if (mBoard == nullptr)
        return;
    ChooseRunNames();

    mBoard->GetLevelResults(mLevelResult);
    mRunLevelTotal8 += mLevelResult[8];
    mRunTypingTime += mBoard->mLevelTime;
    mRunTotal10 += mLevelResult[10];
    mRunTotal9 += mLevelResult[9];
    mRunLastEntry7 = mLevelResult[7];

    mBoard->SetVisible(false);
    mBoard->SetDisabled(true);
    if (mStatusBar != nullptr)
        mStatusBar->SetDisabled(true);
    CreateMapScreenIfMissing();
    mMapScreen->Reset();
    mWidgetManager->SetFocus(mMapScreen);
    PlaySong(20);
    mWidgetManager->BringToFront(mMapScreen);
    mMapScreen->SetVisible(true);
    mMapScreen->SetDisabled(false);
    if (mStatusBar != nullptr)
        mStatusBar->MarkDirty();
}

void WinBTApp::NewBoard()
{
    mStartingAdventure = false;
    mMapScreen->SetVisible(false);
    mMapScreen->SetDisabled(true);
    if (mBoard != nullptr) {
        mWidgetManager->RemoveWidget(mBoard);
        QueueWidgetDeletion(mBoard);
        mBoard = nullptr;
    }
    mBoard = new Board(this);
    mBoard->SetWaterEffect(mEffectsOn);
    const int site = mMapScreen->mChosenSite;
    if (site < MapScreen::NUM_SITES) {
        mConfig->ResetWaves(site);
        if (site == LAST_FIXED_SITE)
            mMapScreen->SetLostAtSea(true);
    } else {
        // An uncharted site stands past the fixed levels: one more endless level, its
        // speeds raised. The endless list's own index is no level.
        mConfig->ResetWaves(Config::ENDLESS_LEVEL);
    }
    mBoard->StartLevel(mConfig);
    mBoard->Resize(0, 0, mWidth, mHeight);
    mLevelResult[1] += 1;
    mLevelResult[7] = mRunLastEntry7;
    mBoard->SetLevelValues(mLevelResult);
    mWidgetManager->AddWidget(mBoard);
    mBoard->SetVisible(true);
    mBoard->SetDisabled(false);
    ShowStatusBar();
    mWidgetManager->SetFocus(mBoard);
}

void WinBTApp::EndGame(bool keepDifficulty)
{
    mOpenDialogCount = 0;
    PlaySong(17);
    // Game over has already recorded this game into the profile. A game ended here
    // is over, and its result goes to the table, unless it is an adventure saved to
    // be continued: its result comes when that game ends.
    Player* player = GetPlayer();
    if (mBoard != nullptr && (player == nullptr || player->mLives >= 0)) {
        const bool continuable =
            !mBoard->IsAbyss() && HasSavedAdventure() && mCurProfile->mSavedDifficulty == mDifficulty;
        mBoard->RecordGameStats(false, !continuable);
    }
    if (mConfig != nullptr)
        mConfig->ClearLevels();
    delete mConfig;
    mConfig = nullptr;
    mRunLevelTotal8 = mRunTypingTime = mRunLastEntry7 = mRunTotal10 = mRunTotal9 = 0;
    if (!keepDifficulty)
        mDifficulty = 0;
    mWordLists.ClearRecentWords();
    mWordLists.UsedLetters().clear();
    ChooseRunNames();
    mWordLists.ClearThemeState();
    mEndGamePending = mAnswerYes = mAnswerNo = false;

    if (mStatusBar != nullptr) {
        mWidgetManager->RemoveWidget(mStatusBar);
        QueueWidgetDeletion(mStatusBar);
        mStatusBar = nullptr;
    }
    if (mMapScreen != nullptr) {
        mWidgetManager->RemoveWidget(mMapScreen);
        QueueWidgetDeletion(mMapScreen);
        mMapScreen = nullptr;
    }
    ShowMenu();
}

void WinBTApp::AskGameEnd()
{
    char text[200];
    if (mDifficulty == -1)
        std::snprintf(text, sizeof text,
                      "Are you sure you want to end this game?\nNOTE: Your progress is saved every %d feet.\n\n",
                      ABYSS_STEP);
    else if (GetPlayer() == nullptr || GetPlayer()->mLevelIndex < FIRST_MOVING_LEVEL)
        std::snprintf(text, sizeof text, "%s",
                      "Are you sure you want to end this game?\nNOTE: Progress is not saved until you pass the "
                      "first level.\n\n");
    else
        std::snprintf(text, sizeof text, "%s",
                      "Are you sure you want to end this game?\nNOTE: Your progress will be saved, but you will have "
                      "to restart the level.\n\n");
    DoMessageDialog2("CONFIRM", text, "", false, "YES", "NO");
    mEndGamePending = true;
}

void WinBTApp::PlayAgain()
{
    if (mDifficulty != -1) {
        StartGame();
        return;
    }
    mAbyssStartDepth = mBoard != nullptr ? mBoard->mAbyssDepth : 0;
    EndGame(true);
    StartGameSimple();
    mAbyssStartDepth = mAbyssStartDepth / ABYSS_STEP * ABYSS_STEP;
    if (mAbyssStartDepth >= ABYSS_STEP && mBoard != nullptr)
        mBoard->SetAbyssDepth(mAbyssStartDepth);
    else if (mCurProfile != nullptr)
        mCurProfile->SetAbyssBoss(-1);
}

// ---- The questions of the message dialog.

void WinBTApp::AnswerYes()
{
    RemoveDialog(MESSAGE_ID);
    mMessageDialog = nullptr;
    --mOpenDialogCount;
    if (mEndGamePending) {
        if (mDifficulty != -1) {
            SaveGameProgress(true, false);
        } else if (mCurProfile != nullptr && mBoard != nullptr) {
            mCurProfile->mDepth = mBoard->mAbyssDepth;
            if (mBoard->mAbyssDepth > mCurProfile->mBestDepth)
                mCurProfile->mBestDepth = mBoard->mAbyssDepth;
        }
        mAnswerYes = true;
        mAnswerNo = false;
        mEndGamePending = false;
        EndGame(false);
        return;
    }
    if (mQuitPending) {
        mAnswerYes = true;
        mAnswerNo = false;
        Shutdown();
        return;
    }
    if (mDeleteUserPending) {
        mAnswerYes = true;
        mAnswerNo = false;
        if (auto* dialog = dynamic_cast<DeleteUserDialog*>(mDeleteUserDialog))
            dialog->DeleteSelectedUser();
        RemoveDialog(DeleteUserDialog::DIALOG_ID);
        mDeleteUserDialog = nullptr;
        mDeleteUserPending = false;
        return;
    }
    if (mTypingTutor != nullptr) {
        mAnswerYes = true;
        mAnswerNo = false;
        if (mTypingTutor->mAskedQuit) {
            mWidgetManager->RemoveWidget(mTypingTutor);
            QueueWidgetDeletion(mTypingTutor);
            mTypingTutor = nullptr;
            EndGame(false);
        } else if (mTypingTutor->mAskedViewStats) {
            // The flag stays set while the statistics are up: closing them resumes the tutor.
            ShowStatsScreen(StatsScreen::TAB_TUTOR);
        } else {
            ResumeAfterMessage();
        }
        return;
    }
    if (mWpmTestPending) {
        mWpmTestPending = false;
        mAnswerYes = mAnswerNo = false;
        ButtonDepress(CMD_TUTOR);
        return;
    }
    if (mContinuePending) {
        ContinueSavedGame();
        return;
    }
    mAnswerYes = true;
    mAnswerNo = false;
    ResumeAfterMessage();
}

void WinBTApp::ResumeAfterMessage()
{
    // A plain message answered before an abyss dive starts it; never over a running board.
    if (mDifficulty == -1 && FindDialog(OptionsDialog::ID) == nullptr && mBoard == nullptr) {
        StartGameSimple();
        if (mBoard != nullptr)
            mBoard->SetAbyssDepth(mAbyssStartDepth);
        return;
    }
    if (mBoard != nullptr && mBoard->mVisible) {
        mBoard->Pause(false);
        mWidgetManager->SetFocus(mBoard);
    }
    if (mMapScreen != nullptr && mMapScreen->mVisible)
        mWidgetManager->SetFocus(mMapScreen);
}

void WinBTApp::AnswerNo()
{
    RemoveDialog(MESSAGE_ID);
    mMessageDialog = nullptr;
    if (mWpmTestPending && mCurProfile != nullptr)
        mCurProfile->mLastLesson = 1;
    mAnswerNo = true;
    mAnswerYes = false;
    --mOpenDialogCount;
    const bool endGameAsked = mEndGamePending;
    mWpmTestPending = mDeleteUserPending = mQuitPending = false;
    if (mTypingTutor != nullptr) {
        mTypingTutor->mAskedQuit = false;
        mTypingTutor->mAskedViewStats = false;
        mTypingTutor->MarkDirty();
        mWidgetManager->SetFocus(mTypingTutor);
    } else if (mContinuePending) {
        mContinuePending = false;
        OpenDifficultyDialog();
    } else if (mDifficulty == -1 && !endGameAsked && mBoard == nullptr) {
        StartGameSimple();
    } else {
        mEndGamePending = false;
        if (mBoard != nullptr) {
            mBoard->Pause(false);
            mWidgetManager->SetFocus(mBoard);
            mBoard->MarkDirty();
        }
    }
}

void WinBTApp::ContinueSavedGame()
{
    mAnswerYes = true;
    mAnswerNo = false;
    mStartingAdventure = false;
    mContinuePending = false;
    UserProfile* profile = mCurProfile;
    if (profile == nullptr)
        return;
    const SavedAdventure saved = SavedAdventure::Read(*profile);
    mDifficulty = saved.difficulty;
    mLevelResult.fill(0);
    mLevelResult[0] = saved.score;
    mLevelResult[1] = saved.level;
    static_assert(sizeof(double) == 2 * sizeof(int));
    std::memcpy(&mLevelResult[2], &saved.charge, sizeof(double));
    mLevelResult[4] = saved.lives;
    mRunLevelTotal8 = saved.totals[0];
    mRunLastEntry7 = saved.totals[1];
    mRunTotal10 = saved.totals[2];
    mRunTotal9 = saved.totals[3];
    mRunTypingTime = saved.typingTime;
    mOfferTutorial = false;
    StartGameSimple();
    if (mBoard == nullptr)
        return;
    mBoard->SetLevelValues(mLevelResult);
    if (!saved.IsUncharted()) {
        mConfig->ResetWaves(saved.site);
        if (saved.site >= LAST_FIXED_SITE)
            mMapScreen->SetLostAtSea(true);
    } else {
        // The uncharted waters as they were left: the view already scrolled there,
        // and the endless levels as fast as the levels played made them.
        mMapScreen->SetLostAtSea(true);
        mMapScreen->SnapView();
        mConfig->ResumeEndlessLevels(saved.endlessCount);
    }
    mMapScreen->mLevelNum = saved.level + 1;
    mBoard->StartLevel(mConfig);
    mOfferTutorial = !profile->mSeenTutorial;
    mMapScreen->mRouteDots = saved.routeDots;
    mMapScreen->mRoute.clear();
    for (int site : profile->mSavedSiteNumbers) {
        if (site < 0 || site >= MapScreen::NUM_SITES)
            continue;
        mMapScreen->mRoute.push_back(site);
        mMapScreen->mSites[site].mVisited = true;
    }
    // A damaged save may hold no route: the chart starts at the port again.
    if (mMapScreen->mRoute.empty())
        mMapScreen->mRoute.push_back(0);
}

// ---- Players.

void WinBTApp::ReplaceLostProfile(const std::string& name)
{
    mCurProfile = mProfileMgr->RenewLostProfile(name);
    mProfileMgr->RegisterDefaultUserName(mCurProfile->mName);
}

void WinBTApp::ChooseUser()
{
    auto* dialog = dynamic_cast<SelectUserDialog*>(FindDialog(SelectUserDialog::DIALOG_ID));
    const std::string name = dialog != nullptr ? dialog->GetSelectedName() : "";
    if (!name.empty() && mProfileMgr != nullptr) {
        mProfileMgr->RegisterDefaultUserName(name);
        UserProfile* profile = mProfileMgr->GetUserProfile(name);
        if (profile == nullptr) {
            DoMessageDialog("Error", LOST_DATA_TEXT, "", false);
            ReplaceLostProfile(name);
        } else {
            if (ParseStoredDouble(profile->mVersion) < UserProfile::OLDEST_DATA_VERSION) {
                DoMessageDialog("Error",
                                "Your saved data was from an older version of this game and is not compatible. A new "
                                "file will be created.",
                                "OK", true);
                profile->mVersion = mProductVersion;
            }
            mCurProfile = profile;
        }
        mHintsOn = mCurProfile->mHintsOn;
        NotifyScreen();
    }
    RemoveDialog(SelectUserDialog::DIALOG_ID);
    if (mCurProfile != nullptr)
        mOfferTutorial = !mCurProfile->mSeenTutorial;
}

void WinBTApp::CreateUser()
{
    auto* dialog = dynamic_cast<NewUserDialog*>(FindDialog(NewUserDialog::DIALOG_ID));
    if (dialog == nullptr || mProfileMgr == nullptr)
        return;
    // Blanks around a name are not part of it; a name of blanks is no name.
    std::string name = dialog->GetName();
    const size_t first = name.find_first_not_of(" \t");
    name = first == std::string::npos ? "" : name.substr(first, name.find_last_not_of(" \t") - first + 1);
    std::string upper = name;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');

    if (name.empty()) {
        DoMessageDialog("ENTER NAME",
                        "Enter your name to create a new user profile for\nstoring high score data and games in "
                        "progress.",
                        "", false);
        return;
    }
    if (upper == "(CREATE A NEW USER)" || upper == "(DELETE A USER)" || !UserProfileMgr::IsAcceptableUserName(name)) {
        DoMessageDialog("ERROR", "You can't create an account by that name.", "", false);
        return;
    }
    // The check reads nothing and writes nothing: another player's files stay as they are.
    if (mProfileMgr->FindUserProfile(name) != nullptr) {
        DoMessageDialog("NAME CONFLICT", "The name you entered already exists.\nTry entering a unique player name.",
                        "", false);
        return;
    }
    RemoveDialog(NewUserDialog::DIALOG_ID);
    auto* profile = new UserProfile(this);
    mHintsOn = profile->mHintsOn;
    profile->mName = name;
    profile->SetUserNumber(mProfileMgr->GetFreeUserNumber());
    mCurProfile = profile;
    mProfileMgr->WriteUserProfileToRegistry(profile, false, false);
    mProfileMgr->AddUserProfile(profile);
    mProfileMgr->RegisterDefaultUserName(name);
    RemoveDialog(SelectUserDialog::DIALOG_ID);
    DoMessageDialog2("ASSESS WPM?",
                     "Would you like to take a short test to measure your typing skill in Words Per Minute?\n\nThis "
                     "will be used to recommend a difficulty level for you. You can take the test over again later if "
                     "you like.\n\n\n\n\n",
                     "", false, "YES", "NO");
    mWpmTestPending = true;
    NotifyScreen();
}

void WinBTApp::ShowSelectUserDialog()
{
    auto* dialog = new SelectUserDialog(this);
    DressDialog(dialog);
    dialog->SetColor(1, Color(0, 255, 0));
    dialog->Resize(131, 34, 352, dialog->GetPreferredHeight(372));
    ShowGameDialog(SelectUserDialog::DIALOG_ID, dialog);
}

void WinBTApp::ShowNewUserDialog(const std::string& prompt)
{
    auto* dialog = new NewUserDialog(this, prompt);
    DressDialog(dialog);
    dialog->Resize(250, 32, 316, dialog->GetPreferredHeight(316));
    AddDialog(NewUserDialog::DIALOG_ID, dialog);
}

void WinBTApp::ShowDeleteUserDialog(const std::vector<std::string>& names)
{
    auto* dialog = new DeleteUserDialog(this, names);
    DressDialog(dialog);
    dialog->mSpaceAfterHeader = 20;
    mDeleteUserDialog = dialog;
    dialog->Resize(131, 34, 352, dialog->GetPreferredHeight(352));
    ShowGameDialog(DeleteUserDialog::DIALOG_ID, dialog);
}

void WinBTApp::ShowAbyssModeDialog()
{
    auto* dialog = new AbyssModeDialog(this, mCurProfile);
    DressDialog(dialog);
    dialog->SetColor(1, Color(0, 255, 0));
    dialog->Resize(131, 34, 352, dialog->GetPreferredHeight(372));
    mAbyssModeDialog = dialog;
    ShowGameDialog(AbyssModeDialog::DIALOG_ID, dialog);
}

// The statistics screen goes back to where it was opened: the menu, or the tutor.
void WinBTApp::CloseStatsScreen()
{
    if (mStatsScreen == nullptr)
        return;
    mWidgetManager->RemoveWidget(mStatsScreen);
    QueueWidgetDeletion(mStatsScreen);
    mStatsScreen = nullptr;
    if (mStatsCloseButton != nullptr) {
        mStatsCloseButton->SetVisible(false);
        mStatsCloseButton->SetDisabled(true);
    }
    if (mTypingTutor == nullptr) {
        ShowMenu();
        return;
    }
    mTypingTutor->mAskedViewStats = false;
    mTypingTutor->SetVisible(true);
    mTypingTutor->MarkDirty();
    mWidgetManager->SetFocus(mTypingTutor);
}

void WinBTApp::CloseHighScoreScreen()
{
    mShowingHighScores = false;
    if (mHighScoreScreen != nullptr) {
        mWidgetManager->RemoveWidget(mHighScoreScreen);
        QueueWidgetDeletion(mHighScoreScreen);
        mHighScoreScreen = nullptr;
    }
    if (mHighScoreCloseButton != nullptr)
        mHighScoreCloseButton->SetVisible(false);
    if (mBoard == nullptr && mTypingTutor == nullptr) {
        ShowMenu();
        if (mMenuScreen != nullptr)
            mMenuScreen->MarkDirty();
    } else if (mTypingTutor != nullptr) {
        mTypingTutor->MarkDirty();
    }
}

} // namespace Zant
