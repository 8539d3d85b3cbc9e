// Plays whole simulated games headless, as fast as the machine allows, and prints how
// far typists of given speeds get on each difficulty and in the abyss: the table the
// level files are tuned by (see makelevels).
//
// Each game goes through the application's own flow in simulation mode: the menu's
// adventure or abyss button, the levels in map order with the map's own choices, the
// boss waves, three divers and the game over, with the same update code and random
// draws as a run of the program. Game n of a cell is seeded with n.
//
// usage: tunelevels GAMEDIR [--games N] [--accuracy P] [--difficulty D] [--wpm W,W,...]
//                           [--abyss-wpm W,W,...] [--no-abyss] [--no-adventure] [--minutes M]
//   GAMEDIR is the program folder (images, sounds, data with the level files).
//   Without --wpm each difficulty is played at its target speed and at half of it;
//   --difficulty limits the adventure rows to one difficulty (0 Easy .. 4 X-Treme).
//   --minutes caps one game's play time (default 180 minutes of game time).
//   TUNELEVELS_TRACE=1 in the environment prints one line per game on stderr.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/play/Board.h"
#include "game/common/Config.h"
#include "game/play/Player.h"
#include "game/common/Simulation.h"
#include "game/shell/SimulationRunner.h"
#include "game/shell/WinBTApp.h"
#include "tools/levels/LevelPlan.h"

using namespace Zant;

namespace {

// The dive site that ends the chart: clearing it clears the adventure.
constexpr int LAST_SITE = 35;
constexpr int UPDATES_PER_SECOND = 100;
const int TARGET_WPM[5] = {15, 30, 45, 60, 80};
const char* const NAMES[5] = {"Easy", "Normal", "Hard", "Expert", "X-Treme"};

class QuietApp : public WinBTApp {
public:
    void PlaySound(int) override {}
};

struct GameResult {
    bool cleared = false;   // the last site's level was completed
    int levels = 0;         // levels started (1 = died on the first)
    int lastSite = 0;       // the site of the last level started
    int deaths = 0;
    int bossLevels = 0;
    int bossDeaths = 0;     // divers lost in boss fights
    int score = 0;
    int depth = 0;          // abyss only
    bool timedOut = false;
    long long updates = 0;
};

struct Options {
    std::string gameDir;
    int games = 10;
    int accuracy = 95;
    int difficulty = -1;
    std::vector<int> wpm;
    std::vector<int> abyssWpm = {15, 30, 45, 60, 80};
    bool abyss = true;
    bool adventure = true;
    int minutes = 180;
};

// The level maker's plan tells the boss levels (a site is the level played there).
bool IsBossSite(int site) { return LevelPlan::IsBossLevel(site); }

std::vector<int> ParseList(const std::string& text)
{
    std::vector<int> values;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ','))
        if (!item.empty())
            values.push_back(std::atoi(item.c_str()));
    return values;
}

class Tuner {
public:
    Tuner(const Options& options, const std::filesystem::path& scratch) : mOptions(options), mScratch(scratch) {}

    bool Load()
    {
        gGameRandom = new MersenneTwister(1);
        mApp = std::make_unique<QuietApp>();
        mApp->mWidth = 640;
        mApp->mHeight = 480;
        if (!LoadHeadlessGame(*mApp))
            return false;
        mApp->mHintsOn = false;
        return true;
    }

