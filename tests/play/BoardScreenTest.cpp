// The play field in a real X window (a private Xvfb server), with the program's own
// images and fonts: a level in play with creatures carrying words, a typed prefix
// and the status bar, then the same level paused. Each frame is read back from the
// renderer, written beside the build for a look and compared with its reference
// picture in this folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/graphics/ImageFont.h"
#include "framework/widgets/WidgetManager.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/GlowSharks.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/Shark.h"
#include "game/play/Board.h"
#include "game/play/BoardRecords.h"
#include "game/play/BonusText.h"
#include "game/play/Player.h"
#include "game/play/StatusBar.h"
#include "game/shell/WinBTApp.h"
#include "tests/board/BoardFixture.h"
#include "tests/levels/LevelFileBuilder.h"
#include "tests/support/GameScreens.h"

using namespace Zant;

namespace {

void Scenario(WinBTApp& game, const TestSupport::ShootFunction& shoot)
{
    WinBTApp* app = &game;
    app->mHintsOn = false; // no hint dialog over the field
    app->mFontRockwell13 = new ImageFont(app, "data/Rockwell13.txt");
    ASSERT_TRUE(static_cast<ImageFont*>(app->mFontRockwell13)->IsLoaded());

    using namespace LevelFiles;
    Board* board = TestSupport::ShowBoard(*app, File(Level(Sharks())));
    ASSERT_NE(board, nullptr);

    // A level in play: the diver in place, creatures with words, one being typed.
    Player* player = &TestSupport::PutDiverInPlay(*board, Player::PLAYING, 12345, 0.5);
    BoardTests::AddCreature(board->mSharks, new Shark(app), "OCEAN", 300, 90);
    BoardTests::AddCreature(board->mSharks, static_cast<Shark*>(new BlackShark(app)), "KELP", 420, 200);
    BoardTests::AddCreature(board->mSharks, new Shark(app), "TIDE", 230, 280);
    BoardTests::AddCreature(board->mPiranhas, new Piranha(app, player), "Q", 520, 320);
    BoardTests::AddCreature(board->mBonusCreatures, new BonusCreature(app), "SEA", 560, 120);
    for (Shark* shark : board->mSharks)
        shark->SetVelX(0.0);
    board->mPiranhas[0]->SetVelX(0.0);
    board->mBonusCreatures[0]->SetVelY(0.0);
    for (int i = 0; i < 300; ++i)
        app->mWidgetManager->UpdateFrame();
    board->HandleKeyChar('O');
    board->HandleKeyChar('C');
    app->mWidgetManager->UpdateFrame();
    board->mHintAlpha = 0; // the level's hint has faded by now

    shoot("level-in-play.png");
    board->Pause(true);
    shoot("level-paused.png");
    board->Pause(false);

    TestSupport::RemoveBoard(*app);
}

// Every kind of creature with its word, some half typed, then the sharks in
// their red flash; every word must read on its body.
void EveryCreature(WinBTApp& game, const TestSupport::ShootFunction& shoot)
{
    WinBTApp* app = &game;
    app->mHintsOn = false;
    using namespace LevelFiles;
    Board* board = TestSupport::ShowBoard(*app, File(Level(Sharks())));
    ASSERT_NE(board, nullptr);
    Player* player = &TestSupport::PutDiverInPlay(*board, Player::PLAYING, 4200, 0.5);
    BoardTests::AddCreature(board->mSharks, new Shark(app), "SLATE", 150, 30);
    BoardTests::AddCreature(board->mSharks, static_cast<Shark*>(new RedShark(app)), "CRIMSON", 400, 30);
    BoardTests::AddCreature(board->mSharks, static_cast<Shark*>(new BlackShark(app)), "CHARCOAL", 150, 120);
    BoardTests::AddCreature(board->mSharks, static_cast<Shark*>(new ToxicShark(app)), "ACID", 400, 120);
    BoardTests::AddCreature(board->mSharks, static_cast<Shark*>(new GhostShark(app)), "PHANTOM", 150, 210);
    BoardTests::AddCreature(board->mSharks, static_cast<Shark*>(new RedShark(app)), "EMBER", 400, 210);
    BoardTests::AddCreature(board->mPiranhas, new Piranha(app, player), "Q", 160, 320);
    BoardTests::AddCreature(board->mPiranhas, static_cast<Piranha*>(new WhitePiranha(app, player)), "W", 260, 320);
    BoardTests::AddCreature(board->mPiranhas, static_cast<Piranha*>(new RedPiranha(app, player)), "R", 360, 320);
    BoardTests::AddCreature(board->mBonusCreatures, new BonusCreature(app), "PEARL", 540, 260);
    for (Shark* shark : board->mSharks)
        shark->SetVelX(0.0);
    for (Piranha* piranha : board->mPiranhas)
        piranha->SetVelX(0.0);
    board->mBonusCreatures[0]->SetVelY(0.0);
    for (int i = 0; i < 300; ++i)
        app->mWidgetManager->UpdateFrame();
    board->HandleKeyChar('E');
    board->HandleKeyChar('M');
    app->mWidgetManager->UpdateFrame();
    board->mHintAlpha = 0;
    shoot("level-every-creature.png");

    // The sharks' red flash, which keeps their words on show.
    for (Shark* shark : board->mSharks)
        shark->SetState(Shark::FLASHING);
    const auto allRed = [&] {
        for (Shark* shark : board->mSharks)
            if (!shark->mFlashOn || shark->mFlashCount > 8)
                return false;
        return true;
    };
    for (int i = 0; i < 20 && !allRed(); ++i)
        app->mWidgetManager->UpdateFrame();
    ASSERT_TRUE(allRed());
    shoot("level-every-creature-flashing.png");
    TestSupport::RemoveBoard(*app);
}

// The Dozav Odaziz charged: the status bar says so, then calls to fire, over
// the full meter.
void FullCharge(WinBTApp& game, const TestSupport::ShootFunction& shoot)
{
    WinBTApp* app = &game;
    app->mHintsOn = false;
    using namespace LevelFiles;
    Board* board = TestSupport::ShowBoard(*app, File(Level(Sharks())));
    ASSERT_NE(board, nullptr);
    TestSupport::PutDiverInPlay(*board, Player::PLAYING, 23130, 1.0);
    BoardTests::AddCreature(board->mSharks, new Shark(app), "CURRENT", 330, 150);
    board->mSharks[0]->SetVelX(0.0);
    for (int i = 0; i < 300; ++i)
        app->mWidgetManager->UpdateFrame();
    board->mHintAlpha = 0;
    ASSERT_EQ(app->mStatusBar->mReadyText, "READY!");
    shoot("level-ready.png");
    for (int i = 0; i < 1500 && app->mStatusBar->mReadyText == "READY!"; ++i)
        app->mWidgetManager->UpdateFrame();
    ASSERT_EQ(app->mStatusBar->mReadyText, "PRESS ENTER TO FIRE!");
    shoot("level-press-enter-to-fire.png");
    TestSupport::RemoveBoard(*app);
}

// The texts that fade out, shot at full strength, as they first show: the level's
// hint under its banner, the accuracy badge of a cleared wave and the secret
// bonus level's banner.
void FadingTexts(WinBTApp& game, const TestSupport::ShootFunction& shoot)
{
    WinBTApp* app = &game;
    app->mHintsOn = false;
    using namespace LevelFiles;
    Board* board = TestSupport::ShowBoard(*app, File(Level(Sharks())));
    ASSERT_NE(board, nullptr);
    TestSupport::PutDiverInPlay(*board, Player::PLAYING, 2500, 0.3);
    app->mWidgetManager->UpdateFrame();
    // Past the fade in from black, whose end each of them outlives.
    board->mFadeAlpha = 0;
    board->mIntroAlpha = 255;
    board->mHintAlpha = 255;
    shoot("level-hint.png");

    board->mIntroAlpha = 0;
    board->mHintAlpha = 0;
    board->mLettersHit = 60;
    board->mTypos = 1;
    board->mAccuracyBadge->mWavePoints = 1800;
    board->AwardWaveAccuracyBonus();
    ASSERT_TRUE(board->mAccuracyBadge->mActive);
    shoot("level-accuracy-badge.png");
    TestSupport::RemoveBoard(*app);

    board = TestSupport::ShowBoard(*app, File(Level(Value("BonusLevel", "1"), 8), Defaults(Value("OceanDepth", "60"))));
    ASSERT_NE(board, nullptr);
    TestSupport::PutDiverInPlay(*board, Player::PLAYING, 2500, 0.3);
    app->mWidgetManager->UpdateFrame();
    board->mFadeAlpha = 0;
    board->mIntroAlpha = 255;
    shoot("bonus-level-intro.png");
    TestSupport::RemoveBoard(*app);
}

// Points of kills at the field's right edge and just above the status bar: each
// pop-up shows whole inside the play area and reads.
void ScorePopUps(WinBTApp& game, const TestSupport::ShootFunction& shoot)
{
    WinBTApp* app = &game;
    app->mHintsOn = false;
    using namespace LevelFiles;
    Board* board = TestSupport::ShowBoard(*app, File(Level(Sharks())));
    ASSERT_NE(board, nullptr);
    TestSupport::PutDiverInPlay(*board, Player::PLAYING, 9000, 0.3);
    BoardTests::AddCreature(board->mSharks, new Shark(app), "REEF", 570, 150);
    BoardTests::AddCreature(board->mSharks, new Shark(app), "SURF", 300, 395);
    for (Shark* shark : board->mSharks)
        shark->SetVelX(0.0);
    for (int i = 0; i < 300; ++i)
        app->mWidgetManager->UpdateFrame();
    board->mHintAlpha = 0;
    for (const char* word : {"REEF", "SURF"}) {
        for (const char* c = word; *c; ++c)
            board->HandleKeyChar(*c);
        for (int i = 0; i < 3; ++i)
            app->mWidgetManager->UpdateFrame();
    }
    ASSERT_EQ(board->mBonusTexts.size(), 2u);
    // Points won past the field's corners: at the right edge under the status
    // bar's top, and at the left edge under the header.
    board->AddBonusText("+12345 PTS", 630, 470, nullptr);
    board->AddBonusText("+5 PTS", -40, 10, nullptr);
    for (const BonusText* text : board->mBonusTexts) {
        const int x = int(text->mX), y = int(text->mY);
        EXPECT_GE(x, 0) << text->mText;
        EXPECT_LE(x + text->mFont->StringWidth(text->mText), board->mWidth) << text->mText;
        EXPECT_GE(y - text->mFont->GetAscent(), 25) << text->mText;
        EXPECT_LE(y + text->mFont->GetDescent(), board->mPlayAreaBottom) << text->mText;
    }
    shoot("level-score-pop-ups.png");
    TestSupport::RemoveBoard(*app);
}

} // namespace

TEST(BoardScreen, FadingTextsAtFullStrength)
{
    const std::string skipped = TestSupport::RunGameScreens("play", 2026, FadingTexts);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}

TEST(BoardScreen, ScorePopUpsStayInThePlayArea)
{
    const std::string skipped = TestSupport::RunGameScreens("play", 2026, ScorePopUps);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}

TEST(BoardScreen, FullChargeIsReadyThenCallsToFire)
{
    const std::string skipped = TestSupport::RunGameScreens("play", 2026, FullCharge);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}

TEST(BoardScreen, EveryCreatureKindWithItsWord)
{
    const std::string skipped = TestSupport::RunGameScreens("play", 2026, EveryCreature);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}

TEST(BoardScreen, LevelInPlayAndPaused)
{
    const std::string skipped = TestSupport::RunGameScreens("play", 2026, Scenario);
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}
