// DSoundManager and DSoundInstance on an offline device: slots, channels, volumes.
#include <gtest/gtest.h>

#include "framework/sound/DSoundInstance.h"
#include "framework/sound/DSoundManager.h"
#include "tests/audio/AudioFixtures.h"
#include "tests/support/TestSupport.h"

using namespace Zant;

namespace {

struct ManagerFixture {
    ManagerFixture()
    {
        auto owned = std::make_unique<Platform::OfflineAudioDevice>();
        device = owned.get();
        manager = std::make_unique<DSoundManager>(std::move(owned));
        TestSupport::WriteFile(dir.File("click.wav"),
                               AudioFixtures::MakeWav(1, 44100, 16, AudioFixtures::Sine16(441, 44100, 1000, 10000)));
        EXPECT_TRUE(manager->LoadSoundFile(3, dir.File("click")));
    }
    TestSupport::TempDir dir;
    Platform::OfflineAudioDevice* device;
    std::unique_ptr<DSoundManager> manager;
};

Platform::SoundBuffer* BufferOf(SoundInstance* instance)
{
    return static_cast<DSoundInstance*>(instance)->GetBuffer();
}

} // namespace

TEST(VolumeLawTest, LinearVolumeToHundredthsOfADecibel)
{
    const std::pair<double, int> table[] = {{1.0, 0},        {0.85, -146},    {0.5, -605},   {0.25, -1138},
                                            {0.1, -1682},    {0.05, -1956},   {0.0433, -1999}, {0.043, -10000},
                                            {0.0, -10000},   {-0.5, -10000},  {2.0, 0}};
    for (auto [volume, expected] : table)
        EXPECT_EQ(DSoundManager::LinearToDSoundVolume(volume), expected) << "volume " << volume;
}

TEST(SoundManagerTest, AppliedVolumeIsMasterTimesInstanceTimesBase)
{
    ManagerFixture f;
    ASSERT_TRUE(f.manager->SetBaseVolume(3, 0.5));
    SoundInstance* a = f.manager->CreateChannel(3);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(BufferOf(a)->GetVolume(), -605);
    a->SetVolume(0.5);
    EXPECT_EQ(BufferOf(a)->GetVolume(), DSoundManager::LinearToDSoundVolume(0.25));
    f.manager->SetVolume(0.5); // re-applied to every occupied channel
    EXPECT_EQ(BufferOf(a)->GetVolume(), DSoundManager::LinearToDSoundVolume(0.125));
    EXPECT_DOUBLE_EQ(a->GetVolume(), 0.5);

    // Base values reach only instances made afterwards.
    f.manager->SetBaseVolume(3, 1.0);
    f.manager->SetBasePan(3, -3000);
    EXPECT_EQ(BufferOf(a)->GetVolume(), DSoundManager::LinearToDSoundVolume(0.125));
    SoundInstance* b = f.manager->CreateChannel(3);
    EXPECT_EQ(BufferOf(b)->GetPan(), -3000);
    b->SetPan(1000);
    EXPECT_EQ(BufferOf(b)->GetPan(), -2000);
    EXPECT_EQ(BufferOf(a)->GetPan(), 0);
}

TEST(SoundManagerTest, IdsOutOfRangeAreRefused)
{
    ManagerFixture f;
    EXPECT_EQ(f.manager->CreateChannel(256), nullptr);
    EXPECT_FALSE(f.manager->SetBaseVolume(256, 1.0));
    EXPECT_FALSE(f.manager->SetBasePan(256, 0));
    EXPECT_FALSE(f.manager->LoadSoundFile(256, f.dir.File("click")));
    EXPECT_TRUE(f.manager->SetBasePan(255, 0));
    EXPECT_EQ(f.manager->CreateChannel(4), nullptr); // nothing loaded there
}

TEST(SoundManagerTest, ThirtyTwoChannelsAndFinishedAutoReleaseInstancesAreReclaimed)
{
    ManagerFixture f;
    std::vector<SoundInstance*> looping;
    for (int i = 0; i < 31; ++i) {
        looping.push_back(f.manager->CreateChannel(3));
        ASSERT_NE(looping.back(), nullptr);
        ASSERT_TRUE(looping.back()->Play(true, false));
    }
    SoundInstance* once = f.manager->CreateChannel(3);
    ASSERT_TRUE(once->Play(false, true));
    EXPECT_EQ(f.manager->CreateChannel(3), nullptr); // the 33rd
    EXPECT_EQ(f.device->GetMixer()->PlayingVoices(), 32u);

    f.device->Render(441 + 10); // past the end of the one-shot
    EXPECT_FALSE(once->IsPlaying());
    SoundInstance* reused = f.manager->CreateChannel(3);
    EXPECT_NE(reused, nullptr);
    EXPECT_EQ(f.device->GetMixer()->PlayingVoices(), 31u);
    EXPECT_TRUE(looping[0]->IsPlaying());

    // An explicit Release frees a channel too.
    looping[5]->Release();
    EXPECT_NE(f.manager->CreateChannel(3), nullptr);
    EXPECT_EQ(f.manager->CreateChannel(3), nullptr);
}

