// The end of a level, driven by the diver's phase: the floor is reached and the last
// creatures are finished or dropped, the treasure word (or the pearl game) runs on a
// clock, the tally adds the level bonus, and the level-complete screen plays its
// sonar sweep. A diver carried out of view is handed on as lost.
#include <algorithm>

#include "framework/graphics/Image.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/Clam.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/ProjectileBoss.h"
#include "game/creatures/Shark.h"
#include "game/common/BTTimer.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/common/Simulation.h"
#include "game/play/StatusBar.h"
#include "game/profile/UserProfile.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

namespace {

constexpr double END_TIMER_FULL = 240.0;
constexpr double AIR_FILL_STEP = 0.96;
constexpr double TREASURE_CLOCK_STEP = 0.1;
constexpr double PEARL_CLOCK_STEP = 0.12;
constexpr int TALLY_MS = 2999;
constexpr int DONE_STEP_UPDATES = 6;
constexpr int DONE_STEPS = 17;
constexpr int ACCURATE_LEVEL = 95;

// The clams of the pearl game: rows of y and the x of the first and last clam.
struct ClamRow {
    int y;
    int firstX;
    int lastX;
};
constexpr ClamRow CLAM_ROWS[] = {{170, 200, 400}, {220, 175, 425}, {280, 200, 400}, {330, 175, 425}};
constexpr int CLAM_SPACING = 50;
constexpr int TREASURE_CLAMS = 4;

// Deletes and removes the entries a test picks.
template <typename T, typename Pred>
void DeleteWhere(std::vector<T*>& list, Pred pred)
{
    auto gone = std::stable_partition(list.begin(), list.end(), [&](T* item) { return !pred(item); });
    for (auto it = gone; it != list.end(); ++it)
        delete *it;
    list.erase(gone, list.end());
}

} // namespace

void Board::UpdateLevelEnd()
{
    switch (mPlayer->mState) {
    case Player::FLOOR_REACHED:
        UpdateFloorReached();
        break;
    case Player::TREASURE_WORD:
        UpdateTreasureClock();
        break;
    case Player::TALLY:
    case Player::BOSS_TALLY:
        UpdateTally();
        break;
    case Player::RISING:
        if (mPlayer->mY < -mPlayer->GetHeight())
            HandlePlayerDeath();
        break;
    default:
        break;
    }
}

// ---- Phase 4: the floor

void Board::ReachFloor()
{
    mPlayer->SetState(Player::FLOOR_REACHED);
    if (mConfig != nullptr && mConfig->IsSpecialLevel())
        LayOutClams();
}

void Board::LayOutClams()
{
    MersenneTwister& random = mApp->GetGameRandom();
    int treasure[TREASURE_CLAMS] = {};
    for (int i = 0; i < TREASURE_CLAMS; ++i) {
        int pick = 0;
        do
            pick = static_cast<int>(random.Next() % 22);
        while (std::find(treasure, treasure + i, pick) != treasure + i);
        treasure[i] = pick;
    }
    int index = 0;
    for (const ClamRow& row : CLAM_ROWS) {
        for (int x = row.firstX; x <= row.lastX; x += CLAM_SPACING, ++index) {
            const bool holdsTreasure = std::find(treasure, treasure + TREASURE_CLAMS, index) != treasure + TREASURE_CLAMS;
            auto* clam = new Clam(mApp, holdsTreasure ? 1 : 0);
            clam->SetX(x);
            clam->SetY(row.y);
            clam->SetWord(PickFreeClamLetter());
            mClams.push_back(clam);
        }
    }
}

