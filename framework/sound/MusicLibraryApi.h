#pragma once
// The entry points of the two run-time loaded music libraries, as tables of
// function pointers filled by name. This header is also compiled into the libraries
// themselves, which check their exports against these types.
#include <cstdint>

namespace Zant {

// File names of our music libraries, looked up beside the program.
constexpr const char* kBassLibraryName = "libplindormusic.so";
constexpr const char* kFModLibraryName = "libplindorsound.so";

// Optional export of both libraries: writes `frames` frames of 16-bit stereo at the
// rate given to the library's init into out and returns the count. The framework's
// audio output pulls it, so music and effects share one device.
constexpr const char* kMusicRenderEntry = "PLINDOR_MusicRender";
using MusicRenderFn = int (*)(int16_t* out, int frames);

// Module flag: loop forever instead of stopping at the song's end.
constexpr uint32_t BASS_MUSIC_LOOP = 4;
// Results of BASS_ChannelIsActive.
constexpr uint32_t BASS_ACTIVE_STOPPED = 0;
constexpr uint32_t BASS_ACTIVE_PLAYING = 1;
constexpr uint32_t BASS_ACTIVE_PAUSED = 3;

struct BassApi {
    int (*BASS_Init)(int device, uint32_t freq, uint32_t flags, void* window);
    int (*BASS_Free)();
    int (*BASS_Stop)();
    int (*BASS_Start)();
    int (*BASS_SetGlobalVolumes)(int music, int sample, int stream);
    int (*BASS_ChannelStop)(uint32_t handle);
    int (*BASS_ChannelPause)(uint32_t handle);
    int (*BASS_ChannelResume)(uint32_t handle);
    int (*BASS_ChannelSetAttributes)(uint32_t handle, int freq, int volume, int pan);
    uint32_t (*BASS_ChannelIsActive)(uint32_t handle);
    uint32_t (*BASS_MusicLoad)(int mem, const void* file, uint32_t offset, uint32_t length, uint32_t flags);
    int (*BASS_MusicPlay)(uint32_t handle);
    int (*BASS_MusicPlayEx)(uint32_t handle, uint32_t order, int flags, int reset);
    uint32_t (*BASS_StreamCreateFile)(int mem, const void* file, uint32_t offset, uint32_t length, uint32_t flags);
    int (*BASS_StreamFree)(uint32_t handle);
    int (*BASS_StreamPlay)(uint32_t handle, int flush, uint32_t flags);
};

// Optional: frees a module whose handle is not kept (a song id loaded twice).
constexpr const char* kBassMusicFreeEntry = "BASS_MusicFree";
using BassMusicFreeFn = int (*)(uint32_t handle);

// Sample modes of the second library.
constexpr uint32_t FSOUND_LOOP_OFF = 0x01;
constexpr uint32_t FSOUND_LOOP_NORMAL = 0x02;
constexpr uint32_t FSOUND_8BITS = 0x08;
constexpr uint32_t FSOUND_16BITS = 0x10;
constexpr uint32_t FSOUND_MONO = 0x20;
constexpr uint32_t FSOUND_STEREO = 0x40;
constexpr int FSOUND_FREE = -1;

struct FModApi {
    int (*FSOUND_SetBufferSize)(int ms);
    int (*FSOUND_SetHWND)(void* window);
    int (*FSOUND_Init)(int mixRate, int maxChannels, uint32_t flags);
    void (*FSOUND_Close)();
    uint32_t (*FSOUND_Sample_Load)(int index, const char* name, uint32_t mode, int offset);
    uint32_t (*FSOUND_Sample_Alloc)(int index, int length, uint32_t mode, int freq, int volume, int pan, int priority);
    void (*FSOUND_Sample_Free)(uint32_t sample);
    int (*FSOUND_Sample_Lock)(uint32_t sample, int offset, int length, void** ptr1, void** ptr2, uint32_t* len1,
                              uint32_t* len2);
    int (*FSOUND_Sample_Unlock)(uint32_t sample, void* ptr1, void* ptr2, uint32_t len1, uint32_t len2);
    int (*FSOUND_Sample_SetLoopPoints)(uint32_t sample, int loopStart, int loopEnd);
    uint32_t (*FSOUND_Sample_GetLength)(uint32_t sample);
    int (*FSOUND_Sample_GetDefaults)(uint32_t sample, int* freq, int* volume, int* pan, int* priority);
    uint32_t (*FSOUND_Sample_GetMode)(uint32_t sample);
    int (*FSOUND_PlaySound)(int channel, uint32_t sample);
    int (*FSOUND_StopSound)(int channel);
    int (*FSOUND_SetVolume)(int channel, int volume);
    int (*FSOUND_SetPaused)(int channel, int paused);
    int (*FSOUND_SetLoopMode)(int channel, uint32_t mode);
    int (*FSOUND_IsPlaying)(int channel);
    uint32_t (*FSOUND_Stream_OpenFile)(const char* file, uint32_t mode, int length);
    int (*FSOUND_Stream_Close)(uint32_t stream);
    int (*FSOUND_Stream_Play)(int channel, uint32_t stream);
    uint32_t (*FMUSIC_LoadSong)(const char* name);
    int (*FMUSIC_PlaySong)(uint32_t song);
    int (*FMUSIC_StopSong)(uint32_t song);
    int (*FMUSIC_SetLooping)(uint32_t song, int loop);
    int (*FMUSIC_SetOrder)(uint32_t song, int order);
    int (*FMUSIC_SetPaused)(uint32_t song, int paused);
    int (*FMUSIC_SetMasterVolume)(uint32_t song, int volume);
    int (*FMUSIC_IsPlaying)(uint32_t song);
};

} // namespace Zant