TEST(SoundManagerTest, PlayRestartsAndStopRewinds)
{
    ManagerFixture f;
    SoundInstance* s = f.manager->CreateChannel(3);
    EXPECT_FALSE(s->IsPlaying()); // never played
    ASSERT_TRUE(s->Play(false, false));
    f.device->Render(100);
    s->Stop();
    uint32_t cursor = 1;
    BufferOf(s)->GetCurrentPosition(&cursor);
    EXPECT_EQ(cursor, 0u);
    EXPECT_FALSE(s->IsPlaying());
    EXPECT_FALSE(s->IsReleased()); // Stop clears auto release
}

TEST(SoundManagerTest, PitchStepsAreSemitonesHeldBetween100HzAnd100kHz)
{
    TestSupport::TempDir dir;
    auto manager = std::make_unique<DSoundManager>(std::make_unique<Platform::OfflineAudioDevice>());
    TestSupport::WriteFile(dir.File("tone.wav"), AudioFixtures::MakeWav(1, 44100, 16, AudioFixtures::Sine16(100, 44100, 440, 1000)));
    ASSERT_TRUE(manager->LoadSoundFile(0, dir.File("tone")));
    const std::pair<double, uint32_t> table[] = {{12, 88200}, {0, 44100}, {-106, 100},
                                                 {-200, 100}, {15, 100000}, {1, 46722}};
    for (auto [steps, hz] : table) {
        SoundInstance* s = manager->CreateChannel(0);
        s->AdjustPitch(steps);
        uint32_t got = 0;
        BufferOf(s)->GetFrequency(&got);
        EXPECT_EQ(got, hz) << "steps " << steps;
        s->Release();
    }
}

TEST(SoundManagerTest, WithoutADeviceSoundsLoadAndPlayingIsSilentlyRefused)
{
    TestSupport::TempDir dir;
    TestSupport::WriteFile(dir.File("a.wav"), AudioFixtures::MakeWav(1, 22050, 8, std::string(100, '\x90')));
    for (bool nullWindow : {true, false}) {
        std::unique_ptr<DSoundManager> manager =
            nullWindow ? std::make_unique<DSoundManager>(nullptr, false)
                       : std::make_unique<DSoundManager>(std::unique_ptr<Platform::AudioDevice>());
        EXPECT_FALSE(manager->Initialized());
        EXPECT_TRUE(manager->LoadSoundFile(1, dir.File("a")));
        EXPECT_FALSE(manager->LoadSoundFile(2, dir.File("missing")));
        ASSERT_NE(manager->GetSoundData(1), nullptr);
        EXPECT_EQ(manager->GetSoundData(1)->bytes.size(), 100u);
        SoundInstance* s = manager->CreateChannel(1);
        ASSERT_NE(s, nullptr);
        EXPECT_FALSE(s->Play(true, false));
        s->AdjustPitch(3);
        s->SetVolume(0.2);
        EXPECT_FALSE(s->IsPlaying());
    }
}

TEST(SoundManagerTest, AFailedDuplicateGivesNoChannelAndTheProgramGoesOn)
{
    ManagerFixture f;
    f.device->failDuplicate = Platform::DSERR_OUTOFMEMORY;
    EXPECT_EQ(f.manager->CreateChannel(3), nullptr);
    f.device->failDuplicate = Platform::AUDIO_OK;
    EXPECT_NE(f.manager->CreateChannel(3), nullptr);
}

TEST(SoundManagerTest, MixerVolumeRoundTripsInProcess)
{
    ManagerFixture f;
    f.manager->WriteMixerVolume(0.25);
    EXPECT_NEAR(f.manager->ReadMixerVolume(), 0.25, 1.0 / 65535);
    f.manager->WriteMixerVolume(1.0);
    EXPECT_DOUBLE_EQ(f.manager->ReadMixerVolume(), 1.0);
}
