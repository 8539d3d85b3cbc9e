// Every kind of control with the mouse over it, and held down where it has a
// pressed look, in the game as a player meets it: a real X window (a private Xvfb
// server), the mouse moved and pressed through the window's own messages. The label
// of the control under the mouse must read by its own colour on its own face, like
// every other text on the frame (see TextContrast.h). The shots and their listings
// go to <build>/screenshots/screens/under-the-mouse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/widgets/Checkbox.h"
#include "framework/graphics/Font.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "framework/widgets/ListWidget.h"
#include "framework/widgets/Slider.h"
#include "framework/widgets/WidgetManager.h"
#include "game/play/Board.h"
#include "game/play/FadeButton.h"
#include "game/play/Player.h"
#include "game/play/StatusBar.h"
#include "game/profile/UserProfile.h"
#include "game/shell/AbyssModeDialog.h"
#include "game/shell/DeleteUserDialog.h"
#include "game/shell/DifficultyDialog.h"
#include "game/shell/HintDialog.h"
#include "game/shell/HighScoreScreen.h"
#include "game/shell/MapScreen.h"
#include "game/shell/MenuScreen.h"
#include "game/shell/NewUserDialog.h"
#include "game/shell/OptionsDialog.h"
#include "game/shell/SelectUserDialog.h"
#include "game/shell/StatsScreen.h"
#include "game/shell/TabbedWidget.h"
#include "game/shell/TutorStatsPanel.h"
#include "game/shell/TypingTutor.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"
#include "game/shell/XWidget.h"
#include "platform/Window.h"
#include "tests/support/GameScreens.h"
#include "tests/support/ReferencePicture.h"

using namespace Zant;
using Platform::Msg;

namespace {

const char* const FOLDER = "screens/under-the-mouse";
// The message dialog's id, and the menu's buttons by their place.
constexpr int MESSAGE_ID = 500;
enum MenuButton { ADVENTURE, ABYSS, TUTOR, QUIT, HIGH_SCORES, OPTIONS };

// A place on a control (its middle unless told), and whether it has a pressed look.
struct Target {
    std::string name;
    Widget* control;
    bool press = true;
    int x = -1, y = -1; // inside the control
};

// The player's mouse: every move and click goes through the window's messages, as
// the main loop hands them on.
class Mouse {
public:
    Mouse(TestSupport::ScreenSession& session, WinBTApp& app) : mSession(session), mApp(app) {}

    // The control's looks under the mouse, each shot and measured.
    void Point(const Target& target)
    {
        SCOPED_TRACE(target.name);
        ASSERT_NE(target.control, nullptr);
        const Widget& c = *target.control;
        const int x = c.mX + (target.x >= 0 ? target.x : c.mWidth / 2);
        const int y = c.mY + (target.y >= 0 ? target.y : c.mHeight / 2);
        Send(Msg::MouseMove, x, y);
        Shoot(target.name + "-over.png");
        if (target.press) {
            Send(Msg::LButtonDown, x, y);
            Shoot(target.name + "-down.png");
            // Dragged off before the release: no click.
            Send(Msg::MouseMove, 1, 1);
            Send(Msg::LButtonUp, 1, 1);
        } else {
            Send(Msg::MouseMove, 1, 1);
        }
    }

    // A click, as the player makes one to move on.
    void Click(Widget* control)
    {
        ASSERT_NE(control, nullptr);
        const int x = control->mX + control->mWidth / 2, y = control->mY + control->mHeight / 2;
        Send(Msg::MouseMove, x, y);
        Send(Msg::LButtonDown, x, y);
        Send(Msg::LButtonUp, x, y);
        Send(Msg::MouseMove, 1, 1);
    }

private:
    void Send(Msg message, int x, int y)
    {
        mApp.HandleWindowMessage(message, 0, Platform::PackMousePos(x, y));
        mApp.ProcessDeferredMessages();
        // Glows fade in and tooltips come up over some frames.
        for (int i = 0; i < 40; ++i)
            mApp.mWidgetManager->UpdateFrame();
        mApp.FlushWidgetDeletions();
    }

    void Shoot(const std::string& name)
    {
        TestSupport::SaveShot(TestSupport::ShootTexts(mSession, mApp, FOLDER, name), FOLDER, name);
    }

