// Copies of the test program started as helpers (tests/support/FakeHelper.h plays
// their parts): how each way of ending is told, the answer read whole, and a copy
// that is still running when its object goes killed and reaped.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <pthread.h>
#include <sys/wait.h>

#include "platform/HelperProcess.h"
#include "tests/support/FakeHelper.h"

using Platform::HelperProcess;
using TestSupport::FakeHelperArguments;

TEST(HelperProcess, EachEndIsToldAndTheAnswerReadWhole)
{
    // What the starter blocks does not reach the copy: a blocked SIGTERM would keep
    // the "terminated" part alive.
    sigset_t term, old;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &term, &old);
    const std::string longAnswer(100000, 'v');
    const struct {
        const char* part;
        std::string value;
        int exitCode;
        int signal;
        std::string answer;
    } cases[] = {
        {"answer", "verdict\nline two\n", 0, 0, "verdict\nline two\n"},
        // An answer is cut off at 64 KB.
        {"answer", longAnswer, 0, 0, longAnswer.substr(0, 65536)},
        {"exit", "3", 3, 0, ""},
        {"crash", "", -1, SIGABRT, ""},
        {"terminated", "", -1, SIGTERM, ""},
    };
    for (const auto& c : cases) {
        HelperProcess helper;
        ASSERT_TRUE(helper.Start(FakeHelperArguments(c.part, c.value))) << c.part;
        EXPECT_TRUE(helper.Started());
        ASSERT_TRUE(helper.Poll(20000)) << c.part;
        EXPECT_TRUE(helper.Ended());
        EXPECT_EQ(helper.Pid(), -1);
        EXPECT_EQ(helper.ExitCode(), c.exitCode) << c.part;
        EXPECT_EQ(helper.EndSignal(), c.signal) << c.part;
        EXPECT_EQ(helper.Answer().size(), c.answer.size()) << c.part;
        EXPECT_TRUE(helper.Answer() == c.answer) << c.part;
        EXPECT_FALSE(helper.Start(FakeHelperArguments("exit", "0"))) << "one copy per object";
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

TEST(HelperProcess, ARunningCopyIsKilledAndReapedWhenItsObjectGoes)
{
    int pid = -1;
    {
        HelperProcess helper;
        ASSERT_TRUE(helper.Start(FakeHelperArguments("hang")));
        pid = helper.Pid();
        ASSERT_GT(pid, 0);
        EXPECT_FALSE(helper.Poll(0));
        EXPECT_FALSE(helper.Poll(50)) << "still running after a short wait";
        EXPECT_FALSE(helper.Ended());
    }
    errno = 0;
    EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), -1) << "reaped already";
    EXPECT_EQ(errno, ECHILD);

    HelperProcess killed;
    ASSERT_TRUE(killed.Start(FakeHelperArguments("hang")));
    killed.Kill();
    EXPECT_TRUE(killed.Ended());
    EXPECT_EQ(killed.EndSignal(), SIGKILL);
    EXPECT_TRUE(killed.Poll(0));
}
