// The 3D renderer's logic against a recording device: piece sizes and grids, the
// quads of blits, stretches and rotations, clipped fans, textured triangles, the
// texture format choice, uploads when an image changes, and textures of images that
// die on another thread.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/display/RecordingRenderDevice.h"
#include "tests/render3d/TextureRegistry.h"

using namespace Zant;
using Platform::Primitive;
using Platform::RecordingRenderDevice;

namespace {

// Forgetting an image drops its textures, as the application does.
using Registry = RenderTest::TextureRegistry<D3DInterface>;

class Renderer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(d3d.InitFromDevice(&device, 640, 480, true)); }

    void SetLimits(int minimum, int maximum, int aspect)
    {
        d3d.mMinTextureWidth = d3d.mMinTextureHeight = minimum;
        d3d.mMaxTextureWidth = d3d.mMaxTextureHeight = maximum;
        d3d.mMaxTextureAspectRatio = aspect;
    }

    MemoryImage* Solid(int width, int height, uint32_t pixel)
    {
        images.push_back(std::make_unique<MemoryImage>(&registry));
        std::vector<uint32_t> bits(size_t(width) * height, pixel);
        images.back()->SetBits(bits.data(), width, height);
        return images.back().get();
    }

    const ImageTextureSet& SetOf(MemoryImage* image) { return *static_cast<ImageTextureSet*>(image->mD3DData); }

    RecordingRenderDevice device;
    D3DInterface d3d;
    Registry registry{&d3d};
    std::vector<std::unique_ptr<MemoryImage>> images;
};

void ExpectCorner(const Platform::RenderVertex& v, float x, float y)
{
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
}

} // namespace

TEST(PieceTable, EntriesForSizes)
{
    const struct {
        int size, entry;
    } rows[] = {{0, 1},     {1, 1},     {50, 64},   {64, 64},   {100, 128}, {129, 128}, {200, 256},
                {300, 256}, {400, 128}, {480, 512}, {600, 64},  {640, 512}, {1000, 1024}, {1023, 1024}};
    for (const auto& r : rows)
        EXPECT_EQ(D3DInterface::PieceTableEntry(r.size), r.entry) << r.size;
}

TEST_F(Renderer, GridsFollowTheDeviceLimits)
{
    const struct {
        int minimum, maximum, aspect, width, height;
        int pieceW, pieceH, columns, rows, lastW, lastH;
        float maxU, maxV;
    } cases[] = {
        // Small maxima: two 64 x 64 textures, the second holding 36 columns.
        {64, 64, 1, 100, 50, 64, 64, 2, 1, 64, 64, 100.0f / 64, 50.0f / 64},
        // A screen-sized image: a 512 texture and a 128 x 512 one.
        {128, 1024, 4, 640, 480, 512, 512, 2, 1, 128, 512, 1.25f, 0.9375f},
        // A strip: nine full 64 columns and a 32 x 64 texture for the last 24.
        {1, 1024, 65536, 600, 64, 64, 64, 10, 1, 32, 64, 600.0f / 64, 1.0f},
    };
    for (const auto& c : cases) {
        SetLimits(c.minimum, c.maximum, c.aspect);
        ImageTextureSet set;
        d3d.BuildGrid(set, c.width, c.height, 0);
        EXPECT_EQ(set.mPieceWidth, c.pieceW) << c.width;
        EXPECT_EQ(set.mPieceHeight, c.pieceH) << c.width;
        EXPECT_EQ(set.mColumns, c.columns) << c.width;
        EXPECT_EQ(set.mRows, c.rows) << c.width;
        EXPECT_EQ(set.mPieces.back().width, c.lastW) << c.width;
        EXPECT_EQ(set.mPieces.back().height, c.lastH) << c.width;
        EXPECT_FLOAT_EQ(set.mMaxTotalU, c.maxU) << c.width;
        EXPECT_FLOAT_EQ(set.mMaxTotalV, c.maxV) << c.width;
    }
}

