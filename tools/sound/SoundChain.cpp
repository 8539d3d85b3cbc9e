#include "tools/sound/SoundChain.h"

#include <algorithm>
#include <vector>

#include "framework/sound/BassMusicInterface.h"
#include "framework/sound/DSoundManager.h"
#include "framework/sound/GameVolumes.h"
#include "framework/sound/MusicLibraries.h"
#include "framework/sound/SoundInstance.h"
#include "platform/audio/AudioDevice.h"

namespace Zant {

GameSoundChain::GameSoundChain()
{
    auto device = std::make_unique<Platform::OfflineAudioDevice>(Platform::kOutputRate);
    mDevice = device.get();
    mSounds = std::make_unique<DSoundManager>(std::move(device));
    mSounds->SetVolume(kDefaultSfxVolume);
}

// The music interface goes first (it frees the library's songs), then the mixer
// that pulls the library, then the library.
GameSoundChain::~GameSoundChain()
{
    mMusic.reset();
    mSounds.reset();
}

bool GameSoundChain::OpenMusic(const std::string& programFolder, std::string& error)
{
    if (!mLibrary.Open(programFolder + "/" + kBassLibraryName)) {
        error = mLibrary.Error();
        return false;
    }
    BassApi api{};
    std::string missing;
    if (!LookupBassEntryPoints(mLibrary, api, missing)) {
        error = missing + " is missing from " + kBassLibraryName;
        return false;
    }
    mRender = reinterpret_cast<MusicRenderFn>(mLibrary.Symbol(kMusicRenderEntry));
    if (!mRender) {
        error = std::string(kMusicRenderEntry) + " is missing from " + kBassLibraryName;
        return false;
    }
    mMusic = std::make_unique<BassMusicInterface>(api);
    mMusic->SetVolume(kDefaultMusicVolume);
    // The game loads its module twice, as two songs that cross-fade.
    const std::string module = programFolder + "/music/Brinetun.mo3";
    if (!mMusic->LoadMusic(0, module) || !mMusic->LoadMusic(1, module)) {
        error = "the music library cannot load " + module;
        return false;
    }
    mDevice->GetMixer()->AddSource(&Pull, reinterpret_cast<void*>(mRender));
    return true;
}

int GameSoundChain::Pull(int16_t* out, int frames, void* render)
{
    return reinterpret_cast<MusicRenderFn>(render)(out, frames);
}

void GameSoundChain::Record(size_t frames, Dsp::Signal& left, Dsp::Signal& right)
{
    left.clear();
    right.clear();
    for (size_t done = 0; done < frames;) {
        const uint32_t n = static_cast<uint32_t>(std::min<size_t>(kDeviceBlock, frames - done));
        const std::vector<int16_t> out = mDevice->Render(n);
        for (uint32_t i = 0; i < n; ++i) {
            left.push_back(out[2 * i] / 32768.0f);
            right.push_back(out[2 * i + 1] / 32768.0f);
        }
        done += n;
    }
}

bool GameSoundChain::HearEffect(const std::string& name, bool loop, size_t frames, Dsp::Signal& left,
                                Dsp::Signal& right, std::string& error)
{
    constexpr unsigned kSlot = DSoundManager::MAX_SOURCE_SOUNDS - 1;
    mSounds->ReleaseChannels();
    if (!mSounds->LoadSoundFile(kSlot, name, error)) {
        if (error.empty()) error = name + ".wav cannot be read";
        return false;
    }
    SoundInstance* sound = mSounds->CreateChannel(kSlot);
    if (!sound || !sound->Play(loop, true)) {
        error = "the sound manager cannot play " + name;
        return false;
    }
    Record(frames, left, right);
    mSounds->ReleaseChannels();
    return true;
}

void GameSoundChain::HearTune(int order, bool once, size_t frames, Dsp::Signal& left, Dsp::Signal& right)
{
    if (!mMusic) {
        left.assign(frames, 0.0f);
        right.assign(frames, 0.0f);
        return;
    }
    mMusic->PlayMusic(0, order, once);
    Record(frames, left, right);
    mMusic->StopMusic(0);
}

} // namespace Zant
