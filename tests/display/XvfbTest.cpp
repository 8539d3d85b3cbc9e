// The display in a real X window (a private Xvfb server): a windowed frame with a
// test pattern and the software cursor moved by the cursor thread's call, then
// Alt+Enter to full screen (16 bits, letterboxed on the 1024x768 desktop) and back.
// Each frame is read back from the renderer and compared inside the 640x480 picture;
// the screenshots are also written as PNG files beside the build for a look.
#include <gtest/gtest.h>

#include <string>

#include "framework/app/AppServices.h"
#include "framework/app/ZantApp.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageLib.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Window.h"
#include "platform/display/SdlScreen.h"
#include "tests/support/GameScreens.h"

using namespace Zant;

namespace {

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

// Runs in a child process of its own (see RunScreenTest).
void Scenario(TestSupport::ScreenSession& session)
{
    auto app = std::make_unique<ZantApp>();
    app->SetWindowSystem(&session.Windows());
    app->mWidgetManager = new WidgetManager(app.get());
    app->mLoadingThreadCompleted = true;
    TestPattern pattern;
    pattern.Resize(0, 0, 640, 480);
    app->mWidgetManager->AddWidget(&pattern);
    WhiteSquare square;
    square.Resize(280, 200, 80, 80);
    app->mWidgetManager->AddWidget(&square);

    auto* screen = session.ShowWindow(*app);
    ASSERT_NE(screen, nullptr);
    DDInterface* dd = app->mDDInterface;

    std::unique_ptr<DDImage> cursor(new DDImage(dd));
    std::vector<uint32_t> yellow(16 * 16, 0xFFFFFF00);
    cursor->SetBits(yellow.data(), 16, 16);
    dd->SetCursorImage(cursor.get());

    auto drawAndCheck = [&](const char* name, int expectedBits, int tolerance) {
        session.Settle();
        session.clock.Advance(2000);
        app->mWidgetManager->MarkAllWidgetsDirty();
        ASSERT_TRUE(app->DrawFrame()) << name;
        // The cursor thread's move, then the main loop's push of the changed screen.
        AppServices::SetDisplayCursorPos(app.get(), 100, 100);
        AppServices::SetDisplayCursorPos(app.get(), 200, 150);
        AppServices::PollDisplay(app.get());
        EXPECT_EQ(dd->mScreenBitCount, expectedBits) << name;
        const Shot shot = Take(*screen);
        ASSERT_GT(shot.width, 0) << name;
        TestSupport::SaveShot(TestSupport::Picture(shot.pixels, shot.width, shot.height), "display", name);
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

} // namespace

TEST(XvfbDisplay, WindowedFullScreenAndBackWithTheSoftwareCursor)
{
    const std::string skipped = TestSupport::RunScreenTest(Scenario);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}
