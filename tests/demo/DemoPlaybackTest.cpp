// Playback beyond the plain round trip: closing the window, falling out of step,
// the end of loading, the end of the desktop session, the viewer's keys, HTTP
// results and decisions that must not depend on the replaying machine.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "framework/app/DemoFormat.h"
#include "framework/util/MersenneTwister.h"
#include "game/common/GameRandom.h"
#include "game/profile/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"
#include "platform/Paths.h"
#include "tests/demo/DemoTestSupport.h"
#include "tests/support/TestSupport.h"

using DemoTest::DemoRun;
using Platform::Msg;

namespace {

namespace fs = std::filesystem;

std::string Flag(bool b) { return b ? "1" : "0"; }

// Records a few updates of input; record() may plan results and send messages.
template <class Run = DemoRun>
void Record(const std::string& demoFile, const std::function<void(Run&)>& script, int passes,
            Platform::SettingsStore* store = nullptr)
{
    Run run(demoFile, store);
    run.app().mRecordingDemoBuffer = true;
    script(run);
    for (int i = 0; i < passes && !run.app().mShutdown; ++i)
        DemoTest::Pass(run.app());
}

} // namespace

TEST(DemoPlayback, ClosingTheWindowDuringPlaybackWritesNothing)
{
    TestSupport::TempDir dir("plindor-demo");
    const std::string demoFile = dir.File("close.dmo");
    {
        Platform::SettingsStore store;
        store.SetDword("SOFTWARE\\Vorlix\\DemoTest", "MusicVolume", 40);
        Record<DemoRun>(
            demoFile,
            [](DemoRun& run) {
                run.app().LoadSettings();
                run.Send(Msg::KeyDown, 65);
            },
            50, &store);
    }

    // The player's own settings and profiles must come out of the playback as they went in.
    Platform::SettingsStore store(dir.File("settings.txt"));
    store.SetDword("SOFTWARE\\Vorlix\\DemoTest", "MusicVolume", 90);
    store.SetDword("SOFTWARE\\Vorlix\\DemoTest\\Users\\Ann", "Level", 3);
    fs::create_directories(dir.File("users"));
    TestSupport::WriteFile(dir.File("users/user.idx"), "profiles");
    const std::string storeFile = TestSupport::ReadFile(dir.File("settings.txt"));
    {
        DemoRun run(demoFile, &store);
        std::string error;
        ASSERT_TRUE(run.app().OpenDemoFile(error)) << error;
        run.app().LoadSettings();
        EXPECT_DOUBLE_EQ(run.app().mMusicVolume, 0.40); // the recorded settings
        for (int i = 0; i < 20; ++i)
            DemoTest::Pass(run.app());
        // The viewer silences the demo, then closes the window halfway through.
        EXPECT_TRUE(run.app().HandleWindowMessage(Msg::Char, 'S', 0));
        EXPECT_DOUBLE_EQ(run.app().mMusicVolume, 0.0);
        run.Send(Msg::Close);
        DemoTest::Pass(run.app());
        EXPECT_TRUE(run.app().mShutdown);
        EXPECT_LT(run.app().mUpdateCount, 50);
        EXPECT_DOUBLE_EQ(run.app().mMusicVolume, 0.40); // given back before the end
        run.app().SaveSettings();                        // as the main loop does after it
    }
    EXPECT_EQ(TestSupport::ReadFile(dir.File("settings.txt")), storeFile);
    EXPECT_EQ(TestSupport::ReadFile(dir.File("users/user.idx")), "profiles");
}

TEST(DemoPlayback, ARunOutOfStepStopsPlaybackAndWritesNothing)
{
    TestSupport::TempDir dir("plindor-demo");
    const std::string demoFile = dir.File("step.dmo");
    const std::string file = dir.File("file.txt");
    TestSupport::WriteFile(file, "x");
    Record<DemoRun>(
        demoFile,
        [&](DemoRun& run) {
            run.mProber.Plan(5, [&run, file] { return Flag(run.app().FileExists(file)); });
            run.SendMouse(Msg::MouseMove, 10, 10);
        },
        30);

    DemoRun run(demoFile);
    std::string error;
    ASSERT_TRUE(run.app().OpenDemoFile(error)) << error;
    // This run asks for something else at update 5.
    run.mProber.Plan(5, [&run, &dir] {
        Zant::Buffer b;
        const bool read = run.app().LoadFileToBuffer(dir.File("file.txt"), b);
        b.SetData(std::string("new"));
        const bool saved = run.app().SaveBufferToFile(dir.File("written.txt"), b);
        return Flag(read) + Flag(saved);
    });
    testing::internal::CaptureStderr();
    for (int i = 0; i < 40; ++i)
        DemoTest::Pass(run.app());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("demo out of sync"), std::string::npos) << err;
    EXPECT_EQ(run.app().mDemoStreamState, Zant::DemoStreamState::Stopped);
    EXPECT_EQ(run.mLog.back(), "u5 00");
    EXPECT_FALSE(fs::exists(dir.File("written.txt")));
    EXPECT_EQ(run.app().mUpdateCount, 40); // updates no longer wait for records
    EXPECT_TRUE(run.app().mPlayingDemoBuffer); // the run stays a playback to its end
}

