#include <gtest/gtest.h>

#include "framework/graphics/ImageLib.h"
#include "tests/imagelib/GifWriter.h"

using GifWriter::Rgb;
using ImageLib::DecodeGif;
using ImageLib::Image;

namespace {

std::unique_ptr<Image> Decode(const std::string& file)
{
    return DecodeGif(reinterpret_cast<const uint8_t*>(file.data()), file.size());
}

uint32_t Argb(const Rgb& c)
{
    return 0xFF000000u | (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b;
}

std::vector<Rgb> Ramp(int n)
{
    std::vector<Rgb> t;
    for (int i = 0; i < n; ++i)
        t.push_back(Rgb{uint8_t(i * 7), uint8_t(255 - i), uint8_t(i * 3)});
    return t;
}

TEST(Gif, DecodesCompressedPixelsAndTransparency)
{
    // Short runs of scattered colours fill the whole 4096-entry table (every code
    // width up to 12 bits); runs make the coder use the code it has just made.
    const int w = 200, h = 150;
    std::vector<uint8_t> idx(w * h);
    for (int i = 0; i < w * h; ++i)
        idx[i] = static_cast<uint8_t>((uint32_t(i / 3) * 2654435761u) >> 26);
    GifWriter::Options opt;
    opt.globalTable = Ramp(64);
    opt.transparent = 5;
    auto img = Decode(GifWriter::Build(w, h, idx, opt));
    ASSERT_TRUE(img);
    ASSERT_EQ(img->mWidth, w);
    ASSERT_EQ(img->mHeight, h);
    for (int i = 0; i < w * h; ++i) {
        const uint32_t expect = idx[i] == 5 ? 0u : Argb(opt.globalTable[idx[i]]);
        ASSERT_EQ(img->mBits[i], expect) << "pixel " << i;
    }
}

TEST(Gif, LocalTableWinsOverGlobal)
{
    GifWriter::Options opt;
    opt.globalTable = {{1, 2, 3}, {4, 5, 6}};
    opt.localTable = {{10, 20, 30}, {40, 50, 60}};
    auto img = Decode(GifWriter::Build(2, 1, {0, 1}, opt));
    ASSERT_TRUE(img);
    EXPECT_EQ(img->mBits[0], 0xFF0A141Eu);
    EXPECT_EQ(img->mBits[1], 0xFF28323Cu);
}

TEST(Gif, InterlacedRowsLandInPassOrder)
{
    // Stream rows come in the order 0, 8, 4, 2, 6, 1, 3, 5, 7, 9; each row's colour
    // index names the picture row it belongs to.
    const int order[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    const int w = 3;
    std::vector<uint8_t> idx;
    for (int row : order)
        for (int x = 0; x < w; ++x)
            idx.push_back(static_cast<uint8_t>(row));
    GifWriter::Options opt;
    opt.globalTable = Ramp(10);
    opt.interlaced = true;
    auto img = Decode(GifWriter::Build(w, 10, idx, opt));
    ASSERT_TRUE(img);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(img->Pixel(x, y), Argb(opt.globalTable[y])) << "row " << y;
}

TEST(Gif, IndexOutsideTheTableIsTransparentBlack)
{
    GifWriter::Options small;
    small.globalTable = {{255, 255, 255}, {9, 9, 9}};
    auto img = Decode(GifWriter::Build(3, 1, {1, 200, 0}, small));
    ASSERT_TRUE(img);
    EXPECT_EQ(img->mBits[0], 0xFF090909u);
    EXPECT_EQ(img->mBits[1], 0u);
    EXPECT_EQ(img->mBits[2], 0xFFFFFFFFu);

    auto none = Decode(GifWriter::Build(2, 1, {0, 3}, GifWriter::Options{}));
    ASSERT_TRUE(none);
    EXPECT_EQ(none->mBits[0], 0u);
    EXPECT_EQ(none->mBits[1], 0u);
}

TEST(Gif, GraphicControlBlocks)
{
    const struct {
        const char* name;
        std::string block;
        bool transparent;
    } cases[] = {
        {"complete", std::string("\x04\x01\x00\x00\x01\x00", 6), true},
        {"flag clear", std::string("\x04\x00\x00\x00\x01\x00", 6), false},
        {"too short for an index", std::string("\x02\x01\x00\x00", 4), false},
    };
    for (const auto& c : cases) {
        GifWriter::Options opt;
        opt.globalTable = {{1, 1, 1}, {2, 2, 2}};
        opt.controlBlock = c.block;
        auto img = Decode(GifWriter::Build(2, 1, {0, 1}, opt));
        ASSERT_TRUE(img) << c.name;
        EXPECT_EQ(img->mBits[1], c.transparent ? 0u : 0xFF020202u) << c.name;
    }
}

TEST(Gif, BadStreamsStopDecoding)
{
    GifWriter::Options opt;
    opt.globalTable = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}};
    opt.minCodeSize = 2;
    // Clear (4), then 6, the entry still to be made: no string to build it from.
    opt.rawData = {0x34, 0x00};
    auto img = Decode(GifWriter::Build(2, 1, {}, opt));
    ASSERT_TRUE(img);
    EXPECT_EQ(img->mBits[0], 0u);

    // Clear, 1, then 7, beyond the next free code (6): decoding stops after one pixel.
    opt.rawData = {static_cast<uint8_t>(4 | (1 << 3) | (7 << 6)), static_cast<uint8_t>(7 >> 2)};
    img = Decode(GifWriter::Build(2, 1, {}, opt));
    ASSERT_TRUE(img);
    EXPECT_EQ(img->mBits[0], 0xFF020202u);
    EXPECT_EQ(img->mBits[1], 0u);
}

TEST(Gif, RejectedFiles)
{
    GifWriter::Options opt;
    opt.globalTable = Ramp(4);
    const std::string good = GifWriter::Build(4, 4, std::vector<uint8_t>(16, 1), opt);
    std::string zeroWidth = GifWriter::Build(0, 4, {}, opt);
    std::string wrongMagic = good;
    wrongMagic[3] = '9';
    opt.minCodeSize = 12;
    std::string hugeCodes = GifWriter::Build(4, 4, {}, opt);
    for (const std::string& file : {zeroWidth, wrongMagic, hugeCodes, std::string("GIF89a"), std::string("GIF89a;")})
        EXPECT_FALSE(Decode(file));
    EXPECT_TRUE(Decode(good));
}

TEST(Gif, EveryTruncationIsSafe)
{
    GifWriter::Options opt;
    opt.globalTable = Ramp(16);
    opt.transparent = 3;
    opt.interlaced = true;
    std::vector<uint8_t> idx(40 * 30);
    for (size_t i = 0; i < idx.size(); ++i)
        idx[i] = static_cast<uint8_t>(i % 13);
    const std::string file = GifWriter::Build(40, 30, idx, opt);
    for (size_t n = 0; n < file.size(); ++n) {
        auto img = Decode(file.substr(0, n)); // under ASan: no read outside the data
        if (img) {
            EXPECT_EQ(img->mWidth, 40);
        }
    }
}

} // namespace
