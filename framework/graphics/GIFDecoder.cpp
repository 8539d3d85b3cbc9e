// GIF87a/89a: the first image of the file, with its transparency index and
// interlacing. Every length and index from the file is checked before use: the colour
// table always has 256 entries (missing ones are transparent black), and the LZW
// tables are never walked outside their 4096 entries.
#include <algorithm>
#include <array>
#include <cstring>

#include "framework/graphics/ImageLib.h"
#include "platform/Paths.h"

namespace ImageLib {

namespace {

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : mData(data), mSize(size) {}

    bool Byte(uint8_t& out)
    {
        if (mPos >= mSize)
            return false;
        out = mData[mPos++];
        return true;
    }
    bool Short(int& out)
    {
        uint8_t lo, hi;
        if (!Byte(lo) || !Byte(hi))
            return false;
        out = lo | (hi << 8);
        return true;
    }
    bool Bytes(uint8_t* out, size_t n)
    {
        if (mSize - mPos < n)
            return false;
        std::memcpy(out, mData + mPos, n);
        mPos += n;
        return true;
    }
    // One data sub-block: a length byte, then that many bytes. False at the list's
    // terminator (length 0) or at the end of the file; a block cut short by the end of
    // the file yields what is there.
    bool SubBlock(const uint8_t*& block, size_t& length)
    {
        uint8_t n;
        if (!Byte(n) || n == 0)
            return false;
        block = mData + mPos;
        length = std::min<size_t>(n, mSize - mPos);
        mPos += length;
        return true;
    }
    void SkipSubBlocks()
    {
        const uint8_t* block;
        size_t length;
        while (SubBlock(block, length)) {
        }
    }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPos = 0;
};

using Palette = std::array<uint32_t, 256>;

bool ReadColorTable(ByteReader& in, int flags, Palette& palette)
{
    palette.fill(0);
    const int entries = 1 << ((flags & 7) + 1);
    for (int i = 0; i < entries; ++i) {
        uint8_t rgb[3];
        if (!in.Bytes(rgb, 3))
            return false;
        palette[i] = 0xFF000000u | (uint32_t(rgb[0]) << 16) | (uint32_t(rgb[1]) << 8) | rgb[2];
    }
    return true;
}

// The order in which decoded rows land in the picture.
std::vector<int> RowOrder(int height, bool interlaced)
{
    std::vector<int> rows;
    rows.reserve(height);
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
        return rows;
    }
    static const int kStart[4] = {0, 4, 2, 1};
    static const int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass])
            rows.push_back(y);
    return rows;
}

// Codes of a growing width, least significant bit first, from the joined sub-blocks.
class CodeReader {
public:
    explicit CodeReader(const std::vector<uint8_t>& data) : mData(data) {}
    bool Read(int width, int& code)
    {
        if (mBitPos + width > mData.size() * 8)
            return false;
        code = 0;
        for (int i = 0; i < width; ++i, ++mBitPos)
            code |= ((mData[mBitPos / 8] >> (mBitPos % 8)) & 1) << i;
        return true;
    }

private:
    const std::vector<uint8_t>& mData;
    size_t mBitPos = 0;
};

constexpr int MAX_CODES = 4096;