// A file cut at a record boundary opens (every record in it is whole), but its
// records end before the recorded run's last update: out of step there, not finished.
TEST(DemoPlayback, AStreamCutAtARecordBoundaryIsOutOfStepWhereItEnds)
{
    TestSupport::TempDir dir("plindor-demo");
    const std::string demoFile = dir.File("cut.dmo");
    Record<DemoRun>(
        demoFile,
        [&](DemoRun& run) {
            run.Send(Msg::KeyDown, 65);
            run.Send(Msg::KeyUp, 65);
        },
        30);
    Zant::DemoFileContents demo;
    std::string error;
    ASSERT_TRUE(Zant::DecodeDemoFile(TestSupport::ReadFile(demoFile), "1.01", demo, error)) << error;
    // Keep the records up to the key's release: the bits of whole records, padded.
    Zant::Buffer whole, copier;
    whole.SetData(demo.mStream);
    copier.SetData(demo.mStream);
    Zant::Buffer cut;
    int update = 0;
    for (;;) {
        const size_t start = whole.GetReadBitPos();
        Zant::DemoRecordHeader header;
        Zant::DemoRecordData data;
        ASSERT_TRUE(Zant::ReadDemoRecordHeader(whole, header) && Zant::ReadDemoRecordData(whole, header, data));
        update += header.mDelta;
        for (size_t bit = start; bit < whole.GetReadBitPos(); ++bit)
            cut.WriteNumBits(copier.ReadNumBits(1, false), 1);
        if (!header.mShort && header.mCode == Zant::DEMO_KEY_UP)
            break;
    }
    ASSERT_LT(update, demo.mTotalUpdates);
    demo.mStream = cut.ToString();
    demo.mProductVersion = "1.01";
    TestSupport::WriteFile(demoFile, Zant::EncodeDemoFile(demo));

    DemoRun run(demoFile);
    ASSERT_TRUE(run.app().OpenDemoFile(error)) << error;
    testing::internal::CaptureStderr();
    for (int i = 0; i < 40 && !run.app().mShutdown; ++i)
        DemoTest::Pass(run.app());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("demo out of sync: the records end at update " + std::to_string(update) + " of " +
                       std::to_string(demo.mTotalUpdates)),
              std::string::npos)
        << err;
    EXPECT_EQ(err.find("finished"), std::string::npos) << err;
    EXPECT_EQ(run.app().mDemoStreamState, Zant::DemoStreamState::Stopped);
}

namespace {

// An application whose loading-completed hook asks for a result, as the game's does.
class HookApp : public Zant::ZantApp {
public:
    void LoadingCompleted() override { mHookLog.push_back(mUpdateCount * 10 + (FileExists(mProbe) ? 1 : 0)); }
    std::string mProbe;
    std::vector<int> mHookLog;
};
using HookRun = DemoTest::BasicDemoRun<HookApp>;

} // namespace

TEST(DemoPlayback, TheLoadingHookGetsItsResultsWhicheverSideFinishesLoadingFirst)
{
    TestSupport::TempDir dir("plindor-demo");
    const std::string demoFile = dir.File("loading.dmo");
    const std::string probe = dir.File("probe.txt");
    TestSupport::WriteFile(probe, "x");
    std::vector<int> recorded;
    DemoTest::Log recordedLog;
    {
        HookRun run(demoFile);
        run.app().mRecordingDemoBuffer = true;
        run.app().mProbe = probe;
        run.app().mLoaded = false;
        for (int i = 0; i < 30; ++i) {
            if (i == 5)
                run.app().mLoaded = true; // the loading thread finishes
            if (i == 5 || i == 6)
                run.Send(Msg::KeyDown, 70 + i);
            DemoTest::Pass(run.app());
        }
        recorded = run.app().mHookLog;
        recordedLog = run.mLog;
    }
    ASSERT_EQ(recorded, std::vector<int>{51});
    std::remove(probe.c_str());

    for (int localLoadingDone : {0, 3, 12}) {
        HookRun run(demoFile);
        std::string error;
        ASSERT_TRUE(run.app().OpenDemoFile(error)) << error;
        run.app().mProbe = probe;
        run.app().mLoaded = false;
        for (int i = 0; i < 40 && !run.app().mShutdown; ++i) {
            if (i == localLoadingDone)
                run.app().mLoaded = true;
            DemoTest::Pass(run.app());
        }
        EXPECT_EQ(run.app().mHookLog, recorded) << localLoadingDone;
        EXPECT_EQ(run.mLog, recordedLog) << localLoadingDone;
        // Ended by the close the recording ends with, never out of step.
        EXPECT_TRUE(run.app().mShutdown) << localLoadingDone;
        EXPECT_EQ(run.app().mDemoStreamState, Zant::DemoStreamState::Records) << localLoadingDone;
    }
}

