#include "framework/util/DescParser.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace Zant;

namespace {

class Parser : public DescriptorParser {
public:
    Parser()
    {
        mErrorHeader = "H:";
        mCurrentLine = "";
    }
    void SetLine(const std::string& line) { mCurrentLine = line; }
    std::vector<std::string> errors;

protected:
    void ShowError(const std::string& message) override { errors.push_back(message); }
};

// A compact picture of a parsed list: words as written, lists in brackets.
std::string Show(const DataElement* e)
{
    if (!e->mIsList)
        return static_cast<const SingleDataElement*>(e)->mString;
    std::string out = "[";
    const auto& v = static_cast<const ListDataElement*>(e)->mElementVector;
    for (size_t i = 0; i < v.size(); ++i)
        out += (i ? "|" : "") + Show(v[i]);
    return out + "]";
}

std::string Tokenize(Parser& p, const std::string& line, bool* ok = nullptr)
{
    ListDataElement list;
    size_t pos = 0;
    bool result = p.ReadToken(line, list, false, pos);
    if (ok)
        *ok = result;
    return Show(&list);
}

ListDataElement Parse(Parser& p, const std::string& line)
{
    ListDataElement list;
    size_t pos = 0;
    EXPECT_TRUE(p.ReadToken(line, list, false, pos)) << line;
    return list;
}

} // namespace

TEST(DescTokenizer, Table)
{
    struct Case {
        const char* line;
        const char* parsed;
        const char* error; // null when the line is fine
    } cases[] = {
        {"Define A (1, 2)", "[Define|A|[1|2]]", nullptr},
        {"x,y  z\t\nw", "[x|y|z|w]", nullptr},
        {"\"a b,(c)\"", "[\"a b,(c)\"]", nullptr},
        {"a\\,b", "[a,b]", nullptr},
        {"\\'x", "['x]", nullptr},
        {"()", "[[]]", nullptr},
        {"((a) (b c)) d", "[[[a]|[b|c]]|d]", nullptr},
        {"'\"' \"'\"", "['\"'|\"'\"]", nullptr},
        {"'a\\'b'", "['a''b']", nullptr},
        {"ab(", nullptr, "Unexpected List Start"},
        {"'a'(1)", nullptr, "Unexpected List Start"},
        {"a)", nullptr, "Unexpected List End"},
        {"(a", nullptr, "Unterminated List"},
        {"'a", nullptr, "Unterminated Single Quotes"},
        {"\"a", nullptr, "Unterminated Double Quotes"},
    };
    for (const Case& c : cases) {
        Parser p;
        bool ok = false;
        std::string parsed = Tokenize(p, c.line, &ok);
        if (c.error) {
            EXPECT_FALSE(ok) << c.line;
            ASSERT_EQ(p.errors.size(), 1u) << c.line;
            EXPECT_EQ(p.errors[0], std::string("H:") + c.error) << c.line;
        } else {
            EXPECT_TRUE(ok) << c.line;
            EXPECT_EQ(parsed, c.parsed) << c.line;
            EXPECT_TRUE(p.errors.empty()) << c.line;
        }
    }
}

TEST(DescTokenizer, DeepNestingIsRefusedNotOverflowed)
{
    // Too deep is reported as such, whether or not the lists would have been closed.
    const std::string tooDeep = "H:Lists Nested Deeper Than " + std::to_string(DescriptorParser::MAX_LIST_DEPTH) + " Levels";
    for (const std::string& deep : {std::string(100000, '('),
                                    std::string(DescriptorParser::MAX_LIST_DEPTH + 1, '(') +
                                        std::string(DescriptorParser::MAX_LIST_DEPTH + 1, ')')}) {
        Parser p;
        bool ok = true;
        Tokenize(p, deep, &ok);
        EXPECT_FALSE(ok);
        ASSERT_FALSE(p.errors.empty());
        EXPECT_EQ(p.errors.back(), tooDeep);
    }
    bool ok = false;
    std::string fine = std::string(DescriptorParser::MAX_LIST_DEPTH, '(') +
                       std::string(DescriptorParser::MAX_LIST_DEPTH, ')');
    Parser q;
    Tokenize(q, fine, &ok);
    EXPECT_TRUE(ok);
}

