#include "WavReader.h"

#include <algorithm>
#include <cmath>

namespace SoundCheck {

namespace {
uint32_t U32(const std::string& b, size_t at)
{
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 | static_cast<uint8_t>(b[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}
uint16_t U16(const std::string& b, size_t at) { return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8); }
} // namespace

std::optional<Wav> ReadWav(const std::string& b, std::string& error)
{
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) {
        error = "not a RIFF WAVE file";
        return std::nullopt;
    }
    if (U32(b, 4) != b.size() - 8) {
        error = "RIFF size does not match the file";
        return std::nullopt;
    }
    Wav w;
    bool haveFormat = false;
    size_t pos = 12;
    while (pos + 8 <= b.size()) {
        const std::string id = b.substr(pos, 4);
        const uint32_t size = U32(b, pos + 4);
        pos += 8;
        if (size > b.size() - pos) {
            error = "chunk " + id + " runs past the end";
            return std::nullopt;
        }
        if (id == "fmt ") {
            if (size < 16 || U16(b, pos) != 1) {
                error = "not PCM";
                return std::nullopt;
            }
            w.channels = U16(b, pos + 2);
            w.rate = static_cast<int>(U32(b, pos + 4));
            w.bits = U16(b, pos + 14);
            haveFormat = w.channels >= 1 && w.channels <= 2 && (w.bits == 8 || w.bits == 16);
            if (!haveFormat) {
                error = "unsupported channels or bits";
                return std::nullopt;
            }
        } else if (id == "data") {
            if (!haveFormat) {
                error = "data before fmt";
                return std::nullopt;
            }
            const size_t frame = static_cast<size_t>(w.channels) * (w.bits / 8);
            if (size % frame != 0) {
                error = "data is not whole frames";
                return std::nullopt;
            }
            for (size_t at = pos; at + frame <= pos + size; at += frame) {
                const int v = w.bits == 16 ? static_cast<int16_t>(U16(b, at)) : static_cast<uint8_t>(b[at]) - 128;
                w.raw.push_back(v);
                w.samples.push_back(w.bits == 16 ? v / 32768.0 : v / 128.0);
            }
            return w;
        }
        pos += size + (size & 1);
    }
    error = "no data chunk";
    return std::nullopt;
}

double Peak(const std::vector<double>& s)
{
    double p = 0.0;
    for (double x : s) p = std::max(p, std::fabs(x));
    return p;
}

double Rms(const std::vector<double>& s, size_t from, size_t count)
{
    const size_t end = std::min(s.size(), count == SIZE_MAX ? s.size() : from + count);
    if (from >= end) return 0.0;
    double sum = 0.0;
    for (size_t i = from; i < end; ++i) sum += s[i] * s[i];
    return std::sqrt(sum / static_cast<double>(end - from));
}

double LoudestWindow(const std::vector<double>& s, size_t window)
{
    if (s.size() <= window) return Rms(s) * std::sqrt(static_cast<double>(s.size()) / window);
    double sum = 0.0, best = 0.0;
    for (size_t i = 0; i < s.size(); ++i) {
        sum += s[i] * s[i];
        if (i >= window) sum -= s[i - window] * s[i - window];
        if (i + 1 >= window) best = std::max(best, sum);
    }
    return std::sqrt(std::max(0.0, best) / window);
}

double Db(double gain) { return gain > 1e-12 ? 20.0 * std::log10(gain) : -240.0; }

namespace {

// Second-order section with a0 = 1: {b0, b1, b2, a1, a2}.
struct Section {
    double c[5];
    double z1 = 0, z2 = 0;
    double operator()(double x)
    {
        const double y = c[0] * x + z1;
        z1 = c[1] * x - c[3] * y + z2;
        z2 = c[2] * x - c[4] * y;
        return y;
    }
};

Section ButterworthLowPass(int rate, double hz)
{
    const double k = std::tan(M_PI * hz / rate), n = 1.0 + std::sqrt(2.0) * k + k * k;
    return {{k * k / n, 2.0 * k * k / n, k * k / n, 2.0 * (k * k - 1.0) / n, (1.0 - std::sqrt(2.0) * k + k * k) / n}};
}

} // namespace

double LowShare(const std::vector<double>& s, int rate, double hz)
{
    Section a = ButterworthLowPass(rate, hz), b = ButterworthLowPass(rate, hz);
    double low = 0.0, all = 0.0;
    for (double x : s) {
        const double y = b(a(x));
        low += y * y;
        all += x * x;
    }
    return all > 0.0 ? low / all : 0.0;
}

} // namespace SoundCheck
