#include <gtest/gtest.h>

#include "platform/Process.h"
#include "tests/support/TestSupport.h"

TEST(SingleInstance, SecondHolderIsRefusedAndItsNoticeReachesTheFirst)
{
    TestSupport::TempDir dir;
    Platform::SingleInstance first, second;
    ASSERT_TRUE(first.Acquire("Plindor", dir.Path()));
    EXPECT_FALSE(second.Acquire("Plindor", dir.Path()));
    EXPECT_EQ(first.PollNotifications(), 0);
    EXPECT_TRUE(Platform::SingleInstance::Notify("Plindor", dir.Path()));
    EXPECT_EQ(first.PollNotifications(), 1);
    EXPECT_EQ(first.PollNotifications(), 0);

    // Another data folder is another installation.
    TestSupport::TempDir other;
    Platform::SingleInstance third;
    EXPECT_TRUE(third.Acquire("Plindor", other.Path()));

    first.Release();
    EXPECT_TRUE(second.Acquire("Plindor", dir.Path()));
}

TEST(SingleInstance, VeryLongDataFolderStillWorks)
{
    TestSupport::TempDir dir;
    std::string deep = dir.Path() + "/" + std::string(120, 'x');
    Platform::SingleInstance first;
    ASSERT_TRUE(first.Acquire("Plindor", deep));
    EXPECT_TRUE(Platform::SingleInstance::Notify("Plindor", deep));
    EXPECT_EQ(first.PollNotifications(), 1);
}
