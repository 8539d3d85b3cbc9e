// The demo file: its header, the bits of its records, and what playback does with
// files that are missing, damaged or made for another version.
#include <gtest/gtest.h>

#include <string>

#include "framework/app/DemoFormat.h"
#include "tests/demo/DemoTestSupport.h"
#include "tests/support/TestSupport.h"

using Platform::Msg;
using Zant::Buffer;

namespace {

std::string U32(uint32_t v)
{
    std::string s;
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

std::string U16(uint32_t v)
{
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}

// A stream of one key record at update 0, padded to a byte.
std::string KeyStream(int code = Zant::DEMO_KEY_DOWN, int delta = 0)
{
    Buffer b;
    Zant::WriteDemoRecordHeader(b, delta, false, code);
    b.WriteNumBits(65, 8);
    return b.ToString();
}

// Header fields put together by hand: magic, version, seed, version text, the
// marker block (left out when markers is null), the total and the stream.
std::string File(uint32_t version, const std::string& text, const std::string* markers, uint32_t total,
                 const std::string& stream, uint32_t magic = Zant::DEMO_MAGIC)
{
    std::string f = U32(magic) + U32(version) + U32(777) + U16(static_cast<uint32_t>(text.size())) + text;
    if (markers)
        f += U32(static_cast<uint32_t>(markers->size())) + *markers;
    return f + U32(total) + stream;
}

// Reads the next n bits of a recorded stream.
int Bits(Buffer& b, int n, bool signExtend = false) { return b.ReadNumBits(n, signExtend); }

} // namespace

TEST(DemoFile, OpeningChecksEveryPartOfTheFile)
{
    const std::string noMarkers = U32(0);
    const std::string oneMarker = U32(1) + U16(5) + "start" + U32(12);
    const std::string shortBlock = U32(2) + U16(5) + "start" + U32(12); // says two, holds one
    const std::string invalid = "Invalid demo file.";
    Buffer badLength;
    Zant::WriteDemoRecordHeader(badLength, 0, false, Zant::DEMO_FILE_READ);
    badLength.WriteNumBits(1, 1);
    badLength.WriteLong(1000); // more bytes than the stream holds

    struct {
        const char* name;
        std::string file;
        std::string error; // empty: opens
    } cases[] = {
        {"valid", File(2, "1.01", &noMarkers, 5, KeyStream()), ""},
        {"markers", File(2, "1.01", &oneMarker, 5, KeyStream()), ""},
        {"version 1 has no marker block", File(1, "1.01", nullptr, 5, KeyStream()), ""},
        {"empty file", "", invalid},
        {"bad magic", File(2, "1.01", &noMarkers, 5, KeyStream(), 0x42BEEF79), invalid},
        {"cut in the header", File(2, "1.01", &noMarkers, 5, KeyStream()).substr(0, 15), invalid},
        {"other product version", File(2, "1.00", &noMarkers, 5, KeyStream()),
         "This demo file appears to be for '1.00'"},
        {"damaged product version is shown escaped", File(2, std::string("1.\x01\xff\n", 5), &noMarkers, 5, KeyStream()),
         "This demo file appears to be for '1.\\x01\\xFF\\x0A'"},
        {"format version 3 is not known", File(3, "1.01", &noMarkers, 5, KeyStream()), invalid},
        {"format version 0 is not known", File(0, "1.01", nullptr, 5, KeyStream()), invalid},
        {"block longer than the file", File(2, "1.01", &noMarkers, 5, KeyStream()).replace(18, 4, U32(1000)),
         invalid},
        {"block length -1", File(2, "1.01", &noMarkers, 5, KeyStream()).replace(18, 4, U32(0xFFFFFFFF)), invalid},
        {"fewer markers than counted", File(2, "1.01", &shortBlock, 5, KeyStream()), invalid},
        {"no stream", File(2, "1.01", &noMarkers, 5, ""), invalid},
        {"unknown record code", File(2, "1.01", &noMarkers, 5, KeyStream(25)), invalid},
        {"record after the last update", File(2, "1.01", &noMarkers, 5, KeyStream(Zant::DEMO_KEY_DOWN, 6)), invalid},
        {"length beyond the stream", File(2, "1.01", &noMarkers, 5, badLength.ToString()), invalid},
        {"bits after the last record", File(2, "1.01", &noMarkers, 5, KeyStream() + "\x01"), invalid},
        {"two loading records",
         File(2, "1.01", &noMarkers, 5, [] {
             Buffer b;
             Zant::WriteDemoRecordHeader(b, 0, false, Zant::DEMO_LOADING_FINISHED);
             Zant::WriteDemoRecordHeader(b, 1, false, Zant::DEMO_LOADING_FINISHED);
             return b.ToString();
         }()),
         invalid},
    };
    TestSupport::TempDir dir("plindor-demo");
    for (const auto& c : cases) {
        TestSupport::WriteFile(dir.File("x.dmo"), c.file);
        Zant::ZantApp app;
        app.mProductVersion = "1.01";
        app.mDemoFileName = dir.File("x.dmo");
        std::string error;
        EXPECT_EQ(app.OpenDemoFile(error), c.error.empty()) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
        EXPECT_EQ(app.mPlayingDemoBuffer, c.error.empty()) << c.name;
        if (c.error.empty()) {
            EXPECT_EQ(app.mRandSeed, 777u) << c.name;
            EXPECT_EQ(app.mDemoLength, 5) << c.name;
        }
    }

    Zant::ZantApp app;
    app.mDemoFileName = "x.dmo";
    std::string error;
    EXPECT_FALSE(app.OpenDemoFile(error));
    EXPECT_EQ(error, "Demo file not found: x.dmo");
}

TEST(DemoFile, SavedFileHasTheHeaderAndMarkerBlockPlaybackReads)
{
    TestSupport::TempDir dir("plindor-demo");
    {
        Zant::ZantApp app;
        app.mProductVersion = "1.01";
        app.mRecordingDemoBuffer = true;
        app.mDemoFileName = dir.File("saved.dmo");
        app.mRandSeed = 0x01020304;
        app.DemoRecordInput({Msg::KeyDown, 65, 0});
        app.mUpdateCount = 9;
    } // written as the application goes
    const std::string file = TestSupport::ReadFile(dir.File("saved.dmo"));
    const std::string header = U32(Zant::DEMO_MAGIC) + U32(2) + U32(0x01020304) + U16(4) + "1.01" +
                               U32(4) + U32(0) + U32(9); // an empty marker block: 04 00 00 00 00 00 00 00
    EXPECT_EQ(file.substr(0, header.size()), header);
    // The key, then the close every recording ends with, at its last update.
    Buffer stream;
    Zant::WriteDemoRecordHeader(stream, 0, false, Zant::DEMO_KEY_DOWN);
    stream.WriteNumBits(65, 8);
    Zant::WriteDemoRecordHeader(stream, 9, false, Zant::DEMO_CLOSE);
    EXPECT_EQ(file.substr(header.size()), stream.ToString());

    Zant::ZantApp player;
    player.mProductVersion = "1.01";
    player.mDemoFileName = dir.File("saved.dmo");
    std::string error;
    EXPECT_TRUE(player.OpenDemoFile(error)) << error;
    EXPECT_EQ(player.mDemoLength, 9);
}

TEST(DemoFile, AFileThatCannotBeWrittenIsReported)
{
    TestSupport::TempDir dir("plindor-demo");
    Zant::ZantApp app;
    app.mRecordingDemoBuffer = true;
    app.mDemoFileName = dir.File("no/such/folder/x.dmo");
    app.DemoRecordInput({Msg::KeyDown, 65, 0});
    testing::internal::CaptureStderr();
    app.SaveDemoFile();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Unable to write demo file: " + app.mDemoFileName),
              std::string::npos);
}

