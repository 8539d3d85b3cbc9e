// The second music library: samples in memory (WAV, Ogg Vorbis, MP3 through
// libmpg123) played on numbered channels, whole-file streams, and modules as songs
// (libopenmpt). Its output is pulled through PLINDOR_MusicRender like the first
// library's. 8-bit sample data is unsigned, as in WAV files.
#include <mpg123.h>

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

namespace {

using namespace MusicLib;
using namespace Zant;

struct Sample {
    std::shared_ptr<PcmSound> pcm;
    uint32_t mode = 0;
    int volume = 255;
    int pan = 128;
    int priority = 0;
};

struct Voice {
    PcmPlayer player;
    bool active = false;
    bool paused = false;
    int volume = 255; // 0..255
    int pan = 128;    // 0 left .. 255 right
};

struct Song {
    ModulePlayer module;
    bool playing = false;
    bool paused = false;
    bool loop = true;
    int volume = 256; // 0..256
};

struct Engine {
    std::mutex lock;
    bool initialized = false;
    uint32_t rate = 44100;
    std::vector<Voice> voices;
    std::map<uint32_t, Sample> samples; // samples and streams alike
    std::map<uint32_t, std::unique_ptr<Song>> songs;
    uint32_t nextHandle = 1;
    std::vector<int32_t> acc;
    StopTails tails;
    Platform::PeakLimiter limiter;
};

using Host = EngineHost<Engine>;

Engine& E() { return *Host::Get(); }

__attribute__((destructor)) void FreeEngine() { Host::Free(); }

uint32_t NextHandle() { return TakeHandle(E().nextHandle); }

// Adds a voice's or song's next frames into acc at its volume; false once it ended.
bool MixVoice(Engine& e, Voice& v, int32_t* acc, int frames)
{
    float left, right;
    PanGains(v.volume / 255.0f, (v.pan - 128) * 100 / 127, left, right);
    return v.player.MixInto(acc, frames, e.rate, left, right);
}

bool MixSong(Engine& e, Song& s, int32_t* acc, int frames)
{
    const float gain = s.volume / 256.0f;
    return s.module.MixInto(acc, frames, e.rate, gain, gain);
}

Sample* FindSample(uint32_t handle)
{
    auto it = E().samples.find(handle);
    return it == E().samples.end() ? nullptr : &it->second;
}

Song* FindSong(uint32_t handle)
{
    auto it = E().songs.find(handle);
    return it == E().songs.end() ? nullptr : it->second.get();
}

Voice* FindVoice(int channel)
{
    if (channel < 0 || static_cast<size_t>(channel) >= E().voices.size())
        return nullptr;
    return &E().voices[static_cast<size_t>(channel)];
}

uint32_t ModeOf(const DecodedSound& s, bool loop)
{
    return (s.bits == 8 ? FSOUND_8BITS : FSOUND_16BITS) | (s.channels == 1 ? FSOUND_MONO : FSOUND_STEREO) |
           (loop ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF);
}

bool DecodeMp3(const char* path, DecodedSound& out)
{
    mpg123_handle* mh = mpg123_new(nullptr, nullptr);
    if (!mh)
        return false;
    bool ok = false;
    long rate = 0;
    int channels = 0, encoding = 0;
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    if (mpg123_open(mh, path) == MPG123_OK && mpg123_getformat(mh, &rate, &channels, &encoding) == MPG123_OK &&
        (channels == 1 || channels == 2)) {
        mpg123_format_none(mh);
        mpg123_format(mh, rate, channels, MPG123_ENC_SIGNED_16);
        out.channels = static_cast<uint16_t>(channels);
        out.rate = static_cast<uint32_t>(rate);
        out.bits = 16;
        unsigned char chunk[16384];
        size_t done = 0;
        int r;
        while ((r = mpg123_read(mh, chunk, sizeof chunk, &done)) == MPG123_OK || r == MPG123_NEW_FORMAT) {
            out.pcm.insert(out.pcm.end(), chunk, chunk + done);
            if (out.pcm.size() > kMaxDecodedBytes)
                break;
        }
        out.pcm.insert(out.pcm.end(), chunk, chunk + (r == MPG123_DONE ? done : 0));
        ok = r == MPG123_DONE && !out.pcm.empty() && out.pcm.size() <= kMaxDecodedBytes;
        mpg123_close(mh);
    }
    mpg123_delete(mh);
    return ok;
}

void StartVoice(Voice& v, const Sample& s)
{
    v.player.Start(s.pcm);
    v.player.loop = s.mode & FSOUND_LOOP_NORMAL;
    v.player.frequency = 0;
    v.active = true;
    v.paused = false;
    v.volume = s.volume;
    v.pan = s.pan;
}

} // namespace

