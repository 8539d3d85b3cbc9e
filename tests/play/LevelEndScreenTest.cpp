// The end of a level in a real X window (a private Xvfb server), with the program's
// own images and fonts: the diver at the floor of a shipwreck level typing its
// treasure word under the value line, the treasure found, and the clams of a secret
// bonus level showing their letters. Each frame is compared with its reference
// picture in this folder, and every text on it must read.
#include <gtest/gtest.h>

#include <string>

#include "framework/graphics/Font.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/creatures/Clam.h"
#include "game/play/Board.h"
#include "game/play/BonusText.h"
#include "game/play/Player.h"
#include "game/shell/WinBTApp.h"
#include "tests/levels/LevelFileBuilder.h"
#include "tests/support/GameScreens.h"

using namespace Zant;

namespace {

// Level 8 lies by the wreck; its floor comes up soon.
std::string ShipwreckLevel(const std::string& inner)
{
    using namespace LevelFiles;
    return File(Level(inner, 8), Defaults(Value("OceanDepth", "60")));
}

// The field sinks until the floor rests under the diver, the way the descent
// brings it up, and the level's last wave is over.
void SinkToTheFloor(WinBTApp& app, Board& board)
{
    TestSupport::PutDiverInPlay(board, Player::PLAYING, 48210, 0.6);
    board.mIntroDone = true;
    board.mIntroAlpha = 0;
    board.mHintAlpha = 0;
    board.mPlayer->SetReadyForWave(true);
    board.mScrollSpeed = 2.0;
    for (int i = 0; i < 5000 && board.mPlayer->mState == Player::PLAYING; ++i)
        board.UpdateDescent();
    ASSERT_EQ(board.mPlayer->mState, Player::FLOOR_REACHED);
    board.mWaveCleared = true;
    board.mAccuracyBadge->mAlpha = 0;
    // The air tank fills, then the clock of the bonus phase runs.
    for (int i = 0; i < 2000 && board.mPlayer->mState == Player::FLOOR_REACHED; ++i)
        app.mWidgetManager->UpdateFrame();
    ASSERT_EQ(board.mPlayer->mState, Player::TREASURE_WORD);
}

void LoadWords(WinBTApp& app)
{
    ASSERT_TRUE(app.mWordLists.LoadWordLengthLists());
    ASSERT_TRUE(app.mWordLists.LoadDifficultyWords());
    ASSERT_TRUE(app.mWordLists.LoadGemNames());
    ASSERT_TRUE(app.mWordLists.LoadShipNames());
    // The run's treasure and the name of its gem, as a new game picks them.
    app.GetTreasureIndex();
    app.mGemName = app.GetRandomGemName();
}

void TreasureWordAndFound(WinBTApp& app, const TestSupport::ShootFunction& shoot)
{
    app.mHintsOn = false;
    LoadWords(app);
    if (testing::Test::HasFatalFailure())
        return;
    using namespace LevelFiles;
    Board* board = TestSupport::ShowBoard(app, ShipwreckLevel(Sharks()));
    ASSERT_NE(board, nullptr);
    SinkToTheFloor(app, *board);
    if (testing::Test::HasFatalFailure())
        return;
    for (int i = 0; i < 50; ++i)
        app.mWidgetManager->UpdateFrame();
    ASSERT_GE(board->mTreasureWord.size(), 3u);
    // Two letters typed: the word shows its typed part and the rest.
    board->HandleKeyChar(board->mTreasureWord[0]);
    board->HandleKeyChar(board->mTreasureWord[1]);
    app.mWidgetManager->UpdateFrame();
    shoot("level-treasure-word.png");
    // The word finished: a second one comes.
    for (size_t i = 2; i < board->mTreasureWord.size() && board->mTreasureWordsDone == 0;)
        board->HandleKeyChar(board->mTreasureWord[i++]);
    ASSERT_EQ(board->mTreasureWordsDone, 1);
    // Typed fast (a letter every 40 ms) the words' points follow each other up
    // the screen, both at full strength: each must read over the pale rocks and
    // the bubbles, and neither reach the line that tells what to do.
    for (int i = 0; i < 400 && !board->mBonusTexts.empty(); ++i)
        app.mWidgetManager->UpdateFrame();
    ASSERT_TRUE(board->mBonusTexts.empty());
    for (int word = 2; word <= 3; ++word) {
        for (int i = 0; i < 12 && board->mTreasureWord.empty(); ++i)
            app.mWidgetManager->UpdateFrame();
        for (size_t i = 0; i < board->mTreasureWord.size() && board->mTreasureWordsDone < word;) {
            board->HandleKeyChar(board->mTreasureWord[i++]);
            for (int k = 0; k < 4; ++k)
                app.mWidgetManager->UpdateFrame();
        }
        ASSERT_EQ(board->mTreasureWordsDone, word);
    }
    ASSERT_EQ(board->mBonusTexts.size(), 2u);
    for (const BonusText* text : board->mBonusTexts)
        EXPECT_GT(int(text->mY) - text->mFont->GetAscent(), board->TreasureLineBaseline()) << text->mText;
    shoot("level-treasure-pop-ups.png");

    // The clock runs out: the treasure of the level is found, its screen fully shown.
    for (int i = 0; i < 5000 && board->mPlayer->mState == Player::TREASURE_WORD; ++i)
        app.mWidgetManager->UpdateFrame();
    ASSERT_EQ(board->mPlayer->mState, Player::TALLY);
    for (int i = 0; i < 400 && board->mTallyCountdown < 255; ++i)
        app.mWidgetManager->UpdateFrame();
    ASSERT_EQ(board->mTallyCountdown, 255);
    shoot("treasure-found.png");
    TestSupport::RemoveBoard(app);
}

void ClamLevel(WinBTApp& app, const TestSupport::ShootFunction& shoot)
{
    app.mHintsOn = false;
    LoadWords(app);
    if (testing::Test::HasFatalFailure())
        return;
    using namespace LevelFiles;
    Board* board = TestSupport::ShowBoard(app, ShipwreckLevel(Value("BonusLevel", "1")));
    ASSERT_NE(board, nullptr);
    SinkToTheFloor(app, *board);
    if (testing::Test::HasFatalFailure())
        return;
    ASSERT_EQ(board->mClams.size(), 22u);
    // One clam opened to its pearl; the others show their letters.
    board->HandleKeyChar(board->mClams[7]->mWord[0]);
    for (int i = 0; i < 60; ++i)
        app.mWidgetManager->UpdateFrame();
    shoot("level-clams.png");
    TestSupport::RemoveBoard(app);
}

// The clam level, its clams showing their letters, brought to the floor.
Board* ShowClams(WinBTApp& app)
{
    app.mHintsOn = false;
    LoadWords(app);
    if (testing::Test::HasFatalFailure())
        return nullptr;
    using namespace LevelFiles;
    Board* board = TestSupport::ShowBoard(app, ShipwreckLevel(Value("BonusLevel", "1")));
    if (board == nullptr)
        return nullptr;
    SinkToTheFloor(app, *board);
    if (testing::Test::HasFatalFailure())
        return nullptr;
    return board;
}

// The clock runs out on the pearl game and its end shows fully.
void RunOutTheClams(WinBTApp& app, Board& board)
{
    for (int i = 0; i < 20000 && board.mPlayer->mState == Player::TREASURE_WORD; ++i)
        app.mWidgetManager->UpdateFrame();
    ASSERT_EQ(board.mPlayer->mState, Player::TALLY);
    for (int i = 0; i < 300; ++i)
        app.mWidgetManager->UpdateFrame();
}

// The pearl game paused, then lost: the clock runs out with no pair matched and
// the level waits for the space bar over the open clams.
void ClamLevelPausedThenLost(WinBTApp& app, const TestSupport::ShootFunction& shoot)
{
    Board* board = ShowClams(app);
    ASSERT_NE(board, nullptr);
    for (int i = 0; i < 30; ++i)
        app.mWidgetManager->UpdateFrame();
    board->Pause(true);
    shoot("level-clams-paused.png");
    board->Pause(false);
    RunOutTheClams(app, *board);
    if (testing::Test::HasFatalFailure())
        return;
    ASSERT_TRUE(board->mLevelDonePanel->mVisible);
    shoot("level-clams-lost.png");
    TestSupport::RemoveBoard(app);
}

// The pearl game won: a pair of pearls matched, the secret item is found when the
// clock runs out and the level waits for the space bar under it.
void ClamLevelWon(WinBTApp& app, const TestSupport::ShootFunction& shoot)
{
    Board* board = ShowClams(app);
    ASSERT_NE(board, nullptr);
    const auto clamWith = [&](int content, const Clam* other) -> Clam* {
        for (Clam* clam : board->mClams)
            if (clam->mContent == content && clam != other)
                return clam;
        return nullptr;
    };
    Clam* first = nullptr;
    for (Clam* clam : board->mClams)
        if (clam->mContent != 0 && clamWith(clam->mContent, clam) != nullptr)
            first = clam;
    ASSERT_NE(first, nullptr);
    board->HandleKeyChar(first->mWord[0]);
    board->HandleKeyChar(clamWith(first->mContent, first)->mWord[0]);
    ASSERT_EQ(board->mPearlMatches, 1);
    RunOutTheClams(app, *board);
    if (testing::Test::HasFatalFailure())
        return;
    ASSERT_TRUE(board->mLevelDonePanel->mVisible);
    shoot("level-clams-won.png");
    TestSupport::RemoveBoard(app);
}

} // namespace

TEST(LevelEndScreen, TreasureWordThenTheTreasureFound)
{
    const std::string skipped = TestSupport::RunGameScreens("play", 2026, TreasureWordAndFound);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}

TEST(LevelEndScreen, ClamsShowTheirLetters)
{
    const std::string skipped = TestSupport::RunGameScreens("play", 2026, ClamLevel);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}

TEST(LevelEndScreen, ClamLevelPausedThenLost)
{
    const std::string skipped = TestSupport::RunGameScreens("play", 2026, ClamLevelPausedThenLost);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}

TEST(LevelEndScreen, ClamLevelWon)
{
    const std::string skipped = TestSupport::RunGameScreens("play", 2026, ClamLevelWon);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}
