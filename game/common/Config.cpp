#include "game/common/Config.h"

#include <algorithm>
#include <charconv>
#include <memory>

#include "framework/util/MersenneTwister.h"
#include "framework/util/StringUtil.h"
#include "framework/util/XMLParser.h"
#include "game/common/DataFile.h"

namespace Zant {

namespace {

// The header's first number counts the digits of its key; a real header is short.
constexpr int MAX_HEADER_KEY_DIGITS = 16;

const char* const kEnemyTypeNames[] = {"Blue",   "Black",       "Red",          "Stealth",   "Toxic",   "CrazyToxic",
                                       "White",  "WhiteStealth", "Purple",      "RedStealth", "BlackStealth", "Standard",
                                       "Torpedo", "Ghost",      "GhostShip",    "MechaShark", "MechaSquid"};
const char* const kWaveKindNames[] = {"Sharks", "Piranhas", "Bonus", "Boss"};

int FindName(const char* const* names, int count, const std::string& name)
{
    for (int i = 0; i < count; ++i)
        if (name == names[i])
            return i;
    return -1;
}

bool IsStealthType(int type)
{
    return type == ENEMY_STEALTH || type == ENEMY_WHITE_STEALTH || type == ENEMY_RED_STEALTH ||
           type == ENEMY_BLACK_STEALTH;
}

bool IsBossType(int type)
{
    return type == ENEMY_TORPEDO || type == ENEMY_GHOST_SHIP || type == ENEMY_MECHA_SHARK || type == ENEMY_MECHA_SQUID;
}

size_t SkipBlanks(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    return i;
}

// A decimal real number at the start of the text; the same in every locale.
double ParseReal(const std::string& text)
{
    size_t i = SkipBlanks(text);
    if (i < text.size() && text[i] == '+')
        ++i;
    double value = 0;
    const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value);
    return result.ec == std::errc() ? value : 0.0;
}

// The text that follows the first tag of a line, up to the next tag.
std::string TextAfterFirstTag(const std::string& line)
{
    size_t i = line.find('<');
    if (i == std::string::npos)
        return "";
    bool inQuotes = false;
    for (++i; i < line.size(); ++i) {
        if (line[i] == '"')
            inQuotes = !inQuotes;
        else if (line[i] == '>' && !inQuotes)
            break;
    }
    if (i >= line.size())
        return "";
    const size_t end = line.find('<', i + 1);
    return line.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
}

MersenneTwister& FallbackRandom()
{
    static MersenneTwister random;
    return random;
}

} // namespace

// ---- Loading

// Reads a configuration file line by line, one element a line, into a Config.
class Config::Loader {
public:
    Loader(Config& config, int difficulty, const std::string& fileName)
        : mConfig(config), mDifficulty(difficulty), mFileName(fileName)
    {
    }

    int Run(const std::string& text);

private:
    int Fail(int line, const std::string& what)
    {
        mConfig.mErrorText = FormatString("%s line %d: %s", mFileName.c_str(), line, what.c_str());
        return LOAD_BAD_DATA;
    }
    int HandleLine(const std::string& line);
    int HandleStart(const XMLElement& element, const std::string& line);
    int HandleEnd(const std::string& name);
    void SetSpeed(bool isMin, double v);
    double EnemySpeed(bool isMin, double v) const;
    int CheckWave();
    int CheckLevel();
    int CheckAll();

    // The innermost open records that take a value.
    LevelSettings* LevelOrDefault()
    {
        if (mLevel)
            return &mLevel->Settings;
        return mInDefault ? &mConfig.mDefault : nullptr;
    }

    Config& mConfig;
    const int mDifficulty;
    const std::string mFileName;
    int mLineNum = 0;

    bool mInDefault = false;
    std::unique_ptr<ConfigLevel> mLevel;
    std::unique_ptr<ConfigWave> mWave;
    std::unique_ptr<ConfigEnemy> mEnemy;
    int mWaveCounter = -1;
    double mWaveMinSpeed = 0; // the wave's speed overrides, 0 when not set
    double mWaveMaxSpeed = 0;
    int mLevelLine = 0;
    int mConfigLine = 0; // where the open Config began; 0 when none is open
    int mWaveLine = 0;
    int mEnemyLine = 0;
    std::vector<int> mLevelLines;
};

