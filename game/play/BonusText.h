#pragma once
// A floating text such as "+90 PTS": drifts up, turns from orange to red and fades.
#include <limits>
#include <string>

#include "game/common/GameObject.h"

namespace Zant {

class Font;

class BonusText : public GameObject {
public:
    // State 1: finished; the board deletes the text.
    static constexpr int DONE = 1;

    BonusText(const std::string& text, Font* font);
    ~BonusText() override = default;

    void Update() override;
    void Draw(Graphics* g) override;

public:
    int mRed = 255;
    int mGreen = 180;
    int mBlue = 60;
    int mAlpha = 255;
    // The highest its letters may rise: there it is finished, whatever its fade.
    int mCeiling = std::numeric_limits<int>::min();
    std::string mText;
    Font* mFont;
};

} // namespace Zant
