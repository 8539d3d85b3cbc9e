// Stepping through the lessons: files read once and in order, the ends of the
// series, the profile's results copied in on entry, and files that cannot be used.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/shell/LessonManager.h"
#include "game/profile/UserProfile.h"
#include "game/shell/WinBTApp.h"
#include "tests/support/TestSupport.h"

using Zant::Lesson;
using Zant::LessonManager;

namespace {

class LessonManagerTest : public ::testing::Test {
protected:
    LessonManagerTest()
    {
        std::filesystem::create_directories(dir.File("data"));
        for (int i = 0; i < LessonManager::NUM_LESSONS; ++i)
            WriteLesson(i, "lesson " + std::to_string(i));
        manager.mDataFolder = dir.Path();
        app.mCurProfile = &profile;
    }
    ~LessonManagerTest() override { app.mCurProfile = nullptr; }

    void WriteLesson(int index, const std::string& line)
    {
        TestSupport::WriteFile(dir.File("data/lesson" + std::to_string(index) + ".xml"),
                               "<LESSON>\n<TASK>\n<TEXT>" + line + "</TEXT>\n</TASK>\n</LESSON>\n");
    }
    static std::string FirstLine(const Lesson* lesson) { return lesson->mTasks.at(0).mLines.at(0); }

    TestSupport::TempDir dir;
    Zant::WinBTApp app;
    Zant::UserProfile profile{&app};
    LessonManager manager{&app};
};

} // namespace

TEST_F(LessonManagerTest, ForwardThroughAllLessonsAndNoFurther)
{
    for (int i = 0; i < LessonManager::NUM_LESSONS; ++i) {
        Lesson* lesson = manager.LoadLesson();
        ASSERT_NE(lesson, nullptr) << i;
        EXPECT_EQ(FirstLine(lesson), "lesson " + std::to_string(i));
        EXPECT_EQ(manager.mCurLesson, i);
    }
    EXPECT_EQ(manager.LoadLesson(), nullptr);
    EXPECT_EQ(manager.mCurLesson, 18);
    EXPECT_EQ(manager.GetFailedFile(), "");
}

TEST_F(LessonManagerTest, BackKeepsTheLessonsReadAndStopsAtTheTypingTest)
{
    EXPECT_EQ(manager.PrevLesson(), nullptr) << "nothing before the first lesson";
    Lesson* first = manager.LoadLesson();
    EXPECT_EQ(manager.PrevLesson(), nullptr);
    EXPECT_EQ(manager.mCurLesson, 0);

    Lesson* second = manager.LoadLesson();
    // A lesson once read is not read again, even when its file goes away.
    std::filesystem::remove(dir.File("data/lesson0.xml"));
    std::filesystem::remove(dir.File("data/lesson1.xml"));
    EXPECT_EQ(manager.PrevLesson(), first);
    EXPECT_EQ(manager.LoadLesson(), second);
    EXPECT_EQ(manager.mCurLesson, 1);
}

TEST_F(LessonManagerTest, ResultsFollowTheProfileOnEveryEntry)
{
    profile.mLessonResult[0] = 1;
    EXPECT_EQ(manager.LoadLesson()->mResult, 1);
    Lesson* second = manager.LoadLesson();
    EXPECT_EQ(second->mResult, -1);
    profile.mLessonResult[0] = 0;
    EXPECT_EQ(manager.PrevLesson()->mResult, 0);
    profile.mLessonResult[1] = 1;
    EXPECT_EQ(manager.LoadLesson()->mResult, 1);
}

TEST_F(LessonManagerTest, AFileThatCannotBeUsedLeavesTheCurrentLesson)
{
    struct Case {
        const char* what;
        const char* text; // null: no file
    };
    const Case cases[] = {
        {"missing", nullptr},
        {"no lesson", "<TASK>\n<TEXT>x</TEXT>\n</TASK>\n"},
        {"no task", "<LESSON>\n</LESSON>\n"},
        {"a task without a line", "<LESSON>\n<TASK>\n</TASK>\n</LESSON>\n"},
    };
    for (const Case& c : cases) {
        LessonManager fresh(nullptr);
        fresh.mDataFolder = dir.Path();
        ASSERT_NE(fresh.LoadLesson(), nullptr);
        if (c.text == nullptr)
            std::filesystem::remove(dir.File("data/lesson1.xml"));
        else
            TestSupport::WriteFile(dir.File("data/lesson1.xml"), c.text);
        EXPECT_EQ(fresh.LoadLesson(), nullptr) << c.what;
        EXPECT_EQ(fresh.mCurLesson, 0) << c.what;
        EXPECT_EQ(fresh.GetFailedFile(), "data\\lesson1.xml") << c.what;
    }
}
