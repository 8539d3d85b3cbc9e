#pragma once
// Sharks: the main creatures. A Shark swims in from the right edge toward the diver
// with one word; a BlackShark brings a second word that takes the first one's place,
// a RedShark a third.
#include <initializer_list>
#include <string>

#include "game/creatures/Enemy.h"

namespace Zant {

// The images of one glowing shark's look.
struct GlowImages {
    Image* glowSwim = nullptr;
    Image* bodySwim = nullptr;
    Image* glowMirrored = nullptr;
    Image* bodyMirrored = nullptr;
    Image* glowDeath = nullptr;
    Image* bodyDeath = nullptr;
    Image* shock = nullptr;
};

class Shark : public virtual Enemy {
public:
    // States.
    enum {
        SWIMMING = 0,
        TURNED = 1,
        DYING = 3,
        FLEEING = 4,
        BLINKING = 5,
        FLASHING = 6,
    };
    // Image slots.
    enum { SLOT_SWIM = 0, SLOT_SHOCK = 1, SLOT_DEATH = 2, SLOT_MIRRORED = 3, SLOT_RED = 4 };
    static constexpr int SWIM_CELS = 20;
    static constexpr int DEATH_CELS = 6;

    explicit Shark(CreatureHost* app);

    // Still swimming at the diver with its word.
    virtual bool IsInPlay();

    void Update() override;
    void Draw(Graphics* g) override;
    void SetState(int state) override;

protected:
    // Takes the images of a creature type of the shark image map for slots 3 and 4.
    void SetSlotImages(int swim, int shock, int death, int mapType);
    // The sprite at the draw position, then the word in the states that show it.
    void DrawShark(Graphics* g, const Color& wordColor, const Color& typedColor);
    // The glowing sharks' draw: an additive glow strip behind the body (GlowSharks.cpp).
    void DrawGlowing(Graphics* g, const GlowImages& look);
    void SetCurrentSlot(int slot) { mCurImage = GetImage(slot); }
    bool ShowsWord() const { return mState == SWIMMING || mState == FLEEING || mState == FLASHING; }

public:
    int mFlashCount = 0;
    int mFlashPeriod = 5;
    double mEntrySpeed = -1.0;
    bool mFlashOn = false;
    bool mAtDiver = false;
    int mSrcX = 0;
};

class BlackShark : public virtual Shark {
public:
    explicit BlackShark(CreatureHost* app);

    virtual std::string GetNextWord() { return mSecondWord; }
    void SetSecondWord(const std::string& word) { mSecondWord = word; }

    bool IsInPlay() override;
    void SetState(int state) override;
    void TypeLetter() override;

protected:
    // Counts a typed letter of the current word; at its end the first reserve word
    // that is not empty moves in, and with none left the shark lets its group go.
    void TypeLetterWithReserves(std::initializer_list<std::string*> reserves);

public:
    std::string mSecondWord;
};

class RedShark : public BlackShark {
public:
    explicit RedShark(CreatureHost* app);

    virtual std::string GetThirdWord() { return mThirdWord; }
    void SetThirdWord(const std::string& word) { mThirdWord = word; }

    void TypeLetter() override;

public:
    std::string mThirdWord;
};

} // namespace Zant
