// BassMusicInterface and FModMusicInterface against recording entry-point tables.
#include <gtest/gtest.h>

#include "framework/sound/BassMusicInterface.h"
#include "framework/sound/FModMusicInterface.h"

using namespace Zant;

namespace {

struct Call {
    std::string name;
    uint32_t handle;
    long a;
    long b;
    long c;
    std::string text;
};

std::vector<Call> gCalls;
uint32_t gNextHandle = 1;
uint32_t gActive = BASS_ACTIVE_PLAYING;
bool gLoadFails = false;

void Record(const char* name, uint32_t h = 0, long a = 0, long b = 0, long c = 0, std::string text = "")
{
    gCalls.push_back({name, h, a, b, c, std::move(text)});
}

std::vector<Call> CallsNamed(const std::string& name)
{
    std::vector<Call> out;
    for (const Call& c : gCalls)
        if (c.name == name)
            out.push_back(c);
    return out;
}

BassApi FakeBass()
{
    BassApi api{};
    api.BASS_Init = [](int, uint32_t, uint32_t, void*) { Record("Init"); return 1; };
    api.BASS_Free = [] { Record("Free"); return 1; };
    api.BASS_Stop = [] { Record("Stop"); return 1; };
    api.BASS_Start = [] { Record("Start"); return 1; };
    api.BASS_SetGlobalVolumes = [](int m, int s, int st) { Record("SetGlobalVolumes", 0, m, s, st); return 1; };
    api.BASS_ChannelStop = [](uint32_t h) { Record("ChannelStop", h); return 1; };
    api.BASS_ChannelPause = [](uint32_t h) { Record("ChannelPause", h); return 1; };
    api.BASS_ChannelResume = [](uint32_t h) { Record("ChannelResume", h); return 1; };
    api.BASS_ChannelSetAttributes = [](uint32_t h, int f, int v, int p) { Record("SetAttributes", h, f, v, p); return 1; };
    api.BASS_ChannelIsActive = [](uint32_t h) { return gActive; };
    api.BASS_MusicLoad = [](int, const void* file, uint32_t, uint32_t, uint32_t flags) {
        Record("MusicLoad", 0, flags, 0, 0, static_cast<const char*>(file));
        return gLoadFails ? 0u : gNextHandle++;
    };
    api.BASS_MusicPlay = [](uint32_t h) { Record("MusicPlay", h); return 1; };
    api.BASS_MusicPlayEx = [](uint32_t h, uint32_t order, int flags, int reset) {
        Record("MusicPlayEx", h, order, flags, reset);
        return 1;
    };
    api.BASS_StreamCreateFile = [](int, const void* file, uint32_t, uint32_t, uint32_t) {
        Record("StreamCreateFile", 0, 0, 0, 0, static_cast<const char*>(file));
        return gLoadFails ? 0u : gNextHandle++;
    };
    api.BASS_StreamFree = [](uint32_t h) { Record("StreamFree", h); return 1; };
    api.BASS_StreamPlay = [](uint32_t h, int flush, uint32_t flags) { Record("StreamPlay", h, flush, flags); return 1; };
    return api;
}

int FakeMusicFree(uint32_t h)
{
    Record("MusicFree", h);
    return 1;
}

class BassInterfaceTest : public testing::Test {
protected:
    void SetUp() override
    {
        gCalls.clear();
        gNextHandle = 1;
        gActive = BASS_ACTIVE_PLAYING;
        gLoadFails = false;
        music = std::make_unique<BassMusicInterface>(FakeBass(), FakeMusicFree);
    }
    // The volumes sent to one handle since the calls were last cleared.
    std::vector<long> VolumesSent(uint32_t handle)
    {
        std::vector<long> out;
        for (const Call& c : CallsNamed("SetAttributes"))
            if (c.handle == handle)
                out.push_back(c.b);
        return out;
    }
    std::unique_ptr<BassMusicInterface> music;
};

} // namespace

TEST_F(BassInterfaceTest, FileKindPicksModuleOrStream)
{
    const std::pair<const char*, const char*> table[] = {
        {"x.OGG", "StreamCreateFile"}, {"x.wav", "StreamCreateFile"}, {"a.b\\x.Mp3", "StreamCreateFile"},
        {"music\\Brinetun.mo3", "MusicLoad"}, {"song.xm", "MusicLoad"}, {"noextension", "MusicLoad"}};
    int id = 0;
    for (auto [file, entry] : table) {
        gCalls.clear();
        ASSERT_TRUE(music->LoadMusic(id++, file));
        ASSERT_EQ(gCalls.size(), 1u);
        EXPECT_EQ(gCalls[0].name, entry) << file;
    }
    gCalls.clear();
    music->LoadMusic(50, "music\\Brinetun.mo3");
    EXPECT_EQ(gCalls[0].text, "music/Brinetun.mo3"); // game paths become file-system paths
    EXPECT_EQ(gCalls[0].a, static_cast<long>(BASS_MUSIC_LOOP));
}

