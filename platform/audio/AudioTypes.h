#pragma once
// Plain types of the sound-buffer layer: the PCM format of a buffer, result codes,
// and the limits of volume, pan and frequency. Volumes and pans are in hundredths
// of a decibel, the units the sound manager computes in.
#include <cstdint>

namespace Platform {

struct WaveFormat {
    uint16_t formatTag = 1; // 1 = integer PCM, the only kind a buffer holds
    uint16_t channels = 1;
    uint32_t samplesPerSec = 22050;
    uint32_t avgBytesPerSec = 44100;
    uint16_t blockAlign = 2;
    uint16_t bitsPerSample = 16;
};

// Fills blockAlign and avgBytesPerSec from channels, rate and bits.
WaveFormat MakePcmFormat(uint16_t channels, uint32_t rate, uint16_t bits);
// PCM tag, 1 or 2 channels, 8 or 16 bits, a rate the mixer can step through.
bool IsPlayableFormat(const WaveFormat& format);

using AudioResult = long;
enum : long {
    AUDIO_OK = 0,
    DSERR_ALLOCATED = 1,
    DSERR_OUTOFMEMORY = 2,
    DSERR_INVALIDPARAM = 3,
    DSERR_INVALIDCALL = 4,
    DSERR_UNINITIALIZED = 5,
    DSERR_BADFORMAT = 6,
    DSERR_NODRIVER = 7,
};
// The code's name ("DSERR_OUTOFMEMORY"), "AUDIO_OK", or "unknown" for others.
const char* AudioResultName(AudioResult result);

constexpr long kVolumeMin = -10000; // silence
constexpr long kVolumeMax = 0;
constexpr long kPanLeft = -10000;
constexpr long kPanRight = 10000;
constexpr uint32_t kFrequencyMin = 100;
constexpr uint32_t kFrequencyMax = 100000;
constexpr uint32_t kFrequencyOriginal = 0; // back to the data's own rate

constexpr uint32_t kStatusPlaying = 0x1;
constexpr uint32_t kStatusLooping = 0x4;

// Largest buffer the layer creates; sizes read from files are checked against it.
constexpr uint32_t kMaxBufferBytes = 0x0FFFFFFF;

// The output every mixer renders: 16-bit signed stereo at this rate.
constexpr uint32_t kOutputRate = 44100;

} // namespace Platform
