// Our music libraries, loaded as the game loads them and driven through their
// entry points, with their output pulled by hand.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>

#include "framework/sound/GameVolumes.h"
#include "framework/sound/MusicLibraries.h"
#include "framework/sound/SoundDecoders.h"
#include "platform/audio/PeakLimiter.h"
#include "platform/audio/VolumeLaw.h"
#include "tests/audio/AudioFixtures.h"
#include "tests/support/MusicLibraryHarness.h"
#include "tests/support/TestSupport.h"

using namespace Zant;
using AudioFixtures::kToneA;
using AudioFixtures::kToneB;
using AudioFixtures::kToneC;
using AudioFixtures::ToneLevel;

namespace {

constexpr uint32_t kRate = 44100;

class BassLibraryTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(TestSupport::StartMusicLibrary(library, api, render, kRate));
        api.BASS_SetGlobalVolumes(100, 100, 100);
        TestSupport::WriteFile(dir.File("tune.xm"), AudioFixtures::MakeTestModule());
    }
    void TearDown() override { api.BASS_Free(); }

    uint32_t LoadTune(uint32_t flags = BASS_MUSIC_LOOP)
    {
        return api.BASS_MusicLoad(0, dir.File("tune.xm").c_str(), 0, 0, flags);
    }
    std::vector<int16_t> Render(double seconds)
    {
        std::vector<int16_t> out(static_cast<size_t>(seconds * kRate) * 2);
        // Pull in device-sized blocks, as the audio thread does.
        for (size_t done = 0; done < out.size() / 2; done += 1024) {
            int n = static_cast<int>(std::min<size_t>(1024, out.size() / 2 - done));
            EXPECT_EQ(render(out.data() + 2 * done, n), n);
        }
        return out;
    }
    static double Level(const std::vector<int16_t>& s, double hz) { return ToneLevel(s.data(), s.size() / 2, 0, hz); }

    TestSupport::TempDir dir;
    Platform::SharedLibrary library;
    BassApi api{};
    MusicRenderFn render = nullptr;
};

} // namespace

TEST_F(BassLibraryTest, OrderPositionsChooseTheSectionAndLoopingStaysInIt)
{
    uint32_t music = LoadTune();
    ASSERT_NE(music, 0u);
    EXPECT_EQ(api.BASS_ChannelIsActive(music), BASS_ACTIVE_STOPPED); // loaded stopped
    ASSERT_EQ(api.BASS_MusicPlayEx(music, 2, BASS_MUSIC_LOOP, 1), 1);
    Render(6.0); // a dozen passes through the two-pattern section
    auto tail = Render(0.5);
    EXPECT_EQ(api.BASS_ChannelIsActive(music), BASS_ACTIVE_PLAYING);
    EXPECT_GT(Level(tail, kToneB), 1000);
    EXPECT_LT(Level(tail, kToneA), Level(tail, kToneB) / 20);
    EXPECT_LT(Level(tail, kToneC), Level(tail, kToneB) / 20);
    EXPECT_EQ(api.BASS_MusicPlayEx(music, 6, 0, 1), 0); // past the order list
}

