// Sharks: entry speed, completion and death, refusals, the multi-word kinds, the turn
// past the left edge, the red flash.
#include "tests/creatures/CreatureTestSupport.h"

#include <deque>

#include "game/creatures/Shark.h"
#include "game/play/Board.h"

using namespace Zant;
using namespace CreatureTests;

namespace {

class SharkTest : public CreatureFixture {
protected:
    template <typename T = Shark>
    std::unique_ptr<T> Swimming(double x, double y, double speed, const std::string& word = "SHARK")
    {
        auto shark = std::make_unique<T>(app.get());
        shark->SetWord(word);
        shark->SetX(x);
        shark->SetY(y);
        shark->SetVelX(speed);
        shark->SetReleased(true);
        return shark;
    }
};

// The entry rule with the shark's own arithmetic: 1.5 on entry, then 0.009 less per
// update, never below the speed it came with.
double SpeedAfterEntry(double speed, int updates)
{
    double v = 1.5;
    for (int i = 0; i < updates; ++i) {
        if (speed < v) {
            v -= 0.009;
            if (v < speed)
                v = speed;
        }
    }
    return v;
}

} // namespace

TEST_F(SharkTest, EntersAtOneAndAHalfThenSlowsToItsOwnSpeed)
{
    const struct {
        double speed;
        int updates;
    } cases[] = {{0.8, 1}, {0.8, 77}, {0.8, 78}, {0.8, 120}, {2.0, 1}, {2.0, 60}};
    for (const auto& c : cases) {
        auto shark = Swimming(app->mWidth, 200, c.speed);
        Step(*shark, c.updates);
        EXPECT_EQ(shark->mEntrySpeed, c.speed);
        EXPECT_DOUBLE_EQ(shark->mVelX, SpeedAfterEntry(c.speed, c.updates)) << c.speed << " " << c.updates;
    }
    auto slow = Swimming(app->mWidth, 200, 0.8);
    Step(*slow, 77);
    EXPECT_GT(slow->mVelX, 0.8);
    Step(*slow, 1);
    EXPECT_EQ(slow->mVelX, 0.8);
}

TEST_F(SharkTest, WaitsForEntryWhileBeyondTheEdge)
{
    auto shark = Swimming(app->mWidth + 100.0, 200, 0.8);
    Step(*shark, 10);
    EXPECT_EQ(shark->mEntrySpeed, -1.0);
    EXPECT_DOUBLE_EQ(shark->mX, app->mWidth + 100.0 - 10 * 0.8);
}

TEST_F(SharkTest, CompletedSharkBlinksDiesRisesAndReportsOnce)
{
    auto shark = Swimming(300, 200, 0.0);
    shark->mEntrySpeed = 0.0;
    Step(*shark, 3);
    shark->SetState(Shark::BLINKING);
    EXPECT_EQ(app->sounds, std::vector<int>{SOUND_SHARKDIES});
    EXPECT_EQ(shark->mCurImage, app->GetImage(IMAGE_SHARKSHOCK));

    // Six toggles, one at every multiple of 7 updates, then the death strip.
    int toggles = 0;
    bool lastOn = shark->mBlinkOn;
    while (shark->mState == Shark::BLINKING) {
        Step(*shark);
        if (shark->mState == Shark::BLINKING && shark->mBlinkOn != lastOn) {
            EXPECT_EQ(shark->mUpdateCount % 7, 0);
            ++toggles;
            lastOn = shark->mBlinkOn;
        }
        ASSERT_LT(shark->mUpdateCount, 200);
    }
    EXPECT_EQ(toggles, 6);
    EXPECT_EQ(shark->mState, Shark::DYING);
    EXPECT_EQ(shark->mFrameCount, Shark::DEATH_CELS);
    EXPECT_EQ(shark->mFrameDelay, 6);
    EXPECT_EQ(shark->mCurImage, app->GetImage(IMAGE_SHARK_BASIC_DEATH));

    int deathEvents = 0;
    int updates = 0;
    double y = shark->mY;
    while (!shark->HasEvent(EVENT_REMOVE_ME)) {
        Step(*shark);
        ++updates;
        EXPECT_DOUBLE_EQ(shark->mY, y - 1.5);
        y = shark->mY;
        EXPECT_LE(shark->mFrame, Shark::DEATH_CELS - 1);
        for (int e : DrainEvents(*shark)) {
            if (e == EVENT_DEATH_ANIM_DONE) {
                ++deathEvents;
                EXPECT_EQ(shark->mFrame, Shark::DEATH_CELS - 1);
            }
            if (e == EVENT_REMOVE_ME) {
                EXPECT_LT(shark->mY, -70.0);
                EXPECT_GE(shark->mY + 1.5, -70.0);
                shark->PushEvent(EVENT_REMOVE_ME);
            }
        }
        ASSERT_LT(updates, 1000);
    }
    EXPECT_EQ(deathEvents, 1);
    EXPECT_TRUE(shark->IsLockedInState3());
    EXPECT_EQ(app->sounds.size(), 1u);
}

