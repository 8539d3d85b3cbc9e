#pragma once
// Readers of sound files held in memory: RIFF WAV (PCM), Sun AU (mu-law and 8-bit
// linear) and Ogg Vorbis (libvorbisfile), all to little-endian PCM; and the writer of the
// "cached_" WAV copies. Every size a file states is checked against the bytes it
// has, so a truncated or lying file fails with an error instead of reading past it.
// Nothing here touches files or devices, so the music library builds it too.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Zant {

struct DecodedSound {
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 16; // 8 = unsigned bytes (128 silence), 16 = signed little-endian
    std::vector<uint8_t> pcm;

    uint16_t BlockAlign() const { return static_cast<uint16_t>(channels * bits / 8); }
};

// Samples where they lie: in the bytes of the file they were parsed from.
struct PcmSpan {
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 16;
    const uint8_t* pcm = nullptr;
    size_t size = 0;
};

inline PcmSpan SpanOf(const DecodedSound& sound)
{
    return {sound.channels, sound.rate, sound.bits, sound.pcm.data(), sound.pcm.size()};
}

// What a cached copy records about the file it was decoded from.
struct SoundDependency {
    bool present = false;
    std::string name;      // as the loader was given it (a game path)
    uint64_t fileTime = 0; // the source's last-write time when the copy was made
};

// Limits for what a sound file may claim.
constexpr uint32_t kMinSoundRate = 1000;
constexpr uint32_t kMaxSoundRate = 192000;
constexpr size_t kMaxDecodedBytes = 64u << 20; // decoded Ogg: about six minutes of 44.1 kHz stereo
constexpr size_t kMaxSoundFileBytes = 256u << 20;

bool IsValidSoundFormat(uint16_t channels, uint32_t rate, uint16_t bits);

// RIFF/WAVE with a PCM "fmt " chunk; unknown chunks are skipped, a "dep " chunk is
// reported through dep (may be null). False with a reason in error.
bool ParseWav(const uint8_t* data, size_t size, DecodedSound& out, SoundDependency* dep, std::string& error);
// The same without a copy: out's samples point into data.
bool ParseWavInPlace(const uint8_t* data, size_t size, PcmSpan& out, SoundDependency* dep, std::string& error);
// ".snd" files: encoding 1 (mu-law, to 16-bit) and 2 (signed 8-bit, to unsigned 8-bit).
bool ParseAu(const uint8_t* data, size_t size, DecodedSound& out, std::string& error);
// Ogg Vorbis through libvorbisfile, to 16-bit PCM; fails unless every sample the stream
// announces was decoded.
bool DecodeOgg(const uint8_t* data, size_t size, DecodedSound& out, std::string& error);

// One G.711 mu-law byte as a 16-bit sample.
int16_t MuLawToLinear(uint8_t byte);

// The bytes of a cached WAV copy; with dep set, a "dep " chunk naming the source
// and its write time sits between "fmt " and "data".
std::string BuildCachedWav(const DecodedSound& sound, const SoundDependency* dep);

// "sounds\eerie1" -> folder "sounds\", base "eerie1"; a name without a separator has
// an empty folder.
void SplitSoundName(const std::string& name, std::string& folder, std::string& base);
// folder + "cached_" + base + ".wav"
std::string CachedSoundName(const std::string& name);

} // namespace Zant
