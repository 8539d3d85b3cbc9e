#pragma once
// The shots a boss fires: each carries a word and flies left at the diver. Typing
// the word turns the shot round; flying back it strikes its boss's hull. A shot
// reports to its boss (never to the board directly) through its event queue.
#include "game/creatures/Enemy.h"

namespace Zant {

class Player;
class ProjectileBoss;

// Event codes of bosses and their shots, beside the creatures' own.
enum BossEvent {
    EVENT_BOSS_CREATED = 10,
    EVENT_FIGHT_STARTED = 11,
    EVENT_BOSS_KILLED = 12,
    EVENT_VOLLEY_FIRED = 13,
    EVENT_SHOT_HIT_DIVER = 19,
    EVENT_SHOT_HIT_BOSS = 20,
    EVENT_SHOT_LEFT_SCREEN = 21,
};

// Image table numbers of the bosses and their shots.
enum BossImageId {
    IMAGE_SHOT_TORPEDO = 57,
    IMAGE_SHOT_EXPLODE = 58,
    IMAGE_SHOT_TORPEDO_TURN = 59,
    IMAGE_BOSS_TORPEDO = 60,
    IMAGE_BOSS_TORPEDO_DEATH = 61,
    IMAGE_BOSS_TORPEDO_ROTOR = 63,
    IMAGE_SHOT_ROTOR = 68,
    IMAGE_SHOT_TRAIL = 73,
    IMAGE_BOSS_GALLEON = 212,
    IMAGE_SHOT_CANNONBALL = 213,
    IMAGE_BOSS_GALLEON_RUDDER = 214,
    IMAGE_BOSS_GALLEON_DEATH = 215,
    IMAGE_SHOT_CANNONBALL_TURN = 218,
    IMAGE_BOSS_MECHA = 219,
    IMAGE_BOSS_MECHA_FIN = 220,
    IMAGE_BOSS_MECHA_DEATH = 221,
    IMAGE_BOSS_SQUID = 222,
    IMAGE_BOSS_SQUID_DEATH = 223,
    IMAGE_BOSS_SQUID_EYE = 224,
    IMAGE_BOSS_SQUID_FIN = 225,
};

// A box of a boss's hull relative to the boss position, edges included; a right
// edge of -1 reaches the boss's right side.
struct HullBox {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

class Projectile : public virtual Enemy {
public:
    // States.
    enum {
        FLYING = 0,
        RETURNING = 1,
        EXPLODING = 3,
        FALLING = 4,
        TURNING = 6,
    };
    static constexpr int SLOTS = 8;

    Projectile(CreatureHost* app, ProjectileBoss* boss, Player* player);

    // Flying left into the diver during the boss fight.
    virtual bool HitsDiver();
    // Flying right into the boss (its whole box here; the kinds test their hulls).
    virtual bool HitsBoss();

    void Update() override;
    void Draw(Graphics* g) override;

    // Closed-interval overlap of two boxes given by their edges.
    static bool Overlaps(double left, double right, double top, double bottom, double left2, double right2,
                         double top2, double bottom2);

protected:
    // The shot's box against hull boxes placed at the boss, only while flying right.
    bool HitsHull(const HullBox* boxes, int count);

public:
    ProjectileBoss* mBoss;
    Player* mPlayer;
    int mDamage = 0;
    // Firing row 1 to 3, 0 for none.
    int mRow = 0;
    Font* mShotFont = nullptr;
};

class Torpedo : public Projectile {
public:
    static constexpr int BODY_CELS = 14;
    static constexpr int TURN_CELS = 6;
    static constexpr int EXPLODE_CELS = 8;
    static constexpr int TRAIL_CELS = 8;
    static constexpr int ROTOR_CELL = 11;
    static constexpr int TRAIL_CELL_WIDTH = 200;
    static constexpr int TRAIL_CELL_HEIGHT = 100;
    // Image slots.
    enum { SLOT_BODY = 0, SLOT_EXPLODE_LEFT = 2, SLOT_RETURNING = 3, SLOT_TURN = 6, SLOT_EXPLODE_RIGHT = 7 };

    Torpedo(CreatureHost* app, ProjectileBoss* boss, Player* player);

    bool HitsBoss() override;
    void TypeLetter() override;
    void Update() override;
    void SetState(int state) override;
    void Draw(Graphics* g) override;

protected:
    // The explosion of either family: by the direction it flew.
    void DrawExplosion(Graphics* g);
    void DrawTrail(Graphics* g);

public:
    // The launch bubbles behind a new shot: cells 0 to 7, gone at 8.
    int mTrailFrame = 0;
    bool mExplosionReported = false;
};

class MechaTorpedo : public Torpedo {
public:
    MechaTorpedo(CreatureHost* app, ProjectileBoss* boss, Player* player) : Enemy(app), Torpedo(app, boss, player) {}
    bool HitsBoss() override;
};

class CannonBall : public Torpedo {
public:
    static constexpr int CELL_WIDTH = 74;
    static constexpr int CELL_HEIGHT = 44;
    static constexpr int BALL_CELS = 12;
    static constexpr int TURN_CELS = 5;

    CannonBall(CreatureHost* app, ProjectileBoss* boss, Player* player);

    bool HitsBoss() override;
    void SetState(int state) override;
    void Draw(Graphics* g) override;
};

class SquidCannonBall : public CannonBall {
public:
    SquidCannonBall(CreatureHost* app, ProjectileBoss* boss, Player* player) : Enemy(app), CannonBall(app, boss, player) {}
    bool HitsBoss() override;
};

} // namespace Zant
