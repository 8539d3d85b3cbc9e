#pragma once
// What a stealth creature adds: the see-through images it shows while hidden, the
// speed it is meant to swim at once visible, and the faint word; and the steps the
// stealth sharks and piranhas share, written once for a creature class with their
// swim states, image slots and cel counts.
#include <vector>

#include "game/creatures/Enemy.h"

namespace Zant {

class Image;

struct StealthPart {
    static constexpr int IMAGE_SLOTS = 6;
    static constexpr int REVEAL_X = 400; // the creature shows itself here
    static constexpr double SLOW_DOWN = 0.02;

    // Slot 0 see-through swim strip, 2 see-through death strip, 3 the mirrored swim
    // strip of the visible form.
    std::vector<Image*> mStealthImages = std::vector<Image*>(IMAGE_SLOTS, nullptr);
    double mTargetSpeed = 1.0;
    // Set once the came-close event was pushed.
    bool mRevealed = false;
    int mStealthAlpha = 50;
};

// Hidden (true) or visible; a visible creature shows its ordinary swim strip.
template <typename Creature>
void ShowStealthed(Creature& c, bool hidden)
{
    c.mStealthed = hidden;
    if (!hidden)
        c.mCurImage = c.GetImage(Creature::SLOT_SWIM);
}

// While hidden, a speed set only changes the speed to slow to once visible.
template <typename Creature>
void SetStealthSpeed(Creature& c, double v)
{
    c.mTargetSpeed = v;
    if (!c.mStealthed)
        c.mVelX = v;
}

// The steps after the creature's own update: showing itself, slowing to the target,
// the came-close event.
template <typename Creature>
void UpdateStealthOf(Creature& c)
{
    if (c.mStealthed) {
        if (c.mX <= StealthPart::REVEAL_X)
            c.SetStopped(false);
    } else if (c.mTargetSpeed < c.mVelX && c.mState == Creature::SWIMMING) {
        c.mVelX -= StealthPart::SLOW_DOWN;
        if (c.mVelX < c.mTargetSpeed)
            c.mVelX = c.mTargetSpeed;
    }
    if (!c.mRevealed && c.mX <= Creature::CAME_CLOSE_X) {
        c.mRevealed = true;
        c.PushEvent(EVENT_CAME_CLOSE);
    }
}

// After the visible form's SetState: the swim or death strip of the right table
// (see-through while hidden). Judged by the state the creature is in now, since a
// multi-word creature asked to die may have come back swimming. Returns the cels of
// the strip chosen, 0 when none was.
template <typename Creature>
int ChooseStealthStrip(Creature& c, int requested)
{
    if (requested != Creature::SWIMMING && requested != Creature::DYING)
        return 0;
    const bool swimming = c.mState == Creature::SWIMMING;
    if (!swimming && c.mState != Creature::DYING)
        return 0;
    const int slot = swimming ? Creature::SLOT_SWIM : Creature::SLOT_DEATH;
    c.mCurImage = c.mStealthed ? c.mStealthImages[slot] : c.GetImage(slot);
    return swimming ? Creature::SWIM_CELS : Creature::DEATH_CELS;
}

} // namespace Zant
