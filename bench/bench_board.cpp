// The cost of one busy frame of a level drawn in software with the program's own art
// and fonts: the sea, 40 sharks with words (one being typed), the diver, the header
// and the status bar. Goal: 0.5 ms a frame.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/BusyBoard.h"
#include "bench/ProgramFolder.h"
#include "framework/graphics/MemoryImage.h"

using namespace Zant;

namespace {

void BM_BusyBoardFrame(benchmark::State& state)
{
    const Bench::ProgramFolder folder(state);
    if (!folder.Ready())
        return;
    auto app = std::make_unique<Bench::QuietApp>();
    BusyBoard::Scene scene;
    std::string error;
    if (!BusyBoard::LoadArt(*app, error) || !scene.Build(*app, 40, 0, error)) {
        state.SkipWithError(error.c_str());
    } else {
        // The plain sea in one copy, as the goal was set for.
        scene.board->SetWaterEffect(false);
        scene.board->mBackLayer[0].mY = 0.0;
        scene.board->mBackLayer[1].mY = scene.board->mBackTileHeight;
        MemoryImage screen;
        screen.Create(640, 480);
        for (auto _ : state) {
            scene.Draw(&screen);
            benchmark::ClobberMemory();
        }
    }
    scene.Release();
}
BENCHMARK(BM_BusyBoardFrame)->Name("BusyBoardFrame/ours")->Unit(benchmark::kMicrosecond);

} // namespace
