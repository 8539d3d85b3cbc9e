// A lost diver: with a life left a new diver goes down and play resumes; with none
// the game is over, its statistics are recorded once and the board stops.
#include "game/common/BTTimer.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/common/Simulation.h"
#include "game/profile/UserProfile.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

void Board::HandlePlayerDeath()
{
    --mPlayer->mLives;
    if (mPlayer->mLives >= 0) {
        ClearLock();
        mPlayer->SetState(Player::DESCENDING);
        ResetMultiplier();
        mWaveTimer->SetDisabled(false);
        mWaveTimer->Reset();
        mWaveCleared = true;
        // The level's hint comes back, but not in the middle of a boss fight.
        if (mHeight < mFloorY && mBoss == nullptr) {
            mHintTimer->SetDisabled(false);
            mHintTimer->Reset();
            mHintAlpha = 255;
        }
        return;
    }
    // Once only: a game over that is already recorded stays as it is.
    if (mGameOver)
        return;
    mGameOver = true;
    // The saved adventure is this game's own (every adventure level start saves it);
    // an abyss dive never saved one, so its end leaves the saved adventure alone.
    if (!IsAbyss())
        ClearSavedGame();
    mLevelTime = mGameClock->GetElapsed();
    RecordGameStats(true, true);

    GameOverFigures& f = mGameOverFigures;
    f.abyss = mOceanDepth == -1;
    f.typingTime = mApp->RunTypingTime() + mTypingTime;
    f.hits = mApp->RunHits() + mAccuracyHits;
    f.misses = mApp->RunMisses() + mAccuracyMisses;
    f.depth = mAbyssDepth;
    f.playTime = mApp->RunPlayTime() + mLevelTime;
    f.score = mPlayer->mScore;
    f.level = mPlayer->mLevelIndex;
    f.rankTitle = GetRankTitle(mPlayer->mScore);

    mApp->PlaySong(30);
    Pause(true);
    mPlayer->SetState(Player::GAME_OVER);
    OpenGameOverDialog();
    // The simulated player leaves the game-over dialog as the last step of this
    // update: leaving it ends the game and frees the level
    // configuration, which the rest of the update still reads.
    mSimulatedGameOverDue = Simulation().IsOn();
}

void Board::ClearSavedGame()
{
    if (UserProfile* profile = mApp->CurrentProfile()) {
        profile->SetSavedGame(true, -1, -1, -1.0, -1, -10, -1);
        profile->ClearSavedGame();
    }
}

void Board::OpenGameOverDialog()
{
    const GameOverFigures& f = mGameOverFigures;
    mGameOverDialog = mApp->OpenGameOverDialog(mPlayer, f, mAbyssDepth);
}

} // namespace Zant
