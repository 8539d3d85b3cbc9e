#pragma once
// The pieces both music libraries are made of: decoded sounds in memory and a
// player that steps through one at any rate with loop points, a tracker-module
// player on libopenmpt, and the summing of their output into one stereo mix.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/sound/SoundDecoders.h"

struct openmpt_module;

namespace MusicLib {

// PCM in memory: 8-bit unsigned or 16-bit signed, mono or stereo.
struct PcmSound {
    Zant::DecodedSound sound;
    uint32_t loopStart = 0; // frames
    uint32_t loopEnd = 0;   // last frame of the loop, inclusive
    uint32_t Frames() const { return sound.BlockAlign() ? uint32_t(sound.pcm.size() / sound.BlockAlign()) : 0; }
};

// Decodes another kind of file (MP3 in the second library).
using ExtraDecoder = bool (*)(const char* path, Zant::DecodedSound& out);
// Reads a WAV or Ogg Vorbis file by its content, else tries the extra decoder.
std::shared_ptr<PcmSound> LoadPcmFile(const char* path, ExtraDecoder extra = nullptr);

class PcmPlayer {
public:
    void Start(std::shared_ptr<PcmSound> sound); // from the first frame
    void Rewind() { mCursor = 0; }
    // Adds frames at outRate with the gains into acc; false once a non-looping sound ended.
    bool MixInto(int32_t* acc, int frames, uint32_t outRate, float leftGain, float rightGain);
    bool loop = false;
    uint32_t frequency = 0; // playback rate; 0 = the sound's own
    const std::shared_ptr<PcmSound>& Sound() const { return mSound; }

private:
    std::shared_ptr<PcmSound> mSound;
    uint64_t mCursor = 0; // 32.32 frames
};

class ModulePlayer {
public:
    ModulePlayer() = default;
    ~ModulePlayer();
    ModulePlayer(const ModulePlayer&) = delete;
    ModulePlayer& operator=(const ModulePlayer&) = delete;

    // Probes the content: any format libopenmpt reads will do.
    bool LoadFile(const char* path);
    int Orders() const;
    bool SetOrder(int order);     // row 0 of that order position
    void SetLoop(bool forever);   // loop the song forever or stop at its end
    int CurrentOrder() const;
    // Adds frames with the gains into acc; false once the song ended.
    bool MixInto(int32_t* acc, int frames, uint32_t outRate, float leftGain, float rightGain);

private:
    openmpt_module* mModule = nullptr;
    std::vector<int16_t> mScratch;
};

// Linear amplitude gains of a volume in 0..scale and a pan in -100..100.
void PanGains(float volume, int pan, float& left, float& right);

} // namespace MusicLib
