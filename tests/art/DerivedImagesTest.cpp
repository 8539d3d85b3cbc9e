// The copies the game makes of its pictures after loading (red flashes,
// see-through stealth strips, mirrors facing right, darkened mirrors, tinted
// fish schools), built by the game itself from the painted images, must still
// read as what they stand for.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "framework/graphics/MemoryImage.h"
#include "game/shell/WinBTApp.h"
#include "tests/art/ArtFixture.h"

using namespace ArtTest;
using Zant::Image;
using Zant::MemoryImage;
using Zant::WinBTApp;

namespace {

struct Picture {
    int width = 0, height = 0;
    const uint32_t* bits = nullptr;
    uint32_t At(int x, int y) const { return bits[size_t(y) * width + x]; }
};

Picture View(Image* image)
{
    auto* memory = dynamic_cast<MemoryImage*>(image);
    if (memory == nullptr || memory->GetBits() == nullptr)
        return {};
    return {memory->GetWidth(), memory->GetHeight(), memory->GetBits()};
}

bool Yellow(uint32_t p) { return Alpha(p) > 200 && Red(p) > 200 && Green(p) > 150 && Blue(p) < 90; }

// Mean x of a cel's yellow (eye) pixels as a fraction of the cel width; -1 when none.
double EyeSide(const Picture& p, int celWidth, int cel)
{
    double sum = 0;
    int count = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < celWidth; ++x)
            if (Yellow(p.At(cel * celWidth + x, y))) {
                sum += x;
                ++count;
            }
    return count ? sum / count / celWidth : -1;
}

class DerivedImages : public ArtImages {
protected:
    static void SetUpTestSuite()
    {
        ArtImages::SetUpTestSuite();
        sApp = std::make_unique<WinBTApp>();
        // As the loading procedure does: every table image in memory, palettised.
        for (int i = 0; i < WinBTApp::NUM_IMAGES; ++i) {
            const std::string name = WinBTApp::IMAGE_NAMES[i];
            if (!Loaded(name))
                continue;
            const ImageLib::Image& loaded = Pic(name);
            auto* image = new MemoryImage();
            image->SetBits(loaded.GetBits(), loaded.GetWidth(), loaded.GetHeight());
            image->Palletize();
            sApp->SetImage(i, image);
        }
        sApp->BuildDerivedImages();
    }
    static void TearDownTestSuite() { sApp.reset(); }

    static const ImageLib::Image& Source(int index) { return Pic(WinBTApp::IMAGE_NAMES[index]); }

    static std::unique_ptr<WinBTApp> sApp;
};

std::unique_ptr<WinBTApp> DerivedImages::sApp;

TEST_F(DerivedImages, RedFlashTurnsTheWholeSharkVisiblyRed)
{
    // Creature type and the table image its flash is made from.
    const struct {
        int type, source;
    } cases[] = {{0, Zant::IMAGE_SHARK_BASIC_SWIM},
                 {2, Zant::IMAGE_SHARK_RED_SWIM},
                 {1, Zant::IMAGE_SHARK_BLACK_SWIM},
                 {4, Zant::IMAGE_TOXIC_BASIC_SWIM}};
    for (const auto& c : cases) {
        SCOPED_TRACE(WinBTApp::IMAGE_NAMES[c.source]);
        const ImageLib::Image& source = Source(c.source);
        Picture red = View(sApp->GetSharkImage(c.type, Zant::VARIANT_RED));
        ASSERT_NE(red.bits, nullptr);
        ASSERT_EQ(red.width, source.GetWidth());
        ASSERT_EQ(red.height, source.GetHeight());
        long redSum = 0, body = 0, otherChannels = 0, moved = 0;
        for (int y = 0; y < red.height; ++y)
            for (int x = 0; x < red.width; ++x) {
                uint32_t p = red.At(x, y);
                moved += std::abs(Alpha(p) - Alpha(source.Pixel(x, y))) > 1;
                otherChannels += Green(p) + Blue(p);
                if (Alpha(p) > 200) {
                    redSum += Red(p);
                    ++body;
                }
            }
        EXPECT_EQ(moved, 0) << "the outline changed";
        EXPECT_EQ(otherChannels, 0);
        ASSERT_GT(body, 0);
        // A dark shark must not flash black: enough light in the body for red to show.
        EXPECT_GT(double(redSum) / body, 60.0);
    }
}

TEST_F(DerivedImages, StealthStripsAreHalfSeeThroughButStillThere)
{
    const struct {
        bool shark;
        int type, slot, source;
    } cases[] = {
        {true, 3, Zant::VARIANT_SWIM, Zant::IMAGE_SHARK_BASIC_SWIM},
        {true, 3, Zant::VARIANT_DEATH, Zant::IMAGE_SHARK_BASIC_DEATH},
        {true, 9, Zant::VARIANT_SWIM, Zant::IMAGE_SHARK_RED_SWIM},
        {true, 10, Zant::VARIANT_SWIM, Zant::IMAGE_SHARK_BLACK_SWIM},
        {false, 3, Zant::VARIANT_SWIM, Zant::IMAGE_PIRANHA_BASIC_SWIM},
        {false, 7, Zant::VARIANT_DEATH, Zant::IMAGE_PIRANHA_WHITE_DEATH},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(WinBTApp::IMAGE_NAMES[c.source]);
        Image* image = c.shark ? sApp->GetSharkImage(c.type, c.slot) : sApp->GetPiranhaImage(c.type, c.slot);
        Picture p = View(image);
        ASSERT_NE(p.bits, nullptr);
        EXPECT_EQ(p.width, Source(c.source).GetWidth());
        EXPECT_EQ(p.height, Source(c.source).GetHeight());
        int most = 0;
        for (int i = 0; i < p.width * p.height; ++i)
            most = std::max(most, Alpha(p.bits[i]));
        EXPECT_LE(most, 128);
        EXPECT_GE(most, 120) << "the solid body should come out at half opacity";
    }
}

