// The crash windows' text box: editing keys, the length limit and word wrap.
#include <gtest/gtest.h>

#include <variant>
#include <vector>

#include "framework/crash/CrashTextBox.h"
#include "framework/graphics/FontHost.h"
#include "framework/graphics/SysFont.h"

using namespace Zant;

namespace {

enum { LEFT = 37, RIGHT = 39, HOME = 36, END = 35, UP = 38, DOWN = 40, DEL = 46 };
struct Key {
    int code;
};
using Stroke = std::variant<char, Key>;

struct Box {
    Box() : font(&host, "Tahoma", 8), box(&font, true, true, true) { box.Resize(0, 0, 200, 100); }
    void Press(const std::vector<Stroke>& strokes)
    {
        for (const Stroke& s : strokes) {
            if (const char* c = std::get_if<char>(&s))
                box.KeyChar(*c);
            else
                box.KeyDown(std::get<Key>(s).code);
        }
    }
    SoftwareFontHost host;
    SysFont font;
    CrashTextBox box;
};

} // namespace

TEST(CrashTextBox, EditingKeys)
{
    struct Case {
        const char* what;
        std::vector<Stroke> strokes;
        const char* text;
    } cases[] = {
        {"typing", {'a', 'b', 'c'}, "abc"},
        {"Enter breaks the line", {'a', '\r', 'b'}, "a\r\nb"},
        {"Backspace", {'a', 'b', '\b', 'c'}, "ac"},
        {"Backspace at the start", {'\b', 'a'}, "a"},
        {"insert after Left", {'a', 'c', Key{LEFT}, 'b'}, "abc"},
        {"Delete", {'a', 'b', Key{LEFT}, Key{LEFT}, Key{DEL}}, "b"},
        {"Home and End", {'b', Key{HOME}, 'a', Key{END}, 'c'}, "abc"},
        {"Up keeps the column", {'a', 'b', 'c', '\r', 'd', Key{UP}, 'X'}, "aXbc\r\nd"},
        {"Down at the last line stays", {'a', Key{DOWN}, 'b'}, "ab"},
        {"control characters are dropped", {'a', '\t', '\x01', 'b'}, "ab"},
    };
    for (const Case& c : cases) {
        Box b;
        b.Press(c.strokes);
        EXPECT_EQ(b.box.GetText(), c.text) << c.what;
    }
}

TEST(CrashTextBox, TheLimitHoldsForTypingAndForSetText)
{
    Box b;
    b.box.SetMaxChars(3);
    b.Press({'a', 'b', 'c', 'd'});
    EXPECT_EQ(b.box.GetText(), "abc");
    b.box.SetText("12345");
    EXPECT_EQ(b.box.GetText(), "123");
}

TEST(CrashTextBox, LongTextWrapsAtBlanksAndLineBreaksStay)
{
    Box b;
    ASSERT_GT(b.font.StringWidth("x"), 0) << "no system font installed";
    b.box.SetText("one\r\ntwo");
    EXPECT_EQ(b.box.LineCount(), 2);
    std::string words;
    for (int i = 0; i < 40; ++i)
        words += "word ";
    b.box.SetText(words);
    EXPECT_GT(b.box.LineCount(), 2);
    EXPECT_EQ(b.box.GetText(), words) << "wrapping changes only the display";
    // A word wider than the box is broken where it reaches the edge.
    b.box.SetText(std::string(400, 'm'));
    EXPECT_GT(b.box.LineCount(), 2);
}