int Config::Loader::Run(const std::string& text)
{
    // Header: two digits giving n, then a key of n + 2 digits. Neither changes the text.
    if (text.size() < 2)
        return Fail(1, "the file is too short for its header");
    const int keyDigits = ParseLeadingInt(text.substr(0, 2));
    if (keyDigits < 0 || keyDigits > MAX_HEADER_KEY_DIGITS)
        return Fail(1, "the header is not valid");
    size_t pos = std::min(text.size(), static_cast<size_t>(2 + keyDigits + 2));

    mLineNum = 1;
    std::string line;
    // A last line without a line break is read too: losing it could drop a level's end.
    for (; pos <= text.size(); ++pos) {
        const bool atEnd = pos == text.size();
        const char c = atEnd ? '\n' : text[pos];
        if (c != '\r' && c != '\n') {
            if (line.size() >= MAX_LINE_LENGTH)
                return Fail(mLineNum, FormatString("the line is longer than %d characters", MAX_LINE_LENGTH));
            line += c;
            continue;
        }
        if (!line.empty()) {
            const int result = HandleLine(line);
            if (result != LOAD_OK)
                return result;
            line.clear();
        }
        if (c == '\n' && !atEnd)
            ++mLineNum;
    }
    return CheckAll();
}

int Config::Loader::HandleLine(const std::string& line)
{
    XMLParser parser;
    parser.SetStringSource(line);
    XMLElement element;
    const bool read = parser.ReadElement(element);
    // An end tag on a line of its own is an error to a reader that has not seen its
    // start; its name is still what the line says.
    if (element.mType == XMLElement::TYPE_END)
        return HandleEnd(element.mValue);
    if (read && element.mType == XMLElement::TYPE_START)
        return HandleStart(element, line);
    return LOAD_OK;
}

int Config::Loader::HandleEnd(const std::string& name)
{
    if (name == "Config") {
        mConfigLine = 0;
    } else if (name == "Default") {
        mInDefault = false;
    } else if (name == "Level") {
        if (mLevel) {
            mEnemy.reset();
            mWave.reset();
            if (const int result = CheckLevel(); result != LOAD_OK)
                return result;
            mConfig.mLevels.push_back(std::move(*mLevel));
            mLevelLines.push_back(mLevelLine);
            mLevel.reset();
        }
    } else if (name == "Wave") {
        if (mWave && mLevel) {
            mEnemy.reset();
            if (const int result = CheckWave(); result != LOAD_OK)
                return result;
            mLevel->Waves.push_back(std::move(*mWave));
        }
        mWave.reset();
        mWaveMinSpeed = mWaveMaxSpeed = 0;
    } else if (name == "Enemy") {
        if (mEnemy && mWave) {
            if (mWave->Kind != WAVE_BOSS && (mEnemy->MinSpeed <= 0 || mEnemy->MaxSpeed <= 0))
                return Fail(mEnemyLine, "the enemy needs a MinSpeed and a MaxSpeed above 0");
            mWave->Enemies.push_back(*mEnemy);
        }
        mEnemy.reset();
    }
    return LOAD_OK;
}

