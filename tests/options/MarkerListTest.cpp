// The marker list of a playing demo: the markers ahead with their times, a jump to
// the one the viewer clicks, Escape to close, and the demo held while it is open.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/app/ZantApp.h"
#include "framework/widgets/ListWidget.h"
#include "framework/widgets/MarkerListDialog.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Window.h"
#include "tests/support/AppFixture.h"

using namespace Zant;

namespace {

class MarkerListTest : public ::testing::Test {
protected:
    MarkerListTest()
    {
        app().mWidgetManager->SetScreenSize(640, 480);
        app().mPlayingDemoBuffer = true;
        app().mDemoLength = 400000;
        app().mUpdateCount = 40000;
        app().mDemoMarkerList = {{"start", 30000}, {"boss", 394000}, {"end", 399999}};
    }
    ZantApp& app() { return *fixture.app; }
    MarkerListDialog* List() { return dynamic_cast<MarkerListDialog*>(app().FindDialog(MarkerListDialog::ID)); }
    // The viewer's own input, as the window delivers it while the demo plays.
    void Viewer(Platform::Msg msg, int x, int y, int64_t param1 = 0)
    {
        app().HandleWindowMessage(msg, param1, Platform::PackMousePos(x, y));
        app().ProcessDeferredMessages();
    }

    TestSupport::AppFixture<> fixture;
};

} // namespace

TEST_F(MarkerListTest, ShowsTheMarkersAheadAndJumpsToTheOneClicked)
{
    EXPECT_TRUE(app().HandleDemoPlaybackKey('L'));
    MarkerListDialog* list = List();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->mDialogHeader, "Marker List");
    EXPECT_EQ(list->mList->mLines, (std::vector<std::string>{"boss (00:01:00)", "end (00:00:00)"}));
    EXPECT_EQ(app().mWidgetManager->mFocusWidget, list);
    app().HandleDemoPlaybackKey('l');
    EXPECT_EQ(app().CountDialogs(), 1) << "one list at a time";

    // While the list is up the demo waits.
    const int before = app().mUpdateCount;
    for (int i = 0; i < 5; ++i) {
        fixture.clock.Advance(100);
        app().RunFrame();
    }
    EXPECT_EQ(app().mUpdateCount, before);

    // The viewer clicks the second row.
    ListWidget* rows = list->mList;
    const int x = rows->mX + 10;
    const int y = rows->mY + 4 + rows->GetItemHeight() + rows->GetItemHeight() / 2;
    Viewer(Platform::Msg::MouseMove, x, y);
    EXPECT_EQ(rows->mHiliteIdx, 1);
    Viewer(Platform::Msg::LButtonDown, x, y);
    Viewer(Platform::Msg::LButtonUp, x, y);
    EXPECT_EQ(app().mDemoAdvanceToUpdate, 399999);
    EXPECT_EQ(app().FindDialog(MarkerListDialog::ID), nullptr);
    app().FlushWidgetDeletions();
}

TEST_F(MarkerListTest, EscapeClosesWithoutAJumpAndPlaybackInputStaysOutOfTheGame)
{
    app().HandleDemoPlaybackKey('L');
    ASSERT_NE(List(), nullptr);
    Viewer(Platform::Msg::KeyDown, 0, 0, 27);
    EXPECT_EQ(List(), nullptr);
    EXPECT_EQ(app().mDemoAdvanceToUpdate, 0);
    app().FlushWidgetDeletions();

    // With the list closed, the viewer's clicks do not reach the game's widgets again.
    struct Target : Widget {
        int downs = 0;
        void MouseDown(int x, int y, int clickCount) override { ++downs; }
    } target;
    target.Resize(0, 0, 640, 480);
    app().mWidgetManager->AddWidget(&target);
    Viewer(Platform::Msg::LButtonDown, 10, 10);
    Viewer(Platform::Msg::LButtonUp, 10, 10);
    EXPECT_EQ(target.downs, 0);
    app().mWidgetManager->RemoveWidget(&target);
}

TEST_F(MarkerListTest, AMarkerPassedWhileTheListWasOpenIsNotJumpedBackTo)
{
    app().HandleDemoPlaybackKey('L');
    ASSERT_NE(List(), nullptr);
    app().mUpdateCount = 395000; // moved on by a catch-up before the choice
    List()->Choose(0);           // "boss" at 394000
    EXPECT_EQ(app().mDemoAdvanceToUpdate, 0);
    EXPECT_EQ(List(), nullptr);
    app().FlushWidgetDeletions();
}
