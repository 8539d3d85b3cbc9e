// The creatures' events as the board answers them each update: finished words are
// scored, the diver is caught, creatures scatter or burst, cleared waves are noticed
// and removed creatures deleted.
#include <algorithm>

#include "game/creatures/BonusCreature.h"
#include "game/creatures/Clam.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/Shark.h"
#include "game/common/BTTimer.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

namespace {

std::string PointsText(int points) { return "+" + std::to_string(points) + " PTS"; }

bool InPlay(Enemy* creature)
{
    if (auto* shark = dynamic_cast<Shark*>(creature))
        return shark->IsInPlay();
    if (auto* piranha = dynamic_cast<Piranha*>(creature))
        return piranha->IsInPlay();
    return false;
}

} // namespace

int Board::AbyssMultiplier() const { return IsAbyss() ? std::max(2, mAbyssDepth / 600) : 1; }

template <typename T>
bool Board::RemoveCreature(std::vector<T*>& list, T* creature)
{
    auto it = std::find(list.begin(), list.end(), creature);
    if (it == list.end())
        return false;
    list.erase(it);
    delete creature;
    return true;
}

template <typename T>
void Board::CheckWaveCleared(std::vector<T*>& list, bool sharks)
{
    for (T* other : list) {
        if (!other->IsLockedInState3())
            return;
        if (sharks && other->HasEvent(EVENT_DEATH_ANIM_DONE) && other->mState == 3)
            return;
    }
    mWaveCleared = true;
    for (T* other : list)
        other->RemoveEvent(EVENT_DEATH_ANIM_DONE);
    if (CountActiveEnemyLists() != 1)
        return;
    mWaveCleared = true;
    if (!mZapperUsed && !mAccuracyBadge->mActive) {
        mWaveTimer->SetDisabled(true);
        AwardWaveAccuracyBonus();
    } else {
        mWaveTimer->SetDisabled(false);
        mWaveTimer->Reset();
    }
    if (sharks && !IntroDone()) {
        SetIntroDone();
        mPlayer->SetReadyForWave(true);
    }
}

void Board::ScoreWord(Enemy* creature, bool shark)
{
    const int value = creature->mPointValue * AbyssMultiplier();
    if (shark && !mZapperUsed)
        mTypingTime += mWordTimer->GetElapsed();
    mAccuracyBadge->mWavePoints += value;
    mPlayer->AddScore(value);
    creature->SetState(5);
    if (!InPlay(creature))
        CountKill(shark ? 0 : 1, mOceanDepth == -1);
    AddBonusText(PointsText(value), int(creature->mX), int(creature->mY), nullptr);
    ResetMultiplier();

    if (mApp->CurrentSong() != 0) {
        bool danger = false;
        if (shark)
            danger = std::any_of(mSharks.begin(), mSharks.end(),
                                 [](Shark* s) { return s->IsInPlay() && int(s->mX) <= 160; });
        else
            danger = std::any_of(mPiranhas.begin(), mPiranhas.end(),
                                 [](Piranha* p) { return p->IsInPlay() && int(p->mX) <= 160; });
        if (!danger)
            mApp->PlaySong(0);
    }
    if (creature == mLockedEnemy)
        ClearLock();
}

void Board::HandleSwimmerEvent(Enemy* creature, int event, bool shark)
{
    switch (event) {
    case EVENT_WORD_COMPLETED:
        ScoreWord(creature, shark);
        break;
    case EVENT_REACHED_DIVER:
        if (mPlayer->mState != Player::EATEN && mPlayer->mState != Player::RISING)
            mPlayer->SetState(Player::EATEN);
        break;
    case EVENT_TURNED_AT_EDGE:
        creature->SetY(mPlayer->mY);
        break;
    case EVENT_PASSED_DIVER:
        if (shark) {
            for (Shark* other : mSharks)
                if (other != creature && other->IsInPlay())
                    other->SetState(4);
        } else {
            for (Piranha* other : mPiranhas)
                if (other != creature && other->mState == 0)
                    other->SetState(4);
        }
        break;
    case EVENT_CAME_CLOSE: {
        MersenneTwister& random = mApp->GetGameRandom();
        for (int i = 0; i < 30; ++i) {
            const int r1 = static_cast<int>(random.Next() % 10);
            const int r2 = static_cast<int>(random.Next() % 40);
            AddBubble(int(creature->mX + r2), int(creature->mY + r1 + 15.0));
        }
        mAssets.PlaySound(SOUND_DIVERENTERS);
        break;
    }
    case EVENT_DEATH_ANIM_DONE:
        if (shark)
            CheckWaveCleared(mSharks, true);
        else
            CheckWaveCleared(mPiranhas, false);
        break;
    default:
        break;
    }
}

