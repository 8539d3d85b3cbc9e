#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
#include <png.h>

#include "framework/graphics/ImageLib.h"
#include "tests/imagelib/GifWriter.h"
#include "tests/support/TestSupport.h"

using ImageLib::Image;
using TestSupport::TempDir;

namespace {

// ---- Fixture writers that go straight to the libraries, so each test controls the
// exact layout of the file the reader meets.

struct PngSpec {
    int width = 0, height = 0;
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<uint8_t> trnsAlpha; // palette alphas
    bool trnsGray = false;
    int trnsGrayValue = 0;
    std::vector<std::vector<uint8_t>> rows; // packed as the file stores them
};

void WriteRawPng(const std::string& path, const PngSpec& s)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_set_IHDR(png, info, s.width, s.height, s.bitDepth, s.colorType,
                 s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!s.palette.empty())
        png_set_PLTE(png, info, s.palette.data(), static_cast<int>(s.palette.size()));
    if (!s.trnsAlpha.empty())
        png_set_tRNS(png, info, s.trnsAlpha.data(), static_cast<int>(s.trnsAlpha.size()), nullptr);
    png_color_16 grey{};
    grey.gray = static_cast<png_uint_16>(s.trnsGrayValue);
    if (s.trnsGray)
        png_set_tRNS(png, info, nullptr, 0, &grey);
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (const auto& r : s.rows)
        rows.push_back(const_cast<png_bytep>(r.data()));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

void WriteRawJpeg(const std::string& path, int w, int h, J_COLOR_SPACE space, int components,
                  const std::vector<uint8_t>& samples)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = w;
    c.image_height = h;
    c.input_components = components;
    c.in_color_space = space;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    for (int y = 0; y < h; ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + y * w * components);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);
}

Image Pattern(int w, int h, bool withAlpha)
{
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t a = withAlpha ? uint32_t((x * 37 + y * 11) & 0xFF) : 0xFF;
            img.mBits[y * w + x] = (a << 24) | (uint32_t(x * 8 & 0xFF) << 16) | (uint32_t(y * 8 & 0xFF) << 8) |
                                   uint32_t((x + y) * 4 & 0xFF);
        }
    return img;
}

// ---- PNG

TEST(Png, WriteThenReadIsExact)
{
    TempDir dir;
    const Image img = Pattern(33, 17, true);
    ASSERT_TRUE(ImageLib::WritePng(dir.File("a.png"), img));
    auto back = ImageLib::ReadPng(dir.File("a.png"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->mWidth, 33);
    EXPECT_EQ(back->mHeight, 17);
    EXPECT_EQ(back->mBits, img.mBits);
}

TEST(Png, LayoutsDecodeToArgb)
{
    TempDir dir;
    struct Case {
        const char* name;
        PngSpec entry;
        std::vector<uint32_t> expect;
    };
    std::vector<Case> cases;

    { // 16 bits per channel: the high byte of each sample is kept.
        PngSpec s;
        s.width = 2, s.height = 1, s.bitDepth = 16;
        s.rows = {{0x12, 0x00, 0x34, 0xFF, 0x56, 0x80, 0xFF, 0xFF, 0x00, 0x01, 0x80, 0x00}};
        cases.push_back({"rgb16", s, {0xFF123456u, 0xFFFF0080u}});
    }
    { // 16-bit RGBA
        PngSpec s;
        s.width = 1, s.height = 1, s.bitDepth = 16, s.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
        s.rows = {{0xAA, 0, 0xBB, 0, 0xCC, 0, 0x40, 0}};
        cases.push_back({"rgba16", s, {0x40AABBCCu}});
    }
    { // palette with tRNS: entry 1 half transparent, entry 2 has no alpha entry
        PngSpec s;
        s.width = 3, s.height = 1, s.colorType = PNG_COLOR_TYPE_PALETTE;
        s.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
        s.trnsAlpha = {255, 128};
        s.rows = {{0, 1, 2}};
        cases.push_back({"palette+trns", s, {0xFF0A141Eu, 0x8028323Cu, 0xFF46505Au}});
    }
    { // 2-bit palette without tRNS
        PngSpec s;
        s.width = 4, s.height = 1, s.colorType = PNG_COLOR_TYPE_PALETTE, s.bitDepth = 2;
        s.palette = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}};
        s.rows = {{0b00011011}};
        cases.push_back({"palette2", s, {0xFF010101u, 0xFF020202u, 0xFF030303u, 0xFF040404u}});
    }
    { // grey + alpha
        PngSpec s;
        s.width = 2, s.height = 1, s.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
        s.rows = {{0x20, 0xFF, 0xE0, 0x10}};
        cases.push_back({"grey+alpha", s, {0xFF202020u, 0x10E0E0E0u}});
    }
    { // 1-bit grey: expanded to 0 and 255
        PngSpec s;
        s.width = 3, s.height = 1, s.colorType = PNG_COLOR_TYPE_GRAY, s.bitDepth = 1;
        s.rows = {{0b10100000}};
        cases.push_back({"grey1", s, {0xFFFFFFFFu, 0xFF000000u, 0xFFFFFFFFu}});
    }
    { // grey with a transparent grey value
        PngSpec s;
        s.width = 2, s.height = 1, s.colorType = PNG_COLOR_TYPE_GRAY;
        s.trnsGray = true, s.trnsGrayValue = 7;
        s.rows = {{7, 8}};
        cases.push_back({"grey+trns", s, {0x00070707u, 0xFF080808u}});
    }
    { // interlaced RGBA: every pass must land
        PngSpec s;
        s.width = 9, s.height = 10, s.colorType = PNG_COLOR_TYPE_RGB_ALPHA, s.interlaced = true;
        std::vector<uint32_t> expect;
        for (int y = 0; y < 10; ++y) {
            std::vector<uint8_t> row;
            for (int x = 0; x < 9; ++x) {
                const uint8_t r = uint8_t(x * 20), g = uint8_t(y * 20), b = uint8_t(x + y), a = uint8_t(255 - x - y);
                row.insert(row.end(), {r, g, b, a});
                expect.push_back((uint32_t(a) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b);
            }
            s.rows.push_back(row);
        }
        cases.push_back({"interlaced", s, expect});
    }

    for (const Case& c : cases) {
        const std::string path = dir.File(std::string(c.name) + ".png");
        WriteRawPng(path, c.entry);
        auto img = ImageLib::ReadPng(path);
        ASSERT_TRUE(img) << c.name;
        EXPECT_EQ(img->mWidth, c.entry.width) << c.name;
        EXPECT_EQ(img->mHeight, c.entry.height) << c.name;
        EXPECT_EQ(img->mBits, c.expect) << c.name;
    }
}

