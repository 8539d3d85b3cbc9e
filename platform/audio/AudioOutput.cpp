#include "platform/audio/AudioOutput.h"

#include <SDL.h>

#include <mutex>

#include "platform/Log.h"

namespace Platform {

namespace {
std::mutex gOutputLock;
std::weak_ptr<AudioOutput> gOutput;
// Stopping SDL's audio joins its device-watching thread, which begins with a 100 ms
// sleep, so on a machine without a device every holder that asked would wait that
// long at start-up. After a failed open the subsystem stays started; the next
// attempt reuses it, and an output that opens takes it over.
bool gStartedWithoutOutput = false;
}

std::shared_ptr<AudioOutput> AudioOutput::Acquire()
{
    std::lock_guard<std::mutex> guard(gOutputLock);
    if (auto existing = gOutput.lock())
        return existing;

    if (!gStartedWithoutOutput && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        DebugOutput(std::string("No audio output: ") + SDL_GetError() + "\n");
        return nullptr;
    }
    gStartedWithoutOutput = false;
    std::shared_ptr<AudioOutput> output(new AudioOutput());
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(kOutputRate);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &AudioOutput::Callback;
    want.userdata = output.get();
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts, so every mixer renders at one known rate.
    output->mDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (output->mDevice == 0) {
        DebugOutput(std::string("No audio device: ") + SDL_GetError() + "\n");
        gStartedWithoutOutput = true;
        return nullptr;
    }
    SDL_PauseAudioDevice(output->mDevice, 0);
    gOutput = output;
    return output;
}

AudioOutput::~AudioOutput()
{
    if (mDevice != 0) {
        SDL_CloseAudioDevice(mDevice); // waits for the callback, so the mixer outlives it
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void AudioOutput::Callback(void* user, unsigned char* stream, int len)
{
    auto* self = static_cast<AudioOutput*>(user);
    self->mMixer.Render(reinterpret_cast<int16_t*>(stream), static_cast<uint32_t>(len) / 4);
}

} // namespace Platform
