// Mixing 32 effect channels into one second of 44.1 kHz 16-bit stereo: our mixer
// (volume, pan, status and saturation included) against SDL's SDL_MixAudioFormat
// summing the same 32 buffers at a fixed volume. The limiting case plays them loud
// enough that the limiter works on every block.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/audio/AudioDevice.h"

namespace {

constexpr int kVoices = 32;
constexpr uint32_t kFrames = 44100;

std::vector<int16_t> Tone(int voice, double amplitude = 1000)
{
    std::vector<int16_t> pcm(kFrames * 2);
    for (uint32_t i = 0; i < kFrames; ++i) {
        auto v = static_cast<int16_t>(amplitude * std::sin(0.01 * (voice + 1) * i));
        pcm[2 * i] = v;
        pcm[2 * i + 1] = static_cast<int16_t>(-v);
    }
    return pcm;
}

void Mix32(benchmark::State& state, double amplitude, long volume)
{
    Platform::OfflineAudioDevice device;
    std::vector<std::unique_ptr<Platform::SoundBuffer>> voices;
    for (int v = 0; v < kVoices; ++v) {
        std::vector<int16_t> pcm = Tone(v, amplitude);
        std::unique_ptr<Platform::SoundBuffer> buffer;
        device.CreateSoundBuffer(Platform::MakePcmFormat(2, 44100, 16), kFrames * 4, buffer);
        void* data;
        uint32_t size;
        buffer->Lock(&data, &size);
        std::memcpy(data, pcm.data(), size);
        buffer->Unlock();
        buffer->SetVolume(volume);
        buffer->SetPan((v % 5 - 2) * 1000);
        buffer->Play(true);
        voices.push_back(std::move(buffer));
    }
    std::vector<int16_t> out(kFrames * 2);
    for (auto _ : state) {
        device.GetMixer()->Render(out.data(), kFrames); // in 1024-frame blocks, as the device pulls
        benchmark::DoNotOptimize(out.data());
    }
}

void Mix32Ours(benchmark::State& state) { Mix32(state, 1000, -600); }
void Mix32LimitingOurs(benchmark::State& state) { Mix32(state, 8000, 0); }

void Mix32Sdl(benchmark::State& state)
{
    std::vector<std::vector<int16_t>> voices;
    for (int v = 0; v < kVoices; ++v)
        voices.push_back(Tone(v));
    std::vector<int16_t> out(kFrames * 2);
    for (auto _ : state) {
        std::memset(out.data(), 0, out.size() * 2);
        for (const auto& pcm : voices)
            SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data()), reinterpret_cast<const Uint8*>(pcm.data()),
                               AUDIO_S16SYS, kFrames * 4, 64);
        benchmark::DoNotOptimize(out.data());
    }
}

} // namespace

BENCHMARK(Mix32Ours)->Name("Mix32/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Mix32LimitingOurs)->Name("Mix32Limiting/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Mix32Sdl)->Name("Mix32/sdl")->Unit(benchmark::kMillisecond);
