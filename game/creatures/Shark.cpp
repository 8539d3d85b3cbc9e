#include "game/creatures/Shark.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "game/creatures/CreatureMaps.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/assets/GameAssets.h"
#include "game/creatures/CreatureHost.h"

namespace Zant {

// ---- Shark

Shark::Shark(CreatureHost* app) : Enemy(app)
{
    SetSlotImages(IMAGE_SHARK_BASIC_SWIM, IMAGE_SHARKSHOCK, IMAGE_SHARK_BASIC_DEATH, MAP_PLAIN);
    mFrameDelay = 8;
    mFrameCount = SWIM_CELS;
    mFrame = NextGameRandom() % SWIM_CELS;
    SetFrameSizeFrom(GetImage(SLOT_SWIM), SWIM_CELS);
    mTextOffsetY = 0;
    mTextOffsetX = 11;
    mTypedColor = Color(255, 255, 100);
    mWordColor = Color(0, 0, 0);
    mState = SWIMMING;
    SetCurrentSlot(SLOT_SWIM);
    mSrcX = mFrame * mWidth;
}

void Shark::SetSlotImages(int swim, int shock, int death, int mapType)
{
    SetImage(SLOT_SWIM, mAssets.GetImage(swim));
    SetImage(SLOT_SHOCK, mAssets.GetImage(shock));
    SetImage(SLOT_DEATH, mAssets.GetImage(death));
    SetImage(SLOT_MIRRORED, mAssets.GetSharkImage(mapType, VARIANT_MIRRORED));
    SetImage(SLOT_RED, mAssets.GetSharkImage(mapType, VARIANT_RED));
}

bool Shark::IsInPlay() { return mState == SWIMMING || mState == FLASHING; }

void Shark::Update()
{
    Enemy::Update();

    if (mState != BLINKING) {
        AdvanceCels(DEATH_CELS);
        mSrcX = mFrame * mWidth;
    }

    // Velocities are written directly: the stealth sharks turn SetVelX into a target.
    const int screenWidth = ScreenWidth();
    switch (mState) {
    case SWIMMING:
    case FLASHING:
        if (mX <= 40.0)
            mVelX += 0.05; // close to the diver they speed up
        EaseEntrySpeed(mEntrySpeed, 0.009);
        mX -= mVelX;
        if (mX <= -mWidth) {
            TurnAtLeftEdge(TURNED, SLOT_MIRRORED, SWIM_CELS);
            return;
        }
        if (mFlashCount > 0 && mFlashPeriod > 0 && mUpdateCount % mFlashPeriod == 0) {
            mFlashOn = !mFlashOn;
            if (--mFlashCount == 0) {
                SetState(SWIMMING);
                return;
            }
            SetCurrentSlot(mFlashOn ? SLOT_RED : SLOT_SWIM);
        }
        break;
    case TURNED:
        if (!mAtDiver) {
            mX += mVelX;
            if (mX >= -70.0 && !mReachedDiver) {
                if (!mAttackSoundPlayed) {
                    mAssets.PlaySound(SOUND_PLAYERDIES);
                    mAttackSoundPlayed = true;
                }
                PushEvent(EVENT_REACHED_DIVER);
                mReachedDiver = true;
                mAtDiver = true;
            }
            if (mX >= screenWidth)
                PushEvent(EVENT_REMOVE_ME);
        }
        break;
    case BLINKING:
        if (mBlinkCount < 1) {
            mVelY = 1.0;
            mFrameDelay = 4;
            mFrameCount = DEATH_CELS;
            SetState(DYING);
            return;
        }
        StepBlink();
        if (mBlinkOn) {
            SetCurrentSlot(SLOT_SHOCK);
            SetFrameSizeFrom(mCurImage, 1);
        } else {
            SetCurrentSlot(SLOT_SWIM);
            SetFrameSizeFrom(mCurImage, SWIM_CELS);
        }
        break;
    case DYING:
        RiseWhileDead(); // the dead shark rises belly-up
        break;
    case FLEEING:
        FleeLeft(0.2);
        break;
    default:
        break;
    }
}

void Shark::SetState(int state)
{
    if (state == FLASHING && mState != SWIMMING && mState != FLASHING)
        return;
    if (state == BLINKING && mState == FLEEING)
        return;
    mState = state;
    if (state != SWIMMING)
        mFrame = 0;
    switch (state) {
    case SWIMMING:
        SetCurrentSlot(SLOT_SWIM);
        break;
    case FLASHING:
        mFlashOn = true;
        mFlashPeriod = 5;
        mFlashCount = 10;
        SetCurrentSlot(SLOT_SWIM);
        break;
    case BLINKING:
        mSrcX = 0;
        mBlinkOn = true;
        mBlinkPeriod = 7;
        mBlinkCount = 6;
        if (!mZapped)
            mAssets.PlaySound(SOUND_SHARKDIES);
        SetFrameSizeFrom(GetImage(SLOT_SHOCK), 1);
        SetCurrentSlot(SLOT_SHOCK);
        break;
    case DYING:
        SetFrameSizeFrom(GetImage(SLOT_DEATH), DEATH_CELS);
        // The death strip has six cels whichever way the shark got here.
        mFrameCount = DEATH_CELS;
        mFrameDelay = 6;
        mVelY = 1.5;
        SetCurrentSlot(SLOT_DEATH);
        break;
    case TURNED:
        SetFrameSizeFrom(GetImage(SLOT_MIRRORED), SWIM_CELS);
        SetCurrentSlot(SLOT_MIRRORED);
        break;
    case FLEEING:
        SetCurrentSlot(SLOT_SWIM);
        break;
    default:
        break;
    }
    if (state != FLASHING && state != BLINKING) {
        mFlashOn = false;
        mFlashCount = 0;
    }
    if (state != BLINKING) {
        mBlinkOn = false;
        mBlinkCount = 0;
    }
    mSrcX = mFrame * mWidth;
}

void Shark::DrawShark(Graphics* g, const Color& wordColor, const Color& typedColor)
{
    if (!mActive)
        return;
    GameObject::Draw(g);
    if (mCurImage)
        g->DrawImage(mCurImage, static_cast<int>(mDrawX), static_cast<int>(mDrawY), Rect(mSrcX, 0, mWidth, mHeight));
    if (ShowsWord() && !IsBoardPaused())
        DrawSharkWord(g, wordColor, typedColor);
}

void Shark::Draw(Graphics* g) { DrawShark(g, mWordColor, mTypedColor); }

// ---- BlackShark

BlackShark::BlackShark(CreatureHost* app) : Enemy(app), Shark(app)
{
    SetSlotImages(IMAGE_SHARK_RED_SWIM, IMAGE_SHARK_RED_SHOCK, IMAGE_SHARK_RED_DEATH, MAP_TWO_WORDS);
    mTextOffsetY = 4;
    mTextOffsetX = 0;
    SetCurrentSlot(SLOT_SWIM);
    SetFrameSizeFrom(GetImage(SLOT_SWIM), SWIM_CELS);
    mSrcX = mFrame * mWidth;
}

bool BlackShark::IsInPlay()
{
    if (mState == SWIMMING || mState == FLASHING)
        return true;
    return mWord.empty() && !mZapped;
}

void BlackShark::SetState(int state)
{
    if (state == FLASHING && mState != SWIMMING && mState != FLASHING)
        return;
    if (state == BLINKING && mState == FLEEING)
        return;
    if (state == BLINKING) {
        mState = BLINKING;
        mFrame = 0;
        SetCurrentSlot(SLOT_SHOCK);
        mBlinkOn = true;
        mBlinkPeriod = 7;
        mBlinkCount = 6;
        if (!mZapped)
            mAssets.PlaySound(mWord.empty() ? SOUND_SHARKDIES : SOUND_SHARKHURT);
        SetFrameSizeFrom(GetImage(SLOT_SHOCK), 1);
        mSrcX = 0;
        return;
    }
    Shark::SetState(state);
    switch (state) {
    case FLASHING:
    case FLEEING:
        SetCurrentSlot(SLOT_SWIM);
        break;
    case TURNED:
        SetCurrentSlot(SLOT_MIRRORED);
        break;
    case DYING:
        SetCurrentSlot(SLOT_DEATH);
        if (!mWord.empty() && !mZapped) {
            // A word is left: the shark comes back swimming instead of dying.
            mFrameDelay = 11;
            mVelY = 0.0;
            mState = SWIMMING;
            mFrameCount = SWIM_CELS;
            mFrame = NextGameRandom() % SWIM_CELS;
            SetCurrentSlot(SLOT_SWIM);
            SetFrameSizeFrom(GetImage(SLOT_SWIM), SWIM_CELS);
        }
        break;
    default:
        break;
    }
    mSrcX = mFrame * mWidth;
}

void BlackShark::TypeLetterWithReserves(std::initializer_list<std::string*> reserves)
{
    if (mWord.empty())
        return;
    ++mTypedCount;
    if (mTypedCount == static_cast<int>(mWord.size())) {
        mPointValue = GetPointValue();
        PushEvent(EVENT_WORD_COMPLETED);
        std::string* next = nullptr;
        for (std::string* reserve : reserves) {
            if (!reserve->empty()) {
                next = reserve;
                break;
            }
        }
        if (next == nullptr) {
            // The last word: the count stays at its length.
            mWord.clear();
            mTypedPart.clear();
            mRemainingPart.clear();
            DetachLeader();
            ReleaseFollower();
            return;
        }
        mWord = *next;
        mTypedCount = 0;
        next->clear();
    }
    SplitWord();
}

void BlackShark::TypeLetter() { TypeLetterWithReserves({&mSecondWord}); }

// ---- RedShark

RedShark::RedShark(CreatureHost* app) : Enemy(app), Shark(app), BlackShark(app)
{
    SetSlotImages(IMAGE_SHARK_BLACK_SWIM, IMAGE_SHARK_BLACK_SHOCK, IMAGE_SHARK_BLACK_DEATH, MAP_THREE_WORDS);
    mTextOffsetY = 1;
    mTextOffsetX = 4;
    mTypedColor = Color(255, 255, 255);
    mWordColor = Color(0, 0, 0);
    SetCurrentSlot(SLOT_SWIM);
    SetFrameSizeFrom(GetImage(SLOT_SWIM), SWIM_CELS);
    mSrcX = mFrame * mWidth;
}

void RedShark::TypeLetter() { TypeLetterWithReserves({&mSecondWord, &mThirdWord}); }

} // namespace Zant
