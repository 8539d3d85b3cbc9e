#include "framework/graphics/ImageFont.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/graphics/FontData.h"
#include "framework/graphics/FontMarkup.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/TextWatch.h"
#include "tests/support/TestSupport.h"
#include "tests/text/FakeFontHost.h"

using namespace Zant;

namespace {

// Records every glyph copy a drawing makes, in order.
class SpyImage : public Image {
public:
    struct Call {
        Image* src;
        int x, y;
        Rect rect;
        Color tint;
        int mode;
    };
    SpyImage()
    {
        mWidth = 200;
        mHeight = 100;
    }
    void Blt(Image* src, int x, int y, const Rect& rect, const Color& tint, int mode) override
    {
        calls.push_back({src, x, y, rect, tint, mode});
    }
    std::vector<Call> calls;
};

// A 6 x 3 strip of opaque white holding A, B and V, two pixels each.
const char* const FIXTURE = "CreateLayer Main; LayerSetImage Main 'fix.png'; LayerSetAscent Main 3;\n"
                            "Define Chars ('A', 'B', 'V');\n"
                            "LayerSetImageMap Main Chars ((0,0,2,3), (2,0,2,3), (4,0,2,3));\n"
                            "LayerSetCharWidths Main Chars (3, 3, 4);\n"
                            "LayerSetKerningPairs Main ('AV') (-2);\n";

class FontFixture {
public:
    explicit FontFixture(const std::string& script)
    {
        strip.Create(6, 3);
        uint32_t* bits = strip.GetBits();
        for (int i = 0; i < 18; ++i)
            bits[i] = 0xFFFFFFFF;
        strip.BitsChanged();
        host.images[dir.File("fix.png")] = &strip;
        TestSupport::WriteFile(dir.File("f.txt"), script);
        font = std::make_unique<ImageFont>(&host, dir.File("f.txt"));
    }
    TestSupport::TempDir dir;
    MemoryImage strip;
    FakeFontHost host;
    std::unique_ptr<ImageFont> font;
};

} // namespace

TEST(ImageFont, WidthsFollowAdvancesAndKerning)
{
    FontFixture f(FIXTURE);
    ASSERT_TRUE(f.font->IsLoaded()) << (f.host.errors.empty() ? "" : f.host.errors[0]);
    EXPECT_EQ(f.font->StringWidth(""), 0);
    EXPECT_EQ(f.font->StringWidth("AV"), 3 + 4 - 2);
    EXPECT_EQ(f.font->StringWidth("VA"), 4 + 3);
    EXPECT_EQ(f.font->CharWidth('B'), 3);
    EXPECT_EQ(f.font->CharWidthKern('V', 'A'), 2);
    EXPECT_EQ(f.font->GetAscent(), 3);
    EXPECT_EQ(f.font->GetHeight(), 3);
    // Bytes above 127 index the tables as unsigned and simply have no glyph.
    EXPECT_EQ(f.font->StringWidth("A\xe9\xff"), 3);
    SpyImage spy;
    Graphics g(&spy);
    g.SetFont(f.font.get());
    g.DrawString("\xe9" "A\x80", 0, 10);
}

TEST(ImageFont, MeasuredWidthEqualsDrawnWidth)
{
    FontFixture f(std::string(FIXTURE) +
                  "LayerSetSpacing Main 1; CreateLayerFrom Shadow Main; LayerSetOffset Shadow (1, 1);"
                  "CreateLayer Halo; LayerSetImage Halo 'fix.png'; LayerSetCharWidths Halo ('B') (9);");
    ASSERT_TRUE(f.font->IsLoaded());
    SpyImage spy;
    Graphics g(&spy);
    for (const char* text : {"", "A", "AV", "VAV", "ABBA", "B", "AVB\xe9V"}) {
        int drawn = -1;
        f.font->DrawStringEx(&g, 5, 20, text, Color::White, nullptr, nullptr, &drawn);
        EXPECT_EQ(drawn, f.font->StringWidth(text)) << text;
    }
}

