#include "game/common/GameRandom.h"

namespace Zant {

MersenneTwister* gGameRandom = nullptr;

MersenneTwister& GameRandom()
{
    if (gGameRandom == nullptr)
        gGameRandom = new MersenneTwister();
    return *gGameRandom;
}

} // namespace Zant
