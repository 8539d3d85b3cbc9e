// One update of the board: fades and counters, the Dozav Odaziz charge and sweep,
// the descent and level end, the next wave and every creature and decoration.
#include <algorithm>

#include "game/creatures/BackgroundFish.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/Clam.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/Shark.h"
#include "game/common/BTTimer.h"
#include "game/play/Board.h"
#include "game/play/BonusText.h"
#include "game/play/Bubble.h"
#include "game/play/Player.h"
#include "game/common/Simulation.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

namespace {

constexpr int HINT_ALPHA_MOMENT = 117;
constexpr int MAX_BACKGROUND_FISH = 8;
constexpr double CHARGE_STEP = 0.01;
// The opening fade of the board: gone after about half a second.
constexpr int FADE_STEP = 5;

const char* const ZAPPER_HINT_TEXT =
    "Your \"Dozav Odaziz\" is now ready to use! Press the ENTER key on your keyboard to fire it and blast the "
    "enemies away!\n\n";

// Deletes and removes the entries a test picks, keeping the order of the rest.
template <typename T, typename Pred>
void DeleteWhere(std::vector<T*>& list, Pred pred)
{
    auto keep = std::stable_partition(list.begin(), list.end(), [&](T* item) { return !pred(item); });
    for (auto it = keep; it != list.end(); ++it)
        delete *it;
    list.erase(keep, list.end());
}

} // namespace

void Board::Update()
{
    ++mCallCount;
    if (mDisabled || mPaused)
        return;
    Widget::Update();
    const int tick = mUpdateCnt;

    if (mFirstUpdate) {
        mFirstUpdate = false;
        mAssets.PlaySound(SOUND_DIVERENTERS);
        if (mConfig && mConfig->GetLevel() > 0)
            MarkLevelReached(mConfig->GetLevel());
        SaveRunProgress();
        mAbyssBoss = LoadAbyssBoss();
        if (Simulation().IsOn() && SimulationLevelStart())
            return;
    }
    if (Simulation().IsOn() && SimulationTypeStep())
        return;
    mFadeAlpha = std::max(0, mFadeAlpha - FADE_STEP);

    mHeader->Step();

    if (mIntroAlpha > 0 && tick % 2 == 1) {
        if (mIntroAlpha == HINT_ALPHA_MOMENT) {
            mApp->SelectGameCursor(0);
            ShowLevelHint();
            mHintAlpha = IntroDone() ? 255 : 0;
            mHintTimer->SetDisabled(false);
            mHintTimer->Reset();
        }
        mIntroAlpha = std::max(0, mIntroAlpha - 2);
    }

    if (tick % 2 == 0) {
        mBobValue += mBobRising ? 0.004 : -0.004;
        if (mBobValue >= 5.0) {
            mBobValue = 5.0;
            mBobRising = false;
        } else if (mBobValue <= 4.0) {
            mBobValue = 4.0;
            mBobRising = true;
        }
        ++mHalfTick;
        if (tick % 4 == 0)
            ++mQuarterTick;
    }

    if (mPlayer->mState == Player::LEVEL_COMPLETE) {
        UpdateLevelComplete();
        return;
    }

    UpdateCharge();

    mZapperAlpha = std::max(0, mZapperAlpha - 8);
    if (mZapperFiring) {
        mPlayer->mCharge -= CHARGE_STEP;
        if (mPlayer->mCharge <= 0.0) {
            mPlayer->mCharge = 0.0;
            mZapperFiring = false;
        }
    }

    UpdateBackgroundFish();

    if (mPlayer->mState == Player::PLAYING && mBoss != nullptr && BossState() != 3) {
        mPlayer->SetState(Player::BOSS_FIGHT);
        mPlayer->SetReadyForWave(false);
    }

    UpdateDescent();
    UpdateLevelEnd();
    mPlayer->Update();
    if (mBoss != nullptr) {
        UpdateBossObject();
        UpdateBoss(mBoss);
    }

    if (mScrollDistance - mScrollPointMark >= 8.0) {
        mPlayer->AddScore(1);
        mScrollPointMark = mScrollDistance;
    }

    if (!IntroDone() && mHitFlash) {
        mHitFlashAlpha -= 2;
        if (mHitFlashAlpha <= 0) {
            mHitFlashAlpha = 0;
            mHitFlash = false;
        }
    }

    UpdateNextWave();

    const double beamLine = static_cast<int>(mPlayer->mBeamX) + 16.0;
    UpdateSwimmers(mSharks, beamLine, &Board::UpdateSharks);
    UpdateSwimmers(mPiranhas, beamLine, &Board::UpdatePiranhas);

    for (size_t i = 0; i < mClams.size(); ++i) {
        mClams[i]->Update();
        UpdateClams(mClams[i]);
    }

    UpdateRisers(beamLine);
    UpdateDecorations();
    MarkDirty();
    // Last: leaving the game-over dialog ends the game, and this board with it.
    if (mSimulatedGameOverDue) {
        mSimulatedGameOverDue = false;
        SimulationGameOver();
    }
}

void Board::UpdateCharge()
{
    const bool special = mConfig != nullptr && mConfig->IsSpecialLevel();
    double& charge = mPlayer->mCharge;
    if (charge < 1.0) {
        if (mZapperTimer->GetElapsed() >= mZapperChargeInterval && !special) {
            charge = std::min(1.0, charge + CHARGE_STEP);
            mZapperTimer->Reset();
        }
        return;
    }
    const int phase = mPlayer->mState;
    if (mWaveCleared && !IsBossSceneReached() && mIntroAlpha < 5 && ZapperHintDue() && !special && mHintAlpha == 0 &&
        (phase == Player::PLAYING || phase == Player::DESCENDING)) {
        ShowHint("HINT", ZAPPER_HINT_TEXT);
        SetZapperHintDue(false);
    }
}