TEST(ImageFont, BucketsDrawLowOrdersFirstAndTintEachLayer)
{
    FontFixture f(std::string(FIXTURE) +
                  "CreateLayerFrom Back Main; LayerSetCharOrders Back ('A') (-300); LayerSetDrawMode Back 1;"
                  "LayerSetCharOrders Main ('A') (200);"
                  "LayerSetColorMult Main (1, 1, 1, 1); LayerSetColorAdd Main (0.4, 0, 0, 0);"
                  "LayerSetColorMult Back (0, 0, 0, 0.5);");
    ASSERT_TRUE(f.font->IsLoaded()) << (f.host.errors.empty() ? "" : f.host.errors[0]);
    SpyImage spy;
    Graphics g(&spy);
    g.SetDrawMode(0);
    g.SetColor(Color(1, 2, 3, 4));
    f.font->DrawString(&g, 10, 20, "AB", Color(200, 10, 10, 255), g.GetClipRect());
    // Back's A (bucket 0), Main's B and Back's B (bucket 128, in layer order), Main's A (bucket 255).
    ASSERT_EQ(spy.calls.size(), 4u);
    EXPECT_EQ(spy.calls[0].rect, Rect(0, 0, 2, 3));
    EXPECT_EQ(spy.calls[0].mode, 1);
    EXPECT_EQ(spy.calls[0].tint, Color(0, 0, 0, 127));
    EXPECT_EQ(spy.calls[1].rect, Rect(2, 0, 2, 3));
    EXPECT_EQ(spy.calls[1].mode, 0); // -1 follows the context
    EXPECT_EQ(spy.calls[2].rect, Rect(2, 0, 2, 3));
    EXPECT_EQ(spy.calls[2].mode, 1);
    EXPECT_EQ(spy.calls[3].rect, Rect(0, 0, 2, 3));
    EXPECT_EQ(spy.calls[3].tint, Color(255, 10, 10, 255));
    EXPECT_EQ(spy.calls[3].x, 10);
    EXPECT_EQ(spy.calls[3].y, 17);
    EXPECT_EQ(spy.calls[2].x, 13);
    // The context is left as it was.
    EXPECT_EQ(g.GetColor(), Color(1, 2, 3, 4));
    EXPECT_FALSE(g.GetColorizeImages());
    EXPECT_EQ(g.GetDrawMode(), 0);

    g.SetDrawMode(1);
    spy.calls.clear();
    f.font->DrawString(&g, 0, 20, "B", Color::White, g.GetClipRect());
    ASSERT_EQ(spy.calls.size(), 2u);
    EXPECT_EQ(spy.calls[0].mode, 1);
}

// A watch that keeps one layer and recolours it, and notes what it is told.
class LayerPicker : public TextWatch {
public:
    explicit LayerPicker(std::string keep) : mKeep(std::move(keep)), mWas(SetTextWatch(this)) {}
    ~LayerPicker() override { SetTextWatch(mWas); }
    bool DrawsLayer(const std::string& layer, Color& color) override
    {
        asked.push_back(layer);
        color = Color(1, 2, 3, 255);
        return layer == mKeep;
    }
    void TextDrawn(const Image* target, const std::string& text, const Color& color,
                   const std::vector<WatchedGlyph>& glyphs) override
    {
        seen.push_back({target, text, color, glyphs});
    }
    struct Seen {
        const Image* target;
        std::string text;
        Color color;
        std::vector<WatchedGlyph> glyphs;
    };
    std::vector<std::string> asked;
    std::vector<Seen> seen;

private:
    std::string mKeep;
    TextWatch* mWas;
};

