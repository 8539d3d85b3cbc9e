#pragma once
// Piranhas: small fish that come in packs and carry one letter each. The RedPiranha
// (the typo penalty) only looks different; the WhitePiranha carries a second letter
// and comes back once; the stealth kinds hide until close, like the stealth sharks.
#include <string>

#include "game/creatures/Enemy.h"
#include "game/creatures/StealthPart.h"

namespace Zant {

class Player;

class Piranha : public virtual Enemy {
public:
    // States.
    enum {
        SWIMMING = 0,
        TURNED = 1,
        HIDDEN = 2,
        DYING = 3,
        FLEEING = 4,
        BLINKING = 5,
    };
    // Image slots.
    enum { SLOT_SWIM = 0, SLOT_SHOCK = 1, SLOT_DEATH = 2, SLOT_MIRRORED = 3 };
    static constexpr int SWIM_CELS = 20;
    static constexpr int DEATH_CELS = 10;

    Piranha(CreatureHost* app, Player* player);

    // Swimming at the diver with its letter.
    virtual bool IsInPlay();

    void Update() override;
    void Draw(Graphics* g) override;
    void SetState(int state) override;

protected:
    // Slots 0-2 from the image table, slot 3 from the piranha image map.
    void SetSlotImages(int swim, int shock, int death, int mapType);
    void SetCurrentSlot(int slot) { mCurImage = GetImage(slot); }
    // The sprite, then the letter at textOffsetX in the given colour.
    void DrawPiranha(Graphics* g, int textOffsetX, const Color& wordColor);

public:
    bool mBiteSoundPlayed = false;
    Player* mPlayer;
    double mEntrySpeed = -1.0;
    bool mAtDiver = false;
    int mSrcX = 0;
};

class RedPiranha : public Piranha {
public:
    RedPiranha(CreatureHost* app, Player* player);
};

class WhitePiranha : public virtual Piranha {
public:
    WhitePiranha(CreatureHost* app, Player* player);

    void SetSecondWord(const std::string& word) { mSecondWord = word; }

    bool IsInPlay() override;
    void SetState(int state) override;
    void TypeLetter() override;

public:
    std::string mSecondWord;
};

class StealthPiranha : public virtual Piranha, public StealthPart {
public:
    static constexpr double CAME_CLOSE_X = 610.0;

    StealthPiranha(CreatureHost* app, Player* player);

    virtual void SetStopped(bool hidden);
    virtual void RestoreSpeed() { mVelX = mTargetSpeed; }

    double GetSpeed() override { return mTargetSpeed; }
    void SetVelX(double v) override;
    void SetState(int state) override;
    void Update() override;
    void Draw(Graphics* g) override;

protected:
    void SetStealthImages(int stealthType, int visibleType);
    void UpdateStealth();
    // After the visible form's SetState: the swim or death strip of the right table,
    // optionally with the frame size taken from it.
    void ChooseStealthImage(int requested, bool resize);
};

class StealthWhitePiranha : public StealthPiranha, public WhitePiranha {
public:
    StealthWhitePiranha(CreatureHost* app, Player* player);

    void SetState(int state) override;
};

} // namespace Zant