TEST_F(SharkTest, ZappedSharkDiesSilently)
{
    auto shark = Swimming(300, 200, 0.0);
    shark->mZapped = true;
    shark->SetState(Shark::BLINKING);
    EXPECT_TRUE(app->sounds.empty());
}

TEST_F(SharkTest, FlashAndBlinkRequestsAreRefusedInSomeStates)
{
    const struct {
        int from;
        int request;
        bool accepted;
    } cases[] = {
        {Shark::DYING, Shark::FLASHING, false},  {Shark::BLINKING, Shark::FLASHING, false},
        {Shark::TURNED, Shark::FLASHING, false}, {Shark::FLEEING, Shark::FLASHING, false},
        {Shark::SWIMMING, Shark::FLASHING, true}, {Shark::FLASHING, Shark::FLASHING, true},
        {Shark::FLEEING, Shark::BLINKING, false}, {Shark::SWIMMING, Shark::BLINKING, true},
        {Shark::DYING, Shark::FLEEING, true},
    };
    for (const auto& c : cases) {
        auto plain = Swimming(300, 200, 1.0);
        auto multi = Swimming<BlackShark>(300, 200, 1.0);
        for (Shark* shark : {plain.get(), static_cast<Shark*>(multi.get())}) {
            shark->mState = c.from;
            shark->SetState(c.request);
            EXPECT_EQ(shark->mState, c.accepted ? c.request : c.from) << c.from << " -> " << c.request;
        }
    }
}

TEST_F(SharkTest, DeathStripNeverReadsPastItsSixCels)
{
    // Straight from swimming to dying, without the blink that sets the frame count.
    auto shark = Swimming(300, 400, 1.0);
    shark->mFrameCount = Shark::SWIM_CELS;
    shark->SetState(Shark::DYING);
    Image* strip = app->GetImage(IMAGE_SHARK_BASIC_DEATH);
    for (int i = 0; i < 200; ++i) {
        Step(*shark);
        EXPECT_LE(shark->mSrcX + shark->mWidth, strip->GetWidth());
    }
    EXPECT_TRUE(shark->mDeathAnimDone);
}

TEST_F(SharkTest, PassingTheLeftEdgeTurnsItRoundToAttack)
{
    auto shark = Swimming(-168.0, 200, 2.0);
    const int width = shark->mWidth;
    Step(*shark);
    EXPECT_EQ(shark->mState, Shark::TURNED);
    EXPECT_EQ(DrainEvents(*shark), (std::vector<int>{EVENT_TURNED_AT_EDGE, EVENT_PASSED_DIVER}));
    EXPECT_EQ(shark->mX, double(-width));
    EXPECT_EQ(shark->mVelX, 5.0);
    EXPECT_EQ(shark->mCurImage, app->GetSharkImage(0, VARIANT_MIRRORED));

    std::vector<int> events;
    for (int i = 0; i < 60; ++i) {
        Step(*shark);
        for (int e : DrainEvents(*shark)) {
            EXPECT_GE(shark->mX, -70.0);
            EXPECT_LT(shark->mX - 5.0, -70.0);
            events.push_back(e);
        }
    }
    EXPECT_EQ(events, std::vector<int>{EVENT_REACHED_DIVER});
    EXPECT_EQ(app->sounds, std::vector<int>{SOUND_PLAYERDIES});
    EXPECT_TRUE(shark->mAtDiver);
}

TEST_F(SharkTest, FleeingSharkSpeedsUpAndLeaves)
{
    auto shark = Swimming(100, 200, 1.0);
    shark->SetState(Shark::FLEEING);
    double v = 1.0, x = 100;
    while (!shark->HasEvent(EVENT_REMOVE_ME)) {
        Step(*shark);
        v += 0.2;
        x -= v;
        ASSERT_DOUBLE_EQ(shark->mX, x);
    }
    EXPECT_LT(x, -shark->mWidth);
}

