// Toxic sharks shuffle their untyped letters, ghost and toxic sharks glow, stealth
// sharks hide until close; the two-parent stealth kinds share one creature.
#include "tests/creatures/CreatureTestSupport.h"

#include "framework/widgets/WidgetManager.h"
#include "game/creatures/GlowSharks.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/StealthShark.h"
#include "game/common/BTTimer.h"
#include "game/play/Board.h"

using namespace Zant;
using namespace CreatureTests;

namespace {

class ToxicTest : public CreatureFixture {
protected:
    std::unique_ptr<ToxicShark> Make(const std::string& word)
    {
        auto shark = std::make_unique<ToxicShark>(app.get());
        shark->SetWord(word);
        shark->SetX(500);
        shark->SetY(200);
        shark->SetVelX(0.5);
        shark->mEntrySpeed = 0.5;
        shark->SetReleased(true);
        return shark;
    }

    // The shuffle with the test's own copy of the generator.
    std::string ExpectedShuffle(const std::string& word, int typed)
    {
        const int untyped = int(word.size()) - typed;
        if (untyped <= 1)
            return word;
        const int start = typed > 0 ? typed : 1;
        std::string left = word.substr(start), out = word.substr(0, start);
        while (!left.empty()) {
            const size_t pick = size_t(NextExpected()) % left.size();
            out += left[pick];
            left.erase(pick, 1);
        }
        return out;
    }
};

} // namespace

TEST_F(ToxicTest, ShufflesOnlyUntypedLettersAfterTheInterval)
{
    const struct {
        int typed;
        int interval;
    } cases[] = {{0, 1000}, {3, 2500}, {4, 2500}};
    for (const auto& c : cases) {
        Reseed(4242);
        auto shark = Make("SHARK");
        NextExpected(); // the start frame
        for (int i = 0; i < c.typed; ++i)
            shark->TypeLetter();
        EXPECT_EQ(shark->mMutateInterval, c.interval);
        const std::string expected = ExpectedShuffle("SHARK", c.typed);

        // The shark sees the timer before the manager advances it in the same update.
        Step(*shark, c.interval / 10);
        EXPECT_EQ(shark->mWord, "SHARK");
        Step(*shark);
        EXPECT_EQ(shark->mWord, expected) << c.typed;
        EXPECT_EQ(shark->mWord.substr(0, std::max(c.typed, 1)), std::string("SHARK").substr(0, std::max(c.typed, 1)));
        std::string sorted = shark->mWord;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, "AHKRS");
        EXPECT_EQ(shark->mTypedPart, shark->mWord.substr(0, c.typed));
        EXPECT_EQ(shark->mMutateTimer->GetElapsed(), 10);
    }
}

TEST_F(ToxicTest, FirstLetterNeverMovesOverManyShuffles)
{
    auto shark = Make("QUIZZES");
    for (int i = 0; i < 2000; ++i) {
        Step(*shark);
        ASSERT_EQ(shark->mWord[0], 'Q');
    }
}

TEST_F(ToxicTest, IntervalAfterATypedLetterFollowsTheDifficulty)
{
    const struct {
        int difficulty;
        int interval;
    } cases[] = {{0, 2500}, {1, 2000}, {2, 2000}, {3, 1700}, {4, 1300}, {-1, 1500}, {7, 1500}};
    for (const auto& c : cases) {
        app->mDifficulty = c.difficulty;
        auto shark = Make("SHARK");
        EXPECT_EQ(shark->mMutateInterval, 1000);
        shark->TypeLetter();
        EXPECT_EQ(shark->mMutateInterval, c.interval) << c.difficulty;
    }
}

TEST_F(ToxicTest, TimerLeavesTheManagerWithTheShark)
{
    auto shark = Make("SHARK");
    BTTimer* timer = shark->mMutateTimer;
    EXPECT_TRUE(app->mWidgetManager->HasWidget(timer));
    shark.reset();
    EXPECT_FALSE(app->mWidgetManager->HasWidget(timer));
    app->mWidgetManager->UpdateFrame();
}

TEST_F(ToxicTest, UsesItsOwnStripsInEverySlot)
{
    auto shark = Make("SHARK");
    EXPECT_EQ(shark->GetImage(Shark::SLOT_SWIM), app->GetImage(IMAGE_TOXIC_BASIC_SWIM));
    EXPECT_EQ(shark->GetImage(Shark::SLOT_DEATH), app->GetImage(IMAGE_TOXIC_BASIC_DEATH));
    EXPECT_EQ(shark->GetImage(Shark::SLOT_MIRRORED), app->mToxicSwimMirror);
    EXPECT_EQ(shark->GetImage(Shark::SLOT_RED), app->GetSharkImage(4, VARIANT_RED));
    EXPECT_EQ(shark->mTextOffsetX, 7);
    EXPECT_EQ(shark->mTypedColor, Color(255, 255, 255));
}