PLINDOR_EXPORT int FSOUND_SetBufferSize(int ms) { return ms > 0; }

PLINDOR_EXPORT int FSOUND_SetHWND(void* window) { return 1; }

PLINDOR_EXPORT int FSOUND_Init(int mixRate, int maxChannels, uint32_t flags)
{
    std::lock_guard<std::mutex> guard(E().lock);
    if (E().initialized)
        return 1;
    E().rate = mixRate > 0 ? static_cast<uint32_t>(mixRate) : 44100;
    E().limiter = Platform::PeakLimiter(E().rate);
    E().voices.assign(static_cast<size_t>(std::clamp(maxChannels, 1, 1024)), Voice{});
    E().initialized = true;
    return 1;
}

PLINDOR_EXPORT void FSOUND_Close()
{
    std::map<uint32_t, Sample> samples;
    std::map<uint32_t, std::unique_ptr<Song>> songs;
    std::vector<Voice> voices;
    std::lock_guard<std::mutex> guard(E().lock);
    samples.swap(E().samples);
    songs.swap(E().songs);
    voices.swap(E().voices);
    E().initialized = false;
}

PLINDOR_EXPORT uint32_t FSOUND_Sample_Load(int index, const char* name, uint32_t mode, int offset)
{
    auto pcm = LoadPcmFile(name, DecodeMp3);
    if (!pcm)
        return 0;
    Sample s;
    s.mode = ModeOf(pcm->sound, mode & FSOUND_LOOP_NORMAL);
    s.pcm = std::move(pcm);
    std::lock_guard<std::mutex> guard(E().lock);
    uint32_t h = NextHandle();
    E().samples[h] = std::move(s);
    return h;
}

PLINDOR_EXPORT uint32_t FSOUND_Sample_Alloc(int index, int length, uint32_t mode, int freq, int volume, int pan,
                                            int priority)
{
    auto pcm = std::make_shared<PcmSound>();
    pcm->sound.channels = (mode & FSOUND_STEREO) ? 2 : 1;
    pcm->sound.bits = (mode & FSOUND_8BITS) ? 8 : 16;
    pcm->sound.rate = static_cast<uint32_t>(freq);
    if (length <= 0 || !IsValidSoundFormat(pcm->sound.channels, pcm->sound.rate, pcm->sound.bits) ||
        static_cast<uint64_t>(length) * pcm->sound.BlockAlign() > kMaxDecodedBytes)
        return 0;
    pcm->sound.pcm.assign(static_cast<size_t>(length) * pcm->sound.BlockAlign(), pcm->sound.bits == 8 ? 0x80 : 0);
    pcm->loopEnd = static_cast<uint32_t>(length - 1);
    Sample s;
    s.mode = ModeOf(pcm->sound, mode & FSOUND_LOOP_NORMAL);
    s.pcm = std::move(pcm);
    s.volume = std::clamp(volume, 0, 255);
    s.pan = std::clamp(pan, 0, 255);
    s.priority = priority;
    std::lock_guard<std::mutex> guard(E().lock);
    uint32_t h = NextHandle();
    E().samples[h] = std::move(s);
    return h;
}

PLINDOR_EXPORT void FSOUND_Sample_Free(uint32_t sample)
{
    std::shared_ptr<PcmSound> doomed; // voices still playing it keep their own reference
    std::lock_guard<std::mutex> guard(E().lock);
    auto it = E().samples.find(sample);
    if (it == E().samples.end())
        return;
    doomed = it->second.pcm;
    E().samples.erase(it);
}

PLINDOR_EXPORT int FSOUND_Sample_Lock(uint32_t sample, int offset, int length, void** ptr1, void** ptr2,
                                      uint32_t* len1, uint32_t* len2)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Sample* s = FindSample(sample);
    if (!s || !ptr1 || !len1 || offset < 0 || length <= 0)
        return 0;
    auto& bytes = s->pcm->sound.pcm;
    if (static_cast<size_t>(offset) >= bytes.size())
        return 0;
    *ptr1 = bytes.data() + offset;
    *len1 = static_cast<uint32_t>(std::min<size_t>(static_cast<size_t>(length), bytes.size() - offset));
    if (ptr2)
        *ptr2 = nullptr;
    if (len2)
        *len2 = 0;
    return 1;
}

PLINDOR_EXPORT int FSOUND_Sample_Unlock(uint32_t sample, void* ptr1, void* ptr2, uint32_t len1, uint32_t len2)
{
    std::lock_guard<std::mutex> guard(E().lock);
    return FindSample(sample) != nullptr;
}

