#pragma once
// Stealth sharks enter half transparent with their word faint and show themselves
// only close to the diver. While hidden, speeds the board sets only change the speed
// the shark will slow to once it is visible.
#include "game/creatures/Shark.h"
#include "game/creatures/StealthPart.h"

namespace Zant {

class StealthShark : public virtual Shark, public StealthPart {
public:
    static constexpr double CAME_CLOSE_X = 600.0;

    explicit StealthShark(CreatureHost* app);

    // Hidden (true) or visible; a visible shark shows its ordinary swim strip.
    virtual void SetStopped(bool hidden);
    virtual void RestoreSpeed() { mVelX = mTargetSpeed; }

    double GetSpeed() override { return mTargetSpeed; }
    void SetVelX(double v) override;
    void SetState(int state) override;
    void Update() override;
    void Draw(Graphics* g) override;

protected:
    // The see-through images of a shark-map type and the mirrored strip of the
    // visible form's type.
    void SetStealthImages(int stealthType, int visibleType);
    // The steps after the shark's own update: showing itself, slowing to the target,
    // the came-close event.
    void UpdateStealth();
    // After the visible form's SetState: the swim or death strip of the right table.
    void ChooseStealthImage(int requested);
};

class StealthBlackShark : public StealthShark, public BlackShark {
public:
    explicit StealthBlackShark(CreatureHost* app);

    void SetState(int state) override;
};

class StealthRedShark : public RedShark, public StealthShark {
public:
    explicit StealthRedShark(CreatureHost* app);

    void SetState(int state) override;
};

} // namespace Zant
