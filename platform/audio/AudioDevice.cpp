#include "platform/audio/AudioDevice.h"

#include <new>

namespace Platform {

namespace {

// Keeps the shared output open for as long as the device's buffers may play.
class OutputAudioDevice : public AudioDevice {
public:
    explicit OutputAudioDevice(std::shared_ptr<AudioOutput> output)
        : AudioDevice(&output->GetMixer()), mOutput(std::move(output))
    {
    }

private:
    std::shared_ptr<AudioOutput> mOutput;
};

} // namespace

AudioResult AudioDevice::CreateSoundBuffer(const WaveFormat& format, uint32_t bytes, std::unique_ptr<SoundBuffer>& out)
{
    out.reset();
    if (!IsPlayableFormat(format) || format.blockAlign != format.channels * format.bitsPerSample / 8)
        return DSERR_BADFORMAT;
    if (bytes == 0 || bytes > kMaxBufferBytes)
        return DSERR_INVALIDPARAM;
    try {
        auto data = std::make_shared<PcmData>();
        data->format = format;
        data->format.avgBytesPerSec = format.blockAlign * format.samplesPerSec;
        // Silence is 128 for unsigned 8-bit data and 0 for 16-bit.
        data->bytes.assign(bytes, format.bitsPerSample == 8 ? 0x80 : 0x00);
        out = std::make_unique<SoundBuffer>(mMixer, std::move(data));
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    return AUDIO_OK;
}

AudioResult AudioDevice::DuplicateSoundBuffer(const SoundBuffer& source, std::unique_ptr<SoundBuffer>& out)
{
    out.reset();
    try {
        out = std::make_unique<SoundBuffer>(mMixer, source.Data());
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    out->SetVolume(source.GetVolume());
    out->SetPan(source.GetPan());
    uint32_t hz = 0;
    source.GetFrequency(&hz);
    out->SetFrequency(hz);
    return AUDIO_OK;
}

AudioResult DirectSoundCreate(std::unique_ptr<AudioDevice>& out)
{
    out.reset();
    std::shared_ptr<AudioOutput> output = AudioOutput::Acquire();
    if (!output)
        return DSERR_NODRIVER;
    out = std::make_unique<OutputAudioDevice>(std::move(output));
    return AUDIO_OK;
}

OfflineAudioDevice::OfflineAudioDevice(uint32_t rate) : AudioDevice(nullptr), mOwnMixer(std::make_unique<Mixer>(rate))
{
    mMixer = mOwnMixer.get();
}

std::vector<int16_t> OfflineAudioDevice::Render(uint32_t frames)
{
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
    mMixer->Render(out.data(), frames);
    return out;
}

AudioResult OfflineAudioDevice::DuplicateSoundBuffer(const SoundBuffer& source, std::unique_ptr<SoundBuffer>& out)
{
    if (failDuplicate != AUDIO_OK) {
        out.reset();
        return failDuplicate;
    }
    return AudioDevice::DuplicateSoundBuffer(source, out);
}

} // namespace Platform