TEST_F(Renderer, LastColumnEndsWithinItsTexture)
{
    SetLimits(64, 64, 1);
    MemoryImage* image = Solid(100, 50, 0xFF102030);
    d3d.Blt(image, 0, 0, Rect(0, 0, 100, 50), Color::White, 0, false);
    ASSERT_EQ(device.draws.size(), 2u);
    EXPECT_FLOAT_EQ(device.draws[1].vertices[3].u, 36.0f / 64);
    EXPECT_FLOAT_EQ(device.draws[1].vertices[3].v, 50.0f / 64);
    ExpectCorner(device.draws[1].vertices[0], 63.5f, -0.5f);
}

TEST_F(Renderer, DeviceWithoutSizesGets64Pieces)
{
    device.caps.maxTextureWidth = 0;
    ASSERT_TRUE(d3d.InitFromDevice(&device, 640, 480, true));
    EXPECT_EQ(d3d.mMaxTextureWidth, 64);
    EXPECT_EQ(d3d.mMinTextureHeight, 64);
    EXPECT_EQ(d3d.mMaxTextureAspectRatio, 1);
    device.caps.maxTextureWidth = 8192;
    ASSERT_TRUE(d3d.InitFromDevice(&device, 640, 480, true));
    EXPECT_EQ(d3d.mMaxTextureWidth, 1024);
    EXPECT_EQ(d3d.mMinTextureWidth, 1);
    EXPECT_EQ(d3d.mMaxTextureAspectRatio, 65536);
}

TEST_F(Renderer, BlitQuadSitsHalfAPixelBeforeItsPixel)
{
    MemoryImage* image = Solid(1, 1, 0xFFFF0000);
    d3d.Blt(image, 10, 20, Rect(0, 0, 1, 1), Color(255, 255, 255, 128), 0, false);
    ASSERT_EQ(device.draws.size(), 1u);
    const auto& draw = device.draws[0];
    EXPECT_EQ(draw.primitive, Primitive::TriangleStrip);
    EXPECT_EQ(draw.blend, Platform::BlendKind::Normal);
    EXPECT_FALSE(draw.linear);
    ExpectCorner(draw.vertices[0], 9.5f, 19.5f);
    ExpectCorner(draw.vertices[3], 10.5f, 20.5f);
    EXPECT_EQ(draw.vertices[0].color, 0x80FFFFFFu);
    // The 1 x 1 image sits in the corner of its texture, the rest zero.
    EXPECT_FLOAT_EQ(draw.vertices[3].u, 1.0f / device.textures[draw.texture].width);
}

TEST_F(Renderer, StretchScalesTheHalfPixelWithTheSource)
{
    MemoryImage* image = Solid(10, 10, 0xFF00FF00);
    d3d.StretchBlt(image, Rect(0, 0, 20, 20), FRect(0, 0, 10, 10), 1, false);
    ASSERT_EQ(device.draws.size(), 1u);
    ExpectCorner(device.draws[0].vertices[0], -1.0f, -1.0f);
    ExpectCorner(device.draws[0].vertices[3], 19.0f, 19.0f);
    EXPECT_TRUE(device.draws[0].linear);
    EXPECT_EQ(device.draws[0].blend, Platform::BlendKind::Additive);
}

TEST_F(Renderer, QuarterTurnMovesRightOfTheCentreAbove)
{
    MemoryImage* image = Solid(2, 2, 0xFF0000FF);
    d3d.BltRotated(image, 0, 0, nullptr, Color::White, 0, M_PI / 2, 0, 0, Rect(0, 0, 2, 2));
    ASSERT_EQ(device.draws.size(), 1u);
    // Local corner (1.5, -0.5) turns to (-0.5, -1.5): +x goes to -y.
    ExpectCorner(device.draws[0].vertices[2], -0.5f, -1.5f);
    EXPECT_NEAR(device.draws[0].vertices[3].x, 1.5f, 1e-5);
    EXPECT_NEAR(device.draws[0].vertices[3].y, -1.5f, 1e-5);
}

