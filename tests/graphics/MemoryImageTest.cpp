#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/MemoryImage.h"

using namespace Zant;

namespace {

std::vector<uint32_t> Pixels(MemoryImage& image)
{
    const uint32_t* bits = image.GetBits();
    return std::vector<uint32_t>(bits, bits + image.GetWidth() * image.GetHeight());
}

void Load(MemoryImage& image, int width, int height, const std::vector<uint32_t>& pixels)
{
    image.SetBits(pixels.data(), width, height);
}

class SetRegistry : public ImageRegistry {
public:
    void AddImage(MemoryImage* image) override { images.insert(image); }
    void ForgetImage(MemoryImage* image) override { images.erase(image); }
    std::set<MemoryImage*> images;
};

} // namespace

TEST(MemoryImageTest, PixelArrayEndsInTheGuardWord)
{
    MemoryImage empty;
    EXPECT_FALSE(empty.HasBits());
    EXPECT_EQ(empty.GetBits()[0], MemoryImage::GUARD_WORD);

    MemoryImage image;
    image.Create(4, 3);
    const uint32_t* bits = image.GetBits();
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(bits[i], 0u);
    EXPECT_EQ(bits[12], 0x4BEEFADEu);
}

TEST(MemoryImageTest, FillBlendsWithTheExactRoundings)
{
    struct Case {
        uint32_t dest;
        Color color;
        uint32_t expected;
    };
    const Case cases[] = {
        {0x00000000, Color(255, 0, 0, 128), 0x80FE0000}, // w = 255: red (255 * 255) >> 8
        {0xFF0000FF, Color(255, 0, 0, 128), 0xFF7F007F},
        {0x40204060, Color(10, 200, 30, 100), 0x8A10A130}, // A 138, w 184
        {0x12345678, Color(1, 2, 3, 255), 0xFF010203},     // opaque: stored as it is
        {0xFFFFFFFF, Color(0, 0, 0, 1), 0xFFFEFEFE},
    };
    for (const Case& c : cases) {
        MemoryImage image;
        Load(image, 1, 1, {c.dest});
        image.FillRect(Rect(0, 0, 1, 1), c.color, 0);
        EXPECT_EQ(image.GetBits()[0], c.expected) << std::hex << c.dest;
    }
}

TEST(MemoryImageTest, FillStaysInsideTheImageAndTransparentFillIsANoOp)
{
    MemoryImage image;
    image.Create(3, 2);
    image.FillRect(Rect(-5, 1, 100, 100), Color(1, 2, 3), 0);
    EXPECT_EQ(Pixels(image), (std::vector<uint32_t>{0, 0, 0, 0xFF010203, 0xFF010203, 0xFF010203}));
    EXPECT_EQ(image.GetBits()[6], MemoryImage::GUARD_WORD);

    const int changes = image.GetBitsChangedCount();
    image.FillRect(Rect(0, 0, 3, 2), Color(9, 9, 9, 0), 0);
    EXPECT_EQ(image.GetBitsChangedCount(), changes);
    EXPECT_EQ(image.GetBits()[0], 0u);

    image.ClearRect(Rect(1, 1, 5, 5));
    EXPECT_EQ(Pixels(image), (std::vector<uint32_t>{0, 0, 0, 0xFF010203, 0, 0}));
}

namespace {

// count opaque white pixels with some set to other values.
std::vector<uint32_t> Row(size_t count, std::initializer_list<std::pair<size_t, uint32_t>> set)
{
    std::vector<uint32_t> pixels(count, 0xFFFFFFFF);
    for (const auto& [at, value] : set)
        pixels[at] = value;
    return pixels;
}

} // namespace

