// Loading memory at the end of the process. When the X server goes, Xlib's handler
// calls exit(1) on the main thread while the audio thread still mixes sound effects
// whose samples lie in the loading's range: the exit handlers must leave that memory
// readable for as long as any thread lives.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "platform/Heap.h"
#include "platform/audio/AudioDevice.h"

namespace {

constexpr size_t MB = size_t(1) << 20;

std::atomic<bool> gWatchExit{false};
std::atomic<uint64_t> gBlocksMixed{0};

// Destroyed after every object of default priority, the loading memory's own among
// them: by then the exit handlers have run. It lets the mixing thread go on for a
// while, as a thread on another core does, before the process ends.
struct AfterExitHandlers {
    ~AfterExitHandlers()
    {
        if (!gWatchExit.load())
            return;
        const uint64_t before = gBlocksMixed.load();
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (gBlocksMixed.load() < before + 20 && std::chrono::steady_clock::now() < end)
            std::this_thread::yield();
    }
};
__attribute__((init_priority(200))) AfterExitHandlers gAfterExitHandlers;

} // namespace

TEST(LoadingMemoryAtExit, TheMainThreadExitingWhileASoundOfTheLoadingIsMixedEndsWithItsOwnCode)
{
    EXPECT_EXIT(
        {
            Platform::OfflineAudioDevice device;
            const Platform::WaveFormat format = Platform::MakePcmFormat(1, 22050, 16);
            if (!Platform::BeginLoadingMemory(16 * MB))
                std::_Exit(3); // no range here: the case would prove nothing
            std::unique_ptr<Platform::SoundBuffer> sound;
            if (device.CreateSoundBuffer(format, 2 * MB, sound) != Platform::AUDIO_OK)
                std::_Exit(4);
            void* samples = nullptr;
            uint32_t size = 0;
            if (sound->Lock(&samples, &size) != Platform::AUDIO_OK)
                std::_Exit(5);
            for (uint32_t i = 0; i < size / 2; ++i)
                static_cast<int16_t*>(samples)[i] = int16_t(i % 2 == 0 ? 8000 : -8000);
            sound->Unlock();
            Platform::EndLoadingMemory(); // the range is closed, its block still used

            std::unique_ptr<Platform::SoundBuffer> playing;
            if (device.DuplicateSoundBuffer(*sound, playing) != Platform::AUDIO_OK ||
                playing->Play(true) != Platform::AUDIO_OK)
                std::_Exit(6);
            // The audio thread: mixes the looping sound for as long as the process lives.
            std::thread([&device] {
                for (;;) {
                    device.Render(256);
                    gBlocksMixed.fetch_add(1);
                }
            }).detach();
            while (gBlocksMixed.load() < 20)
                std::this_thread::yield();
            gWatchExit.store(true);
            std::exit(1); // as Xlib's I/O error handler does
        },
        // A sanitizer that caught the fault ends with code 1 too, and says so.
        testing::ExitedWithCode(1), testing::Not(testing::HasSubstr("Sanitizer")));
}
