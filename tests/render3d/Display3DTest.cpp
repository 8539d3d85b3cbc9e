// The display with the 3D renderer on a fake screen and a recording device: what
// the screen image's drawing turns into, the frame read back and shown, a failed 3D
// step falling back to 2D without losing an image, the hardware test's verdict, and
// the windowed present that shows the draw surface and brings the primary up to
// date only when the cursor moves.
#include <gtest/gtest.h>

#include <thread>

#include "framework/app/ZantApp.h"
#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/D3DTester.h"
#include "tests/render3d/LaterDrawing.h"
#include "tests/render3d/NoCacheHost.h"
#include "framework/graphics/Graphics.h"
#include "platform/display/RecordingRenderDevice.h"
#include "tests/display/DisplayTestSupport.h"
#include "tests/support/AppFixture.h"
#include "tests/support/FakeScreenDisplay.h"

using namespace Zant;
using DisplayTest::FakeDisplay;
using DisplayTest::PixelAt;
using DisplayTest::SolidImage;

namespace {

uint32_t GoodCard(int read, int x, int)
{
    static const uint32_t expected[] = {0x7F007F, 0x808080, 0x808080, 0x7F007F};
    return read <= 4 ? expected[read - 1] : (x % 2 ? 0xFFFFFF : 0x000000);
}

// A display whose screen has a 3D device (which outlives it).
struct Display3D {
    Platform::RecordingRenderDevice device;
    TestSupport::FakeScreenDisplay display{&device};
    Platform::FakeScreen* screen = display.screen;
    std::unique_ptr<DDInterface>& dd = display.dd;
};

} // namespace

TEST(Display3D, ScreenDrawingGoesToTheDeviceAndTheFrameIsReadBack)
{
    Display3D d;
    d.dd->mIs3D = true;
    ASSERT_EQ(d.dd->Init(nullptr, true), DDInterface::RESULT_OK) << d.dd->mErrorString;
    std::unique_ptr<DDImage> sprite(SolidImage(d.dd.get(), 4, 4, 0xFF112233));
    Graphics g(d.dd->GetScreenImage());
    g.SetColor(Color(10, 20, 30));
    g.FillRect(0, 0, 640, 480);
    g.DrawImage(sprite.get(), 7, 9);
    ASSERT_EQ(d.device.draws.size(), 2u);
    EXPECT_EQ(d.device.draws[0].texture, 0u);
    EXPECT_NE(d.device.draws[1].texture, 0u);
    EXPECT_FLOAT_EQ(d.device.draws[1].vertices[0].x, 6.5f);

    d.device.onRead = [](int, int x, int y) { return x == 7 && y == 9 ? 0x112233u : 0x0A141Eu; };
    ASSERT_TRUE(d.dd->Present(nullptr));
    EXPECT_EQ(d.screen->FramePixel(7, 9), 0x112233u);
    EXPECT_EQ(d.screen->FramePixel(100, 100), 0x0A141Eu);
    EXPECT_EQ(sprite->GetBits()[0], 0xFF112233u) << "the image keeps its pixels";
}

TEST(Display3D, AFailedStepSwitchesBackTo2DKeepingEveryImage)
{
    Display3D d;
    d.dd->mIs3D = true;
    ASSERT_EQ(d.dd->Init(nullptr, true), DDInterface::RESULT_OK);
    std::unique_ptr<DDImage> sprite(SolidImage(d.dd.get(), 4, 4, 0xFF445566));
    Graphics g(d.dd->GetScreenImage());
    d.device.failDraw = true;
    g.DrawImage(sprite.get(), 0, 0);
    EXPECT_FALSE(d.dd->Present(nullptr));
    EXPECT_FALSE(d.dd->mIs3D);
    ASSERT_EQ(d.dd->Init(nullptr, true), DDInterface::RESULT_OK);
    EXPECT_TRUE(d.device.textures.empty()) << "every texture went with the 3D display";
    Graphics g2(d.dd->GetScreenImage());
    g2.DrawImage(sprite.get(), 5, 5);
    ASSERT_TRUE(d.dd->Present(nullptr));
    EXPECT_EQ(d.screen->FramePixel(5, 5), 0x445566u);
}

TEST(Display3D, NoDeviceMeans3DFailsToStart)
{
    FakeDisplay d;
    d.dd->mIs3D = true;
    EXPECT_EQ(d.dd->Init(nullptr, true), DDInterface::RESULT_3D_FAIL);
    EXPECT_EQ(d.dd->mErrorString, "3D init error: Query DrawSurface: DDERR_UNSUPPORTED");
}