int Config::Loader::HandleStart(const XMLElement& element, const std::string& line)
{
    const std::string& name = element.mValue;
    auto attribute = [&element](const char* key) {
        auto it = element.mAttributes.find(key);
        return it == element.mAttributes.end() ? std::string() : it->second;
    };
    const std::string text = TextAfterFirstTag(line);
    const int intValue = ParseLeadingInt(text);
    const double realValue = ParseReal(text);

    if (name == "Config") {
        mConfigLine = mLineNum;
        return LOAD_OK;
    }
    if (name == "Default") {
        mInDefault = true;
        return LOAD_OK;
    }
    if (name == "Level") {
        // An unclosed level before this one is not kept. LevelNum is not read:
        // levels are numbered by their order in the file.
        mEnemy.reset();
        mWave.reset();
        mLevel = std::make_unique<ConfigLevel>();
        mLevel->Settings = mConfig.mDefault;
        mWaveCounter = -1;
        mLevelLine = mLineNum;
        return LOAD_OK;
    }
    if (name == "Wave") {
        if (!mLevel)
            return Fail(mLineNum, "a Wave must stand inside a Level");
        const int kind = FindName(kWaveKindNames, 4, attribute("Type"));
        if (kind < 0)
            return Fail(mLineNum, "unknown wave type \"" + attribute("Type") + "\"");
        ++mWaveCounter;
        mEnemy.reset();
        mWave = std::make_unique<ConfigWave>();
        const LevelSettings& settings = mLevel->Settings;
        mWave->Kind = kind;
        mWave->TimeDelay = settings.TimeDelay;
        mWave->MinCol = settings.MinCol;
        mWave->MaxCol = settings.MaxCol;
        mWave->LetterDelay = settings.LetterDelay;
        mWave->KnockBack = kind == WAVE_BONUS ? 0 : settings.KnockBack;
        mWaveMinSpeed = mWaveMaxSpeed = 0;
        mWaveLine = mLineNum;
        return LOAD_OK;
    }
    if (name == "Enemy") {
        if (!mWave)
            return Fail(mLineNum, "an Enemy must stand inside a Wave");
        const int type = FindName(kEnemyTypeNames, 17, attribute("Type"));
        if (type < 0)
            return Fail(mLineNum, "unknown enemy type \"" + attribute("Type") + "\"");
        mEnemy = std::make_unique<ConfigEnemy>();
        mEnemy->Type = type;
        mEnemy->KnockBack = mWave->KnockBack;
        mEnemy->LetterDelay = mWave->LetterDelay;
        mEnemy->MinDiff = mLevel->Settings.MinDiff;
        mEnemy->MaxDiff = mLevel->Settings.MaxDiff;
        mEnemy->MinSpeed = mWaveMinSpeed > 0 ? mWaveMinSpeed : mLevel->Settings.MinSpeed;
        mEnemy->MaxSpeed = mWaveMaxSpeed > 0 ? mWaveMaxSpeed : mLevel->Settings.MaxSpeed;
        mEnemyLine = mLineNum;
        return LOAD_OK;
    }

    LevelSettings* settings = LevelOrDefault();
    const bool bonusWave = mWave && mWave->Kind == WAVE_BONUS;

    if (name == "MinSpeed" || name == "MaxSpeed") {
        SetSpeed(name == "MinSpeed", realValue);
    } else if (name == "KnockBack") {
        // A bonus wave never knocks back; the value is the level's.
        if (mWave && !bonusWave)
            mWave->KnockBack = intValue;
        else if (settings)
            settings->KnockBack = intValue;
    } else if (name == "MinDiff" || name == "MaxDiff") {
        const bool isMin = name == "MinDiff";
        if (mEnemy)
            (isMin ? mEnemy->MinDiff : mEnemy->MaxDiff) = intValue;
        else if (settings)
            (isMin ? settings->MinDiff : settings->MaxDiff) = intValue;
    } else if (name == "LetterDelay") {
        if (mEnemy)
            mEnemy->LetterDelay = intValue;
        else if (mWave)
            mWave->LetterDelay = intValue;
        else if (settings)
            settings->LetterDelay = intValue;
    } else if (name == "TimeDelay" || name == "MinCol" || name == "MaxCol") {
        if (mWave)
            (name == "TimeDelay" ? mWave->TimeDelay : name == "MinCol" ? mWave->MinCol : mWave->MaxCol) = intValue;
        else if (settings)
            (name == "TimeDelay" ? settings->TimeDelay : name == "MinCol" ? settings->MinCol : settings->MaxCol) =
                intValue;
    } else if (name == "DiverSpeed" || name == "PenaltySpeed" || name == "PenaltySpeedIncrease") {
        if (settings)
            (name == "DiverSpeed" ? settings->DiverSpeed
             : name == "PenaltySpeed" ? settings->PenaltySpeed
                                      : settings->PenaltySpeedIncrease) = realValue;
    } else if (name == "MinEndDiff" || name == "MaxEndDiff" || name == "TreasureSecs" || name == "MapDelay" ||
               name == "NumForPenalty" || name == "OceanDepth") {
        if (settings) {
            int* field = name == "MinEndDiff"     ? &settings->MinEndDiff
                         : name == "MaxEndDiff"   ? &settings->MaxEndDiff
                         : name == "TreasureSecs" ? &settings->TreasureSecs
                         : name == "MapDelay"     ? &settings->MapDelay
                         : name == "NumForPenalty" ? &settings->NumForPenalty
                                                   : &settings->OceanDepth;
            *field = intValue;
        }
    } else if (name == "FirstWave") {
        // Before the first wave there is no wave to start with; the first is meant.
        if (mLevel)
            mLevel->FirstWave = std::max(mWaveCounter, 0);
    } else if (name == "BonusLevel") {
        if (mLevel)
            mLevel->BonusLevel = true;
    } else if (name == "AbyssMode") {
        mConfig.mAbyss = true;
    } else if (mEnemy) {
        if (name == "MinNumber")
            mEnemy->MinNumber = bonusWave ? 12 : intValue;
        else if (name == "MaxNumber")
            mEnemy->MaxNumber = bonusWave ? 15 : intValue;
        else if (name == "Theme")
            mEnemy->ThemeMin = mEnemy->ThemeMax = intValue;
        else if (name == "ThemeMin")
            mEnemy->ThemeMin = intValue;
        else if (name == "ThemeMax")
            mEnemy->ThemeMax = intValue;
        else if (name == "ThemeRandom")
            mEnemy->ThemeRandom = true;
        else if (name == "TimeToFire")
            mEnemy->TimeToFire = intValue;
        else if (name == "Health")
            mEnemy->Health = intValue;
        else if (name == "MinMissiles")
            mEnemy->MinMissiles = intValue;
        else if (name == "MaxMissiles")
            mEnemy->MaxMissiles = intValue;
        else if (name == "BobSpeed")
            mEnemy->BobSpeed = realValue;
        else if (name == "MinMissileSpeed")
            mEnemy->MinMissileSpeed = realValue + 0.3;
        else if (name == "MaxMissileSpeed")
            mEnemy->MaxMissileSpeed = realValue + 0.3;
    }
    return LOAD_OK;
}

