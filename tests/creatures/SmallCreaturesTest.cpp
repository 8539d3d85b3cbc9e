// The clam of the pearl game, the bonus jellyfish and the background fish.
#include "tests/creatures/CreatureTestSupport.h"

#include "game/creatures/BackgroundFish.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/Clam.h"
#include "game/play/Board.h"

using namespace Zant;
using namespace CreatureTests;

namespace {

class ClamTest : public CreatureFixture {
protected:
    std::unique_ptr<Clam> Make(int content)
    {
        auto clam = std::make_unique<Clam>(app.get(), content);
        clam->SetWord("K");
        clam->SetX(100);
        clam->SetY(300);
        return clam;
    }
    // Updates to the next animation step (a multiple of the 4-update frame delay).
    void NextStep(Clam& clam)
    {
        do
            Step(clam);
        while (clam.mUpdateCount % 4 != 0);
    }
};

} // namespace

TEST_F(ClamTest, OpeningReportsContentThenOpenOnce)
{
    const struct {
        int content;
        bool reportsContent;
        int row;
    } cases[] = {{0, false, 2}, {1, true, 1}, {2, true, 3}};
    for (const auto& c : cases) {
        auto clam = Make(c.content);
        EXPECT_EQ(clam->mContentRow, c.row);
        clam->SetState(Clam::OPENING);
        EXPECT_EQ(DrainEvents(*clam), c.reportsContent ? std::vector<int>{EVENT_CLAM_OPENING} : std::vector<int>{});
        for (int step = 1; step <= 9; ++step) {
            NextStep(*clam);
            EXPECT_EQ(clam->mFrame, step);
        }
        EXPECT_FALSE(clam->mOpened);
        EXPECT_TRUE(DrainEvents(*clam).empty());
        NextStep(*clam);
        EXPECT_EQ(clam->mFrame, 9);
        EXPECT_EQ(DrainEvents(*clam), std::vector<int>{EVENT_CLAM_OPENED});
        for (int i = 0; i < 10; ++i)
            NextStep(*clam);
        EXPECT_TRUE(DrainEvents(*clam).empty());
        EXPECT_EQ(clam->mFrame, 9);

        // Drawn from the content's row while open.
        Draw(*clam);
        EXPECT_EQ(PixelColumn(ScreenPixel(100, 300)), 9 * clam->mWidth);
    }
}

TEST_F(ClamTest, ClosingReportsAtEveryStepOnceShut)
{
    auto clam = Make(1);
    clam->mFrame = 2;
    clam->SetState(Clam::CLOSING);
    NextStep(*clam);
    NextStep(*clam);
    EXPECT_TRUE(DrainEvents(*clam).empty());
    NextStep(*clam);
    EXPECT_EQ(clam->mFrame, 0);
    EXPECT_EQ(DrainEvents(*clam), std::vector<int>{EVENT_CLAM_CLOSED});
    NextStep(*clam);
    EXPECT_EQ(DrainEvents(*clam), std::vector<int>{EVENT_CLAM_CLOSED});
}

TEST_F(ClamTest, IdleAnimationSwingsBackAndForthOverTheRow)
{
    auto clam = Make(0);
    clam->mFrame = 7;
    std::vector<int> frames;
    for (int i = 0; i < 22; ++i) {
        NextStep(*clam);
        frames.push_back(clam->mFrame);
    }
    EXPECT_EQ(frames, (std::vector<int>{8, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 8, 7}));
}

TEST_F(ClamTest, ShowsItsLetterOnlyWhenAskedTo)
{
    auto clam = Make(0);
    Draw(*clam);
    EXPECT_TRUE(draws.empty());
    clam->SetState(Clam::SHOWING_LETTER);
    Draw(*clam);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].text, "K");
    EXPECT_EQ(draws[0].x, 120);
    EXPECT_EQ(draws[0].y, 341);
    EXPECT_EQ(draws[0].color, Color(255, 255, 255));
    EXPECT_EQ(draws[0].font, app->GetClamFont());
}

namespace {

class JellyfishTest : public CreatureFixture {
protected:
    std::unique_ptr<BonusCreature> Rising(double y)
    {
        auto jelly = std::make_unique<BonusCreature>(app.get());
        jelly->SetWord("JAM");
        jelly->SetX(200);
        jelly->SetY(y);
        jelly->SetVelY(2.0);
        jelly->SetReleased(true);
        return jelly;
    }
};

} // namespace

TEST_F(JellyfishTest, EscapingAboveTheScreenDiesSilently)
{
    auto jelly = Rising(-100.0);
    EXPECT_EQ(jelly->mDriftSpeed, 0.5);
    const int height = app->GetImage(IMAGE_BONUS_CREATURE_SWIM)->GetHeight();
    int updates = 0;
    while (jelly->mEvents.empty()) {
        Step(*jelly);
        ++updates;
        ASSERT_LT(updates, 100);
    }
    EXPECT_LT(jelly->mY, -height);
    EXPECT_GE(jelly->mY + 2.0, -height);
    EXPECT_EQ(DrainEvents(*jelly), (std::vector<int>{EVENT_DEATH_ANIM_DONE, EVENT_REMOVE_ME}));
    EXPECT_EQ(jelly->mState, BonusCreature::DYING);
    EXPECT_TRUE(app->sounds.empty());
}

