// The first music library: modules (libopenmpt) and WAV/Ogg streams under numbered
// handles, mixed into one stereo output that the game's audio output pulls through
// PLINDOR_MusicRender. All state is process-wide and behind one lock, since the
// loading thread, the main thread and the audio thread all call in.
#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <type_traits>
#include <vector>

#include "framework/sound/MusicLibraryApi.h"
#include "tools/musiclib/Engine.h"
#include "tools/musiclib/Export.h"
#include "tools/musiclib/Players.h"
#include "tools/musiclib/VolumeCurve.h"

namespace {

using namespace MusicLib;

enum class State { Stopped, Playing, Paused };

struct Channel {
    std::unique_ptr<ModulePlayer> module; // null for a stream
    PcmPlayer stream;
    State state = State::Stopped;
    bool everPlayed = false;
    bool ended = false;
    int volume = 100;
    int pan = 0;
};

struct Engine {
    std::mutex lock;
    bool initialized = false;
    bool started = false;
    uint32_t rate = 44100;
    int musicVolume = 100;
    int sampleVolume = 100;
    int streamVolume = 100;
    std::map<uint32_t, std::unique_ptr<Channel>> channels;
    uint32_t nextHandle = 1; // never 0, never reused
    std::vector<int32_t> acc;
    StopTails tails;
    Platform::PeakLimiter limiter;
};

using Host = EngineHost<Engine>;

Engine& E() { return *Host::Get(); }

__attribute__((destructor)) void FreeEngine() { Host::Free(); }

Channel* Find(uint32_t handle)
{
    auto it = E().channels.find(handle);
    return it == E().channels.end() ? nullptr : it->second.get();
}

// Adds a channel's next frames into acc at its volume, pan and kind's global volume;
// false once it reached its end.
bool MixChannel(Engine& e, Channel& c, int32_t* acc, int frames)
{
    // The channel volume is linear amplitude (the game's fades step it); the global
    // volume of its kind goes through the library's curve.
    const double global = GlobalVolumeGain(c.module ? e.musicVolume : e.streamVolume);
    const float gain = static_cast<float>(c.volume / 100.0 * global);
    float left, right;
    PanGains(gain, c.pan, left, right);
    return c.module ? c.module->MixInto(acc, frames, e.rate, left, right)
                    : c.stream.MixInto(acc, frames, e.rate, left, right);
}

// What a playing channel was playing falls to silence over a few milliseconds when it
// is stopped at once or started again elsewhere: its sound from where it was, faded
// out beside whatever it plays next. A later play resumes where that fall ended.
void LeaveTail(Engine& e, Channel& c)
{
    if (c.state == State::Playing && e.initialized && e.started)
        e.tails.Add(e.rate, [&](int32_t* acc, int frames) { c.ended = !MixChannel(e, c, acc, frames); });
}

uint32_t Add(std::unique_ptr<Channel> channel)
{
    Engine& e = E();
    const uint32_t handle = TakeHandle(e.nextHandle);
    e.channels[handle] = std::move(channel);
    return handle;
}

} // namespace

PLINDOR_EXPORT int BASS_Init(int device, uint32_t freq, uint32_t flags, void* window)
{
    std::lock_guard<std::mutex> guard(E().lock);
    if (E().initialized)
        return 0; // already: the first set-up stays as it is
    E().initialized = true;
    E().started = false;
    E().rate = freq ? freq : 44100;
    E().limiter = Platform::PeakLimiter(E().rate);
    return 1;
}

PLINDOR_EXPORT int BASS_Free()
{
    // Modules are destroyed outside the lock, so the audio thread is not held up.
    std::map<uint32_t, std::unique_ptr<Channel>> doomed;
    {
        std::lock_guard<std::mutex> guard(E().lock);
        if (!E().initialized)
            return 0;
        doomed.swap(E().channels);
        E().initialized = false;
        E().started = false;
    }
    return 1;
}

