// The software mixer behind sound buffers, rendered offline into memory.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/audio/AudioDevice.h"
#include "platform/audio/Mixer.h"
#include "tests/audio/AudioFixtures.h"

using namespace Platform;

namespace {

std::unique_ptr<SoundBuffer> MakeBuffer(AudioDevice& device, uint16_t channels, uint32_t rate, uint16_t bits,
                                        const std::string& pcm)
{
    std::unique_ptr<SoundBuffer> buffer;
    EXPECT_EQ(device.CreateSoundBuffer(MakePcmFormat(channels, rate, bits), static_cast<uint32_t>(pcm.size()), buffer),
              AUDIO_OK);
    void* data = nullptr;
    uint32_t size = 0;
    EXPECT_EQ(buffer->Lock(&data, &size), AUDIO_OK);
    std::memcpy(data, pcm.data(), size);
    EXPECT_EQ(buffer->Unlock(), AUDIO_OK);
    return buffer;
}

std::string Constant16(uint32_t frames, int16_t value) { return AudioFixtures::Le16Bytes(std::vector<int16_t>(frames, value)); }

// The next `frames` frames of the mix as they reach the output: the limiter's delay
// line first sends out what it held.
std::vector<int16_t> Heard(OfflineAudioDevice& device, uint32_t frames)
{
    const uint32_t latency = device.GetMixer()->Latency();
    auto out = device.Render(latency + frames);
    return std::vector<int16_t>(out.begin() + 2 * latency, out.end());
}

// Index of the last frame whose left or right sample is not zero, or -1.
long LastSound(const std::vector<int16_t>& out)
{
    for (long i = static_cast<long>(out.size() / 2) - 1; i >= 0; --i)
        if (out[2 * i] != 0 || out[2 * i + 1] != 0)
            return i;
    return -1;
}

} // namespace

struct GainCase {
    long volume;
    long pan;
    int left;
    int right;
};

class MixerGainTest : public testing::TestWithParam<GainCase> {};

