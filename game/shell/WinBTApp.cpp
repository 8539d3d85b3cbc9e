#include "game/shell/WinBTApp.h"

#include "framework/graphics/ImageFont.h"

#include "framework/app/AppServices.h"
#include "framework/app/ZantApp.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/sound/MusicInterface.h"
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
#include "game/shell/UserProfileMgr.h"
#include "platform/Log.h"

namespace Zant {

// ---- Tables.

const char* const WinBTApp::SUPPORT_ADDRESS = "support@vorlix.example";

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
    FreeOutlinedFonts();
    for (Font** font : {&mFontGillSans10Bold, &mFontMyriad28Bold, &mFontMyriad28BoldGL, &mFontMyriad12Bold,
                        &mFontMyriad14Bold, &mFontSwiss24, &mFontUnsteady22, &mFontRockwell13, &mFontRockwell13Bold,
                        &mFontMyriad15, &mFontMyriad15b, &mFont12pt, &mFont12ptGlow, &mFontCourier15Bold}) {
        delete *font;
        *font = nullptr;
    }
    FreeImages();
}

// ---- Image table and derived images.

void WinBTApp::RimWordFonts()
{
    // Creature words lie on bodies of every colour: a white rim round the dark
    // untyped letters, a black one round the bright typed ones.
    if (auto* word = dynamic_cast<ImageFont*>(mFontMyriad15))
        word->AddTag("LightRim");
    if (auto* typed = dynamic_cast<ImageFont*>(mFontMyriad15b))
        typed->AddTag("DarkRim");
}

void WinBTApp::StartImageDecoding()
{
    std::vector<std::string> paths;
    for (int i = 0; i < NUM_LOADED_IMAGES; ++i)
        paths.push_back(std::string("images\\") + IMAGE_NAMES[i]);
    mImageDecoding.Start(std::move(paths), mShutdown);
}

bool WinBTApp::LoadImageOrDie()
{
    if (!mImageDecoding.IsStarted())
        StartImageDecoding();
    // Each image is counted here, in table order, as it becomes ready.
    const bool loaded = mImageDecoding.Receive([this](size_t i, std::unique_ptr<DDImage> image) {
        image->JoinSets(mDDInterface, this);
        SetImage(int(i), image.release());
        ++mCompletedLoadingThreadTasks;
        return true;
    });
    if (!loaded && !mImageDecoding.GetMissingPath().empty()) {
        ShowMessage("The file: " + mImageDecoding.GetMissingPath() +
                    ", is missing or corrupt. Please reinstall the product or email tech support at " +
                    SUPPORT_ADDRESS);
        return false;
    }
    return true;
}

Image* WinBTApp::KeepDerived(Image* image)
{
    if (auto* memory = dynamic_cast<MemoryImage*>(image))
        memory->Palletize();
    if (image != nullptr)
        mDerivedImages.push_back(image);
    return image;
}

Image* WinBTApp::MirroredCopy(Image* source)
{
    if (source == nullptr)
        return nullptr;
    Image* copy = DuplicateImage(source);
    MirrorImageHorizontally(copy);
    return KeepDerived(copy);
}

Image* WinBTApp::TintedCopy(Image* source, const Color& color)
{
    if (source == nullptr)
        return nullptr;
    return KeepDerived(TransformImagePixels(source, color));
}

Image* WinBTApp::DarkenedMirror(int index)
{
    Image* source = GetImage(index);
    if (source == nullptr)
        return nullptr;
    Image* copy = TransformImagePixels(source, Color(200, 200, 200));
    MirrorImageHorizontally(copy);
    return KeepDerived(copy);
}

