#include "tests/support/GameScreens.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "framework/graphics/DDInterface.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/ImageLib.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/WinBTApp.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"
#include "platform/display/SdlScreen.h"
#include "tests/support/TestSupport.h"
#include "tests/support/XServer.h"

namespace TestSupport {

namespace {

using namespace Zant;

// Channel steps a pixel may differ by (the renderer's rounding); and the share of
// pixels that may differ more.
constexpr int TOLERANCE = 3;
constexpr double MAX_BAD_SHARE = 0.002;

class QuietApp : public WinBTApp {
public:
    void PlaySound(int) override {}
};

std::string ShotFolder(const std::string& testFolder)
{
    const char* dir = getenv("PLINDOR_BINARY_DIR");
    return (std::filesystem::path(dir ? dir : "/tmp") / (testFolder + "-shots")).string();
}

// The 640x480 picture out of the window's frame.
ImageLib::Image Picture(Platform::SdlScreen& screen)
{
    int width = 0, height = 0;
    const std::vector<uint32_t> whole = screen.Captured(width, height);
    int ox, oy, w, h;
    screen.FramePlacement(width, height, 640, 480, ox, oy, w, h);
    ImageLib::Image shot(640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const int sx = ox + int((x + 0.5) * w / 640), sy = oy + int((y + 0.5) * h / 480);
            shot.mBits[size_t(y) * 640 + x] = whole[size_t(sy) * width + sx] | 0xFF000000u;
        }
    return shot;
}

// Pixels that differ from the reference by more than the tolerance in a channel.
int CountMismatches(const ImageLib::Image& shot, const ImageLib::Image& reference)
{
    int bad = 0;
    for (size_t i = 0; i < shot.mBits.size(); ++i)
        for (int shift : {0, 8, 16})
            if (std::abs(int((shot.mBits[i] >> shift) & 0xFF) - int((reference.mBits[i] >> shift) & 0xFF)) >
                TOLERANCE) {
                ++bad;
                break;
            }
    return bad;
}

void CheckAgainstReference(const ImageLib::Image& shot, const std::string& testFolder, const std::string& name)
{
    std::error_code ec;
    const std::string folder = ShotFolder(testFolder);
    std::filesystem::create_directories(folder, ec);
    ImageLib::WritePng(folder + "/" + name, shot);
    const std::string referencePath = SourceDir() + "/tests/" + testFolder + "/" + name;
    std::unique_ptr<ImageLib::Image> reference = ImageLib::ReadPng(referencePath);
    ASSERT_NE(reference, nullptr) << "no reference " << referencePath << "; the shot is in " << folder;
    ASSERT_EQ(reference->mWidth, 640);
    ASSERT_EQ(reference->mHeight, 480);
    const int bad = CountMismatches(shot, *reference);
    EXPECT_LE(bad, int(640 * 480 * MAX_BAD_SHARE)) << name << " differs from its reference in " << bad << " pixels";
}

Font* LoadFont(WinBTApp* app, const std::string& file)
{
    auto* font = new ImageFont(app, "data/" + file);
    EXPECT_TRUE(font->IsLoaded()) << file;
    return font;
}

void LoadGameArt(WinBTApp& app)
{
    ASSERT_TRUE(app.LoadImageOrDie());
    app.BuildDerivedImages();
    app.mFontMyriad14Bold = LoadFont(&app, "MyriadCondensedWeb14Bold.txt");
    app.mFontMyriad12Bold = LoadFont(&app, "MyriadCondensedWeb12Bold.txt");
    app.mFontMyriad15 = LoadFont(&app, "MyriadCondensedWeb15.txt");
    app.mFontMyriad15b = LoadFont(&app, "MyriadCondensedWeb15.txt");
    app.mFontMyriad28Bold = LoadFont(&app, "MyriadCondensedWeb28Bold.txt");
    app.mFontSwiss24 = LoadFont(&app, "SwissCheesed24.txt");
    app.mFontUnsteady22 = LoadFont(&app, "UnsteadyOversteer22.txt");
    app.mFontGillSans10Bold = LoadFont(&app, "GillSansMT10Bold.txt");
    app.mFont12pt = LoadFont(&app, "12ptfont.txt");
    app.mFontCourier15Bold = LoadFont(&app, "CourierFinalDraft15Bold.txt");
}

void RunChild(const std::string& display, const std::string& testFolder, unsigned seed,
              const GameScreenScenario& scenario)
{
    EnvScope env;
    env.Set("DISPLAY", display);
    env.Set("SDL_VIDEODRIVER", "x11");
    Platform::FakeClock clock(100000);
    Platform::FakeMessageBoxService boxes;
    Platform::SetClock(&clock);
    Platform::SetMessageBoxes(&boxes);
    {
        Platform::SdlWindowSystem windows;
        std::string error;
        if (!windows.InitVideo(error)) {
            printf("SDL cannot open the X display: %s\n", error.c_str());
            fflush(stdout);
            _exit(CHILD_SKIPPED);
        }
        WorkingFolder folder(GameDir());
        gGameRandom = new MersenneTwister(seed);
        auto app = std::make_unique<QuietApp>();
        app->SetWindowSystem(&windows);
        app->mWidgetManager = new WidgetManager(app.get());
        app->mLoadingThreadCompleted = true;
        app->CreateMainWindow();
        windows.ShowMainWindow(true);
        DDInterface* dd = app->mDDInterface;
        ASSERT_NE(dd, nullptr);
        ASSERT_TRUE(dd->mInitialized) << dd->mErrorString;
        auto* screen = dynamic_cast<Platform::SdlScreen*>(dd->Screen());
        ASSERT_NE(screen, nullptr);
        screen->SetCapture(true);
        LoadGameArt(*app);
        if (testing::Test::HasFatalFailure())
            return;

        const ShootFunction shoot = [&](const char* name) {
            // Let the X server settle the window as the main loop would between frames.
            for (int i = 0; i < 20; ++i) {
                Platform::WindowEvent e;
                while (windows.PollEvent(e)) {
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            clock.Advance(2000);
            app->mWidgetManager->MarkAllWidgetsDirty();
            ASSERT_TRUE(app->DrawFrame()) << name;
            CheckAgainstReference(Picture(*screen), testFolder, name);
        };
        scenario(*app, shoot);
        app.reset();
        delete gGameRandom;
        gGameRandom = nullptr;
    }
    Platform::SetClock(nullptr);
    Platform::SetMessageBoxes(nullptr);
}

} // namespace

std::string RunGameScreens(const std::string& testFolder, unsigned seed, const GameScreenScenario& scenario)
{
    if (!std::filesystem::exists(GameDir() + "/images/diver_idle.png"))
        return "the art is not built in " + GameDir();
    switch (RunInXvfbChild([&](const std::string& display) { RunChild(display, testFolder, seed, scenario); })) {
    case XvfbRun::NO_XVFB:
        return "no Xvfb to run a real display";
    case XvfbRun::NO_DISPLAY:
        return "SDL cannot use the X display";
    case XvfbRun::CRASHED:
        ADD_FAILURE() << "the display run crashed";
        break;
    case XvfbRun::FAILED:
        ADD_FAILURE() << "see the failures printed above";
        break;
    case XvfbRun::PASSED:
        break;
    }
    return "";
}

} // namespace TestSupport
