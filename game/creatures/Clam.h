#pragma once
// A clam of the pearl game on the sea floor: typing its letter opens it to show what
// it holds, and the board closes it again.
#include "game/creatures/Enemy.h"

namespace Zant {

class Clam : public Enemy {
public:
    // States.
    enum { IDLE = 0, OPENING = 1, CLOSING = 2, OPEN = 3, SHOWING_LETTER = 4 };
    static constexpr int COLUMNS = 10;
    static constexpr int ROWS = 4;

    // content 0, 1 or 2: the row shown while open; contents other than 0 report when
    // the clam starts to open.
    Clam(CreatureHost* app, int content);

    void SetState(int state) override;
    void Update() override;
    void Draw(Graphics* g) override;

public:
    int mContent;
    // Row of the clams image (in frame heights) shown while open.
    int mContentRow = 0;
    bool mOpened = false;
    bool mPingUp = true;
};

} // namespace Zant