TEST(Png, BrokenFilesGiveNone)
{
    TempDir dir;
    const Image img = Pattern(20, 20, true);
    ASSERT_TRUE(ImageLib::WritePng(dir.File("ok.png"), img));
    const std::string good = TestSupport::ReadFile(dir.File("ok.png"));
    std::string badCrc = good;
    badCrc[30] ^= 0x55; // inside the header chunk
    for (const std::string& data : {good.substr(0, 8), good.substr(0, 40), good.substr(0, good.size() / 2), badCrc,
                                    std::string("not a png at all")}) {
        TestSupport::WriteFile(dir.File("bad.png"), data);
        EXPECT_FALSE(ImageLib::ReadPng(dir.File("bad.png"))) << data.size();
    }
    EXPECT_FALSE(ImageLib::ReadPng(dir.File("missing.png")));
}

TEST(Png, WriteFailsWhereNoFileCanBeMade)
{
    EXPECT_FALSE(ImageLib::WritePng("/nonexistent-folder/x.png", Pattern(2, 2, false)));
    Image empty;
    TempDir dir;
    EXPECT_FALSE(ImageLib::WritePng(dir.File("e.png"), empty));
}

// ---- JPEG

TEST(Jpeg, WriteThenReadIsCloseAndOpaque)
{
    TempDir dir;
    Image img(32, 24);
    for (int i = 0; i < 32 * 24; ++i)
        img.mBits[i] = 0x00000000u | (i % 32 < 16 ? 0xC04020u : 0x2080E0u); // alpha is dropped
    ASSERT_TRUE(ImageLib::WriteJpeg(dir.File("a.jpg"), img));
    auto back = ImageLib::ReadJpeg(dir.File("a.jpg"));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->mWidth, 32);
    ASSERT_EQ(back->mHeight, 24);
    for (int y = 0; y < 24; ++y)
        for (int x : {2, 29}) {
            const uint32_t got = back->Pixel(x, y), want = img.Pixel(x, y);
            EXPECT_EQ(got >> 24, 0xFFu);
            for (int shift : {16, 8, 0})
                EXPECT_NEAR(int((got >> shift) & 0xFF), int((want >> shift) & 0xFF), 12) << x << "," << y;
        }
}

TEST(Jpeg, GreyBecomesRgbAndCmykIsRefused)
{
    TempDir dir;
    std::vector<uint8_t> grey(16 * 8);
    for (size_t i = 0; i < grey.size(); ++i)
        grey[i] = static_cast<uint8_t>(i % 16 * 16);
    WriteRawJpeg(dir.File("g.jpg"), 16, 8, JCS_GRAYSCALE, 1, grey);
    auto img = ImageLib::ReadJpeg(dir.File("g.jpg"));
    ASSERT_TRUE(img);
    ASSERT_EQ(img->mWidth, 16);
    for (int i = 0; i < 16 * 8; ++i) {
        const uint32_t p = img->mBits[i];
        EXPECT_EQ(p >> 24, 0xFFu);
        EXPECT_EQ((p >> 16) & 0xFF, p & 0xFF);
        EXPECT_EQ((p >> 8) & 0xFF, p & 0xFF);
        EXPECT_NEAR(int(p & 0xFF), grey[i], 8);
    }

    WriteRawJpeg(dir.File("c.jpg"), 8, 8, JCS_CMYK, 4, std::vector<uint8_t>(8 * 8 * 4, 100));
    EXPECT_FALSE(ImageLib::ReadJpeg(dir.File("c.jpg")));
}

