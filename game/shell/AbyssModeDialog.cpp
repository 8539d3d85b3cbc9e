#include "game/shell/AbyssModeDialog.h"

#include <algorithm>
#include <cstdlib>

#include "framework/graphics/Color.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/ListWidget.h"
#include "framework/widgets/ScrollbarWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/profile/UserProfile.h"
#include "game/shell/DialogList.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

namespace {
const char* const START_LINE = "(Start from beginning)";
constexpr int SCROLLBAR_ID = 9619;
constexpr int VISIBLE_LINES = 5;
} // namespace

void PlaceListDialogButtons(Dialog* dialog)
{
    if (dialog->mYesButton == nullptr || dialog->mNoButton == nullptr)
        return;
    const Insets& in = dialog->mContentInsets;
    const int width = (dialog->mWidth - in.mLeft - in.mRight - 48) / 2;
    const int height = dialog->mButtonImage != nullptr ? dialog->mButtonImage->GetHeight() : 0;
    const int y = dialog->mY + dialog->mHeight - in.mBottom - height;
    dialog->mYesButton->Resize(dialog->mX + in.mLeft + 16, y, width, height);
    dialog->mNoButton->Resize(dialog->mX + in.mLeft + 32 + width, y, width, height);
}

bool PickDialogListLine(WinBTApp* app, ListWidget* list, int id, int index)
{
    if (id != list->mId || index < 0 || index >= list->GetLineCount())
        return false;
    if (index != list->mSelectIdx) {
        app->PlaySound(SOUND_BUTTONCLICK);
        list->SetSelect(index);
    }
    return true;
}

AbyssModeDialog::AbyssModeDialog(WinBTApp* app, UserProfile* profile)
    : MoneyDialog(app, app->GetImage(IMAGE_DIALOG), app->GetImage(IMAGE_DBUTTON), DIALOG_ID, true, "CONTINUE?", "",
                  "", BUTTONS_OK_CANCEL),
      mList(new DialogList(app->mFontRockwell13, this)), mScrollbar(new ScrollbarWidget(SCROLLBAR_ID, mList)),
      mProfile(profile)
{
    mList->mScrollbar = mScrollbar;
    // A short list has nothing to scroll: no bare strip beside it.
    mScrollbar->SetInvisIfNoScroll(true);
    FillDepthList();
}

AbyssModeDialog::~AbyssModeDialog()
{
    delete mList;
    delete mScrollbar;
}

int AbyssModeDialog::LineDepth(const std::string& line) { return std::atoi(line.c_str()); }

void AbyssModeDialog::FillDepthList()
{
    mList->RemoveAll();
    mList->AddLine(START_LINE, false);
    MarkDirty();
    const int best = mProfile != nullptr ? mProfile->mBestDepth / DEPTH_STEP * DEPTH_STEP : 0;
    const int last = std::min(best, MAX_DEPTH_LINES * DEPTH_STEP);
    int lines = 0;
    for (int depth = DEPTH_STEP; depth <= last; depth += DEPTH_STEP) {
        mList->AddLine(std::to_string(depth) + " feet", false);
        ++lines;
    }
    mScrollbar->SetMaxValue(lines);
}

void AbyssModeDialog::ListClicked(int id, int index, int clickCount)
{
    if (!PickDialogListLine(mApp, mList, id, index))
        return;
    const std::string line = mList->GetStringAt(index);
    if (line == START_LINE)
        mChosenDepth = 0;
    else if (clickCount == 2)
        mChosenDepth = LineDepth(line);
}

void AbyssModeDialog::ButtonPress(int id)
{
    MoneyDialog::ButtonPress(id);
    if (!IsOwnAnswer(id))
        mApp->PlaySound(SOUND_BUTTONCLICK);
}

void AbyssModeDialog::ButtonDepress(int id)
{
    if (id == mId + ID_YES && mList->mSelectIdx >= 0 && mList->mSelectIdx < mList->GetLineCount())
        mChosenDepth = LineDepth(mList->GetStringAt(mList->mSelectIdx));
    MoneyDialog::ButtonDepress(id);
}

int AbyssModeDialog::GetPreferredHeight(int width)
{
    Font* font = mApp->mFontRockwell13;
    return MoneyDialog::GetPreferredHeight(width) + VISIBLE_LINES * (font != nullptr ? font->GetHeight() : 0) + 16;
}

void AbyssModeDialog::Resize(int x, int y, int width, int height)
{
    MoneyDialog::Resize(x, y, width, height);
    PlaceListDialogButtons(this);
    Font* font = mApp->mFontRockwell13;
    const int listHeight = VISIBLE_LINES * ((font != nullptr ? font->GetHeight() : 0) + 2);
    const int bottom = mYesButton->mY;
    mList->Resize(mX + 40, bottom - listHeight, mWidth - 80, listHeight);
    mScrollbar->Resize(mX + mWidth - 40, bottom - listHeight, 25, listHeight);
}

void AbyssModeDialog::AddedToManager(WidgetManager* manager)
{
    MoneyDialog::AddedToManager(manager);
    manager->AddWidget(mList);
    manager->AddWidget(mScrollbar);
    mList->SetSelect(0);
}

void AbyssModeDialog::RemovedFromManager(WidgetManager* manager)
{
    MoneyDialog::RemovedFromManager(manager);
    manager->RemoveWidget(mList);
    manager->RemoveWidget(mScrollbar);
}

} // namespace Zant
