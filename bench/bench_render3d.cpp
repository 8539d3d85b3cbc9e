// A busy play-field frame of the game's art drawn and presented through the 2D
// display and through the 3D renderer (run under Xvfb for Mesa's GL; without a
// display the dummy video driver and SDL's software renderer stand in). The art
// comes from the program folder: PLINDOR_GAME_DIR, else build/rel/game.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdlib>
#include <memory>

#include "bench/BusyFrame.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/ImageRegistry.h"
#include "platform/display/SdlScreen.h"

namespace {

class Registry : public Zant::ImageRegistry {
public:
    void AddImage(Zant::MemoryImage*) override {}
    void ForgetImage(Zant::MemoryImage* image) override { display->DropImageTextures(image); }
    Zant::DDInterface* display = nullptr;
};

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
        const char* dir = getenv("PLINDOR_GAME_DIR");
        if (dd.Init(window, true) != 0 || dd.mIs3D != is3D) {
            state.SkipWithError(("display: " + dd.mErrorString).c_str());
        } else if (!art.Load(dir ? dir : "build/rel/game", &registry, error)) {
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

void BM_Busy2D(benchmark::State& state) { BusyFrames(state, false); }
void BM_Busy3D(benchmark::State& state) { BusyFrames(state, true); }
BENCHMARK(BM_Busy2D)->Name("BusyFrame/2d")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Busy3D)->Name("BusyFrame/3d")->Unit(benchmark::kMillisecond);

} // namespace
