// The game-over dialog: its figures worked out once from the run's totals, what it
// shows, and a game lost diver by diver until the board opens it.
#include <algorithm>
#include <memory>

#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "game/common/BTTimer.h"
#include "game/play/Player.h"
#include "game/play/StatusBar.h"
#include "game/play/FadeButton.h"
#include "game/shell/GameOverDialog.h"
#include "game/shell/HintDialog.h"
#include "tests/board/BoardFixture.h"

using namespace Zant;
using namespace BoardTests;
using namespace LevelFiles;

namespace {

class GameOverTest : public BoardFixture {
protected:
    GameOverTest()
    {
        for (Font** font : {&app->mFontRockwell13, &app->mFontRockwell13Bold})
            *font = new CreatureTests::RecordingFont(1, &draws);
        StartLevel(OneWaveLevel());
    }

    std::unique_ptr<GameOverDialog> Dialog(bool abyss, int typingTime, int hits, int misses, int depth)
    {
        return std::make_unique<GameOverDialog>(app.get(), board->mPlayer, abyss, typingTime, hits, misses, depth);
    }

    // Everything the dialog writes, its colour codes taken out.
    std::string Shown(GameOverDialog& dialog)
    {
        draws.clear();
        dialog.Draw(&graphics);
        std::string text;
        for (const CreatureTests::DrawCall& call : draws)
            text += call.text + "|";
        return text;
    }

    // The eaten diver rises out of view and the update hands him on.
    void LoseDiver()
    {
        Player* player = board->mPlayer;
        player->SetState(Player::RISING);
        player->mY = -player->GetHeight() - 1.0;
        Run(1);
    }
};

} // namespace

TEST_F(GameOverTest, SpeedAndAccuracyAreWorkedOutOnceOrNotAtAll)
{
    const struct {
        const char* what;
        bool abyss;
        int level;
        int typingTime;
        int hits;
        int misses;
        int depth;
        int wpm;
        int accuracy;
    } cases[] = {
        {"lost in the first level", false, 0, 120000, 1003, 11, 0, -1, -1},
        {"two minutes", false, 2, 120000, 1003, 11, 0, 73, 98},
        // The penalty counts a whole minute, the raw speed the true half.
        {"under a minute", false, 2, 30000, 201, 11, 0, 57, 94},
        {"a speed of -5 shows nothing", false, 2, 60000, 0, 26, 0, -1, 0},
        {"nothing typed", false, 3, 0, 0, 0, 0, -1, -1},
        {"typing time but no letters", false, 3, 40000, 0, 0, 0, 0, -1},
        {"abyss above 400 ft", true, 0, 120000, 1003, 11, 399, -1, -1},
        {"abyss typing under 25 s", true, 0, 24999, 1003, 11, 400, -1, -1},
        {"abyss deep and long enough", true, 0, 120000, 1003, 11, 400, 73, 98},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        board->mPlayer->mLevelIndex = c.level;
        auto dialog = Dialog(c.abyss, c.typingTime, c.hits, c.misses, c.depth);
        EXPECT_EQ(dialog->mWordsPerMinute, c.wpm);
        EXPECT_EQ(dialog->mAccuracy, c.accuracy);
    }
}

