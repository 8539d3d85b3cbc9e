#include "game/creatures/Enemy.h"

#include <algorithm>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/util/MersenneTwister.h"
#include "framework/widgets/WidgetManager.h"
#include "game/assets/GameAssets.h"
#include "game/creatures/CreatureHost.h"

namespace Zant {

Enemy::Enemy(CreatureHost* app) : mApp(app), mAssets(app->Assets()), mImages(IMAGE_SLOTS, nullptr)
{
    mWordFont = app->Assets().GetWordFont();
    mTypedFont = app->Assets().GetTypedFont();
}

Enemy::~Enemy()
{
    // Nothing may keep pointing at a creature that is gone; the held creature is not
    // let go here (unlike on a completed word).
    if (mFollower) {
        mFollower->mLeader = nullptr;
        mFollower = nullptr;
    }
    if (mLeader) {
        mLeader->mFollower = nullptr;
        mLeader = nullptr;
    }
}

int Enemy::WordValue(const std::string& word)
{
    int sum = 0;
    for (char c : word) {
        switch (c) {
        case 'C': case 'O': case 'P': case 'Q': case 'W': case 'X': case 'Z':
            sum += 3;
            break;
        case 'A': case 'D': case 'E': case 'F': case 'G': case 'H': case 'J': case 'K': case 'L': case 'S':
            sum += 1;
            break;
        case 'B': case 'I': case 'M': case 'N': case 'R': case 'T': case 'U': case 'V': case 'Y':
            sum += 2;
            break;
        default:
            sum += c >= '0' && c <= '9' ? 3 : 4;
            break;
        }
    }
    return sum * 15;
}

int Enemy::GetPointValue() { return WordValue(mWord); }

void Enemy::SetWord(const std::string& word)
{
    mWord = word;
    mPointValue = GetPointValue();
}

void Enemy::SplitWord()
{
    // After the last word of a multi-word shark the count may exceed the word.
    const size_t typed = std::min(static_cast<size_t>(std::max(mTypedCount, 0)), mWord.size());
    mTypedPart = mWord.substr(0, typed);
    mRemainingPart = mWord.substr(typed);
}

void Enemy::TypeLetter()
{
    // A letter can only match a word that has one; an empty word has nothing to count.
    if (mWord.empty())
        return;
    ++mTypedCount;
    if (mTypedCount == static_cast<int>(mWord.size())) {
        mTypedCount = static_cast<int>(mWord.size()) - 1;
        PushEvent(EVENT_WORD_COMPLETED);
        DetachLeader();
        ReleaseFollower();
    }
    SplitWord();
}

void Enemy::Update() { ++mUpdateCount; }

bool Enemy::AdvanceCels(int deathCels)
{
    if (mFrameDelay <= 0 || mUpdateCount % mFrameDelay != 0)
        return false;
    if (++mFrame < mFrameCount)
        return false;
    if (mState != 3) {
        mFrame = 0;
        return false;
    }
    mFrame = deathCels - 1;
    if (mDeathAnimDone)
        return false;
    mDeathAnimDone = true;
    PushEvent(EVENT_DEATH_ANIM_DONE);
    return true;
}

void Enemy::EaseEntrySpeed(double& entrySpeed, double slowDown)
{
    const int screenWidth = ScreenWidth();
    if (entrySpeed == -1.0 && screenWidth - mWidth / 2 <= mX && mX <= screenWidth) {
        entrySpeed = mVelX;
        mVelX = 1.5;
    }
    if (entrySpeed != -1.0 && entrySpeed < mVelX) {
        mVelX -= slowDown;
        if (mVelX < entrySpeed)
            mVelX = entrySpeed;
    }
}

void Enemy::RiseWhileDead()
{
    mY -= mVelY;
    if (mY < -70.0)
        PushEvent(EVENT_REMOVE_ME);
}

void Enemy::FleeLeft(double acceleration)
{
    mVelX += acceleration;
    mX -= mVelX;
    if (mX < -mWidth)
        PushEvent(EVENT_REMOVE_ME);
}

void Enemy::StepBlink()
{
    if (mBlinkPeriod > 0 && mUpdateCount % mBlinkPeriod == 0) {
        mBlinkOn = !mBlinkOn;
        --mBlinkCount;
    }
}

void Enemy::TurnAtLeftEdge(int turnedState, int mirroredSlot, int swimCels)
{
    SetState(turnedState);
    PushEvent(EVENT_TURNED_AT_EDGE);
    PushEvent(EVENT_PASSED_DIVER);
    mFrameCount = swimCels;
    mFrame = 0;
    mX = -mWidth;
    mVelX = 5.0;
    SetFrameSizeFrom(GetImage(mirroredSlot), swimCels);
}

void Enemy::SetImage(int slot, Image* image)
{
    if (slot >= 0 && slot < static_cast<int>(mImages.size()))
        mImages[slot] = image;
}

Image* Enemy::GetImage(int slot) const
{
    if (slot < 0 || slot >= static_cast<int>(mImages.size()))
        return nullptr;
    return mImages[slot];
}

bool Enemy::HasEvent(int code) const { return std::find(mEvents.begin(), mEvents.end(), code) != mEvents.end(); }

int Enemy::PopEvent()
{
    if (mEvents.empty())
        return EVENT_NONE;
    const int code = mEvents.front();
    mEvents.pop_front();
    return code;
}

void Enemy::RemoveEvent(int code) { mEvents.erase(std::remove(mEvents.begin(), mEvents.end(), code), mEvents.end()); }

void Enemy::DetachLeader()
{
    if (mLeader == nullptr)
        return;
    mLeader->mFollower = nullptr;
    const double width = ScreenWidth();
    if (mLeader->mState == 0 && mLeader->mX > width && !mLeader->mActive) {
        mLeader->SetX(width);
        mLeader->SetReleased(true);
    }
    mLeader = nullptr;
}

void Enemy::ReleaseFollower()
{
    // Both sides go: a link kept on this side only would dangle once the follower is
    // deleted, and this creature's destructor would write through it.
    if (mFollower) {
        mFollower->mLeader = nullptr;
        mFollower = nullptr;
    }
}

bool Enemy::IsBoardPaused() const
{
    const CreatureBoard* board = mApp->GetCreatureBoard();
    return board != nullptr && board->IsPaused();
}

int Enemy::ScreenWidth() const { return mApp->ScreenWidth(); }

int Enemy::NextGameRandom() const { return mApp->GetGameRandom().Next(); }

void Enemy::SetFrameSizeFrom(Image* image, int cels)
{
    if (image == nullptr) {
        mWidth = 0;
        mHeight = 0;
        return;
    }
    mWidth = cels > 0 ? image->GetWidth() / cels : image->GetWidth();
    mHeight = image->GetHeight();
}

void Enemy::DrawSharkWord(Graphics* g, const Color& wordColor, const Color& typedColor)
{
    if (mWordFont == nullptr || mTypedFont == nullptr)
        return;
    const double cx = mDrawX + mWidth / 2 + mTextOffsetX;
    const int y = static_cast<int>(mDrawY + mHeight / 2 + mTextOffsetY + 5.0);
    const int halfWord = mWordFont->StringWidth(mWord) >> 1;
    if (mTypedCount <= 0) {
        g->SetFont(mWordFont);
        g->SetColor(wordColor);
        g->DrawString(mWord, static_cast<int>(cx - halfWord - 5.0), y);
        return;
    }
    // The word stays where it stood untyped; the typed letters change colour in place.
    g->SetFont(mTypedFont);
    g->SetColor(typedColor);
    g->DrawString(mTypedPart, static_cast<int>(cx - (mTypedFont->StringWidth(mWord) >> 1) - 5.0), y);
    g->SetFont(mWordFont);
    g->SetColor(wordColor);
    g->DrawString(mRemainingPart, static_cast<int>(cx + mWordFont->StringWidth(mTypedPart) - halfWord - 5.0), y);
}

} // namespace Zant