// Speeds in the file are base values; each kind of record adds its own share, and
// X-Treme (difficulty 4) takes most of them as written.
double Config::Loader::EnemySpeed(bool isMin, double v) const
{
    const int t = mEnemy->Type;
    const int k = mWave->Kind;
    const bool xtreme = mDifficulty == 4;
    if (t == ENEMY_BLACK && xtreme)
        return v;
    if (t == ENEMY_RED && xtreme)
        return v - 0.05;
    if (k == WAVE_SHARKS && (t == ENEMY_BLACK_STEALTH || t == ENEMY_RED_STEALTH || t == ENEMY_STEALTH))
        return isMin ? v * 0.7 : v * 0.75;
    if (k == WAVE_PIRANHAS && (t == ENEMY_WHITE_STEALTH || t == ENEMY_STEALTH))
        return isMin ? v * 0.75 : v * 0.9;
    if (t == ENEMY_GHOST && xtreme)
        return v + 0.05;
    if (t == ENEMY_BLUE && xtreme && k == WAVE_SHARKS)
        return v + 0.15;
    if (k == WAVE_PIRANHAS) {
        if (isMin)
            return xtreme ? v + 0.25 + 0.15 : v + 0.05 + 0.15;
        return xtreme ? v + 0.35 + 0.15 : v + 0.2 + 0.15;
    }
    if (k == WAVE_BONUS)
        return v + 0.2;
    if (xtreme)
        return v;
    return isMin ? v + 0.05 : v + 0.1;
}

void Config::Loader::SetSpeed(bool isMin, double v)
{
    if (mEnemy) {
        (isMin ? mEnemy->MinSpeed : mEnemy->MaxSpeed) = EnemySpeed(isMin, v);
    } else if (mWave) {
        (isMin ? mWaveMinSpeed : mWaveMaxSpeed) = v + 0.1;
    } else if (LevelSettings* settings = LevelOrDefault()) {
        const double share = mDifficulty == 4 ? 0 : isMin ? 0.03 : 0.1;
        (isMin ? settings->MinSpeed : settings->MaxSpeed) = v + share;
    }
}