TEST(DemoStream, LongGapsAreBridgedByFillers)
{
    Zant::ZantApp app;
    app.mRecordingDemoBuffer = true;
    app.DemoRecordInput({Msg::KeyDown, 65, 0});
    app.mUpdateCount = 40;
    app.DemoRecordInput({Msg::KeyUp, 65, 0});
    app.mUpdateCount = 55; // exactly 15 later: no filler
    app.DemoRecordInput({Msg::Char, 'a', 0});

    Buffer& b = *app.mDemoBuffer;
    b.SeekFront();
    EXPECT_EQ(Bits(b, 4), 0);
    EXPECT_EQ(Bits(b, 1), 0);
    EXPECT_EQ(Bits(b, 5), Zant::DEMO_KEY_DOWN);
    EXPECT_EQ(Bits(b, 8), 65);
    for (int filler = 0; filler < 2; ++filler) {
        EXPECT_EQ(Bits(b, 4), 15);
        EXPECT_EQ(Bits(b, 1), 0);
        EXPECT_EQ(Bits(b, 5), Zant::DEMO_FILLER);
    }
    EXPECT_EQ(Bits(b, 4), 10);
    EXPECT_EQ(Bits(b, 1), 0);
    EXPECT_EQ(Bits(b, 5), Zant::DEMO_KEY_UP);
    EXPECT_EQ(Bits(b, 8), 65);
    EXPECT_EQ(Bits(b, 4), 15);
    EXPECT_EQ(Bits(b, 1), 0);
    EXPECT_EQ(Bits(b, 5), Zant::DEMO_KEY_CHAR);
    EXPECT_EQ(Bits(b, 8), 'a');
    EXPECT_LT(Zant::DemoBitsLeft(b), 8u); // the padding of the last byte
}

