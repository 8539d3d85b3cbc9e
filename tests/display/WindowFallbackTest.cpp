// How the main window reacts to what the display can and cannot do: a desktop
// depth a window cannot use, a refused full screen, a present that fails.
#include <gtest/gtest.h>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "platform/display/FakeScreen.h"
#include "tests/display/AppFixture.h"

using namespace Zant;

namespace {

using Fixture = DisplayTest::AppFixture<>;

// The display of the application, on a scripted screen the test keeps a hand on.
Platform::FakeScreen* GiveFakeScreen(Fixture& f)
{
    auto screen = std::make_unique<Platform::FakeScreen>();
    Platform::FakeScreen* raw = screen.get();
    f.app->mDDInterface = new DDInterface(f.app.get(), std::move(screen));
    return raw;
}

class Painter : public Widget {
public:
    void Draw(Graphics*) override {}
};

} // namespace

TEST(WindowFallback, DesktopDepthAWindowCannotUseGoesFullScreen)
{
    Fixture f;
    Platform::FakeScreen* screen = GiveFakeScreen(f);
    screen->desktopBits = 8;
    f.app->CreateMainWindow();
    EXPECT_FALSE(f.app->mIsWindowed);
    EXPECT_TRUE(f.app->mFullScreenForced);
    EXPECT_TRUE(f.app->mDDInterface->mInitialized);
    // Alt+Enter cannot bring the window back while full screen is forced.
    f.app->HandleWindowMessage(Platform::Msg::SysKeyDown, 13, 0);
    EXPECT_FALSE(f.app->mIsWindowed);
}

TEST(WindowFallback, RefusedFullScreenFallsBackToAWindow)
{
    for (bool refuseMode : {false, true}) {
        Fixture f;
        Platform::FakeScreen* screen = GiveFakeScreen(f);
        screen->refuseFullScreen = !refuseMode;
        screen->refuseMode = refuseMode;
        f.app->mIsWindowed = false;
        f.app->CreateMainWindow();
        EXPECT_TRUE(f.app->mIsWindowed) << refuseMode;
        EXPECT_TRUE(f.app->mWindowedForced) << refuseMode;
        EXPECT_TRUE(f.app->mDDInterface->mInitialized) << refuseMode;
    }
}

TEST(WindowFallback, NeitherWindowNorFullScreenIsFatal)
{
    EXPECT_EXIT(
        {
            Fixture f;
            Platform::FakeScreen* screen = GiveFakeScreen(f);
            screen->desktopBits = 8;
            screen->refuseMode = true;
            f.app->CreateMainWindow();
        },
        testing::ExitedWithCode(1), ""); // the box goes to the fake message service
}

TEST(WindowFallback, FailedPresentRecreatesTheDisplayOnceActive)
{
    Fixture f;
    Platform::FakeScreen* screen = GiveFakeScreen(f);
    Painter painter;
    painter.Resize(0, 0, 640, 480);
    f.app->mWidgetManager->AddWidget(&painter);
    f.app->CreateMainWindow();
    ASSERT_TRUE(f.app->mDDInterface->mInitialized);

    screen->failShow = true;
    f.app->mActive = false;
    int presents = f.app->mPresentCount;
    painter.mDirty = false;
    f.app->Redraw(nullptr);
    EXPECT_EQ(f.app->mPresentCount, presents + 1); // tried again later
    EXPECT_FALSE(painter.mDirty);                  // nothing re-made while inactive

    screen->failShow = false;
    f.app->mActive = true;
    f.clock.Advance(5000);
    screen->failShow = true; // this present fails; the display is re-made at once
    f.app->Redraw(nullptr);
    EXPECT_TRUE(painter.mDirty);
    EXPECT_EQ(f.app->mLastTime, f.clock.TickCount()); // no catch-up for the lost time
    EXPECT_EQ(f.app->mWidgetManager->mImage, static_cast<Image*>(f.app->mDDInterface->GetScreenImage()));
    f.app->mWidgetManager->RemoveWidget(&painter);
}