// A wave the board would divide by or stall on is refused here, where the file and
// line can still be named.
int Config::Loader::CheckWave()
{
    const ConfigWave& wave = *mWave;
    if ((wave.Kind == WAVE_SHARKS || wave.Kind == WAVE_PIRANHAS) && (wave.MinCol < 1 || wave.MaxCol < wave.MinCol))
        return Fail(mWaveLine, FormatString("the wave needs MinCol of 1 or more and MaxCol not below it (%d, %d)",
                                            wave.MinCol, wave.MaxCol));
    if (wave.Kind == WAVE_BOSS) {
        if (wave.Enemies.empty() || !IsBossType(wave.Enemies.front().Type))
            return Fail(mWaveLine, "a boss wave must start with a Torpedo, GhostShip, MechaShark or MechaSquid enemy");
        const ConfigEnemy& boss = wave.Enemies.front();
        if (!mConfig.mAbyss && (boss.Health < 1 || boss.MaxMissiles < 1))
            return Fail(mWaveLine, "the boss needs a Health and MaxMissiles of 1 or more");
    }
    return LOAD_OK;
}

int Config::Loader::CheckLevel()
{
    const ConfigLevel& level = *mLevel;
    if (level.Waves.empty() && (!level.BonusLevel || mConfig.mAbyss))
        return Fail(mLevelLine, "the level has no waves");
    if (!mConfig.mAbyss && !level.BonusLevel &&
        std::all_of(level.Waves.begin(), level.Waves.end(), [](const ConfigWave& w) { return w.Kind == WAVE_BOSS; }))
        return Fail(mLevelLine, "the level has only boss waves");
    return LOAD_OK;
}

int Config::Loader::CheckAll()
{
    // A file cut short would play as a shorter game.
    if (mLevel)
        return Fail(mLevelLine, "the Level that begins here is not closed before the file ends");
    if (mConfigLine > 0)
        return Fail(mConfigLine, "the Config that begins here is not closed before the file ends");
    if (mConfig.mLevels.empty())
        return Fail(mLineNum, "the file holds no complete level");
    if (!mConfig.mAbyss) {
        for (size_t i = FIRST_ENDLESS_LEVEL; i < mConfig.mLevels.size(); ++i)
            if (mConfig.mLevels[i].Waves.empty())
                return Fail(mLevelLines[i], FormatString("level %d is played again in endless play and needs waves",
                                                         static_cast<int>(i) + 1));
    }
    return LOAD_OK;
}

Config::Config(ConfigHost* app) : mApp(app) {}

Config::~Config()
{
    ClearLevels();
}

void Config::ClearLevels()
{
    mLevels.clear();
    mLevels.shrink_to_fit();
    mEndlessLevels.clear();
    mEndlessLevels.shrink_to_fit();
    mUsedWaves.clear();
}

int Config::Load(int difficulty)
{
    static const char* const names[] = {"easy-cfg.xml", "normal-cfg.xml", "hard-cfg.xml", "expert-cfg.xml",
                                        "xtreme-cfg.xml"};
    std::string gamePath = "data\\";
    if (difficulty >= 0 && difficulty <= 4)
        gamePath += names[difficulty];
    else if (difficulty == -1)
        gamePath += "abyss.xml";
    std::string text;
    if (!ReadGameDataFile(mDataFolder, gamePath, text)) {
        mErrorText = GameDataPath(mDataFolder, gamePath) + ": the file cannot be read";
        return LOAD_OPEN_FAILED;
    }
    return LoadText(text, difficulty, GameDataPath(mDataFolder, gamePath));
}

int Config::LoadText(const std::string& text, int difficulty, const std::string& fileName)
{
    mErrorText.clear();
    Loader loader(*this, difficulty, fileName);
    const int result = loader.Run(text);
    if (result != LOAD_OK)
        return result;
    if (!mAbyss) {
        // The last fixed levels come back as the endless levels; what only a fixed
        // level uses (clams, the opening wave, boss tuning) is not carried over.
        for (size_t i = FIRST_ENDLESS_LEVEL; i < mLevels.size(); ++i) {
            ConfigLevel copy = mLevels[i];
            copy.BonusLevel = false;
            copy.FirstWave = 0;
            for (ConfigWave& wave : copy.Waves)
                for (ConfigEnemy& enemy : wave.Enemies) {
                    enemy.TimeToFire = 0;
                    enemy.Health = enemy.MinMissiles = enemy.MaxMissiles = 0;
                    enemy.BobSpeed = enemy.MinMissileSpeed = enemy.MaxMissileSpeed = 0;
                }
            mEndlessLevels.push_back(std::move(copy));
        }
    }
    return LOAD_OK;
}

