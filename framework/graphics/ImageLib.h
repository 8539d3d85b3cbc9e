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

namespace ImageLib {

// width * height words 0xAARRGGBB, row after row.
class Image {
public:
    Image() = default;
    Image(int width, int height) : mWidth(width), mHeight(height), mBits(static_cast<size_t>(width) * height) {}
    virtual ~Image() = default;

    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    uint32_t* GetBits() { return mBits.data(); }
    const uint32_t* GetBits() const { return mBits.data(); }
    uint32_t Pixel(int x, int y) const { return mBits[static_cast<size_t>(y) * mWidth + x]; }

    int mWidth = 0;
    int mHeight = 0;
    std::vector<uint32_t> mBits;
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