TEST_F(ToxicTest, GlowIsDrawnAroundTheBody)
{
    auto shark = Make("SHARK");
    shark->mFrame = 3;
    shark->mSrcX = 3 * shark->mWidth;
    const int glowWidth = shark->mWidth + 20;
    Draw(*shark);
    // Outside the body: the glow cel of the current frame, 10 pixels up and left.
    EXPECT_EQ(PixelImage(ScreenPixel(495, 195)), IMAGE_TOXIC_GLOW_SWIM);
    EXPECT_EQ(PixelColumn(ScreenPixel(495, 195)), 3 * glowWidth + 5);
    EXPECT_EQ(PixelImage(ScreenPixel(500, 200)), IMAGE_TOXIC_BASIC_SWIM);
    EXPECT_EQ(PixelColumn(ScreenPixel(500, 200)), 3 * shark->mWidth);
    EXPECT_EQ(draws.size(), 1u);

    // Blinking: the shock image alone, no glow and no word.
    shark->SetState(Shark::BLINKING);
    Draw(*shark);
    EXPECT_EQ(ScreenPixel(495, 195), BACKGROUND);
    EXPECT_EQ(PixelImage(ScreenPixel(500, 200)), IMAGE_TOXIC_BASIC_SHOCK);
    EXPECT_TRUE(draws.empty());
}

TEST_F(ToxicTest, GhostGlowsInItsOwnArtWithRedTypedLetters)
{
    auto ghost = std::make_unique<GhostShark>(app.get());
    ghost->SetWord("BOO");
    ghost->SetX(300);
    ghost->SetY(100);
    ghost->SetReleased(true);
    ghost->TypeLetter();
    Draw(*ghost);
    EXPECT_EQ(PixelImage(ScreenPixel(300, 100)), IMAGE_SHARK_GHOST_SWIM);
    EXPECT_EQ(PixelImage(ScreenPixel(295, 95)), IMAGE_SHARK_GHOST_GLOW_SWIM);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].color, Color(235, 0, 0));

    ghost->SetState(Shark::DYING);
    Draw(*ghost);
    EXPECT_EQ(PixelImage(ScreenPixel(300, 100)), IMAGE_SHARK_GHOST_DEATH);
    EXPECT_EQ(PixelImage(ScreenPixel(295, 95)), IMAGE_SHARK_GHOST_GLOW_DEATH);
}

namespace {

class StealthTest : public CreatureFixture {
protected:
    template <typename T>
    std::unique_ptr<T> Entering(const std::string& word = "SNEAK")
    {
        auto shark = std::make_unique<T>(app.get());
        shark->SetWord(word);
        shark->SetX(app->mWidth);
        shark->SetY(200);
        shark->SetReleased(true);
        return shark;
    }
};

} // namespace

TEST_F(StealthTest, SpeedSetWhileHiddenIsATarget)
{
    auto shark = Entering<StealthShark>();
    EXPECT_EQ(shark->mVelX, 3.0);
    shark->SetVelX(0.6);
    EXPECT_EQ(shark->mVelX, 3.0);
    EXPECT_EQ(shark->GetSpeed(), 0.6);

    double v = 3.0;
    bool revealed = false;
    int cameClose = 0;
    for (int i = 0; i < 400; ++i) {
        Step(*shark);
        const bool wasHidden = !revealed;
        if (i == 0)
            v = 1.5; // entering
        if (wasHidden && shark->mX <= 400.0)
            revealed = true;
        else if (!wasHidden && v > 0.6)
            v = std::max(v - 0.02, 0.6);
        ASSERT_DOUBLE_EQ(shark->mVelX, v) << i;
        EXPECT_EQ(shark->mStealthed, !revealed);
        EXPECT_EQ(shark->GetSpeed(), 0.6);
        for (int e : DrainEvents(*shark)) {
            EXPECT_EQ(e, EVENT_CAME_CLOSE);
            EXPECT_LE(shark->mX, 600.0);
            ++cameClose;
        }
    }
    EXPECT_TRUE(revealed);
    EXPECT_EQ(shark->mVelX, 0.6);
    EXPECT_EQ(cameClose, 1);
    shark->SetVelX(0.9);
    EXPECT_EQ(shark->mVelX, 0.9);
}

