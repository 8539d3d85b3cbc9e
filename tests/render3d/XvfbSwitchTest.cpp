// F8 in a real X window (a private Xvfb server, Mesa's GL): the running application
// switches to 3D, goes full screen and back in 3D, and returns to 2D, each windowed
// frame matching the 2D one, and the images it drew keep their pixels throughout.
#include <gtest/gtest.h>

#include <SDL.h>

#include "framework/app/ZantApp.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/display/SdlScreen.h"
#include "tests/support/GameScreens.h"

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

// The SDL renderer the window is drawn with now.
std::string RendererName(ZantApp& app)
{
    SDL_Renderer* renderer = SDL_GetRenderer(app.GetWindowSystem()->NativeWindow());
    SDL_RendererInfo info{};
    return renderer && SDL_GetRendererInfo(renderer, &info) == 0 && info.name ? info.name : "";
}

// Pixels of which a channel is more than a rounding step off.
int FarPixels(const ImageLib::Image& a, const ImageLib::Image& b) { return TestSupport::CompareFrames(a, b, 8).far; }

void RunScenario(TestSupport::ScreenSession& session)
{
    {
        Platform::FakeMessageBoxService& boxes = session.boxes;
        auto app = std::make_unique<ZantApp>();
        app->mWidgetManager = new WidgetManager(app.get());
        app->mDebugKeysEnabled = true;
        auto scene = std::make_unique<Scene>(app.get());
        scene->Resize(0, 0, 640, 480);
        app->mWidgetManager->AddWidget(scene.get());
        ASSERT_NE(session.ShowLoadedApp(*app), nullptr);
        const std::vector<uint32_t> sprite(scene->sprite.GetBits(), scene->sprite.GetBits() + 48 * 48);

        const ImageLib::Image flat = session.DrawFrame(*app, "2D");
        // 2D needs no GL driver; 3D takes the accelerated renderer Mesa offers.
        EXPECT_EQ(RendererName(*app), "software");
        ASSERT_TRUE(app->HandleDebugKey(F8));
        ASSERT_EQ(boxes.shown.back().text, "3D-Mode: ON");
        ASSERT_TRUE(app->Is3D());
        EXPECT_EQ(RendererName(*app), "opengl");
        const ImageLib::Image deep = session.DrawFrame(*app, "3D");
        EXPECT_LT(FarPixels(flat, deep), 200) << "3D against 2D";

        // Full screen and back in 3D: the window, its renderer and every texture are
        // made anew each time.
        for (int i = 0; i < 2; ++i) {
            app->HandleWindowMessage(Platform::Msg::SysKeyDown, 13, 0);
            ASSERT_TRUE(app->mDDInterface->mInitialized) << app->mDDInterface->mErrorString;
            EXPECT_TRUE(app->Is3D());
            session.DrawFrame(*app, "3D switching between window and full screen");
        }
        ASSERT_TRUE(app->mIsWindowed);
        EXPECT_LT(FarPixels(flat, session.DrawFrame(*app, "3D after full screen")), 200) << "3D after full screen";
        ASSERT_TRUE(app->HandleDebugKey(F8));
        EXPECT_EQ(boxes.shown.back().text, "3D-Mode: OFF");
        EXPECT_EQ(RendererName(*app), "software");
        const ImageLib::Image back = session.DrawFrame(*app, "2D again");
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
    if (const std::string why = TestSupport::RunScreenTest(RunScenario); !why.empty())
        GTEST_SKIP() << why;
}