void Board::UpdateFloorReached()
{
    if (!mWaveCleared && !(mBoss != nullptr && mBoss->mState == ProjectileBoss::DYING)) {
        // Creatures still waiting off the right edge never came: they are dropped.
        // The lock goes first, since a creature knocked back past the edge may be
        // the one being typed.
        const auto waiting = [this](Enemy* creature) {
            if (creature->mX < mWidth)
                return false;
            if (creature == mLockedEnemy)
                ClearLock();
            return true;
        };
        bool empty = true;
        switch (mConfig ? mConfig->GetPrevWaveKind() : -1) {
        case WAVE_SHARKS:
            DeleteWhere(mSharks, waiting);
            empty = mSharks.empty();
            break;
        case WAVE_PIRANHAS:
            DeleteWhere(mPiranhas, waiting);
            empty = mPiranhas.empty();
            break;
        case WAVE_BONUS:
            DeleteWhere(mBonusCreatures, [this](BonusCreature* creature) {
                if (creature->mY > -creature->GetHeight())
                    return false;
                if (creature == mLockedEnemy)
                    ClearLock();
                return true;
            });
            empty = mBonusCreatures.empty();
            break;
        default:
            break;
        }
        if (!empty)
            return;
        mWaveCleared = true;
        mWaveTimer->SetDisabled(true);
        AwardWaveAccuracyBonus();
    }
    if (!mWaveCleared || mAccuracyBadge->mAlpha != 0)
        return;

    // The air tank fills before the treasure word.
    mApp->PlaySong(34);
    mEndTimer += AIR_FILL_STEP;
    if (mEndTimer < END_TIMER_FULL)
        return;
    mPlayer->SetState(Player::TREASURE_WORD);
    mAssets.PlaySound(SOUND_TREASURE);
    ClearLock();
    if (mApp->GetStatusBar()) {
        mApp->GetStatusBar()->RefreshChildStates();
        mApp->GetStatusBar()->ShowReadyTip(false);
    }
    MarkDirty();
    if (mConfig != nullptr && mConfig->IsSpecialLevel())
        for (Clam* clam : mClams)
            clam->SetState(Clam::SHOWING_LETTER);
}

// ---- Phase 5: the treasure word or the pearl game

void Board::UpdateTreasureClock()
{
    const bool special = mConfig != nullptr && mConfig->IsSpecialLevel();
    if (!special && mTreasureWord.empty() && mConfig != nullptr) {
        const LevelSettings& settings = mConfig->GetLevelSettings();
        mTreasureWord = mApp->GetDifficultyWord(settings.MinEndDiff, settings.MaxEndDiff);
        mTreasureTyped = 0;
    }
    mEndTimer -= special ? PEARL_CLOCK_STEP : TREASURE_CLOCK_STEP;
    if (mEndTimer <= 0.0) {
        EndTreasureClock(special);
        return;
    }
    UpdateTreasurePulse();
}

void Board::UpdateTreasurePulse()
{
    const double left = mEndTimer / END_TIMER_FULL;
    if (left > 0.33333)
        return;
    const int step = left <= 0.1666666 ? 8 : 4;
    if (mPulseUp) {
        mPulseAlpha += step;
        if (mPulseAlpha > 255) {
            mPulseAlpha = 255;
            mPulseUp = false;
        }
    } else {
        mPulseAlpha -= step;
        if (mPulseAlpha < 170) {
            mPulseAlpha = 170;
            mPulseUp = true;
        }
    }
}

void Board::EndTreasureClock(bool special)
{
    mEndTimer = 0.0;
    mPlayer->SetState(Player::TALLY);
    mZapperTimer->SetDisabled(true);
    const int first = static_cast<int>(mApp->GetGameRandom().Next() & 3);
    for (int i = 0; i < 3; ++i)
        mTreasureModes[i] = (first + i) % 4;

    if (special) {
        // A pearl game that ran out without one pair matched has earned nothing: the
        // clams close and the level ends without a secret item, waiting for the space
        // bar as after a secret item.
        if (mPearlMatches > 0) {
            AwardSecretItem();
        } else {
            ShowContinueLink();
            mLevelTime = mGameClock->GetElapsed();
            for (Clam* clam : mClams)
                clam->SetState(Clam::OPEN);
        }
        return;
    }
    if (UserProfile* profile = mApp->CurrentProfile()) {
        profile->mBestTreasurePoints = std::max(profile->mBestTreasurePoints, mTreasurePoints);
        profile->mBestTreasureStreak = std::max(profile->mBestTreasureStreak, mTreasureWordsDone);
        profile->AddGttCount(mApp->GetTreasureIndex() - IMAGE_GEM_GREEN);
    }
    mPlayer->AddScore(GetLevelBonusPoints());
    StartTally();
    SaveProfile(false);
    mAssets.PlaySound(SOUND_WINGEM);
    mLevelTime = mGameClock->GetElapsed();
}

