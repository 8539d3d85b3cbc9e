// The board's side of a boss wave: building the boss, offering typed letters to its
// shots and reading the events it queues.
#include <algorithm>

#include "game/creatures/BossKinds.h"
#include "game/common/BTTimer.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/profile/UserProfile.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

namespace {

std::string PointsText(int points) { return "+" + std::to_string(points) + " PTS"; }

} // namespace

ProjectileBoss* Board::CreateBoss(int type)
{
    ProjectileBoss* boss = nullptr;
    switch (type) {
    case ENEMY_TORPEDO:
        boss = new TorpedoBoss(mApp, mPlayer, mConfig);
        break;
    case ENEMY_GHOST_SHIP:
        boss = new GhostShip(mApp, mPlayer, mConfig);
        break;
    case ENEMY_MECHA_SHARK:
        boss = new MechaShark(mApp, mPlayer, mConfig);
        break;
    case ENEMY_MECHA_SQUID:
        boss = new MechaSquid(mApp, mPlayer, mConfig);
        break;
    default:
        return nullptr;
    }
    boss->mEnemyType = type;
    return boss;
}

int Board::BossKind() const { return mBoss ? mBoss->mEnemyType : -1; }

int Board::BossState() const { return mBoss ? mBoss->mState : -1; }

// A beaten boss may stand below zero; it takes no letters either way.
int Board::BossHealth() const { return mBoss ? std::max(0, mBoss->GetHealth()) : -1; }

void Board::UpdateBossObject()
{
    if (mBoss)
        mBoss->Update();
}

bool Board::TryLockBossShot(char letter)
{
    if (mBoss == nullptr)
        return false;
    for (Projectile* shot : mBoss->GetShots())
        if (shot->mState == Projectile::FLYING && shot->mActive && TryLockEnemy(letter, shot))
            return true;
    return false;
}

void Board::ForgetShot(Enemy* shot)
{
    if (shot == nullptr || shot != mLockedEnemy)
        return;
    if (!shot->mWord.empty())
        ReleaseLabelLetter(shot->mWord[0]);
    ClearLock();
    mWordTimer->Reset();
}

bool Board::UpdateBoss(ProjectileBoss* boss)
{
    for (int event = boss->PopEvent(); event != EVENT_NONE; event = boss->PopEvent()) {
        switch (event) {
        case EVENT_WORD_COMPLETED:
            if (Enemy* shot = mLockedEnemy) {
                const int value = shot->mPointValue * AbyssMultiplier();
                mPlayer->AddScore(value);
                mTypedText.clear();
                if (!shot->mWord.empty())
                    ReleaseLabelLetter(shot->mWord[0]);
                mTypingTime += mWordTimer->GetElapsed();
                AddBonusText(PointsText(value), static_cast<int>(shot->mX), static_cast<int>(shot->mY), nullptr);
                mLockedEnemy = nullptr;
            }
            break;
        case EVENT_SHOT_HIT_DIVER:
            boss->RemoveEvent(EVENT_WORD_COMPLETED);
            boss->RemoveEvent(EVENT_SHOT_HIT_DIVER);
            mApp->ForgetUsedLetters();
            ClearLock();
            mWordTimer->Reset();
            mPlayer->SetState(Player::HIT_BY_SHOT);
            break;
        case EVENT_DEATH_ANIM_DONE:
            mPlayer->SetState(Player::RISING);
            break;
        case EVENT_SHOT_LEFT_SCREEN: {
            // Only a shot still in the boss's list is read: the one that left has been
            // deleted by its boss, which let go of the lock on it then.
            const auto& shots = boss->GetShots();
            const auto locked = std::find(shots.begin(), shots.end(), mLockedEnemy);
            if (locked != shots.end()) {
                const Projectile* shot = *locked;
                if (shot->mX <= -shot->mWidth || shot->mX + shot->mWidth >= mApp->ScreenWidth())
                    ForgetShot(mLockedEnemy);
            }
            break;
        }
        case EVENT_BOSS_KILLED: {
            if (UserProfile* profile = mApp->CurrentProfile()) {
                if (IsAbyss())
                    profile->AddBossKill(boss->mEnemyType);
                else
                    ++profile->mNumBossesKilled;
            }
            ClearLock();
            mWordTimer->Reset();
            const int bonus = GetDifficultyBonusPoints();
            AddBonusText(PointsText(bonus), 310, 250, nullptr);
            if (mPlayer->mState == Player::BOSS_FIGHT) {
                if (IsAbyss())
                    mApp->PlaySong(0);
                else
                    mBossDefeated = true;
                mWaveCleared = true;
                mPlayer->SetState(Player::PLAYING);
                mPlayer->AddScore(bonus);
                mPlayer->SetReadyForWave(true);
            }
            break;
        }
        case EVENT_BOSS_CREATED:
            mApp->PlaySong(48);
            break;
        case EVENT_REMOVE_ME:
            if (mBoss == boss)
                mBoss = nullptr;
            delete boss;
            return true;
        default:
            break;
        }
    }
    return false;
}

} // namespace Zant
