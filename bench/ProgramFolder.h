#pragma once
// What a benchmark of the game needs around it: the program folder (Bench::GameDir)
// as the working folder, so the game's relative paths find the art,
// and the game's generator seeded as a game starts. Both are put back when the
// object goes, also when the benchmark gives up half way.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <optional>

#include "bench/BusyBoard.h"
#include "bench/GameDir.h"
#include "framework/util/MersenneTwister.h"

namespace Bench {

using QuietApp = BusyBoard::QuietApp;

class ProgramFolder {
public:
    // Skips the benchmark (Ready() false) when the folder has no art.
    explicit ProgramFolder(benchmark::State& state, uint32_t seed = 2026)
    {
        const std::filesystem::path gameDir = GameDir();
        if (!std::filesystem::exists(gameDir / "images" / "diver_idle.png")) {
            state.SkipWithError("art not found: set PLINDOR_GAME_DIR to the program folder");
            return;
        }
        mOldDir = std::filesystem::current_path();
        std::filesystem::current_path(gameDir);
        delete Zant::gGameRandom;
        Zant::gGameRandom = new Zant::MersenneTwister(seed);
    }
    ~ProgramFolder()
    {
        if (!mOldDir)
            return;
        delete Zant::gGameRandom;
        Zant::gGameRandom = nullptr;
        std::filesystem::current_path(*mOldDir);
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    bool Ready() const { return mOldDir.has_value(); }

private:
    std::optional<std::filesystem::path> mOldDir;
};

} // namespace Bench
