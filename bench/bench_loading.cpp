// Loading every asset of the game as its loading thread does (music, fonts, word
// lists, level files, images with their derived copies, sounds), from the built
// program folder. Goals: the whole load under 0.5 s; resident memory once loaded
// under 100 MB (reported as the counter rss_MB).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/GameDir.h"
#include "framework/sound/BassMusicInterface.h"
#include "framework/sound/DSoundManager.h"
#include "framework/sound/MusicLibraries.h"
#include "framework/widgets/WidgetManager.h"
#include "framework/util/MersenneTwister.h"
#include "game/shell/WinBTApp.h"

namespace {

class BenchApp : public Zant::WinBTApp {
public:
    int64_t EstimateCpuMHz() override { return 2000; }
};

double ResidentMegabytes()
{
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (f == nullptr)
        return 0;
    char line[256];
    double kb = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmRSS:", 6) == 0)
            kb = std::atof(line + 6);
    std::fclose(f);
    return kb / 1024.0;
}

void LoadAllAssets(benchmark::State& state)
{
    const std::string folder = Bench::GameDir();
    if (chdir(folder.c_str()) != 0 || !std::filesystem::exists("images")) {
        state.SkipWithError(("no program folder at " + folder).c_str());
        return;
    }
    // The songs load through the shipped music library, as in the program.
    Zant::SetMusicLibraryFolder(folder);
    double rss = 0;
    for (auto _ : state) {
        auto app = std::make_unique<BenchApp>();
        app->mWidgetManager = new Zant::WidgetManager(app.get());
        app->mSoundManager = new Zant::DSoundManager(nullptr);
        app->mMusicInterface = new Zant::BassMusicInterface(app.get());
        app->mLoadingThreadStarted = true;
        Zant::ZantApp::LoadingThreadProc(app.get());
        if (app->GetImage(Zant::WinBTApp::NUM_LOADED_IMAGES - 1) == nullptr)
            state.SkipWithError("loading stopped early");
        state.PauseTiming();
        rss = std::max(rss, ResidentMegabytes());
        app.reset();
        state.ResumeTiming();
    }
    state.counters["rss_MB"] = rss;
    delete Zant::gGameRandom;
    Zant::gGameRandom = nullptr;
}

} // namespace

// The images decode on worker threads: the CPU time is the whole process's.
BENCHMARK(LoadAllAssets)
    ->Name("LoadAllAssets/ours")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
