#pragma once
// One typing-tutor lesson: its pass limits, its description and its tasks, and the
// reader of the lesson file format (one tag per line, its value on the same line).
#include <string>
#include <vector>

namespace Zant {

class MersenneTwister;

struct LessonTask {
    std::string mHeading;
    // Typing progress, owned by the tutor.
    int mCurLine = 0;
    int mCurPos = 0;
    std::vector<std::string> mLines;
};

class Lesson {
public:
    // Limits; -1 means the tutor's default for each.
    int mMaxErrors = -1;
    int mMinWpm = -1;
    int mMinTasks = -1;
    int mMinAccuracy = -1;
    int mLessonTime = -1;
    std::string mDescription;
    std::vector<LessonTask> mTasks;
    // The profile's result: -1 never finished, 0 finished without passing, 1 passed.
    int mResult = -1;

    // Every task back to its first character.
    void ResetProgress();
    // Whether the tutor can run it: at least one task, every task with a line, and
    // no line that is empty or begins or ends with a space or line end (the tutor
    // ignores those at a line's ends, so such a line could never be finished).
    bool IsPlayable() const;
};

// Where a lesson's "File" texts are looked up and the generator a random pick draws from.
struct LessonSource {
    std::string mDataFolder; // the program folder ("" = the working folder)
    MersenneTwister* mRandom = nullptr;
};

// Reads the text of a lesson file into lesson. Each line is parsed by itself and only
// its first element (and the text after it, as its value) counts. Only the first
// LESSON block counts; one left open at the end of the text still counts. False when
// the text holds no lesson.
bool ReadLessonText(const std::string& text, const LessonSource& source, Lesson& lesson);

// Leading blanks, an optional sign and the leading digits; 0 when there are none.
// Values beyond the int range are clamped.
int LessonAtoI(const std::string& text);

} // namespace Zant
