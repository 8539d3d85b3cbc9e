// Simulated play as fast as the machine allows: a level of the shipped Easy file played
// by the simulated typist (60 words a minute, 95 % accurate) through the board's own
// update, with no window, no sound and no pacing. A real game runs 100 updates a
// second, so updates per second / 100 is the multiple of real time. Goal: 500 times.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/ProgramFolder.h"
#include "framework/graphics/ImageFont.h"
#include "framework/widgets/WidgetManager.h"
#include "game/play/Board.h"
#include "game/common/Config.h"
#include "game/play/Player.h"
#include "game/common/Simulation.h"
#include "game/shell/SimulationRunner.h"
#include "game/shell/WinBTApp.h"

using namespace Zant;

namespace {

void BM_SimulatedUpdates(benchmark::State& state)
{
    const Bench::ProgramFolder folder(state);
    if (!folder.Ready())
        return;
    auto app = std::make_unique<Bench::QuietApp>();
    app->mWidgetManager = new WidgetManager(app.get());
    if (!app->LoadImageOrDie() || !app->mWordLists.LoadWordLengthLists() || !app->mWordLists.LoadDifficultyWords() ||
        !app->mWordLists.LoadThemes()) {
        state.SkipWithError("the images or words did not load");
        return;
    }
    app->BuildDerivedImages();
    app->mFontMyriad12Bold = new ImageFont(app.get(), "data/MyriadCondensedWeb12Bold.txt");
    app->mFontMyriad14Bold = new ImageFont(app.get(), "data/MyriadCondensedWeb14Bold.txt");
    app->mFontMyriad15 = new ImageFont(app.get(), "data/MyriadCondensedWeb15.txt");
    app->mFontMyriad15b = new ImageFont(app.get(), "data/MyriadCondensedWeb15.txt");
    app->mFontCourier15Bold = new ImageFont(app.get(), "data/CourierFinalDraft15Bold.txt");
    app->mFontGillSans10Bold = new ImageFont(app.get(), "data/GillSansMT10Bold.txt");
    app->mFont12pt = new ImageFont(app.get(), "data/12ptfont.txt");
    app->mHintsOn = false;

    // The result files go to a scratch folder of this run's own; writing them is part
    // of the cost.
    std::string scratch = (std::filesystem::temp_directory_path() / "plindor-bench-simulation-XXXXXX").string();
    if (mkdtemp(scratch.data()) == nullptr) {
        state.SkipWithError("no scratch folder for the result files");
        return;
    }
    const std::filesystem::path results = scratch;
    SimulationHarness& sim = Simulation();
    sim.SetFolder(results.string());
    sim.ParseConfig("1\n0\n60\n95\n-1\n1\n-1\n", "bench", false);
    if (!sim.OpenResultFiles()) {
        state.SkipWithError(sim.mError.c_str());
        std::filesystem::remove_all(results);
        return;
    }
    sim.NextSimulationConfig();

    int64_t updates = 0;
    int levels = 0, completed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        delete app->mBoard;
        app->mBoard = nullptr;
        delete app->mConfig;
        app->mConfig = new Config(app.get());
        app->mDifficulty = 0;
        if (app->mConfig->Load(0) != 0) {
            state.SkipWithError("the Easy level file did not load");
            break;
        }
        app->mConfig->ResetWaves(levels % 4);
        auto* board = new Board(app.get());
        app->mBoard = board;
        board->Resize(0, 0, 640, 480);
        board->StartLevel(app->mConfig);
        app->mWidgetManager->AddWidget(board);
        state.ResumeTiming();

        const SimulatedLevel level = PlaySimulatedLevel(*app, 100 * 60 * 10);
        updates += level.updates;
        completed += level.completed;
        ++levels;

        state.PauseTiming();
        // A finished level went on to the map's next site, which replaced the board.
        DropReplacedBoard(*app, board);
        if (board != nullptr)
            app->mWidgetManager->RemoveWidget(board);
        state.ResumeTiming();
    }
    state.counters["updates_per_s"] = benchmark::Counter(static_cast<double>(updates), benchmark::Counter::kIsRate);
    state.counters["x_real_time"] =
        benchmark::Counter(static_cast<double>(updates) / 100.0, benchmark::Counter::kIsRate);
    state.counters["levels_completed"] = completed;
    state.counters["levels"] = levels;
    state.counters["updates_per_level"] = levels ? static_cast<double>(updates) / levels : 0.0;
    delete app->mBoard;
    app->mBoard = nullptr;
    sim.Reset();
    if (!std::getenv("PLINDOR_KEEP_RESULTS"))
        std::filesystem::remove_all(results);
    else
        std::fprintf(stderr, "result files kept in %s\n", results.c_str());
    app.reset();
}
BENCHMARK(BM_SimulatedUpdates)->Name("SimulatedUpdates/ours")->Unit(benchmark::kMillisecond)->Iterations(8);

} // namespace
