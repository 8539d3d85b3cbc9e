#pragma once
// A small GIF encoder for test fixtures: a real LZW coder (so strings, growing code
// widths and the code-just-made case all occur) and a byte-level file builder that
// can also write the odd files the decoder must survive.
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace GifWriter {

struct Rgb {
    uint8_t r, g, b;
};

// LZW codes for the indices, least significant bit first, packed into bytes.
inline std::vector<uint8_t> Compress(const std::vector<uint8_t>& indices, int minCodeSize)
{
    std::vector<uint8_t> out;
    uint32_t acc = 0;
    int bits = 0;
    int width = minCodeSize + 1;
    auto put = [&](int code) {
        acc |= static_cast<uint32_t>(code) << bits;
        bits += width;
        while (bits >= 8) {
            out.push_back(static_cast<uint8_t>(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    };
    const int clear = 1 << minCodeSize;
    std::map<std::pair<int, int>, int> table;
    int nextFree = clear + 2;
    put(clear);
    if (!indices.empty()) {
        int prefix = indices[0];
        for (size_t i = 1; i < indices.size(); ++i) {
            const int c = indices[i];
            auto it = table.find({prefix, c});
            if (it != table.end()) {
                prefix = it->second;
                continue;
            }
            put(prefix);
            if (nextFree < 4096) {
                table[{prefix, c}] = nextFree++;
                // The decoder makes each entry one code later, so it widens one code later.
                if (nextFree > (1 << width) && width < 12)
                    ++width;
            }
            prefix = c;
        }
        put(prefix);
    }
    put(clear + 1);
    if (bits > 0)
        out.push_back(static_cast<uint8_t>(acc & 0xFF));
    return out;
}

inline void PutShort(std::string& s, int v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

inline void PutSubBlocks(std::string& s, const std::vector<uint8_t>& data)
{
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t n = std::min<size_t>(255, data.size() - i);
        s += static_cast<char>(n);
        s.append(reinterpret_cast<const char*>(data.data() + i), n);
    }
    s += '\0';
}

inline void PutTable(std::string& s, const std::vector<Rgb>& table)
{
    for (const Rgb& c : table) {
        s += static_cast<char>(c.r);
        s += static_cast<char>(c.g);
        s += static_cast<char>(c.b);
    }
}

// Size bits for a table of 2^(n+1) entries.
inline int TableBits(size_t entries)
{
    int n = 0;
    while ((2u << n) < entries)
        ++n;
    return n;
}

struct Options {
    std::vector<Rgb> globalTable; // empty: none; padded to a power of two
    std::vector<Rgb> localTable;  // empty: none
    int transparent = -1;         // written in a graphic control block when >= 0
    bool interlaced = false;
    int minCodeSize = 8;
    std::string controlBlock; // raw graphic control sub-blocks, replacing the usual one
    std::vector<uint8_t> rawData; // LZW data to use instead of compressing the indices
};

inline std::string Build(int width, int height, const std::vector<uint8_t>& indicesInStreamOrder,
                         Options opt = {})
{
    auto pad = [](std::vector<Rgb> t) {
        if (!t.empty())
            t.resize(size_t(2) << TableBits(t.size()), Rgb{0, 0, 0});
        return t;
    };
    opt.globalTable = pad(opt.globalTable);
    opt.localTable = pad(opt.localTable);

    std::string s = "GIF89a";
    PutShort(s, width);
    PutShort(s, height);
    s += static_cast<char>(opt.globalTable.empty() ? 0 : 0x80 | TableBits(opt.globalTable.size()));
    s += '\0';
    s += '\0';
    PutTable(s, opt.globalTable);
    // A comment and an application block the decoder must pass over.
    s += "!\xFE";
    PutSubBlocks(s, {'h', 'i'});
    s += "!\xFF";
    s += '\x0B';
    s += "NETSCAPE2.0";
    s += std::string("\x03\x01\x00\x00\x00", 5);
    if (!opt.controlBlock.empty()) {
        s += "!\xF9";
        s += opt.controlBlock;
    } else if (opt.transparent >= 0) {
        s += "!\xF9\x04\x01";
        PutShort(s, 0);
        s += static_cast<char>(opt.transparent);
        s += '\0';
    }
    s += ',';
    PutShort(s, 0);
    PutShort(s, 0);
    PutShort(s, width);
    PutShort(s, height);
    int flags = opt.interlaced ? 0x40 : 0;
    if (!opt.localTable.empty())
        flags |= 0x80 | TableBits(opt.localTable.size());
    s += static_cast<char>(flags);
    PutTable(s, opt.localTable);
    s += static_cast<char>(opt.minCodeSize);
    PutSubBlocks(s, opt.rawData.empty() ? Compress(indicesInStreamOrder, opt.minCodeSize) : opt.rawData);
    s += ';';
    return s;
}

} // namespace GifWriter