PLINDOR_EXPORT int BASS_Start()
{
    std::lock_guard<std::mutex> guard(E().lock);
    if (!E().initialized)
        return 0;
    E().started = true;
    return 1;
}

PLINDOR_EXPORT int BASS_Stop()
{
    std::lock_guard<std::mutex> guard(E().lock);
    if (!E().initialized)
        return 0;
    E().started = false;
    return 1;
}

PLINDOR_EXPORT int BASS_SetGlobalVolumes(int music, int sample, int stream)
{
    std::lock_guard<std::mutex> guard(E().lock);
    if (music >= 0)
        E().musicVolume = std::min(music, 100);
    if (sample >= 0)
        E().sampleVolume = std::min(sample, 100);
    if (stream >= 0)
        E().streamVolume = std::min(stream, 100);
    return 1;
}

PLINDOR_EXPORT int BASS_ChannelStop(uint32_t handle)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Channel* c = Find(handle);
    if (!c)
        return 0;
    LeaveTail(E(), *c);
    c->state = State::Stopped;
    return 1;
}

PLINDOR_EXPORT int BASS_ChannelPause(uint32_t handle)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Channel* c = Find(handle);
    if (!c || c->state != State::Playing)
        return 0;
    c->state = State::Paused;
    return 1;
}

PLINDOR_EXPORT int BASS_ChannelResume(uint32_t handle)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Channel* c = Find(handle);
    if (!c || c->state != State::Paused)
        return 0;
    c->state = State::Playing;
    return 1;
}

PLINDOR_EXPORT int BASS_ChannelSetAttributes(uint32_t handle, int freq, int volume, int pan)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Channel* c = Find(handle);
    if (!c)
        return 0;
    if (volume >= 0)
        c->volume = std::min(volume, 100);
    if (pan >= -100 && pan <= 100)
        c->pan = pan;
    if (freq > 0 && !c->module)
        c->stream.frequency = static_cast<uint32_t>(std::clamp(freq, 100, 100000));
    return 1;
}

PLINDOR_EXPORT uint32_t BASS_ChannelIsActive(uint32_t handle)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Channel* c = Find(handle);
    if (!c)
        return Zant::BASS_ACTIVE_STOPPED;
    switch (c->state) {
    case State::Playing: return Zant::BASS_ACTIVE_PLAYING;
    case State::Paused: return Zant::BASS_ACTIVE_PAUSED;
    default: return Zant::BASS_ACTIVE_STOPPED;
    }
}

PLINDOR_EXPORT uint32_t BASS_MusicLoad(int mem, const void* file, uint32_t offset, uint32_t length, uint32_t flags)
{
    if (mem || !file)
        return 0;
    // Parsing happens outside the lock: the audio thread keeps playing meanwhile.
    auto channel = std::make_unique<Channel>();
    channel->module = std::make_unique<ModulePlayer>();
    if (!channel->module->LoadFile(static_cast<const char*>(file)))
        return 0;
    channel->module->SetLoop(flags & Zant::BASS_MUSIC_LOOP);
    std::lock_guard<std::mutex> guard(E().lock);
    if (!E().initialized)
        return 0;
    return Add(std::move(channel));
}

PLINDOR_EXPORT int BASS_MusicFree(uint32_t handle)
{
    std::unique_ptr<Channel> doomed;
    std::lock_guard<std::mutex> guard(E().lock);
    auto it = E().channels.find(handle);
    if (it == E().channels.end() || !it->second->module)
        return 0;
    doomed = std::move(it->second);
    E().channels.erase(it);
    return 1;
}

PLINDOR_EXPORT int BASS_MusicPlayEx(uint32_t handle, uint32_t order, int flags, int reset)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Channel* c = Find(handle);
    if (!c || !c->module || order > 0x7FFFFFFF || static_cast<int>(order) >= c->module->Orders())
        return 0;
    LeaveTail(E(), *c);
    if (!c->module->SetOrder(static_cast<int>(order)))
        return 0;
    c->module->SetLoop(flags & Zant::BASS_MUSIC_LOOP);
    c->state = State::Playing;
    c->everPlayed = true;
    c->ended = false;
    return 1;
}

