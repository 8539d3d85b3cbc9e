// End to end on SDL's disk audio driver: an effect and a module tune go through the
// one shared output into a file, which is then measured.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <SDL.h>

#include "framework/sound/BassMusicInterface.h"
#include "framework/sound/DSoundManager.h"
#include "framework/sound/SoundInstance.h"
#include "framework/sound/MusicLibraries.h"
#include "platform/audio/AudioOutput.h"
#include "tests/audio/AudioFixtures.h"
#include "tests/support/TestSupport.h"

using namespace Zant;
using namespace std::chrono_literals;

namespace {

// Frames written to the raw output so far (16-bit stereo).
size_t FramesWritten(const std::string& file)
{
    std::error_code ec;
    auto size = std::filesystem::file_size(file, ec);
    return ec ? 0 : static_cast<size_t>(size / 4);
}

void WaitForFrames(const std::string& file, size_t frames)
{
    for (int i = 0; i < 500 && FramesWritten(file) < frames; ++i)
        std::this_thread::sleep_for(10ms);
}

class DiskOutputTest : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        SetMusicLibraryFolder(TestSupport::GameDir());
    }
    void TearDown() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("SDL_DISKAUDIOFILE");
    }
    TestSupport::TempDir dir;
    std::string output = dir.File("out.raw");
};

} // namespace

TEST_F(DiskOutputTest, EffectAndCrossFadedTunesReachTheOutput)
{
    TestSupport::WriteFile(dir.File("beep.wav"),
                           AudioFixtures::MakeWav(1, 44100, 16, AudioFixtures::Sine16(8820, 44100, 1000, 16000)));
    TestSupport::WriteFile(dir.File("tune.xm"), AudioFixtures::MakeTestModule());
    size_t musicStart = 0, fadeStart = 0, fadeEnd = 0;
    {
        int window = 0;
        DSoundManager sounds(&window, false);
        ASSERT_TRUE(sounds.Initialized());
        ASSERT_TRUE(sounds.LoadSoundFile(0, dir.File("beep")));
        BassMusicInterface music(&window);
        ASSERT_TRUE(music.LoadMusic(0, dir.File("tune.xm")));
        ASSERT_TRUE(music.LoadMusic(1, dir.File("tune.xm")));
        music.SetVolume(1.0);

        WaitForFrames(output, 2048);
        SoundInstance* beep = sounds.CreateChannel(0);
        ASSERT_TRUE(beep->Play(false, true));
        std::this_thread::sleep_for(400ms); // the 0.2 s effect plays out

        musicStart = FramesWritten(output);
        music.PlayMusic(0, 0, false);
        std::this_thread::sleep_for(500ms);

        // The game's cross-fade: the playing copy fades out, the other fades in elsewhere.
        fadeStart = FramesWritten(output);
        music.FadeOut(0, true, 0.05);
        music.FadeIn(1, 2, 0.05, false);
        for (int i = 0; i < 25; ++i) {
            music.Update();
            std::this_thread::sleep_for(10ms);
        }
        fadeEnd = FramesWritten(output);
        EXPECT_FALSE(music.IsPlaying(0));
        EXPECT_TRUE(music.IsPlaying(1));
        std::this_thread::sleep_for(600ms);
    }
    std::string raw = TestSupport::ReadFile(output);
    const auto* pcm = reinterpret_cast<const int16_t*>(raw.data());
    const size_t frames = raw.size() / 4;
    ASSERT_GT(frames, fadeEnd + 20000);

    // The effect: its first sound, then exactly 0.2 s of a 1 kHz tone at its own peak.
    size_t onset = 0;
    while (onset < musicStart && pcm[2 * onset] == 0 && pcm[2 * onset + 1] == 0)
        ++onset;
    ASSERT_LT(onset + 8820 + 4000, musicStart);
    EXPECT_NEAR(AudioFixtures::PeakOf(pcm + 2 * onset, 8820), 16000, 200);
    EXPECT_NEAR(AudioFixtures::ToneLevel(pcm + 2 * onset, 8820, 1, 1000), 16000, 400);
    EXPECT_EQ(AudioFixtures::PeakOf(pcm + 2 * (onset + 8821), 3000), 0); // played once, then silence

    // The first tune alone before the fade, the second alone after it.
    const size_t slack = 4096;
    const int16_t* before = pcm + 2 * (musicStart + slack);
    size_t beforeLen = fadeStart - musicStart - slack;
    EXPECT_GT(AudioFixtures::ToneLevel(before, beforeLen, 0, AudioFixtures::kToneA), 400);
    EXPECT_LT(AudioFixtures::ToneLevel(before, beforeLen, 0, AudioFixtures::kToneB), 40);
    const int16_t* after = pcm + 2 * (fadeEnd + slack);
    size_t afterLen = frames - fadeEnd - slack;
    EXPECT_GT(AudioFixtures::ToneLevel(after, afterLen, 0, AudioFixtures::kToneB), 400);
    EXPECT_LT(AudioFixtures::ToneLevel(after, afterLen, 0, AudioFixtures::kToneA), 40);
}

// Without a device, the sound manager and the music both ask for the output at
// start. Stopping SDL's audio after the first failure would make each of them wait
// for its device watcher; it stays started until an output opens and takes it over.
TEST_F(DiskOutputTest, AFailedOpenLeavesAudioStartedForTheNextAttempt)
{
    const uint32_t before = SDL_WasInit(SDL_INIT_AUDIO);
    setenv("SDL_DISKAUDIOFILE", dir.File("no-such-folder/out.raw").c_str(), 1);
    EXPECT_EQ(Platform::AudioOutput::Acquire(), nullptr);
    EXPECT_EQ(Platform::AudioOutput::Acquire(), nullptr);
    EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);

    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    std::shared_ptr<Platform::AudioOutput> opened = Platform::AudioOutput::Acquire();
    ASSERT_NE(opened, nullptr);
    WaitForFrames(output, 1024);
    EXPECT_GT(FramesWritten(output), 0u);
    // The last holder's release stops what the failed attempts started.
    opened.reset();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), before);
}
