#include "tests/support/GameScreenshotRig.h"

#include <gtest/gtest.h>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/ImageFont.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "tests/support/ReferencePicture.h"
#include "tests/support/TestSupport.h"

namespace TestSupport {

GameScreenshotRig::WorkingFolder::WorkingFolder(const std::string& path) : mOld(std::filesystem::current_path())
{
    std::filesystem::current_path(path);
}

GameScreenshotRig::WorkingFolder::~WorkingFolder() { std::filesystem::current_path(mOld); }

GameScreenshotRig::GameScreenshotRig()
{
    Platform::SetClock(&mClock);
    Platform::SetMessageBoxes(&mBoxes);
    Platform::SetSettingsStore(&mStore);
    mStore.CreateKey("SOFTWARE\\Vorlix\\Plindor");
}

GameScreenshotRig::~GameScreenshotRig()
{
    if (mApp != nullptr) {
        mApp->mWidgetManager->mImage = nullptr;
        mApp->SetWindowSystem(nullptr);
        mApp.reset();
    }
    if (mAttached)
        mScreen.Detach();
    mWindows.reset();
    delete Zant::gGameRandom;
    Zant::gGameRandom = nullptr;
    Platform::SetSettingsStore(nullptr);
    Platform::SetMessageBoxes(nullptr);
    Platform::SetClock(nullptr);
}

std::string GameScreenshotRig::Start(const char* title, uint32_t gameSeed)
{
    const std::string gameDir = GameDir();
    if (!std::filesystem::exists(gameDir + "/images"))
        return "the art is not built in " + gameDir;
    if (!mServer.Start())
        return "no Xvfb";
    mEnv.Set("DISPLAY", mServer.Display());
    mEnv.Set("SDL_VIDEODRIVER", "x11");
    // SDL's software renderer: an exact copy of the frame, no GL driver.
    mEnv.Set("SDL_RENDER_DRIVER", "software");
    mEnv.Set("SDL_FRAMEBUFFER_ACCELERATION", "0");
    delete Zant::gGameRandom;
    Zant::gGameRandom = new Zant::MersenneTwister(gameSeed);
    mWorkingFolder.emplace(gameDir);

    mWindows = std::make_unique<Platform::SdlWindowSystem>();
    std::string error;
    if (!mWindows->InitVideo(error))
        return "SDL cannot open the X display: " + error;
    if (!mWindows->CreateMainWindow(title, 0, 0, 640, 480, false))
        return "no window";
    mWindows->ShowMainWindow(true);
    if (!mScreen.Attach(mWindows->NativeWindow(), false))
        return "no screen on the window";
    mAttached = true;
    mScreen.SetCapture(true);
    mFrame.Create(640, 480);
    return "";
}

bool GameScreenshotRig::Attach(std::unique_ptr<Zant::WinBTApp> owned)
{
    mApp = std::move(owned);
    Zant::WinBTApp& app = *mApp;
    app.SetWindowSystem(mWindows.get());
    app.mWidgetManager = new Zant::WidgetManager(&app);
    app.mWidgetManager->SetScreenSize(640, 480);
    app.mWidgetManager->mImage = &mFrame;
    if (!app.LoadImageOrDie()) {
        ADD_FAILURE() << "the program folder's pictures";
        return false;
    }
    // Start-up loads the dialogs' pictures, past the loading step's.
    for (int index : {Zant::IMAGE_DIALOG, Zant::IMAGE_DBUTTON})
        app.SetImage(index, app.LoadImageFile(std::string("images\\") + Zant::WinBTApp::IMAGE_NAMES[index]));
    bool loaded = app.GetImage(Zant::IMAGE_DBUTTON) != nullptr;
    auto font = [&](Zant::Font*& slot, const char* file) {
        auto* f = new Zant::ImageFont(&mFontHost, std::string("data/") + file);
        loaded = loaded && f->IsLoaded();
        EXPECT_TRUE(f->IsLoaded()) << file;
        slot = f;
    };
    font(app.mFontMyriad14Bold, "MyriadCondensedWeb14Bold.txt");
    font(app.mFontMyriad12Bold, "MyriadCondensedWeb12Bold.txt");
    font(app.mFontGillSans10Bold, "GillSansMT10Bold.txt");
    font(app.mFontRockwell13, "Rockwell13.txt");
    font(app.mFontRockwell13Bold, "Rockwell13Bold.txt");
    font(app.mFontSwiss24, "SwissCheesed24.txt");
    return loaded;
}

Zant::UserProfile& GameScreenshotRig::AddPlayer(const std::string& name, int userNumber)
{
    if (mApp->mProfileMgr == nullptr)
        mApp->mProfileMgr = new Zant::UserProfileMgr(mApp.get());
    auto* profile = new Zant::UserProfile(mApp.get());
    profile->mName = name;
    profile->mUserNumber = userNumber;
    mApp->mProfileMgr->AddUserProfile(profile);
    mApp->mCurProfile = profile;
    return *profile;
}

int GameScreenshotRig::Shoot(const std::string& referenceFolder, const std::string& name, int channelTolerance)
{
    mApp->mWidgetManager->MarkAllWidgetsDirty();
    mApp->mWidgetManager->DrawScreen();
    EXPECT_TRUE(mScreen.Show(mFrame.GetBits(), 640 * 4, 32, 640, 480)) << name;
    int width = 0, height = 0;
    const std::vector<uint32_t> shot = mScreen.Captured(width, height);
    if (width != 640 || height != 480) {
        ADD_FAILURE() << name << ": the window read back as " << width << "x" << height;
        return -1;
    }
    return DifferingPixels(shot, SourceDir() + "/" + referenceFolder + "/" + name, name, channelTolerance);
}

} // namespace TestSupport