TEST_F(Renderer, RotatedPieceCrossingTheClipBecomesAFanInsideIt)
{
    MemoryImage* image = Solid(40, 40, 0xFFFFFFFF);
    const Rect clip(10, 10, 30, 30);
    d3d.BltRotated(image, 0, 0, &clip, Color::White, 0, 0.3, 20, 20, Rect(0, 0, 40, 40));
    ASSERT_EQ(device.draws.size(), 1u);
    const auto& fan = device.draws[0];
    EXPECT_EQ(fan.primitive, Primitive::TriangleFan);
    EXPECT_GE(fan.vertices.size(), 3u);
    EXPECT_LE(fan.vertices.size(), 8u);
    for (const auto& v : fan.vertices) {
        EXPECT_GE(v.x, 10.0f);
        EXPECT_LE(v.x, 40.0f);
        EXPECT_GE(v.y, 10.0f);
        EXPECT_LE(v.y, 40.0f);
        EXPECT_GE(v.u, 0.0f);
        EXPECT_LE(v.u, 40.0f / 64);
    }
    // Wholly inside the clip, the piece stays a strip.
    device.draws.clear();
    const Rect wide(-100, -100, 400, 400);
    d3d.BltRotated(image, 0, 0, &wide, Color::White, 0, 0.3, 20, 20, Rect(0, 0, 40, 40));
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].primitive, Primitive::TriangleStrip);
}

TEST(PolygonClip, KeepsTheSideAskedAndInterpolatesTextures)
{
    VertexList in, out;
    in.push_back(D3DTLVertex{0, 0, 0, 1, 0, 0, 0, 0});
    in.push_back(D3DTLVertex{0, 10, 0, 1, 0, 0, 0, 1});
    in.push_back(D3DTLVertex{10, 10, 0, 1, 0, 0, 1, 1});
    in.push_back(D3DTLVertex{10, 0, 0, 1, 0, 0, 1, 0});
    ClipPolygon(ClipPlane::X, 4.0f, true, in, out);
    ASSERT_EQ(out.size(), 4);
    for (int i = 0; i < out.size(); ++i) {
        EXPECT_GE(out[i].sx, 4.0f);
        EXPECT_FLOAT_EQ(out[i].tu, out[i].sx / 10);
    }
    ClipPolygon(ClipPlane::X, 4.0f, false, in, out);
    for (int i = 0; i < out.size(); ++i)
        EXPECT_LE(out[i].sx, 4.0f);
    // Fewer than two vertices give nothing.
    VertexList one;
    one.push_back(in[0]);
    ClipPolygon(ClipPlane::X, -1.0f, true, one, out);
    EXPECT_EQ(out.size(), 0);
}

TEST(PolygonClip, LongPolygonsSpillToTheHeap)
{
    VertexList list;
    for (int i = 0; i < VertexList::INSIDE; ++i)
        list.push_back(D3DTLVertex{float(i), 0, 0, 1, 0, 0, 0, 0});
    EXPECT_FALSE(list.OnHeap());
    list.push_back(D3DTLVertex{1000, 0, 0, 1, 0, 0, 0, 0});
    EXPECT_TRUE(list.OnHeap());
    EXPECT_EQ(list.size(), VertexList::INSIDE + 1);
    EXPECT_FLOAT_EQ(list[50].sx, 50.0f);
    EXPECT_FLOAT_EQ(list[VertexList::INSIDE].sx, 1000.0f);
}

