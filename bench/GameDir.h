#pragma once
// The program folder a benchmark reads the game's files from: PLINDOR_GAME_DIR,
// else the one the build that made the benchmark fills, wherever it is run from.
#include <cstdlib>
#include <filesystem>
#include <string>

namespace Bench {

inline std::string GameDir()
{
    const char* dir = std::getenv("PLINDOR_GAME_DIR");
    return std::filesystem::absolute(dir != nullptr && *dir != '\0' ? dir : PLINDOR_BENCH_GAME_DIR).string();
}

} // namespace Bench