TEST(Display3D, HardwareTestDecidesTheStartingMode)
{
    const struct {
        const char* description;
        bool autoEnable;
        bool is3D;
        bool supported;
    } cases[] = {
        {"opengl NVIDIA Corporation", true, true, true},
        {"opengl Mesa llvmpipe", true, false, true}, // fresh warning: 3D stays off
        {"software", false, false, true},
    };
    for (const auto& c : cases) {
        Display3D d;
        d.device.caps.description = c.description;
        d.device.onRead = GoodCard;
        d.dd->mTestHost = std::make_unique<RenderTest::NoCacheHost>();
        d.dd->mAutoEnable3D = c.autoEnable;
        d.dd->mTest3D = !c.autoEnable;
        ASSERT_EQ(d.dd->Init(nullptr, true), DDInterface::RESULT_OK) << c.description;
        EXPECT_EQ(d.dd->mIs3D, c.is3D) << c.description;
        ASSERT_NE(d.dd->mD3DTester, nullptr);
        EXPECT_EQ(d.dd->mD3DTester->IsSupported(), c.supported) << c.description;
        EXPECT_TRUE(d.dd->mTestRanAnew) << c.description;
        // Once per display.
        ASSERT_EQ(d.dd->Init(nullptr, true), DDInterface::RESULT_OK);
        EXPECT_FALSE(d.dd->mTestRanAnew);
    }
}

// With the drawing elsewhere, Init does not wait for the verdict and leaves the
// mode as it was; the application asks what the verdict sets once it is in. Told to
// wait (a demo being recorded), Init takes the verdict as it comes, before the
// display's surfaces are made.
TEST(Display3D, HardwareTestVerdictInTheBackground)
{
    const struct {
        const char* warning;
        bool wait;
        bool wants3D;
    } cases[] = {
        {"", false, true},
        {"Unsupported video card.", false, false},
        {"", true, true},
        {"Unsupported video card.", true, false},
    };
    for (const auto& c : cases) {
        Display3D d;
        d.device.onRead = GoodCard;
        d.screen->adapter = "video x11";
        RenderTest::LaterDrawing& later = RenderTest::DrawLater(*d.dd, "", c.warning);
        d.dd->mAutoEnable3D = true;
        d.dd->mWaitForHardwareTest = c.wait;
        ASSERT_EQ(d.dd->Init(nullptr, true), DDInterface::RESULT_OK) << c.warning;
        EXPECT_EQ(d.device.draws.size(), 0u) << "nothing drawn in this process";
        EXPECT_EQ(later.starts, c.wait ? 1 : 0) << c.warning;
        if (c.wait) {
            EXPECT_FALSE(d.dd->HardwareTestPending());
            EXPECT_EQ(d.dd->mIs3D, c.wants3D) << c.warning;
            EXPECT_TRUE(d.dd->mTestRanAnew);
            continue;
        }
        EXPECT_TRUE(d.dd->HardwareTestPending());
        EXPECT_FALSE(d.dd->mTestRanAnew);
        EXPECT_FALSE(d.dd->PollHardwareTest(false, false)) << "not started unless asked";
        EXPECT_EQ(later.starts, 0);
        EXPECT_FALSE(d.dd->PollHardwareTest(true, false));
        EXPECT_EQ(later.starts, 1);
        later.ready = true;
        ASSERT_TRUE(d.dd->PollHardwareTest(false, false));
        EXPECT_FALSE(d.dd->HardwareTestPending());
        EXPECT_FALSE(d.dd->PollHardwareTest(true, true)) << "the verdict comes once";
        EXPECT_FALSE(d.dd->mIs3D) << "the display's mode is the application's to switch";
        EXPECT_EQ(d.dd->HardwareTestWants3D(false), c.wants3D) << c.warning;
        // A later Init does not test again.
        ASSERT_EQ(d.dd->Init(nullptr, true), DDInterface::RESULT_OK);
        EXPECT_EQ(later.starts, 1);
    }
}

