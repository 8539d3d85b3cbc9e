#include "framework/graphics/FontData.h"

#include <gtest/gtest.h>

#include "framework/graphics/FontHost.h"
#include "framework/graphics/MemoryImage.h"
#include "tests/support/TestSupport.h"
#include "tests/text/FakeFontHost.h"

using namespace Zant;

namespace {

struct Loaded {
    FontData* data = new FontData();
    FakeFontHost host;
    ~Loaded() { delete data; }
    Loaded(const std::string& text, const std::string& path = "data\\f.txt")
    {
        host.sizes["data/a.png"] = {20, 10};
        host.sizes["data/b.png"] = {8, 8};
        data->LoadDescriptorText(&host, path, text);
    }
    FontLayer& Layer(const std::string& name) { return *data->mFontLayerMap.at(name); }
};

const std::string HEADER = "Font Descriptor Error in data\\f.txt\r\n";
// One drawable glyph, appended where a test is about something else: a descriptor
// without any is refused.
const std::string GLYPH = "\nCreateLayer Glyph; LayerSetImage Glyph 'b.png';"
                          " LayerSetImageMap Glyph ('a') ((0, 0, 1, 1)); LayerSetCharWidths Glyph ('a') (1);";

} // namespace

TEST(FontDescriptor, DescriptorsWithoutAGlyphAreRefused)
{
    // An empty or cut file runs no failing command, yet would draw every text as nothing.
    struct Case {
        const char* script;
        const char* error;
    } cases[] = {
        {"", "No Layer Image Set"},
        {"# a comment\n\n   # indented comment ; with semicolon\r\n\t\n", "No Layer Image Set"},
        {"CreateLayer M; LayerSetAscent M 3;", "No Layer Image Set"},
        {"CreateLayer M; LayerSetImage M 'a.png';", "No Characters Defined"},
        {"CreateLayer M; LayerSetImage M 'a.png'; LayerSetImageMap M ('A') ((0, 0, 0, 5));", "No Characters Defined"},
        {"CreateLayer M; LayerSetImage M 'a.png'; LayerSetCharWidths M ('A') (5);", "No Characters Defined"},
        // Cut after the image map, before the widths: every word would be one glyph.
        {"CreateLayer M; LayerSetImage M 'a.png'; LayerSetImageMap M ('A', 'B') ((0, 0, 2, 5), (2, 0, 2, 5));",
         "No Character Widths Defined"},
        {"CreateLayer M; LayerSetImage M 'a.png'; LayerSetImageMap M ('A') ((0, 0, 2, 5));"
         "CreateLayerFrom Rim M; LayerSetCharWidths Rim ('A') (0);",
         "No Character Widths Defined"},
    };
    for (const Case& c : cases) {
        Loaded f(c.script);
        EXPECT_FALSE(f.data->mInitialized) << c.script;
        ASSERT_EQ(f.host.errors.size(), 1u) << c.script;
        EXPECT_EQ(f.host.errors[0], HEADER + c.error) << c.script;
        EXPECT_EQ(f.data->mLoadError, HEADER + c.error) << c.script;
    }
    Loaded comments("# a comment\n\n" + GLYPH + "\n# trailing\n");
    EXPECT_TRUE(comments.data->mInitialized);
    EXPECT_TRUE(comments.host.errors.empty());
}

