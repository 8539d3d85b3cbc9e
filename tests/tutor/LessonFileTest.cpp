// Reading lesson files: one tag per line with its value on the same line, the
// blocks closed by lines of their own, and the files that the tutor cannot run.
#include <gtest/gtest.h>

#include "framework/util/MersenneTwister.h"
#include "game/shell/Lesson.h"
#include "tests/support/TestSupport.h"

using Zant::Lesson;
using Zant::LessonSource;

namespace {

struct Read {
    Lesson lesson;
    bool ok = false;
    explicit Read(const std::string& text, const LessonSource& source = LessonSource())
    {
        ok = Zant::ReadLessonText(text, source, lesson);
    }
};

// A lesson with two headings around the given lines.
std::string LessonWith(const std::string& body)
{
    return "<LESSON>\n<HEADINGS>\n<H>First</H>\n<H>Second</H>\n</HEADINGS>\n" + body + "</LESSON>\n";
}

const char* const EXAMPLE = "<?xml version=\"1.0\"?>\n"
                            "<!-- a drill -->\n"
                            "<lesson>\n"
                            "<HEADINGS>\n"
                            "<H>Home row</H>\n"
                            "<DESCRIPTION>Right hand</DESCRIPTION>\n"
                            "</HEADINGS>\n"
                            "<Description>Rest your fingers   on the keys.</Description>\n"
                            "<MAXERRORS>10</MAXERRORS>\n"
                            "<minwpm> 12 words</minwpm>\n"
                            "<MINACCURACY>-5</MINACCURACY>\n"
                            "<TASK>\n"
                            "<HEADING>2</HEADING>\n"
                            "<TEXT>a &lt;b&gt; &amp; c</TEXT>\n"
                            "<TEXT>\"a  b\" c</TEXT>\n"
                            "</TASK>\n"
                            "<TASK>\n"
                            "<HEADING>1</HEADING>\n"
                            "<TEXT>jkl;</TEXT>\n"
                            "</TASK>\n"
                            "</LESSON>";

} // namespace

TEST(LessonFile, ReadsLimitsHeadingsAndLines)
{
    Read file(EXAMPLE);
    ASSERT_TRUE(file.ok);
    const Lesson& l = file.lesson;
    EXPECT_EQ(l.mDescription, "Rest your fingers on the keys.") << "headings named DESCRIPTION are headings";
    EXPECT_EQ(l.mMaxErrors, 10);
    EXPECT_EQ(l.mMinWpm, 12);
    EXPECT_EQ(l.mMinAccuracy, -5);
    EXPECT_EQ(l.mMinTasks, -1) << "absent: every task";
    EXPECT_EQ(l.mLessonTime, -1);
    ASSERT_EQ(l.mTasks.size(), 2u);
    EXPECT_EQ(l.mTasks[0].mHeading, "Right hand");
    EXPECT_EQ(l.mTasks[0].mLines, (std::vector<std::string>{"a <b> & c", "a  b c"}));
    EXPECT_EQ(l.mTasks[1].mHeading, "Home row");
    EXPECT_EQ(l.mTasks[1].mLines, (std::vector<std::string>{"jkl;"}));
    EXPECT_TRUE(l.IsPlayable());
}

