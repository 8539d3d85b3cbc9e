#pragma once
// The process's one audio output: an SDL audio device (44.1 kHz, 16-bit stereo)
// whose callback pulls a Mixer. The sound manager and the music libraries share it;
// it opens with the first holder and closes with the last.
#include <memory>

#include "platform/audio/AudioTypes.h"
#include "platform/audio/Mixer.h"

namespace Platform {

class AudioOutput {
public:
    // The shared output, opened on first use; null when no audio device can be
    // opened (the caller then runs silent).
    static std::shared_ptr<AudioOutput> Acquire();

    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    Mixer& GetMixer() { return mMixer; }

private:
    AudioOutput() : mMixer(kOutputRate) {}
    static void Callback(void* user, unsigned char* stream, int len);

    Mixer mMixer;
    unsigned mDevice = 0;
};

} // namespace Platform
