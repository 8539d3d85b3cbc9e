#include "framework/sound/FModMusicInterface.h"

#include <algorithm>
#include <cstring>

#include "framework/sound/MusicLibraries.h"
#include "framework/sound/SoundDecoders.h"
#include "platform/Paths.h"

namespace Zant {

FModMusicInterface::FModMusicInterface(void* window)
{
    mInstance = AcquireFModLibrary();
    mApi = mInstance->api;
}

FModMusicInterface::FModMusicInterface(const FModApi& api) : mApi(api) {}

FModMusicInterface::~FModMusicInterface()
{
    if (mInstance)
        ReleaseFModLibrary();
    mSongs.clear();
}

void FModMusicInterface::AddRecord(int songId, const SongRecord& record)
{
    std::lock_guard<std::mutex> guard(mLock);
    if (!mSongs.emplace(songId, record).second) {
        // The id keeps its first song; free what would otherwise be lost.
        if (record.sample)
            mApi.FSOUND_Sample_Free(record.sample);
    }
}

bool FModMusicInterface::LoadMusic(int songId, const std::string& fileName)
{
    SongRecord record;
    record.song = mApi.FMUSIC_LoadSong(Platform::ToNativePath(fileName).c_str());
    if (record.song == 0)
        return false;
    AddRecord(songId, record);
    return true;
}

uint32_t FModMusicInterface::LoadSampleFile(const std::string& name)
{
    uint32_t sample = mApi.FSOUND_Sample_Load(FSOUND_FREE, Platform::ToNativePath(CachedSoundName(name)).c_str(), 0, 0);
    if (sample)
        return sample;
    sample = mApi.FSOUND_Sample_Load(FSOUND_FREE, Platform::ToNativePath(name + ".ogg").c_str(), 0, 0);
    if (!sample)
        return 0;

    // Keep a plain WAV copy so the next start need not decode again.
    DecodedSound sound;
    uint32_t mode = mApi.FSOUND_Sample_GetMode(sample);
    sound.channels = (mode & FSOUND_MONO) ? 1 : 2;
    sound.bits = (mode & FSOUND_8BITS) ? 8 : 16;
    int rate = 0, volume = 0, pan = 0, priority = 0;
    mApi.FSOUND_Sample_GetDefaults(sample, &rate, &volume, &pan, &priority);
    sound.rate = static_cast<uint32_t>(rate);
    uint64_t bytes = static_cast<uint64_t>(mApi.FSOUND_Sample_GetLength(sample)) * sound.BlockAlign();
    void *p1 = nullptr, *p2 = nullptr;
    uint32_t l1 = 0, l2 = 0;
    if (bytes > 0 && bytes <= kMaxDecodedBytes &&
        mApi.FSOUND_Sample_Lock(sample, 0, static_cast<int>(bytes), &p1, &p2, &l1, &l2) && p1) {
        const auto* src = static_cast<const uint8_t*>(p1);
        sound.pcm.assign(src, src + l1);
        mApi.FSOUND_Sample_Unlock(sample, p1, p2, l1, l2);
        Platform::WriteFileAtomic(Platform::ToNativePath(CachedSoundName(name)), BuildCachedWav(sound, nullptr));
    }
    return sample;
}

bool FModMusicInterface::LoadSample(int songId, const std::string& fileName, bool loop)
{
    SongRecord record;
    record.sample = LoadSampleFile(fileName);
    if (!record.sample)
        return false;
    record.loop = loop;
    AddRecord(songId, record);
    return true;
}

bool FModMusicInterface::LoadSampleEx(int songId, const std::string& introFile, const std::string& loopFile)
{
    uint32_t intro = LoadSampleFile(introFile);
    uint32_t loop = LoadSampleFile(loopFile);
    auto freeBoth = [&] {
        if (intro)
            mApi.FSOUND_Sample_Free(intro);
        if (loop)
            mApi.FSOUND_Sample_Free(loop);
    };
    int introRate = 0, loopRate = 0, v, p, pri;
    if (!intro || !loop || !mApi.FSOUND_Sample_GetDefaults(intro, &introRate, &v, &p, &pri) ||
        !mApi.FSOUND_Sample_GetDefaults(loop, &loopRate, &v, &p, &pri) || introRate != loopRate ||
        mApi.FSOUND_Sample_GetMode(intro) != mApi.FSOUND_Sample_GetMode(loop)) {
        freeBoth();
        return false;
    }
    const uint32_t mode = mApi.FSOUND_Sample_GetMode(intro);
    const uint32_t align = ((mode & FSOUND_MONO) ? 1 : 2) * ((mode & FSOUND_8BITS) ? 1 : 2);
    const uint32_t introLen = mApi.FSOUND_Sample_GetLength(intro);
    const uint32_t loopLen = mApi.FSOUND_Sample_GetLength(loop);
    uint32_t joined = mApi.FSOUND_Sample_Alloc(FSOUND_FREE, static_cast<int>(introLen + loopLen),
                                               (mode & ~FSOUND_LOOP_OFF) | FSOUND_LOOP_NORMAL, introRate, 255, 128, 0);
    bool ok = false;
    if (joined) {
        void *d1 = nullptr, *d2 = nullptr;
        uint32_t dl1 = 0, dl2 = 0;
        if (mApi.FSOUND_Sample_Lock(joined, 0, static_cast<int>((introLen + loopLen) * align), &d1, &d2, &dl1, &dl2) &&
            d1) {
            uint32_t written = 0;
            for (uint32_t part : {intro, loop}) {
                void *s1 = nullptr, *s2 = nullptr;
                uint32_t sl1 = 0, sl2 = 0;
                uint32_t want = mApi.FSOUND_Sample_GetLength(part) * align;
                if (mApi.FSOUND_Sample_Lock(part, 0, static_cast<int>(want), &s1, &s2, &sl1, &sl2) && s1) {
                    uint32_t n = std::min(sl1, dl1 - written);
                    std::memcpy(static_cast<uint8_t*>(d1) + written, s1, n);
                    written += n;
                    mApi.FSOUND_Sample_Unlock(part, s1, s2, sl1, sl2);
                }
            }
            mApi.FSOUND_Sample_Unlock(joined, d1, d2, dl1, dl2);
            // The loop runs from the end of the intro to the last sample of the loop part.
            mApi.FSOUND_Sample_SetLoopPoints(joined, static_cast<int>(introLen),
                                             static_cast<int>(introLen + loopLen - 1));
            ok = written == (introLen + loopLen) * align;
        }
        if (!ok)
            mApi.FSOUND_Sample_Free(joined);
    }
    freeBoth();
    if (!ok)
        return false;
    SongRecord record;
    record.sample = joined;
    record.loop = true;
    AddRecord(songId, record);
    return true;
}

void FModMusicInterface::SendVolume(int songId, const SongRecord& song)
{
    if (song.song)
        mApi.FMUSIC_SetMasterVolume(song.song, static_cast<int>(mSongVolumeScale * mMasterVolume * song.volume));
    else
        mApi.FSOUND_SetVolume(songId, static_cast<int>(mSampleVolumeScale * mMasterVolume * song.volume));
}

void FModMusicInterface::StopSong(int songId, const SongRecord& song)
{
    if (song.song)
        mApi.FMUSIC_StopSong(song.song);
    else
        mApi.FSOUND_StopSound(songId);
}

void FModMusicInterface::StartSample(int songId, const SongRecord& song)
{
    mApi.FSOUND_PlaySound(songId, song.sample);
    mApi.FSOUND_SetLoopMode(songId, song.loop ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF);
}

void FModMusicInterface::PlayMusic(int songId, int offset, bool noLoop)
{
    std::lock_guard<std::mutex> guard(mLock);
    auto it = mSongs.find(songId);
    if (it == mSongs.end())
        return;
    SongRecord& song = it->second;
    song.StartAtFull(noLoop);
    if (song.song) {
        SendVolume(songId, song);
        mApi.FMUSIC_SetLooping(song.song, noLoop ? 0 : 1);
        mApi.FMUSIC_PlaySong(song.song);
        mApi.FMUSIC_SetOrder(song.song, offset);
    } else {
        StartSample(songId, song);
        SendVolume(songId, song);
    }
}

void FModMusicInterface::FadeIn(int songId, int offset, double speed, bool noLoop)
{
    std::lock_guard<std::mutex> guard(mLock);
    auto it = mSongs.find(songId);
    if (it == mSongs.end())
        return;
    SongRecord& song = it->second;
    song.FadeIn(speed, noLoop);
    if (song.song) {
        SendVolume(songId, song);
        mApi.FMUSIC_SetLooping(song.song, noLoop ? 0 : 1);
        if (!mApi.FMUSIC_IsPlaying(song.song))
            mApi.FMUSIC_PlaySong(song.song);
        if (offset != -1)
            mApi.FMUSIC_SetOrder(song.song, offset);
    } else {
        if (!mApi.FSOUND_IsPlaying(songId))
            StartSample(songId, song);
        SendVolume(songId, song);
    }
}

void FModMusicInterface::FadeOut(int songId, bool stopSong, double speed)
{
    std::lock_guard<std::mutex> guard(mLock);
    FadeOutSong(mSongs, songId, stopSong, speed);
}

void FModMusicInterface::FadeOutAll(bool stopSong, double speed)
{
    std::lock_guard<std::mutex> guard(mLock);
    FadeOutAllSongs(mSongs, stopSong, speed);
}

void FModMusicInterface::StopMusic(int songId)
{
    std::lock_guard<std::mutex> guard(mLock);
    auto it = mSongs.find(songId);
    if (it == mSongs.end())
        return;
    it->second.volume = 0.0;
    StopSong(songId, it->second);
}

void FModMusicInterface::StopAllMusic()
{
    std::lock_guard<std::mutex> guard(mLock);
    for (auto& [id, song] : mSongs) {
        song.volume = 0.0;
        StopSong(id, song);
    }
}

void FModMusicInterface::PauseMusic(int songId)
{
    std::lock_guard<std::mutex> guard(mLock);
    auto it = mSongs.find(songId);
    if (it == mSongs.end())
        return;
    if (it->second.song)
        mApi.FMUSIC_SetPaused(it->second.song, 1);
    else
        mApi.FSOUND_SetPaused(songId, 1);
}

void FModMusicInterface::ResumeMusic(int songId)
{
    std::lock_guard<std::mutex> guard(mLock);
    auto it = mSongs.find(songId);
    if (it == mSongs.end())
        return;
    if (it->second.song)
        mApi.FMUSIC_SetPaused(it->second.song, 0);
    else
        mApi.FSOUND_SetPaused(songId, 0);
}

void FModMusicInterface::SetSongVolume(int songId, double volume)
{
    std::lock_guard<std::mutex> guard(mLock);
    auto it = mSongs.find(songId);
    if (it == mSongs.end())
        return;
    it->second.volume = volume;
    SendVolume(songId, it->second);
}

bool FModMusicInterface::IsPlaying(int songId)
{
    std::lock_guard<std::mutex> guard(mLock);
    auto it = mSongs.find(songId);
    if (it == mSongs.end())
        return false;
    // A sample's state is its channel's; it has no song handle to ask.
    return it->second.song ? mApi.FMUSIC_IsPlaying(it->second.song) != 0 : mApi.FSOUND_IsPlaying(songId) != 0;
}

void FModMusicInterface::SetVolume(double volume)
{
    std::lock_guard<std::mutex> guard(mLock);
    mMasterVolume = volume;
    for (auto& [id, song] : mSongs)
        SendVolume(id, song);
}

void FModMusicInterface::Update()
{
    std::lock_guard<std::mutex> guard(mLock);
    StepSongFades(
        mSongs, [&](int id, SongRecord& song) { StopSong(id, song); },
        [&](int id, SongRecord& song) { SendVolume(id, song); });
}

} // namespace Zant