TEST_F(BassLibraryTest, PlayOnceEndsAtTheSectionsLoopBack)
{
    uint32_t music = LoadTune();
    ASSERT_EQ(api.BASS_MusicPlayEx(music, 4, 0, 1), 1);
    auto first = Render(0.5);
    EXPECT_GT(Level(first, kToneC), 1000);
    EXPECT_EQ(api.BASS_ChannelIsActive(music), BASS_ACTIVE_PLAYING);
    Render(1.0); // the section is 0.96 s long
    EXPECT_EQ(api.BASS_ChannelIsActive(music), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(AudioFixtures::PeakOf(Render(0.1).data(), 4410), 0);
    // Playing again from a position starts it afresh.
    ASSERT_EQ(api.BASS_MusicPlayEx(music, 0, 0, 1), 1);
    EXPECT_GT(Level(Render(0.3), kToneA), 1000);
}

TEST_F(BassLibraryTest, PauseResumeAndStopKeepThePosition)
{
    uint32_t music = LoadTune();
    ASSERT_EQ(api.BASS_MusicPlayEx(music, 2, BASS_MUSIC_LOOP, 1), 1);
    Render(0.2);
    EXPECT_EQ(api.BASS_ChannelResume(music), 0); // only a paused channel resumes
    ASSERT_EQ(api.BASS_ChannelPause(music), 1);
    EXPECT_EQ(api.BASS_ChannelIsActive(music), BASS_ACTIVE_PAUSED);
    // Silent once the limiter's delay line has sent out what it held.
    const size_t latency = Platform::PeakLimiter(kRate).Latency();
    EXPECT_EQ(AudioFixtures::PeakOf(Render(0.2).data() + 2 * latency, 8820 - latency), 0);
    ASSERT_EQ(api.BASS_ChannelResume(music), 1);
    EXPECT_EQ(api.BASS_ChannelIsActive(music), BASS_ACTIVE_PLAYING);
    ASSERT_EQ(api.BASS_ChannelStop(music), 1);
    EXPECT_EQ(api.BASS_ChannelIsActive(music), BASS_ACTIVE_STOPPED);
    ASSERT_EQ(api.BASS_MusicPlay(music), 1); // resumes in section B, not from order 0
    EXPECT_GT(Level(Render(0.3), kToneB), 1000);

    uint32_t fresh = LoadTune();
    ASSERT_EQ(api.BASS_MusicPlay(fresh), 1); // never played: from the start
    api.BASS_ChannelStop(music);
    EXPECT_GT(Level(Render(0.3), kToneA), 1000);
}

TEST_F(BassLibraryTest, TwoHandlesOfOneFilePlayIndependently)
{
    uint32_t first = LoadTune(), second = LoadTune();
    ASSERT_NE(first, second);
    api.BASS_MusicPlayEx(first, 0, BASS_MUSIC_LOOP, 1);
    api.BASS_MusicPlayEx(second, 2, BASS_MUSIC_LOOP, 1);
    auto both = Render(0.4);
    EXPECT_GT(Level(both, kToneA), 1000);
    EXPECT_GT(Level(both, kToneB), 1000);
    api.BASS_ChannelSetAttributes(first, -1, 0, -101);
    auto one = Render(0.4);
    EXPECT_LT(Level(one, kToneA), 50);
    EXPECT_GT(Level(one, kToneB), 1000);
}

// The game sends 40 x its music volume: 40 is full level, and below it the music
// follows the effect volume's law, so at the default volumes music and effects lose
// the same. The channel volume (the game's fades) stays linear.
TEST_F(BassLibraryTest, GlobalVolumesFollowTheEffectVolumeLawUpToTheGamesFullLevel)
{
    uint32_t music = LoadTune();
    const auto levelAt = [&](int global, int channel) {
        api.BASS_MusicPlayEx(music, 0, BASS_MUSIC_LOOP, 1);
        api.BASS_SetGlobalVolumes(global, global, global);
        api.BASS_ChannelSetAttributes(music, -1, channel, -101);
        Render(0.05);
        return Level(Render(0.4), kToneA);
    };
    const double full = levelAt(100, 100);
    ASSERT_GT(full, 1000);
    const auto effectGain = [](double volume) {
        return Platform::AttenuationToGain(Platform::VolumeToAttenuation(volume));
    };
    struct Case {
        int global, channel;
        double gain;
    };
    const Case cases[] = {
        {40, 100, 1.0},                                    // the game's full volume
        {static_cast<int>(kMusicVolumeScale * kDefaultMusicVolume), 100, effectGain(kDefaultMusicVolume)},
        {20, 100, effectGain(0.5)},
        {4, 100, effectGain(0.1)},
        {1, 100, 0.0},                                     // under the law's floor: silent
        {0, 100, 0.0},
        {40, 50, 0.5},
        {34, 50, 0.5 * effectGain(0.85)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "global " << c.global << ", channel " << c.channel);
        EXPECT_NEAR(levelAt(c.global, c.channel) / full, c.gain, 0.01);
    }
}

TEST_F(BassLibraryTest, StreamsPlayWavAndOggAtTheirOwnRate)
{
    TestSupport::WriteFile(dir.File("s.wav"), AudioFixtures::MakeWav(1, 22050, 16, AudioFixtures::Sine16(2205, 22050, 1000, 12000)));
    TestSupport::WriteFile(dir.File("t.ogg"), TestSupport::ReadFile(std::string(AUDIO_TEST_DATA) + "/tone.ogg"));
    uint32_t wav = api.BASS_StreamCreateFile(0, dir.File("s.wav").c_str(), 0, 0, 0);
    uint32_t ogg = api.BASS_StreamCreateFile(0, dir.File("t.ogg").c_str(), 0, 0, 0);
    ASSERT_NE(wav, 0u);
    ASSERT_NE(ogg, 0u);
    EXPECT_EQ(api.BASS_StreamCreateFile(0, dir.File("none.mp3").c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(api.BASS_StreamCreateFile(0, dir.File("tune.xm").c_str(), 0, 0, 0), 0u);

    ASSERT_EQ(api.BASS_StreamPlay(wav, 1, 0), 1);
    auto out = Render(0.15);
    EXPECT_NEAR(ToneLevel(out.data(), 4000, 0, 1000), 12000, 600);
    EXPECT_EQ(api.BASS_ChannelIsActive(wav), BASS_ACTIVE_STOPPED); // 0.1 s long, played once
    ASSERT_EQ(api.BASS_StreamPlay(wav, 1, BASS_MUSIC_LOOP), 1);
    Render(0.5);
    EXPECT_EQ(api.BASS_ChannelIsActive(wav), BASS_ACTIVE_PLAYING);
    api.BASS_ChannelStop(wav);

    ASSERT_EQ(api.BASS_StreamPlay(ogg, 1, 0), 1);
    EXPECT_GT(Level(Render(0.2), 440), 10000);
    EXPECT_EQ(api.BASS_StreamFree(ogg), 1);
    EXPECT_EQ(api.BASS_ChannelIsActive(ogg), BASS_ACTIVE_STOPPED);
}

TEST_F(BassLibraryTest, WhatIsNoReadableFileLoadsNothingAndIsNotWaitedOn)
{
    TestSupport::WriteFile(dir.File("empty.xm"), "");
    std::filesystem::create_directory(dir.File("folder.xm"));
    ASSERT_EQ(mkfifo(dir.File("fifo.xm").c_str(), 0600), 0);
    for (const char* name : {"missing.xm", "empty.xm", "folder.xm", "fifo.xm"}) {
        const std::string path = dir.File(name);
        for (bool module : {true, false}) {
            SCOPED_TRACE(testing::Message() << name << (module ? " as a module" : " as a stream"));
            auto loading = std::async(std::launch::async, [&] {
                return module ? api.BASS_MusicLoad(0, path.c_str(), 0, 0, 0)
                              : api.BASS_StreamCreateFile(0, path.c_str(), 0, 0, 0);
            });
            if (loading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
                ADD_FAILURE() << "loading waits";
                close(open(path.c_str(), O_WRONLY)); // lets the blocked open go on
            }
            EXPECT_EQ(loading.get(), 0u);
        }
    }
    EXPECT_NE(LoadTune(), 0u); // and the library goes on loading what it can
}

// A module that is there but gives no music (empty, or damaged) leaves the game
// silent: the line on stderr names the file, so that silence has a reason.
TEST_F(BassLibraryTest, AModuleThatGivesNoMusicIsNamed)
{
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty.xm", ""},
        {"damaged.xm", std::string(600, '\x5a')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(c.name);
        TestSupport::WriteFile(path, c.bytes);
        testing::internal::CaptureStderr();
        EXPECT_EQ(api.BASS_MusicLoad(0, path.c_str(), 0, 0, 0), 0u);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(path + ": "), std::string::npos) << said;
    }
}

TEST_F(BassLibraryTest, ModulesWithVorbisSamplesPlayBesideTheGamesOggDecoder)
{
    // The game decodes its own Ogg files in this process while libopenmpt decodes a
    // module's compressed samples: both must reach one and the same Vorbis library.
    const std::string ogg = TestSupport::ReadFile(std::string(AUDIO_TEST_DATA) + "/tone.ogg");
    auto decode = [&](DecodedSound& sound) {
        std::string error;
        EXPECT_TRUE(DecodeOgg(reinterpret_cast<const uint8_t*>(ogg.data()), ogg.size(), sound, error)) << error;
    };
    DecodedSound before, after;
    decode(before);
    TestSupport::WriteFile(dir.File("oggmod.xm"),
                           AudioFixtures::MakeOggSampleModule(ogg, static_cast<uint32_t>(before.pcm.size())));
    uint32_t music = api.BASS_MusicLoad(0, dir.File("oggmod.xm").c_str(), 0, 0, 0);
    ASSERT_NE(music, 0u);
    ASSERT_EQ(api.BASS_MusicPlayEx(music, 0, 0, 1), 1);
    auto out = Render(0.2);
    // C-4 plays the sample at 8363 Hz: the 440 Hz tone kept at 22050 Hz sounds lower.
    const double heard = 440.0 * 8363.0 / 22050.0;
    EXPECT_GT(Level(out, heard), 1000);
    EXPECT_LT(Level(out, 2.0 * heard), Level(out, heard) / 10);
    decode(after);
    EXPECT_EQ(after.pcm, before.pcm);
}

TEST_F(BassLibraryTest, StaleHandlesAndRepeatedSetUpAreHarmless)
{
    uint32_t music = LoadTune();
    EXPECT_EQ(api.BASS_Init(-1, kRate, 0, nullptr), 0); // already: the first set-up stays
    EXPECT_EQ(api.BASS_MusicPlayEx(music, 0, 0, 1), 1);
    ASSERT_EQ(api.BASS_Free(), 1);
    EXPECT_EQ(api.BASS_Free(), 0);
    EXPECT_EQ(api.BASS_Stop(), 0);
    EXPECT_EQ(api.BASS_MusicPlayEx(music, 0, 0, 1), 0);
    EXPECT_EQ(api.BASS_ChannelPause(music), 0);
    EXPECT_EQ(api.BASS_ChannelIsActive(music), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(api.BASS_ChannelSetAttributes(12345, -1, 10, -101), 0);
    EXPECT_EQ(LoadTune(), 0u); // nothing loads while the library is not set up
    ASSERT_EQ(api.BASS_Init(-1, kRate, 0, nullptr), 1);
    uint32_t again = LoadTune();
    EXPECT_GT(again, music); // handles are never reused
    TestSupport::WriteFile(dir.File("junk.xm"), "not a module");
    EXPECT_EQ(api.BASS_MusicLoad(0, dir.File("junk.xm").c_str(), 0, 0, 4), 0u);
}