TEST(ImageFont, AWatchSeesEveryGlyphAndPicksTheLayersDrawn)
{
    FontFixture f(std::string(FIXTURE) + "CreateLayerFrom Rim Main; LayerSetOffset Rim (1, 1);"
                                         "LayerSetBaseOrder Rim -1;");
    ASSERT_TRUE(f.font->IsLoaded());
    SpyImage spy;
    Graphics g(&spy);
    g.Translate(100, 50);
    {
        LayerPicker picker("RIM");
        int width = 0;
        f.font->DrawStringEx(&g, 10, 20, "AV", Color(9, 9, 9, 255), nullptr, nullptr, &width);
        // The layers the watch left out take their room all the same.
        EXPECT_EQ(width, f.font->StringWidth("AV"));
        EXPECT_EQ(picker.asked, (std::vector<std::string>{"MAIN", "RIM", "MAIN", "RIM"}));
        // Only the rim is drawn, in the watch's colour.
        ASSERT_EQ(spy.calls.size(), 2u);
        for (const SpyImage::Call& call : spy.calls)
            EXPECT_EQ(call.tint, Color(1, 2, 3, 255));
        // Told of the whole text, every layer's glyphs in the target's place.
        ASSERT_EQ(picker.seen.size(), 1u);
        const LayerPicker::Seen& text = picker.seen[0];
        EXPECT_EQ(text.target, &spy);
        EXPECT_EQ(text.text, "AV");
        EXPECT_EQ(text.color, Color(9, 9, 9, 255));
        ASSERT_EQ(text.glyphs.size(), 4u);
        EXPECT_EQ(text.glyphs[0].layer, "MAIN");
        EXPECT_EQ(text.glyphs[0].rect, Rect(110, 67, 2, 3));
        EXPECT_EQ(text.glyphs[1].layer, "RIM");
        EXPECT_EQ(text.glyphs[1].rect, Rect(111, 68, 2, 3));
        EXPECT_EQ(text.glyphs[2].rect, Rect(111, 67, 2, 3)) << "V after A's advance and the pair's kerning";
    }
    // Without a watch every layer is drawn in the text's colour again.
    spy.calls.clear();
    f.font->DrawString(&g, 10, 20, "A", Color(9, 9, 9, 255), g.GetClipRect());
    ASSERT_EQ(spy.calls.size(), 2u);
    EXPECT_EQ(spy.calls[1].tint, Color(9, 9, 9, 255));
}

TEST(ImageFont, PointSizesAndTagsChooseLayers)
{
    FontFixture f(std::string(FIXTURE) +
                  "SetDefaultPointSize 10; LayerSetPointSize Main 10;"
                  "CreateLayerFrom Bold Main; LayerRequireTags Bold ('bold'); LayerSetCharWidths Bold ('A') (8);");
    ASSERT_TRUE(f.font->IsLoaded());
    EXPECT_EQ(f.font->GetPointSize(), 10);
    EXPECT_EQ(f.host.newImages, 0); // equal point size: the layer's own image
    EXPECT_EQ(f.font->CharWidth('A'), 3);

    f.font->AddTag("bold");
    EXPECT_FALSE(f.font->HasTag("bold"));
    EXPECT_TRUE(f.font->HasTag("BOLD"));
    EXPECT_EQ(f.font->CharWidth('A'), 8);
    f.font->RemoveTag("Bold");
    EXPECT_EQ(f.font->CharWidth('A'), 3);

    f.font->SetPointSize(20);
    EXPECT_EQ(f.font->CharWidth('A'), 6);
    EXPECT_EQ(f.font->GetAscent(), 6);
    EXPECT_EQ(f.host.newImages, 1);
    ASSERT_EQ(f.font->mActiveLayerList.size(), 1u);
    const ActiveFontLayer& active = f.font->mActiveLayerList.front();
    EXPECT_TRUE(active.mOwnsImage);
    EXPECT_EQ(active.mScaledCharImageRects[uint8_t('B')], Rect(4, 0, 4, 6));

    // Absurd sizes neither overflow nor allocate wildly.
    f.font->SetPointSize(2000000000);
    f.font->CharWidth('A');
    f.font->SetPointSize(-5);
    EXPECT_EQ(f.font->CharWidth('A'), 0);

    std::unique_ptr<Font> copy(f.font->Duplicate());
    EXPECT_EQ(copy->CharWidth('A'), 0);
    EXPECT_EQ(f.font->GetDefine("Chars"), "(A, B, V)");
    EXPECT_EQ(f.font->GetDefine("nothing"), "");
}

TEST(ImageFont, FailedDescriptorMeasuresZeroAndDrawsNothing)
{
    FontFixture f("CreateLayer Main; Bogus;");
    EXPECT_FALSE(f.font->IsLoaded());
    EXPECT_EQ(f.host.errors.size(), 1u);
    EXPECT_EQ(f.font->StringWidth("AB"), 0);
    SpyImage spy;
    Graphics g(&spy);
    int width = 5;
    std::vector<Rect> rects{Rect(1, 1, 1, 1)};
    f.font->DrawStringEx(&g, 0, 0, "AB", Color::White, nullptr, &rects, &width);
    EXPECT_EQ(width, 0);
    EXPECT_TRUE(rects.empty());
    EXPECT_TRUE(spy.calls.empty());
}

