#pragma once
// The level hint box: a one-button dialog with a check box that switches the hints
// off. Its button and the keys Enter, Space and Escape all answer the same way.
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Dialog.h"
#include "game/shell/HeldKeys.h"

namespace Zant {

class WinBTApp;
class Checkbox;

class HintDialog : public Dialog, public CheckboxListener {
public:
    static constexpr int ID = 1011;

    HintDialog(WinBTApp* app, Image* checkImage, int dialogId, const std::string& header, const std::string& lines,
               const std::string& footer, Image* componentImage, Image* buttonImage);
    ~HintDialog() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    using Dialog::Resize;
    void Resize(int x, int y, int width, int height) override;
    void Draw(Graphics* g) override;
    bool WantsFocus() override { return true; }
    void KeyChar(char c) override;
    int GetPreferredHeight(int width) override { return 400; }
    using Dialog::ButtonPress;
    void ButtonPress(int id) override;
    void ButtonDepress(int id) override;

    bool IsChecked() const;

public:
    WinBTApp* mApp;
    int mSoundId = 0;
    HeldKeys mHeldKeys;
    Checkbox* mCheckbox;
};

} // namespace Zant
