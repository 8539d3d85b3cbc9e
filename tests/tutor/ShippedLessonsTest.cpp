// The lesson files the game ships, read by the real reader: 19 lessons the tutor can
// run, every line typeable with the keyboard guide and fitting the lesson panel in
// its font, every description drawable in its font.
#include <gtest/gtest.h>

#include "framework/graphics/FontHost.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/widgets/Widget.h"
#include "game/shell/KeyboardGuide.h"
#include "game/shell/LessonManager.h"
#include "tests/support/TestSupport.h"

using namespace Zant;

namespace {

// Lines start at x 16 and the lesson panel ends at 460.
constexpr int MAX_LINE_WIDTH = 444;
// The description box is 152 wide and 127 high.
constexpr int DESCRIPTION_WIDTH = 152;
constexpr int DESCRIPTION_HEIGHT = 127;

bool HasGlyph(ImageFont& font, char c)
{
    return c == ' ' || (c > ' ' && c < 127 && font.StringWidth(std::string(1, c)) > 0);
}

} // namespace

TEST(ShippedLessons, EveryLessonReadsAndEveryLineCanBeTypedAndFits)
{
    SoftwareFontHost host;
    ImageFont lineFont(&host, TestSupport::GameDir() + "/data/MyriadCondensedWeb14Bold.txt");
    ImageFont descriptionFont(&host, TestSupport::GameDir() + "/data/GillSansMT10Bold.txt");
    ASSERT_TRUE(lineFont.IsLoaded());
    ASSERT_TRUE(descriptionFont.IsLoaded());

    Widget measurer;
    Graphics measure;
    measure.SetFont(&descriptionFont);

    LessonManager manager(nullptr);
    manager.mDataFolder = TestSupport::GameDir();
    for (int n = 0; n < LessonManager::NUM_LESSONS; ++n) {
        const Lesson* lesson = manager.LoadLesson();
        ASSERT_NE(lesson, nullptr) << "lesson " << n << ": " << manager.GetFailedFile();
        EXPECT_FALSE(lesson->mDescription.empty()) << n;
        EXPECT_LE(measurer.GetWordWrappedHeight(&measure, DESCRIPTION_WIDTH, lesson->mDescription),
                  DESCRIPTION_HEIGHT)
            << n << ": the description overflows its box: " << lesson->mDescription;
        for (char c : lesson->mDescription)
            EXPECT_TRUE(HasGlyph(descriptionFont, c)) << n << " description '" << c << "'";
        for (const LessonTask& task : lesson->mTasks) {
            EXPECT_FALSE(task.mHeading.empty()) << n;
            for (const std::string& line : task.mLines) {
                EXPECT_LE(lineFont.StringWidth(line), MAX_LINE_WIDTH) << n << ": " << line;
                for (char c : line)
                    EXPECT_TRUE(KeyboardGuide::CanShow(c) && HasGlyph(lineFont, c)) << n << ": '" << c << "' in " << line;
            }
        }
        // The early lessons are drills; from lesson 8 on a lesson is judged.
        const bool judged = lesson->mMaxErrors != -1 || lesson->mMinWpm != -1 || lesson->mMinAccuracy != -1;
        EXPECT_EQ(judged, n >= 8) << n;
    }
    EXPECT_EQ(manager.LoadLesson(), nullptr);

    // The typing test runs for a minute and passes however far the user gets.
    LessonManager test(nullptr);
    test.mDataFolder = TestSupport::GameDir();
    const Lesson* typingTest = test.LoadLesson();
    ASSERT_NE(typingTest, nullptr);
    EXPECT_EQ(typingTest->mLessonTime, 60);
    EXPECT_EQ(typingTest->mMinTasks, 0);
}