TEST(Jpeg, BrokenFilesGiveNoneAndTheProcessGoesOn)
{
    TempDir dir;
    ASSERT_TRUE(ImageLib::WriteJpeg(dir.File("ok.jpg"), Pattern(40, 40, false)));
    const std::string good = TestSupport::ReadFile(dir.File("ok.jpg"));
    for (const std::string& data : {good.substr(0, 2), good.substr(0, 100), std::string("\xFF\xD8\xFF\xD9", 4),
                                    std::string("GIF89a")}) {
        TestSupport::WriteFile(dir.File("bad.jpg"), data);
        EXPECT_FALSE(ImageLib::ReadJpeg(dir.File("bad.jpg"))) << data.size();
    }
    // Cut inside the scan data: the library fills the rest; either way no fault.
    TestSupport::WriteFile(dir.File("cut.jpg"), good.substr(0, good.size() - 200));
    auto cut = ImageLib::ReadJpeg(dir.File("cut.jpg"));
    if (cut) {
        EXPECT_EQ(cut->mWidth, 40);
    }
}

// ---- Finding files and alpha pictures

class ImageLookup : public testing::Test {
protected:
    void Png(const std::string& name, uint32_t colour, int w = 2, int h = 2)
    {
        Image img(w, h);
        std::fill(img.mBits.begin(), img.mBits.end(), colour);
        ASSERT_TRUE(ImageLib::WritePng(mDir.File(name), img));
    }
    void Jpg(const std::string& name, uint32_t colour)
    {
        Image img(8, 8);
        std::fill(img.mBits.begin(), img.mBits.end(), colour);
        ASSERT_TRUE(ImageLib::WriteJpeg(mDir.File(name), img));
    }
    void Gif(const std::string& name, GifWriter::Rgb colour)
    {
        GifWriter::Options opt;
        opt.globalTable = {colour, colour};
        TestSupport::WriteFile(mDir.File(name), GifWriter::Build(2, 2, {0, 0, 0, 0}, opt));
    }
    uint32_t Load(const std::string& name, bool alpha = true)
    {
        auto img = ImageLib::LoadImageFile(mDir.File(name), alpha);
        return img ? img->mBits[0] : 0xDEADu;
    }
    TempDir mDir;
};

TEST_F(ImageLookup, ReaderOrderAndExtensions)
{
    Png("ship.png", 0xFF112233u);
    EXPECT_EQ(Load("ship"), 0xFF112233u);
    EXPECT_EQ(Load("ship.png"), 0xFF112233u);
    EXPECT_EQ(Load("ship.PNG"), 0xFF112233u); // the reader's own extension is opened
    EXPECT_EQ(Load("ship.gif"), 0xDEADu);     // only the GIF reader is tried
    EXPECT_EQ(Load("ship.bmp"), 0xDEADu);

    Jpg("ship.jpg", 0xFFF0F0F0u);
    const uint32_t first = Load("ship"); // the JPEG comes first
    EXPECT_GE((first >> 16) & 0xFF, 0xE0u);
    EXPECT_GE(first & 0xFF, 0xE0u);
    Gif("boat.gif", {1, 2, 3});
    EXPECT_EQ(Load("boat"), 0xFF010203u);
    EXPECT_EQ(Load("nothing"), 0xDEADu);
}

TEST_F(ImageLookup, AlphaPictures)
{
    Png("ship.png", 0xFF112233u);
    Png("_ship.png", 0xFF000080u); // blue 0x80 is the alpha
    EXPECT_EQ(Load("ship"), 0x80112233u);
    EXPECT_EQ(Load("ship.png"), 0x80112233u);
    EXPECT_EQ(Load("ship", false), 0xFF112233u);

    Png("boat.png", 0xFF445566u);
    Gif("boat_.gif", {0, 0, 0x40}); // suffix form, any reader
    EXPECT_EQ(Load("boat"), 0x40445566u);

    Png("ghost_.png", 0xFF0000C0u); // alpha alone: white with that alpha
    EXPECT_EQ(Load("ghost"), 0xC0FFFFFFu);

    Png("odd.png", 0xFF010101u);
    Png("_odd.png", 0xFF000010u, 3, 2); // another size: colour picture unchanged
    EXPECT_EQ(Load("odd"), 0xFF010101u);

    // The prefix form is looked for first.
    Png("both.png", 0xFF020202u);
    Png("_both.png", 0xFF000011u);
    Png("both_.png", 0xFF000022u);
    EXPECT_EQ(Load("both"), 0x11020202u);
}

TEST_F(ImageLookup, AlphaBesideAFolder)
{
    ASSERT_EQ(std::system(("mkdir -p " + mDir.File("images")).c_str()), 0);
    Png("images/ship.png", 0xFF112233u);
    Png("images/_ship.png", 0xFF000033u);
    EXPECT_EQ(Load("images/ship"), 0x33112233u);
}

} // namespace
