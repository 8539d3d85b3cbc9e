// What the tutor's panel writes, read from a font that records its texts: the
// lesson title and its pass mark, the clock, progress, the typed text's colours and
// the paused veil.
#include "tests/tutor/TutorFixture.h"

#include <algorithm>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

using Zant::TypingTutor;
using namespace TutorTests;

namespace {

struct Written {
    std::string text;
    int x, y;
    Zant::Color color;
};

class RecordingFont : public Zant::Font {
public:
    explicit RecordingFont(std::vector<Written>* log) : mLog(log)
    {
        mHeight = 20;
        mAscent = 15;
    }
    int StringWidth(const std::string& text) override { return 8 * int(text.size()); }
    void DrawString(Zant::Graphics*, int x, int y, const std::string& text, const Zant::Color& color,
                    const Zant::Rect&) override
    {
        mLog->push_back({text, x, y, color});
    }
    Zant::Font* Duplicate() override { return new RecordingFont(*this); }
    std::vector<Written>* mLog;
};

class TutorDrawTest : public TutorFixture {
protected:
    TutorDrawTest()
    {
        for (Zant::Font** font : {&app->mFontMyriad14Bold, &app->mFontGillSans10Bold, &app->mFontRockwell13,
                                  &app->mFontSwiss24, &app->mFont12pt})
            *font = new RecordingFont(&written);
        screen.Create(640, 480);
    }
    // The texts of one draw, by what they say.
    const std::vector<Written>& Draw()
    {
        written.clear();
        Zant::Graphics g(&screen);
        tutor->Draw(&g);
        return written;
    }
    const Written* Find(const std::string& text)
    {
        auto it = std::find_if(written.begin(), written.end(), [&](const Written& w) { return w.text == text; });
        return it == written.end() ? nullptr : &*it;
    }
    const Written* FindAt(const std::string& text, int x, int y)
    {
        auto it = std::find_if(written.begin(), written.end(),
                               [&](const Written& w) { return w.text == text && w.x == x && w.y == y; });
        return it == written.end() ? nullptr : &*it;
    }

    std::vector<Written> written;
    Zant::MemoryImage screen;
};

} // namespace

TEST_F(TutorDrawTest, PassMarksOnlyFromLessonEight)
{
    struct Case {
        int lesson, result;
        const char* mark;
    };
    const Case cases[] = {{0, 1, nullptr}, {7, 1, nullptr}, {7, 0, nullptr}, {8, 1, "PASSED!"}, {8, 0, "FAILED!"},
                          {18, -1, nullptr}};
    for (const Case& c : cases) {
        profile->mLastLesson = c.lesson;
        profile->mLessonResult[size_t(c.lesson)] = c.result;
        profile->mLessonResult[0] = c.lesson == 0 ? -1 : 1;
        OpenTutor();
        Draw();
        const std::string title = c.lesson == 0 ? "TYPING TEST" : "LESSON " + std::to_string(c.lesson);
        EXPECT_NE(Find(title), nullptr) << title;
        for (const char* mark : {"PASSED!", "FAILED!"})
            EXPECT_EQ(Find(mark) != nullptr, c.mark != nullptr && std::string(c.mark) == mark) << title << mark;
        if (c.mark != nullptr) {
            EXPECT_EQ(Find(c.mark)->x, 472 + 145 - 8 * 7) << "right-aligned in the title's box";
        }
        CloseTutor();
    }
}