// ---- Position and queries

MersenneTwister& Config::Random()
{
    return mApp ? mApp->GetGameRandom() : FallbackRandom();
}

bool Config::IsPastFixedLevels() const
{
    // Any negative index is treated as -1: it never indexes the fixed list.
    return mLevel < 0 || mLevel >= static_cast<int>(mLevels.size());
}

const ConfigLevel* Config::CurrentLevel() const
{
    if (!IsPastFixedLevels())
        return &mLevels[mLevel];
    if (mEndlessIndex < 0 || mEndlessIndex >= static_cast<int>(mEndlessLevels.size()))
        return nullptr;
    return &mEndlessLevels[mEndlessIndex];
}

ConfigLevel* Config::CurrentLevel()
{
    return const_cast<ConfigLevel*>(static_cast<const Config*>(this)->CurrentLevel());
}

const ConfigWave* Config::CurrentWave() const
{
    const ConfigLevel* level = CurrentLevel();
    if (!level || mWave < 0 || mWave >= static_cast<int>(level->Waves.size()))
        return nullptr;
    return &level->Waves[mWave];
}

bool Config::IsSpecialLevel() const
{
    const ConfigLevel* level = CurrentLevel();
    return !IsPastFixedLevels() && level && level->BonusLevel;
}

bool Config::IsLastWaveSpecial() const
{
    const ConfigLevel* level = CurrentLevel();
    return level && !level->Waves.empty() && level->Waves.back().Kind == WAVE_BOSS;
}

const LevelSettings& Config::GetLevelSettings() const
{
    const ConfigLevel* level = CurrentLevel();
    return level ? level->Settings : mDefault;
}

int Config::GetWaveKind() const
{
    const ConfigWave* wave = CurrentWave();
    return wave ? wave->Kind : WAVE_SHARKS;
}

// Without a wave a column of one is the size that cannot divide by zero.
int Config::GetWaveMinCol() const
{
    const ConfigWave* wave = CurrentWave();
    return wave ? wave->MinCol : 1;
}

int Config::GetWaveMaxCol() const
{
    const ConfigWave* wave = CurrentWave();
    return wave ? wave->MaxCol : 1;
}

int Config::GetPrevWaveKnockBack() const
{
    const ConfigLevel* level = nullptr;
    if (!IsPastFixedLevels()) {
        level = CurrentLevel();
        if (level && level->BonusLevel)
            return 0;
    } else if (mPrevEndlessIndex >= 0 && mPrevEndlessIndex < static_cast<int>(mEndlessLevels.size())) {
        level = &mEndlessLevels[mPrevEndlessIndex];
    }
    if (!level || mPrevWave < 0 || mPrevWave >= static_cast<int>(level->Waves.size()))
        return 0;
    return level->Waves[mPrevWave].KnockBack;
}

const ConfigEnemy* Config::GetWaveEnemy(int i) const
{
    const ConfigWave* wave = CurrentWave();
    if (!wave || i < 0 || i >= static_cast<int>(wave->Enemies.size()))
        return nullptr;
    return &wave->Enemies[i];
}

int Config::GetWaveEnemyCount() const
{
    const ConfigWave* wave = CurrentWave();
    return wave ? static_cast<int>(wave->Enemies.size()) : 0;
}

int Config::GetWaveCount() const
{
    const ConfigLevel* level = CurrentLevel();
    return level ? static_cast<int>(level->Waves.size()) : 0;
}

// ---- Moving through the levels

bool Config::IsBossWave(const ConfigLevel& level, int index)
{
    return index >= 0 && index < static_cast<int>(level.Waves.size()) && level.Waves[index].Kind == WAVE_BOSS;
}

// Starting from a first draw, draws again until the wave may be chosen: not used
// recently and, when asked, not a boss wave. When no wave qualifies the recent set is
// cleared; -1 when still none does (a level of boss waves only).
int Config::DrawChoosableWave(const ConfigLevel& level, int first, bool excludeBoss)
{
    const int count = static_cast<int>(level.Waves.size());
    auto choosable = [&](int i) { return !(excludeBoss && IsBossWave(level, i)) && !mUsedWaves.count(i); };
    auto anyChoosable = [&] {
        for (int i = 0; i < count; ++i)
            if (choosable(i))
                return true;
        return false;
    };
    if (!anyChoosable()) {
        mUsedWaves.clear();
        if (!anyChoosable())
            return -1;
    }
    int index = first;
    for (int draw = 0; draw < MAX_DRAWS; ++draw) {
        if (choosable(index))
            return index;
        index = Random().Next() % count;
    }
    for (int i = 0; i < count; ++i)
        if (choosable(i))
            return i;
    return -1;
}