TEST(DemoStream, MouseMovesAreShortWhenTheyFitAndPositionsKeepTheirSign)
{
    struct {
        int x, y;
        bool written;
        bool isShort;
        int a, b; // dx, dy or x, y
    } moves[] = {
        {100, 100, true, false, 100, 100}, // from (0, 0)
        {131, 69, true, true, 31, -31},
        {131, 69, false, true, 0, 0}, // a message without movement writes no move
        {163, 69, true, false, 163, 69},
        {-5, 10, true, false, -5, 10},
        {-3000, 5000, true, false, -2048, 2047}, // beyond 12 bits: kept at the edge
        {-2047, 2047, true, true, 1, 0},
    };
    Zant::ZantApp app;
    app.mRecordingDemoBuffer = true;
    for (const auto& m : moves)
        app.DemoRecordInput({Msg::MouseMove, 0, Platform::PackMousePos(m.x, m.y)});
    app.DemoRecordInput({Msg::RButtonDblClk, 0, Platform::PackMousePos(-2047, 2047)});

    Buffer& b = *app.mDemoBuffer;
    b.SeekFront();
    for (const auto& m : moves) {
        if (!m.written)
            continue;
        Zant::DemoRecordHeader header;
        Zant::DemoRecordData data;
        ASSERT_TRUE(Zant::ReadDemoRecordHeader(b, header));
        ASSERT_TRUE(Zant::ReadDemoRecordData(b, header, data));
        EXPECT_EQ(header.mShort, m.isShort) << m.x << "," << m.y;
        EXPECT_EQ(header.mCode, 0);
        EXPECT_EQ(data.mX, m.a) << m.x << "," << m.y;
        EXPECT_EQ(data.mY, m.b) << m.x << "," << m.y;
    }
    // A click where the mouse already is: the button record alone.
    Zant::DemoRecordHeader header;
    Zant::DemoRecordData data;
    ASSERT_TRUE(Zant::ReadDemoRecordHeader(b, header) && Zant::ReadDemoRecordData(b, header, data));
    EXPECT_TRUE(header.mShort && header.mCode == Zant::DEMO_SHORT_MOUSE_BUTTON);
    EXPECT_TRUE(data.mDown);
    EXPECT_EQ(data.mButton, -2);
}

TEST(DemoFile, DamagedFilesAreRefusedOrPlayWithoutHarm)
{
    // A short recording with input and outside results, then every truncation and
    // every single-bit change of its file: each is refused with one of the two
    // messages, or plays to its end (or until it falls out of step) writing nothing.
    TestSupport::TempDir dir("plindor-demo");
    const std::string demoFile = dir.File("good.dmo");
    const std::string target = dir.File("out/saved.dat");
    {
        DemoTest::DemoRun run(demoFile);
        run.app().mRecordingDemoBuffer = true;
        run.app().mProductVersion = "1.01";
        run.mProber.Plan(2, [&run, &target] {
            Zant::Buffer b;
            b.SetData(std::string("data"));
            return std::to_string(run.app().SaveBufferToFile(target, b)) +
                   std::to_string(run.app().WriteRegistryInt("Value", 3));
        });
        run.Send(Msg::KeyDown, 65);
        run.SendMouse(Msg::LButtonDown, 40, 40);
        for (int i = 0; i < 4; ++i)
            DemoTest::Pass(run.app());
        run.Send(Msg::Close);
        DemoTest::RunToEnd(run.app());
    }
    const std::string good = TestSupport::ReadFile(demoFile);
    std::remove(target.c_str());

    std::vector<std::string> variants;
    for (size_t n = 0; n < good.size(); ++n)
        variants.push_back(good.substr(0, n));
    for (size_t bit = 0; bit < good.size() * 8; ++bit) {
        std::string v = good;
        v[bit / 8] = static_cast<char>(v[bit / 8] ^ (1 << (bit % 8)));
        variants.push_back(v);
    }
    int played = 0;
    for (const std::string& v : variants) {
        const std::string path = dir.File("bad.dmo");
        TestSupport::WriteFile(path, v);
        Platform::SettingsStore store;
        const std::string emptyStore = store.Serialize();
        DemoTest::DemoRun run(path, &store);
        run.app().mProductVersion = "1.01";
        std::string error;
        if (!run.app().OpenDemoFile(error)) {
            EXPECT_TRUE(error == "Invalid demo file." || error.rfind("This demo file appears to be for '", 0) == 0)
                << error;
            continue;
        }
        ++played;
        testing::internal::CaptureStderr();
        DemoTest::RunToEnd(run.app(), 300);
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(store.Serialize(), emptyStore);
    }
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_GT(played, 0);
}
