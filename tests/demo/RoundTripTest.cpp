// A scripted run is recorded, then played back: the widgets must see the same input
// at the same updates, and every outside result must come back as recorded while
// nothing on disk or in the settings store changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>

#include "framework/util/MersenneTwister.h"
#include "tests/demo/DemoTestSupport.h"
#include "tests/support/TestSupport.h"

using DemoTest::DemoRun;
using Platform::Msg;

namespace {

namespace fs = std::filesystem;

struct Sandbox {
    explicit Sandbox(const std::string& root) : dir(root + "/files")
    {
        fs::create_directories(dir);
        TestSupport::WriteFile(present, "recorded contents");
        TestSupport::WriteFile(victim, "to be deleted");
    }
    std::string dir;
    std::string present = dir + "/present.txt";
    std::string missing = dir + "/missing.txt";
    std::string written = dir + "/saves/written.dat";
    std::string unwritable = dir + "/present.txt/inside.dat"; // its folder is a file
    std::string victim = dir + "/victim.dat";
};

// Names, contents and modification times of everything below a folder.
std::map<std::string, std::string> Snapshot(const std::string& dir)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const auto stamp = entry.last_write_time().time_since_epoch().count();
        files[entry.path().string()] =
            std::to_string(stamp) + (entry.is_regular_file() ? ":" + TestSupport::ReadFile(entry.path()) : "/");
    }
    return files;
}

std::string Flag(bool b) { return b ? "1" : "0"; }

// The outside results the run asks for. The caller's own values differ between
// recording and playback where the recorded value must win.
void PlanResults(DemoRun& run, const Sandbox& box)
{
    Zant::ZantApp& app = run.app();
    auto& p = run.mProber;
    p.Plan(3, [&app, &box] { return "exists " + Flag(app.FileExists(box.present)) + Flag(app.FileExists(box.missing)); });
    p.Plan(3, [&app, &box] {
        Zant::Buffer b;
        const bool ok = app.LoadFileToBuffer(box.present, b);
        return "read " + Flag(ok) + " " + b.ToString();
    });
    p.Plan(20, [&app, &box] {
        Zant::Buffer b;
        b.SetData(std::string("payload"));
        return "save " + Flag(app.SaveBufferToFile(box.written, b)) + Flag(app.SaveBufferToFile(box.unwritable, b));
    });
    p.Plan(40, [&app] {
        int value = 0;
        std::vector<std::string> keys;
        const bool wrote = app.WriteRegistryInt("Demo\\Value", 7);
        const bool read = app.ReadRegistryInt("Demo\\Value", value);
        const bool listed = app.ListRegistrySubKeys("", keys);
        return "registry " + Flag(wrote) + Flag(read) + std::to_string(value) + Flag(listed) +
               (keys.empty() ? "" : keys[0]);
    });
    p.Plan(41, [&app] { return "delete key " + Flag(app.DeleteRegistryKey("Demo")); });
    p.Plan(50, [&app] {
        app.DemoSyncString("a log line");
        std::string text = app.mPlayingDemoBuffer ? "text of the replay" : "text of the recording";
        bool flag = !app.mPlayingDemoBuffer;
        app.DemoSyncText(text);
        app.DemoSyncByte(flag);
        return "sync " + text + " " + Flag(flag);
    });
    p.Plan(55, [&app, &box] { return "delete file " + Flag(app.DeleteFileUnlessReplaying(box.victim)); });
    p.Plan(60, [&app, &box] {
        Zant::Buffer b;
        app.LoadFileToBuffer(box.present, b);
        return "read again " + b.ToString() + " random " + std::to_string(Zant::NextRandom());
    });
}

// Window messages by main-loop pass; while minimised a pass runs no update.
void SendScript(DemoRun& run, int pass)
{
    switch (pass) {
    case 0:
        run.SendMouse(Msg::MouseMove, 100, 100); // far from (0, 0): a position record
        run.SendMouse(Msg::MouseMove, 131, 69);  // +31, -31: a short move
        run.Send(Msg::KeyDown, 65);
        run.Send(Msg::Char, 'a');
        break;
    case 15:
        run.SendMouse(Msg::MouseMove, 163, 69); // +32: a position again
        run.Send(Msg::KeyUp, 65);
        break;
    case 31: // a gap of 16 updates
        run.SendMouse(Msg::LButtonDown, 163, 69);
        run.SendMouse(Msg::MouseMove, 170, 75);
        run.SendMouse(Msg::LButtonUp, 170, 75);
        break;
    case 71: // a gap of 40 updates
        run.SendMouse(Msg::RButtonDblClk, 5, 10);
        run.SendMouse(Msg::MouseMove, -60, 10); // dragged outside the window: a negative position
        run.SendMouse(Msg::RButtonUp, -60, 10);
        break;
    case 72:
        run.Send(Msg::Char, 0xE9);
        run.Send(Msg::Size, 1);
        break;
    case 73:
        run.Send(Msg::Size, 0);
        break;
    case 74:
        run.Send(Msg::ActivateApp, 0);
        break;
    case 75:
        run.Send(Msg::ActivateApp, 1);
        break;
    case 78:
        run.SendMouse(Msg::MouseMove, 50, 50);
        break;
    case 80:
        run.mWindows.cursorInside = false;
        run.Send(Msg::Timer, 100);
        break;
    case 81:
        run.mWindows.cursorInside = true;
        run.Send(Msg::Timer, 100);
        break;
    case 90:
        run.Send(Msg::Close);
        break;
    default:
        break;
    }
}