    // One game of a difficulty (-1 abyss) at a speed, seeded with seed.
    GameResult Play(int difficulty, int wpm, int seed)
    {
        SimulationHarness& sim = Simulation();
        GameResult result;
        bool over = false;
        int livePhase = Player::PLAYING;
        sim.mGameResult = [&](int, int, int points) {
            // The last diver lost ends the game inside the update.
            over = true;
            ++result.deaths;
            if (livePhase == Player::BOSS_FIGHT)
                ++result.bossDeaths;
            result.score = points;
            if (mApp->mBoard != nullptr)
                result.depth = mApp->mBoard->mAbyssDepth;
            // No new run from the menu: the next game is started here.
            sim.SetOn(false);
        };
        // Every game starts from the same state whatever was played before it: the
        // words and names a game used, and its ship and gem, are forgotten, and the
        // new ones are drawn from this game's seed.
        WordLists& words = mApp->mWordLists;
        words.ClearRecentWords();
        words.ClearTreasureWords();
        words.ClearThemeState();
        words.UsedLetters().clear();
        words.ClearCurrentNames();
        words.LoadGemNames();
        words.LoadShipNames();
        mApp->mShipName.clear();
        mApp->mGemName.clear();
        mApp->mTreasureImage = 0;
        gGameRandom->Seed(static_cast<uint32_t>(seed));
        mApp->mGameSeed = seed;
        mApp->StartSimulatedRun();

        const long long limit = static_cast<long long>(mOptions.minutes) * 60 * UPDATES_PER_SECOND;
        Board* board = nullptr;
        int site = -1, lives = 0;
        while (!over && result.updates < limit) {
            mApp->mWidgetManager->UpdateFrame();
            ++result.updates;
            Board* now = mApp->mBoard;
            if (now == nullptr || now->mPlayer == nullptr)
                continue;
            if (now != board) {
                // A new level: the one before it was completed.
                if (board != nullptr && site == LAST_SITE && difficulty >= 0) {
                    result.cleared = true;
                    break;
                }
                board = now;
                site = mApp->mConfig != nullptr ? mApp->mConfig->GetLevel() : -1;
                lives = now->mPlayer->mLives;
                ++result.levels;
                result.lastSite = site;
                if (IsBossSite(site))
                    ++result.bossLevels;
            }
            // What the diver was doing before he was lost: a boss fight or the waves.
            const int phase = now->mPlayer->mState;
            if (phase != Player::EATEN && phase != Player::RISING && phase != Player::DESCENDING &&
                phase != Player::HIT_BY_SHOT)
            {
                if (phase == Player::BOSS_FIGHT && livePhase != phase && std::getenv("TUNELEVELS_TRACE"))
                    std::fprintf(stderr, "  boss fight at site %d, %d ft\n", site, now->mAbyssDepth);
                livePhase = phase;
            }
            if (now->mPlayer->mLives < lives) {
                ++result.deaths;
                if (livePhase == Player::BOSS_FIGHT)
                    ++result.bossDeaths;
            }
            lives = now->mPlayer->mLives;
            if (difficulty >= 0 && site == LAST_SITE && now->mPlayer->mState == Player::LEVEL_COMPLETE) {
                result.cleared = true;
                break;
            }
            if (difficulty < 0)
                result.depth = std::max(result.depth, now->mAbyssDepth);
        }
        if (std::getenv("TUNELEVELS_TRACE"))
            std::fprintf(stderr, "seed %d: cleared %d, %d levels, last site %d, %d deaths (%d in boss fights), %lld updates%s\n", seed,
                         result.cleared, result.levels, result.lastSite, result.deaths, result.bossDeaths, result.updates,
                         over || result.cleared ? "" : ", stopped at the time cap");
        if (!over) {
            result.timedOut = !result.cleared;
            if (mApp->mBoard != nullptr)
                result.score = mApp->mBoard->mPlayer->mScore;
            // The game ends as the menu's end-game question would end it.
            sim.SetOn(false);
            mApp->EndGame(false);
        }
        mApp->FlushWidgetDeletions();
        sim.mGameResult = nullptr;
        return result;
    }

    // Writes the configuration of one typist, which every run of the cell reads again.
    bool Configure(int difficulty, int wpm)
    {
        SimulationHarness& sim = Simulation();
        sim.CloseResultFiles();
        // The result files of a cell are not kept: they would grow without end.
        for (const auto& entry : std::filesystem::directory_iterator(mScratch))
            std::filesystem::remove(entry.path());
        std::ofstream(mScratch / SimulationHarness::CONFIG_FILE)
            << "1\n"
            << (difficulty >= 0 ? difficulty : 5) << "\n"
            << wpm << "\n"
            << mOptions.accuracy << "\n-1\n"
            << (difficulty >= 0 ? 1 : 0) << "\n-1\n";
        sim.SetFolder(mScratch.string());
        return sim.ReadSimulationConfig(false) == 0 && sim.IsOn() && sim.OpenResultFiles();
    }

    std::vector<GameResult> Cell(int difficulty, int wpm)
    {
        std::vector<GameResult> games;
        if (!Configure(difficulty, wpm)) {
            std::fprintf(stderr, "tunelevels: the simulation files in %s could not be made\n",
                         mScratch.string().c_str());
            return games;
        }
        for (int seed = 1; seed <= mOptions.games; ++seed) {
            games.push_back(Play(difficulty, wpm, seed));
            mUpdates += games.back().updates;
        }
        return games;
    }

    long long mUpdates = 0;

private:
    const Options& mOptions;
    std::filesystem::path mScratch;
    std::unique_ptr<QuietApp> mApp;
};

