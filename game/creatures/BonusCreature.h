#pragma once
// The bonus jellyfish: rises from below carrying a word; typing it adds to the
// zapper charge. One that rises out of sight dies without a sound.
#include "game/creatures/Enemy.h"

namespace Zant {

class BonusCreature : public Enemy {
public:
    enum { RISING = 0, DYING = 3 };
    enum { SLOT_SWIM = 0, SLOT_DEATH = 2 };
    static constexpr int SWIM_CELS = 20;
    static constexpr int DEATH_CELS = 8;

    explicit BonusCreature(CreatureHost* app);

    void SetVelY(double v) override;
    void SetState(int state) override;
    void Update() override;
    void Draw(Graphics* g) override;

public:
    // A quarter of the vertical speed.
    double mDriftSpeed = 0.0;
    int mSrcX = 0;
    // Taken creatures are offered no letters.
    bool mTaken = false;
};

} // namespace Zant