TEST(DemoPlayback, ARecordingEndedByTheSessionEndsWhereItDid)
{
    TestSupport::TempDir dir("plindor-demo");
    const std::string demoFile = dir.File("session.dmo");
    int total = 0;
    {
        DemoRun run(demoFile);
        run.app().mRecordingDemoBuffer = true;
        run.app().LoadSettings(); // settings are saved at shutdown: records after it
        for (int i = 0; i < 12; ++i)
            DemoTest::Pass(run.app());
        run.Send(Msg::EndSession);
        DemoTest::RunToEnd(run.app());
        run.app().SaveSettings(); // the main loop's own save after it ends
        total = run.app().mUpdateCount;
    }
    DemoRun run(demoFile);
    std::string error;
    ASSERT_TRUE(run.app().OpenDemoFile(error)) << error;
    run.app().LoadSettings();
    testing::internal::CaptureStderr();
    DemoTest::RunToEnd(run.app(), 100);
    run.app().SaveSettings();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(run.app().mShutdown);
    EXPECT_EQ(run.app().mUpdateCount, total);
    EXPECT_EQ(err.find("out of sync"), std::string::npos) << err;
}

TEST(DemoPlayback, ViewerKeys)
{
    Zant::ZantApp app;
    app.mDemoLength = 30000;
    app.mMusicVolume = 0.5;
    app.mSfxVolume = 0.25;
    struct {
        char key;
        double speed;
        int target;
    } keys[] = {
        {'+', 1.5, 0}, {'-', 1.0, 0}, {'-', 2.0 / 3.0, 0}, {'=', 1.0, 0}, {'0', 1.0, 30000},
        {'4', 1.0, 18000}, {'5', 1.0, 21000}, {'6', 1.0, 24000}, {'7', 1.0, 27000}, {'8', 1.0, 29000},
        {'9', 1.0, 29500},
    };
    for (const auto& k : keys) {
        EXPECT_TRUE(app.HandleDemoPlaybackKey(k.key)) << k.key;
        EXPECT_NEAR(app.mUpdateMultiplier, k.speed, 1e-9) << k.key;
        EXPECT_EQ(app.mDemoAdvanceToUpdate, k.target) << k.key;
    }
    EXPECT_FALSE(app.HandleDemoPlaybackKey('x'));
    EXPECT_TRUE(app.HandleDemoPlaybackKey('L')); // nothing to choose: no marker lies ahead
    EXPECT_EQ(app.mDemoAdvanceToUpdate, 29500);

    EXPECT_TRUE(app.HandleDemoPlaybackKey('p'));
    EXPECT_TRUE(app.mPaused);
    EXPECT_TRUE(app.HandleDemoPlaybackKey('P'));
    EXPECT_FALSE(app.mPaused);
    EXPECT_TRUE(app.HandleDemoPlaybackKey('m'));
    EXPECT_TRUE(app.mFastForwardToMarker);

    EXPECT_TRUE(app.HandleDemoPlaybackKey('s'));
    EXPECT_EQ(app.mMusicVolume, 0.0);
    EXPECT_EQ(app.mSfxVolume, 0.0);
    EXPECT_TRUE(app.HandleDemoPlaybackKey('S'));
    EXPECT_EQ(app.mMusicVolume, 0.5);
    EXPECT_EQ(app.mSfxVolume, 0.25);

    // Holding '-' never brings the frame step beyond what the pacing can take.
    for (int i = 0; i < 200; ++i)
        app.HandleDemoPlaybackKey('-');
    EXPECT_GT(app.mUpdateMultiplier, 0.0);
    EXPECT_LE(app.mFrameTime / app.mUpdateMultiplier, 1e6);
}

