// The options dialog over the menu and the update-check dialog with its waiting
// bar, drawn by the game in a real X window (a private Xvfb server) and compared
// with the reference pictures kept beside this test. A failing comparison leaves
// the picture taken and a difference picture in the build folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "framework/app/AppServices.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/ImageLib.h"
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

std::string OutputFolder()
{
    const char* dir = std::getenv("PLINDOR_BINARY_DIR");
    const std::filesystem::path folder = std::filesystem::path(dir ? dir : "/tmp") / "options-shots";
    std::filesystem::create_directories(folder);
    return folder.string();
}

// The 640x480 frame out of the window's picture.
ImageLib::Image Frame(Platform::SdlScreen& screen)
{
    int width = 0, height = 0;
    const std::vector<uint32_t>& pixels = screen.Captured(width, height);
    int ox = 0, oy = 0, w = 0, h = 0;
    screen.FramePlacement(width, height, 640, 480, ox, oy, w, h);
    ImageLib::Image frame(640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const int sx = ox + int((x + 0.5) * w / 640), sy = oy + int((y + 0.5) * h / 480);
            frame.GetBits()[size_t(y) * 640 + size_t(x)] = pixels[size_t(sy) * size_t(width) + size_t(sx)] | 0xFF000000u;
        }
    return frame;
}

void Compare(const ImageLib::Image& shot, const std::string& name)
{
    const std::string out = OutputFolder() + "/" + name;
    ImageLib::WritePng(out, shot);
    const std::string reference = TestSupport::SourceDir() + "/tests/options/" + name;
    std::unique_ptr<ImageLib::Image> want = ImageLib::ReadPng(reference);
    if (!want) {
        ADD_FAILURE() << "no reference " << reference << "; the picture taken is " << out;
        return;
    }
    ASSERT_EQ(want->GetWidth(), 640);
    ASSERT_EQ(want->GetHeight(), 480);
    ImageLib::Image diff(640, 480);
    int different = 0;
    for (size_t i = 0; i < size_t(640 * 480); ++i) {
        const uint32_t a = shot.GetBits()[i], b = want->GetBits()[i];
        bool off = false;
        for (int shift : {0, 8, 16})
            off = off || std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > CHANNEL_TOLERANCE;
        diff.GetBits()[i] = off ? 0xFFFF00FFu : 0xFF000000u | ((a >> 2) & 0x3F3F3F);
        different += off;
    }
    if (different > MAX_DIFFERENT_PIXELS) {
        ImageLib::WritePng(out + ".diff.png", diff);
        ADD_FAILURE() << name << ": " << different << " pixels differ; see " << out << " and its .diff.png";
    }
}

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
            Compare(Frame(*screen), name);
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
