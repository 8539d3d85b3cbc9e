#pragma once
// The push button: drawn from up to four images (normal, over, down, disabled) or,
// without images, in the stock grey bevel. It reports presses, releases over it and
// one tick per update while held to a ButtonListener by id, and fades its over image
// out after the mouse leaves.
#include <string>

#include "framework/widgets/Widget.h"

namespace Zant {

class ButtonListener;
class Font;

class ButtonWidget : public Widget {
public:
    ButtonWidget(int id, ButtonListener* listener);
    ~ButtonWidget() override;

    // Keeps a copy of the font (null: none, the default is made when drawn).
    virtual void SetFont(Font* font);
    // Pressed and still under the mouse, and enabled.
    virtual bool IsButtonDown();

    void SetDisabled(bool disabled) override;
    void Draw(Graphics* g) override;
    void Update() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(int x, int y, int clickCount) override;
    using Widget::MouseUp;
    void MouseUp(int x, int y) override;

public:
    int mId;
    std::string mLabel;
    Font* mFont = nullptr; // owned copy
    Image* mButtonImage = nullptr;
    Image* mOverImage = nullptr;
    Image* mDownImage = nullptr;
    Image* mDisabledImage = nullptr;
    bool mInverted = false;
    bool mBtnNoDraw = false;
    ButtonListener* mButtonListener;
    double mOverAlpha = 0.0;
    double mOverAlphaSpeed = 1.0;

protected:
    // The caption font, made on first use when none was set.
    Font* CaptionFont(int defaultPointSize);
    // Whether entering or leaving changes nothing that is drawn.
    bool LooksTheSameOver();
    void DrawStock(Graphics* g, bool down);
};

} // namespace Zant