TEST(DemoPlayback, TimeLeftAndMarkerList)
{
    Zant::ZantApp app;
    app.mDemoLength = 30000;
    EXPECT_EQ(app.DemoTimeRemainingText(), "00:05:00");
    app.mUpdateCount = 29999;
    EXPECT_EQ(app.DemoTimeRemainingText(), "00:00:00");
    app.mDemoLength = 400000;
    app.mUpdateCount = 40000;
    EXPECT_EQ(app.DemoTimeRemainingText(), "01:00:00");

    app.mDemoMarkerList = {{"start", 30000}, {"boss", 394000}, {"end", 399999}};
    std::vector<int> updates;
    EXPECT_EQ(app.DemoMarkerListEntries(&updates),
              (std::vector<std::string>{"boss (00:01:00)", "end (00:00:00)"}));
    EXPECT_EQ(updates, (std::vector<int>{394000, 399999}));
    app.ChooseDemoMarker(394000);
    EXPECT_EQ(app.mDemoAdvanceToUpdate, 394000);
    app.ChooseDemoMarker(30000); // behind: no jump back
    EXPECT_EQ(app.mDemoAdvanceToUpdate, 394000);
}

TEST(DemoPlayback, TransfersTakeTheirOwnResults)
{
    TestSupport::TempDir dir("plindor-demo");
    const std::string demoFile = dir.File("http.dmo");
    const std::string big(70000, 'r'); // beyond a 16-bit length
    Record<DemoRun>(
        demoFile,
        [&big](DemoRun& run) {
            run.mProber.Plan(2, [&run] {
                run.app().DemoRecordTransferResult(7, 2, "");
                return std::string("sent");
            });
            run.mProber.Plan(4, [&run, &big] {
                run.app().DemoRecordTransferResult(7, 0, big);
                run.app().DemoRecordTransferResult(8, 5, "");
                return std::string("sent");
            });
        },
        10);

    DemoRun run(demoFile);
    std::string error;
    ASSERT_TRUE(run.app().OpenDemoFile(error)) << error;
    auto poll = [&run](uint32_t id) {
        int code = -1;
        std::string content;
        if (!run.app().DemoTakeTransferResult(id, code, content))
            return std::string("-");
        return std::to_string(code) + ":" + std::to_string(content.size());
    };
    // Polls in this order, within one update.
    auto polls = [&poll](std::vector<uint32_t> ids) {
        std::string out;
        for (uint32_t id : ids)
            out += (out.empty() ? "" : " ") + poll(id);
        return out;
    };
    run.mProber.Plan(1, [&] { return polls({7}); });
    run.mProber.Plan(2, [&] { return polls({8, 7, 7}); });
    run.mProber.Plan(4, [&] { return polls({8, 7, 8}); });
    for (int i = 0; i < 8; ++i)
        DemoTest::Pass(run.app());
    EXPECT_EQ(run.mLog, (DemoTest::Log{"u0 focus", "u1 -", "u2 - 2:0 -", "u4 - 0:70000 5:0"}));
    EXPECT_NE(run.app().mDemoStreamState, Zant::DemoStreamState::Stopped); // every record was taken in step
}

TEST(DemoPlayback, DecisionsOfTheRecordedRunStand)
{
    TestSupport::TempDir dir("plindor-demo");
    const std::string demoFile = dir.File("decide.dmo");
    Record<DemoRun>(
        demoFile,
        [](DemoRun& run) {
            run.app().mLastVerCheckQueryTime = 0; // never checked: a check is due
            run.app().DecideUpdateCheckDue();
            EXPECT_TRUE(run.app().mStartUpdateCheckDue);
            EXPECT_FALSE(run.app().OpenWebPage("file:///etc/passwd", false)); // no web page
        },
        5);

    DemoRun run(demoFile);
    std::string error;
    ASSERT_TRUE(run.app().OpenDemoFile(error)) << error;
    run.app().mDontUpdate = true; // this machine would say no
    run.app().DecideUpdateCheckDue();
    EXPECT_TRUE(run.app().mStartUpdateCheckDue);
    EXPECT_FALSE(run.app().OpenWebPage("file:///etc/passwd", false));
    EXPECT_FALSE(run.app().mWebPageOpenPending);
    EXPECT_EQ(run.app().mDemoStreamState, Zant::DemoStreamState::Records);
}