TEST_F(BassInterfaceTest, FailedLoadsAndUnknownIdsLeaveNoTrace)
{
    gLoadFails = true;
    EXPECT_FALSE(music->LoadMusic(1, "a.xm"));
    gCalls.clear();
    music->PlayMusic(1);
    music->FadeIn(1);
    music->StopMusic(1);
    music->SetSongVolume(1, 0.5);
    music->Update();
    EXPECT_TRUE(gCalls.empty());
    EXPECT_FALSE(music->IsPlaying(1));
}

TEST_F(BassInterfaceTest, ASecondLoadUnderOneIdKeepsTheFirstAndFreesTheNew)
{
    ASSERT_TRUE(music->LoadMusic(0, "a.xm"));
    ASSERT_TRUE(music->LoadMusic(0, "b.xm"));
    ASSERT_TRUE(music->LoadMusic(1, "c.ogg"));
    ASSERT_TRUE(music->LoadMusic(1, "d.ogg"));
    ASSERT_EQ(CallsNamed("MusicFree").size(), 1u);
    EXPECT_EQ(CallsNamed("MusicFree")[0].handle, 2u);
    ASSERT_EQ(CallsNamed("StreamFree").size(), 1u);
    EXPECT_EQ(CallsNamed("StreamFree")[0].handle, 4u);
    gCalls.clear();
    music->PlayMusic(0);
    EXPECT_EQ(CallsNamed("MusicPlayEx")[0].handle, 1u);
}

TEST_F(BassInterfaceTest, PlayAndFadeInStartModulesAndStreams)
{
    music->LoadMusic(0, "tune.mo3"); // handle 1
    music->LoadMusic(1, "loop.ogg"); // handle 2
    gCalls.clear();
    music->PlayMusic(0, 17, true);
    music->PlayMusic(0, 20, false);
    music->FadeIn(0, -1, 0.01, false);
    music->PlayMusic(1, -1, false);
    music->FadeIn(1, 5, 0.01, true);
    auto ex = CallsNamed("MusicPlayEx");
    ASSERT_EQ(ex.size(), 2u);
    EXPECT_EQ(ex[0].a, 17);
    EXPECT_EQ(ex[0].b, 0); // play once
    EXPECT_EQ(ex[0].c, 1); // reset
    EXPECT_EQ(ex[1].b, static_cast<long>(BASS_MUSIC_LOOP));
    EXPECT_EQ(CallsNamed("MusicPlay").size(), 1u); // offset -1 resumes where it stands
    auto streams = CallsNamed("StreamPlay");
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0].a, 0); // no restart for offset -1
    EXPECT_EQ(streams[0].b, static_cast<long>(BASS_MUSIC_LOOP));
    EXPECT_EQ(streams[1].a, 1);
    EXPECT_EQ(streams[1].b, 0);
    EXPECT_EQ(VolumesSent(1).front(), 100); // PlayMusic sets full volume
}

TEST_F(BassInterfaceTest, FadeInRisesOneStepPerUpdateFromSilence)
{
    music->LoadMusic(0, "tune.mo3");
    gCalls.clear();
    music->FadeIn(0, -1, 0.01, false);
    EXPECT_EQ(VolumesSent(1), std::vector<long>{0});
    gCalls.clear();
    for (int i = 0; i < 150; ++i)
        music->Update();
    std::vector<long> sent = VolumesSent(1);
    ASSERT_EQ(sent.size(), 100u); // then no more sends
    EXPECT_LE(sent.front(), 1);
    EXPECT_EQ(sent.back(), 100);
    EXPECT_TRUE(std::is_sorted(sent.begin(), sent.end()));
    EXPECT_GE(sent[49], 49);
    EXPECT_LE(sent[49], 50);
}

TEST_F(BassInterfaceTest, FadeInAfterPlayClampsAtFullVolumeOnTheFirstUpdate)
{
    music->LoadMusic(0, "tune.mo3");
    music->PlayMusic(0);
    music->FadeIn(0, -1, 0.01, false);
    gCalls.clear();
    music->Update();
    music->Update();
    EXPECT_EQ(VolumesSent(1), std::vector<long>{100});
}

TEST_F(BassInterfaceTest, FadeOutStopsOnceWhenAskedAndOnlyFromAboveSilence)
{
    music->LoadMusic(0, "a.mo3"); // 1
    music->LoadMusic(1, "b.mo3"); // 2
    music->FadeOut(0, true, 0.1); // volume 0: nothing happens
    music->PlayMusic(0);
    music->PlayMusic(1);
    music->FadeOut(0, true, 0.25);
    music->FadeOut(1, false, 0.25);
    gCalls.clear();
    std::vector<size_t> stopsAfterUpdate;
    for (int i = 0; i < 6; ++i) {
        music->Update();
        stopsAfterUpdate.push_back(CallsNamed("ChannelStop").size());
    }
    // 0.75, 0.5, 0.25, 0.0, then below silence in the fifth update.
    EXPECT_EQ(stopsAfterUpdate, (std::vector<size_t>{0, 0, 0, 0, 1, 1}));
    EXPECT_EQ(CallsNamed("ChannelStop")[0].handle, 1u);
    EXPECT_EQ(VolumesSent(2), (std::vector<long>{75, 50, 25, 0, 0})); // keeps playing at 0

    // FadeOutAll steps every song, whatever its volume.
    music->StopAllMusic();
    music->FadeOutAll(true, 0.5);
    gCalls.clear();
    music->Update();
    EXPECT_EQ(CallsNamed("ChannelStop").size(), 2u);
}

