#pragma once
// Runs a scenario that opens a real video driver in a child process: the X, GL and
// driver libraries keep memory past SDL_Quit and unload the code that made it, so
// the leak checker could not tell their blocks from ours. The child ends without the
// leak check; its failures print there and show in its exit status.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

namespace RenderTest {

// The exit status a scenario uses when the driver cannot be opened.
constexpr int CHILD_SKIPPED = 77;

inline void RunInChild(const std::function<void()>& scenario)
{
    fflush(stdout);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        scenario();
        fflush(stdout);
        _exit(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the display run crashed";
    if (WEXITSTATUS(status) == CHILD_SKIPPED)
        GTEST_SKIP() << "the video driver cannot be used here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "see the failures printed above";
}

} // namespace RenderTest
