#include "framework/util/MersenneTwister.h"

namespace Zant {

void MersenneTwister::Seed(uint32_t seed)
{
    mState[0] = seed ? seed : 4357u;
    for (int i = 1; i < N; ++i)
        mState[i] = mState[i - 1] * 69069u;
    mIndex = N;
}

int MersenneTwister::Next()
{
    if (mIndex >= N) {
        for (int k = 0; k < N; ++k) {
            uint32_t y = (mState[k] & 0x80000000u) | (mState[(k + 1) % N] & 0x7FFFFFFFu);
            mState[k] = mState[(k + M) % N] ^ (y >> 1) ^ ((y & 1u) ? 0x9908B0DFu : 0u);
        }
        mIndex = 0;
    }
    uint32_t y = mState[mIndex++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return static_cast<int>(y & 0x7FFFFFFFu);
}

namespace {
MersenneTwister gFrameworkRandom;
uint32_t gRuntimeRandState = 1;
}

MersenneTwister& FrameworkRandom() { return gFrameworkRandom; }
void SeedRandom(uint32_t seed) { gFrameworkRandom.Seed(seed); }
int NextRandom() { return gFrameworkRandom.Next(); }

void RuntimeSrand(uint32_t seed) { gRuntimeRandState = seed; }

int RuntimeRand()
{
    gRuntimeRandState = gRuntimeRandState * 214013u + 2531011u;
    return static_cast<int>((gRuntimeRandState >> 16) & 0x7FFFu);
}

} // namespace Zant
