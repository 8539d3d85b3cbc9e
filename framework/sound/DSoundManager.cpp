#include "framework/sound/DSoundManager.h"

#include <cmath>
#include <cstring>

#include "framework/sound/DSoundInstance.h"
#include "framework/sound/MusicLibraries.h"
#include "platform/Log.h"
#include "platform/FileBytes.h"
#include "platform/Paths.h"
#include "platform/audio/FileTime.h"
#include "platform/audio/Mixer.h"
#include "platform/audio/VolumeLaw.h"

namespace Zant {

DSoundManager::DSoundManager(void* window, bool useFMod) : mUseFMod(useFMod)
{
    mBaseVolumes.fill(1.0);
    if (!window)
        return;
    Platform::AudioResult r = Platform::DirectSoundCreate(mDevice);
    if (r != Platform::AUDIO_OK)
        Platform::DebugOutput(std::string("Sound effects are silent: ") + Platform::AudioResultName(r) + "\n");
    if (mUseFMod) {
        mFMod = AcquireFModLibrary();
        mFMod->api.FSOUND_SetHWND(window);
        mFMod->api.FSOUND_SetBufferSize(200);
        mFMod->api.FSOUND_Init(44100, 64, 2);
    }
    if (mDevice)
        mDevice->SetCooperativeLevel(window, 1);
}

DSoundManager::DSoundManager(std::unique_ptr<Platform::AudioDevice> device, bool useFMod)
    : mDevice(std::move(device)), mUseFMod(useFMod)
{
    mBaseVolumes.fill(1.0);
    if (mUseFMod) {
        mFMod = AcquireFModLibrary();
        mFMod->api.FSOUND_SetBufferSize(200);
        mFMod->api.FSOUND_Init(44100, 64, 2);
    }
}

DSoundManager::~DSoundManager()
{
    ReleaseChannels();
    ReleaseSounds();
    if (mFMod) {
        mFMod->api.FSOUND_Close();
        ReleaseFModLibrary();
    }
}

bool DSoundManager::Initialized() { return mDevice != nullptr; }

int DSoundManager::LinearToDSoundVolume(double volume)
{
    return static_cast<int>(Platform::VolumeToAttenuation(volume));
}

bool DSoundManager::IsSoundLoaded(unsigned int id)
{
    std::lock_guard<std::mutex> guard(mSoundLock);
    return id < MAX_SOURCE_SOUNDS && mSourceSounds[id] != nullptr;
}

std::shared_ptr<const Platform::PcmData> DSoundManager::GetSoundData(unsigned int id)
{
    std::lock_guard<std::mutex> guard(mSoundLock);
    if (id >= MAX_SOURCE_SOUNDS || !mSourceSounds[id])
        return nullptr;
    return mSourceSounds[id]->Data();
}

bool DSoundManager::StoreSound(unsigned int id, const PcmSpan& sound)
{
    if (sound.size == 0 || sound.size > Platform::kMaxBufferBytes)
        return false;
    Platform::WaveFormat format = Platform::MakePcmFormat(sound.channels, sound.rate, sound.bits);
    const auto size = static_cast<uint32_t>(sound.size);
    std::unique_ptr<Platform::SoundBuffer> buffer;
    if (mDevice) {
        if (mDevice->CreateSoundBuffer(format, size, buffer) != Platform::AUDIO_OK)
            return false;
        void* dest = nullptr;
        uint32_t destSize = 0;
        if (buffer->Lock(&dest, &destSize) != Platform::AUDIO_OK)
            return false;
        std::memcpy(dest, sound.pcm, size);
        if (buffer->Unlock() != Platform::AUDIO_OK)
            return false;
    } else {
        // No device: keep the PCM anyway, so a silent machine still loads its sounds.
        auto data = std::make_shared<Platform::PcmData>();
        data->format = format;
        data->bytes.assign(sound.pcm, sound.pcm + size);
        buffer = std::make_unique<Platform::SoundBuffer>(nullptr, std::move(data));
    }
    std::lock_guard<std::mutex> guard(mSoundLock);
    mSourceSounds[id] = std::move(buffer);
    mSourceDataSizes[id] = size;
    return true;
}

namespace {

// Reads a sound file whole: a WAV's samples go from there straight into their buffer.
// A missing file is no error here (another kind may exist), one that is there but
// cannot be read is.
bool ReadSoundFile(const std::string& fileName, Platform::FileBytes& file, std::string& error)
{
    if (file.Open(fileName, kMaxSoundFileBytes))
        return true;
    if (Platform::FileWriteTime(fileName) != 0)
        error = fileName + ": cannot be read (or is larger than a sound can be)";
    return false;
}

} // namespace

bool DSoundManager::ReadWavFile(unsigned int id, const std::string& fileName, std::string& error)
{
    Platform::FileBytes file;
    if (!ReadSoundFile(fileName, file, error))
        return false;
    PcmSpan sound;
    SoundDependency dep;
    std::string reason;
    if (!ParseWavInPlace(file.Data(), file.Size(), sound, &dep, reason)) {
        error = fileName + ": " + reason;
        return false;
    }
    // A copy whose source changed (or is gone) is stale.
    if (dep.present && dep.fileTime != Platform::FileWriteTime(dep.name))
        return false;
    return StoreSound(id, sound);
}

bool DSoundManager::DecodeFile(const std::string& fileName, DecodedSound& sound, std::string& error)
{
    Platform::FileBytes file;
    if (!ReadSoundFile(fileName, file, error))
        return false;
    std::string reason;
    bool ok = fileName.ends_with(".ogg") ? DecodeOgg(file.Data(), file.Size(), sound, reason)
                                         : ParseAu(file.Data(), file.Size(), sound, reason);
    if (!ok) {
        Platform::DebugOutput("Cannot decode " + fileName + ": " + reason + "\n");
        error = fileName + ": " + reason;
    }
    return ok;
}

bool DSoundManager::DecodeMp3(const std::string& fileName, DecodedSound& sound)
{
    if (!mFMod || Platform::FileWriteTime(fileName) == 0) // no such file
        return false;
    const FModApi& api = mFMod->api;
    uint32_t sample = api.FSOUND_Sample_Load(FSOUND_FREE, Platform::ToNativePath(fileName).c_str(), 0, 0);
    if (sample == 0)
        return false;
    uint32_t mode = api.FSOUND_Sample_GetMode(sample);
    sound.channels = (mode & FSOUND_MONO) ? 1 : 2;
    sound.bits = (mode & FSOUND_8BITS) ? 8 : 16;
    int rate = 0, volume = 0, pan = 0, priority = 0;
    api.FSOUND_Sample_GetDefaults(sample, &rate, &volume, &pan, &priority);
    sound.rate = static_cast<uint32_t>(rate);
    uint64_t bytes = static_cast<uint64_t>(api.FSOUND_Sample_GetLength(sample)) * sound.BlockAlign();
    bool ok = false;
    if (IsValidSoundFormat(sound.channels, sound.rate, sound.bits) && bytes > 0 && bytes <= kMaxDecodedBytes) {
        void *p1 = nullptr, *p2 = nullptr;
        uint32_t l1 = 0, l2 = 0;
        if (api.FSOUND_Sample_Lock(sample, 0, static_cast<int>(bytes), &p1, &p2, &l1, &l2) && p1) {
            const auto* src = static_cast<const uint8_t*>(p1);
            sound.pcm.assign(src, src + std::min<uint64_t>(l1, bytes));
            api.FSOUND_Sample_Unlock(sample, p1, p2, l1, l2);
            ok = !sound.pcm.empty();
        }
    }
    api.FSOUND_Sample_Free(sample);
    return ok;
}

void DSoundManager::WriteCachedWav(unsigned int id, const std::string& cachedName, const std::string& sourceName)
{
    DecodedSound sound;
    {
        std::lock_guard<std::mutex> guard(mSoundLock);
        Platform::SoundBuffer* buffer = mSourceSounds[id].get();
        if (!buffer)
            return;
        Platform::WaveFormat format;
        buffer->GetFormat(&format);
        sound.channels = format.channels;
        sound.rate = format.samplesPerSec;
        sound.bits = format.bitsPerSample;
        const Platform::PcmBytes& kept = buffer->Data()->bytes;
        sound.pcm.assign(kept.begin(), kept.end());
    }
    SoundDependency dep;
    dep.present = true;
    dep.name = sourceName;
    dep.fileTime = Platform::FileWriteTime(sourceName);
    std::string file = BuildCachedWav(sound, &dep);
    // Written whole or not at all, so a crash cannot leave a short copy behind.
    if (!Platform::WriteFileAtomic(Platform::ToNativePath(cachedName), file))
        Platform::DebugOutput("Cannot write " + cachedName + "\n");
}

bool DSoundManager::LoadSoundFile(unsigned int id, const std::string& name, std::string& error)
{
    error.clear();
    if (id >= MAX_SOURCE_SOUNDS) {
        error = name + ": sound number " + std::to_string(id) + " out of range";
        return false;
    }
    // The cached copy is only a shortcut: its faults are not the sound's.
    const std::string cachedName = CachedSoundName(name);
    std::string cacheError;
    if (ReadWavFile(id, cachedName, cacheError))
        return true;
    if (ReadWavFile(id, name + ".wav", error))
        return true;

    DecodedSound sound;
    std::string decoded;
    // The first damaged file found is the one to name.
    std::string* firstError = error.empty() ? &error : &cacheError;
    if (mUseFMod && DecodeMp3(name + ".mp3", sound))
        decoded = name + ".mp3";
    else if (DecodeFile(name + ".ogg", sound, *firstError))
        decoded = name + ".ogg";
    else if (DecodeFile(name + ".au", sound, error.empty() ? error : cacheError))
        decoded = name + ".au";
    if (decoded.empty()) {
        if (error.empty())
            error = name + ": no sound file (.wav, .ogg or .au) found";
        return false;
    }
    error.clear();
    if (!StoreSound(id, SpanOf(sound))) {
        error = decoded + ": a sound format that cannot be played";
        return false;
    }
    WriteCachedWav(id, cachedName, decoded);
    return true;
}

bool DSoundManager::SetBaseVolume(unsigned int id, double volume)
{
    if (id >= MAX_SOURCE_SOUNDS)
        return false;
    std::lock_guard<std::mutex> guard(mSoundLock);
    mBaseVolumes[id] = volume;
    return true;
}

bool DSoundManager::SetBasePan(unsigned int id, int pan)
{
    if (id >= MAX_SOURCE_SOUNDS)
        return false;
    std::lock_guard<std::mutex> guard(mSoundLock);
    mBasePans[id] = pan;
    return true;
}

void DSoundManager::SetVolume(double volume)
{
    mMasterVolume = volume;
    for (auto& channel : mPlayingSounds)
        if (channel)
            channel->RehupVolume();
}

int DSoundManager::FindFreeChannel()
{
    for (int i = 0; i < MAX_CHANNELS; ++i) {
        if (!mPlayingSounds[i])
            return i;
        if (mPlayingSounds[i]->IsReleased()) {
            mPlayingSounds[i].reset(); // its buffer leaves the mixer under the mixer's lock
            return i;
        }
    }
    return -1;
}

SoundInstance* DSoundManager::CreateChannel(unsigned int id)
{
    if (id >= MAX_SOURCE_SOUNDS)
        return nullptr;
    int channel = FindFreeChannel();
    if (channel < 0)
        return nullptr;

    std::unique_ptr<Platform::SoundBuffer> duplicate;
    double baseVolume;
    int basePan;
    {
        std::lock_guard<std::mutex> guard(mSoundLock);
        if (mDevice) {
            Platform::SoundBuffer* source = mSourceSounds[id].get();
            if (!source)
                return nullptr;
            Platform::AudioResult r = mDevice->DuplicateSoundBuffer(*source, duplicate);
            if (r != Platform::AUDIO_OK) {
                // A sound that cannot be duplicated just does not play this time.
                Platform::DebugOutput(std::string("Hey: ") + Platform::AudioResultName(r) + "\n");
                return nullptr;
            }
        }
        baseVolume = mBaseVolumes[id];
        basePan = mBasePans[id];
    }
    auto instance = std::make_unique<DSoundInstance>(this, std::move(duplicate));
    DSoundInstance* result = instance.get();
    mPlayingSounds[channel] = std::move(instance);
    result->SetBasePan(basePan);
    result->SetBaseVolume(baseVolume);
    return result;
}

void DSoundManager::ReleaseSounds()
{
    std::lock_guard<std::mutex> guard(mSoundLock);
    for (unsigned int i = 0; i < MAX_SOURCE_SOUNDS; ++i) {
        mSourceSounds[i].reset();
        mSourceDataSizes[i] = 0;
    }
}

void DSoundManager::ReleaseChannels()
{
    for (auto& channel : mPlayingSounds)
        channel.reset();
}

double DSoundManager::ReadMixerVolume() { return Platform::GetWaveOutVolume(); }

void DSoundManager::WriteMixerVolume(double volume) { Platform::SetWaveOutVolume(volume); }

void DSoundManager::SetCooperativeWindow(void* window, bool isWindowed)
{
    if (mDevice)
        mDevice->SetCooperativeLevel(window, 1);
}

} // namespace Zant