TEST(FontDescriptor, ErrorsNameTheirTextAndTheLineOfTheSemicolon)
{
    struct Case {
        const char* script;
        std::vector<std::string> errors; // the texts between header and " on "
        const char* line;                // the current line part of the last error
    } cases[] = {
        {"Bogus 1;", {"Unknown Command"}, "Line 1:\r\n\r\nBogus 1"},
        {"(a) b;", {"Missing Command"}, "Line 1:\r\n\r\n(a) b"},
        {"CreateLayer;", {"Invalid Number of Parameters"}, "Line 1:\r\n\r\nCreateLayer"},
        {"CreateLayer A;\ncreatelayer a;", {"Layer Already Exists"}, "Line 2:\r\n\r\ncreatelayer a"},
        {"LayerSetAscent\nNope\n3;", {"Undefined Layer", "Invalid Paramater Type"},
         "Line 3:\r\n\r\nLayerSetAscent\nNope\n3"},
        {"SetCharMap ('a','b') ('c');", {"List Size Mismatch"}, "Line 1:\r\n\r\nSetCharMap ('a','b') ('c')"},
        {"SetCharMap ('ab','b') ('c');", {"Invalid Paramater Type"}, nullptr},
        {"CreateLayer M; LayerSetImage M 'missing.png';", {"Failed to Load Image"}, nullptr},
        {"CreateLayer M; LayerSetImageMap M ('a') ((0,0,1,1));", {"Layer image not set"}, nullptr},
        {"CreateLayer M; LayerSetDrawMode M 2;", {"Invalid Paramater Type"}, nullptr},
        {"CreateLayer M; LayerSetAscent M +5;", {"Invalid Paramater Type"}, nullptr},
        {"CreateLayer M; LayerSetAscent M (1);", {"Invalid Paramater Type"}, nullptr},
        {"CreateLayer M; LayerSetOffset M (1 2 3);", {"Invalid Paramater Type"}, nullptr},
        {"CreateLayer M; LayerSetColorMult M (1 1 1);", {"Invalid Paramater Type"}, nullptr},
        {"CreateLayer M; LayerSetKerningPairs M ('AVX') (1);", {"Invalid Paramater Type"}, nullptr},
        {"Define 5x (1);", {"Invalid Paramater Type"}, nullptr},
        {"Define x (1 y);", {"Unable to Dereference \"Y\""}, nullptr},
        {"CreateLayer 'unterminated;", {"Unterminated Single Quotes"}, nullptr},
    };
    for (const Case& c : cases) {
        Loaded f(c.script);
        EXPECT_FALSE(f.data->mInitialized) << c.script;
        ASSERT_EQ(f.host.errors.size(), c.errors.size()) << c.script;
        for (size_t i = 0; i < c.errors.size(); ++i) {
            const std::string& shown = f.host.errors[i];
            EXPECT_EQ(shown.substr(0, HEADER.size() + c.errors[i].size()), HEADER + c.errors[i]) << c.script;
            if (c.line) {
                EXPECT_EQ(shown, HEADER + c.errors[i] + " on " + c.line) << c.script;
            }
        }
    }
}

TEST(FontDescriptor, AHugeLineIsQuotedByItsStartOnly)
{
    const std::string word(1 << 20, 'x');
    struct Case {
        std::string script;
        std::string shown; // the whole message
    } cases[] = {
        {"Bogus " + word + ";", HEADER + "Unknown Command on Line 1:\r\n\r\nBogus " + std::string(94, 'x') +
                                    "... (1048582 characters)"},
        {"Define a (1 " + word + ");", HEADER + "Unable to Dereference \"" + std::string(100, 'X') +
                                           "... (1048576 characters)\" on Line 1:\r\n\r\nDefine a (1 " +
                                           std::string(88, 'x') + "... (1048589 characters)"},
    };
    for (const Case& c : cases) {
        Loaded f(c.script);
        EXPECT_FALSE(f.data->mInitialized);
        ASSERT_EQ(f.host.errors.size(), 1u);
        EXPECT_EQ(f.host.errors[0], c.shown);
    }
}

TEST(FontDescriptor, TheFirstErrorStopsTheLoad)
{
    Loaded f("CreateLayer A; Bogus; CreateLayer B;");
    EXPECT_FALSE(f.data->mInitialized);
    EXPECT_EQ(f.host.errors.size(), 1u);
    EXPECT_EQ(f.data->mFontLayerMap.count("A"), 1u);
    EXPECT_EQ(f.data->mFontLayerMap.count("B"), 0u);
}

TEST(FontDescriptor, QuotedSemicolonsAndEscapesStayInTheValue)
{
    Loaded f("Define X ';';\nDefine Y ('\\\\' \"'\" '\\'' ';' ' ');\nDefine Z X;" + GLYPH);
    ASSERT_TRUE(f.data->mInitialized) << (f.host.errors.empty() ? "" : f.host.errors[0]);
    EXPECT_EQ(f.data->DataToString(f.data->FindDefine("x")), "';'");
    EXPECT_EQ(f.data->DataToString(f.data->FindDefine("Y")), "(\\, ', ', ;,  )");
    EXPECT_EQ(f.data->DataToString(f.data->FindDefine("z")), "';'");
}

