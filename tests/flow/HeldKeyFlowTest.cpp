// A key press that opens a dialog does not also answer it: the space that leaves the
// finished level opens the map with its one-time chest explanation, and the space
// that leaves the map starts a level with its hint. Held down, the key repeats; only
// a new press answers what it opened.
#include <gtest/gtest.h>

#include "framework/widgets/WidgetManager.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/shell/HintDialog.h"
#include "game/shell/MapScreen.h"
#include "tests/flow/FlowFixture.h"

using namespace Zant;

namespace FlowTests {

namespace {
constexpr int SPACE = 32;
}

TEST_F(FlowFixture, AHeldKeyDoesNotAnswerTheDialogItOpened)
{
    StartProfiles();
    app->LeaveTitleScreen();
    CreatePlayer("Ann");
    Answer(false);
    app->mCurProfile->mSiteFlags[1] = true; // site 1 was reached in an earlier game
    Press(100);
    Press(600);
    ASSERT_NE(app->mBoard, nullptr);
    app->mBoard->Pause(false);
    app->mBoard->mPlayer->SetState(Player::LEVEL_COMPLETE);
    app->mWidgetManager->SetFocus(app->mBoard);
    WidgetManager& keys = *app->mWidgetManager;

    struct Step {
        const char* opened;
        int dialog;
        const char* header;
    };
    const Step steps[] = {{"the map's chest explanation", 500, "INFO"}, {"the level hint", HintDialog::ID, "HINT"}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.opened);
        // Space goes down: the level is left (the map shows), or the map is.
        keys.KeyDown(SPACE);
        keys.KeyChar(' ');
        for (int i = 0; i < 500 && app->FindDialog(step.dialog) == nullptr; ++i)
            Run(1);
        ASSERT_NE(app->FindDialog(step.dialog), nullptr);
        EXPECT_EQ(app->FindDialog(step.dialog)->mDialogHeader, step.header);
        // Still held: the key repeats, and the dialog stays to be read.
        keys.KeyDown(SPACE);
        keys.KeyChar(' ');
        Run(1);
        EXPECT_NE(app->FindDialog(step.dialog), nullptr);
        keys.KeyUp(SPACE);
        // A new press answers it.
        keys.KeyDown(SPACE);
        keys.KeyChar(' ');
        keys.KeyUp(SPACE);
        Run(1);
        EXPECT_EQ(app->FindDialog(step.dialog), nullptr);
        if (step.dialog == 500) {
            ASSERT_NE(app->mMapScreen, nullptr);
            EXPECT_TRUE(app->mMapScreen->mVisible) << "answering the explanation does not leave the map";
            Run(30);
        }
    }
    EXPECT_TRUE(app->mBoard->mVisible);
}

} // namespace FlowTests
