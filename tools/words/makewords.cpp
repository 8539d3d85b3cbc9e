// Makes the game's word lists from the system's English dictionary (wamerican):
//   waves.txt     common words of 3 to 7 letters by length, upper case
//   twords.txt    treasure words by typing difficulty 3 to 21
//   themes.txt    the hand-picked themed groups, checked against the dictionary
//   gemnames.txt, shipnames.txt  the hand-written names, checked for length
// Only plain lower-case dictionary entries are used (no proper nouns, possessives or
// accented letters) and every word passes the family filter (blocklist.txt).
//
// usage: makewords DICT BLOCKLIST SKIPLIST THEMES GEMS SHIPS OUTDIR
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "tools/words/WordFilter.h"

namespace {

constexpr int kMaxListLine = 18;
constexpr int kMinTreasureDiff = 3;
constexpr int kMaxTreasureDiff = 21;
constexpr int kTreasureWordsPerDiff = 100;
// Words of each length for the creatures, and how many of the best words of every
// first letter are kept before the rest are filled in by rank.
constexpr int kLengthCaps[] = {260, 450, 500, 500, 500};
constexpr int kPerLetter = 4;

bool IsPlain(const std::string& w)
{
    return !w.empty() && std::all_of(w.begin(), w.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

bool HasVowel(const std::string& w)
{
    return w.find_first_of("aeiouy") != std::string::npos;
}

std::string Upper(std::string w)
{
    for (char& c : w)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return w;
}

// Roman numerals (xiv, mcm, ...) are in the dictionary; they are not words to type.
bool IsRomanNumeral(const std::string& w)
{
    static const std::set<std::string> numerals = [] {
        static const char* const thousands[] = {"", "m", "mm", "mmm"};
        static const char* const hundreds[] = {"", "c", "cc", "ccc", "cd", "d", "dc", "dcc", "dccc", "cm"};
        static const char* const tens[] = {"", "x", "xx", "xxx", "xl", "l", "lx", "lxx", "lxxx", "xc"};
        static const char* const ones[] = {"", "i", "ii", "iii", "iv", "v", "vi", "vii", "viii", "ix"};
        std::set<std::string> all;
        for (int n = 1; n < 4000; ++n)
            all.insert(std::string(thousands[n / 1000]) + hundreds[n / 100 % 10] + tens[n / 10 % 10] + ones[n % 10]);
        return all;
    }();
    return numerals.count(w) != 0;
}

class Dictionary {
public:
    explicit Dictionary(std::unordered_set<std::string> words) : mWords(std::move(words))
    {
        // How often a word starts or ends a longer word: common words form compounds.
        for (const std::string& w : mWords)
            for (size_t i = 3; i + 3 <= w.size(); ++i) {
                ++mParts[w.substr(0, i)];
                ++mParts[w.substr(i)];
            }
    }

    bool Has(const std::string& w) const { return mWords.count(w) != 0; }
    const std::unordered_set<std::string>& Words() const { return mWords; }

    // Derived forms found in the dictionary: a common word has many.
    int Forms(const std::string& w) const
    {
        static const char* const suffixes[] = {"s", "es", "ed", "d", "ing", "er", "ers", "ly", "y", "ness", "less", "ful", "ish", "est", "en", "able"};
        int count = 0;
        for (const char* s : suffixes) {
            if (Has(w + s))
                ++count;
            if (w.back() == 'e' && (s[0] == 'a' || s[0] == 'e' || s[0] == 'i' || s[0] == 'y') &&
                Has(w.substr(0, w.size() - 1) + s))
                ++count;
        }
        for (const char* s : {"ed", "ing", "er", "y"})
            if (Has(w + w.back() + s))
                ++count;
        return count;
    }

    int Score(const std::string& w) const
    {
        auto part = mParts.find(w);
        const int compounds = part == mParts.end() ? 0 : std::min(part->second, 20);
        return Forms(w) * 3 + compounds;
    }

    // A plural, past tense or -ing form of a shorter entry.
    bool IsInflection(const std::string& w) const
    {
        auto stemHas = [&](size_t cut, const std::string& add = "") {
            return w.size() > cut + 2 && Has(w.substr(0, w.size() - cut) + add);
        };
        auto endsWith = [&](const char* s) {
            const std::string suffix = s;
            return w.size() > suffix.size() && w.compare(w.size() - suffix.size(), suffix.size(), suffix) == 0;
        };
        if (endsWith("s") && (stemHas(1) || (endsWith("es") && stemHas(2)) || (endsWith("ies") && stemHas(3, "y"))))
            return true;
        if (endsWith("ed") && (stemHas(2) || stemHas(1) || (w.size() > 4 && w[w.size() - 3] == w[w.size() - 4] && stemHas(3))))
            return true;
        if (endsWith("ing") && (stemHas(3) || stemHas(3, "e") || (w.size() > 5 && w[w.size() - 4] == w[w.size() - 5] && stemHas(4))))
            return true;
        return false;
    }

private:
    std::unordered_set<std::string> mWords;
    std::unordered_map<std::string, int> mParts;
};

// Typing difficulty of a treasure word: its length, raised by letters that are rare
// or far from the home row.
int TreasureDifficulty(const std::string& w)
{
    double cost = static_cast<double>(w.size()) * 1.15;
    for (char c : w) {
        if (std::string("jqxz").find(c) != std::string::npos)
            cost += 1.5;
        else if (std::string("kvwy").find(c) != std::string::npos)
            cost += 0.75;
        else if (std::string("bpgfm").find(c) != std::string::npos)
            cost += 0.25;
    }
    return std::min(kMaxTreasureDiff, static_cast<int>(cost));
}

bool ReadLines(const std::string& path, std::vector<std::string>& lines)
{
    std::ifstream in(path);
    if (!in) {
        std::cerr << "makewords: cannot read " << path << "\n";
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        lines.push_back(line);
    }
    return true;
}

bool WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "makewords: cannot write " << path << "\n";
        return false;
    }
    return true;
}

struct Ranked {
    std::string word;
    int score;
};

void SortByRank(std::vector<Ranked>& words)
{
    std::sort(words.begin(), words.end(), [](const Ranked& a, const Ranked& b) {
        return a.score != b.score ? a.score > b.score : a.word < b.word;
    });
}

// The best words of every first letter first, then the rest by rank, then sorted.
std::vector<std::string> PickSpread(std::vector<Ranked> ranked, size_t cap)
{
    SortByRank(ranked);
    std::vector<std::string> picked;
    std::set<std::string> taken;
    std::map<char, int> perLetter;
    for (const Ranked& r : ranked)
        if (perLetter[r.word[0]] < kPerLetter && picked.size() < cap) {
            ++perLetter[r.word[0]];
            picked.push_back(r.word);
            taken.insert(r.word);
        }
    for (const Ranked& r : ranked)
        if (picked.size() < cap && !taken.count(r.word)) {
            picked.push_back(r.word);
            taken.insert(r.word);
        }
    std::sort(picked.begin(), picked.end());
    return picked;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 8) {
        std::cerr << "usage: makewords DICT BLOCKLIST SKIPLIST THEMES GEMS SHIPS OUTDIR\n";
        return 2;
    }
    const std::string outDir = argv[7];

