// The built program records a headless run into a demo file and plays it back:
// the playback ends by itself at the recorded update, leaves the player's settings
// as they were, and a damaged demo, or one that goes out of step, ends the program
// with exit code 1.
#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "framework/app/DemoFormat.h"
#include "framework/util/Buffer.h"
#include "tests/support/Program.h"
#include "tests/support/TestSupport.h"

namespace {

using TestSupport::StartProgram;
using TestSupport::WaitOrKill;

// Records a run of about 1.5 s of updates into demo, counted from the program's
// first update; ends it as the desktop session does.
int RecordRun(const std::string& demo, const std::string& home, const std::string& errPath)
{
    TestSupport::ProgramOptions options;
    const std::string probe = home + "/record.probe";
    options.env = {TestSupport::ProbeSetting(probe)};
    const pid_t recorder = StartProgram({"-record", "-demofile=" + demo}, home, errPath, options);
    if (recorder <= 0)
        return -1;
    TestSupport::WaitForFirstUpdate(probe, 60000);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    kill(recorder, SIGTERM);
    return WaitOrKill(recorder, 10000);
}

int UpdateCount(const std::string& err)
{
    const std::string key = "Update Count  = ";
    const size_t at = err.find(key);
    return at == std::string::npos ? -1 : std::atoi(err.c_str() + at + key.size());
}

} // namespace

TEST(DemoProgram, ARecordedRunPlaysBackToItsEnd)
{
    TestSupport::TempDir dir("plindor-demo-e2e");
    const std::string demo = dir.File("run.dmo");

    EXPECT_EQ(RecordRun(demo, dir.Path(), dir.File("record.err")), 0);
    const std::string recordErr = TestSupport::ReadFile(dir.File("record.err"));
    const int recorded = UpdateCount(recordErr);
    ASSERT_GT(recorded, 0) << recordErr;
    const std::string settings = TestSupport::ReadFile(dir.File("settings.txt"));
    ASSERT_FALSE(settings.empty());

    const pid_t player = StartProgram({"-play", "-demofile=" + demo}, dir.Path(), dir.File("play.err"));
    ASSERT_GT(player, 0);
    const int code = WaitOrKill(player, 20000); // ends by itself
    const std::string playErr = TestSupport::ReadFile(dir.File("play.err"));
    EXPECT_EQ(code, 0) << playErr;
    EXPECT_EQ(UpdateCount(playErr), recorded) << playErr;
    EXPECT_EQ(playErr.find("out of sync"), std::string::npos) << playErr;
    EXPECT_EQ(TestSupport::ReadFile(dir.File("settings.txt")), settings);

    // Damaged and missing demo files end the program with a message and code 1.
    std::string file = TestSupport::ReadFile(demo);
    struct {
        const char* name;
        std::string contents;
        const char* message;
    } bad[] = {
        {"cut.dmo", file.substr(0, 20), "Invalid demo file."},
        {"magic.dmo", "Z" + file.substr(1), "Invalid demo file."},
        {"version.dmo", file.substr(0, 14) + "9" + file.substr(15), "This demo file appears to be for '9.01'"},
        {"missing.dmo", "", "Demo file not found: "},
    };
    for (const auto& b : bad) {
        if (!b.contents.empty())
            TestSupport::WriteFile(dir.File(b.name), b.contents);
        const pid_t pid = StartProgram({"-play", "-demofile=" + dir.File(b.name)}, dir.Path(), dir.File("bad.err"));
        ASSERT_GT(pid, 0);
        EXPECT_EQ(WaitOrKill(pid, 10000), 1) << b.name;
        EXPECT_NE(TestSupport::ReadFile(dir.File("bad.err")).find(b.message), std::string::npos) << b.name;
    }
    EXPECT_EQ(TestSupport::ReadFile(dir.File("settings.txt")), settings);
}