TEST(LessonFile, LineEndsOfEveryKindReadAlike)
{
    const std::string lf = EXAMPLE;
    std::string cr = lf, crlf;
    for (char& c : cr)
        if (c == '\n')
            c = '\r';
    for (char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    Read a(lf), b(cr), c(crlf + "\r\n\r\n");
    for (const Read* r : {&b, &c}) {
        ASSERT_TRUE(r->ok);
        ASSERT_EQ(r->lesson.mTasks.size(), a.lesson.mTasks.size());
        for (size_t i = 0; i < a.lesson.mTasks.size(); ++i)
            EXPECT_EQ(r->lesson.mTasks[i].mLines, a.lesson.mTasks[i].mLines);
        EXPECT_EQ(r->lesson.mDescription, a.lesson.mDescription);
    }
}

TEST(LessonFile, ValuesComeFromTheirOwnLineOnly)
{
    struct Case {
        const char* what;
        std::string body;
        std::vector<std::string> lines;
        std::string heading;
        int minTasks;
    };
    const Case cases[] = {
        {"value on the next line", "<MINTASKS>\n3\n<TASK>\n<HEADING>1</HEADING>\n<TEXT>\nab\n<TEXT>cd</TEXT>\n</TASK>\n",
         {"cd"}, "First", 0},
        {"MINTASKS 0", "<MINTASKS>0</MINTASKS>\n<TASK>\n<TEXT>ab</TEXT>\n</TASK>\n", {"ab"}, "", 0},
        {"empty TEXT adds no line", "<TASK>\n<HEADING>2</HEADING>\n<TEXT></TEXT>\n<TEXT>x</TEXT>\n</TASK>\n", {"x"},
         "Second", -1},
        {"heading out of range", "<TASK>\n<HEADING>5</HEADING>\n<TEXT>x</TEXT>\n</TASK>\n", {"x"}, "", -1},
        {"heading 0", "<TASK>\n<HEADING>0</HEADING>\n<TEXT>x</TEXT>\n</TASK>\n", {"x"}, "", -1},
        {"not a number", "<MINTASKS>many</MINTASKS>\n<TASK>\n<TEXT>x</TEXT>\n</TASK>\n", {"x"}, "", 0},
        {"TEXT outside a task", "<TEXT>lost</TEXT>\n<TASK>\n<TEXT>x</TEXT>\n</TASK>\n", {"x"}, "", -1},
    };
    for (const Case& c : cases) {
        Read file(LessonWith(c.body));
        ASSERT_TRUE(file.ok) << c.what;
        ASSERT_EQ(file.lesson.mTasks.size(), 1u) << c.what;
        EXPECT_EQ(file.lesson.mTasks[0].mLines, c.lines) << c.what;
        EXPECT_EQ(file.lesson.mTasks[0].mHeading, c.heading) << c.what;
        EXPECT_EQ(file.lesson.mMinTasks, c.minTasks) << c.what;
    }
}

TEST(LessonFile, OnlyTheFirstLessonCountsAndAnOpenOneIsKept)
{
    Read two("<LESSON>\n<TASK>\n<TEXT>one</TEXT>\n</TASK>\n</LESSON>\n<LESSON>\n<TASK>\n<TEXT>two</TEXT>\n</TASK>\n"
             "</LESSON>\n");
    ASSERT_TRUE(two.ok);
    ASSERT_EQ(two.lesson.mTasks.size(), 1u);
    EXPECT_EQ(two.lesson.mTasks[0].mLines[0], "one");

    Read open("<LESSON>\n<TASK>\n<TEXT>left open</TEXT>\n");
    ASSERT_TRUE(open.ok);
    ASSERT_EQ(open.lesson.mTasks.size(), 1u);
    EXPECT_EQ(open.lesson.mTasks[0].mLines[0], "left open");

    Read before("<DESCRIPTION>early</DESCRIPTION>\n<LESSON>\n</LESSON>");
    ASSERT_TRUE(before.ok);
    EXPECT_EQ(before.lesson.mDescription, "");

    for (const char* text : {"", "<TASK>\n<TEXT>x</TEXT>\n</TASK>\n", "\x80\xff<\n</LESSON>\n"})
        EXPECT_FALSE(Read(text).ok) << text;
}

TEST(LessonFile, LessonsTheTutorCannotRun)
{
    struct Case {
        const char* what;
        std::string text;
        bool playable;
    };
    const Case cases[] = {
        {"no task", "<LESSON>\n</LESSON>\n", false},
        {"a task without lines", "<LESSON>\n<TASK>\n<TEXT></TEXT>\n</TASK>\n</LESSON>\n", false},
        {"a line starting with a space", "<LESSON>\n<TASK>\n<TEXT>\" a\"</TEXT>\n</TASK>\n</LESSON>\n", false},
        {"a line ending with a space", "<LESSON>\n<TASK>\n<TEXT>\"a \"</TEXT>\n</TASK>\n</LESSON>\n", false},
        {"a line ending with a line end", "<LESSON>\n<TASK>\n<TEXT>a&cr;</TEXT>\n</TASK>\n</LESSON>\n", false},
        {"one good line", "<LESSON>\n<TASK>\n<TEXT>a b</TEXT>\n</TASK>\n</LESSON>\n", true},
    };
    for (const Case& c : cases) {
        Read file(c.text);
        ASSERT_TRUE(file.ok) << c.what;
        EXPECT_EQ(file.lesson.IsPlayable(), c.playable) << c.what;
    }
}

TEST(LessonFile, LinesTakenFromAnotherFile)
{
    TestSupport::TempDir dir;
    std::filesystem::create_directories(dir.File("data"));
    TestSupport::WriteFile(dir.File("data/words.txt"), "alpha\r\nbeta\ngamma\n");
    TestSupport::WriteFile(dir.File("data/empty.txt"), "");
    Zant::MersenneTwister random(7);
    LessonSource source{dir.Path(), &random};
    auto linesFor = [&](const std::string& texts) {
        Read file(LessonWith("<TASK>\n" + texts + "<TEXT>end</TEXT>\n</TASK>\n"), source);
        EXPECT_TRUE(file.ok);
        return file.lesson.mTasks.at(0).mLines;
    };
    EXPECT_EQ(linesFor("<TEXT File=\"data\\words.txt\">0</TEXT>\n<TEXT File=\"data/words.txt\">2</TEXT>\n"),
              (std::vector<std::string>{"alpha", "gamma", "end"}))
        << "line ends are not part of the line";
    EXPECT_EQ(linesFor("<TEXT File=\"data/words.txt\">3</TEXT>\n<TEXT File=\"data/empty.txt\">-1</TEXT>\n"
                       "<TEXT File=\"data/missing.txt\">0</TEXT>\n"),
              (std::vector<std::string>{"end"}));

    // A random pick is one draw over the file's lines.
    Zant::MersenneTwister expected(7);
    const char* const words[] = {"alpha", "beta", "gamma"};
    for (int i = 0; i < 5; ++i) {
        const std::string want = words[expected.Next() % 3];
        EXPECT_EQ(linesFor("<TEXT File=\"data/words.txt\">-1</TEXT>\n").at(0), want);
    }
}

TEST(LessonFile, NumbersReadAsTheirLeadingDigits)
{
    const std::pair<const char*, int> cases[] = {{"42", 42},     {"  -7x", -7},          {"+3", 3},
                                                 {"abc", 0},     {"", 0},                {"99999999999", 2147483647},
                                                 {"-99999999999", -2147483647 - 1}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(Zant::LessonAtoI(text), value) << text;
}
