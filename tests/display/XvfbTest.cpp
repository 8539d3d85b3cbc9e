// The display in a real X window (a private Xvfb server): a windowed frame with a
// test pattern and the software cursor moved by the cursor thread's call, then
// Alt+Enter to full screen (16 bits, letterboxed on the 1024x768 desktop) and back.
// Each frame is read back from the renderer and compared inside the 640x480 picture;
// the screenshots are also written as PNG files beside the build for a look.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <filesystem>
#include <string>

#include "framework/app/AppServices.h"
#include "framework/app/ZantApp.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageLib.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"
#include "platform/display/SdlScreen.h"
#include "tests/support/XServer.h"

using namespace Zant;

namespace {

using TestSupport::EnvScope;

// Four coloured quarters, drawn by a screen-sized widget.
class TestPattern : public Widget {
public:
    void Draw(Graphics* g) override
    {
        const Color quarters[4] = {Color(255, 0, 0), Color(0, 255, 0), Color(0, 0, 255), Color(0, 0, 0)};
        for (int i = 0; i < 4; ++i) {
            g->SetColor(quarters[i]);
            g->FillRect((i % 2) * 320, (i / 2) * 240, 320, 240);
        }
    }
};

// A white square widget over the middle of the pattern; it draws in its own
// coordinates, so the manager's translation puts it in place.
class WhiteSquare : public Widget {
public:
    void Draw(Graphics* g) override
    {
        g->SetColor(Color::White);
        g->FillRect(0, 0, mWidth, mHeight);
    }
};

uint32_t ExpectedAt(int x, int y, int cursorX, int cursorY)
{
    if (x >= cursorX - 8 && x < cursorX + 8 && y >= cursorY - 8 && y < cursorY + 8)
        return 0xFFFF00; // the cursor image
    if (x >= 280 && x < 360 && y >= 200 && y < 280)
        return 0xFFFFFF;
    const uint32_t quarters[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0x000000};
    return quarters[(x >= 320) + 2 * (y >= 240)];
}

struct Shot {
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
};

Shot Take(Platform::SdlScreen& screen)
{
    Shot s;
    s.pixels = screen.Captured(s.width, s.height);
    return s;
}

void Save(const Shot& shot, const std::string& name)
{
    const char* dir = getenv("PLINDOR_BINARY_DIR");
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::path(dir ? dir : "/tmp") / "display-shots";
    std::filesystem::create_directories(folder, ec);
    ImageLib::Image image(shot.width, shot.height);
    for (size_t i = 0; i < shot.pixels.size(); ++i)
        image.mBits[i] = shot.pixels[i] | 0xFF000000u;
    ImageLib::WritePng((folder / name).string(), image);
}

// Compares the picture inside the letterboxed 640x480 area, sampling the centre of
// every third logical pixel. The tolerance covers the fills' rounding (a full 255
// channel is drawn as 254, or as 30 of 31 steps in 565) and the 565 steps.
int CountMismatches(const Shot& shot, Platform::SdlScreen& screen, int cursorX, int cursorY, int tolerance)
{
    int ox, oy, w, h;
    screen.FramePlacement(shot.width, shot.height, 640, 480, ox, oy, w, h);
    int bad = 0;
    for (int y = 0; y < 480; y += 3) {
        for (int x = 0; x < 640; x += 3) {
            const int sx = ox + int((x + 0.5) * w / 640), sy = oy + int((y + 0.5) * h / 480);
            const uint32_t got = shot.pixels[size_t(sy) * shot.width + sx];
            const uint32_t want = ExpectedAt(x, y, cursorX, cursorY);
            for (int shift : {0, 8, 16})
                if (std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)) > tolerance) {
                    ++bad;
                    break;
                }
        }
    }
    return bad;
}

} // namespace

namespace {

using TestSupport::CHILD_SKIPPED;

// Runs in a child process of its own (see below).
void RunScenario(const std::string& display)
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
        auto app = std::make_unique<ZantApp>();
        app->SetWindowSystem(&windows);
        app->mWidgetManager = new WidgetManager(app.get());
        app->mLoadingThreadCompleted = true;
        TestPattern pattern;
        pattern.Resize(0, 0, 640, 480);
        app->mWidgetManager->AddWidget(&pattern);
        WhiteSquare square;
        square.Resize(280, 200, 80, 80);
        app->mWidgetManager->AddWidget(&square);

        app->CreateMainWindow();
        windows.ShowMainWindow(true);
        DDInterface* dd = app->mDDInterface;
        ASSERT_NE(dd, nullptr);
        ASSERT_TRUE(dd->mInitialized) << dd->mErrorString;
        auto* screen = dynamic_cast<Platform::SdlScreen*>(dd->Screen());
        ASSERT_NE(screen, nullptr);
        screen->SetCapture(true);

        std::unique_ptr<DDImage> cursor(new DDImage(dd));
        std::vector<uint32_t> yellow(16 * 16, 0xFFFFFF00);
        cursor->SetBits(yellow.data(), 16, 16);
        dd->SetCursorImage(cursor.get());

        auto drawAndCheck = [&](const char* name, int expectedBits, int tolerance) {
            // Let the X server settle the window (mapping, full screen) as the main
            // loop would between frames.
            for (int i = 0; i < 20; ++i) {
                Platform::WindowEvent e;
                while (windows.PollEvent(e)) {
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            clock.Advance(2000);
            app->mWidgetManager->MarkAllWidgetsDirty();
            ASSERT_TRUE(app->DrawFrame()) << name;
            // The cursor thread's move, then the main loop's push of the changed screen.
            AppServices::SetDisplayCursorPos(app.get(), 100, 100);
            AppServices::SetDisplayCursorPos(app.get(), 200, 150);
            AppServices::PollDisplay(app.get());
            EXPECT_EQ(dd->mScreenBitCount, expectedBits) << name;
            const Shot shot = Take(*screen);
            ASSERT_GT(shot.width, 0) << name;
            Save(shot, name);
            EXPECT_EQ(CountMismatches(shot, *screen, 200, 150, tolerance), 0) << name;
        };

        drawAndCheck("windowed.png", 32, 2);
        app->HandleWindowMessage(Platform::Msg::SysKeyDown, 13, 0);
        ASSERT_FALSE(app->mIsWindowed);
        ASSERT_TRUE(dd->mInitialized) << dd->mErrorString;
        drawAndCheck("fullscreen.png", 16, 10);
        app->HandleWindowMessage(Platform::Msg::SysKeyDown, 13, 0);
        ASSERT_TRUE(app->mIsWindowed);
        drawAndCheck("windowed-again.png", 32, 2);

        dd->SetCursorImage(nullptr);
        cursor.reset(); // images leave the application before it goes
        app->mWidgetManager->RemoveWidget(&square);
        app->mWidgetManager->RemoveWidget(&pattern);
        app.reset();
    }
    Platform::SetClock(nullptr);
    Platform::SetMessageBoxes(nullptr);
}

} // namespace

TEST(XvfbDisplay, WindowedFullScreenAndBackWithTheSoftwareCursor)
{
    switch (TestSupport::RunInXvfbChild(RunScenario)) {
    case TestSupport::XvfbRun::NO_XVFB:
        GTEST_SKIP() << "no Xvfb to run a real display";
    case TestSupport::XvfbRun::NO_DISPLAY:
        GTEST_SKIP() << "SDL cannot use the X display";
    case TestSupport::XvfbRun::CRASHED:
        FAIL() << "the display run crashed";
    case TestSupport::XvfbRun::FAILED:
        FAIL() << "see the failures printed above";
    case TestSupport::XvfbRun::PASSED:
        break;
    }
}
