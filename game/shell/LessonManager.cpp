#include "game/shell/LessonManager.h"

#include "framework/util/StringUtil.h"
#include "game/common/DataFile.h"
#include "game/profile/UserProfile.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

LessonManager::LessonManager(WinBTApp* app) : mApp(app) {}

LessonManager::~LessonManager() = default;

std::string LessonManager::LessonFileName(int index) { return FormatString("data\\lesson%d.xml", index); }

int LessonManager::ResultOf(int index) const
{
    const UserProfile* profile = mApp != nullptr ? mApp->mCurProfile : nullptr;
    if (profile == nullptr || index < 0 || index >= int(profile->mLessonResult.size()))
        return -1;
    return profile->mLessonResult[size_t(index)];
}

std::unique_ptr<Lesson> LessonManager::ReadLessonFile(int index)
{
    const std::string name = LessonFileName(index);
    std::string text;
    auto lesson = std::make_unique<Lesson>();
    LessonSource source;
    source.mDataFolder = mDataFolder;
    source.mRandom = mApp != nullptr ? &mApp->GetGameRandom() : nullptr;
    if (!ReadGameDataFile(mDataFolder, name, text) || !ReadLessonText(text, source, *lesson) ||
        !lesson->IsPlayable()) {
        mFailedFile = name;
        return nullptr;
    }
    return lesson;
}

Lesson* LessonManager::LoadLesson()
{
    const int n = mCurLesson + 1;
    if (n >= NUM_LESSONS)
        return nullptr;
    // Lessons are visited in order, so lesson n is either the next one to read or
    // already in memory.
    if (n >= int(mLessons.size())) {
        std::unique_ptr<Lesson> lesson = ReadLessonFile(n);
        if (lesson == nullptr)
            return nullptr;
        mLessons.push_back(std::move(lesson));
    }
    mCurLesson = n;
    Lesson* lesson = mLessons[size_t(n)].get();
    lesson->mResult = ResultOf(n);
    return lesson;
}

Lesson* LessonManager::PrevLesson()
{
    if (mCurLesson <= 0)
        return nullptr;
    --mCurLesson;
    Lesson* lesson = mLessons[size_t(mCurLesson)].get();
    lesson->mResult = ResultOf(mCurLesson);
    return lesson;
}

} // namespace Zant