void Board::ShowContinueLink()
{
    if (mLevelDonePanel == nullptr || mWidgetManager == nullptr)
        return;
    // Shown over the clam bed, where it would touch the bottom row of clams: it
    // stands lower, on the sand under them.
    PlaceContinueLink(CLAM_LINK_GAP);
    mWidgetManager->BringToFront(mLevelDonePanel);
    mLevelDonePanel->SetDisabled(false);
    mLevelDonePanel->SetVisible(true);
}

void Board::EndBossLevel()
{
    mPlayer->SetReadyForWave(false);
    mPlayer->SetState(Player::BOSS_TALLY);
    mZapperTimer->SetDisabled(true);
    StartTally();
    mAssets.PlaySound(SOUND_WINGEM);
    mLevelTime = mGameClock->GetElapsed();
    mPlayer->AddScore(GetLevelBonusPoints());
}

void Board::StartTally()
{
    mTallyTimer->SetDisabled(false);
    mTallyTimer->Reset();
}

// ---- Phases 6 and 12: the tally

void Board::UpdateTally()
{
    const int tick = mUpdateCnt;
    if (tick % 11 == 0)
        mTallyFrame = (mTallyFrame + 1) % 10;
    if (mConfig != nullptr && mConfig->IsSpecialLevel())
        mApp->PlaySong(17);
    if (mTallyTimer->GetElapsed() > TALLY_MS) {
        mTallyTimer->SetDisabled(true);
        mTallyDone = true;
        mTreasureGlow = true;
    }
    if (tick % 10 == 0)
        for (TreasureSparkle& show : mTreasureShow)
            show.mFrame = (show.mFrame + 1) % 14;
    if (!mTallyDone)
        return;
    if (--mTallyCountdown < 1) {
        mTallyCountdown = 0;
        ShowLevelComplete();
    }
}

int Board::LevelAccuracy() const
{
    // Nothing typed is no accuracy at all, not a division by zero.
    const int typed = mAccuracyHits + mAccuracyMisses;
    return typed > 0 ? static_cast<int>(100LL * mAccuracyHits / typed) : 0;
}

void Board::ShowLevelComplete()
{
    mPlayer->SetState(Player::LEVEL_COMPLETE);
    for (int sequence = 0; sequence < 4; ++sequence)
        mDoneImages[sequence] = SonarFrame(sequence, 0);
    if (mApp->GetStatusBar()) {
        mApp->GetStatusBar()->RefreshChildStates();
        mApp->GetStatusBar()->ShowReadyTip(false);
    }
    mApp->PlaySong(17);
    PlaceContinueLink(LINK_GAP);
    if (mLevelDonePanel) {
        if (mWidgetManager)
            mWidgetManager->BringToFront(mLevelDonePanel);
        mLevelDonePanel->SetDisabled(false);
        mLevelDonePanel->SetVisible(true);
    }
    if (LevelAccuracy() >= ACCURATE_LEVEL) {
        ++mAccurateLevels;
        mPlayer->AddScore(GetLevelAccuracyBonus());
    }
    RecordGameStats(true, false);
    if (Simulation().IsOn())
        SimulationLevelComplete();
}

// ---- Phase 7: the level-complete sonar sweep

Image* Board::SonarFrame(int sequence, int frame) const
{
    switch (sequence) {
    case 0:
        return mAssets.GetImage(IMAGE_SONAR_SWEEP_0 + frame);
    case 1:
        return mAssets.GetImage(IMAGE_SONAR_SWEEP2_0 + frame);
    case 2:
        return frame < static_cast<int>(mAssets.mSonarSweeps.size()) ? mAssets.mSonarSweeps[frame] : nullptr;
    default:
        return frame < static_cast<int>(mAssets.mSonarSweeps2.size()) ? mAssets.mSonarSweeps2[frame] : nullptr;
    }
}

void Board::UpdateLevelComplete()
{
    if (mDoneAlpha != 255 || mUpdateCnt % DONE_STEP_UPDATES != 0 || mDoneStep >= DONE_STEPS)
        return;
    if (mDoneStep == 0)
        mAssets.PlaySound(SOUND_SONARPING1);
    const int step = ++mDoneStep;
    // Four frames of each sweep in turn; each sweep goes as the next one starts.
    const int sequence = (step - 1) / 4;
    if (step > 1 && (step - 1) % 4 == 0)
        mDoneImages[sequence - 1] = nullptr;
    if (sequence < 4)
        mDoneImages[sequence] = SonarFrame(sequence, (step - 1) % 4 + 1);
    MarkDirty();
}

} // namespace Zant
