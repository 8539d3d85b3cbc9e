// The 3D renderer through SDL's renderers: the software one on the headless dummy
// driver, and OpenGL (Mesa) in a private Xvfb server. A 1x1 blit colours exactly its
// pixel, and a busy frame of the game's art drawn in 3D matches the same frame drawn
// in 2D within a small tolerance. The frames are written as PNG files beside the
// build (screenshots/render3d/) for a look.
#include <gtest/gtest.h>

#include <SDL.h>

#include "bench/BusyFrame.h"
#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/D3DTester.h"
#include "tests/render3d/NoCacheHost.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "platform/display/SdlScreen.h"
#include "tests/render3d/TextureRegistry.h"
#include "tests/support/GameScreens.h"

using namespace Zant;

namespace {

using Registry = RenderTest::TextureRegistry<DDInterface>;

// One display in one mode on the window; the frame it drew, read from the draw surface.
ImageLib::Image DrawBusyFrame(SDL_Window* window, bool is3D, Registry& registry, const std::string& label)
{
    DDInterface dd(nullptr, std::make_unique<Platform::SdlScreen>());
    registry.textures = &dd;
    dd.mIs3D = is3D;
    const int result = dd.Init(window, true);
    EXPECT_EQ(result, DDInterface::RESULT_OK) << label << ": " << dd.mErrorString;
    EXPECT_EQ(dd.mIs3D, is3D) << label;
    ImageLib::Image frame;
    if (result == DDInterface::RESULT_OK) {
        BusyFrame::Art art;
        std::string error;
        EXPECT_TRUE(art.Load(TestSupport::GameDir(), &registry, error)) << error;
        BusyFrame::Draw(dd.GetScreenImage(), art, 3);
        EXPECT_TRUE(dd.Present(nullptr)) << label << ": " << dd.mErrorString;
        frame = TestSupport::ReadDrawSurface(dd);
        TestSupport::SaveShot(frame, "render3d", label + ".png");
        art.Release();
    }
    registry.textures = nullptr;
    return frame;
}

void RunScenario(TestSupport::ScreenSession& session, const char* driver)
{
    ASSERT_TRUE(session.Windows().CreateMainWindow("render3d", 0, 0, 640, 480, false)) << SDL_GetError();
    session.Windows().ShowMainWindow(true);
    SDL_Window* window = session.Windows().NativeWindow();
    Registry registry;
    {
        // A 1x1 blit lands on exactly its pixel.
        DDInterface dd(nullptr, std::make_unique<Platform::SdlScreen>());
        registry.textures = &dd;
        dd.mIs3D = true;
        ASSERT_EQ(dd.Init(window, true), DDInterface::RESULT_OK) << dd.mErrorString;
        auto dot = std::make_unique<MemoryImage>(&registry);
        const uint32_t red = 0xFFFF0000;
        dot->SetBits(&red, 1, 1);
        Graphics g(dd.GetScreenImage());
        g.SetColor(Color(0, 0, 0));
        g.FillRect(0, 0, 640, 480);
        g.DrawImage(dot.get(), 10, 20);
        ASSERT_TRUE(dd.Present(nullptr)) << dd.mErrorString;
        const ImageLib::Image frame = TestSupport::ReadDrawSurface(dd);
        const struct {
            int x, y;
            uint32_t colour;
        } probes[] = {{10, 20, 0xFF0000}, {9, 20, 0}, {11, 20, 0}, {10, 19, 0}, {10, 21, 0}, {11, 21, 0}};
        for (const auto& p : probes)
            EXPECT_EQ(frame.Pixel(p.x, p.y) & 0xFFFFFF, p.colour) << driver << " " << p.x << "," << p.y;
        dot.reset();
        registry.textures = nullptr;
    }
    {
        // The capability test on the real renderer: GL blends as the game needs, but
        // is no recognised card; the software renderer cannot add without alpha.
        DDInterface dd(nullptr, std::make_unique<Platform::SdlScreen>());
        ASSERT_EQ(dd.Init(window, true), DDInterface::RESULT_OK) << dd.mErrorString;
        RenderTest::NoCacheHost host;
        D3DTester tester(&host);
        D3DTestInput input;
        input.device = [&dd] { return dd.Screen()->Device(); };
        input.desktopWidth = 1024;
        input.desktopHeight = 768;
        input.videoMemoryBytes = DDInterface::VIDEO_MEMORY_BYTES;
        tester.TestD3D(input);
        if (std::string(driver) == "dummy") {
            EXPECT_EQ(tester.mFailureReason, "Additive blend not supported.");
        } else {
            EXPECT_EQ(tester.mFailureReason, "") << driver;
            EXPECT_EQ(tester.mWarning, "Unsupported video card.") << driver;
        }
    }
    const std::string prefix = std::string("busy-") + driver;
    const ImageLib::Image flat = DrawBusyFrame(window, false, registry, prefix + "-2d");
    const ImageLib::Image deep = DrawBusyFrame(window, true, registry, prefix + "-3d");
    // Filtering of the turned and stretched sprites and the blends' rounding differ a
    // little; anything missing differs a lot. SDL's software renderer maps textured
    // triangles coarsely (sprite edges land a pixel off and it never filters), so it
    // gets a wider margin than GL.
    const bool software = std::string(driver) == "dummy";
    const TestSupport::FrameDistance d = TestSupport::CompareFrames(flat, deep, 48);
    EXPECT_LT(d.far, int(flat.mBits.size() / (software ? 20 : 200))) << driver << ": pixels far apart";
    EXPECT_LT(d.mean, software ? 10.0 : 3.0) << driver << ": mean channel distance";
}

// Each driver in a child process of its own, which sets it up.
void RunWith(const char* driver)
{
    TestSupport::ScreenOptions options;
    options.headless = std::string(driver) == "dummy";
    const std::string why =
        TestSupport::RunScreenTest([&](TestSupport::ScreenSession& session) { RunScenario(session, driver); }, options);
    if (!why.empty())
        GTEST_SKIP() << why;
}

} // namespace

TEST(SdlRender3D, SoftwareRendererHeadless) { RunWith("dummy"); }

TEST(SdlRender3D, MesaUnderXvfb) { RunWith("x11"); }
