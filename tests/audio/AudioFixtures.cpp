#include "tests/audio/AudioFixtures.h"

#include <cmath>
#include <cstdlib>

namespace AudioFixtures {

namespace {

void Le16(std::string& s, uint32_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

void Le32(std::string& s, uint32_t v)
{
    Le16(s, v & 0xFFFF);
    Le16(s, v >> 16);
}

void Be32(std::string& s, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        s += static_cast<char>((v >> shift) & 0xFF);
}

void Padded(std::string& s, const std::string& text, size_t size)
{
    std::string t = text.substr(0, size);
    t.resize(size, '\0');
    s += t;
}

} // namespace

std::string MakeWav(uint16_t channels, uint32_t rate, uint16_t bits, const std::string& pcm, const std::string& between,
                    uint16_t formatTag)
{
    std::string body = "WAVE";
    body += "fmt ";
    Le32(body, 16);
    Le16(body, formatTag);
    Le16(body, channels);
    Le32(body, rate);
    Le32(body, rate * channels * bits / 8);
    Le16(body, channels * bits / 8);
    Le16(body, bits);
    body += between;
    body += "data";
    Le32(body, static_cast<uint32_t>(pcm.size()));
    body += pcm;
    std::string file = "RIFF";
    Le32(file, static_cast<uint32_t>(body.size()));
    return file + body;
}

std::string MakeAu(uint32_t encoding, uint32_t rate, uint32_t channels, const std::string& data, uint32_t dataSize)
{
    std::string s = ".snd";
    Be32(s, 24);
    Be32(s, dataSize == 0xFFFFFFFEu ? static_cast<uint32_t>(data.size()) : dataSize);
    Be32(s, encoding);
    Be32(s, rate);
    Be32(s, channels);
    return s + data;
}

std::string Le16Bytes(const std::vector<int16_t>& samples)
{
    std::string s;
    for (int16_t v : samples)
        Le16(s, static_cast<uint16_t>(v));
    return s;
}

std::string Sine16(uint32_t frames, uint32_t rate, double hz, double amplitude)
{
    std::vector<int16_t> v(frames);
    for (uint32_t i = 0; i < frames; ++i)
        v[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(2.0 * M_PI * hz * i / rate)));
    return Le16Bytes(v);
}

double ToneLevel(const int16_t* stereo, size_t frames, int channel, double hz, uint32_t rate)
{
    if (frames == 0)
        return 0.0;
    double w = 2.0 * M_PI * hz / rate, c = 2.0 * std::cos(w);
    double s1 = 0.0, s2 = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        double s = stereo[2 * i + channel] + c * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    double power = s1 * s1 + s2 * s2 - c * s1 * s2;
    return 2.0 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(frames);
}

int PeakOf(const int16_t* stereo, size_t frames)
{
    int peak = 0;
    for (size_t i = 0; i < 2 * frames; ++i)
        peak = std::max(peak, std::abs(static_cast<int>(stereo[i])));
    return peak;
}

namespace {

// XM pieces shared by the test modules.
std::string XmHeader(int orders, int channels, int patterns, int speed)
{
    std::string s = "Extended Module: ";
    Padded(s, "audio test", 20);
    s += '\x1A';
    Padded(s, "plindor tests", 20);
    Le16(s, 0x0104);
    Le32(s, 276); // header size, counted from this field
    Le16(s, static_cast<uint32_t>(orders)); // song length in orders
    Le16(s, 0);                             // restart position
    Le16(s, static_cast<uint32_t>(channels));
    Le16(s, static_cast<uint32_t>(patterns));
    Le16(s, 1); // instruments
    Le16(s, 1); // linear frequencies
    Le16(s, static_cast<uint32_t>(speed)); // ticks per row
    Le16(s, 125);
    std::string list;
    for (int i = 0; i < orders; ++i)
        list += static_cast<char>(i % patterns);
    Padded(s, list, 256);
    return s;
}

void XmPattern(std::string& s, int rows, const std::string& cells)
{
    Le32(s, 9);
    s += '\0';
    Le16(s, static_cast<uint32_t>(rows));
    Le16(s, static_cast<uint32_t>(cells.size()));
    s += cells;
}

// One instrument with one sample; `length` and the loop are the header's values,
// `data` the sample bytes as stored.
void XmInstrument(std::string& s, uint32_t length, uint32_t loopLength, uint8_t type, const std::string& data)
{
    Le32(s, 263);
    Padded(s, "sine", 22);
    s += '\0';
    Le16(s, 1);
    Le32(s, 40);
    s += std::string(96, '\0');          // every note uses sample 0
    s += std::string(48 + 48, '\0');     // no envelopes
    s += std::string(2 + 3 + 3 + 2, '\0');
    s += std::string(4, '\0');           // no vibrato
    Le16(s, 0);                          // no fadeout
    s += std::string(22, '\0');
    Le32(s, length);
    Le32(s, 0);
    Le32(s, loopLength);
    s += static_cast<char>(64); // volume
    s += '\0';                  // finetune
    s += static_cast<char>(type);
    s += static_cast<char>(128);
    s += '\0'; // relative note
    s += '\0';
    Padded(s, "sine", 22);
    s += data;
}

} // namespace

std::string MakeTestModule()
{
    constexpr int kChannels = 2, kRows = 8, kPatterns = 6;
    std::string s = XmHeader(kPatterns, kChannels, kPatterns, 3);
    const int notes[3] = {49, 61, 56}; // C-4, C-5, G-4
    for (int p = 0; p < kPatterns; ++p) {
        std::string cells;
        for (int row = 0; row < kRows; ++row) {
            for (int ch = 0; ch < kChannels; ++ch) {
                bool noteHere = ch == 0 && row == 0 && p % 2 == 0;
                bool jumpHere = ch == 1 && row == kRows - 1 && p % 2 == 1;
                cells += static_cast<char>(noteHere ? notes[p / 2] : 0);
                cells += static_cast<char>(noteHere ? 1 : 0);
                cells += '\0';
                cells += static_cast<char>(jumpHere ? 0x0B : 0);            // Bxx: jump to order
                cells += static_cast<char>(jumpHere ? (p - 1) : 0);         // the section's start
            }
        }
        XmPattern(s, kRows, cells);
    }

    // Instrument: one looping 8-bit sine of 32 samples.
    constexpr int kSampleLen = 32;
    std::string data;
    int previous = 0;
    for (int i = 0; i < kSampleLen; ++i) {
        int v = static_cast<int>(std::lround(100.0 * std::sin(2.0 * M_PI * i / kSampleLen)));
        data += static_cast<char>(static_cast<int8_t>(v - previous)); // sample data is delta-coded
        previous = v;
    }
    XmInstrument(s, kSampleLen, kSampleLen, 0x01 /* forward loop, 8-bit */, data);
    return s;
}

std::string MakeOggSampleModule(const std::string& ogg, uint32_t decodedBytes)
{
    constexpr int kChannels = 1, kRows = 32;
    std::string s = XmHeader(1, kChannels, 1, 3);
    std::string cells(5 * kRows * kChannels, '\0');
    cells[0] = 49; // C-4
    cells[1] = 1;
    XmPattern(s, kRows, cells);
    // Compressed samples keep the usual header; the stored bytes are the decoded
    // size followed by the Ogg stream, and the length counts the stored bytes.
    std::string data;
    Le32(data, decodedBytes);
    data += ogg;
    XmInstrument(s, static_cast<uint32_t>(data.size()), 0, 0x10 /* no loop, 16-bit */, data);
    return s;
}

} // namespace AudioFixtures
