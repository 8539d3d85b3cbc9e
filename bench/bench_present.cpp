// Presenting a full 640x480 frame: the display's windowed present (software cursor
// drawn and restored, draw surface copied to the primary, the primary uploaded to a
// streaming texture and shown through the SDL renderer), against SDL alone doing
// only the upload and show. Without a display the dummy video driver and SDL's
// software renderer stand in.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "platform/display/SdlScreen.h"

namespace {

struct Video {
    Video()
    {
        if (!getenv("DISPLAY") && !getenv("WAYLAND_DISPLAY"))
            setenv("SDL_VIDEODRIVER", "dummy", 0);
        ok = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        if (ok)
            window = SDL_CreateWindow("bench", 0, 0, 640, 480, SDL_WINDOW_HIDDEN);
    }
    ~Video()
    {
        if (window)
            SDL_DestroyWindow(window);
        if (ok)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    bool ok = false;
    SDL_Window* window = nullptr;
};

void BM_PresentOurs(benchmark::State& state)
{
    Video video;
    if (!video.window) {
        state.SkipWithError("no SDL video");
        return;
    }
    Zant::DDInterface dd(nullptr, std::make_unique<Platform::SdlScreen>());
    if (dd.Init(video.window, true) != 0) {
        state.SkipWithError(dd.mErrorString.c_str());
        return;
    }
    Zant::Graphics g(dd.GetScreenImage());
    for (int i = 0; i < 16; ++i) {
        g.SetColor(Zant::Color(i * 16, 128, 255 - i * 16));
        g.FillRect(i * 40, 0, 40, 480);
    }
    std::unique_ptr<Zant::DDImage> cursor(new Zant::DDImage(&dd));
    std::vector<uint32_t> arrow(32 * 32, 0xC0FFFFFF);
    cursor->SetBits(arrow.data(), 32, 32);
    dd.SetCursorImage(cursor.get());
    dd.SetCursorPos(320, 240);
    for (auto _ : state) {
        if (!dd.Present(nullptr)) {
            state.SkipWithError(dd.mErrorString.c_str());
            break;
        }
    }
    dd.SetCursorImage(nullptr);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PresentOurs)->Name("Present/ours")->Unit(benchmark::kMicrosecond);

void BM_PresentSdl(benchmark::State& state)
{
    Video video;
    if (!video.window) {
        state.SkipWithError("no SDL video");
        return;
    }
    SDL_Renderer* renderer = SDL_CreateRenderer(video.window, -1, 0);
    SDL_Texture* texture =
        renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, 640, 480) : nullptr;
    if (!texture) {
        state.SkipWithError("no SDL renderer");
        if (renderer)
            SDL_DestroyRenderer(renderer);
        return;
    }
    std::vector<uint32_t> frame(640 * 480);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint32_t(i * 2654435761u);
    for (auto _ : state) {
        SDL_UpdateTexture(texture, nullptr, frame.data(), 640 * 4);
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        SDL_RenderPresent(renderer);
    }
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PresentSdl)->Name("Present/sdl")->Unit(benchmark::kMicrosecond);

} // namespace
