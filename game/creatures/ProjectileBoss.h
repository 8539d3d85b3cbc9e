#pragma once
// The bosses: large creatures that swim in from the right, bob in front of the
// diver and fire volleys of word-carrying shots during the boss fight. A shot typed
// back that strikes the hull takes its damage off the boss's health; at none left
// the boss dies, explodes and rises out of the screen.
#include <vector>

#include "game/creatures/BossShot.h"

namespace Zant {

class BTTimer;
class Config;
class Player;

// Abyss tuning of a boss at a depth.
struct BossAbyssTuning {
    int health = 0;
    double minMissileSpeed = 0.0;
    double maxMissileSpeed = 0.0;
    int minWord = 0;
    int maxWord = 0;
};

class ProjectileBoss : public Enemy {
public:
    // States.
    enum {
        SWIMMING_IN = 0,
        DYING = 3,
        WAITING = 6,
        FIGHTING = 7,
        HIT = 8,
    };
    static constexpr double ENTRY_SPEED = 0.5;
    static constexpr int WAIT_MS = 999;

    ProjectileBoss(CreatureHost* app, Player* player, Config* config);
    // Takes the fire timer out of the widget manager and deletes it with every shot
    // still alive.
    ~ProjectileBoss() override;

    // Bobbing between the vertical bounds; strafing between the horizontal ones
    // while fighting.
    virtual void Move();
    // Reads the shot's events; true when the shot must be removed.
    virtual bool HandleShotEvents(Projectile* shot) { return false; }
    // The board was paused for ms: the boss's timers leave that time out, as the
    // board's own do, so no volley is due the moment play resumes.
    virtual void AddPausedTime(int ms);

    void Update() override;
    void SetState(int state) override;

    bool IsDying() const { return mState == DYING; }
    int GetHealth() const { return mHealth; }
    int GetMaxHealth() const { return mMaxHealth; }
    const std::vector<Projectile*>& GetShots() const { return mShots; }

protected:
    bool IsAbyss() const;
    // Removes a shot from the list and deletes it; the board's lock on it goes first.
    void DeleteShot(size_t index);

public:
    Player* mPlayer;
    Config* mConfig;
    std::vector<Projectile*> mShots;
    BTTimer* mFireTimer = nullptr;
    double mTimeToFire = 0.0;
    int mHealth = 100;
    int mMaxHealth = 100;
    // Vertical speed.
    double mBobSpeed = 0.0;
    double mStrafeSpeed = 0.0;
    double mMinY = 0.0;
    double mMaxY = 0.0;
    double mMinX = 0.0;
    double mMaxX = 0.0;
    int mAlpha = 255;
    bool mRemoveQueued = false;
};

// One explosion of a dying boss.
struct BossExplosion {
    int frame = 0;
    double x = 0.0;
    double y = 0.0;
};

// What sets one boss kind apart from another: images, animated part, movement
// bounds, firing rows and abyss tuning.
struct BossKind {
    int bodyImage = 0;
    int deathImage = 0;
    // The animated part drawn over the body: strip, cell width (its height is the
    // strip's unless given), offset.
    int partImage = 0;
    int partCellWidth = 0;
    int partCellHeight = 0;
    int partX = 0;
    int partY = 0;
    // Body animation cels (the part's frame follows the body's).
    int bodyCels = 1;
    // Horizontal bounds: from the right edge, and the span (-1: half the body width).
    int minXFromRight = 265;
    int xSpan = -1;
    // Top bound; -1: 160 above the lowest position.
    int minY = -1;
    int rowOffsets[3] = {};
    // The sonar ping every two seconds while alive.
    bool periodicSound = true;
    BossAbyssTuning (*abyssTuning)(int depth) = nullptr;
};

class TorpedoBoss : public ProjectileBoss {
public:
    static constexpr int EXPLOSION_CELS = 8;
    static constexpr int SOUND_MS = 1999;
    static const BossKind KIND;

    TorpedoBoss(CreatureHost* app, Player* player, Config* config);
    ~TorpedoBoss() override;

    static BossAbyssTuning AbyssTuning(int depth);

    // A word for a new shot; the bounds are word lengths.
    virtual std::string GetShotWord(int minDiff, int maxDiff);
    // The kind's shot, released, 100 pixels ahead of the boss.
    virtual Projectile* CreateShot();

    bool HandleShotEvents(Projectile* shot) override;
    void AddPausedTime(int ms) override;
    void Update() override;
    void Draw(Graphics* g) override;

    // The animation frame delay of a shot flying at a speed.
    static int ShotFrameDelay(double speed);
    int CountFlyingShots() const;
    bool HasFreeRow() const;

protected:
    TorpedoBoss(CreatureHost* app, Player* player, Config* config, const BossKind& kind);

    // Puts a new shot 100 pixels ahead of the boss and releases it.
    Projectile* Launch(Projectile* shot);
    // Fires when the fire timer, the fight and a free row allow.
    void TryVolley();
    // A new shot placed on a free row that keeps clear of the boss's flying shots;
    // null when no row takes it.
    Projectile* PlaceShot();
    void UpdateExplosions();
    // The body, or the white death image with the explosions, then the shots.
    void DrawBoss(Graphics* g);
    virtual void DrawParts(Graphics* g);
    void DrawPart(Graphics* g, Image* strip, int frame, int cellWidth, int cellHeight, int offsetX, int offsetY);
    void FreeRow(const Projectile* shot);

public:
    const BossKind* mKind;
    BTTimer* mSoundTimer = nullptr;
    int mMinMissiles = 0;
    int mMaxMissiles = 0;
    double mMinMissileSpeed = 0.0;
    double mMaxMissileSpeed = 0.0;
    int mMinWord = 0;
    int mMaxWord = 0;
    int mRowOffsets[3] = {};
    bool mRowTaken[3] = {};
    std::vector<BossExplosion> mExplosions;
    Image* mPartImage = nullptr;
    int mPartX = 0;
    int mPartY = 0;
    int mPartCellWidth = 0;
    int mPartFrame = 0;
    int mPartCels = 1;
};

} // namespace Zant