TEST_F(JellyfishTest, CompletedJellyfishPlaysItsDeathCentred)
{
    auto jelly = Rising(300.0);
    jelly->SetState(BonusCreature::DYING);
    EXPECT_EQ(app->sounds, std::vector<int>{SOUND_JELLYFISH});
    EXPECT_EQ(jelly->mX, 188.0);
    EXPECT_EQ(jelly->mY, 280.0);
    EXPECT_EQ(jelly->mWidth, app->GetImage(IMAGE_BONUS_CREATURE_DEATH)->GetWidth() / BonusCreature::DEATH_CELS);
    int updates = 0;
    while (!jelly->HasEvent(EVENT_REMOVE_ME)) {
        Step(*jelly);
        EXPECT_LE(jelly->mFrame, BonusCreature::DEATH_CELS - 1);
        ASSERT_LT(++updates, 100);
    }
    EXPECT_EQ(DrainEvents(*jelly), (std::vector<int>{EVENT_DEATH_ANIM_DONE, EVENT_REMOVE_ME}));
    // 8 frames at 3 updates each.
    EXPECT_LE(updates, 3 * BonusCreature::DEATH_CELS);
}

TEST_F(JellyfishTest, UnreleasedJellyfishOnlyCounts)
{
    auto jelly = Rising(300.0);
    jelly->SetReleased(false);
    Step(*jelly, 10);
    EXPECT_EQ(jelly->mY, 300.0);
    EXPECT_EQ(jelly->mUpdateCount, 10);
}

TEST_F(JellyfishTest, WordSitsOnTheBellWithTypedLettersInRed)
{
    auto jelly = Rising(300.0);
    const int w = jelly->mWidth, h = jelly->mHeight;
    const int advance = 9;
    Draw(*jelly);
    ASSERT_EQ(draws.size(), 1u);
    const double cx = 200 + w / 2 + 4;
    EXPECT_EQ(draws[0].x, int(cx - (3 * advance >> 1) - 5.0));
    EXPECT_EQ(draws[0].y, int(300 + h / 2 - 14.0));
    jelly->TypeLetter();
    Draw(*jelly);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].text, "J");
    EXPECT_EQ(draws[0].color, Color(235, 0, 0));
    EXPECT_EQ(draws[1].text, "AM");
    EXPECT_EQ(draws[1].x, int(cx + advance - (3 * advance >> 1) - 5.0));
}

namespace {

class FishTest : public CreatureFixture {};

} // namespace

TEST_F(FishTest, CopyOfAModelStartsLeftOfTheScreen)
{
    BackgroundFish model(app.get());
    model.mWidth = 30;
    model.mHeight = 16;
    model.mY = 200;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        Reseed(seed);
        BackgroundFish fish(app.get(), model);
        const int r = NextExpected();
        const int side = NextExpected();
        const int offset = NextExpected() % 16;
        EXPECT_EQ(fish.mX, double(-(r % 30) - 30));
        EXPECT_GE(fish.mX, -59.0);
        EXPECT_LE(fish.mX, -30.0);
        EXPECT_EQ(fish.mY, side % 2 ? 200.0 + offset : 200.0 - offset);
        EXPECT_EQ(fish.mImage, model.mImage);
        EXPECT_EQ(fish.mVelX, model.mVelX);
    }
}

TEST_F(FishTest, SpeedChoosesTintAndRise)
{
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        Reseed(seed);
        BackgroundFish fish(app.get());
        const int y = NextExpected() % (480 - 20 - 90) + 100;
        const double speed = ((NextExpected() % 6000) + 1000) * 0.0001;
        const int kind = NextExpected() % 2;
        const int tint = speed < 0.3 ? 0 : speed < 0.5 ? 1 : 2;
        const double rise = tint == 0 ? 0.05 : tint == 1 ? 0.2 : 0.3;
        EXPECT_EQ(fish.mY, double(y));
        EXPECT_EQ(fish.mVelX, speed);
        EXPECT_EQ(fish.mVelY, rise);
        EXPECT_EQ(fish.mImage, app->GetFishImage(kind, tint));
        EXPECT_NE(fish.mImage, nullptr);
    }
}

TEST_F(FishTest, SwimsRightAndAnimatesEveryTenthUpdate)
{
    BackgroundFish fish(app.get());
    double x = fish.mX, y = fish.mY;
    for (int i = 1; i <= 25; ++i) {
        fish.Update();
        x += fish.mVelX;
        y -= fish.mVelY;
        EXPECT_EQ(fish.mFrame, i / 10);
    }
    EXPECT_EQ(fish.mX, x);
    EXPECT_EQ(fish.mY, y);
}
