// The Ogg Vorbis decoder (libvorbisfile over memory) on arbitrary bytes.
#include "framework/sound/SoundDecoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Zant::DecodedSound sound;
    std::string error;
    Zant::DecodeOgg(data, size, sound, error);
    return 0;
}
