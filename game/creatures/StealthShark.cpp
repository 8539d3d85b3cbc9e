#include "game/creatures/StealthShark.h"

#include "game/creatures/CreatureMaps.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/assets/GameAssets.h"
#include "game/creatures/CreatureHost.h"

namespace Zant {

// ---- StealthShark

StealthShark::StealthShark(CreatureHost* app) : Enemy(app), Shark(app)
{
    mTypedColor = Color(255, 255, 100);
    mWordColor = Color(0, 0, 0);
    SetStealthImages(MAP_STEALTH, MAP_PLAIN);
    mVelX = 3.0;
    mStealthed = true;
    mCurImage = mStealthImages[SLOT_SWIM];
}

void StealthShark::SetStealthImages(int stealthType, int visibleType)
{
    mStealthImages[SLOT_SWIM] = mAssets.GetSharkImage(stealthType, VARIANT_SWIM);
    mStealthImages[SLOT_DEATH] = mAssets.GetSharkImage(stealthType, VARIANT_DEATH);
    mStealthImages[SLOT_MIRRORED] = mAssets.GetSharkImage(visibleType, VARIANT_MIRRORED);
}

void StealthShark::SetStopped(bool hidden)
{
    ShowStealthed(*this, hidden);
}

void StealthShark::SetVelX(double v)
{
    SetStealthSpeed(*this, v);
}

void StealthShark::ChooseStealthImage(int requested)
{
    ChooseStealthStrip(*this, requested);
    mSrcX = mFrame * mWidth;
}

void StealthShark::SetState(int state)
{
    Shark::SetState(state);
    ChooseStealthImage(state);
}

void StealthShark::UpdateStealth()
{
    UpdateStealthOf(*this);
}

void StealthShark::Update()
{
    Shark::Update();
    UpdateStealth();
}

void StealthShark::Draw(Graphics* g)
{
    if (mStealthed)
        DrawShark(g, Faint(mWordColor, mStealthAlpha), Faint(mTypedColor, mStealthAlpha));
    else
        DrawShark(g, mWordColor, mTypedColor);
}

// ---- StealthBlackShark

StealthBlackShark::StealthBlackShark(CreatureHost* app) : Enemy(app), Shark(app), StealthShark(app), BlackShark(app)
{
    SetStealthImages(MAP_STEALTH_TWO_WORDS, MAP_TWO_WORDS);
    mCurImage = mStealthImages[SLOT_SWIM];
}

void StealthBlackShark::SetState(int state)
{
    BlackShark::SetState(state);
    ChooseStealthImage(state);
}

// ---- StealthRedShark

StealthRedShark::StealthRedShark(CreatureHost* app) : Enemy(app), Shark(app), RedShark(app), StealthShark(app)
{
    mTypedColor = Color(255, 255, 255);
    mWordColor = Color(0, 0, 0);
    SetStealthImages(MAP_STEALTH_THREE_WORDS, MAP_THREE_WORDS);
    mCurImage = mStealthImages[SLOT_SWIM];
}

void StealthRedShark::SetState(int state)
{
    BlackShark::SetState(state);
    ChooseStealthImage(state);
}

} // namespace Zant
