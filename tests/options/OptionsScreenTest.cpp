// The options dialog over the menu and the update-check dialog with its waiting
// bar, drawn by the game in a real X window (a private Xvfb server) and compared
// with the reference pictures kept beside this test. A failing comparison leaves
// the picture taken and a difference picture in the build folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/ImageFont.h"
#include "framework/widgets/UpdateCheckDialog.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/OptionsDialog.h"
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

void Scenario(TestSupport::ScreenSession& session, WinBTApp& game)
{
    WinBTApp* app = &game;
    const TestSupport::Reference reference{"options", CHANNEL_TOLERANCE, MAX_DIFFERENT_PIXELS};
    UserProfile* ann = app->mProfileMgr->FindUserProfile("Ann");
    ASSERT_NE(ann, nullptr);
    ann->mSpacePauses = true;
    app->mCurProfile = ann;
    auto shoot = [&](const char* name) {
        TestSupport::ExpectMatchesReference(session.DrawFrame(*app, name), reference, name);
    };

    for (int i = WinBTApp::NUM_LOADED_IMAGES; i < WinBTApp::NUM_IMAGES; ++i)
        app->SetImage(i, app->LoadImageFile(std::string("images\\") + WinBTApp::IMAGE_NAMES[i]));
    app->mUpdateCheckDue = false;
    TestSupport::FinishLoading(*app);
    ASSERT_NE(app->mMenuScreen, nullptr);

    app->SetMusicVolume(0.85);
    app->SetSfxVolume(0.5);
    app->mEffectsOn = true;
    app->ButtonDepress(107); // the menu's options button
    ASSERT_NE(app->FindDialog(OptionsDialog::ID), nullptr);
    shoot("options.png");

    app->ButtonDepress(2778);
    app->FlushWidgetDeletions();
    app->CheckForUpdates();
    auto* check = dynamic_cast<UpdateCheckDialog*>(app->FindDialog(2532));
    ASSERT_NE(check, nullptr);
    check->mBarOffset = 12; // part way through a scroll
    shoot("update-check.png");
    EXPECT_TRUE(session.boxes.shown.empty()) << session.boxes.shown[0].text;
}

} // namespace

TEST(OptionsScreens, DialogsMatchTheirReferencePictures)
{
    const std::string skipped = TestSupport::RunStartingGame(Scenario);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}
