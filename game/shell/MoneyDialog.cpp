#include "game/shell/MoneyDialog.h"

namespace Zant {

MoneyDialog::MoneyDialog(WinBTApp* app, Image* componentImage, Image* buttonImage, int dialogId, bool isModal,
                         const std::string& header, const std::string& lines, const std::string& footer,
                         int buttonMode)
    : Dialog(componentImage, buttonImage, dialogId, isModal, header, lines, footer, buttonMode), mApp(app)
{
}

} // namespace Zant
