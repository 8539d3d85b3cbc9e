// Reads any bytes as each of the word lists and then draws words from what was read,
// with bounds taken from the input, the way play would.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/util/MersenneTwister.h"
#include "game/play/WordLists.h"

// The reader alone, without the rest of the game.
#include "game/common/DataFile.cpp"
#include "game/play/WordLists.cpp"

namespace {

class FuzzHost : public Zant::WordListHost {
public:
    Zant::MersenneTwister& GetGameRandom() override { return random; }
    void ShowWordListMessage(const std::string&) override {}
    void WordListSectionLoaded() override {}
    void WordListDebugLine(const std::string&) override {}
    Zant::MersenneTwister random{11};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    FuzzHost host;
    Zant::WordLists lists(host);
    lists.ParseWordLengthLists(text);
    lists.ParseDifficultyWords(text);
    lists.ParseThemes(text);
    lists.ParseGemNames(text);
    lists.ParseShipNames(text);

    // Bounds from the first bytes, including the odd ones a bad level file could give.
    auto bound = [&](size_t i) { return i < size ? static_cast<int>(static_cast<int8_t>(data[i])) : -1; };
    for (int round = 0; round < 30; ++round) {
        if (round % 10 == 0) {
            lists.UsedLetters().clear();
            lists.ClearThemeState();
            lists.ClearCurrentNames();
        }
        (void)lists.GetUniqueWord(bound(0), bound(1));
        (void)lists.GetThemeWord(bound(2), bound(3), bound(4), bound(5));
        (void)lists.GetDifficultyWord(bound(6), bound(7));
        (void)lists.GetRandomGemName();
        (void)lists.GetRandomShipName();
    }
    return 0;
}
