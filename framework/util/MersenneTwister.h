#pragma once
// MT19937 with the old multiplicative seeding. A stored seed must replay the same
// sequence, so the seeding and the 31-bit results are fixed; callers take value % n.
#include <cstdint>

namespace Zant {

class MersenneTwister {
public:
    MersenneTwister() { Seed(4357); }
    explicit MersenneTwister(uint32_t seed) { Seed(seed); }

    void Seed(uint32_t seed);
    int Next(); // 0 .. 2^31 - 1

private:
    static constexpr int N = 624;
    static constexpr int M = 397;
    uint32_t mState[N];
    int mIndex = N;
};

// The framework's process-wide generator (seeded with the tick count at start-up,
// or with a demo's stored seed).
void SeedRandom(uint32_t seed);
int NextRandom();
MersenneTwister& FrameworkRandom();

// The runtime library's rand() as the game's demos expect it, on every C library:
// state = state * 214013 + 2531011, result bits 16..30.
void RuntimeSrand(uint32_t seed);
int RuntimeRand();

} // namespace Zant
