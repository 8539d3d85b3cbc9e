#pragma once
// An image button whose normal, over and down images cross-fade as the mouse enters,
// leaves and presses it, with a tooltip above it.
#include "framework/widgets/ButtonWidget.h"

namespace Zant {

class TooltipWidget;

class FadeButton : public ButtonWidget {
public:
    static constexpr int DEFAULT_FADE_STEP = 27;

    FadeButton(int id, ButtonListener* listener);
    ~FadeButton() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void OrderInManagerChanged() override;
    void Resize(const Rect& rect) override;
    void Resize(int x, int y, int width, int height) override;
    void SetDisabled(bool disabled) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(int x, int y, int clickCount) override;
    using ButtonWidget::MouseUp;
    void MouseUp(int x, int y) override;
    void Update() override;
    void Draw(Graphics* g) override;

    // One step of the fade, on updates that the interval lets through.
    void AdvanceFade();

public:
    int mFadeAlpha = 255;
    bool mClickedOver = false;
    bool mFadeOnEnter = false;
    bool mFadeOnLeave = false;
    bool mFadeOnDown = false;
    bool mFadeOnUp = false;
    int mFadeInterval = 1;
    int mFadeStep = DEFAULT_FADE_STEP;
    TooltipWidget* mTooltip;
    bool mShowTooltip = true;

private:
    void PlaceTooltip();
    // The image drawn with the fade's alpha (white tint) when the fade is under way.
    void DrawFaded(Graphics* g, Image* image);
};

} // namespace Zant
