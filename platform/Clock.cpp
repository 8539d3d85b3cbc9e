#include "platform/Clock.h"

#include <atomic>
#include <cerrno>
#include <ctime>

namespace Platform {

uint32_t SystemClock::TickCount()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

void SystemClock::Sleep(uint32_t ms)
{
    timespec req{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&req, &req) == -1 && errno == EINTR) {
    }
}

namespace {
SystemClock gSystemClock;
std::atomic<Clock*> gClock{&gSystemClock};
}

Clock& GetClock() { return *gClock.load(std::memory_order_acquire); }

double ProcessCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

void SetClock(Clock* clock) { gClock.store(clock ? clock : &gSystemClock, std::memory_order_release); }

} // namespace Platform