// Volume in hundredths of a dB (gain 10^(v/2000)); pan attenuates the far side.
TEST_P(MixerGainTest, AppliesVolumeAndPanToAConstantSignal)
{
    const GainCase& c = GetParam();
    OfflineAudioDevice device;
    auto buffer = MakeBuffer(device, 1, 44100, 16, Constant16(2000, 10000));
    buffer->SetVolume(c.volume);
    buffer->SetPan(c.pan);
    ASSERT_EQ(buffer->Play(false), AUDIO_OK);
    auto out = Heard(device, 1000);
    for (size_t i = 0; i < 1000; i += 97) {
        EXPECT_NEAR(out[2 * i], c.left, 1) << "frame " << i;
        EXPECT_NEAR(out[2 * i + 1], c.right, 1) << "frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, MixerGainTest,
                         testing::Values(GainCase{0, 0, 10000, 10000}, GainCase{-2000, 0, 1000, 1000},
                                         GainCase{-600, 0, 5012, 5012}, GainCase{-10000, 0, 0, 0},
                                         GainCase{0, 10000, 0, 10000}, GainCase{0, -10000, 10000, 0},
                                         GainCase{0, 2000, 1000, 10000}, GainCase{-2000, -2000, 1000, 100},
                                         // out of range values are held at the limits
                                         GainCase{500, 0, 10000, 10000}, GainCase{-20000, 0, 0, 0},
                                         GainCase{0, 30000, 0, 10000}));

TEST(MixerTest, EightBitDataIsUnsignedWithSilenceAt128)
{
    OfflineAudioDevice device;
    auto silent = MakeBuffer(device, 1, 44100, 8, std::string(500, '\x80'));
    auto loud = MakeBuffer(device, 2, 44100, 8, std::string("\xC0\x40", 2) + std::string("\xC0\x40", 2));
    silent->Play(true);
    auto out = device.Render(400);
    EXPECT_EQ(AudioFixtures::PeakOf(out.data(), 400), 0);
    silent->Stop();
    loud->Play(true);
    out = Heard(device, 4);
    EXPECT_EQ(out[0], 64 * 256);
    EXPECT_EQ(out[1], -64 * 256);
}

TEST(MixerTest, HalfTheOutputRatePlaysTwiceAsLongAndThenStops)
{
    OfflineAudioDevice device(44100);
    auto buffer = MakeBuffer(device, 1, 22050, 16, Constant16(1000, 8000));
    ASSERT_EQ(buffer->Play(false), AUDIO_OK);
    auto out = Heard(device, 3000);
    EXPECT_NEAR(LastSound(out), 2000, 2);
    uint32_t status = 99;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(device.GetMixer()->PlayingVoices(), 0u);
}

TEST(MixerTest, FrequencyChangeResamplesAndOriginalRestoresTheDataRate)
{
    OfflineAudioDevice device(44100);
    auto buffer = MakeBuffer(device, 1, 44100, 16, Constant16(1000, 8000));
    buffer->SetFrequency(88200);
    uint32_t hz = 0;
    buffer->GetFrequency(&hz);
    EXPECT_EQ(hz, 88200u);
    buffer->Play(false);
    auto out = Heard(device, 2000);
    EXPECT_NEAR(LastSound(out), 500, 2);
    buffer->SetFrequency(kFrequencyOriginal);
    buffer->GetFrequency(&hz);
    EXPECT_EQ(hz, 44100u);
    buffer->SetFrequency(5);
    buffer->GetFrequency(&hz);
    EXPECT_EQ(hz, kFrequencyMin);
}

// A looping sound of whole sine periods, played at a rate that needs interpolation:
// the step between neighbouring output samples never exceeds the sine's own steepest
// step, so the join at the wrap makes no click.
TEST(MixerTest, LoopingBufferWrapsWithoutAClick)
{
    OfflineAudioDevice device(44100);
    const uint32_t frames = 400; // 4 periods of 100 frames
    auto buffer = MakeBuffer(device, 1, 32000, 16, AudioFixtures::Sine16(frames, 100, 1.0, 20000));
    buffer->Play(true);
    auto out = device.Render(5000);
    const double steepest = 20000 * 2 * M_PI / 100 * 32000.0 / 44100.0;
    int worst = 0;
    for (size_t i = 1; i < 5000; ++i)
        worst = std::max(worst, std::abs(out[2 * i] - out[2 * (i - 1)]));
    EXPECT_LE(worst, steepest + 2);
    EXPECT_GT(worst, steepest * 0.9); // and the signal really is there
    uint32_t status = 0;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, kStatusPlaying | kStatusLooping);
}

TEST(MixerTest, StopKeepsTheCursorAndPlayContinuesFromIt)
{
    OfflineAudioDevice device;
    std::vector<int16_t> ramp(2000);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<int16_t>(i);
    auto buffer = MakeBuffer(device, 1, 44100, 16, AudioFixtures::Le16Bytes(ramp));
    buffer->Play(false);
    device.Render(300);
    buffer->Stop();
    uint32_t cursor = 0;
    buffer->GetCurrentPosition(&cursor);
    EXPECT_EQ(cursor, 600u);
    buffer->Play(false);
    auto out = Heard(device, 1);
    EXPECT_EQ(out[0], 300);
    EXPECT_EQ(buffer->SetCurrentPosition(100000), DSERR_INVALIDPARAM);
}

// A buffer with a fade (here 441 frames) rises from silence, glides to a new
// volume, and stopped stops at once while what it played falls to silence in the
// mixer; started again at once, or destroyed, the same.
TEST(MixerTest, AFadedBufferRisesGlidesAndFallsWithoutAStep)
{
    OfflineAudioDevice device;
    const uint32_t latency = device.GetMixer()->Latency();
    auto buffer = MakeBuffer(device, 1, 44100, 16, Constant16(1000, 16000));
    ASSERT_EQ(buffer->SetFade(441), AUDIO_OK);
    EXPECT_EQ(buffer->GetFade(), 441u);
    std::vector<int16_t> all;
    const auto play = [&](uint32_t frames) {
        auto out = device.Render(frames);
        all.insert(all.end(), out.begin(), out.end());
    };
    buffer->Play(true);
    play(1000);
    buffer->SetVolume(kVolumeMin);
    play(1000);
    buffer->SetVolume(0);
    play(1000);
    buffer->Stop();
    uint32_t status = 99;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(device.GetMixer()->PlayingVoices(), 0u);
    play(1000);
    buffer->Play(true);
    play(1000);
    buffer->Stop();
    buffer->Play(true); // the fall and the rise cross
    play(1000);
    buffer.reset();
    play(1000 + latency);

    const auto at = [&](uint32_t frame) { return all[2 * (frame + latency)]; };
    const int heard[][2] = {{0, 16000 / 441}, {500, 16000}, {1500, 0}, {2500, 16000}, {3500, 0},
                            {4500, 16000}, {5000, 16000}, {5500, 16000}, {6500, 0}};
    for (const auto& [frame, level] : heard)
        EXPECT_NEAR(at(static_cast<uint32_t>(frame)), level, 1) << "frame " << frame;
    int worst = 0;
    for (size_t i = 2; i < all.size(); i += 2)
        worst = std::max(worst, std::abs(all[i] - all[i - 2]));
    EXPECT_LE(worst, 16000 / 441 + 2);
}

