// Decodes any bytes as a GIF file.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TouchPixels(ImageLib::DecodeGif(data, size));
    return 0;
}
