#include <gtest/gtest.h>

#include "framework/net/NetText.h"

using namespace Zant;

TEST(NetText, ParseInt)
{
    struct Case {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"0", true, 0},       {"42", true, 42},         {"-17", true, -17},
        {"0x1F", true, 31},   {"0XfF", true, 255},      {"-0x10", true, -16},
        {"2147483647", true, 2147483647},               {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},                       {"0x100000000", false, 0},
        {"", false, 0},       {"-", false, 0},          {"0x", false, 0},
        {"12a", false, 0},    {" 1", false, 0},         {"0x1g", false, 0},
        {"99999999999999999999", false, 0},
    };
    for (const Case& c : cases) {
        int value = 12345;
        EXPECT_EQ(ParseInt(c.text, value), c.ok) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(NetText, ParseDouble)
{
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"1.5", true, 1.5}, {"-2.25", true, -2.25}, {"3", true, 3.0}, {"0.125", true, 0.125},
        {"", false, 0.0},   {".", false, 0.0},      {"1.2.3", false, 0.0}, {"1e5", false, 0.0}, {"-", false, 0.0},
    };
    for (const Case& c : cases) {
        double value = 9.0;
        EXPECT_EQ(ParseDouble(c.text, value), c.ok) << c.text;
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
}

TEST(NetText, TrimWhitespace)
{
    EXPECT_EQ(TrimWhitespace(" \t\r\n\v\fab c \r\n"), "ab c");
    EXPECT_EQ(TrimWhitespace(" \r\n"), "");
    EXPECT_EQ(TrimWhitespace(""), "");
}

TEST(NetText, JoinUrl)
{
    struct Case {
        const char* base;
        const char* relative;
        const char* joined;
    } cases[] = {
        {"http://a.com/x/check.php?v=1", "ads/page.html", "http://a.com/x/ads/page.html"},
        {"http://a.com/x/check.php", "/top.html", "http://a.com/top.html"},
        {"http://a.com", "/top.html", "http://a.com/top.html"},
        {"http://a.com", "page.html", "http://a.com/page.html"},
        {"http://a.com/x/y", "http://b.org/z", "http://b.org/z"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JoinUrl(c.base, c.relative), c.joined) << c.base << " + " << c.relative;
}