bool Board::UpdateSharks(Shark* shark)
{
    for (int event = shark->PopEvent(); event != EVENT_NONE; event = shark->PopEvent()) {
        if (event == EVENT_REMOVE_ME) {
            if (shark == mLockedEnemy) {
                shark->RemoveEvent(EVENT_WORD_COMPLETED);
                ClearLock();
            }
            return RemoveCreature(mSharks, shark);
        }
        HandleSwimmerEvent(shark, event, true);
    }
    return false;
}

bool Board::UpdatePiranhas(Piranha* piranha)
{
    for (int event = piranha->PopEvent(); event != EVENT_NONE; event = piranha->PopEvent()) {
        if (event == EVENT_REMOVE_ME) {
            piranha->RemoveEvent(EVENT_WORD_COMPLETED);
            // A lock left on a piranha would point at a deleted creature.
            if (piranha == mLockedEnemy)
                ClearLock();
            return RemoveCreature(mPiranhas, piranha);
        }
        HandleSwimmerEvent(piranha, event, false);
    }
    return false;
}

bool Board::UpdateBonusCreatures(BonusCreature* creature)
{
    for (int event = creature->PopEvent(); event != EVENT_NONE; event = creature->PopEvent()) {
        switch (event) {
        case EVENT_WORD_COMPLETED: {
            if (!mZapperUsed)
                mTypingTime += mWordTimer->GetElapsed();
            const int n = ++mBonusKills;
            const int value = 200 * n * AbyssMultiplier();
            mAssets.PlaySound(std::min(SOUND_TONE1 + n, SOUND_TONE1 + 12));
            mAccuracyBadge->mWavePoints += value;
            mPlayer->AddScore(value);
            if (creature->mState != BonusCreature::DYING)
                creature->SetState(BonusCreature::DYING);
            if (creature == mLockedEnemy)
                ClearLock();
            mPlayer->mCharge = std::min(1.0, mPlayer->mCharge + 0.01);
            AddBonusText(PointsText(value), int(creature->mX), int(creature->mY), nullptr);
            break;
        }
        case EVENT_REMOVE_ME:
            if (creature == mLockedEnemy) {
                creature->RemoveEvent(EVENT_WORD_COMPLETED);
                // The typed letters go with the lock: left behind they would be
                // matched against the next creature's word.
                ClearLock();
            }
            return RemoveCreature(mBonusCreatures, creature);
        case EVENT_DEATH_ANIM_DONE:
            if (creature == mLockedEnemy)
                ClearLock();
            CheckWaveCleared(mBonusCreatures, false);
            break;
        default:
            break;
        }
    }
    return false;
}

bool Board::UpdateClams(Clam* clam)
{
    for (int event = clam->PopEvent(); event != EVENT_NONE; event = clam->PopEvent()) {
        switch (event) {
        case EVENT_CLAM_CLOSED:
            clam->SetState(Clam::SHOWING_LETTER);
            break;
        case EVENT_CLAM_OPENING:
            // The key handler scores a match when the clam is typed; this only scores
            // a match it has not seen.
            if (mOpenClam != nullptr && mOpenClam != clam && mOpenClam->mContent == clam->mContent)
                ScorePearlMatch(clam);
            break;
        case EVENT_CLAM_OPENED:
            if (clam->mContent == 0) {
                mAssets.PlaySound(SOUND_BAD);
                clam->SetState(Clam::CLOSING);
                if (mOpenClam != nullptr) {
                    mOpenClam->SetState(Clam::CLOSING);
                    mOpenClam = nullptr;
                }
            } else if (mPearlMatches == 2) {
                AwardSecretItem();
            }
            break;
        default:
            break;
        }
    }
    return false;
}

} // namespace Zant
