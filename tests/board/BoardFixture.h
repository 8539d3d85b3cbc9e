#pragma once
// A board on a level of a small configuration, in the creature tests' headless
// application, with word lists that hold a word for every first letter.
#include <memory>
#include <string>
#include <vector>

#include "game/play/Board.h"
#include "game/common/Config.h"
#include "tests/creatures/CreatureTestSupport.h"
#include "tests/levels/LevelFileBuilder.h"

namespace BoardTests {

// A creature carrying a word, released at x, y and added to one of the board's lists.
template <typename T>
T* AddCreature(std::vector<T*>& list, T* creature, const std::string& word, double x = 400.0, double y = 200.0)
{
    creature->SetWord(word);
    creature->SetReleased(true);
    creature->mX = x;
    creature->mY = y;
    list.push_back(creature);
    return creature;
}

class BoardFixture : public CreatureTests::CreatureFixture {
protected:
    BoardFixture();
    ~BoardFixture() override;

    // Loads a configuration text for a difficulty (-1 abyss), makes a fresh board and
    // starts it on the configuration's first level.
    void StartLevel(const std::string& configText, int difficulty = 0);
    // Runs the board's update as the widget manager does, with its timers.
    void Run(int updates);
    // A level of one wave of one entry: the wave kind ("Sharks", "Piranhas", "Bonus",
    // "Boss"), the entry's Type and numbers, and further elements of the entry.
    static std::string OneWaveLevel(const std::string& kind = "Sharks", const std::string& type = "Blue",
                                    int minNumber = 3, int maxNumber = 4, const std::string& extra = "");
    // The diver in place, ready for waves.
    void DiverInPlace();
    template <typename T>
    static T* Add(std::vector<T*>& list, T* creature, const std::string& word, double x = 400.0, double y = 200.0)
    {
        return AddCreature(list, creature, word, x, y);
    }

    // Owned by the application.
    Zant::Config* config = nullptr;
};

// A configuration in abyss mode, without an ocean floor.
inline std::string AbyssFile(const std::string& levels)
{
    using namespace LevelFiles;
    return File("<AbyssMode/>\n" + levels, Defaults(Value("OceanDepth", "-1")));
}

// Words of every length 3 to 7, three for each first letter.
std::string AllLetterWords();

} // namespace BoardTests
