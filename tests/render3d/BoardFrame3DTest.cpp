// A real frame of the board, drawn by the game in 2D and then, after switching the
// running application to 3D, through the 3D renderer: a level in play with its
// waving sea (in 3D the bent textured strips), sharks with words, piranhas, the
// diver, the header and the status bar. Through Mesa's GL in a private Xvfb server
// and through SDL's software renderer on the headless dummy driver, the two frames
// match within a small margin, and each matches its reference picture in this
// folder. The frames are written beside the build (screenshots/render3d/) for a look.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "bench/BusyBoard.h"
#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/WavyImage3D.h"
#include "framework/util/MersenneTwister.h"
#include "tests/support/GameScreens.h"

using namespace Zant;

namespace {

// A reference channel may be off by 4 (the renderers' rounding from run to run) in
// 200 pixels at most.
const TestSupport::Reference REFERENCE{"render3d", 4, 200};

// What the 3D frame may differ from the 2D one: the waves bend smoothly in 3D where
// the software path shifts whole rows, and GL filters the bent sea while the
// software renderer maps its triangles to the nearest texel.
struct Margin {
    int farPixels;
    double meanDistance;
};

ImageLib::Image DrawBoard(WinBTApp& app, const BusyBoard::Scene& scene, const std::string& label)
{
    DDInterface* dd = app.mDDInterface;
    scene.Draw(dd->GetScreenImage());
    if (dd->mIs3D) {
        EXPECT_EQ(dd->mD3DInterface->mErrorString, "") << label << "; SDL says: " << SDL_GetError();
    }
    EXPECT_TRUE(dd->Present(nullptr)) << label << ": " << dd->mErrorString;
    ImageLib::Image frame = TestSupport::ReadDrawSurface(*dd);
    TestSupport::SaveShot(frame, "render3d", label);
    return frame;
}

void RunScenario(TestSupport::ScreenSession& session, const std::string& driver, const std::string& renderer,
                 const Margin& margin)
{
    gGameRandom = new MersenneTwister(2026);
    auto app = std::make_unique<BusyBoard::QuietApp>();
    ASSERT_NE(session.ShowLoadedApp(*app), nullptr);
    std::string error;
    ASSERT_TRUE(BusyBoard::LoadArt(*app, error)) << error;
    BusyBoard::Scene scene;
    ASSERT_TRUE(scene.Build(*app, 6, 4, error)) << error;

    ASSERT_FALSE(app->Is3D());
    const ImageLib::Image flat = DrawBoard(*app, scene, "board-" + renderer + "-2d.png");
    app->Set3DAcceleration(true, true);
    ASSERT_TRUE(app->Is3D()) << driver << ": " << app->mDDInterface->mErrorString;
    ASSERT_NE(D3DTargetOf(Graphics(app->mDDInterface->GetScreenImage())), nullptr) << "the sea takes the 3D path";
    const ImageLib::Image deep = DrawBoard(*app, scene, "board-" + renderer + "-3d.png");

    const TestSupport::FrameDistance d = TestSupport::CompareFrames(flat, deep, 48);
    printf("%s: 3D against 2D: %d pixels more than 48 apart, mean channel distance %.2f\n", renderer.c_str(),
           d.far, d.mean);
    EXPECT_LE(d.far, margin.farPixels) << renderer << ": pixels far apart";
    EXPECT_LE(d.mean, margin.meanDistance) << renderer << ": mean channel distance";

    // The 2D frame is the game's own software drawing on any driver.
    TestSupport::ExpectMatchesReference(flat, REFERENCE, "board-2d.png");
    TestSupport::ExpectMatchesReference(deep, REFERENCE, "board-" + renderer + "-3d.png");

    scene.Release();
    app.reset();
    delete gGameRandom;
    gGameRandom = nullptr;
}

// Each renderer in a child process of its own, which sets it up.
void RunWith(const std::string& driver, const std::string& renderer, const Margin& margin)
{
    if (!std::filesystem::exists(TestSupport::GameDir() + "/images/water1.png"))
        GTEST_SKIP() << "the art is not built in " << TestSupport::GameDir();
    TestSupport::ScreenOptions options;
    options.headless = driver == "dummy";
    const std::string why = TestSupport::RunScreenTest(
        [&](TestSupport::ScreenSession& session) { RunScenario(session, driver, renderer, margin); }, options);
    if (!why.empty())
        GTEST_SKIP() << why;
}

} // namespace

TEST(BoardFrame3D, SoftwareRendererHeadless) { RunWith("dummy", "software", Margin{640 * 480 / 20, 10.0}); }

TEST(BoardFrame3D, MesaUnderXvfb) { RunWith("x11", "gl", Margin{640 * 480 / 200, 3.0}); }