// The live run as playback sees it: a mouse message that does not move the mouse
// writes no move record, so its move or drag to the same place is not replayed.
DemoTest::Log WithoutMovesInPlace(const DemoTest::Log& log)
{
    DemoTest::Log out;
    std::string lastPlace;
    for (const std::string& line : log) {
        const size_t move = line.find(" move "), drag = line.find(" drag ");
        if (move != std::string::npos || drag != std::string::npos) {
            const std::string place = line.substr(line.find(' ', (move != std::string::npos ? move : drag) + 1));
            if (place == lastPlace)
                continue;
            lastPlace = place;
        }
        out.push_back(line);
    }
    return out;
}

} // namespace

TEST(DemoRoundTrip, PlaybackRepeatsInputAndResultsAndTouchesNothing)
{
    TestSupport::TempDir dir("plindor-demo");
    const std::string demoFile = dir.File("run.dmo");
    Sandbox box(dir.Path());

    DemoTest::Log recorded;
    int total = 0;
    {
        DemoRun run(demoFile);
        run.app().mRecordingDemoBuffer = true;
        run.app().mRandSeed = 4242;
        Zant::SeedRandom(4242);
        PlanResults(run, box);
        for (int pass = 0; !run.app().mShutdown && pass < 1000; ++pass) {
            SendScript(run, pass);
            DemoTest::Pass(run.app());
        }
        ASSERT_TRUE(run.app().mShutdown);
        total = run.app().mUpdateCount;
        recorded = run.mLog;
        run.Finish(); // the demo is written as the application goes
    }
    // The recording saw what the script did.
    const DemoTest::Log expectedParts = {
        "u0 move 131,69", "u0 down 65", "u0 char 97", "u3 exists 10", "u3 read 1 recorded contents",
        "u15 move 163,69", "u15 up 65", "u20 save 10", "u31 mdown 163,69 1", "u31 drag 170,75", "u31 mup 170,75 1",
        "u40 registry 1171Demo", "u41 delete key 1", "u50 sync text of the recording 1", "u55 delete file 1",
        "u71 mdown 5,10 -2", "u71 drag -60,10", "u71 mup -60,10 -1", "u72 char -23", "u72 unfocus", "u72 focus",
        "u73 unfocus", "u74 focus", "u77 move 50,50", "u79 leave"};
    for (const std::string& line : expectedParts)
        EXPECT_NE(std::find(recorded.begin(), recorded.end(), line), recorded.end()) << line;
    ASSERT_TRUE(fs::exists(demoFile));

    // Playback in a changed world: other files, another settings store.
    TestSupport::WriteFile(box.present, "changed since");
    fs::remove_all(box.dir + "/saves");
    TestSupport::WriteFile(box.victim, "back again");
    Platform::SettingsStore otherStore;
    otherStore.SetDword("SOFTWARE\\Vorlix\\DemoTest\\Demo", "Value", 99);
    otherStore.SetDword("SOFTWARE\\Vorlix\\DemoTest\\Demo\\Inner", "Keep", 1);
    const std::string storeBefore = otherStore.Serialize();
    const auto filesBefore = Snapshot(box.dir);

    for (bool catchUp : {false, true}) {
        SCOPED_TRACE(catchUp ? "catching up" : "update by update");
        DemoRun run(demoFile, &otherStore);
        Zant::SeedRandom(1);
        std::string error;
        ASSERT_TRUE(run.app().OpenDemoFile(error)) << error;
        EXPECT_EQ(run.app().mRandSeed, 4242u);
        EXPECT_EQ(run.app().mDemoLength, total);
        PlanResults(run, box);
        if (catchUp) {
            // Updates back to back, without replaying between them: due input must
            // still hold each update back until it is replayed.
            run.app().mDemoAdvanceToUpdate = run.app().mDemoLength;
            for (int pass = 0; !run.app().mShutdown && pass < 1000; ++pass) {
                run.app().PumpMessages();
                run.app().ReplayDemoEvents();
                run.app().ProcessDeferredMessages();
                if (!run.app().mShutdown)
                    run.app().RunFrame();
            }
        } else {
            DemoTest::RunToEnd(run.app());
        }
        EXPECT_TRUE(run.app().mShutdown);
        EXPECT_EQ(run.mLog, WithoutMovesInPlace(recorded));
        EXPECT_EQ(run.app().mUpdateCount, total);
        EXPECT_EQ(run.app().mDemoStreamState, Zant::DemoStreamState::Records); // nothing went out of step
    }
    EXPECT_EQ(otherStore.Serialize(), storeBefore);
    EXPECT_EQ(Snapshot(box.dir), filesBefore);
}

TEST(DemoRoundTrip, PaddingAtTheEndIsNoRecord)
{
    // A move record (10 + 12 bits) after the loading record leaves bits of padding
    // that would read as a long record of code 0 (a move to 0,0).
    for (int extraKeys = 0; extraKeys < 8; ++extraKeys) {
        TestSupport::TempDir dir("plindor-demo");
        const std::string demoFile = dir.File("pad.dmo");
        DemoTest::Log recorded;
        {
            DemoRun run(demoFile);
            run.app().mRecordingDemoBuffer = true;
            run.SendMouse(Msg::MouseMove, 300, 200);
            for (int i = 0; i < extraKeys; ++i)
                run.Send(Msg::KeyDown, 70 + i);
            run.SendMouse(Msg::MouseMove, 301, 200);
            DemoTest::Pass(run.app());
            DemoTest::Pass(run.app());
            recorded = run.mLog;
            run.Finish();
        }
        DemoRun run(demoFile);
        std::string error;
        ASSERT_TRUE(run.app().OpenDemoFile(error)) << error;
        for (int i = 0; i < 6; ++i)
            DemoTest::Pass(run.app());
        EXPECT_EQ(run.mLog, recorded) << extraKeys;
    }
}
