#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <mutex>
#include <thread>

#include "framework/util/CriticalSection.h"
#include "framework/util/Matrix3.h"
#include "framework/util/PerfTimer.h"

using namespace Zant;

namespace {

// A counter at 1 GHz that moves 1 ms on every read; the time-stamp counter runs at
// a fixed multiple of it.
class FakeTicks : public TickSource {
public:
    explicit FakeTicks(uint64_t frequency = 1000000000ull, uint64_t stampPerCount = 2)
        : mFrequency(frequency), mStampPerCount(stampPerCount)
    {
    }
    uint64_t CounterFrequency() override { return mFrequency; }
    uint64_t Counter() override
    {
        ++mCounterReads;
        return mNow += 1000000;
    }
    uint64_t TimeStamp() override { return mNow * mStampPerCount; }
    void AdvanceMs(uint64_t ms) { mNow += ms * 1000000; }

    uint64_t mFrequency;
    uint64_t mStampPerCount;
    uint64_t mNow = 0;
    int mCounterReads = 0;
};

class WithFakeTicks : public testing::Test {
protected:
    void SetUp() override
    {
        SetTickSource(&mTicks);
        ResetCpuClockEstimate();
    }
    void TearDown() override
    {
        SetTickSource(nullptr);
        ResetCpuClockEstimate();
    }
    FakeTicks mTicks;
};

// ---- Matrix3

void ExpectPoint(const Matrix3& m, std::array<float, 3> in, std::array<float, 3> out)
{
    const auto r = m.TransformVector(in);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(r[i], out[i], 1e-5) << "component " << i;
}

TEST(Matrix3, TransformsComposeInCallOrder)
{
    Matrix3 rot;
    rot.Rotate(std::numbers::pi_v<float> / 2);
    ExpectPoint(rot, {1, 0, 1}, {0, 1, 1});

    Matrix3 st; // scale first, then move
    st.Scale(2, 3);
    st.Translate(5, 7);
    ExpectPoint(st, {1, 1, 1}, {7, 10, 1});

    Matrix3 about; // turning about a centre leaves the centre in place
    about.Translate(-4, -6);
    about.Rotate(1.1f);
    about.Translate(4, 6);
    ExpectPoint(about, {4, 6, 1}, {4, 6, 1});

    Matrix3 a, b;
    a.Scale(2, 2);
    b.Translate(1, 0);
    ExpectPoint(Matrix3::Multiply(b, a), {1, 1, 1}, {3, 2, 1});
    ExpectPoint(Matrix3::Multiply(a, b), {1, 1, 1}, {4, 2, 1});
}

// ---- Clock estimate and stopwatch

TEST_F(WithFakeTicks, CpuClockIsMeasuredOnceInMHz)
{
    EXPECT_EQ(EstimateCpuClock(), 2000);
    const int reads = mTicks.mCounterReads;
    mTicks.mStampPerCount = 3;
    EXPECT_EQ(EstimateCpuClock(), 2000); // cached
    EXPECT_EQ(mTicks.mCounterReads, reads);
}

TEST_F(WithFakeTicks, NoCounterGivesOneAndIsNotMeasuredAgain)
{
    mTicks.mFrequency = 0;
    EXPECT_EQ(EstimateCpuTicksPerSecond(), 1);
    EXPECT_EQ(EstimateCpuClock(), 0);
    mTicks.mFrequency = 1000000000ull;
    const int reads = mTicks.mCounterReads;
    EXPECT_EQ(EstimateCpuTicksPerSecond(), 1);
    EXPECT_EQ(mTicks.mCounterReads, reads);
}

TEST_F(WithFakeTicks, StoppedTimerKeepsItsDuration)
{
    PrecisionTimer t;
    t.Start(); // reads 1 ms
    mTicks.AdvanceMs(10);
    const double running = t.GetDuration(); // reads again: 1 + 10 + 1
    EXPECT_DOUBLE_EQ(running, 11.0);
    EXPECT_GT(t.GetDuration(), running);
    t.Stop();
    const double stopped = t.GetDuration();
    mTicks.AdvanceMs(50);
    EXPECT_DOUBLE_EQ(t.GetDuration(), stopped);
    EXPECT_DOUBLE_EQ(t.GetDuration(), stopped);
}

TEST(CpuClock, RealMachineRunsAboveOneHundredMHz)
{
    ResetCpuClockEstimate();
    EXPECT_GT(EstimateCpuClock(), 100);
    ResetCpuClockEstimate();
}

// ---- Nesting counter

TEST(AdjustGlobalCount, NeverGoesBelowZero)
{
    while (AdjustGlobalCount(true) > 0) {
    }
    EXPECT_EQ(AdjustGlobalCount(true), 0);
    EXPECT_EQ(AdjustGlobalCount(false), 1);
    EXPECT_EQ(AdjustGlobalCount(false), 2);
    EXPECT_EQ(AdjustGlobalCount(true), 1);
    EXPECT_EQ(AdjustGlobalCount(true), 0);
}

// ---- Profiler

TEST_F(WithFakeTicks, NestedStartsCountCallsButTimeTheOuterSpan)
{
    NamedTimers::Clear(false);
    EXPECT_TRUE(NamedTimers::GetGlobalFlag());
    NamedTimers::StartTimer("Draw");
    mTicks.AdvanceMs(2);
    NamedTimers::StartTimer("Draw");
    mTicks.AdvanceMs(3);
    NamedTimers::StopTimer("Draw");
    mTicks.AdvanceMs(5);
    NamedTimers::StopTimer("Draw"); // outer span: 10 ms
    NamedTimers::StartTimer("Blit");
    mTicks.AdvanceMs(4);
    NamedTimers::StopTimer("Blit");
    mTicks.AdvanceMs(6); // 20 ms in all
    NamedTimers::Stop();
    EXPECT_FALSE(NamedTimers::GetGlobalFlag());
    // The estimate spends its own counter reads; the fake's stamps are 2 per ns.
    EXPECT_EQ(NamedTimers::Report(), "Total Time: 20.00\n"
                                     "Blit (1 calls, %20.00 time): 4.00 (4.00 avg)\n"
                                     "Draw (2 calls, %50.00 time): 10.00 (5.00 avg)\n");
}

TEST_F(WithFakeTicks, StrayStopsAndEmptyTotalsStayFinite)
{
    EstimateCpuTicksPerSecond(); // measured before the profile starts
    NamedTimers::Clear(false);
    NamedTimers::StopTimer("Odd"); // a stop without a start
    NamedTimers::StartTimer("Odd");
    mTicks.AdvanceMs(1);
    NamedTimers::StopTimer("Odd");
    NamedTimers::Stop();
    EXPECT_EQ(NamedTimers::Report(), "Total Time: 1.00\nOdd (1 calls, %100.00 time): 1.00 (1.00 avg)\n");

    NamedTimers::Clear(false);
    NamedTimers::StopTimer("Never");
    NamedTimers::Stop(); // zero total and zero calls
    EXPECT_EQ(NamedTimers::Report(), "Total Time: 0.00\nNever (0 calls, %0.00 time): 0.00 (0.00 avg)\n");
}

TEST_F(WithFakeTicks, ClearKeepsOrSetsTheFlag)
{
    NamedTimers::Clear(false);
    NamedTimers::Stop();
    NamedTimers::Clear(true);
    EXPECT_FALSE(NamedTimers::GetGlobalFlag());
    NamedTimers::StartTimer("Ignored"); // not profiling: nothing recorded
    NamedTimers::Stop();
    EXPECT_EQ(NamedTimers::Report(), "Total Time: 0.00\n");
    NamedTimers::Clear(false);
    EXPECT_TRUE(NamedTimers::GetGlobalFlag());
    NamedTimers::Stop();
}

// ---- Lock

TEST(CriticalSectionLock, IsReentrantAndExcludesOtherThreads)
{
    CriticalSectionLock lock;
    AutoCrit outer(lock);
    {
        AutoCrit inner(lock); // the same thread enters again
    }
    bool otherGotIn = true;
    std::thread other([&] { otherGotIn = lock.TryEnter(); });
    other.join();
    EXPECT_FALSE(otherGotIn);
}

} // namespace
