// F8 in a real X window (a private Xvfb server, Mesa's GL): the running application
// switches to 3D, goes full screen and back in 3D, and returns to 2D, each windowed
// frame matching the 2D one, and the images it drew keep their pixels throughout.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "framework/app/ZantApp.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"
#include "platform/display/SdlScreen.h"
#include "tests/render3d/ChildProcess.h"
#include "tests/render3d/WindowedApp.h"
#include "tests/support/XServer.h"

using namespace Zant;

namespace {

constexpr int F8 = 119;

// Stripes of colour under a see-through sprite drawn four times, once tinted and
// once additively.
class Scene : public Widget {
public:
    explicit Scene(ZantApp* app) : sprite(app)
    {
        std::vector<uint32_t> pixels(48 * 48);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x) {
                const int d = (x - 24) * (x - 24) + (y - 24) * (y - 24);
                pixels[size_t(y) * 48 + x] = d < 400 ? 0xFFF0C020 : d < 576 ? 0x80F0C020 : 0;
            }
        sprite.SetBits(pixels.data(), 48, 48);
    }
    void Draw(Graphics* g) override
    {
        for (int i = 0; i < 8; ++i) {
            g->SetColor(Color(i * 30, 80, 200 - i * 20));
            g->FillRect(i * 80, 0, 80, 480);
        }
        g->DrawImage(&sprite, 40, 40);
        g->DrawImage(&sprite, 300, 200);
        g->SetColorizeImages(true);
        g->SetColor(Color(100, 255, 100, 160));
        g->DrawImage(&sprite, 500, 100);
        g->SetColorizeImages(false);
        g->SetDrawMode(DRAWMODE_ADDITIVE);
        g->DrawImage(&sprite, 200, 350);
        g->SetDrawMode(DRAWMODE_NORMAL);
    }
    MemoryImage sprite;
};

// Lets the X server settle the window (mapping, full screen) as the main loop would
// between frames, then draws every widget.
void DrawSettled(ZantApp& app, Platform::SdlWindowSystem& windows, Platform::FakeClock& clock)
{
    for (int i = 0; i < 10; ++i) {
        Platform::WindowEvent e;
        while (windows.PollEvent(e)) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    clock.Advance(2000);
    app.mWidgetManager->MarkAllWidgetsDirty();
    EXPECT_TRUE(app.DrawFrame());
}

std::vector<uint32_t> Frame(ZantApp& app, Platform::SdlScreen& screen, Platform::SdlWindowSystem& windows,
                            Platform::FakeClock& clock)
{
    DrawSettled(app, windows, clock);
    int w = 0, h = 0;
    std::vector<uint32_t> shot = screen.Captured(w, h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    return shot;
}

int FarPixels(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    if (a.size() != b.size() || a.empty())
        return -1;
    int far = 0;
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift : {0, 8, 16})
            if (std::abs(int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF)) > 8) {
                ++far;
                break;
            }
    return far;
}

void RunScenario(const std::string& display)
{
    setenv("DISPLAY", display.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    {
        RenderTest::WindowedServices services;
        Platform::SdlWindowSystem& windows = services.windows;
        Platform::FakeClock& clock = services.clock;
        Platform::FakeMessageBoxService& boxes = services.boxes;
        auto app = std::make_unique<ZantApp>();
        app->mWidgetManager = new WidgetManager(app.get());
        app->mDebugKeysEnabled = true;
        auto scene = std::make_unique<Scene>(app.get());
        scene->Resize(0, 0, 640, 480);
        app->mWidgetManager->AddWidget(scene.get());
        services.OpenMainWindow(*app);
        ASSERT_TRUE(app->mDDInterface->mInitialized) << app->mDDInterface->mErrorString;
        auto* screen = dynamic_cast<Platform::SdlScreen*>(app->mDDInterface->Screen());
        ASSERT_NE(screen, nullptr);
        screen->SetCapture(true);
        const std::vector<uint32_t> sprite(scene->sprite.GetBits(), scene->sprite.GetBits() + 48 * 48);

        const std::vector<uint32_t> flat = Frame(*app, *screen, windows, clock);
        ASSERT_TRUE(app->HandleDebugKey(F8));
        ASSERT_EQ(boxes.shown.back().text, "3D-Mode: ON");
        ASSERT_TRUE(app->Is3D());
        screen = dynamic_cast<Platform::SdlScreen*>(app->mDDInterface->Screen());
        screen->SetCapture(true);
        const std::vector<uint32_t> deep = Frame(*app, *screen, windows, clock);
        EXPECT_LT(FarPixels(flat, deep), 200) << "3D against 2D";

        // Full screen and back in 3D: the window, its renderer and every texture are
        // made anew each time.
        for (int i = 0; i < 2; ++i) {
            app->HandleWindowMessage(Platform::Msg::SysKeyDown, 13, 0);
            ASSERT_TRUE(app->mDDInterface->mInitialized) << app->mDDInterface->mErrorString;
            EXPECT_TRUE(app->Is3D());
            screen = dynamic_cast<Platform::SdlScreen*>(app->mDDInterface->Screen());
            screen->SetCapture(true);
            DrawSettled(*app, windows, clock);
        }
        ASSERT_TRUE(app->mIsWindowed);
        EXPECT_LT(FarPixels(flat, Frame(*app, *screen, windows, clock)), 200) << "3D after full screen";
        ASSERT_TRUE(app->HandleDebugKey(F8));
        EXPECT_EQ(boxes.shown.back().text, "3D-Mode: OFF");
        screen = dynamic_cast<Platform::SdlScreen*>(app->mDDInterface->Screen());
        screen->SetCapture(true);
        const std::vector<uint32_t> back = Frame(*app, *screen, windows, clock);
        EXPECT_EQ(FarPixels(flat, back), 0) << "2D again";
        EXPECT_TRUE(std::equal(sprite.begin(), sprite.end(), scene->sprite.GetBits())) << "the image kept its pixels";

        app->mWidgetManager->RemoveWidget(scene.get());
        scene.reset();
        app.reset();
    }
}

} // namespace

TEST(XvfbSwitch3D, F8SwitchesTo3DAndBackKeepingThePicture)
{
    TestSupport::XvfbServer server;
    if (!server.Start())
        GTEST_SKIP() << "no Xvfb to run a real display";
    RenderTest::RunInChild([&] { RunScenario(server.Display()); });
}
