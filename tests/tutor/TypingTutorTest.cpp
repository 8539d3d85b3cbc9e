// The tutor driven by keys and updates: counting, the ends of a line, judging and
// recording a lesson, the time limit, pausing, pages, and where the tutor opens.
#include "tests/tutor/TutorFixture.h"

#include "framework/graphics/Graphics.h"
#include "framework/widgets/DialogButton.h"
#include "game/shell/Lesson.h"
#include "game/shell/LessonManager.h"

using Zant::TypingTutor;
using namespace TutorTests;

namespace {

bool IsClick(int sound) { return sound >= Zant::SOUND_TYPE && sound <= Zant::SOUND_TYPE3; }

} // namespace

TEST_F(TutorFixture, KeysCountErrorsOncePerCharacterAndIgnoreSpacesAtLineEnds)
{
    TypingTutor& t = OpenTutor();
    ASSERT_EQ(t.GetLessonIndex(), 0);
    EXPECT_EQ(t.mExpectedChar, 'a');
    struct Step {
        char key;
        int errors, typed, correct;
        int sound; // 4 wrong, 32 any click
    };
    const Step steps[] = {
        {' ', 0, 0, 0, 32}, // first position: a click only, but typing has begun
        {'b', 1, 0, 0, 4},  {'b', 1, 0, 0, 4}, // several wrong keys, one error
        {'a', 1, 1, 0, 32}, // right after a miss: typed, not correct
        {'B', 2, 1, 0, 4},  // case counts
        {'b', 2, 2, 0, 32}, {' ', 2, 3, 1, 32}, // a space inside the line is a character
        {' ', 2, 3, 1, 32}, // last position
        {'\r', 2, 3, 1, 32}, {'c', 2, 4, 2, 32}, {'\n', 2, 4, 2, 32}, // first position of "de"
        {'d', 2, 5, 3, 32},
        {'\b', 3, 5, 3, 4}, // Backspace takes nothing back: it is a wrong key
    };
    for (const Step& s : steps) {
        app->sounds.clear();
        t.KeyChar(s.key);
        const std::string what = std::string("key ") + std::to_string(int(s.key)) + " typed " + std::to_string(t.mTyped);
        EXPECT_EQ(t.mState, TypingTutor::STATE_TYPING) << what;
        EXPECT_EQ(t.mErrors, s.errors) << what;
        EXPECT_EQ(t.mTyped, s.typed) << what;
        EXPECT_EQ(t.mCorrect, s.correct) << what;
        ASSERT_EQ(app->sounds.size(), 1u) << what;
        EXPECT_TRUE(s.sound == 4 ? app->sounds[0] == 4 : IsClick(app->sounds[0])) << what;
    }
    EXPECT_EQ(t.mExpectedChar, 'e');
    EXPECT_EQ(t.mGuide.mKeyHighlights.size(), 1u);
    EXPECT_EQ(t.mLesson->mTasks[0].mCurPos, 1);
}

TEST_F(TutorFixture, APerfectLessonPassesAndIsRecorded)
{
    WriteLesson(8, "<MAXERRORS>0</MAXERRORS>\n<MINWPM>5</MINWPM>\n<MINACCURACY>100</MINACCURACY>\n",
                {{"ab c", "de"}, {"fg"}});
    profile->mLastLesson = 8;
    TypingTutor& t = OpenTutor();
    ASSERT_EQ(t.GetLessonIndex(), 8);
    EXPECT_EQ(t.mLesson->mResult, -1);

    // 8 characters over 2 seconds: 48 words per minute.
    Type("ab cdefg", 30);
    ASSERT_EQ(t.mState, TypingTutor::STATE_RESULTS);
    EXPECT_EQ(t.mElapsed, 2);
    EXPECT_EQ(t.mRawWpm, 48);
    EXPECT_EQ(t.mAdjWpm, 48);
    EXPECT_EQ(t.mAccuracy, 100);
    EXPECT_EQ(t.mLesson->mResult, 1);
    EXPECT_EQ(profile->mLessonResult[8], 1);
    EXPECT_EQ(profile->mLessonStats[8].Count(1), 1);
    EXPECT_EQ(profile->mLessonStats[8].Last(2), 48);
    EXPECT_EQ(profile->mLessonStats[8].Last(3), 100);
    EXPECT_EQ(profile->mWpm[0], 48);
    EXPECT_EQ(profile->mLastLesson, 8);
    EXPECT_EQ(OpenQuestion().header, "VIEW STATS?");
    EXPECT_TRUE(t.mAskedViewStats);
    EXPECT_EQ(t.mPauseCount, 1) << "the question has the focus";
    int type = 0;
    std::string stored;
    ASSERT_TRUE(store.GetValue("SOFTWARE\\Vorlix\\Plindor\\Users\\Tester", "LastLesson", type, stored));
    EXPECT_EQ(stored, "8") << "the profile is written";

    // Keys do nothing more on the results page.
    app->sounds.clear();
    t.KeyChar('a');
    EXPECT_TRUE(app->sounds.empty());
}

