// The sea's waves through the 3D renderer against a recording device: the wave's
// shift, the strips' vertices and texture coordinates, the tint, the clip and the
// translation of the context, which screens take the 3D path, and a frame drawn
// again allocating nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>

#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/WavyImage3D.h"
#include "platform/display/RecordingRenderDevice.h"
#include "tests/display/DisplayTestSupport.h"
#include "tests/render3d/TextureRegistry.h"
#include "tests/support/FakeScreenDisplay.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's runtime watches every allocation (its header is not shipped with
// every compiler, the function always is).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, size_t),
                                                         void (*onFree)(const volatile void*));
#define PLINDOR_COUNTS_ALLOCATIONS 1
#endif

using namespace Zant;
using Platform::RecordingRenderDevice;

namespace {

using Registry = RenderTest::TextureRegistry<D3DInterface>;

class WavySea : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(d3d.InitFromDevice(&device, 640, 480, true));
        registry.textures = &d3d;
        screen.Create(640, 480);
    }
    void TearDown() override
    {
        image.reset();
        registry.textures = nullptr;
    }

    // An image of one texture piece on the recording device (no pieces to cross).
    MemoryImage* Sea(int width, int height)
    {
        image = std::make_unique<MemoryImage>(&registry);
        std::vector<uint32_t> bits(size_t(width) * height, 0xFF2060A0);
        image->SetBits(bits.data(), width, height);
        return image.get();
    }

    RecordingRenderDevice device;
    D3DInterface d3d;
    Registry registry;
    MemoryImage screen;
    std::unique_ptr<MemoryImage> image;
};

double Area(const std::vector<Platform::RenderVertex>& fan)
{
    double twice = 0;
    for (size_t i = 0; i < fan.size(); ++i) {
        const auto& a = fan[i];
        const auto& b = fan[(i + 1) % fan.size()];
        twice += double(a.x) * b.y - double(b.x) * a.y;
    }
    return std::abs(twice) / 2;
}

} // namespace

TEST(WaveShift, CrestsAndTroughs)
{
    // k x 60 is a quarter turn: the crest of both waves at counter 0.
    const struct {
        double y;
        int counter;
        double amplitude, shift;
    } cases[] = {
        {0, 0, 4.0, 8.0},     // at rest: 2 x amplitude
        {60, 0, 4.0, 16.0},   // both crests: 4 x amplitude
        {180, 0, 5.0, 0.0},   // both troughs: nothing
        {60, 120, 4.0, 8.0},  // the second wave half a turn on: they cancel
        {0, 60, 4.0, 12.0},   // only the second at its crest
        {300, 0, 4.0, 16.0},  // one wave length (240) further down: the same crest
    };
    for (const auto& c : cases)
        EXPECT_NEAR(WaveShift(c.y, WaveMotion{c.amplitude, c.counter}), c.shift, 1e-4)
            << "y " << c.y << " counter " << c.counter;
}

TEST_F(WavySea, StripsReadTheImageShiftedByTheWaveAtTheirEdges)
{
    MemoryImage* sea = Sea(256, 40); // strips of 16, 16 and 8 rows
    const WaveMotion wave{4.5, 77};
    const Color tint(255, 255, 255, 200);
    Graphics g(&screen);
    DrawWavyImage3D(d3d, g, sea, 10, 20, 200, wave, tint);

    ASSERT_EQ(device.draws.size(), 6u) << "two triangles a strip";
    // Texture coordinates run over the texture, which is a power of two tall.
    const TexturePiece& piece = static_cast<ImageTextureSet*>(sea->mD3DData)->mPieces.at(0);
    ASSERT_EQ(piece.width, 256);
    ASSERT_EQ(piece.height, 64);
    double area = 0;
    for (const auto& draw : device.draws) {
        ASSERT_EQ(draw.vertices.size(), 3u) << "inside its piece: a plain triangle";
        EXPECT_EQ(draw.blend, Platform::BlendKind::Normal);
        EXPECT_TRUE(draw.linear);
        area += Area(draw.vertices);
        for (const auto& v : draw.vertices) {
            EXPECT_EQ(v.color, 0xC8FFFFFFu) << "the tint on every corner";
            // Edges half a pixel before the pixel centres; rows at strip edges.
            EXPECT_TRUE(v.x == 9.5f || v.x == 209.5f) << v.x;
            const float row = v.y + 0.5f - 20.0f;
            EXPECT_TRUE(row == 0 || row == 16 || row == 32 || row == 40) << row;
            EXPECT_NEAR(v.v * 64.0f, row, 1e-3) << "image row under the screen row";
            const double shift = WaveShift(20.0 + row, wave);
            EXPECT_NEAR(v.u * 256.0f, shift + (v.x - 9.5f), 1e-3) << "row " << row << " x " << v.x;
        }
    }
    EXPECT_NEAR(area, 200.0 * 40.0, 1e-2) << "the strips cover the copy once, without gaps";
}

