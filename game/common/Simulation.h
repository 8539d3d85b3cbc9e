#pragma once
// Simulation mode: with SIMULATION_CONFIG.txt in the program folder the game plays
// itself (see SimulationTypist) and appends the figures of every wave, level and game
// to seven plain-text result files, from which the level files are tuned.
//
// The result files are written with LF line ends, and every number is formatted
// without the locale, so that runs compare byte for byte on any machine.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace Zant {

// One wave as the spawner laid it out.
struct SimWaveRecord {
    int enemyCount = 0;
    int waveType = 0; // 0 sharks, 1 piranhas, 2 bonus, 3 boss
    int waveNumber = 0;
    std::vector<std::string> words;
    bool diedOn = false;
    bool usedZapper = false;
    std::vector<double> speeds;
};

struct SimLevelRecord {
    std::vector<SimWaveRecord> waves;
    int treasureWords = 0;
};

// One configured typist.
struct SimulationEntry {
    int difficulty = 0; // 0 Easy .. 4 X-Treme, anything else abyss mode
    int accuracy = 0;   // percent
    int keyDelay = 1;   // updates between key presses, at least 1
    int burstChance = -1; // percent; -1 none
};

class SimulationHarness {
public:
    static constexpr const char* CONFIG_FILE = "SIMULATION_CONFIG.txt";
    static constexpr const char* RESULTS_FILE = "SIMULATION_RESULTS.txt";
    // More entries than this is a damaged file, not a plan of runs.
    static constexpr int MAX_ENTRIES = 10000;
    static constexpr size_t MAX_CONFIG_BYTES = 4 << 20;
    static constexpr int ABYSS_FILE = 5;
    static constexpr int RESULTS = 6;
    static constexpr int NUM_FILES = 7;

    SimulationHarness() = default;
    ~SimulationHarness();
    SimulationHarness(const SimulationHarness&) = delete;
    SimulationHarness& operator=(const SimulationHarness&) = delete;

    // The folder that holds the configuration and the result files.
    void SetFolder(const std::string& folder) { mFolder = folder; }
    const std::string& Folder() const { return mFolder; }

    // Reads the configuration from the folder. Off (0) when there is none, or when it
    // is refused (mError then names the file, and the line when one is at fault):
    // no entries, a level limit that ends every game at once, a folder in its place.
    // Else the extra value when asked.
    int ReadSimulationConfig(bool readExtra);
    // The same from a text; fileName only names the file in a refusal.
    int ParseConfig(const std::string& text, const std::string& fileName, bool readExtra);
    // Opens the seven result files for appending; false (all closed, mError naming
    // the file and why) when one fails. Opens nothing while results are discarded.
    bool OpenResultFiles();
    void CloseResultFiles();
    void NextSimulationConfig();
    // Back to the state before any configuration was read, the files closed.
    void Reset();

    void WriteSimulationAbyssDepth(int depth);
    void SimulationDumpString(const std::string& text);
    void WriteSimulationGameResult(int levelDiedOn, int levelsPassed, int points);
    void DumpSimulationLevelData(bool lastWaveOnly);
    // The header of a new run; the per-game records start afresh.
    void StartRun(int seed);

    // The wave records of the level being played.
    SimLevelRecord& CurrentLevel();
    // The wave being played; a blank one is made when there is none yet.
    SimWaveRecord& CurrentWave();
    static const char* WaveTypeName(int type);
    static const char* DifficultyName(int difficulty);

    bool IsOn() const { return mOn; }
    void SetOn(bool on) { mOn = on; }
    // A replayed demo plays the simulation again without writing a line.
    void SetDiscardResults(bool discard) { mDiscardResults = discard; }

    // Configuration.
    bool mOn = false;
    bool mDiscardResults = false;
    std::string mError;
    std::vector<SimulationEntry> mEntries;
    int mEntryIndex = -1;
    SimulationEntry mCurrent;
    int mTargetWpm = 0;
    bool mAdventure = true;
    int mMaxLevels = -1;

    // The game's values mirrored for the report.
    int mLevelShown = 0;
    int mCurrentLevel = 0;
    int mScore = 0;
    int mLives = 0;
    int mGameDifficulty = 0;
    int mSeed = 0;
    std::vector<int> mPath;
    std::vector<SimLevelRecord> mLog;

    // Ends the running game at the level limit; the application sets it.
    std::function<void(bool)> mEndGame;
    // Told of every game's result once it is written; the tuning runs count games with it.
    std::function<void(int levelDiedOn, int levelsPassed, int points)> mGameResult;

private:
    std::FILE* ParserFile();
    void Write(std::FILE* file, const std::string& text);
    void WriteWave(const SimWaveRecord& wave, bool heading);

    std::string mFolder = ".";
    std::FILE* mFiles[NUM_FILES] = {};
};

// The process-wide simulation state.
SimulationHarness& Simulation();

// printf-style formatting of one line for the result files.
std::string SimFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace Zant
