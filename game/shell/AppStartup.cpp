// Start-up of the game application: the checks and first assets of Init on the main
// thread, the loading procedure on the loading thread with its step counts, and the
// hand-over of its outcome (messages, the end of the title screen) to the main thread.
#include <thread>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/ImageFont.h"
#include "framework/sound/DSoundManager.h"
#include "framework/sound/MusicInterface.h"
#include "framework/util/PerfTimer.h"
#include "framework/util/StringUtil.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/common/Config.h"
#include "game/common/Simulation.h"
#include "game/shell/TitleScreen.h"
#include "game/profile/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/TestProbe.h"
#include "game/shell/WinBTApp.h"
#include "platform/Log.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"

namespace Zant {

namespace {

const char* const WRITE_CHECK_VALUE = "WriteCheck";
const char* const MUSIC_FILE = "music\\Brinetun.mo3";

// Level files are read when a game starts; the loader reads each once with a
// generator of its own, so a damaged one is named at start-up and the game's own
// random sequence is untouched.
class LevelFileCheck : public ConfigHost {
public:
    MersenneTwister& GetGameRandom() override { return mRandom; }
    int GetBoardAbyssDepth() override { return 0; }

private:
    MersenneTwister mRandom;
};

// The file a level loader's error text starts with ("<path>: ..." or "<path> line N: ...").
std::string FileOfLevelError(const std::string& error)
{
    size_t end = error.find(" line ");
    if (end == std::string::npos)
        end = error.find(": ");
    return PathFilePart(error.substr(0, end));
}

} // namespace

std::string WinBTApp::MissingFileMessage(const std::string& file)
{
    return "The file: " + file + ", is missing or corrupt. Please reinstall the product or email tech support at " +
           SUPPORT_ADDRESS;
}

std::string WinBTApp::Quoted(const std::string& path) { return "\"" + PathFilePart(path) + "\""; }

// ---- Messages from the loading thread.

void WinBTApp::ShowMessage(const std::string& text)
{
    // The loading thread never opens a window: its messages wait for the main thread.
    if (std::this_thread::get_id() != mPrimaryThreadId) {
        std::lock_guard<std::mutex> lock(mMessageLock);
        mQueuedMessages.push_back(text);
        return;
    }
    ZantApp::ShowMessage(text);
}

void WinBTApp::ShowQueuedMessages()
{
    std::vector<std::string> messages;
    {
        std::lock_guard<std::mutex> lock(mMessageLock);
        messages.swap(mQueuedMessages);
    }
    for (const std::string& text : messages)
        ZantApp::ShowMessage(text);
}

void WinBTApp::StopStartup()
{
    mExitCode = EXIT_FATAL;
    mCloseRequest = true;
}

// ---- Init.

bool WinBTApp::CheckAdminAccess()
{
    // The settings store stands where the machine-wide software key was. A first
    // write also makes the program's key, which the profile manager lists.
    const bool storeWritable = WriteRegistryString(WRITE_CHECK_VALUE, "1");
    if (storeWritable)
        DeleteRegistryValue(WRITE_CHECK_VALUE);
    if (storeWritable && Platform::MakeFolders(Platform::UserDataFolder() + "/users"))
        return true;
    Platform::MessageBoxRequest box;
    box.title = "APPLICATION ERROR";
    box.text = "Plindor Ombrex cannot write its settings store and users folder (" + Platform::UserDataFolder() +
               "). The disk may be full or read-only, or the folder may belong to another account.";
    box.icon = Platform::BoxIcon::Error;
    Platform::ShowMessageBox(box);
    return false;
}

bool WinBTApp::LoadFont(Font*& field, const char* path)
{
    auto* font = new ImageFont(this, path);
    field = font;
    if (!font->IsLoaded()) {
        // A descriptor that ran has named its file and fault in a box of its own.
        if (!font->LoadErrorShown())
            ShowMessage(MissingFileMessage(Quoted(path)));
        return false;
    }
    font->Prepare();
    return true;
}

bool WinBTApp::LoadInitFont(Font*& field, const char* path)
{
    if (LoadFont(field, path))
        return true;
    StopStartup();
    return false;
}

void WinBTApp::Init()
{
    ZantApp::Init();
    if (mShutdown)
        return;
    if (!CheckAdminAccess()) {
        mExitCode = EXIT_FATAL;
        Shutdown();
        return;
    }
    mTestProbe = TestProbe::FromEnvironment(*this);
    // The game's songs play through the framework's music interface.
    if (mMusicInterface != nullptr)
        mMusicInterface->SetVolume(GetMusicVolume());

    mTitleScreen = new TitleScreen(this);
    mTitleScreen->Resize(0, 0, mWidth, mHeight);
    if (!mTitleScreen->LoadImages())
        mExitCode = EXIT_FATAL;
    mWidgetManager->AddWidget(mTitleScreen);

    // The game's generator follows from the framework's, which a demo replays.
    mGameSeed = NextRandom();
    delete gGameRandom;
    gGameRandom = new MersenneTwister(static_cast<uint32_t>(mGameSeed));

    mProfileMgr = new UserProfileMgr(this);
    const std::string defaultUser = mProfileMgr->GetDefaultUserName();
    if (!defaultUser.empty()) {
        mCurProfile = mProfileMgr->GetUserProfile(defaultUser);
        if (mCurProfile != nullptr && mCurProfile->mSeenTutorial)
            mOfferTutorial = false;
    }

    for (int i = NUM_LOADED_IMAGES; i < NUM_IMAGES; ++i) {
        DDImage* image = LoadImageFile(std::string("images\\") + IMAGE_NAMES[i]);
        if (image == nullptr) {
            FreeImages();
            ShowMessage(MissingFileMessage(std::string("images\\") + IMAGE_NAMES[i]));
            mExitCode = EXIT_FATAL;
            Shutdown();
            return;
        }
        SetImage(i, image);
    }
    for (int cursor = 0; cursor < 4; ++cursor)
        AssignCursorImage(cursor, GetImage(IMAGE_CURSOR1 + cursor));

    if (!LoadInitFont(mFontRockwell13, "data\\Rockwell13.txt"))
        return;
    if (!LoadInitFont(mFontRockwell13Bold, "data\\Rockwell13Bold.txt"))
        return;
    StartSimulationMode();
}

bool WinBTApp::StartSimulationMode()
{
    SimulationHarness& simulation = Simulation();
    if (!simulation.IsOn()) {
        if (!simulation.mError.empty()) {
            Platform::MessageBoxRequest box;
            box.title = "Simulation Mode";
            box.text = simulation.mError;
            box.icon = Platform::BoxIcon::Warning;
            Platform::ShowMessageBox(box);
        }
        return true;
    }
    simulation.SetDiscardResults(mPlayingDemoBuffer);
    if (simulation.OpenResultFiles())
        return true;
    ShowMessage("The simulation results cannot be written: " + simulation.mError);
    mExitCode = EXIT_FATAL;
    Shutdown();
    return false;
}

// ---- The loading procedure (loading thread).

bool WinBTApp::LoadingStep(int n)
{
    mCompletedLoadingThreadTasks += n;
    return !mShutdown;
}

void WinBTApp::FailLoading(const std::string& message)
{
    ShowMessage(message);
    mLoadFailed = true;
}

int64_t WinBTApp::EstimateCpuMHz() { return EstimateCpuClock(); }

// Each step checks whether the application is shutting down (a closed window, the
// end of the desktop session): the player expects the game to end at once, not
// once every asset has loaded. Shutting down waits for this thread to stop.
void WinBTApp::LoadingProc()
{
    // The images are decoded beside the music, fonts and lists; they are counted in
    // their own step below.
    StartImageDecoding();
    for (int song : {0, 1}) {
        // A missing or unplayable module only leaves the game silent.
        if (mMusicInterface != nullptr)
            mMusicInterface->LoadMusic(song, MUSIC_FILE);
        if (!LoadingStep(1))
            return;
    }
    PlaySong(17);

    struct FontFile {
        Font** field;
        const char* path;
    };
    const FontFile fonts[] = {
        {&mFontGillSans10Bold, "data\\GillSansMT10Bold.txt"},
        {&mFontCourier15Bold, "data\\CourierFinalDraft15Bold.txt"},
        {&mFont12pt, "data\\12ptfont.txt"},
        {&mFont12ptGlow, "data\\12ptfontglow.txt"},
        {&mFontMyriad28BoldGL, "data\\MyriadCondensedWeb28BoldGL.txt"},
        {&mFontMyriad28Bold, "data\\MyriadCondensedWeb28Bold.txt"},
        {&mFontUnsteady22, "data\\UnsteadyOversteer22.txt"},
        {&mFontMyriad12Bold, "data\\MyriadCondensedWeb12Bold.txt"},
        {&mFontMyriad14Bold, "data\\MyriadCondensedWeb14Bold.txt"},
        {&mFontMyriad15, "data\\MyriadCondensedWeb15.txt"},
        {&mFontMyriad15b, "data\\MyriadCondensedWeb15.txt"},
        {&mFontSwiss24, "data\\SwissCheesed24.txt"},
    };
    for (const FontFile& file : fonts) {
        if (!LoadFont(*file.field, file.path)) {
            mLoadFailed = true;
            return;
        }
        if (!LoadingStep(1))
            return;
    }

    RimWordFonts();

    struct WordFile {
        bool (WordLists::*load)();
        const char* name;
    };
    const WordFile words[] = {
        {&WordLists::LoadWordLengthLists, "waves.txt"}, {&WordLists::LoadDifficultyWords, "twords.txt"},
        {&WordLists::LoadGemNames, "gemnames.txt"},      {&WordLists::LoadShipNames, "shipnames.txt"},
        {&WordLists::LoadThemes, "themes.txt"},
    };
    for (const WordFile& file : words) {
        if (!(mWordLists.*file.load)())
            return FailLoading(MissingFileMessage(Quoted(file.name)));
        if (!LoadingStep(1))
            return;
    }
    for (int difficulty = -1; difficulty <= 4; ++difficulty) {
        LevelFileCheck host;
        Config check(&host);
        if (check.Load(difficulty) != Config::LOAD_OK) {
            Platform::DebugOutput(check.GetErrorText() + "\n");
            return FailLoading(MissingFileMessage(Quoted(FileOfLevelError(check.GetErrorText()))));
        }
        if (mShutdown)
            return;
    }

    // The image loader names the missing image itself.
    if (!LoadImageOrDie()) {
        mLoadFailed = true;
        return;
    }
    if (mShutdown)
        return;
    BuildDerivedImages();
    if (!LoadingStep(1))
        return;

    for (int id = 0; id < NUM_SOUNDS; ++id) {
        const std::string name = std::string("sounds\\") + SOUND_NAMES[id];
        if (mSoundManager != nullptr && !mSoundManager->LoadSoundFile(static_cast<unsigned>(id), name))
            return FailLoading(MissingFileMessage(name));
        if (!LoadingStep(1))
            return;
    }

    mEffectsOn = EstimateCpuMHz() >= FAST_MACHINE_MHZ;
    LoadingStep(2);

    if (mSoundManager != nullptr)
        mAmbience0 = mSoundManager->CreateChannel(SOUND_EERIE1);
    LoadingStep(1);
    if (mSoundManager != nullptr)
        mAmbience1 = mSoundManager->CreateChannel(SOUND_EERIE3);
    mAmbience1Ref = mAmbience1;
    LoadingStep(1);
    if (mSoundManager != nullptr)
        mAmbienceLoop = mSoundManager->CreateChannel(SOUND_UNDERWATERLOOP);
    LoadingStep(1);

    // Leaving the title rebuilds the widget tree: the main thread does it when it
    // sees the end of loading.
    mUpdateCheckDue = mStartUpdateCheckDue;
}

void WinBTApp::LoadingCompleted()
{
    ShowQueuedMessages();
    if (mLoadFailed) {
        StopStartup();
        return;
    }
    if (mUpdateCheckDue) {
        if (mTitleScreen != nullptr) {
            mTitleScreen->mContinueButton->SetDisabled(false);
            mTitleScreen->mContinueButton->SetVisible(true);
        }
        AskForUpdateCheck();
        return;
    }
    ButtonDepress(TitleScreen::CONTINUE_ID);
}

void WinBTApp::UpdateOnce()
{
    ShowQueuedMessages();
    // The base update also steps the music's fades.
    const int before = mUpdateCount;
    ZantApp::UpdateOnce();
    if (mUpdateCount == before)
        return;
    if (mSimulatedRunDue) {
        mSimulatedRunDue = false;
        StartSimulatedRun();
    }
    if (mTestProbe != nullptr)
        mTestProbe->Update(*this, mUpdateCount);
}

} // namespace Zant
