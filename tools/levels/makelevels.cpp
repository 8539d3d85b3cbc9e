// Makes the level files of the five difficulties and of abyss mode from one tuning
// curve each, so the levels stay consistent with each other and easy to retune:
//   easy-cfg.xml normal-cfg.xml hard-cfg.xml expert-cfg.xml xtreme-cfg.xml abyss.xml
// Each adventure file has 36 levels (the dive sites): clam levels without waves,
// boss levels whose boss wave comes last, and levels 31 to 36 that endless play
// repeats. Every difficulty follows one plan (LevelPlan.h): each creature comes in on
// the level whose hint announces it. The speeds written are base values: the game
// adds its own share per kind of creature (most of it not on X-Treme).
//
// The curves are tuned with tunelevels (whole simulated games, 95 % accurate): a typist
// of a difficulty's speed clears most games, one of half that speed is lost before the
// middle of the chart. So the first levels already ask for more than half the speed;
// on Easy to Hard the creatures then hardly speed up (their words grow longer and the
// harder kinds come in), and the two fastest difficulties still speed up as before.
//
// usage: makelevels OUTDIR
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/levels/LevelPlan.h"

namespace {

constexpr int kLevels = LevelPlan::LEVELS;
constexpr int kAbyssStages = 30;

struct Curve {
    const char* file;
    const char* name;
    int wpm;
    double sharkMin[2], sharkMax[2];     // base speeds at the first and the last level
    double piranhaMin[2], piranhaMax[2];
    int wordMin[2], wordMax[2];          // word lengths, the maximum exclusive
    int count[2];                        // creatures of one wave entry at most
    int minCol[2], maxCol[2];
    int knockBack[2];
    int endDiff[2][2];                   // treasure difficulty range at the first and last level
    int numForPenalty;
    int bossHealth[2];
    int bossFire[2];                     // milliseconds between volleys
    double missileSpeed[2];
};

const Curve kCurves[] = {
    {"easy-cfg.xml", "Easy", 15, {0.4, 0.34}, {0.54, 0.48}, {0.08, 0.1}, {0.12, 0.14}, {3, 3}, {5, 5},
     {8, 7}, {1, 2}, {2, 3}, {9, 8}, {{3, 5}, {6, 9}}, 5, {60, 90}, {5000, 4600}, {0.0, 0.05}},
    {"normal-cfg.xml", "Normal", 30, {0.48, 0.47}, {0.62, 0.61}, {0.12, 0.17}, {0.16, 0.22}, {3, 4}, {5, 6},
     {8, 8}, {2, 2}, {3, 4}, {10, 8}, {{4, 7}, {8, 12}}, 4, {100, 150}, {4500, 3600}, {0.05, 0.2}},
    {"hard-cfg.xml", "Hard", 45, {0.53, 0.51}, {0.67, 0.65}, {0.18, 0.22}, {0.22, 0.28}, {4, 4}, {6, 7},
     {8, 9}, {2, 3}, {3, 5}, {9, 7}, {{6, 10}, {10, 15}}, 3, {150, 170}, {4000, 3400}, {0.1, 0.2}},
    {"expert-cfg.xml", "Expert", 60, {0.52, 0.68}, {0.65, 0.85}, {0.22, 0.3}, {0.27, 0.36}, {4, 5}, {6, 7},
     {8, 11}, {3, 3}, {4, 5}, {8, 4}, {{8, 12}, {12, 18}}, 3, {200, 250}, {3500, 2900}, {0.2, 0.4}},
    {"xtreme-cfg.xml", "X-Treme", 80, {0.55, 0.72}, {0.7, 0.9}, {0.2, 0.26}, {0.26, 0.32}, {5, 5}, {7, 7},
     {8, 10}, {3, 4}, {5, 6}, {6, 2}, {{10, 15}, {15, 21}}, 2, {220, 280}, {3000, 2600}, {0.3, 0.45}},
};

double Lerp(const double range[2], double t)
{
    return range[0] + (range[1] - range[0]) * t;
}

int LerpInt(const int range[2], double t)
{
    return static_cast<int>(std::lround(range[0] + (range[1] - range[0]) * t));
}

std::string Num(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", v);
    std::string s = buf;
    while (s.size() > 1 && s.back() == '0' && s[s.size() - 2] != '.')
        s.pop_back();
    return s;
}

class Writer {
public:
    void Line(int depth, const std::string& text) { mText += std::string(depth * 2, ' ') + text + "\n"; }
    void Value(int depth, const char* name, const std::string& v)
    {
        Line(depth, std::string("<") + name + ">" + v + "</" + name + ">");
    }
    void Value(int depth, const char* name, int v) { Value(depth, name, std::to_string(v)); }
    const std::string& Text() const { return mText; }

private:
    std::string mText;
};

struct EnemyEntry {
    const char* type;
    int minNumber, maxNumber;
    bool themed = false;
    int minDiff = 0, maxDiff = 0; // 0: the level's
};

void WriteEnemy(Writer& w, const EnemyEntry& e, double minSpeed, double maxSpeed)
{
    w.Line(3, std::string("<Enemy Type=\"") + e.type + "\">");
    w.Value(4, "MinNumber", e.minNumber);
    w.Value(4, "MaxNumber", std::max(e.maxNumber, e.minNumber));
    w.Value(4, "MinSpeed", Num(minSpeed));
    w.Value(4, "MaxSpeed", Num(maxSpeed));
    if (e.minDiff > 0) {
        w.Value(4, "MinDiff", e.minDiff);
        w.Value(4, "MaxDiff", e.maxDiff);
    }
    if (e.themed)
        w.Line(4, "<ThemeRandom/>");
    w.Line(3, "</Enemy>");
}

// The creatures a shark wave of the abyss may bring at a stage, by how far the diver has come.
std::vector<const char*> AbyssSharkTypes(int unlocked)
{
    std::vector<const char*> types = {"Blue"};
    if (unlocked >= 4) types.push_back("Black");
    if (unlocked >= 9) types.push_back("Stealth");
    if (unlocked >= 12) types.push_back("Red");
    if (unlocked >= 14) types.push_back("Toxic");
    if (unlocked >= 18) types.push_back("Purple");
    if (unlocked >= 21) types.push_back("Ghost");
    if (unlocked >= 25) types.push_back("BlackStealth");
    if (unlocked >= 27) types.push_back("CrazyToxic");
    if (unlocked >= 30) types.push_back("RedStealth");
    return types;
}

std::vector<const char*> AbyssPiranhaTypes(int unlocked)
{
    std::vector<const char*> types = {"Blue"};
    if (unlocked >= 16) types.push_back("White");
    if (unlocked >= 20) types.push_back("Stealth");
    if (unlocked >= 26) types.push_back("WhiteStealth");
    return types;
}

struct Stage {
    double t;          // 0 at the first level, 1 at the last
    int unlocked;      // abyss: how far the diver has come
    int index;
};

// The creatures of one wave: the kinds it must bring and those it may add.
struct WaveTypes {
    std::vector<std::string> must;
    std::vector<std::string> may;
};

bool IsMultiWord(const std::string& type)
{
    return type == "Black" || type == "Red" || type == "Purple" || type.find("Stealth") != std::string::npos;
}

void WriteSharkWave(Writer& w, const Curve& c, const Stage& p, int variant, bool first, const WaveTypes& kinds)
{
    w.Line(2, "<Wave Type=\"Sharks\">");
    if (first)
        w.Line(3, "<FirstWave/>");
    const int total = LerpInt(c.count, p.t);
    // Plain sharks make up most of a wave; the kinds that must come and one or two
    // further kinds join them.
    const double lo = Lerp(c.sharkMin, p.t), hi = Lerp(c.sharkMax, p.t);
    std::vector<std::string> extras;
    for (const std::string& type : kinds.must)
        if (type != "Blue")
            extras.push_back(type);
    const int further = std::min<int>(static_cast<int>(kinds.may.size()), 1 + variant % 2);
    for (int k = 0; k < further; ++k) {
        const std::string& type = kinds.may[(p.index + variant + k * 3) % kinds.may.size()];
        if (std::find(kinds.must.begin(), kinds.must.end(), type) == kinds.must.end())
            extras.push_back(type);
    }
    const int n = std::max(1, total / 4);
    const int plain = std::max(1, total - static_cast<int>(extras.size()) * n);
    WriteEnemy(w, {"Blue", std::max(1, plain - 1), plain + 1, variant % 3 == 2 && p.unlocked >= 3}, lo, hi);
    for (const std::string& type : extras) {
        EnemyEntry e{type.c_str(), n, n + 1};
        // Multi-word sharks carry shorter words.
        if (IsMultiWord(type)) {
            e.minDiff = 3;
            e.maxDiff = std::max(4, LerpInt(c.wordMax, p.t) - 1);
        }
        WriteEnemy(w, e, lo * 0.95, hi * 0.95);
    }
    w.Line(2, "</Wave>");
}

void WritePiranhaWave(Writer& w, const Curve& c, const Stage& p, int variant, const WaveTypes& kinds)
{
    w.Line(2, "<Wave Type=\"Piranhas\">");
    const int total = LerpInt(c.count, p.t) + 3;
    const double lo = Lerp(c.piranhaMin, p.t), hi = Lerp(c.piranhaMax, p.t);
    WriteEnemy(w, {"Blue", total - 1, total + 2}, lo, hi);
    std::vector<std::string> extras;
    for (const std::string& type : kinds.must)
        if (type != "Blue")
            extras.push_back(type);
    if (extras.empty() && !kinds.may.empty())
        extras.push_back(kinds.may[(p.index + variant) % kinds.may.size()]);
    for (const std::string& type : extras)
        WriteEnemy(w, {type.c_str(), 1, 3}, lo, hi);
    w.Line(2, "</Wave>");
}

void WriteBonusWave(Writer& w)
{
    w.Line(2, "<Wave Type=\"Bonus\">");
    w.Line(3, "<Enemy Type=\"Standard\">");
    w.Value(4, "MinNumber", 12);
    w.Value(4, "MaxNumber", 15);
    w.Value(4, "MinSpeed", "0.1");
    w.Value(4, "MaxSpeed", "0.1");
    w.Line(3, "</Enemy>");
    w.Line(2, "</Wave>");
}

void WriteBossWave(Writer& w, const Curve& c, const Stage& p, int boss)
{
    w.Line(2, "<Wave Type=\"Boss\">");
    w.Line(3, std::string("<Enemy Type=\"") + LevelPlan::BOSSES[boss] + "\">");
    w.Value(4, "Health", LerpInt(c.bossHealth, p.t));
    w.Value(4, "TimeToFire", LerpInt(c.bossFire, p.t));
    w.Value(4, "MinMissiles", 1);
    // Easy bosses fire one missile at a time throughout.
    w.Value(4, "MaxMissiles", p.t < 0.5 || c.wpm <= 15 ? 1 : 2);
    w.Value(4, "BobSpeed", Num(0.2 + 0.2 * p.t));
    const double missile = Lerp(c.missileSpeed, p.t);
    w.Value(4, "MinMissileSpeed", Num(missile));
    w.Value(4, "MaxMissileSpeed", Num(missile + 0.05));
    // A missile's word is shot back while the next ones fly: the boss's words are a
    // letter shorter than the level's longest, so a typist of the difficulty's speed
    // survives the boss rather than losing a diver to each one.
    const int minWord = LerpInt(c.wordMin, p.t);
    w.Value(4, "MinDiff", minWord);
    w.Value(4, "MaxDiff", std::max(minWord + 1, LerpInt(c.wordMax, p.t) - 1));
    w.Line(3, "</Enemy>");
    w.Line(2, "</Wave>");
}

void WriteDefaults(Writer& w, const Curve& c, bool abyss)
{
    w.Line(1, "<Default>");
    w.Value(2, "MinSpeed", Num(c.sharkMin[0]));
    w.Value(2, "MaxSpeed", Num(c.sharkMax[0]));
    w.Value(2, "MinDiff", c.wordMin[0]);
    w.Value(2, "MaxDiff", c.wordMax[0]);
    w.Value(2, "MinCol", c.minCol[0]);
    w.Value(2, "MaxCol", c.maxCol[0]);
    w.Value(2, "KnockBack", c.knockBack[0]);
    w.Value(2, "DiverSpeed", "0.3");
    w.Value(2, "OceanDepth", abyss ? -1 : 100);
    w.Value(2, "NumForPenalty", c.numForPenalty);
    w.Value(2, "PenaltySpeed", "0.5");
    w.Value(2, "MinEndDiff", c.endDiff[0][0]);
    w.Value(2, "MaxEndDiff", c.endDiff[0][1]);
    w.Value(2, "TreasureSecs", 30);
    w.Line(1, "</Default>");
}

void WriteLevelSettings(Writer& w, const Curve& c, const Stage& p, bool abyss)
{
    w.Value(2, "MinSpeed", Num(Lerp(c.sharkMin, p.t)));
    w.Value(2, "MaxSpeed", Num(Lerp(c.sharkMax, p.t)));
    w.Value(2, "MinDiff", LerpInt(c.wordMin, p.t));
    w.Value(2, "MaxDiff", LerpInt(c.wordMax, p.t));
    w.Value(2, "MinCol", LerpInt(c.minCol, p.t));
    w.Value(2, "MaxCol", LerpInt(c.maxCol, p.t));
    w.Value(2, "KnockBack", LerpInt(c.knockBack, p.t));
    if (!abyss) {
        w.Value(2, "DiverSpeed", Num(0.25 + 0.1 * p.t));
        w.Value(2, "OceanDepth", 100 + 4 * p.index);
        const int minEnd[2] = {c.endDiff[0][0], c.endDiff[1][0]};
        const int maxEnd[2] = {c.endDiff[0][1], c.endDiff[1][1]};
        w.Value(2, "MinEndDiff", LerpInt(minEnd, p.t));
        w.Value(2, "MaxEndDiff", LerpInt(maxEnd, p.t));
        w.Value(2, "TreasureSecs", 30 - static_cast<int>(10 * p.t));
    }
    // A penalty piranha comes for every few typos: in the abyss, where the fast typist
    // makes the most typos in a dive, it stays slower, or speed would not buy depth.
    w.Value(2, "PenaltySpeed", Num(abyss ? 0.4 + 0.15 * p.t : 0.4 + 0.4 * p.t));
}

std::string Header(const Curve& c, const char* what)
{
    return "0000\n<?xml version=\"1.0\"?>\n<!-- " + std::string(what) + " " + c.name + ": tuned for a typist of about " +
           std::to_string(c.wpm) + " words per minute. -->\n";
}

// The kinds of a wave kind a level must and may bring: those its hint announces,
// and those announced on the levels before it ("Blue" always comes as the plain kind).
WaveTypes TypesAt(LevelPlan::WaveKind kind, int level)
{
    WaveTypes kinds;
    kinds.must = LevelPlan::AnnouncedAt(kind, level);
    for (const std::string& type : LevelPlan::KnownAt(kind, level))
        if (type != "Blue" && std::find(kinds.must.begin(), kinds.must.end(), type) == kinds.must.end())
            kinds.may.push_back(type);
    return kinds;
}

std::string AdventureFile(const Curve& c, int difficulty)
{
    using LevelPlan::BONUS;
    using LevelPlan::PIRANHAS;
    using LevelPlan::SHARKS;
    Writer w;
    w.Line(0, "<Config>");
    WriteDefaults(w, c, false);
    for (int level = 0; level < kLevels; ++level) {
        const Stage p{level / static_cast<double>(kLevels - 1), level, level};
        w.Line(1, "<Level LevelNum=\"" + std::to_string(level + 1) + "\">");
        if (LevelPlan::IsClamLevel(level)) {
            w.Line(2, "<BonusLevel/>");
            w.Line(1, "</Level>");
            continue;
        }
        WriteLevelSettings(w, c, p, false);
        const WaveTypes sharks = TypesAt(SHARKS, level);
        const WaveTypes piranhas = TypesAt(PIRANHAS, level);
        const bool piranhasKnown = !LevelPlan::KnownAt(PIRANHAS, level).empty();
        const bool bonusAnnounced = !LevelPlan::AnnouncedAt(BONUS, level).empty();
        const bool bonusKnown = !LevelPlan::KnownAt(BONUS, level).empty();
        // The level opens with what its hint speaks of: piranhas when it names no shark.
        const bool piranhaFirst = !piranhas.must.empty() && sharks.must.empty();
        const int waves = 4 + (level + difficulty) % 3;
        for (int i = 0; i < waves; ++i) {
            if (i == 0 && piranhaFirst)
                WritePiranhaWave(w, c, p, i, piranhas);
            else if (i == 0)
                WriteSharkWave(w, c, p, i, true, sharks);
            else if (i == waves - 1 && (bonusAnnounced || (bonusKnown && level % 2 == 0)))
                WriteBonusWave(w);
            else if (piranhasKnown && i % 3 == 1)
                WritePiranhaWave(w, c, p, i, piranhas);
            else
                WriteSharkWave(w, c, p, i, false, sharks);
        }
        if (LevelPlan::IsBossLevel(level))
            WriteBossWave(w, c, p, LevelPlan::BossOfLevel(level));
        w.Line(1, "</Level>");
    }
    w.Line(0, "</Config>");
    return Header(c, "Adventure,") + w.Text();
}

// Abyss stages of 200 ft each, from Normal's pace down to beyond X-Treme's; the game
// brings its own boss every 1000 ft, so the stages hold no boss waves.
std::string AbyssFile()
{
    // The abyss has its own curve: the surface is as gentle as Easy's first levels, so
    // that every typist gets somewhere, and 6000 ft come near X-Treme's pace, so that
    // each step of speed buys depth.
    const Curve c = {"abyss.xml", "abyss", 30, {0.3, 0.6}, {0.42, 0.78}, {0.06, 0.16}, {0.1, 0.22}, {3, 5},
                         {5, 7}, {6, 10}, {2, 3}, {3, 5}, {10, 6}, {{4, 10}, {7, 15}}, 6, {0, 0}, {0, 0},
                         {0.0, 0.0}};
    Writer w;
    w.Line(0, "<Config>");
    w.Line(1, "<AbyssMode/>");
    WriteDefaults(w, c, true);
    for (int stage = 0; stage < kAbyssStages; ++stage) {
        const Stage p{stage / static_cast<double>(kAbyssStages - 1), 6 + stage, stage};
        WaveTypes sharks, piranhas;
        for (const char* type : AbyssSharkTypes(p.unlocked))
            if (std::string(type) != "Blue")
                sharks.may.emplace_back(type);
        for (const char* type : AbyssPiranhaTypes(p.unlocked))
            if (std::string(type) != "Blue")
                piranhas.may.emplace_back(type);
        w.Line(1, "<Level LevelNum=\"" + std::to_string(stage + 1) + "\">");
        WriteLevelSettings(w, c, p, true);
        for (int i = 0; i < 4; ++i) {
            if (i == 3 && stage % 3 == 2)
                WriteBonusWave(w);
            else if (i % 2 == 1)
                WritePiranhaWave(w, c, p, i, piranhas);
            else
                WriteSharkWave(w, c, p, i, false, sharks);
        }
        w.Line(1, "</Level>");
    }
    w.Line(0, "</Config>");
    return "0000\n<?xml version=\"1.0\"?>\n<!-- Abyss mode: 200 ft stages that start at the pace of a typist of about "
           "15 words per minute and come near X-Treme's by 6000 ft. -->\n" +
           w.Text();
}

bool Write(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "makelevels: cannot write " << path << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: makelevels OUTDIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    for (int d = 0; d < 5; ++d)
        if (!Write(dir + "/" + kCurves[d].file, AdventureFile(kCurves[d], d)))
            return 1;
    return Write(dir + "/abyss.xml", AbyssFile()) ? 0 : 1;
}
