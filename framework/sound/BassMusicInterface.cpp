#include "framework/sound/BassMusicInterface.h"

#include <algorithm>
#include <cctype>

#include "framework/sound/MusicLibraries.h"
#include "platform/Paths.h"
#include "platform/audio/Mixer.h"

namespace Zant {

namespace {

std::string LowerExtension(const std::string& fileName)
{
    size_t dot = fileName.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : fileName.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

} // namespace

BassMusicInterface::BassMusicInterface(void* window)
{
    mInstance = AcquireBassLibrary();
    mApi = mInstance->api;
    mMusicFree = mInstance->musicFree;
    // Opening an output may change the wave-out volume; the user's setting stays.
    double mixerVolume = Platform::GetWaveOutVolume();
    mApi.BASS_Init(-1, 44100, 0, window);
    Platform::SetWaveOutVolume(mixerVolume);
    mApi.BASS_Start();
}

BassMusicInterface::BassMusicInterface(const BassApi& api, BassMusicFreeFn musicFree) : mApi(api), mMusicFree(musicFree)
{
    mApi.BASS_Init(-1, 44100, 0, nullptr);
    mApi.BASS_Start();
}

BassMusicInterface::~BassMusicInterface()
{
    mApi.BASS_Stop();
    mApi.BASS_Free();
    if (mInstance)
        ReleaseBassLibrary();
    mSongs.clear();
}

bool BassMusicInterface::LoadMusic(int songId, const std::string& fileName)
{
    // The library call may take a while: it runs outside the lock.
    const std::string path = Platform::ToNativePath(fileName);
    const std::string ext = LowerExtension(fileName);
    SongRecord record;
    if (ext == "wav" || ext == "ogg" || ext == "mp3")
        record.stream = mApi.BASS_StreamCreateFile(0, path.c_str(), 0, 0, 0);
    else
        record.module = mApi.BASS_MusicLoad(0, path.c_str(), 0, 0, BASS_MUSIC_LOOP);
    if (record.Handle() == 0)
        return false;

    std::lock_guard<std::mutex> guard(mLock);
    if (!mSongs.emplace(songId, record).second) {
        // The id keeps its first song; the new handle is not kept, so free it.
        if (record.stream)
            mApi.BASS_StreamFree(record.stream);
        else if (mMusicFree)
            mMusicFree(record.module);
    }
    return true;
}

void BassMusicInterface::SendVolume(const SongRecord& song)
{
    mApi.BASS_ChannelSetAttributes(song.Handle(), -1, static_cast<int>(song.volume * 100), -101);
}

void BassMusicInterface::StartSong(SongRecord& song, int offset, bool noLoop, bool resumeModule)
{
    const uint32_t loopFlag = noLoop ? 0 : BASS_MUSIC_LOOP;
    if (song.module) {
        if (resumeModule)
            mApi.BASS_MusicPlay(song.module);
        else
            mApi.BASS_MusicPlayEx(song.module, static_cast<uint32_t>(offset), static_cast<int>(loopFlag), 1);
    } else {
        // Streams have no position entry in the table: an offset restarts them.
        mApi.BASS_StreamPlay(song.stream, offset != -1 ? 1 : 0, loopFlag);
    }
}

void BassMusicInterface::PlayMusic(int songId, int offset, bool noLoop)
{
    std::lock_guard<std::mutex> guard(mLock);
    auto it = mSongs.find(songId);
    if (it == mSongs.end())
        return;
    SongRecord& song = it->second;
    song.StartAtFull(noLoop);
    mApi.BASS_ChannelSetAttributes(song.Handle(), -1, 100, -101);
    StartSong(song, offset, noLoop, false);
}

void BassMusicInterface::FadeIn(int songId, int offset, double speed, bool noLoop)
{
    std::lock_guard<std::mutex> guard(mLock);
    auto it = mSongs.find(songId);
    if (it == mSongs.end())
        return;
    SongRecord& song = it->second;
    song.FadeIn(speed, noLoop);
    SendVolume(song); // from where the volume stands: 0 after loading or stopping
    StartSong(song, offset, noLoop, offset == -1);
}

void BassMusicInterface::FadeOut(int songId, bool stopSong, double speed)
{
    std::lock_guard<std::mutex> guard(mLock);
    FadeOutSong(mSongs, songId, stopSong, speed);
}

void BassMusicInterface::FadeOutAll(bool stopSong, double speed)
{
    std::lock_guard<std::mutex> guard(mLock);
    FadeOutAllSongs(mSongs, stopSong, speed);
}

void BassMusicInterface::StopMusic(int songId)
{
    std::lock_guard<std::mutex> guard(mLock);
    auto it = mSongs.find(songId);
    if (it == mSongs.end())
        return;
    it->second.volume = 0.0;
    mApi.BASS_ChannelStop(it->second.Handle());
}

void BassMusicInterface::StopAllMusic()
{
    std::lock_guard<std::mutex> guard(mLock);
    for (auto& [id, song] : mSongs) {
        song.volume = 0.0;
        mApi.BASS_ChannelStop(song.Handle());
    }
}

void BassMusicInterface::PauseMusic(int songId)
{
    std::lock_guard<std::mutex> guard(mLock);
    auto it = mSongs.find(songId);
    if (it != mSongs.end())
        mApi.BASS_ChannelPause(it->second.Handle());
}

void BassMusicInterface::ResumeMusic(int songId)
{
    std::lock_guard<std::mutex> guard(mLock);
    auto it = mSongs.find(songId);
    if (it != mSongs.end())
        mApi.BASS_ChannelResume(it->second.Handle());
}

void BassMusicInterface::SetSongVolume(int songId, double volume)
{
    std::lock_guard<std::mutex> guard(mLock);
    auto it = mSongs.find(songId);
    if (it == mSongs.end())
        return;
    it->second.volume = volume;
    SendVolume(it->second);
}

bool BassMusicInterface::IsPlaying(int songId)
{
    std::lock_guard<std::mutex> guard(mLock);
    auto it = mSongs.find(songId);
    return it != mSongs.end() && mApi.BASS_ChannelIsActive(it->second.Handle()) == BASS_ACTIVE_PLAYING;
}

void BassMusicInterface::SetVolume(double volume)
{
    int v = static_cast<int>(mMasterVolumeScale * volume);
    mApi.BASS_SetGlobalVolumes(v, v, v);
}

void BassMusicInterface::Update()
{
    std::lock_guard<std::mutex> guard(mLock);
    StepSongFades(
        mSongs, [&](int, SongRecord& song) { mApi.BASS_ChannelStop(song.Handle()); },
        [&](int, SongRecord& song) { SendVolume(song); });
}

} // namespace Zant