// Decodes into image, stopping at the end code, a code beyond the table, or the end
// of the data. Pixels not reached keep their value (transparent black).
void DecodeLZW(int minCodeSize, const std::vector<uint8_t>& data, const Palette& palette, int transparent,
               bool interlaced, Image& image)
{
    const std::vector<int> rows = RowOrder(image.mHeight, interlaced);
    const size_t totalPixels = static_cast<size_t>(image.mWidth) * image.mHeight;
    size_t pixel = 0;
    auto emit = [&](uint8_t index) {
        const size_t y = static_cast<size_t>(rows[pixel / image.mWidth]);
        const size_t x = pixel % image.mWidth;
        image.mBits[y * image.mWidth + x] = index == transparent ? 0u : palette[index];
        ++pixel;
    };

    std::array<uint16_t, MAX_CODES> prefix{};
    std::array<uint8_t, MAX_CODES> suffix{};
    std::array<uint8_t, MAX_CODES + 1> stack{};

    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    int nextFree = clearCode + 2;
    int width = minCodeSize + 1;
    int oldCode = -1;
    uint8_t firstChar = 0;
    CodeReader codes(data);

    int code;
    while (pixel < totalPixels && codes.Read(width, code)) {
        if (code == clearCode) {
            width = minCodeSize + 1;
            nextFree = clearCode + 2;
            oldCode = -1;
            continue;
        }
        if (code == endCode || code > nextFree)
            break;
        if (oldCode < 0) {
            // Right after a clear only a single colour can follow; a code naming the
            // entry still to be made has no string to build it from.
            if (code >= clearCode)
                break;
            firstChar = static_cast<uint8_t>(code);
            oldCode = code;
            emit(firstChar);
            continue;
        }
        const int inCode = code;
        size_t sp = 0;
        if (code == nextFree) {
            stack[sp++] = firstChar;
            code = oldCode;
        }
        // Every entry's prefix is an older code, so this chain shrinks to a colour.
        while (code >= clearCode) {
            stack[sp++] = suffix[code];
            code = prefix[code];
        }
        firstChar = static_cast<uint8_t>(code);
        stack[sp++] = firstChar;
        if (nextFree < MAX_CODES) {
            prefix[nextFree] = static_cast<uint16_t>(oldCode);
            suffix[nextFree] = firstChar;
            ++nextFree;
            if (nextFree == (1 << width) && nextFree < MAX_CODES)
                ++width;
        }
        oldCode = inCode;
        while (sp > 0 && pixel < totalPixels)
            emit(stack[--sp]);
    }
}

} // namespace

std::unique_ptr<Image> DecodeGif(const uint8_t* data, size_t size)
{
    ByteReader in(data, size);
    uint8_t signature[6];
    if (!in.Bytes(signature, 6))
        return nullptr;
    if (std::memcmp(signature, "GIF87", 5) != 0 && std::memcmp(signature, "GIF89", 5) != 0)
        return nullptr;

    int screenWidth, screenHeight;
    uint8_t screenFlags, background, aspect;
    if (!in.Short(screenWidth) || !in.Short(screenHeight) || !in.Byte(screenFlags) || !in.Byte(background) ||
        !in.Byte(aspect))
        return nullptr;
    Palette globalPalette{};
    if ((screenFlags & 0x80) && !ReadColorTable(in, screenFlags, globalPalette))
        return nullptr;

    int transparent = -1;
    for (;;) {
        uint8_t blockType;
        if (!in.Byte(blockType) || blockType == ';')
            return nullptr;
        if (blockType == ',')
            break;
        if (blockType != '!')
            continue; // stray bytes between blocks are passed over
        uint8_t label;
        if (!in.Byte(label))
            return nullptr;
        const uint8_t* block;
        size_t length;
        if (label == 0xF9) {
            while (in.SubBlock(block, length)) {
                // Only a complete control block holds a transparency index.
                if (length >= 4 && (block[0] & 1))
                    transparent = block[3];
            }
        } else if (label == 0xFF) {
            // Application blocks (looping and the like) change nothing here.
            in.SkipSubBlocks();
        } else {
            in.SkipSubBlocks();
        }
    }

    int left, top, width, height;
    uint8_t flags;
    if (!in.Short(left) || !in.Short(top) || !in.Short(width) || !in.Short(height) || !in.Byte(flags))
        return nullptr;
    if (width == 0 || height == 0 || !IsAcceptableSize(width, height))
        return nullptr;
    Palette localPalette;
    const bool hasLocal = (flags & 0x80) != 0;
    if (hasLocal && !ReadColorTable(in, flags, localPalette))
        return nullptr;
    const bool interlaced = (flags & 0x40) != 0;

    uint8_t minCodeSize;
    if (!in.Byte(minCodeSize) || minCodeSize < 1 || minCodeSize > 11)
        return nullptr;
    std::vector<uint8_t> lzw;
    const uint8_t* block;
    size_t length;
    while (in.SubBlock(block, length))
        lzw.insert(lzw.end(), block, block + length);

    auto image = std::make_unique<Image>(width, height);
    DecodeLZW(minCodeSize, lzw, hasLocal ? localPalette : globalPalette, transparent, interlaced, *image);
    return image;
}

std::unique_ptr<Image> ReadGif(const std::string& path)
{
    std::FILE* file = Platform::OpenRegularFile(path);
    if (!file)
        return nullptr;
    std::vector<uint8_t> data;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        data.insert(data.end(), chunk, chunk + n);
    std::fclose(file);
    return DecodeGif(data.data(), data.size());
}

} // namespace ImageLib