TEST_F(StealthTest, HiddenSharkUsesSeeThroughStripsAndAFaintWord)
{
    auto shark = Entering<StealthShark>();
    EXPECT_EQ(shark->mCurImage, app->GetSharkImage(3, VARIANT_SWIM));
    Draw(*shark);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].color, Color(0, 0, 0, 50));

    shark->SetState(Shark::DYING);
    EXPECT_EQ(shark->mCurImage, app->GetSharkImage(3, VARIANT_DEATH));
    shark->SetStopped(false);
    shark->SetState(Shark::DYING);
    EXPECT_EQ(shark->mCurImage, app->GetImage(IMAGE_SHARK_BASIC_DEATH));
}

TEST_F(StealthTest, TwoParentSharksShareOneCreature)
{
    Reseed(5);
    auto shark = Entering<StealthBlackShark>("AB");
    NextExpected(); // one start frame for the one shared shark
    Enemy* asEnemy = shark.get();
    GameObject* viaShark = static_cast<Shark*>(shark.get());
    EXPECT_EQ(viaShark, static_cast<GameObject*>(asEnemy));
    EXPECT_EQ(shark->mTextOffsetY, 4);
    EXPECT_EQ(shark->GetImage(Shark::SLOT_SWIM), app->GetImage(IMAGE_SHARK_RED_SWIM));
    EXPECT_EQ(shark->mStealthImages[Shark::SLOT_SWIM], app->GetSharkImage(9, VARIANT_SWIM));
    EXPECT_EQ(shark->mStealthImages[Shark::SLOT_MIRRORED], app->GetSharkImage(2, VARIANT_MIRRORED));

    // Through the base pointers: the multi-word typing, the stealth speed.
    shark->SetSecondWord("CD");
    asEnemy->TypeLetter();
    asEnemy->TypeLetter();
    EXPECT_EQ(shark->mWord, "CD");
    asEnemy->SetVelX(0.7);
    EXPECT_EQ(asEnemy->GetSpeed(), 0.7);
    EXPECT_EQ(shark->mVelX, 3.0);

    // Coming back from the blink while hidden: swimming, with the see-through strip.
    asEnemy->SetState(Shark::BLINKING);
    EXPECT_EQ(app->sounds, std::vector<int>{SOUND_SHARKHURT});
    for (int i = 0; i < 100 && shark->mState == Shark::BLINKING; ++i)
        Step(*shark);
    EXPECT_EQ(shark->mState, Shark::SWIMMING);
    EXPECT_EQ(shark->mFrame, NextExpected() % Shark::SWIM_CELS);
    EXPECT_EQ(shark->mCurImage, app->GetSharkImage(9, VARIANT_SWIM));
}

TEST_F(StealthTest, StealthRedSharkKeepsTheThreeWordLook)
{
    auto shark = Entering<StealthRedShark>("AB");
    EXPECT_EQ(shark->mTypedColor, Color(255, 255, 255));
    EXPECT_EQ(shark->mTextOffsetX, 4);
    EXPECT_EQ(shark->mCurImage, app->GetSharkImage(10, VARIANT_SWIM));
    shark->SetThirdWord("EF");
    shark->TypeLetter();
    shark->TypeLetter();
    EXPECT_EQ(shark->mWord, "EF");
    shark->SetStopped(false);
    EXPECT_EQ(shark->mCurImage, app->GetImage(IMAGE_SHARK_BLACK_SWIM));
}

TEST_F(StealthTest, StealthWhitePiranhaComesBackHiddenAtItsFrameSize)
{
    auto piranha = std::make_unique<StealthWhitePiranha>(app.get(), board->mPlayer);
    piranha->SetWord("A");
    piranha->SetSecondWord("B");
    piranha->SetX(630);
    piranha->SetY(100);
    piranha->SetReleased(true);
    Enemy* asEnemy = piranha.get();
    asEnemy->TypeLetter();
    EXPECT_EQ(piranha->mWord, "B");
    asEnemy->SetState(Piranha::BLINKING);
    for (int i = 0; i < 100 && piranha->mState == Piranha::BLINKING; ++i)
        Step(*piranha);
    EXPECT_EQ(piranha->mState, Piranha::SWIMMING);
    EXPECT_EQ(piranha->mCurImage, app->GetPiranhaImage(7, VARIANT_SWIM));
    EXPECT_EQ(piranha->mWidth, app->GetPiranhaImage(7, VARIANT_SWIM)->GetWidth() / Piranha::SWIM_CELS);
    EXPECT_TRUE(piranha->IsInPlay());
}
