#pragma once
// Sharks that glow: the ToxicShark shuffles the untyped letters of its word at
// intervals; the GhostShark shows its typed letters in red. Both draw an additive
// glow strip behind the body.
#include "game/creatures/Shark.h"

namespace Zant {

class BTTimer;

class ToxicShark : public Shark {
public:
    static constexpr int FIRST_MUTATE_INTERVAL = 1000;

    explicit ToxicShark(CreatureHost* app);
    ~ToxicShark() override;

    void TypeLetter() override;
    void Update() override;
    void Draw(Graphics* g) override;

    // The interval after a typed letter on a difficulty.
    static int MutateIntervalFor(int difficulty);

protected:
    // Shuffles the untyped letters (never the first letter while nothing is typed).
    void MutateLetters();

public:
    int mMutateInterval = FIRST_MUTATE_INTERVAL;
    BTTimer* mMutateTimer = nullptr;
};

class GhostShark : public Shark {
public:
    explicit GhostShark(CreatureHost* app);

    void Draw(Graphics* g) override;
};

} // namespace Zant
