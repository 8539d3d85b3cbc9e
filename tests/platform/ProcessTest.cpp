#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
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

// A link planted in the lock file's place is never followed: nothing is made or
// locked at its target, the log says why, and the notify socket alone keeps a second
// copy out.
TEST(SingleInstance, ALinkInTheLockFilesPlaceIsNotFollowed)
{
    const struct {
        const char* what;
        bool targetExists;
        bool targetLockedElsewhere; // another installation's running copy holds it
    } cases[] = {
        {"a link to nowhere", false, false},
        {"a link to a file", true, false},
        {"a link to another installation's held lock", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestSupport::TempDir dir, elsewhere;
        const std::string target = elsewhere.File("PlindorMutex.lock");
        Platform::SingleInstance other;
        if (c.targetLockedElsewhere)
            ASSERT_TRUE(other.Acquire("Plindor", elsewhere.Path()));
        else if (c.targetExists)
            TestSupport::WriteFile(target, "kept");
        const std::string lockPath = dir.File("PlindorMutex.lock");
        ASSERT_EQ(symlink(target.c_str(), lockPath.c_str()), 0);

        Platform::SingleInstance first, second;
        testing::internal::CaptureStderr();
        ASSERT_TRUE(first.Acquire("Plindor", dir.Path()));
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(first.Held());
        EXPECT_NE(log.find("Single-instance lock " + lockPath + " is a symbolic link, which is not followed"),
                  std::string::npos)
            << log;
        struct stat st {};
        EXPECT_EQ(lstat(target.c_str(), &st) == 0, c.targetExists) << "made at the link's target";
        if (c.targetExists && !c.targetLockedElsewhere) {
            EXPECT_EQ(TestSupport::ReadFile(target), "kept");
            const int fd = open(target.c_str(), O_RDWR | O_CLOEXEC);
            ASSERT_GE(fd, 0);
            EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0) << "locked through the link";
            close(fd);
        }

        testing::internal::CaptureStderr();
        EXPECT_FALSE(second.Acquire("Plindor", dir.Path())) << "a second copy";
        testing::internal::GetCapturedStderr();
        EXPECT_TRUE(Platform::SingleInstance::Notify("Plindor", dir.Path()));
        EXPECT_EQ(first.PollNotifications(), 1);
    }
}

// The lock file deleted under a running copy (a cleaning tool, a player tidying the
// folder): a second copy could take a new lock, but the first one still answers on
// the notify socket, so the second is refused and the first keeps its socket.
TEST(SingleInstance, ACopyWhoseLockFileWasDeletedStillKeepsASecondCopyOut)
{
    TestSupport::TempDir dir;
    Platform::SingleInstance first, second;
    ASSERT_TRUE(first.Acquire("Plindor", dir.Path()));
    ASSERT_EQ(unlink(dir.File("PlindorMutex.lock").c_str()), 0);
    EXPECT_FALSE(second.Acquire("Plindor", dir.Path()));
    EXPECT_FALSE(second.Held());
    EXPECT_TRUE(Platform::SingleInstance::Notify("Plindor", dir.Path()));
    EXPECT_EQ(first.PollNotifications(), 1) << "the first copy lost its notify socket";

    // Once the first copy has gone, the next one runs.
    first.Release();
    EXPECT_TRUE(second.Acquire("Plindor", dir.Path()));
    EXPECT_TRUE(second.Held());
}

// A lost X server or web server shows as a write into a closed socket: the
// program must see the failed write and end the run itself, not die of it.
TEST(TerminationHandlers, AWriteIntoAClosedConnectionFailsInsteadOfKillingTheProgram)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Platform::InstallTerminationHandlers();
        int pair[2];
        if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0)
            _exit(2);
        close(pair[1]);
        const char byte = 'x';
        const bool failed = write(pair[0], &byte, 1) == -1 && errno == EPIPE;
        _exit(failed ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
