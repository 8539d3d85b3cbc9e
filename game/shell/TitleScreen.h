#pragma once
// The first screen: the title picture and a gold bar that grows with the loading
// progress; once loading is over it may offer a continue button.
#include "framework/widgets/Widget.h"

namespace Zant {

class WinBTApp;
class ButtonWidget;
class Image;
class ImageFont;

class TitleScreen : public Widget {
public:
    static constexpr int CONTINUE_ID = 401;

    explicit TitleScreen(WinBTApp* app);
    ~TitleScreen() override;

    // False (after the message and the close request) when a picture or the font
    // could not be loaded.
    bool LoadImages();
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Draw(Graphics* g) override;
    // Redraws when the loading progress moved (the loader itself never touches widgets).
    void Update() override;
    // Width of the gold bar drawn for a loading progress of 0..1.
    int GoldBarWidth(double progress) const;

public:
    WinBTApp* mApp;
    Image* mTitleImage = nullptr;
    Image* mBarAndLogoImage = nullptr;
    Image* mGoldBarImage = nullptr;
    ImageFont* mFont = nullptr;
    ButtonWidget* mContinueButton;

private:
    int mDrawnBarWidth = -1;
};

} // namespace Zant