void Config::SkipToLastWave()
{
    if (IsLastWaveSpecial())
        mWave = GetWaveCount() - 1;
}

void Config::ChooseNextWave(bool fromPreviousLevel)
{
    const ConfigWave* current = CurrentWave();
    mPrevWaveKind = current ? current->Kind : WAVE_SHARKS;
    if (fromPreviousLevel) {
        // The level before may not have a wave at this index; the current kind stands then.
        const int before = mLevel - 1;
        if (before >= 0 && before < static_cast<int>(mLevels.size()) && mWave >= 0 &&
            mWave < static_cast<int>(mLevels[before].Waves.size()))
            mPrevWaveKind = mLevels[before].Waves[mWave].Kind;
    }
    mPrevWave = mWave;

    if (mAbyss) {
        const ConfigLevel* level = CurrentLevel();
        if (!level || level->Waves.empty())
            return;
        const int count = static_cast<int>(level->Waves.size());
        if (static_cast<size_t>(count - 1) <= mUsedWaves.size())
            mUsedWaves.clear();
        const int index = DrawChoosableWave(*level, Random().Next() % count, false);
        mWave = std::max(index, 0);
        mUsedWaves.insert(mWave);
        if (fromPreviousLevel) {
            mPrevWave = mWave;
            mPrevWaveKind = level->Waves[mWave].Kind;
        }
        return;
    }

    if (!IsPastFixedLevels()) {
        const ConfigLevel& level = mLevels[mLevel];
        const int count = static_cast<int>(level.Waves.size());
        if (count == 0)
            return;
        const int bossLast = IsLastWaveSpecial() ? 1 : 0;
        if (static_cast<size_t>(std::max(count - bossLast, 0)) <= mUsedWaves.size())
            mUsedWaves.clear();
        const int index = DrawChoosableWave(level, Random().Next() % count, true);
        mWave = std::max(index, 0);
        if (index >= 0)
            mUsedWaves.insert(index);
        return;
    }

    if (mEndlessLevels.empty())
        return;
    mPrevEndlessIndex = mEndlessIndex;
    mEndlessIndex = Random().Next() % static_cast<int>(mEndlessLevels.size());
    const ConfigLevel& level = mEndlessLevels[mEndlessIndex];
    const int count = static_cast<int>(level.Waves.size());
    if (count == 0) {
        mWave = 0;
        return;
    }
    const int first = Random().Next() % count;
    const int bossLast = level.Waves.back().Kind == WAVE_BOSS ? 1 : 0;
    if (static_cast<size_t>(count - bossLast) <= mUsedWaves.size())
        mUsedWaves.clear();
    const int index = DrawChoosableWave(level, first, true);
    mWave = std::max(index, 0);
    if (index >= 0)
        mUsedWaves.insert(index);
}

void Config::RaiseLevelSpeeds(ConfigLevel& level, double amount)
{
    level.Settings.MinSpeed += amount;
    level.Settings.MaxSpeed += amount;
    for (ConfigWave& wave : level.Waves)
        for (ConfigEnemy& enemy : wave.Enemies) {
            enemy.MinSpeed += amount;
            enemy.MaxSpeed += amount;
        }
}

void Config::RaiseEndlessSpeeds(double amount)
{
    for (ConfigLevel& level : mEndlessLevels)
        RaiseLevelSpeeds(level, amount);
}

// Past the fixed levels without any endless level the game stays on the last fixed
// level; an endless index is kept within the endless list.
void Config::StayOnPlayableLevel()
{
    if (!IsPastFixedLevels())
        return;
    if (mEndlessLevels.empty()) {
        if (mLevels.empty())
            return;
        mLevel = static_cast<int>(mLevels.size()) - 1;
        const ConfigLevel& level = mLevels[mLevel];
        mWave = level.FirstWave < static_cast<int>(level.Waves.size()) ? level.FirstWave : 0;
        return;
    }
    if (mEndlessIndex < 0 || mEndlessIndex >= static_cast<int>(mEndlessLevels.size()))
        mEndlessIndex = 0;
}

