// Reads any bytes as a lesson file, then checks whether the tutor could run it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/util/MersenneTwister.h"
#include "game/shell/Lesson.h"

// The reader alone, without the rest of the game.
#include "game/common/DataFile.cpp"
#include "game/shell/Lesson.cpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Zant::MersenneTwister random(5);
    // A folder that does not exist: "File" texts find nothing instead of reading the disk.
    Zant::LessonSource source{"/nonexistent-lesson-folder", &random};
    Zant::Lesson lesson;
    if (Zant::ReadLessonText(text, source, lesson))
        (void)lesson.IsPlayable();
    return 0;
}