TEST(MemoryImageTest, CommitBitsDerivesTheTransparencyFlags)
{
    struct Case {
        std::vector<uint32_t> pixels;
        bool hasTrans, hasAlpha;
    };
    const Case cases[] = {
        {{0xFF000000, 0xFFFFFFFF}, false, false},
        {{0xFF000000, 0x00FFFFFF}, true, false},
        {{0xFF000000, 0x80FFFFFF}, false, true},
        {{0x01000000, 0x00FFFFFF}, true, true},
        {{0xFE000000, 0xFF000000}, false, true},
        // Long rows: the kinds met far apart, or only at the very end.
        {Row(700, {{3, 0x00000000}, {650, 0x7F000000}}), true, true},
        {Row(700, {{699, 0x00000000}}), true, false},
        {Row(700, {{699, 0x01000000}}), false, true},
        {Row(700, {}), false, false},
    };
    for (const Case& c : cases) {
        MemoryImage image;
        Load(image, int(c.pixels.size()), 1, c.pixels);
        EXPECT_EQ(image.HasTransparency(), c.hasTrans);
        EXPECT_EQ(image.HasAlpha(), c.hasAlpha);
    }
}

TEST(MemoryImageTest, ForcedModeSurvivesLaterWrites)
{
    MemoryImage image;
    Load(image, 2, 1, {0x00000000, 0x80000000});
    image.SetImageMode(false, false);
    image.ClearRect(Rect(0, 0, 2, 1));
    image.CommitBits();
    EXPECT_FALSE(image.HasTransparency());
    EXPECT_FALSE(image.HasAlpha());
    EXPECT_TRUE(image.IsForcedMode());
}

TEST(MemoryImageTest, FlagsFollowWritesOntoAnOpaqueImage)
{
    // Blends keep an opaque image opaque; a clear must still be noticed.
    MemoryImage image;
    image.Create(4, 1);
    image.FillRect(Rect(0, 0, 4, 1), Color(10, 20, 30), 0);
    image.CommitBits();
    EXPECT_FALSE(image.HasTransparency());
    image.FillRect(Rect(0, 0, 2, 1), Color(10, 20, 30, 7), 0);
    image.CommitBits();
    EXPECT_FALSE(image.HasTransparency());
    EXPECT_FALSE(image.HasAlpha());
    image.ClearRect(Rect(3, 0, 1, 1));
    image.CommitBits();
    EXPECT_TRUE(image.HasTransparency());
}

TEST(MemoryImageTest, RunLengthBytesCountToTheEndOfEachRun)
{
    MemoryImage image;
    // Row 0: opaque, opaque, transparent, partial x3; row 1 starts a new run.
    Load(image, 6, 2,
         {0xFF000000, 0xFF123456, 0x00000000, 0x80000000, 0x01FFFFFF, 0xFE000000, 0xFF000000, 0xFF000000,
          0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000});
    const uint8_t* runs = image.GetRLAlphaData();
    EXPECT_EQ(std::vector<uint8_t>(runs, runs + 12), (std::vector<uint8_t>{2, 1, 1, 3, 2, 1, 6, 5, 4, 3, 2, 1}));

    // The palettised form gives the same bytes.
    ASSERT_TRUE(image.Palletize());
    const uint8_t* again = image.GetRLAlphaData();
    EXPECT_EQ(std::vector<uint8_t>(again, again + 12), std::vector<uint8_t>(runs, runs + 12));

    MemoryImage wide;
    Load(wide, 300, 1, std::vector<uint32_t>(300, 0xFFFFFFFF));
    const uint8_t* long_run = wide.GetRLAlphaData();
    for (int i = 0; i < 46; ++i)
        EXPECT_EQ(long_run[i], 255) << i;
    for (int i = 46; i < 300; ++i)
        EXPECT_EQ(long_run[i], 300 - i) << i;

    MemoryImage column;
    Load(column, 1, 3, {0, 0xFF000000, 0x80000000});
    const uint8_t* single = column.GetRLAlphaData();
    EXPECT_EQ(std::vector<uint8_t>(single, single + 3), (std::vector<uint8_t>{1, 1, 1}));
}

