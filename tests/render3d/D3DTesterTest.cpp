// The 3D capability test against a recording device and an in-memory cache: the
// memory rules, the driver rule, the cache's hits and re-tests, the texture formats,
// demo playback, and blend results read back wrong.
#include <gtest/gtest.h>

#include <map>

#include "framework/graphics/D3DTester.h"
#include "platform/display/RecordingRenderDevice.h"
#include "tests/render3d/LaterDrawing.h"

using namespace Zant;
using Platform::RecordingRenderDevice;

namespace {

class MemoryHost : public D3DTestHost {
public:
    bool IsPlayingDemo() override { return playing; }
    void DemoSyncText(std::string& text) override
    {
        if (playing) {
            text = recorded.front();
            recorded.erase(recorded.begin());
        } else {
            synced.push_back(text);
        }
    }
    bool OpenCache() override { return true; }
    bool ReadCacheInt(const std::string& name, int& value) override
    {
        auto it = ints.find(name);
        if (it == ints.end())
            return false;
        value = it->second;
        return true;
    }
    bool ReadCacheBytes(const std::string& name, std::vector<uint8_t>& bytes, int maxLength) override
    {
        auto it = blobs.find(name);
        if (it == blobs.end() || int(it->second.size()) > maxLength)
            return false;
        bytes = it->second;
        return true;
    }
    void WriteCacheInt(const std::string& name, int value) override
    {
        ints[name] = value;
        ++writes;
    }
    void WriteCacheBytes(const std::string& name, const std::vector<uint8_t>& bytes, bool) override
    {
        blobs[name] = bytes;
        ++writes;
    }

    bool playing = false;
    std::vector<std::string> recorded, synced;
    std::map<std::string, int> ints;
    std::map<std::string, std::vector<uint8_t>> blobs;
    int writes = 0;
};

// A card that blends as the renderer expects: each test reads back its expected
// colour, and the clip test its stripes.
uint32_t GoodCard(int read, int x, int)
{
    static const uint32_t expected[] = {0x7F007F, 0x808080, 0x808080, 0x7F007F};
    return read <= 4 ? expected[read - 1] : (x % 2 ? 0xFFFFFF : 0x000000);
}

class Tester : public ::testing::Test {
protected:
    D3DTestInput Input(int64_t videoMemory = int64_t(256) << 20)
    {
        D3DTestInput in;
        in.device = [this] { return &device; };
        in.desktopBits = 32;
        in.desktopWidth = 1024;
        in.desktopHeight = 768;
        in.videoMemoryBytes = videoMemory;
        return in;
    }
    void Run(D3DTester& tester, const D3DTestInput& in) { tester.TestD3D(in); }

    RecordingRenderDevice device;
    MemoryHost host;
};

} // namespace

TEST_F(Tester, MemoryAndDriverRules)
{
    device.onRead = GoodCard;
    const struct {
        const char* description;
        int64_t videoMemory;
        const char* failure;
        const char* warning;
    } cases[] = {
        // 3 MB of desktop and 8 MB of card make 11: below the recommended 14.
        {"opengl NVIDIA Corporation GeForce", int64_t(8) << 20, "", "Low video memory."},
        {"opengl Mesa llvmpipe", int64_t(8) << 20, "", "Unsupported video card."},
        {"opengl NVIDIA", int64_t(2) << 20, "Not enough video memory.", ""},
        {"opengl AMD Radeon RX", int64_t(256) << 20, "", ""},
        {"opengl ATI Technologies Inc.", int64_t(256) << 20, "", ""},
        {"software", int64_t(256) << 20, "", "Unsupported video card."},
    };
    for (const auto& c : cases) {
        host = MemoryHost();
        device.reads = 0;
        device.caps.description = c.description;
        D3DTester tester(&host);
        Run(tester, Input(c.videoMemory));
        EXPECT_EQ(tester.mFailureReason, c.failure) << c.description;
        EXPECT_EQ(tester.mWarning, c.warning) << c.description;
    }
}