// The game-over dialogs, and a message, a question and a hint long enough to reach
// down to the status bar when centred.
TEST_F(GameOverTest, EveryDialogOverALevelStaysClearOfTheStatusBarButtons)
{
    auto* bar = new StatusBar(app.get());
    bar->Resize(0, 415, 640, 65);
    app->mStatusBar = bar;
    app->mWidgetManager->AddWidget(bar);
    const auto expectClear = [bar](const Zant::Dialog* dialog) {
        ASSERT_NE(dialog, nullptr);
        const Rect area(dialog->mX, dialog->mY, dialog->mWidth, dialog->mHeight);
        EXPECT_GE(area.y, 0);
        for (const FadeButton* button : bar->mButtons) {
            ASSERT_NE(button, nullptr);
            EXPECT_FALSE(area.Intersects(Rect(button->mX, button->mY, button->mWidth, button->mHeight)))
                << "button at " << button->mX << "," << button->mY << " under the dialog ending at "
                << area.y + area.height;
        }
    };
    for (bool abyss : {false, true}) {
        SCOPED_TRACE(abyss ? "abyss" : "adventure");
        expectClear(Dialog(abyss, 120000, 1003, 11, 1240).get());
    }
    std::string lines;
    for (int i = 0; i < 18; ++i)
        lines += "line\n";
    constexpr int MESSAGE_ID = 500;
    app->DoMessageDialog("NOTE", lines, "", false);
    SCOPED_TRACE("message");
    expectClear(app->FindDialog(MESSAGE_ID));
    app->RemoveDialog(MESSAGE_ID);
    app->DoMessageDialog2("QUESTION", lines, "", false, "YES", "NO");
    SCOPED_TRACE("question");
    expectClear(app->FindDialog(MESSAGE_ID));
    app->RemoveDialog(MESSAGE_ID);
    app->mHintsOn = true;
    app->ShowHintDialog(lines, "HINT");
    SCOPED_TRACE("hint");
    expectClear(app->FindDialog(HintDialog::ID));
    app->RemoveDialog(HintDialog::ID);

    app->mWidgetManager->RemoveWidget(bar);
    app->mStatusBar = nullptr;
    delete bar;
}

TEST_F(GameOverTest, PlayTimeIsMinutesAndTwoDigitSeconds)
{
    const struct {
        int ms;
        const char* text;
    } cases[] = {{0, "0:00"}, {125000, "2:05"}, {59999, "0:59"}, {600000, "10:00"}, {671000, "11:11"}};
    for (const auto& c : cases)
        EXPECT_EQ(GameOverDialog::FormatPlayTime(c.ms), c.text) << c.ms;
}

TEST_F(GameOverTest, AdventureAndAbyssShowTheirOwnSummaries)
{
    board->mPlayer->mScore = 52340;
    board->mPlayer->mLevelIndex = 4;
    auto adventure = Dialog(false, 120000, 1003, 11, 0);
    adventure->mRankTitle = "Deckhand";
    adventure->mPlayTime = 125000;
    EXPECT_EQ(adventure->mWidth, 400);
    EXPECT_EQ(adventure->mHeight, 300);
    const std::string a = Shown(*adventure);
    for (const char* part : {"GAME OVER", "Score: |52340", "Rank: |Deckhand", "WPM: |73", "Level: |5",
                             "Accuracy: |98%", "Time: |2:05"})
        EXPECT_NE(a.find(part), std::string::npos) << part << " in " << a;
    EXPECT_EQ(a.find("Depth"), std::string::npos);

    auto abyss = Dialog(true, 20000, 10, 1, 1240);
    EXPECT_EQ(abyss->mWidth, 370);
    EXPECT_EQ(abyss->mHeight, 380);
    const std::string b = Shown(*abyss);
    for (const char* part : {"Your Score: |52340", "Highest Score: |0", "Your Depth: |1240", "Best Depth: |1240",
                             "WPM: |N/A", "Level: |Abyss", "Accuracy: |N/A", "Time: |0:00", "saved every 400"})
        EXPECT_NE(b.find(part), std::string::npos) << part << " in " << b;
    EXPECT_EQ(b.find("Rank"), std::string::npos);
}