TEST_F(TutorFixture, JudgingAgainstTheLimits)
{
    struct Case {
        const char* what;
        std::string limits;
        std::string keys; // '#' a wrong key
        int before;
        int result;
    };
    const Case cases[] = {
        {"too many errors", "<MAXERRORS>1</MAXERRORS>\n", "#a#b c#de", -1, 0},
        {"errors allowed", "<MAXERRORS>3</MAXERRORS>\n", "#a#b c#de", -1, 1},
        {"no limits at all", "", "#a#b# c#d#e", -1, 1},
        {"accuracy too low", "<MINACCURACY>60</MINACCURACY>\n", "#a#b c#de", -1, 0},
        {"failed after a pass stays passed", "<MAXERRORS>0</MAXERRORS>\n", "#ab cde", 1, 1},
        {"a failed retry stays failed", "<MAXERRORS>0</MAXERRORS>\n", "#ab cde", 0, 0},
        {"too slow", "<MINWPM>200</MINWPM>\n", "ab cde", -1, 0},
    };
    for (const Case& c : cases) {
        WriteLesson(9, c.limits, {{"ab c", "de"}});
        profile->mLastLesson = 9;
        profile->mLessonResult[9] = c.before;
        TypingTutor& t = OpenTutor();
        for (char key : c.keys) {
            t.KeyChar(key == '#' ? 'x' : key);
            Updates(20);
        }
        EXPECT_EQ(t.mState, TypingTutor::STATE_RESULTS) << c.what;
        EXPECT_EQ(profile->mLessonResult[9], c.result) << c.what;
        EXPECT_EQ(t.mLesson->mResult, c.result) << c.what;
        CloseTutor();
    }
}

TEST_F(TutorFixture, TheTimeLimitEndsATimedLessonAndPausesStopTheClock)
{
    WriteLesson(0, "<LESSONTIME>2</LESSONTIME>\n", {{"ab c", "de"}, {"fg"}});
    TypingTutor& t = OpenTutor();
    EXPECT_EQ(t.mTimeLeft, 2);
    Type("ab");
    Updates(50);
    // Paused (a dialog took the focus): the clock stands still.
    t.LostFocus();
    Updates(500);
    EXPECT_EQ(t.mElapsed, 0);
    EXPECT_EQ(t.mState, TypingTutor::STATE_TYPING);
    t.GotFocus();
    EXPECT_EQ(t.mPauseCount, 0);
    // Timers kept counting while paused: the first second is taken at once.
    Updates(1);
    EXPECT_EQ(t.mElapsed, 1);
    EXPECT_EQ(t.mTimeLeft, 1);
    Updates(99);
    EXPECT_EQ(t.mState, TypingTutor::STATE_TYPING);
    Updates(2);
    ASSERT_EQ(t.mState, TypingTutor::STATE_RESULTS);
    EXPECT_EQ(t.mElapsed, 2);
    EXPECT_EQ(t.mCurTask, 0);
    EXPECT_EQ(t.mRawWpm, 12);
    EXPECT_EQ(profile->mLessonResult[0], 0) << "unfinished tasks with every task required";
    const Question question = OpenQuestion();
    EXPECT_EQ(question.header, "Test Completed!");
    EXPECT_EQ(question.footer, "Return to Main Menu");
    EXPECT_NE(question.lines.find("your final WPM is:\n\n      ^5600D4^12 Words Per Minute"), std::string::npos);
    EXPECT_NE(question.lines.find("Your typing level is: ^5600D4^Easy."), std::string::npos);
    EXPECT_TRUE(t.mAskedQuit);
}

