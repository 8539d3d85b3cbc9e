#include "game/shell/Lesson.h"

#include <climits>

#include "framework/util/MersenneTwister.h"
#include "framework/util/StringUtil.h"
#include "framework/util/XMLParser.h"
#include "game/common/DataFile.h"

namespace Zant {

namespace {

// The reader's line buffer: a longer line is read as several.
constexpr size_t MAX_LINE = 1024;

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// The lines of a lesson file: a carriage return or a line feed ends one, empty
// lines are skipped.
std::vector<std::string> SplitLessonLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (IsLineEnd(c)) {
            if (!line.empty())
                lines.push_back(std::move(line));
            line.clear();
            continue;
        }
        line += c;
        if (line.size() == MAX_LINE) {
            lines.push_back(std::move(line));
            line.clear();
        }
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

// A line that is only an end tag: the parser starts every line with no open element
// and refuses it, but the lesson format closes its blocks with such lines.
bool ReadLoneEndTag(const std::string& line, XMLElement& element)
{
    const std::string trimmed = TrimCopy(line);
    if (trimmed.size() < 4 || trimmed.compare(0, 2, "</") != 0 || trimmed.back() != '>')
        return false;
    const std::string name = TrimCopy(trimmed.substr(2, trimmed.size() - 3));
    if (name.empty() || name.find_first_of("<>/ \t\"") != std::string::npos)
        return false;
    element = XMLElement();
    element.mType = XMLElement::TYPE_END;
    element.mValue = name;
    return true;
}

// The lines of a text file named by a lesson, without their line ends.
std::vector<std::string> ReadTextFileLines(const LessonSource& source, const std::string& path)
{
    std::vector<std::string> lines;
    std::string text;
    if (!ReadGameDataFile(source.mDataFolder, path, text))
        return lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        while (!line.empty() && IsLineEnd(line.back()))
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

class LessonReader {
public:
    LessonReader(const LessonSource& source, Lesson& lesson) : mSource(source), mLesson(lesson) {}

    void ReadLine(const std::string& line)
    {
        mParser.SetStringSource(line);
        XMLElement element;
        if (!mParser.ReadElement(element) && !ReadLoneEndTag(line, element))
            return;
        const std::string name = ToUpperCopy(element.mValue);
        const bool start = element.mType == XMLElement::TYPE_START;
        const bool end = element.mType == XMLElement::TYPE_END;
        if (!start && !end)
            return;

        if (name == "LESSON") {
            if (start && mState == State::BeforeLesson)
                mState = State::InLesson;
            else if (end && mState == State::InLesson)
                Finish();
            return;
        }
        // Only the first lesson of the file counts.
        if (mState != State::InLesson)
            return;
        if (name == "HEADINGS") {
            mInHeadings = start;
            return;
        }
        if (mInHeadings) {
            if (start)
                mHeadings.push_back(ReadValue());
            return;
        }
        if (!start) {
            if (name == "TASK" && mInTask)
                CloseTask();
            return;
        }
        if (name == "DESCRIPTION") {
            mLesson.mDescription = ReadValue();
        } else if (int* limit = LimitNamed(name)) {
            *limit = LessonAtoI(ReadValue());
        } else if (name == "TASK") {
            // A task opened inside another replaces it unfinished.
            mInTask = true;
            mTask = LessonTask();
        } else if (mInTask && name == "HEADING") {
            const int k = LessonAtoI(ReadValue());
            mTask.mHeading = k >= 1 && k <= int(mHeadings.size()) ? mHeadings[size_t(k) - 1] : std::string();
        } else if (mInTask && name == "TEXT") {
            AddText(element);
        }
    }

    // The end of the file closes what is still open.
    bool Finish()
    {
        if (mState == State::InLesson) {
            if (mInTask)
                CloseTask();
            mState = State::Done;
        }
        return mState == State::Done;
    }

private:
    enum class State { BeforeLesson, InLesson, Done };

    // The value of an element is the text that follows it on its line.
    std::string ReadValue()
    {
        XMLElement value;
        if (!mParser.ReadElement(value) || value.mType != XMLElement::TYPE_TEXT)
            return std::string();
        return value.mValue;
    }

    int* LimitNamed(const std::string& name)
    {
        if (name == "MAXERRORS")
            return &mLesson.mMaxErrors;
        if (name == "MINWPM")
            return &mLesson.mMinWpm;
        if (name == "LESSONTIME")
            return &mLesson.mLessonTime;
        if (name == "MINTASKS")
            return &mLesson.mMinTasks;
        if (name == "MINACCURACY")
            return &mLesson.mMinAccuracy;
        return nullptr;
    }

    void AddText(const XMLElement& element)
    {
        const std::string value = ReadValue();
        auto file = element.mAttributes.find("File");
        if (file == element.mAttributes.end()) {
            if (!value.empty())
                mTask.mLines.push_back(value);
            return;
        }
        // A line of another file: k counts from 0, -1 picks one at random.
        const std::vector<std::string> lines = ReadTextFileLines(mSource, file->second);
        int k = LessonAtoI(value);
        if (k == -1 && !lines.empty() && mSource.mRandom != nullptr)
            k = mSource.mRandom->Next() % int(lines.size());
        if (k >= 0 && k < int(lines.size()) && !lines[size_t(k)].empty())
            mTask.mLines.push_back(lines[size_t(k)]);
    }

    void CloseTask()
    {
        mLesson.mTasks.push_back(std::move(mTask));
        mTask = LessonTask();
        mInTask = false;
    }

    const LessonSource& mSource;
    Lesson& mLesson;
    XMLParser mParser;
    State mState = State::BeforeLesson;
    bool mInHeadings = false;
    bool mInTask = false;
    LessonTask mTask;
    std::vector<std::string> mHeadings;
};

} // namespace

void Lesson::ResetProgress()
{
    for (LessonTask& task : mTasks) {
        task.mCurLine = 0;
        task.mCurPos = 0;
    }
}

bool Lesson::IsPlayable() const
{
    if (mTasks.empty())
        return false;
    for (const LessonTask& task : mTasks) {
        if (task.mLines.empty())
            return false;
        for (const std::string& line : task.mLines) {
            if (line.empty())
                return false;
            for (char edge : {line.front(), line.back()})
                if (edge == ' ' || IsLineEnd(edge))
                    return false;
        }
    }
    return true;
}

bool ReadLessonText(const std::string& text, const LessonSource& source, Lesson& lesson)
{
    lesson = Lesson();
    LessonReader reader(source, lesson);
    for (const std::string& line : SplitLessonLines(text))
        reader.ReadLine(line);
    return reader.Finish();
}

int LessonAtoI(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || IsLineEnd(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            value = INT_MAX + 1LL; // clamped below, and no overflow on more digits
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return int(value);
}

} // namespace Zant