// The loader's reason names the file: the error shown for a bad line, and for a
// missing descriptor (which shows nothing) that it cannot be opened.
TEST(ImageFont, ADescriptorThatFailsSaysWhy)
{
    FontFixture bad("CreateLayer Main; Bogus;");
    ASSERT_EQ(bad.host.errors.size(), 1u);
    EXPECT_EQ(bad.font->LoadError(), bad.host.errors[0]);
    EXPECT_NE(bad.font->LoadError().find(bad.dir.File("f.txt")), std::string::npos) << bad.font->LoadError();

    FakeFontHost host;
    TestSupport::TempDir dir;
    ImageFont missing(&host, dir.File("none.txt"));
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_TRUE(host.errors.empty());
    EXPECT_EQ(missing.LoadError(), "Font descriptor " + dir.File("none.txt") +
                                       " cannot be opened: No such file or directory");

    FontFixture good(FIXTURE);
    ASSERT_TRUE(good.font->IsLoaded());
    EXPECT_EQ(good.font->LoadError(), "");
}

TEST(ImageFont, PoolLimitStopsTheTextWhereItRunsOut)
{
    FontFixture f(FIXTURE);
    SpyImage spy;
    Graphics g(&spy);
    std::string text(ImageFont::MAX_RENDER_COMMANDS + 10, 'B');
    int width = 0;
    std::vector<Rect> placed;
    f.font->DrawStringEx(&g, 0, 20, text, Color::White, nullptr, &placed, &width);
    EXPECT_EQ(placed.size(), size_t(ImageFont::MAX_RENDER_COMMANDS));
    EXPECT_EQ(width, 3 * ImageFont::MAX_RENDER_COMMANDS);
}

// Golden pixels: white A, then B in the colour its code switches to, on black.
TEST(ImageFont, MarkupStringPixels)
{
    FontFixture f(FIXTURE);
    MemoryImage target;
    target.Create(12, 4);
    uint32_t* bits = target.GetBits();
    for (int i = 0; i < 48; ++i)
        bits[i] = 0xFF000000;
    target.BitsChanged();
    Graphics g(&target);
    g.SetFont(f.font.get());
    g.SetColor(Color::White);
    int width = WriteMarkupString(g, "A^ff0000^B^^", 1, 3, true, true);
    EXPECT_EQ(width, 3 + 3); // the caret has no glyph
    const char* expected[] = {
        ".WW.RR......",
        ".WW.RR......",
        ".WW.RR......",
        "............",
    };
    bits = target.GetBits();
    for (int y = 0; y < 4; ++y) {
        std::string row;
        for (int x = 0; x < 12; ++x) {
            uint32_t p = bits[y * 12 + x];
            row += p == 0xFF000000 ? '.' : p == 0xFFFFFFFF ? 'W' : (p & 0xFFFF) == 0 && ((p >> 16) & 255) >= 250 ? 'R' : '?';
        }
        EXPECT_EQ(row, expected[y]) << y;
    }
    EXPECT_EQ(g.GetColor(), Color(255, 0, 0, 255));
}

TEST(ColorMarkup, StepsAndStrayCarets)
{
    struct Case {
        const char* text;
        const char* visible; // what is drawn: codes removed, carets resolved
    } cases[] = {
        {"plain", "plain"},
        {"^FF0000^red", "red"},
        {"a^^b", "a^b"},
        {"score 5^", "score 5^"},         // stray caret at the end
        {"a^12345", "a^12345"},           // too short for a code
        {"tail^^", "tail^"},              // escaped caret at the end
        {"x^00FF00^", "x"},               // a code ending at the end
        {"^zzzzzz^q", "q"},               // non-hex digits read as 0
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        std::string visible;
        size_t pos = 0;
        while (true) {
            MarkupStep step = NextMarkupStep(text, pos, text.size(), true);
            if (step.kind == MarkupKind::End)
                break;
            if (step.kind == MarkupKind::Text)
                visible += text.substr(step.start, step.length);
            else if (step.kind == MarkupKind::Caret)
                visible += '^';
            pos += step.length;
        }
        EXPECT_EQ(visible, c.visible) << c.text;
    }
    MarkupStep code = NextMarkupStep("^1a2B3c^", 0, 8, true);
    EXPECT_EQ(code.kind, MarkupKind::Color);
    EXPECT_EQ(code.color, Color(0x1A, 0x2B, 0x3C, 255));
    MarkupStep off = NextMarkupStep("^^x", 0, 3, false);
    EXPECT_EQ(off.kind, MarkupKind::Text);
    EXPECT_EQ(off.length, 3u);
}
