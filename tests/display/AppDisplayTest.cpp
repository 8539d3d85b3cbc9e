// The application's display through its own operations: making, presenting and
// re-making the display, and the image services.
#include <gtest/gtest.h>

#include "framework/app/AppServices.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageLib.h"
#include "tests/display/AppFixture.h"
#include "tests/support/TestSupport.h"

using namespace Zant;

namespace {

using Fixture = DisplayTest::AppFixture<>;

// A widget that paints itself one colour whenever it is dirty.
class Painter : public Widget {
public:
    void Draw(Graphics* g) override
    {
        ++draws;
        g->SetColor(colour);
        g->FillRect(0, 0, mWidth, mHeight);
    }
    Color colour{200, 30, 30};
    int draws = 0;
};

} // namespace

TEST(AppDisplay, MainWindowMakesTheDisplayAndFramesPresent)
{
    Fixture f;
    Painter painter;
    painter.Resize(0, 0, 640, 480);
    f.app->mWidgetManager->AddWidget(&painter);
    f.app->CreateMainWindow();
    DDInterface* dd = f.app->mDDInterface;
    ASSERT_NE(dd, nullptr);
    EXPECT_TRUE(dd->mInitialized);
    EXPECT_EQ(f.app->mWidgetManager->mImage, dd->GetScreenImage());

    f.clock.Advance(2000);
    ASSERT_TRUE(f.app->DrawFrame());
    EXPECT_EQ(painter.draws, 1);
    EXPECT_EQ(f.app->mPresentCount, 1);
    // The draw pass left the screen unlocked.
    EXPECT_EQ(dd->mDrawSurface->LockCount(), 0);
    EXPECT_TRUE(dd->mCritSect.TryEnter());
    dd->mCritSect.Leave();

    // Alt+Enter: full screen in 16 bits, everything drawn again.
    f.app->HandleWindowMessage(Platform::Msg::SysKeyDown, 13, 0);
    EXPECT_FALSE(f.app->mIsWindowed);
    EXPECT_EQ(dd->mScreenBitCount, 16);
    EXPECT_EQ(f.app->mWidgetManager->mImage, dd->GetScreenImage());
    EXPECT_TRUE(painter.mDirty);
    f.clock.Advance(2000);
    ASSERT_TRUE(f.app->DrawFrame());
    EXPECT_EQ(painter.draws, 2);

    f.app->HandleWindowMessage(Platform::Msg::SysKeyDown, 13, 0);
    EXPECT_TRUE(f.app->mIsWindowed);
    EXPECT_EQ(dd->mScreenBitCount, 32);
    f.app->mWidgetManager->RemoveWidget(&painter);
}

TEST(AppDisplay, ClearingImageCachesDropsDerivedData)
{
    Fixture f;
    f.app->CreateMainWindow();
    std::unique_ptr<DDImage> image(new DDImage(f.app->mDDInterface));
    std::vector<uint32_t> pixels(16, 0x80FFFFFF);
    image->SetBits(pixels.data(), 4, 4);
    image->GetNativeAlphaData(32, 0xFF0000, 0xFF00, 0xFF);
    ASSERT_TRUE(image->HasNativeAlphaData());
    f.app->ClearImageCaches();
    EXPECT_FALSE(image->HasNativeAlphaData());
}

TEST(AppImages, LoadDuplicateMirrorAndFlip)
{
    Fixture f;
    f.app->CreateMainWindow();
    TestSupport::TempDir dir;
    ImageLib::Image picture(3, 2);
    const uint32_t pixels[6] = {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005, 0xFF000006};
    std::copy(pixels, pixels + 6, picture.mBits.begin());
    ASSERT_TRUE(ImageLib::WritePng(dir.File("p.png"), picture));

    EXPECT_EQ(f.app->LoadImageFile(dir.File("missing")), nullptr);
    std::unique_ptr<DDImage> image(f.app->LoadImageFile(dir.File("p")));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->mDDInterface, f.app->mDDInterface);
    EXPECT_TRUE(f.app->mMemoryImageSet.count(image.get()));
    EXPECT_TRUE(f.app->mDDInterface->mDDImageSet.count(image.get()));
    EXPECT_EQ(std::vector<uint32_t>(image->GetBits(), image->GetBits() + 6), std::vector<uint32_t>(pixels, pixels + 6));

    std::unique_ptr<DDImage> part(f.app->DuplicateImage(image.get(), Rect(1, 0, 2, 2)));
    ASSERT_EQ(part->GetWidth(), 2);
    EXPECT_EQ(part->GetBits()[0] & 0xFFFFFF, 0x000002u);
    EXPECT_EQ(part->GetBits()[3] & 0xFFFFFF, 0x000006u);

    f.app->MirrorImageHorizontally(image.get());
    EXPECT_EQ(image->GetBits()[0], 0xFF000003u);
    EXPECT_EQ(image->GetBits()[5], 0xFF000004u);
    f.app->FlipImageVertically(image.get());
    EXPECT_EQ(image->GetBits()[0], 0xFF000006u);
    EXPECT_EQ(image->GetBits()[5], 0xFF000001u);
}

TEST(AppImages, TransformMultipliesEachChannel)
{
    Fixture f;
    struct Case {
        Color colour;
        uint32_t in, out;
    };
    const Case cases[] = {
        {Color(255, 255, 255, 255), 0xFFFFFFFF, 0xFEFEFEFE}, // /256 while every part is below 256
        {Color(128, 0, 255, 255), 0xFF808080, 0xFE40007F},
        {Color(300, 255, 255, 255), 0xFFFF80FF, 0xFFFF80FF}, // /255, capped at 255
        {Color(0, 0, 0, 0), 0xFFFFFFFF, 0x00000000},
    };
    for (const Case& c : cases) {
        MemoryImage source;
        source.SetBits(&c.in, 1, 1);
        std::unique_ptr<MemoryImage> copy(f.app->TransformImagePixels(&source, c.colour));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->GetBits()[0], c.out) << std::hex << c.in;
    }
    Image notMemory;
    EXPECT_EQ(f.app->TransformImagePixels(&notMemory, Color::White), nullptr);

    // A palette image keeps its indices; its colours are scaled.
    MemoryImage palette;
    const uint32_t two[4] = {0xFF0000FF, 0xFF00FF00, 0xFF0000FF, 0xFF00FF00};
    palette.SetBits(two, 2, 2);
    ASSERT_TRUE(palette.Palletize());
    std::unique_ptr<MemoryImage> copy(f.app->TransformImagePixels(&palette, Color(255, 255, 128, 255)));
    ASSERT_TRUE(copy->IsPalettized());
    EXPECT_EQ(copy->GetColorIndices()[2], palette.GetColorIndices()[2]);
    EXPECT_EQ(copy->GetBits()[0], 0xFE00007Fu);
}
