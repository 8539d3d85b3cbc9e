// The cost of one busy frame of a level drawn in software with the program's own art
// and fonts: the sea, sharks with words (one being typed), the diver, the header and
// the status bar. Goal: 0.5 ms a frame. The frame is drawn into a free-standing
// MemoryImage and into the game's own screen image, the display image over the
// display's 32-bit surface that the running game draws into; the scaling case shows
// how the frame grows with the number of sharks on screen.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/BusyBoard.h"
#include "bench/ProgramFolder.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/display/FakeScreen.h"

using namespace Zant;

namespace {

enum class Target { MEMORY, SCREEN };

// The application's display on a stand-in screen (no window: presenting is measured
// by bench_present). Made before the art loads, so the images join the display as
// they do in the game.
bool OpenDisplay(WinBTApp& app, std::string& error)
{
    app.mDDInterface = new DDInterface(&app, std::make_unique<Platform::FakeScreen>());
    if (app.mDDInterface->Init(nullptr, true) != DDInterface::RESULT_OK) {
        error = "the display did not start: " + app.mDDInterface->mErrorString;
        return false;
    }
    return true;
}

void DrawFrames(benchmark::State& state, Target target, int sharks, bool water)
{
    const Bench::ProgramFolder folder(state);
    if (!folder.Ready())
        return;
    auto app = std::make_unique<Bench::QuietApp>();
    BusyBoard::Scene scene;
    std::string error;
    if ((target == Target::SCREEN && !OpenDisplay(*app, error)) || !BusyBoard::LoadArt(*app, error) ||
        !scene.Build(*app, sharks, 0, error)) {
        state.SkipWithError(error.c_str());
        scene.Release();
        return;
    }
    scene.board->SetWaterEffect(water);
    if (!water) {
        // The plain sea in one copy, as the goal was first set for.
        scene.board->mBackLayer[0].mY = 0.0;
        scene.board->mBackLayer[1].mY = scene.board->mBackTileHeight;
    }
    MemoryImage memory;
    memory.Create(640, 480);
    DDImage* screen = target == Target::SCREEN ? app->mDDInterface->GetScreenImage() : nullptr;
    if (screen != nullptr && !screen->HasSurface()) {
        state.SkipWithError("the screen image has no surface");
        scene.Release();
        return;
    }
    for (auto _ : state) {
        if (screen != nullptr) {
            // The widget manager's drawing pass holds the screen locked for the frame.
            screen->LockSurface();
            scene.Draw(screen);
            screen->UnlockSurface();
        } else {
            scene.Draw(&memory);
        }
        benchmark::ClobberMemory();
    }
    state.counters["sharks"] = sharks;
    scene.Release();
}

void BM_BusyBoardFrame(benchmark::State& state)
{
    DrawFrames(state, Target::MEMORY, 40, false);
}
BENCHMARK(BM_BusyBoardFrame)->Name("BusyBoardFrame/ours")->Unit(benchmark::kMicrosecond);

void BM_BusyBoardFrameWater(benchmark::State& state)
{
    DrawFrames(state, Target::MEMORY, 40, true);
}
BENCHMARK(BM_BusyBoardFrameWater)->Name("BusyBoardFrame/ours_water")->Unit(benchmark::kMicrosecond);

void BM_BusyBoardFrameScreen(benchmark::State& state)
{
    DrawFrames(state, Target::SCREEN, 40, true);
}
BENCHMARK(BM_BusyBoardFrameScreen)->Name("BusyBoardFrame/ours_screen")->Unit(benchmark::kMicrosecond);

void BM_BusyBoardSharks(benchmark::State& state)
{
    DrawFrames(state, Target::SCREEN, int(state.range(0)), true);
}
BENCHMARK(BM_BusyBoardSharks)
    ->Name("BusyBoardSharks/ours_screen")
    ->Arg(10)
    ->Arg(40)
    ->Arg(160)
    ->Unit(benchmark::kMicrosecond);

} // namespace