TEST_F(Renderer, TriangleOverTwoPiecesIsTwoFans)
{
    SetLimits(64, 64, 1);
    MemoryImage* image = Solid(128, 64, 0xFFFFFFFF);
    const TriVertex a{0, 0, 0.1f, 0.1f}, b{100, 0, 0.9f, 0.1f}, c{50, 50, 0.5f, 0.9f};
    d3d.DrawTexturedTriangle(a, b, c, Color::White, 0, image);
    ASSERT_EQ(device.draws.size(), 2u);
    for (const auto& fan : device.draws) {
        EXPECT_EQ(fan.primitive, Primitive::TriangleFan);
        EXPECT_TRUE(fan.linear);
        for (const auto& v : fan.vertices) {
            EXPECT_GE(v.u, -1e-5f);
            EXPECT_LE(v.u, 1.0f + 1e-5f);
        }
    }
    EXPECT_NE(device.draws[0].texture, device.draws[1].texture);
}

TEST_F(Renderer, FormatChoice)
{
    MemoryImage* opaque = Solid(4, 4, 0xFF123456);
    MemoryImage* keyed = Solid(4, 4, 0xFF123456);
    keyed->GetBits()[0] = 0;
    keyed->BitsChanged();
    opaque->CommitBits();
    keyed->CommitBits();
    const struct {
        uint32_t usable;
        MemoryImage* image;
        uint32_t flags;
        int format;
    } cases[] = {
        {TEXFMT_A8R8G8B8 | TEXFMT_A4R4G4B4, opaque, 0, TEXFMT_A8R8G8B8},
        {TEXFMT_A8R8G8B8 | TEXFMT_A4R4G4B4 | TEXFMT_R5G6B5, opaque, 0, TEXFMT_R5G6B5},
        {TEXFMT_A8R8G8B8 | TEXFMT_A4R4G4B4 | TEXFMT_R5G6B5, opaque, TEXFLAG_NO_565, TEXFMT_A8R8G8B8},
        {TEXFMT_A8R8G8B8 | TEXFMT_A4R4G4B4 | TEXFMT_R5G6B5, keyed, 0, TEXFMT_A8R8G8B8},
        {TEXFMT_A8R8G8B8 | TEXFMT_A4R4G4B4, keyed, TEXFLAG_PREFER_4444, TEXFMT_A4R4G4B4},
        {TEXFMT_A8R8G8B8, keyed, TEXFLAG_PREFER_4444, TEXFMT_A8R8G8B8},
        {TEXFMT_A4R4G4B4, keyed, 0, TEXFMT_A4R4G4B4},
    };
    for (const auto& c : cases) {
        d3d.mUsableFormats = c.usable;
        EXPECT_EQ(d3d.ChooseFormat(c.image, c.flags), c.format) << c.usable << " " << c.flags;
    }
}

TEST_F(Renderer, UploadsOnlyWhenTheImageChanges)
{
    MemoryImage* image = Solid(8, 8, 0xFF445566);
    for (int i = 0; i < 3; ++i)
        d3d.Blt(image, 0, 0, Rect(0, 0, 8, 8), Color::White, 0, false);
    const Platform::TextureId texture = device.draws[0].texture;
    EXPECT_EQ(device.textures[texture].uploads, 1);
    image->GetBits()[0] = 0xFF000000;
    image->BitsChanged();
    d3d.Blt(image, 0, 0, Rect(0, 0, 8, 8), Color::White, 0, false);
    EXPECT_EQ(device.textures[texture].uploads, 2) << "the same texture takes the new pixels";
    uint32_t first;
    std::memcpy(&first, device.textures[texture].texels.data(), 4);
    EXPECT_EQ(first, 0xFF000000u);
    EXPECT_EQ(SetOf(image).mTexMemSize, int64_t(8 * 8 * 4));
}

TEST_F(Renderer, PalettisedImagesUploadTheirColours)
{
    MemoryImage* image = Solid(5, 2, 0xFF0000FF);
    image->GetBits()[6] = 0xFFFF0000;
    image->BitsChanged();
    ASSERT_TRUE(image->Palletize());
    d3d.mUsableFormats = TEXFMT_A4R4G4B4;
    d3d.Blt(image, 0, 0, Rect(0, 0, 5, 2), Color::White, 0, false);
    const auto& texture = device.textures[device.draws.at(0).texture];
    ASSERT_EQ(texture.format, Platform::TextureFormat::ARGB4444);
    auto texel = [&](int x, int y) {
        uint16_t v;
        std::memcpy(&v, texture.texels.data() + (size_t(y) * texture.width + x) * 2, 2);
        return v;
    };
    EXPECT_EQ(texel(0, 0), 0xF00Fu);
    EXPECT_EQ(texel(1, 1), 0xFF00u);
    EXPECT_EQ(texel(5, 0), 0u) << "outside the image the texture is zero";
}

