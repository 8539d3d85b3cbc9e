#include "game/common/Simulation.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "framework/util/StringUtil.h"
#include "platform/Paths.h"

namespace Zant {

namespace {

const char* const FILE_NAMES[SimulationHarness::NUM_FILES] = {
    "SIMULATION_RESULTS_PARSER_0.txt", "SIMULATION_RESULTS_PARSER_1.txt",     "SIMULATION_RESULTS_PARSER_2.txt",
    "SIMULATION_RESULTS_PARSER_3.txt", "SIMULATION_RESULTS_PARSER_4.txt",     "SIMULATION_RESULTS_PARSER_ABYSS.txt",
    "SIMULATION_RESULTS.txt"};

const std::string SEPARATOR = "//" + std::string(88, '-') + "//\n";

const char* const NOT_STARTED = "; the game starts without simulation";

// %f in the "C" locale, whatever the program's locale is.
std::string FixedSix(double value)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string SimFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    return text;
}

SimulationHarness& Simulation()
{
    static SimulationHarness harness;
    return harness;
}

SimulationHarness::~SimulationHarness() { CloseResultFiles(); }

int SimulationHarness::ReadSimulationConfig(bool readExtra)
{
    const std::string path = mFolder + "/" + CONFIG_FILE;
    std::string text;
    if (!Platform::ReadWholeFile(path, text, MAX_CONFIG_BYTES)) {
        mOn = false;
        mEntries.clear();
        // No plan is the normal game; a plan that cannot be read is said.
        std::error_code error;
        mError = std::filesystem::exists(path, error)
                     ? path + ": not a readable file of at most " + std::to_string(MAX_CONFIG_BYTES) + " bytes" +
                           NOT_STARTED
                     : std::string();
        return 0;
    }
    return ParseConfig(text, path, readExtra);
}

int SimulationHarness::ParseConfig(const std::string& text, const std::string& fileName, bool readExtra)
{
    std::istringstream in(text);
    int lineNumber = 0;
    // A missing line reads as 0.
    auto next = [&](bool& present) {
        std::string line;
        present = static_cast<bool>(std::getline(in, line));
        ++lineNumber;
        return present ? LeadingInt(line) : 0;
    };
    auto refuse = [&](const std::string& why) {
        mOn = false;
        mEntries.clear();
        mError = fileName + ":" + std::to_string(lineNumber) + ": " + why + NOT_STARTED;
        return 0;
    };
    bool present = false;
    mError.clear();
    const int count = next(present);
    // A plan without entries would end every run before it began, and start the next.
    if (count < 1 || count > MAX_ENTRIES)
        return refuse("the number of entries " + std::to_string(count) + " is not between 1 and " +
                      std::to_string(MAX_ENTRIES));
    std::vector<SimulationEntry> entries;
    for (int i = 0; i < count; ++i) {
        SimulationEntry entry;
        entry.difficulty = next(present);
        const int wpm = next(present);
        if (wpm <= 0)
            return refuse("the typing speed " + std::to_string(wpm) + " must be above 0 words a minute");
        entry.accuracy = next(present);
        entry.burstChance = next(present);
        // Updates of 10 ms between letters for words of five letters.
        entry.keyDelay = std::max(1, static_cast<int>(100.0 / (wpm * 5.0 / 60.0)));
        mTargetWpm = wpm;
        entries.push_back(entry);
    }
    const bool adventure = next(present) != 0;
    const int maxLevels = next(present);
    // A limit of 0 ends each game at its first level, over and over.
    if (maxLevels == 0 || maxLevels < -1)
        return refuse("the level limit " + std::to_string(maxLevels) + " is neither -1 (none) nor above 0");
    mEntries = std::move(entries);
    mAdventure = adventure;
    mMaxLevels = maxLevels;
    mOn = true;
    if (!readExtra || !in)
        return 0;
    const int extra = next(present);
    return present ? extra : 0;
}

bool SimulationHarness::OpenResultFiles()
{
    CloseResultFiles();
    mError.clear();
    if (mDiscardResults)
        return true;
    for (int i = 0; i < NUM_FILES; ++i) {
        const std::string path = mFolder + "/" + FILE_NAMES[i];
        mFiles[i] = std::fopen(path.c_str(), "a");
        if (mFiles[i] == nullptr) {
            mError = path + ": " + std::strerror(errno);
            CloseResultFiles();
            return false;
        }
    }
    return true;
}

void SimulationHarness::CloseResultFiles()
{
    for (std::FILE*& file : mFiles) {
        if (file != nullptr)
            std::fclose(file);
        file = nullptr;
    }
}

void SimulationHarness::Reset()
{
    CloseResultFiles();
    mOn = false;
    mDiscardResults = false;
    mError.clear();
    mEntries.clear();
    mEntryIndex = -1;
    mCurrent = SimulationEntry();
    mTargetWpm = 0;
    mAdventure = true;
    mMaxLevels = -1;
    mLevelShown = mCurrentLevel = mScore = mLives = mGameDifficulty = mSeed = 0;
    mPath.clear();
    mLog.clear();
    mEndGame = nullptr;
    mGameResult = nullptr;
}

void SimulationHarness::NextSimulationConfig()
{
    ++mEntryIndex;
    if (mEntryIndex >= static_cast<int>(mEntries.size()))
        mEntryIndex = 0;
    if (mEntries.empty())
        return;
    mCurrent = mEntries[static_cast<size_t>(mEntryIndex)];
}

void SimulationHarness::Write(std::FILE* file, const std::string& text)
{
    if (file != nullptr)
        std::fwrite(text.data(), 1, text.size(), file);
}

void SimulationHarness::WriteSimulationAbyssDepth(int depth)
{
    Write(mFiles[RESULTS], SimFormat("\t\tABYSS DEPTH: %d\n", depth));
    if (mFiles[RESULTS])
        std::fflush(mFiles[RESULTS]);
}

void SimulationHarness::SimulationDumpString(const std::string& text)
{
    Write(mFiles[RESULTS], "\t\t\t\tDUMP STRING: " + text + "\n");
    if (mFiles[RESULTS])
        std::fflush(mFiles[RESULTS]);
}

std::FILE* SimulationHarness::ParserFile()
{
    // An abyss run always reports to the abyss file, whatever difficulty the entry names.
    const bool adventureDifficulty = mGameDifficulty >= 0 && mGameDifficulty <= 4;
    return mFiles[mAdventure && adventureDifficulty ? mGameDifficulty : ABYSS_FILE];
}

void SimulationHarness::WriteSimulationGameResult(int levelDiedOn, int levelsPassed, int points)
{
    std::FILE* file = ParserFile();
    Write(file, SEPARATOR);
    Write(file, SimFormat("// Level died on (-1 means didn't die, game went on too long):\n%d\n", levelDiedOn));
    Write(file, SimFormat("// Number of levels passed (includes level ended on):\n%d\n", levelsPassed));
    Write(file, SimFormat("// Points obtained:\n%d\n", points));
    Write(file, SEPARATOR);
    if (file)
        std::fflush(file);
    if (mGameResult)
        mGameResult(levelDiedOn, levelsPassed, points);
}

const char* SimulationHarness::WaveTypeName(int type)
{
    switch (type) {
    case 0:
        return "Sharks";
    case 1:
        return "Piranhas";
    case 2:
        return "Bonus Jellyfish";
    case 3:
        return "Boss Monster";
    default:
        return "Unknown";
    }
}

const char* SimulationHarness::DifficultyName(int difficulty)
{
    static const char* const NAMES[] = {"Easy", "Normal", "Hard", "Expert", "X-Treme"};
    if (difficulty == -1)
        return "Abyss mode";
    return difficulty >= 0 && difficulty <= 4 ? NAMES[difficulty] : "";
}

void SimulationHarness::WriteWave(const SimWaveRecord& wave, bool heading)
{
    std::FILE* out = mFiles[RESULTS];
    const char* name = WaveTypeName(wave.waveType);
    Write(out, heading ? SimFormat("\n\t\t********** %d WAVE TYPE:\t%s **********\n", wave.waveNumber, name)
                       : SimFormat("\t\t////////// %d WAVE TYPE:\t%s //////////\n", wave.waveNumber, name));
    Write(out, SimFormat("\t\tTOTAL ENEMIES:\t%d\n", wave.enemyCount));
    if (wave.diedOn)
        Write(out, "\t\t@@@ USER DIED ON THIS WAVE @@@\n");
    if (wave.usedZapper)
        Write(out, "\t\t@@@ USER USED EMP BLASTER ON THIS WAVE @@@\n");
    std::string speeds;
    for (double speed : wave.speeds)
        speeds += ", " + FixedSix(speed);
    Write(out, "\t\tENEMY SPEEDS: " + speeds + "\n");
    std::string words;
    for (const std::string& word : wave.words)
        words += word.empty() ? std::string(", ERROR: WORD == \"\"") : ", " + word;
    Write(out, "\t\tENEMY WORDS: " + words + "\n");
}

void SimulationHarness::DumpSimulationLevelData(bool lastWaveOnly)
{
    if (!mOn)
        return;
    std::FILE* out = mFiles[RESULTS];
    if (out == nullptr) {
        // A replayed run goes on without its files; otherwise they were lost.
        if (!mDiscardResults)
            mOn = false;
        return;
    }
    if (lastWaveOnly) {
        if (!mLog.empty() && !mLog.back().waves.empty())
            WriteWave(mLog.back().waves.back(), true);
        std::fflush(out);
        return;
    }
    Write(out, SimFormat("*********** FOR LEVEL %d (%d) ************\n\n", mLevelShown, mCurrentLevel));
    Write(out, SimFormat("MAX LEVELS:\t%d\n", mMaxLevels));
    Write(out, SimFormat("SCORE:\t%d\n", mScore));
    Write(out, SimFormat("LIVES LEFT:\t%d\n", mLives));
    Write(out, SimFormat("TARGET WPM:\t%d\n", mTargetWpm));
    Write(out, SimFormat("TARGET ACCURACY:\t%d\n", mCurrent.accuracy));
    Write(out, SimFormat("DIFFICULTY:\t%d\n", mCurrent.difficulty));

    std::FILE* parser = ParserFile();
    Write(parser, SimFormat("//Current level:\n%d\n", mCurrentLevel));
    Write(parser, SimFormat("//Points obtained so far:\n%d\n", mScore));
    Write(parser, SimFormat("//Lives left:\n%d\n", mLives));
    if (parser)
        std::fflush(parser);

    Write(out, SimFormat("DIFFICULTY:\t%s\n", DifficultyName(mGameDifficulty)));
    if (!mPath.empty()) {
        std::string path;
        for (int level : mPath)
            path += SimFormat(", %d", level);
        Write(out, "PATH (config levels):\t" + path + "\n");
    }
    Write(out, "DUMPING LEVEL DATA:\n");
    Write(out, SimFormat("\tNUM TREASURE WORDS:\t%d\n", mLog.empty() ? 0 : mLog.back().treasureWords));
    Write(out, "\tDUMPING WAVE DATA:\n\n");
    if (!mLog.empty())
        for (const SimWaveRecord& wave : mLog.back().waves)
            WriteWave(wave, false);
    Write(out, "\n");
    Write(out, "\n");
    std::fflush(out);
}

void SimulationHarness::StartRun(int seed)
{
    mSeed = seed;
    mPath.clear();
    mLog.clear();
    Write(mFiles[RESULTS], "\n\n------------------- NEW SIMULATION ----------------------\n\n");
    Write(mFiles[RESULTS], SimFormat("SEED VALUE USED: %d\n", seed));
    if (mFiles[RESULTS])
        std::fflush(mFiles[RESULTS]);
}

SimLevelRecord& SimulationHarness::CurrentLevel()
{
    if (mLog.empty())
        mLog.emplace_back();
    return mLog.back();
}

SimWaveRecord& SimulationHarness::CurrentWave()
{
    SimLevelRecord& level = CurrentLevel();
    if (level.waves.empty())
        level.waves.emplace_back();
    return level.waves.back();
}

} // namespace Zant
