#pragma once
// Image files to plain 32-bit pixel arrays and back: JPEG and PNG through libjpeg and
// libpng, GIF through our own decoder. A picture may come with a separate grey-scale
// alpha picture whose blue byte becomes the alpha channel.
//
// Paths are opened exactly as given (the caller turns game paths into file-system
// paths). Reader extensions are lower case: "ship" finds ship.jpg, ship.png, ship.gif.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/Heap.h"

namespace ImageLib {

// The pixel words of an Image. The array holds one spare word past the last pixel,
// so a MemoryImage can take it over whole (it keeps a guard word there) instead of
// copying it.
class PixelArray {
public:
    using value_type = uint32_t;
    using iterator = uint32_t*;
    using const_iterator = const uint32_t*;

    PixelArray() = default;
    // count zero words.
    explicit PixelArray(size_t count);
    PixelArray(const PixelArray& other);
    PixelArray& operator=(const PixelArray& other);
    PixelArray(PixelArray&& other) noexcept;
    PixelArray& operator=(PixelArray&& other) noexcept;
    // count words left as the allocator gives them, for a decoder that writes every
    // one of them.
    static PixelArray ForOverwrite(size_t count);

    size_t size() const { return mCount; }
    bool empty() const { return mCount == 0; }
    uint32_t* data() { return mWords.get(); }
    const uint32_t* data() const { return mWords.get(); }
    iterator begin() { return data(); }
    iterator end() { return data() + mCount; }
    const_iterator begin() const { return data(); }
    const_iterator end() const { return data() + mCount; }
    uint32_t& operator[](size_t i) { return mWords[i]; }
    uint32_t operator[](size_t i) const { return mWords[i]; }
    uint32_t& front() { return mWords[0]; }
    uint32_t& back() { return mWords[mCount - 1]; }

    // Hands the words over (size() + 1 of them, the last one spare) and leaves this
    // array empty.
    Platform::LoadingArray<uint32_t> Release();

    friend bool operator==(const PixelArray& a, const PixelArray& b);
    friend bool operator==(const PixelArray& a, const std::vector<uint32_t>& b);

private:
    Platform::LoadingArray<uint32_t> mWords;
    size_t mCount = 0;
};

// width * height words 0xAARRGGBB, row after row.
class Image {
public:
    Image() = default;
    // Transparent black pixels.
    Image(int width, int height) : mWidth(width), mHeight(height), mBits(PixelCount(width, height)) {}
    virtual ~Image() = default;
    // Pixels left unset, for a decoder that writes every one of them.
    static std::unique_ptr<Image> ForOverwrite(int width, int height);

    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    uint32_t* GetBits() { return mBits.data(); }
    const uint32_t* GetBits() const { return mBits.data(); }
    uint32_t Pixel(int x, int y) const { return mBits[static_cast<size_t>(y) * mWidth + x]; }
    // The pixel words with one spare word after them (see PixelArray); the image is
    // left empty, 0 by 0.
    Platform::LoadingArray<uint32_t> ReleaseBits();

    int mWidth = 0;
    int mHeight = 0;
    PixelArray mBits;

private:
    static size_t PixelCount(int width, int height)
    {
        return width > 0 && height > 0 ? static_cast<size_t>(width) * static_cast<size_t>(height) : 0;
    }
};

// Largest picture any reader accepts: files are checked against it before memory
// for their pixels is taken. The game's pictures are far smaller.
constexpr int MAX_IMAGE_SIDE = 16384;
constexpr int64_t MAX_IMAGE_PIXELS = int64_t(1) << 24;
bool IsAcceptableSize(int64_t width, int64_t height);

// Tries base.jpg, base.png, base.gif (only the reader that matches an extension the
// path already has), then with lookForAlpha merges "dir/_name" or, failing that,
// "path_" as the alpha channel. None when neither colour nor alpha picture exists.
std::unique_ptr<Image> LoadImageFile(const std::string& path, bool lookForAlpha);

// None when the file cannot be opened or decoded.
std::unique_ptr<Image> ReadJpeg(const std::string& path);
std::unique_ptr<Image> ReadPng(const std::string& path);
std::unique_ptr<Image> ReadGif(const std::string& path);

// The same from an open stream (left open) or from bytes in memory.
std::unique_ptr<Image> ReadJpegStream(std::FILE* file);
std::unique_ptr<Image> ReadPngStream(std::FILE* file);
std::unique_ptr<Image> DecodeGif(const uint8_t* data, size_t size);

// False when the file cannot be created or written. JPEG is written at quality 80
// without alpha; PNG as 8-bit RGBA, not interlaced.
bool WriteJpeg(const std::string& path, const Image& image);
bool WritePng(const std::string& path, const Image& image);

} // namespace ImageLib
