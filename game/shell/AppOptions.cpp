// The options dialog's opening and DONE, and the update check: the question, the
// waiting dialog with its request, and the answers of both.
#include <cstdio>

#include "framework/net/InternetManager.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/UpdateCheckDialog.h"
#include "framework/widgets/WidgetManager.h"
#include "game/play/Board.h"
#include "game/common/Config.h"
#include "game/play/Player.h"
#include "game/shell/OptionsDialog.h"
#include "game/shell/TypingTutor.h"
#include "game/profile/UserProfile.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

namespace {

constexpr int IMAGE_WAITBAR = 217;

constexpr int UPDATE_QUESTION_ID = 2531;
constexpr int UPDATE_CHECK_ID = 2532;
constexpr int NEW_VERSION_ID = UPDATE_CHECK_ID + UpdateCheckDialog::NEW_VERSION_OFFSET;
constexpr int UPDATE_RESULT_ID = UPDATE_CHECK_ID + UpdateCheckDialog::RESULT_OFFSET;

// Diver states in which the board shows its own overlay (caught, level over).
bool DiverKeepsOverlay(const Player* player, const Config* config)
{
    if (player == nullptr)
        return false;
    return player->mState == 12 || player->mState == 7 ||
           (player->mState == 6 && config != nullptr && config->IsSpecialLevel());
}

// Letters, digits and "-_.~" stay; every other byte becomes %XX.
std::string PercentEncode(const std::string& value)
{
    std::string out;
    for (unsigned char c : value) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
            c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            out += escaped;
        }
    }
    return out;
}

} // namespace

void WinBTApp::ShowOptionsDialog()
{
    // A second request while it is up only brings it back to the front.
    if (mOptionsDialog != nullptr && FindDialog(OptionsDialog::ID) == mOptionsDialog) {
        mWidgetManager->SetFocus(mOptionsDialog);
        return;
    }
    // The hardware box shows the mode the 3D test's verdict leaves, and its choice
    // is not undone by a verdict that comes later.
    Take3DTestVerdict(true);
    ++mOpenDialogCount;
    auto* dialog = new OptionsDialog(this);
    mOptionsDialog = dialog;
    dialog->Resize(mWidth / 2 - OptionsDialog::WIDTH / 2, mHeight / 2 - OptionsDialog::HEIGHT / 2,
                   OptionsDialog::WIDTH, OptionsDialog::HEIGHT);
    dialog->mSpaceAfterHeader = 30;
    AddDialog(OptionsDialog::ID, dialog);
    if (mWidgetManager != nullptr)
        mWidgetManager->SetFocus(dialog);
    Player* player = GetPlayer();
    if (mBoard != nullptr && (player == nullptr || (player->mState != 7 && player->mState != 12)))
        mBoard->Pause(true);
}

void WinBTApp::ApplyOptions()
{
    auto* dialog = dynamic_cast<OptionsDialog*>(mOptionsDialog);
    if (dialog == nullptr || FindDialog(OptionsDialog::ID) != dialog)
        return;
    const bool windowed = !dialog->mFullscreenCheckbox->IsChecked();
    const bool is3D = dialog->mHardwareCheckbox->IsChecked();
    mOpenDialogCount = 0;
    if (windowed && mFullScreenForced)
        NoWindowedModeMessage();
    else
        SwitchScreenMode(windowed, is3D);
    // What the display could do: a failed switch to 3D falls back to 2D.
    WriteRegistryBool("Is3D", Is3D());
    mEffectsOn = dialog->mEffectsCheckbox->IsChecked();
    SetCustomCursorsFlag(dialog->mCustomCursorsCheckbox->IsChecked());
    // Without a current player the choice has nobody to belong to.
    if (mCurProfile != nullptr)
        mCurProfile->SetSpaceToPause(dialog->mSpacePausesCheckbox->IsChecked());
    if (mBoard != nullptr)
        mBoard->SetWaterEffect(mEffectsOn);
    RemoveDialog(OptionsDialog::CREDITS_ID);
    RemoveDialog(OptionsDialog::ID);
    mOptionsDialog = nullptr;

    if (mBoard != nullptr) {
        mWidgetManager->SetFocus(mBoard);
        Player* player = GetPlayer();
        if (!DiverKeepsOverlay(player, mConfig) || player->mState == 6)
            mBoard->Pause(false);
        mBoard->MarkDirty();
    } else if (mTypingTutor != nullptr) {
        mWidgetManager->SetFocus(mTypingTutor);
        mTypingTutor->MarkDirty();
    }
}