TEST_F(WavySea, TheContextsTranslationAndClipPlaceTheStrips)
{
    MemoryImage* sea = Sea(256, 64);
    const WaveMotion wave{4.0, 0};
    Graphics g(&screen);
    g.Translate(5, 7);
    g.ClipRect(0, 20, 640, 20); // rows 27 to 46 of the screen: the copy's rows 20 to 39
    DrawWavyImage3D(d3d, g, sea, 0, 0, 100, wave, Color::White);
    ASSERT_EQ(device.draws.size(), 4u) << "only the strips the clip reaches";
    float top = 1e9f, bottom = -1e9f;
    for (const auto& draw : device.draws)
        for (const auto& v : draw.vertices) {
            top = std::min(top, v.y);
            bottom = std::max(bottom, v.y);
            EXPECT_TRUE(v.x == 4.5f || v.x == 104.5f) << v.x;
            // The waves belong to the board's rows, not the screen's.
            const double shift = WaveShift(v.v * 64.0, wave);
            EXPECT_NEAR(v.u * 256.0f, shift + (v.x - 4.5f), 1e-3);
        }
    EXPECT_FLOAT_EQ(top, 7 + 16 - 0.5f);
    EXPECT_FLOAT_EQ(bottom, 7 + 48 - 0.5f);

    device.draws.clear();
    Graphics below(&screen);
    DrawWavyImage3D(d3d, below, sea, 0, 480, 100, wave, Color::White);
    DrawWavyImage3D(d3d, below, sea, 0, -64, 100, wave, Color::White);
    EXPECT_TRUE(device.draws.empty()) << "copies off the screen draw nothing";
}

TEST_F(WavySea, TheBoardsSeaSpansPiecesWithoutGaps)
{
    // The game's sea on a device whose textures are smaller than it: the strips
    // cross pieces both ways.
    d3d.mMaxTextureWidth = d3d.mMaxTextureHeight = 256;
    MemoryImage* sea = Sea(720, 480);
    Graphics g(&screen);
    DrawWavyImage3D(d3d, g, sea, 0, 0, 640, WaveMotion{5.0, 333}, Color::White);
    const ImageTextureSet& set = *static_cast<ImageTextureSet*>(sea->mD3DData);
    EXPECT_EQ(set.mColumns, 3) << "plain power-of-two pieces, as wide as the device takes";
    EXPECT_EQ(set.mRows, 2);
    double area = 0;
    for (const auto& draw : device.draws) {
        EXPECT_EQ(draw.primitive, Platform::Primitive::TriangleFan);
        area += Area(draw.vertices);
        // Exactly inside: the SDL renderer refuses a coordinate a rounding step out.
        for (const auto& v : draw.vertices) {
            EXPECT_GE(v.u, 0.0f);
            EXPECT_LE(v.u, 1.0f);
            EXPECT_GE(v.v, 0.0f);
            EXPECT_LE(v.v, 1.0f);
        }
    }
    EXPECT_NEAR(area, 640.0 * 480.0, 1.0) << "every screen pixel of the copy drawn once";
}

TEST(WavySeaTarget, OnlyThe3DScreenTakesTheTriangles)
{
    RecordingRenderDevice device;
    TestSupport::FakeScreenDisplay display(&device);
    DDInterface& dd = *display.dd;
    dd.mIs3D = true;
    ASSERT_EQ(dd.Init(nullptr, true), DDInterface::RESULT_OK) << dd.mErrorString;
    EXPECT_EQ(D3DTargetOf(Graphics(dd.GetScreenImage())), dd.mD3DInterface);

    MemoryImage offScreen;
    offScreen.Create(64, 64);
    EXPECT_EQ(D3DTargetOf(Graphics(&offScreen)), nullptr) << "an off-screen picture is drawn in software";
    std::unique_ptr<DDImage> sprite(DisplayTest::SolidImage(&dd, 8, 8, 0xFFFFFFFF));
    EXPECT_EQ(D3DTargetOf(Graphics(sprite.get())), nullptr);

    DisplayTest::FakeDisplay flat;
    ASSERT_EQ(flat.result, DDInterface::RESULT_OK);
    EXPECT_EQ(D3DTargetOf(Graphics(flat.dd->GetScreenImage())), nullptr) << "a 2D display";
}

#if defined(PLINDOR_COUNTS_ALLOCATIONS)
namespace {

std::atomic<bool> gCounting{false};
std::atomic<int> gAllocations{0};

void OnMalloc(const volatile void*, size_t)
{
    if (gCounting.load(std::memory_order_relaxed))
        gAllocations.fetch_add(1, std::memory_order_relaxed);
}
void OnFree(const volatile void*) {}

// Draws as the screen device does, keeping nothing.
class CountingDevice : public RecordingRenderDevice {
public:
    bool Draw(Platform::Primitive, Platform::TextureId, const Platform::RenderVertex*, int, Platform::BlendKind,
              bool) override
    {
        ++drawn;
        return true;
    }
    int drawn = 0;
};

} // namespace

TEST(WavySeaFrame, DrawnAgainAllocatesNothing)
{
    static const bool hooked = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
    ASSERT_TRUE(hooked);
    CountingDevice device;
    D3DInterface d3d;
    ASSERT_TRUE(d3d.InitFromDevice(&device, 640, 480, true));
    Registry registry;
    registry.textures = &d3d;
    {
        MemoryImage sea(&registry);
        std::vector<uint32_t> bits(720 * 480, 0xFF2060A0);
        sea.SetBits(bits.data(), 720, 480);
        MemoryImage screen;
        screen.Create(640, 480);
        Graphics g(&screen);
        auto frame = [&](int counter) {
            for (int y : {-200, 280})
                DrawWavyImage3D(d3d, g, &sea, 0, y, 640, WaveMotion{4.2, counter}, Color::White);
        };
        frame(0); // the first frame makes the textures and the renderer's buffers
        const int first = device.drawn;
        gAllocations = 0;
        gCounting = true;
        frame(1);
        gCounting = false;
        EXPECT_EQ(gAllocations.load(), 0);
        EXPECT_EQ(device.drawn, 2 * first) << "the second frame drew as much";
        d3d.DropImageTextures(&sea);
    }
}
#endif
