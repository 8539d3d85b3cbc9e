// The creatures behind the tutor's panels: at most three, only while the player is
// not typing, entering where the screen leaves room for them, and never attacking.
#include "tests/tutor/TutorFixture.h"

#include "game/creatures/BonusCreature.h"
#include "game/creatures/Enemy.h"
#include "game/shell/TutorFish.h"

using Zant::TutorFish;
using Zant::TypingTutor;
using namespace TutorTests;

namespace {

// A fish as it enters: a jellyfish rising from the bottom middle, any other kind
// swimming sideways at an easy pace somewhere between the keyboard's top and the
// bottom of the screen.
void ExpectEntered(const Zant::Enemy& fish, const std::string& what)
{
    if (dynamic_cast<const Zant::BonusCreature*>(&fish) != nullptr) {
        EXPECT_DOUBLE_EQ(fish.mX, 320.0) << what;
        EXPECT_DOUBLE_EQ(fish.mVelY, 0.3) << what;
        return;
    }
    EXPECT_TRUE(fish.mState == 0 || fish.mState == 1) << what;
    EXPECT_GE(fish.mY, 155.0) << what;
    EXPECT_LE(fish.mY, 439.0) << what;
    EXPECT_GE(fish.mVelX, 0.25) << what;
    EXPECT_LT(fish.mVelX, 0.5) << what;
    EXPECT_TRUE(fish.mActive) << what;
    EXPECT_TRUE(fish.mWord.empty()) << what;
}

} // namespace

TEST_F(TutorFixture, FishSwimWhileWaitingAndOnTheResultsButNotWhileTyping)
{
    TypingTutor& t = OpenTutor();
    EXPECT_EQ(t.mFish.Count(), 0);
    Updates(4);
    EXPECT_EQ(t.mFish.Count(), 0) << "one fish every fifth update";
    Updates(1);
    EXPECT_EQ(t.mFish.Count(), 1);
    Updates(30);
    ASSERT_EQ(t.mFish.Count(), TutorFish::MAX_FISH);
    for (int i = 0; i < t.mFish.Count(); ++i)
        ExpectEntered(t.mFish.Fish(i), "fish " + std::to_string(i));

    // The first key sends them away, and none come while typing.
    Type("a");
    EXPECT_EQ(t.mFish.Count(), 0);
    Updates(50);
    EXPECT_EQ(t.mFish.Count(), 0);

    Type("b cde", 10);
    ASSERT_EQ(t.mState, TypingTutor::STATE_RESULTS);
    // The question pauses the tutor, and the fish with it.
    Updates(20);
    EXPECT_EQ(t.mFish.Count(), 0);
    app->RemoveDialog(TypingTutor::QUESTION_DIALOG);
    app->FlushWidgetDeletions();
    app->mWidgetManager->SetFocus(&t);
    ASSERT_EQ(t.mPauseCount, 0);
    Updates(10);
    EXPECT_EQ(t.mFish.Count(), 2);
}

TEST_F(TutorFixture, FishCrossTheScreenAndMakeWayForOthersWithoutAttacking)
{
    TypingTutor& t = OpenTutor();
    int most = 0, removed = 0;
    for (int i = 0; i < 6000; ++i) {
        const int before = t.mFish.Count();
        Updates(1);
        most = std::max(most, t.mFish.Count());
        if (t.mFish.Count() < before)
            ++removed;
    }
    EXPECT_EQ(most, TutorFish::MAX_FISH);
    EXPECT_GT(removed, 3) << "fish that swam out are taken away and others come";
    for (int sound : app->sounds)
        EXPECT_NE(sound, Zant::SOUND_PLAYERDIES) << "a decorative fish never attacks";
}
