#include "framework/util/PerfTimer.h"

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#define PLINDOR_HAVE_TSC 1
#endif

#include "framework/util/StringUtil.h"

namespace Zant {

// ---- Tick sources

namespace {

uint64_t MonotonicNanoseconds()
{
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

SystemTickSource gSystemTickSource;
std::atomic<TickSource*> gTickSource{nullptr};

} // namespace

uint64_t SystemTickSource::CounterFrequency()
{
    return 1000000000ull;
}

uint64_t SystemTickSource::Counter()
{
    return MonotonicNanoseconds();
}

uint64_t SystemTickSource::TimeStamp()
{
#ifdef PLINDOR_HAVE_TSC
    return __rdtsc();
#else
    return MonotonicNanoseconds();
#endif
}

TickSource& GetTickSource()
{
    TickSource* source = gTickSource.load();
    return source ? *source : gSystemTickSource;
}

void SetTickSource(TickSource* source)
{
    gTickSource.store(source);
}

// ---- Processor clock

namespace {

std::atomic<int64_t> gCpuTicksPerSecond{0};

int64_t MeasureCpuTicksPerSecond()
{
    // Raising the thread's priority would need rights a game does not have; the
    // 10 ms spin is short enough to be measured well without it.
    TickSource& source = GetTickSource();
    const uint64_t frequency = source.CounterFrequency();
    if (frequency == 0)
        return 0;
    const uint64_t target = source.Counter() + frequency / 100;
    const uint64_t stampStart = source.TimeStamp();
    while (source.Counter() < target) {
    }
    const uint64_t ticks = source.TimeStamp() - stampStart;
    return static_cast<int64_t>(ticks) * 100;
}

} // namespace

int64_t EstimateCpuTicksPerSecond()
{
    int64_t rate = gCpuTicksPerSecond.load();
    if (rate != 0)
        return rate;
    rate = MeasureCpuTicksPerSecond();
    if (rate <= 0)
        rate = 1;
    int64_t expected = 0;
    // The first measurement to finish is the one every caller sees.
    if (!gCpuTicksPerSecond.compare_exchange_strong(expected, rate))
        return expected;
    return rate;
}

int64_t EstimateCpuClock()
{
    return EstimateCpuTicksPerSecond() / 1000000;
}

void ResetCpuClockEstimate()
{
    gCpuTicksPerSecond.store(0);
}

// ---- Stopwatch

void PrecisionTimer::Start()
{
    mRunning = true;
    mStart = GetTickSource().Counter();
}

void PrecisionTimer::Stop()
{
    if (mRunning) {
        GetDuration();
        mRunning = false;
    }
}

double PrecisionTimer::GetDuration()
{
    if (mRunning) {
        TickSource& source = GetTickSource();
        const uint64_t frequency = source.CounterFrequency();
        mDuration = frequency == 0 ? 0.0 : double(source.Counter() - mStart) * 1000.0 / double(frequency);
    }
    return mDuration;
}

// ---- Nesting counter

int AdjustGlobalCount(bool down)
{
    static std::atomic<int> count{0};
    if (!down)
        return ++count;
    int value = count.load();
    while (value > 0 && !count.compare_exchange_weak(value, value - 1)) {
    }
    return value > 0 ? value - 1 : 0;
}

// ---- Profiler

namespace {

struct TimerEntry {
    int mCalls = 0;
    int mDepth = 0;
    uint64_t mStartTick = 0;
    uint64_t mTotalTicks = 0;
    double mMilliseconds = 0.0;
};

struct TimerRecord {
    std::string mName;
    bool mStart;
    uint64_t mTick;
};

struct Profiler {
    std::mutex mLock;
    std::map<std::string, TimerEntry> mEntries;
    std::vector<TimerRecord> mRecords;
    std::atomic<bool> mActive{false};
    uint64_t mStartTick = 0;
    double mTotalMilliseconds = 0.0;

    void Record(const std::string& name, bool start)
    {
        if (!mActive.load())
            return;
        const uint64_t tick = GetTickSource().TimeStamp();
        std::lock_guard<std::mutex> guard(mLock);
        mRecords.push_back({name, start, tick});
    }
};

Profiler& TheProfiler()
{
    static Profiler profiler;
    return profiler;
}

} // namespace

void NamedTimers::Clear(bool keepFlag)
{
    Profiler& p = TheProfiler();
    std::lock_guard<std::mutex> guard(p.mLock);
    p.mEntries.clear();
    p.mRecords.clear();
    p.mTotalMilliseconds = 0.0;
    if (!keepFlag)
        p.mActive = true;
    p.mStartTick = GetTickSource().TimeStamp();
}

bool NamedTimers::GetGlobalFlag()
{
    return TheProfiler().mActive.load();
}

void NamedTimers::StartTimer(const std::string& name)
{
    TheProfiler().Record(name, true);
}

void NamedTimers::StopTimer(const std::string& name)
{
    TheProfiler().Record(name, false);
}

void NamedTimers::Stop()
{
    Profiler& p = TheProfiler();
    TickSource& source = GetTickSource();
    std::lock_guard<std::mutex> guard(p.mLock);
    const uint64_t processStart = source.TimeStamp();
    for (const TimerRecord& r : p.mRecords) {
        TimerEntry& e = p.mEntries[r.mName];
        if (r.mStart) {
            ++e.mCalls;
            if (++e.mDepth == 1)
                e.mStartTick = r.mTick;
        } else if (e.mDepth > 0) {
            // A stop without its start is passed over, so the entry keeps timing.
            if (--e.mDepth == 0)
                e.mTotalTicks += r.mTick - e.mStartTick;
        }
    }
    p.mRecords.clear();
    p.mActive = false;
    const uint64_t now = source.TimeStamp();
    const uint64_t processing = now - processStart;
    const double rate = static_cast<double>(EstimateCpuTicksPerSecond());
    const uint64_t elapsed = now - p.mStartTick;
    p.mTotalMilliseconds = elapsed > processing ? double(elapsed - processing) * 1000.0 / rate : 0.0;
    for (auto& [name, e] : p.mEntries)
        e.mMilliseconds = double(e.mTotalTicks) * 1000.0 / rate;
}

std::string NamedTimers::Report()
{
    Profiler& p = TheProfiler();
    std::lock_guard<std::mutex> guard(p.mLock);
    std::string text = FormatString("Total Time: %.2f\n", p.mTotalMilliseconds);
    for (const auto& [name, e] : p.mEntries) {
        // A zero total or an entry never started would print nan or inf.
        const double share = p.mTotalMilliseconds > 0.0 ? e.mMilliseconds * 100.0 / p.mTotalMilliseconds : 0.0;
        const double average = e.mCalls > 0 ? e.mMilliseconds / e.mCalls : 0.0;
        text += FormatString("%s (%d calls, %%%.2f time): %.2f (%.2f avg)\n", name.c_str(), e.mCalls, share,
                             e.mMilliseconds, average);
    }
    return text;
}

} // namespace Zant
