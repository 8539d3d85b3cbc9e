// The game timer counts 10 ms per update it receives and reports time less pauses.
#include <gtest/gtest.h>

#include "framework/widgets/WidgetManager.h"
#include "game/common/BTTimer.h"

using namespace Zant;

namespace {

void Updates(BTTimer& timer, int n)
{
    for (int i = 0; i < n; ++i)
        timer.Update();
}

} // namespace

TEST(BTTimer, CountsTenMillisecondsPerUpdateLessPausedTime)
{
    BTTimer timer;
    EXPECT_EQ(timer.GetElapsed(), 0);
    Updates(timer, 7);
    EXPECT_EQ(timer.GetElapsed(), 70);

    timer.Reset();
    Updates(timer, 3);
    EXPECT_EQ(timer.GetElapsed(), 30);
    timer.mPausedTotal += 20;
    EXPECT_EQ(timer.GetElapsed(), 10);
    // More pause than time passed is reported as it is.
    timer.mPausedTotal += 50;
    EXPECT_EQ(timer.GetElapsed(), -40);
}

TEST(BTTimer, StoppedTimerReportsZeroButKeepsCounting)
{
    BTTimer timer;
    Updates(timer, 2);
    timer.SetDisabled(true);
    Updates(timer, 5);
    EXPECT_EQ(timer.GetElapsed(), 0);
    timer.SetDisabled(false);
    EXPECT_EQ(timer.GetElapsed(), 70);
}

TEST(BTTimer, StoppingMarksNothingAndTicksInTheManager)
{
    WidgetManager manager(nullptr);
    BTTimer timer;
    manager.AddWidget(&timer);
    timer.mDirty = false;
    timer.SetDisabled(true);
    EXPECT_FALSE(timer.mDirty);
    EXPECT_FALSE(timer.mDisabled);
    timer.SetDisabled(false);
    for (int i = 0; i < 4; ++i)
        manager.UpdateFrame();
    EXPECT_EQ(timer.GetElapsed(), 40);
    manager.RemoveWidget(&timer);
}
