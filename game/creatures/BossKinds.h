#pragma once
// The boss kinds built on the torpedo boss: the ghost ship with its one-letter
// cannon balls, the mechanical shark and the mechanical squid.
#include "game/creatures/ProjectileBoss.h"

namespace Zant {

// A frame that runs back and forth between 0 and last: a step that would pass an
// end turns round instead, so each end shows twice.
void StepBackAndForth(int& frame, bool& rising, int last);

class GhostShip : public TorpedoBoss {
public:
    static const BossKind KIND;
    static constexpr int RUDDER_PERIOD = 13;

    GhostShip(CreatureHost* app, Player* player, Config* config);

    static BossAbyssTuning AbyssTuning(int depth);

    // One letter that no shot of this boss carries yet.
    std::string GetShotWord(int minDiff, int maxDiff) override;
    Projectile* CreateShot() override;
    void Update() override;

protected:
    GhostShip(CreatureHost* app, Player* player, Config* config, const BossKind& kind);
    void DrawParts(Graphics* g) override;

public:
    // The second animated part: the rudder (the squid's arm tips).
    int mPart2Frame = 0;
    bool mPart2Rising = true;
    int mPart2CellHeight = 47;
    int mPart2CellWidth = 21;
    int mPart2Cels = 5;
};

class MechaShark : public TorpedoBoss {
public:
    static const BossKind KIND;
    static constexpr int BODY_CELS = 10;

    MechaShark(CreatureHost* app, Player* player, Config* config);

    static BossAbyssTuning AbyssTuning(int depth);

    Projectile* CreateShot() override;
    void SetState(int state) override;

protected:
    // The tail turns with the body's own frame.
    void DrawParts(Graphics* g) override;
};

class MechaSquid : public GhostShip {
public:
    static const BossKind KIND;
    static constexpr int FIN_PERIOD = 5;
    static constexpr int EYE_PERIOD = 8;
    static constexpr int EYE_CELS = 5;

    MechaSquid(CreatureHost* app, Player* player, Config* config);

    static BossAbyssTuning AbyssTuning(int depth);

    Projectile* CreateShot() override;
    void Update() override;

protected:
    void DrawParts(Graphics* g) override;

public:
    int mEyeFrame = 0;
    bool mEyeRising = true;
};

} // namespace Zant
