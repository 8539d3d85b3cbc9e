#pragma once
// Game time in milliseconds, counted by updates: an invisible widget that adds 10 ms
// on every update it receives, so it follows the game's simulated clock and stands
// still when updates stop. The owner adds it to the widget manager (or updates it
// itself) and takes pauses out through mPausedTotal.
#include "framework/widgets/Widget.h"

namespace Zant {

class BTTimer : public Widget {
public:
    static constexpr int MS_PER_UPDATE = 10;

    BTTimer();
    ~BTTimer() override = default;

    // Stops (true) or restarts the timer's report; the clock keeps running and
    // nothing is marked dirty.
    void SetDisabled(bool stopped) override { mStopped = stopped; }
    void Update() override { mUpdateCnt += MS_PER_UPDATE; }

    virtual void Reset();
    // Milliseconds since Reset less the paused total; 0 while stopped. May be negative
    // when the owner adds more paused time than has passed.
    virtual int GetElapsed();

public:
    int mStartCount = 0;
    int mPausedTotal = 0;
    bool mStopped = false;
};

} // namespace Zant