TEST_F(DerivedImages, MirroredStripsFaceRightAndPlayTheirCelsBackwards)
{
    // The game flips the whole strip, so cel k of the copy is cel N-1-k turned round.
    const struct {
        bool shark;
        int type, source;
    } cases[] = {{true, 0, Zant::IMAGE_SHARK_BASIC_SWIM},
                 {true, 2, Zant::IMAGE_SHARK_RED_SWIM},
                 {true, 1, Zant::IMAGE_SHARK_BLACK_SWIM},
                 {false, 0, Zant::IMAGE_PIRANHA_BASIC_SWIM},
                 {false, 2, Zant::IMAGE_GUMBO_SWIM}};
    for (const auto& c : cases) {
        SCOPED_TRACE(WinBTApp::IMAGE_NAMES[c.source]);
        const ImageLib::Image& source = Source(c.source);
        Image* image = c.shark ? sApp->GetSharkImage(c.type, Zant::VARIANT_MIRRORED)
                               : sApp->GetPiranhaImage(c.type, Zant::VARIANT_MIRRORED);
        Picture mirror = View(image);
        ASSERT_NE(mirror.bits, nullptr);
        ASSERT_EQ(mirror.width, source.GetWidth());
        const int cels = 20, cw = source.GetWidth() / cels;
        for (int k : {0, 7, 19}) {
            const int from = cels - 1 - k;
            for (int y = 0; y < source.GetHeight(); y += 3)
                for (int x = 0; x < cw; x += 3)
                    ASSERT_EQ(mirror.At(k * cw + x, y), source.Pixel(from * cw + cw - 1 - x, y))
                        << "cel " << k << " at " << x << "," << y;
            // The hostile yellow eye sits at the head: on the left of the
            // painted strip, on the right of the mirrored one.
            Picture original{source.GetWidth(), source.GetHeight(), source.GetBits()};
            double before = EyeSide(original, cw, from), after = EyeSide(mirror, cw, k);
            ASSERT_GE(before, 0) << "no eye in cel " << from;
            EXPECT_LT(before, 0.35);
            EXPECT_GT(after, 0.65);
        }
    }
}

TEST_F(DerivedImages, DarkenedGlowMirrorsKeepBlackBlack)
{
    // Glows are drawn additively: black adds nothing, so a darkened copy must
    // stay pure black around the glow and still glow where the original does.
    for (auto [mirror, source] : {std::pair{sApp->mToxicGlowMirror, int(Zant::IMAGE_TOXIC_GLOW_SWIM)},
                                  std::pair{sApp->mGhostGlowMirror, int(Zant::IMAGE_SHARK_GHOST_GLOW_SWIM)}}) {
        SCOPED_TRACE(WinBTApp::IMAGE_NAMES[source]);
        Picture p = View(mirror);
        ASSERT_NE(p.bits, nullptr);
        EXPECT_EQ(p.width, Source(source).GetWidth());
        const int cw = p.width / 20;
        int brightest = 0;
        for (int k = 0; k < 20; ++k) {
            for (auto [x, y] : {std::pair{0, 0}, std::pair{cw - 1, 0}, std::pair{0, p.height - 1},
                                std::pair{cw - 1, p.height - 1}})
                EXPECT_EQ(p.At(k * cw + x, y) & 0xFFFFFF, 0u) << "cel " << k << " corner " << x << "," << y;
        }
        for (int i = 0; i < p.width * p.height; ++i)
            brightest = std::max({brightest, Red(p.bits[i]), Green(p.bits[i]), Blue(p.bits[i])});
        EXPECT_GT(brightest, 80);
    }
    for (Image* mirror : {sApp->mRotorTorpedoMirror, sApp->mCannonballMirror, sApp->mTorpedoSwimMirror,
                          sApp->mToxicSwimMirror, sApp->mGhostSwimMirror})
        EXPECT_NE(View(mirror).bits, nullptr);
}

TEST_F(DerivedImages, FishSchoolTintsGiveThreeDistinctSchools)
{
    // Tint 0 (50, 50, 255) is a blue school; the three tints of one fish differ.
    for (int kind = 0; kind < 2; ++kind) {
        SCOPED_TRACE(kind ? "smallgoldfish" : "smallcarn");
        double mean[3][3] = {};
        for (int tint = 0; tint < WinBTApp::NUM_FISH_TINTS; ++tint) {
            Picture p = View(sApp->GetFishImage(kind, tint));
            ASSERT_NE(p.bits, nullptr);
            EXPECT_EQ(p.width, 400);
            EXPECT_EQ(p.height, 20);
            int count = 0;
            for (int i = 0; i < p.width * p.height; ++i)
                if (Alpha(p.bits[i]) > 200) {
                    mean[tint][0] += Red(p.bits[i]);
                    mean[tint][1] += Green(p.bits[i]);
                    mean[tint][2] += Blue(p.bits[i]);
                    ++count;
                }
            ASSERT_GT(count, 0);
            for (double& m : mean[tint])
                m /= count;
        }
        EXPECT_GT(mean[0][2], mean[0][0] * 1.5) << "the first school is blue";
        for (int a = 0; a < 3; ++a)
            for (int b = a + 1; b < 3; ++b) {
                double d = std::abs(mean[a][0] - mean[b][0]) + std::abs(mean[a][1] - mean[b][1]) +
                           std::abs(mean[a][2] - mean[b][2]);
                EXPECT_GT(d, 20.0) << "schools " << a << " and " << b << " look alike";
            }
    }
}

} // namespace
