#pragma once
// The lifetime and the output frame both music libraries share: one engine a
// loaded library, made when it loads and freed when it is unloaded (the framework
// stops pulling output before it unloads the library), handles that are never 0,
// and the render call that sums every playing sound into one stereo mix.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/audio/PeakLimiter.h"
#include "tools/musiclib/Players.h"

namespace MusicLib {

// Engine needs a std::mutex lock, a std::vector<int32_t> acc (the mix sum), a
// StopTails tails (what stopped sounds still play) and a Platform::PeakLimiter limiter.
template <typename Engine>
class EngineHost {
public:
    // Null once the library is being unloaded.
    static Engine* Get() { return sEngine.load(); }
    // Called from the library's unload: takes the engine away under its lock, so
    // that no call holds it while it is freed.
    static void Free()
    {
        Engine* engine = sEngine.load();
        {
            std::lock_guard<std::mutex> guard(engine->lock);
            sEngine = nullptr;
        }
        delete engine;
    }

private:
    static inline std::atomic<Engine*> sEngine{new Engine()};
};

// The next handle of a counter: never 0, wrapping past the top.
inline uint32_t TakeHandle(uint32_t& next)
{
    const uint32_t handle = next++;
    if (next == 0)
        next = 1;
    return handle;
}

// Renders frames of stereo output: silence without an engine; otherwise, under the
// engine's lock, the sum is cleared, mix(engine) adds the sounds into engine.acc, the
// tails of sounds stopped at once are added and the sum goes through the limiter into out. Returns the frames written.
template <typename Engine, typename Mix>
int RenderMix(Engine* engine, int16_t* out, int frames, const Mix& mix)
{
    if (!out || frames <= 0)
        return 0;
    if (!engine) {
        std::fill(out, out + 2 * frames, int16_t{0});
        return frames;
    }
    Engine& e = *engine;
    std::lock_guard<std::mutex> guard(e.lock);
    if (e.acc.size() < static_cast<size_t>(frames) * 2)
        e.acc.resize(static_cast<size_t>(frames) * 2);
    std::fill(e.acc.begin(), e.acc.begin() + frames * 2, 0);
    mix(e);
    e.tails.MixInto(e.acc.data(), frames);
    e.limiter.Process(e.acc.data(), out, static_cast<uint32_t>(frames));
    return frames;
}

} // namespace MusicLib
