#include "game/shell/SelectUserDialog.h"

#include "framework/widgets/DialogButton.h"
#include "framework/widgets/ListWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/DialogList.h"
#include "game/shell/AbyssModeDialog.h"
#include "game/profile/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

const char* const SelectUserDialog::CREATE_ROW = "(Create a New User)";
const char* const SelectUserDialog::DELETE_ROW = "(Delete a User)";

void PlaceRosterList(Dialog* dialog, ListWidget* list)
{
    PlaceListDialogButtons(dialog);
    const int height = list->GetOptimalHeight();
    const int bottom = dialog->mYesButton != nullptr ? dialog->mYesButton->mY - 16 : dialog->mY + dialog->mHeight;
    list->Resize(dialog->mX + 40, bottom - height, dialog->mWidth - 80, height);
}

SelectUserDialog::SelectUserDialog(WinBTApp* app)
    : MoneyDialog(app, app->GetImage(IMAGE_DIALOG), app->GetImage(IMAGE_DBUTTON), DIALOG_ID, true, "WHO ARE YOU?", "",
                  "", BUTTONS_OK_CANCEL),
      mList(new DialogList(app->mFontRockwell13, this))
{
    FillUserList();
}

SelectUserDialog::~SelectUserDialog() { delete mList; }

void SelectUserDialog::FillUserList()
{
    mList->RemoveAll();
    UserProfileMgr* mgr = mApp->mProfileMgr;
    if (mgr == nullptr)
        return;
    const auto& profiles = mgr->GetProfiles();
    const int count = static_cast<int>(profiles.size());
    if (count > 0 && count < MAX_PLAYERS)
        mList->AddLine(CREATE_ROW, false);
    int names = 0;
    for (UserProfile* profile : profiles) {
        if (profile->mName.empty() || names >= MAX_PLAYERS)
            continue;
        const int row = mList->AddLine(profile->mName, false);
        ++names;
        if (profile->mName == mgr->GetDefaultUserName())
            mList->SetSelect(row);
    }
    if (count == MAX_PLAYERS)
        mList->AddLine(DELETE_ROW, false);
    MarkDirty();
}

std::string SelectUserDialog::GetSelectedName() const
{
    const int row = mList->mSelectIdx;
    if (row < 0 || row >= mList->GetLineCount())
        return "";
    const std::string line = mList->GetStringAt(row);
    return line == CREATE_ROW || line == DELETE_ROW ? "" : line;
}

void SelectUserDialog::ListClicked(int id, int index, int clickCount)
{
    if (!PickDialogListLine(mApp, mList, id, index))
        return;
    const std::string line = mList->GetStringAt(index);
    if (line == CREATE_ROW) {
        mApp->ShowNewUserDialog(WinBTApp::NEW_USER_PROMPT);
    } else if (line == DELETE_ROW) {
        std::vector<std::string> names;
        for (int i = 0; i < MAX_PLAYERS && i < mList->GetLineCount(); ++i)
            names.push_back(mList->GetStringAt(i));
        mApp->ShowDeleteUserDialog(names);
    } else {
        mSelectedName = line;
    }
}

void SelectUserDialog::ButtonPress(int id)
{
    MoneyDialog::ButtonPress(id);
    if (!IsOwnAnswer(id))
        mApp->PlaySound(SOUND_BUTTONCLICK);
}

void SelectUserDialog::ButtonDepress(int id)
{
    // The dispatcher makes the chosen player current (and removes this dialog).
    MoneyDialog::ButtonDepress(id);
}

int SelectUserDialog::GetPreferredHeight(int width)
{
    FillUserList();
    return MoneyDialog::GetPreferredHeight(width) + 16 + mList->GetOptimalHeight();
}

void SelectUserDialog::Resize(int x, int y, int width, int height)
{
    MoneyDialog::Resize(x, y, width, height);
    FillUserList();
    PlaceRosterList(this, mList);
}

void SelectUserDialog::AddedToManager(WidgetManager* manager)
{
    MoneyDialog::AddedToManager(manager);
    manager->AddWidget(mList);
}

void SelectUserDialog::RemovedFromManager(WidgetManager* manager)
{
    MoneyDialog::RemovedFromManager(manager);
    manager->RemoveWidget(mList);
}

} // namespace Zant
