#include <gtest/gtest.h>

#include <cstdio>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

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

// The lock file's name taken by a folder: the lock cannot be made, which is said in
// the log, and the notify socket alone still keeps a second copy out.
TEST(SingleInstance, WithoutTheLockFileTheNotifySocketStillTellsASecondCopy)
{
    TestSupport::TempDir dir;
    ASSERT_EQ(mkdir(dir.File("PlindorMutex.lock").c_str(), 0755), 0);
    Platform::SingleInstance first, second;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(first.Acquire("Plindor", dir.Path()));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Single-instance lock " + dir.File("PlindorMutex.lock") + " cannot be made"), std::string::npos)
        << log;
    EXPECT_FALSE(first.Held());

    testing::internal::CaptureStderr();
    EXPECT_FALSE(second.Acquire("Plindor", dir.Path())) << "a second copy";
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(Platform::SingleInstance::Notify("Plindor", dir.Path()));
    EXPECT_EQ(first.PollNotifications(), 1);

    // A socket file whose owner is gone does not keep the next copy out.
    const int stale = socket(AF_UNIX, SOCK_DGRAM, 0);
    first.Release();
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string socketPath = dir.File("Plindor.notify");
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(bind(stale, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    close(stale); // the file stays, nobody listens
    testing::internal::CaptureStderr();
    EXPECT_TRUE(second.Acquire("Plindor", dir.Path()));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(Platform::SingleInstance::Notify("Plindor", dir.Path()));
    EXPECT_EQ(second.PollNotifications(), 1);
}
