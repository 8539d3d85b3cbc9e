// A level played for 5000 updates by a scripted typist: the same seed gives the same
// waves, positions and score, and waves keep coming one after another.
#include <sstream>

#include "game/creatures/BonusCreature.h"
#include "game/creatures/Piranha.h"
#include "game/creatures/Shark.h"
#include "game/play/Player.h"
#include "tests/board/BoardFixture.h"

using namespace Zant;
using namespace BoardTests;
using namespace LevelFiles;

namespace {

class LongRun : public BoardFixture {
protected:
    // The next key of a typist who finishes the locked word, or starts on the
    // creature nearest the diver, one key every few updates.
    char NextKey()
    {
        if (Zant::Enemy* locked = board->mLockedEnemy) {
            const size_t typed = board->mTypedText.size();
            return typed < locked->mWord.size() ? locked->mWord[typed] : 0;
        }
        Zant::Enemy* nearest = nullptr;
        auto consider = [&](Zant::Enemy* creature, bool onScreen) {
            if (creature->mActive && creature->mState == 0 && onScreen && !creature->mWord.empty() &&
                (nearest == nullptr || creature->mX < nearest->mX))
                nearest = creature;
        };
        for (Shark* shark : board->mSharks)
            consider(shark, shark->mX + 20 < 640);
        for (Piranha* piranha : board->mPiranhas)
            consider(piranha, piranha->mX + 20 < 640);
        for (BonusCreature* jelly : board->mBonusCreatures)
            consider(jelly, jelly->mY + 20 < 480);
        return nearest ? nearest->mWord[0] : 0;
    }

    std::string Play(uint32_t seed)
    {
        const std::string level =
            Level(Sharks() + Wave("Piranhas", LevelFiles::Enemy("Blue")) + Sharks(Value("KnockBack", "5")) +
                  Wave("Bonus", LevelFiles::Enemy("Standard")) + Wave("Sharks", LevelFiles::Enemy("Black")));
        StartLevel(File(level));
        // A new game: the word pickers start afresh.
        app->mWordLists.ClearRecentWords();
        app->mWordLists.ClearThemeState();
        app->ResetUsedLetters();
        Reseed(seed);
        std::ostringstream trace;
        int waves = 0;
        for (int update = 1; update <= 5000; ++update) {
            const bool cleared = board->mWaveCleared;
            Run(1);
            if (cleared && !board->mWaveCleared) {
                ++waves;
                trace << "u" << update << " wave " << config->GetPrevWaveKind() << ":" << board->mSharks.size()
                      << "/" << board->mPiranhas.size() << "/" << board->mBonusCreatures.size();
                for (Shark* shark : board->mSharks)
                    trace << " " << shark->mWord << "@" << shark->mX << "," << shark->mY;
                trace << "\n";
            }
            // A typo now and then, to keep the penalty and flash paths busy.
            if (update % 23 == 0) {
                const char key = update % 230 == 0 ? '#' : NextKey();
                if (key)
                    board->HandleKeyChar(key);
            }
        }
        trace << "score " << board->mPlayer->mScore << " typos " << board->mTypos << " lives "
              << board->mPlayer->mLives;
        EXPECT_GE(waves, 3) << trace.str();
        EXPECT_GT(board->mPlayer->mScore, 0);
        return trace.str();
    }
};

} // namespace

TEST_F(LongRun, SameSeedSameLevel)
{
    const std::string first = Play(2024);
    const std::string second = Play(2024);
    EXPECT_EQ(first, second);
    EXPECT_NE(Play(7), first);
}
