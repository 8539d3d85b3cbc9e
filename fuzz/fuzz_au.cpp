// The Sun AU reader on arbitrary bytes.
#include "framework/sound/SoundDecoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Zant::DecodedSound sound;
    std::string error;
    Zant::ParseAu(data, size, sound, error);
    return 0;
}
