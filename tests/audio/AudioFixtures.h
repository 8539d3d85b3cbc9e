#pragma once
// Small sound fixtures the audio tests write for themselves, and signal measures.
#include <cstdint>
#include <string>
#include <vector>

namespace AudioFixtures {

// A RIFF/WAVE file; `between` is inserted as raw chunks between "fmt " and "data".
std::string MakeWav(uint16_t channels, uint32_t rate, uint16_t bits, const std::string& pcm,
                    const std::string& between = "", uint16_t formatTag = 1);
// A Sun AU file with a 24-byte header.
std::string MakeAu(uint32_t encoding, uint32_t rate, uint32_t channels, const std::string& data,
                   uint32_t dataSize = 0xFFFFFFFEu /* = data.size() */);
// 16-bit mono sine as little-endian bytes.
std::string Sine16(uint32_t frames, uint32_t rate, double hz, double amplitude);
std::string Le16Bytes(const std::vector<int16_t>& samples);

// Amplitude of the hz component of one channel of interleaved stereo (Goertzel).
double ToneLevel(const int16_t* stereo, size_t frames, int channel, double hz, uint32_t rate = 44100);
int PeakOf(const int16_t* stereo, size_t frames);

// The test module: one 32-sample sine instrument; three sections of two 8-row
// patterns each, every section jumping back to its own start:
//   orders 0-1 tone A (C-4), orders 2-3 tone B (C-5), orders 4-5 tone C (G-4).
// At speed 3 one pattern lasts 0.48 s.
std::string MakeTestModule();
// A module that plays C-4 once, 0.96 s long, on one sample stored as an Ogg Vorbis
// stream (the "OggMod" layout: its decoded size in bytes, then the stream).
std::string MakeOggSampleModule(const std::string& ogg, uint32_t decodedBytes);

constexpr double kToneA = 8363.0 / 32.0;                     // 261.3 Hz
constexpr double kToneB = 2.0 * kToneA;                      // 522.7 Hz
constexpr double kToneC = kToneA * 1.4983070768766815;       // 391.5 Hz (seven semitones up)

} // namespace AudioFixtures
