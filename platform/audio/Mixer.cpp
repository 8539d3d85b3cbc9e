#include "platform/audio/Mixer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/audio/SoundBuffer.h"

namespace Platform {

namespace {

std::atomic<uint32_t> gWaveOutVolume{65535};

// Q15 gains: 32768 is unity, so a full-volume voice adds its samples unchanged.
int32_t ToQ15(double gain) { return static_cast<int32_t>(std::lround(std::clamp(gain, 0.0, 1.0) * 32768.0)); }

template <int Bits, int Channels>
inline int Sample(const uint8_t* d, uint32_t frame, int ch)
{
    size_t index = static_cast<size_t>(frame) * Channels + ch;
    if constexpr (Bits == 16) {
        int16_t v;
        std::memcpy(&v, d + index * 2, 2);
        return v;
    } else {
        return (static_cast<int>(d[index]) - 128) * 256; // unsigned 8-bit, 128 is silence
    }
}

// Adds count output frames starting at cursor; every frame read and the one after
// it lie inside the data. Interp is off when the cursor steps whole frames.
template <int Bits, int Channels, bool Interp>
void MixSpan(const uint8_t* d, uint64_t cursor, uint64_t step, uint32_t count, int32_t* accum, int32_t gl, int32_t gr)
{
    for (uint32_t k = 0; k < count; ++k) {
        uint32_t i = static_cast<uint32_t>(cursor >> 32);
        int l, r;
        if constexpr (Interp) {
            int64_t f = static_cast<int64_t>((cursor >> 16) & 0xFFFF);
            int l0 = Sample<Bits, Channels>(d, i, 0), l1 = Sample<Bits, Channels>(d, i + 1, 0);
            l = l0 + static_cast<int>(((l1 - l0) * f) >> 16);
            if constexpr (Channels == 2) {
                int r0 = Sample<Bits, Channels>(d, i, 1), r1 = Sample<Bits, Channels>(d, i + 1, 1);
                r = r0 + static_cast<int>(((r1 - r0) * f) >> 16);
            } else {
                r = l;
            }
        } else {
            l = Sample<Bits, Channels>(d, i, 0);
            r = Channels == 2 ? Sample<Bits, Channels>(d, i, 1) : l;
        }
        accum[2 * k] += (l * gl) >> 15;
        accum[2 * k + 1] += (r * gr) >> 15;
        cursor += step;
    }
}

template <int Bits, int Channels>
void MixSpanAny(const uint8_t* d, uint64_t cursor, uint64_t step, uint32_t count, int32_t* accum, int32_t gl, int32_t gr)
{
    if (step == (uint64_t{1} << 32) && (cursor & 0xFFFFFFFFu) == 0)
        MixSpan<Bits, Channels, false>(d, cursor, step, count, accum, gl, gr);
    else
        MixSpan<Bits, Channels, true>(d, cursor, step, count, accum, gl, gr);
}

using SpanFn = void (*)(const uint8_t*, uint64_t, uint64_t, uint32_t, int32_t*, int32_t, int32_t);

SpanFn PickSpan(int bits, int channels)
{
    if (bits == 16)
        return channels == 2 ? MixSpanAny<16, 2> : MixSpanAny<16, 1>;
    return channels == 2 ? MixSpanAny<8, 2> : MixSpanAny<8, 1>;
}

int SampleAt(const uint8_t* d, int bits, int channels, uint32_t frame, int ch)
{
    size_t index = static_cast<size_t>(frame) * channels + ch;
    if (bits == 16) {
        int16_t v;
        std::memcpy(&v, d + index * 2, 2);
        return v;
    }
    return (static_cast<int>(d[index]) - 128) * 256;
}

} // namespace

double GetWaveOutVolume() { return gWaveOutVolume.load() / 65535.0; }

void SetWaveOutVolume(double volume)
{
    gWaveOutVolume = static_cast<uint32_t>(std::clamp(volume, 0.0, 1.0) * 65535.0);
}

Mixer::Mixer(uint32_t rate) : mRate(rate ? rate : 44100), mLimiter(mRate)
{
    mVoices.reserve(64);
    mSources.reserve(4);
    mAccum.resize(kChunk * 2);
    mScratch.resize(kChunk * 2);
}

void Mixer::Attach(SoundBuffer* b, uint32_t status)
{
    std::lock_guard<std::mutex> guard(mLock);
    b->mStatus = status;
    if (!b->mAttached) {
        mVoices.push_back(b);
        b->mAttached = true;
        b->mHeardLeft = b->mHeardRight = 0.0f;
    }
}

void Mixer::Detach(SoundBuffer* b)
{
    std::lock_guard<std::mutex> guard(mLock);
    if (b->mAttached) {
        mVoices.erase(std::find(mVoices.begin(), mVoices.end(), b));
        b->mAttached = false;
        const uint32_t fade = b->mFade.load(), status = b->mStatus.load();
        if (fade > 0 && (status & kStatusPlaying) && (b->mHeardLeft > 0.0f || b->mHeardRight > 0.0f))
            mTails.push_back({b->mData, b->mCursor, StepOf(*b), (status & kStatusLooping) != 0, b->mHeardLeft,
                              b->mHeardRight, 1.0f / static_cast<float>(fade)});
    }
}

void Mixer::SetCursor(SoundBuffer* b, uint64_t cursor)
{
    std::lock_guard<std::mutex> guard(mLock);
    b->mCursor = cursor;
}

uint64_t Mixer::GetCursor(const SoundBuffer* b)
{
    std::lock_guard<std::mutex> guard(mLock);
    return b->mCursor;
}

int Mixer::AddSource(SourceFn fn, void* user)
{
    std::lock_guard<std::mutex> guard(mLock);
    int id = mNextSourceId++;
    mSources.push_back({id, fn, user});
    return id;
}

void Mixer::RemoveSource(int id)
{
    std::lock_guard<std::mutex> guard(mLock);
    mSources.erase(std::remove_if(mSources.begin(), mSources.end(), [id](const Source& s) { return s.id == id; }),
                   mSources.end());
}

size_t Mixer::PlayingVoices()
{
    std::lock_guard<std::mutex> guard(mLock);
    return mVoices.size();
}

void Mixer::Render(int16_t* out, uint32_t frames)
{
    std::lock_guard<std::mutex> guard(mLock);
    while (frames > 0) {
        uint32_t n = std::min(frames, kChunk);
        RenderChunk(out, n);
        out += 2 * n;
        frames -= n;
    }
}

void Mixer::RenderChunk(int16_t* out, uint32_t frames)
{
    int32_t* accum = mAccum.data();
    std::fill(accum, accum + 2 * frames, 0);

    for (size_t v = 0; v < mVoices.size();) {
        SoundBuffer* voice = mVoices[v];
        if (!MixVoice(*voice, accum, frames)) {
            voice->mStatus = 0;
            voice->mCursor = 0;
            voice->mAttached = false;
            mVoices.erase(mVoices.begin() + static_cast<long>(v));
            continue;
        }
        ++v;
    }

    for (size_t t = 0; t < mTails.size();) {
        Tail& tail = mTails[t];
        const float longest = std::ceil(std::max(tail.left, tail.right) / tail.fall);
        const uint32_t n = static_cast<uint32_t>(std::min(static_cast<float>(frames), longest));
        const bool more = Glide({tail.data.get(), tail.cursor, tail.step, tail.looping}, accum, n, tail.left, tail.right,
                                0.0f, 0.0f, tail.fall);
        if (!more || (tail.left == 0.0f && tail.right == 0.0f))
            mTails.erase(mTails.begin() + static_cast<long>(t));
        else
            ++t;
    }

    for (const Source& s : mSources) {
        int got = s.fn(mScratch.data(), static_cast<int>(frames), s.user);
        got = std::clamp(got, 0, static_cast<int>(frames));
        for (int i = 0; i < 2 * got; ++i)
            accum[i] += mScratch[static_cast<size_t>(i)];
    }

    const uint32_t master = gWaveOutVolume.load(); // 0..65535
    const float scale = master == 65535 ? 1.0f : static_cast<float>(master / 65535.0);
    mLimiter.Process(accum, out, frames, scale);
    ++mLimiterActivity.blocks;
    if (mLimiter.LowestGain() < 1.0f)
        ++mLimiterActivity.limited;
    mLimiterActivity.lowestGain = std::min(mLimiterActivity.lowestGain, mLimiter.LowestGain());
}

Mixer::LimiterActivity Mixer::GetLimiterActivity()
{
    std::lock_guard<std::mutex> guard(mLock);
    return mLimiterActivity;
}

uint64_t Mixer::StepOf(const SoundBuffer& voice) const
{
    return (static_cast<uint64_t>(voice.mFrequency.load()) << 32) / mRate;
}

bool Mixer::MixVoice(SoundBuffer& voice, int32_t* accum, uint32_t frames)
{
    uint32_t status = voice.mStatus.load();
    if (!(status & kStatusPlaying))
        return false;
    double gain = AttenuationToGain(voice.mVolume.load());
    long pan = voice.mPan.load();
    double left = gain, right = gain;
    if (pan > 0)
        left *= AttenuationToGain(-pan);
    else if (pan < 0)
        right *= AttenuationToGain(pan);
    const Playhead head{voice.mData.get(), voice.mCursor, StepOf(voice), (status & kStatusLooping) != 0};
    const uint32_t fade = voice.mFade.load();
    if (fade == 0) {
        voice.mHeardLeft = static_cast<float>(left);
        voice.mHeardRight = static_cast<float>(right);
        return Walk(head, accum, frames, ToQ15(left), ToQ15(right));
    }
    return Glide(head, accum, frames, voice.mHeardLeft, voice.mHeardRight, static_cast<float>(left),
                 static_cast<float>(right), 1.0f / static_cast<float>(fade));
}

bool Mixer::Glide(Playhead head, int32_t* accum, uint32_t frames, float& left, float& right, float targetLeft,
                  float targetRight, float move)
{
    const auto toward = [move](float from, float to) {
        return from < to ? std::min(to, from + move) : std::max(to, from - move);
    };
    uint32_t done = 0;
    for (; done < frames && (left != targetLeft || right != targetRight); ++done) {
        left = toward(left, targetLeft);
        right = toward(right, targetRight);
        if (!Walk(head, accum + 2 * done, 1, ToQ15(left), ToQ15(right)))
            return false;
    }
    return done == frames || Walk(head, accum + 2 * done, frames - done, ToQ15(left), ToQ15(right));
}

bool Mixer::Walk(Playhead head, int32_t* accum, uint32_t frames, int32_t gl, int32_t gr)
{
    const PcmData& pcm = *head.data;
    const WaveFormat& fmt = pcm.format;
    const int bits = fmt.bitsPerSample, channels = fmt.channels;
    const uint32_t align = fmt.blockAlign;
    const uint32_t total = align ? static_cast<uint32_t>(pcm.bytes.size() / align) : 0;
    if (total == 0 || (bits != 8 && bits != 16) || (channels != 1 && channels != 2))
        return false;
    const bool looping = head.looping;
    const uint64_t step = head.step;
    const uint64_t end = static_cast<uint64_t>(total) << 32;
    const uint64_t lastSafe = static_cast<uint64_t>(total - 1) << 32; // below it, frame i+1 exists
    const uint8_t* d = pcm.bytes.data();
    SpanFn span = PickSpan(bits, channels);

    uint64_t cursor = head.cursor;
    uint32_t done = 0;
    while (done < frames) {
        if (cursor >= end) {
            if (!looping) {
                head.cursor = 0;
                return false;
            }
            cursor %= end;
        }
        if (cursor < lastSafe) {
            uint64_t fit = (lastSafe - cursor + step - 1) / step;
            uint32_t count = static_cast<uint32_t>(std::min<uint64_t>(fit, frames - done));
            span(d, cursor, step, count, accum + 2 * done, gl, gr);
            cursor += step * count;
            done += count;
        } else {
            // The last frame: a looping voice interpolates towards its first frame,
            // so the wrap joins without a click.
            uint32_t i = static_cast<uint32_t>(cursor >> 32);
            uint32_t next = looping ? 0 : i;
            int64_t f = static_cast<int64_t>((cursor >> 16) & 0xFFFF);
            for (int ch = 0; ch < 2; ++ch) {
                int c = channels == 2 ? ch : 0;
                int s0 = SampleAt(d, bits, channels, i, c), s1 = SampleAt(d, bits, channels, next, c);
                int s = s0 + static_cast<int>(((s1 - s0) * f) >> 16);
                accum[2 * done + ch] += (s * (ch == 0 ? gl : gr)) >> 15;
            }
            cursor += step;
            ++done;
        }
    }
    if (cursor >= end && !looping) {
        head.cursor = 0;
        return false;
    }
    head.cursor = looping ? cursor % end : cursor;
    return true;
}

} // namespace Platform
