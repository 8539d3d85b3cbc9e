#pragma once
// The plan of the 36 adventure levels that every difficulty follows, shared by the
// level maker and the tuner: which sites are clam levels (the map's secret sites),
// which end with a boss, and on which level each creature comes in.
//
// The game shows a hint at the start of each level by its number; the creatures a
// hint announces come in on that level, on every difficulty, and no kind of
// creature swims on a level before the first one whose hint announces it.
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace LevelPlan {

constexpr int LEVELS = 36;

// The map's secret sites: the hint of these levels is the game of memory.
constexpr int CLAM_LEVELS[] = {5, 18, 20, 22};

inline bool IsClamLevel(int level)
{
    return std::find(std::begin(CLAM_LEVELS), std::end(CLAM_LEVELS), level) != std::end(CLAM_LEVELS);
}

// The bosses, by their Enemy Type names.
const char* const BOSSES[] = {"Torpedo", "GhostShip", "MechaShark", "MechaSquid"};

struct BossLevel {
    int level;
    int boss; // index into BOSSES
};
constexpr BossLevel BOSS_LEVELS[] = {{8, 0}, {11, 1}, {17, 2}, {25, 3}, {29, 0}, {35, 3}};

// The boss that ends a level, or -1.
inline int BossOfLevel(int level)
{
    for (const BossLevel& b : BOSS_LEVELS)
        if (b.level == level)
            return b.boss;
    return -1;
}

inline bool IsBossLevel(int level) { return BossOfLevel(level) >= 0; }

enum WaveKind { SHARKS, PIRANHAS, BONUS };

// A creature a level's hint announces: its wave kind and Enemy Type name.
struct Announced {
    int level;
    WaveKind kind;
    const char* type;
};

// What the hint of each level speaks of ("hammerhead" is the two-word shark,
// "tiger" the three-word one, "strong piranha" the white one that takes two blasts).
constexpr Announced ANNOUNCED[] = {
    {0, SHARKS, "Blue"},
    {1, PIRANHAS, "Blue"},
    {2, SHARKS, "Stealth"},
    {3, SHARKS, "Black"},        {3, BONUS, "Standard"},
    {4, SHARKS, "Toxic"},
    {6, PIRANHAS, "Stealth"},
    {7, SHARKS, "Stealth"},      {7, BONUS, "Standard"},
    {8, SHARKS, "Black"},
    {9, PIRANHAS, "White"},      {9, BONUS, "Standard"},
    {10, PIRANHAS, "White"},     {10, BONUS, "Standard"},
    {11, SHARKS, "Stealth"},     {11, PIRANHAS, "Blue"},     {11, SHARKS, "Ghost"},
    {12, SHARKS, "Black"},       {12, PIRANHAS, "White"},    {12, SHARKS, "Ghost"},
    {13, SHARKS, "Red"},
    {14, SHARKS, "Toxic"},       {14, PIRANHAS, "Stealth"},
    {15, SHARKS, "Black"},
    {16, SHARKS, "Red"},
    {17, SHARKS, "BlackStealth"},
    {19, SHARKS, "Ghost"},       {19, SHARKS, "Red"},        {19, PIRANHAS, "White"},
    {21, PIRANHAS, "WhiteStealth"},
    {23, SHARKS, "BlackStealth"},
    {24, SHARKS, "Ghost"},
    {25, SHARKS, "BlackStealth"}, {25, PIRANHAS, "White"},
    {26, SHARKS, "Black"},
    {27, SHARKS, "Red"},
    {28, SHARKS, "Toxic"},       {28, SHARKS, "RedStealth"},
    {29, SHARKS, "RedStealth"},
    {30, SHARKS, "RedStealth"},
    {31, SHARKS, "RedStealth"},
    {32, SHARKS, "BlackStealth"}, {32, SHARKS, "Ghost"},
    {33, SHARKS, "Toxic"},
};

// Kinds no hint names, each the look of one that is named: they come in with it.
struct Variant {
    WaveKind kind;
    const char* type;
    const char* like;
    int from; // and not before this level
};
constexpr Variant VARIANTS[] = {
    {SHARKS, "Purple", "Black", 12},
    {SHARKS, "CrazyToxic", "Toxic", 28},
};

// The first level whose hint announces a creature; LEVELS when none does.
inline int IntroducedAt(WaveKind kind, const std::string& type)
{
    for (const Variant& v : VARIANTS)
        if (v.kind == kind && type == v.type)
            return std::max(v.from, IntroducedAt(kind, v.like));
    for (const Announced& a : ANNOUNCED)
        if (a.kind == kind && type == a.type)
            return a.level;
    return LEVELS;
}

// The creatures of a kind that may swim on a level, in the order they came in.
inline std::vector<std::string> KnownAt(WaveKind kind, int level)
{
    std::vector<std::string> types;
    for (const Announced& a : ANNOUNCED)
        if (a.kind == kind && a.level <= level &&
            std::find(types.begin(), types.end(), a.type) == types.end())
            types.emplace_back(a.type);
    for (const Variant& v : VARIANTS)
        if (v.kind == kind && IntroducedAt(kind, v.type) <= level)
            types.emplace_back(v.type);
    return types;
}

// The creatures of a kind that a level's hint announces.
inline std::vector<std::string> AnnouncedAt(WaveKind kind, int level)
{
    std::vector<std::string> types;
    for (const Announced& a : ANNOUNCED)
        if (a.kind == kind && a.level == level)
            types.emplace_back(a.type);
    return types;
}

} // namespace LevelPlan
