#pragma once
// The diver: score, lives, the Dozav Odaziz charge and beam, the extra-life schedule,
// and the descent, death and game-over animation states.
#include "game/common/GameObject.h"

namespace Zant {

class BoardHost;
class Image;

class Player : public GameObject {
public:
    // Player states (phases).
    enum {
        PLAYING = 0,
        DESCENDING = 1,
        RISING = 2,
        EATEN = 3,
        FLOOR_REACHED = 4,
        TREASURE_WORD = 5,
        TALLY = 6,
        LEVEL_COMPLETE = 7,
        GAME_OVER = 8,
        BOSS_FIGHT = 9,
        HIT_BY_SHOT = 10,
        BOSS_BEATEN = 11,
        BOSS_TALLY = 12,
    };

    explicit Player(BoardHost* app);

    void Update() override;
    void Draw(Graphics* g) override;
    void SetState(int state) override;
    // Adds points; may give one extra life per call.
    void AddScore(int points);
    // Sets the score and the next extra-life score after it.
    void SetScore(int score);
    void SetReadyForWave(bool ready) { mReadyForWave = ready; }

    // The extra-life score that follows threshold on a difficulty's schedule; 0 for a
    // difficulty without one.
    static int NextExtraLifeAfter(int difficulty, int threshold);
    static int FirstExtraLife(int difficulty) { return NextExtraLifeAfter(difficulty, -1); }

public:
    BoardHost* mApp;
    int mScore = 0;
    double mCharge = 0.0;
    bool mZapperFiring = false;
    double mBeamX = 0.0;
    int mLives = 2;
    int mLevelIndex = 0;
    bool mReadyForWave = false;
    int mHoseFrame = 0;
    bool mHoseRising = false;
    double mBaseY = 0.0;
    int mAlpha = 0;
    int mDeathCycles = 0;
    int mNextExtraLife = 0;
    bool mNoExtraLives = false;
    bool mExtraLifeEarned = false;
    int mDifficulty = 0;

private:
    Image* AppImage(int index) const;
    int AppImageHeight(int index) const;
};

} // namespace Zant
