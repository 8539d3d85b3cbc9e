// Typed characters during a level: the level-end space, the pause key, the Dozav
// Odaziz on Enter, the pearl game, the treasure word and the letters offered to the
// creatures, with the hit, typo and accuracy counts and the penalty piranhas.
#include <algorithm>

#include "game/creatures/BonusCreature.h"
#include "game/creatures/Clam.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/Shark.h"
#include "game/common/BTTimer.h"
#include "game/play/Board.h"
#include "game/play/BonusText.h"
#include "game/play/Player.h"
#include "game/common/Simulation.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

namespace {

constexpr int HIDDEN_CURSOR = 5;
constexpr int COMMAND_PAUSE = 200;

std::string TypoText(char key) { return std::string("TYPO! \"") + key + "\" doesn't match any enemies"; }

// The sound that counts a finished treasure word.
int TreasureCountSound(int wordsDone) { return std::min(SOUND_TONE1 + (wordsDone - 1) / 2, SOUND_TONE1 + 12); }

} // namespace

bool Board::CountsForAccuracy() const
{
    if (WaveKindInPlay() == WAVE_PIRANHAS)
        return false;
    if (mBoss != nullptr) {
        const int kind = BossKind();
        return kind == ENEMY_TORPEDO || kind == ENEMY_MECHA_SHARK;
    }
    return true;
}

void Board::HandleKeyChar(char key)
{
    mApp->SelectGameCursor(HIDDEN_CURSOR);
    if (key >= 'a' && key <= 'z')
        key = static_cast<char>(key - 'a' + 'A');
    const int phase = mPlayer->mState;
    const bool special = mConfig != nullptr && mConfig->IsSpecialLevel();

    if (!mPaused && (phase == Player::LEVEL_COMPLETE || (phase == Player::TALLY && special))) {
        if (key == ' ')
            ShowMapScreen();
        return;
    }
    if (key == ' ') {
        if (SpacePauses())
            SendCommand(COMMAND_PAUSE);
        return;
    }
    if (mPaused || mConfig == nullptr)
        return;
    const bool gateOpen = phase == Player::PLAYING || phase == Player::TREASURE_WORD ||
                          phase == Player::BOSS_FIGHT || (phase == Player::FLOOR_REACHED && !mWaveCleared);
    if (!gateOpen)
        return;

    if ((key == '\n' || key == '\r') && phase != Player::TREASURE_WORD) {
        FireZapper();
        return;
    }
    if (special) {
        if (phase != Player::TREASURE_WORD)
            mAssets.PlaySound(SOUND_WRONG);
        else
            TypePearlGame(key);
        return;
    }
    if (phase == Player::TREASURE_WORD) {
        TypeTreasureLetter(key);
        return;
    }
    TypeCreatureLetter(key);
}

void Board::FireZapper()
{
    const bool bossFight = mPlayer->mState == Player::BOSS_FIGHT;
    if (mPlayer->mCharge < 1.0 || mPlayer->mZapperFiring) {
        ShowMessage(bossFight ? "Can't use dozav odaziz on a boss!" : "Not enough power to use dozav odaziz");
        return;
    }
    if (bossFight) {
        ShowMessage("Can't use dozav odaziz on a boss!");
        return;
    }
    mPlayer->mZapperFiring = true;
    mZapperAlpha = 255;
    mZapperFiring = true;
    mAssets.PlaySound(SOUND_EMP);
    ShowMessage("Dozav odaziz used, no bonus points awarded");
    mZapperUsed = true;
    mApp->PlaySong(0);
}

void Board::TypePearlGame(char key)
{
    const std::string letter(1, key);
    Clam* candidate = nullptr;
    for (Clam* clam : mClams) {
        if (clam->mWord == letter && clam->mState == Clam::SHOWING_LETTER)
            candidate = clam;
        if (clam->mState == Clam::OPENING && clam->mContent == 0) {
            mAssets.PlaySound(SOUND_WRONG);
            return;
        }
    }
    if (candidate == nullptr) {
        mAssets.PlaySound(SOUND_WRONG);
        return;
    }
    candidate->SetState(Clam::OPENING);
    mAssets.PlaySound(SOUND_TYPE);
    if (candidate->mContent != 0 && mOpenClam == nullptr) {
        mAssets.PlaySound(SOUND_TREASURE);
        mOpenClam = candidate;
        return;
    }
    if (mOpenClam != nullptr && mOpenClam->mContent == candidate->mContent)
        ScorePearlMatch(candidate);
}

void Board::ScorePearlMatch(Clam* clam)
{
    mAssets.PlaySound(SOUND_WINGEM);
    mOpenClam = nullptr;
    ++mPearlMatches;
    int points = 200000;
    if (mPearlMatches == 1) {
        mAssets.PlaySound(SOUND_WAVE_BONUS3);
        points = 100000;
    } else {
        mAssets.PlaySound(SOUND_WINGEM);
    }
    mPlayer->AddScore(points);
    AddBonusText("+" + std::to_string(points) + " PTS", int(clam->mX), int(clam->mY), nullptr);
}

