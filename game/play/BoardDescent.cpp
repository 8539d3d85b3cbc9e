// The descent of the level and its end sequence as the update cycle calls them.
// For now they only scroll the field while the diver is in place; the depth ruler,
// the floor, the abyss stages, the level-end phases and the loss of a diver are
// still to come.
#include "game/play/BTTimer.h"
#include "game/play/Board.h"
#include "game/play/Player.h"

namespace Zant {

namespace {

void FadeHint(BTTimer* timer, int& alpha)
{
    if (timer->GetElapsed() > 1999) {
        alpha -= 3;
        if (alpha <= 0) {
            alpha = 0;
            timer->SetDisabled(true);
        }
    }
}

} // namespace

void Board::UpdateDescent()
{
    if (!mPlayer->mReadyForWave) {
        if (mPlayer->mState == Player::DESCENDING || mPlayer->mState == Player::BOSS_FIGHT)
            FadeHint(mHintTimer, mHintAlpha);
        return;
    }
    if (!IntroDone()) {
        mPlayer->SetReadyForWave(false);
        return;
    }
    FadeHint(mHintTimer, mHintAlpha);
    mScrollDistance += mScrollSpeed;
    for (BackTile& tile : mBackLayer) {
        tile.mY -= mScrollSpeed;
        if (tile.mY <= -mBackTileHeight)
            tile.mY += 2 * mBackTileHeight;
    }
}

void Board::UpdateLevelEnd()
{
    if (mPlayer->mState == Player::RISING && mPlayer->mY < -mPlayer->GetHeight())
        HandlePlayerDeath();
}

void Board::UpdateLevelComplete() {}

void Board::HandlePlayerDeath() {}

} // namespace Zant