TEST(FontDescriptor, NamesIgnoreCaseAndSettingsApply)
{
    Loaded f("createlayer Main;\n"
             "LayerSetAscent main 3; LAYERSETASCENTPADDING MAIN -1; LayerSetLineSpacingOffset Main 2;\n"
             "LayerSetOffset Main (1, -2); LayerSetSpacing Main 1; LayerSetBaseOrder Main -1;\n"
             "LayerSetColorMult Main (0.5, 1, 0, 2); LayerSetColorAdd Main (0.1, 0, 0, 0);\n"
             "LayerPointRange Main 8 20; LayerSetPointSize Main 12; LayerSetDrawMode Main 1;\n"
             "LayerRequireTags Main ('bold'); LayerExcludeTags Main ('Small');\n"
             "SetDefaultPointSize 13; SetCharMap ('a') ('b');\n"
             "LayerSetCharWidths Main ('A', 'V') (7, 6); LayerSetCharOrders Main ('A') (3);\n"
             "LayerSetKerningPairs Main ('AV', 'VA', 'xy') (-2, 200, -300);\n"
             "CreateLayerFrom Copy Main;" +
             GLYPH);
    ASSERT_TRUE(f.data->mInitialized) << (f.host.errors.empty() ? "" : f.host.errors[0]);
    FontLayer& m = f.Layer("MAIN");
    EXPECT_EQ(m.mAscent, 3);
    EXPECT_EQ(m.mAscentPadding, -1);
    EXPECT_EQ(m.mLineSpacingOffset, 2);
    EXPECT_EQ(m.mOffsetX, 1);
    EXPECT_EQ(m.mOffsetY, -2);
    EXPECT_EQ(m.mSpacing, 1);
    EXPECT_EQ(m.mBaseOrder, -1);
    EXPECT_EQ(m.mColorMult, Color(127, 255, 0, 255));
    EXPECT_EQ(m.mColorAdd, Color(25, 0, 0, 0));
    EXPECT_EQ(m.mMinPointSize, 8);
    EXPECT_EQ(m.mMaxPointSize, 20);
    EXPECT_EQ(m.mPointSize, 12);
    EXPECT_EQ(m.mDrawMode, 1);
    EXPECT_EQ(m.mRequiredTags, std::vector<std::string>{"BOLD"});
    EXPECT_EQ(m.mExcludedTags, std::vector<std::string>{"SMALL"});
    EXPECT_EQ(f.data->mDefaultPointSize, 13);
    EXPECT_EQ(f.data->mCharMap[uint8_t('a')], 'b');
    EXPECT_EQ(m.mCharData[uint8_t('A')].mWidth, 7);
    EXPECT_EQ(m.mCharData[uint8_t('V')].mWidth, 6);
    EXPECT_EQ(m.mCharData[uint8_t('A')].mOrder, 3);
    EXPECT_EQ(m.mCharData[uint8_t('A')].mKerningOffsets[uint8_t('V')], -2);
    EXPECT_EQ(m.mCharData[uint8_t('V')].mKerningOffsets[uint8_t('A')], -56); // kept as a signed byte
    EXPECT_EQ(m.mCharData[uint8_t('x')].mKerningOffsets[uint8_t('y')], -44);
    FontLayer& copy = f.Layer("COPY");
    EXPECT_EQ(copy.mCharData[uint8_t('A')].mWidth, 7);
    EXPECT_EQ(copy.mRequiredTags, m.mRequiredTags);
    EXPECT_EQ(f.data->mFontLayerList.size(), 3u);
}

TEST(FontDescriptor, ImageMapFromSpanListAndDefaultHeight)
{
    Loaded f("CreateLayer M; LayerSetImage M 'a.png';\n"
             "Define Chars ('A', 'B', 'C');\n"
             "CreateHorzSpanRectList Rects (2, 1, 0, 9) (4, 5, 6);\n"
             "LayerSetCharOffsets M ('B') ((0, 1));\n"
             "LayerSetImageMap M Chars Rects;\n"
             "LayerSetCharWidths M Chars (4, 5, 6);");
    ASSERT_TRUE(f.data->mInitialized) << (f.host.errors.empty() ? "" : f.host.errors[0]);
    FontLayer& m = f.Layer("M");
    EXPECT_EQ(m.mCharData[uint8_t('A')].mImageRect, Rect(2, 1, 4, 9));
    EXPECT_EQ(m.mCharData[uint8_t('B')].mImageRect, Rect(6, 1, 5, 9));
    EXPECT_EQ(m.mCharData[uint8_t('C')].mImageRect, Rect(11, 1, 6, 9));
    EXPECT_EQ(m.mDefaultHeight, 10);
}

