#include "game/shell/DeleteUserDialog.h"

#include "framework/widgets/ListWidget.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/DialogList.h"
#include "game/shell/AbyssModeDialog.h"
#include "game/shell/SelectUserDialog.h"
#include "game/profile/UserProfile.h"
#include "game/shell/UserProfileMgr.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

DeleteUserDialog::DeleteUserDialog(WinBTApp* app, const std::vector<std::string>& names)
    : MoneyDialog(app, app->GetImage(IMAGE_DIALOG), app->GetImage(IMAGE_DBUTTON), DIALOG_ID, true, "DELETE WHO?",
                  "Deleting a player will\npermanently remove their\nname from the roster!", "", BUTTONS_OK_CANCEL),
      mList(new DialogList(app->mFontRockwell13, this))
{
    for (const std::string& name : names)
        mList->AddLine(name, false);
}

DeleteUserDialog::~DeleteUserDialog() { delete mList; }

void DeleteUserDialog::ListClicked(int id, int index, int clickCount)
{
    if (!PickDialogListLine(mApp, mList, id, index))
        return;
    if (clickCount == 2)
        ConfirmDelete(mList->GetStringAt(index));
}

void DeleteUserDialog::ButtonPress(int id)
{
    MoneyDialog::ButtonPress(id);
    if (!IsOwnAnswer(id))
        mApp->PlaySound(SOUND_BUTTONCLICK);
}

void DeleteUserDialog::ButtonDepress(int id)
{
    MoneyDialog::ButtonDepress(id);
    if (id == mId + ID_YES) {
        if (mList->mSelectIdx >= 0 && mList->mSelectIdx < mList->GetLineCount())
            ConfirmDelete(mList->GetStringAt(mList->mSelectIdx));
    } else if (id == mId + ID_NO) {
        if (auto* select = dynamic_cast<SelectUserDialog*>(mApp->FindDialog(SelectUserDialog::DIALOG_ID)))
            select->FillUserList();
    }
}

void DeleteUserDialog::ConfirmDelete(const std::string& name)
{
    mApp->mDeleteUserPending = true;
    mApp->DoMessageDialog2("ARE YOU SURE?", "This will permanently remove\n'" + name + "'\nfrom the player roster!", "",
                           true, "YES", "NO");
    mApp->mDeleteUserPending = true;
}

void DeleteUserDialog::DeleteSelectedUser()
{
    const int row = mList->mSelectIdx;
    if (row < 0 || row >= mList->GetLineCount())
        return;
    const std::string name = mList->GetStringAt(row);
    for (int i = mList->GetLineCount() - 1; i >= 0; --i)
        if (mList->GetStringAt(i) == name)
            mList->RemoveLine(i);
    UserProfileMgr* mgr = mApp->mProfileMgr;
    const bool wasDefault = mgr->GetDefaultUserName() == name;
    mgr->DeregisterUserProfile(name);
    if (wasDefault && mList->GetLineCount() > 0)
        mgr->RegisterDefaultUserName(mList->GetStringAt(0));
    // The erased player may have been the current one (the manager then cleared the
    // pointer): the new default takes over.
    if (mApp->mCurProfile == nullptr && !mgr->GetDefaultUserName().empty())
        mApp->mCurProfile = mgr->GetUserProfile(mgr->GetDefaultUserName());
    if (auto* select = dynamic_cast<SelectUserDialog*>(mApp->FindDialog(SelectUserDialog::DIALOG_ID)))
        select->Resize(select->mX, select->mY, select->mWidth, select->GetPreferredHeight(select->mWidth));
    // The menu's greeting names the default user, who may have changed or gone.
    mApp->NotifyScreen();
}

int DeleteUserDialog::GetPreferredHeight(int width)
{
    return MoneyDialog::GetPreferredHeight(width) + 16 + mList->GetOptimalHeight();
}

void DeleteUserDialog::Resize(int x, int y, int width, int height)
{
    MoneyDialog::Resize(x, y, width, height);
    PlaceRosterList(this, mList);
}

void DeleteUserDialog::AddedToManager(WidgetManager* manager)
{
    MoneyDialog::AddedToManager(manager);
    manager->AddWidget(mList);
}

void DeleteUserDialog::RemovedFromManager(WidgetManager* manager)
{
    MoneyDialog::RemovedFromManager(manager);
    manager->RemoveWidget(mList);
}

} // namespace Zant