TEST_F(Tester, MatchingCacheDrawsNothingAndKeepsItsTexts)
{
    device.onRead = GoodCard;
    device.caps.description = "opengl Mesa llvmpipe";
    {
        D3DTester first(&host);
        Run(first, Input());
        EXPECT_TRUE(first.mFreshResult);
        EXPECT_EQ(host.writes, 6);
        EXPECT_EQ(host.ints["Version"], 2);
        EXPECT_EQ(host.blobs["DisplayGUID"].size(), 16u);
        EXPECT_EQ(host.blobs["Warning"].back(), 0) << "stored with its terminating zero";
    }
    device.draws.clear();
    device.textures.clear();
    host.writes = 0;
    D3DTester again(&host);
    Run(again, Input());
    EXPECT_FALSE(again.mFreshResult);
    EXPECT_TRUE(device.draws.empty());
    EXPECT_TRUE(device.textures.empty());
    EXPECT_EQ(host.writes, 0);
    EXPECT_EQ(again.mWarning, "Unsupported video card.");
    EXPECT_TRUE(again.IsSupported());
    EXPECT_FALSE(again.IsRecommended());
}

TEST_F(Tester, ChangedLimitsOrAdapterTestAgain)
{
    device.onRead = GoodCard;
    device.caps.description = "opengl NVIDIA";
    {
        D3DTester first(&host);
        Run(first, Input());
    }
    host.writes = 0;
    {
        D3DTester changed(&host);
        changed.SetVidMemoryConstraints(6, 20);
        Run(changed, Input());
        EXPECT_TRUE(changed.mFreshResult);
        EXPECT_EQ(host.writes, 6);
        EXPECT_EQ(host.ints["RecVidMemory"], 20);
    }
    device.caps.description = "opengl AMD Radeon";
    D3DTester other(&host);
    other.SetVidMemoryConstraints(6, 20);
    Run(other, Input());
    EXPECT_TRUE(other.mFreshResult);
}

// The display names its adapter without a device: a cached verdict for it never
// makes the device (which would load the graphics driver), a new adapter does.
TEST_F(Tester, AKnownAdapterMakesTheDeviceOnlyToDraw)
{
    device.onRead = GoodCard;
    device.caps.description = "opengl Mesa llvmpipe";
    int made = 0;
    auto input = [&](const char* adapter, bool hasDevice) {
        D3DTestInput in = Input();
        in.adapter = adapter;
        in.device = [&made, hasDevice, this]() -> Platform::RenderDevice* {
            ++made;
            return hasDevice ? &device : nullptr;
        };
        return in;
    };
    const struct {
        const char* adapter;
        bool hasDevice;
        bool fresh;
        int made;
        int writes;
        const char* failure;
        const char* warning;
    } runs[] = {
        // No device where the drawing must run: no verdict is cached.
        {"video x11\ncard0 0x10de", false, true, 1, 0, "No DirectDrawCreateEx", ""},
        {"video x11\ncard0 0x10de", true, true, 1, 6, "", "Unsupported video card."},
        {"video x11\ncard0 0x10de", true, false, 0, 0, "", "Unsupported video card."},
        {"video x11\ncard0 0x10de", false, false, 0, 0, "", "Unsupported video card."},
        {"video x11\ncard0 0x1002", true, true, 1, 6, "", "Unsupported video card."},
    };
    for (const auto& r : runs) {
        made = 0;
        host.writes = 0;
        device.reads = 0;
        D3DTester tester(&host);
        Run(tester, input(r.adapter, r.hasDevice));
        EXPECT_EQ(tester.mFreshResult, r.fresh) << r.adapter << " " << r.hasDevice;
        EXPECT_EQ(made, r.made) << r.adapter << " " << r.hasDevice;
        EXPECT_EQ(host.writes, r.writes) << r.adapter << " " << r.hasDevice;
        EXPECT_EQ(tester.mFailureReason, r.failure) << r.adapter << " " << r.hasDevice;
        EXPECT_EQ(tester.mWarning, r.warning) << r.adapter << " " << r.hasDevice;
    }
}

