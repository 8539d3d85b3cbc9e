#include "framework/sound/SoundDecoders.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace Zant {

namespace {

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint32_t Be32(const uint8_t* p) { return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }

void PutLe16(std::string& s, uint32_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

void PutLe32(std::string& s, uint32_t v)
{
    PutLe16(s, v & 0xFFFF);
    PutLe16(s, v >> 16);
}

bool Fail(std::string& error, const char* why)
{
    error = why;
    return false;
}

} // namespace

bool IsValidSoundFormat(uint16_t channels, uint32_t rate, uint16_t bits)
{
    return (channels == 1 || channels == 2) && (bits == 8 || bits == 16) && rate >= kMinSoundRate &&
           rate <= kMaxSoundRate;
}

bool ParseWav(const uint8_t* data, size_t size, DecodedSound& out, SoundDependency* dep, std::string& error)
{
    out = DecodedSound{};
    PcmSpan found;
    if (!ParseWavInPlace(data, size, found, dep, error))
        return false;
    out.channels = found.channels;
    out.rate = found.rate;
    out.bits = found.bits;
    out.pcm.assign(found.pcm, found.pcm + found.size);
    return true;
}

bool ParseWavInPlace(const uint8_t* data, size_t size, PcmSpan& out, SoundDependency* dep, std::string& error)
{
    out = PcmSpan{};
    if (dep)
        *dep = SoundDependency{};
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return Fail(error, "not a RIFF WAVE file");

    // Defaults until a "fmt " chunk says otherwise.
    uint16_t tag = 1, channels = 1, bits = 16;
    uint32_t rate = 22050;
    size_t pos = 12;
    while (size - pos >= 8) {
        const uint8_t* id = data + pos;
        uint32_t chunkSize = Le32(data + pos + 4);
        size_t body = pos + 8;
        size_t left = size - body;
        if (std::memcmp(id, "fmt ", 4) == 0) {
            if (chunkSize < 16 || left < 16)
                return Fail(error, "short fmt chunk");
            tag = Le16(data + body);
            channels = Le16(data + body + 2);
            rate = Le32(data + body + 4);
            bits = Le16(data + body + 14);
            if (tag != 1)
                return Fail(error, "not PCM");
        } else if (std::memcmp(id, "dep ", 4) == 0) {
            if (left < 2 || chunkSize < 2)
                return Fail(error, "short dep chunk");
            size_t nameLen = std::min<size_t>(Le16(data + body), 255);
            if (left < 2 + nameLen + 8 || chunkSize < 2 + nameLen + 8)
                return Fail(error, "short dep chunk");
            if (dep) {
                dep->present = true;
                dep->name.assign(reinterpret_cast<const char*>(data + body + 2), nameLen);
                dep->fileTime = static_cast<uint64_t>(Le32(data + body + 2 + nameLen)) |
                                (static_cast<uint64_t>(Le32(data + body + 6 + nameLen)) << 32);
            }
        } else if (std::memcmp(id, "data", 4) == 0) {
            if (!IsValidSoundFormat(channels, rate, bits))
                return Fail(error, "unsupported sample format");
            if (chunkSize == 0)
                return Fail(error, "empty data chunk");
            if (chunkSize > left)
                return Fail(error, "data chunk runs past the end of the file");
            out.channels = channels;
            out.rate = rate;
            out.bits = bits;
            out.pcm = data + body;
            out.size = chunkSize;
            return true;
        }
        // Chunks are word-aligned: an odd size is followed by a pad byte.
        uint64_t next = static_cast<uint64_t>(body) + chunkSize + (chunkSize & 1);
        if (next > size)
            break;
        pos = static_cast<size_t>(next);
    }
    return Fail(error, "no data chunk");
}

int16_t MuLawToLinear(uint8_t b)
{
    // Each segment of the code doubles the step; the loudest code (0x80 / 0x00)
    // continues the last segment rather than collapsing to near silence.
    int sign = b >= 0x80 ? 1 : -1;
    int c = b | 0x80;
    int magnitude;
    if (c > 0xEF)
        magnitude = (0xFF - c) * 2;
    else if (c > 0xDF)
        magnitude = (0xF7 - c) * 4;
    else if (c > 0xCF)
        magnitude = (0xEB - c) * 8;
    else if (c > 0xBF)
        magnitude = (0xDD - c) * 16;
    else if (c > 0xAF)
        magnitude = (0xCE - c) * 32;
    else if (c > 0x9F)
        magnitude = 0x2FA0 - c * 64;
    else if (c > 0x8F)
        magnitude = 0x5760 - c * 128;
    else
        magnitude = 0x9EE0 - c * 256;
    return static_cast<int16_t>(magnitude * sign * 4);
}

bool ParseAu(const uint8_t* data, size_t size, DecodedSound& out, std::string& error)
{
    out = DecodedSound{};
    if (size < 24 || std::memcmp(data, ".snd", 4) != 0)
        return Fail(error, "not an AU file");
    uint32_t offset = Be32(data + 4);
    uint32_t dataSize = Be32(data + 8);
    uint32_t encoding = Be32(data + 12);
    uint32_t rate = Be32(data + 16);
    uint32_t channels = Be32(data + 20);
    if (encoding != 1 && encoding != 2)
        return Fail(error, "unsupported AU encoding");
    if (channels < 1 || channels > 2 || !IsValidSoundFormat(static_cast<uint16_t>(channels), rate, 8))
        return Fail(error, "unsupported AU format");
    if (offset < 24 || offset > size)
        return Fail(error, "AU data offset outside the file");
    size_t left = size - offset;
    if (dataSize == 0xFFFFFFFFu) // "unknown": the rest of the file
        dataSize = static_cast<uint32_t>(std::min<size_t>(left, 0xFFFFFFFEu));
    if (dataSize > left)
        return Fail(error, "AU data runs past the end of the file");
    if (dataSize == 0)
        return Fail(error, "empty AU data");
    const uint8_t* src = data + offset;
    out.channels = static_cast<uint16_t>(channels);
    out.rate = rate;
    if (encoding == 1) {
        out.bits = 16;
        out.pcm.resize(static_cast<size_t>(dataSize) * 2);
        for (uint32_t i = 0; i < dataSize; ++i) {
            auto v = static_cast<uint16_t>(MuLawToLinear(src[i]));
            out.pcm[2 * i] = static_cast<uint8_t>(v & 0xFF);
            out.pcm[2 * i + 1] = static_cast<uint8_t>(v >> 8);
        }
    } else {
        // AU's linear 8-bit samples are signed; our 8-bit buffers are unsigned.
        out.bits = 8;
        out.pcm.resize(dataSize);
        for (uint32_t i = 0; i < dataSize; ++i)
            out.pcm[i] = src[i] ^ 0x80;
    }
    return true;
}

namespace {

struct MemoryFile {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

size_t MemRead(void* ptr, size_t size, size_t count, void* source)
{
    auto* f = static_cast<MemoryFile*>(source);
    if (size == 0)
        return 0;
    size_t n = std::min(count, (f->size - f->pos) / size);
    std::memcpy(ptr, f->data + f->pos, n * size);
    f->pos += n * size;
    return n;
}

int MemSeek(void* source, ogg_int64_t offset, int whence)
{
    auto* f = static_cast<MemoryFile*>(source);
    ogg_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<ogg_int64_t>(f->pos)
                                                                   : static_cast<ogg_int64_t>(f->size);
    ogg_int64_t target = base + offset;
    if (target < 0 || target > static_cast<ogg_int64_t>(f->size))
        return -1;
    f->pos = static_cast<size_t>(target);
    return 0;
}

int MemClose(void*) { return 0; }

long MemTell(void* source) { return static_cast<long>(static_cast<MemoryFile*>(source)->pos); }

} // namespace

bool DecodeOgg(const uint8_t* data, size_t size, DecodedSound& out, std::string& error)
{
    out = DecodedSound{};
    MemoryFile file{data, size, 0};
    ov_callbacks callbacks{MemRead, MemSeek, MemClose, MemTell};
    OggVorbis_File vf;
    if (ov_open_callbacks(&file, &vf, nullptr, 0, callbacks) < 0)
        return Fail(error, "not an Ogg Vorbis stream");

    bool ok = false;
    vorbis_info* info = ov_info(&vf, -1);
    ogg_int64_t frames = ov_pcm_total(&vf, -1);
    if (!info || !IsValidSoundFormat(static_cast<uint16_t>(info->channels), static_cast<uint32_t>(info->rate), 16)) {
        error = "unsupported Ogg Vorbis format";
    } else if (frames <= 0 || static_cast<uint64_t>(frames) > kMaxDecodedBytes / (2u * info->channels)) {
        error = "Ogg Vorbis length out of range";
    } else {
        out.channels = static_cast<uint16_t>(info->channels);
        out.rate = static_cast<uint32_t>(info->rate);
        out.bits = 16;
        const size_t total = static_cast<size_t>(frames) * out.BlockAlign();
        try {
            // Grow as data arrives: a stream that lies about its length costs nothing.
            out.pcm.reserve(std::min<size_t>(total, 1u << 20));
            char chunk[4096];
            while (out.pcm.size() < total) {
                int want = static_cast<int>(std::min<size_t>(sizeof chunk, total - out.pcm.size()));
                int bitstream = 0;
                long got = ov_read(&vf, chunk, want, 0 /* little-endian */, 2, 1 /* signed */, &bitstream);
                if (got <= 0)
                    break;
                vorbis_info* link = ov_info(&vf, bitstream);
                if (!link || link->channels != info->channels || link->rate != info->rate)
                    break; // a chained stream that changes format cannot share one buffer
                out.pcm.insert(out.pcm.end(), chunk, chunk + got);
            }
            ok = out.pcm.size() == total;
            if (!ok)
                error = "Ogg Vorbis stream ended early";
        } catch (const std::bad_alloc&) {
            error = "out of memory";
        }
    }
    ov_clear(&vf);
    if (!ok)
        out.pcm.clear();
    return ok;
}

std::string BuildCachedWav(const DecodedSound& sound, const SoundDependency* dep)
{
    const uint32_t dataLen = static_cast<uint32_t>(sound.pcm.size());
    const uint32_t dataPad = dataLen & 1;
    std::string name = dep ? dep->name.substr(0, 0xFFFF) : std::string();
    const uint32_t depBody = dep ? static_cast<uint32_t>(2 + name.size() + 8) : 0;
    const uint32_t depPad = depBody & 1;
    const uint32_t depChunk = dep ? 8 + depBody + depPad : 0;
    // Everything after the RIFF size field: "WAVE", fmt, dep and data chunks.
    const uint32_t riffSize = 4 + (8 + 16) + depChunk + 8 + dataLen + dataPad;

    std::string s;
    s.reserve(riffSize + 8);
    s += "RIFF";
    PutLe32(s, riffSize);
    s += "WAVE";
    s += "fmt ";
    PutLe32(s, 16);
    PutLe16(s, 1);
    PutLe16(s, sound.channels);
    PutLe32(s, sound.rate);
    PutLe32(s, static_cast<uint32_t>(sound.BlockAlign()) * sound.rate);
    PutLe16(s, sound.BlockAlign());
    PutLe16(s, sound.bits);
    if (dep) {
        s += "dep ";
        PutLe32(s, depBody);
        PutLe16(s, static_cast<uint32_t>(name.size()));
        s += name;
        PutLe32(s, static_cast<uint32_t>(dep->fileTime & 0xFFFFFFFFu));
        PutLe32(s, static_cast<uint32_t>(dep->fileTime >> 32));
        if (depPad)
            s += '\0';
    }
    s += "data";
    PutLe32(s, dataLen);
    s.append(reinterpret_cast<const char*>(sound.pcm.data()), sound.pcm.size());
    if (dataPad)
        s += '\0';
    return s;
}

void SplitSoundName(const std::string& name, std::string& folder, std::string& base)
{
    size_t sep = name.find_last_of("\\/");
    if (sep == std::string::npos) {
        folder.clear();
        base = name;
    } else {
        folder = name.substr(0, sep + 1);
        base = name.substr(sep + 1);
    }
}

std::string CachedSoundName(const std::string& name)
{
    std::string folder, base;
    SplitSoundName(name, folder, base);
    return folder + "cached_" + base + ".wav";
}

} // namespace Zant
