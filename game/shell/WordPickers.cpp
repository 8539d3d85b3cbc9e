// The application's word and name pickers: they hand the requests to the word lists,
// which own the words, the letters in use and the recently used words.
#include "game/shell/WinBTApp.h"

namespace Zant {

std::string WinBTApp::GetUniqueWord(int minLen, int maxLen) { return mWordLists.GetUniqueWord(minLen, maxLen); }

std::string WinBTApp::GetThemeWord(int minLen, int maxLen, int themeMin, int themeMax)
{
    return mWordLists.GetThemeWord(minLen, maxLen, themeMin, themeMax);
}

std::string WinBTApp::GetDifficultyWord(int minDiff, int maxDiff)
{
    return mWordLists.GetDifficultyWord(minDiff, maxDiff);
}

std::string WinBTApp::GetRandomGemName() { return mWordLists.GetRandomGemName(); }

std::string WinBTApp::GetRandomShipName() { return mWordLists.GetRandomShipName(); }

void WinBTApp::ResetUsedLetters()
{
    mWordLists.UsedLetters().clear();
    mWordLists.ClearCurrentTheme();
    mUsedLetterCount = 0;
    mUsedSymbolCount = 0;
}

} // namespace Zant
