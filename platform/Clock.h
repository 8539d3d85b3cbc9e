#pragma once
// Tick count and sleep. The tick count is milliseconds since boot as a wrapping
// unsigned 32-bit number; differences are taken as signed 32-bit values.
// The clock is injectable so pacing and timers can be tested without sleeping.
#include <cstdint>

namespace Platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t TickCount() = 0;
    virtual void Sleep(uint32_t ms) = 0;
};

// CLOCK_MONOTONIC in milliseconds, truncated to 32 bits.
class SystemClock : public Clock {
public:
    uint32_t TickCount() override;
    void Sleep(uint32_t ms) override;
};

// A clock that only moves when told to; Sleep advances it.
class FakeClock : public Clock {
public:
    explicit FakeClock(uint32_t start = 0) : mNow(start) {}
    uint32_t TickCount() override { return mNow; }
    void Sleep(uint32_t ms) override
    {
        mSlept += ms;
        ++mSleepCalls;
        mNow += ms;
    }
    void Advance(uint32_t ms) { mNow += ms; }
    void Set(uint32_t now) { mNow = now; }
    uint64_t TotalSlept() const { return mSlept; }
    int SleepCalls() const { return mSleepCalls; }

private:
    uint32_t mNow;
    uint64_t mSlept = 0;
    int mSleepCalls = 0;
};

// The process-wide clock: the system clock unless a test installs another.
Clock& GetClock();
void SetClock(Clock* clock); // null restores the system clock

inline uint32_t TickCount() { return GetClock().TickCount(); }
inline void SleepMs(uint32_t ms) { GetClock().Sleep(ms); }

// CPU time of the whole process (every thread) in seconds.
double ProcessCpuSeconds();

// Signed difference a - b of two wrapping tick counts.
inline int32_t TickDiff(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b); }

} // namespace Platform
