// Decodes any bytes as a GIF file.
#include <cstddef>
#include <cstdint>

#include "framework/graphics/ImageLib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto image = ImageLib::DecodeGif(data, size);
    if (image && !image->mBits.empty()) {
        volatile uint32_t sink = image->mBits.front() ^ image->mBits.back();
        (void)sink;
    }
    return 0;
}
