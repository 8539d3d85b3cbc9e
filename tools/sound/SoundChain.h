#pragma once
// The game's own sound chain, offline: effects through a sound manager, tunes through
// the program folder's music library and the music interface, both at the default
// volumes and summed by one mixer that is rendered by hand. What it records is what
// the game sends to the speakers.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/sound/MusicLibraryApi.h"
#include "platform/audio/SharedLibrary.h"
#include "tools/sound/Dsp.h"

namespace Platform {
class OfflineAudioDevice;
}

namespace Zant {

class BassMusicInterface;
class DSoundManager;

class GameSoundChain {
public:
    GameSoundChain();
    ~GameSoundChain();
    GameSoundChain(const GameSoundChain&) = delete;
    GameSoundChain& operator=(const GameSoundChain&) = delete;

    // Loads the program folder's music library and module, as the game does at start.
    bool OpenMusic(const std::string& programFolder, std::string& error);
    // An effect file (name without ".wav") played once, or looping, from its start.
    bool HearEffect(const std::string& name, bool loop, size_t frames, Dsp::Signal& left, Dsp::Signal& right,
                    std::string& error);
    // A tune from its order position, at full song volume as after the game's fade-in.
    void HearTune(int order, bool once, size_t frames, Dsp::Signal& left, Dsp::Signal& right);

    // Renders frames in the blocks the audio device asks for.
    void Record(size_t frames, Dsp::Signal& left, Dsp::Signal& right);

    // A game may borrow both; it must let go of them before the chain goes.
    DSoundManager& Sounds() { return *mSounds; }
    BassMusicInterface* Music() { return mMusic.get(); }
    Platform::OfflineAudioDevice& Device() { return *mDevice; }

    static constexpr uint32_t kDeviceBlock = 1024;

private:
    static int Pull(int16_t* out, int frames, void* render);

    Platform::SharedLibrary mLibrary;
    MusicRenderFn mRender = nullptr;
    Platform::OfflineAudioDevice* mDevice = nullptr; // owned by the sound manager
    std::unique_ptr<DSoundManager> mSounds;
    std::unique_ptr<BassMusicInterface> mMusic;
};

} // namespace Zant
