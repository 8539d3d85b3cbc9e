#pragma once
// What the image reader targets share: bytes read through a stream reader exactly as
// the loader reads an open file, and a read of the decoded pixels so that pixels the
// decoder never wrote are seen by the sanitizers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "framework/graphics/ImageLib.h"

inline void TouchPixels(const std::unique_ptr<ImageLib::Image>& image)
{
    if (image && !image->mBits.empty()) {
        volatile uint32_t sink = image->mBits.front() ^ image->mBits.back();
        (void)sink;
    }
}

// read is one of ImageLib's stream readers; the stream is closed after it.
template <typename StreamReader>
void ReadThroughStream(const uint8_t* data, size_t size, StreamReader read)
{
    if (size == 0)
        return;
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file)
        return;
    auto image = read(file);
    std::fclose(file);
    TouchPixels(image);
}
