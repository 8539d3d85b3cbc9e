#include "game/creatures/Piranha.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/util/MersenneTwister.h"
#include "game/creatures/CreatureMaps.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/assets/GameAssets.h"
#include "game/creatures/CreatureHost.h"

namespace Zant {

// ---- Piranha

Piranha::Piranha(CreatureHost* app, Player* player) : Enemy(app), mPlayer(player)
{
    SetSlotImages(IMAGE_PIRANHA_BASIC_SWIM, IMAGE_PIRANHASHOCK, IMAGE_PIRANHA_BASIC_DEATH, MAP_PLAIN);
    mFrameDelay = 5;
    mFrameCount = SWIM_CELS;
    SetFrameSizeFrom(GetImage(SLOT_SWIM), SWIM_CELS);
    // Demos expect the runtime library's generator here, not the game's.
    mFrame = RuntimeRand() % SWIM_CELS;
    mState = SWIMMING;
    SetCurrentSlot(SLOT_SWIM);
    mWordFont = app->Assets().GetPiranhaFont();
    mWordColor = Color(0, 0, 0);
    mTextOffsetY = 6;
    mTextOffsetX = 0;
    mSrcX = mFrame * mWidth;
}

void Piranha::SetSlotImages(int swim, int shock, int death, int mapType)
{
    SetImage(SLOT_SWIM, mAssets.GetImage(swim));
    SetImage(SLOT_SHOCK, mAssets.GetImage(shock));
    SetImage(SLOT_DEATH, mAssets.GetImage(death));
    SetImage(SLOT_MIRRORED, mAssets.GetPiranhaImage(mapType, VARIANT_MIRRORED));
}

bool Piranha::IsInPlay() { return mState == SWIMMING && mActive; }

void Piranha::SetState(int state)
{
    if (state == 6)
        return; // piranhas have no hurt flash
    mState = state;
    if (state != SWIMMING)
        mFrame = 0;
    switch (state) {
    case DYING:
        SetCurrentSlot(SLOT_DEATH);
        SetFrameSizeFrom(mCurImage, DEATH_CELS);
        // The death strip has ten cels whichever way the piranha got here.
        mFrameCount = DEATH_CELS;
        mFrameDelay = 5;
        mVelY = 1.5;
        break;
    case HIDDEN:
        mFrameCount = SWIM_CELS;
        SetFrameSizeFrom(mCurImage, SWIM_CELS);
        break;
    case BLINKING:
        mCurImage = mAssets.GetImage(IMAGE_PIRANHASHOCK);
        mBlinkOn = true;
        mBlinkPeriod = 7;
        mBlinkCount = 6;
        if (!mZapped)
            mAssets.PlaySound(SOUND_PIRANHADIES1);
        SetFrameSizeFrom(mCurImage, 1);
        break;
    case TURNED:
        SetCurrentSlot(SLOT_MIRRORED);
        break;
    case FLEEING:
        SetCurrentSlot(SLOT_SWIM);
        break;
    default:
        break;
    }
    mSrcX = mFrame * mWidth;
}

void Piranha::Update()
{
    Enemy::Update();

    AdvanceCels(DEATH_CELS);
    mSrcX = mFrame * mWidth;

    const int screenWidth = ScreenWidth();
    switch (mState) {
    case SWIMMING:
        if (mX < 40.0)
            mVelX += 0.05;
        EaseEntrySpeed(mEntrySpeed, 0.03);
        if (mX < -mWidth) {
            TurnAtLeftEdge(TURNED, SLOT_MIRRORED, SWIM_CELS);
            return;
        }
        mX -= mVelX;
        break;
    case TURNED:
        if (!mAtDiver) {
            mX += mVelX;
            if (mX >= 0.0 && !mReachedDiver) {
                if (!mBiteSoundPlayed) {
                    mAssets.PlaySound(SOUND_PLAYERDIES);
                    mBiteSoundPlayed = true;
                }
                if (mX >= 20.0) {
                    PushEvent(EVENT_REACHED_DIVER);
                    mReachedDiver = true;
                    mAtDiver = true;
                }
            }
            if (mX >= screenWidth)
                PushEvent(EVENT_REMOVE_ME);
        }
        break;
    case DYING:
        RiseWhileDead();
        break;
    case FLEEING:
        FleeLeft(0.075);
        break;
    case BLINKING:
        if (mBlinkCount > 0) {
            StepBlink();
            // Frame sizes come from the image shown, so a kind whose shock or swim
            // cels differ in size never reads outside them.
            if (mBlinkOn) {
                mFrame = 0;
                SetCurrentSlot(SLOT_SHOCK);
                SetFrameSizeFrom(mCurImage, 1);
                mSrcX = 0;
            } else {
                SetCurrentSlot(SLOT_SWIM);
                SetFrameSizeFrom(mCurImage, SWIM_CELS);
                mSrcX = mFrame * mWidth;
            }
        } else {
            mVelY = 1.0;
            mFrameDelay = 3;
            mFrameCount = DEATH_CELS;
            SetState(DYING);
        }
        break;
    default:
        break;
    }
}

void Piranha::DrawPiranha(Graphics* g, int textOffsetX, const Color& wordColor)
{
    if (!mActive || mState == HIDDEN)
        return;
    GameObject::Draw(g);
    if (mCurImage)
        g->DrawImage(mCurImage, static_cast<int>(mDrawX), static_cast<int>(mDrawY), Rect(mSrcX, 0, mWidth, mHeight));
    if ((mState == SWIMMING || mState == FLEEING) && !IsBoardPaused() && mWordFont) {
        const int x = static_cast<int>(mDrawX + mWidth / 2 + textOffsetX - (mWordFont->StringWidth(mWord) >> 1) - 5.0);
        const int y = static_cast<int>(mDrawY + mTextOffsetY + 28.0);
        g->SetFont(mWordFont);
        g->SetColor(wordColor);
        g->DrawString(mWord, x, y);
    }
}

void Piranha::Draw(Graphics* g) { DrawPiranha(g, mTextOffsetX, mWordColor); }

// ---- RedPiranha

RedPiranha::RedPiranha(CreatureHost* app, Player* player) : Enemy(app), Piranha(app, player)
{
    SetSlotImages(IMAGE_GUMBO_SWIM, IMAGE_GUMBO_SHOCK, IMAGE_GUMBO_DIE, MAP_RED);
    // A white letter on a red body: outlined, as red is too near white to read.
    mWordFont = mAssets.OutlinedFont(mAssets.GetPiranhaFont());
    mWordColor = Color(255, 255, 255);
    mTextOffsetY = 5;
    mTextOffsetX = 4;
    SetCurrentSlot(SLOT_SWIM);
    SetFrameSizeFrom(mCurImage, SWIM_CELS);
    mSrcX = mFrame * mWidth;
}

// ---- WhitePiranha

WhitePiranha::WhitePiranha(CreatureHost* app, Player* player) : Enemy(app), Piranha(app, player)
{
    SetSlotImages(IMAGE_PIRANHA_WHITE_SWIM, IMAGE_PIRANHASHOCK, IMAGE_PIRANHA_WHITE_DEATH, MAP_WHITE);
    SetCurrentSlot(SLOT_SWIM);
    SetFrameSizeFrom(mCurImage, SWIM_CELS);
    mSrcX = mFrame * mWidth;
}

bool WhitePiranha::IsInPlay()
{
    if (mState == SWIMMING)
        return true;
    return mWord.empty() && !mZapped;
}

void WhitePiranha::SetState(int state)
{
    Piranha::SetState(state);
    if (state == DYING && !mWord.empty() && !mZapped) {
        // A letter is left: the piranha swims again instead of dying.
        mFrameDelay = 5;
        mVelY = 0.0;
        mState = SWIMMING;
        mFrameCount = SWIM_CELS;
        mFrame = NextGameRandom() % SWIM_CELS;
        SetCurrentSlot(SLOT_SWIM);
        SetFrameSizeFrom(mCurImage, SWIM_CELS);
        mSrcX = mFrame * mWidth;
    }
}

void WhitePiranha::TypeLetter()
{
    PushEvent(EVENT_WORD_COMPLETED);
    if (!mSecondWord.empty()) {
        mWord = mSecondWord;
        mTypedCount = 0;
        mSecondWord.clear();
    } else {
        DetachLeader();
        ReleaseFollower();
        mWord.clear();
    }
    if (!mWord.empty())
        mPointValue = GetPointValue();
}

// ---- StealthPiranha

StealthPiranha::StealthPiranha(CreatureHost* app, Player* player) : Enemy(app), Piranha(app, player)
{
    SetStealthImages(MAP_STEALTH, MAP_PLAIN);
    mVelX = 4.0;
    mTargetSpeed = 1.6;
    mStealthAlpha = 50;
    mStealthed = true;
    mCurImage = mStealthImages[SLOT_SWIM];
}

void StealthPiranha::SetStealthImages(int stealthType, int visibleType)
{
    mStealthImages[SLOT_SWIM] = mAssets.GetPiranhaImage(stealthType, VARIANT_SWIM);
    mStealthImages[SLOT_DEATH] = mAssets.GetPiranhaImage(stealthType, VARIANT_DEATH);
    mStealthImages[SLOT_MIRRORED] = mAssets.GetPiranhaImage(visibleType, VARIANT_MIRRORED);
}

void StealthPiranha::SetStopped(bool hidden)
{
    ShowStealthed(*this, hidden);
}

void StealthPiranha::SetVelX(double v)
{
    SetStealthSpeed(*this, v);
}

void StealthPiranha::ChooseStealthImage(int requested, bool resize)
{
    const int cels = ChooseStealthStrip(*this, requested);
    if (resize && cels > 0)
        SetFrameSizeFrom(mCurImage, cels);
    mSrcX = mFrame * mWidth;
}

void StealthPiranha::SetState(int state)
{
    Piranha::SetState(state);
    ChooseStealthImage(state, false);
}

void StealthPiranha::UpdateStealth()
{
    UpdateStealthOf(*this);
}

void StealthPiranha::Update()
{
    Piranha::Update();
    UpdateStealth();
}

void StealthPiranha::Draw(Graphics* g)
{
    // The stealth kinds centre their letter without the text offset.
    DrawPiranha(g, 0, mStealthed ? Faint(mWordColor, mStealthAlpha) : mWordColor);
}

// ---- StealthWhitePiranha

StealthWhitePiranha::StealthWhitePiranha(CreatureHost* app, Player* player)
    : Enemy(app), Piranha(app, player), StealthPiranha(app, player), WhitePiranha(app, player)
{
    SetStealthImages(MAP_WHITE_STEALTH, MAP_WHITE);
    mCurImage = mStealthImages[SLOT_SWIM];
}

void StealthWhitePiranha::SetState(int state)
{
    WhitePiranha::SetState(state);
    ChooseStealthImage(state, true);
}

} // namespace Zant