TEST(DemoPlayback, PropertiesAndTheirVerdictComeFromTheRecording)
{
    TestSupport::TempDir dir("plindor-demo");
    const std::string demoFile = dir.File("props.dmo");
    const std::string props = dir.File("partner.xml");
    TestSupport::WriteFile(props, TestSupport::ReadFile(TestSupport::GameDir() + "/properties/partner.xml"));
    TestSupport::WriteFile(props + ".sig", TestSupport::ReadFile(TestSupport::GameDir() + "/properties/partner.xml.sig"));
    Record<DemoRun>(
        demoFile, [&props](DemoRun& run) { EXPECT_TRUE(run.app().LoadPropertiesFile(props)); }, 3);

    // The replaying machine has another file and no signature at all.
    TestSupport::WriteFile(props, "<Properties><String id=\"ProdName\">Other</String></Properties>");
    std::remove((props + ".sig").c_str());
    DemoRun run(demoFile);
    std::string error;
    ASSERT_TRUE(run.app().OpenDemoFile(error)) << error;
    EXPECT_TRUE(run.app().LoadPropertiesFile(props));
    EXPECT_TRUE(run.mBoxes.shown.empty());
    EXPECT_EQ(run.app().LookupStringProperty("ProdName"), "Plindor");
    EXPECT_TRUE(run.app().LookupBoolProperty("DontUpdate", false));
}

TEST(DemoPlayback, ARunThatQuitsByItselfQuitsAtTheSameUpdateOnPlayback)
{
    // The game's own quit command shuts down during an update; the settings it
    // saves then follow the close that marks the recorded run's end.
    TestSupport::TempDir dir("plindor-demo");
    const std::string demoFile = dir.File("quit.dmo");
    auto plan = [](DemoRun& run) {
        run.mProber.Plan(7, [&run] {
            run.app().Shutdown();
            return std::to_string(run.app().mMusicVolume);
        });
    };
    Record<DemoRun>(
        demoFile,
        [&plan](DemoRun& run) {
            run.app().LoadSettings();
            plan(run);
        },
        50);

    DemoRun run(demoFile);
    std::string error;
    ASSERT_TRUE(run.app().OpenDemoFile(error)) << error;
    run.app().LoadSettings();
    plan(run);
    testing::internal::CaptureStderr();
    DemoTest::RunToEnd(run.app(), 50);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(run.app().mUpdateCount, 7);
    EXPECT_EQ(err.find("out of sync"), std::string::npos) << err;
    EXPECT_EQ(run.app().mDemoStreamState, Zant::DemoStreamState::AtEnd); // every record taken
}

// A profile save the recorded run could not make (its store could not be written) is
// not made on playback either, where the store would take it: the data file stays
// behind in both, the playback stays in step, and only the recorded run tells the
// player.
TEST(DemoPlayback, AProfileSaveThatFailedFailsAgainOnPlayback)
{
    using GameRun = DemoTest::BasicDemoRun<Zant::WinBTApp>;
    TestSupport::TempDir dir("plindor-demo");
    const std::string demoFile = dir.File("save.dmo");
    // Both runs: a profile manager over the store, Ann listed, one save that meets a
    // full disk and one after it.
    auto saves = [](GameRun& run, bool recording) {
        delete Zant::gGameRandom;
        Zant::gGameRandom = new Zant::MersenneTwister(7);
        Zant::UserProfileMgr mgr(&run.app());
        auto* ann = new Zant::UserProfile(&run.app());
        ann->mName = "Ann";
        mgr.AddUserProfile(ann);
        run.mStore->SetFailWrites(recording);
        mgr.WriteUserProfileToRegistry(ann, false, false);
        run.mStore->SetFailWrites(false);
        const bool behind = ann->mDataFileBehind;
        mgr.WriteUserProfileToRegistry(ann, false, true);
        const bool caughtUp = !ann->mDataFileBehind;
        delete Zant::gGameRandom;
        Zant::gGameRandom = nullptr;
        return std::make_pair(behind, caughtUp);
    };
    {
        GameRun run(demoFile);
        run.mStore->CreateKey("SOFTWARE\\Vorlix\\DemoTest");
        run.app().mRecordingDemoBuffer = true;
        EXPECT_EQ(saves(run, true), std::make_pair(true, true));
        ASSERT_EQ(run.mBoxes.shown.size(), 1u);
        EXPECT_EQ(run.mBoxes.shown[0].text, Zant::UserProfileMgr::PROFILE_NOT_SAVED_TEXT);
        DemoTest::Pass(run.app());
    }
    fs::remove_all(Platform::UserDataFolder() + "/users");
    GameRun run(demoFile);
    std::string error;
    ASSERT_TRUE(run.app().OpenDemoFile(error)) << error;
    EXPECT_EQ(saves(run, false), std::make_pair(true, true));
    EXPECT_TRUE(run.mBoxes.shown.empty());
    EXPECT_EQ(run.app().mDemoStreamState, Zant::DemoStreamState::Records);
}
