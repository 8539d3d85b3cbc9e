#include "game/play/WordLists.h"

#include <algorithm>
#include <set>

#include "framework/util/MersenneTwister.h"
#include "framework/util/StringUtil.h"
#include "game/common/DataFile.h"

namespace Zant {

namespace {

// Splits text at line feeds. A carriage return before the line feed is dropped, so
// files saved with CRLF ends read like LF files; a last line without a line feed
// still counts.
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// Only a to z change; every other byte stays as it is.
std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

} // namespace

WordLists::WordLists(WordListHost& host) : mHost(host) {}

const std::vector<std::string>& WordLists::GetLengthList(int length) const
{
    static const std::vector<std::string> empty;
    if (length < MIN_WORD_LENGTH || length > MAX_WORD_LENGTH)
        return empty;
    return mLengthLists[length - MIN_WORD_LENGTH];
}

// ---- Loaders

bool WordLists::LoadFile(const char* name, bool (WordLists::*parse)(const std::string&))
{
    const std::string gamePath = std::string("data\\") + name;
    std::string text;
    if (!ReadGameDataFile(mDataFolder, gamePath, text)) {
        mLoadError = gamePath + ": cannot be read";
        return false;
    }
    mLoadError.clear();
    if ((this->*parse)(text))
        return true;
    // The themes' format errors say themselves what is wrong.
    if (mLoadError.empty())
        mLoadError = gamePath + ": holds no usable words";
    return false;
}

bool WordLists::LoadWordLengthLists() { return LoadFile("waves.txt", &WordLists::ParseWordLengthLists); }

bool WordLists::LoadDifficultyWords() { return LoadFile("twords.txt", &WordLists::ParseDifficultyWords); }

bool WordLists::LoadThemes() { return LoadFile("themes.txt", &WordLists::ParseThemes); }

bool WordLists::LoadGemNames() { return LoadFile("gemnames.txt", &WordLists::ParseGemNames); }

bool WordLists::LoadShipNames() { return LoadFile("shipnames.txt", &WordLists::ParseShipNames); }

// Sections run from a header line holding the marker and a number up to the line
// "#END"; each line between is one word.
void WordLists::ParseSections(const std::string& text, const char* fileName, const std::string& marker,
                              bool isLengthFile)
{
    bool inSection = false;
    int number = 0;
    std::string numberText;
    for (const std::string& line : SplitLines(text)) {
        if (line.size() > MAX_LIST_LINE) {
            mHost.WordListDebugLine(FormatString("Line too long in %s dropped: %.40s", fileName, line.c_str()));
            continue;
        }
        if (!inSection) {
            const size_t at = line.find(marker);
            if (at == std::string::npos)
                continue;
            numberText = line.substr(at + marker.size(), 5);
            number = ParseLeadingInt(numberText);
            inSection = true;
            mHost.WordListSectionLoaded();
            continue;
        }
        if (line == "#END") {
            inSection = false;
            continue;
        }
        // A blank line would become an empty word, whose first letter the board reads.
        if (line.empty())
            continue;
        if (isLengthFile) {
            const int index = number - MIN_WORD_LENGTH;
            if (index < 0 || index >= LENGTH_LIST_COUNT) {
                mHost.ShowWordListMessage(FormatString("wordLen = %d, str = %s, temp = %s. Please post this error message!",
                                                       number, line.c_str(), numberText.c_str()));
                continue;
            }
            mLengthLists[index].push_back(line);
        } else {
            mDifficultyWords[number].push_back(UpperAscii(line));
        }
    }
}

bool WordLists::ParseWordLengthLists(const std::string& text)
{
    for (auto& list : mLengthLists)
        list.clear();
    ParseSections(text, "waves.txt", "#LENGTH-", true);
    return std::any_of(std::begin(mLengthLists), std::end(mLengthLists),
                       [](const std::vector<std::string>& list) { return !list.empty(); });
}

bool WordLists::ParseDifficultyWords(const std::string& text)
{
    mDifficultyWords.clear();
    ParseSections(text, "twords.txt", "#DIFF-", false);
    return std::any_of(mDifficultyWords.begin(), mDifficultyWords.end(),
                       [](const auto& entry) { return !entry.second.empty(); });
}

bool WordLists::ParseThemes(const std::string& text)
{
    mThemes.clear();
    mThemeNames.clear();
    bool inTheme = false;
    for (const std::string& line : SplitLines(text)) {
        if (line.size() > MAX_THEME_LINE) {
            mHost.WordListDebugLine(FormatString("Line too long in themes.txt dropped: %.40s", line.c_str()));
            continue;
        }
        if (!inTheme) {
            if (StartsWith(line, "#THEME")) {
                mThemes.emplace_back();
                mThemeNames.push_back(TrimCopy(line.substr(6)));
                inTheme = true;
                mHost.WordListSectionLoaded();
            } else if (StartsWith(line, "#")) {
                mLoadError = FormatString("Illegal statement found in themes.txt: %s", line.c_str());
                mHost.ShowWordListMessage(mLoadError);
                return false;
            }
            continue;
        }
        const std::string word = TrimCopy(UpperAscii(line));
        if (StartsWith(word, "#END")) {
            inTheme = false;
            continue;
        }
        if (!word.empty() && word.size() <= MAX_THEME_WORD)
            mThemes.back().push_back(word);
    }
    if (inTheme) {
        mLoadError = "#THEME found without matching #END in themes.txt";
        mHost.ShowWordListMessage(mLoadError);
        return false;
    }
    return true;
}

// One name a line; lines of three characters or fewer are skipped.
bool WordLists::ParseNames(const std::string& text, const char* fileName, NamePicker& picker)
{
    picker = NamePicker{};
    for (const std::string& line : SplitLines(text)) {
        if (line.size() > MAX_LIST_LINE) {
            mHost.WordListDebugLine(FormatString("Line too long in %s dropped: %.40s", fileName, line.c_str()));
            continue;
        }
        if (line.size() > 3)
            picker.mNames.push_back(line);
    }
    picker.mDistinct = std::set<std::string>(picker.mNames.begin(), picker.mNames.end()).size();
    // The name pickers cannot work on an empty list.
    return !picker.mNames.empty();
}

bool WordLists::ParseGemNames(const std::string& text)
{
    return ParseNames(text, "gemnames.txt", mGems);
}

bool WordLists::ParseShipNames(const std::string& text)
{
    return ParseNames(text, "shipnames.txt", mShips);
}

// ---- Treasure words

int WordLists::DrawTreasureDiff(int minDiff, int range)
{
    return mHost.GetGameRandom().Next() % range + minDiff;
}

bool WordLists::HasUnusedTreasureWord(int minDiff, int range) const
{
    for (auto it = mDifficultyWords.lower_bound(minDiff); it != mDifficultyWords.end() && it->first < minDiff + range;
         ++it) {
        for (const std::string& word : it->second) {
            auto used = mUsedTreasureWords.find(word);
            if (used == mUsedTreasureWords.end() || !used->second)
                return true;
        }
    }
    return false;
}

std::string WordLists::GetDifficultyWord(int minDiff, int maxDiff)
{
    if (minDiff == -1)
        minDiff = MIN_TREASURE_DIFF;
    if (maxDiff == -1 || maxDiff > MAX_TREASURE_DIFF)
        maxDiff = MAX_TREASURE_DIFF;
    minDiff = std::clamp(minDiff, -1000, 1000);
    maxDiff = std::clamp(maxDiff, -1000, 1000);
    if (minDiff > maxDiff)
        std::swap(minDiff, maxDiff);
    int range = maxDiff - minDiff;
    if (range == 0)
        range = 1;

    if (!HasUnusedTreasureWord(minDiff, range)) {
        // Every word of the range has been used: start the used table afresh.
        mUsedTreasureWords.clear();
        if (!HasUnusedTreasureWord(minDiff, range)) {
            // No list of the range holds a word: widen to every list there is.
            std::vector<int> filled;
            for (const auto& [diff, words] : mDifficultyWords)
                if (!words.empty())
                    filled.push_back(diff);
            if (filled.empty())
                return "";
            minDiff = filled.front();
            range = filled.back() - filled.front() + 1;
        }
    }

    int diff = DrawTreasureDiff(minDiff, range);
    size_t tries = 0;
    for (int draw = 0; draw < MAX_DRAWS; ++draw) {
        auto list = mDifficultyWords.find(diff);
        size_t size = list == mDifficultyWords.end() ? 0 : list->second.size();
        if (tries >= size) {
            diff = DrawTreasureDiff(minDiff, range);
            tries = 0;
            continue;
        }
        const std::string& word = list->second[mHost.GetGameRandom().Next() % size];
        ++tries;
        if (!mUsedTreasureWords[word]) {
            mUsedTreasureWords[word] = true;
            mLastTreasureDiff = diff;
            return word;
        }
    }
    // The draws kept missing: take the first unused word of the range.
    for (auto it = mDifficultyWords.lower_bound(minDiff); it != mDifficultyWords.end() && it->first < minDiff + range;
         ++it) {
        for (const std::string& word : it->second) {
            if (!mUsedTreasureWords[word]) {
                mUsedTreasureWords[word] = true;
                mLastTreasureDiff = it->first;
                return word;
            }
        }
    }
    return "";
}

// ---- Words of a length with a first letter not on screen

bool WordLists::StartsWithUsedLetter(const std::string& word) const
{
    return !word.empty() && mUsedLetters.find(word[0]) != std::string::npos;
}

// The list to draw from: the chosen one while it holds a word whose first letter is
// free, else the nearest list that does; -1 when no list does.
int WordLists::ChooseUniqueList(int listIndex) const
{
    auto fits = [this](int index) {
        return std::any_of(mLengthLists[index].begin(), mLengthLists[index].end(),
                           [this](const std::string& word) { return !word.empty() && !StartsWithUsedLetter(word); });
    };
    for (int distance = 0; distance < LENGTH_LIST_COUNT; ++distance) {
        for (int index : {listIndex - distance, listIndex + distance}) {
            if (index >= 0 && index < LENGTH_LIST_COUNT && fits(index))
                return index;
        }
    }
    return -1;
}

std::string WordLists::AcceptUniqueWord(const std::string& word)
{
    mRecentWords[word] = true;
    mUsedLetters += word[0];
    return word;
}

std::string WordLists::GetUniqueWord(int minLen, int maxLen)
{
    if (minLen == -1)
        minLen = MIN_WORD_LENGTH;
    if (maxLen == -1 || maxLen > MAX_WORD_LENGTH)
        maxLen = MAX_WORD_LENGTH;
    // Lengths outside the lists would index beyond them.
    minLen = std::clamp(minLen, MIN_WORD_LENGTH, MAX_WORD_LENGTH);
    maxLen = std::clamp(maxLen, minLen, MAX_WORD_LENGTH);
    if (mUsedLetters.size() >= 26) {
        mHost.ShowWordListMessage("The game has encountered a problem (GWW 7283), please shut the game down ASAP and "
                                  "upload your tuning file");
        return "7283";
    }
    int span = maxLen - minLen;
    if (span == 0)
        span = 1;
    int index = mHost.GetGameRandom().Next() % span + (minLen - MIN_WORD_LENGTH);

    // When no word anywhere has a free first letter the rule cannot hold; a word is
    // still given (from the chosen list, or the nearest one that has words).
    bool keepLetterRule = true;
    const int fitting = ChooseUniqueList(index);
    if (fitting >= 0) {
        index = fitting;
    } else {
        keepLetterRule = false;
        for (int distance = 0; distance < LENGTH_LIST_COUNT && mLengthLists[index].empty(); ++distance) {
            for (int other : {index - distance, index + distance})
                if (other >= 0 && other < LENGTH_LIST_COUNT && !mLengthLists[other].empty()) {
                    index = other;
                    break;
                }
        }
        if (mLengthLists[index].empty())
            return "";
    }

    const std::vector<std::string>& list = mLengthLists[index];
    size_t attempts = 0;
    for (int draw = 0; draw < MAX_DRAWS; ++draw) {
        const std::string& word = list[mHost.GetGameRandom().Next() % list.size()];
        if (attempts >= list.size() || attempts >= mRecentWords.size())
            mRecentWords.clear();
        if (mRecentWords[word]) {
            ++attempts;
            continue;
        }
        if (!keepLetterRule || !StartsWithUsedLetter(word))
            return AcceptUniqueWord(word);
        ++attempts;
    }
    for (const std::string& word : list)
        if (!word.empty() && (!keepLetterRule || !StartsWithUsedLetter(word)))
            return AcceptUniqueWord(word);
    return "";
}

// ---- Theme words

void WordLists::ClearThemeState()
{
    mUsedThemes.clear();
    mCurrentTheme = -1;
}

int WordLists::DrawTheme(int themeMin, int themeMax)
{
    MersenneTwister& random = mHost.GetGameRandom();
    const int count = static_cast<int>(mThemes.size());
    const bool ranged = themeMin != -1 && themeMax != -1;
    // A range reaching past the themes there are is kept to the themes there are.
    const int low = ranged ? std::clamp(themeMin, 0, count - 1) : 0;
    const int high = ranged ? std::clamp(themeMax, low, count) : count;
    const size_t width = static_cast<size_t>(high - low);
    if (mUsedThemes.size() >= mThemes.size() || (ranged && width <= mUsedThemes.size()))
        mUsedThemes.clear();

    auto used = [this](int index) {
        return std::find(mUsedThemes.begin(), mUsedThemes.end(), index) != mUsedThemes.end();
    };
    const int span = width == 0 ? 1 : static_cast<int>(width);
    for (int draw = 0; draw < MAX_DRAWS; ++draw) {
        const int index = ranged ? random.Next() % span + low : random.Next() % count;
        if (!used(index))
            return index;
    }
    for (int index = low; index < low + span; ++index)
        if (!used(index))
            return index;
    return low;
}

std::string WordLists::GetThemeWord(int minLen, int maxLen, int themeMin, int themeMax)
{
    if (minLen == -1)
        minLen = MIN_WORD_LENGTH;
    if (maxLen == -1 || maxLen > MAX_WORD_LENGTH)
        maxLen = MAX_WORD_LENGTH;
    if (mUsedLetters.size() >= 26)
        return "";
    if (mThemes.empty())
        return GetUniqueWord(minLen, maxLen);

    if (mCurrentTheme < 0 || mCurrentTheme >= static_cast<int>(mThemes.size())) {
        mCurrentTheme = DrawTheme(themeMin, themeMax);
        mUsedThemes.push_back(mCurrentTheme);
    }

    std::vector<std::string> candidates = mThemes[mCurrentTheme];
    MersenneTwister& random = mHost.GetGameRandom();
    while (!candidates.empty()) {
        const size_t pick = random.Next() % candidates.size();
        if (mUsedLetters.size() >= 26) {
            mHost.WordListDebugLine("############ERROR: mUsedLetters.size() is 26 in getthemeword#################");
            mUsedLetters.clear();
        }
        const std::string word = candidates[pick];
        if (!mRecentWords[word] && !StartsWithUsedLetter(word)) {
            mRecentWords[word] = true;
            mUsedLetters += word[0];
            return word;
        }
        candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(pick));
    }
    return GetUniqueWord(minLen, maxLen);
}

// ---- Gem and ship names

void WordLists::ClearCurrentNames()
{
    mGems.mCurrent.clear();
    mShips.mCurrent.clear();
}

std::string WordLists::PickName(NamePicker& picker)
{
    if (!picker.mCurrent.empty())
        return picker.mCurrent;
    if (picker.mNames.empty())
        return "";
    MersenneTwister& random = mHost.GetGameRandom();
    bool found = false;
    for (int draw = 0; draw < MAX_DRAWS && !found; ++draw) {
        picker.mCurrent = picker.mNames[random.Next() % picker.mNames.size()];
        found = !picker.mUsed[picker.mCurrent];
    }
    if (!found) {
        picker.mUsed.clear();
        picker.mCurrent = picker.mNames.front();
    }
    picker.mUsed[picker.mCurrent] = true;
    // Counting distinct names keeps a list with repeated names from never resetting.
    if (picker.mUsed.size() >= picker.mDistinct)
        picker.mUsed.clear();
    return picker.mCurrent;
}

std::string WordLists::GetRandomGemName()
{
    return PickName(mGems);
}

std::string WordLists::GetRandomShipName()
{
    return PickName(mShips);
}

} // namespace Zant
