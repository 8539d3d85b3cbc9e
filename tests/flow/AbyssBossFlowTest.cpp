// Abyss bosses come in a fixed order from the surface down: a new dive from the
// surface meets the first of them first, whatever boss the last dive had reached.
#include <gtest/gtest.h>

#include <functional>

#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/shell/GameOverDialog.h"
#include "tests/flow/FlowFixture.h"

using namespace Zant;

namespace FlowTests {

TEST_F(FlowFixture, ADiveFromTheSurfaceStartsTheBossesAfresh)
{
    StartProfiles();
    app->LeaveTitleScreen();
    CreatePlayer("Ann");
    Answer(false);
    const struct {
        const char* how;
        std::function<void()> dive;
    } cases[] = {
        {"the menu's abyss button", [&] { Press(101); }},
        {"play again after a shallow dive",
         [&] {
             Press(101);
             Run(1);
             ASSERT_NE(app->mBoard, nullptr);
             app->mBoard->mAbyssDepth = 300;
             app->mBoard->mPlayer->mLives = 0;
             app->mBoard->HandlePlayerDeath();
             ASSERT_NE(app->FindDialog(GameOverDialog::DIALOG_ID), nullptr);
             app->mCurProfile->SetAbyssBoss(2);
             Press(GameOverDialog::PLAY_AGAIN_ID);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        // The last dive got past its third boss.
        app->mCurProfile->SetAbyssBoss(2);
        c.dive();
        Run(1);
        ASSERT_NE(app->mBoard, nullptr);
        EXPECT_EQ(app->mBoard->mAbyssDepth, 0);
        EXPECT_EQ(app->mBoard->mAbyssBoss, -1);
        EXPECT_EQ(app->mCurProfile->GetAbyssBoss(), -1);
        app->EndGame(false);
        app->FlushWidgetDeletions();
    }
}

} // namespace FlowTests
