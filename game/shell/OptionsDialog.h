#pragma once
// The player's settings: music and effect volumes, which act while the sliders
// move, and five check boxes that the application applies when DONE is pressed.
// It also opens the credits box and, when the installation asks for it, the
// maker's web site.
#include <vector>

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Dialog.h"

namespace Zant {

class WinBTApp;
class Slider;
class SoundSlider;
class Checkbox;

class OptionsDialog : public Dialog, public SliderListener, public CheckboxListener {
public:
    static constexpr int ID = 778;
    static constexpr int CREDITS_ID = 780;
    static constexpr int MUSIC_SLIDER_ID = 0;
    static constexpr int SFX_SLIDER_ID = 1;
    static constexpr int LINK_BUTTON_ID = 2;
    static constexpr int CREDITS_BUTTON_ID = 4;
    static constexpr int HARDWARE_CHECKBOX_ID = 333333;
    static constexpr int SFX_PREVIEW_SOUND = 8;
    static constexpr int WIDTH = 420;
    static constexpr int HEIGHT = 474;
    static const char* const HOME_PAGE;
    static const char* const CREDITS_TEXT;

    explicit OptionsDialog(WinBTApp* app);
    ~OptionsDialog() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    using Dialog::SetColor;
    void SetColor(int index, const Color& color) override;
    using Dialog::Resize;
    void Resize(int x, int y, int width, int height) override;
    void Draw(Graphics* g) override;
    int GetPreferredHeight(int width) override { return 438; }
    bool WantsFocus() override { return true; }

    using Dialog::ButtonPress;
    void ButtonPress(int id) override;
    void ButtonDepress(int id) override;
    void SliderVal(int id, double value) override;
    void CheckboxChecked(int id, bool checked) override;

    // The typing tutor is open: the space-bar box cannot be changed then.
    bool SpacePauseLocked() const;

public:
    WinBTApp* mApp;
    Slider* mMusicSlider;
    SoundSlider* mSfxSlider;
    DialogButton* mLinkButton = nullptr; // only when the properties ask for a link
    DialogButton* mCreditsButton;
    Checkbox* mFullscreenCheckbox;
    Checkbox* mEffectsCheckbox;
    Checkbox* mSpacePausesCheckbox;
    Checkbox* mCustomCursorsCheckbox;
    Checkbox* mHardwareCheckbox;

private:
    Checkbox* MakeCheckbox(int id, bool checked);
    // Every child widget, in the order they lie above the dialog.
    std::vector<Widget*> Children() const;
};

} // namespace Zant
