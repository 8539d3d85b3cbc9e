#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/util/XMLParser.h"

using Zant::XMLDecodeString;
using Zant::XMLElement;
using Zant::XMLParser;

namespace {

// One element as a compact line: kind, section, value, instruction and attributes in
// their added order, e.g. "S||a|| x=1 y=2".
std::string Describe(const XMLElement& e)
{
    std::string s;
    switch (e.mType) {
    case XMLElement::TYPE_START: s = "S"; break;
    case XMLElement::TYPE_END: s = "E"; break;
    case XMLElement::TYPE_TEXT: s = "T"; break;
    case XMLElement::TYPE_INSTRUCTION: s = "I"; break;
    case XMLElement::TYPE_COMMENT: s = "C"; break;
    default: s = "?"; break;
    }
    s += "|" + e.mSection.Path() + "|" + e.mValue + "|" + e.mInstruction + "|";
    for (const std::string& name : e.mAttributeOrder)
        s += " " + name + "=" + e.mAttributes.at(name);
    return s;
}

struct Outcome {
    std::vector<std::string> elements;
    std::string error; // empty when the document ended normally
};

Outcome ReadAll(const std::string& text, bool allowComments = false)
{
    XMLParser parser;
    parser.SetAllowComments(allowComments);
    parser.SetStringSource(text);
    Outcome out;
    for (;;) {
        XMLElement e;
        if (!parser.ReadElement(e))
            break;
        out.elements.push_back(Describe(e));
        if (out.elements.size() > 1000)
            break; // a reader that never ends is a fault of its own
    }
    if (parser.HasFailed())
        out.error = parser.GetErrorText();
    return out;
}

struct Case {
    const char* name;
    std::string input;
    std::vector<std::string> elements;
    std::string error;
};

class XMLDocuments : public testing::TestWithParam<Case> {};

TEST_P(XMLDocuments, YieldElementsAndErrors)
{
    const Case& c = GetParam();
    Outcome out = ReadAll(c.input);
    EXPECT_EQ(out.elements, c.elements);
    EXPECT_EQ(out.error, c.error);
}

const Case kCases[] = {
    {"WhitespaceRunsCollapse", "<a>  hello   world  </a>", {"S||a||", "T|a|hello world||", "E|a|a||"}, ""},
    {"QuotesInTextAreDropped", "<a>say \"hi\" &quot;x&quot;</a>", {"S||a||", "T|a|say hi \"x\"||", "E|a|a||"}, ""},
    {"AttributesSpacedQuotedAndBare",
     "<a x=1 y = \"2 3\" z></a>",
     {"S||a|| x=1 y=2 3 z=", "E|a|a||"},
     ""},
    {"RepeatedAttributeListedTwiceLastValueWins", "<a k=1 k=2/>", {"S||a|| k=2 k=2", "E|a|a||"}, ""},
    {"ApostrophesDoNotQuote", "<a x='1'/>", {"S||a|| x='1'", "E|a|a||"}, ""},
    {"EqualsInsideQuotesIsStillASeparator", "<a u=\"p=q\"/>", {"S||a|| u=pq", "E|a|a||"}, ""},
    {"SelfClosingDirect", "<b/>", {"S||b||", "E|b|b||"}, ""},
    {"SelfClosingSpaced", "<b />", {"S||b||", "E|b|b||"}, ""},
    {"SelfClosingAfterQuotedAttribute", "<b k=\"v\"/>", {"S||b|| k=v", "E|b|b||"}, ""},
    {"SelfClosingAfterBareAttribute", "<b k=v/>", {"S||b|| k=v", "E|b|b||"}, ""},
    {"QuotedValueEndingInSlashCloses", "<b k=\"dir/\">", {"S||b|| k=dir", "E|b|b||"}, ""},
    {"NestedSections",
     "<a><b><c/></b>t</a>",
     {"S||a||", "S|a|b||", "S|a/b|c||", "E|a/b/c|c||", "E|a/b|b||", "T|a|t||", "E|a|a||"},
     ""},
    {"NameWithSlashOpensOneLevelForEachPart",
     "<a/b k=v><c>t</c></b></a>",
     {"S||a/b|| k=v", "S|a/b|c||", "T|a/b/c|t||", "E|a/b/c|c||", "E|a/b|b||", "E|a|a||"},
     ""},
    {"NameWithSlashMustBeClosedPartByPart", "<a/b k=v></a/b>", {"S||a/b|| k=v"}, "End 'a/b' Doesn't Match Start 'b'"},
    {"EmptyNameAtTopLevelOpensNothing", "<></>", {"S||||"}, "Unexpected End"},
    {"EmptyNameInsideAnElement", "<a><></></a>", {"S||a||", "S|a|||", "E|a/||", "E|a|a||"}, ""},
    {"Instruction", "<?xml version=\"1.0\"?><r/>", {"I||xml| version=\"1.0\"|", "S||r||", "E|r|r||"}, ""},
    {"InstructionWithoutBody", "<?go?>", {"I||go||"}, ""},
    {"CommentSkipped", "<!-- note -- here --><a/>", {"S||a||", "E|a|a||"}, ""},
    {"CommentWithoutSpaceIsATag", "<!--x--></!--x-->", {"S||!--x--||", "E|!--x--|!--x--||"}, ""},
    {"Entities", "<a>1 &lt; 2 &copy; &amp c</a>", {"S||a||", "T|a|1 < 2 & &amp c||", "E|a|a||"}, ""},
    {"EntitiesInNamesAndAttributes", "<a&gt; v=&apos;x&apos;/>", {"S||a>|| v='x'", "E|a&gt;|a>||"}, ""},
    {"HighBytesAreOrdinary", "<a>caf\xc3\xa9</a>", {"S||a||", "T|a|caf\xc3\xa9||", "E|a|a||"}, ""},
    {"TrailingWhitespaceEndsNormally", "<a/> \r\n\t ", {"S||a||", "E|a|a||"}, ""},
    {"EmptyDocument", "", {}, ""},
    {"TrailingTextFails", "<a/>x", {"S||a||", "E|a|a||"}, "Unexpected End of File"},
    {"EndAtTopLevel", "</a>", {}, "Unexpected End"},
    {"MismatchedEnd", "<a></b>", {"S||a||"}, "End 'b' Doesn't Match Start 'a'"},
    {"TextThenEndOfFile", "<a>text", {"S||a||"}, "Unexpected End of File"},
    {"GreaterThanInText", "<a>1 > 0</a>", {"S||a||"}, "Unexpected '>'"},
    {"GreaterThanFirst", ">", {}, "Unexpected '>'"},
    {"LessThanInsideTag", "<a <b>", {}, "Unexpected '<'"},
    {"ControlCharacter", "<a>x\x01y</a>", {"S||a||"}, "Illegal Character"},
    {"ControlCharacterQuotedIsOrdinary", "<a>\"\x01\"</a>", {"S||a||", "T|a|\x01||", "E|a|a||"}, ""},
    {"UnclosedTag", "<a x=1", {}, "Unexpected End of File"},
    {"UnclosedComment", "<!-- open", {}, "Unexpected End of File"},
    {"UnclosedInstruction", "<?xml ", {}, "Unexpected End of File"},
    {"UnclosedElementIsNoError", "<a>", {"S||a||"}, ""},
};

INSTANTIATE_TEST_SUITE_P(Table, XMLDocuments, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(XMLParser, SpacedSelfClosingKeepsSlashAttributeOutOfTheOrder)
{
    XMLParser parser;
    parser.SetStringSource("<b />");
    XMLElement e;
    ASSERT_TRUE(parser.ReadElement(e));
    EXPECT_EQ(e.mAttributes.count("/"), 1u);
    EXPECT_EQ(e.mAttributes.at("/"), "");
    EXPECT_TRUE(e.mAttributeOrder.empty());
}

TEST(XMLParser, CommentsReturnedWhenAllowed)
{
    Outcome out = ReadAll("<!-- a\nb --><x/>", true);
    ASSERT_EQ(out.elements.size(), 3u);
    EXPECT_EQ(out.elements[0], "C||!--|a\nb |");
}

TEST(XMLParser, LineNumbersCountEveryNewline)
{
    // Newlines in a comment, an attribute value and a quoted text all count, so the
    // error on the sixth line is reported there.
    XMLParser parser;
    EXPECT_EQ(parser.GetCurrentLineNum(), 0);
    parser.SetStringSource("<!-- one\ntwo -->\n<a k=\"x\ny\">\"q\nr\"</a>\n>");
    EXPECT_EQ(parser.GetCurrentLineNum(), 1);
    XMLElement e;
    ASSERT_TRUE(parser.ReadElement(e));
    EXPECT_EQ(e.mValue, "a");
    EXPECT_EQ(e.mAttributes.at("k"), "x\ny");
    ASSERT_TRUE(parser.ReadElement(e));
    EXPECT_EQ(e.mValue, "q\nr");
    ASSERT_TRUE(parser.ReadElement(e));
    EXPECT_EQ(e.mType, XMLElement::TYPE_END);
    EXPECT_FALSE(parser.ReadElement(e));
    EXPECT_TRUE(parser.HasFailed());
    EXPECT_EQ(parser.GetErrorText(), "Unexpected '>'");
    EXPECT_EQ(parser.GetCurrentLineNum(), 6);
}

TEST(XMLParser, EachLineReadOnItsOwn)
{
    // Level and lesson files hand one line at a time to the same reader; every new
    // source starts at the top level again.
    XMLParser parser;
    XMLElement e;
    parser.SetStringSource("<MinCol>3</MinCol>");
    ASSERT_TRUE(parser.ReadElement(e));
    EXPECT_EQ(e.mType, XMLElement::TYPE_START);
    ASSERT_TRUE(parser.ReadElement(e));
    EXPECT_EQ(e.mType, XMLElement::TYPE_TEXT);
    EXPECT_EQ(e.mValue, "3");

    parser.SetStringSource("</Level>");
    EXPECT_FALSE(parser.ReadElement(e));
    EXPECT_EQ(parser.GetErrorText(), "Unexpected End");

    parser.SetStringSource("<Wave count=\"2\">");
    XMLElement fresh;
    ASSERT_TRUE(parser.ReadElement(fresh));
    EXPECT_FALSE(parser.HasFailed());
    EXPECT_EQ(fresh.mSection.Path(), "");
    EXPECT_EQ(fresh.mAttributes.at("count"), "2");
}

// Each element keeps the path it began in; a deep document must still be read in
// full and freed without recursing once per level (an unterminated one too).
TEST(XMLParser, DeepNestingKeepsEveryElementsPath)
{
    constexpr int kDepth = 200000;
    std::string opens;
    for (int i = 0; i < kDepth; ++i)
        opens += "<e>";
    std::string closes;
    for (int i = 0; i < kDepth; ++i)
        closes += "</e>";

    XMLParser parser;
    parser.SetStringSource(opens + "x" + closes);
    std::vector<XMLElement> kept; // elements outliving the reads keep their paths
    int read = 0;
    for (;;) {
        XMLElement e;
        if (!parser.ReadElement(e))
            break;
        if (read == 2 || e.mType == XMLElement::TYPE_TEXT || read == 2 * kDepth)
            kept.push_back(e);
        ++read;
    }
    EXPECT_FALSE(parser.HasFailed()) << parser.GetErrorText();
    EXPECT_EQ(read, 2 * kDepth + 1);
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].mSection.Path(), "e/e");
    EXPECT_EQ(kept[1].mSection.Path().size(), static_cast<size_t>(2 * kDepth - 1));
    EXPECT_EQ(kept[2].mSection.Path(), "e");

    XMLParser open; // never closed: the whole path is freed with the reader
    open.SetStringSource(opens);
    XMLElement e;
    while (open.ReadElement(e)) {
    }
    EXPECT_FALSE(open.HasFailed());
}

TEST(XMLParser, ReadsFromFile)
{
    XMLParser parser;
    EXPECT_FALSE(parser.OpenFile("/nonexistent/file.xml"));
    EXPECT_TRUE(parser.HasFailed());
    EXPECT_EQ(parser.GetFileName(), "/nonexistent/file.xml");
}

TEST(XMLDecodeString, EntitiesAndLeftovers)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"a&lt;b", "a<b"},
        {"&amp;&gt;&quot;&apos;", "&>\"'"},
        {"x&nbsp;y&cr;z", "x y\nz"},
        {"&LT;", "&"},
        {"&copy;right", "&right"},
        {"tail &", "tail &"},
        {"a & b; c", "a & c"},
        {"&;", "&"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(XMLDecodeString(c.in), c.out) << c.in;
}

} // namespace
