#pragma once
// The tutor's series of lessons: reads each lesson file on its first visit, keeps
// every lesson read for its own life, steps forward and back, and gives each lesson
// the current profile's result for it on entry.
#include <memory>
#include <string>
#include <vector>

#include "game/shell/Lesson.h"

namespace Zant {

class WinBTApp;

class LessonManager {
public:
    // Lesson 0 is the typing test, 1 .. 18 the ordinary lessons.
    static constexpr int NUM_LESSONS = 19;

    explicit LessonManager(WinBTApp* app);
    virtual ~LessonManager();
    LessonManager(const LessonManager&) = delete;
    LessonManager& operator=(const LessonManager&) = delete;

    // The next lesson, read from its file on the first visit; none past the last
    // lesson, or when its file is missing or not a lesson the tutor can run (the
    // current lesson then stays where it was, and GetFailedFile names the file).
    Lesson* LoadLesson();
    // The previous lesson; none (and no change) on the first.
    Lesson* PrevLesson();

    // "data\lessonN.xml" of the last lesson that could not be read; empty when none.
    const std::string& GetFailedFile() const { return mFailedFile; }
    static std::string LessonFileName(int index);

public:
    WinBTApp* mApp;
    std::vector<std::unique_ptr<Lesson>> mLessons;
    int mCurLesson = -1;
    // Folder the data folder lies in ("" = the working folder).
    std::string mDataFolder;

private:
    // The current profile's result for the lesson; never finished without a profile.
    int ResultOf(int index) const;
    std::unique_ptr<Lesson> ReadLessonFile(int index);

    std::string mFailedFile;
};

} // namespace Zant