TEST_F(Tester, AdapterIdentityIsStable)
{
    EXPECT_EQ(D3DTester::AdapterId("opengl NVIDIA"), D3DTester::AdapterId("opengl NVIDIA"));
    EXPECT_NE(D3DTester::AdapterId("opengl NVIDIA"), D3DTester::AdapterId("opengl NVIDIA "));
}

TEST_F(Tester, TextureFormats)
{
    device.onRead = GoodCard;
    device.caps.description = "opengl NVIDIA";
    device.caps.argb8888 = false;
    {
        D3DTester tester(&host);
        Run(tester, Input());
        EXPECT_EQ(tester.mFailureReason, "");
        EXPECT_EQ(tester.mWarning, "A8R8G8B8 texture format not supported.");
    }
    device.caps.argb4444 = false;
    host = MemoryHost();
    D3DTester tester(&host);
    Run(tester, Input());
    EXPECT_EQ(tester.mFailureReason, "A4R4G4B4 and A8R8G8B8 texture formats not supported.");
}

TEST_F(Tester, BlendReadBackWrongFailsThatTest)
{
    device.caps.description = "opengl NVIDIA";
    const struct {
        std::function<uint32_t(int, int, int)> read;
        bool oneOne;
        const char* failure;
        const char* warning;
    } cases[] = {
        {[](int, int, int) { return 0x808080u; }, true, "Alpha blend Not Supported", ""},
        {[](int read, int x, int y) { return read == 2 ? 0x404040u : GoodCard(read, x, y); }, true,
         "Additive blend not supported.", ""},
        {GoodCard, false, "Additive blend not supported.", ""},
        {[](int read, int x, int y) { return read == 3 && x == 5 ? 0x828282u : GoodCard(read, x, y); }, true, "",
         "AlphaAdd blend test not uniform."},
        {[](int read, int x, int y) { return read == 5 ? 0xFFFFFFu : GoodCard(read, x, y); }, true, "",
         "Clip problem detected."},
    };
    for (const auto& c : cases) {
        host = MemoryHost();
        device.onRead = c.read;
        device.oneOneBlend = c.oneOne;
        device.reads = 0;
        D3DTester tester(&host);
        Run(tester, Input());
        EXPECT_EQ(tester.mFailureReason, c.failure);
        EXPECT_EQ(tester.mWarning, c.warning);
        EXPECT_EQ(host.blobs.count("FailureReason"), 1u) << "a failure found by drawing is cached too";
    }
}

TEST_F(Tester, DemoPlaybackTakesTheRecordedVerdict)
{
    host.playing = true;
    host.recorded = {"Alpha blend Not Supported", "Low video memory."};
    D3DTester tester(&host);
    Run(tester, Input());
    EXPECT_EQ(device.Calls(), 0);
    EXPECT_EQ(tester.mFailureReason, "Alpha blend Not Supported");
    EXPECT_EQ(tester.mWarning, "Low video memory.");
}

TEST_F(Tester, NoDeviceIsNoSupport)
{
    D3DTester tester(&host);
    D3DTestInput in = Input();
    in.device = nullptr;
    Run(tester, in);
    EXPECT_FALSE(tester.IsSupported());
    EXPECT_EQ(host.synced.size(), 2u) << "a recording keeps both texts";
}

namespace {

D3DDrawingVerdict Verdict(bool conclusive, const char* failure, const char* warning)
{
    D3DDrawingVerdict v;
    v.conclusive = conclusive;
    v.failureReason = failure;
    v.warning = warning;
    return v;
}

} // namespace

