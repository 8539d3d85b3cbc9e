#pragma once
// A pale-yellow hover tip: once armed it shows itself after a delay and hides itself
// after a display time, both counted in game time by its own timer. It is a top-level
// widget of its own: its owner adds it with itself and keeps it in front.
#include <string>

#include "framework/graphics/Color.h"
#include "framework/widgets/Widget.h"

namespace Zant {

class BTTimer;
class Font;

class TooltipWidget : public Widget {
public:
    TooltipWidget();
    ~TooltipWidget() override;

    // Keeps the position; the size follows the text.
    void SetText(const std::string& text, Font* font);
    std::string GetText() const { return mText; }
    // true arms the tip (it shows after the delay); false hides it.
    void SetShown(bool shown);

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Update() override;
    void Draw(Graphics* g) override;

public:
    BTTimer* mTimer;
    bool mShowing = false;
    bool mInDisplayTime = false;
    bool mArmed = true;
    std::string mText;
    Font* mFont = nullptr;
    Color mBackColor{255, 255, 225};
    Color mTextColor{0, 0, 0};
    int mShowDelay = 1000;
    int mDisplayTime = 2000;
};

} // namespace Zant
