#pragma once
// The family filter for the game's word lists: a block list of offensive, slur and
// adult words. Lines of the list are words (blocked with their plain inflections),
// "*stem" (blocked anywhere inside a word), "+word" (allowed although a rule would
// catch it) or "#" comments. The word-list maker and
// the data check share it, so a shipped word can be checked against the same rule.
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace WordTools {

class WordFilter {
public:
    bool Load(const std::string& path)
    {
        std::ifstream in(path);
        if (!in)
            return false;
        std::string line;
        while (std::getline(in, line)) {
            while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
                line.pop_back();
            if (line.empty() || line[0] == '#')
                continue;
            if (line[0] == '*')
                mStems.push_back(Lower(line.substr(1)));
            else if (line[0] == '+')
                mAllowed.insert(Lower(line.substr(1)));
            else
                mWords.insert(Lower(line));
        }
        return !mWords.empty() || !mStems.empty();
    }

    bool IsBlocked(const std::string& word) const
    {
        const std::string w = Lower(word);
        if (mAllowed.count(w))
            return false;
        for (const std::string& stem : mStems)
            if (!stem.empty() && w.find(stem) != std::string::npos)
                return true;
        if (mWords.count(w))
            return true;
        // Plain inflections of a blocked word: plurals, tenses, agent nouns.
        static const char* const suffixes[] = {"s", "es", "ed", "d", "ing", "er", "ers", "y", "ies", "ier", "iest", "ly", "ness"};
        for (const char* suffix : suffixes) {
            const std::string s = suffix;
            if (w.size() <= s.size() + 1 || w.compare(w.size() - s.size(), s.size(), s) != 0)
                continue;
            std::string stem = w.substr(0, w.size() - s.size());
            if (mWords.count(stem))
                return true;
            if (s[0] == 'i' && mWords.count(stem + "y"))
                return true;
            if (stem.size() > 2 && stem.back() == stem[stem.size() - 2] && mWords.count(stem.substr(0, stem.size() - 1)))
                return true;
            const bool vowelSuffix = s[0] == 'e' || s[0] == 'i' || s[0] == 'y';
            if (vowelSuffix && mWords.count(stem + "e"))
                return true;
        }
        return false;
    }

    static std::string Lower(std::string text)
    {
        for (char& c : text)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return text;
    }

private:
    std::set<std::string> mWords;
    std::set<std::string> mAllowed;
    std::vector<std::string> mStems;
};

} // namespace WordTools
