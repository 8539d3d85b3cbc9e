// Reads any bytes as a JPEG file through the same stream reader the loader uses.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "framework/graphics/ImageLib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file)
        return 0;
    auto image = ImageLib::ReadJpegStream(file);
    std::fclose(file);
    if (image && !image->mBits.empty()) {
        volatile uint32_t sink = image->mBits.front() ^ image->mBits.back();
        (void)sink;
    }
    return 0;
}
