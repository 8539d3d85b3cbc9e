// A real frame of the board, drawn by the game in 2D and then, after switching the
// running application to 3D, through the 3D renderer: a level in play with its
// waving sea (in 3D the bent textured strips), sharks with words, piranhas, the
// diver, the header and the status bar. Through Mesa's GL in a private Xvfb server
// and through SDL's software renderer on the headless dummy driver, the two frames
// match within a small margin, and each matches its reference picture in this
// folder. The frames are written beside the build (render3d-shots/) for a look.
#include <gtest/gtest.h>

#include <unistd.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "bench/BusyBoard.h"
#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/WavyImage3D.h"
#include "framework/util/MersenneTwister.h"
#include "tests/render3d/ChildProcess.h"
#include "tests/render3d/WindowedApp.h"
#include "tests/render3d/FrameShots.h"
#include "tests/support/ReferencePicture.h"
#include "tests/support/TestSupport.h"
#include "tests/support/XServer.h"

using namespace Zant;

namespace {

// A reference channel may be off by this (the renderers' rounding from run to run)
// in this many pixels at most.
constexpr int REFERENCE_TOLERANCE = 4;
constexpr int REFERENCE_MISSES = 200;

// What the 3D frame may differ from the 2D one: the waves bend smoothly in 3D where
// the software path shifts whole rows, and GL filters the bent sea while the
// software renderer maps its triangles to the nearest texel.
struct Margin {
    int farPixels;
    double meanDistance;
};

std::vector<uint32_t> DrawBoard(WinBTApp& app, const BusyBoard::Scene& scene, const std::string& label)
{
    DDInterface* dd = app.mDDInterface;
    scene.Draw(dd->GetScreenImage());
    if (dd->mIs3D) {
        EXPECT_EQ(dd->mD3DInterface->mErrorString, "") << label << "; SDL says: " << SDL_GetError();
    }
    EXPECT_TRUE(dd->Present(nullptr)) << label << ": " << dd->mErrorString;
    std::vector<uint32_t> frame = RenderTest::ReadDrawSurface(*dd);
    RenderTest::SaveShot(frame, label);
    return frame;
}

void ExpectReference(const std::vector<uint32_t>& frame, const std::string& name)
{
    const int off =
        TestSupport::DifferingPixels(TestSupport::Picture(frame, 640, 480), "render3d", name, REFERENCE_TOLERANCE);
    EXPECT_GE(off, 0) << name;
    EXPECT_LE(off, REFERENCE_MISSES) << name << " against its reference";
}

void RunScenario(const std::string& driver, const std::string& renderer, const Margin& margin)
{
    RenderTest::WindowedServices services;
    TestSupport::WorkingFolder folder(TestSupport::GameDir());
    gGameRandom = new MersenneTwister(2026);
    auto app = std::make_unique<BusyBoard::QuietApp>();
    services.OpenMainWindow(*app);
    std::string error;
    ASSERT_NE(app->mDDInterface, nullptr);
    ASSERT_TRUE(app->mDDInterface->mInitialized) << app->mDDInterface->mErrorString;
    ASSERT_TRUE(BusyBoard::LoadArt(*app, error)) << error;
    BusyBoard::Scene scene;
    ASSERT_TRUE(scene.Build(*app, 6, 4, error)) << error;

    ASSERT_FALSE(app->Is3D());
    const std::vector<uint32_t> flat = DrawBoard(*app, scene, "board-" + renderer + "-2d.png");
    app->Set3DAcceleration(true, true);
    ASSERT_TRUE(app->Is3D()) << driver << ": " << app->mDDInterface->mErrorString;
    ASSERT_NE(D3DTargetOf(Graphics(app->mDDInterface->GetScreenImage())), nullptr) << "the sea takes the 3D path";
    const std::vector<uint32_t> deep = DrawBoard(*app, scene, "board-" + renderer + "-3d.png");
    ASSERT_EQ(flat.size(), 640u * 480u);
    ASSERT_EQ(deep.size(), flat.size());

    const RenderTest::FrameDistance d = RenderTest::CompareFrames(flat, deep, 48);
    printf("%s: 3D against 2D: %d pixels more than 48 apart, mean channel distance %.2f\n", renderer.c_str(),
           d.far, d.mean);
    EXPECT_LE(d.far, margin.farPixels) << renderer << ": pixels far apart";
    EXPECT_LE(d.mean, margin.meanDistance) << renderer << ": mean channel distance";

    // The 2D frame is the game's own software drawing on any driver.
    ExpectReference(flat, "board-2d.png");
    ExpectReference(deep, "board-" + renderer + "-3d.png");

    scene.Release();
    app.reset();
    delete gGameRandom;
    gGameRandom = nullptr;
}

bool HaveArt() { return std::filesystem::exists(TestSupport::GameDir() + "/images/water1.png"); }

} // namespace

TEST(BoardFrame3D, SoftwareRendererHeadless)
{
    if (!HaveArt())
        GTEST_SKIP() << "the art is not built in " << TestSupport::GameDir();
    RenderTest::RunInChild([] {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        RunScenario("dummy", "software", Margin{640 * 480 / 20, 10.0});
    });
}

TEST(BoardFrame3D, MesaUnderXvfb)
{
    if (!HaveArt())
        GTEST_SKIP() << "the art is not built in " << TestSupport::GameDir();
    TestSupport::XvfbServer server;
    if (!server.Start())
        GTEST_SKIP() << "no Xvfb to run a real display";
    RenderTest::RunInChild([&] {
        setenv("SDL_VIDEODRIVER", "x11", 1);
        setenv("DISPLAY", server.Display().c_str(), 1);
        RunScenario("x11", "gl", Margin{640 * 480 / 200, 3.0});
    });
}