TEST_F(GameOverTest, TheThirdLostDiverOpensTheDialogWithTheRunsFigures)
{
    app->mRunTypingTime = 100000;
    app->mRunTotal9 = 900;
    app->mRunTotal10 = 40;
    app->mRunLevelTotal8 = 300000;
    board->Pause(false);
    board->mPlayer->mLevelIndex = 2;
    board->mTypingTime = 20000;
    board->mAccuracyHits = 103;
    board->mAccuracyMisses = 7;
    board->mPlayer->mScore = 40000;

    for (int lost = 1; lost <= 2; ++lost) {
        LoseDiver();
        EXPECT_EQ(app->FindDialog(GameOverDialog::DIALOG_ID), nullptr) << lost;
    }
    LoseDiver();
    auto* dialog = dynamic_cast<GameOverDialog*>(app->FindDialog(GameOverDialog::DIALOG_ID));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog, board->mGameOverDialog);
    EXPECT_FALSE(dialog->mIsAbyss);
    EXPECT_EQ(dialog->mTypingTime, 120000);
    EXPECT_EQ(dialog->mHits, 1003);
    EXPECT_EQ(dialog->mMisses, 47);
    EXPECT_EQ(dialog->mPlayTime, 300000 + board->mLevelTime);
    EXPECT_EQ(dialog->mRankTitle, Board::GetRankTitle(40000));
    // 0.2 x 1003 / 2 = 100 raw, 75 - 0.2 x 47 / 2 = 70.3.
    EXPECT_EQ(dialog->mWordsPerMinute, 70);
    EXPECT_EQ(dialog->mAccuracy, 95);
    EXPECT_TRUE(app->mWidgetManager->HasWidget(dialog));
    EXPECT_TRUE(board->mPaused);
    EXPECT_EQ(board->mPlayer->mState, Player::GAME_OVER);

    // The buttons answer the dispatcher with their own ids.
    EXPECT_EQ(dialog->mYesButton->mId, 92210);
    EXPECT_EQ(dialog->mYesButton->mLabel, "PLAY AGAIN");
    EXPECT_EQ(dialog->mNoButton->mId, 93210);
    EXPECT_EQ(dialog->mNoButton->mLabel, "MAIN MENU");
    EXPECT_TRUE(app->mWidgetManager->IsBelow(dialog, dialog->mYesButton));
    EXPECT_TRUE(app->mWidgetManager->IsBelow(dialog, dialog->mNoButton));

    // Brought to the front, the dialog keeps its buttons in front of it.
    app->mWidgetManager->BringToFront(dialog);
    EXPECT_TRUE(app->mWidgetManager->IsBelow(dialog, dialog->mYesButton));
    EXPECT_TRUE(app->mWidgetManager->IsBelow(dialog, dialog->mNoButton));

    // Nothing opens a second time.
    board->HandlePlayerDeath();
    EXPECT_EQ(app->FindDialog(GameOverDialog::DIALOG_ID), dialog);
}

TEST_F(GameOverTest, AnAbyssGameEndsWithItsFirstDiverAndShowsItsDepth)
{
    app->mBoard = nullptr;
    StartLevel(AbyssFile(Level(Sharks())), -1);
    config->ResetWaves(0);
    DiverInPlace();
    board->Pause(false);
    board->mAbyssDepth = 1240;
    LoseDiver();
    auto* dialog = dynamic_cast<GameOverDialog*>(app->FindDialog(GameOverDialog::DIALOG_ID));
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->mIsAbyss);
    EXPECT_EQ(dialog->mDepthReached, 1240);
}

TEST_F(GameOverTest, MainMenuClosesTheDialogAndTheGame)
{
    board->Pause(false);
    board->mPlayer->mLives = 0;
    LoseDiver();
    auto* dialog = dynamic_cast<GameOverDialog*>(app->FindDialog(GameOverDialog::DIALOG_ID));
    ASSERT_NE(dialog, nullptr);
    // As a click on the button reports it, through the dialog to the application.
    dialog->ButtonDepress(dialog->mNoButton->mId);
    EXPECT_EQ(app->FindDialog(GameOverDialog::DIALOG_ID), nullptr);
    EXPECT_EQ(app->mBoard, nullptr);
    EXPECT_NE(app->mMenuScreen, nullptr);
    // The application has queued the board for deletion, as the main loop deletes it
    // after the frame: it is no longer the test's.
    board = nullptr;
    app->FlushWidgetDeletions();
}

// The abyss note, about 6 pixels a letter in the game's font, takes one line inside
// the dialog's content rather than leaving its last word on a line of its own.
TEST_F(GameOverTest, TheAbyssNoteTakesOneLineInsideTheDialog)
{
    static_cast<CreatureTests::RecordingFont*>(app->mFontRockwell13)->mAdvance = 6;
    std::unique_ptr<GameOverDialog> dialog = Dialog(true, 120000, 1003, 11, 1240);
    draws.clear();
    dialog->Draw(&graphics);
    const auto note = std::find_if(draws.begin(), draws.end(), [](const CreatureTests::DrawCall& call) {
        return call.text.find("progress") != std::string::npos;
    });
    ASSERT_NE(note, draws.end());
    EXPECT_NE(note->text.find("feet."), std::string::npos) << note->text;
    EXPECT_LE(6 * int(note->text.size()), dialog->mWidth - dialog->mContentInsets.mLeft - dialog->mContentInsets.mRight);
}
