#include "game/shell/WinBTApp.h"

#include "framework/graphics/ImageFont.h"

#include "framework/app/AppServices.h"
#include "framework/app/ZantApp.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/sound/MusicInterface.h"
#include "framework/util/StringUtil.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/WidgetManager.h"
#include "game/common/Simulation.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/play/StatusBar.h"
#include "game/shell/MapScreen.h"
#include "game/shell/MenuScreen.h"
#include "game/shell/HighScoreScreen.h"
#include "game/shell/StatsScreen.h"
#include "game/shell/TestProbe.h"
#include "game/shell/NewUserDialog.h"
#include "game/shell/TitleScreen.h"
#include "game/shell/TypingTutor.h"
#include "game/profile/UserProfile.h"
#include "platform/SettingsStore.h"
#include "game/shell/UserProfileMgr.h"
#include "platform/Log.h"

namespace Zant {

// ---- Construction.

WinBTApp::WinBTApp() : GameAssets(this), mWordLists(*this)
{
    mProdName = "Plindor";
    mProductVersion = "1.01";
    mTitle = "Plindor Ombrex " + mProductVersion;
    mRegKey = "Vorlix\\Plindor";
    mIsWindowed = true;
    mCustomCursorsEnabled = false;
    mAutoEnable3D = true;
    mNumLoadingThreadTasks = 311;
}

WinBTApp::~WinBTApp()
{
    // The loading and cursor threads use the game's objects: they end first.
    // Shutting down stops a loader still at work at its next step.
    Shutdown();
    WaitForLoader();
    if (mCursorThread.joinable())
        mCursorThread.join();

    auto dropWidget = [this](auto*& widget) {
        if (widget == nullptr)
            return;
        if (mWidgetManager)
            mWidgetManager->RemoveWidget(widget);
        delete widget;
        widget = nullptr;
    };
    dropWidget(mStatusBar);
    dropWidget(mBoard);
    dropWidget(mTypingTutor);
    dropWidget(mStatsScreen);
    dropWidget(mStatsCloseButton);
    dropWidget(mHighScoreScreen);
    dropWidget(mHighScoreCloseButton);
    dropWidget(mTitleScreen);
    dropWidget(mMenuScreen);
    dropWidget(mMapScreen);
    // The manager owns the current profile; deleting it clears mCurProfile.
    delete mProfileMgr;
    mProfileMgr = nullptr;
    if (mConfig) {
        mConfig->ClearLevels();
        delete mConfig;
        mConfig = nullptr;
    }
    // The cursors are images of the table: the display lets go of them first.
    for (Image*& cursor : mCursorImages)
        cursor = nullptr;
    AppServices::SetDisplayCursorImage(this, nullptr);
    FreeFonts();
    FreeImages();
}

// ---- Small operations.

Player* WinBTApp::GetPlayer() const { return mBoard ? mBoard->mPlayer : nullptr; }

int WinBTApp::GetTreasureIndex()
{
    if (mTreasureImage == 0)
        mTreasureImage = IMAGE_GEM_GREEN + GetGameRandom().Next() % 6;
    return mTreasureImage;
}

bool WinBTApp::PlaySong(int position)
{
    if (position == mCurrentSong)
        return false;
    // The diver is being eaten: the danger tunes would only interrupt that scene.
    if (position == 37 || position == 43) {
        const Player* player = GetPlayer();
        if (player != nullptr && player->mState == 3)
            return true;
    }

    double speed = 0.005;
    bool noLoop = false;
    if (position == 37) {
        speed = 0;
        if (Simulation().IsOn() && mBoard != nullptr)
            mBoard->SimulatorFireZapper();
    } else if (position == 43) {
        speed = 0;
        noLoop = true;
    }
    if ((mCurrentSong == 17 || mCurrentSong == 20) && position == 0) {
        speed = 0.0025;
    } else if (position == 46) {
        speed = 0.015;
        noLoop = true;
    }
    MusicInterface* music = mMusicInterface;
    const bool anyPlaying = music != nullptr && (music->IsPlaying(0) || music->IsPlaying(1));
    if (mConfig != nullptr && mConfig->IsSpecialLevel() && mCurrentSong == 46 && position == 17 && anyPlaying)
        return false;
    if (speed == 0)
        speed = 0.8;

    const int newSlot = mCurrentSongSlot == 0 ? 1 : 0;
    if (music != nullptr) {
        if (music->IsPlaying(0) && music->IsPlaying(1))
            music->StopMusic(mCurrentSongSlot);
        else if (music->IsPlaying(mCurrentSongSlot))
            music->FadeOut(mCurrentSongSlot, true, speed);
        music->FadeIn(newSlot, position, speed, noLoop);
    }
    mCurrentSongSlot = newSlot;
    mCurrentSong = position;
    return true;
}

// ---- Framework hooks.

void WinBTApp::ButtonPress(int id) { PlaySound(SOUND_BUTTONCLICK); }

void WinBTApp::SaveSettings()
{
    const int muteCount = mMuteCount;
    mMuteCount = 0;
    ZantApp::SaveSettings();
    mMuteCount = muteCount;
}

void WinBTApp::SetMusicVolume(double volume)
{
    ZantApp::SetMusicVolume(volume);
    if (mMusicInterface != nullptr)
        mMusicInterface->SetVolume(GetMusicVolume());
}

Dialog* WinBTApp::NewDialog(int id, bool modal, const std::string& header, const std::string& lines,
                            const std::string& footer, int buttonMode)
{
    auto* dialog = new Dialog(GetImage(IMAGE_DIALOG), GetImage(IMAGE_DBUTTON), id, modal, header, lines, footer,
                              buttonMode);
    DressDialog(dialog);
    dialog->Resize(237, 50, 316, dialog->GetPreferredHeight(306));
    return dialog;
}

// ---- Flow.

const char* const WinBTApp::HIGH_SCORES_LOST_TEXT =
    "The high scores were either\nnot found or are corrupted.\nNew tables have been created.\n";

namespace {

// Told once when the settings store's file was refused at start-up and kept aside.
std::string SettingsRefusedText(const Platform::SettingsStore::RefusedFile& refused)
{
    const bool unreadable = refused.state == Platform::SettingsStore::FileState::Unreadable;
    return "The settings file\n" + refused.path + "\n" +
           (unreadable ? "could not be read." : "was damaged.") + " It has been kept as\n" +
           PathFilePart(refused.asidePath) + "\n" +
           (unreadable ? "and new settings have been created.\n" : "and what could be read is used.\n");
}

} // namespace

void WinBTApp::LeaveTitleScreen()
{
    if (mTitleScreen != nullptr) {
        mWidgetManager->RemoveWidget(mTitleScreen);
        QueueWidgetDeletion(mTitleScreen);
        mTitleScreen = nullptr;
    }
    ShowMenu();

    CreateMapScreenIfMissing();

    // The default user's saved data did not load: the player is told, and the
    // profile starts afresh under its name, keeping what the store holds.
    std::string message;
    if (mCurProfile == nullptr && mProfileMgr != nullptr && !mProfileMgr->GetDefaultUserName().empty()) {
        message = "Your saved data was either\nnot found or is corrupted. \nA new one will be created.\n";
        ReplaceLostProfile(mProfileMgr->GetDefaultUserName());
    }
    if (mCurProfile != nullptr && ParseStoredDouble(mCurProfile->mVersion) < UserProfile::OLDEST_DATA_VERSION) {
        message = "Your saved data was from an older version of this game and is not compatible. A new file will be "
                  "created.\n\n\n";
        mCurProfile->mVersion = mProductVersion;
    }
    // Said in the same box: a second one would take the first one's place.
    if (mProfileMgr != nullptr && mProfileMgr->TakeHighScoresLost())
        message += (message.empty() ? "" : "\n") + std::string(HIGH_SCORES_LOST_TEXT);
    // By now the start's first writes have moved a refused store aside; a demo played
    // back writes nothing and moves nothing.
    Platform::SettingsStore::RefusedFile refused;
    if (!mPlayingDemoBuffer && Platform::GetSettingsStore().TakeRefusedFile(refused))
        message += (message.empty() ? "" : "\n") + SettingsRefusedText(refused);
    if (!message.empty())
        DoMessageDialog("Error", message, "", false);
}

void WinBTApp::ShowMenu()
{
    if (mMenuScreen != nullptr)
        return;
    mOpenDialogCount = 0;
    mMenuScreen = new MenuScreen(this);
    mMenuScreen->Resize(0, 0, mWidth, mHeight);
    mMenuScreen->SetDisabled(false);
    mMenuScreen->mHasAlpha = true;
    mWidgetManager->AddWidget(mMenuScreen);
    mMenuScreen->SetVisible(true);
    mMenuScreen->MarkAllDirty();

    RemoveDialog(778);
    // The board and its bar go after this update; the fields are cleared at once so
    // that nothing reaches them twice.
    for (Widget* widget : {static_cast<Widget*>(mStatusBar), static_cast<Widget*>(mBoard),
                           static_cast<Widget*>(mTypingTutor)}) {
        if (widget == nullptr)
            continue;
        mWidgetManager->RemoveWidget(widget);
        QueueWidgetDeletion(widget);
    }
    mStatusBar = nullptr;
    mBoard = nullptr;
    mTypingTutor = nullptr;

    // No player yet: ask for a name first.
    if (mProfileMgr != nullptr && (mProfileMgr->GetProfiles().empty() || mProfileMgr->GetDefaultUserName().empty()) &&
        FindDialog(NewUserDialog::DIALOG_ID) == nullptr)
        ShowNewUserDialog(NEW_USER_PROMPT);
    // The next run starts from the main loop: a game that ends inside the board's
    // update must not build the next board inside it.
    if (Simulation().IsOn())
        mSimulatedRunDue = true;
}

void WinBTApp::StartSimulatedRun()
{
    SimulationHarness& simulation = Simulation();
    simulation.ReadSimulationConfig(false);
    if (!simulation.IsOn()) {
        if (!simulation.mError.empty())
            Platform::DebugOutput(simulation.mError + "\n");
        return;
    }
    simulation.NextSimulationConfig();
    simulation.StartRun(mGameSeed);
    mHintsOn = false;
    simulation.mEndGame = [this](bool keep) { EndGame(keep); };
    // The menu's adventure and abyss buttons.
    ButtonDepress(simulation.mAdventure ? 100 : 101);
}

void WinBTApp::KillScreen()
{
    if (mMenuScreen == nullptr)
        return;
    mWidgetManager->RemoveWidget(mMenuScreen);
    QueueWidgetDeletion(mMenuScreen);
    mMenuScreen = nullptr;
}

void WinBTApp::NotifyScreen()
{
    if (mMenuScreen != nullptr)
        mMenuScreen->MarkDirty();
}

void WinBTApp::RaiseStatsCloseButton()
{
    if (mStatsCloseButton != nullptr)
        mWidgetManager->BringToFront(mStatsCloseButton);
}

Image* WinBTApp::CopyPalletized(Image* image)
{
    DDImage* copy = DuplicateImage(image);
    if (copy != nullptr)
        copy->Palletize();
    return copy;
}

int WinBTApp::GetProfileAnnoDomini() const { return mCurProfile ? mCurProfile->mBestDepth : 0; }

void WinBTApp::SetProfileFlag(bool on)
{
    if (mCurProfile != nullptr)
        mCurProfile->mLevelHints = on;
}

bool WinBTApp::GetProfileFlag() const
{
    return mCurProfile == nullptr || (mCurProfile->mLevelHints && mHintsOn);
}

// ---- Level configuration and word-list host.

MersenneTwister& WinBTApp::GetGameRandom()
{
    // Init makes the game's generator; code that runs before it (tests, tools) gets
    // one with the generator's default seed rather than a null dereference.
    return GameRandom();
}

int WinBTApp::GetBoardAbyssDepth() { return mBoard ? mBoard->mAbyssDepth : 0; }

void WinBTApp::ShowWordListMessage(const std::string& text) { ShowMessage(text); }

void WinBTApp::WordListSectionLoaded()
{
    // Each section header counts on both sides, so the bar still ends short of full.
    ++mCompletedLoadingThreadTasks;
    ++mNumLoadingThreadTasks;
}

void WinBTApp::WordListDebugLine(const std::string& text) { Platform::DebugOutput(text + "\n"); }

} // namespace Zant
