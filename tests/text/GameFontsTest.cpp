// The fonts the build makes load through the real reader and measure as the font
// maker laid them out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>

#include "framework/graphics/FontData.h"
#include "framework/graphics/FontHost.h"
#include "framework/graphics/ImageFont.h"
#include "tests/support/TestSupport.h"

using namespace Zant;

namespace {

const char* const GAME_FONTS[] = {
    "Rockwell13.txt",          "Rockwell13Bold.txt",           "GillSansMT10Bold.txt",
    "CourierFinalDraft15Bold.txt", "12ptfont.txt",             "12ptfontglow.txt",
    "MyriadCondensedWeb28BoldGL.txt", "MyriadCondensedWeb28Bold.txt", "UnsteadyOversteer22.txt",
    "MyriadCondensedWeb12Bold.txt", "MyriadCondensedWeb14Bold.txt", "MyriadCondensedWeb15.txt",
    "SwissCheesed24.txt",
};

struct MakerMetrics {
    int sampleWidth = 0;
    int ascent = 0;
    int lineHeight = 0;
};

std::map<std::string, MakerMetrics> ReadMakerMetrics()
{
    const char* binary = std::getenv("PLINDOR_BINARY_DIR");
    std::string path = (binary ? std::string(binary) : TestSupport::GameDir() + "/..") + "/fontmetrics.txt";
    std::istringstream in(TestSupport::ReadFile(path));
    std::map<std::string, MakerMetrics> metrics;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string name;
        MakerMetrics m;
        fields >> name >> m.sampleWidth >> m.ascent >> m.lineHeight;
        metrics[name] = m;
    }
    return metrics;
}

} // namespace

TEST(GameFonts, EveryFontLoadsWithEveryPrintableCharacter)
{
    auto metrics = ReadMakerMetrics();
    ASSERT_EQ(metrics.size(), std::size(GAME_FONTS));
    SoftwareFontHost host;
    for (const char* name : GAME_FONTS) {
        std::string path = TestSupport::GameDir() + "/data/" + name;
        ImageFont font(&host, path);
        ASSERT_TRUE(font.IsLoaded()) << name;
        const MakerMetrics& m = metrics.at(name);
        EXPECT_EQ(font.StringWidth("THE QUICK BROWN FOX"), m.sampleWidth) << name;
        EXPECT_EQ(font.GetAscent(), m.ascent) << name;
        EXPECT_GE(font.GetHeight(), m.lineHeight) << name;
        const FontLayer& main = *font.mFontData->mFontLayerMap.at("MAIN");
        for (int c = 32; c <= 126; ++c) {
            const CharData& glyph = main.mCharData[c];
            EXPECT_GT(glyph.mWidth, 0) << name << " '" << char(c) << "'";
            if (c != ' ') {
                EXPECT_GT(glyph.mImageRect.width, 0) << name << " '" << char(c) << "'";
                EXPECT_GT(glyph.mImageRect.height, 0) << name << " '" << char(c) << "'";
            }
        }
    }
}