TEST_F(BassInterfaceTest, VolumesAndStates)
{
    music->LoadMusic(0, "a.mo3");
    gCalls.clear();
    music->SetVolume(1.0);
    music->SetVolume(0.5);
    music->SetVolume(0.99);
    auto global = CallsNamed("SetGlobalVolumes");
    ASSERT_EQ(global.size(), 3u);
    EXPECT_EQ((std::vector<long>{global[0].a, global[0].b, global[0].c}), (std::vector<long>{40, 40, 40}));
    EXPECT_EQ(global[1].a, 20);
    EXPECT_EQ(global[2].c, 39);
    music->SetSongVolume(0, 0.255);
    EXPECT_EQ(VolumesSent(1).back(), 25);
    gActive = BASS_ACTIVE_PAUSED;
    EXPECT_FALSE(music->IsPlaying(0)); // paused is not playing
    gActive = BASS_ACTIVE_PLAYING;
    EXPECT_TRUE(music->IsPlaying(0));
    EXPECT_FALSE(music->IsPlaying(7));
    music->PauseMusic(0);
    music->ResumeMusic(0);
    EXPECT_EQ(CallsNamed("ChannelPause").size(), 1u);
    EXPECT_EQ(CallsNamed("ChannelResume").size(), 1u);
}

TEST_F(BassInterfaceTest, TheLibraryIsSetUpAndTornDownWithTheInterface)
{
    music.reset();
    std::vector<std::string> names;
    for (const Call& c : gCalls)
        names.push_back(c.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Init", "Start", "Stop", "Free"}));
}

// The second back end: songs are modules, samples play on the channel named by the id.
namespace {

FModApi FakeFMod()
{
    FModApi api{};
    api.FMUSIC_LoadSong = [](const char* f) { Record("LoadSong", 0, 0, 0, 0, f); return gNextHandle++; };
    api.FMUSIC_PlaySong = [](uint32_t s) { Record("PlaySong", s); return 1; };
    api.FMUSIC_StopSong = [](uint32_t s) { Record("StopSong", s); return 1; };
    api.FMUSIC_SetLooping = [](uint32_t s, int l) { Record("SetLooping", s, l); return 1; };
    api.FMUSIC_SetOrder = [](uint32_t s, int o) { Record("SetOrder", s, o); return 1; };
    api.FMUSIC_SetPaused = [](uint32_t s, int p) { Record("SetPaused", s, p); return 1; };
    api.FMUSIC_SetMasterVolume = [](uint32_t s, int v) { Record("SongVolume", s, v); return 1; };
    api.FMUSIC_IsPlaying = [](uint32_t s) { return gActive == BASS_ACTIVE_PLAYING ? 1 : 0; };
    api.FSOUND_IsPlaying = [](int ch) { Record("ChannelIsPlaying", 0, ch); return 0; };
    api.FSOUND_StopSound = [](int ch) { Record("StopSound", 0, ch); return 1; };
    api.FSOUND_SetVolume = [](int ch, int v) { Record("ChannelVolume", 0, ch, v); return 1; };
    return api;
}

} // namespace

TEST(FModInterfaceTest, SongsFollowTheSameFadesWithAHundredStepScale)
{
    gCalls.clear();
    gNextHandle = 7;
    gActive = BASS_ACTIVE_STOPPED;
    FModMusicInterface music(FakeFMod());
    ASSERT_TRUE(music.LoadMusic(2, "music\\tune.xm"));
    EXPECT_EQ(gCalls[0].text, "music/tune.xm");
    gCalls.clear();
    music.FadeIn(2, 17, 0.25, true);
    std::vector<std::string> names;
    for (const Call& c : gCalls)
        names.push_back(c.name);
    EXPECT_EQ(names, (std::vector<std::string>{"SongVolume", "SetLooping", "PlaySong", "SetOrder"}));
    EXPECT_EQ(gCalls[1].a, 0);  // play once
    EXPECT_EQ(gCalls[3].a, 17);
    gCalls.clear();
    music.SetVolume(0.5);
    for (int i = 0; i < 4; ++i)
        music.Update();
    std::vector<long> volumes;
    for (const Call& c : CallsNamed("SongVolume"))
        volumes.push_back(c.a);
    EXPECT_EQ(volumes, (std::vector<long>{0, 12, 25, 37, 50}));
    music.FadeOut(2, true, 0.6);
    music.Update();
    music.Update();
    EXPECT_EQ(CallsNamed("StopSong").size(), 1u);
}