// Endless copies carry no boss tuning, so endless play never starts on a boss wave.
void Config::AvoidEndlessBossWave()
{
    const ConfigLevel* level = CurrentLevel();
    if (!IsPastFixedLevels() || !level || !IsBossWave(*level, mWave))
        return;
    for (int i = 0; i < static_cast<int>(level->Waves.size()); ++i)
        if (!IsBossWave(*level, i)) {
            mWave = i;
            return;
        }
}

void Config::NextLevel()
{
    mUsedWaves.clear();
    if (!mAbyss) {
        ++mLevel;
        mWave = 0;
        if (mLevel >= ENDLESS_START_LEVEL && !mEndlessLevels.empty()) {
            ++mEndlessCount;
            mEndlessIndex = Random().Next() % static_cast<int>(mEndlessLevels.size());
            const int count = static_cast<int>(mEndlessLevels[mEndlessIndex].Waves.size());
            mWave = count > 0 ? Random().Next() % count : 0;
            mUsedWaves.insert(mWave);
            if (mLevel > ENDLESS_START_LEVEL)
                RaiseEndlessSpeeds((mLevel - 16) * 0.1);
        }
        if (!IsPastFixedLevels()) {
            const ConfigLevel& level = mLevels[mLevel];
            mWave = level.FirstWave < static_cast<int>(level.Waves.size()) ? level.FirstWave : 0;
        }
        StayOnPlayableLevel();
        AvoidEndlessBossWave();
    } else if (!mLevels.empty()) {
        ++mLevel;
        if (mLevel < 0)
            mLevel = 0;
        if (mLevel >= static_cast<int>(mLevels.size())) {
            // Past the last stage the game stays there, and it gets faster.
            mLevel = static_cast<int>(mLevels.size()) - 1;
            mUsedWaves.insert(mWave);
            const int depth = mApp ? mApp->GetBoardAbyssDepth() : 0;
            RaiseLevelSpeeds(mLevels[mLevel], depth > 5400 ? 0.05 : 0.025);
        }
    }
    BuildWaveList();
    const LevelSettings& settings = GetLevelSettings();
    mEndMinDiff = settings.MinEndDiff;
    mEndMaxDiff = settings.MaxEndDiff;
}

void Config::ResetWaves(int level)
{
    mWave = 0;
    mLevel = level;
    if (level == -1) {
        ++mEndlessCount;
        RaiseEndlessSpeeds(mEndlessCount * 0.1);
    }
    // A dive starts on the abyss's first stage; left at -1 it would stand past the
    // stages, on the last and fastest one, from the surface on.
    if (mAbyss && mLevel < 0 && !mLevels.empty())
        mLevel = 0;
    // A level above the fixed ones (the game shell rebuilding the board in endless
    // play) stays on the endless level in use: nothing is drawn and nothing sped up.
    if (!IsPastFixedLevels() && !mAbyss) {
        const ConfigLevel& fixed = mLevels[mLevel];
        mWave = fixed.FirstWave < static_cast<int>(fixed.Waves.size()) ? fixed.FirstWave : 0;
    }
    StayOnPlayableLevel();
    AvoidEndlessBossWave();
    BuildWaveList();
}

void Config::ResumeEndlessLevels(int count)
{
    // The endless levels before the last raised the speeds by 0.1, 0.2, ... in turn;
    // standing on the last raises them by its own share.
    const int before = std::clamp(count, 1, MAX_ENDLESS_COUNT) - 1;
    mEndlessCount = before;
    RaiseEndlessSpeeds(0.1 * before * (before + 1) / 2);
    ResetWaves(ENDLESS_LEVEL);
}

void Config::BuildWaveList()
{
    ConfigLevel* level = CurrentLevel();
    if (!level)
        return;
    // Stealth creatures are laid out first in every wave.
    for (ConfigWave& wave : level->Waves)
        std::stable_partition(wave.Enemies.begin(), wave.Enemies.end(),
                              [](const ConfigEnemy& enemy) { return IsStealthType(enemy.Type); });
}

} // namespace Zant
