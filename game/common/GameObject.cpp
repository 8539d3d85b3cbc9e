#include "game/common/GameObject.h"

namespace Zant {

void GameObject::Draw(Graphics*)
{
    mDeltaX[mDeltaXIndex] = mX - mPrevX;
    mPrevX = mX;
    mDeltaXIndex = (mDeltaXIndex + 1) % HISTORY;
    mDeltaY[mDeltaYIndex] = mY - mPrevY;
    mPrevY = mY;
    mDeltaYIndex = (mDeltaYIndex + 1) % HISTORY;
    mDrawX = mX;
    mDrawY = mY;
}

} // namespace Zant
