// The 3D renderer through SDL's renderers: the software one on the headless dummy
// driver, and OpenGL (Mesa) in a private Xvfb server. A 1x1 blit colours exactly its
// pixel, and a busy frame of the game's art drawn in 3D matches the same frame drawn
// in 2D within a small tolerance. The frames are written as PNG files beside the
// build (render3d-shots/) for a look.
#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "bench/BusyFrame.h"
#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/ImageRegistry.h"
#include "platform/display/SdlScreen.h"
#include "tests/support/TestSupport.h"
#include "tests/support/XServer.h"

using namespace Zant;

namespace {

constexpr int CHILD_SKIPPED = 77;

// Images forgotten by the test drop their textures, as the application's do.
class Registry : public ImageRegistry {
public:
    void AddImage(MemoryImage*) override {}
    void ForgetImage(MemoryImage* image) override
    {
        if (display)
            display->DropImageTextures(image);
    }
    DDInterface* display = nullptr;
};

std::vector<uint32_t> ReadDrawSurface(DDInterface& dd)
{
    std::vector<uint32_t> pixels(640 * 480);
    Platform::DDSurfaceDesc desc;
    if (Platform::DDFailed(dd.mDrawSurface->Lock(desc)))
        return {};
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            uint32_t p;
            std::memcpy(&p, static_cast<uint8_t*>(desc.surface) + size_t(y) * desc.pitch + x * 4, 4);
            pixels[size_t(y) * 640 + x] = p & 0xFFFFFF;
        }
    dd.mDrawSurface->Unlock();
    return pixels;
}

void Save(const std::vector<uint32_t>& pixels, const std::string& name)
{
    const char* dir = getenv("PLINDOR_BINARY_DIR");
    const std::filesystem::path folder = std::filesystem::path(dir ? dir : "/tmp") / "render3d-shots";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    ImageLib::Image image(640, 480);
    for (size_t i = 0; i < pixels.size(); ++i)
        image.mBits[i] = pixels[i] | 0xFF000000u;
    ImageLib::WritePng((folder / name).string(), image);
}

int ChannelDistance(uint32_t a, uint32_t b)
{
    int worst = 0;
    for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

// One display in one mode on the window; the frame it drew, read from the draw surface.
std::vector<uint32_t> DrawBusyFrame(SDL_Window* window, bool is3D, Registry& registry, const std::string& label)
{
    DDInterface dd(nullptr, std::make_unique<Platform::SdlScreen>());
    registry.display = &dd;
    dd.mIs3D = is3D;
    const int result = dd.Init(window, true);
    EXPECT_EQ(result, DDInterface::RESULT_OK) << label << ": " << dd.mErrorString;
    EXPECT_EQ(dd.mIs3D, is3D) << label;
    std::vector<uint32_t> frame;
    if (result == DDInterface::RESULT_OK) {
        BusyFrame::Art art;
        std::string error;
        EXPECT_TRUE(art.Load(TestSupport::GameDir(), &registry, error)) << error;
        BusyFrame::Draw(dd.GetScreenImage(), art, 3);
        EXPECT_TRUE(dd.Present(nullptr)) << label << ": " << dd.mErrorString;
        frame = ReadDrawSurface(dd);
        Save(frame, label + ".png");
        art.Release();
    }
    registry.display = nullptr;
    return frame;
}

void RunScenario(const char* driver)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        printf("no SDL video on %s: %s\n", driver, SDL_GetError());
        _exit(CHILD_SKIPPED);
    }
    SDL_Window* window = SDL_CreateWindow("render3d", 0, 0, 640, 480, SDL_WINDOW_SHOWN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    Registry registry;
    {
        // A 1x1 blit lands on exactly its pixel.
        DDInterface dd(nullptr, std::make_unique<Platform::SdlScreen>());
        registry.display = &dd;
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
        const std::vector<uint32_t> frame = ReadDrawSurface(dd);
        ASSERT_EQ(frame.size(), 640u * 480u);
        const struct {
            int x, y;
            uint32_t colour;
        } probes[] = {{10, 20, 0xFF0000}, {9, 20, 0}, {11, 20, 0}, {10, 19, 0}, {10, 21, 0}, {11, 21, 0}};
        for (const auto& p : probes)
            EXPECT_EQ(frame[size_t(p.y) * 640 + p.x], p.colour) << driver << " " << p.x << "," << p.y;
        dot.reset();
        registry.display = nullptr;
    }
    const std::string prefix = std::string("busy-") + driver;
    const std::vector<uint32_t> flat = DrawBusyFrame(window, false, registry, prefix + "-2d");
    const std::vector<uint32_t> deep = DrawBusyFrame(window, true, registry, prefix + "-3d");
    ASSERT_EQ(flat.size(), deep.size());
    ASSERT_FALSE(flat.empty());
    // Filtering of the turned and stretched sprites and the blends' rounding differ a
    // little; anything missing differs a lot. SDL's software renderer maps textured
    // triangles coarsely (sprite edges land a pixel off and it never filters), so it
    // gets a wider margin than GL.
    const bool software = std::string(driver) == "dummy";
    int far = 0;
    int64_t total = 0;
    for (size_t i = 0; i < flat.size(); ++i) {
        const int d = ChannelDistance(flat[i], deep[i]);
        total += d;
        far += d > 48;
    }
    EXPECT_LT(far, int(flat.size() / (software ? 20 : 200))) << driver << ": pixels far apart";
    EXPECT_LT(double(total) / double(flat.size()), software ? 10.0 : 3.0) << driver << ": mean channel distance";
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// The X, GL and driver libraries keep memory past SDL_Quit, so each run is a child
// process that ends without the leak check; failures print there.
void RunInChild(const char* driver, const std::string& display)
{
    fflush(stdout);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setenv("SDL_VIDEODRIVER", driver, 1);
        if (!display.empty())
            setenv("DISPLAY", display.c_str(), 1);
        RunScenario(driver);
        fflush(stdout);
        _exit(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the render run crashed";
    if (WEXITSTATUS(status) == CHILD_SKIPPED)
        GTEST_SKIP() << "no SDL video on " << driver;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "see the failures printed above";
}

} // namespace

TEST(SdlRender3D, SoftwareRendererHeadless) { RunInChild("dummy", ""); }

TEST(SdlRender3D, MesaUnderXvfb)
{
    TestSupport::XvfbServer server;
    if (!server.Start())
        GTEST_SKIP() << "no Xvfb to run a real display";
    RunInChild("x11", server.Display());
}
