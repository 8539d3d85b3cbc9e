#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "framework/app/PropertiesParser.h"
#include "framework/app/ZantApp.h"
#include "framework/util/Buffer.h"

using Zant::ZantApp;

namespace {

bool Parse(ZantApp& app, const std::string& text, std::string& error)
{
    Zant::Buffer data;
    data.SetData(text);
    Zant::PropertiesParser parser(&app);
    const bool ok = parser.ParsePropertiesBuffer(data);
    error = parser.GetErrorText();
    return ok;
}

} // namespace

TEST(PropertiesParser, FailuresNameTheProblemAndTheLine)
{
    struct {
        std::string text;
        std::string error; // empty: the document is accepted
    } cases[] = {
        {"<Properties>\n\n<Boolean id=\"b\">Y</Boolean>\n</Properties>", "Invalid Boolean Value: 'Y' on Line 3"},
        {"<Properties>\n<Boolean id=\"b\">maybe</Boolean>", "Invalid Boolean Value: 'MAYBE' on Line 2"},
        {"<Properties>\n<Integer id=\"i\">12a</Integer>\n</Properties>", "Invalid Integer Value: '12a' on Line 2"},
        {"<Properties><Integer id=\"i\">-</Integer></Properties>", "Invalid Integer Value: '-' on Line 1"},
        {"<Properties><Integer id=\"i\">2147483648</Integer></Properties>",
         "Invalid Integer Value: '2147483648' on Line 1"},
        {"<Properties><Integer id=\"i\">-99999999999999999999</Integer></Properties>",
         "Invalid Integer Value: '-99999999999999999999' on Line 1"},
        {"<Properties>\n<String id=\"s\"><b/></String>\n</Properties>", "Unexpected Section: 'b' on Line 2"},
        {"hello\n<Properties/>", "Element Not Expected 'hello' on Line 2"},
        {"<Properties>stray</Properties>", "Element Not Expected 'stray' on Line 1"},
        {"\n<Foo/>", "Invalid Section 'Foo' on Line 2"},
        {"<Properties><Color id=\"c\">red</Color></Properties>", "Invalid Section 'Color' on Line 1"},
        {"<Properties><StringArray id=\"a\"><Item>x</Item></StringArray></Properties>",
         "Invalid Section 'Item' on Line 1"},
        {"<Properties><StringArray id=\"a\">x</StringArray></Properties>", "Element Not Expected 'x' on Line 1"},
        {"<Properties>\n<String id=\"s\">x</Strin>", "End 'Strin' Doesn't Match Start 'String' on Line 2"},
        // A document that stops after its last property is read as far as it goes.
        {"<Properties>\n<String id=\"s\">x</String>\n", ""},
        {"<?xml version=\"1.0\"?>\n<Properties/>\n<!-- nonce 3 -->\n<Properties/>", ""},
    };
    for (const auto& c : cases) {
        ZantApp app;
        std::string error;
        EXPECT_EQ(Parse(app, c.text, error), c.error.empty()) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

TEST(PropertiesParser, StoresEveryKindAndKeepsWhatCameBeforeAFailure)
{
    ZantApp app;
    std::string error;
    const std::string text = "<Properties>\n"
                             "  <String id=\"Title\">First</String>\n"
                             "  <String id=\"Title\">Second</String>\n"
                             "  <String>no id</String>\n"
                             "  <StringArray id=\"Links\"><String>a</String><String>b &amp; c</String></StringArray>\n"
                             "  <StringArray id=\"Links\"><String>ignored</String></StringArray>\n"
                             "  <Boolean id=\"Yes\">yes</Boolean>\n"
                             "  <Boolean id=\"Off\">oFf</Boolean>\n"
                             "  <Integer id=\"Low\">-2147483648</Integer>\n"
                             "  <Integer id=\"High\">2147483647</Integer>\n"
                             "</Properties>\n"
                             "<Properties>\n"
                             "  <Integer id=\"Bad\">1.5</Integer>\n"
                             "  <String id=\"After\">never read</String>\n"
                             "</Properties>\n";
    EXPECT_FALSE(Parse(app, text, error));
    EXPECT_EQ(error, "Invalid Integer Value: '1.5' on Line 13");

    EXPECT_EQ(app.LookupStringProperty("Title"), "Second"); // the later string wins
    EXPECT_EQ(app.LookupStringProperty(""), "no id");
    EXPECT_EQ(app.mStringVectorProperties["Links"], (std::vector<std::string>{"a", "b & c"})); // the first array stays
    EXPECT_TRUE(app.LookupBoolProperty("Yes", false));
    EXPECT_FALSE(app.LookupBoolProperty("Off", true));
    EXPECT_EQ(app.LookupIntProperty("Low"), INT_MIN);
    EXPECT_EQ(app.LookupIntProperty("High"), INT_MAX);
    EXPECT_FALSE(app.HasProperty("Bad"));
    EXPECT_FALSE(app.HasProperty("After"));
    EXPECT_EQ(app.LookupStringProperty("After", "default"), "default");
}
