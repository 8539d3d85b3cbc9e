#pragma once
// Small level files for the tests, built from their parts.
#include <string>
#include <vector>

#include "framework/util/MersenneTwister.h"
#include "game/common/Config.h"

namespace LevelFiles {

inline std::string Value(const std::string& name, const std::string& value)
{
    return "<" + name + ">" + value + "</" + name + ">\n";
}

inline std::string Enemy(const std::string& type, const std::string& inner = "")
{
    return "<Enemy Type=\"" + type + "\">\n" + Value("MinNumber", "2") + Value("MaxNumber", "3") + inner + "</Enemy>\n";
}

inline std::string Wave(const std::string& kind, const std::string& inner)
{
    return "<Wave Type=\"" + kind + "\">\n" + inner + "</Wave>\n";
}

inline std::string Sharks(const std::string& inner = "")
{
    return Wave("Sharks", inner + Enemy("Blue"));
}

inline std::string Boss(const std::string& type = "Torpedo")
{
    return Wave("Boss", Enemy(type, Value("Health", "100") + Value("MaxMissiles", "2") + Value("TimeToFire", "3000")));
}

inline std::string Level(const std::string& inner, int number = 1)
{
    return "<Level LevelNum=\"" + std::to_string(number) + "\">\n" + inner + "</Level>\n";
}

inline std::string Defaults(const std::string& extra = "")
{
    return "<Default>\n" + Value("MinSpeed", "0.3") + Value("MaxSpeed", "0.5") + Value("MinCol", "2") +
           Value("MaxCol", "3") + Value("DiverSpeed", "0.3") + Value("OceanDepth", "100") + extra + "</Default>\n";
}

inline std::string File(const std::string& levels, const std::string& defaults = Defaults())
{
    return "0000\n<?xml version=\"1.0\"?>\n<Config>\n" + defaults + levels + "</Config>\n";
}

// count levels, each of one shark wave and, when boss is set, a boss wave last.
inline std::string Levels(int count, bool boss = false)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += Level(Sharks() + (boss ? Boss() : ""), i + 1);
    return text;
}

class FakeConfigHost : public Zant::ConfigHost {
public:
    explicit FakeConfigHost(uint32_t seed = 99) : random(seed) {}
    Zant::MersenneTwister& GetGameRandom() override { return random; }
    int GetBoardAbyssDepth() override { return depth; }

    Zant::MersenneTwister random;
    int depth = 0;
};

} // namespace LevelFiles
