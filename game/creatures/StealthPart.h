#pragma once
// What a stealth creature adds: the see-through images it shows while hidden, the
// speed it is meant to swim at once visible, and the faint word.
#include <vector>

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

} // namespace Zant