PLINDOR_EXPORT int FSOUND_Sample_SetLoopPoints(uint32_t sample, int loopStart, int loopEnd)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Sample* s = FindSample(sample);
    if (!s || loopStart < 0 || loopEnd < loopStart || static_cast<uint32_t>(loopEnd) >= s->pcm->Frames())
        return 0;
    s->pcm->loopStart = static_cast<uint32_t>(loopStart);
    s->pcm->loopEnd = static_cast<uint32_t>(loopEnd);
    return 1;
}

PLINDOR_EXPORT uint32_t FSOUND_Sample_GetLength(uint32_t sample)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Sample* s = FindSample(sample);
    return s ? s->pcm->Frames() : 0;
}

PLINDOR_EXPORT int FSOUND_Sample_GetDefaults(uint32_t sample, int* freq, int* volume, int* pan, int* priority)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Sample* s = FindSample(sample);
    if (!s)
        return 0;
    if (freq)
        *freq = static_cast<int>(s->pcm->sound.rate);
    if (volume)
        *volume = s->volume;
    if (pan)
        *pan = s->pan;
    if (priority)
        *priority = s->priority;
    return 1;
}

PLINDOR_EXPORT uint32_t FSOUND_Sample_GetMode(uint32_t sample)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Sample* s = FindSample(sample);
    return s ? s->mode : 0;
}

PLINDOR_EXPORT int FSOUND_PlaySound(int channel, uint32_t sample)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Sample* s = FindSample(sample);
    if (!s)
        return -1;
    if (channel == FSOUND_FREE) {
        auto it = std::find_if(E().voices.begin(), E().voices.end(), [](const Voice& v) { return !v.active; });
        if (it == E().voices.end())
            return -1;
        channel = static_cast<int>(it - E().voices.begin());
    }
    Voice* v = FindVoice(channel);
    if (!v)
        return -1;
    StartVoice(*v, *s);
    return channel;
}

PLINDOR_EXPORT int FSOUND_StopSound(int channel)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Engine& e = E();
    Voice* v = FindVoice(channel);
    if (!v)
        return 0;
    // Stopped at once, but what it was playing falls to silence over a few milliseconds.
    if (v->active && !v->paused && e.initialized)
        e.tails.Add(e.rate, [&](int32_t* acc, int frames) { MixVoice(e, *v, acc, frames); });
    v->active = false;
    return 1;
}

PLINDOR_EXPORT int FSOUND_SetVolume(int channel, int volume)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Voice* v = FindVoice(channel);
    if (!v)
        return 0;
    v->volume = std::clamp(volume, 0, 255);
    return 1;
}

PLINDOR_EXPORT int FSOUND_SetPaused(int channel, int paused)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Voice* v = FindVoice(channel);
    if (!v)
        return 0;
    v->paused = paused != 0;
    return 1;
}

PLINDOR_EXPORT int FSOUND_SetLoopMode(int channel, uint32_t mode)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Voice* v = FindVoice(channel);
    if (!v)
        return 0;
    v->player.loop = mode & FSOUND_LOOP_NORMAL;
    return 1;
}

PLINDOR_EXPORT int FSOUND_IsPlaying(int channel)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Voice* v = FindVoice(channel);
    return v && v->active && !v->paused;
}

PLINDOR_EXPORT uint32_t FSOUND_Stream_OpenFile(const char* file, uint32_t mode, int length)
{
    return FSOUND_Sample_Load(FSOUND_FREE, file, mode, 0);
}

PLINDOR_EXPORT int FSOUND_Stream_Close(uint32_t stream)
{
    std::shared_ptr<PcmSound> doomed;
    std::lock_guard<std::mutex> guard(E().lock);
    auto it = E().samples.find(stream);
    if (it == E().samples.end())
        return 0;
    doomed = it->second.pcm;
    for (Voice& v : E().voices)
        if (v.player.Sound() == doomed)
            v.active = false;
    E().samples.erase(it);
    return 1;
}

PLINDOR_EXPORT int FSOUND_Stream_Play(int channel, uint32_t stream) { return FSOUND_PlaySound(channel, stream); }

PLINDOR_EXPORT uint32_t FMUSIC_LoadSong(const char* name)
{
    auto song = std::make_unique<Song>();
    if (!song->module.LoadFile(name))
        return 0;
    std::lock_guard<std::mutex> guard(E().lock);
    uint32_t h = NextHandle();
    E().songs[h] = std::move(song);
    return h;
}

