// The WAV reader on arbitrary bytes; whatever it accepts must survive a round trip
// through the cached-copy writer.
#include <cstdlib>

#include "framework/sound/SoundDecoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Zant::DecodedSound sound;
    Zant::SoundDependency dep;
    std::string error;
    if (!Zant::ParseWav(data, size, sound, &dep, error))
        return 0;
    std::string copy = Zant::BuildCachedWav(sound, dep.present ? &dep : nullptr);
    Zant::DecodedSound again;
    Zant::SoundDependency depAgain;
    if (!Zant::ParseWav(reinterpret_cast<const uint8_t*>(copy.data()), copy.size(), again, &depAgain, error) ||
        again.pcm != sound.pcm || depAgain.name != dep.name.substr(0, 255))
        std::abort();
    return 0;
}