TEST(MemoryImageTest, CachesAreDroppedByEveryWrite)
{
    MemoryImage image;
    Load(image, 2, 1, {0xFF000000, 0x00000000});
    image.GetRLAlphaData();
    image.GetNativeAlphaData(32, 0xFF0000, 0xFF00, 0xFF);
    EXPECT_TRUE(image.HasRLAlphaData());
    EXPECT_TRUE(image.HasNativeAlphaData());
    const int before = image.GetBitsChangedCount();
    image.FillRect(Rect(1, 0, 1, 1), Color(1, 1, 1), 0);
    EXPECT_EQ(image.GetBitsChangedCount(), before + 1);
    EXPECT_FALSE(image.HasRLAlphaData());
    EXPECT_FALSE(image.HasNativeAlphaData());
    EXPECT_EQ(image.GetRLAlphaData()[0], 2);
}

TEST(MemoryImageTest, NativeDataPremultipliesIntoTheDisplayFormat)
{
    MemoryImage image;
    Load(image, 3, 1, {0x80FF8040, 0x00FFFFFF, 0xFF000001});
    const uint32_t* native32 = image.GetNativeAlphaData(32, 0xFF0000, 0xFF00, 0xFF);
    EXPECT_EQ(native32[0], 0x807E3F1Fu);
    EXPECT_EQ(native32[1], 0x00000000u);
    EXPECT_EQ(native32[2], 0xFF000000u); // blue 1 * 255 >> 8 rounds away

    const uint32_t* native16 = image.GetNativeAlphaData(16, 0xF800, 0x7E0, 0x1F);
    EXPECT_EQ(native16[0], 0x800079E3u);

    // Additive classes come from the native pixels: a transparent colour counts as black.
    const uint8_t* additive = image.GetRLAdditiveData(32, 0xFF0000, 0xFF00, 0xFF);
    EXPECT_EQ(std::vector<uint8_t>(additive, additive + 3), (std::vector<uint8_t>{1, 2, 1}));
}

TEST(MemoryImageTest, PalletizeKeepsAtMost256ColoursInOrderOfAppearance)
{
    std::vector<uint32_t> colours(256);
    for (int i = 0; i < 256; ++i)
        colours[i] = 0xFF000000u | uint32_t((i * 7919) & 0xFFFFFF);
    std::vector<uint32_t> pixels;
    for (int i = 0; i < 512; ++i)
        pixels.push_back(colours[(i * 3) % 256]);

    MemoryImage fits;
    Load(fits, 32, 16, pixels);
    ASSERT_TRUE(fits.Palletize());
    EXPECT_FALSE(fits.HasBits());
    EXPECT_EQ(fits.GetColorTable()[0], pixels[0]);
    EXPECT_EQ(fits.GetColorTable()[1], pixels[1]);
    EXPECT_EQ(fits.GetColorIndices()[2], 2);
    EXPECT_TRUE(fits.Palletize()); // already
    EXPECT_EQ(Pixels(fits), pixels);
    EXPECT_FALSE(fits.IsPalettized());

    pixels[100] = 0xFE000000; // a 257th value (alpha counts)
    MemoryImage tooMany;
    Load(tooMany, 32, 16, pixels);
    EXPECT_FALSE(tooMany.Palletize());
    EXPECT_TRUE(tooMany.HasBits());
    EXPECT_FALSE(tooMany.IsPalettized());
    EXPECT_EQ(Pixels(tooMany), pixels);

    MemoryImage none;
    EXPECT_FALSE(none.Palletize());
}

TEST(MemoryImageTest, PalettisedOpaqueImageStaysOpaque)
{
    MemoryImage image;
    Load(image, 2, 2, {0xFF102030, 0xFF102030, 0xFFFFFFFF, 0xFF102030});
    ASSERT_TRUE(image.Palletize());
    image.BitsChanged(); // the rescan reads all 256 palette entries
    image.CommitBits();
    EXPECT_FALSE(image.HasTransparency());
    EXPECT_FALSE(image.HasAlpha());

    // Drawing from a palettised image expands it once; taking its pixels back reuses
    // that expansion.
    const uint32_t* drawn = image.GetDrawBits();
    EXPECT_EQ(drawn[2], 0xFFFFFFFFu);
    EXPECT_EQ(drawn[4], MemoryImage::GUARD_WORD);
    EXPECT_TRUE(image.HasExpandedBits());
    EXPECT_EQ(Pixels(image), (std::vector<uint32_t>{0xFF102030, 0xFF102030, 0xFFFFFFFF, 0xFF102030}));
    EXPECT_EQ(image.GetBits()[4], MemoryImage::GUARD_WORD);
    EXPECT_FALSE(image.HasExpandedBits());

    // A new size drops the palette along with the pixels.
    image.Create(3, 1);
    EXPECT_FALSE(image.IsPalettized());
    EXPECT_EQ(Pixels(image), (std::vector<uint32_t>{0, 0, 0}));
}

