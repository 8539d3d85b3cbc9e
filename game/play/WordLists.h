#pragma once
// The game's word lists (words by length, treasure words by difficulty, themed
// groups, gem and ship names) and the pickers that draw from them. The game
// application owns one and reaches it from its loading procedure and from play.
#include <map>
#include <string>
#include <vector>

namespace Zant {

class MersenneTwister;

// What the lists need from the game application.
class WordListHost {
public:
    virtual ~WordListHost() = default;
    // The game's generator; every pick draws from it.
    virtual MersenneTwister& GetGameRandom() = 0;
    // A message the player sees (the application's message box).
    virtual void ShowWordListMessage(const std::string& text) = 0;
    // One section of a list has been read: the loading progress moves on.
    virtual void WordListSectionLoaded() = 0;
    // A debugger-output line.
    virtual void WordListDebugLine(const std::string& text) = 0;
};

class WordLists {
public:
    static constexpr int MIN_WORD_LENGTH = 3;
    static constexpr int MAX_WORD_LENGTH = 7;
    static constexpr int LENGTH_LIST_COUNT = MAX_WORD_LENGTH - MIN_WORD_LENGTH + 1;
    static constexpr int MIN_TREASURE_DIFF = 3;
    static constexpr int MAX_TREASURE_DIFF = 21;
    // Longest line content (without its line feed) the files may hold.
    static constexpr size_t MAX_LIST_LINE = 18;
    static constexpr size_t MAX_THEME_LINE = 38;
    static constexpr size_t MAX_THEME_WORD = 7;

    explicit WordLists(WordListHost& host);

    // Files are read from "<folder>data/..."; the default folder is the working folder.
    void SetDataFolder(const std::string& folder) { mDataFolder = folder; }

    // Loaders: false when the file cannot be read or holds nothing usable (themes
    // also on their two format errors); LoadError then names the file and the
    // problem. Each is also callable on text in memory.
    bool LoadWordLengthLists();
    bool LoadDifficultyWords();
    bool LoadThemes();
    bool LoadGemNames();
    bool LoadShipNames();
    bool ParseWordLengthLists(const std::string& text);
    bool ParseDifficultyWords(const std::string& text);
    bool ParseThemes(const std::string& text);
    bool ParseGemNames(const std::string& text);
    bool ParseShipNames(const std::string& text);
    const std::string& LoadError() const { return mLoadError; }

    // Pickers.
    std::string GetDifficultyWord(int minDiff, int maxDiff);
    std::string GetThemeWord(int minLen, int maxLen, int themeMin, int themeMax);
    std::string GetUniqueWord(int minLen, int maxLen);
    std::string GetRandomGemName();
    std::string GetRandomShipName();

    // Play state the game flow resets.
    std::string& UsedLetters() { return mUsedLetters; }
    void ClearRecentWords() { mRecentWords.clear(); }
    void ClearTreasureWords() { mUsedTreasureWords.clear(); }
    void ClearThemeState();
    // The next theme word starts a new theme; the used themes stay.
    void ClearCurrentTheme() { mCurrentTheme = -1; }
    void ClearCurrentNames();
    int GetLastTreasureDiff() const { return mLastTreasureDiff; }
    int GetCurrentTheme() const { return mCurrentTheme; }

    // The lists as loaded.
    const std::vector<std::string>& GetLengthList(int length) const;
    const std::map<int, std::vector<std::string>>& GetDifficultyLists() const { return mDifficultyWords; }
    const std::vector<std::vector<std::string>>& GetThemes() const { return mThemes; }
    const std::vector<std::string>& GetThemeNames() const { return mThemeNames; }
    const std::vector<std::string>& GetGemNames() const { return mGems.mNames; }
    const std::vector<std::string>& GetShipNames() const { return mShips.mNames; }

private:
    struct NamePicker {
        std::vector<std::string> mNames;
        std::string mCurrent;
        std::map<std::string, bool> mUsed;
        size_t mDistinct = 0;
    };

    // Reads data\<name> and parses it; false with mLoadError set on failure.
    bool LoadFile(const char* name, bool (WordLists::*parse)(const std::string&));
    void ParseSections(const std::string& text, const char* fileName, const std::string& marker,
                       bool isLengthFile);
    bool ParseNames(const std::string& text, const char* fileName, NamePicker& picker);
    std::string PickName(NamePicker& picker);
    bool StartsWithUsedLetter(const std::string& word) const;
    int ChooseUniqueList(int listIndex) const;
    std::string AcceptUniqueWord(const std::string& word);
    int DrawTheme(int themeMin, int themeMax);
    int DrawTreasureDiff(int minDiff, int range);
    bool HasUnusedTreasureWord(int minDiff, int range) const;

    WordListHost& mHost;
    std::string mDataFolder;
    std::string mLoadError;

    std::vector<std::string> mLengthLists[LENGTH_LIST_COUNT];
    std::map<int, std::vector<std::string>> mDifficultyWords;
    std::vector<std::vector<std::string>> mThemes;
    std::vector<std::string> mThemeNames;
    NamePicker mGems;
    NamePicker mShips;

    std::string mUsedLetters;
    std::map<std::string, bool> mRecentWords;       // shared by the unique and theme pickers
    std::map<std::string, bool> mUsedTreasureWords;
    int mLastTreasureDiff = -1;
    int mCurrentTheme = -1;
    std::vector<int> mUsedThemes;
};

} // namespace Zant