    WordTools::WordFilter filter;
    if (!filter.Load(argv[2])) {
        std::cerr << "makewords: cannot read the block list " << argv[2] << "\n";
        return 1;
    }
    std::vector<std::string> dictLines, skipLines, themeLines, gemLines, shipLines;
    if (!ReadLines(argv[1], dictLines) || !ReadLines(argv[3], skipLines) || !ReadLines(argv[4], themeLines) ||
        !ReadLines(argv[5], gemLines) || !ReadLines(argv[6], shipLines))
        return 1;

    std::unordered_set<std::string> plain;
    for (const std::string& w : dictLines)
        if (IsPlain(w))
            plain.insert(w);
    const Dictionary dict(std::move(plain));
    std::set<std::string> skip;
    for (const std::string& w : skipLines)
        if (!w.empty() && w[0] != '#')
            skip.insert(w);

    auto usable = [&](const std::string& w) {
        return HasVowel(w) && !filter.IsBlocked(w) && !skip.count(w) && !(IsRomanNumeral(w) && dict.Forms(w) == 0);
    };

    // Words by length: common base words only.
    std::vector<Ranked> byLength[5];
    std::vector<Ranked> byDiff[kMaxTreasureDiff + 1];
    for (const std::string& w : dict.Words()) {
        if (!usable(w))
            continue;
        const int score = dict.Score(w);
        if (w.size() >= 3 && w.size() <= 7 && score >= 3 && !dict.IsInflection(w))
            byLength[w.size() - 3].push_back({w, score});
        const int diff = TreasureDifficulty(w);
        if (w.size() >= 3 && static_cast<int>(w.size()) <= kMaxListLine && diff >= kMinTreasureDiff)
            byDiff[diff].push_back({w, score});
    }