TEST_F(Renderer, FillsAndLines)
{
    d3d.FillRect(Rect(5, 6, 10, 2), Color(255, 0, 0, 128), 1);
    d3d.DrawLine(1, 2, 30, 40, Color::White, 0);
    ASSERT_EQ(device.draws.size(), 2u);
    EXPECT_EQ(device.draws[0].texture, 0u);
    EXPECT_EQ(device.draws[0].blend, Platform::BlendKind::Additive);
    ExpectCorner(device.draws[0].vertices[0], 4.5f, 5.5f);
    ExpectCorner(device.draws[0].vertices[3], 14.5f, 7.5f);
    EXPECT_EQ(device.draws[1].primitive, Primitive::LineList);
    ExpectCorner(device.draws[1].vertices[0], 1.0f, 2.0f);
}

TEST_F(Renderer, FailedDrawIsRecordedAndDrawingGoesOn)
{
    device.failDraw = true;
    d3d.FillRect(Rect(0, 0, 4, 4), Color::White, 0);
    EXPECT_EQ(d3d.mErrorString, "DrawPrimitive (Rect): DSERR_GENERIC");
    device.failDraw = false;
    d3d.DrawLine(0, 0, 4, 4, Color::White, 0);
    EXPECT_EQ(device.draws.size(), 1u);
}

TEST_F(Renderer, TextureThatCannotBeMadeIsTriedAgain)
{
    MemoryImage* image = Solid(8, 8, 0xFF445566);
    device.failCreateTexture = true;
    d3d.Blt(image, 0, 0, Rect(0, 0, 8, 8), Color::White, 0, false);
    EXPECT_TRUE(device.draws.empty());
    device.failCreateTexture = false;
    d3d.Blt(image, 0, 0, Rect(0, 0, 8, 8), Color::White, 0, false);
    EXPECT_EQ(device.draws.size(), 1u);
}

TEST_F(Renderer, ImagesDyingElsewhereQueueTheirTextures)
{
    MemoryImage* image = Solid(8, 8, 0xFF445566);
    d3d.Blt(image, 0, 0, Rect(0, 0, 8, 8), Color::White, 0, false);
    const size_t before = device.textures.size();
    std::thread loader([&] { images.clear(); });
    loader.join();
    EXPECT_EQ(device.textures.size(), before) << "no device call off the main thread";
    d3d.FillRect(Rect(0, 0, 1, 1), Color::White, 0);
    EXPECT_EQ(device.textures.size(), before - 1);
}

TEST_F(Renderer, ReleaseDropsEveryTextureAndTheTarget)
{
    Solid(8, 8, 0xFF445566);
    d3d.Blt(images[0].get(), 0, 0, Rect(0, 0, 8, 8), Color::White, 0, false);
    d3d.ReleaseTextures();
    EXPECT_TRUE(device.textures.empty());
    EXPECT_EQ(images[0]->mD3DData, nullptr);
}

TEST_F(Renderer, UnregisteredImagesDrawFromTexturesOfTheirOwnDraw)
{
    MemoryImage loose;
    std::vector<uint32_t> bits(16, 0xFF010203);
    loose.SetBits(bits.data(), 4, 4);
    d3d.Blt(&loose, 0, 0, Rect(0, 0, 4, 4), Color::White, 0, false);
    EXPECT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(loose.mD3DData, nullptr);
    d3d.EndScene();
    EXPECT_EQ(device.textures.size(), 1u) << "only the target is left";
}
