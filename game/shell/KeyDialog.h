#pragma once
// A dialog whose buttons can also be chosen by typing: keys of one list answer with
// the second button (Escape always among them), keys of the other with the first.
#include <string>

#include "framework/widgets/Dialog.h"
#include "game/shell/HeldKeys.h"

namespace Zant {

class ZantApp;

class KeyDialog : public Dialog {
public:
    KeyDialog(ZantApp* listener, Image* componentImage, Image* buttonImage, int dialogId, bool isModal,
              const std::string& header, const std::string& lines, const std::string& footer, int buttonMode);

    // A key that answers with the first button.
    void AddKey(char key);
    // Takes a key out of those that answer with the second button.
    void RemoveKey(char key);
    bool WantsFocus() override { return true; }
    void AddedToManager(WidgetManager* manager) override;
    void KeyChar(char c) override;

public:
    std::string mNoKeys;
    std::string mYesKeys;
    ZantApp* mListener;
    bool mUseKeys = false;

private:
    HeldKeys mHeldKeys;
};

} // namespace Zant
