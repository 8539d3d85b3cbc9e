// The status bar: the charge bar and its prompts, the tooltip, and its three buttons
// in front of the board, where a click reaches the application's dispatcher.
#include <algorithm>
#include <functional>

#include "game/play/FadeButton.h"
#include "game/play/TooltipWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/common/BTTimer.h"
#include "game/play/BoardRecords.h"
#include "game/play/Player.h"
#include "game/play/StatusBar.h"
#include "tests/board/BoardFixture.h"

using namespace Zant;
using namespace BoardTests;
using namespace LevelFiles;

namespace {


class StatusBarTest : public BoardFixture {
protected:
    StatusBarTest()
    {
        StartLevel(OneWaveLevel());
        bar = new StatusBar(app.get());
        bar->Resize(0, 415, 640, 65);
        app->mStatusBar = bar;
        app->mWidgetManager->AddWidget(bar);
    }
    ~StatusBarTest() override
    {
        app->mWidgetManager->RemoveWidget(bar);
        app->mStatusBar = nullptr;
        delete bar;
    }

    // The texts the bar draws.
    std::vector<std::string> DrawnTexts()
    {
        draws.clear();
        bar->Draw(&graphics);
        std::vector<std::string> texts;
        for (const CreatureTests::DrawCall& call : draws)
            texts.push_back(call.text);
        return texts;
    }

    StatusBar* bar = nullptr;
};

} // namespace

TEST_F(StatusBarTest, ChargeFillsTheBarAndIsCapped)
{
    EXPECT_EQ(StatusBar::ChargeWidth(0.5), 114);
    EXPECT_EQ(StatusBar::ChargeWidth(1.0), 228);
    EXPECT_EQ(StatusBar::ChargeWidth(1.3), 228);
    EXPECT_EQ(StatusBar::ChargeWidth(-0.1), 0);
}

TEST_F(StatusBarTest, PromptsByChargeAndPhase)
{
    app->mFont12pt = new CreatureTests::RecordingFont(8, &draws);
    board->mPlayer->mCharge = 0.5;
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"CHARGING"}));

    board->mPlayer->mCharge = 1.0;
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"READY!"}));
    bar->mUpdateCnt = StatusBar::UPDATES_PER_PROMPT - 1;
    bar->Update();
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"PRESS ENTER TO FIRE!"}));
    bar->mUpdateCnt = 2 * StatusBar::UPDATES_PER_PROMPT - 1;
    bar->Update();
    EXPECT_EQ(bar->mReadyText, "READY!");

    for (int phase : {int(Player::BOSS_FIGHT), int(Player::TREASURE_WORD), int(Player::TALLY),
                      int(Player::LEVEL_COMPLETE), int(Player::BOSS_TALLY)}) {
        board->mPlayer->mState = phase;
        bar->mUpdateCnt = StatusBar::UPDATES_PER_PROMPT - 1;
        bar->Update();
        EXPECT_EQ(bar->mReadyText, "READY!") << phase;
    }

    board->mZapperTimer->SetDisabled(true); // the level has ended
    EXPECT_TRUE(DrawnTexts().empty());
}

// A diver who can no longer fire is not called to: under GAME OVER the bar
// takes the call back at once, not at its next turn.
TEST_F(StatusBarTest, GameOverTakesTheCallToFireBack)
{
    app->mFont12pt = new CreatureTests::RecordingFont(8, &draws);
    board->mPlayer->mCharge = 1.0;
    bar->mUpdateCnt = StatusBar::UPDATES_PER_PROMPT - 1;
    bar->Update();
    ASSERT_EQ(bar->mReadyText, "PRESS ENTER TO FIRE!");
    board->mPlayer->mState = Player::GAME_OVER;
    bar->Update();
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"READY!"}));
    bar->mUpdateCnt = 2 * StatusBar::UPDATES_PER_PROMPT - 1;
    bar->Update();
    EXPECT_EQ(bar->mReadyText, "READY!");
}

TEST_F(StatusBarTest, TooltipStaysHiddenWhilePaused)
{
    board->mPlayer->SetState(Player::PLAYING);
    board->MouseMove(100, 450);
    EXPECT_TRUE(bar->mTooltip->mArmed);
    board->MouseMove(100, 200);
    EXPECT_FALSE(bar->mTooltip->mArmed);
    board->Pause(true);
    board->MouseMove(100, 450);
    EXPECT_FALSE(bar->mTooltip->mArmed);
    bar->MouseEnter();
    EXPECT_FALSE(bar->mTooltip->mArmed);
    board->Pause(false);
}

