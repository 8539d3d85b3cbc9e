#pragma once
// A small, strict reader of PCM WAV files for checking the generated sounds.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace SoundCheck {

struct Wav {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<double> samples;   // first channel, -1..1
    std::vector<int> raw;          // first channel, as stored
    double Seconds() const { return rate ? static_cast<double>(samples.size()) / rate : 0.0; }
};

// Reads a whole file; nothing when it is not 8/16-bit PCM or is cut short.
std::optional<Wav> ReadWav(const std::string& bytes, std::string& error);

double Peak(const std::vector<double>& s);
double Rms(const std::vector<double>& s, size_t from = 0, size_t count = SIZE_MAX);
double LoudestWindow(const std::vector<double>& s, size_t window);
double Db(double gain);
// Share (0..1) of the energy below hz, through a fourth-order low-pass.
double LowShare(const std::vector<double>& s, int rate, double hz);

} // namespace SoundCheck
