// Our DirectDraw-like layer on its own: surfaces, blits, flips and the screen.
#include <gtest/gtest.h>

#include "platform/display/DirectDraw.h"
#include "platform/display/FakeScreen.h"
#include "tests/display/DisplayTestSupport.h"

using namespace Platform;
using DisplayTest::Fill;
using DisplayTest::PixelAt;

namespace {

DDSurfacePtr Plain(DirectDraw& dd, int w, int h)
{
    DDSurfaceDesc desc;
    desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.caps = DDSCAPS_OFFSCREENPLAIN;
    desc.width = w;
    desc.height = h;
    DDSurfacePtr s;
    EXPECT_EQ(dd.CreateSurface(desc, s), DD_OK);
    return s;
}

struct Layer {
    FakeScreen screen;
    std::unique_ptr<DirectDraw> dd;
    Layer()
    {
        DirectDraw::Create(&screen, dd);
        dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    }
};

} // namespace

TEST(DirectDrawLayer, RowsStepByAPitchWiderThanTheRow)
{
    Layer l;
    DDSurfacePtr s = Plain(*l.dd, 3, 2);
    DDSurfaceDesc desc;
    ASSERT_EQ(s->Lock(desc), DD_OK);
    EXPECT_EQ(desc.pixelFormat, FORMAT_XRGB);
    EXPECT_GT(desc.pitch, 3 * 4);
    EXPECT_EQ(s->Unlock(), DD_OK);
    EXPECT_EQ(s->Unlock(), DDERR_NOTLOCKED);
}

TEST(DirectDrawLayer, BltCopiesStretchesKeysAndClips)
{
    Layer l;
    DDSurfacePtr src = Plain(*l.dd, 2, 1);
    DDSurfaceDesc desc;
    src->Lock(desc);
    static_cast<uint32_t*>(desc.surface)[0] = 0x112233;
    static_cast<uint32_t*>(desc.surface)[1] = 0x0000FF; // the key
    src->Unlock();
    src->SetColorKey(0xFF0000FF); // the unused top byte plays no part

    DDSurfacePtr dest = Plain(*l.dd, 6, 2);
    Fill(*dest, 0xAAAAAA);
    // Stretched 2x1 -> 4x2 at x = 4: half of it lies outside and is cut off.
    const DDRect to{4, 0, 8, 2};
    ASSERT_EQ(dest->Blt(&to, src.get(), nullptr, DDBLT_KEYSRC | DDBLT_WAIT), DD_OK);
    EXPECT_EQ(PixelAt(*dest, 3, 0), 0xAAAAAAu);
    EXPECT_EQ(PixelAt(*dest, 4, 0), 0x112233u);
    EXPECT_EQ(PixelAt(*dest, 5, 1), 0x112233u);
    // Without the key flag the key colour is copied.
    const DDRect one{0, 0, 1, 1};
    const DDRect keyPixel{1, 0, 2, 1};
    ASSERT_EQ(dest->Blt(&one, src.get(), &keyPixel, DDBLT_WAIT), DD_OK);
    EXPECT_EQ(PixelAt(*dest, 0, 0), 0x0000FFu);
}

TEST(DirectDrawLayer, BltRefusals)
{
    Layer l;
    DDSurfacePtr a = Plain(*l.dd, 4, 4);
    DDSurfacePtr b = Plain(*l.dd, 4, 4);
    DDSurfaceDesc d16;
    d16.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    d16.width = d16.height = 4;
    d16.pixelFormat = FORMAT_565;
    DDSurfacePtr c16;
    ASSERT_EQ(l.dd->CreateSurface(d16, c16), DD_OK);

    const DDRect outside{2, 2, 6, 6};
    EXPECT_EQ(a->Blt(nullptr, b.get(), &outside, 0), DDERR_INVALIDRECT);
    EXPECT_EQ(a->Blt(nullptr, c16.get(), nullptr, 0), DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(a->Blt(nullptr, nullptr, nullptr, 0), DDERR_INVALIDPARAMS);
    DDSurfaceDesc desc;
    b->Lock(desc);
    EXPECT_EQ(a->Blt(nullptr, b.get(), nullptr, 0), DDERR_SURFACEBUSY);
    b->Unlock();
    EXPECT_EQ(a->Blt(nullptr, b.get(), nullptr, 0), DD_OK);
}

TEST(DirectDrawLayer, FlipNeedsFullScreenAndSwapsTheChain)
{
    FakeScreen screen;
    std::unique_ptr<DirectDraw> dd;
    ASSERT_EQ(DirectDraw::Create(&screen, dd), DD_OK);
    ASSERT_EQ(dd->SetDisplayMode(640, 480, 16), DDERR_NOEXCLUSIVEMODE);
    ASSERT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(dd->SetDisplayMode(640, 480, 8), DDERR_INVALIDMODE);
    ASSERT_EQ(dd->SetDisplayMode(320, 200, 16), DD_OK);
    DDSurfaceDesc desc;
    desc.flags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    desc.backBufferCount = 1;
    DDSurfacePtr primary, back;
    ASSERT_EQ(dd->CreateSurface(desc, primary), DD_OK);
    DDSurfacePtr second;
    EXPECT_EQ(dd->CreateSurface(desc, second), DDERR_PRIMARYSURFACEALREADYEXISTS);
    ASSERT_EQ(primary->GetAttachedSurface(back), DD_OK);
    EXPECT_EQ(primary->Format(), FORMAT_565);
    EXPECT_EQ(primary->Width(), 320);

    Fill(*back, 0xF800);
    ASSERT_EQ(primary->Flip(), DD_OK);
    ASSERT_EQ(dd->ShowPrimary(false), DD_OK);
    EXPECT_EQ(screen.shown, 1);
    EXPECT_EQ(screen.FramePixel(5, 5), 0xF800u);
    // Nothing changed since: nothing to show.
    ASSERT_EQ(dd->ShowPrimary(false), DD_OK);
    EXPECT_EQ(screen.shown, 1);
}

TEST(DirectDrawLayer, AScreenThatCannotShowMakesThePrimaryLost)
{
    Layer l;
    DDSurfaceDesc desc;
    desc.flags = DDSD_CAPS;
    desc.caps = DDSCAPS_PRIMARYSURFACE;
    DDSurfacePtr primary;
    ASSERT_EQ(l.dd->CreateSurface(desc, primary), DD_OK);
    DDSurfacePtr plain = Plain(*l.dd, 640, 480);
    l.screen.failShow = true;
    EXPECT_EQ(l.dd->ShowPrimary(true), DDERR_SURFACELOST);
    EXPECT_EQ(primary->Blt(nullptr, plain.get(), nullptr, 0), DDERR_SURFACELOST);
    EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
    // Off-screen surfaces keep working: nothing in memory is lost.
    EXPECT_EQ(plain->Blt(nullptr, plain.get(), nullptr, 0), DD_OK);
}