void Board::TypeTreasureLetter(char key)
{
    // A word finished by an earlier key of the same pass is not replaced until the
    // next update: nothing is left to type until then.
    if (mTreasureWord.empty() || mTreasureTyped >= int(mTreasureWord.size()))
        return;
    if (key != mTreasureWord[mTreasureTyped]) {
        mAssets.PlaySound(SOUND_WRONG);
        ++mTreasureTypos;
        ++mAccuracyMisses;
        if (mEndTimer > 5.0)
            mEndTimer -= 5.0;
        ShowMessage(std::string("TYPO! \"") + key + "\" doesn't match!");
        return;
    }
    MersenneTwister& random = mApp->GetGameRandom();
    if (mTreasureTyped == 0)
        mWordTimer->Reset();
    mAssets.PlaySound(SOUND_TYPE + static_cast<int>(random.Next() % 3));
    ++mTreasureHits;
    ++mAccuracyHits;
    ++mTreasureTyped;
    mLetterHit = true;
    if (mTreasureTyped < int(mTreasureWord.size()))
        return;

    if (Simulation().IsOn())
        ++Simulation().CurrentLevel().treasureWords;
    mTypingTime += mWordTimer->GetElapsed();
    const int value = GetTreasureWordValue();
    mPlayer->AddScore(value);
    mTreasurePoints += value;
    mTreasureWord.clear();
    const int third = mWidth / 3;
    const int x = third / 2 + static_cast<int>(random.Next() % std::max(1, mWidth - third));
    AddBonusText("+" + std::to_string(value) + " PTS", x, 240, nullptr);
    // Rising, the points go before they reach the line that tells what to do.
    mBonusTexts.back()->mCeiling = TreasureLineBaseline() + TREASURE_LINE_ROOM;
    ++mTreasureWordsDone;
    mAssets.PlaySound(TreasureCountSound(mTreasureWordsDone));
    for (int i = 0; i < 50; ++i)
        AddBubble(200 + static_cast<int>(random.Next() % 240), 280);
    mAssets.PlaySound(SOUND_DIVERENTERS);
}

// Marks a correct first letter on a creature typed to its end.
void Board::CountWordHit()
{
    ++mLettersHit;
    ++mAccuracyHits;
    mLetterHit = true;
    mWordTimer->Reset();
    if (!IntroDone())
        mHitFlash = true;
}

void Board::TypeCreatureLetter(char key)
{
    if (mWaveCleared && mBoss == nullptr)
        return;
    if (mBoss != nullptr && BossHealth() == 0)
        return;

    if (mLockedEnemy != nullptr) {
        if (TryLockEnemy(key, mLockedEnemy)) {
            if (CountsForAccuracy())
                ++mAccuracyHits;
            ++mLettersHit;
            mLetterHit = true;
            return;
        }
        mAssets.PlaySound(SOUND_WRONG);
        if (WaveKindInPlay() != WAVE_BONUS && mBoss == nullptr)
            mLockedEnemy->SetState(6);
        ShowMessage(TypoText(key));
        if (CountsForAccuracy())
            ++mAccuracyMisses;
        ++mTypos;
        CountPenaltyTypo();
        return;
    }

    // One creature per letter: the passes stop at the first that locks.
    for (Shark* shark : mSharks) {
        if (shark->mX + 20 < mWidth && shark->mActive && TryLockEnemy(key, shark)) {
            CountWordHit();
            return;
        }
    }
    for (Piranha* piranha : mPiranhas) {
        if (piranha->mX + 20 < mWidth && piranha->mActive && TryLockEnemy(key, piranha)) {
            ++mLettersHit;
            mLetterHit = true;
            ClearLock();
            return;
        }
    }
    for (BonusCreature* creature : mBonusCreatures) {
        if (creature->mY + 20 < mHeight && creature->mActive && !creature->mTaken && TryLockEnemy(key, creature)) {
            CountWordHit();
            return;
        }
    }
    if (mBoss != nullptr && TryLockBossShot(key)) {
        ++mLettersHit;
        mLetterHit = true;
        if (CountsForAccuracy())
            ++mAccuracyHits;
        mWordTimer->Reset();
        return;
    }

    mAssets.PlaySound(SOUND_WRONG);
    if (CountsForAccuracy())
        ++mAccuracyMisses;
    ++mTypos;
    ShowMessage(TypoText(key));
    CountPenaltyTypo();
}

void Board::CountPenaltyTypo()
{
    if (WaveKindInPlay() != WAVE_PIRANHAS)
        return;
    const int phase = mPlayer->mState;
    if (++mPenaltyTypos >= mConfig->GetLevelSettings().NumForPenalty &&
        (phase == Player::BOSS_FIGHT || phase == Player::PLAYING || phase == Player::FLOOR_REACHED)) {
        mPenaltyTypos = 0;
        SpawnPenaltyCreature();
    }
}

void Board::SpawnPenaltyCreature()
{
    if (std::all_of(mPiranhas.begin(), mPiranhas.end(), [](Piranha* p) { return p->mState == Piranha::DYING; }))
        return;
    const std::string letter = TakeLabelLetter();
    if (letter.empty())
        return;
    auto* piranha = new RedPiranha(mApp, mPlayer);
    piranha->SetX(mWidth - 50);
    // A tall status bar leaves no band to draw from: the band is at least one pixel.
    const unsigned band = static_cast<unsigned>(std::max(1, mPlayAreaBottom - 25 - 100));
    piranha->SetY(25 + static_cast<int>(mApp->GetGameRandom().Next() % band));
    piranha->SetWord(letter);
    piranha->SetVelX(mConfig->GetLevelSettings().PenaltySpeed);
    if (++mPenaltyCreatures >= 6) {
        mPenaltySpeedFactor *= 1.7;
        piranha->SetVelX(0.4 * mPenaltySpeedFactor);
    }
    mPiranhas.push_back(piranha);
    mWaveCleared = false;
}

} // namespace Zant
