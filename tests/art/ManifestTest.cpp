// The manifest reader: rows the tool and the tests both rely on.
#include <gtest/gtest.h>

#include "tools/art/Manifest.h"

using Zant::Art::AlphaUse;
using Zant::Art::Layout;
using Zant::Art::Manifest;
using Zant::Art::ParseManifest;

TEST(ArtManifest, ReadsLayoutsAlphaAndNotes)
{
    Manifest m;
    std::string error;
    ASSERT_TRUE(ParseManifest("# comment\n"
                              "font Sans /f/sans.ttf\n"
                              "image strip 200x10 h20 alpha,loop Shark | twenty cels\n"
                              "image sheet 640x224 g10x4 alpha Clam\n"
                              "image down 74x528 v12 additive CannonBall\n"
                              "image frame 321x300 nine opaque Dialog\n",
                              m, error))
        << error;
    ASSERT_EQ(m.images.size(), 4u);
    EXPECT_EQ(m.fonts.at("Sans"), "/f/sans.ttf");
    const auto* strip = m.Find("strip");
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->layout, Layout::Horizontal);
    EXPECT_EQ(strip->CelWidth(), 10);
    EXPECT_TRUE(strip->loops);
    EXPECT_EQ(strip->note, "twenty cels");
    EXPECT_EQ(m.Find("sheet")->CelWidth(), 64);
    EXPECT_EQ(m.Find("sheet")->CelHeight(), 56);
    EXPECT_EQ(m.Find("down")->CelHeight(), 44);
    EXPECT_EQ(m.Find("down")->alpha, AlphaUse::Additive);
    EXPECT_EQ(m.Find("frame")->layout, Layout::NinePart);
}

TEST(ArtManifest, RejectsMalformedRows)
{
    struct Case {
        const char* text;
        const char* why;
    } cases[] = {
        {"image a 10x10 h3 alpha X\n", "cels do not divide the width"},
        {"image a 10 single alpha X\n", "size without height"},
        {"image a 0x10 single alpha X\n", "zero width"},
        {"image a 10x10 spiral alpha X\n", "unknown layout"},
        {"image a 10x10 single glossy X\n", "unknown alpha use"},
        {"image a 10x10 single alpha,bounce X\n", "unknown flag"},
        {"image a 10x10 single alpha\n", "missing class"},
        {"image a 10x10 nine alpha X\n", "nine-part sides not multiples of 3"},
        {"image a 9x9 single alpha X\nimage a 9x9 single alpha X\n", "listed twice"},
        {"picture a 9x9 single alpha X\n", "unknown row"},
        {"image a 9999999x9 single alpha X\n", "absurd size"},
    };
    for (const Case& c : cases) {
        Manifest m;
        std::string error;
        EXPECT_FALSE(ParseManifest(c.text, m, error)) << c.why;
        EXPECT_NE(error.find("line"), std::string::npos) << c.why;
    }
}