// The drawing elsewhere begins only when the verdict is first asked for, and the
// test concludes (cache, demo texts) only once its verdict is in; the device in this
// process is never made.
TEST_F(Tester, DrawingElsewhereConcludesWhenItsVerdictComesIn)
{
    RenderTest::LaterDrawing drawing;
    int made = 0;
    D3DTestInput in = Input();
    in.adapter = "video x11\ncard0 0x10de";
    in.drawing = &drawing;
    in.device = [&made, this] {
        ++made;
        return &device;
    };
    D3DTester tester(&host);
    EXPECT_FALSE(tester.Begin(in));
    EXPECT_TRUE(tester.Pending());
    EXPECT_TRUE(tester.mFreshResult);
    EXPECT_EQ(drawing.starts, 0) << "nothing starts before it is asked for";
    EXPECT_FALSE(tester.Finish(false));
    EXPECT_EQ(drawing.starts, 1);
    EXPECT_TRUE(tester.DrawingStarted());
    EXPECT_FALSE(tester.Finish(false));
    EXPECT_EQ(drawing.starts, 1) << "started once";
    EXPECT_EQ(host.writes, 0);
    EXPECT_TRUE(host.synced.empty());

    drawing.ready = true;
    drawing.verdict = Verdict(true, "", "Unsupported video card.");
    EXPECT_TRUE(tester.Finish(false));
    EXPECT_FALSE(tester.Pending());
    EXPECT_EQ(tester.mWarning, "Unsupported video card.");
    EXPECT_EQ(host.writes, 6);
    EXPECT_EQ(host.synced, (std::vector<std::string>{"", "Unsupported video card."}));
    EXPECT_EQ(made, 0);

    // The next start takes the cached verdict without drawing anywhere.
    RenderTest::LaterDrawing unused;
    in.drawing = &unused;
    D3DTester again(&host);
    EXPECT_TRUE(again.Begin(in));
    EXPECT_FALSE(again.mFreshResult);
    EXPECT_EQ(again.mWarning, "Unsupported video card.");
    EXPECT_TRUE(again.Finish(false));
    EXPECT_EQ(unused.starts, 0);
    EXPECT_EQ(made, 0);
}

// The drawing's verdict joins what the checks before it found: a later warning
// replaces an earlier one; no verdict (no device, or no start) is no support and is
// not cached.
TEST_F(Tester, DrawingElsewhereJoinsTheEarlierChecks)
{
    const struct {
        const char* what;
        int64_t videoMemory;
        bool startable;
        D3DDrawingVerdict verdict;
        const char* failure;
        const char* warning;
        int writes;
    } cases[] = {
        {"low memory, drawing fine", int64_t(8) << 20, true, Verdict(true, "", ""), "", "Low video memory.", 6},
        {"low memory, unknown card", int64_t(8) << 20, true, Verdict(true, "", "Unsupported video card."), "",
         "Unsupported video card.", 6},
        {"a crashed helper", int64_t(256) << 20, true, Verdict(true, "3D test crashed (signal 11).", ""),
         "3D test crashed (signal 11).", "", 6},
        {"no device", int64_t(256) << 20, true, Verdict(false, "", ""), "No DirectDrawCreateEx", "", 0},
        {"no helper", int64_t(256) << 20, false, Verdict(true, "", ""), "No DirectDrawCreateEx", "", 0},
    };
    for (const auto& c : cases) {
        host = MemoryHost();
        RenderTest::LaterDrawing drawing;
        drawing.startable = c.startable;
        drawing.verdict = c.verdict;
        D3DTestInput in = Input(c.videoMemory);
        in.adapter = "video x11";
        in.drawing = &drawing;
        D3DTester tester(&host);
        ASSERT_FALSE(tester.Begin(in)) << c.what;
        EXPECT_TRUE(tester.Finish(true)) << c.what;
        EXPECT_EQ(tester.mFailureReason, c.failure) << c.what;
        EXPECT_EQ(tester.mWarning, c.warning) << c.what;
        EXPECT_EQ(host.writes, c.writes) << c.what;
        EXPECT_EQ(host.synced.size(), 2u) << c.what;
    }
}

// While a demo plays the recorded verdict stands and nothing is drawn anywhere.
TEST_F(Tester, DemoPlaybackStartsNoDrawingElsewhere)
{
    host.playing = true;
    host.recorded = {"", "Unsupported video card."};
    RenderTest::LaterDrawing drawing;
    D3DTestInput in = Input();
    in.adapter = "video x11";
    in.drawing = &drawing;
    D3DTester tester(&host);
    EXPECT_TRUE(tester.Begin(in));
    EXPECT_EQ(drawing.starts, 0);
    EXPECT_EQ(tester.mWarning, "Unsupported video card.");
}
