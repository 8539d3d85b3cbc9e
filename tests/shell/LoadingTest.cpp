// The loading procedure on the real program folder: every asset loads, the step
// counts leave the bar four steps short, the effects follow the processor speed, and
// the end of loading leaves the title for the menu on the main thread.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "framework/sound/DSoundManager.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/MenuScreen.h"
#include "game/shell/WinBTApp.h"
#include "platform/MessageBox.h"
#include "tests/support/TestSupport.h"

namespace {

class MeasuredApp : public Zant::WinBTApp {
public:
    int64_t EstimateCpuMHz() override { return mhz; }
    int64_t mhz = 2000;
};

// Runs from the program folder, as the program does.
class LoadingTest : public ::testing::Test {
protected:
    LoadingTest()
    {
        char here[4096];
        mOldFolder = getcwd(here, sizeof here) ? here : ".";
        if (!std::filesystem::exists(TestSupport::GameDir() + "/images"))
            return;
        mHaveData = chdir(TestSupport::GameDir().c_str()) == 0;
        Platform::SetMessageBoxes(&boxes);
    }
    ~LoadingTest() override
    {
        app.reset();
        if (chdir(mOldFolder.c_str()) != 0)
            ADD_FAILURE() << "cannot return to " << mOldFolder;
        Platform::SetMessageBoxes(nullptr);
        delete Zant::gGameRandom;
        Zant::gGameRandom = nullptr;
    }
    void MakeApp(int64_t mhz)
    {
        app = std::make_unique<MeasuredApp>();
        app->mhz = mhz;
        app->mWidgetManager = new Zant::WidgetManager(app.get());
        app->mSoundManager = new Zant::DSoundManager(nullptr);
        app->mLoadingThreadStarted = true;
    }

    bool mHaveData = false;
    std::string mOldFolder;
    Platform::FakeMessageBoxService boxes;
    std::unique_ptr<MeasuredApp> app;
};

} // namespace

TEST_F(LoadingTest, EverythingLoadsAndTheBarStopsFourStepsShort)
{
    if (!mHaveData)
        GTEST_SKIP() << "no program folder at " << TestSupport::GameDir();
    MakeApp(695);
    app->LoadingProc();
    app->mLoaded = true;
    for (const auto& box : boxes.shown)
        ADD_FAILURE() << box.text;
    for (int i = 0; i < Zant::WinBTApp::NUM_LOADED_IMAGES; ++i)
        EXPECT_NE(app->GetImage(i), nullptr) << Zant::WinBTApp::IMAGE_NAMES[i];
    EXPECT_NE(app->mFontSwiss24, nullptr);
    EXPECT_NE(app->mFontMyriad15, app->mFontMyriad15b);
    EXPECT_NE(app->GetSharkImage(2, Zant::VARIANT_RED), nullptr);

    const int done = app->mCompletedLoadingThreadTasks;
    const int total = app->mNumLoadingThreadTasks;
    // Word-list section headers count on both sides of the fraction.
    EXPECT_GT(total, 311);
    EXPECT_EQ(total - done, 4);
    EXPECT_LT(app->GetLoadingProgress(), 1.0);
    EXPECT_TRUE(app->mEffectsOn);

    app->mLoadingThreadCompleted = true;
    EXPECT_EQ(app->GetLoadingProgress(), 1.0);
}

TEST_F(LoadingTest, EndOfLoadingShowsTheMenuUnlessAnUpdateCheckIsDue)
{
    if (!mHaveData)
        GTEST_SKIP() << "no program folder at " << TestSupport::GameDir();
    MakeApp(694);
    app->LoadingProc();
    app->mLoaded = true;
    EXPECT_FALSE(app->mEffectsOn);
    app->mLoadingThreadCompleted = true;
    app->LoadingCompleted();
    ASSERT_NE(app->mMenuScreen, nullptr);
    // Slow machines get plain buttons with the same places and ids.
    for (int i = 0; i < Zant::MenuScreen::NUM_BUTTONS; ++i) {
        const Zant::ButtonWidget* button = app->mMenuScreen->mButtons[size_t(i)];
        const auto& layout = Zant::MenuScreen::BUTTONS[i];
        EXPECT_EQ(button->mId, layout.id);
        EXPECT_EQ(button->mX, layout.x);
        EXPECT_EQ(button->mWidth, layout.width);
        EXPECT_EQ(button->mOverImage, app->GetImage(layout.overImage));
        EXPECT_NE(button->mButtonImage, nullptr);
    }
    EXPECT_EQ(app->mExitCode, Zant::EXIT_NORMAL);
}
