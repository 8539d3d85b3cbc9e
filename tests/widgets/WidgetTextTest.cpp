#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/Widget.h"

namespace {

// Every character is 10 pixels wide; drawn runs are recorded with their colour.
class GridFont : public Zant::Font {
public:
    GridFont()
    {
        mAscent = 12;
        mAscentPadding = 2;
        mHeight = 16;
    }
    int StringWidth(const std::string& text) override { return 10 * static_cast<int>(text.size()); }
    void DrawString(Zant::Graphics* g, int x, int y, const std::string& text, const Zant::Color& color,
                    const Zant::Rect& clip) override
    {
        runs.push_back({text, x, y, color});
    }
    Font* Duplicate() override { return new GridFont(*this); }

    struct Run {
        std::string text;
        int x, y;
        Zant::Color color;
    };
    std::vector<Run> runs;
};

struct TextFixture {
    TextFixture()
    {
        image.Create(100, 100);
        g.SetFont(&font);
        g.SetColor(Zant::Color(1, 2, 3));
    }
    Zant::MemoryImage image;
    Zant::Graphics g{&image};
    GridFont font;
    Zant::Widget widget;
};

} // namespace

TEST(WidgetText, ColourMarkupSwitchesColourAndTakesNoRoom)
{
    struct Case {
        std::string text;
        int width;
        std::vector<std::string> runs;
    } cases[] = {
        {"ab^FF0000^cd", 40, {"ab", "cd"}},
        {"a^^b", 30, {"a^b"}},
        // A stray caret near the end is drawn, not a reason to cut the text.
        {"ab^c", 40, {"ab^c"}},
        // A code ending exactly at the end takes no room.
        {"abc^FF0000^", 30, {"abc"}},
        {"x^zz00gg^y", 20, {"x", "y"}}, // other characters count as digit 0
    };
    for (const Case& c : cases) {
        TextFixture f;
        int width = f.widget.WriteString(&f.g, c.text, 5, 20);
        EXPECT_EQ(width, c.width) << c.text;
        std::vector<std::string> drawn;
        for (auto& r : f.font.runs)
            drawn.push_back(r.text);
        EXPECT_EQ(drawn, c.runs) << c.text;
    }
    TextFixture f;
    f.widget.WriteString(&f.g, "ab^ff8000^cd", 5, 20);
    ASSERT_EQ(f.font.runs.size(), 2u);
    EXPECT_EQ(f.font.runs[1].x, 25);
    EXPECT_EQ(f.font.runs[1].color, Zant::Color(255, 128, 0));
}

TEST(WidgetText, WrappedLinesKeepTheColourOfACodeAtTheBreak)
{
    TextFixture f;
    f.widget.WriteWordWrapped(&f.g, Zant::Rect(0, 0, 50, 0), "aa bb ^00FF00^cc dd");
    ASSERT_GE(f.font.runs.size(), 2u);
    EXPECT_EQ(f.font.runs.back().color, Zant::Color(0, 255, 0));
}

TEST(WidgetText, JustificationMeasuresFirst)
{
    TextFixture f;
    f.widget.WriteString(&f.g, "abcd", 0, 0, 100, 0);
    f.widget.WriteString(&f.g, "abcd", 0, 0, 100, 1);
    ASSERT_EQ(f.font.runs.size(), 2u);
    EXPECT_EQ(f.font.runs[0].x, 30);
    EXPECT_EQ(f.font.runs[1].x, 60);
}

TEST(WidgetText, WordWrapBreaksAtSpacesNewlinesAndInsideLongWords)
{
    struct Case {
        std::string text;
        int width;
        std::vector<std::string> lines;
    } cases[] = {
        {"aa bb cc", 50, {"aa bb", "cc"}},
        {"aa\nbb", 100, {"aa", "bb"}},
        {"abcdefgh", 30, {"abc", "def", "gh"}},
        {"abcdefgh", 5, {"a", "b", "c", "d", "e", "f", "g", "h"}}, // at least one a line
    };
    for (const Case& c : cases) {
        TextFixture f;
        int height = f.widget.WriteWordWrapped(&f.g, Zant::Rect(0, 0, c.width, 0), c.text);
        std::vector<std::string> drawn;
        for (auto& r : f.font.runs)
            drawn.push_back(r.text);
        EXPECT_EQ(drawn, c.lines) << c.text;
        // y0 + (lines - 1) * spacing + descent
        EXPECT_EQ(height, 10 + static_cast<int>(c.lines.size() - 1) * 16 + 4) << c.text;
    }
}

TEST(WidgetText, WrappedHeightComesFromTheFontAndTheWidth)
{
    TextFixture f;
    EXPECT_EQ(f.widget.GetWordWrappedHeight(&f.g, 50, "aa bb cc"), 10 + 16 + 4);
    EXPECT_EQ(f.widget.GetWordWrappedHeight(&f.g, 50, "aa bb cc", 20), 10 + 20 + 4);
}

TEST(WidgetText, CountDigits)
{
    Zant::Widget w;
    EXPECT_EQ(w.CountDigits(0), 1);
    EXPECT_EQ(w.CountDigits(9), 1);
    EXPECT_EQ(w.CountDigits(10), 2);
    EXPECT_EQ(w.CountDigits(123456), 6);
}
