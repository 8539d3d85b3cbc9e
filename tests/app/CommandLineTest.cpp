#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <utility>
#include <vector>

#include "framework/app/AppServices.h"
#include "framework/app/ZantApp.h"
#include "platform/Paths.h"
#include "tests/support/TestSupport.h"

namespace {
// Records the parameters instead of acting on them.
class RecordingApp : public Zant::ZantApp {
public:
    void HandleCommandLineParam(const std::string& name, const std::string& value) override
    {
        params.emplace_back(name, value);
    }
    std::vector<std::pair<std::string, std::string>> params;
};
} // namespace

TEST(CommandLine, SplitsParametersTheWayTheGameDoes)
{
    using P = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        std::string text;
        P expected;
    } cases[] = {
        {"-record", {{"-record", ""}}},
        {"-record -demofile=\"my demo.dmo\"", {{"-record", ""}, {"-demofile", "my demo.dmo"}}},
        // A closing quote does not end the parameter by itself.
        {"-demofile=\"a b\" -play", {{"-demofile", "a b"}, {"-play", ""}}},
        {"-demofile=\"a b\"", {{"-demofile", "a b"}}},
        // Two spaces make an empty parameter.
        {"-play  -record", {{"-play", ""}, {"", ""}, {"-record", ""}}},
        // The end of the line closes no parameter that has not begun.
        {"-play ", {{"-play", ""}}},
        {"-record -demofile=\"my demo.dmo\" ", {{"-record", ""}, {"-demofile", "my demo.dmo"}}},
        {"", {}},
        {"-x=a=b", {{"-x", "ab"}}},
    };
    for (const Case& c : cases) {
        RecordingApp app;
        app.ParseCommandLine(c.text);
        EXPECT_EQ(app.params, c.expected) << c.text;
    }
}

TEST(CommandLine, LaterDemoSwitchWins)
{
    Zant::ZantApp app;
    app.ParseCommandLine("-play -record");
    EXPECT_TRUE(app.mRecordingDemoBuffer);
    EXPECT_FALSE(app.mDemoPlaybackRequested);
    app.ParseCommandLine("-record -play -demofile=x.dmo");
    EXPECT_FALSE(app.mRecordingDemoBuffer);
    EXPECT_TRUE(app.mDemoPlaybackRequested);
    EXPECT_EQ(app.mDemoFileName, "x.dmo");
}

TEST(CommandLine, ArgumentsAreJoinedAndQuotedWhenTheyHoldASpace)
{
    const char* argv[] = {"plindor", "-record", "-demofile=my demo.dmo", nullptr};
    std::string joined = Zant::AppServices::JoinArguments(3, const_cast<char**>(argv));
    EXPECT_EQ(joined, "-record \"-demofile=my demo.dmo\"");
    RecordingApp app;
    app.ParseCommandLine(joined);
    ASSERT_EQ(app.params.size(), 2u);
    EXPECT_EQ(app.params[1].second, "my demo.dmo");
}

TEST(SessionReport, NamesTheModeAndLeavesOutAnEmptyReferId)
{
    Zant::ZantApp app;
    app.mProdName = "Plindor";
    app.mIsWindowed = true;
    std::string r = app.BuildSessionReport();
    EXPECT_NE(r.find("Product: Plindor\r\n"), std::string::npos);
    EXPECT_NE(r.find("Fullscreen: No\r\n"), std::string::npos);
    EXPECT_EQ(r.find("ReferId"), std::string::npos);
    app.mReferId = "abc";
    EXPECT_NE(app.BuildSessionReport().find("ReferId: abc\r\n"), std::string::npos);
}

TEST(CommandLine, AnEmptyParameterIsRefusedWithExitCodeTwo)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Zant::ZantApp app;
            app.ParseCommandLine("-play  -record");
        },
        testing::ExitedWithCode(2), "Invalid Command Line Param: ");
}

TEST(ProductVersion, OnlyTheProgramItselfHasOne)
{
    Zant::ZantApp app;
    std::string folder;
    ASSERT_TRUE(Platform::ProgramFolder(folder));
    EXPECT_EQ(app.ReadProductVersion(folder + "/plindor"), "1.01");
    EXPECT_EQ(app.ReadProductVersion("/etc/hostname"), "");
    EXPECT_EQ(app.ReadProductVersion(""), "");
}

namespace {

// Puts a stand-in xdg-open first on the PATH that writes each argument it gets on
// a line of its own, so that what reaches the browser can be checked.
class FakeBrowser {
public:
    FakeBrowser() : mOldPath(getenv("PATH") ? getenv("PATH") : "")
    {
        const std::string script = mDir.File("xdg-open");
        TestSupport::WriteFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + Log() + "'; done\n");
        chmod(script.c_str(), 0755);
        setenv("PATH", (mDir.Path() + ":" + mOldPath).c_str(), 1);
    }
    ~FakeBrowser() { setenv("PATH", mOldPath.c_str(), 1); }
    std::string Log() const { return mDir.File("opened.txt"); }
    // What the browser was given, once it has run (empty after a time-out).
    std::string Opened() const
    {
        for (int i = 0; i < 500 && !std::filesystem::exists(Log()); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return std::filesystem::exists(Log()) ? TestSupport::ReadFile(Log()) : "";
    }

private:
    TestSupport::TempDir mDir{"plindor-browser"};
    std::string mOldPath;
};

} // namespace

TEST(WebPages, AnAddressReachesTheBrowserAsOneArgumentAndOnlyOnce)
{
    FakeBrowser browser;
    Zant::ZantApp app;
    // Shell syntax in an address stays text: no shell stands between.
    const std::string url = "https://example.invalid/a?b=1;c=$(touch${IFS}x)&d=`id`|e";
    EXPECT_TRUE(app.OpenWebPage(url, false));
    EXPECT_TRUE(app.mWebPageOpenPending);
    EXPECT_TRUE(app.OpenWebPage(url, true)); // still pending: not opened again
    EXPECT_EQ(browser.Opened(), url + "\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(TestSupport::ReadFile(browser.Log()), url + "\n");
}

TEST(WebPages, OnlyWebAddressesAreOpenedAndAFailureClearsThePending)
{
    struct {
        const char* url;
        bool valid;
    } cases[] = {
        {"http://example.invalid/", true}, {"HTTPS://example.invalid/x", true}, {"https://", false},
        {"file:///etc/passwd", false},    {"-e http://x", false},               {"javascript:alert(1)", false},
        {"http://a b", false},            {"http://a\nb", false},               {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Zant::IsWebPageAddress(c.url), c.valid) << c.url;

    Zant::ZantApp app;
    EXPECT_FALSE(app.OpenWebPage("file:///etc/passwd", false));
    EXPECT_FALSE(app.mWebPageOpenPending);

    // No browser to start at all.
    TestSupport::TempDir empty("plindor-nopath");
    const std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", empty.Path().c_str(), 1);
    EXPECT_FALSE(app.OpenWebPage("http://example.invalid/", false));
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_FALSE(app.mWebPageOpenPending);
}