PLINDOR_EXPORT int FMUSIC_PlaySong(uint32_t song)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Song* s = FindSong(song);
    if (!s)
        return 0;
    s->module.SetOrder(0);
    s->module.SetLoop(s->loop);
    s->playing = true;
    s->paused = false;
    return 1;
}

PLINDOR_EXPORT int FMUSIC_StopSong(uint32_t song)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Engine& e = E();
    Song* s = FindSong(song);
    if (!s)
        return 0;
    if (s->playing && !s->paused && e.initialized)
        e.tails.Add(e.rate, [&](int32_t* acc, int frames) { MixSong(e, *s, acc, frames); });
    s->playing = false;
    return 1;
}

PLINDOR_EXPORT int FMUSIC_SetLooping(uint32_t song, int loop)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Song* s = FindSong(song);
    if (!s)
        return 0;
    s->loop = loop != 0;
    s->module.SetLoop(s->loop);
    return 1;
}

PLINDOR_EXPORT int FMUSIC_SetOrder(uint32_t song, int order)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Song* s = FindSong(song);
    return s && s->module.SetOrder(order);
}

PLINDOR_EXPORT int FMUSIC_SetPaused(uint32_t song, int paused)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Song* s = FindSong(song);
    if (!s)
        return 0;
    s->paused = paused != 0;
    return 1;
}

PLINDOR_EXPORT int FMUSIC_SetMasterVolume(uint32_t song, int volume)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Song* s = FindSong(song);
    if (!s)
        return 0;
    s->volume = std::clamp(volume, 0, 256);
    return 1;
}

PLINDOR_EXPORT int FMUSIC_IsPlaying(uint32_t song)
{
    std::lock_guard<std::mutex> guard(E().lock);
    Song* s = FindSong(song);
    return s && s->playing && !s->paused;
}

PLINDOR_EXPORT int PLINDOR_MusicRender(int16_t* out, int frames)
{
    return RenderMix(Host::Get(), out, frames, [frames](Engine& e) {
        if (e.initialized) {
            for (Voice& v : e.voices) {
                if (!v.active || v.paused)
                    continue;
                if (!MixVoice(e, v, e.acc.data(), frames))
                    v.active = false;
            }
            for (auto& [handle, s] : e.songs) {
                if (!s->playing || s->paused)
                    continue;
                if (!MixSong(e, *s, e.acc.data(), frames))
                    s->playing = false;
            }
        }
    });
}

#define PLINDOR_CHECK(name) static_assert(std::is_same_v<decltype(&name), decltype(Zant::FModApi::name)>, #name)
PLINDOR_CHECK(FSOUND_SetBufferSize);
PLINDOR_CHECK(FSOUND_SetHWND);
PLINDOR_CHECK(FSOUND_Init);
PLINDOR_CHECK(FSOUND_Close);
PLINDOR_CHECK(FSOUND_Sample_Load);
PLINDOR_CHECK(FSOUND_Sample_Alloc);
PLINDOR_CHECK(FSOUND_Sample_Free);
PLINDOR_CHECK(FSOUND_Sample_Lock);
PLINDOR_CHECK(FSOUND_Sample_Unlock);
PLINDOR_CHECK(FSOUND_Sample_SetLoopPoints);
PLINDOR_CHECK(FSOUND_Sample_GetLength);
PLINDOR_CHECK(FSOUND_Sample_GetDefaults);
PLINDOR_CHECK(FSOUND_Sample_GetMode);
PLINDOR_CHECK(FSOUND_PlaySound);
PLINDOR_CHECK(FSOUND_StopSound);
PLINDOR_CHECK(FSOUND_SetVolume);
PLINDOR_CHECK(FSOUND_SetPaused);
PLINDOR_CHECK(FSOUND_SetLoopMode);
PLINDOR_CHECK(FSOUND_IsPlaying);
PLINDOR_CHECK(FSOUND_Stream_OpenFile);
PLINDOR_CHECK(FSOUND_Stream_Close);
PLINDOR_CHECK(FSOUND_Stream_Play);
PLINDOR_CHECK(FMUSIC_LoadSong);
PLINDOR_CHECK(FMUSIC_PlaySong);
PLINDOR_CHECK(FMUSIC_StopSong);
PLINDOR_CHECK(FMUSIC_SetLooping);
PLINDOR_CHECK(FMUSIC_SetOrder);
PLINDOR_CHECK(FMUSIC_SetPaused);
PLINDOR_CHECK(FMUSIC_SetMasterVolume);
PLINDOR_CHECK(FMUSIC_IsPlaying);
static_assert(std::is_same_v<decltype(&PLINDOR_MusicRender), Zant::MusicRenderFn>);
