#include "game/play/Bubble.h"

#include "framework/graphics/Graphics.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

Bubble::Bubble(BoardHost* app) : mApp(app)
{
    for (int i = 0; i < NUM_IMAGES; ++i)
        mImages[i] = app->Assets().GetImage(IMAGE_BUBBLE1 + i);
    MersenneTwister& random = app->GetGameRandom();
    mActive = true;
    mFrame = random.Next() % NUM_IMAGES;
    mX = 20.0 + random.Next() % 40;
    mY = 400.0 + random.Next() % 25;
    mVelY = 1.0 + (random.Next() % 3000) * 0.001;
}

void Bubble::Update()
{
    ++mUpdateCount;
    // A slow sideways wobble.
    if (mUpdateCount % 200 == 0)
        mX += (mApp->GetGameRandom().Next() % 3 - 1) * 0.125;
    mY -= mVelY;
}

void Bubble::Draw(Graphics* g)
{
    GameObject::Draw(g);
    if (Image* image = mImages[mFrame])
        g->DrawImage(image, int(mDrawX), int(mDrawY));
}

} // namespace Zant