template <typename T>
T Median(std::vector<T> values)
{
    if (values.empty())
        return T();
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void PrintAdventureRow(int difficulty, int wpm, const std::vector<GameResult>& games)
{
    int cleared = 0, deaths = 0, levels = 0, bossLevels = 0, bossDeaths = 0, timedOut = 0;
    std::vector<int> reached, sites, scores;
    for (const GameResult& g : games) {
        cleared += g.cleared;
        timedOut += g.timedOut;
        deaths += g.deaths;
        levels += g.levels;
        bossLevels += g.bossLevels;
        bossDeaths += g.bossDeaths;
        reached.push_back(g.levels);
        sites.push_back(g.lastSite);
        scores.push_back(g.score);
    }
    // The sites where the games that did not clear the chart ended.
    std::string ends;
    for (const GameResult& g : games)
        if (!g.cleared)
            ends += (ends.empty() ? "" : ",") + std::to_string(g.lastSite);
    std::printf("%-8s %4d %7d/%-3zu %6d %9d %10.2f %7d/%-4d %10d  %s%s\n", NAMES[difficulty], wpm, cleared,
                games.size(), Median(reached), Median(sites), levels ? static_cast<double>(deaths) / levels : 0.0,
                bossDeaths, bossLevels, Median(scores), ends.c_str(), timedOut ? " (some games hit the time cap)" : "");
    std::fflush(stdout);
}

void PrintAbyssRow(int wpm, const std::vector<GameResult>& games)
{
    std::vector<int> depths, scores;
    int timedOut = 0;
    for (const GameResult& g : games) {
        depths.push_back(g.depth);
        scores.push_back(g.score);
        timedOut += g.timedOut;
    }
    std::printf("abyss    %4d %10d %8d %8d %10d %s\n", wpm, Median(depths), *std::min_element(depths.begin(), depths.end()),
                *std::max_element(depths.begin(), depths.end()), Median(scores),
                timedOut ? "(some games hit the time cap)" : "");
    std::fflush(stdout);
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    if (argc < 2)
        return false;
    options.gameDir = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--games" && hasValue)
            options.games = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--accuracy" && hasValue)
            options.accuracy = std::atoi(argv[++i]);
        else if (arg == "--difficulty" && hasValue)
            options.difficulty = std::atoi(argv[++i]);
        else if (arg == "--wpm" && hasValue)
            options.wpm = ParseList(argv[++i]);
        else if (arg == "--abyss-wpm" && hasValue)
            options.abyssWpm = ParseList(argv[++i]);
        else if (arg == "--minutes" && hasValue)
            options.minutes = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--no-abyss")
            options.abyss = false;
        else if (arg == "--no-adventure")
            options.adventure = false;
        else
            return false;
    }
    for (int wpm : options.wpm)
        if (wpm <= 0)
            return false;
    for (int wpm : options.abyssWpm)
        if (wpm <= 0)
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: tunelevels GAMEDIR [--games N] [--accuracy P] [--difficulty D] [--wpm W,...]\n"
                             "                  [--abyss-wpm W,...] [--no-abyss] [--no-adventure] [--minutes M]\n");
        return 2;
    }
    std::error_code error;
    std::filesystem::current_path(options.gameDir, error);
    if (error) {
        std::fprintf(stderr, "tunelevels: cannot enter %s\n", options.gameDir.c_str());
        return 1;
    }
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("plindor-tunelevels-" + std::to_string(getpid()));
    std::filesystem::create_directories(scratch);

    Tuner tuner(options, scratch);
    if (!tuner.Load()) {
        std::fprintf(stderr, "tunelevels: the game's files did not load from %s\n", options.gameDir.c_str());
        std::filesystem::remove_all(scratch);
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    std::printf("%d games a row, %d %% accuracy, seeds 1..%d\n", options.games, options.accuracy, options.games);
    if (options.adventure) {
        std::printf("\ndiff      wpm   last site  median:lvl  site  deaths/lvl  boss fight deaths/boss levels  score  lost at sites\n");
        for (int d = 0; d < 5; ++d) {
            if (options.difficulty >= 0 && d != options.difficulty)
                continue;
            const std::vector<int> speeds =
                options.wpm.empty() ? std::vector<int>{TARGET_WPM[d] / 2, TARGET_WPM[d]} : options.wpm;
            for (int wpm : speeds)
                PrintAdventureRow(d, wpm, tuner.Cell(d, wpm));
        }
    }
    if (options.abyss) {
        std::printf("\nmode      wpm   median ft   min ft   max ft      score\n");
        for (int wpm : options.abyssWpm)
            PrintAbyssRow(wpm, tuner.Cell(-1, wpm));
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("\n%lld updates in %.1f s: %.0f updates a second, %.0f times real time\n", tuner.mUpdates, seconds,
                tuner.mUpdates / seconds, tuner.mUpdates / seconds / UPDATES_PER_SECOND);
    Simulation().Reset();
    std::filesystem::remove_all(scratch);
    return 0;
}
