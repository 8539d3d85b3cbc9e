// The title screen while loading and the menu after it, drawn by the game in a real
// X window (a private Xvfb server), read back from the renderer and compared with
// the reference pictures kept beside this test. A failing comparison writes the
// picture taken and a difference picture into the build folder.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "framework/app/AppServices.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/ImageLib.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/MenuScreen.h"
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

constexpr int CHILD_SKIPPED = 77;
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
    const std::filesystem::path folder = std::filesystem::path(dir ? dir : "/tmp") / "screen-shots";
    std::filesystem::create_directories(folder);
    return folder.string();
}

// The 640x480 frame out of the window's picture (the window is the frame's size).
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
    const std::string reference = TestSupport::SourceDir() + "/tests/screens/" + name;
    std::unique_ptr<ImageLib::Image> want = ImageLib::ReadPng(reference);
    if (!want) {
        ImageLib::WritePng(out, shot);
        ADD_FAILURE() << "no reference " << reference << "; the picture taken is " << out;
        return;
    }
    ASSERT_EQ(want->GetWidth(), 640);
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
        ImageLib::WritePng(out, shot);
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
        _exit(CHILD_SKIPPED);

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
            _exit(CHILD_SKIPPED);
        }
        auto app = std::make_unique<FastApp>();
        app->SetWindowSystem(&windows);
        app->mWidgetManager = new WidgetManager(app.get());
        app->mProfileMgr = new UserProfileMgr(app.get());
        auto* ann = new UserProfile(app.get());
        ann->mName = "Ann";
        app->mProfileMgr->AddUserProfile(ann);
        app->mProfileMgr->RegisterDefaultUserName("Ann");

        app->mTitleScreen = new TitleScreen(app.get());
        app->mTitleScreen->Resize(0, 0, 640, 480);
        ASSERT_TRUE(app->mTitleScreen->LoadImages());
        app->mWidgetManager->AddWidget(app->mTitleScreen);

        app->CreateMainWindow();
        windows.ShowMainWindow(true);
        DDInterface* dd = app->mDDInterface;
        ASSERT_NE(dd, nullptr);
        auto* screen = dynamic_cast<Platform::SdlScreen*>(dd->Screen());
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

        // Half way through loading.
        app->mLoadingThreadStarted = true;
        app->mCompletedLoadingThreadTasks = 150;
        shoot("title-loading.png");

        // Loading, then the end of the title as the main thread runs it.
        app->mFontRockwell13 = new ImageFont(app.get(), "data\\Rockwell13.txt");
        app->mFontRockwell13Bold = new ImageFont(app.get(), "data\\Rockwell13Bold.txt");
        app->LoadingProc();
        app->mLoaded = true;
        app->mLoadingThreadCompleted = true;
        app->LoadingCompleted();
        app->FlushWidgetDeletions();
        ASSERT_NE(app->mMenuScreen, nullptr);
        EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text;
        shoot("menu.png");

        app.reset();
    }
    Platform::SetSettingsStore(nullptr);
    Platform::SetClock(nullptr);
    Platform::SetMessageBoxes(nullptr);
}

} // namespace

// The X and GL libraries keep memory past SDL_Quit: the window runs in a child
// process that ends without the leak check (as the display's own Xvfb test does).
TEST(TitleAndMenu, ScreensMatchTheirReferencePictures)
{
    if (!std::filesystem::exists(TestSupport::GameDir() + "/images"))
        GTEST_SKIP() << "no program folder";
    TestSupport::XvfbServer server;
    if (!server.Start())
        GTEST_SKIP() << "no Xvfb to run a real display";
    fflush(stdout);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        RunScenario(server.Display());
        fflush(stdout);
        _exit(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the screen run crashed";
    if (WEXITSTATUS(status) == CHILD_SKIPPED)
        GTEST_SKIP() << "SDL cannot use the X display";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "see the failures printed above";
}
