#pragma once
// Processor clock estimate, a precision stopwatch, the named-timer profiler behind
// the debug keys, and the framework's global nesting counter.
#include <cstdint>
#include <string>

namespace Zant {

// Where time comes from: a high-resolution counter with its frequency (0 when there
// is none) and the processor's time-stamp counter. Tests install their own.
class TickSource {
public:
    virtual ~TickSource() = default;
    virtual uint64_t CounterFrequency() = 0; // counts per second; 0: no counter
    virtual uint64_t Counter() = 0;
    virtual uint64_t TimeStamp() = 0;
};

// The monotonic clock in nanoseconds as the counter; the processor's time-stamp
// counter on x86-64, elsewhere the monotonic clock again.
class SystemTickSource : public TickSource {
public:
    uint64_t CounterFrequency() override;
    uint64_t Counter() override;
    uint64_t TimeStamp() override;
};

TickSource& GetTickSource();
void SetTickSource(TickSource* source); // null restores the system source

// Time-stamp ticks per second, measured once over 10 ms of the counter and cached;
// 1 when it cannot be measured (no counter, or no time-stamp movement).
int64_t EstimateCpuTicksPerSecond();
// The same estimate in MHz, as the game's effects setting compares it.
int64_t EstimateCpuClock();
// Forgets the cached estimate (for tests that install a tick source).
void ResetCpuClockEstimate();

class PrecisionTimer {
public:
    void Start();
    void Stop();
    // Milliseconds; a running timer is measured up to now.
    double GetDuration();

private:
    uint64_t mStart = 0;
    double mDuration = 0.0;
    bool mRunning = false;
};

// A counter of nested passes (widget deletion, drawing): false raises it, true
// lowers it while it is positive. Returns the new value.
int AdjustGlobalCount(bool down);

// The profiler. While active, code records starts and stops by name; Stop sums
// them up and Report gives the text the debug key shows. Thread-safe.
class NamedTimers {
public:
    // Empties every entry and zeroes the totals; unless keepFlag, profiling becomes
    // active. The start is now.
    static void Clear(bool keepFlag);
    static bool GetGlobalFlag();
    static void StartTimer(const std::string& name);
    static void StopTimer(const std::string& name);
    // Processes the records (their own cost left out of the total) and ends profiling.
    static void Stop();
    // "Total Time: ..." and one line per name in name order.
    static std::string Report();
};

// Times a scope under a name while profiling is active.
class ScopedNamedTimer {
public:
    explicit ScopedNamedTimer(const char* name) : mName(name) { NamedTimers::StartTimer(mName); }
    ~ScopedNamedTimer() { NamedTimers::StopTimer(mName); }
    ScopedNamedTimer(const ScopedNamedTimer&) = delete;
    ScopedNamedTimer& operator=(const ScopedNamedTimer&) = delete;

private:
    const char* mName;
};

} // namespace Zant