    TestSupport::ScreenSession& mSession;
    WinBTApp& mApp;
};

Dialog* Opened(WinBTApp& app, int id)
{
    Dialog* dialog = app.FindDialog(id);
    EXPECT_NE(dialog, nullptr) << id;
    return dialog;
}

// A list's second line.
Target Row(const std::string& name, ListWidget* list)
{
    const int h = list != nullptr && list->mFont != nullptr ? list->mFont->GetHeight() : 16;
    return {name, list, true, -1, 4 + h + h / 2};
}

// The menu and everything opened from it.
void MenuControls(WinBTApp& app, Mouse& mouse)
{
    MenuScreen* menu = app.mMenuScreen;
    ASSERT_NE(menu, nullptr);
    mouse.Point({"menu-change-user-link", menu->mChangeUserLink});
    mouse.Point({"menu-statistics-link", menu->mStatsLink});

    mouse.Click(menu->mButtons[QUIT]);
    if (Dialog* question = Opened(app, MESSAGE_ID)) {
        mouse.Point({"message-yes", question->mYesButton});
        mouse.Point({"message-no", question->mNoButton});
        mouse.Click(question->mNoButton);
    }

    app.DoMessageDialog("NAME CONFLICT", "The name you entered already exists.", "", false);
    if (Dialog* message = Opened(app, MESSAGE_ID)) {
        mouse.Point({"message-ok", message->mYesButton});
        mouse.Click(message->mYesButton);
    }

    mouse.Click(menu->mButtons[OPTIONS]);
    if (auto* options = dynamic_cast<OptionsDialog*>(Opened(app, OptionsDialog::ID))) {
        mouse.Point({"options-done", options->mYesButton});
        mouse.Point({"options-credits", options->mCreditsButton});
        if (options->mLinkButton != nullptr)
            mouse.Point({"options-web-site", options->mLinkButton});
        mouse.Point({"options-music-slider", options->mMusicSlider});
        mouse.Point({"options-effects-check-box", options->mEffectsCheckbox});
        mouse.Click(options->mYesButton);
    }

    app.ShowNewUserDialog(WinBTApp::NEW_USER_PROMPT);
    if (Dialog* newUser = Opened(app, NewUserDialog::DIALOG_ID)) {
        mouse.Point({"new-user-ok", newUser->mYesButton});
        mouse.Point({"new-user-cancel", newUser->mNoButton});
    }
    app.RemoveDialog(NewUserDialog::DIALOG_ID);
    app.FlushWidgetDeletions();

    mouse.Click(menu->mChangeUserLink);
    if (auto* select = dynamic_cast<SelectUserDialog*>(Opened(app, SelectUserDialog::DIALOG_ID))) {
        mouse.Point(Row("select-user-row", select->mList));
        mouse.Point({"select-user-ok", select->mYesButton});
        mouse.Click(select->mNoButton);
    }

    app.ShowDeleteUserDialog({"Ann", "Bartholomew", "Cy"});
    if (auto* remove = dynamic_cast<DeleteUserDialog*>(Opened(app, DeleteUserDialog::DIALOG_ID))) {
        mouse.Point(Row("delete-user-row", remove->mList));
        mouse.Point({"delete-user-cancel", remove->mNoButton});
        mouse.Click(remove->mNoButton);
    }

    mouse.Click(menu->mButtons[ADVENTURE]);
    if (auto* difficulty = dynamic_cast<DifficultyDialog*>(Opened(app, DifficultyDialog::DIALOG_ID))) {
        for (int i = 0; i < DifficultyDialog::NUM_DIFFICULTIES; ++i)
            mouse.Point({"difficulty-" + std::to_string(i), difficulty->Button(i)});
        mouse.Point({"difficulty-cancel", difficulty->mYesButton});
        mouse.Click(difficulty->mYesButton);
    }

    mouse.Click(menu->mButtons[ABYSS]);
    if (auto* abyss = dynamic_cast<AbyssModeDialog*>(Opened(app, AbyssModeDialog::DIALOG_ID))) {
        mouse.Point(Row("abyss-start-row", abyss->mList));
        mouse.Point({"abyss-start-ok", abyss->mYesButton});
        mouse.Click(abyss->mNoButton);
    }
}

void ScreenControls(WinBTApp& app, Mouse& mouse)
{
    mouse.Click(app.mMenuScreen->mButtons[HIGH_SCORES]);
    mouse.Point({"hall-of-fame-close", app.mHighScoreCloseButton});
    mouse.Click(app.mHighScoreCloseButton);

    ASSERT_NE(app.mMenuScreen, nullptr);
    mouse.Click(app.mMenuScreen->mStatsLink);
    ASSERT_NE(app.mStatsScreen, nullptr);
    TabbedWidget* tabs = app.mStatsScreen->mTabs;
    mouse.Point({"statistics-close", app.mStatsCloseButton});
    mouse.Point({"statistics-tab", tabs, true, tabs->mTabRects[2].x + 10, tabs->mTabRects[2].y + 5});
    TutorialPanel* tutor = app.mStatsScreen->mTutorialPanel;
    mouse.Point({"statistics-next-lesson", tutor->mNextButton});
    mouse.Point({"statistics-radio", tutor->mAccuracyRadio});
    mouse.Click(app.mStatsCloseButton);

    ASSERT_NE(app.mMenuScreen, nullptr);
    mouse.Click(app.mMenuScreen->mButtons[TUTOR]);
    ASSERT_NE(app.mTypingTutor, nullptr);
    TypingTutor* typing = app.mTypingTutor;
    mouse.Point({"tutor-next", typing->mNextButton});
    mouse.Point({"tutor-options", typing->mOptionsButton});
    mouse.Point({"tutor-back-to-menu", typing->mMenuButton});
}

// The diver lost for the last time: the game-over dialog comes up.
void LoseTheGame(WinBTApp& app)
{
    ASSERT_NE(app.mBoard, nullptr);
    Player* player = app.mBoard->mPlayer;
    player->mLives = 0;
    player->SetState(Player::RISING);
    player->mY = -player->GetHeight() - 1.0;
    for (int i = 0; i < 3; ++i)
        app.mWidgetManager->UpdateFrame();
    ASSERT_NE(app.FindDialog(Board::GAME_OVER_DIALOG), nullptr);
}

// A game: its first hint, the status bar, the chart between levels and both ends
// of a game.
void PlayControls(WinBTApp& app, Mouse& mouse)
{
    mouse.Click(app.mMenuScreen->mButtons[ADVENTURE]);
    auto* difficulty = dynamic_cast<DifficultyDialog*>(Opened(app, DifficultyDialog::DIALOG_ID));
    ASSERT_NE(difficulty, nullptr);
    mouse.Click(difficulty->Button(1));
    ASSERT_NE(app.mBoard, nullptr);
    app.mBoard->SetZapperHintDue(false);
    for (int i = 0; i < 300 && app.FindDialog(HintDialog::ID) == nullptr; ++i)
        app.mWidgetManager->UpdateFrame();
    if (auto* hint = dynamic_cast<HintDialog*>(Opened(app, HintDialog::ID))) {
        mouse.Point({"hint-check-box", hint->mCheckbox});
        mouse.Point({"hint-ok", hint->mYesButton});
        mouse.Click(hint->mYesButton);
    }
    ASSERT_NE(app.mStatusBar, nullptr);
    for (size_t i = 0; i < app.mStatusBar->mButtons.size(); ++i)
        mouse.Point({"status-bar-button-" + std::to_string(i), app.mStatusBar->mButtons[i]});

    // The first level's end, as the board calls it.
    app.ShowMapScreen();
    for (int i = 0; i < 60; ++i)
        app.mWidgetManager->UpdateFrame();
    MapScreen* map = app.mMapScreen;
    ASSERT_NE(map, nullptr);
    ASSERT_FALSE(map->mMarkers.empty());
    mouse.Point({"map-site", map->mMarkers[0]});
    mouse.Click(map->mMarkers[0]);
    for (int i = 0; i < 60; ++i)
        app.mWidgetManager->UpdateFrame();
    mouse.Point({"map-continue-link", map->mContinueLink});
    mouse.Click(map->mContinueLink);
    ASSERT_NE(app.mBoard, nullptr);
    app.mBoard->SetZapperHintDue(false);
    TestSupport::RunAnsweringHints(app, 300);

    LoseTheGame(app);
    Dialog* over = Opened(app, Board::GAME_OVER_DIALOG);
    ASSERT_NE(over, nullptr);
    mouse.Point({"game-over-play-again", over->mYesButton});
    mouse.Point({"game-over-main-menu", over->mNoButton});
    mouse.Click(over->mNoButton);

    ASSERT_NE(app.mMenuScreen, nullptr);
    mouse.Click(app.mMenuScreen->mButtons[ABYSS]);
    if (Dialog* abyss = Opened(app, AbyssModeDialog::DIALOG_ID))
        mouse.Click(abyss->mYesButton);
    ASSERT_NE(app.mBoard, nullptr);
    app.mBoard->SetZapperHintDue(false);
    TestSupport::RunAnsweringHints(app, 300);
    LoseTheGame(app);
    over = Opened(app, Board::GAME_OVER_DIALOG);
    ASSERT_NE(over, nullptr);
    mouse.Point({"abyss-game-over-play-again", over->mYesButton});
    mouse.Point({"abyss-game-over-main-menu", over->mNoButton});
}

} // namespace

TEST(ControlsUnderTheMouse, EveryLabelReadsOverAndDown)
{
    const std::string skipped = TestSupport::RunStartingGame(
        "screens", [](TestSupport::ScreenSession& session, WinBTApp& app, const TestSupport::ShootFunction&) {
            app.mCurProfile->mBestDepth = 1250; // the abyss dialog lists starting depths
            app.mUpdateCheckDue = false;
            TestSupport::FinishLoading(app);
            Mouse mouse(session, app);
            MenuControls(app, mouse);
            if (!testing::Test::HasFatalFailure())
                ScreenControls(app, mouse);
        });
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}

TEST(ControlsUnderTheMouse, EveryLabelReadsInAGame)
{
    const std::string skipped = TestSupport::RunStartingGame(
        "screens", [](TestSupport::ScreenSession& session, WinBTApp& app, const TestSupport::ShootFunction&) {
            app.mCurProfile->mBestDepth = 1250;
            app.mUpdateCheckDue = false;
            app.mHintsOn = true;
            TestSupport::FinishLoading(app);
            Mouse mouse(session, app);
            PlayControls(app, mouse);
        });
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}
