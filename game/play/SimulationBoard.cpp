// What the board does in simulation mode: it types by itself, confirms level ends and
// game over, fires the zapper when danger is near, and feeds the result records.
// The air tank refills while the end timer runs.
#include "game/creatures/BonusCreature.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/Shark.h"
#include "game/play/Board.h"
#include "game/play/Player.h"
#include "game/common/Simulation.h"
#include "game/play/SimulationTypist.h"
#include "framework/app/ZantApp.h"
#include "framework/util/MersenneTwister.h"
#include "game/assets/GameAssets.h"
#include "game/play/BoardHost.h"

namespace Zant {

namespace {

constexpr int CONTINUE_BUTTON = 300;
// The game-over dialog's second button.
constexpr int GAME_OVER_CONTINUE = Board::GAME_OVER_DIALOG + 3000;

// Swimmers report their speed across the field, jellyfish their rise.
double RecordedSpeed(Enemy* creature) { return creature->GetSpeed(); }
double RecordedSpeed(BonusCreature* creature) { return creature->mVelY; }

template <typename T>
void RecordCreatures(const std::vector<T*>& list, size_t first, SimWaveRecord& wave)
{
    for (size_t i = first; i < list.size(); ++i) {
        wave.words.push_back(list[i]->mWord);
        wave.speeds.push_back(RecordedSpeed(list[i]));
    }
}

} // namespace

bool Board::SimulationLevelStart()
{
    SimulationHarness& sim = Simulation();
    sim.mCurrentLevel = mConfig ? mConfig->GetLevel() : 0;
    sim.mLevelShown = mPlayer->mLevelIndex + 1;
    sim.mLives = mPlayer->mLives;
    sim.mScore = mPlayer->mScore;
    sim.mGameDifficulty = Difficulty();
    // The finished level is reported, and this level's waves start a new record.
    sim.DumpSimulationLevelData(false);
    sim.mLog.emplace_back();
    if (sim.mMaxLevels != -1 && mPlayer->mLevelIndex >= sim.mMaxLevels) {
        sim.WriteSimulationGameResult(-1, mPlayer->mLevelIndex + 1, mPlayer->mScore);
        if (sim.mEndGame)
            sim.mEndGame(false);
        return true;
    }
    return false;
}

bool Board::SimulationTypeStep()
{
    SimulationTypist::Step(*this, Simulation().mCurrent, mApp->GetGameRandom(), Simulation());
    // A pearl level's end waits for the space bar instead of a level-complete phase:
    // the simulated player confirms it as it confirms any level's end.
    if (mPlayer->mState != Player::TALLY || mConfig == nullptr || !mConfig->IsSpecialLevel() || mPaused)
        return false;
    SimulationLevelComplete();
    return true;
}

void Board::SimulationLevelComplete()
{
    SimulationHarness& sim = Simulation();
    sim.mScore = mPlayer->mScore;
    sim.mLives = mPlayer->mLives;
    sim.SimulationDumpString(SimFormat("GAME REPORTS WPM AS: %d", GetAdjustedWpm()));
    mApp->PressCommand(CONTINUE_BUTTON);
}

void Board::SimulationGameOver()
{
    SimulationHarness& sim = Simulation();
    sim.CurrentWave().diedOn = true;
    sim.mScore = mPlayer->mScore;
    sim.mLives = mPlayer->mLives;
    sim.DumpSimulationLevelData(false);
    if (IsAbyss())
        sim.WriteSimulationAbyssDepth(mAbyssDepth);
    sim.WriteSimulationGameResult(mConfig ? mConfig->GetLevel() : 0, mPlayer->mLevelIndex + 1, mPlayer->mScore);
    // The game-over dialog never waits for a person.
    mApp->PressCommand(GAME_OVER_CONTINUE);
}

void Board::SimulationAddingEntry(int kind, int type)
{
    static const char* const KINDS[] = {"shark", "piranha", "bonus", "boss"};
    const char* name = kind >= 0 && kind <= 3 ? KINDS[kind] : "unknown";
    Simulation().SimulationDumpString(SimFormat("$$$$$ Adding %s type %d $$$$$", name, type));
}

void Board::SimulationRecordWave(int kind, int waveNumber, size_t firstShark, size_t firstPiranha, size_t firstBonus)
{
    SimulationHarness& sim = Simulation();
    SimWaveRecord wave;
    wave.waveType = kind;
    wave.waveNumber = waveNumber;
    RecordCreatures(mSharks, firstShark, wave);
    RecordCreatures(mPiranhas, firstPiranha, wave);
    RecordCreatures(mBonusCreatures, firstBonus, wave);
    wave.enemyCount = static_cast<int>(wave.words.size());
    sim.CurrentLevel().waves.push_back(std::move(wave));
    sim.DumpSimulationLevelData(true);
    if (kind == WAVE_BOSS) {
        sim.mScore = mPlayer->mScore;
        sim.mLives = mPlayer->mLives;
        sim.DumpSimulationLevelData(false);
    }
}

void Board::SimulationSkipToBoss(int previousKind, int previousIndex)
{
    SimulationHarness& sim = Simulation();
    sim.SimulationDumpString(SimFormat("CHANGING SWD FROM PREVIOUS ENEMY TYPE/WAVE NUM OF: %d / %d TO: %d / %d",
                                       previousKind, previousIndex, mConfig->GetWaveKind(),
                                       mConfig->GetWaveIndex()));
    if (IsAbyss())
        sim.WriteSimulationAbyssDepth(mAbyssDepth);
}

void Board::SimulatorFireZapper()
{
    const int phase = mPlayer->mState;
    const bool calm = phase == Player::PLAYING || (phase == Player::FLOOR_REACHED && mEndTimer <= 0.0);
    if (!calm || mPlayer->mCharge < 1.0 || mPlayer->mZapperFiring)
        return;
    Simulation().CurrentWave().usedZapper = true;
    mPlayer->mZapperFiring = true;
    mZapperAlpha = 255;
    mZapperFiring = true;
    mZapperUsed = true;
    mAssets.PlaySound(SOUND_EMP);
    ShowMessage("SIMULATOR AUTO-TRIGGERED EMP BLAST");
}

} // namespace Zant
