#include "game/shell/HintDialog.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

HintDialog::HintDialog(WinBTApp* app, Image* checkImage, int dialogId, const std::string& header,
                       const std::string& lines, const std::string& footer, Image* componentImage,
                       Image* buttonImage)
    : Dialog(componentImage, buttonImage, dialogId, true, header, lines, footer, BUTTONS_FOOTER), mApp(app),
      mCheckbox(new Checkbox(checkImage, checkImage, 0, this))
{
    mTextAlign = -1;
    // The two looks are the halves of one picture: unchecked left, checked right.
    if (checkImage != nullptr) {
        const int cell = checkImage->GetWidth() / 2;
        mCheckbox->mUncheckedRect = Rect(0, 0, cell, checkImage->GetHeight());
        mCheckbox->mCheckedRect = Rect(cell, 0, cell, checkImage->GetHeight());
    }
}

HintDialog::~HintDialog() { delete mCheckbox; }

void HintDialog::AddedToManager(WidgetManager* manager)
{
    Dialog::AddedToManager(manager);
    manager->AddWidget(mCheckbox);
    mHeldKeys.Note(*manager);
}

void HintDialog::RemovedFromManager(WidgetManager* manager)
{
    Dialog::RemovedFromManager(manager);
    manager->RemoveWidget(mCheckbox);
}

void HintDialog::Resize(int x, int y, int width, int height)
{
    Dialog::Resize(x, y, width, height);
    const Rect cell = mCheckbox->mUncheckedRect;
    const int buttonY = mYesButton ? mYesButton->mY : y + height;
    const int buttonHeight = mYesButton ? mYesButton->mHeight : 0;
    mCheckbox->Resize(x + mContentInsets.mLeft + 10, buttonY - buttonHeight - 20, cell.width, cell.height);
}

void HintDialog::Draw(Graphics* g)
{
    Dialog::Draw(g);
    if (mLinesFont == nullptr)
        return;
    g->SetFont(mLinesFont);
    g->SetColor(GetColor(1));
    g->DrawString("Click here to disable hints", mCheckbox->mX + mCheckbox->mWidth + 5 - mX,
                  mCheckbox->mY + mCheckbox->mHeight - 8 - mY);
}

void HintDialog::KeyChar(char c)
{
    if (mWidgetManager != nullptr && mHeldKeys.FromEarlierPress(*mWidgetManager, c))
        return;
    if (c == 13 || c == 10 || c == ' ' || c == 27)
        mApp->ButtonDepress(mId + ID_YES);
}

void HintDialog::ButtonPress(int id)
{
    Dialog::ButtonPress(id);
    mApp->PlaySound(mSoundId);
}

void HintDialog::ButtonDepress(int id)
{
    if (IsOwnAnswer(id))
        mApp->ButtonDepress(id);
}

bool HintDialog::IsChecked() const { return mCheckbox->mChecked; }

} // namespace Zant
