#include "game/play/SimulationTypist.h"

#include "framework/util/MersenneTwister.h"
#include "game/creatures/BonusCreature.h"
#include "game/creatures/BossShot.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/ProjectileBoss.h"
#include "game/creatures/Shark.h"
#include "game/play/Board.h"
#include "game/play/Player.h"

namespace Zant {

namespace {

// Creatures further right than this are still coming in and are not aimed at yet.
constexpr int SHARK_MARGIN = 100;
constexpr int PIRANHA_MARGIN = 60;
constexpr int JELLYFISH_MARGIN = 100;

char FirstLetter(const Enemy* creature) { return creature->mWord.empty() ? 0 : creature->mWord[0]; }

} // namespace

char SimulationTypist::AimedKey(Board& board, SimulationHarness& log)
{
    if (!board.mTreasureWord.empty()) {
        const size_t typed = static_cast<size_t>(std::max(0, board.mTreasureTyped));
        return typed < board.mTreasureWord.size() ? board.mTreasureWord[typed] : 0;
    }
    if (Enemy* locked = board.mLockedEnemy) {
        log.SimulationDumpString(SimFormat("##### Num words typed: %d, mLettersTyped = %s #####",
                                           static_cast<int>(board.mTypedText.size()), board.mTypedText.c_str()));
        const size_t typed = board.mTypedText.size();
        return typed < locked->mWord.size() ? locked->mWord[typed] : DONE_KEY;
    }
    for (Shark* shark : board.mSharks)
        if (shark->mActive && shark->mState == 0 && shark->mX < board.mWidth - SHARK_MARGIN && FirstLetter(shark))
            return FirstLetter(shark);
    for (Piranha* piranha : board.mPiranhas)
        if (piranha->mActive && piranha->mState == 0 && piranha->mX < board.mWidth - PIRANHA_MARGIN &&
            FirstLetter(piranha))
            return FirstLetter(piranha);
    for (BonusCreature* jelly : board.mBonusCreatures)
        if (jelly->mActive && jelly->mState == 0 && jelly->mY < board.mHeight - JELLYFISH_MARGIN && FirstLetter(jelly))
            return FirstLetter(jelly);
    if (board.mBoss != nullptr)
        for (Projectile* shot : board.mBoss->GetShots())
            if (shot->mActive && shot->mState == Projectile::FLYING && FirstLetter(shot))
                return FirstLetter(shot);
    return 0;
}

char SimulationTypist::Step(Board& board, const SimulationEntry& entry, MersenneTwister& random,
                            SimulationHarness& log)
{
    // The draws happen every update, pressed or not, so that a run's random sequence
    // depends only on the entry.
    const uint32_t r = random.Next();
    int chance = entry.accuracy;
    if (entry.burstChance != -1 && static_cast<int>(random.Next() % 100) < entry.burstChance)
        chance = 100 - static_cast<int>(random.Next() % 6);
    const bool hit = static_cast<int>(r % 100) < chance;

    const int delay = std::max(1, entry.keyDelay);
    if (board.mUpdateCnt % delay != 0)
        return 0;
    const int phase = board.mPlayer->mState;
    const bool treasure = !board.mTreasureWord.empty();
    if (!treasure && phase != Player::PLAYING && phase != Player::BOSS_FIGHT && phase != Player::FLOOR_REACHED)
        return 0;
    const char aimed = AimedKey(board, log);
    if (aimed == 0)
        return 0;
    const char key = hit ? aimed : MISS_KEY;
    board.HandleKeyChar(key);
    return key;
}

} // namespace Zant