// The caret under the next letter to type keeps clear of the line below it, so it
// does not read as a mark on that line.
TEST_F(TutorDrawTest, TheCaretStandsClearOfTheNextLine)
{
    WriteLesson(0, "", {{"abc", "def", "ghi"}});
    struct Case {
        const char* typed;
        const char* current; // a letter of the caret's line
        const char* next;    // a letter of the line below it
    };
    const Case cases[] = {{"a", "a", "d"}, {"ab", "a", "d"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Zant::TypingTutor& t = OpenTutor();
        Type(c.typed);
        t.mShowUnderline = true;
        Draw();
        uint32_t* bits = screen.GetBits();
        int caret = -1;
        for (int y = 60; y < 200 && caret < 0; ++y)
            for (int x = 16; x < 200; ++x)
                if ((bits[y * 640 + x] & 0xFFFFFF) == 0xFFFFFF) {
                    caret = y;
                    break;
                }
        ASSERT_GE(caret, 0) << "no caret drawn";
        const Written* current = Find(c.current);
        const Written* next = Find(c.next);
        ASSERT_NE(current, nullptr);
        ASSERT_NE(next, nullptr);
        const int ascent = app->mFontMyriad14Bold->GetAscent();
        EXPECT_GT(caret, current->y) << "under its own line";
        EXPECT_LT(caret, next->y - ascent - 1) << "at least a clear row above the next line's letters";
        std::fill(bits, bits + 640 * 480, 0u);
        screen.BitsChanged();
        CloseTutor();
    }
}

TEST_F(TutorDrawTest, TheClockShowsOnlyWithATimeLimit)
{
    const std::pair<const char*, const char*> cases[] = {
        {"<LESSONTIME>65</LESSONTIME>\n", "TIME 1:05"}, {"<LESSONTIME>9</LESSONTIME>\n", "TIME 0:09"},
        {"<LESSONTIME>130</LESSONTIME>\n", "TIME 2:10"}, {"", nullptr}};
    for (const auto& [limit, text] : cases) {
        WriteLesson(0, limit, {{"ab c", "de"}});
        profile->mLastLesson = 0;
        OpenTutor();
        Draw();
        const bool clockShown = std::any_of(written.begin(), written.end(),
                                            [](const Written& w) { return w.text.rfind("TIME", 0) == 0; });
        EXPECT_EQ(clockShown, text != nullptr) << limit;
        if (text != nullptr) {
            EXPECT_NE(Find(text), nullptr) << text;
        }
        CloseTutor();
    }
}

TEST_F(TutorDrawTest, TypedTextGreenProgressAndThePausedVeil)
{
    WriteLesson(0, "", {{"ab", "cd"}, {"ef"}});
    TypingTutor& t = OpenTutor();
    Draw();
    EXPECT_NE(Find("Start typing to begin"), nullptr);
    EXPECT_EQ(Find("PAUSED"), nullptr);

    Type("abc");
    Draw();
    EXPECT_NE(Find("0% COMPLETE"), nullptr);
    EXPECT_NE(Find("0 ERRORS"), nullptr);
    const Zant::Color green(0, 255, 0), white(255, 255, 255);
    auto colorOf = [&](const std::string& c, int y) {
        for (const Written& w : written)
            if (w.text == c && w.y == y)
                return w.color;
        return Zant::Color(1, 2, 3);
    };
    EXPECT_EQ(colorOf("a", 65), green) << "a line typed";
    EXPECT_EQ(colorOf("c", 88), green) << "the typed part of the current line";
    EXPECT_EQ(colorOf("d", 88), white) << "the rest of it";

    t.LostFocus();
    Draw();
    EXPECT_NE(Find("PAUSED"), nullptr);
    EXPECT_EQ(colorOf("a", 65), white) << "no progress colours while paused";
    t.GotFocus();
    Type("d");
    Draw();
    EXPECT_NE(Find("50% COMPLETE"), nullptr);
    Type("ef");
    Draw();
    EXPECT_NE(Find("STATISTICS"), nullptr);
    EXPECT_NE(Find("100% Accuracy"), nullptr);
}

// The glow over the key to press carries the key's label in the cap's own painted
// letters: no label is written over it in another font.
TEST_F(TutorDrawTest, TheLitKeysLabelIsThePictures)
{
    WriteLesson(0, "", {{"Sa"}});
    TypingTutor& t = OpenTutor();
    ASSERT_EQ(t.mExpectedChar, 'S');
    t.mShowHighlights = true;
    Draw();
    // The S key at (104, 224) and the right Shift at (372, 252).
    for (auto [label, x, y] : {std::tuple{"S", 104, 224}, {"Shift", 372, 252}})
        EXPECT_EQ(FindAt(label, x + 5, y + 12), nullptr) << label;
}

// The clock and the results' heading stand on the side panel's centre, between its
// rules at x 472 and 624, as the lines over and under them do.
TEST_F(TutorDrawTest, ClockAndStatisticsStandOnThePanelsCentre)
{
    constexpr int PANEL_CENTRE = 548, LETTER = 8;
    WriteLesson(0, "<LESSONTIME>65</LESSONTIME>\n", {{"ab"}});
    profile->mLastLesson = 0;
    OpenTutor();
    Draw();
    const Written* clock = Find("TIME 1:05");
    ASSERT_NE(clock, nullptr);
    EXPECT_EQ(clock->x + LETTER * int(clock->text.size()) / 2, PANEL_CENTRE);
    Type("ab");
    Draw();
    const Written* heading = Find("STATISTICS");
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->x + LETTER * int(heading->text.size()) / 2, PANEL_CENTRE);
    CloseTutor();
}