PLINDOR_EXPORT int BASS_MusicPlay(uint32_t handle)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Channel* c = Find(handle);
    if (!c || !c->module)
        return 0;
    if (!c->everPlayed || c->ended) {
        LeaveTail(E(), *c);
        c->module->SetOrder(0);
    }
    c->state = State::Playing;
    c->everPlayed = true;
    c->ended = false;
    return 1;
}

PLINDOR_EXPORT uint32_t BASS_StreamCreateFile(int mem, const void* file, uint32_t offset, uint32_t length,
                                              uint32_t flags)
{
    if (mem || !file)
        return 0;
    auto sound = LoadPcmFile(static_cast<const char*>(file));
    if (!sound)
        return 0;
    auto channel = std::make_unique<Channel>();
    channel->stream.Start(std::move(sound));
    std::lock_guard<std::mutex> guard(E().lock);
    if (!E().initialized)
        return 0;
    return Add(std::move(channel));
}

PLINDOR_EXPORT int BASS_StreamFree(uint32_t handle)
{
    std::unique_ptr<Channel> doomed;
    std::lock_guard<std::mutex> guard(E().lock);
    auto it = E().channels.find(handle);
    if (it == E().channels.end() || it->second->module)
        return 0;
    doomed = std::move(it->second);
    E().channels.erase(it);
    return 1;
}

PLINDOR_EXPORT int BASS_StreamPlay(uint32_t handle, int flush, uint32_t flags)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Channel* c = Find(handle);
    if (!c || c->module)
        return 0;
    if (flush || c->ended) {
        LeaveTail(E(), *c);
        c->stream.Rewind();
    }
    c->stream.loop = flags & Zant::BASS_MUSIC_LOOP;
    c->state = State::Playing;
    c->everPlayed = true;
    c->ended = false;
    return 1;
}

PLINDOR_EXPORT int PLINDOR_MusicRender(int16_t* out, int frames)
{
    return RenderMix(Host::Get(), out, frames, [frames](Engine& e) {
        if (e.initialized && e.started) {
            for (auto& [handle, c] : e.channels) {
                if (c->state != State::Playing)
                    continue;
                if (!MixChannel(e, *c, e.acc.data(), frames)) {
                    c->state = State::Stopped;
                    c->ended = true;
                }
            }
        }
    });
}

// The exports must match the table the framework fills by name.
#define PLINDOR_CHECK(name) static_assert(std::is_same_v<decltype(&name), decltype(Zant::BassApi::name)>, #name)
PLINDOR_CHECK(BASS_Init);
PLINDOR_CHECK(BASS_Free);
PLINDOR_CHECK(BASS_Stop);
PLINDOR_CHECK(BASS_Start);
PLINDOR_CHECK(BASS_SetGlobalVolumes);
PLINDOR_CHECK(BASS_ChannelStop);
PLINDOR_CHECK(BASS_ChannelPause);
PLINDOR_CHECK(BASS_ChannelResume);
PLINDOR_CHECK(BASS_ChannelSetAttributes);
PLINDOR_CHECK(BASS_ChannelIsActive);
PLINDOR_CHECK(BASS_MusicLoad);
PLINDOR_CHECK(BASS_MusicPlay);
PLINDOR_CHECK(BASS_MusicPlayEx);
PLINDOR_CHECK(BASS_StreamCreateFile);
PLINDOR_CHECK(BASS_StreamFree);
PLINDOR_CHECK(BASS_StreamPlay);
static_assert(std::is_same_v<decltype(&BASS_MusicFree), Zant::BassMusicFreeFn>);
static_assert(std::is_same_v<decltype(&PLINDOR_MusicRender), Zant::MusicRenderFn>);