TEST(MixerTest, DuplicatesShareDataButPlayIndependently)
{
    OfflineAudioDevice device;
    auto source = MakeBuffer(device, 1, 44100, 16, Constant16(1000, 4000));
    source->SetVolume(-2000);
    std::unique_ptr<SoundBuffer> a, b;
    ASSERT_EQ(device.DuplicateSoundBuffer(*source, a), AUDIO_OK);
    ASSERT_EQ(device.DuplicateSoundBuffer(*source, b), AUDIO_OK);
    EXPECT_EQ(a->Data(), source->Data());
    EXPECT_EQ(a->GetVolume(), -2000);
    a->SetVolume(0);
    a->Play(false);
    device.Render(600);
    b->Play(false); // starts later, at full volume of its own (-2000)
    auto out = Heard(device, 600);
    EXPECT_NEAR(out[0], 4000 + 400, 1);     // both playing
    EXPECT_NEAR(out[2 * 500], 400, 1);      // a ended at frame 1000, b plays on
    source.reset();                          // the data outlives the buffer it came from
    out = Heard(device, 1000);
    EXPECT_NEAR(out[0], 400, 1);
}

// The sum is limited to -1 dBFS instead of wrapping or clipping. (Just after the
// jumps the limiter holds it lower: the waveform rebuilt around a jump overshoots.)
TEST(MixerTest, SumsAreLimitedInsteadOfWrapping)
{
    OfflineAudioDevice device;
    auto a = MakeBuffer(device, 1, 44100, 16, Constant16(100, 30000));
    auto b = MakeBuffer(device, 1, 44100, 16, Constant16(100, 30000));
    auto c = MakeBuffer(device, 1, 44100, 16, Constant16(100, -30000));
    a->Play(true);
    b->Play(true);
    auto out = Heard(device, 44100);
    EXPECT_LE(AudioFixtures::PeakOf(out.data(), 44100), PeakLimiter::kCeiling);
    EXPECT_NEAR(out[2 * 44099], PeakLimiter::kCeiling, 1);
    a->Stop();
    b->Stop();
    c->Play(true);
    auto d = MakeBuffer(device, 1, 44100, 16, Constant16(100, -30000));
    d->Play(true);
    out = Heard(device, 44100);
    EXPECT_LE(AudioFixtures::PeakOf(out.data(), 44100), PeakLimiter::kCeiling);
    EXPECT_LT(out[0], 0);
    EXPECT_NEAR(out[2 * 44099], -PeakLimiter::kCeiling, 1);
}