namespace {

// The stream's whole records up to (and with) the first one due after update
// `after`: a file cut at a record boundary.
std::string CutAfter(const Zant::DemoFileContents& demo, int after)
{
    Zant::Buffer whole, copier, cut;
    whole.SetData(demo.mStream);
    copier.SetData(demo.mStream);
    int update = 0;
    while (update <= after) {
        const size_t start = whole.GetReadBitPos();
        Zant::DemoRecordHeader header;
        Zant::DemoRecordData data;
        if (!Zant::ReadDemoRecordHeader(whole, header) || !Zant::ReadDemoRecordData(whole, header, data))
            break;
        update += header.mDelta;
        for (size_t bit = start; bit < whole.GetReadBitPos(); ++bit)
            cut.WriteNumBits(copier.ReadNumBits(1, false), 1);
    }
    return cut.ToString();
}

struct Played {
    int code = -1;
    std::string err;
    long long msAfterOutOfStep = -1; // from the out-of-step line to the exit
};

Played Play(const std::string& demo, const std::string& home)
{
    Played p;
    const std::string errPath = home + "/play.err";
    const pid_t pid = StartProgram({"-play", "-demofile=" + demo}, home, errPath);
    if (pid <= 0)
        return p;
    std::chrono::steady_clock::time_point seen{};
    for (int waited = 0; waited <= 30000; waited += 10) {
        p.code = TestSupport::WaitExit(pid, 0); // a short wait when it still runs
        if (p.code != -1)
            break;
        if (seen == std::chrono::steady_clock::time_point{} &&
            TestSupport::ReadFile(errPath).find("demo out of sync") != std::string::npos)
            seen = std::chrono::steady_clock::now();
    }
    if (p.code == -1)
        TestSupport::KillProcess(pid);
    p.err = TestSupport::ReadFile(errPath);
    if (seen != std::chrono::steady_clock::time_point{})
        p.msAfterOutOfStep =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - seen).count();
    return p;
}

} // namespace

// A demo whose stream was cut at a record boundary, or has a byte changed, opens;
// playback ends with the message and code 1 as soon as it goes out of step.
TEST(DemoProgram, ADamagedStreamEndsPlaybackWithTheMessage)
{
    TestSupport::TempDir dir("plindor-demo-e2e");
    const std::string demo = dir.File("run.dmo");
    ASSERT_EQ(RecordRun(demo, dir.Path(), dir.File("record.err")), 0);

    const std::string file = TestSupport::ReadFile(demo);
    ASSERT_GT(file.size(), 14u);
    const size_t versionLength = static_cast<uint8_t>(file[12]) | static_cast<uint8_t>(file[13]) << 8;
    Zant::DemoFileContents good;
    std::string error;
    ASSERT_TRUE(Zant::DecodeDemoFile(file, file.substr(14, versionLength), good, error)) << error;
    good.mProductVersion = file.substr(14, versionLength);
    ASSERT_GT(good.mTotalUpdates, 20);

    auto expectOutOfStep = [&](const Played& p, const std::string& what) {
        EXPECT_EQ(p.code, 1) << what << "\n" << p.err;
        EXPECT_NE(p.err.find(Zant::DEMO_OUT_OF_STEP_TEXT), std::string::npos) << what << "\n" << p.err;
        EXPECT_GE(p.msAfterOutOfStep, 0) << what;
        EXPECT_LT(p.msAfterOutOfStep, 1000) << what;
    };

    Zant::DemoFileContents cut = good;
    cut.mStream = CutAfter(good, good.mTotalUpdates / 2);
    ASSERT_LT(cut.mStream.size(), good.mStream.size());
    TestSupport::WriteFile(dir.File("cut.dmo"), Zant::EncodeDemoFile(cut));
    const Played cutPlay = Play(dir.File("cut.dmo"), dir.Path());
    expectOutOfStep(cutPlay, "cut");
    EXPECT_NE(cutPlay.err.find("the records end at update"), std::string::npos) << cutPlay.err;

    // A changed byte that moves records: the first record after update 0 that has
    // recorded results after it comes a little earlier, and those results with it,
    // before the program asks for them.
    Zant::Buffer stream;
    stream.SetData(good.mStream);
    size_t deltaBit = 0;
    int lowestDeltaBit = -1;
    for (;;) {
        const size_t start = stream.GetReadBitPos();
        Zant::DemoRecordHeader header;
        Zant::DemoRecordData data;
        if (!Zant::ReadDemoRecordHeader(stream, header) || !Zant::ReadDemoRecordData(stream, header, data))
            break;
        if (lowestDeltaBit < 0 && header.mDelta > 0) {
            deltaBit = start;
            lowestDeltaBit = std::countr_zero(static_cast<unsigned>(header.mDelta));
        } else if (lowestDeltaBit >= 0 && !header.mShort && Zant::IsDemoResultCode(header.mCode)) {
            break; // results follow the record found
        }
    }
    ASSERT_GE(lowestDeltaBit, 0);
    const size_t bit = deltaBit + static_cast<size_t>(lowestDeltaBit);
    Zant::DemoFileContents flipped = good;
    flipped.mStream[bit / 8] = static_cast<char>(flipped.mStream[bit / 8] ^ (1 << (bit % 8)));
    TestSupport::WriteFile(dir.File("flipped.dmo"), Zant::EncodeDemoFile(flipped));
    const Played flippedPlay = Play(dir.File("flipped.dmo"), dir.Path());
    expectOutOfStep(flippedPlay, "a byte changed");
}
