#pragma once
// The process's shared instances of the two music libraries. Acquire loads the
// library on first use and looks up every entry point by name; the instance lives
// until the last Release. A library or entry point that cannot be found is fatal:
// a message box names it and the program ends with exit code 1.
#include <memory>
#include <string>

#include "framework/sound/MusicLibraryApi.h"
#include "platform/audio/AudioOutput.h"
#include "platform/audio/SharedLibrary.h"

namespace Zant {

struct LoadedMusicLibrary {
    LoadedMusicLibrary() = default;
    LoadedMusicLibrary(const LoadedMusicLibrary&) = delete;
    LoadedMusicLibrary& operator=(const LoadedMusicLibrary&) = delete;
    ~LoadedMusicLibrary();

    // Feeds the library's output into the shared audio output, when it has one.
    void ConnectOutput();

    Platform::SharedLibrary library;
    MusicRenderFn render = nullptr;
    std::shared_ptr<Platform::AudioOutput> output;
    int sourceId = 0;
};

struct BassInstance : LoadedMusicLibrary {
    BassApi api{};
    BassMusicFreeFn musicFree = nullptr; // optional
};

struct FModInstance : LoadedMusicLibrary {
    FModApi api{};
};

BassInstance* AcquireBassLibrary();
void ReleaseBassLibrary();
int BassLibraryUseCount();

FModInstance* AcquireFModLibrary();
void ReleaseFModLibrary();
int FModLibraryUseCount();

// Where the libraries are looked for; the program's folder unless set.
void SetMusicLibraryFolder(const std::string& folder);
std::string MusicLibraryFolder();

// Fills api from an open library in table order; false with the first missing name.
bool LookupBassEntryPoints(const Platform::SharedLibrary& library, BassApi& api, std::string& missing);
bool LookupFModEntryPoints(const Platform::SharedLibrary& library, FModApi& api, std::string& missing);

} // namespace Zant