    std::string waves;
    for (int i = 0; i < 5; ++i) {
        waves += "#LENGTH-" + std::to_string(i + 3) + "\n";
        for (const std::string& w : PickSpread(byLength[i], kLengthCaps[i]))
            waves += Upper(w) + "\n";
        waves += "#END\n";
    }

    std::string twords;
    for (int d = kMinTreasureDiff; d <= kMaxTreasureDiff; ++d) {
        SortByRank(byDiff[d]);
        if (byDiff[d].size() < 20) {
            std::cerr << "makewords: only " << byDiff[d].size() << " treasure words of difficulty " << d << "\n";
            return 1;
        }
        std::vector<std::string> words;
        for (size_t i = 0; i < byDiff[d].size() && i < kTreasureWordsPerDiff; ++i)
            words.push_back(byDiff[d][i].word);
        std::sort(words.begin(), words.end());
        twords += "#DIFF-" + std::to_string(d) + "\n";
        for (const std::string& w : words)
            twords += Upper(w) + "\n";
        twords += "#END\n";
    }

    // Themes: every word must be a usable dictionary word of 3 to 7 letters.
    std::string themes;
    bool inTheme = false;
    int errors = 0;
    for (const std::string& line : themeLines) {
        if (line.rfind("#THEME", 0) == 0) {
            themes += line + "\n";
            inTheme = true;
        } else if (line == "#END") {
            themes += line + "\n";
            inTheme = false;
        } else if (inTheme && !line.empty()) {
            if (!dict.Has(line) || line.size() < 3 || line.size() > 7 || filter.IsBlocked(line)) {
                std::cerr << "makewords: theme word not usable: " << line << "\n";
                ++errors;
            } else {
                themes += Upper(line) + "\n";
            }
        }
    }

    auto names = [&](const std::vector<std::string>& lines, const char* what) {
        std::string text;
        for (const std::string& line : lines) {
            if (line.empty() || line[0] == '#')
                continue;
            const bool printable = std::all_of(line.begin(), line.end(), [](char c) { return c >= ' ' && c <= '~' && c != '^'; });
            if (line.size() < 4 || line.size() > kMaxListLine || !printable) {
                std::cerr << "makewords: " << what << " name not usable: " << line << "\n";
                ++errors;
                continue;
            }
            text += line + "\n";
        }
        return text;
    };
    const std::string gems = names(gemLines, "gem");
    const std::string ships = names(shipLines, "ship");
    if (errors)
        return 1;

    return WriteFile(outDir + "/waves.txt", waves) && WriteFile(outDir + "/twords.txt", twords) &&
                   WriteFile(outDir + "/themes.txt", themes) && WriteFile(outDir + "/gemnames.txt", gems) &&
                   WriteFile(outDir + "/shipnames.txt", ships)
               ? 0
               : 1;
}
