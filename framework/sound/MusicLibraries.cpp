#include "framework/sound/MusicLibraries.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/Log.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"

namespace Zant {

namespace {

std::mutex gFolderLock;
std::string gFolder;
bool gFolderSet = false;

template <class Fn>
bool Find(const Platform::SharedLibrary& lib, const char* name, Fn& slot, std::string& missing)
{
    void* p = lib.Symbol(name);
    if (!p) {
        missing = name;
        return false;
    }
    slot = reinterpret_cast<Fn>(p);
    return true;
}

#define PLINDOR_FIND(field)                                                                                          \
    if (!Find(lib, #field, api.field, missing))                                                                      \
    return false

[[noreturn]] void FatalLibraryError(const std::string& text)
{
    Platform::MessageBoxRequest box;
    box.title = "Error";
    box.text = text;
    box.icon = Platform::BoxIcon::Error;
    Platform::ShowMessageBox(box);
    std::fflush(nullptr);
    // Nothing can play without the library; leave at once, as a fatal start-up error.
    std::_Exit(1);
}

int PullMusic(int16_t* out, int frames, void* user)
{
    return static_cast<LoadedMusicLibrary*>(user)->render(out, frames);
}

// One shared instance per library kind, counted by its users.
template <class Instance>
struct SharedInstance {
    std::mutex lock;
    std::atomic<int> useCount{0};
    Instance* instance = nullptr;
};

SharedInstance<BassInstance> gBass;
SharedInstance<FModInstance> gFMod;

template <class Instance, class LookupFn>
Instance* Acquire(SharedInstance<Instance>& shared, const char* fileName, LookupFn lookup)
{
    std::lock_guard<std::mutex> guard(shared.lock);
    shared.useCount.fetch_add(1);
    if (!shared.instance) {
        auto instance = std::make_unique<Instance>();
        if (!instance->library.Open(MusicLibraryFolder() + "/" + fileName)) {
            // The box keeps the game's words; the log says what was wrong with the file.
            Platform::DebugOutput("Cannot load " + std::string(fileName) + ": " + instance->library.Error() + "\n");
            FatalLibraryError(std::string("Can't find ") + fileName + ".");
        }
        std::string missing;
        if (!lookup(*instance, missing))
            FatalLibraryError(missing + " function not found in " + fileName);
        instance->ConnectOutput();
        shared.instance = instance.release();
    }
    return shared.instance;
}

template <class Instance>
void Release(SharedInstance<Instance>& shared)
{
    std::lock_guard<std::mutex> guard(shared.lock);
    if (shared.useCount.fetch_sub(1) - 1 < 1) {
        delete shared.instance;
        shared.instance = nullptr;
        shared.useCount = 0;
    }
}

} // namespace

LoadedMusicLibrary::~LoadedMusicLibrary()
{
    // Leave the mixer before the code it calls is unloaded.
    if (output)
        output->GetMixer().RemoveSource(sourceId);
    output.reset();
    library.Close();
}

void LoadedMusicLibrary::ConnectOutput()
{
    render = reinterpret_cast<MusicRenderFn>(library.Symbol(kMusicRenderEntry));
    if (!render)
        return;
    output = Platform::AudioOutput::Acquire();
    if (output)
        sourceId = output->GetMixer().AddSource(&PullMusic, this);
}

void SetMusicLibraryFolder(const std::string& folder)
{
    std::lock_guard<std::mutex> guard(gFolderLock);
    gFolder = folder;
    gFolderSet = true;
}

std::string MusicLibraryFolder()
{
    std::lock_guard<std::mutex> guard(gFolderLock);
    if (gFolderSet)
        return gFolder;
    std::string folder;
    if (!Platform::ProgramFolder(folder))
        folder = ".";
    return folder;
}

bool LookupBassEntryPoints(const Platform::SharedLibrary& lib, BassApi& api, std::string& missing)
{
    PLINDOR_FIND(BASS_Init);
    PLINDOR_FIND(BASS_Free);
    PLINDOR_FIND(BASS_Stop);
    PLINDOR_FIND(BASS_Start);
    PLINDOR_FIND(BASS_SetGlobalVolumes);
    PLINDOR_FIND(BASS_ChannelStop);
    PLINDOR_FIND(BASS_ChannelPause);
    PLINDOR_FIND(BASS_ChannelResume);
    PLINDOR_FIND(BASS_ChannelSetAttributes);
    PLINDOR_FIND(BASS_ChannelIsActive);
    PLINDOR_FIND(BASS_MusicLoad);
    PLINDOR_FIND(BASS_MusicPlay);
    PLINDOR_FIND(BASS_MusicPlayEx);
    PLINDOR_FIND(BASS_StreamCreateFile);
    PLINDOR_FIND(BASS_StreamFree);
    PLINDOR_FIND(BASS_StreamPlay);
    return true;
}

bool LookupFModEntryPoints(const Platform::SharedLibrary& lib, FModApi& api, std::string& missing)
{
    PLINDOR_FIND(FSOUND_SetBufferSize);
    PLINDOR_FIND(FSOUND_SetHWND);
    PLINDOR_FIND(FSOUND_Init);
    PLINDOR_FIND(FSOUND_Close);
    PLINDOR_FIND(FSOUND_Sample_Load);
    PLINDOR_FIND(FSOUND_Sample_Alloc);
    PLINDOR_FIND(FSOUND_Sample_Free);
    PLINDOR_FIND(FSOUND_Sample_Lock);
    PLINDOR_FIND(FSOUND_Sample_Unlock);
    PLINDOR_FIND(FSOUND_Sample_SetLoopPoints);
    PLINDOR_FIND(FSOUND_Sample_GetLength);
    PLINDOR_FIND(FSOUND_Sample_GetDefaults);
    PLINDOR_FIND(FSOUND_Sample_GetMode);
    PLINDOR_FIND(FSOUND_PlaySound);
    PLINDOR_FIND(FSOUND_StopSound);
    PLINDOR_FIND(FSOUND_SetVolume);
    PLINDOR_FIND(FSOUND_SetPaused);
    PLINDOR_FIND(FSOUND_SetLoopMode);
    PLINDOR_FIND(FSOUND_IsPlaying);
    PLINDOR_FIND(FSOUND_Stream_OpenFile);
    PLINDOR_FIND(FSOUND_Stream_Close);
    PLINDOR_FIND(FSOUND_Stream_Play);
    PLINDOR_FIND(FMUSIC_LoadSong);
    PLINDOR_FIND(FMUSIC_PlaySong);
    PLINDOR_FIND(FMUSIC_StopSong);
    PLINDOR_FIND(FMUSIC_SetLooping);
    PLINDOR_FIND(FMUSIC_SetOrder);
    PLINDOR_FIND(FMUSIC_SetPaused);
    PLINDOR_FIND(FMUSIC_SetMasterVolume);
    PLINDOR_FIND(FMUSIC_IsPlaying);
    return true;
}

#undef PLINDOR_FIND

BassInstance* AcquireBassLibrary()
{
    return Acquire(gBass, kBassLibraryName, [](BassInstance& bass, std::string& missing) {
        bass.musicFree = reinterpret_cast<BassMusicFreeFn>(bass.library.Symbol(kBassMusicFreeEntry));
        return LookupBassEntryPoints(bass.library, bass.api, missing);
    });
}

void ReleaseBassLibrary() { Release(gBass); }
int BassLibraryUseCount() { return gBass.useCount.load(); }

FModInstance* AcquireFModLibrary()
{
    return Acquire(gFMod, kFModLibraryName, [](FModInstance& fmod, std::string& missing) {
        return LookupFModEntryPoints(fmod.library, fmod.api, missing);
    });
}

void ReleaseFModLibrary() { Release(gFMod); }
int FModLibraryUseCount() { return gFMod.useCount.load(); }

} // namespace Zant
