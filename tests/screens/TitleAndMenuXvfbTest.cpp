// The title screen while loading and the menu after it, drawn by the game in a real
// X window (a private Xvfb server), read back from the renderer and compared with
// the reference pictures kept beside this test. A failing comparison writes the
// picture taken and a difference picture into the build folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "framework/graphics/ImageFont.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/MenuScreen.h"
#include "game/shell/TitleScreen.h"
#include "game/shell/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"
#include "tests/support/GameScreens.h"

using namespace Zant;

namespace {

// Per channel: the display's rounding; pixels: a few edge pixels of scaled text.
constexpr int CHANNEL_TOLERANCE = 6;
constexpr int MAX_DIFFERENT_PIXELS = 200;

class FastApp : public WinBTApp {
public:
    int64_t EstimateCpuMHz() override { return 2000; }
};

void Scenario(TestSupport::ScreenSession& session)
{
    const TestSupport::Reference reference{"screens", CHANNEL_TOLERANCE, MAX_DIFFERENT_PIXELS};
    auto app = std::make_unique<FastApp>();
    app->SetWindowSystem(&session.Windows());
    app->mWidgetManager = new WidgetManager(app.get());
    app->mProfileMgr = new UserProfileMgr(app.get());
    auto* ann = new UserProfile(app.get());
    ann->mName = "Ann";
    app->mProfileMgr->AddUserProfile(ann);
    app->mProfileMgr->RegisterDefaultUserName("Ann");

    app->mTitleScreen = new TitleScreen(app.get());
    app->mTitleScreen->Resize(0, 0, 640, 480);
    ASSERT_TRUE(app->mTitleScreen->LoadImages());
    app->mWidgetManager->AddWidget(app->mTitleScreen);

    ASSERT_NE(session.ShowWindow(*app), nullptr);
    auto shoot = [&](const char* name) {
        TestSupport::ExpectMatchesReference(session.DrawFrame(*app, name), reference, name);
    };

    // Half way through loading.
    app->mLoadingThreadStarted = true;
    app->mCompletedLoadingThreadTasks = 150;
    shoot("title-loading.png");

    // Loading, then the end of the title as the main thread runs it.
    app->mFontRockwell13 = new ImageFont(app.get(), "data\\Rockwell13.txt");
    app->mFontRockwell13Bold = new ImageFont(app.get(), "data\\Rockwell13Bold.txt");
    app->LoadingProc();
    app->mLoaded = true;
    app->mLoadingThreadCompleted = true;
    app->LoadingCompleted();
    app->FlushWidgetDeletions();
    ASSERT_NE(app->mMenuScreen, nullptr);
    EXPECT_TRUE(session.boxes.shown.empty()) << session.boxes.shown[0].text;
    shoot("menu.png");

    app.reset();
}

} // namespace

TEST(TitleAndMenu, ScreensMatchTheirReferencePictures)
{
    if (!std::filesystem::exists(TestSupport::GameDir() + "/images"))
        GTEST_SKIP() << "no program folder";
    TestSupport::ScreenOptions options;
    options.settingsStore = true;
    const std::string skipped = TestSupport::RunScreenTest(Scenario, options);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}
