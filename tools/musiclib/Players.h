#pragma once
// The pieces both music libraries are made of: decoded sounds in memory and a
// player that steps through one at any rate with loop points, a tracker-module
// player on libopenmpt, and the summing of their output into one stereo mix.
#include <algorithm>
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

// The last milliseconds of sounds stopped at once. Each goes on from where it stopped
// and falls to silence, so that a stop between two blocks never steps the output.
class StopTails {
public:
    static constexpr double kFallSeconds = 0.005;

    // mix(acc, frames) adds the stopped sound's next frames into acc (zeroed stereo).
    template <typename Mix>
    void Add(uint32_t rate, const Mix& mix)
    {
        const int frames = std::max(1, static_cast<int>(kFallSeconds * rate + 0.5));
        std::vector<int32_t> samples(2 * static_cast<size_t>(frames), 0);
        mix(samples.data(), frames);
        Fall(samples);
        mTails.push_back({std::move(samples), 0});
    }
    // Adds the tails' next frames into acc; a tail that ended is dropped.
    void MixInto(int32_t* acc, int frames);

private:
    struct Tail {
        std::vector<int32_t> samples; // interleaved stereo
        size_t at;                    // the next sample
    };
    static void Fall(std::vector<int32_t>& samples);
    std::vector<Tail> mTails;
};

// Linear amplitude gains of a volume in 0..scale and a pan in -100..100.
void PanGains(float volume, int pan, float& left, float& right);

} // namespace MusicLib