TEST_F(TutorFixture, ResultsArithmeticAndTypingLevels)
{
    struct Case {
        int elapsed, typed, correct, errors;
        int raw, adj, accuracy;
    };
    const Case cases[] = {
        {60, 160, 150, 10, 32, 30, 93},
        {0, 160, 150, 10, 0, 0, 93},
        {30, 50, 50, 0, 20, 20, 100},
        {10, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const TypingTutor::Results r = TypingTutor::ComputeResults(c.elapsed, c.typed, c.correct, c.errors);
        EXPECT_EQ(r.rawWpm, c.raw) << c.elapsed << " " << c.typed;
        EXPECT_EQ(r.adjWpm, c.adj) << c.elapsed << " " << c.typed;
        EXPECT_EQ(r.accuracy, c.accuracy) << c.elapsed << " " << c.typed;
    }
    const std::pair<int, const char*> levels[] = {{29, "Easy"},   {30, "Normal"}, {39, "Normal"}, {40, "Hard"},
                                                  {59, "Hard"},   {60, "Expert"}, {79, "Expert"}, {80, "X-Treme"}};
    for (const auto& [wpm, level] : levels)
        EXPECT_EQ(std::string(TypingTutor::TypingLevel(wpm)), std::string("^5600D4^") + level) << wpm;
}

TEST_F(TutorFixture, LinesAreShownFourToAPage)
{
    WriteLesson(0, "", {{"a1", "a2", "a3", "a4", "a5", "a6"}, {"b1"}});
    TypingTutor& t = OpenTutor();
    Type("a1a2a3");
    EXPECT_EQ(t.mFirstVisibleLine, 0);
    Type("a4");
    EXPECT_EQ(t.mFirstVisibleLine, 4);
    Type("a5a6");
    EXPECT_EQ(t.mCurTask, 1);
    EXPECT_EQ(t.mFirstVisibleLine, 0);
    EXPECT_EQ(t.mExpectedChar, 'b');
}

TEST_F(TutorFixture, WhereTheTutorOpensAndTheButtonsThatShow)
{
    struct Case {
        const char* what;
        int lastLesson;
        int testResult;
        int opens;
    };
    const Case cases[] = {
        {"new player", 0, -1, 0},   {"test passed", 0, 1, 1},    {"left off", 7, -1, 7},
        {"stored too high", 99, -1, 18}, {"stored negative", -4, -1, 0},
    };
    for (const Case& c : cases) {
        profile->mLastLesson = c.lastLesson;
        profile->mLessonResult[0] = c.testResult;
        TypingTutor& t = OpenTutor();
        EXPECT_EQ(t.GetLessonIndex(), c.opens) << c.what;
        EXPECT_EQ(t.mPrevButton->mVisible, c.opens > 0) << c.what;
        EXPECT_EQ(t.mNextButton->mVisible, c.opens < 18) << c.what;
        CloseTutor();
    }

    profile->mLastLesson = 17;
    TypingTutor& t = OpenTutor();
    t.ButtonDepress(TypingTutor::NEXT_BUTTON);
    EXPECT_EQ(t.GetLessonIndex(), 18);
    EXPECT_FALSE(t.mNextButton->mVisible);
    t.ButtonDepress(TypingTutor::PREV_BUTTON);
    EXPECT_EQ(t.GetLessonIndex(), 17);
    EXPECT_TRUE(t.mNextButton->mVisible);
    EXPECT_EQ(t.mState, TypingTutor::STATE_WAITING);
    app->sounds.clear();
    t.ButtonPress(TypingTutor::MENU_BUTTON, 1);
    EXPECT_EQ(app->sounds, std::vector<int>{Zant::SOUND_BUTTONCLICK});
    t.ButtonDepress(TypingTutor::MENU_BUTTON);
    EXPECT_TRUE(t.mAskedQuit);
    EXPECT_EQ(OpenQuestion().header, "QUIT?");
    CloseTutor();
    EXPECT_EQ(profile->mLastLesson, 17);

    // Leaving the typing test moves the player on to lesson 1.
    profile->mLastLesson = 0;
    profile->mLessonResult[0] = -1;
    OpenTutor();
    CloseTutor();
    EXPECT_EQ(profile->mLastLesson, 1);
}

TEST_F(TutorFixture, AMissingLessonFileStopsTheProgramWithoutACrash)
{
    std::filesystem::remove(dir.File("data/lesson3.xml"));
    profile->mLastLesson = 5;
    TypingTutor& t = OpenTutor();
    ASSERT_EQ(app->messages.size(), 1u);
    EXPECT_EQ(app->messages[0].rfind("The file: data\\lesson3.xml, is missing or corrupt.", 0), 0u) << app->messages[0];
    EXPECT_TRUE(app->mCloseRequest);
    EXPECT_EQ(t.GetLessonIndex(), -1);
    t.KeyChar('a');
    Updates(200);
    t.ButtonDepress(TypingTutor::PREV_BUTTON);
    t.ButtonDepress(TypingTutor::NEXT_BUTTON);
    Zant::Graphics g;
    t.Draw(&g);
    CloseTutor();
    EXPECT_EQ(profile->mLastLesson, 5) << "nothing is stored without a lesson";
}