void WinBTApp::AskForUpdateCheck()
{
    StampUpdateCheckTime();
    Dialog* dialog = ShowDialog(UPDATE_QUESTION_ID, true, "UPDATES",
                                "New versions may offer new features and bug fixes. This requires an active "
                                "Internet connection.\n\nDo you want to check for updates to Plindor?",
                                "", BUTTONS_YES_NO);
    if (dialog == nullptr)
        return;
    DressDialog(dialog);
    dialog->mTextAlign = -1;
    dialog->Resize(165, 99, 330, dialog->GetPreferredHeight(330));
    if (mWidgetManager != nullptr)
        mWidgetManager->SetFocus(dialog);
}

std::string WinBTApp::UpdateCheckUrl() const
{
    return "http://" + mUpdateHost + "/win32updatecheck.php?prod=" + PercentEncode(mProdName) +
           "&ver=" + PercentEncode(mProductVersion) + "&referid=" + PercentEncode(mReferId);
}

void WinBTApp::CheckForUpdates()
{
    RemoveDialog(UPDATE_CHECK_ID);
    auto* dialog = new UpdateCheckDialog(GetImage(IMAGE_DIALOG), GetImage(IMAGE_DBUTTON), GetImage(IMAGE_WAITBAR),
                                         UPDATE_CHECK_ID);
    dialog->mDialogHeader = "UPDATE CHECK";
    DressDialog(dialog);
    dialog->SetColor(3, Color(255, 255, 255));
    // A white caption on the pale button reads through its outline.
    dialog->SetButtonFont(OutlinedFont(mFontRockwell13));
    dialog->Resize(146, 50, 420, dialog->GetPreferredHeight(420));
    AddDialog(UPDATE_CHECK_ID, dialog);
    if (mWidgetManager != nullptr)
        mWidgetManager->SetFocus(dialog);
    if (mInternetManager != nullptr)
        mInternetManager->FetchUrl(UpdateCheckUrl());
}

bool WinBTApp::HandleOptionsCommand(int id)
{
    switch (id) {
    case 107: // menu: options
    case 91:
    case 203: // status bar: options
        ShowOptionsDialog();
        return true;
    case 2778:
    case 778:
    case 779:
    case 780:
    case 781:
    case 782:
        ApplyOptions();
        return true;
    case OptionsDialog::CREDITS_ID + Dialog::ID_YES:
        RemoveDialog(OptionsDialog::CREDITS_ID);
        if (mOptionsDialog != nullptr && mWidgetManager != nullptr)
            mWidgetManager->SetFocus(mOptionsDialog);
        return true;
    case UPDATE_QUESTION_ID + Dialog::ID_YES:
        RemoveDialog(UPDATE_QUESTION_ID);
        CheckForUpdates();
        return true;
    case UPDATE_QUESTION_ID + Dialog::ID_NO:
        RemoveDialog(UPDATE_QUESTION_ID);
        return true;
    case UPDATE_CHECK_ID + Dialog::ID_YES:
        // Cancel: the request is given up at once; its worker ends by itself.
        if (mInternetManager != nullptr)
            mInternetManager->GetUpdateCheckTransfer().Abort();
        RemoveDialog(UPDATE_CHECK_ID);
        return true;
    case NEW_VERSION_ID + Dialog::ID_YES: {
        const std::string url = mInternetManager != nullptr ? mInternetManager->GetUpdateUrl() : "";
        RemoveDialog(NEW_VERSION_ID);
        RemoveDialog(UPDATE_CHECK_ID);
        OpenWebPage(url, true);
        return true;
    }
    case NEW_VERSION_ID + Dialog::ID_NO:
        RemoveDialog(NEW_VERSION_ID);
        RemoveDialog(UPDATE_CHECK_ID);
        return true;
    case UPDATE_RESULT_ID + Dialog::ID_YES:
        RemoveDialog(UPDATE_RESULT_ID);
        RemoveDialog(UPDATE_CHECK_ID);
        return true;
    default:
        return false;
    }
}

} // namespace Zant
