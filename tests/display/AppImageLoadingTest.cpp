// Pictures loaded into the application's images keep every decoded pixel: the
// decoders write straight into the memory the image then keeps, and the copies made
// from it (duplicates, colour-scaled copies) are exact.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include <jpeglib.h>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/ImageLib.h"
#include "tests/display/AppFixture.h"
#include "tests/support/TestSupport.h"

using namespace Zant;

namespace {

using Fixture = DisplayTest::AppFixture<>;

constexpr int W = 37, H = 23; // odd sizes: no row is a multiple of a block

// Every pixel differs from the others, in every channel.
ImageLib::Image Gradient(uint32_t alpha)
{
    ImageLib::Image picture(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            picture.mBits[size_t(y) * W + x] =
                (alpha << 24) | uint32_t(x * 7 & 0xFF) << 16 | uint32_t(y * 11 & 0xFF) << 8 | uint32_t((x + y) * 5 & 0xFF);
    return picture;
}

// The file decoded by libjpeg alone, as opaque 0xAARRGGBB words.
std::vector<uint32_t> DecodeWithLibjpeg(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return {};
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> row(size_t(cinfo.output_width) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&cinfo, rows, 1);
        for (size_t x = 0; x < cinfo.output_width; ++x)
            pixels.push_back(0xFF000000u | uint32_t(row[x * 3]) << 16 | uint32_t(row[x * 3 + 1]) << 8 | row[x * 3 + 2]);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
    return pixels;
}

std::vector<uint32_t> PixelsOf(MemoryImage& image)
{
    const uint32_t* bits = image.GetBits();
    return std::vector<uint32_t>(bits, bits + size_t(image.GetWidth()) * image.GetHeight());
}

} // namespace

TEST(AppImageLoading, PngWithAlphaPictureAndJpegKeepEveryPixel)
{
    Fixture f;
    f.app->CreateMainWindow();
    TestSupport::TempDir dir;

    const ImageLib::Image colour = Gradient(0xFF);
    ImageLib::Image alpha(W, H); // grey: the blue byte is the alpha
    for (int i = 0; i < W * H; ++i)
        alpha.mBits[size_t(i)] = 0xFF000000u | uint32_t(i * 3 & 0xFF) * 0x010101u;
    ASSERT_TRUE(ImageLib::WritePng(dir.File("ship.png"), colour));
    ASSERT_TRUE(ImageLib::WritePng(dir.File("_ship.png"), alpha));
    std::vector<uint32_t> expected(size_t(W) * H);
    for (size_t i = 0; i < expected.size(); ++i)
        expected[i] = (colour.mBits[i] & 0xFFFFFFu) | (alpha.mBits[i] & 0xFFu) << 24;

    std::unique_ptr<DDImage> ship(f.app->LoadImageFile(dir.File("ship")));
    ASSERT_NE(ship, nullptr);
    ASSERT_EQ(ship->GetWidth(), W);
    ASSERT_EQ(ship->GetHeight(), H);
    EXPECT_EQ(PixelsOf(*ship), expected);
    EXPECT_EQ(ship->GetBits()[W * H], MemoryImage::GUARD_WORD);
    EXPECT_TRUE(ship->HasAlpha());
    EXPECT_TRUE(ship->HasTransparency()); // alpha 0 at the first pixel

    ASSERT_TRUE(ImageLib::WriteJpeg(dir.File("sea.jpg"), Gradient(0xFF)));
    const std::vector<uint32_t> decoded = DecodeWithLibjpeg(dir.File("sea.jpg"));
    ASSERT_EQ(decoded.size(), size_t(W) * H);
    std::unique_ptr<DDImage> sea(f.app->LoadImageFile(dir.File("sea")));
    ASSERT_NE(sea, nullptr);
    EXPECT_EQ(PixelsOf(*sea), decoded);
    EXPECT_EQ(sea->GetBits()[W * H], MemoryImage::GUARD_WORD);
    EXPECT_FALSE(sea->HasAlpha());
    EXPECT_FALSE(sea->HasTransparency());
}

TEST(AppImageLoading, CopiesOfALoadedPictureAreExact)
{
    Fixture f;
    f.app->CreateMainWindow();
    TestSupport::TempDir dir;
    const ImageLib::Image picture = Gradient(0xC0);
    ASSERT_TRUE(ImageLib::WritePng(dir.File("fish.png"), picture));
    std::unique_ptr<DDImage> fish(f.app->LoadImageFile(dir.File("fish")));
    ASSERT_NE(fish, nullptr);
    const std::vector<uint32_t> original(picture.mBits.begin(), picture.mBits.end());
    ASSERT_EQ(PixelsOf(*fish), original);

    std::unique_ptr<DDImage> whole(f.app->DuplicateImage(fish.get()));
    EXPECT_EQ(PixelsOf(*whole), original);
    EXPECT_EQ(whole->GetBits()[W * H], MemoryImage::GUARD_WORD);

    // A rectangle reaching past the source: what lies outside is transparent.
    std::unique_ptr<DDImage> corner(f.app->DuplicateImage(fish.get(), Rect(W - 2, H - 1, 4, 3)));
    const std::vector<uint32_t> cornerPixels = PixelsOf(*corner);
    ASSERT_EQ(cornerPixels.size(), 12u);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(cornerPixels[size_t(y) * 4 + x], x < 2 && y < 1 ? fish->GetBits()[(H - 1) * W + W - 2 + x] : 0u)
                << x << "," << y;

    // Each channel times component / 256, the alpha too.
    std::unique_ptr<MemoryImage> dark(f.app->TransformImagePixels(fish.get(), Color(200, 100, 50, 255)));
    ASSERT_NE(dark, nullptr);
    std::vector<uint32_t> scaled;
    for (uint32_t p : original)
        scaled.push_back(((p >> 24) * 255 / 256) << 24 | ((p >> 16 & 0xFF) * 200 / 256) << 16 |
                         ((p >> 8 & 0xFF) * 100 / 256) << 8 | (p & 0xFF) * 50 / 256);
    EXPECT_EQ(PixelsOf(*dark), scaled);
    EXPECT_EQ(dark->GetBits()[W * H], MemoryImage::GUARD_WORD);
}

// A whole copy of a palettised image keeps the palette form and every pixel, and a
// mirror of it turns the indices in place; a part is copied as pixels.
TEST(AppImageLoading, CopiesOfAPaletteImageStayPaletteImages)
{
    Fixture f;
    f.app->CreateMainWindow();
    ImageLib::Image picture(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            picture.mBits[size_t(y) * W + x] = 0xFF000000u | uint32_t((x * 3 + y) % 200);
    auto fish = std::make_unique<DDImage>(nullptr, nullptr);
    fish->SetBits(picture.GetBits(), W, H);
    ASSERT_TRUE(fish->Palletize());

    std::unique_ptr<DDImage> whole(f.app->DuplicateImage(fish.get()));
    ASSERT_NE(whole, nullptr);
    EXPECT_TRUE(whole->IsPalettized());
    f.app->MirrorImageHorizontally(whole.get());
    EXPECT_TRUE(whole->IsPalettized());
    std::vector<uint32_t> mirrored;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            mirrored.push_back(picture.mBits[size_t(y) * W + W - 1 - x]);
    EXPECT_EQ(PixelsOf(*whole), mirrored);

    std::unique_ptr<DDImage> part(f.app->DuplicateImage(fish.get(), Rect(1, 1, 4, 4)));
    EXPECT_FALSE(part->IsPalettized());
    EXPECT_EQ(part->GetBits()[0], picture.mBits[size_t(W) + 1]);
}
