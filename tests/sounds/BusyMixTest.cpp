// The busiest mixes the game makes, rendered from the program folder's own sounds
// and music through the real mixer, its limiter and the music library: however
// the effects pile up over a tune, no sample reaches full scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "framework/sound/DSoundManager.h"
#include "framework/sound/MusicLibraries.h"
#include "framework/sound/SoundInstance.h"
#include "platform/audio/AudioDevice.h"
#include "platform/audio/Mixer.h"
#include "platform/audio/PeakLimiter.h"
#include "platform/audio/SharedLibrary.h"
#include "tests/support/MusicLibraryHarness.h"
#include "tests/support/TestSupport.h"

using namespace Zant;

namespace {

constexpr uint32_t kRate = 44100;
constexpr double kDefaultVolume = 0.85; // the game's default music and effect volumes

struct Cue {
    const char* sound;
    double at; // seconds after the mix starts
};

struct BusyMix {
    const char* what;
    int tune;           // order position in the module, -1 for none
    double volume;      // master volume of the effects and of the music
    std::vector<Cue> cues;
};

void PrintTo(const BusyMix& mix, std::ostream* os) { *os << mix.what; }

class BusyMixTest : public testing::TestWithParam<BusyMix> {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(TestSupport::StartMusicLibrary(library, api, render, kRate));
        auto device = std::make_unique<Platform::OfflineAudioDevice>(kRate);
        offline = device.get();
        manager = std::make_unique<DSoundManager>(std::move(device));
    }
    void TearDown() override
    {
        manager.reset();
        if (api.BASS_Free)
            api.BASS_Free();
    }

    Platform::SharedLibrary library;
    BassApi api{};
    MusicRenderFn render = nullptr;
    Platform::OfflineAudioDevice* offline = nullptr;
    std::unique_ptr<DSoundManager> manager;
};

int PullMusic(int16_t* out, int frames, void* user) { return reinterpret_cast<MusicRenderFn>(user)(out, frames); }

} // namespace

TEST_P(BusyMixTest, NoSampleReachesFullScale)
{
    const BusyMix& mix = GetParam();
    if (mix.tune >= 0) {
        const std::string module = TestSupport::GameDir() + "/music/Brinetun.mo3";
        uint32_t music = api.BASS_MusicLoad(0, module.c_str(), 0, 0, BASS_MUSIC_LOOP);
        ASSERT_NE(music, 0u) << module;
        // The game sends 40 x its master volume as the library's global volumes.
        const int global = static_cast<int>(40 * mix.volume);
        api.BASS_SetGlobalVolumes(global, global, global);
        ASSERT_EQ(api.BASS_MusicPlayEx(music, static_cast<uint32_t>(mix.tune), BASS_MUSIC_LOOP, 1), 1);
        offline->GetMixer()->AddSource(&PullMusic, reinterpret_cast<void*>(render));
    }
    for (size_t i = 0; i < mix.cues.size(); ++i)
        ASSERT_TRUE(manager->LoadSoundFile(static_cast<unsigned>(i), TestSupport::GameDir() + "/sounds/" + mix.cues[i].sound))
            << mix.cues[i].sound;
    manager->SetVolume(mix.volume);

    // Several placements of the same cues, each later in the tune's bars.
    int peak = 0;
    double time = 0.0;
    for (double offset : {0.0, 0.37, 1.13, 2.71}) {
        std::vector<bool> started(mix.cues.size(), false);
        const double start = time;
        while (time < start + 3.0) {
            for (size_t i = 0; i < mix.cues.size(); ++i) {
                if (!started[i] && time >= start + offset + mix.cues[i].at) {
                    SoundInstance* sound = manager->CreateChannel(static_cast<unsigned>(i));
                    ASSERT_NE(sound, nullptr);
                    sound->Play(false, true);
                    started[i] = true;
                }
            }
            // The device pulls a few milliseconds at a time.
            auto out = offline->Render(441);
            for (int16_t s : out)
                peak = std::max(peak, std::abs(static_cast<int>(s)));
            time += 441.0 / kRate;
        }
        manager->ReleaseChannels();
    }
    EXPECT_LE(peak, Platform::PeakLimiter::kCeiling);
    EXPECT_GT(peak, 32768 / 4) << "the mix should be loud";
}

INSTANTIATE_TEST_SUITE_P(
    Mixes, BusyMixTest,
    testing::Values(
        BusyMix{"explosion, piranha death and a finished word over the boss tune", 48, kDefaultVolume,
                {{"explosion", 0.0}, {"piranhadies1", 0.01}, {"type", 0.02}, {"sharkdies", 0.02}}},
        BusyMix{"five effects at once at full volume over the boss tune", 48, 1.0,
                {{"explosion", 0.0}, {"playerdies", 0.0}, {"emp", 0.0}, {"torpedolaunch", 0.0}, {"sharkdies", 0.0}}},
        BusyMix{"the zapper over the danger tune", 37, kDefaultVolume, {{"emp", 0.0}, {"wrong", 0.05}}}),
    [](const testing::TestParamInfo<BusyMix>& info) { return std::to_string(info.index); });