// The application with the drawing elsewhere: the verdict is asked for once the
// first frame is shown and the loading is done, and applied as the display's start applies one (3D switched
// on when recommended and enabled automatically; a stored choice forgotten when the
// test ran anew), without counting as a switch during the run; a mode switched
// before it came stands. A question about 3D support waits for the verdict.
TEST(App3D, HardwareTestVerdictAppliedWhenItComes)
{
    const struct {
        const char* what;
        bool stored;  // "Is3D" false stored before the start
        bool f8First; // 3D switched on before the verdict
        const char* warning;
        bool is3D;
    } cases[] = {
        {"recommended", false, false, "", true},
        {"not recommended", false, false, "Unsupported video card.", false},
        {"a stored choice", true, false, "", false},
        {"switched before", false, true, "Unsupported video card.", true},
    };
    for (const auto& c : cases) {
        Platform::RecordingRenderDevice device; // outlives the application's display
        TestSupport::AppFixture<> f;
        ZantApp& app = *f.app;
        app.mRegKey = "Vorlix\\Verdict Test";
        app.DeleteRegistryValue("Is3D");
        auto screen = std::make_unique<Platform::FakeScreen>();
        screen->device = &device;
        screen->adapter = "video x11";
        app.mDDInterface = new DDInterface(&app, std::move(screen));
        RenderTest::LaterDrawing& later = RenderTest::DrawLater(*app.mDDInterface, "", c.warning);
        // A stored choice turns the automatic switch into a plain test, as the first
        // display of a start does.
        app.mAutoEnable3D = !c.stored;
        app.mTest3D = c.stored;
        if (c.stored)
            app.WriteRegistryBool("Is3D", false);
        app.CreateMainWindow();
        ASSERT_TRUE(app.mDDInterface->mInitialized) << c.what;
        EXPECT_FALSE(app.Is3D()) << c.what;

        app.mLoadingThreadCompleted = false;
        app.Take3DTestVerdict(false);
        EXPECT_EQ(later.starts, 0) << c.what << ": nothing before the first frame";
        app.mFirstFrameShown = true;
        app.Take3DTestVerdict(false);
        EXPECT_EQ(later.starts, 0) << c.what << ": nothing while loading";
        app.mLoadingThreadCompleted = true;
        app.Take3DTestVerdict(false);
        EXPECT_EQ(later.starts, 1) << c.what;
        if (c.f8First)
            app.Set3DAcceleration(true, true);
        later.ready = true;
        app.Take3DTestVerdict(false);
        EXPECT_EQ(app.Is3D(), c.is3D) << c.what;
        EXPECT_EQ(app.m3DChanged, c.f8First) << c.what;
        bool stored = false;
        EXPECT_FALSE(app.ReadRegistryBool("Is3D", stored)) << c.what << ": the test ran anew";
        EXPECT_EQ(app.mWidgetManager->mImage, app.mDDInterface->GetScreenImage()) << c.what;
        app.m3DChanged = false; // no question at the end
    }
}

TEST(App3D, AQuestionAboutSupportWaitsForTheVerdict)
{
    TestSupport::AppFixture<> f;
    ZantApp& app = *f.app;
    auto screen = std::make_unique<Platform::FakeScreen>();
    screen->adapter = "video x11";
    app.mDDInterface = new DDInterface(&app, std::move(screen));
    RenderTest::LaterDrawing& later = RenderTest::DrawLater(*app.mDDInterface, "Alpha blend Not Supported", "");
    app.mAutoEnable3D = true;
    app.CreateMainWindow();
    ASSERT_TRUE(app.mDDInterface->HardwareTestPending());
    EXPECT_FALSE(app.Is3DSupported());
    EXPECT_EQ(later.starts, 1);
    EXPECT_FALSE(app.mDDInterface->HardwareTestPending());
    EXPECT_FALSE(app.Is3DRecommended());
}

TEST(WindowedPresent, CursorMovesWaitForAFrameDrawnSinceThePresent)
{
    FakeDisplay d;
    ASSERT_EQ(d.result, 0);
    std::unique_ptr<DDImage> cursor(SolidImage(d.dd.get(), 8, 8, 0xFF00FF00));
    Graphics g(d.dd->GetScreenImage());
    g.SetColor(Color(0, 0, 128));
    g.FillRect(0, 0, 640, 480);
    d.dd->SetCursorImage(cursor.get());
    d.dd->SetCursorPos(50, 60);
    ASSERT_TRUE(d.dd->Present(nullptr));
    const int shown = d.screen->shown;

    // The next frame is half drawn: the move waits for its present.
    g.SetColor(Color(128, 0, 0));
    g.FillRect(0, 0, 640, 480);
    const uint32_t red = PixelAt(*d.dd->mDrawSurface, 0, 0);
    std::thread([&] { d.dd->SetCursorPos(200, 100); }).join();
    EXPECT_TRUE(d.dd->ShowChangedPrimary());
    EXPECT_EQ(d.screen->shown, shown);
    ASSERT_TRUE(d.dd->Present(nullptr));
    EXPECT_EQ(d.screen->FramePixel(200, 100), 0x00FF00u);
    EXPECT_EQ(d.screen->FramePixel(50, 60), red);

    // With nothing drawn since, the primary catches up and shows the move.
    std::thread([&] { d.dd->SetCursorPos(300, 200); }).join();
    EXPECT_TRUE(d.dd->ShowChangedPrimary());
    EXPECT_EQ(d.screen->FramePixel(300, 200), 0x00FF00u);
    EXPECT_EQ(d.screen->FramePixel(200, 100), red);
    EXPECT_EQ(PixelAt(*d.dd->mPrimarySurface, 300, 200), 0x00FF00u);
    d.dd->SetCursorImage(nullptr);
}