// Blocks are counted as the device asks for them; a block counts when the limiter
// turns any of it down: in the fall before a peak, over it, or in the release after.
TEST(MixerTest, CountsTheBlocksTheLimiterTurnsDown)
{
    OfflineAudioDevice device;
    Mixer& mixer = *device.GetMixer();
    auto quiet = MakeBuffer(device, 1, 44100, 16, Constant16(100, 20000));
    auto loud = MakeBuffer(device, 1, 44100, 16, Constant16(1500, 20000));
    quiet->Play(true);
    for (int i = 0; i < 10; ++i)
        device.Render(1024);
    EXPECT_EQ(mixer.GetLimiterActivity().blocks, 10u);
    EXPECT_EQ(mixer.GetLimiterActivity().limited, 0u);
    EXPECT_EQ(mixer.GetLimiterActivity().lowestGain, 1.0f);

    loud->Play(false); // a 40000 sum over one block and a half
    for (int i = 0; i < 60; ++i)
        device.Render(1024);
    const uint64_t limited = mixer.GetLimiterActivity().limited;
    EXPECT_EQ(mixer.GetLimiterActivity().blocks, 70u);
    // The pile-up's blocks, and the hold and release after it (half a second at most).
    EXPECT_GE(limited, 3u);
    EXPECT_LE(limited, 2u + 22u);
    // As deep as the ceiling needs of a 40000 sum, with the overshoot of its jumps.
    EXPECT_LT(mixer.GetLimiterActivity().lowestGain, PeakLimiter::kCeiling / 40000.0f + 0.01f);
    EXPECT_GT(mixer.GetLimiterActivity().lowestGain, 0.6f);
    for (int i = 0; i < 10; ++i)
        device.Render(1024);
    EXPECT_EQ(mixer.GetLimiterActivity().limited, limited) << "the gain has come back to 1";

    // The same pile-up under a lower wave-out volume stays under the ceiling, with the
    // ringing of its steps between the samples.
    SetWaveOutVolume(0.6);
    loud->Play(false);
    for (int i = 0; i < 10; ++i)
        device.Render(1024);
    SetWaveOutVolume(1.0);
    EXPECT_EQ(mixer.GetLimiterActivity().limited, limited);
}

TEST(MixerTest, WaveOutVolumeIsTheLastGainAndKeepsSixteenBitResolution)
{
    OfflineAudioDevice device;
    auto buffer = MakeBuffer(device, 1, 44100, 16, Constant16(100, 10000));
    buffer->Play(true);
    SetWaveOutVolume(0.5);
    EXPECT_NEAR(GetWaveOutVolume(), 0.5, 1.0 / 65535);
    EXPECT_NEAR(Heard(device, 4)[0], 5000, 1);
    SetWaveOutVolume(1234.0 / 65535);
    EXPECT_DOUBLE_EQ(GetWaveOutVolume(), 1234.0 / 65535);
    SetWaveOutVolume(1.0);
    EXPECT_EQ(Heard(device, 4)[0], 10000);
}

TEST(MixerTest, SourcesAreMixedWithTheVoices)
{
    OfflineAudioDevice device;
    auto buffer = MakeBuffer(device, 1, 44100, 16, Constant16(100, 1000));
    buffer->Play(true);
    auto source = [](int16_t* out, int frames, void*) {
        for (int i = 0; i < 2 * frames; ++i)
            out[i] = 250;
        return frames;
    };
    int id = device.GetMixer()->AddSource(source, nullptr);
    EXPECT_EQ(Heard(device, 2)[1], 1250);
    device.GetMixer()->RemoveSource(id);
    EXPECT_EQ(Heard(device, 2)[1], 1000);
}

TEST(MixerTest, BufferCreationRejectsWhatCannotPlay)
{
    OfflineAudioDevice device;
    std::unique_ptr<SoundBuffer> buffer;
    WaveFormat bad = MakePcmFormat(3, 44100, 16);
    EXPECT_EQ(device.CreateSoundBuffer(bad, 100, buffer), DSERR_BADFORMAT);
    EXPECT_EQ(device.CreateSoundBuffer(MakePcmFormat(1, 44100, 24), 100, buffer), DSERR_BADFORMAT);
    EXPECT_EQ(device.CreateSoundBuffer(MakePcmFormat(1, 44100, 16), 0, buffer), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer, nullptr);
    ASSERT_EQ(device.CreateSoundBuffer(MakePcmFormat(1, 44100, 8), 10, buffer), AUDIO_OK);
    void* p;
    uint32_t n;
    EXPECT_EQ(buffer->Unlock(), DSERR_INVALIDCALL);
    EXPECT_EQ(buffer->Lock(&p, &n), AUDIO_OK);
    EXPECT_EQ(buffer->Lock(&p, &n), DSERR_INVALIDCALL);
    EXPECT_EQ(static_cast<uint8_t*>(p)[9], 0x80); // 8-bit buffers start silent
}
