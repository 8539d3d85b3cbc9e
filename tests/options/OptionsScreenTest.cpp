// The options dialog over the menu and the update-check dialog with its waiting
// bar, drawn by the game in a real X window (a private Xvfb server) and compared
// with the reference pictures kept beside this test. A failing comparison leaves
// the picture taken and a difference picture in the build folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "framework/app/AppServices.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/ImageFont.h"
#include "framework/widgets/UpdateCheckDialog.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/OptionsDialog.h"
#include "game/shell/TitleScreen.h"
#include "game/shell/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/Window.h"
#include "platform/display/SdlScreen.h"
#include "tests/support/ScreenShots.h"
#include "tests/support/TestSupport.h"
#include "tests/support/XServer.h"

using namespace Zant;

namespace {

// Per channel: the display's rounding; pixels: a few edge pixels of scaled text.
constexpr int CHANNEL_TOLERANCE = 6;
constexpr int MAX_DIFFERENT_PIXELS = 200;

class FastApp : public WinBTApp {
public:
    int64_t EstimateCpuMHz() override { return 2000; }
};

void RunScenario(const std::string& display)
{
    TestSupport::EnvScope env;
    env.Set("DISPLAY", display);
    env.Set("SDL_VIDEODRIVER", "x11");
    if (chdir(TestSupport::GameDir().c_str()) != 0)
        _exit(TestSupport::CHILD_SKIPPED);

    Platform::FakeClock clock(100000);
    Platform::FakeMessageBoxService boxes;
    Platform::SettingsStore store;
    store.CreateKey("SOFTWARE\\Vorlix\\Plindor");
    Platform::SetClock(&clock);
    Platform::SetMessageBoxes(&boxes);
    Platform::SetSettingsStore(&store);
    {
        Platform::SdlWindowSystem windows;
        std::string error;
        if (!windows.InitVideo(error)) {
            printf("SDL cannot open the X display: %s\n", error.c_str());
            fflush(stdout);
            _exit(TestSupport::CHILD_SKIPPED);
        }
        auto app = std::make_unique<FastApp>();
        app->SetWindowSystem(&windows);
        app->mWidgetManager = new WidgetManager(app.get());
        app->mProfileMgr = new UserProfileMgr(app.get());
        auto* ann = new UserProfile(app.get());
        ann->mName = "Ann";
        ann->mSpacePauses = true;
        app->mProfileMgr->AddUserProfile(ann);
        app->mProfileMgr->RegisterDefaultUserName("Ann");
        app->mCurProfile = ann;
        app->mTitleScreen = new TitleScreen(app.get());
        app->mTitleScreen->Resize(0, 0, 640, 480);
        ASSERT_TRUE(app->mTitleScreen->LoadImages());
        app->mWidgetManager->AddWidget(app->mTitleScreen);

        app->CreateMainWindow();
        windows.ShowMainWindow(true);
        auto* screen = dynamic_cast<Platform::SdlScreen*>(app->mDDInterface->Screen());
        ASSERT_NE(screen, nullptr);
        screen->SetCapture(true);

        auto shoot = [&](const char* name) {
            for (int i = 0; i < 20; ++i) {
                Platform::WindowEvent e;
                while (windows.PollEvent(e)) {
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            clock.Advance(2000);
            app->mWidgetManager->MarkAllWidgetsDirty();
            ASSERT_TRUE(app->DrawFrame()) << name;
            AppServices::PollDisplay(app.get());
            TestSupport::ExpectMatchesReference(TestSupport::CaptureFrame(*screen), "options", name, CHANNEL_TOLERANCE,
                                                MAX_DIFFERENT_PIXELS);
        };

        app->mFontRockwell13 = new ImageFont(app.get(), "data\\Rockwell13.txt");
        app->mFontRockwell13Bold = new ImageFont(app.get(), "data\\Rockwell13Bold.txt");
        for (int i = WinBTApp::NUM_LOADED_IMAGES; i < WinBTApp::NUM_IMAGES; ++i)
            app->SetImage(i, app->LoadImageFile(std::string("images\\") + WinBTApp::IMAGE_NAMES[i]));
        app->LoadingProc();
        app->mLoaded = true;
        app->mLoadingThreadCompleted = true;
        app->mUpdateCheckDue = false;
        app->LoadingCompleted();
        app->FlushWidgetDeletions();
        ASSERT_NE(app->mMenuScreen, nullptr);

        app->SetMusicVolume(0.85);
        app->SetSfxVolume(0.5);
        app->mEffectsOn = true;
        app->ButtonDepress(107); // the menu's options button
        ASSERT_NE(app->FindDialog(OptionsDialog::ID), nullptr);
        shoot("options.png");

        app->ButtonDepress(2778);
        app->FlushWidgetDeletions();
        app->CheckForUpdates();
        auto* check = dynamic_cast<UpdateCheckDialog*>(app->FindDialog(2532));
        ASSERT_NE(check, nullptr);
        check->mBarOffset = 12; // part way through a scroll
        shoot("update-check.png");
        EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text;

        app.reset();
    }
    Platform::SetSettingsStore(nullptr);
    Platform::SetClock(nullptr);
    Platform::SetMessageBoxes(nullptr);
}

} // namespace

TEST(OptionsScreens, DialogsMatchTheirReferencePictures)
{
    if (!std::filesystem::exists(TestSupport::GameDir() + "/images"))
        GTEST_SKIP() << "no program folder";
    switch (TestSupport::RunInXvfbChild(RunScenario)) {
    case TestSupport::XvfbRun::NO_XVFB:
        GTEST_SKIP() << "no Xvfb to run a real display";
    case TestSupport::XvfbRun::NO_DISPLAY:
        GTEST_SKIP() << "SDL cannot use the X display";
    case TestSupport::XvfbRun::CRASHED:
        FAIL() << "the screen run crashed";
    case TestSupport::XvfbRun::FAILED:
        FAIL() << "see the failures printed above";
    case TestSupport::XvfbRun::PASSED:
        break;
    }
}
