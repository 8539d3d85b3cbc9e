#pragma once
// A framework dialog that knows the game application: the base of the game's user
// and abyss dialogs.
#include "framework/widgets/Dialog.h"

namespace Zant {

class WinBTApp;

class MoneyDialog : public Dialog {
public:
    MoneyDialog(WinBTApp* app, Image* componentImage, Image* buttonImage, int dialogId, bool isModal,
                const std::string& header, const std::string& lines, const std::string& footer, int buttonMode);

public:
    WinBTApp* mApp;
};

} // namespace Zant
