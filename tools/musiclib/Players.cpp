#include "tools/musiclib/Players.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/FileBytes.h"

namespace MusicLib {

namespace {

constexpr size_t kMaxFileBytes = 256u << 20;

// Reads the file whole. A file that cannot be had is said on stderr, as the game's
// debug lines are.
bool ReadFile(const char* path, Platform::FileBytes& file)
{
    if (!path)
        return false;
    if (file.Open(path, kMaxFileBytes))
        return true;
    std::fprintf(stderr, "%s\n", file.Error().c_str());
    return false;
}

inline int SampleAt(const Zant::DecodedSound& s, uint32_t frame, int ch)
{
    size_t index = static_cast<size_t>(frame) * s.channels + (s.channels == 2 ? ch : 0);
    if (s.bits == 16) {
        int16_t v;
        std::memcpy(&v, s.pcm.data() + index * 2, 2);
        return v;
    }
    return (static_cast<int>(s.pcm[index]) - 128) * 256;
}

} // namespace

std::shared_ptr<PcmSound> LoadPcmFile(const char* path, ExtraDecoder extra)
{
    Platform::FileBytes file;
    if (!ReadFile(path, file) || file.Size() < 4)
        return nullptr;
    auto pcm = std::make_shared<PcmSound>();
    const uint8_t* data = file.Data();
    std::string error;
    bool ok = false;
    if (std::memcmp(data, "RIFF", 4) == 0)
        ok = Zant::ParseWav(data, file.Size(), pcm->sound, nullptr, error);
    else if (std::memcmp(data, "OggS", 4) == 0)
        ok = Zant::DecodeOgg(data, file.Size(), pcm->sound, error);
    else if (extra)
        ok = extra(path, pcm->sound) && Zant::IsValidSoundFormat(pcm->sound.channels, pcm->sound.rate, pcm->sound.bits);
    if (!ok || pcm->Frames() == 0)
        return nullptr;
    pcm->loopStart = 0;
    pcm->loopEnd = pcm->Frames() - 1;
    return pcm;
}

void PcmPlayer::Start(std::shared_ptr<PcmSound> sound)
{
    mSound = std::move(sound);
    mCursor = 0;
}

bool PcmPlayer::MixInto(int32_t* acc, int frames, uint32_t outRate, float leftGain, float rightGain)
{
    if (!mSound || mSound->Frames() == 0)
        return false;
    const Zant::DecodedSound& s = mSound->sound;
    const uint32_t total = mSound->Frames();
    const uint32_t rate = frequency ? frequency : s.rate;
    const uint64_t step = (static_cast<uint64_t>(rate) << 32) / std::max<uint32_t>(outRate, 1);
    uint32_t loopStart = std::min(mSound->loopStart, total - 1);
    uint32_t loopEnd = std::clamp(mSound->loopEnd, loopStart, total - 1);
    const uint64_t loopEndPos = static_cast<uint64_t>(loopEnd + 1) << 32;
    const uint64_t loopLen = static_cast<uint64_t>(loopEnd + 1 - loopStart) << 32;
    const uint64_t endPos = static_cast<uint64_t>(total) << 32;

    for (int k = 0; k < frames; ++k) {
        if (loop && mCursor >= loopEndPos)
            mCursor = (static_cast<uint64_t>(loopStart) << 32) + (mCursor - loopEndPos) % loopLen;
        if (!loop && mCursor >= endPos)
            return false;
        uint32_t i = static_cast<uint32_t>(mCursor >> 32);
        uint32_t next = i + 1;
        if (loop && next > loopEnd)
            next = loopStart;
        else if (next >= total)
            next = i;
        float f = static_cast<float>(mCursor & 0xFFFFFFFFu) / 4294967296.0f;
        for (int ch = 0; ch < 2; ++ch) {
            float a = static_cast<float>(SampleAt(s, i, ch)), b = static_cast<float>(SampleAt(s, next, ch));
            acc[2 * k + ch] += static_cast<int32_t>((a + (b - a) * f) * (ch == 0 ? leftGain : rightGain));
        }
        mCursor += step;
    }
    return loop || mCursor < endPos;
}

ModulePlayer::~ModulePlayer()
{
    if (mModule)
        openmpt_module_destroy(mModule);
}

bool ModulePlayer::LoadFile(const char* path)
{
    Platform::FileBytes file;
    if (!ReadFile(path, file))
        return false;
    // libopenmpt copies what it keeps: the file's bytes go once the module is made.
    int error = 0;
    mModule = openmpt_module_create_from_memory2(file.Data(), file.Size(), openmpt_log_func_silent, nullptr,
                                                 openmpt_error_func_ignore, nullptr, &error, nullptr, nullptr);
    // The game goes on without music; the reason is said, as for a file not there.
    if (mModule == nullptr)
        std::fprintf(stderr, "%s: %s\n", path,
                     file.Size() == 0 ? "empty, no module" : "not a module that can be played");
    return mModule != nullptr;
}

int ModulePlayer::Orders() const { return mModule ? openmpt_module_get_num_orders(mModule) : 0; }

bool ModulePlayer::SetOrder(int order)
{
    if (!mModule || order < 0 || order >= Orders())
        return false;
    openmpt_module_set_position_order_row(mModule, order, 0);
    return true;
}

void ModulePlayer::SetLoop(bool forever)
{
    if (mModule)
        openmpt_module_set_repeat_count(mModule, forever ? -1 : 0);
}

int ModulePlayer::CurrentOrder() const { return mModule ? openmpt_module_get_current_order(mModule) : -1; }

bool ModulePlayer::MixInto(int32_t* acc, int frames, uint32_t outRate, float leftGain, float rightGain)
{
    if (!mModule)
        return false;
    mScratch.resize(static_cast<size_t>(frames) * 2);
    size_t got = openmpt_module_read_interleaved_stereo(mModule, static_cast<int32_t>(outRate),
                                                        static_cast<size_t>(frames), mScratch.data());
    for (size_t k = 0; k < got; ++k) {
        acc[2 * k] += static_cast<int32_t>(mScratch[2 * k] * leftGain);
        acc[2 * k + 1] += static_cast<int32_t>(mScratch[2 * k + 1] * rightGain);
    }
    return got == static_cast<size_t>(frames);
}

void StopTails::Fall(std::vector<int32_t>& samples)
{
    // From the gain the sound had down to one step above silence.
    const size_t frames = samples.size() / 2;
    for (size_t k = 0; k < frames; ++k) {
        const double gain = static_cast<double>(frames - k) / static_cast<double>(frames);
        samples[2 * k] = static_cast<int32_t>(std::lrint(samples[2 * k] * gain));
        samples[2 * k + 1] = static_cast<int32_t>(std::lrint(samples[2 * k + 1] * gain));
    }
}

void StopTails::MixInto(int32_t* acc, int frames)
{
    for (size_t t = 0; t < mTails.size();) {
        Tail& tail = mTails[t];
        const size_t n = std::min(tail.samples.size() - tail.at, 2 * static_cast<size_t>(frames));
        for (size_t k = 0; k < n; ++k)
            acc[k] += tail.samples[tail.at + k];
        tail.at += n;
        if (tail.at == tail.samples.size())
            mTails.erase(mTails.begin() + static_cast<long>(t));
        else
            ++t;
    }
}

void PanGains(float volume, int pan, float& left, float& right)
{
    pan = std::clamp(pan, -100, 100);
    left = volume * (pan > 0 ? (100 - pan) / 100.0f : 1.0f);
    right = volume * (pan < 0 ? (100 + pan) / 100.0f : 1.0f);
}

} // namespace MusicLib