TEST(FontDescriptor, OutOfBoundsRectangleStopsButKeepsEarlierOnes)
{
    Loaded f("CreateLayer M; LayerSetImage M 'a.png';\n"
             "LayerSetImageMap M ('A', 'B', 'C') ((0, 0, 5, 10), (15, 0, 6, 10), (0, 0, 1, 1));");
    EXPECT_FALSE(f.data->mInitialized);
    ASSERT_EQ(f.host.errors.size(), 1u);
    EXPECT_EQ(f.host.errors[0].substr(HEADER.size(), 29), "Image rectangle out of bounds");
    FontLayer& m = f.Layer("M");
    EXPECT_EQ(m.mCharData[uint8_t('A')].mImageRect, Rect(0, 0, 5, 10));
    EXPECT_EQ(m.mCharData[uint8_t('B')].mImageRect, Rect());
    EXPECT_EQ(m.mCharData[uint8_t('C')].mImageRect, Rect());
}

TEST(FontDescriptor, HugeOrNegativeRectanglesAreOutOfBounds)
{
    for (const char* rect : {"(2147483647, 0, 2147483647, 1)", "(5, 0, -3, 1)", "(0, -1, 1, 1)"}) {
        Loaded f(std::string("CreateLayer M; LayerSetImage M 'a.png'; LayerSetImageMap M ('A') (") + rect + ");");
        EXPECT_FALSE(f.data->mInitialized) << rect;
        ASSERT_EQ(f.host.errors.size(), 1u) << rect;
        EXPECT_NE(f.host.errors[0].find("Image rectangle out of bounds"), std::string::npos) << rect;
    }
}

TEST(FontDescriptor, TypeErrorWinsButValidElementsApply)
{
    Loaded f("CreateLayer M; LayerSetCharWidths M ('A', 'BB', 'C') (1, 2, 3, 4);");
    ASSERT_EQ(f.host.errors.size(), 1u);
    EXPECT_NE(f.host.errors[0].find("Invalid Paramater Type"), std::string::npos);
    FontLayer& m = f.Layer("M");
    EXPECT_EQ(m.mCharData[uint8_t('A')].mWidth, 1);
    EXPECT_EQ(m.mCharData[uint8_t('C')].mWidth, 3);
}

TEST(FontDescriptor, LayersNamingOneFileShareOneImage)
{
    Loaded f("CreateLayer A; CreateLayer B; LayerSetImage A 'a.png'; LayerSetImage B \"a.png\";"
             "CreateLayer C; LayerSetImage C b.png;" +
             GLYPH);
    ASSERT_TRUE(f.data->mInitialized);
    EXPECT_EQ(f.Layer("A").mImage, f.Layer("B").mImage);
    EXPECT_NE(f.Layer("A").mImage, f.Layer("C").mImage);
    EXPECT_EQ(f.host.loads, (std::vector<std::string>{"data/a.png", "data/b.png"}));
    // Glyph images are kept in palette form.
    EXPECT_TRUE(static_cast<MemoryImage*>(f.Layer("A").mImage)->IsPalettized());
}

TEST(FontDescriptor, FilesAreReadAndUnopenableOnesStaySilent)
{
    TestSupport::TempDir tmp;
    FakeFontHost host;
    FontData missing;
    missing.LoadDescriptor(&host, tmp.File("none.txt"));
    EXPECT_FALSE(missing.mInitialized);
    EXPECT_TRUE(host.errors.empty());

    TestSupport::WriteFile(tmp.File("f.txt"), "CreateLayer Main;\r\nLayerSetAscent Main 4;\r\n" + GLYPH);
    host.sizes[tmp.File("b.png")] = {8, 8};
    FontData data;
    data.LoadDescriptor(&host, tmp.File("f.txt"));
    EXPECT_TRUE(data.mInitialized);
    EXPECT_EQ(data.mFontLayerMap.at("MAIN")->mAscent, 4);
}