TEST(DescResolve, UnquotesStrings)
{
    struct Case {
        const char* written;
        const char* resolved;
    } cases[] = {
        {"\"a\"\"b\"", "a\"b"}, {"'\"'", "\""},   {"\"'\"", "'"},  {"''''", "'"},
        {"\"\"", ""},           {"'\\''", "'"},   {"\"a\\\"b\"", "a\"b"},
        {"'\\\\'", "\\"},       {"'a b;c'", "a b;c"}, {"-5", "-5"},
    };
    for (const Case& c : cases) {
        Parser p;
        ListDataElement source = Parse(p, c.written);
        ListDataElement target;
        ASSERT_TRUE(p.ResolveDefine(source, target)) << c.written;
        ASSERT_EQ(target.mElementVector.size(), 1u) << c.written;
        EXPECT_EQ(Show(target.mElementVector[0]), c.resolved) << c.written;
    }
}

TEST(DescResolve, NamesBecomeDeepCopiesOfTheirDefinitions)
{
    Parser p;
    auto* pair = new ListDataElement();
    ASSERT_TRUE(p.ResolveDefine(Parse(p, "'x' 'y'"), *pair));
    p.SetDefine("Pair", pair);
    ListDataElement target;
    ASSERT_TRUE(p.ResolveDefine(Parse(p, "(1 pair) PAIR"), target));
    EXPECT_EQ(Show(&target), "[[1|[x|y]]|[x|y]]");
    // Changing the copy leaves the definition whole.
    auto* copy = static_cast<ListDataElement*>(target.mElementVector[1]);
    copy->Clear();
    EXPECT_EQ(Show(p.FindDefine("pair")), "[x|y]");

    // One undefined name fails the whole conversion, naming the word as looked up.
    std::vector<std::string> strings;
    EXPECT_FALSE(p.DataToStringVector(Parse(p, "(1 Nothing)").mElementVector[0], strings));
    ASSERT_EQ(p.errors.size(), 1u);
    EXPECT_EQ(p.errors[0], "H:Unable to Dereference \"NOTHING\"");

    // A single element naming a defined list is that list, unchanged.
    ListDataElement single;
    SingleDataElement name("pair");
    ASSERT_TRUE(p.DataToList(&name, single));
    EXPECT_EQ(Show(&single), "[x|y]");
    SingleDataElement missing("none");
    EXPECT_FALSE(p.DataToList(&missing, single));
}

TEST(DescConvert, Vectors)
{
    Parser p;
    p.SetDefine("one", new SingleDataElement("1"));
    std::vector<int> ints;
    EXPECT_FALSE(p.DataToIntVector(Parse(p, "(3 'x')").mElementVector[0], ints));
    EXPECT_EQ(ints, std::vector<int>{3});

    struct IntCase {
        const char* list;
        bool ok;
    } intCases[] = {
        {"(1 -2 007)", true}, {"(+5)", false},     {"(99999999999)", false},
        {"(1.5)", false},      {"('')", false},     {"(2147483647 -2147483648)", true},
    };
    for (const IntCase& c : intCases)
        EXPECT_EQ(p.DataToIntVector(Parse(p, c.list).mElementVector[0], ints), c.ok) << c.list;

    // A name that is defined as a single value is not a list.
    SingleDataElement name("one");
    std::vector<std::string> strings;
    EXPECT_FALSE(p.DataToStringVector(&name, strings));

    // A nested list leaves nothing behind.
    strings = {"stale"};
    EXPECT_FALSE(p.DataToStringVector(Parse(p, "('a' (b))").mElementVector[0], strings));
    EXPECT_TRUE(strings.empty());
}

TEST(DescConvert, DoublesIgnoreTheLocale)
{
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    Parser p;
    std::vector<double> doubles;
    EXPECT_TRUE(p.DataToDoubleVector(Parse(p, "(0.5, 1, -0.25)").mElementVector[0], doubles));
    EXPECT_EQ(doubles, (std::vector<double>{0.5, 1.0, -0.25}));
    EXPECT_FALSE(p.DataToDoubleVector(Parse(p, "(inf)").mElementVector[0], doubles));
    EXPECT_FALSE(p.DataToDoubleVector(Parse(p, "(nan)").mElementVector[0], doubles));
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!german)
        GTEST_LOG_(INFO) << "de_DE locale not installed; checked in the C locale only";
}

TEST(DescErrors, MessageCarriesHeaderAndCurrentLine)
{
    Parser p;
    p.SetLine("Line 3:\r\n\r\nfoo");
    p.Error("Unknown Command");
    ASSERT_EQ(p.errors.size(), 1u);
    EXPECT_EQ(p.errors[0], "H:Unknown Command on Line 3:\r\n\r\nfoo");
}
