// The 3D test's drawing in a helper copy of the program: the copy's verdict read
// back, every way a copy can go wrong taken as the test's verdict, and the program's
// own helper mode drawing on SDL's renderer.
#include <gtest/gtest.h>

#include "framework/graphics/D3DTestProcess.h"
#include "tests/support/FakeHelper.h"
#include "tests/support/XServer.h"

using namespace Zant;
using TestSupport::FakeHelperArguments;

TEST(D3DTestProcess, TheHelpersEndIsTheTestsVerdict)
{
    const struct {
        const char* what;
        std::vector<std::string> arguments;
        uint32_t timeLimitMs;
        bool conclusive;
        const char* failure;
        const char* warning;
    } cases[] = {
        {"a whole verdict",
         FakeHelperArguments("answer", "verdict conclusive\nfailure \nwarning Unsupported video card.\nend\n"), 20000,
         true, "", "Unsupported video card."},
        {"a failure found by drawing",
         FakeHelperArguments("answer", "verdict conclusive\nfailure Alpha blend Not Supported\nwarning \nend\n"), 20000,
         true, "Alpha blend Not Supported", ""},
        // No device in the copy: no verdict on the adapter, the next start tries again.
        {"no device", FakeHelperArguments("answer", "verdict inconclusive\nfailure \nwarning \nend\n"), 20000, false,
         "", ""},
        {"a verdict cut short", FakeHelperArguments("answer", "verdict conclusive\nfailure \n"), 20000, true,
         "3D test gave no verdict.", ""},
        {"nothing said", FakeHelperArguments("exit", "0"), 20000, true, "3D test gave no verdict.", ""},
        {"a failed copy", FakeHelperArguments("exit", "3"), 20000, true, "3D test failed (exit code 3).", ""},
        {"a crashed copy", FakeHelperArguments("crash"), 20000, true, "3D test crashed (signal 6).", ""},
        {"a hung copy", FakeHelperArguments("hang"), 300, true, "3D test timed out.", ""},
        // Ended from outside (a closing session), not by the test: no verdict.
        {"a terminated copy", FakeHelperArguments("terminated"), 20000, false, "", ""},
        {"a copy the out-of-memory killer ended", FakeHelperArguments("killed"), 20000, false, "", ""},
    };
    for (const auto& c : cases) {
        D3DTestProcess drawing(c.arguments, c.timeLimitMs);
        ASSERT_TRUE(drawing.Start()) << c.what;
        D3DDrawingVerdict verdict;
        ASSERT_TRUE(drawing.Poll(true, verdict)) << c.what;
        EXPECT_EQ(verdict.conclusive, c.conclusive) << c.what;
        EXPECT_EQ(verdict.failureReason, c.failure) << c.what;
        EXPECT_EQ(verdict.warning, c.warning) << c.what;
    }
}

TEST(D3DTestProcess, ARunningHelperIsNotWaitedForUnlessAsked)
{
    D3DTestProcess drawing(FakeHelperArguments("hang"), 20000);
    ASSERT_TRUE(drawing.Start());
    D3DDrawingVerdict verdict;
    EXPECT_FALSE(drawing.Poll(false, verdict));
    EXPECT_FALSE(drawing.Poll(false, verdict));
}

TEST(D3DTestProcess, VerdictTextsSurviveTheChannel)
{
    D3DDrawingVerdict sent;
    sent.conclusive = true;
    sent.failureReason = "DXError - CreateSurface (Primary): DDERR_UNSUPPORTED";
    sent.warning = "Clip problem\ndetected.";
    D3DDrawingVerdict read;
    ASSERT_TRUE(ParseDrawingVerdict(FormatDrawingVerdict(sent), read));
    EXPECT_TRUE(read.conclusive);
    EXPECT_EQ(read.failureReason, sent.failureReason);
    EXPECT_EQ(read.warning, "Clip problem detected.") << "a line break would end the line early";
    for (const char* bad : {"", "verdict maybe\nfailure \nwarning \nend\n",
                            "verdict conclusive\nwarning \nfailure \nend\n",
                            "verdict conclusive\nfailure \nwarning \nend\nmore\n"})
        EXPECT_FALSE(ParseDrawingVerdict(bad, read)) << bad;
}

// The program's own helper mode (the test program has it too): a hidden window on
// SDL's headless driver, whose software renderer cannot add colours without alpha.
TEST(D3DTestProcess, TheProgramsHelperDrawsOnItsOwnDevice)
{
    TestSupport::EnvScope env;
    env.Set("SDL_VIDEODRIVER", "dummy");
    D3DTestProcess drawing;
    ASSERT_TRUE(drawing.Start());
    D3DDrawingVerdict verdict;
    ASSERT_TRUE(drawing.Poll(true, verdict));
    EXPECT_TRUE(verdict.conclusive);
    EXPECT_EQ(verdict.failureReason, "Additive blend not supported.");
}