void WinBTApp::BuildDerivedImages()
{
    static const Color FISH_TINTS[NUM_FISH_TINTS] = {Color(50, 50, 255), Color(130, 130, 200), Color(185, 185, 155)};
    static const Color SEE_THROUGH(255, 255, 255, 128);
    static const Color RED(200, 0, 0);

    for (int fish : {IMAGE_SMALLCARN, IMAGE_SMALLGOLDFISH})
        for (const Color& tint : FISH_TINTS)
            mFishImages.push_back(TintedCopy(GetImage(fish), tint));

    mRotorTorpedoMirror = DarkenedMirror(IMAGE_ROTOR_TORPEDO);
    mCannonballMirror = DarkenedMirror(IMAGE_CANNONBALL);
    mTorpedoSwimMirror = DarkenedMirror(IMAGE_TORPEDO_SWIM);
    mToxicSwimMirror = DarkenedMirror(IMAGE_TOXIC_BASIC_SWIM);
    mToxicGlowMirror = DarkenedMirror(IMAGE_TOXIC_GLOW_SWIM);
    mGhostSwimMirror = DarkenedMirror(IMAGE_SHARK_GHOST_SWIM);
    mGhostGlowMirror = DarkenedMirror(IMAGE_SHARK_GHOST_GLOW_SWIM);

    // Sharks by creature type: 0 plain, 1 three-word, 2 two-word, 3 stealth, 4 toxic,
    // 9 and 10 the stealth multi-word kinds.
    auto& shark = mSharkImages;
    shark[2][VARIANT_MIRRORED] = MirroredCopy(GetImage(IMAGE_SHARK_RED_SWIM));
    shark[2][VARIANT_RED] = TintedCopy(GetImage(IMAGE_SHARK_RED_SWIM), RED);
    shark[9][VARIANT_SWIM] = TintedCopy(GetImage(IMAGE_SHARK_RED_SWIM), SEE_THROUGH);
    shark[9][VARIANT_DEATH] = TintedCopy(GetImage(IMAGE_SHARK_RED_DEATH), SEE_THROUGH);
    shark[0][VARIANT_SWIM] = GetImage(IMAGE_SHARK_BASIC_SWIM);
    shark[0][VARIANT_MIRRORED] = MirroredCopy(GetImage(IMAGE_SHARK_BASIC_SWIM));
    shark[0][VARIANT_RED] = TintedCopy(GetImage(IMAGE_SHARK_BASIC_SWIM), RED);
    shark[0][VARIANT_DEATH] = GetImage(IMAGE_SHARK_BASIC_DEATH);
    shark[3][VARIANT_SWIM] = TintedCopy(GetImage(IMAGE_SHARK_BASIC_SWIM), SEE_THROUGH);
    shark[3][VARIANT_DEATH] = TintedCopy(GetImage(IMAGE_SHARK_BASIC_DEATH), SEE_THROUGH);
    shark[1][VARIANT_MIRRORED] = MirroredCopy(GetImage(IMAGE_SHARK_BLACK_SWIM));
    shark[1][VARIANT_RED] = TintedCopy(GetImage(IMAGE_SHARK_BLACK_SWIM), RED);
    shark[10][VARIANT_SWIM] = TintedCopy(GetImage(IMAGE_SHARK_BLACK_SWIM), SEE_THROUGH);
    shark[10][VARIANT_DEATH] = TintedCopy(GetImage(IMAGE_SHARK_BLACK_DEATH), SEE_THROUGH);
    // The toxic shark's swim strip is its own image, like the plain shark's.
    shark[4][VARIANT_SWIM] = GetImage(IMAGE_TOXIC_BASIC_SWIM);
    shark[4][VARIANT_DEATH] = GetImage(IMAGE_TOXIC_BASIC_DEATH);
    shark[4][VARIANT_RED] = TintedCopy(GetImage(IMAGE_TOXIC_BASIC_SWIM), RED);

    // Piranhas by creature type: 0 plain, 2 red, 3 stealth, 6 white, 7 white stealth.
    auto& piranha = mPiranhaImages;
    piranha[0][VARIANT_MIRRORED] = MirroredCopy(GetImage(IMAGE_PIRANHA_BASIC_SWIM));
    piranha[3][VARIANT_SWIM] = TintedCopy(GetImage(IMAGE_PIRANHA_BASIC_SWIM), SEE_THROUGH);
    piranha[3][VARIANT_DEATH] = TintedCopy(GetImage(IMAGE_PIRANHA_BASIC_DEATH), SEE_THROUGH);
    piranha[6][VARIANT_MIRRORED] = MirroredCopy(GetImage(IMAGE_PIRANHA_WHITE_SWIM));
    piranha[2][VARIANT_MIRRORED] = MirroredCopy(GetImage(IMAGE_GUMBO_SWIM));
    piranha[7][VARIANT_SWIM] = TintedCopy(GetImage(IMAGE_PIRANHA_WHITE_SWIM), SEE_THROUGH);
    piranha[7][VARIANT_DEATH] = TintedCopy(GetImage(IMAGE_PIRANHA_WHITE_DEATH), SEE_THROUGH);

    // The sonar sweep quadrants turned upside down and round for the other half.
    const std::pair<int, std::vector<Image*>*> sweeps[] = {{IMAGE_SONAR_SWEEP_0, &mSonarSweeps},
                                                            {IMAGE_SONAR_SWEEP2_0, &mSonarSweeps2}};
    for (const auto& [first, list] : sweeps) {
        for (int i = 0; i < 5; ++i) {
            Image* source = GetImage(first + i);
            Image* copy = source ? DuplicateImage(source) : nullptr;
            if (copy != nullptr) {
                MirrorImageHorizontally(copy);
                FlipImageVertically(copy);
            }
            list->push_back(KeepDerived(copy));
        }
    }
}

void WinBTApp::FreeImages()
{
    mSharkImages.clear();
    mPiranhaImages.clear();
    mFishImages.clear();
    mSonarSweeps.clear();
    mSonarSweeps2.clear();
    mRotorTorpedoMirror = mCannonballMirror = mTorpedoSwimMirror = nullptr;
    mToxicSwimMirror = mToxicGlowMirror = mGhostSwimMirror = mGhostGlowMirror = nullptr;
    for (Image* image : mDerivedImages)
        delete image;
    mDerivedImages.clear();
    for (Image*& image : mImages) {
        delete image;
        image = nullptr;
    }
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
