#include "game/common/BTTimer.h"

namespace Zant {

BTTimer::BTTimer()
{
    Reset();
    mUpdateCnt = 0;
}

void BTTimer::Reset()
{
    mStartCount = mUpdateCnt;
    mPausedTotal = 0;
}

int BTTimer::GetElapsed()
{
    if (mStopped)
        return 0;
    return mUpdateCnt - mStartCount - mPausedTotal;
}

} // namespace Zant