TEST_F(StatusBarTest, ButtonsLieOverTheBoardAndReachTheDispatcher)
{
    struct Recorder : ButtonListener {
        void ButtonDepress(int id) override { ids.push_back(id); }
        std::vector<int> ids;
    } recorder;
    ASSERT_EQ(bar->mButtons.size(), 3u);
    const int expected[] = {StatusBar::BUTTON_QUIT, StatusBar::BUTTON_OPTIONS, StatusBar::BUTTON_PAUSE};
    const int xs[] = {553, 467, 380};
    for (size_t i = 0; i < 3; ++i) {
        FadeButton* button = bar->mButtons[i];
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->mId, expected[i]);
        EXPECT_EQ(button->mX, xs[i]);
        EXPECT_EQ(button->mY, 419);
        EXPECT_NE(button->mButtonImage, nullptr);
        EXPECT_TRUE(button->mVisible);
        button->mButtonListener = &recorder;
        // A click in the middle of the button, through the widget manager.
        const int x = button->mX + button->mWidth / 2;
        const int y = button->mY + button->mHeight / 2;
        app->mWidgetManager->MouseMove(x, y);
        app->mWidgetManager->MouseDown(x, y, 1);
        app->mWidgetManager->MouseUp(x, y, 1);
    }
    EXPECT_EQ(recorder.ids, (std::vector<int>{StatusBar::BUTTON_QUIT, StatusBar::BUTTON_OPTIONS,
                                                StatusBar::BUTTON_PAUSE}));
}

TEST_F(StatusBarTest, ButtonsShowTheirOwnOverAndDownPictures)
{
    const struct {
        int id;
        const char* over;
        const char* down;
    } cases[] = {
        {StatusBar::BUTTON_QUIT, "statusbarX_quit_over", "statusbarX_quit_down"},
        {StatusBar::BUTTON_OPTIONS, "statusbarX_options_over", "statusbarX_options_down"},
        {StatusBar::BUTTON_PAUSE, "statusbarX_pause_over", "statusbarX_pause_down"},
    };
    // Every picture a button might take, each its own.
    for (int i = 44; i <= 53; ++i)
        app->SetImage(i, CreatureTests::MakeCodedImage(i));
    const auto image = [this](const std::string& name) {
        for (int i = 0; i < WinBTApp::NUM_IMAGES; ++i)
            if (name == WinBTApp::IMAGE_NAMES[i])
                return app->GetImage(i);
        return static_cast<Image*>(nullptr);
    };
    StatusBar fresh(app.get());
    fresh.Resize(0, 415, 640, 65);
    app->mWidgetManager->AddWidget(&fresh);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.over);
        auto it = std::find_if(fresh.mButtons.begin(), fresh.mButtons.end(),
                               [&](FadeButton* b) { return b != nullptr && b->mId == c.id; });
        ASSERT_NE(it, fresh.mButtons.end());
        ASSERT_NE(image(c.over), nullptr);
        EXPECT_EQ((*it)->mOverImage, image(c.over));
        EXPECT_EQ((*it)->mDownImage, image(c.down));
    }
    app->mWidgetManager->RemoveWidget(&fresh);
}

// When the treasure word and the level-complete screen begin, the buttons are put
// back in step with the bar.
TEST_F(StatusBarTest, ButtonsFollowTheBarWhenTheLevelEndPhasesBegin)
{
    const struct {
        const char* name;
        std::function<void(Board&)> setUp;
        int phase;
    } cases[] = {
        {"treasure word",
         [](Board& b) {
             b.mPlayer->SetState(Player::FLOOR_REACHED);
             b.mWaveCleared = true;
             b.mAccuracyBadge->mAlpha = 0;
             b.mEndTimer = 239.5;
         },
         Player::TREASURE_WORD},
        {"level complete",
         [](Board& b) {
             b.mPlayer->SetState(Player::TALLY);
             b.mTallyDone = true;
             b.mTallyCountdown = 1;
         },
         Player::LEVEL_COMPLETE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FadeButton* pause = bar->mButtons[2];
        pause->SetVisible(false);
        pause->SetDisabled(true);
        c.setUp(*board);
        Run(1);
        ASSERT_EQ(board->mPlayer->mState, c.phase);
        EXPECT_TRUE(pause->mVisible);
        EXPECT_FALSE(pause->mDisabled);
    }
}
