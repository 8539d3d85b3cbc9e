// Reads any bytes as a JPEG file through the same stream reader the loader uses.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ReadThroughStream(data, size, ImageLib::ReadJpegStream);
    return 0;
}
