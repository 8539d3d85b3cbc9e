// Busy frames drawn and presented through the 2D display and through the 3D
// renderer (run under Xvfb for Mesa's GL; without a display the dummy video driver
// and SDL's software renderer stand in): a composed frame of the game's art, and a
// real level in play (the waving sea, 40 sharks with words, 8 piranhas, the diver,
// the header and the status bar) drawn by the board itself in a running
// application switched to 3D. The art comes from the program folder (Bench::GameDir).
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "bench/BusyBoard.h"
#include "bench/BusyFrame.h"
#include "bench/GameDir.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/ImageRegistry.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"
#include "platform/display/SdlScreen.h"

namespace {

class Registry : public Zant::ImageRegistry {
public:
    void AddImage(Zant::MemoryImage*) override {}
    void ForgetImage(Zant::MemoryImage* image) override { display->DropImageTextures(image); }
    Zant::DDInterface* display = nullptr;
};

// Taken once, absolute: the board's benchmarks make the program folder the working folder.
const std::string& GameDir()
{
    static const std::string dir = Bench::GameDir();
    return dir;
}

void BusyFrames(benchmark::State& state, bool is3D)
{
    if (!getenv("DISPLAY"))
        setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        state.SkipWithError("no SDL video");
        return;
    }
    SDL_Window* window = SDL_CreateWindow("bench", 0, 0, 640, 480, SDL_WINDOW_SHOWN);
    {
        Zant::DDInterface dd(nullptr, std::make_unique<Platform::SdlScreen>());
        Registry registry;
        registry.display = &dd;
        dd.mIs3D = is3D;
        BusyFrame::Art art;
        std::string error;
        if (dd.Init(window, true) != 0 || dd.mIs3D != is3D) {
            state.SkipWithError(("display: " + dd.mErrorString).c_str());
        } else if (!art.Load(GameDir(), &registry, error)) {
            state.SkipWithError(error.c_str());
        } else {
            int frame = 0;
            for (auto _ : state) {
                BusyFrame::Draw(dd.GetScreenImage(), art, frame++);
                if (!dd.Present(nullptr)) {
                    state.SkipWithError(dd.mErrorString.c_str());
                    break;
                }
            }
            state.SetItemsProcessed(state.iterations());
        }
        art.Release();
    }
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// One running application with the level on screen for the whole run: SDL's
// video, once stopped after a GL renderer, does not start again in the same
// process, and a player switches modes in a running game anyway.
struct BoardBench {
    Platform::FakeMessageBoxService boxes;
    Platform::SdlWindowSystem windows;
    std::unique_ptr<BusyBoard::QuietApp> app;
    BusyBoard::Scene scene;
    std::string error; // why the board cannot be drawn
};

BoardBench& TheBoardBench()
{
    static BoardBench* bench = [] {
        auto* b = new BoardBench();
        if (!getenv("DISPLAY"))
            setenv("SDL_VIDEODRIVER", "dummy", 0);
        const std::string gameDir = GameDir();
        if (!std::filesystem::exists(gameDir + "/images/water1.png")) {
            b->error = "art not found: set PLINDOR_GAME_DIR to the program folder";
            return b;
        }
        if (!b->windows.InitVideo(b->error)) {
            b->error = "no SDL video: " + b->error;
            return b;
        }
        Platform::SetMessageBoxes(&b->boxes);
        // The program folder stays the working folder: the display reloads from it.
        std::filesystem::current_path(gameDir);
        Zant::gGameRandom = new Zant::MersenneTwister(2026);
        b->app = std::make_unique<BusyBoard::QuietApp>();
        b->app->SetWindowSystem(&b->windows);
        b->app->mWidgetManager = new Zant::WidgetManager(b->app.get());
        b->app->mLoadingThreadCompleted = true;
        b->app->CreateMainWindow();
        if (b->app->mDDInterface == nullptr || !b->app->mDDInterface->mInitialized)
            b->error = "no display";
        else if (BusyBoard::LoadArt(*b->app, b->error))
            b->scene.Build(*b->app, 40, 8, b->error);
        return b;
    }();
    return *bench;
}

// The board's frames with the waves moving on, so nothing of one frame serves the next.
void BoardFrames(benchmark::State& state, bool is3D)
{
    BoardBench& bench = TheBoardBench();
    if (!bench.error.empty()) {
        state.SkipWithError(bench.error.c_str());
        return;
    }
    bench.app->Set3DAcceleration(is3D, true);
    if (bench.app->Is3D() != is3D) {
        state.SkipWithError("3D could not be switched on");
        return;
    }
    Zant::DDInterface* dd = bench.app->mDDInterface;
    Zant::Board* board = bench.scene.board;
    for (auto _ : state) {
        ++board->mHalfTick;
        board->mQuarterTick = board->mHalfTick / 2;
        bench.scene.Draw(dd->GetScreenImage());
        if (!dd->Present(nullptr)) {
            state.SkipWithError(("present: " + dd->mErrorString).c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_Busy2D(benchmark::State& state) { BusyFrames(state, false); }
void BM_Busy3D(benchmark::State& state) { BusyFrames(state, true); }
BENCHMARK(BM_Busy2D)->Name("BusyFrame/2d")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Busy3D)->Name("BusyFrame/3d")->Unit(benchmark::kMillisecond);
void BM_Board2D(benchmark::State& state) { BoardFrames(state, false); }
void BM_Board3D(benchmark::State& state) { BoardFrames(state, true); }
BENCHMARK(BM_Board2D)->Name("BusyBoardFrame/2d")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Board3D)->Name("BusyBoardFrame/3d")->Unit(benchmark::kMillisecond);

} // namespace
