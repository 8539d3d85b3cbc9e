// Text drawing cost with the game's own fonts: one status-bar line with colour codes
// drawn onto an opaque 640x480 screen, and measuring it.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/GameDir.h"
#include "framework/graphics/FontHost.h"
#include "framework/graphics/FontMarkup.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/MemoryImage.h"

using namespace Zant;

namespace {

const char* const LINE = "^FFFFFF^LEVEL: ^C8C8C8^12     ^FFFFFF^48,210 ^C8C8C8^Points";

std::unique_ptr<ImageFont> LoadFont(const std::string& name)
{
    static SoftwareFontHost host;
    auto font = std::make_unique<ImageFont>(&host, Bench::GameDir() + "/data/" + name);
    return font->IsLoaded() ? std::move(font) : nullptr;
}

void DrawLine(benchmark::State& state, const std::string& fontName)
{
    auto font = LoadFont(fontName);
    if (!font) {
        state.SkipWithError("font not found: set PLINDOR_GAME_DIR to the program folder");
        return;
    }
    MemoryImage screen;
    screen.Create(640, 480);
    uint32_t* bits = screen.GetBits();
    for (int i = 0; i < 640 * 480; ++i)
        bits[i] = 0xFF0B1E3A;
    screen.BitsChanged();
    Graphics g(&screen);
    g.SetFont(font.get());
    for (auto _ : state) {
        g.SetColor(Color::White);
        benchmark::DoNotOptimize(WriteMarkupString(g, LINE, 2, 20, true, true));
    }
}

void BM_DrawString_Plain(benchmark::State& state)
{
    DrawLine(state, "Rockwell13Bold.txt");
}
BENCHMARK(BM_DrawString_Plain)->Name("DrawStringPlain/ours");

void BM_DrawString_Glow(benchmark::State& state)
{
    DrawLine(state, "MyriadCondensedWeb28BoldGL.txt");
}
BENCHMARK(BM_DrawString_Glow)->Name("DrawStringGlow/ours");

void BM_StringWidth(benchmark::State& state)
{
    auto font = LoadFont("Rockwell13Bold.txt");
    if (!font) {
        state.SkipWithError("font not found: set PLINDOR_GAME_DIR to the program folder");
        return;
    }
    std::string text = "You are in uncharted and deadly waters. Each new level will be more ferocious.";
    for (auto _ : state)
        benchmark::DoNotOptimize(font->StringWidth(text));
}
BENCHMARK(BM_StringWidth)->Name("StringWidth/ours");

} // namespace
