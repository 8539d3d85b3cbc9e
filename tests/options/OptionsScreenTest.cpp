// The options dialog over the menu and the update-check dialog with its waiting
// bar, drawn by the game in a real X window (a private Xvfb server) and compared
// with the reference pictures kept beside this test. A failing comparison leaves
// the picture taken and a difference picture in the build folder.
#include <gtest/gtest.h>

#include <string>

#include "framework/widgets/UpdateCheckDialog.h"
#include "game/shell/OptionsDialog.h"
#include "game/profile/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"
#include "tests/support/GameScreens.h"

using namespace Zant;

namespace {

void Scenario(TestSupport::ScreenSession& session, WinBTApp& game, const TestSupport::ShootFunction& shoot)
{
    WinBTApp* app = &game;
    UserProfile* ann = app->mProfileMgr->FindUserProfile("Ann");
    ASSERT_NE(ann, nullptr);
    ann->mSpacePauses = true;
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
    const std::string skipped = TestSupport::RunStartingGame("options", Scenario);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}
