#include "game/shell/KeyDialog.h"

#include "framework/app/ZantApp.h"
#include "framework/widgets/WidgetManager.h"

namespace Zant {

namespace {
constexpr char KEY_ESCAPE = 27;
}

KeyDialog::KeyDialog(ZantApp* listener, Image* componentImage, Image* buttonImage, int dialogId, bool isModal,
                     const std::string& header, const std::string& lines, const std::string& footer, int buttonMode)
    : Dialog(componentImage, buttonImage, dialogId, isModal, header, lines, footer, buttonMode),
      mNoKeys(1, KEY_ESCAPE), mListener(listener)
{
    mTextAlign = -1;
}

void KeyDialog::AddKey(char key)
{
    if (mYesKeys.find(key) == std::string::npos)
        mYesKeys += key;
}

void KeyDialog::RemoveKey(char key)
{
    const size_t at = mNoKeys.find(key);
    if (at != std::string::npos)
        mNoKeys.erase(at, 1);
}

void KeyDialog::AddedToManager(WidgetManager* manager)
{
    Dialog::AddedToManager(manager);
    mHeldKeys.Note(*manager);
}

void KeyDialog::KeyChar(char c)
{
    if (mWidgetManager != nullptr && mHeldKeys.FromEarlierPress(*mWidgetManager, c))
        return;
    if (!mUseKeys) {
        mListener->RemoveDialog(mId);
        return;
    }
    if (mNoKeys.find(c) != std::string::npos)
        mListener->ButtonDepress(mId + ID_NO);
    else if (mYesKeys.find(c) != std::string::npos)
        mListener->ButtonDepress(mId + ID_YES);
}

} // namespace Zant
