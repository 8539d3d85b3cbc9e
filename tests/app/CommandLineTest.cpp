#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/app/AppServices.h"
#include "framework/app/ZantApp.h"

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
