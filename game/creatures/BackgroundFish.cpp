#include "game/creatures/BackgroundFish.h"

#include "framework/graphics/Graphics.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/assets/GameAssets.h"
#include "game/creatures/CreatureHost.h"

namespace Zant {

BackgroundFish::BackgroundFish(CreatureHost* app) : mApp(app)
{
    MersenneTwister& random = app->GetGameRandom();
    mFrameCount = CELS;
    mWidth = SIZE;
    mHeight = SIZE;
    mX = -20.0;
    const int band = app->ScreenHeight() - 20 - 90;
    const int r = random.Next();
    mY = (band > 0 ? r % band : 0) + 100;
    mVelX = ((random.Next() % 6000) + 1000) * 0.0001;
    const int kind = random.Next() % 2;
    // Faster fish are paler and rise faster.
    int tint;
    if (mVelX < 0.3) {
        tint = 0;
        mVelY = 0.05;
    } else if (mVelX < 0.5) {
        tint = 1;
        mVelY = 0.2;
    } else {
        tint = 2;
        mVelY = 0.3;
    }
    mImage = app->Assets().GetFishImage(kind, tint);
}

BackgroundFish::BackgroundFish(CreatureHost* app, BackgroundFish& model) : mApp(app)
{
    MersenneTwister& random = app->GetGameRandom();
    mFrameCount = CELS;
    mVelX = model.mVelX;
    mVelY = model.mVelY;
    mWidth = model.GetWidth();
    mHeight = model.GetHeight();
    mY = model.mY;
    mImage = model.mImage;
    // Wholly left of the screen, up to one more width away.
    const int width = mWidth > 0 ? mWidth : 1;
    const int height = mHeight > 0 ? mHeight : 1;
    mX = -(random.Next() % width) - mWidth;
    const int side = random.Next();
    const int offset = random.Next() % height;
    mY += side % 2 != 0 ? offset : -offset;
    mFrame = 0;
}

void BackgroundFish::Update()
{
    ++mUpdateCount;
    if (mUpdateCount % 10 == 0 && ++mFrame >= mFrameCount)
        mFrame = 0;
    mX += mVelX;
    mY -= mVelY;
}

void BackgroundFish::Draw(Graphics* g)
{
    if (mImage)
        g->DrawImage(mImage, static_cast<int>(mX), static_cast<int>(mY), Rect(mFrame * mWidth, 0, mWidth, mHeight));
}

} // namespace Zant