TEST(MemoryImageTest, CopiesOwnTheirPixelsAndJoinTheRegistry)
{
    SetRegistry registry;
    {
        MemoryImage original(&registry);
        Load(original, 2, 1, {0xFF000001, 0x80000002});
        original.GetRLAlphaData();
        MemoryImage copy(original);
        EXPECT_EQ(registry.images.size(), 2u);
        EXPECT_EQ(Pixels(copy), Pixels(original));
        EXPECT_TRUE(copy.HasRLAlphaData());
        EXPECT_TRUE(copy.HasAlpha());
        copy.FillRect(Rect(0, 0, 1, 1), Color(9, 9, 9), 0);
        EXPECT_EQ(original.GetBits()[0], 0xFF000001u);

        ASSERT_TRUE(original.Palletize());
        MemoryImage fromPalette(original);
        EXPECT_TRUE(fromPalette.IsPalettized());
        EXPECT_EQ(fromPalette.GetBits()[1], 0x80000002u);

        MemoryImage blank;
        blank.Create(2, 2);
        MemoryImage blankCopy(blank);
        EXPECT_TRUE(blankCopy.HasBits());
        EXPECT_FALSE(blank.HasBits());
        EXPECT_EQ(registry.images.size(), 3u); // blank and blankCopy have no registry
    }
    EXPECT_TRUE(registry.images.empty());
}

namespace {

// 5 by 3, every pixel different, a few of them see-through.
std::vector<uint32_t> Numbered()
{
    std::vector<uint32_t> pixels;
    for (uint32_t i = 0; i < 15; ++i)
        pixels.push_back((i % 4 == 0 ? 0x80000000u : 0xFF000000u) | i * 0x010203u);
    return pixels;
}

} // namespace

// The same turns on 32-bit pixels and on palette indices; a palettised image keeps
// its palette, and a palette copy is its own.
TEST(MemoryImageTest, MirrorAndFlipWorkInEitherForm)
{
    const std::vector<uint32_t> source = Numbered();
    std::vector<uint32_t> mirrored, flipped;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            mirrored.push_back(source[size_t(y) * 5 + 4 - x]);
            flipped.push_back(source[size_t(2 - y) * 5 + x]);
        }
    struct Case {
        const char* name;
        bool palettised;
        void (MemoryImage::*turn)();
        const std::vector<uint32_t>& expected;
    };
    const Case cases[] = {
        {"mirror pixels", false, &MemoryImage::MirrorHorizontally, mirrored},
        {"mirror palette", true, &MemoryImage::MirrorHorizontally, mirrored},
        {"flip pixels", false, &MemoryImage::FlipVertically, flipped},
        {"flip palette", true, &MemoryImage::FlipVertically, flipped},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryImage original;
        Load(original, 5, 3, source);
        MemoryImage image;
        if (c.palettised) {
            ASSERT_TRUE(original.Palletize());
            ASSERT_TRUE(image.CopyPalette(original));
        } else {
            Load(image, 5, 3, source);
        }
        const int changes = image.GetBitsChangedCount();
        (image.*c.turn)();
        EXPECT_EQ(image.IsPalettized(), c.palettised);
        EXPECT_GT(image.GetBitsChangedCount(), changes);
        EXPECT_EQ(Pixels(image), c.expected);
        EXPECT_EQ(Pixels(original), source);
    }

    // Without a palette to copy the image stays as it was.
    MemoryImage plain, target;
    Load(plain, 5, 3, source);
    Load(target, 1, 1, {7});
    EXPECT_FALSE(target.CopyPalette(plain));
    EXPECT_EQ(Pixels(target), std::vector<uint32_t>{7});
}