void Board::UpdateBackgroundFish()
{
    if (mUpdateCnt % 400 == 0 && mBackgroundFish.size() < MAX_BACKGROUND_FISH) {
        const int count = static_cast<int>(mApp->GetGameRandom().Next() % 5);
        BackgroundFish* leader = nullptr;
        for (int i = 0; i < count; ++i) {
            auto* fish = leader ? new BackgroundFish(mApp, *leader) : new BackgroundFish(mApp);
            if (leader == nullptr)
                leader = fish;
            mBackgroundFish.push_back(fish);
        }
    }
    for (BackgroundFish* fish : mBackgroundFish)
        fish->Update();
    DeleteWhere(mBackgroundFish, [this](BackgroundFish* fish) { return fish->mX > mWidth; });
}

void Board::UpdateNextWave()
{
    if (!mWaveCleared)
        return;
    const bool descentAllows = mHeight <= mFloorY || mOceanDepth == -1;
    if (!mBossDefeated && mPlayer->mState == Player::PLAYING && descentAllows && mBoss == nullptr &&
        (!IntroDone() || mScrollDistance > mLeadInHeight / 2))
        SpawnWaves();
    if (mWaveCleared && !mBossDefeated && mPlayer->mState == Player::PLAYING && !mPlayer->mReadyForWave &&
        mBoss == nullptr && mConfig != nullptr && mConfig->IsLastWaveSpecial() && CountActiveEnemyLists() == 0)
        SpawnWaves();
}

template <typename T>
void Board::UpdateSwimmers(std::vector<T*>& list, double beamLine, bool (Board::*handler)(T*))
{
    const int phase = mPlayer->mState;
    size_t i = 0;
    while (i < list.size()) {
        T* creature = list[i];
        if (!creature->mActive) {
            const bool piranhaRush = std::is_same_v<T, Piranha> && phase == Player::EATEN;
            if (CheckCreatureRoom(creature) || piranhaRush)
                creature->SetReleased(true);
        } else {
            if (mPlayer->mZapperFiring && creature->mX <= beamLine && creature->mState == 0) {
                mPlayer->AddScore(creature->mPointValue);
                creature->mZapped = true;
                creature->DetachLeader();
                creature->SetState(5);
                creature->PushEvent(EVENT_WORD_COMPLETED);
                mApp->PlaySong(0);
            }
            UpdateDangerMusic(creature, creature->IsInPlay());
        }
        if (creature->mAtDiver && creature->mState == 1 && mPlayer->mAlpha < 129) {
            creature->mAtDiver = false;
            creature->SetVelX(2.3);
        }
        if ((phase == Player::RISING || phase == Player::EATEN) && creature->mState != 1)
            creature->SetState(4);

        creature->Update();
        if ((this->*handler)(creature))
            continue; // the next creature now stands at i
        if (creature->mState == 3 && !creature->mMoved) {
            // Dying creatures go to the front of the list so that they are drawn behind.
            creature->mMoved = true;
            std::rotate(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(i),
                        list.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        }
        ++i;
    }
}

void Board::UpdateRisers(double beamLine)
{
    size_t i = 0;
    while (i < mBonusCreatures.size()) {
        BonusCreature* creature = mBonusCreatures[i];
        if (!creature->mActive) {
            if (CheckCreatureRoom(creature)) {
                creature->SetReleased(true);
                creature->SetY(mHeight + creature->GetHeight());
            }
        } else if (mPlayer->mZapperFiring && creature->mX <= beamLine && creature->mY < mHeight &&
                   creature->mState == 0) {
            mPlayer->AddScore(200);
            creature->mZapped = true;
            creature->SetState(3);
            creature->PushEvent(EVENT_WORD_COMPLETED);
            mApp->PlaySong(0);
        }
        creature->Update();
        if (!UpdateBonusCreatures(creature))
            ++i;
    }
}

void Board::UpdateDecorations()
{
    if (mUpdateCnt % 100 == 0) {
        const int x = static_cast<int>(mApp->GetGameRandom().Next() % mApp->ScreenWidth());
        AddBubble(x, mApp->ScreenHeight());
    }
    for (Bubble* bubble : mBubbles)
        bubble->Update();
    DeleteWhere(mBubbles, [](Bubble* bubble) { return bubble->mY <= -20.0; });

    for (BonusText* text : mBonusTexts)
        text->Update();
    DeleteWhere(mBonusTexts, [](BonusText* text) { return text->mState == BonusText::DONE; });

    AccuracyBadge& badge = *mAccuracyBadge;
    if (badge.mActive) {
        badge.mY -= 1.0;
        badge.mAlpha -= 1;
        if (badge.mAlpha < 129) {
            mWaveTimer->SetDisabled(false);
            mWaveTimer->Reset();
        }
        if (badge.mAlpha <= 0) {
            badge.mAlpha = 0;
            badge.mActive = false;
            badge.mWavePoints = 0;
            badge.mImage = nullptr;
        }
    }

    if (!mMessageText.empty() && mMessageAlpha > 0 && mMessageTimer->GetElapsed() > 1999)
        mMessageAlpha = std::max(0, mMessageAlpha - 2);
}

} // namespace Zant