TEST_F(SharkTest, RedFlashAlternatesTheTintedStripAndEnds)
{
    auto shark = Swimming(400, 200, 0.0);
    shark->mEntrySpeed = 0.0;
    shark->SetState(Shark::FLASHING);
    int tinted = 0;
    for (int i = 0; i < 60 && shark->mState == Shark::FLASHING; ++i) {
        Step(*shark);
        if (shark->mCurImage == shark->GetImage(Shark::SLOT_RED))
            ++tinted;
    }
    EXPECT_EQ(shark->mState, Shark::SWIMMING);
    EXPECT_EQ(shark->mCurImage, shark->GetImage(Shark::SLOT_SWIM));
    EXPECT_GT(tinted, 0);
    Draw(*shark);
    EXPECT_EQ(draws.size(), 1u);
}

TEST_F(SharkTest, BlackSharkComesBackWithItsSecondWord)
{
    Reseed(77);
    auto shark = Swimming<BlackShark>(300, 200, 0.0, "AB");
    NextExpected(); // the start frame
    shark->mEntrySpeed = 0.0;
    shark->SetSecondWord("CD");
    shark->TypeLetter();
    shark->TypeLetter();
    EXPECT_EQ(DrainEvents(*shark), std::vector<int>{EVENT_WORD_COMPLETED});
    EXPECT_EQ(shark->mPointValue, Enemy::WordValue("AB"));
    EXPECT_EQ(shark->mWord, "CD");
    EXPECT_EQ(shark->mTypedCount, 0);
    EXPECT_EQ(shark->mTypedPart, "");
    EXPECT_EQ(shark->mRemainingPart, "CD");
    EXPECT_TRUE(shark->IsInPlay());

    shark->SetState(Shark::BLINKING);
    EXPECT_EQ(app->sounds, std::vector<int>{SOUND_SHARKHURT});
    for (int i = 0; i < 100 && shark->mState == Shark::BLINKING; ++i)
        Step(*shark);
    EXPECT_EQ(shark->mState, Shark::SWIMMING);
    EXPECT_EQ(shark->mFrameDelay, 11);
    EXPECT_EQ(shark->mVelY, 0.0);
    EXPECT_EQ(shark->mFrame, NextExpected() % Shark::SWIM_CELS);
    EXPECT_EQ(shark->mCurImage, app->GetImage(IMAGE_SHARK_RED_SWIM));

    auto held = std::make_unique<Shark>(app.get());
    held->mX = app->mWidth + 30.0;
    shark->SetLeader(held.get());
    held->SetFollower(shark.get());
    shark->TypeLetter();
    shark->TypeLetter();
    EXPECT_EQ(DrainEvents(*shark), std::vector<int>{EVENT_WORD_COMPLETED});
    EXPECT_EQ(shark->mPointValue, Enemy::WordValue("CD"));
    EXPECT_TRUE(shark->mWord.empty());
    EXPECT_TRUE(held->mActive);
    shark->SetState(Shark::BLINKING);
    EXPECT_EQ(app->sounds.back(), SOUND_SHARKDIES);
    for (int i = 0; i < 100 && shark->mState == Shark::BLINKING; ++i)
        Step(*shark);
    EXPECT_EQ(shark->mState, Shark::DYING);
}

TEST_F(SharkTest, ZappedBlackSharkWithAWordLeftDies)
{
    auto shark = Swimming<BlackShark>(300, 200, 0.0, "AB");
    shark->SetSecondWord("CD");
    shark->mZapped = true;
    shark->SetState(Shark::BLINKING);
    for (int i = 0; i < 100 && shark->mState == Shark::BLINKING; ++i)
        Step(*shark);
    EXPECT_EQ(shark->mState, Shark::DYING);
    EXPECT_TRUE(app->sounds.empty());
    EXPECT_FALSE(shark->IsInPlay());
}

TEST_F(SharkTest, RedSharkCarriesThreeWords)
{
    auto shark = Swimming<RedShark>(300, 200, 0.0, "AB");
    shark->SetSecondWord("");
    shark->SetThirdWord("EF");
    EXPECT_EQ(shark->mTypedColor, Color(255, 255, 255));
    EXPECT_EQ(shark->mCurImage, app->GetImage(IMAGE_SHARK_BLACK_SWIM));
    shark->TypeLetter();
    shark->TypeLetter();
    // An empty second word is skipped.
    EXPECT_EQ(shark->mWord, "EF");
    EXPECT_TRUE(shark->GetThirdWord().empty());
    shark->TypeLetter();
    shark->TypeLetter();
    EXPECT_TRUE(shark->mWord.empty());
    EXPECT_EQ(DrainEvents(*shark), (std::vector<int>{EVENT_WORD_COMPLETED, EVENT_WORD_COMPLETED}));
    // The count stays past the emptied word; the parts stay empty.
    EXPECT_EQ(shark->mTypedCount, 2);
    Draw(*shark);
}
